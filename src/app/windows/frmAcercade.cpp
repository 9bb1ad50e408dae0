#include "app/windows/frmAcercade.h"

#include "app/DatosFabricante.h"
#include "app/Fallos.h"
#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "app/windows/Centrado.h"
#include "app/windows/SobrePrincipal.h"
#include "app/windows/TeclasDialogo.h"

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

frmAcercade::frmAcercade()
{
    setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose); // the links start blue at every opening
    setWindowFlag(Qt::Dialog);
    setFixedSize(size());
    CentraEnPantalla(*this);
    lblAcercade4->setText(DatosFabricante::Nombre);
    lblAcercade5->setText(DatosFabricante::Autoria);
    lblAcercade6->setText(DatosFabricante::Localidad);
    lblAcercade7->setText(QStringLiteral("Teléfono: ") + DatosFabricante::Telefono);
    lblAcercade9->setText(DatosFabricante::Correo);
    lblAcercade10->setText(DatosFabricante::Web);
    Colorea(*lblAcercade9, Normal);
    Colorea(*lblAcercade10, Normal);
    // The lines keep their places; a line longer than its width in this font grows to the
    // right rather than lose its last letters.
    for (QLabel* etiqueta : findChildren<QLabel*>())
        if (etiqueta != imgAcercade)
            etiqueta->resize(qMax(etiqueta->width(), etiqueta->sizeHint().width()),
                             etiqueta->height());

    // The window itself follows the mouse over its labels, all but the telephone line.
    setMouseTracking(true);
    for (QLabel* etiqueta : findChildren<QLabel*>())
        etiqueta->setAttribute(Qt::WA_TransparentForMouseEvents, etiqueta != lblAcercade7);
    lblAcercade7->setMouseTracking(true);
    lblAcercade7->installEventFilter(this);
    connect(cmdAcercade, &QPushButton::clicked, this, &QWidget::close);
    new TeclasDialogo(*this); // Escape closes it
}

bool frmAcercade::EstaResaltado(const QLabel& enlace)
{
    return enlace.palette().color(QPalette::WindowText) == Resaltado;
}

void frmAcercade::MueveRaton(int x, int y)
{
    if (x >= 1500 && x <= 3100 && y >= 2900 && y <= 3200) {
        setCursor(Qt::PointingHandCursor);
        Colorea(*lblAcercade9, Resaltado);
    } else if (x >= 1100 && x <= 4200 && y >= 3500 && y <= 3700) {
        setCursor(Qt::PointingHandCursor);
        Colorea(*lblAcercade10, Resaltado);
    } else {
        Colorea(*lblAcercade9, Normal);
        Colorea(*lblAcercade10, Normal);
        unsetCursor();
    }
}

void frmAcercade::Pulsa()
{
    // Whatever the desktop does with the address, the window stays as it is.
    if (EstaResaltado(*lblAcercade9))
        OmiteFallo([&] {
            Sistema().AbreDireccion(QUrl(QStringLiteral("mailto:") + lblAcercade9->text()));
        });
    if (EstaResaltado(*lblAcercade10))
        OmiteFallo([&] { Sistema().AbreDireccion(QUrl(lblAcercade10->text())); });
}

bool frmAcercade::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == lblAcercade7 && evento->type() == QEvent::MouseMove) {
        Colorea(*lblAcercade9, Normal);
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
        cmdAcercade->click();
    else
        QWidget::keyPressEvent(evento);
}

void MuestraAcercade()
{
    AbreSobrePrincipal(Ventana<frmAcercade>());
}
