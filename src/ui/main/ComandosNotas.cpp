// The notes commands: the preview window and the direct print of what the notes column shows.
#include "nucleo/PreparaReporte.h"

#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Notas.h"
#include "ui/Ventanas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/report/InformeNotas.h"
#include "ui/report/frmImprimirNotas.h"
#include "ui/ventanas/HacePausa.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui/ventanas/frmEspera.h"
#include "ui_frmMenuPrincipal.h"

#include <QApplication>
#include <QPrinter>

namespace {

// Nothing to print while the notes column shows nothing.
bool HayNotas(const QLabel& encabezado)
{
    if (!encabezado.text().isEmpty())
        return true;
    Sistema().Pita();
    MuestraMensaje({QStringLiteral("¡¡ No existen registros activos !!"), Titulos::MensajesCortos,
                    IconoMensaje::Informacion});
    return false;
}
} // namespace

void frmMenuPrincipal::PreparaReporte()
{
    ColumnaNotas columna{ui_->lblNotas->text(), LeeNotas(*ui_->txtMemoNotas), std::nullopt};
    const bool conListado = FilaSeleccionada(*ui_->lvwListaTema) >= 0;
    if (conListado) {
        columna.listado.emplace();
        for (const FilaLista& item : ModeloListaTema->Filas())
            columna.listado->emplace_back(item.ingles, item.espanol);
    }
    LlenaTablaInforme(columna);
    // The walk over the topic's list ends on its last row.
    const int ultima = ModeloListaTema->rowCount() - 1;
    if (conListado && ultima >= 0)
        SeleccionaFila(*ui_->lvwListaTema, ultima, false);
}

void frmMenuPrincipal::cmdVistaPreviaNotas_Click()
{
    if (!HayNotas(*ui_->lblNotas))
        return;
    Sistema().Pita();
    if (MuestraMensaje({QStringLiteral("¿ Quiere ver las notas por pantalla ?"),
                        Titulos::MensajesCortos, IconoMensaje::Pregunta, BotonesMensaje::SiNo,
                        RespuestaMensaje::No}) != RespuestaMensaje::Si)
        return;
    setEnabled(false);
    frmEspera& espera = Ventana<frmEspera>();
    espera.show();
    espera.MuestraTexto(QStringLiteral("Preparando la vista previa..."));
    PreparaReporte();
    LlenaZoom();
    HacePausa(1000, 1);
    frmImprimirNotas& vista = Ventana<frmImprimirNotas>();
    AbreSobrePrincipal(vista, [this] {
        raise();
        activateWindow();
    });
    espera.hide();
    QApplication::processEvents();
    vista.cboZoom->setFocus();
}

void frmMenuPrincipal::cmdImprimirNotas_Click()
{
    if (!HayNotas(*ui_->lblNotas))
        return;
    PreparaReporte();
    InformeNotas& informe = dsrImprimirNotas();
    informe.CambiaTitulo(QStringLiteral("Notas"));
    QPrinter impresora(QPrinter::HighResolution);
    if (Sistema().DialogoImpresion(impresora, this))
        informe.Imprime(impresora);
    SeleccionaFila(*ui_->lvwItems, 0, true);
    ui_->txtBuscaItem->setFocus();
}
