#include "inicio/AbreBaseDatos.h"

#include "data/EsquemaVocabulario.h"
#include "nucleo/CierraAplicacion.h"
#include "nucleo/CopiaSegura.h"
#include "nucleo/SistemaArchivos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"

#include <QDir>

namespace {
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
                    Titulos::Mensajes, IconoMensaje::Critico});
}
} // namespace

void AbreBaseDatos()
{
    EstadoAplicacion& estado = modTALVEXV20();
    const QString buscada = QDir::currentPath() + QLatin1Char('/') + QLatin1String(NombreBaseDatos);
    if (!estado.fso->FileExists(buscada)) {
        Sistema().Pita();
        MuestraMensaje({TextoNoEncontrada, Titulos::Mensajes, IconoMensaje::Critico});
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

BaseComprobada TerminaComprobacionBase()
{
    BaseVocabulario& base = modTALVEXV20().dbPrincipal;
    try {
        const QString indices = base.TerminaComprobacion();
        if (indices.isEmpty())
            return BaseComprobada::Sana;
        const QString ruta = ArchivoDeConexion(base.Conexion());
        // Nothing is mended before the file is kept as it is: the copy is taken byte for byte,
        // since the only connection to it writes nothing until the rebuild.
        try {
            modTALVEXV20().fso->CopyFile(ruta, ruta + SufijoSinReparar);
        } catch (const ErrorTalvex& error) {
            base.Cierra();
            throw ErrorTalvex(error.Numero(),
                              ErrorBaseNoValida(ruta, indices).Descripcion() +
                                  QStringLiteral(" No se pudo guardar una copia del archivo antes "
                                                 "de repararlo: %1.")
                                      .arg(error.Descripcion()));
        }
        base.ReconstruyeIndices();
        Sistema().Pita();
        MuestraMensaje({QStringLiteral("¡¡ Se repararon los índices de la Base de Datos "
                                       "'TALVEXV20.MDB' !!") +
                            QStringLiteral("\r\r") + QStringLiteral("El archivo ") + indices +
                            QStringLiteral(" Los índices se rehicieron a partir de los temas y "
                                           "los ítems guardados, que estaban enteros.") +
                            QStringLiteral("\r\r") +
                            QStringLiteral("El archivo tal como estaba se guardó en '%1'.")
                                .arg(QDir::toNativeSeparators(ruta + SufijoSinReparar)),
                        Titulos::Mensajes, IconoMensaje::Exclamacion});
        return BaseComprobada::Reparada;
    } catch (const ErrorTalvex& error) {
        AvisaBaseNoValida(error);
        return BaseComprobada::Danada;
    }
}
