#include "ui/backup/frmCopias.h"

#include "nucleo/CopiasAutomaticas.h"
#include "nucleo/FormaHora.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/backup/CopiaConfirmada.h"
#include "ui/backup/Respaldo.h"
#include "ui/ventanas/AlPulsar.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/TeclasDialogo.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString TextoSinCopias = QStringLiteral(
    "Todavía no hay copias automáticas. TALVEX guarda una al cerrar, si cambió algo, y otra al "
    "iniciar si la última tiene más de una semana; conserva las diez más recientes.");

// Other files in the folder are said once, in one line, and left alone.
QString TextoAjenos(const QStringList& ajenos)
{
    QStringList nombres = ajenos.mid(0, 3);
    if (ajenos.size() > nombres.size())
        nombres << QStringLiteral("…");
    const QString lista = nombres.join(QStringLiteral(", "));
    if (ajenos.size() == 1)
        return QStringLiteral("La carpeta tiene además un archivo que no es una copia de TALVEX "
                              "(%1); no se cuenta ni se borra.")
            .arg(lista);
    return QStringLiteral("La carpeta tiene además %1 archivos que no son copias de TALVEX (%2); "
                          "no se cuentan ni se borran.")
        .arg(ajenos.size())
        .arg(lista);
}

QString TextoFilas(int cuantas)
{
    return cuantas < 0 ? QStringLiteral("—") : QLocale::system().toString(cuantas);
}
} // namespace

frmCopias::frmCopias(const QString& carpeta) : QWidget(nullptr, Qt::Dialog), carpeta_(carpeta)
{
    setObjectName(QStringLiteral("frmCopias"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Copias automáticas"));
    setWindowIcon(QIcon(QStringLiteral(":/imagenes/talvex32.png")));

    auto* etiqueta = new QLabel(QStringLiteral("&Copias guardadas, de la más reciente a la más "
                                               "antigua :"),
                                this);
    lvwCopias = new QTreeWidget(this);
    lvwCopias->setObjectName(QStringLiteral("lvwCopias"));
    lvwCopias->setAccessibleName(QStringLiteral("Copias guardadas"));
    lvwCopias->setHeaderLabels({QStringLiteral("Fecha y hora"), QStringLiteral("Temas"),
                                QStringLiteral("Ítems"), QStringLiteral("Tamaño")});
    lvwCopias->setRootIsDecorated(false);
    lvwCopias->setUniformRowHeights(true);
    lvwCopias->setAllColumnsShowFocus(true);
    lvwCopias->header()->setStretchLastSection(true);
    lvwCopias->setColumnWidth(0, Twips(3000));
    lvwCopias->setColumnWidth(1, Twips(1100));
    lvwCopias->setColumnWidth(2, Twips(1100));
    for (int columna = 1; columna < 4; ++columna) // figures and their headings to the right
        lvwCopias->headerItem()->setTextAlignment(columna, Qt::AlignRight | Qt::AlignVCenter);
    etiqueta->setBuddy(lvwCopias);
    lblSinCopias = new QLabel(TextoSinCopias, this);
    lblSinCopias->setObjectName(QStringLiteral("lblSinCopias"));
    lblSinCopias->setWordWrap(true);
    lblAjenos = new QLabel(this);
    lblAjenos->setObjectName(QStringLiteral("lblAjenos"));
    lblAjenos->setWordWrap(true);
    lblAjenos->hide();
    lblMensajeCopia = new QLabel(QStringLiteral("Copiando, por favor espere..."), this);
    lblMensajeCopia->setObjectName(QStringLiteral("lblMensajeCopia"));
    lblMensajeCopia->hide();

    cmdRecuperar = new QPushButton(QStringLiteral("&Recuperar"), this);
    cmdRecuperar->setObjectName(QStringLiteral("cmdRecuperar"));
    cmdRecuperar->setToolTip(QStringLiteral(" Recuperar la copia elegida en lugar de los datos "
                                            "actuales "));
    cmdAbrirCarpeta = new QPushButton(QStringLiteral("Abrir &carpeta"), this);
    cmdAbrirCarpeta->setObjectName(QStringLiteral("cmdAbrirCarpeta"));
    cmdAbrirCarpeta->setToolTip(QStringLiteral(" Abrir la carpeta de las copias "));
    cmdSalirCopias = new QPushButton(QStringLiteral("&Salir"), this);
    cmdSalirCopias->setObjectName(QStringLiteral("cmdSalirCopias"));
    for (QPushButton* boton : {cmdRecuperar, cmdAbrirCarpeta, cmdSalirCopias})
        boton->setAutoDefault(false);

    auto* botones = new QHBoxLayout;
    botones->addWidget(lblMensajeCopia);
    botones->addStretch();
    botones->addWidget(cmdRecuperar);
    botones->addWidget(cmdAbrirCarpeta);
    botones->addWidget(cmdSalirCopias);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(etiqueta);
    todo->addWidget(lvwCopias, 1);
    todo->addWidget(lblSinCopias);
    todo->addWidget(lblAjenos);
    todo->addLayout(botones);
    resize(Twips(8400), Twips(4800));
    CentraEnPantalla(*this);

    AlPulsar(cmdRecuperar, this, [this] { cmdRecuperar_Click(); });
    AlPulsar(cmdAbrirCarpeta, this, [this] { cmdAbrirCarpeta_Click(); });
    connect(cmdSalirCopias, &QPushButton::clicked, this, &QWidget::close);
    connect(lvwCopias, &QTreeWidget::itemDoubleClicked, this,
            [this] { AtiendeEvento([this] { cmdRecuperar_Click(); }); });
    new TeclasDialogo(*this); // Escape closes it
    Llena();
}

void frmCopias::Llena()
{
    const QLocale idioma = QLocale::system();
    const QString formaHora = FormaHoraSinZona(idioma);
    const CarpetaDeCopias contenido = RevisaCarpetaCopias(carpeta_, Sistema().Ahora());
    for (const CopiaGuardada& copia : contenido.copias) {
        const FilasCopia filas = CuentaFilas(copia.ruta);
        auto* fila = new QTreeWidgetItem(
            lvwCopias,
            {idioma.toString(copia.hora.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                 idioma.toString(copia.hora.time(), formaHora),
             TextoFilas(filas.temas), TextoFilas(filas.items),
             idioma.formattedDataSize(copia.bytes, 1, QLocale::DataSizeTraditionalFormat)});
        fila->setData(0, Qt::UserRole, copia.ruta);
        for (int columna = 1; columna < 4; ++columna)
            fila->setTextAlignment(columna, Qt::AlignRight | Qt::AlignVCenter);
    }
    const bool hay = lvwCopias->topLevelItemCount() > 0;
    lblSinCopias->setVisible(!hay);
    lblAjenos->setText(TextoAjenos(contenido.ajenos));
    lblAjenos->setVisible(!contenido.ajenos.isEmpty());
    cmdRecuperar->setEnabled(hay);
    if (hay)
        lvwCopias->setCurrentItem(lvwCopias->topLevelItem(0));
    lvwCopias->setFocus();
}

void frmCopias::Activa(bool activa)
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{lvwCopias, cmdRecuperar, cmdAbrirCarpeta, cmdSalirCopias})
        control->setEnabled(activa);
    lblMensajeCopia->setVisible(!activa);
}

void frmCopias::cmdRecuperar_Click()
{
    const QTreeWidgetItem* elegida = lvwCopias->currentItem();
    if (!elegida)
        return;
    const ControlesCopia controles{[this] { Activa(false); }, [this] { Activa(true); },
                                   lblMensajeCopia};
    CopiaYTermina(elegida->data(0, Qt::UserRole).toString(), RutaBaseTrabajo(), false, controles);
    lvwCopias->setFocus();
}

void frmCopias::cmdAbrirCarpeta_Click()
{
    // A file in the folder's place is never opened as if it were the folder.
    if (const QString defecto = DefectoCarpetaCopias(carpeta_); !defecto.isEmpty()) {
        Sistema().Pita();
        MuestraMensaje({QStringLiteral("¡¡ No se puede abrir la carpeta de las copias !!") +
                            QStringLiteral("\r\r") + defecto + QLatin1Char('.'),
                        Titulos::Mensajes, IconoMensaje::Exclamacion});
        return;
    }
    QDir().mkpath(carpeta_); // before the first copy it is made empty, to be opened
    Sistema().AbreDireccion(QUrl::fromLocalFile(carpeta_));
}
