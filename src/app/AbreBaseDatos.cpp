#include "app/AbreBaseDatos.h"

#include "app/CierraAplicacion.h"
#include "app/modTALVEXV20.h"

#include <QDir>

namespace {
const QString TituloMensaje = QStringLiteral("TALVEX Ver. 2.0.0");
const QString TextoNoEncontrada =
    QStringLiteral("¡¡ No se encuentra la Base de Datos : ") + QStringLiteral("'TALVEXV20.MDB' !!");
const QString TextoNoValida =
    QStringLiteral("¡¡ No se puede usar la Base de Datos 'TALVEXV20.MDB' !!");
const QString TextoSinDatos = QStringLiteral(
    "El archivo no se ha modificado. TALVEX se abrirá sin temas ni ítems; cierre el programa y "
    "restaure una copia de respaldo o revise el archivo.");
void AvisaBaseNoValida(const ErrorTalvex& error)
{
    Sistema().Pita();
    MuestraMensaje({TextoNoValida + QStringLiteral("\r\r") + error.Descripcion() +
                        QStringLiteral("\r\r") + TextoSinDatos,
                    TituloMensaje, IconoMensaje::Critico});
}
} // namespace

void AbreBaseDatos()
{
    EstadoAplicacion& estado = modTALVEXV20();
    const QString buscada = QDir::currentPath() + QLatin1Char('/') + QLatin1String(NombreBaseDatos);
    if (!estado.fso->FileExists(buscada)) {
        Sistema().Pita();
        MuestraMensaje({TextoNoEncontrada, TituloMensaje, IconoMensaje::Critico});
        CierraAplicacion();
        TerminaProceso();
    }

    // A file that is there but is no sound vocabulary database is said once and left as it
    // is; start-up goes on with the tables unopened, so every list stays empty. The check of
    // every page goes on aside while the lists fill (TerminaComprobacionBase).
    try {
        estado.dbPrincipal.AbreComprobandoAparte(estado.CarpetaPrograma + QLatin1Char('/') +
                                                 QLatin1String(NombreBaseDatos));
    } catch (const ErrorTalvex& error) {
        AvisaBaseNoValida(error);
    }
}

bool TerminaComprobacionBase()
{
    try {
        modTALVEXV20().dbPrincipal.TerminaComprobacion();
        return true;
    } catch (const ErrorTalvex& error) {
        AvisaBaseNoValida(error);
        return false;
    }
}
