// The index of every item and the search box that completes as the user types.
#include "app/Fallos.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "ui/Notas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/Listados.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QSignalBlocker>

namespace {
const QString Separador = QStringLiteral(" -> ");

// The heading of a shown item: "English -> Spanish".
void MuestraEncabezadoItem(frmMenuPrincipal& ventana, int fila)
{
    const FilaLista& item = ventana.ModeloItems->Filas()[size_t(fila)];
    ventana.lblNotas->setText(item.ingles + Separador + item.espanol);
}

void MuestraDetalleItem(frmMenuPrincipal& ventana, const QString& ingles)
{
    OmiteFallo([&] {
        if (const auto item = modTALVEXV20().dbPrincipal.LocalizaItem(ingles)) {
            ventana.lblCategoria->setText(item->NOMBRETEMA);
            MuestraNotas(*ventana.txtMemoNotas, item->NOTASITEM);
        }
    });
}
} // namespace

void LlenaListaItems()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    PreparaListaItems(*ventana.lvwItems, 1000, 1270);
    // The store's key order is the list's order: no sorting afterwards.
    std::vector<FilaLista> filas;
    OmiteFallo([&] {
        modTALVEXV20().dbPrincipal.RecorreFilasItems(
            [&](const QString& ingles, const QString& espanol) {
                filas.push_back({ingles, espanol});
            });
    });
    ventana.ModeloItems->CambiaFilas(std::move(filas));
    if (ventana.ModeloItems->rowCount() > 0)
        frmMenuPrincipal::SeleccionaFila(*ventana.lvwItems, 0, false);
}

void CreaIndiceItems()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    if (frmMenuPrincipal::FilaSeleccionada(*ventana.lvwItems) < 0)
        return;
    ventana.ModeloItems->ConstruyeIndice();
    frmMenuPrincipal::SeleccionaFila(*ventana.lvwItems, 0, false);
    ventana.txtBuscaItem->setText(ventana.ModeloItems->Filas().front().ingles);
}

void BuscaItem()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    const QString escrito = ventana.txtBuscaItem->text();
    if (escrito.isEmpty() || !ventana.AutoCompletar)
        return;

    if (const auto completo = ventana.ModeloItems->Indice().Completa(escrito)) {
        {
            // The completed text would run this routine once more, completing to itself and
            // showing the same row: once per keystroke is enough.
            const QSignalBlocker unaVez(ventana.txtBuscaItem);
            ventana.txtBuscaItem->setText(*completo);
        }
        ventana.txtBuscaItem->setSelection(int(escrito.size()),
                                           int(completo->size() - escrito.size()));
        ventana.AutoCompletar = false;
    }

    const QString buscado = ventana.txtBuscaItem->text();
    const int fila = ventana.ModeloItems->BuscaFila(buscado);
    if (fila < 0) {
        // Nothing begins with what was typed: back to the top, the right column unchanged.
        frmMenuPrincipal::SeleccionaFila(*ventana.lvwItems, 0, true);
        return;
    }
    frmMenuPrincipal::SeleccionaFila(*ventana.lvwItems, fila, true);
    MuestraEncabezadoItem(ventana, fila);
    MuestraDetalleItem(ventana, ventana.ModeloItems->Filas()[size_t(fila)].ingles);
}

void frmMenuPrincipal::ActivaItems()
{
    const int fila = FilaSeleccionada(*lvwItems);
    if (fila < 0)
        return;
    const QString ingles = ModeloItems->Filas()[size_t(fila)].ingles;
    txtBuscaItem->setText(ingles);
    MuestraEncabezadoItem(*this, fila);
    MuestraDetalleItem(*this, ingles);
}
