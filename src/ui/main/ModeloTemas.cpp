#include "ui/main/ModeloTemas.h"

#include "data/Cotejo.h"

#include <algorithm>

ModeloTemas::ModeloTemas(BaseVocabulario* base, QObject* padre)
    : QAbstractListModel(padre), base_(base),
      cerrado_(QStringLiteral(":/imagenes/tema_cerrado.png")),
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
    altas_.clear();
    for (siguienteAlta_ = 0; siguienteAlta_ < nombres_.size(); ++siguienteAlta_)
        altas_ << siguienteAlta_;
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

int ModeloTemas::AgregaTema(const QString& nombre)
{
    return InsertaEnOrden(nombre, siguienteAlta_++);
}

int ModeloTemas::InsertaEnOrden(const QString& nombre, int alta)
{
    const auto lugar = std::lower_bound(
        nombres_.begin(), nombres_.end(), nombre,
        [](const QString& a, const QString& b) { return ComparaTextos(a, b) < 0; });
    const int fila = int(lugar - nombres_.begin());
    beginInsertRows({}, fila, fila);
    nombres_.insert(fila, nombre);
    altas_.insert(fila, alta);
    if (abierta_ >= fila)
        ++abierta_;
    endInsertRows();
    return fila;
}

int ModeloTemas::CambiaNombre(int fila, const QString& nombre)
{
    const int alta = altas_.at(fila);
    QuitaTema(fila);
    return InsertaEnOrden(nombre, alta);
}

void ModeloTemas::QuitaTema(int fila)
{
    beginRemoveRows({}, fila, fila);
    nombres_.removeAt(fila);
    altas_.removeAt(fila);
    if (abierta_ == fila)
        abierta_ = -1;
    else if (abierta_ > fila)
        --abierta_;
    endRemoveRows();
}

int ModeloTemas::FilaMasAntigua() const
{
    const auto menor = std::min_element(altas_.begin(), altas_.end());
    return menor == altas_.end() ? -1 : int(menor - altas_.begin());
}

int ModeloTemas::GuardaTema(const Tema& tema, const QString& anterior, bool nuevo)
{
    if (nuevo) {
        base_->AgregaTema(tema);
        return AgregaTema(tema.NOMBRETEMA);
    }
    base_->RenombraTema(anterior, tema);
    const int fila = int(nombres_.indexOf(anterior));
    return fila < 0 ? AgregaTema(tema.NOMBRETEMA) : CambiaNombre(fila, tema.NOMBRETEMA);
}

void ModeloTemas::EliminaTema(int fila)
{
    const QString nombre = nombres_.at(fila);
    base_->EliminaTemaConservandoItems(nombre);
    QuitaTema(fila);
}
