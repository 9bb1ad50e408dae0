#include "ui/main/ModeloListaItems.h"

#include "data/Cotejo.h"

#include <algorithm>

int ModeloListaItems::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(filas_.size());
}

int ModeloListaItems::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(encabezados_.size());
}

QVariant ModeloListaItems::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || rol != Qt::DisplayRole || indice.row() >= rowCount())
        return {};
    const auto fila = size_t(indice.row());
    return indice.column() == 0 ? filas_.Ingles(fila) : filas_.Espanol(fila);
}

QModelIndex ModeloListaItems::index(int fila, int columna, const QModelIndex& padre) const
{
    if (padre.isValid() || fila < 0 || columna < 0 || size_t(fila) >= filas_.size() ||
        columna >= encabezados_.size())
        return {};
    return createIndex(fila, columna);
}

Qt::ItemFlags ModeloListaItems::flags(const QModelIndex& indice) const
{
    if (indice.isValid() && indice.model() == this && size_t(indice.row()) < filas_.size() &&
        indice.column() < encabezados_.size())
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return QAbstractTableModel::flags(indice);
}

QVariant ModeloListaItems::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion < encabezados_.size())
        return encabezados_[seccion];
    return QAbstractTableModel::headerData(seccion, orientacion, rol);
}

void ModeloListaItems::LimpiaEncabezados()
{
    if (encabezados_.isEmpty())
        return;
    beginRemoveColumns({}, 0, int(encabezados_.size()) - 1);
    encabezados_.clear();
    endRemoveColumns();
}

void ModeloListaItems::AgregaEncabezado(const QString& titulo)
{
    const int columna = int(encabezados_.size());
    beginInsertColumns({}, columna, columna);
    encabezados_ << titulo;
    endInsertColumns();
}

void ModeloListaItems::LimpiaFilas()
{
    CambiaFilas({});
}

void ModeloListaItems::CambiaFilas(FilasLista filas)
{
    beginResetModel();
    filas_ = std::move(filas);
    indice_.Construye();
    endResetModel();
}

int ModeloListaItems::BuscaFila(const QString& ingles) const
{
    const auto fila = size_t(CuentaAnteriores(ingles));
    // Key equality ignores case only; the texts must also match letter for letter once
    // upper-cased.
    if (fila == filas_.size() || filas_.Ingles(fila).toUpper() != ingles.toUpper())
        return -1;
    return int(fila);
}

int ModeloListaItems::CuentaAnteriores(const QString& ingles) const
{
    return int(filas_.PrimeraQueNo(
        [&](size_t fila) { return ComparaTextos(filas_.Ingles(fila), ingles) < 0; }));
}

int ModeloListaItems::InsertaFila(const FilaLista& fila)
{
    const int posicion = CuentaAnteriores(fila.ingles);
    beginInsertRows({}, posicion, posicion);
    filas_.Inserta(size_t(posicion), fila);
    endInsertRows();
    return posicion;
}

int ModeloListaItems::ReemplazaFila(int fila, const FilaLista& nueva)
{
    // The other rows stay sorted: those before the new text, less the row itself when it
    // was one of them, give its place once it has moved.
    const int anteriores = CuentaAnteriores(nueva.ingles);
    const int destino = fila < anteriores ? anteriores - 1 : anteriores;
    if (destino != fila) {
        beginMoveRows({}, fila, fila, {}, destino > fila ? destino + 1 : destino);
        filas_.Mueve(size_t(fila), size_t(destino));
        endMoveRows();
    }
    filas_.Cambia(size_t(destino), nueva);
    emit dataChanged(index(destino, 0), index(destino, qMax(0, columnCount() - 1)));
    return destino;
}

void ModeloListaItems::QuitaFila(int fila)
{
    beginRemoveRows({}, fila, fila);
    filas_.Quita(size_t(fila));
    endRemoveRows();
}

int ModeloListaItems::GuardaItem(const Item& item, const QString& anterior, bool nuevo)
{
    // One store call each: the row is written whole or not at all.
    const FilaLista guardada{item.ITEMING, item.ITEMESP};
    if (nuevo) {
        base_->AgregaItem(item);
        indice_.Agrega(item.ITEMING);
        return InsertaFila(guardada);
    }
    base_->ModificaItem(anterior, item);
    // The row opened for editing, found by its text: after a failed save the main window is
    // usable again and its selection may have moved.
    const int editada = BuscaFila(anterior);
    if (editada < 0)
        return -1;
    indice_.Quita(filas_.Ingles(size_t(editada)));
    indice_.Agrega(item.ITEMING);
    return ReemplazaFila(editada, guardada);
}

void ModeloListaItems::EliminaItem(int fila)
{
    const QString ingles = filas_.Ingles(size_t(fila));
    base_->EliminaItem(ingles);
    QuitaFila(fila);
    // The deleted text is never offered again by the completion.
    indice_.Quita(ingles);
}

void ModeloListaItems::AgregaFilas(std::vector<FilaLista> nuevas)
{
    const auto antes = [](const QString& a, const QString& b) { return ComparaTextos(a, b) < 0; };
    std::sort(nuevas.begin(), nuevas.end(),
              [&](const FilaLista& a, const FilaLista& b) { return antes(a.ingles, b.ingles); });
    beginResetModel();
    filas_.Mezcla(nuevas, antes);
    indice_.Construye();
    endResetModel();
}

void ModeloListaItems::CambiaEspanol(const QString& ingles, const QString& espanol)
{
    const int fila = BuscaFila(ingles);
    if (fila < 0)
        return;
    filas_.CambiaEspanol(size_t(fila), espanol);
    emit dataChanged(index(fila, 1), index(fila, 1));
}
