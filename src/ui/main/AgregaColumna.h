#pragma once
#include "ui/ventanas/Centrado.h"

#include <QString>

class QTreeView;

// Adds one column at the end of the list's headers, with its caption and width in twips.
// The list's model must be a ModeloListaItems.
void AgregaColumna(QTreeView& lista, const QString& titulo, float ancho);

// Starts a fill of a two-column item list: clears its headers, adds "Inglés" and "Español"
// with the given widths (twips) and clears its rows.
void PreparaListaItems(QTreeView& lista, float anchoIngles, float anchoEspanol);
