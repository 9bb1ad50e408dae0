#include "inicio/Main.h"

#include "inicio/AbreBaseDatos.h"
#include "inicio/VerificaInstancia.h"
#include "nucleo/CierraAplicacion.h"
#include "nucleo/CopiasAutomaticas.h"
#include "nucleo/DatosFabricante.h"
#include "nucleo/Fallos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/NombresAccesibles.h"
#include "ui/Ventanas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/HacePausa.h"
#include "ui/ventanas/frmEspera.h"
#include "ui/ventanas/frmSplash.h"

#include <QDir>

namespace {

void MuestraPasoSplash(const QString& texto, int milisegundos)
{
    Ventana<frmSplash>().MuestraEstado(texto);
    HacePausa(milisegundos, 1);
}

void MuestraEspera(const QString& texto, int milisegundos)
{
    Ventana<frmEspera>().MuestraTexto(texto);
    HacePausa(milisegundos, 1);
}

void BorraSiExiste(const QString& ruta)
{
    SistemaArchivos& fso = *modTALVEXV20().fso;
    if (fso.FileExists(ruta))
        fso.DeleteFile(ruta, true);
}

// The shared report database lives in the first installation root's TALVEXV20 folder; the
// root itself may not exist yet on a new system, so its missing parents are made too.
void PreparaCarpetaReporte()
{
    EstadoAplicacion& estado = modTALVEXV20();
    SistemaArchivos& fso = *estado.fso;
    fso.CreaCarpetaConPadres(RutaInstalacion(0, QString()).chopped(1));
    const QString reporte = RutaInstalacion(0, QStringLiteral("TalvexReport.mdb"));
    if (!fso.FileExists(reporte))
        fso.CopyFile(estado.CarpetaPrograma + QStringLiteral("/TalvexReport.mdb"), reporte);
}
} // namespace

void EscribeArchivoInformacion()
{
    auto archivo = modTALVEXV20().fso->CreateTextFile(
        QDir::currentPath() + QStringLiteral("/TALVEXV20.txt"), true);
    archivo->WriteLine(DatosFabricante::Producto);
    archivo->WriteLine(QStringLiteral(" "));
    archivo->WriteLine(DatosFabricante::Autoria);
    archivo->WriteLine(DatosFabricante::Localidad);
    archivo->WriteLine(QStringLiteral("Teléfono: ") + DatosFabricante::Telefono);
    archivo->WriteLine(QStringLiteral("e-mail: ") + DatosFabricante::Correo);
    archivo->WriteLine(QStringLiteral("Web: ") + DatosFabricante::Web);
    archivo->Close();
}

void Main()
{
    EstadoAplicacion& estado = modTALVEXV20();
    InstalaNombresAccesibles();
    try {
        estado.fso = std::make_unique<SistemaArchivos>();
        // Qt initialises its own controls; there is no manifest to remove on this platform.
        if (HayInstanciaPrevia())
            VerificaInstancia();
        EscribeArchivoInformacion();

        frmSplash& splash = Ventana<frmSplash>();
        splash.show();
        splash.setCursor(Qt::WaitCursor);
        MuestraPasoSplash(QStringLiteral("Creando espacio de trabajo..."), 1000);
        MuestraPasoSplash(QStringLiteral("Asignando espacio de trabajo..."), 1000);
        BorraSiExiste(QDir::currentPath() + QStringLiteral("/TALVEXV20.ldb"));
        MuestraPasoSplash(QStringLiteral("Haciendo comprobación de archivos..."), 1000);
        for (int raiz = 0; raiz < estado.RaicesInstalacion.size(); ++raiz)
            BorraSiExiste(RutaInstalacion(raiz, QStringLiteral("TalvexReport.ldb")));
        PreparaCarpetaReporte();
        MuestraPasoSplash(QStringLiteral("Abriendo base de datos..."), 2000);
        AbreBaseDatos();
        splash.unsetCursor();
        splash.hide();

        frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
        principal.show();
        principal.setEnabled(false);
        Ventana<frmEspera>().show();
        MuestraEspera(QStringLiteral("Creando listados..."), 2000);
        principal.LlenaArbolTemas();
        principal.LlenaListaItems();
        principal.CreaIndiceItems();
        principal.AutoCompletar = true;
        principal.BuscaItem();
        // The lists were read while the file's pages were checked aside: a damaged file
        // leaves them empty, as if it had never opened; one whose indexes were rebuilt is
        // read again, since the lists were read through those indexes.
        const BaseComprobada comprobada = TerminaComprobacionBase();
        if (comprobada != BaseComprobada::Sana)
            principal.OlvidaListados();
        if (comprobada == BaseComprobada::Reparada) {
            principal.CreaIndiceItems();
            principal.BuscaItem();
        }
        // A week without a copy: one is made while the window gets ready.
        auto copia = CopiaSiVencida();
        OmiteFallo([&] { estado.dbPrincipal.ReduceCache(); });
        MuestraEspera(QStringLiteral("Iniciando listados..."), 2000);

        principal.EscribeFechaHora();
        principal.CentraPanel();
        principal.PintaFondo(principal.palette().color(QPalette::Inactive, QPalette::Mid));
        TerminaCopia(copia);
        Ventana<frmEspera>().hide();
        principal.setEnabled(true);
        principal.activateWindow();
        principal.MuestraPanel();
        principal.PreparaBusqueda();
        AvisaFalloCopia();
    } catch (const ErrorTalvex& error) {
        FallaInicio(error.Numero(), error.Descripcion());
    } catch (const std::exception& error) {
        FallaInicio(NumeroError::ErrorBaseDatos, QString::fromLocal8Bit(error.what()));
    }
}

void FallaInicio(int numero, const QString& descripcion)
{
    if (VentanaCargada<frmSplash>()) {
        Ventana<frmSplash>().unsetCursor();
        Ventana<frmSplash>().hide();
    }
    Sistema().Pita();
    MuestraMensaje({QStringLiteral("¡¡ No se puede ejecutar la  aplicación  TALVEXV20 ") +
                        QStringLiteral(" Ver. 2.0 !!") + QStringLiteral("\r\r") +
                        QStringLiteral("Error (") + QString::number(numero) +
                        QStringLiteral(") : ") + descripcion,
                    Titulos::Mensajes, IconoMensaje::Critico});
    CierraAplicacion();
    TerminaProceso();
}
