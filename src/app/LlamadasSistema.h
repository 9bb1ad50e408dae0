#pragma once
// Small helpers around POSIX calls, shared by the file operations and the safe copy.
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
