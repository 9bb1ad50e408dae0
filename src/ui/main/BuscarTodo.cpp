// Search everywhere from the "Opciones" menu (or Ctrl+F): the chosen result is shown here.
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/busqueda/frmBuscar.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui_frmMenuPrincipal.h"

#include <QApplication>
#include <QScopeGuard>

void frmMenuPrincipal::PreparaBusqueda()
{
    indiceAparte_ = std::make_unique<Busqueda::IndiceAparte>(modTALVEXV20().dbPrincipal);
}

void frmMenuPrincipal::mnuBuscarTodo_Click()
{
    const BaseVocabulario& base = modTALVEXV20().dbPrincipal;
    // The index built aside, then the rows written since read again, so each search sees the
    // latest writes; built here only when it never was.
    if (indiceAparte_ || !IndiceBusqueda.AlDia(base)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto devuelveCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        if (indiceAparte_) {
            IndiceBusqueda = indiceAparte_->Toma();
            indiceAparte_.reset();
        }
        IndiceBusqueda.Actualiza(base);
    }
    auto* ventana = new frmBuscar(
        IndiceBusqueda, [this](const Busqueda::Hallazgo& hallazgo) { ResultadoElegido(hallazgo); },
        [this](Intercambio::Formato formato, const std::vector<QString>& ingles) {
            ExportaResultados(&Ventana<frmBuscar>(), formato, ingles);
        });
    RegistraVentana(ventana);
    AbreSobrePrincipal(*ventana);
}

void frmMenuPrincipal::ResultadoElegido(const Busqueda::Hallazgo& hallazgo)
{
    setEnabled(true);
    activateWindow();
    if (hallazgo.esTema) {
        const int fila = int(ModeloArbol->Nombres().indexOf(hallazgo.tema));
        if (fila < 0)
            return;
        SeleccionaFila(*ui_->TreeTemas, fila, true);
        ui_->TreeTemas->setFocus();
        ActivaTemas();
        return;
    }
    const int fila = ModeloItems->BuscaFila(hallazgo.ingles);
    if (fila < 0)
        return;
    AutoCompletar = false;
    SeleccionaFila(*ui_->lvwItems, fila, true);
    ui_->lvwItems->setFocus();
    MuestraItemElegido();
}
