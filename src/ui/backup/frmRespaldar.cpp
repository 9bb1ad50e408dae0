#include "ui/backup/frmRespaldar.h"
#include "ui_frmRespaldar.h"

#include "nucleo/Fallos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/ImagenNitida.h"
#include "ui/Ventanas.h"
#include "ui/backup/CopiaConfirmada.h"
#include "ui/backup/Respaldo.h"
#include "ui/ventanas/AlPulsar.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/TeclasDialogo.h"
#include "ui/ventanas/frmAcercade.h"

#include <QCloseEvent>
#include <QDir>
#include <QMouseEvent>

namespace {
const QString TextoIngreseRuta = QStringLiteral("¡¡ Ingrese una ruta y nombre de archivo !!");
const QString TextoRutaValida = QStringLiteral("¡¡ Ingrese una ruta válida !!");
const QString TextoBuscar = QStringLiteral("¡¡ Debe buscar el archivo TALVEXV20.MDB !!");
const QString TextoGuardar = QStringLiteral("¡¡ Debe guardar el archivo TALVEXV20.MDB !!");
const QString TextoDiferente =
    QStringLiteral("¡¡ Debe buscar un destino diferente para copiar la B.D. !!");
// Files ending in either case, as the file name rule takes them.
const QString FiltroBase = QStringLiteral("Base de datos (*.MDB *.mdb)");

RespuestaMensaje Avisa(const QString& texto, IconoMensaje icono = IconoMensaje::Exclamacion)
{
    Sistema().Pita();
    return MuestraMensaje({texto, Titulos::Mensajes, icono});
}

} // namespace

QString frmRespaldar::TituloDelModo() const
{
    return ModoRespaldo ? QStringLiteral("Respaldar base de datos")
                        : QStringLiteral("Recuperar base de datos");
}

QString DialogoComun::Muestra(QWidget* dueno) const
{
    return guardar ? Sistema().DialogoGuardarArchivo(dueno, titulo, carpeta, nombre, filtro)
                   : Sistema().DialogoAbrirArchivo(dueno, titulo, carpeta, nombre, filtro);
}

frmRespaldar::frmRespaldar() : ui_(std::make_unique<Ui::frmRespaldar>())
{
    ui_->setupUi(this);
    for (const auto& [dibujo, recurso] :
         {std::pair{ui_->picCopiarBD, ":/imagenes/respaldo_origen.png"},
          {ui_->picGuardarBD, ":/imagenes/respaldo_destino.png"},
          {ui_->imgIcono1, ":/imagenes/respaldo_icono.png"}})
        PonImagenNitida(*dibujo, QString::fromLatin1(recurso));
    setObjectName(QStringLiteral("frmRespaldar"));
    setAttribute(Qt::WA_DeleteOnClose); // each opening starts from the design caption
    setWindowFlag(Qt::Dialog);
    setFixedSize(size());
    CentraEnPantalla(*this);
    QPalette paleta = palette();
    paleta.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ui_->lblBuscarOrigen->setPalette(paleta);
    ui_->lblGuardarDestino->setPalette(paleta);
    // The copying label stays readable while the dialog around it is disabled.
    paleta.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0, 0, 128));
    ui_->lblMensajeCopia->setPalette(paleta);
    ui_->lblMensajeCopia->hide();
    ui_->imgIcono1->setCursor(Qt::PointingHandCursor);

    auto* teclas = new TeclasDialogo(*this);
    teclas->Mueve(ui_->txtBuscarOrigen, Qt::Key_Return, ui_->txtGuardarDestino);
    teclas->Mueve(ui_->txtGuardarDestino, Qt::Key_Return, ui_->cmdAceptarRespa);
    ui_->imgIcono1->installEventFilter(this);

    AlPulsar(ui_->cmdAceptarRespa, this, [this] { RespaldaRestaura(); });
    AlPulsar(ui_->cmdExaminarOrigen, this, [this] { cmdExaminarOrigen_Click(); });
    AlPulsar(ui_->cmdExaminarDestino, this, [this] { cmdExaminarDestino_Click(); });
    connect(ui_->cmdSalirRespa, &QPushButton::clicked, this, &QWidget::close);
}

frmRespaldar::~frmRespaldar() = default;

void frmRespaldar::PonePrimero(QWidget* control)
{
    QList<QWidget*> orden{control};
    for (QWidget* otro :
         {static_cast<QWidget*>(ui_->txtBuscarOrigen),
          static_cast<QWidget*>(ui_->cmdExaminarOrigen),
          static_cast<QWidget*>(ui_->txtGuardarDestino),
          static_cast<QWidget*>(ui_->cmdExaminarDestino),
          static_cast<QWidget*>(ui_->cmdAceptarRespa), static_cast<QWidget*>(ui_->cmdSalirRespa)})
        if (otro != control)
            orden << otro;
    for (qsizetype i = 1; i < orden.size(); ++i)
        setTabOrder(orden.at(i - 1), orden.at(i));
    control->setFocus(Qt::TabFocusReason);
}

bool frmRespaldar::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == ui_->imgIcono1 && evento->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        AtiendeEvento(MuestraAcercade);
        return true;
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmRespaldar::ActivaControles()
{
    OmiteFallo([&] { setEnabled(true); });
    OmiteFallo([&] { ui_->txtBuscarOrigen->setEnabled(true); });
    OmiteFallo([&] { ui_->txtGuardarDestino->setEnabled(true); });
    for (QPushButton* boton : {ui_->cmdExaminarOrigen, ui_->cmdExaminarDestino,
                               ui_->cmdAceptarRespa, ui_->cmdSalirRespa})
        OmiteFallo([&] { boton->setEnabled(true); });
    OmiteFallo([&] { ui_->lblMensajeCopia->hide(); });
}

void frmRespaldar::DesactivaControles()
{
    setEnabled(false);
    ui_->txtBuscarOrigen->setEnabled(false);
    ui_->txtGuardarDestino->setEnabled(false);
    for (QPushButton* boton : {ui_->cmdExaminarOrigen, ui_->cmdExaminarDestino,
                               ui_->cmdAceptarRespa, ui_->cmdSalirRespa})
        boton->setEnabled(false);
    ui_->lblMensajeCopia->show();
}

void frmRespaldar::cmdExaminarOrigen_Click()
{
    Examina(*ui_->txtBuscarOrigen, dlgComun1, ModoRespaldo, TextoBuscar);
}

void frmRespaldar::cmdExaminarDestino_Click()
{
    Examina(*ui_->txtGuardarDestino, dlgComun2, !ModoRespaldo, TextoGuardar);
}

// cajaDelModo: the box that the mode fills with the working database, whose dialog opens in
// the working folder; the other opens where the box's path lies.
void frmRespaldar::Examina(QLineEdit& caja, DialogoComun& dialogo, bool cajaDelModo,
                           const QString& aviso)
{
    const QString anterior = caja.text();
    OmiteFallo([&] {
        dialogo.titulo = TituloDelModo();
        dialogo.nombre = NombreRespaldo;
        dialogo.filtro = FiltroBase;
        dialogo.carpeta = cajaDelModo ? QDir::currentPath() : CarpetaInicial(anterior);
    });
    QString elegido;
    OmiteFallo([&] { elegido = dialogo.Muestra(this); });
    if (!elegido.isEmpty()) {
        caja.setText(elegido);
        if (!TieneUnidad(elegido)) {
            caja.setText(anterior);
        } else if (!NombraBaseDatos(elegido)) {
            OmiteFallo([&] { Avisa(aviso); });
            caja.setText(anterior);
        } else if (&dialogo == &dlgComun2) {
            // A destination chosen is a destination confirmed: the copy starts at once.
            RespaldaRestaura();
        }
    }
    caja.repaint();
    caja.setFocus();
}

void frmRespaldar::RespaldaRestaura()
{
    QString destino;
    try {
        const QString origen = ui_->txtBuscarOrigen->text();
        destino = ui_->txtGuardarDestino->text();
        if (origen.isEmpty()) {
            Avisa(TextoIngreseRuta);
            ui_->txtBuscarOrigen->setFocus();
            return;
        }
        if (destino.isEmpty() || RecortaBlancos(destino).size() == 1) {
            Avisa(TextoIngreseRuta);
            ui_->txtGuardarDestino->setFocus();
            return;
        }
        const QString expandido = ExpandeUnidad(destino);
        if (!expandido.isEmpty()) {
            destino = expandido;
            ui_->txtGuardarDestino->setText(destino);
            ui_->txtGuardarDestino->repaint();
        }
        if (!TieneUnidad(ui_->txtGuardarDestino->text())) {
            Avisa(TextoRutaValida);
            ui_->txtGuardarDestino->setFocus();
            return;
        }
        if (!NombraBaseDatos(ui_->txtBuscarOrigen->text())) {
            Avisa(TextoBuscar);
            ui_->txtBuscarOrigen->setFocus();
            return;
        }
        if (!NombraBaseDatos(ui_->txtGuardarDestino->text())) {
            Avisa(TextoGuardar);
            ui_->txtGuardarDestino->setFocus();
            return;
        }
        if (destino == origen) {
            Avisa(TextoDiferente);
            ui_->txtGuardarDestino->setFocus();
            return;
        }
        const ControlesCopia controles{[this] { DesactivaControles(); },
                                       [this] { ActivaControles(); }, ui_->lblMensajeCopia};
        if (CopiaYTermina(origen, destino, ModoRespaldo, controles) ==
            CopiaSinHacer::OrigenNoValido)
            ui_->txtBuscarOrigen->setFocus();
    } catch (const ErrorTalvex& error) {
        ReportaFalloCopia(error.Numero(), error.Descripcion(), destino);
        ActivaControles();
    }
}

void frmRespaldar::MuestraRespaldo(bool respaldo)
{
    ModoRespaldo = respaldo;
    OmiteFallo([&] { ui_->lblMensajeCopia->hide(); });
    const QString trabajo = RutaBaseTrabajo();
    if (respaldo) {
        // The design caption (a dialog not yet deleted from a restore still shows that one).
        setWindowTitle(QStringLiteral("Respaldar base de datos"));
        ui_->txtBuscarOrigen->setText(trabajo);
        ui_->txtGuardarDestino->clear();
        PonePrimero(ui_->cmdExaminarDestino);
    } else {
        setWindowTitle(QStringLiteral("Recuperar base de datos"));
        ui_->txtBuscarOrigen->clear();
        ui_->txtGuardarDestino->setText(trabajo);
        PonePrimero(ui_->cmdExaminarOrigen);
    }
}
