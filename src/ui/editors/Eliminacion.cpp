#include "ui/editors/Eliminacion.h"

#include "app/Fallos.h"
#include "app/HacePausa.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "app/windows/frmEspera.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0");

bool Confirma(const QString& texto)
{
    Sistema().Pita();
    return MuestraMensaje({texto, Titulo, IconoMensaje::Pregunta, BotonesMensaje::SiNo,
                           RespuestaMensaje::No}) == RespuestaMensaje::Si;
}

// The topic's row goes and its items move to "Sin categoría", both or neither.
void EliminaTemaConItems(const QString& nombre)
{
    BaseVocabulario& base = modTALVEXV20().dbPrincipal;
    base.EnTransaccion([&] {
        if (base.LocalizaTema(nombre))
            base.EliminaTema(nombre);
        base.CambiaTemaItems(nombre, SinCategoria);
    });
}

// After a topic is gone: the earliest-added topic left, or an empty detail area.
void MuestraTemaRestante(frmMenuPrincipal& principal)
{
    const int fila = principal.ModeloArbol->FilaMasAntigua();
    if (fila < 0) {
        principal.lblNotas->clear();
        principal.txtMemoNotas->clear();
        return;
    }
    frmMenuPrincipal::SeleccionaFila(*principal.TreeTemas, fila, true);
    const QString nombre = principal.ModeloArbol->Nombres().at(fila);
    principal.lblNotas->setText(nombre);
    principal.lblCategoria->clear();
    if (const auto tema = modTALVEXV20().dbPrincipal.LocalizaTema(nombre))
        frmMenuPrincipal::MuestraNotas(*principal.txtMemoNotas, tema->NOTASTEMA);
}
} // namespace

void cmdEliminarTema_Click()
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    const int fila = frmMenuPrincipal::FilaSeleccionada(*principal.TreeTemas);
    if (fila < 0)
        return;
    const QString nombre = principal.ModeloArbol->Nombres().at(fila);
    if (!Confirma(QStringLiteral("¿ Está seguro de eliminar el tema: ") + nombre +
                  QStringLiteral(" ?")))
        return;
    frmEspera& espera = Ventana<frmEspera>();
    try {
        principal.setEnabled(false);
        espera.show();
        espera.lblEsperar->setText(QStringLiteral("Eliminando..."));
        HacePausa(1000, 1);
        EliminaTemaConItems(nombre);
        principal.ModeloArbol->QuitaTema(fila);
        MuestraTemaRestante(principal);
        principal.ActivaTemas();
        principal.setEnabled(true);
        principal.TreeTemas->setFocus();
        espera.hide();
    } catch (const ErrorTalvex& error) {
        ReportaError(error, Titulo);
        principal.setEnabled(true);
        espera.hide();
    }
}

void cmdEliminarItem_Click()
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    const int fila = frmMenuPrincipal::FilaSeleccionada(*principal.lvwItems);
    if (fila < 0)
        return;
    const QString ingles = principal.ModeloItems->Filas()[size_t(fila)].ingles;
    try {
        if (Confirma(QStringLiteral("¿ Está seguro de eliminar el item: ") + ingles +
                     QStringLiteral(" ?"))) {
            modTALVEXV20().dbPrincipal.EliminaItem(ingles);
            principal.setEnabled(false);
            principal.ModeloItems->QuitaFila(fila);
            // The deleted text is never offered again by the completion.
            modTALVEXV20().IndiceLetras.Quita(ingles);
            principal.setEnabled(true);
            const int filas = principal.ModeloItems->rowCount();
            if (filas > 0) {
                frmMenuPrincipal::SeleccionaFila(*principal.lvwItems, qMin(fila, filas - 1), true);
                principal.lvwItems->setFocus();
            } else {
                principal.lblNotas->clear();
                principal.lblCategoria->clear();
                principal.txtMemoNotas->clear();
            }
        }
        if (frmMenuPrincipal::FilaSeleccionada(*principal.lvwItems) < 0)
            principal.txtBuscaItem->clear();
        principal.ActivaItems();
        principal.MuestraVistaItem();
    } catch (const ErrorTalvex& error) {
        ReportaError(error, Titulo);
        principal.setEnabled(true);
    }
}
