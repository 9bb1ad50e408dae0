#include "ui/ventanas/frmAcercade.h"
#include "ui_frmAcercade.h"

#include "nucleo/DatosFabricante.h"
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/ImagenNitida.h"
#include "ui/Ventanas.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui/ventanas/TeclasDialogo.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

const QColor frmAcercade::Normal(0, 0, 255);
const QColor frmAcercade::Resaltado(255, 0, 255);

namespace {
void Colorea(QLabel& enlace, const QColor& color)
{
    QPalette paleta = enlace.palette();
    paleta.setColor(QPalette::WindowText, color);
    enlace.setPalette(paleta);
}
} // namespace

frmAcercade::frmAcercade() : ui_(std::make_unique<Ui::frmAcercade>())
{
    ui_->setupUi(this);
    PonImagenNitida(*ui_->imgAcercade, QStringLiteral(":/imagenes/talvex32.png"));
    setAttribute(Qt::WA_DeleteOnClose); // the links start blue at every opening
    setWindowFlag(Qt::Dialog);
    setFixedSize(size());
    CentraEnPantalla(*this);
    ui_->lblAcercade4->setText(DatosFabricante::Nombre);
    ui_->lblAcercade5->setText(DatosFabricante::Autoria);
    ui_->lblAcercade6->setText(DatosFabricante::Localidad);
    ui_->lblAcercade7->setText(QStringLiteral("Teléfono: ") + DatosFabricante::Telefono);
    ui_->lblAcercade9->setText(DatosFabricante::Correo);
    ui_->lblAcercade10->setText(DatosFabricante::Web);
    Colorea(*ui_->lblAcercade9, Normal);
    Colorea(*ui_->lblAcercade10, Normal);
    // The lines keep their places; a line longer than its width in this font grows to the
    // right rather than lose its last letters.
    for (QLabel* etiqueta : findChildren<QLabel*>())
        if (etiqueta != ui_->imgAcercade)
            etiqueta->resize(qMax(etiqueta->width(), etiqueta->sizeHint().width()),
                             etiqueta->height());

    // The window itself follows the mouse over its labels, all but the telephone line.
    setMouseTracking(true);
    for (QLabel* etiqueta : findChildren<QLabel*>())
        etiqueta->setAttribute(Qt::WA_TransparentForMouseEvents, etiqueta != ui_->lblAcercade7);
    ui_->lblAcercade7->setMouseTracking(true);
    ui_->lblAcercade7->installEventFilter(this);
    connect(ui_->cmdAcercade, &QPushButton::clicked, this, &QWidget::close);
    new TeclasDialogo(*this); // Escape closes it
}

frmAcercade::~frmAcercade() = default;

bool frmAcercade::EstaResaltado(const QLabel& enlace)
{
    return enlace.palette().color(QPalette::WindowText) == Resaltado;
}

void frmAcercade::MueveRaton(int x, int y)
{
    if (x >= 1500 && x <= 3100 && y >= 2900 && y <= 3200) {
        setCursor(Qt::PointingHandCursor);
        Colorea(*ui_->lblAcercade9, Resaltado);
    } else if (x >= 1100 && x <= 4200 && y >= 3500 && y <= 3700) {
        setCursor(Qt::PointingHandCursor);
        Colorea(*ui_->lblAcercade10, Resaltado);
    } else {
        Colorea(*ui_->lblAcercade9, Normal);
        Colorea(*ui_->lblAcercade10, Normal);
        unsetCursor();
    }
}

void frmAcercade::Pulsa()
{
    // Whatever the desktop does with the address, the window stays as it is.
    if (EstaResaltado(*ui_->lblAcercade9))
        OmiteFallo([&] {
            Sistema().AbreDireccion(QUrl(QStringLiteral("mailto:") + ui_->lblAcercade9->text()));
        });
    if (EstaResaltado(*ui_->lblAcercade10))
        OmiteFallo([&] { Sistema().AbreDireccion(QUrl(ui_->lblAcercade10->text())); });
}

bool frmAcercade::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == ui_->lblAcercade7 && evento->type() == QEvent::MouseMove) {
        Colorea(*ui_->lblAcercade9, Normal);
        unsetCursor();
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmAcercade::mouseMoveEvent(QMouseEvent* evento)
{
    const QPoint punto = evento->position().toPoint() * 15;
    MueveRaton(punto.x(), punto.y());
}

void frmAcercade::mouseReleaseEvent(QMouseEvent* evento)
{
    if (evento->button() == Qt::LeftButton)
        Pulsa();
}

void frmAcercade::keyPressEvent(QKeyEvent* evento)
{
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter)
        ui_->cmdAcercade->click();
    else
        QWidget::keyPressEvent(evento);
}

void MuestraAcercade()
{
    AbreSobrePrincipal(Ventana<frmAcercade>());
}
