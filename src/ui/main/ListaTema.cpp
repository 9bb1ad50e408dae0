// The items of the shown topic, below its notes.
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Notas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui_frmMenuPrincipal.h"

void frmMenuPrincipal::LlenaListaTema()
{
    PreparaListaItems(*ui_->lvwListaTema, 1380, 1380);
    FilasLista filas;
    // Only items whose topic is the heading letter for letter, case included.
    OmiteFallo([&] {
        modTALVEXV20().dbPrincipal.RecorreItemsDeTema(ui_->lblNotas->text(), [&](const Item& i) {
            filas.push_back({i.ITEMING, i.ITEMESP});
        });
    });
    ModeloListaTema->CambiaFilas(std::move(filas));
    if (ModeloListaTema->rowCount() > 0)
        SeleccionaFila(*ui_->lvwListaTema, 0, false);
}

void frmMenuPrincipal::ActivaListaTema()
{
    const int fila = FilaSeleccionada(*ui_->lvwListaTema);
    const QString ingles = fila >= 0 ? ModeloListaTema->Filas().Ingles(size_t(fila)) : QString();
    OmiteFallo([&] {
        if (const auto item = modTALVEXV20().dbPrincipal.LocalizaItem(ingles))
            MuestraNotas(*ui_->txtMemoLista, item->NOTASITEM);
    });
}
