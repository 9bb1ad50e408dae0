#include "backup/CopiasAutomaticas.h"

#include "app/SistemaArchivos.h"
#include "app/modTALVEXV20.h"
#include "backup/CopiaSegura.h"
#include "data/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <sqlite3.h>

#include <algorithm>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0.0");
const QString FormatoHora = QStringLiteral("yyyyMMdd-HHmmss");

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

QList<CopiaGuardada> CopiasGuardadas(const QString& carpeta)
{
    static const QRegularExpression nombre(QStringLiteral("^TALVEXV20-(\\d{8}-\\d{6})\\.MDB$"));
    QList<CopiaGuardada> copias;
    const QFileInfoList archivos = QDir(carpeta).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& archivo : archivos) {
        const auto encaje = nombre.match(archivo.fileName());
        const QDateTime hora = encaje.hasMatch()
                                   ? QDateTime::fromString(encaje.captured(1), FormatoHora)
                                   : QDateTime();
        if (hora.isValid())
            copias.append({archivo.absoluteFilePath(), hora, archivo.size()});
    }
    // The names sort as their moments do.
    std::reverse(copias.begin(), copias.end());
    return copias;
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

bool CopiaVencida(const QString& carpeta, const QDateTime& ahora)
{
    const QList<CopiaGuardada> copias = CopiasGuardadas(carpeta);
    return copias.isEmpty() || copias.first().hora < ahora.addDays(-DiasEntreCopias);
}

QString HazCopiaAutomatica(const QString& base, const QString& carpeta, const QDateTime& hora)
{
    SistemaArchivos().CreaCarpetaConPadres(carpeta);
    BorraCopiasInterrumpidas(carpeta);
    const QString destino = QDir(carpeta).filePath(NombreCopia(hora));
    CopiaBaseSegura(base, destino);
    // Only now that the new copy is whole do the oldest go.
    const QList<CopiaGuardada> copias = CopiasGuardadas(carpeta);
    for (qsizetype i = CopiasConservadas; i < copias.size(); ++i)
        QFile::remove(copias.at(i).ruta);
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
                    Titulo, IconoMensaje::Exclamacion});
}
