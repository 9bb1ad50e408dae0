#pragma once
// The formats an export writes, as the export window and the search window name them.
#include "intercambio/Intercambio.h"

#include <utility>

inline constexpr std::pair<const char*, Intercambio::Formato> FormatosExportacion[] = {
    {"CSV, separado por comas (hojas de cálculo)", Intercambio::Formato::Csv},
    {"TSV, separado por tabulaciones", Intercambio::Formato::Tsv},
    {"TSV para importar en Anki", Intercambio::Formato::Anki},
};
