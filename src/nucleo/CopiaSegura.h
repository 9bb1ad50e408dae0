#pragma once
// Copies of the vocabulary database that never leave a half-written file behind.
//
// The database is never copied as raw bytes, since it may be open: SQLite's online backup
// copies its pages into a new file beside the destination, which is synced, checked as a
// vocabulary database and only then renamed over the destination. Whatever happens (a full
// disk, a killed process, a power cut), the destination holds either its old content or the
// whole new database. Failures throw ErrorTalvex with the numbers of the file operations
// (53 source missing, 76 destination folder missing, 70 permission denied, disk full…);
// a source that is no sound vocabulary database throws ErrorTalvex(BaseNoValida) and
// nothing is written.
#include "data/EsquemaVocabulario.h"

#include <QString>
#include <functional>

struct sqlite3;
class ConexionSqlite;

// The safety copy that a restore keeps of the working database, beside it. Its name does
// not end in ".tmp", which the shutdown clean-up deletes.
inline const QString SufijoCopiaPrevia = QStringLiteral(".anterior");

// True when both paths name one existing file (links and different spellings included).
bool MismoArchivo(const QString& ruta1, const QString& ruta2);

// The file of the open connection's main database (empty for an in-memory one).
QString ArchivoDeConexion(sqlite3* conexion);

// Copies the vocabulary database `origen` to `destino`, replacing an existing destination
// (keeping its permissions; a link is followed, so the file it points at is replaced). With
// `copiaPrevia`, an existing destination is first copied there byte for byte, as it is; it
// must then be a file that no connection holds open. The source is checked as far as
// `nivel` reads (Completa for a file about to become the working database). `marca` writes
// into the new copy before it is synced and checked.
void CopiaBaseSegura(const QString& origen, const QString& destino, const QString& copiaPrevia = {},
                     Comprobacion nivel = Comprobacion::Paginas,
                     const std::function<void(ConexionSqlite&)>& marca = {});

// Replaces the content of the database that `conexion` holds open with the vocabulary
// database `origen`, checked whole first, in one transaction of that connection, so that
// the working file is never swapped under it. First its present content is kept, by
// CopiaBaseSegura, in its own name followed by SufijoCopiaPrevia.
void RestauraEnConexion(const QString& origen, sqlite3* conexion);

// Why `origen` is no sound vocabulary database ("TALVEXV20.MDB: está dañado (…)."), or an
// empty text when it is one or cannot be read at all (the copy then says what stops it).
QString DefectoOrigen(const QString& origen, Comprobacion nivel = Comprobacion::Paginas);

// Removes what copies into `carpeta`, whatever their destinations, left when they were killed
// half-way.
void BorraCopiasInterrumpidas(const QString& carpeta);

// The beginning of the names of the temporary copies made for `destino`, in its folder;
// tests look for leftovers with it.
QString PrefijoTemporal(const QString& destino);
