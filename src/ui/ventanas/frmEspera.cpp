#include "ui/ventanas/frmEspera.h"
#include "ui_frmEspera.h"

#include "ui/ventanas/Centrado.h"

frmEspera::frmEspera()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::frmEspera>())
{
    ui_->setupUi(this);
    setFixedSize(size());
    CentraEnPantalla(*this);
}

frmEspera::~frmEspera() = default;

void frmEspera::MuestraTexto(const QString& texto)
{
    ui_->lblEsperar->setText(texto);
}
