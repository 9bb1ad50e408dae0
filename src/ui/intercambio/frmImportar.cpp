#include "ui/intercambio/frmImportar.h"

#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/ventanas/AlPulsar.h"
#include "ui/ventanas/BotonesDialogo.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/TeclasDialogo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QLabel* Cifra(QWidget* padre, const char* nombre, qsizetype cifra)
{
    auto* etiqueta = new QLabel(QString::number(cifra), padre);
    etiqueta->setObjectName(QString::fromLatin1(nombre));
    return etiqueta;
}
} // namespace

frmImportar::frmImportar(const QString& ruta, Intercambio::Plan plan, Importa importa)
    : QWidget(nullptr, Qt::Dialog), plan_(std::move(plan)), importa_(std::move(importa))
{
    setObjectName(QStringLiteral("frmImportar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Importar vocabulario"));
    setWindowIcon(QIcon(QStringLiteral(":/imagenes/talvex32.png")));

    auto* archivo = new QLabel(ruta, this);
    archivo->setObjectName(QStringLiteral("lblArchivo"));
    archivo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* cifras = new QFormLayout;
    cifras->addRow(QStringLiteral("Archivo :"), archivo);
    cifras->addRow(QStringLiteral("Filas leídas :"),
                   Cifra(this, "lblFilasLeidas", plan_.filasLeidas));
    cifras->addRow(QStringLiteral("Ítems nuevos :"),
                   Cifra(this, "lblItemsNuevos", qsizetype(plan_.nuevos.size())));
    lblTemasNuevos = Cifra(this, "lblTemasNuevos", 0);
    cifras->addRow(QStringLiteral("Temas nuevos :"), lblTemasNuevos);
    cifras->addRow(QStringLiteral("Ítems que ya existen :"),
                   Cifra(this, "lblItemsExistentes", qsizetype(plan_.existentes.size())));
    cifras->addRow(QStringLiteral("Filas rechazadas :"),
                   Cifra(this, "lblFilasRechazadas", qsizetype(plan_.rechazos.size())));

    auto* existentes = new QGroupBox(QStringLiteral("Los ítems que ya existen"), this);
    optOmitir = new QRadioButton(QStringLiteral("&Omitirlos: quedan como están"), existentes);
    optOmitir->setObjectName(QStringLiteral("optOmitir"));
    optReemplazar = new QRadioButton(
        QStringLiteral("&Reemplazar su traducción, su tema y sus notas"), existentes);
    optReemplazar->setObjectName(QStringLiteral("optReemplazar"));
    optOmitir->setChecked(true);
    auto* opciones = new QVBoxLayout(existentes);
    opciones->addWidget(optOmitir);
    opciones->addWidget(optReemplazar);
    existentes->setEnabled(!plan_.existentes.empty());

    auto* rechazos = new QPlainTextEdit(this);
    rechazos->setObjectName(QStringLiteral("txtRechazos"));
    rechazos->setReadOnly(true);
    rechazos->setTabChangesFocus(true);
    QStringList lineas;
    for (const Intercambio::Rechazo& rechazo : plan_.rechazos)
        lineas << QStringLiteral("Línea %1: %2").arg(rechazo.linea).arg(rechazo.motivo);
    rechazos->setPlainText(lineas.isEmpty() ? QStringLiteral("Ninguna.") : lineas.join('\n'));

    const BotonesDialogo botones =
        CreaBotonesDialogo(*this, QStringLiteral("cmdAceptarImportar"), QStringLiteral("&Cancelar"),
                           QStringLiteral("cmdCancelarImportar"));
    cmdAceptarImportar = botones.aceptar;

    auto* todo = new QVBoxLayout(this);
    todo->addLayout(cifras);
    todo->addWidget(existentes);
    auto* etiqueta = new QLabel(QStringLiteral("Filas rechazadas y por qué :"), this);
    etiqueta->setBuddy(rechazos); // the label names the box for screen readers
    todo->addWidget(etiqueta);
    todo->addWidget(rechazos, 1);
    todo->addLayout(botones.fila);
    resize(Twips(8400), Twips(6600));
    CentraEnPantalla(*this);

    AlPulsar(cmdAceptarImportar, this, [this] { cmdAceptarImportar_Click(); });
    connect(optReemplazar, &QRadioButton::toggled, this, [this] { ActivaAceptar(); });
    new TeclasDialogo(*this); // Escape closes it, writing nothing
    ActivaAceptar();
    cmdAceptarImportar->setFocus();
}

// The topics that only items already stored name come only with their replacement; there
// must be something to write.
void frmImportar::ActivaAceptar()
{
    const bool reemplaza = optReemplazar->isChecked();
    const qsizetype temas = qsizetype(plan_.temasNuevos.size()) -
                            (reemplaza ? 0 : qsizetype(plan_.temasSoloDeExistentes.size()));
    lblTemasNuevos->setText(QString::number(temas));
    cmdAceptarImportar->setEnabled(!plan_.nuevos.empty() || temas > 0 ||
                                   (!plan_.existentes.empty() && reemplaza));
}

void frmImportar::cmdAceptarImportar_Click()
{
    importa_(plan_, optReemplazar->isChecked() ? Intercambio::Duplicados::Reemplazar
                                               : Intercambio::Duplicados::Omitir);
    close();
}
