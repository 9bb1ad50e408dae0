#include "report/ComandosNotas.h"

#include "app/HacePausa.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "app/windows/frmEspera.h"
#include "report/InformeNotas.h"
#include "report/PreparaReporte.h"
#include "report/frmImprimirNotas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QApplication>
#include <QPrinter>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0");

// Nothing to print while the notes column shows nothing.
bool HayNotas(frmMenuPrincipal& principal)
{
    if (!principal.lblNotas->text().isEmpty())
        return true;
    Sistema().Pita();
    MuestraMensaje(
        {QStringLiteral("¡¡ No existen registros activos !!"), Titulo, IconoMensaje::Informacion});
    return false;
}
} // namespace

void cmdVistaPreviaNotas_Click()
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    if (!HayNotas(principal))
        return;
    Sistema().Pita();
    if (MuestraMensaje({QStringLiteral("¿ Quiere ver las notas por pantalla ?"), Titulo,
                        IconoMensaje::Pregunta, BotonesMensaje::SiNo, RespuestaMensaje::No}) !=
        RespuestaMensaje::Si)
        return;
    principal.setEnabled(false);
    frmEspera& espera = Ventana<frmEspera>();
    espera.show();
    espera.lblEsperar->setText(QStringLiteral("Preparando la vista previa..."));
    PreparaReporte();
    LlenaZoom();
    HacePausa(1000, 1);
    frmImprimirNotas& vista = Ventana<frmImprimirNotas>();
    vista.show();
    espera.hide();
    QApplication::processEvents();
    vista.cboZoom->setFocus();
}

void cmdImprimirNotas_Click()
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    if (!HayNotas(principal))
        return;
    PreparaReporte();
    InformeNotas& informe = dsrImprimirNotas();
    informe.CambiaTitulo(QStringLiteral("Notas"));
    QPrinter impresora(QPrinter::HighResolution);
    if (Sistema().DialogoImpresion(impresora, &principal))
        informe.Imprime(impresora);
    frmMenuPrincipal::SeleccionaFila(*principal.lvwItems, 0, true);
    principal.txtBuscaItem->setFocus();
}
