// The index of every item and the search box that completes as the user types.
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Notas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui_frmMenuPrincipal.h"

#include <QSignalBlocker>

namespace {
const QString Separador = QStringLiteral(" -> ");

} // namespace

void frmMenuPrincipal::MuestraEncabezadoItem(int fila)
{
    const FilaLista item = ModeloItems->Filas()[size_t(fila)];
    ui_->lblNotas->setText(item.ingles + Separador + item.espanol);
    MuestraVoz(item.ingles);
}

void frmMenuPrincipal::MuestraDetalleItem(const QString& ingles)
{
    OmiteFallo([&] {
        if (const auto item = modTALVEXV20().dbPrincipal.LocalizaItem(ingles))
            MuestraDetalleItem(*item);
    });
}

void frmMenuPrincipal::MuestraDetalleItem(const Item& item)
{
    ui_->lblCategoria->setText(item.NOMBRETEMA);
    MuestraNotas(*ui_->txtMemoNotas, item.NOTASITEM);
}

void frmMenuPrincipal::LlenaListaItems()
{
    PreparaListaItems(*ui_->lvwItems, 1000, 1270);
    // The store's key order is the list's order: no sorting afterwards.
    FilasLista filas;
    OmiteFallo([&] {
        modTALVEXV20().dbPrincipal.RecorreFilasItems(
            [&](QByteArrayView ingles, QByteArrayView espanol) {
                filas.AgregaUtf8(ingles, espanol);
            });
    });
    ModeloItems->CambiaFilas(std::move(filas));
    if (ModeloItems->rowCount() > 0)
        SeleccionaFila(*ui_->lvwItems, 0, false);
}

// The search box completes over the list's own rows: the index is there once they are.
void frmMenuPrincipal::CreaIndiceItems()
{
    if (FilaSeleccionada(*ui_->lvwItems) < 0)
        return;
    SeleccionaFila(*ui_->lvwItems, 0, false);
    ui_->txtBuscaItem->setText(ModeloItems->Filas().Ingles(0));
}

void frmMenuPrincipal::BuscaItem()
{
    const QString escrito = ui_->txtBuscaItem->text();
    if (escrito.isEmpty() || !AutoCompletar)
        return;

    if (const auto completo = ModeloItems->Indice().Completa(escrito)) {
        {
            // The completed text would run this routine once more, completing to itself and
            // showing the same row: once per keystroke is enough.
            const QSignalBlocker unaVez(ui_->txtBuscaItem);
            ui_->txtBuscaItem->setText(*completo);
        }
        ui_->txtBuscaItem->setSelection(int(escrito.size()),
                                        int(completo->size() - escrito.size()));
        AutoCompletar = false;
    }

    const QString buscado = ui_->txtBuscaItem->text();
    const int fila = ModeloItems->BuscaFila(buscado);
    if (fila < 0) {
        // Nothing begins with what was typed: back to the top, the right column unchanged.
        SeleccionaFila(*ui_->lvwItems, 0, true);
        return;
    }
    SeleccionaFila(*ui_->lvwItems, fila, true);
    MuestraEncabezadoItem(fila);
    MuestraDetalleItem(ModeloItems->Filas().Ingles(size_t(fila)));
}

void frmMenuPrincipal::OlvidaListados()
{
    LlenaArbolTemas(); // with the tables closed, both lists come out empty
    LlenaListaItems();
    const QSignalBlocker sinCompletar(ui_->txtBuscaItem);
    ui_->txtBuscaItem->clear();
    ui_->lblNotas->clear();
    ui_->lblCategoria->clear();
    ui_->txtMemoNotas->clear();
    MuestraVoz({});
    TemaActual.clear();
}

void frmMenuPrincipal::ActivaItems(const Item* guardado)
{
    const int fila = FilaSeleccionada(*ui_->lvwItems);
    if (fila < 0)
        return;
    const QString ingles = ModeloItems->Filas().Ingles(size_t(fila));
    ui_->txtBuscaItem->setText(ingles);
    MuestraEncabezadoItem(fila);
    if (guardado)
        MuestraDetalleItem(*guardado);
    else
        MuestraDetalleItem(ingles);
}
