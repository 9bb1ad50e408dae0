#include "intercambio/Archivos.h"

#include "data/LlamadasSistema.h"
#include "intercambio/ComunIntercambio.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

namespace Intercambio {

namespace {

// What a path that is no regular file names, for the messages.
QString ClaseDeArchivo(ClaseArchivo clase)
{
    switch (clase) {
    case ClaseArchivo::Carpeta:
        return QStringLiteral("una carpeta");
    case ClaseArchivo::Tuberia:
        return QStringLiteral("una tubería con nombre (FIFO)");
    case ClaseArchivo::Dispositivo:
        return QStringLiteral("un dispositivo");
    case ClaseArchivo::Socket:
        return QStringLiteral("un socket");
    case ClaseArchivo::Enlace:
        return QStringLiteral("un enlace simbólico a un archivo que no existe");
    default:
        return QStringLiteral("un archivo especial");
    }
}

// The numbers the file operations give the same causes; an errno they do not name is a
// failure of input or output.
int NumeroDeErrno(int numeroErrno, bool destino)
{
    const int numero = NumeroDesdeErrno(numeroErrno, destino);
    return numero != 0 ? numero : NumeroError::ErrorEntradaSalida;
}

ErrorTalvex ErrorEscritura(int numeroErrno, const QString& ruta)
{
    // A missing name while writing is a missing folder: the file itself is new.
    const QString causa =
        numeroErrno == ENOENT ? QStringLiteral("la carpeta no existe") : CausaDeErrno(numeroErrno);
    return ErrorTalvex(NumeroDeErrno(numeroErrno, true),
                       QStringLiteral("No se pudo escribir el archivo «%1»: %2.").arg(ruta, causa));
}

ErrorTalvex ErrorDestino(const QString& ruta, ClaseArchivo clase)
{
    return ErrorTalvex(NumeroError::AccesoRutaArchivo,
                       QStringLiteral("No se puede exportar en «%1»: es %2, y solo se escribe en "
                                      "un archivo normal o con un nombre nuevo.")
                           .arg(ruta, ClaseDeArchivo(clase)));
}

ErrorTalvex ErrorCambio(const QString& ruta)
{
    return ErrorTalvex(ArchivoCambiado,
                       QStringLiteral("El archivo «%1» cambió mientras se leía (otro programa lo "
                                      "está escribiendo): no se importa nada. Vuelva a "
                                      "intentarlo cuando esté terminado.")
                           .arg(ruta));
}

bool EsTemporalExportacion(const QByteArray& nombre)
{
    return nombre.startsWith('.') && nombre.contains(MarcaTemporalExportacion);
}

} // namespace

QByteArray LeeArchivoRegular(const QString& ruta, const Progreso& progreso, qint64 tamanoMaximo)
{
    if (ruta.isEmpty())
        throw ErrorTalvex(NumeroError::NombreArchivoIncorrecto,
                          QStringLiteral("Falta el nombre del archivo que se importa."));
    // Without waiting: opening a named pipe would otherwise wait for a writer for ever.
    const Descriptor fd(AbreParaLeer(Nativa(ruta)));
    if (fd.fd() < 0) {
        const int numeroErrno = errno;
        throw ErrorTalvex(NumeroDeErrno(numeroErrno, false),
                          QStringLiteral("No se puede abrir el archivo «%1»: %2.")
                              .arg(ruta, CausaDeErrno(numeroErrno)));
    }
    const EstadoArchivo inicio = EstadoDe(fd.fd());
    if (!inicio.Leido())
        throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                          QStringLiteral("No se pudo leer el archivo «%1»: %2.")
                              .arg(ruta, CausaDeErrno(inicio.error)));
    if (inicio.clase != ClaseArchivo::Regular)
        throw ErrorTalvex(ArchivoNoValido,
                          QStringLiteral("No se puede importar «%1»: es %2, no un archivo.")
                              .arg(ruta, ClaseDeArchivo(inicio.clase)));
    const qint64 tamano = inicio.tamano;
    if (tamano > tamanoMaximo)
        throw ErrorTalvex(ArchivoDemasiadoGrande,
                          QStringLiteral("El archivo ocupa %1 MB; solo se importan archivos de "
                                         "hasta %2 MB.")
                              .arg(QString::number(double(tamano) / (1024 * 1024), 'f', 1))
                              .arg(tamanoMaximo / (1024 * 1024)));

    QByteArray datos;
    datos.reserve(tamano + 1);
    constexpr qsizetype Bloque = 1 << 20;
    for (;;) {
        // Never more than one byte past the size it had, which is enough to see it grow.
        const qsizetype leidos = datos.size();
        const qsizetype pedidos = std::clamp<qsizetype>(tamano + 1 - leidos, 1, Bloque);
        datos.resize(leidos + pedidos);
        const qint64 n = Lee(fd.fd(), datos.data() + leidos, static_cast<size_t>(pedidos));
        if (n < 0)
            throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                              QStringLiteral("No se pudo leer el archivo «%1»: %2.")
                                  .arg(ruta, CausaDeErrno(errno)));
        datos.resize(leidos + n);
        if (n == 0)
            break;
        if (datos.size() > tamano) // it grew
            throw ErrorCambio(ruta);
        if (progreso && !progreso(datos.size(), tamano))
            throw ErrorCancelado();
    }
    // Cut short, or rewritten in place while it was read.
    if (datos.size() != tamano)
        throw ErrorCambio(ruta);
    const EstadoArchivo fin = EstadoDe(fd.fd());
    if (!fin.Leido() || !inicio.SinCambios(fin))
        throw ErrorCambio(ruta);
    return datos;
}

void EscribeArchivoSeguro(const QString& ruta, const QByteArray& datos)
{
    if (ruta.isEmpty())
        throw ErrorTalvex(NumeroError::NombreArchivoIncorrecto,
                          QStringLiteral("Falta el nombre del archivo de destino."));
    // A link keeps being a link: the file it points at is the one replaced.
    QByteArray destino = Nativa(ruta);
    if (std::optional<QByteArray> real = RutaReal(destino))
        destino = std::move(*real);
    else if (errno != ENOENT)
        throw ErrorEscritura(errno, ruta);
    // Only a regular file is replaced: a device, a pipe or a folder keeps its name.
    const EstadoArchivo estado = Estado(destino, false);
    const bool existe = estado.Leido();
    if (!existe && estado.error != ENOENT)
        throw ErrorEscritura(estado.error, ruta);
    if (existe && estado.clase != ClaseArchivo::Regular)
        throw ErrorDestino(ruta, estado.clase);

    const QByteArray carpeta = CarpetaDe(destino);
    BorraAbandonados(carpeta, EsTemporalExportacion);
    // The name is kept short enough for any file system whatever the destination's.
    const QByteArray nombre = destino.mid(destino.lastIndexOf('/') + 1);
    const QByteArray prefijo =
        carpeta + "/." + nombre.left(100) + QByteArray(MarcaTemporalExportacion);
    const int fallo = EscribeEntero(
        prefijo, destino, existe ? estado.permisos : -1, [&](int fd, const QByteArray&) {
            return EscribeTodo(fd, datos.constData(), static_cast<size_t>(datos.size()));
        });
    if (fallo != 0)
        throw ErrorEscritura(fallo, ruta);
}

} // namespace Intercambio
