// Practice from the "Opciones" menu, the toolbar or Ctrl+R, and its statistics from the menu:
// the window over this one, on the topic selected in the tree. Practice writes only cards and
// reviews, which nothing here shows.
#include "nucleo/modTALVEXV20.h"
#include "ui/Pronunciacion.h"
#include "ui/Ventanas.h"
#include "ui/estadisticas/frmEstadisticas.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/practica/frmPracticar.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui_frmMenuPrincipal.h"

namespace {
// The topic of the tree's selected row (none: nothing selected, the whole vocabulary).
std::optional<QString> TemaDeFila(int fila, const ModeloTemas& modelo)
{
    if (fila < 0)
        return std::nullopt;
    return modelo.Nombres().at(fila);
}
} // namespace

void frmMenuPrincipal::mnuPracticar_Click()
{
    const std::optional<QString> tema = TemaDeFila(FilaSeleccionada(*ui_->TreeTemas), *ModeloArbol);
    frmPracticar::Habla habla;
    habla.dice = [this](const QString& ingles, bool despacio) {
        Voz->Escucha(ingles, false, despacio);
    };
    habla.fonetica = [this](const QString& ingles) { return Voz->Fonetica(ingles); };
    habla.conSonido = Voz->Disponible() && HaySalidaSonido();
    auto* ventana =
        new frmPracticar(modTALVEXV20().dbPrincipal, ModeloArbol->Nombres(), tema, habla);
    RegistraVentana(ventana);
    AbreSobrePrincipal(*ventana);
}

void frmMenuPrincipal::mnuEstadisticas_Click()
{
    auto* ventana =
        new frmEstadisticas(modTALVEXV20().dbPrincipal, ModeloArbol->Nombres(),
                            TemaDeFila(FilaSeleccionada(*ui_->TreeTemas), *ModeloArbol));
    RegistraVentana(ventana);
    AbreSobrePrincipal(*ventana);
}
