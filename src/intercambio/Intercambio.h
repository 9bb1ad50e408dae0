#pragma once
// Getting vocabulary in and out of the store in open formats: CSV and TSV (RFC 4180), a TSV
// that the Anki flash-card program imports as it is, and KVTML 2.0 (the KDE learning
// programs). An import is read and checked whole before anything is written; the write is one
// transaction. No widgets here: the import and export windows and the talvex-datos tool share
// this code. Every failure throws ErrorTalvex with a Spanish description.
#include "intercambio/TiposIntercambio.h"

#include "data/BaseVocabulario.h"

#include <QString>
#include <optional>
#include <vector>

namespace Intercambio {

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

// What importing the file would do to the store; nothing is written.
Plan Planea(const Lectura& lectura, const BaseVocabulario& base);

// Writes the plan in one transaction: everything or nothing (a failure or a cancel leaves the
// file as it was). Existing items are skipped, or get the file's Spanish text, topic and
// notes (their English text keeps the stored spelling).
Resultado Aplica(const Plan& plan, Duplicados duplicados, BaseVocabulario& base,
                 const Progreso& progreso = {});

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
