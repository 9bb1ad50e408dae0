#include "ui/main/VistaLista.h"

#include <QAccessible>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

bool VistaLista::Plana(const QModelIndex& indice) const
{
    return altoFila_ > 0 && indice.isValid() && indice.model() == model() &&
           !indice.parent().isValid() && !rootIsDecorated() && uniformRowHeights() &&
           verticalScrollMode() == ScrollPerItem;
}

void VistaLista::MideFilas()
{
    // Qt takes the first row's height for every row when it lays them out.
    altoFila_ = model() && model()->rowCount() > 0 ? indexRowSizeHint(model()->index(0, 0)) : 0;
}

void VistaLista::doItemsLayout()
{
    QTreeView::doItemsLayout();
    MideFilas();
}

void VistaLista::dataChanged(const QModelIndex& desde, const QModelIndex& hasta,
                             const QList<int>& roles)
{
    QTreeView::dataChanged(desde, hasta, roles);
    if (desde.row() == 0) // Qt measures the first row again
        MideFilas();
}

QRect VistaLista::FilaEntera(int fila) const
{
    return QRect(0, (fila - verticalScrollBar()->value()) * altoFila_, viewport()->width(),
                 altoFila_);
}

QRect VistaLista::visualRect(const QModelIndex& indice) const
{
    const_cast<VistaLista*>(this)->executeDelayedItemsLayout();
    if (!Plana(indice))
        return QTreeView::visualRect(indice);
    if (isIndexHidden(indice) || indice.row() >= model()->rowCount())
        return {};
    const QRect fila = FilaEntera(indice.row());
    return QRect(columnViewportPosition(indice.column()), fila.y(), columnWidth(indice.column()),
                 fila.height());
}

QRegion VistaLista::visualRegionForSelection(const QItemSelection& seleccion) const
{
    QRegion region;
    for (const QItemSelectionRange& rango : seleccion) {
        if (!rango.isValid())
            continue;
        if (!Plana(rango.topLeft()))
            return QTreeView::visualRegionForSelection(seleccion);
        const QRect rectangulo =
            visualRect(rango.topLeft()).united(visualRect(rango.bottomRight()));
        region += rectangulo.intersected(viewport()->rect());
    }
    return region;
}

void VistaLista::scrollTo(const QModelIndex& indice, ScrollHint modo)
{
    // Never sideways to the second column.
    const QModelIndex primera = indice.siblingAtColumn(0);
    executeDelayedItemsLayout();
    if (!Plana(primera) || (modo != EnsureVisible && modo != PositionAtTop) ||
        isIndexHidden(primera)) {
        QTreeView::scrollTo(primera, modo);
        return;
    }
    // As Qt scrolls by rows: to the top when the row is above or asked at the top, so that it
    // is the last whole row when below.
    QScrollBar* barra = verticalScrollBar();
    const int fila = primera.row();
    const int arriba = barra->value();
    if (modo == PositionAtTop || fila < arriba)
        barra->setValue(fila);
    else if (fila >= arriba + barra->pageStep())
        barra->setValue(viewport()->height() > altoFila_
                            ? std::max(0, fila - viewport()->height() / altoFila_ + 1)
                            : fila);
    // Sideways only to bring the first column into sight.
    const int posicion = header()->sectionPosition(0);
    const int ancho = header()->sectionSize(0);
    const int desplazado = header()->offset();
    if (posicion - desplazado < 0 || ancho > viewport()->width())
        horizontalScrollBar()->setValue(posicion);
    else if (posicion - desplazado + ancho > viewport()->width())
        horizontalScrollBar()->setValue(posicion - viewport()->width() + ancho);
}

void VistaLista::currentChanged(const QModelIndex& actual, const QModelIndex& anterior)
{
    // Screen readers are told of the new row by Qt's tree view itself.
    if (QAccessible::isActive() || (actual.isValid() && !Plana(actual)) ||
        (anterior.isValid() && !Plana(anterior))) {
        QTreeView::currentChanged(actual, anterior);
        return;
    }
    QAbstractItemView::currentChanged(actual, anterior);
    if (allColumnsShowFocus())
        for (const QModelIndex& indice : {anterior, actual})
            if (indice.isValid())
                viewport()->update(FilaEntera(indice.row()));
}
