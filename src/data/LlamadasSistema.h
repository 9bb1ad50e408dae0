#pragma once
// The one file of system calls: every call to the operating system that the program makes
// (files, folders, processes, memory, thread priority) is made here, in these small helpers,
// and nowhere else, so that another system needs only this file written anew. Failures keep
// their errno, which the callers turn into their error numbers and messages; every file that
// must never be found half-written goes through the writing helpers.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <cerrno>
#include <functional>
#include <optional>
#include <vector>

// A path in the file system's own encoding.
inline QByteArray Nativa(const QString& ruta)
{
    return QFile::encodeName(ruta);
}

// Repeats a system call that a signal interrupted.
template <typename Llamada> auto SinInterrupcion(Llamada llamada)
{
    auto resultado = llamada();
    while (resultado == -1 && errno == EINTR)
        resultado = llamada();
    return resultado;
}

// What a path names, as the checks tell files apart.
enum class ClaseArchivo { Regular, Carpeta, Enlace, Tuberia, Dispositivo, Socket, Otra, Ninguna };

// The state of a file as the system keeps it. When it could not be read, `clase` is Ninguna
// and `error` holds the errno (ENOENT: nothing has that name).
struct EstadoArchivo {
    ClaseArchivo clase = ClaseArchivo::Ninguna;
    int error = 0;
    qint64 tamano = 0;
    int permisos = 0;             // the permission bits (07777)
    bool escribibleDueno = false; // the owner may write it: not read-only
    qint64 modificadoS = 0;       // the last change of its contents, seconds…
    qint64 modificadoNs = 0;      // …and nanoseconds
    quint64 dispositivo = 0;      // the file itself, whatever name reaches it
    quint64 nodo = 0;

    bool Leido() const { return error == 0; }
    // The same file, through this name or another.
    bool MismoArchivo(const EstadoArchivo& otro) const
    {
        return dispositivo == otro.dispositivo && nodo == otro.nodo;
    }
    // The same size and the same time of the last change: nothing wrote it in between.
    bool SinCambios(const EstadoArchivo& otro) const
    {
        return tamano == otro.tamano && modificadoS == otro.modificadoS &&
               modificadoNs == otro.modificadoNs;
    }
};

// The state of `ruta`; of a link itself unless `sigueEnlaces`, else of what it points at.
EstadoArchivo Estado(const QByteArray& ruta, bool sigueEnlaces = true);
// The state of an open file.
EstadoArchivo EstadoDe(int fd);

// Opens a file for reading without waiting (a named pipe would otherwise wait for a writer
// for ever) and without making a terminal the program's own. -1 with errno set.
int AbreParaLeer(const QByteArray& ruta);

// Opens a file for writing, never through a link: a new one (EEXIST when the name is taken),
// or with `vacia` the one there emptied or a new one. Created with open's usual mode; -1 with
// errno set.
int AbreParaEscribir(const QByteArray& ruta, bool vacia);

// Reads up to `cuantos` bytes, from where the file is or at `desde`: the count read, 0 at
// the end, -1 with errno set.
qint64 Lee(int fd, void* destino, size_t cuantos);
qint64 LeeEn(int fd, void* destino, size_t cuantos, qint64 desde);

// Removes a name (a file or a link, never a folder); false with errno set.
bool Borra(const QByteArray& ruta);
// Gives a file another name, replacing any file already there; false with errno set.
bool CambiaNombre(const QByteArray& origen, const QByteArray& destino);
// Creates one folder, with the usual permissions; false with errno set.
bool CreaCarpeta(const QByteArray& ruta);
// Whether the program may read the file; false with errno set.
bool SePuedeLeer(const QByteArray& ruta);

// The absolute path with every link, "." and ".." resolved; nothing, with errno set, when a
// part of it does not exist.
std::optional<QByteArray> RutaReal(const QByteArray& ruta);

// The names of a folder's entries, without "." and ".."; nothing, with errno set, when it
// cannot be read.
std::optional<std::vector<QByteArray>> NombresEnCarpeta(const QByteArray& carpeta);

// The numbers of the processes running on this machine, in no given order.
std::vector<qint64> ProcesosEnMarcha();
// The path of a process's executable; empty when it cannot be read (a kernel thread, a
// process already ended, another user's process). A copy whose file was replaced or removed
// while it runs still names that file.
QByteArray EjecutableDeProceso(qint64 pid);
// The number of this program's process.
qint64 ProcesoPropio();
// Ends a process at once, without its own shutdown; false when it cannot be ended. Zero and
// negative numbers name process groups or every process: never signalled.
bool MataProceso(qint64 pid);
// False once the process has ended (an ended process not yet reaped counts as ended).
bool ProcesoVivo(qint64 pid);

// Closes a descriptor on every way out; Cierra closes it early and reports the failure.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor();
    int fd() const { return fd_; }
    // A failed close can be a delayed write error; EINTR still closed it on Linux.
    bool Cierra();

private:
    int fd_;
};

// Writes every byte, or returns false with errno set (a device that takes nothing is full).
bool EscribeTodo(int fd, const char* datos, size_t cuantos);

// A new hidden file of ours in `carpeta`, so that the final rename stays within one file
// system; its name never ends in ".tmp", which the shutdown clean-up deletes. Created with
// open's usual mode. Returns the descriptor (-1 with errno set) and its path in `ruta`.
int CreaTemporal(const QString& carpeta, QByteArray& ruta);

// A hidden temporary file beside a destination, so that the final rename stays within one file
// system. It holds an exclusive flock while it lives: a temporary whose lock anyone can take
// belongs to a writer that died, and BorraAbandonados removes it. Unlinked on destruction
// unless renamed.
class TemporalBloqueado {
public:
    // Creates `prefijo` followed by a random suffix, for reading and writing with open's usual
    // mode; fd() is -1 with errno set when it could not.
    explicit TemporalBloqueado(const QByteArray& prefijo);
    ~TemporalBloqueado();
    TemporalBloqueado(const TemporalBloqueado&) = delete;
    TemporalBloqueado& operator=(const TemporalBloqueado&) = delete;

    int fd() const { return fd_; }
    const QByteArray& Ruta() const { return ruta_; }
    // Gives it the destination's name; false with errno set.
    bool Renombra(const QByteArray& destino);

private:
    QByteArray ruta_;
    int fd_ = -1;
};

// Removes the regular files in `carpeta` whose names pass `esTemporal` and whose lock nobody
// holds: the temporaries of writers killed half-way.
void BorraAbandonados(const QByteArray& carpeta,
                      const std::function<bool(const QByteArray&)>& esTemporal);

// Writes a file whole through a temporary beside it, so that `destino` is never found
// half-written: the temporary (`prefijo` and a random suffix, as TemporalBloqueado makes it)
// takes the permissions `modo` (none given when -1), is filled by `escribe` (given its
// descriptor and path; false with errno set, or an exception of its own), synced, read back by
// `comprueba` when given, and renamed over `destino`; the folder is synced last, so that the
// new name survives a power cut too. Returns 0, or the errno of the step that failed: the
// temporary is then gone and `destino` keeps what it had.
int EscribeEntero(const QByteArray& prefijo, const QByteArray& destino, int modo,
                  const std::function<bool(int fd, const QByteArray& ruta)>& escribe,
                  const std::function<void(const QByteArray& ruta)>& comprueba = {});

// Why a system call failed, in Spanish, for the messages: "permiso denegado", "no queda
// espacio en el disco"… An errno without its own text says its number.
QString CausaDeErrno(int numeroErrno);

// The error number of a failed system call's errno (ENOENT → 53 for a file read, 76 for a
// destination written; EACCES → 70…), or 0 when no row names it.
int NumeroDesdeErrno(int numeroErrno, bool destino);

// The folder part of a path ("." for a bare name, "/" for a name at the root).
QByteArray CarpetaDe(const QByteArray& ruta);

// Makes a new name in the folder survive a power cut, not only the file's contents; a folder
// that cannot be synced is left as it is (the file is whole already).
void SincronizaCarpeta(const QString& carpeta);

// Asks the system for the pages of fresh memory that is about to be written, in one call:
// on a virtual machine a page fault per page costs several microseconds, and a list of a
// million rows touches tens of thousands of pages. Does nothing where it cannot.
void PueblaMemoria(void* memoria, size_t bytes);

// Gives the calling thread a lower priority: work done aside that nothing waits for yet
// yields the processor to what the user waits for. Does nothing where it cannot.
void BajaPrioridadHilo();
