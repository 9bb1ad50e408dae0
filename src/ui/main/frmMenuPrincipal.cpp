#include "ui/main/frmMenuPrincipal.h"
#include "ui_frmMenuPrincipal.h"

#include "nucleo/FormaHora.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/IndicadoresTeclado.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/SobrePrincipal.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLocale>

namespace {
const QString TextoVersion = QStringLiteral("TALVEX Ver. 2.0.0");
const QStringList TextosPaneles{
    TextoVersion, QStringLiteral("NÚM"), QStringLiteral("MAYÚS"), QStringLiteral("INS"), QString(),
    QString()};

// Watches every key of the program for the Num Lock, Caps Lock and Insert panels.
class FiltroIndicadores : public QObject {
public:
    FiltroIndicadores(frmMenuPrincipal& ventana, bool& modoInsertar)
        : QObject(&ventana), ventana_(ventana), modoInsertar_(modoInsertar)
    {
    }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (evento->type() == QEvent::KeyRelease) {
            // A key the focus widget ignores travels up to its parents: count it once.
            if (static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Insert &&
                objeto == qApp->focusObject())
                modoInsertar_ = !modoInsertar_;
            ventana_.ActualizaIndicadores();
        }
        return false;
    }

private:
    frmMenuPrincipal& ventana_;
    bool& modoInsertar_;
};

void CambiaPuntos(QWidget& control, double puntos)
{
    QFont letra = control.font();
    letra.setPointSizeF(puntos);
    control.setFont(letra);
}
} // namespace

frmMenuPrincipal::frmMenuPrincipal()
    : TimerMiReloj(new QTimer(this)), TimerSalir(new QTimer(this)),
      ModeloItems(new ModeloListaItems(&modTALVEXV20().dbPrincipal, this)),
      ModeloListaTema(new ModeloListaItems(nullptr, this)),
      ModeloArbol(new ModeloTemas(&modTALVEXV20().dbPrincipal, this)),
      ui_(std::make_unique<Ui::frmMenuPrincipal>())
{
    ui_->setupUi(this);
    RegistraPrincipal(this);
    // Point sizes with fractions cannot be written in the form file.
    CambiaPuntos(*ui_->lblContenido, 8.25);
    CambiaPuntos(*ui_->lblIndice, 8.25);
    CambiaPuntos(*ui_->lblNotas, 9.75);
    // The panel's lavender and the labels' navy reach every control on it.
    QPalette paleta = ui_->picMenu1->palette();
    paleta.setColor(QPalette::Window, QColor(192, 192, 255));
    paleta.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ui_->picMenu1->setPalette(paleta);
    ui_->lvwItems->setModel(ModeloItems);
    ui_->lvwListaTema->setModel(ModeloListaTema);
    ui_->TreeTemas->setModel(ModeloArbol);
    CreaPaneles();

    TimerMiReloj->setObjectName(QStringLiteral("TimerMiReloj"));
    TimerMiReloj->setInterval(1000);
    connect(TimerMiReloj, &QTimer::timeout, this, [this] {
        EscribeFechaHora();
        ActualizaIndicadores();
    });
    TimerMiReloj->start();
    TimerSalir->setObjectName(QStringLiteral("TimerSalir"));
    TimerSalir->setInterval(150);

    qApp->installEventFilter(new FiltroIndicadores(*this, modoInsertar_));
    ConectaEventos();
    CreaBarraHerramientas();
    CreaVoz();
    CentraEnPantalla(*this);
}

frmMenuPrincipal::~frmMenuPrincipal() = default;

void frmMenuPrincipal::CreaPaneles()
{
    for (int i = 0; i < 6; ++i) {
        auto* panel = new QLabel(TextosPaneles[i], ui_->stsBarraEstado);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAlignment(Qt::AlignCenter);
        panel->setMinimumWidth(i == 0 ? 160 : 70);
        ui_->stsBarraEstado->addPermanentWidget(panel, i == 0 ? 1 : 0);
        Paneles[size_t(i)] = panel;
    }
    Paneles[0]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Paneles[0]->setToolTip(TextoVersion);
    ActualizaIndicadores();
}

void frmMenuPrincipal::EscribeFechaHora()
{
    const QDateTime ahora = QDateTime::currentDateTime();
    const QLocale sistema = QLocale::system();
    Paneles[4]->setText(sistema.toString(ahora.date(), QLocale::ShortFormat));
    Paneles[5]->setText(TextoHora(sistema, ahora.time()));
}

void frmMenuPrincipal::CentraPanel()
{
    // The window's outer size in twips, as its frame and caption count in it.
    const QSize ventana = frameGeometry().size() * 15;
    const QSize panel = ui_->picMenu1->size() * 15;
    const QPoint enVentana(Twips((ventana.width() - panel.width()) / 2.0 - 60),
                           Twips((ventana.height() - panel.height()) / 2.0 - 350));
    // Coordinates of the window's client area, kept clear of the toolbar.
    const QPoint enCentro = enVentana - centralWidget()->pos();
    ui_->picMenu1->move(qMax(0, enCentro.x()), qMax(0, enCentro.y()));
}

void frmMenuPrincipal::MuestraPanel()
{
    ui_->picMenu1->setVisible(true);
    ui_->txtBuscaItem->setFocus();
}

void frmMenuPrincipal::PintaFondo(const QColor& color)
{
    QPalette paleta = centralWidget()->palette();
    paleta.setColor(QPalette::Window, color);
    centralWidget()->setPalette(paleta);
    centralWidget()->setAutoFillBackground(true);
}

void frmMenuPrincipal::ActualizaIndicadores()
{
    const EstadoIndicadores luces = LeeIndicadoresTeclado();
    Paneles[1]->setEnabled(luces.numLock);
    Paneles[2]->setEnabled(luces.mayusculas);
    Paneles[3]->setEnabled(modoInsertar_);
}

void frmMenuPrincipal::resizeEvent(QResizeEvent* evento)
{
    QMainWindow::resizeEvent(evento);
    // The panel stays in the middle when the user resizes the window.
    if (ui_->picMenu1->isVisible())
        CentraPanel();
}
