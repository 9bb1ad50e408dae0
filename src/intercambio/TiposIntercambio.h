#pragma once
// What the import and export functions (Intercambio.h) and their helpers share: the formats
// and encodings, progress, error numbers, what a file holds once read, what an import would
// do and what it did.
#include "data/BaseVocabulario.h"

#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace Intercambio {

enum class Formato {
    Csv, // comma-separated, RFC 4180
    Tsv, // tab-separated, quoted like CSV where needed
    Anki, // TSV with Anki's file headers (#separator:tab, #html:false, #columns:…, #deck column:…)
    Kvtml, // KVTML 2.0 (import only)
};

// How the bytes of a text file are read. Automatic: UTF-8 (a BOM is accepted and dropped);
// a file that is not valid UTF-8 is refused with ErrorTalvex(CodificacionDudosa) so that the
// caller can offer Windows-1252, which Spanish spreadsheets often write.
enum class Codificacion { Automatica, Windows1252 };

// Progress of long work: `hecho` of `total` (bytes read, or rows written). Returning false
// cancels: nothing is written and the call throws ErrorTalvex(Cancelado).
using Progreso = std::function<bool(qint64 hecho, qint64 total)>;

inline constexpr int CodificacionDudosa = 3900;          // ErrorTalvex number: not valid UTF-8
inline constexpr int Cancelado = 3901;                   // ErrorTalvex number: the user cancelled
inline constexpr qint64 TamanoMaximo = 64 * 1024 * 1024; // larger files are refused
inline constexpr int ArchivoNoValido = 3902;        // not text, not readable XML, no KVTML, a DTD
inline constexpr int ArchivoDemasiadoGrande = 3903; // larger than TamanoMaximo
inline constexpr int ArchivoCambiado = 3904;        // the file changed while it was read
inline constexpr int TemaDesconocido = 3905;        // an export of a topic the store lacks
inline constexpr int ItemDesconocido = 3906;        // an export of an item the store lacks

struct ItemLeido {
    Item item;
    int linea = 0; // where its row starts in the file (1-based); its entry number in KVTML
};

struct Rechazo {
    int linea = 0;
    QString motivo; // Spanish: "falta el texto en inglés", "el texto en inglés pasa de 100
                    // caracteres", "comillas sin cerrar"…
};

// What a file holds, read and checked, before anything is written.
struct Lectura {
    Formato formato = Formato::Csv;
    int filasLeidas = 0;           // data rows (or entries), header and topic section aside
    std::vector<ItemLeido> items;  // accepted rows, in file order
    std::vector<Tema> temas;       // topics with their notes (a CSV's topic section, KVTML lessons)
    std::vector<Rechazo> rechazos; // rows refused, with why
};

enum class Duplicados { Omitir, Reemplazar };

// What an import would do to the store, as the import window shows it before writing.
struct Plan {
    std::vector<Item> nuevos;      // English text not in the store (nor earlier in the file)
    std::vector<Item> existentes;  // English text the store already has (equal keys)
                                   // (ITEMING is the stored spelling; the rest the file's)
    std::vector<Tema> temasNuevos; // topics not in the store: those of the file and those
                                   // that new or replaced items name ("Sin categoría" never)
    // The names in temasNuevos that only existing items name: written only when they are
    // replaced.
    std::vector<QString> temasSoloDeExistentes;
    std::vector<Rechazo> rechazos; // the file's refusals, and rows repeating an earlier row
    int filasLeidas = 0;
};

// What the import wrote, for the main window to show without reading the store again.
struct Resultado {
    std::vector<Item> agregados;                        // new items
    std::vector<std::pair<QString, Item>> reemplazados; // stored English text, item written
    std::vector<Tema> temasAgregados;
};

// The header of the column that repeats a topic's notes on each of its rows.
inline const QString ColumnaNotasTema = QStringLiteral("Notas del tema");

} // namespace Intercambio
