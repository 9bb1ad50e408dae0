// The main window's menus and toolbar: the database file dialog, backup and restore, help,
// the automatic copies, the About window, practice and the exit command.
#include "nucleo/CopiasAutomaticas.h"
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/backup/Respaldo.h"
#include "ui/backup/frmCopias.h"
#include "ui/backup/frmRespaldar.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/Ayuda.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui/ventanas/frmAcercade.h"
#include "ui_frmMenuPrincipal.h"

#include <QDir>
#include <QMenu>
#include <QToolButton>

namespace {
struct BotonBarra {
    const char* clave;
    const char* ayuda;
    const char* icono;
};
const BotonBarra BotonesBarra[] = {
    {"Carpeta", " Abrir base de datos ", ":/imagenes/carpeta.png"},
    {"Respaldar", " Respaldar base de datos ", ":/imagenes/respaldar.png"},
    {"Ayuda", " Ayuda general ", ":/imagenes/rep_ayuda.png"},
    {"Acercade", " Acerca de... ", ":/imagenes/rep_acercade.png"},
    {"Practicar", " Practicar el vocabulario ", ":/imagenes/practicar.png"},
};
} // namespace

void frmMenuPrincipal::CreaBarraHerramientas()
{
    for (const BotonBarra& boton : BotonesBarra) {
        QAction* accion = ui_->tlbBarraHerramientas->addAction(
            QIcon(QString::fromLatin1(boton.icono)), QString::fromUtf8(boton.ayuda).trimmed());
        accion->setObjectName(QString::fromLatin1(boton.clave));
        accion->setToolTip(QString::fromUtf8(boton.ayuda));
        const QString clave = accion->objectName();
        connect(accion, &QAction::triggered, this, [this, clave] { PulsaBoton(clave); });
    }
    // The backup button also drops down its two commands.
    auto* desplegable = new QMenu(ui_->tlbBarraHerramientas);
    for (const auto& [clave, texto] : {std::pair{"Respalda", " Respaldar base de datos... "},
                                       std::pair{"Recupera", " Recuperar base de datos... "}}) {
        QAction* accion = desplegable->addAction(QString::fromUtf8(texto));
        accion->setObjectName(QString::fromLatin1(clave));
        const QString nombre = accion->objectName();
        connect(accion, &QAction::triggered, this, [this, nombre] { PulsaBoton(nombre); });
    }
    QAction* respaldar =
        ui_->tlbBarraHerramientas->findChild<QAction*>(QStringLiteral("Respaldar"));
    respaldar->setMenu(desplegable);
    if (auto* boton =
            qobject_cast<QToolButton*>(ui_->tlbBarraHerramientas->widgetForAction(respaldar)))
        boton->setPopupMode(QToolButton::MenuButtonPopup);

    connect(ui_->mnuImportar, &QAction::triggered, this,
            [this] { AtiendeEvento([this] { mnuImportar_Click(); }); });
    connect(ui_->mnuExportar, &QAction::triggered, this,
            [this] { AtiendeEvento([this] { mnuExportar_Click(); }); });
    connect(ui_->mnuBuscarTodo, &QAction::triggered, this,
            [this] { AtiendeEvento([this] { mnuBuscarTodo_Click(); }); });
    connect(ui_->mnuCopias, &QAction::triggered, this,
            [this] { AtiendeEvento([this] { mnuCopias_Click(); }); });
    connect(ui_->mnuBase, &QAction::triggered, this,
            [this] { PulsaBoton(QStringLiteral("Carpeta")); });
    connect(ui_->mnuRespaldar, &QAction::triggered, this,
            [this] { PulsaBoton(QStringLiteral("Respalda")); });
    connect(ui_->mnuRecuperar, &QAction::triggered, this,
            [this] { PulsaBoton(QStringLiteral("Recupera")); });
    connect(ui_->mnuAyudaGeneral, &QAction::triggered, this,
            [this] { PulsaBoton(QStringLiteral("Ayuda")); });
    connect(ui_->mnuAcercade, &QAction::triggered, this,
            [this] { PulsaBoton(QStringLiteral("Acercade")); });
    connect(ui_->mnuPracticar, &QAction::triggered, this,
            [this] { PulsaBoton(QStringLiteral("Practicar")); });
    connect(ui_->mnuEstadisticas, &QAction::triggered, this,
            [this] { AtiendeEvento([this] { mnuEstadisticas_Click(); }); });
}

void frmMenuPrincipal::PulsaBoton(const QString& clave)
{
    AtiendeEvento([&] {
        if (clave == QLatin1String("Carpeta"))
            AbreDialogoBase();
        else if (clave == QLatin1String("Respaldar") || clave == QLatin1String("Respalda"))
            AbreRespaldo(true);
        else if (clave == QLatin1String("Recupera"))
            AbreRespaldo(false);
        else if (clave == QLatin1String("Ayuda"))
            AbreAyuda();
        else if (clave == QLatin1String("Acercade"))
            MuestraAcercade();
        else if (clave == QLatin1String("Practicar"))
            mnuPracticar_Click();
    });
}

void frmMenuPrincipal::AbreRespaldo(bool respaldo)
{
    setEnabled(false);
    frmRespaldar& dialogo = Ventana<frmRespaldar>();
    dialogo.MuestraRespaldo(respaldo);
    AbreSobrePrincipal(dialogo);
}

void frmMenuPrincipal::mnuCopias_Click()
{
    auto* ventana = new frmCopias(CarpetaCopias());
    RegistraVentana(ventana);
    AbreSobrePrincipal(*ventana);
}

void frmMenuPrincipal::AbreDialogoBase()
{
    // Shown only: the database in use is always the one opened at start-up.
    OmiteFallo([this] {
        Sistema().DialogoAbrirArchivo(this, QStringLiteral("Seleccionar base de datos"),
                                      QDir::currentPath(), QStringLiteral("TALVEXV20.MDB"),
                                      QStringLiteral("Base de datos (*.MDB *.mdb)"));
    });
}
