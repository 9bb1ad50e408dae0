#include "nucleo/CopiasAutomaticas.h"

#include "data/EsquemaVocabulario.h"
#include "data/Sqlite.h"
#include "nucleo/CopiaSegura.h"
#include "nucleo/SistemaArchivos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <sqlite3.h>

#include <algorithm>

namespace {
const QString FormatoHora = QStringLiteral("yyyyMMdd-HHmmss");

// When a copy was made, recorded inside it (UTC), so that neither its name nor the file's
// time need be trusted.
constexpr const char* GuardaHoraCopia =
    "INSERT OR REPLACE INTO TALVEXMETA(CLAVE, VALOR) VALUES('COPIAHECHA', ?1)";

// Whether the file is a vocabulary database of ours (its marks, tables and indexes); the
// moment recorded in it, when there is one, replaces the one of its name.
bool LeeCopia(CopiaGuardada& copia)
{
    try {
        ConexionSqlite conexion;
        conexion.Abre(copia.ruta, SQLITE_OPEN_READONLY);
        if (!DefectoBaseVocabulario(conexion, copia.ruta, Comprobacion::Estructura).isEmpty())
            return false;
        auto hecha = conexion.Prepara("SELECT VALOR FROM TALVEXMETA WHERE CLAVE = 'COPIAHECHA'");
        if (hecha.Avanza()) {
            const QDateTime hora = QDateTime::fromString(hecha.Texto(0), Qt::ISODateWithMs);
            if (hora.isValid())
                copia.hora = hora.toLocalTime();
        }
        return true;
    } catch (const ErrorTalvex&) {
        return false;
    }
}

QString Motivo(const ErrorTalvex& error)
{
    QString motivo = error.Descripcion().trimmed();
    if (motivo.isEmpty())
        motivo = QStringLiteral("error %1").arg(error.Numero());
    return motivo;
}
} // namespace

QString CarpetaCopias()
{
    return RutaInstalacion(0, QStringLiteral("copias"));
}

QString ArchivoFalloCopia()
{
    return RutaInstalacion(0, QStringLiteral("copias-fallo.txt"));
}

QString NombreCopia(const QDateTime& hora)
{
    return QStringLiteral("TALVEXV20-") + hora.toString(FormatoHora) + QStringLiteral(".MDB");
}

CarpetaDeCopias RevisaCarpetaCopias(const QString& carpeta, const QDateTime& ahora)
{
    static const QRegularExpression nombre(QStringLiteral("^TALVEXV20-(\\d{8}-\\d{6})\\.MDB$"));
    CarpetaDeCopias contenido;
    const QFileInfoList archivos = QDir(carpeta).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& archivo : archivos) {
        const auto encaje = nombre.match(archivo.fileName());
        CopiaGuardada copia{archivo.absoluteFilePath(),
                            encaje.hasMatch()
                                ? QDateTime::fromString(encaje.captured(1), FormatoHora)
                                : QDateTime(),
                            archivo.size()};
        if (!copia.hora.isValid() || !LeeCopia(copia)) {
            contenido.ajenos << archivo.fileName();
            continue;
        }
        if (copia.hora > ahora) {
            copia.hora = archivo.lastModified();
            copia.horaFiable = copia.hora <= ahora;
        }
        contenido.copias << copia;
    }
    std::stable_sort(contenido.copias.begin(), contenido.copias.end(),
                     [](const CopiaGuardada& una, const CopiaGuardada& otra) {
                         if (una.horaFiable != otra.horaFiable)
                             return una.horaFiable;
                         return una.hora > otra.hora;
                     });
    return contenido;
}

QList<CopiaGuardada> CopiasGuardadas(const QString& carpeta, const QDateTime& ahora)
{
    return RevisaCarpetaCopias(carpeta, ahora).copias;
}

FilasCopia CuentaFilas(const QString& ruta)
{
    try {
        ConexionSqlite conexion;
        conexion.Abre(ruta, SQLITE_OPEN_READONLY);
        auto fila = conexion.Prepara("SELECT (SELECT count(*) FROM TEMAS), "
                                     "(SELECT count(*) FROM ITEMS)");
        if (fila.Avanza())
            return {int(fila.Entero(0)), int(fila.Entero(1))};
    } catch (const ErrorTalvex&) {
    }
    return {};
}

QString DefectoCarpetaCopias(const QString& carpeta)
{
    const QFileInfo donde(carpeta);
    if ((!donde.exists() && !donde.isSymLink()) || donde.isDir())
        return {};
    return QStringLiteral("'%1' debería ser la carpeta de las copias, pero es un archivo o un "
                          "enlace que no lleva a una carpeta; se dejó como está")
        .arg(QDir::toNativeSeparators(carpeta));
}

bool CopiaVencida(const QString& carpeta, const QDateTime& ahora)
{
    const QList<CopiaGuardada> copias = CopiasGuardadas(carpeta, ahora);
    return copias.isEmpty() || !copias.first().horaFiable ||
           copias.first().hora < ahora.addDays(-DiasEntreCopias);
}

QString HazCopiaAutomatica(const QString& base, const QString& carpeta, const QDateTime& hora)
{
    // A file or a link where the folder should be is left as it is, and said for what it is.
    if (const QString defecto = DefectoCarpetaCopias(carpeta); !defecto.isEmpty())
        throw ErrorTalvex(NumeroError::AccesoRutaArchivo, defecto);
    SistemaArchivos().CreaCarpetaConPadres(carpeta);
    BorraCopiasInterrumpidas(carpeta);
    const QString destino = QDir(carpeta).filePath(NombreCopia(hora));
    // The copies are read before, so that only the removals follow the new copy's rename;
    // a copy of the same name is replaced by it, and the new one stays whatever the others'
    // moments say.
    QList<CopiaGuardada> anteriores = CopiasGuardadas(carpeta, hora);
    anteriores.removeIf([&](const CopiaGuardada& copia) {
        return QFileInfo(copia.ruta).fileName() == NombreCopia(hora);
    });
    CopiaBaseSegura(base, destino, {}, Comprobacion::Paginas, [&](ConexionSqlite& copia) {
        copia.Prepara(GuardaHoraCopia)
            .Enlaza(1, hora.toUTC().toString(Qt::ISODateWithMs))
            .Ejecuta();
    });
    // Only now that the new copy is whole do the oldest go.
    for (qsizetype i = CopiasConservadas - 1; i < anteriores.size(); ++i)
        QFile::remove(anteriores.at(i).ruta);
    return destino;
}

CopiaEnCurso::CopiaEnCurso(const QString& base, const QString& carpeta, const QDateTime& hora)
    : hilo_([this, base, carpeta, hora] {
          try {
              HazCopiaAutomatica(base, carpeta, hora);
          } catch (const ErrorTalvex& error) {
              fallo_ = Motivo(error);
          } catch (const std::exception& error) {
              fallo_ = QString::fromLocal8Bit(error.what());
          }
      })
{
}

CopiaEnCurso::~CopiaEnCurso()
{
    if (hilo_.joinable())
        hilo_.join();
}

QString CopiaEnCurso::Espera()
{
    if (hilo_.joinable())
        hilo_.join();
    return fallo_;
}

std::unique_ptr<CopiaEnCurso> CopiaSiCambio()
{
    const EstadoAplicacion& estado = modTALVEXV20();
    if (!estado.dbPrincipal.EstaAbierta() || !estado.dbPrincipal.Cambiada() ||
        estado.RaicesInstalacion.isEmpty())
        return nullptr;
    return std::make_unique<CopiaEnCurso>(ArchivoDeConexion(estado.dbPrincipal.Conexion()),
                                          CarpetaCopias(), Sistema().Ahora());
}

std::unique_ptr<CopiaEnCurso> CopiaSiVencida()
{
    const EstadoAplicacion& estado = modTALVEXV20();
    const QDateTime ahora = Sistema().Ahora();
    if (!estado.dbPrincipal.EstaAbierta() || estado.RaicesInstalacion.isEmpty() ||
        !CopiaVencida(CarpetaCopias(), ahora))
        return nullptr;
    return std::make_unique<CopiaEnCurso>(ArchivoDeConexion(estado.dbPrincipal.Conexion()),
                                          CarpetaCopias(), ahora);
}

void TerminaCopia(std::unique_ptr<CopiaEnCurso>& copia)
{
    if (!copia)
        return;
    const QString fallo = copia->Espera();
    copia.reset();
    if (fallo.isEmpty())
        return;
    // Where the copies cannot go, this small note usually still can (it lies one folder up).
    QSaveFile nota(ArchivoFalloCopia());
    if (nota.open(QIODevice::WriteOnly) && nota.write(fallo.toUtf8()) >= 0)
        nota.commit();
}

void AvisaFalloCopia()
{
    QFile nota(ArchivoFalloCopia());
    if (modTALVEXV20().RaicesInstalacion.isEmpty() || !nota.open(QIODevice::ReadOnly))
        return;
    const QString motivo = QString::fromUtf8(nota.readAll()).trimmed();
    nota.close();
    nota.remove(); // said once
    if (motivo.isEmpty())
        return;
    Sistema().Pita();
    MuestraMensaje({QStringLiteral("¡¡ No se pudo hacer la copia automática de sus datos !!") +
                        QStringLiteral("\r\r") + motivo +
                        (motivo.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) +
                        QStringLiteral("\r\r") +
                        QStringLiteral("Su base de datos no se modificó. Las copias "
                                       "automáticas se guardan en la carpeta '%1'.")
                            .arg(QDir::toNativeSeparators(CarpetaCopias())),
                    Titulos::Mensajes, IconoMensaje::Exclamacion});
}
