#pragma once
// What the search box completes to: the first item, in list order, whose English text begins
// with what was typed (letter case aside) and whose first letter, upper-cased, is the typed
// one's. It searches the list's own rows in place, in about log N steps: a binary search on
// the primary order (letters alone) finds where the texts beginning with the typed text
// start, and the first that truly begins with it is taken. A text holding a character that
// joins the one before it (a combining mark, the tilde of a decomposed ñ) may sort apart from
// its beginnings: such texts are few, kept aside, and looked at too.
#include "listas/FilasLista.h"

#include <QString>
#include <optional>
#include <vector>

class IndiceCompletado {
public:
    // The rows, in list order, belong to the list; the index only reads them.
    explicit IndiceCompletado(const FilasLista& filas) : filas_(filas) {}

    // The rows changed wholesale: the texts kept aside, anew.
    void Construye();
    std::optional<QString> Completa(const QString& escrito) const;
    // A row's text came or went (before or after the rows change, either way).
    void Agrega(const QString& texto);
    void Quita(const QString& texto);

private:
    std::optional<QString> CompletaRecorriendo(const QString& escrito) const;

    const FilasLista& filas_;
    std::vector<QString> apartados_; // in list order
};
