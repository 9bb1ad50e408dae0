#pragma once
// A two-column report list. Showing a row never scrolls sideways to its second column: the
// English text, first column, stays in sight.
#include <QTreeView>

class VistaLista : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;
    void scrollTo(const QModelIndex& indice, ScrollHint modo = EnsureVisible) override
    {
        QTreeView::scrollTo(indice.siblingAtColumn(0), modo);
    }
};
