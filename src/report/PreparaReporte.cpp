#include "report/PreparaReporte.h"

#include "app/CierraAplicacion.h"
#include "app/Fallos.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0.0");
const QString TextoNoEncontrado =
    QStringLiteral("¡¡ No se encuentra el archivo : ") + QStringLiteral("'TalvexReport.mdb' !!");
const QString Separador = QStringLiteral(" -> ");

// The rows for what the notes column shows now.
std::vector<FilaInforme> FilasDelInforme(frmMenuPrincipal& principal)
{
    const QString encabezado = principal.lblNotas->text().toUpper();
    const QString notas = frmMenuPrincipal::LeeNotas(*principal.txtMemoNotas);
    if (frmMenuPrincipal::FilaSeleccionada(*principal.lvwListaTema) < 0)
        return {{encabezado, notas, std::nullopt}};
    std::vector<FilaInforme> filas{{encabezado, notas, QString()},
                                   {std::nullopt, std::nullopt, QString()},
                                   {std::nullopt, std::nullopt, QStringLiteral("LISTADO:")},
                                   {std::nullopt, std::nullopt, QString()}};
    // Listing lines keep the case the list shows, in the list's order.
    for (const FilaLista& item : principal.ModeloListaTema->Filas())
        filas.push_back({std::nullopt, std::nullopt, item.ingles + Separador + item.espanol});
    return filas;
}
} // namespace

void AbreBaseReporte()
{
    EstadoAplicacion& estado = modTALVEXV20();
    for (int raiz = 0; raiz < estado.RaicesInstalacion.size(); ++raiz) {
        const QString ruta = RutaInstalacion(raiz, QStringLiteral("TalvexReport.mdb"));
        if (estado.fso && estado.fso->FileExists(ruta)) {
            estado.RutaReporte = ruta;
            OmiteFallo([&] { estado.dbReporte.Abre(ruta); });
            return;
        }
    }
    Sistema().Pita();
    MuestraMensaje({TextoNoEncontrado, Titulo, IconoMensaje::Critico});
    CierraAplicacion();
    Sistema().TerminaPrograma();
}

void PreparaReporte()
{
    EstadoAplicacion& estado = modTALVEXV20();
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    AbreBaseReporte();
    const std::vector<FilaInforme> filas = FilasDelInforme(principal);
    // One transaction keeps thousands of rows to one write to disk; each row that fails is
    // skipped alone.
    OmiteFallo([&] {
        estado.dbReporte.EnTransaccion([&] {
            OmiteFallo([&] {
                if (estado.dbReporte.CuentaFilas() != 0)
                    estado.dbReporte.VaciaInforme();
            });
            for (const FilaInforme& fila : filas)
                OmiteFallo([&] { estado.dbReporte.AgregaFila(fila); });
        });
    });
    // The walk over the topic's list ends on its last row.
    const int ultima = principal.ModeloListaTema->rowCount() - 1;
    if (frmMenuPrincipal::FilaSeleccionada(*principal.lvwListaTema) >= 0 && ultima >= 0)
        frmMenuPrincipal::SeleccionaFila(*principal.lvwListaTema, ultima, false);
    CierraBaseReporte();
}
