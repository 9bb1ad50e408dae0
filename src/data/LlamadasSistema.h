#pragma once
// Small helpers around POSIX calls, shared by the file operations, the store, the safe copy
// and the export: every file that must never be found half-written goes through them.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>

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

// Writes every byte, or returns false with errno set (a device that takes nothing is full).
bool EscribeTodo(int fd, const char* datos, size_t cuantos);

// A new hidden file of ours in `carpeta`, so that the final rename stays within one file
// system; its name never ends in ".tmp", which the shutdown clean-up deletes. Created with
// open's usual mode. Returns the descriptor (-1 with errno set) and its path in `ruta`.
int CreaTemporal(const QString& carpeta, QByteArray& ruta);

// Makes a new name in the folder survive a power cut, not only the file's contents; a folder
// that cannot be synced is left as it is (the file is whole already).
void SincronizaCarpeta(const QString& carpeta);
