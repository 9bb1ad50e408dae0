#include "ui/editors/frmTemas.h"
#include "ui_frmTemas.h"

#include "nucleo/Fallos.h"
#include "nucleo/Titulos.h"
#include "ui/LimiteCaracteres.h"
#include "ui/Notas.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui/ventanas/TeclasDialogo.h"

namespace {
const QString TextoSinNombre =
    QStringLiteral("¡¡ Por favor, ingrese el nombre de un tema") + QStringLiteral(" !!");
const QString TextoDuplicado = QStringLiteral("¡¡ Ya existe un tema con ese nombre !!");

void Avisa(Plataforma& sistema, const QString& texto)
{
    sistema.Pita();
    sistema.MuestraMensaje({texto, Titulos::MensajesCortos, IconoMensaje::Exclamacion});
}

} // namespace

frmTemas::frmTemas(bool nuevo, const QString& seleccionado, bool hayTemas,
                   const BaseVocabulario& base, Plataforma& sistema, Guarda guarda)
    : TemaNuevo(nuevo), hayTemas_(hayTemas), base_(base), sistema_(sistema),
      guarda_(std::move(guarda)), ui_(std::make_unique<Ui::frmTemas>())
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmTemas"));
    setAttribute(Qt::WA_DeleteOnClose); // every opening starts from empty boxes
    setWindowFlag(Qt::Dialog);
    setFixedSize(size());
    CentraEnPantalla(*this);
    QPalette paleta = palette();
    paleta.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ui_->lblNombreTema->setPalette(paleta);
    ui_->lblNotasTema->setPalette(paleta);
    LimitaCaracteres(*ui_->txtNombreTema, LargoMaximoNombreTema, LimiteCaracteres::Exceso::Recorta);

    auto* teclas = new TeclasDialogo(*this);
    teclas->Mueve(ui_->txtNombreTema, Qt::Key_Return, ui_->txtMemoTema);
    teclas->Mueve(ui_->txtNombreTema, Qt::Key_Up, ui_->cmdCancelarTema);
    teclas->Mueve(ui_->txtNombreTema, Qt::Key_Down, ui_->txtMemoTema);

    connect(ui_->cmdAceptarTema, &QPushButton::clicked, this, &frmTemas::cmdAceptarTema_Click);
    connect(ui_->cmdCancelarTema, &QPushButton::clicked, this, &QWidget::close);
    MuestraEditorTema(seleccionado);
    ui_->txtNombreTema->setFocus(); // the focus starts in the name box
}

frmTemas::~frmTemas() = default;

void frmTemas::SeleccionaNombre()
{
    ui_->txtNombreTema->setFocus();
    ui_->txtNombreTema->selectAll();
}

void frmTemas::MuestraEditorTema(const QString& seleccionado)
{
    if (TemaNuevo) {
        setWindowTitle(QStringLiteral("Tema nuevo"));
        return;
    }
    if (seleccionado.isEmpty())
        return;
    setWindowTitle(QStringLiteral("Editar tema"));
    TemaAnterior = seleccionado;
    try {
        if (const auto tema = base_.LocalizaTema(seleccionado)) {
            ui_->txtNombreTema->setText(tema->NOMBRETEMA);
            MuestraNotas(*ui_->txtMemoTema, tema->NOTASTEMA);
        }
    } catch (const ErrorTalvex& error) {
        ReportaError(error, Titulos::MensajesCortos);
    }
}

void frmTemas::cmdAceptarTema_Click()
{
    try {
        const QString nombre = ui_->txtNombreTema->text();
        if (nombre.isEmpty()) {
            Avisa(sistema_, TextoSinNombre);
            SeleccionaNombre();
            return;
        }
        // Names are unique without regard to case; an edited topic may keep its own name.
        if (hayTemas_) {
            const auto otro = base_.LocalizaTema(nombre);
            const bool mismoNombre = nombre.toUpper() == TemaAnterior.toUpper();
            if (otro && otro->NOMBRETEMA.toUpper() == nombre.toUpper() &&
                (TemaNuevo || !mismoNombre)) {
                Avisa(sistema_, TextoDuplicado);
                SeleccionaNombre();
                return;
            }
        }
        guarda_({nombre, LeeNotas(*ui_->txtMemoTema)}, TemaAnterior, TemaNuevo);
        close();
    } catch (const ErrorTalvex& error) {
        // The topic row and its items change together or not at all; the refusal is told
        // and the editor stays open with what the user typed.
        ReportaError(error, Titulos::MensajesCortos);
        HabilitaPrincipal();
    }
}
