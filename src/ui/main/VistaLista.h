#pragma once
// A two-column report list. Showing a row never scrolls sideways to its second column: the
// English text, first column, stays in sight.
//
// The list is flat, its rows one height and never hidden, scrolled a row at a time: a row's
// place on screen is its number less the first one shown, times the height of a row. Qt's
// tree view finds a row instead by walking its rows from the last one it found, which on a
// list of a million items costs milliseconds per far jump; here a row's rectangle, the region
// of a selection and the scrolling that shows a row are worked out from its number. When
// accessibility is on, or the list is not flat, Qt's own ways are kept.
#include <QTreeView>

class VistaLista : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;
    void scrollTo(const QModelIndex& indice, ScrollHint modo = EnsureVisible) override;
    QRect visualRect(const QModelIndex& indice) const override;
    void doItemsLayout() override;
    void dataChanged(const QModelIndex& desde, const QModelIndex& hasta,
                     const QList<int>& roles = {}) override;

protected:
    QRegion visualRegionForSelection(const QItemSelection& seleccion) const override;
    void currentChanged(const QModelIndex& actual, const QModelIndex& anterior) override;

private:
    // Whether the rows may be placed by their numbers, `indice` being one of them.
    bool Plana(const QModelIndex& indice) const;
    // The whole width of the row on screen.
    QRect FilaEntera(int fila) const;
    void MideFilas();

    int altoFila_ = 0; // what Qt took as every row's height when it last laid the rows out
};
