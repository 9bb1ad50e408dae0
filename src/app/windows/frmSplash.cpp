#include "app/windows/frmSplash.h"

#include "app/windows/Centrado.h"

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setupUi(this);
    setFixedSize(size());
    CentraEnPantalla(*this);
}
