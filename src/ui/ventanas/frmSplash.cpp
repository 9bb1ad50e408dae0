#include "ui/ventanas/frmSplash.h"
#include "ui_frmSplash.h"

#include "ui/ImagenNitida.h"
#include "ui/ventanas/Centrado.h"

frmSplash::frmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      ui_(std::make_unique<Ui::frmSplash>())
{
    ui_->setupUi(this);
    PonImagenNitida(*ui_->picLogo, QStringLiteral(":/imagenes/splash.png"));
    setFixedSize(size());
    CentraEnPantalla(*this);
}

frmSplash::~frmSplash() = default;

void frmSplash::MuestraEstado(const QString& texto)
{
    ui_->lblLogo2->setText(texto);
}
