// The main window's menus and toolbar.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/backup/frmRespaldar.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/report/frmImprimirNotas.h"
#include "ui/ventanas/frmAcercade.h"

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

namespace {

// The entries of a menu or menu bar that share an access key with an earlier one.
QStringList TeclasRepetidas(const QWidget& menu)
{
    QStringList repetidas;
    QMap<QKeySequence, QString> vistas;
    for (const QAction* accion : menu.actions()) {
        const QKeySequence tecla = QKeySequence::mnemonic(accion->text());
        if (tecla.isEmpty())
            continue;
        if (vistas.contains(tecla))
            repetidas << vistas[tecla] + " / " + accion->text();
        vistas.insert(tecla, accion->text());
    }
    return repetidas;
}

} // namespace

class PruebaMenus : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void menusConSusTextosDeAcciones();
    void barraConSusClaves();
    void ningunMenuRepiteTeclaDeAcceso();
    void altOYBAbrenLaRecuperacion();
    void respaldoYRecuperacionAbrenElDialogo_data();
    void respaldoYRecuperacionAbrenElDialogo();
    void ayudaAcercaDeYBaseDeDatos();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaMenus::menusConSusTextosDeAcciones()
{
    Arranca(*entorno, {}, {});
    frmMenuPrincipal& v = Principal();
    QCOMPARE(TextosDeAcciones(v.menuBar()->actions()),
             (QStringList{"&Archivo", "&Opciones", "Ay&uda"}));
    QCOMPARE(TextosDeAcciones(Hijo<QMenu>(v, "mnuArchivo")->actions()),
             (QStringList{"&Abrir base de datos...", "&Importar...", "E&xportar...", "-",
                          "&Salir..." + QString(38, QLatin1Char(' ')) + "Alt+F4"}));
    QCOMPARE(TextosDeAcciones(Hijo<QMenu>(v, "mnuOpciones")->actions()),
             (QStringList{"&Respaldar base de datos...", "Recuperar &base de datos...",
                          "Buscar en &todo el vocabulario...", "&Copias automáticas...",
                          "Pro&nunciación británica", "-", "&Practicar...", "&Estadísticas..."}));
    QCOMPARE(TextosDeAcciones(Hijo<QMenu>(v, "mnuAyuda")->actions()),
             (QStringList{"&General...", "-", "&Acerca de..."}));
    for (QMenu* menu :
         {Hijo<QMenu>(v, "mnuArchivo"), Hijo<QMenu>(v, "mnuOpciones"), Hijo<QMenu>(v, "mnuAyuda")})
        for (const QAction* accion : menu->actions())
            // Ctrl+F, for the search everywhere, and Ctrl+R, for practice, are the shortcuts.
            QCOMPARE(accion->shortcut(), accion->objectName() == QLatin1String("mnuBuscarTodo")
                                             ? QKeySequence(Qt::CTRL | Qt::Key_F)
                                         : accion->objectName() == QLatin1String("mnuPracticar")
                                             ? QKeySequence(Qt::CTRL | Qt::Key_R)
                                             : QKeySequence());
}

void PruebaMenus::barraConSusClaves()
{
    Arranca(*entorno, {}, {});
    QStringList claves, ayudas;
    for (const QAction* accion : Hijo<QToolBar>(Principal(), "tlbBarraHerramientas")->actions()) {
        claves << accion->objectName();
        ayudas << accion->toolTip();
        QVERIFY(!accion->icon().isNull());
    }
    QCOMPARE(claves, (QStringList{"Carpeta", "Respaldar", "Ayuda", "Acercade", "Practicar"}));
    QCOMPARE(ayudas,
             (QStringList{" Abrir base de datos ", " Respaldar base de datos ", " Ayuda general ",
                          " Acerca de... ", " Practicar el vocabulario "}));
    const QMenu* desplegable =
        Hijo<QToolBar>(Principal(), "tlbBarraHerramientas")->actions()[1]->menu();
    QVERIFY(desplegable);
    QCOMPARE(TextosDeAcciones(desplegable->actions()),
             (QStringList{" Respaldar base de datos... ", " Recuperar base de datos... "}));
    QCOMPARE(desplegable->actions()[0]->objectName(), QStringLiteral("Respalda"));
    QCOMPARE(desplegable->actions()[1]->objectName(), QStringLiteral("Recupera"));
    Principal().PulsaBoton(QStringLiteral("Otra")); // an unknown key does nothing
    QVERIFY(Principal().isEnabled());
    QVERIFY(entorno->plataforma.mensajes.isEmpty());
}

void PruebaMenus::ningunMenuRepiteTeclaDeAcceso()
{
    Arranca(*entorno, {}, {});
    Ventana<frmImprimirNotas>(); // the other window with menus
    int menus = 0;
    for (const QWidget* control : QApplication::allWidgets()) {
        if (!qobject_cast<const QMenu*>(control) && !qobject_cast<const QMenuBar*>(control))
            continue;
        ++menus;
        QVERIFY2(TeclasRepetidas(*control).isEmpty(),
                 qPrintable(control->objectName() + ": " + TeclasRepetidas(*control).join(", ")));
    }
    QVERIFY(menus >= 8); // both menu bars and their six menus were looked at
}

void PruebaMenus::altOYBAbrenLaRecuperacion()
{
    Arranca(*entorno, {}, {});
    Principal().show();
    QVERIFY(QTest::qWaitForWindowActive(&Principal()));
    QTest::keyClick(Principal().focusWidget(), Qt::Key_O, Qt::AltModifier);
    QMenu* opciones = Hijo<QMenu>(Principal(), "mnuOpciones");
    QTRY_VERIFY(opciones->isVisible());
    QTest::keyClick(opciones, Qt::Key_B);
    QTRY_VERIFY(VentanaCargada<frmRespaldar>() && Ventana<frmRespaldar>().isVisible());
    QCOMPARE(Ventana<frmRespaldar>().ModoRespaldo, false);
}

void PruebaMenus::respaldoYRecuperacionAbrenElDialogo_data()
{
    QTest::addColumn<QString>("clave");
    QTest::addColumn<bool>("respaldo");
    QTest::newRow("botón Respaldar") << "Respaldar" << true;
    QTest::newRow("Respalda") << "Respalda" << true;
    QTest::newRow("Recupera") << "Recupera" << false;
    QTest::newRow("menú Respaldar") << "mnuRespaldar" << true;
    QTest::newRow("menú Recuperar") << "mnuRecuperar" << false;
}

void PruebaMenus::respaldoYRecuperacionAbrenElDialogo()
{
    QFETCH(QString, clave);
    QFETCH(bool, respaldo);
    Arranca(*entorno, {}, {});
    if (clave.startsWith(QLatin1String("mnu")))
        Principal().findChild<QAction*>(clave)->trigger();
    else
        Principal().PulsaBoton(clave);
    QVERIFY(!Principal().isEnabled());
    QCOMPARE(Ventana<frmRespaldar>().ModoRespaldo, respaldo);
    frmRespaldar& dialogo = Ventana<frmRespaldar>();
    QVERIFY(dialogo.isVisible());
    QCOMPARE(dialogo.windowTitle(), respaldo ? QStringLiteral("Respaldar base de datos")
                                             : QStringLiteral("Recuperar base de datos"));
    dialogo.close();
    QVERIFY(Principal().isEnabled());
}

void PruebaMenus::ayudaAcercaDeYBaseDeDatos()
{
    Arranca(*entorno, {{"Casa", ""}}, {{"house", "casa", "Casa", ""}});
    Hijo<QAction>(Principal(), "mnuAyudaGeneral")->trigger();
    Principal().PulsaBoton(QStringLiteral("Ayuda"));
    const QUrl ayuda = QUrl::fromLocalFile(entorno->Ruta("TALVEXV20.html"));
    QCOMPARE(entorno->plataforma.direcciones, (QList<QUrl>{ayuda, ayuda}));

    Hijo<QAction>(Principal(), "mnuAcercade")->trigger();
    QVERIFY(Ventana<frmAcercade>().isVisible());
    QVERIFY(!Principal().isEnabled());
    Ventana<frmAcercade>().close();
    QVERIFY(Principal().isEnabled());

    // The database dialog is only shown: the lists and the open database stay, whether a
    // file is chosen or the dialog is cancelled.
    entorno->plataforma.archivosElegidos = {entorno->Ruta("otra/TALVEXV20.MDB"), QString()};
    Hijo<QAction>(Principal(), "mnuBase")->trigger();
    Principal().PulsaBoton(QStringLiteral("Carpeta"));
    QCOMPARE(entorno->plataforma.dialogosArchivo.size(), 2);
    QCOMPARE(entorno->plataforma.dialogosArchivo[0].titulo,
             QStringLiteral("Seleccionar base de datos"));
    QCOMPARE(entorno->plataforma.dialogosArchivo[0].nombre, QStringLiteral("TALVEXV20.MDB"));
    QCOMPARE(entorno->plataforma.dialogosArchivo[0].carpeta, QDir::currentPath());
    QVERIFY(modTALVEXV20().dbPrincipal.EstaAbierta());
    QCOMPARE(Principal().ModeloArbol->rowCount(), 1);
}

QTEST_MAIN(PruebaMenus)
#include "tst_menus.moc"
