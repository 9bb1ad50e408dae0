// What a screen reader reads: every control the keyboard reaches has a name, every button
// that shows only a picture is named after its tooltip, and the lists and boxes of the
// main window say what they hold.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "ui/Ventanas.h"
#include "ui/backup/frmCopias.h"
#include "ui/backup/frmRespaldar.h"
#include "ui/busqueda/frmBuscar.h"
#include "ui/editors/frmItems.h"
#include "ui/editors/frmTemas.h"
#include "ui/estadisticas/frmEstadisticas.h"
#include "ui/intercambio/frmExportar.h"
#include "ui/intercambio/frmImportar.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/practica/frmPracticar.h"
#include "ui/report/frmImprimirNotas.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui/ventanas/frmAcercade.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFile>
#include <QRadioButton>
#include <QTest>
#include <functional>

namespace {
using Abre = std::function<QWidget&(EntornoPrueba&)>;

QString Lee(QWidget& control, QAccessible::Text que)
{
    QAccessibleInterface* interfaz = QAccessible::queryAccessibleInterface(&control);
    return interfaz ? interfaz->text(que) : QString();
}

QString Describe(const QWidget& control)
{
    return control.objectName() + QLatin1Char(' ') + control.metaObject()->className();
}
} // namespace

Q_DECLARE_METATYPE(Abre)

class PruebaAccesibilidad : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        Arranca(*entorno, {{"Casa", "Cosas de casa."}}, {{"house", "casa", "Casa", "Una casa."}});
        EligeItem(QStringLiteral("house"));
    }
    void cleanup() { entorno.reset(); }
    void cadaControlTieneNombre_data();
    void cadaControlTieneNombre();
    void listasYCajasDicenLoQueTienen();
    void unConsejoQueCambiaCambiaElNombre();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaAccesibilidad::cadaControlTieneNombre_data()
{
    QTest::addColumn<Abre>("abre");
    QTest::newRow("principal") << Abre([](EntornoPrueba&) -> QWidget& { return Principal(); });
    QTest::newRow("temas") << Abre([](EntornoPrueba&) -> QWidget& {
        Principal().cmdNuevoTema_Click();
        return Ventana<frmTemas>();
    });
    QTest::newRow("items") << Abre([](EntornoPrueba&) -> QWidget& {
        Hijo<QPushButton>(Principal(), "cmdEditarItems")->click();
        return Ventana<frmItems>();
    });
    for (const bool respaldo : {true, false})
        QTest::newRow(respaldo ? "respaldar" : "recuperar")
            << Abre([respaldo](EntornoPrueba&) -> QWidget& {
                   Principal().AbreRespaldo(respaldo);
                   return Ventana<frmRespaldar>();
               });
    QTest::newRow("acerca de") << Abre([](EntornoPrueba&) -> QWidget& {
        MuestraAcercade();
        return Ventana<frmAcercade>();
    });
    QTest::newRow("vista previa") << Abre([](EntornoPrueba&) -> QWidget& {
        LlenaZoom();
        AbreSobrePrincipal(Ventana<frmImprimirNotas>());
        return Ventana<frmImprimirNotas>();
    });
    QTest::newRow("copias") << Abre([](EntornoPrueba&) -> QWidget& {
        Hijo<QAction>(Principal(), "mnuCopias")->trigger();
        return Ventana<frmCopias>();
    });
    QTest::newRow("buscar") << Abre([](EntornoPrueba&) -> QWidget& {
        Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
        return Ventana<frmBuscar>();
    });
    QTest::newRow("importar") << Abre([](EntornoPrueba& entorno) -> QWidget& {
        QFile archivo(entorno.Ruta(QStringLiteral("nuevo.csv")));
        archivo.open(QIODevice::WriteOnly);
        archivo.write("kitchen,cocina,Casa,\r\n");
        archivo.close();
        entorno.plataforma.archivosElegidos = {archivo.fileName()};
        Hijo<QAction>(Principal(), "mnuImportar")->trigger();
        return Ventana<frmImportar>();
    });
    QTest::newRow("exportar") << Abre([](EntornoPrueba&) -> QWidget& {
        Hijo<QAction>(Principal(), "mnuExportar")->trigger();
        return Ventana<frmExportar>();
    });
    QTest::newRow("practicar") << Abre([](EntornoPrueba&) -> QWidget& {
        Hijo<QAction>(Principal(), "mnuPracticar")->trigger();
        return Ventana<frmPracticar>();
    });
    QTest::newRow("practicar, tarjeta escrita") << Abre([](EntornoPrueba&) -> QWidget& {
        Hijo<QAction>(Principal(), "mnuPracticar")->trigger();
        Hijo<QRadioButton>(Ventana<frmPracticar>(), "optEscrito")->setChecked(true);
        Hijo<QPushButton>(Ventana<frmPracticar>(), "cmdComenzar")->click();
        Hijo<QPushButton>(Ventana<frmPracticar>(), "cmdMostrar")->click();
        return Ventana<frmPracticar>();
    });
    QTest::newRow("estadísticas") << Abre([](EntornoPrueba&) -> QWidget& {
        Hijo<QAction>(Principal(), "mnuEstadisticas")->trigger();
        return Ventana<frmEstadisticas>();
    });
}

void PruebaAccesibilidad::cadaControlTieneNombre()
{
    QFETCH(Abre, abre);
    QWidget& ventana = abre(*entorno);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    int botones = 0;
    for (QWidget* control : ventana.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&ventana))
            continue;
        if (control->focusPolicy() & Qt::TabFocus)
            QVERIFY2(!Lee(*control, QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(Describe(*control)));
        auto* boton = qobject_cast<QAbstractButton*>(control);
        const QString consejo = control->toolTip().trimmed();
        if (!boton || consejo.isEmpty())
            continue;
        ++botones;
        QCOMPARE(Lee(*control, QAccessible::Description), consejo);
        if (boton->text().isEmpty())
            QCOMPARE(Lee(*control, QAccessible::Name), consejo);
    }
    qInfo("%d botones con consejo", botones);
    ventana.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PruebaAccesibilidad::listasYCajasDicenLoQueTienen()
{
    frmMenuPrincipal& v = Principal();
    const std::pair<const char*, const char*> nombres[] = {
        {"TreeTemas", "Temas"},
        {"lvwItems", "Índice de ítems"},
        {"txtMemoNotas", "Notas"},
        {"lvwListaTema", "Ítems del tema"},
        {"txtMemoLista", "Notas del ítem"},
        {"cmdNuevoTema", "Crear un tema nuevo"},
        {"cmdEscuchar", "Escuchar la pronunciación"},
    };
    for (const auto& [control, nombre] : nombres)
        QCOMPARE(Lee(*Hijo<QWidget>(v, control), QAccessible::Name), QString::fromUtf8(nombre));
    // A label names its box: the screen reader says it when the box takes the focus.
    QCOMPARE(Hijo<QLabel>(v, "lblBuscar")->buddy(), Hijo<QWidget>(v, "txtBuscaItem"));
    QCOMPARE(Hijo<QLabel>(v, "lblTema")->buddy(), Hijo<QWidget>(v, "TreeTemas"));
}

void PruebaAccesibilidad::unConsejoQueCambiaCambiaElNombre()
{
    QPushButton* boton = Hijo<QPushButton>(Principal(), "cmdNuevoTema");
    boton->setToolTip(QStringLiteral(" Otro consejo "));
    QCOMPARE(Lee(*boton, QAccessible::Name), QStringLiteral("Otro consejo"));
    QCOMPARE(Lee(*boton, QAccessible::Description), QStringLiteral("Otro consejo"));
}

QTEST_MAIN(PruebaAccesibilidad)
#include "tst_accesibilidad.moc"
