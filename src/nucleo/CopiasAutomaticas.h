#pragma once
// Automatic copies: the last ten states of the vocabulary, kept without asking in
// "<data home>/TALVEXV20/copias" as "TALVEXV20-AAAAMMDD-HHMMSS.MDB". The closing makes one
// when the database changed in the run, start-up one when the newest is a week old. Each is
// a safe copy (never a half-written file among them); the oldest go only once a new one is
// whole. A copy that fails stops nothing: it is noted and said at the next start.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <thread>

// How many copies are kept, and how old the newest may grow before start-up makes one.
constexpr int CopiasConservadas = 10;
constexpr int DiasEntreCopias = 7;

struct CopiaGuardada {
    QString ruta;
    // When it was made: the moment recorded inside it, else the one its name carries; the
    // file's time when that lies ahead of now (a clock that ran ahead once).
    QDateTime hora;
    qint64 bytes = 0;
    // False when even the file's time lies ahead: then it sorts after every other copy.
    bool horaFiable = true;
};

// What the folder of the copies holds: the copies, newest first, and the names of every
// other file in it (no copy of ours, whatever its name), which the copies never touch.
struct CarpetaDeCopias {
    QList<CopiaGuardada> copias;
    QStringList ajenos;
};

// Topics and items of a copy; -1 when it cannot be read.
struct FilasCopia {
    int temas = -1;
    int items = -1;
};

// The folder of the copies: the first installation root's TALVEXV20 folder, "copias".
QString CarpetaCopias();
// The name of the copy made at `hora`.
QString NombreCopia(const QDateTime& hora);
// A copy is a file named as NombreCopia names it that is a vocabulary database of ours.
CarpetaDeCopias RevisaCarpetaCopias(const QString& carpeta,
                                    const QDateTime& ahora = QDateTime::currentDateTime());
// The copies in `carpeta`, newest first.
QList<CopiaGuardada> CopiasGuardadas(const QString& carpeta,
                                     const QDateTime& ahora = QDateTime::currentDateTime());
FilasCopia CuentaFilas(const QString& ruta);
// Why `carpeta` cannot hold the copies, when a file or a link to no folder stands in its
// place; an empty text otherwise.
QString DefectoCarpetaCopias(const QString& carpeta);
// True when start-up should make a copy: none yet with a moment to trust, or the newest
// older than the week.
bool CopiaVencida(const QString& carpeta, const QDateTime& ahora);

// Copies the database `base` into `carpeta` (made when missing) under the name of `hora`,
// recording `hora` inside the copy, then removes the copies beyond the ten newest (never the
// one just made, never a file that is no copy of ours) and what copies killed half-way left.
// Throws ErrorTalvex, and then removes nothing.
QString HazCopiaAutomatica(const QString& base, const QString& carpeta, const QDateTime& hora);

// One automatic copy on a thread of its own, so that the windows go on painting and the
// exit watcher can still end the program at once (the copy then dies with it).
class CopiaEnCurso {
public:
    CopiaEnCurso(const QString& base, const QString& carpeta, const QDateTime& hora);
    ~CopiaEnCurso(); // waits for the copy
    CopiaEnCurso(const CopiaEnCurso&) = delete;
    CopiaEnCurso& operator=(const CopiaEnCurso&) = delete;

    // Waits for the end of the copy: why it failed, or an empty text when it is whole.
    QString Espera();

private:
    QString fallo_; // before the thread, which writes it
    std::thread hilo_;
};

// The copy that the closing makes when the working database changed in this run, or null.
std::unique_ptr<CopiaEnCurso> CopiaSiCambio();
// The copy that start-up makes, right after the working database opened sound, when the
// newest is a week old; or null.
std::unique_ptr<CopiaEnCurso> CopiaSiVencida();
// Waits for the copy (none: nothing) and notes its failure for the next start.
void TerminaCopia(std::unique_ptr<CopiaEnCurso>& copia);
// Says once, in one message, why the last automatic copy failed, if it did.
void AvisaFalloCopia();
// The file where a failure waits for the next start.
QString ArchivoFalloCopia();
