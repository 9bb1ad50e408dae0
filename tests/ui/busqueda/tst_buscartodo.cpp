// Search everywhere from the main window: Ctrl+F or the menu opens the search window, results
// follow the typing, the chosen one is shown as a click in the index shows it, and every
// change is found by the next search.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "intercambio/Intercambio.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/busqueda/frmBuscar.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QScrollBar>
#include <QTest>

namespace {
const QList<Item> Items{
    {"song", "canción", "Música", "Se canta."},
    {"house", "casa", "Casa", "Una casa."},
    {"tree", "árbol", "Naturaleza", "Tiene hojas y ramas."},
};

QTreeView& Resultados()
{
    return *Hijo<QTreeView>(Ventana<frmBuscar>(), "lvwResultados");
}

QString Celda(int fila, int columna)
{
    return Resultados().model()->index(fila, columna).data().toString();
}

void Busca(const QString& texto)
{
    QLineEdit* caja = Hijo<QLineEdit>(Ventana<frmBuscar>(), "txtBuscarTodo");
    caja->clear();
    Teclea(caja, texto);
}

void Cerrada()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!VentanaCargada<frmBuscar>());
    QVERIFY(Principal().isEnabled());
}
} // namespace

class PruebaBuscarTodo : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        Arranca(*entorno, {{"Música", "Canciones y más."}, {"Casa", ""}, {"Naturaleza", ""}},
                Items);
        Principal().show();
        QVERIFY(QTest::qWaitForWindowActive(&Principal()));
    }
    void cleanup() { entorno.reset(); }
    void controlFAbreYEnterMuestraElItem();
    void unTemaSeMuestraComoTema();
    void lasNotasYLasErratasTambien();
    void cadaCambioSeEncuentraEnLaSiguiente();
    void exportaLosResultadosListados();
    void otrosResultadosSeVenDesdeElPrimero();
    void laFilaRecorridaSigueSiNadaCambia_data();
    void laFilaRecorridaSigueSiNadaCambia();

private:
    QString Ruta(const char* nombre) const { return entorno->Ruta(QString::fromLatin1(nombre)); }
    PlataformaGuionada& P() { return entorno->plataforma; }
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaBuscarTodo::controlFAbreYEnterMuestraElItem()
{
    QTest::keyClick(&Principal(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(VentanaCargada<frmBuscar>());
    QCOMPARE(Ventana<frmBuscar>().windowTitle(), QStringLiteral("Buscar en todo el vocabulario"));
    QVERIFY(!Principal().isEnabled());
    Busca("cancion");
    QCOMPARE(Celda(0, 0), QStringLiteral("song"));
    QCOMPARE(Celda(0, 3), QStringLiteral("en español"));
    QTest::keyClick(Hijo<QLineEdit>(Ventana<frmBuscar>(), "txtBuscarTodo"), Qt::Key_Return);
    Cerrada();
    // As a click in the index: the row selected, the item in the right column, item view.
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QStringLiteral("song -> canción"));
    QCOMPARE(Hijo<QLabel>(Principal(), "lblCategoria")->text(), QStringLiteral("Música"));
    QCOMPARE(Hijo<QLineEdit>(Principal(), "txtBuscaItem")->text(), QStringLiteral("song"));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(Principal(), "lvwItems")),
             Principal().ModeloItems->BuscaFila("song"));
    QCOMPARE(Principal().ModeloListaTema->rowCount(), 0);

    // Escape closes it and changes nothing.
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    Busca("house");
    QTest::keyClick(Hijo<QLineEdit>(Ventana<frmBuscar>(), "txtBuscarTodo"), Qt::Key_Escape);
    Cerrada();
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QStringLiteral("song -> canción"));
}

void PruebaBuscarTodo::unTemaSeMuestraComoTema()
{
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    Busca("naturaleza");
    QCOMPARE(Celda(0, 2), QStringLiteral("Naturaleza"));
    QCOMPARE(Celda(0, 0), QString()); // the topic itself ranks with its items' topic column
    QCOMPARE(Celda(0, 3), QStringLiteral("nombre del tema"));
    Ventana<frmBuscar>().EligeResultado();
    Cerrada();
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QStringLiteral("Naturaleza"));
    QCOMPARE(Principal().ModeloListaTema->rowCount(), 1); // topic view with its items
}

void PruebaBuscarTodo::lasNotasYLasErratasTambien()
{
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    Busca("ramas");
    QCOMPARE(Celda(0, 0), QStringLiteral("tree"));
    QCOMPARE(Celda(0, 3), QStringLiteral("Tiene hojas y «ramas»."));
    Busca("hosue"); // two letters swapped
    QCOMPARE(Celda(0, 0), QStringLiteral("house"));
    QCOMPARE(Celda(0, 3), QStringLiteral("¿Quiso decir «house»?"));
    Busca("%_*'\"");
    QCOMPARE(Resultados().model()->rowCount(), 0);
}

void PruebaBuscarTodo::cadaCambioSeEncuentraEnLaSiguiente()
{
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    Busca("kitchen");
    QCOMPARE(Resultados().model()->rowCount(), 0);
    Ventana<frmBuscar>().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Principal().ItemGuardado({"kitchen", "cocina", "Casa", ""}, QString(), true);
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    Busca("cocina");
    QCOMPARE(Celda(0, 0), QStringLiteral("kitchen"));
}

void PruebaBuscarTodo::exportaLosResultadosListados()
{
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    QPushButton* exportar = Hijo<QPushButton>(Ventana<frmBuscar>(), "cmdExportarResultados");
    Busca("kitchen");
    QVERIFY(!exportar->isEnabled()); // nothing listed, nothing to write
    Busca("ca");                     // canción, casa, the topic Casa, Canciones y más…
    QVERIFY(exportar->isEnabled());
    QStringList listados; // the items in the order shown, the topic left out
    for (int fila = 0; fila < Resultados().model()->rowCount(); ++fila)
        if (!Celda(fila, 0).isEmpty() && !listados.contains(Celda(fila, 0)))
            listados << Celda(fila, 0);
    QVERIFY(listados.size() >= 2);

    P().archivosElegidos = {Ruta("hallados.tsv")};
    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QMenu>(Ventana<frmBuscar>(), "mnuFormatosResultados")->actions()[1]->trigger(); // TSV
    QCOMPARE(P().dialogosArchivo.last().nombre, QStringLiteral("resultados.tsv"));
    QCOMPARE(P().mensajes.last().texto,
             QStringLiteral("¡¡ El vocabulario se exportó en: ") + Ruta("hallados.tsv") + " !!");
    const Intercambio::Lectura lectura = Intercambio::LeeArchivo(Ruta("hallados.tsv"));
    QCOMPARE(lectura.formato, Intercambio::Formato::Tsv);
    QStringList escritos;
    for (const Intercambio::ItemLeido& leido : lectura.items) {
        escritos << leido.item.ITEMING;
        QCOMPARE(leido.item, *std::find_if(Items.begin(), Items.end(), [&](const Item& item) {
                     return item.ITEMING == leido.item.ITEMING;
                 }));
    }
    QCOMPARE(escritos, listados);
    // The search stays open over the main window for another search.
    QVERIFY(Ventana<frmBuscar>().isVisible());
    QVERIFY(!Principal().isEnabled());
}

void PruebaBuscarTodo::laFilaRecorridaSigueSiNadaCambia_data()
{
    QTest::addColumn<QString>("luego"); // typed after "ca" and one row walked down
    QTest::addColumn<int>("fila");      // the row selected then
    QTest::newRow("los mismos resultados") << " " << 1;
    QTest::newRow("otros resultados") << "s" << 0;
}

void PruebaBuscarTodo::laFilaRecorridaSigueSiNadaCambia()
{
    QFETCH(QString, luego);
    QFETCH(int, fila);
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    QLineEdit* caja = Hijo<QLineEdit>(Ventana<frmBuscar>(), "txtBuscarTodo");
    Busca("ca");
    QTest::keyClick(caja, Qt::Key_Down);
    QCOMPARE(Resultados().currentIndex().row(), 1);
    Teclea(caja, luego);
    QCOMPARE(Resultados().currentIndex().row(), fila);
    QCOMPARE(Resultados().selectionModel()->selectedRows(),
             QModelIndexList{Resultados().currentIndex()});
}

void PruebaBuscarTodo::otrosResultadosSeVenDesdeElPrimero()
{
    Hijo<QAction>(Principal(), "mnuBuscarTodo")->trigger();
    Ventana<frmBuscar>().resize(400, 100); // room for fewer rows than found
    QLineEdit* caja = Hijo<QLineEdit>(Ventana<frmBuscar>(), "txtBuscarTodo");
    caja->setText("a");
    QScrollBar* barra = Resultados().verticalScrollBar();
    QVERIFY(barra->maximum() > 0);
    barra->setValue(barra->maximum()); // the first row, still selected, scrolled out of sight
    caja->setText("s");                // as many results, others
    QCOMPARE(Celda(0, 0), QStringLiteral("song"));
    QCOMPARE(Resultados().currentIndex().row(), 0);
    QCOMPARE(barra->value(), 0);
}

QTEST_MAIN(PruebaBuscarTodo)
#include "tst_buscartodo.moc"
