#include "ui/intercambio/frmExportar.h"

#include "ui/intercambio/FormatosExportacion.h"
#include "ui/ventanas/AlPulsar.h"
#include "ui/ventanas/BotonesDialogo.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/TeclasDialogo.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmExportar::frmExportar(const QStringList& temas, Exporta exporta)
    : QWidget(nullptr, Qt::Dialog), exporta_(std::move(exporta))
{
    setObjectName(QStringLiteral("frmExportar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Exportar vocabulario"));
    setWindowIcon(QIcon(QStringLiteral(":/imagenes/talvex32.png")));

    cboFormato = new QComboBox(this);
    cboFormato->setObjectName(QStringLiteral("cboFormato"));
    for (const auto& [texto, formato] : FormatosExportacion)
        cboFormato->addItem(QString::fromUtf8(texto), int(formato));
    cboContenido = new QComboBox(this);
    cboContenido->setObjectName(QStringLiteral("cboContenido"));
    cboContenido->addItem(QStringLiteral("Todo el vocabulario"));
    for (const QString& tema : temas)
        cboContenido->addItem(QStringLiteral("Tema: ") + tema, tema);
    auto* campos = new QFormLayout;
    auto* formato = new QLabel(QStringLiteral("&Formato :"), this);
    formato->setBuddy(cboFormato);
    auto* contenido = new QLabel(QStringLiteral("&Contenido :"), this);
    contenido->setBuddy(cboContenido);
    campos->addRow(formato, cboFormato);
    campos->addRow(contenido, cboContenido);

    const BotonesDialogo botones =
        CreaBotonesDialogo(*this, QStringLiteral("cmdAceptarExportar"), QStringLiteral("Ca&ncelar"),
                           QStringLiteral("cmdCancelarExportar"));
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(campos);
    todo->addStretch();
    todo->addLayout(botones.fila);
    resize(Twips(6600), Twips(2400));
    CentraEnPantalla(*this);

    AlPulsar(botones.aceptar, this, [this] { cmdAceptarExportar_Click(); });
    new TeclasDialogo(*this); // Escape closes it, writing nothing
    cboFormato->setFocus();
}

void frmExportar::cmdAceptarExportar_Click()
{
    const auto formato = Intercambio::Formato(cboFormato->currentData().toInt());
    const QVariant tema = cboContenido->currentData();
    if (exporta_(formato, tema.isValid() ? std::optional(tema.toString()) : std::nullopt))
        close();
}
