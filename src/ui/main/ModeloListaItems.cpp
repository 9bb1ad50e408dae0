#include "ui/main/ModeloListaItems.h"

#include "data/Cotejo.h"

#include <algorithm>
#include <iterator>

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
    const FilaLista& fila = filas_[size_t(indice.row())];
    return indice.column() == 0 ? fila.ingles : fila.espanol;
}

Qt::ItemFlags ModeloListaItems::flags(const QModelIndex& indice) const
{
    const Qt::ItemFlags propias = QAbstractTableModel::flags(indice);
    return indice.isValid() ? propias | Qt::ItemNeverHasChildren : propias;
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

void ModeloListaItems::CambiaFilas(std::vector<FilaLista> filas)
{
    beginResetModel();
    filas_ = std::move(filas);
    indice_.Construye();
    endResetModel();
}

int ModeloListaItems::BuscaFila(const QString& ingles) const
{
    const auto fila = filas_.begin() + CuentaAnteriores(ingles);
    // Key equality ignores case only; the texts must also match letter for letter once
    // upper-cased.
    if (fila == filas_.end() || fila->ingles.toUpper() != ingles.toUpper())
        return -1;
    return int(fila - filas_.begin());
}

int ModeloListaItems::CuentaAnteriores(const QString& ingles) const
{
    const auto fila = std::lower_bound(filas_.begin(), filas_.end(), ingles,
                                       [](const FilaLista& f, const QString& texto) {
                                           return ComparaTextos(f.ingles, texto) < 0;
                                       });
    return int(fila - filas_.begin());
}

int ModeloListaItems::InsertaFila(const FilaLista& fila)
{
    const int posicion = CuentaAnteriores(fila.ingles);
    beginInsertRows({}, posicion, posicion);
    filas_.insert(filas_.begin() + posicion, fila);
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
        const auto desde = filas_.begin() + fila;
        const auto hasta = filas_.begin() + destino;
        if (destino > fila)
            std::rotate(desde, desde + 1, hasta + 1);
        else
            std::rotate(hasta, desde, desde + 1);
        endMoveRows();
    }
    filas_[size_t(destino)] = nueva;
    emit dataChanged(index(destino, 0), index(destino, qMax(0, columnCount() - 1)));
    return destino;
}

void ModeloListaItems::QuitaFila(int fila)
{
    beginRemoveRows({}, fila, fila);
    filas_.erase(filas_.begin() + fila);
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
    indice_.Quita(filas_[size_t(editada)].ingles);
    indice_.Agrega(item.ITEMING);
    return ReemplazaFila(editada, guardada);
}

void ModeloListaItems::EliminaItem(int fila)
{
    const QString ingles = filas_[size_t(fila)].ingles;
    base_->EliminaItem(ingles);
    QuitaFila(fila);
    // The deleted text is never offered again by the completion.
    indice_.Quita(ingles);
}

void ModeloListaItems::AgregaFilas(std::vector<FilaLista> nuevas)
{
    const auto antes = [](const FilaLista& a, const FilaLista& b) {
        return ComparaTextos(a.ingles, b.ingles) < 0;
    };
    std::sort(nuevas.begin(), nuevas.end(), antes);
    std::vector<FilaLista> todas;
    todas.reserve(filas_.size() + nuevas.size());
    std::merge(std::make_move_iterator(filas_.begin()), std::make_move_iterator(filas_.end()),
               std::make_move_iterator(nuevas.begin()), std::make_move_iterator(nuevas.end()),
               std::back_inserter(todas), antes);
    CambiaFilas(std::move(todas));
}

void ModeloListaItems::CambiaEspanol(const QString& ingles, const QString& espanol)
{
    const int fila = BuscaFila(ingles);
    if (fila < 0)
        return;
    filas_[size_t(fila)].espanol = espanol;
    emit dataChanged(index(fila, 1), index(fila, 1));
}
