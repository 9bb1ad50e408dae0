#include "ui/backup/Respaldo.h"

#include "nucleo/CopiaSegura.h"
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/backup/frmRespaldar.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

bool NombraBaseDatos(const QString& ruta)
{
    return ruta.size() >= NombreRespaldo.size() &&
           ruta.right(NombreRespaldo.size()).compare(NombreRespaldo, Qt::CaseInsensitive) == 0;
}

bool TieneUnidad(const QString& ruta)
{
    return ruta.startsWith(QLatin1Char('/'));
}

QString UnidadDe(const QString& ruta)
{
    QString carpeta = QFileInfo(ruta).absolutePath();
    while (!QFileInfo(carpeta).isDir() && carpeta != QLatin1String("/"))
        carpeta = QFileInfo(carpeta).absolutePath();
    const QStorageInfo volumen(carpeta);
    return volumen.isValid() ? volumen.rootPath() : QStringLiteral("/");
}

QString RecortaBlancos(const QString& texto)
{
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && texto.at(inicio) == QLatin1Char(' '))
        ++inicio;
    while (fin > inicio && texto.at(fin - 1) == QLatin1Char(' '))
        --fin;
    return texto.mid(inicio, fin - inicio);
}

QString ExpandeUnidad(const QString& destino)
{
    const QString recortado = RecortaBlancos(destino);
    if (!TieneUnidad(recortado))
        return {};
    const QString limpio = QDir::cleanPath(recortado);
    const QStorageInfo volumen(limpio);
    if (!volumen.isValid() || volumen.rootPath() != limpio)
        return {};
    return limpio == QLatin1String("/") ? limpio + NombreRespaldo
                                        : limpio + QLatin1Char('/') + NombreRespaldo;
}

QString CarpetaInicial(const QString& textoCaja)
{
    if (TieneUnidad(textoCaja)) {
        const QFileInfo caja(textoCaja);
        if (caja.isDir())
            return QDir::cleanPath(textoCaja);
        if (QFileInfo(caja.absolutePath()).isDir())
            return caja.absolutePath();
    }
    return QDir::homePath();
}

QString RutaBaseTrabajo()
{
    return QDir(QDir::currentPath()).filePath(NombreRespaldo);
}

void CopiaBaseDatos(const QString& origen, const QString& destino)
{
    EstadoAplicacion& estado = modTALVEXV20();
    BaseVocabulario& base = estado.dbPrincipal;
    if (base.EstaAbierta() && MismoArchivo(destino, ArchivoDeConexion(base.Conexion()))) {
        RestauraEnConexion(origen, base.Conexion());
        return;
    }
    // A working database that could not be opened (a damaged file, say) is kept as it is
    // beside the copy that replaces it.
    const bool trabajo =
        MismoArchivo(destino, RutaBaseTrabajo()) ||
        MismoArchivo(destino, QDir(estado.CarpetaPrograma).filePath(NombreRespaldo));
    // A file about to become the working database is checked down to every index entry.
    CopiaBaseSegura(origen, destino, trabajo ? destino + SufijoCopiaPrevia : QString(),
                    trabajo ? Comprobacion::Completa : Comprobacion::Paginas);
}
