#pragma once
// Getting vocabulary in and out of the store in open formats: CSV and TSV (RFC 4180), a TSV
// that the Anki flash-card program imports as it is, and KVTML 2.0 (the KDE learning
// programs). An import is read and checked whole before anything is written; the write is one
// transaction. No widgets here: the import and export windows and the talvex-datos tool share
// this code. Every failure throws ErrorTalvex with a Spanish description.
#include "data/BaseVocabulario.h"

#include <QString>
#include <functional>
#include <optional>
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

// Reads a CSV, TSV (separator and header line detected, BOM accepted, CR LF or LF, quoted
// fields with line breaks kept) or KVTML file (told apart by its content). Only a regular file
// is read: a folder, a named pipe, a device or a socket is refused at once, and a file that
// changes while it is read is refused (ArchivoCambiado). A file that is not text (a NUL byte,
// not XML when it looks like XML), larger than TamanoMaximo, a KVTML without English or
// Spanish, or with entity declarations (a DTD's internal subset), throws with a Spanish
// message. A DOCTYPE that only names the format's DTD is accepted (the KVTML writers put one
// in every file); it is never fetched. Besides XML's own references, KVTML texts may use
// HTML's named ones (&eacute;); an entry using any other is refused with its line.
// Our CSV and TSV files are read in both layouts: one table with the topic's notes on every
// row (ColumnaNotasTema), and the older items-then-topics sections, also as a spreadsheet
// saves them again (",,," for the empty line, "Tema,Notas,," for the section's header).
Lectura LeeArchivo(const QString& ruta, Codificacion codificacion = Codificacion::Automatica,
                   const Progreso& progreso = {});
// The same from bytes already in memory (the tests', the tool's standard input).
Lectura LeeDatos(const QByteArray& datos, Codificacion codificacion = Codificacion::Automatica);

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
Plan Planea(const Lectura& lectura, const BaseVocabulario& base);

// What the import wrote, for the main window to show without reading the store again.
struct Resultado {
    std::vector<Item> agregados;                        // new items
    std::vector<std::pair<QString, Item>> reemplazados; // stored English text, item written
    std::vector<Tema> temasAgregados;
};
// Writes the plan in one transaction: everything or nothing (a failure or a cancel leaves the
// file as it was). Existing items are skipped, or get the file's Spanish text, topic and
// notes (their English text keeps the stored spelling).
Resultado Aplica(const Plan& plan, Duplicados duplicados, BaseVocabulario& base,
                 const Progreso& progreso = {});

// The header of the column that repeats a topic's notes on each of its rows.
inline const QString ColumnaNotasTema = QStringLiteral("Notas del tema");

// Writes items (all, or those of one topic, exactly as named) to `ruta` in the format,
// through a temporary file renamed over it, so a failure leaves no half-written file. Only a
// regular file or a new name is written: a folder, a pipe or a device is refused.
// CSV and TSV: one table any spreadsheet or CSV library reads as it is, so that a round trip
// loses nothing: the header "Inglés,Español,Tema,Notas,Notas del tema", one row per item in
// key order with its topic's notes, then one row per topic that no item names (English,
// Spanish and notes empty). Anki: its headers, then the items (the topic is the deck
// column). Kvtml is not written (ErrorTalvex). A topic that neither the store nor any item
// has is refused (TemaDesconocido) and nothing is written.
void Exporta(const BaseVocabulario& base, const QString& ruta, Formato formato,
             const std::optional<QString>& tema = std::nullopt, const Progreso& progreso = {});
// The items with these English texts (keys), in this order, with the notes of the topics they
// name, written as Exporta writes (no rows of topics without items). An English text the
// store does not have is refused (ItemDesconocido) and nothing is written.
void ExportaItems(const BaseVocabulario& base, const std::vector<QString>& ingles,
                  const QString& ruta, Formato formato, const Progreso& progreso = {});
// What Exporta writes, into memory.
QByteArray ExportaDatos(const BaseVocabulario& base, Formato formato,
                        const std::optional<QString>& tema = std::nullopt);

} // namespace Intercambio
