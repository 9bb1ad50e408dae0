#include "ui/main/ModeloTemas.h"

ModeloTemas::ModeloTemas(QObject* padre)
    : QAbstractListModel(padre), cerrado_(QStringLiteral(":/imagenes/tema_cerrado.png")),
      abierto_(QStringLiteral(":/imagenes/tema_abierto.png"))
{
}

int ModeloTemas::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(nombres_.size());
}

QVariant ModeloTemas::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || indice.row() >= nombres_.size())
        return {};
    if (rol == Qt::DisplayRole)
        return nombres_[indice.row()];
    if (rol == Qt::DecorationRole)
        return indice.row() == abierta_ ? abierto_ : cerrado_;
    return {};
}

void ModeloTemas::CambiaTemas(QStringList nombres)
{
    beginResetModel();
    nombres_ = std::move(nombres);
    abierta_ = -1;
    endResetModel();
}

void ModeloTemas::MarcaAbierto(int fila)
{
    const int anterior = abierta_;
    abierta_ = fila;
    for (int cambiada : {anterior, fila})
        if (cambiada >= 0 && cambiada < nombres_.size())
            emit dataChanged(index(cambiada), index(cambiada), {Qt::DecorationRole});
}
