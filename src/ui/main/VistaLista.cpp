#include "ui/main/VistaLista.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

VistaLista::VistaLista(QWidget* padre) : QTreeView(padre)
{
    QAccessible::installActivationObserver(this);
}

VistaLista::~VistaLista()
{
    QAccessible::removeActivationObserver(this);
}

void VistaLista::accessibilityActiveChanged(bool activa)
{
    accesible_ = activa;
    scheduleDelayedItemsLayout();
}

bool VistaLista::QuierePlana() const
{
    return model() && !accesible_ && !rootIndex().isValid() && !rootIsDecorated() &&
           uniformRowHeights() && !alternatingRowColors() && selectionBehavior() == SelectRows &&
           verticalScrollMode() == ScrollPerItem && horizontalScrollMode() == ScrollPerPixel;
}

bool VistaLista::Plana(const QModelIndex& indice) const
{
    return plana_ && indice.isValid() && indice.model() == model() && !indice.parent().isValid() &&
           indice.row() < Filas();
}

int VistaLista::Filas() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int VistaLista::FilaEn(int y) const
{
    if (altoFila_ <= 0)
        return -1;
    if (y < 0)
        y -= altoFila_ - 1; // rounded down, above the viewport too
    const int fila = verticalScrollBar()->value() + y / altoFila_;
    return fila >= 0 && fila < Filas() ? fila : -1;
}

QRect VistaLista::FilaEntera(int fila) const
{
    return QRect(0, (fila - verticalScrollBar()->value()) * altoFila_, viewport()->width(),
                 altoFila_);
}

void VistaLista::MideFilas()
{
    // Qt's tree takes the first row's height for every row when it lays them out.
    if (Filas() > 0)
        altoFila_ = indexRowSizeHint(model()->index(0, 0, rootIndex()));
}

void VistaLista::doItemsLayout()
{
    // Qt's tree keeps the rows it laid out until it lays them out again: once it holds some,
    // the list stays Qt's.
    plana_ = !filasDeQt_ && QuierePlana();
    if (!plana_) {
        QTreeView::doItemsLayout();
        filasDeQt_ = filasDeQt_ || Filas() > 0;
        return;
    }
    MideFilas();
    QAbstractItemView::doItemsLayout();
    header()->doItemsLayout();
}

void VistaLista::dataChanged(const QModelIndex& desde, const QModelIndex& hasta,
                             const QList<int>& roles)
{
    QTreeView::dataChanged(desde, hasta, roles);
    if (plana_ && desde.row() == 0 && !desde.parent().isValid()) { // Qt measures it again
        const int antes = altoFila_;
        MideFilas();
        if (altoFila_ != antes) {
            AjustaBarras();
            viewport()->update();
        }
    }
}

QModelIndex VistaLista::indexAt(const QPoint& punto) const
{
    const_cast<VistaLista*>(this)->executeDelayedItemsLayout();
    if (!plana_)
        return QTreeView::indexAt(punto);
    const int fila = FilaEn(punto.y());
    const int columna = header()->logicalIndexAt(punto.x());
    if (fila < 0 || columna < 0)
        return {};
    return model()->index(fila, columna, rootIndex());
}

QRect VistaLista::visualRect(const QModelIndex& indice) const
{
    const_cast<VistaLista*>(this)->executeDelayedItemsLayout();
    if (!plana_)
        return QTreeView::visualRect(indice);
    if (!Plana(indice) || isIndexHidden(indice))
        return {};
    const QRect fila = FilaEntera(indice.row());
    return QRect(columnViewportPosition(indice.column()), fila.y(), columnWidth(indice.column()),
                 fila.height());
}

QRegion VistaLista::visualRegionForSelection(const QItemSelection& seleccion) const
{
    if (!plana_)
        return QTreeView::visualRegionForSelection(seleccion);
    QRegion region;
    for (const QItemSelectionRange& rango : seleccion) {
        if (!rango.isValid() || !Plana(rango.topLeft()) || !Plana(rango.bottomRight()))
            continue;
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
    if (!plana_) {
        QTreeView::scrollTo(primera, modo);
        return;
    }
    if (!Plana(primera))
        return;
    AjustaBarras();
    // As Qt's tree scrolls by rows: to the top when the row is above or asked at the top;
    // otherwise as low as it goes, the last whole row or the middle one.
    QScrollBar* barra = verticalScrollBar();
    const int fila = primera.row();
    const int arriba = barra->value();
    if (modo == EnsureVisible && fila >= arriba && fila < arriba + barra->pageStep()) {
    } else if (modo == PositionAtTop || (modo == EnsureVisible && fila < arriba)) {
        barra->setValue(fila);
    } else {
        const int alto = viewport()->height();
        const int y = modo == PositionAtCenter ? alto / 2 + altoFila_ - 1 : alto;
        barra->setValue(y > altoFila_ ? std::max(0, fila - y / altoFila_ + 1) : fila);
    }
    // Sideways only to bring the first column into sight.
    const int ancho = viewport()->width();
    const int posicion = header()->sectionPosition(0);
    const int celda = header()->sectionSize(0);
    if (modo == PositionAtCenter)
        horizontalScrollBar()->setValue(posicion - (ancho - celda) / 2);
    else if (posicion - header()->offset() < 0 || celda > ancho)
        horizontalScrollBar()->setValue(posicion);
    else if (posicion - header()->offset() + celda > ancho)
        horizontalScrollBar()->setValue(posicion - ancho + celda);
}

QModelIndex VistaLista::moveCursor(CursorAction accion, Qt::KeyboardModifiers teclas)
{
    executeDelayedItemsLayout();
    if (!plana_)
        return QTreeView::moveCursor(accion, teclas);
    const int filas = Filas();
    const QModelIndex actual = currentIndex();
    if (!actual.isValid()) { // the first row, in the first column shown
        int columna = 0;
        while (columna < header()->count() &&
               header()->isSectionHidden(header()->logicalIndex(columna)))
            ++columna;
        if (filas == 0 || columna == header()->count())
            return {};
        return model()->index(0, header()->logicalIndex(columna), rootIndex());
    }
    const int fila = Plana(actual) ? actual.row() : 0;
    const int arriba = verticalScrollBar()->value();
    int destino = fila;
    switch (accion) {
    case MoveNext:
    case MoveDown:
        destino = std::min(fila + 1, filas - 1);
        break;
    case MovePrevious:
    case MoveUp:
        destino = std::max(fila - 1, 0);
        break;
    case MoveLeft:
    case MoveRight: {
        // Rows are selected whole: sideways scrolls the list.
        const bool izquierda = (accion == MoveLeft) != isRightToLeft();
        QScrollBar* barra = horizontalScrollBar();
        barra->setValue(barra->value() + (izquierda ? -1 : 1) * barra->singleStep());
        updateGeometries();
        viewport()->update();
        return actual;
    }
    case MovePageUp: // the row a viewport's height above, or the first
        destino = std::max(FilaEn((fila - arriba) * altoFila_ - viewport()->height()), 0);
        break;
    case MovePageDown: { // the row a viewport's height below, or the last
        const int abajo = FilaEn((fila - arriba) * altoFila_ + viewport()->height());
        destino = abajo < 0 ? filas - 1 : abajo;
        break;
    }
    case MoveHome:
        destino = 0;
        break;
    case MoveEnd:
        destino = filas - 1;
        break;
    }
    return model()->index(destino, actual.column(), rootIndex());
}

void VistaLista::setSelection(const QRect& rectangulo, QItemSelectionModel::SelectionFlags orden)
{
    executeDelayedItemsLayout();
    if (!plana_) {
        QTreeView::setSelection(rectangulo, orden);
        return;
    }
    if (!selectionModel() || rectangulo.isNull())
        return;
    const QRect r = rectangulo.normalized();
    const bool alReves = isRightToLeft();
    QModelIndex desde = indexAt(QPoint(alReves ? r.right() : r.left(), r.top()));
    QModelIndex hasta = indexAt(QPoint(alReves ? r.left() : r.right(), r.bottom()));
    if (!desde.isValid() && !hasta.isValid()) {
        if (orden & QItemSelectionModel::Clear)
            selectionModel()->clear();
        return;
    }
    if (!desde.isValid())
        desde = model()->index(0, 0, rootIndex());
    if (!hasta.isValid())
        hasta =
            model()->index(Filas() - 1, header()->logicalIndex(header()->count() - 1), rootIndex());
    if (!(desde.flags() & Qt::ItemIsEnabled) || !(hasta.flags() & Qt::ItemIsEnabled))
        return;
    // The columns shown between the two corners, in runs of neighbouring columns.
    const auto [izquierda, derecha] =
        std::minmax({header()->visualIndex(desde.column()), header()->visualIndex(hasta.column())});
    QList<int> columnas;
    for (int visual = izquierda; visual <= derecha; ++visual)
        if (!header()->isSectionHidden(header()->logicalIndex(visual)))
            columnas << header()->logicalIndex(visual);
    std::sort(columnas.begin(), columnas.end());
    QItemSelection seleccion;
    for (qsizetype primera = 0, ultima = 0; primera < columnas.size(); primera = ++ultima) {
        while (ultima + 1 < columnas.size() && columnas[ultima + 1] == columnas[ultima] + 1)
            ++ultima;
        seleccion.select(model()->index(desde.row(), columnas[primera], rootIndex()),
                         model()->index(hasta.row(), columnas[ultima], rootIndex()));
    }
    selectionModel()->select(seleccion, orden);
}

int VistaLista::verticalOffset() const
{
    return plana_ ? verticalScrollBar()->value() * altoFila_ : QTreeView::verticalOffset();
}

void VistaLista::updateGeometries()
{
    if (!plana_) {
        QTreeView::updateGeometries();
        return;
    }
    if (ajustando_) // fitting the header makes it ask again
        return;
    ajustando_ = true;
    // The header above the viewport, as Qt's tree places it.
    int alto = 0;
    if (!header()->isHidden())
        alto = std::min(std::max(header()->minimumHeight(), header()->sizeHint().height()),
                        header()->maximumHeight());
    setViewportMargins(0, alto, 0, 0);
    const QRect area = viewport()->geometry();
    header()->setGeometry(area.left(), area.top() - alto, area.width(), alto);
    QMetaObject::invokeMethod(header(), "updateGeometries");
    AjustaBarras();
    ajustando_ = false;
    QAbstractItemView::updateGeometries();
}

void VistaLista::AjustaBarras()
{
    QSize tamano = viewport()->size();
    if (!tamano.isValid())
        tamano = QSize(0, 0);
    // Down by rows: the whole rows that fit make a page.
    const int filas = Filas();
    int caben = altoFila_ > 0 ? tamano.height() / altoFila_ : filas;
    if (filas > 0)
        caben = std::max(1, caben);
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, filas - caben);
    vertical->setPageStep(caben);
    vertical->setSingleStep(1);
    // Sideways by pixels, a step being a share of the columns that fit.
    const int columnas = header()->count();
    int columnasQueCaben = 0;
    for (int ancho = 0, visual = columnas - 1; visual >= 0; --visual) {
        ancho += header()->sectionSize(header()->logicalIndex(visual));
        if (ancho > tamano.width())
            break;
        ++columnasQueCaben;
    }
    if (columnas > 0)
        columnasQueCaben = std::max(1, columnasQueCaben);
    const int largo = header()->length();
    const QSize maximo = maximumViewportSize();
    if (maximo.width() >= largo && vertical->maximum() <= 0)
        tamano = maximo;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(tamano.width());
    horizontal->setRange(0, std::max(largo - tamano.width(), 0));
    horizontal->setSingleStep(std::max(tamano.width() / (columnasQueCaben + 1), 2));
}

void VistaLista::scrollContentsBy(int dx, int dy)
{
    if (!plana_) {
        QTreeView::scrollContentsBy(dx, dy);
        return;
    }
    dx = isRightToLeft() ? -dx : dx;
    if (dx)
        header()->setOffset(horizontalScrollBar()->value());
    const int filas = Filas();
    if (filas == 0 || altoFila_ <= 0)
        return;
    // A move farther than the rows in sight paints the list again; a shorter one moves what is
    // painted by whole rows.
    if (std::abs(dy) > std::min(filas, viewport()->height() / altoFila_)) {
        verticalScrollBar()->update();
        viewport()->update();
        return;
    }
    QAbstractItemView::scrollContentsBy(dx, dy * altoFila_);
}

int VistaLista::sizeHintForColumn(int columna) const
{
    const_cast<VistaLista*>(this)->executeDelayedItemsLayout();
    if (!plana_)
        return QTreeView::sizeHintForColumn(columna);
    const int filas = Filas();
    if (filas == 0)
        return -1;
    ensurePolished();
    QStyleOptionViewItem opcion;
    initViewItemOption(&opcion);
    // As Qt's tree measures: the rows in sight, then those around them, as many as the
    // header's precision asks (every row when it is negative).
    int ancho = 0, medidas = 0;
    const auto mide = [&](int fila) {
        const QModelIndex indice = model()->index(fila, columna, rootIndex());
        ancho = std::max(ancho, itemDelegateForIndex(indice)->sizeHint(opcion, indice).width());
        ++medidas;
    };
    int arriba = std::clamp(verticalScrollBar()->value(), 0, filas - 1);
    int abajo = std::min(filas - 1, arriba + std::max(verticalScrollBar()->pageStep(), 1) - 1);
    for (int fila = arriba; fila <= abajo; ++fila)
        mide(fila);
    const int precision = header()->resizeContentsPrecision();
    const int tope = precision < 0 ? filas : std::max(precision, medidas);
    while (medidas < tope && (arriba > 0 || abajo < filas - 1))
        mide(((medidas % 2 && arriba > 0) || abajo == filas - 1) ? --arriba : ++abajo);
    return ancho;
}

void VistaLista::keyboardSearch(const QString& texto)
{
    executeDelayedItemsLayout();
    if (plana_)
        QAbstractItemView::keyboardSearch(texto);
    else
        QTreeView::keyboardSearch(texto);
}

void VistaLista::mouseDoubleClickEvent(QMouseEvent* evento)
{
    if (!plana_) {
        QTreeView::mouseDoubleClickEvent(evento);
        return;
    }
    // Below the last row, as in Qt's tree, nothing.
    const QPoint punto = evento->position().toPoint();
    if (state() != NoState || !viewport()->rect().contains(punto) || FilaEn(punto.y()) < 0)
        return;
    QAbstractItemView::mouseDoubleClickEvent(evento);
}

bool VistaLista::viewportEvent(QEvent* evento)
{
    // The cell under the mouse, for painting it hovered as Qt's tree does.
    switch (evento->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        bajoRaton_ = indexAt(static_cast<QHoverEvent*>(evento)->position().toPoint());
        break;
    case QEvent::HoverLeave:
    case QEvent::Leave:
        bajoRaton_ = QPersistentModelIndex();
        break;
    default:
        break;
    }
    return QTreeView::viewportEvent(evento);
}
