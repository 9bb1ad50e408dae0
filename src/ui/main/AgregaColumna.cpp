#include "ui/main/AgregaColumna.h"

#include "ui/main/ModeloListaItems.h"

#include <QTreeView>

namespace {
ModeloListaItems& ModeloDe(QTreeView& lista)
{
    auto* modelo = qobject_cast<ModeloListaItems*>(lista.model());
    Q_ASSERT(modelo);
    return *modelo;
}
} // namespace

void AgregaColumna(QTreeView& lista, const QString& titulo, float ancho)
{
    ModeloListaItems& modelo = ModeloDe(lista);
    modelo.AgregaEncabezado(titulo);
    lista.setColumnWidth(modelo.columnCount() - 1, Twips(ancho));
}

void PreparaListaItems(QTreeView& lista, float anchoIngles, float anchoEspanol)
{
    // Rows first: each change of the columns lays out every row still there.
    ModeloDe(lista).LimpiaFilas();
    ModeloDe(lista).LimpiaEncabezados();
    AgregaColumna(lista, QStringLiteral("Inglés"), anchoIngles);
    AgregaColumna(lista, QStringLiteral("Español"), anchoEspanol);
}
