#include "app/windows/frmEspera.h"

#include "app/windows/Centrado.h"

frmEspera::frmEspera()
    : QWidget(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setupUi(this);
    setFixedSize(size());
    CentraEnPantalla(*this);
}
