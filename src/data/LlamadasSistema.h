#pragma once
// Small helpers around POSIX calls, shared by the file operations, the store, the safe copy
// and the export: every file that must never be found half-written goes through them.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>
#include <functional>

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
