// The topic and item editors opened from the main window, and what a save changes here.
#include "nucleo/modTALVEXV20.h"
#include "ui/Notas.h"
#include "ui/Ventanas.h"
#include "ui/editors/frmItems.h"
#include "ui/editors/frmTemas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui_frmMenuPrincipal.h"

void frmMenuPrincipal::cmdNuevoTema_Click()
{
    AbreEditorTema(true);
}

void frmMenuPrincipal::cmdEditarTema_Click()
{
    if (ModeloArbol->rowCount() == 0)
        return;
    AbreEditorTema(false);
}

void frmMenuPrincipal::AbreEditorTema(bool nuevo)
{
    const int fila = FilaSeleccionada(*ui_->TreeTemas);
    TemaActual = nuevo || fila < 0 ? QString() : ModeloArbol->Nombres().at(fila);
    auto* editor =
        new frmTemas(nuevo, TemaActual, ModeloArbol->rowCount() > 0, modTALVEXV20().dbPrincipal,
                     Sistema(), [this](const Tema& tema, const QString& anterior, bool nuevo) {
                         TemaGuardado(tema, anterior, nuevo);
                     });
    RegistraVentana(editor);
    AbreSobrePrincipal(*editor);
}

void frmMenuPrincipal::TemaGuardado(const Tema& tema, const QString& anterior, bool nuevo)
{
    const int fila = ModeloArbol->GuardaTema(tema, anterior, nuevo);
    setEnabled(true);
    TemaActual.clear();
    SeleccionaFila(*ui_->TreeTemas, fila, true);
    // Shown as saved, from the record in hand: only the topic's items are read.
    ActivaTemas(FilaSeleccionada(*ui_->TreeTemas) == fila ? &tema : nullptr);
}

void frmMenuPrincipal::cmdNuevoItems_Click()
{
    AbreEditorItem(true);
}

void frmMenuPrincipal::cmdEditarItems_Click()
{
    if (FilaSeleccionada(*ui_->lvwItems) < 0)
        return;
    AbreEditorItem(false);
}

void frmMenuPrincipal::AbreEditorItem(bool nuevo)
{
    const int fila = FilaSeleccionada(*ui_->lvwItems);
    const QString editado =
        nuevo || fila < 0 ? QString() : ModeloItems->Filas().Ingles(size_t(fila));
    auto* editor = new frmItems(
        nuevo, editado, modTALVEXV20().dbPrincipal, Sistema(),
        [this](const Item& item, const QString& anterior, bool nuevo) {
            ItemGuardado(item, anterior, nuevo);
        },
        Voz);
    RegistraVentana(editor);
    // However the editor closes, the search box takes the selected row's text.
    AbreSobrePrincipal(*editor, [this] {
        const int elegida = FilaSeleccionada(*ui_->lvwItems);
        ui_->txtBuscaItem->setText(elegida < 0 ? QString()
                                               : ModeloItems->Filas().Ingles(size_t(elegida)));
        activateWindow();
    });
}

void frmMenuPrincipal::ItemGuardado(const Item& item, const QString& anterior, bool nuevo)
{
    const bool estabaVacia = ModeloItems->rowCount() == 0;
    const int fila = ModeloItems->GuardaItem(item, anterior, nuevo);
    // The first row of a list that was empty is its selected row.
    if (nuevo && estabaVacia)
        SeleccionaFila(*ui_->lvwItems, 0, false);
    setEnabled(true);
    // The saved row is shown as it is: no completion runs on its text.
    AutoCompletar = false;
    ui_->lvwItems->setFocus();
    SeleccionaFila(*ui_->lvwItems, fila, true);
    // Shown as saved, from the record in hand.
    ActivaItems(FilaSeleccionada(*ui_->lvwItems) == fila ? &item : nullptr);
    MuestraVistaItem();
}
