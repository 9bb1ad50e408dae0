#pragma once
// The shape of a vocabulary file: its tables and indexes, how a file is recognised as one,
// and the stored sort keys that must follow the running collator.
#include "data/ErrorTalvex.h"

#include <QString>

class ConexionSqlite;

// "TALV" in the file header: marks the file as a vocabulary database of this program.
constexpr int IdAplicacionVocabulario = 0x54414C56;
// The layout of the tables below; a file with another number is not read.
constexpr int VersionFormatoVocabulario = 1;

// Creates the tables, indexes and marks in a new, empty file (inside a transaction).
void CreaEsquemaVocabulario(ConexionSqlite& conexion);

// Checks, reading only, that the open file is a sound vocabulary database: its marks, its
// size, its tables with their fields and unique indexes, and (unless `paginas` is false)
// SQLite's own check of every page. Throws ErrorTalvex(BaseNoValida) that says what is wrong.
void CompruebaBaseVocabulario(ConexionSqlite& conexion, const QString& ruta, bool paginas = true);
// The same checks, giving the first thing wrong ("está dañado (…).") or an empty text.
QString DefectoBaseVocabulario(ConexionSqlite& conexion, const QString& ruta, bool paginas = true);
// The error that says the file is no sound vocabulary database, and why.
ErrorTalvex ErrorBaseNoValida(const QString& ruta, const QString& defecto);
// SQLite's check of every page of the file, on a read-only connection of its own (so that it
// may run on another thread while the file is read): the fault found, or an empty text.
QString DefectoPaginasAparte(const QString& ruta);
// Whether opening the file would write to it (an index or the sort keys to complete, another
// journal mode): then it must be checked whole first.
bool NecesitaArreglos(ConexionSqlite& conexion);

// When the keys were computed by another collator version, computes every key again, in
// one transaction, and records the running version.
void ActualizaClavesOrden(ConexionSqlite& conexion);

// Adds the indexes that only speed reading up, when a file made before them lacks them.
void CompletaIndices(ConexionSqlite& conexion);
