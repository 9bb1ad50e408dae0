// Opening the topic editor from the main window.
#include "ui/editors/EditorTemas.h"

#include "app/Fallos.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "ui/editors/frmTemas.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

namespace {
void AbreEditorTema(bool nuevo)
{
    Ventana<frmMenuPrincipal>().setEnabled(false);
    modTALVEXV20().TemaNuevo = nuevo;
    MuestraEditorTema();
    frmTemas& editor = Ventana<frmTemas>();
    editor.show();
    editor.activateWindow();
    editor.txtNombreTema->setFocus();
}
} // namespace

void cmdNuevoTema_Click()
{
    AbreEditorTema(true);
}

void cmdEditarTema_Click()
{
    if (Ventana<frmMenuPrincipal>().ModeloArbol->rowCount() == 0)
        return;
    AbreEditorTema(false);
}

void MuestraEditorTema()
{
    EstadoAplicacion& estado = modTALVEXV20();
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    frmTemas& editor = Ventana<frmTemas>();
    estado.TemaActual.clear();
    estado.TemaAnterior.clear();
    if (estado.TemaNuevo) {
        editor.setWindowTitle(QStringLiteral("Tema nuevo"));
        return;
    }
    const int fila = frmMenuPrincipal::FilaSeleccionada(*principal.TreeTemas);
    if (fila < 0)
        return;
    editor.setWindowTitle(QStringLiteral("Editar tema"));
    estado.TemaActual = principal.ModeloArbol->Nombres().at(fila);
    estado.TemaAnterior = estado.TemaActual;
    try {
        if (const auto tema = estado.dbPrincipal.LocalizaTema(estado.TemaActual)) {
            editor.txtNombreTema->setText(tema->NOMBRETEMA);
            frmMenuPrincipal::MuestraNotas(*editor.txtMemoTema, tema->NOTASTEMA);
        }
    } catch (const ErrorTalvex& error) {
        ReportaError(error, QStringLiteral("TALVEX Ver. 2.0"));
    }
}
