#pragma once
#include <QString>

class QTreeView;

// Twips (1/1440 inch) to logical pixels at 96 DPI.
constexpr int Twips(double twips)
{
    return int(twips / 15.0 + 0.5);
}

// Adds one column at the end of the list's headers, with its caption and width in twips.
// The list's model must be a ModeloListaItems.
void AgregaColumna(QTreeView& lista, const QString& titulo, float ancho);

// Starts a fill of a two-column item list: clears its headers, adds "Inglés" and "Español"
// with the given widths (twips) and clears its rows.
void PreparaListaItems(QTreeView& lista, float anchoIngles, float anchoEspanol);
