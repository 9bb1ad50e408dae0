#include "ui/practica/frmAjustesRepaso.h"

#include "nucleo/Fallos.h"
#include "ui/practica/AjusteMemoria.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {
QSpinBox* CreaCaja(QWidget* dueno, const char* nombre, int minimo, int maximo, int valor)
{
    auto* caja = new QSpinBox(dueno);
    caja->setObjectName(QLatin1String(nombre));
    caja->setRange(minimo, maximo);
    caja->setValue(qBound(minimo, valor, maximo));
    return caja;
}
} // namespace

frmAjustesRepaso::frmAjustesRepaso(BaseVocabulario& base, const Repaso::AjustesRepaso& ajustes,
                                   Guarda guarda, QWidget* dueno)
    : QDialog(dueno), ajustes_(ajustes), guarda_(std::move(guarda))
{
    setObjectName(QStringLiteral("frmAjustesRepaso"));
    setWindowTitle(QStringLiteral("Ajustes de la práctica"));
    spnRetencion =
        CreaCaja(this, "spnRetencion", 70, 97, int(std::lround(ajustes.retencion * 100)));
    spnRetencion->setSuffix(QStringLiteral(" %"));
    spnRetencion->setToolTip(
        QStringLiteral(" La probabilidad de recordar una palabra cuando vuelve: más alta, "
                       "repasos más frecuentes "));
    spnNuevas = CreaCaja(this, "spnNuevas", 0, 9999, ajustes.nuevasPorDia);
    spnRepasos = CreaCaja(this, "spnRepasos", 0, 99999, ajustes.repasosPorDia);
    chkHablaSola =
        new QCheckBox(QStringLiteral("&Pronunciar el inglés al mostrar cada tarjeta"), this);
    chkHablaSola->setObjectName(QStringLiteral("chkHablaSola"));
    chkHablaSola->setChecked(ajustes.hablaSola);
    // Fitted weights are saved with the settings as they were opened: the boxes above are
    // saved by Aceptar alone.
    ajusteMemoria = new AjusteMemoria(
        base, ajustes.pesos,
        [this](const std::vector<double>& pesos) {
            Repaso::AjustesRepaso conPesos = ajustes_;
            conPesos.pesos = pesos;
            guarda_(conPesos);
            ajustes_.pesos = pesos;
        },
        this);

    auto* campos = new QFormLayout;
    campos->addRow(QStringLiteral("&Retención deseada:"), spnRetencion);
    campos->addRow(QStringLiteral("Palabras &nuevas por día:"), spnNuevas);
    campos->addRow(QStringLiteral("Repasos por &día:"), spnRepasos);
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    botones->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdAceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    botones->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancelar"));
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* todo = new QVBoxLayout(this);
    todo->addLayout(campos);
    todo->addWidget(chkHablaSola);
    todo->addWidget(ajusteMemoria);
    todo->addWidget(botones);
}

void frmAjustesRepaso::accept()
{
    Repaso::AjustesRepaso nuevos = ajustes_;
    nuevos.retencion = spnRetencion->value() / 100.0;
    nuevos.nuevasPorDia = spnNuevas->value();
    nuevos.repasosPorDia = spnRepasos->value();
    nuevos.hablaSola = chkHablaSola->isChecked();
    bool guardado = false;
    AtiendeEvento([&] {
        guarda_(nuevos);
        guardado = true;
    });
    if (guardado)
        QDialog::accept();
}

void frmAjustesRepaso::done(int resultado)
{
    ajusteMemoria->Cancela();
    QDialog::done(resultado);
}
