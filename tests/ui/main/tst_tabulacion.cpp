// The keyboard goes round every window: Tab and Shift+Tab visit the whole tab order and come
// back to where they started, and no list or box keeps the focus.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/backup/Respaldo.h"
#include "ui/backup/frmRespaldar.h"
#include "ui/editors/frmItems.h"
#include "ui/editors/frmTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/frmAcercade.h"

#include <QApplication>
#include <QTest>

namespace {
const QList<Item> Items{
    {"house", "casa", "Casa", "Una casa."},
    {"home", "hogar", "Casa", "El hogar."},
    {"apple", "manzana", "Comida", "Fruta."},
};

// Both directions of the walk from the first control, and the texts left as they were.
void CompruebaVuelta(QWidget& ventana, const QStringList& orden)
{
    ventana.show();
    ventana.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    QWidget* inicio = ventana.findChild<QWidget*>(orden.front());
    QVERIFY(inicio);
    QCOMPARE(VueltaConTab(inicio), orden);
    QStringList atras{orden.front()};
    for (qsizetype i = orden.size() - 1; i > 0; --i)
        atras << orden[i];
    QCOMPARE(VueltaConTab(inicio, true), atras);
    CompruebaQueTabNoSeQueda(ventana);
}
} // namespace

class PruebaTabulacion : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        Arranca(*entorno, {{"Casa", "Cosas de casa."}, {"Comida", ""}}, Items);
    }
    void cleanup() { entorno.reset(); }
    void ventanaPrincipal();
    void editorDeTemas();
    void editorDeItems();
    void dialogoDeRespaldo_data();
    void dialogoDeRespaldo();
    void acercaDe();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaTabulacion::ventanaPrincipal()
{
    frmMenuPrincipal& v = Principal();
    const QString buscado = Hijo<QLineEdit>(v, "txtBuscaItem")->text();
    CompruebaVuelta(v, {"txtBuscaItem", "TreeTemas", "cmdNuevoTema", "cmdEditarTema",
                        "cmdEliminarTema", "lvwItems", "cmdNuevoItems", "cmdEditarItems",
                        "cmdEliminarItem", "txtMemoNotas", "cmdImprimirNotas",
                        "cmdVistaPreviaNotas", "lvwListaTema", "txtMemoLista"});
    // Tab is no typed character: it neither arms the completion nor changes the search box.
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), buscado);
    Hijo<QTreeView>(v, "lvwItems")->setFocus();
    Principal().AutoCompletar = false;
    QTest::keyClick(Hijo<QTreeView>(v, "lvwItems"), Qt::Key_Tab);
    QVERIFY(!Principal().AutoCompletar);
}

void PruebaTabulacion::editorDeTemas()
{
    Principal().cmdNuevoTema_Click();
    frmTemas& editor = Ventana<frmTemas>();
    Hijo<QPlainTextEdit>(editor, "txtMemoTema")->setPlainText(QStringLiteral("Notas"));
    CompruebaVuelta(editor, {"txtNombreTema", "txtMemoTema", "cmdAceptarTema", "cmdCancelarTema"});
    QCOMPARE(Hijo<QPlainTextEdit>(editor, "txtMemoTema")->toPlainText(),
             QStringLiteral("Notas")); // no tab typed
    editor.close();
}

void PruebaTabulacion::editorDeItems()
{
    Hijo<QPushButton>(Principal(), "cmdEditarItems")->click();
    frmItems& editor = Ventana<frmItems>();
    const QString notas = Hijo<QPlainTextEdit>(editor, "txtMemoItem")->toPlainText();
    CompruebaVuelta(editor, {"txtItemIng", "txtItemEsp", "txtCategoriaItem", "cboCategoriaItem",
                             "txtMemoItem", "cmdAceptarItem", "cmdCancelarItem"});
    QCOMPARE(Hijo<QPlainTextEdit>(editor, "txtMemoItem")->toPlainText(), notas);
    editor.close();
}

void PruebaTabulacion::dialogoDeRespaldo_data()
{
    QTest::addColumn<bool>("respaldo");
    QTest::addColumn<QStringList>("orden");
    QTest::newRow("respaldar") << true << QStringList{"cmdExaminarDestino", "txtBuscarOrigen",
                                                      "cmdExaminarOrigen",  "txtGuardarDestino",
                                                      "cmdAceptarRespa",    "cmdSalirRespa"};
    QTest::newRow("recuperar") << false << QStringList{"cmdExaminarOrigen", "txtBuscarOrigen",
                                                       "txtGuardarDestino", "cmdExaminarDestino",
                                                       "cmdAceptarRespa",   "cmdSalirRespa"};
}

void PruebaTabulacion::dialogoDeRespaldo()
{
    QFETCH(bool, respaldo);
    QFETCH(QStringList, orden);
    Principal().AbreRespaldo(respaldo);
    frmRespaldar& dialogo = Ventana<frmRespaldar>();
    CompruebaVuelta(dialogo, orden);
    dialogo.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PruebaTabulacion::acercaDe()
{
    MuestraAcercade();
    frmAcercade& acerca = Ventana<frmAcercade>();
    acerca.show();
    acerca.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&acerca));
    CompruebaQueTabNoSeQueda(acerca);
    acerca.close();
}

QTEST_MAIN(PruebaTabulacion)
#include "tst_tabulacion.moc"
