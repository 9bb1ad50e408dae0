#include "ui/editors/frmTemas.h"

#include "ui/LimiteCaracteres.h"

#include "app/Fallos.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "app/windows/Centrado.h"
#include "ui/editors/TeclasDialogo.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QCloseEvent>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0");
const QString TextoSinNombre =
    QStringLiteral("¡¡ Por favor, ingrese el nombre de un tema") + QStringLiteral(" !!");
const QString TextoDuplicado = QStringLiteral("¡¡ Ya existe un tema con ese nombre !!");

void Avisa(const QString& texto)
{
    Sistema().Pita();
    MuestraMensaje({texto, Titulo, IconoMensaje::Exclamacion});
}

// The text of the tree's selected node, or empty.
QString TemaSeleccionado()
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    const int fila = frmMenuPrincipal::FilaSeleccionada(*principal.TreeTemas);
    return fila < 0 ? QString() : principal.ModeloArbol->Nombres().at(fila);
}
} // namespace

frmTemas::frmTemas()
{
    setupUi(this);
    setObjectName(QStringLiteral("frmTemas"));
    setAttribute(Qt::WA_DeleteOnClose); // every opening starts from empty boxes
    setWindowFlag(Qt::Dialog);
    setFixedSize(size());
    CentraEnPantalla(*this);
    QPalette paleta = palette();
    paleta.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lblNombreTema->setPalette(paleta);
    lblNotasTema->setPalette(paleta);
    LimitaCaracteres(*txtNombreTema, 50, LimiteCaracteres::Exceso::Recorta);

    auto* teclas = new TeclasDialogo(*this);
    teclas->Mueve(txtNombreTema, Qt::Key_Return, txtMemoTema);
    teclas->Mueve(txtNombreTema, Qt::Key_Up, cmdCancelarTema);
    teclas->Mueve(txtNombreTema, Qt::Key_Down, txtMemoTema);

    connect(cmdAceptarTema, &QPushButton::clicked, this, &frmTemas::cmdAceptarTema_Click);
    connect(cmdCancelarTema, &QPushButton::clicked, this, &QWidget::close);
}

void frmTemas::closeEvent(QCloseEvent* evento)
{
    Ventana<frmMenuPrincipal>().setEnabled(true);
    evento->accept();
}

void frmTemas::SeleccionaNombre()
{
    txtNombreTema->setFocus();
    txtNombreTema->selectAll();
}

void frmTemas::cmdAceptarTema_Click()
{
    EstadoAplicacion& estado = modTALVEXV20();
    try {
        const QString nombre = txtNombreTema->text();
        if (nombre.isEmpty()) {
            Avisa(TextoSinNombre);
            SeleccionaNombre();
            return;
        }
        // Names are unique without regard to case; an edited topic may keep its own name.
        if (Ventana<frmMenuPrincipal>().ModeloArbol->rowCount() > 0) {
            const auto otro = estado.dbPrincipal.LocalizaTema(nombre);
            const bool mismoNombre = nombre.toUpper() == TemaSeleccionado().toUpper();
            if (otro && otro->NOMBRETEMA.toUpper() == nombre.toUpper() &&
                (estado.TemaNuevo || !mismoNombre)) {
                Avisa(TextoDuplicado);
                SeleccionaNombre();
                return;
            }
        }
        ActualizaTablaTemas();
        Ventana<frmMenuPrincipal>().setEnabled(true);
        ActualizaListaTemas();
        close();
    } catch (const ErrorTalvex& error) {
        ReportaError(error, Titulo);
        Ventana<frmMenuPrincipal>().setEnabled(true);
    }
}

void frmTemas::ActualizaTablaTemas()
{
    EstadoAplicacion& estado = modTALVEXV20();
    const Tema tema{txtNombreTema->text(), frmMenuPrincipal::LeeNotas(*txtMemoTema)};
    if (estado.TemaNuevo) {
        estado.dbPrincipal.AgregaTema(tema);
        return;
    }
    // The topic row and its items change together or not at all; a refusal is reported
    // by the command instead of being taken for a success.
    estado.dbPrincipal.EnTransaccion([&] {
        const auto guardado = estado.dbPrincipal.LocalizaTema(estado.TemaActual);
        if (guardado && guardado->NOMBRETEMA == estado.TemaActual)
            estado.dbPrincipal.ModificaTema(estado.TemaActual, tema);
        estado.dbPrincipal.CambiaTemaItems(estado.TemaAnterior, tema.NOMBRETEMA);
    });
}

void frmTemas::ActualizaListaTemas()
{
    EstadoAplicacion& estado = modTALVEXV20();
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    estado.TemaActual.clear();
    const QString nombre = txtNombreTema->text();
    ModeloTemas& arbol = *principal.ModeloArbol;
    const int seleccionada = frmMenuPrincipal::FilaSeleccionada(*principal.TreeTemas);
    const int fila = estado.TemaNuevo || seleccionada < 0
                         ? arbol.AgregaTema(nombre)
                         : arbol.CambiaNombre(seleccionada, nombre);
    frmMenuPrincipal::SeleccionaFila(*principal.TreeTemas, fila, true);
    principal.lblNotas->setText(nombre);
    estado.TemaActual = nombre;
    OmiteFallo([&] {
        if (const auto tema = estado.dbPrincipal.LocalizaTema(nombre)) {
            principal.lblCategoria->clear();
            frmMenuPrincipal::MuestraNotas(*principal.txtMemoNotas, tema->NOTASTEMA);
        }
    });
    principal.ActivaTemas();
}
