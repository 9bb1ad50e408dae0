// Opening the item editor from the main window, for a new item or the selected one.
#include "ui/editors/EditorItems.h"

#include "app/Fallos.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "ui/editors/frmItems.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QSignalBlocker>

namespace {
// "Sin categoría" and then every topic in name order, with no entry chosen yet.
void LlenaCategorias(QComboBox& lista)
{
    // Adding to an empty list would choose its first entry; choices start after the fill.
    const QSignalBlocker silencio(lista);
    lista.clear();
    lista.addItem(SinCategoria);
    OmiteFallo([&] {
        modTALVEXV20().dbPrincipal.RecorreTemas(
            [&](const Tema& tema) { lista.addItem(tema.NOMBRETEMA); });
    });
    lista.setCurrentIndex(-1);
}

// Fills the boxes with the item of the selected index row, when the store has it.
void MuestraItemEditado(frmItems& editor)
{
    EstadoAplicacion& estado = modTALVEXV20();
    const frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    const int fila = frmMenuPrincipal::FilaSeleccionada(*principal.lvwItems);
    estado.ItemEditado = fila < 0 ? QString() : principal.ModeloItems->Filas()[size_t(fila)].ingles;
    OmiteFallo([&] {
        const auto item = estado.dbPrincipal.LocalizaItem(estado.ItemEditado);
        if (!item)
            return;
        MuestraTexto(*editor.txtItemIng, item->ITEMING);
        MuestraTexto(*editor.txtItemEsp, item->ITEMESP);
        MuestraTexto(*editor.txtCategoriaItem, item->NOMBRETEMA);
        // The entry equal letter for letter, case included; with none, the last entry is
        // chosen and the box keeps the item's own topic.
        QComboBox& lista = *editor.cboCategoriaItem;
        const int entrada =
            lista.findText(item->NOMBRETEMA, Qt::MatchExactly | Qt::MatchCaseSensitive);
        lista.setCurrentIndex(entrada >= 0 ? entrada : lista.count() - 1);
        frmMenuPrincipal::MuestraNotas(*editor.txtMemoItem, item->NOTASITEM);
    });
}

void AbreEditorItem(bool nuevo)
{
    Ventana<frmMenuPrincipal>().setEnabled(false);
    modTALVEXV20().ItemNuevo = nuevo;
    MuestraEditorItem();
    frmItems& editor = Ventana<frmItems>();
    editor.show();
    editor.activateWindow();
    editor.txtItemIng->setFocus();
}
} // namespace

void cmdNuevoItems_Click()
{
    AbreEditorItem(true);
}

void cmdEditarItems_Click()
{
    if (frmMenuPrincipal::FilaSeleccionada(*Ventana<frmMenuPrincipal>().lvwItems) < 0)
        return;
    AbreEditorItem(false);
}

void MuestraEditorItem()
{
    EstadoAplicacion& estado = modTALVEXV20();
    frmItems& editor = Ventana<frmItems>();
    estado.EditorItemListo = false;
    estado.ItemEditado.clear();
    LlenaCategorias(*editor.cboCategoriaItem);
    if (estado.ItemNuevo) {
        editor.setWindowTitle(QStringLiteral("Item nuevo"));
        // With no topic, nothing is chosen and the box stays empty.
        if (editor.cboCategoriaItem->count() > 1) {
            editor.cboCategoriaItem->setCurrentIndex(0);
            MuestraTexto(*editor.txtCategoriaItem, editor.cboCategoriaItem->currentText());
        }
    } else {
        editor.setWindowTitle(QStringLiteral("Editar item"));
        MuestraItemEditado(editor);
    }
    estado.EditorItemListo = true;
}
