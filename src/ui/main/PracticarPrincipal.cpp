// Practice from the "Opciones" menu, the toolbar or Ctrl+R: the window over this one, on the
// topic selected in the tree. Practice writes only cards and reviews, which nothing here shows.
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "app/windows/SobrePrincipal.h"
#include "ui/Pronunciacion.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/practica/frmPracticar.h"
#include "ui_frmMenuPrincipal.h"

void frmMenuPrincipal::mnuPracticar_Click()
{
    const int fila = FilaSeleccionada(*ui_->TreeTemas);
    std::optional<QString> tema;
    if (fila >= 0)
        tema = ModeloArbol->Nombres().at(fila);
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
