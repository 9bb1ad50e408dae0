#pragma once
// Folding for the search index: case folded and accents removed, one code point at a time, to
// UTF-8; the English and Spanish as written kept in UTF-8 and folded again when asked for; and
// the map that traces a match in a folded text back to the characters of the original.
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace Busqueda {

// Folds texto to UTF-8 at the end of destino.
void PliegaUtf8(QStringView texto, std::string& destino);

// The text as written in UTF-8, lone surrogates and all, at the end of destino: the English and
// Spanish are kept so.
void AnadeOriginal(QStringView texto, std::string& destino);
// An original kept so, as text again.
QString TextoOriginal(std::string_view original);
// The folding of an original kept so, at the end of destino: the same bytes as PliegaUtf8 of
// its text.
void PliegaOriginal(std::string_view original, std::string& destino);

// The folded text and, for each of its bytes, the range of the original it comes from. A
// character that folds to nothing (a combining accent) joins the one before it.
struct Mapa {
    std::string plegado;
    std::vector<int> inicio, fin;
};
Mapa MapaPliegue(QStringView texto);

// Case folded only, accents kept: tells an exact match from an accent-free one.
QString PliegaMayusculas(QStringView texto);

} // namespace Busqueda
