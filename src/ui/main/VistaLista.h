#pragma once
// A two-column report list. Showing a row never scrolls sideways to its second column: the
// English text, first column, stays in sight.
//
// The list is flat, its rows one height and never hidden, scrolled a row at a time: a row's
// place on screen is its number less the first one shown, times the height of a row. Qt's
// tree view instead keeps an entry for every row, built again whenever a row is inserted,
// moved or removed, which on a list of a million items costs milliseconds per saved item and
// per far jump. Here nothing is kept per row: a row's rectangle, the row under the mouse, the
// keys' moves, the selection, the scroll bars and the painting are worked out from row
// numbers, so a change of the rows costs the same on any length of list. It is still a tree
// view to the rest of the window (its header, columns and properties), and looks and behaves
// as one. When accessibility is on, or the list is not flat, Qt's own ways are kept: screen
// readers read the rows through the tree view's entries.
#include <QAccessible>
#include <QPersistentModelIndex>
#include <QTreeView>

class VistaLista : public QTreeView, private QAccessible::ActivationObserver {
    Q_OBJECT
public:
    explicit VistaLista(QWidget* padre = nullptr);
    ~VistaLista() override;

    QModelIndex indexAt(const QPoint& punto) const override;
    QRect visualRect(const QModelIndex& indice) const override;
    void scrollTo(const QModelIndex& indice, ScrollHint modo = EnsureVisible) override;
    void doItemsLayout() override;
    void keyboardSearch(const QString& texto) override;
    void dataChanged(const QModelIndex& desde, const QModelIndex& hasta,
                     const QList<int>& roles = {}) override;

protected:
    QModelIndex moveCursor(CursorAction accion, Qt::KeyboardModifiers teclas) override;
    void setSelection(const QRect& rectangulo, QItemSelectionModel::SelectionFlags orden) override;
    QRegion visualRegionForSelection(const QItemSelection& seleccion) const override;
    int verticalOffset() const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    int sizeHintForColumn(int columna) const override;
    void paintEvent(QPaintEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    bool viewportEvent(QEvent* evento) override;

private:
    void accessibilityActiveChanged(bool activa) override;
    // Whether the rows may be placed by their numbers.
    bool QuierePlana() const;
    bool Plana(const QModelIndex& indice) const;
    int Filas() const;
    // The row at that height of the viewport, or -1.
    int FilaEn(int y) const;
    // The whole width of the row on screen.
    QRect FilaEntera(int fila) const;
    void MideFilas();
    void AjustaBarras();
    void PintaFilas(QPainter& pintor, const QRegion& region) const;
    void PintaFila(QPainter* pintor, const QStyleOptionViewItem& opcion, int fila,
                   QPair<int, int> columnas) const;

    bool plana_ = false;     // the rows are placed by their numbers, Qt's tree holds none
    bool filasDeQt_ = false; // Qt's tree laid out rows, which it keeps until its next layout
    bool ajustando_ = false; // the header and scroll bars are being fitted
    bool accesible_ = QAccessible::isActive(); // as the last change of it said
    int altoFila_ = 0; // the first row's height, taken for every row as Qt's tree takes it
    QPersistentModelIndex bajoRaton_; // the cell under the mouse, drawn as hovered
};
