// How a flat VistaLista paints its rows: as Qt's tree view paints them (the same options for
// the style and the delegate, the same focus frame), the rows in sight found by their numbers.
#include "ui/main/VistaLista.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
// The first and last columns (visual) that the area crosses.
QPair<int, int> ColumnasEn(const QHeaderView& cabecera, const QRect& area, bool alReves)
{
    int desde = cabecera.visualIndexAt(area.left());
    int hasta = cabecera.visualIndexAt(area.right());
    const int ultima = cabecera.count() - 1;
    if (alReves) {
        desde = desde == -1 ? ultima : desde;
        hasta = hasta == -1 ? 0 : hasta;
    } else {
        desde = desde == -1 ? 0 : desde;
        hasta = hasta == -1 ? ultima : hasta;
    }
    return {std::min(desde, hasta), std::max(desde, hasta)};
}

// The columns shown from `izquierda` to `derecha` (visual), logical, each with its place in
// the row as the style sees it: first, middle, last or alone.
void ColumnasDeLaFila(const QHeaderView& cabecera, int arbol, int izquierda, int derecha,
                      QList<int>& columnas, QList<QStyleOptionViewItem::ViewItemPosition>& lugares)
{
    int antes = -1, despues = -1; // the columns shown just outside the range
    for (int visual = izquierda - 1; visual >= 0 && antes == -1; --visual)
        if (!cabecera.isSectionHidden(cabecera.logicalIndex(visual)))
            antes = cabecera.logicalIndex(visual);
    for (int visual = izquierda; visual < cabecera.count(); ++visual) {
        const int logica = cabecera.logicalIndex(visual);
        if (cabecera.isSectionHidden(logica))
            continue;
        if (visual > derecha) {
            despues = logica;
            break;
        }
        columnas << logica;
    }
    using Lugar = QStyleOptionViewItem::ViewItemPosition;
    for (qsizetype i = 0; i < columnas.size(); ++i) {
        const int columna = columnas[i];
        const int siguiente = i + 1 < columnas.size() ? columnas[i + 1] : despues;
        const int anterior = i > 0 ? columnas[i - 1] : antes;
        if (cabecera.count() == 1 || (siguiente == 0 && anterior == -1) ||
            (columna == 0 && siguiente == -1))
            lugares << Lugar::OnlyOne;
        else if (columna == arbol || (siguiente != 0 && anterior == -1))
            lugares << Lugar::Beginning;
        else if (siguiente == 0 || siguiente == -1)
            lugares << Lugar::End;
        else
            lugares << Lugar::Middle;
    }
}
} // namespace

void VistaLista::paintEvent(QPaintEvent* evento)
{
    executeDelayedItemsLayout();
    if (!plana_) {
        QTreeView::paintEvent(evento);
        return;
    }
    QPainter pintor(viewport());
    PintaFilas(pintor, evento->region());
}

void VistaLista::PintaFilas(QPainter& pintor, const QRegion& region) const
{
    QStyleOptionViewItem opcion;
    initViewItemOption(&opcion);
    const int filas = Filas();
    const int primera = verticalScrollBar()->value();
    if (filas == 0 || header()->count() == 0 || !itemDelegate() || altoFila_ <= 0 || primera < 0 ||
        primera >= filas)
        return;
    // With several rectangles, each crosses the whole width and a row is painted once.
    const bool varios = region.rectCount() > 1;
    QList<int> pintadas;
    for (const QRect& parte : region) {
        const QRect area =
            varios ? QRect(0, parte.y(), viewport()->width(), parte.height()) : parte;
        const QPair<int, int> columnas = ColumnasEn(*header(), area, isRightToLeft());
        for (int fila = primera + std::max(area.top(), 0) / altoFila_;
             fila < filas && FilaEntera(fila).top() <= area.bottom(); ++fila) {
            if (varios && pintadas.contains(fila))
                continue;
            opcion.rect = FilaEntera(fila);
            PintaFila(&pintor, opcion, fila, columnas);
            if (varios)
                pintadas << fila;
        }
    }
}

void VistaLista::PintaFila(QPainter* pintor, const QStyleOptionViewItem& opcion, int fila,
                           QPair<int, int> visibles) const
{
    const QHeaderView& cabecera = *header();
    const QModelIndex raiz = rootIndex();
    const QModelIndex actual = currentIndex();
    const QStyle::State estado = opcion.state;
    const int y = opcion.rect.y();
    const int alto = opcion.rect.height();
    const bool conFoco = hasFocus();
    // The focus frame goes round the whole row when it is the current one.
    bool marcoDeFila = allColumnsShowFocus() && conFoco && actual.isValid() &&
                       actual.row() == fila && actual.parent() == raiz;
    // Rows are selected whole: the style is told so to paint the selection across them.
    QStyleOptionViewItem celda = opcion;
    celda.showDecorationSelected = true;
    const bool filaBajoRaton = bajoRaton_.isValid() && bajoRaton_.row() == fila;
    QList<int> columnas;
    QList<QStyleOptionViewItem::ViewItemPosition> lugares;
    const int arbol = treePosition() < 0 ? cabecera.logicalIndex(0) : treePosition();
    ColumnasDeLaFila(cabecera, arbol, visibles.first, visibles.second, columnas, lugares);
    for (qsizetype i = 0; i < columnas.size(); ++i) {
        const QModelIndex indice = model()->index(fila, columnas[i], raiz);
        if (!indice.isValid())
            continue;
        celda.state = estado;
        celda.viewItemPosition = lugares[i];
        if (selectionModel()->isSelected(indice))
            celda.state |= QStyle::State_Selected;
        if (conFoco && actual == indice) {
            if (allColumnsShowFocus())
                marcoDeFila = true;
            else
                celda.state |= QStyle::State_HasFocus;
        }
        celda.state.setFlag(QStyle::State_MouseOver, filaBajoRaton || indice == bajoRaton_);
        if (estado & QStyle::State_Enabled) {
            QPalette::ColorGroup grupo = QPalette::Inactive;
            if (!(indice.flags() & Qt::ItemIsEnabled)) {
                celda.state &= ~QStyle::State_Enabled;
                grupo = QPalette::Disabled;
            } else if (celda.state & QStyle::State_Active) {
                grupo = QPalette::Active;
            }
            celda.palette.setCurrentColorGroup(grupo);
        }
        // The row's background under the cell, then the cell. Without indentation the tree's
        // branches take no room.
        celda.rect =
            QRect(columnViewportPosition(columnas[i]), y, cabecera.sectionSize(columnas[i]), alto);
        const QStyle::State conSeleccion = celda.state;
        celda.state &= ~QStyle::State_Selected;
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &celda, pintor, this);
        celda.state = conSeleccion;
        itemDelegateForIndex(indice)->paint(pintor, celda, indice);
    }
    if (!marcoDeFila)
        return;
    QStyleOptionFocusRect marco;
    marco.QStyleOption::operator=(opcion);
    marco.state |= QStyle::State_KeyboardFocusChange;
    const QPalette::ColorGroup grupo =
        (opcion.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    marco.backgroundColor = opcion.palette.color(
        grupo, selectionModel()->isSelected(model()->index(fila, 0, raiz)) ? QPalette::Highlight
                                                                           : QPalette::Window);
    const int x = opcion.showDecorationSelected ? 0 : cabecera.sectionPosition(0);
    const QRect rectangulo(x - cabecera.offset(), y, cabecera.length() - x, alto);
    marco.rect = style()->visualRect(layoutDirection(), viewport()->rect(), rectangulo);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &marco, pintor);
    // A first column moved away from the left: the frame is in two pieces.
    if (!opcion.showDecorationSelected && cabecera.sectionsMoved() &&
        cabecera.visualIndex(0) != 0) {
        marco.rect = style()->visualRect(layoutDirection(), viewport()->rect(),
                                         QRect(0, y, cabecera.sectionPosition(0), alto));
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &marco, pintor);
    }
}
