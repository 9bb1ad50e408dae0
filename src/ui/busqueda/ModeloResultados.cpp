#include "ui/busqueda/ModeloResultados.h"

#include <algorithm>

namespace {
const QStringList Encabezados{QStringLiteral("Inglés"), QStringLiteral("Español"),
                              QStringLiteral("Tema"), QStringLiteral("Dónde")};

// Every field, as the opener is given the whole result chosen.
bool MismoHallazgo(const Busqueda::Hallazgo& a, const Busqueda::Hallazgo& b)
{
    return a.ingles == b.ingles && a.espanol == b.espanol && a.tema == b.tema &&
           a.esTema == b.esTema && a.lugar == b.lugar && a.cercano == b.cercano &&
           a.palabra == b.palabra && a.fragmento == b.fragmento && a.inicio == b.inicio &&
           a.largo == b.largo;
}
} // namespace

int ModeloResultados::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(resultados_.size());
}

int ModeloResultados::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(Encabezados.size());
}

QString ModeloResultados::Donde(const Busqueda::Hallazgo& hallazgo)
{
    if (hallazgo.cercano)
        return QStringLiteral("¿Quiso decir «%1»?").arg(hallazgo.palabra);
    switch (hallazgo.lugar) {
    case Busqueda::Lugar::Ingles:
        return QStringLiteral("en inglés");
    case Busqueda::Lugar::Espanol:
        return QStringLiteral("en español");
    case Busqueda::Lugar::Tema:
        return hallazgo.esTema ? QStringLiteral("nombre del tema") : QStringLiteral("en el tema");
    case Busqueda::Lugar::Notas:
        break;
    }
    const QString& texto = hallazgo.fragmento;
    return texto.left(hallazgo.inicio) + QStringLiteral("«") +
           texto.mid(hallazgo.inicio, hallazgo.largo) + QStringLiteral("»") +
           texto.mid(hallazgo.inicio + hallazgo.largo);
}

QVariant ModeloResultados::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || indice.row() >= rowCount() || rol != Qt::DisplayRole)
        return {};
    const Busqueda::Hallazgo& hallazgo = resultados_[size_t(indice.row())];
    switch (indice.column()) {
    case 0:
        return hallazgo.ingles;
    case 1:
        return hallazgo.espanol;
    case 2:
        return hallazgo.tema;
    default:
        return Donde(hallazgo);
    }
}

QVariant ModeloResultados::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion < Encabezados.size())
        return Encabezados[seccion];
    return QAbstractTableModel::headerData(seccion, orientacion, rol);
}

bool ModeloResultados::CambiaResultados(std::vector<Busqueda::Hallazgo> resultados)
{
    if (std::equal(resultados.begin(), resultados.end(), resultados_.begin(), resultados_.end(),
                   MismoHallazgo))
        return false;
    if (resultados.size() == resultados_.size()) {
        // As many rows: they change in place, and the list keeps its layout, header and scroll
        // bar and only paints its rows again.
        resultados_ = std::move(resultados);
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        return true;
    }
    beginResetModel();
    resultados_ = std::move(resultados);
    endResetModel();
    return true;
}
