// The topic tree and the topic shown in the right column.
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Notas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui_frmMenuPrincipal.h"

void frmMenuPrincipal::LlenaArbolTemas()
{
    EstadoAplicacion& estado = modTALVEXV20();
    TemaActual.clear();
    // The store walks topics in name order, which is the tree's own order.
    QStringList nombres;
    OmiteFallo(
        [&] { estado.dbPrincipal.RecorreTemas([&](const Tema& t) { nombres << t.NOMBRETEMA; }); });
    ModeloArbol->CambiaTemas(std::move(nombres));
    if (ModeloArbol->rowCount() == 0)
        return; // no node to select: heading, notes and TemaActual stay as they are
    SeleccionaFila(*ui_->TreeTemas, 0, false);
    const QString nombre = ModeloArbol->Nombres().first();
    ui_->lblNotas->setText(nombre);
    MuestraVoz({});
    ui_->lblCategoria->clear();
    TemaActual = nombre;
    OmiteFallo([&] {
        if (const auto tema = estado.dbPrincipal.LocalizaTema(nombre))
            MuestraNotas(*ui_->txtMemoNotas, tema->NOTASTEMA);
    });
}

void frmMenuPrincipal::ActivaTemas(const Tema* guardado)
{
    EstadoAplicacion& estado = modTALVEXV20();
    TemaActual.clear();
    ItemTemaActual.clear();
    const int fila = FilaSeleccionada(*ui_->TreeTemas);
    if (fila >= 0) {
        const QString nombre = ModeloArbol->Nombres().at(fila);
        ui_->lblNotas->setText(nombre);
        MuestraVoz({});
        ui_->lblCategoria->clear();
        TemaActual = nombre;
        // A topic missing from the table leaves the notes shown before.
        if (guardado)
            MuestraNotas(*ui_->txtMemoNotas, guardado->NOTASTEMA);
        else
            OmiteFallo([&] {
                if (const auto tema = estado.dbPrincipal.LocalizaTema(nombre))
                    MuestraNotas(*ui_->txtMemoNotas, tema->NOTASTEMA);
            });
    }
    MuestraVistaTema();
    ui_->txtMemoLista->clear();
    LlenaListaTema();
    const int primera = FilaSeleccionada(*ui_->lvwListaTema);
    if (primera < 0)
        return;
    ItemTemaActual = ModeloListaTema->Filas().Ingles(size_t(primera));
    OmiteFallo([&] {
        if (const auto item = estado.dbPrincipal.LocalizaItem(ItemTemaActual))
            MuestraNotas(*ui_->txtMemoLista, item->NOTASITEM);
    });
}

void frmMenuPrincipal::MuestraVistaTema()
{
    ui_->txtMemoNotas->resize(ui_->txtMemoNotas->width(), Twips(3645));
}

void frmMenuPrincipal::MuestraVistaItem()
{
    ui_->txtMemoNotas->resize(ui_->txtMemoNotas->width(), Twips(5320));
    ModeloListaTema->LimpiaFilas();
    ui_->txtMemoLista->clear();
}
