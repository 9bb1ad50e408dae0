#pragma once
// The shape of a vocabulary file: its tables and indexes, how a file is recognised as one,
// and the stored sort keys that must follow the running collator.
#include "data/ErrorTalvex.h"

#include <QString>

class ConexionSqlite;

// "TALV" in the file header: marks the file as a vocabulary database of this program.
constexpr int IdAplicacionVocabulario = 0x54414C56;
// The layout of the tables: 1 the vocabulary, 2 with practice's cards and answers. A file of
// format 1 is brought to 2 when opened (once found sound); a later number is not read.
constexpr int VersionFormatoVocabulario = 2;
constexpr int VersionMinimaVocabulario = 1;

// Creates the tables, indexes and marks in a new, empty file (inside a transaction).
void CreaEsquemaVocabulario(ConexionSqlite& conexion);

// How much of a file a check reads.
enum class Comprobacion {
    Estructura, // its marks, size, tables and indexes: a few pages
    Paginas,    // and SQLite's quick check of every page (quick_check)
    Completa,   // and that every index holds exactly its table's rows (integrity_check)
};

// Files up to this size get the whole check at start-up: it then runs aside within about
// two seconds, while the lists fill. Beyond its page cache SQLite reads pages again and
// again (a million items, 370 MB: 15 to 30 s), so larger files get the quick check there.
constexpr qint64 TamanoComprobacionCompletaAlIniciar = qint64(64) << 20;

// Checks, reading only, that the open file is a sound vocabulary database, as far as
// `nivel` reads. Throws ErrorTalvex(BaseNoValida) that says what is wrong.
void CompruebaBaseVocabulario(ConexionSqlite& conexion, const QString& ruta,
                              Comprobacion nivel = Comprobacion::Paginas);
// The same checks, giving the first thing wrong ("está dañado (…).") or an empty text.
QString DefectoBaseVocabulario(ConexionSqlite& conexion, const QString& ruta,
                               Comprobacion nivel = Comprobacion::Paginas);
// The error that says the file is no sound vocabulary database, and why.
ErrorTalvex ErrorBaseNoValida(const QString& ruta, const QString& defecto);

// What SQLite's check of the pages found.
struct DefectoPaginas {
    QString defecto;          // "está dañado (…)." or an empty text when sound
    bool soloIndices = false; // every fault lies in indexes, which REINDEX rebuilds from the rows
};
// SQLite's check of every page of the file (Paginas or Completa), on a read-only connection
// of its own, so that it may run on another thread while the file is read.
DefectoPaginas DefectoPaginasAparte(const QString& ruta, Comprobacion nivel);
// Whether opening the file would write to it (an index or the sort keys to complete, another
// journal mode): then it must be checked whole first.
bool NecesitaArreglos(ConexionSqlite& conexion);

// When the keys were computed by another collator version, computes every key again, in
// one transaction, and records the running version.
void ActualizaClavesOrden(ConexionSqlite& conexion);

// Whether the file is of an earlier format than the running program's.
bool NecesitaActualizarFormato(ConexionSqlite& conexion);
// Brings a file of an earlier format to the current one, in one transaction.
void ActualizaFormato(ConexionSqlite& conexion);

// Adds the indexes that only speed reading up, when a file made before them lacks them.
void CompletaIndices(ConexionSqlite& conexion);
