// The main window as the user sees it: controls, texts, positions, tab order, status bar,
// list columns and clock.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "nucleo/FormaHora.h"
#include "nucleo/Traduccion.h"
#include "ui/Ventanas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

class PruebaVentanaPrincipal : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void controles_data();
    void controles();
    void ordenDeTabulacion();
    void barraDeEstado();
    void columnasDeLasListas();
    void panelCentrado();
    void relojCadaSegundo();
    void laHoraNoLlevaZona_data();
    void laHoraNoLlevaZona();
    void dialogosEnEspanol();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaVentanaPrincipal::controles_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QRect>("twips"); // left, top, width, height
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("ayuda");
    auto fila = [](const char* n, int l, int t, int w, int h, const char* texto,
                   const char* ayuda) {
        QTest::newRow(n) << QString::fromLatin1(n) << QRect(l, t, w, h) << QString::fromUtf8(texto)
                         << QString::fromUtf8(ayuda);
    };
    fila("lblContenido", 120, 120, 2625, 330, "Contenido", "");
    fila("lblTema", 120, 480, 2625, 330, "Seleccione un tema :", "");
    fila("TreeTemas", 120, 840, 3540, 5325, "", " Seleccione un tema ");
    fila("cmdNuevoTema", 120, 6320, 400, 400, "", " Crear un tema nuevo ");
    fila("cmdEditarTema", 600, 6320, 400, 400, "", " Editar el tema actual ");
    fila("cmdEliminarTema", 1080, 6320, 400, 400, "", " Eliminar el tema actual ");
    fila("lblIndice", 3720, 120, 2265, 330, "Índice", "");
    fila("lblBuscar", 3720, 480, 825, 330, "Buscar :", "");
    fila("txtBuscaItem", 4365, 450, 1650, 285, "", "");
    fila("lvwItems", 3720, 840, 2295, 5325, "", " Seleccione un ítem ");
    fila("cmdNuevoItems", 3720, 6320, 400, 400, "", " Crear un item nuevo ");
    fila("cmdEditarItems", 4200, 6320, 400, 400, "", " Editar el item actual ");
    fila("cmdEliminarItem", 4695, 6320, 400, 400, "", " Eliminar el item actual ");
    fila("lblNotas", 6060, 120, 5625, 280, "", "");
    fila("lblCategoria", 6060, 480, 5625, 230, "", "");
    fila("txtMemoNotas", 6060, 840, 5625, 5320, "", "");
    fila("lvwListaTema", 6060, 4560, 2775, 1600, "", " Seleccione un ítem ");
    fila("txtMemoLista", 8880, 4560, 2805, 1605, "", "");
    fila("cmdVistaPreviaNotas", 8880, 6320, 1400, 400, "Vista previa...",
         " Vista previa de la notas por pantalla ");
    fila("cmdImprimirNotas", 10320, 6320, 1400, 400, "Imprimir...",
         " Enviar las notas a la impresora ");
}

void PruebaVentanaPrincipal::controles()
{
    QFETCH(QString, nombre);
    QFETCH(QRect, twips);
    QFETCH(QString, texto);
    QFETCH(QString, ayuda);
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    QCOMPARE(ventana.windowTitle(), QStringLiteral("TALVEX Ver. 2.0.0"));
    auto* control = Hijo<QFrame>(ventana, "picMenu1")->findChild<QWidget*>(nombre);
    QVERIFY2(control, qPrintable(nombre));
    QCOMPARE(control->parentWidget(), Hijo<QFrame>(ventana, "picMenu1"));
    QCOMPARE(control->geometry(), QRect(Twips(twips.x()), Twips(twips.y()), Twips(twips.width()),
                                        Twips(twips.height())));
    QCOMPARE(control->toolTip(), ayuda);
    control->ensurePolished();
    if (auto* etiqueta = qobject_cast<QLabel*>(control)) {
        QCOMPARE(etiqueta->text(), texto);
        QCOMPARE(etiqueta->palette().color(etiqueta->foregroundRole()), QColor(0, 0, 128));
    }
    if (auto* boton = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(boton->text(), texto);
        QVERIFY(!boton->icon().isNull());
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        QVERIFY(memo->isReadOnly());
}

void PruebaVentanaPrincipal::ordenDeTabulacion()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    const QStringList orden{"txtBuscaItem",  "TreeTemas",        "cmdNuevoTema",
                            "cmdEditarTema", "cmdEliminarTema",  "lvwItems",
                            "cmdNuevoItems", "cmdEditarItems",   "cmdEliminarItem",
                            "txtMemoNotas",  "cmdImprimirNotas", "cmdVistaPreviaNotas",
                            "lvwListaTema",  "txtMemoLista"};
    QWidget* actual = Hijo<QLineEdit>(ventana, "txtBuscaItem");
    for (int i = 1; i < orden.size(); ++i) {
        actual = actual->nextInFocusChain();
        while (actual->focusPolicy() == Qt::NoFocus || !actual->objectName().size() ||
               actual->parentWidget() != Hijo<QFrame>(ventana, "picMenu1"))
            actual = actual->nextInFocusChain();
        QCOMPARE(actual->objectName(), orden[i]);
    }
    QCOMPARE(Hijo<QFrame>(ventana, "picMenu1")->size(), QSize(Twips(11820), Twips(6855)));
    Hijo<QFrame>(ventana, "picMenu1")->ensurePolished();
    QCOMPARE(Hijo<QFrame>(ventana, "picMenu1")->palette().color(QPalette::Window),
             QColor(192, 192, 255));
}

void PruebaVentanaPrincipal::barraDeEstado()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    const QStringList textos{"TALVEX Ver. 2.0.0", "NÚM", "MAYÚS", "INS"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ventana.Paneles[size_t(i)]->text(), textos[i]);
    QCOMPARE(ventana.Paneles[0]->toolTip(), QStringLiteral("TALVEX Ver. 2.0.0"));
    QCOMPARE(Hijo<QStatusBar>(ventana, "stsBarraEstado")->findChildren<QLabel*>().size(), 6);

    // Insert toggles the insert-mode panel.
    ventana.show();
    QApplication::setActiveWindow(&ventana);
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    Hijo<QLineEdit>(ventana, "txtBuscaItem")->setFocus();
    QVERIFY(ventana.Paneles[3]->isEnabled());
    QTest::keyClick(Hijo<QLineEdit>(ventana, "txtBuscaItem"), Qt::Key_Insert);
    QVERIFY(!ventana.Paneles[3]->isEnabled());
    QTest::keyClick(Hijo<QLineEdit>(ventana, "txtBuscaItem"), Qt::Key_Insert);
    QVERIFY(ventana.Paneles[3]->isEnabled());
}

void PruebaVentanaPrincipal::columnasDeLasListas()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    ventana.ModeloItems->CambiaFilas(FilasLista({{"house", "casa"}, {"dog", "perro"}}));
    // Every fill rebuilds the headers: two fills still show exactly two columns.
    for (int vez = 0; vez < 2; ++vez) {
        PreparaListaItems(*Hijo<QTreeView>(ventana, "lvwItems"), 1000, 1270);
        PreparaListaItems(*Hijo<QTreeView>(ventana, "lvwListaTema"), 1380, 1380);
    }
    for (auto [lista, modelo, ancho1, ancho2] :
         {std::tuple{Hijo<QTreeView>(ventana, "lvwItems"), ventana.ModeloItems, 1000, 1270},
          std::tuple{Hijo<QTreeView>(ventana, "lvwListaTema"), ventana.ModeloListaTema, 1380,
                     1380}}) {
        QCOMPARE(modelo->columnCount(), 2);
        QCOMPARE(modelo->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Inglés"));
        QCOMPARE(modelo->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Español"));
        QCOMPARE(lista->columnWidth(0), Twips(ancho1));
        QCOMPARE(lista->columnWidth(1), Twips(ancho2));
        QCOMPARE(modelo->rowCount(), 0); // the fill starts from no rows
    }
    ventana.ModeloItems->CambiaFilas(FilasLista(std::vector<FilaLista>{{"house", "casa"}}));
    QCOMPARE(ventana.ModeloItems->index(0, 1).data().toString(), QStringLiteral("casa"));
}

void PruebaVentanaPrincipal::panelCentrado()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    ventana.resize(1000, 700);
    ventana.show();
    Hijo<QFrame>(ventana, "picMenu1")->show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    ventana.CentraPanel();
    const QSize marco = ventana.frameGeometry().size();
    const QPoint esperado(Twips((marco.width() * 15 - 11820) / 2.0 - 60),
                          Twips((marco.height() * 15 - 6855) / 2.0 - 350));
    QCOMPARE(Hijo<QFrame>(ventana, "picMenu1")->pos() + ventana.centralWidget()->pos(), esperado);
    QCOMPARE(Hijo<QFrame>(ventana, "picMenu1")->size(), QSize(Twips(11820), Twips(6855)));
    // A window too small for the panel keeps it clear of the toolbar.
    ventana.resize(500, 300);
    ventana.CentraPanel();
    QVERIFY(Hijo<QFrame>(ventana, "picMenu1")->x() >= 0 &&
            Hijo<QFrame>(ventana, "picMenu1")->y() >= 0);
}

void PruebaVentanaPrincipal::relojCadaSegundo()
{
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    QCOMPARE(ventana.TimerMiReloj->interval(), 1000);
    QVERIFY(ventana.TimerMiReloj->isActive());
    QCOMPARE(ventana.TimerSalir->interval(), 150);
    ventana.Paneles[5]->setText(QString());
    QTRY_VERIFY_WITH_TIMEOUT(!ventana.Paneles[5]->text().isEmpty(), 2500);
    QCOMPARE(ventana.Paneles[4]->text(),
             QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(ventana.Paneles[0]->text(), QStringLiteral("TALVEX Ver. 2.0.0"));
}

void PruebaVentanaPrincipal::laHoraNoLlevaZona_data()
{
    QTest::addColumn<QLocale>("idioma");
    QTest::addColumn<QString>("esperado"); // empty: only the seconds are checked
    QTest::newRow("es_ES") << QLocale(QLocale::Spanish, QLocale::Spain) << "1:15:05";
    QTest::newRow("es_MX") << QLocale(QLocale::Spanish, QLocale::Mexico) << "";
    QTest::newRow("C") << QLocale::c() << "01:15:05";
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "";
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "01:15:05";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "01:15:05";
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << "01:15:05";
}

void PruebaVentanaPrincipal::laHoraNoLlevaZona()
{
    QFETCH(QLocale, idioma);
    QFETCH(QString, esperado);
    const QString hora = TextoHora(idioma, QTime(1, 15, 5));
    if (!esperado.isEmpty())
        QCOMPARE(hora, esperado);
    QVERIFY2(hora.contains(QStringLiteral("15:05")), qPrintable(hora));
    for (const char* zona : {"(", ")", "[", "UTC", "GMT", "CET"})
        QVERIFY2(!hora.contains(QLatin1String(zona)), qPrintable(hora));
    QCOMPARE(hora, hora.trimmed());
    // The clock panel writes the system's form the same way.
    Ventana<frmMenuPrincipal>().EscribeFechaHora();
    QVERIFY(!Ventana<frmMenuPrincipal>().Paneles[5]->text().contains(QLatin1Char('(')));
}

void PruebaVentanaPrincipal::dialogosEnEspanol()
{
    QTranslator traductor;
    QVERIFY(InstalaTraduccionEspanol(traductor));
    QMessageBox caja(QMessageBox::Question, "t", "¿ ?", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(caja.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("Sí"));
    QCOMPARE(caja.button(QMessageBox::No)->text().remove('&'), QStringLiteral("No"));
    QCoreApplication::removeTranslator(&traductor);
}

QTEST_MAIN(PruebaVentanaPrincipal)
#include "tst_ventanaprincipal.moc"
