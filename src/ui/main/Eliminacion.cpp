// The delete commands: the selected topic (its items stay, under "Sin categoría") and the
// selected item, each after a question.
#include "nucleo/Fallos.h"

#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Notas.h"
#include "ui/Ventanas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/HacePausa.h"
#include "ui/ventanas/frmEspera.h"
#include "ui_frmMenuPrincipal.h"

namespace {

bool Confirma(const QString& texto)
{
    Sistema().Pita();
    return MuestraMensaje({texto, Titulos::MensajesCortos, IconoMensaje::Pregunta,
                           BotonesMensaje::SiNo, RespuestaMensaje::No}) == RespuestaMensaje::Si;
}
} // namespace

void frmMenuPrincipal::cmdEliminarTema_Click()
{
    const int fila = FilaSeleccionada(*ui_->TreeTemas);
    if (fila < 0)
        return;
    const QString nombre = ModeloArbol->Nombres().at(fila);
    if (!Confirma(QStringLiteral("¿ Está seguro de eliminar el tema: ") + nombre +
                  QStringLiteral(" ?")))
        return;
    frmEspera& espera = Ventana<frmEspera>();
    try {
        setEnabled(false);
        espera.show();
        espera.MuestraTexto(QStringLiteral("Eliminando..."));
        HacePausa(1000, 1);
        ModeloArbol->EliminaTema(fila);
        TemaEliminado();
        setEnabled(true);
        ui_->TreeTemas->setFocus();
        espera.hide();
    } catch (const ErrorTalvex& error) {
        ReportaError(error, Titulos::MensajesCortos);
        setEnabled(true);
        espera.hide();
    }
}

// The earliest-added topic left, or an empty detail area.
void frmMenuPrincipal::TemaEliminado()
{
    const int fila = ModeloArbol->FilaMasAntigua();
    if (fila < 0) {
        ui_->lblNotas->clear();
        MuestraVoz({});
        ui_->txtMemoNotas->clear();
    } else {
        SeleccionaFila(*ui_->TreeTemas, fila, true);
        const QString nombre = ModeloArbol->Nombres().at(fila);
        ui_->lblNotas->setText(nombre);
        MuestraVoz({});
        ui_->lblCategoria->clear();
        if (const auto tema = modTALVEXV20().dbPrincipal.LocalizaTema(nombre))
            MuestraNotas(*ui_->txtMemoNotas, tema->NOTASTEMA);
    }
    ActivaTemas();
}

void frmMenuPrincipal::cmdEliminarItem_Click()
{
    const int fila = FilaSeleccionada(*ui_->lvwItems);
    if (fila < 0)
        return;
    const QString ingles = ModeloItems->Filas().Ingles(size_t(fila));
    try {
        if (Confirma(QStringLiteral("¿ Está seguro de eliminar el item: ") + ingles +
                     QStringLiteral(" ?"))) {
            setEnabled(false);
            ModeloItems->EliminaItem(fila);
            setEnabled(true);
            ItemEliminado(fila);
        }
        if (FilaSeleccionada(*ui_->lvwItems) < 0)
            ui_->txtBuscaItem->clear();
        ActivaItems();
        MuestraVistaItem();
    } catch (const ErrorTalvex& error) {
        ReportaError(error, Titulos::MensajesCortos);
        setEnabled(true);
    }
}

// The row that took the deleted one's place (or the new last row), or an empty detail area.
void frmMenuPrincipal::ItemEliminado(int fila)
{
    const int filas = ModeloItems->rowCount();
    if (filas > 0) {
        SeleccionaFila(*ui_->lvwItems, qMin(fila, filas - 1), true);
        ui_->lvwItems->setFocus();
    } else {
        ui_->lblNotas->clear();
        MuestraVoz({});
        ui_->lblCategoria->clear();
        ui_->txtMemoNotas->clear();
    }
}
