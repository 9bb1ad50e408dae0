// Browsing: the topic tree, the items of a topic, the item index and the search box that
// completes as the user types.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "inicio/Main.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/VistaLista.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>

#include <sqlite3.h>

namespace {
const QString Largo = QStringLiteral(
    "supercalifragilisticexpialidocious is a word from a film, sixty-odd characters");

const QList<Item> ItemsCompletar{
    {"house", "casa", "Casa", "Una casa.\r\nPlural: houses."},
    {"Home", "hogar", "Casa", "El hogar."},
    {"hotel", "hotel", "Viajes", ""},
    {"apple", "manzana", "Comida", "Fruta."},
    {"árbol", "tree (al revés)", "Naturaleza", ""},
    {"nylon", "nailon", "Ropa", ""},
    {"ñandú", "rhea", "Animales", ""},
    {Largo, "supercalifragilístico", "Palabras", "Más de cincuenta letras."},
};

QStringList Columna(const ModeloListaItems& modelo)
{
    QStringList textos;
    for (const FilaLista& fila : modelo.Filas())
        textos << fila.ingles;
    return textos;
}

QString FilaElegida(frmMenuPrincipal& v)
{
    const int fila = frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(v, "lvwItems"));
    return fila < 0 ? QString() : v.ModeloItems->Filas()[size_t(fila)].ingles;
}

void Vacia(QLineEdit& caja)
{
    caja.selectAll();
    QTest::keyClick(&caja, Qt::Key_Backspace);
}
} // namespace

class PruebaNavegacion : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void elArranqueMuestraElPrimerTemaYElPrimerItem();
    void saltarAUnaFilaLejanaLaMuestraComoQt();
    void completaMientrasSeEscribe_data();
    void completaMientrasSeEscribe();
    void borrarNoCompletaYVaciarVuelveAlPrincipio();
    void laCajaLimitaLoEscritoPeroNoLoCompletado();
    void sinItemsNoHayIndiceNiCompletado();
    void elArbolOrdenaYMarcaElTemaAbierto();
    void unTemaMuestraSusItemsExactos();
    void lasFlechasMuestranLoElegido();
    void clicEnElIndiceMuestraElItem();
    void sinTemasElArbolQuedaVacio();
    void loGuardadoSeMuestraSinLeerloOtraVez();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaNavegacion::elArranqueMuestraElPrimerTemaYElPrimerItem()
{
    Arranca(*entorno, {{"Viajes", "Para viajar."}, {"Casa", "Cosas de casa."}}, ItemsCompletar);
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QCOMPARE(v.ModeloArbol->Nombres(), (QStringList{"Casa", "Viajes"}));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(v, "TreeTemas")), 0);
    QCOMPARE(Principal().TemaActual, QStringLiteral("Casa"));
    QCOMPARE(Columna(*v.ModeloItems),
             (QStringList{"apple", "árbol", "Home", "hotel", "house", "nylon", "ñandú", Largo}));
    QCOMPARE(FilaElegida(v), QStringLiteral("apple"));
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("apple"));
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("apple -> manzana"));
    QCOMPARE(Hijo<QLabel>(v, "lblCategoria")->text(), QStringLiteral("Comida"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(), QStringLiteral("Fruta."));
    QCOMPARE(v.focusWidget(), Hijo<QLineEdit>(v, "txtBuscaItem"));
    QCOMPARE(v.ModeloItems->columnCount(), 2);
    QVERIFY(!Principal().AutoCompletar);
}

void PruebaNavegacion::completaMientrasSeEscribe_data()
{
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QString>("seleccion");
    QTest::addColumn<QString>("fila");
    QTest::addColumn<QString>("encabezado");
    QTest::newRow("ho completa a Home") << "ho"
                                        << "Home"
                                        << "me"
                                        << "Home"
                                        << "Home -> hogar";
    QTest::newRow("hou completa a house") << "hou"
                                          << "house"
                                          << "se"
                                          << "house"
                                          << "house -> casa";
    QTest::newRow("mayúsculas") << "HOU"
                                << "house"
                                << "se"
                                << "house"
                                << "house -> casa";
    QTest::newRow("a no completa a á") << "ar"
                                       << "ar"
                                       << ""
                                       << "apple"
                                       << "apple -> manzana";
    QTest::newRow("á completa a árbol") << "á"
                                        << "árbol"
                                        << "rbol"
                                        << "árbol"
                                        << "árbol -> tree (al revés)";
    QTest::newRow("n no completa a ñ") << "n"
                                       << "nylon"
                                       << "ylon"
                                       << "nylon"
                                       << "nylon -> nailon";
    QTest::newRow("ñ") << "Ñ"
                       << "ñandú"
                       << "andú"
                       << "ñandú"
                       << "ñandú -> rhea";
    QTest::newRow("nadie empieza así") << "xyz"
                                       << "xyz"
                                       << ""
                                       << "apple"
                                       << "apple -> manzana";
    QTest::newRow("más de 50 letras")
        << "super" << Largo << Largo.mid(5) << Largo << Largo + " -> supercalifragilístico";
    QTest::newRow("texto completo") << "hotel"
                                    << "hotel"
                                    << ""
                                    << "hotel"
                                    << "hotel -> hotel";
}

void PruebaNavegacion::completaMientrasSeEscribe()
{
    QFETCH(QString, escrito);
    QFETCH(QString, caja);
    QFETCH(QString, seleccion);
    QFETCH(QString, fila);
    QFETCH(QString, encabezado);
    Arranca(*entorno, {}, ItemsCompletar);
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    Vacia(*Hijo<QLineEdit>(v, "txtBuscaItem"));
    Teclea(Hijo<QLineEdit>(v, "txtBuscaItem"), escrito);
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), caja);
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->selectedText(), seleccion);
    QCOMPARE(FilaElegida(v), fila);
    // A beginning nobody has leaves the right column as it was (the first item here).
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), encabezado);
}

void PruebaNavegacion::borrarNoCompletaYVaciarVuelveAlPrincipio()
{
    Arranca(*entorno, {}, ItemsCompletar);
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    Vacia(*Hijo<QLineEdit>(v, "txtBuscaItem"));
    QTest::keyClicks(Hijo<QLineEdit>(v, "txtBuscaItem"), "hou");
    QCOMPARE(Hijo<QLabel>(v, "lblCategoria")->text(), QStringLiteral("Casa"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(),
             QStringLiteral("Una casa.\nPlural: houses."));

    // Backspace drops the completed part and never completes again; the row stays.
    QTest::keyClick(Hijo<QLineEdit>(v, "txtBuscaItem"), Qt::Key_Backspace);
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("hou"));
    QCOMPARE(FilaElegida(v), QStringLiteral("house"));
    QTest::keyClick(Hijo<QLineEdit>(v, "txtBuscaItem"), Qt::Key_Backspace);
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("ho"));
    QCOMPARE(FilaElegida(v), QStringLiteral("house"));

    // Delete neither arms nor disarms the completion, though the keyboard sends it with the
    // text "\x7f" as X11 does.
    QTest::keyClick(Hijo<QLineEdit>(v, "txtBuscaItem"), 't');
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("hotel"));
    Hijo<QLineEdit>(v, "txtBuscaItem")->setSelection(2, 3);
    QTest::keyClick(Hijo<QLineEdit>(v, "txtBuscaItem"), Qt::Key_Delete);
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("ho"));
    Hijo<QLineEdit>(v, "txtBuscaItem")->setText(QStringLiteral("hot"));
    Hijo<QLineEdit>(v, "txtBuscaItem")->setCursorPosition(2);
    for (QEvent::Type tipo : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent suprimir(tipo, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QApplication::sendEvent(Hijo<QLineEdit>(v, "txtBuscaItem"), &suprimir);
    }
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("ho"));

    // An emptied box goes back to the first row, showing it.
    Hijo<QTreeView>(v, "lvwItems")->scrollToBottom();
    Vacia(*Hijo<QLineEdit>(v, "txtBuscaItem"));
    QCOMPARE(FilaElegida(v), QStringLiteral("apple"));
    QCOMPARE(Hijo<QTreeView>(v, "lvwItems")->indexAt(QPoint(2, 2)).row(), 0);
}

void PruebaNavegacion::laCajaLimitaLoEscritoPeroNoLoCompletado()
{
    Arranca(*entorno, {}, ItemsCompletar);
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    Vacia(*Hijo<QLineEdit>(v, "txtBuscaItem"));
    QTest::keyClicks(Hijo<QLineEdit>(v, "txtBuscaItem"), QString(60, QLatin1Char('z')));
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QString(50, QLatin1Char('z')));
    Vacia(*Hijo<QLineEdit>(v, "txtBuscaItem"));
    QTest::keyClicks(Hijo<QLineEdit>(v, "txtBuscaItem"), "s");
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), Largo);
    QVERIFY(Largo.size() > 50);
}

void PruebaNavegacion::sinItemsNoHayIndiceNiCompletado()
{
    Arranca(*entorno, {{"Casa", ""}}, {});
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QCOMPARE(v.ModeloItems->rowCount(), 0);
    QTest::keyClicks(Hijo<QLineEdit>(v, "txtBuscaItem"), "ho");
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("ho"));
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(),
             QStringLiteral("Casa")); // the topic shown at start-up stays
    QTest::mouseClick(Hijo<QTreeView>(v, "lvwItems")->viewport(), Qt::LeftButton);
    QTest::keyClick(Hijo<QTreeView>(v, "lvwItems"), Qt::Key_Return);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->height(),
             Twips(5320)); // nothing acted on an empty list
}

void PruebaNavegacion::elArbolOrdenaYMarcaElTemaAbierto()
{
    Arranca(*entorno,
            {{"verbos", ""}, {"Zoo", ""}, {"árboles", ""}, {"Animales", ""}, {"arbustos", ""}}, {});
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QCOMPARE(v.ModeloArbol->Nombres(),
             (QStringList{"Animales", "árboles", "arbustos", "verbos", "Zoo"}));
    const QImage abierto = QIcon(":/imagenes/tema_abierto.png").pixmap(16).toImage();
    const QImage cerrado = QIcon(":/imagenes/tema_cerrado.png").pixmap(16).toImage();
    QVERIFY(abierto != cerrado);
    auto imagen = [&](int fila) {
        return v.ModeloArbol->index(fila)
            .data(Qt::DecorationRole)
            .value<QIcon>()
            .pixmap(16)
            .toImage();
    };
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Down);
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Down);
    for (int fila = 0; fila < 5; ++fila)
        QCOMPARE(imagen(fila), fila == 2 ? abierto : cerrado);
}

void PruebaNavegacion::unTemaMuestraSusItemsExactos()
{
    Arranca(*entorno, {{"Verbos", "Acciones.\r\nRegulares e irregulares."}, {"Animales", ""}},
            {{"run", "correr", "Verbos", "run – ran – run"},
             {"eat", "comer", "Verbos", "eat – ate – eaten"},
             {"walk", "caminar", "verbos", "del tema en minúsculas"},
             {"dog", "perro", "Animales", ""}});
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Down);
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("Verbos"));
    QCOMPARE(Hijo<QLabel>(v, "lblCategoria")->text(), QString());
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(),
             QStringLiteral("Acciones.\nRegulares e irregulares."));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->height(), Twips(3645));
    QCOMPARE(Columna(*v.ModeloListaTema), (QStringList{"eat", "run"}));
    QCOMPARE(v.ModeloListaTema->columnCount(), 2);
    QCOMPARE(Hijo<QTreeView>(v, "lvwListaTema")->columnWidth(0), Twips(1380));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(v, "lvwListaTema")), 0);
    QCOMPARE(Principal().ItemTemaActual, QStringLiteral("eat"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(),
             QStringLiteral("eat – ate – eaten"));

    // A topic with no items: an empty list and no notes.
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Up);
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("Animales"));
    QCOMPARE(Columna(*v.ModeloListaTema), QStringList{"dog"});
    v.ModeloArbol->CambiaTemas({"Vacío"});
    frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(v, "TreeTemas"), 0, false);
    v.ActivaTemas();
    QCOMPARE(v.ModeloListaTema->rowCount(), 0);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(), QString());
    QCOMPARE(Principal().ItemTemaActual, QString());
}

void PruebaNavegacion::lasFlechasMuestranLoElegido()
{
    Arranca(*entorno, {{"Verbos", "Notas del tema"}},
            {{"eat", "comer", "Verbos", "notas de eat"},
             {"run", "correr", "Verbos", "notas de run"},
             {"walk", "caminar", "Verbos", "notas de walk"}});
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    // Start-up shows the first topic's heading and notes; its items come with a selection.
    QCOMPARE(v.ModeloListaTema->rowCount(), 0);
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Home);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(),
             QStringLiteral("notas de eat"));
    QTest::keyClick(Hijo<QTreeView>(v, "lvwListaTema"), Qt::Key_Down);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(),
             QStringLiteral("notas de run"));
    QTest::keyClick(Hijo<QTreeView>(v, "lvwListaTema"), Qt::Key_Down);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(),
             QStringLiteral("notas de walk"));
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("Verbos"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(),
             QStringLiteral("Notas del tema"));

    // In the index, the key up shows the row the arrow moved to, and the box follows.
    QTest::keyClick(Hijo<QTreeView>(v, "lvwItems"), Qt::Key_Down);
    QCOMPARE(FilaElegida(v), QStringLiteral("run"));
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("run"));
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("run -> correr"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(),
             QStringLiteral("notas de run"));
    // Typed characters do not move the list; they arm the completion.
    QTest::keyClick(Hijo<QTreeView>(v, "lvwItems"), 'w');
    QCOMPARE(FilaElegida(v), QStringLiteral("run"));
    QVERIFY(Principal().AutoCompletar);
    QTest::keyClick(Hijo<QTreeView>(v, "lvwItems"), Qt::Key_Backspace);
    QVERIFY(!Principal().AutoCompletar);
}

void PruebaNavegacion::clicEnElIndiceMuestraElItem()
{
    Arranca(
        *entorno, {{"Verbos", "Notas del tema"}},
        {{"eat", "comer", "Verbos", "notas de eat"}, {"run", "correr", "Verbos", "notas de run"}});
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Home);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->height(), Twips(3645));
    const QRect segunda = Hijo<QTreeView>(v, "lvwItems")->visualRect(v.ModeloItems->index(1, 0));
    QTest::mouseClick(Hijo<QTreeView>(v, "lvwItems")->viewport(), Qt::LeftButton, {},
                      segunda.center());
    QCOMPARE(FilaElegida(v), QStringLiteral("run"));
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("run"));
    QCOMPARE(Hijo<QLabel>(v, "lblCategoria")->text(), QStringLiteral("Verbos"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(),
             QStringLiteral("notas de run"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->height(), Twips(5320));
    QCOMPARE(v.ModeloListaTema->rowCount(), 0);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(), QString());

    // A click in the search box shows the selected row too.
    QTest::mouseClick(
        Hijo<QTreeView>(v, "TreeTemas")->viewport(), Qt::LeftButton, {},
        Hijo<QTreeView>(v, "TreeTemas")->visualRect(v.ModeloArbol->index(0)).center());
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->height(), Twips(3645));
    QTest::mouseClick(Hijo<QLineEdit>(v, "txtBuscaItem"), Qt::LeftButton);
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("run -> correr"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->height(), Twips(5320));
}

void PruebaNavegacion::sinTemasElArbolQuedaVacio()
{
    Arranca(*entorno, {}, {{"eat", "comer", "Verbos", ""}});
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QCOMPARE(v.ModeloArbol->rowCount(), 0);
    QCOMPARE(Principal().TemaActual, QString());
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Down);
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("eat -> comer"));
}

// A saved item or new topic is shown from the record the editor handed over: its notes appear,
// and the store is not asked for it again.
void PruebaNavegacion::loGuardadoSeMuestraSinLeerloOtraVez()
{
    Arranca(*entorno, {{"Casa", "Cosas de casa."}}, ItemsCompletar);
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QStringList leidos;
    sqlite3_trace_v2(
        modTALVEXV20().dbPrincipal.Conexion(), SQLITE_TRACE_STMT,
        [](unsigned, void* lista, void* sentencia, void*) {
            const QString sql =
                QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(sentencia)));
            if (sql.contains(QStringLiteral("WHERE CLAVEITEM = ?1 LIMIT 1")) ||
                sql.contains(QStringLiteral("WHERE CLAVETEMA = ?1 LIMIT 1")))
                *static_cast<QStringList*>(lista) << sql;
            return 0;
        },
        &leidos);
    auto* notas = Hijo<QPlainTextEdit>(v, "txtMemoNotas");
    v.ItemGuardado({"house", "casa", "Casa", "Otra nota."}, "house", false);
    QCOMPARE(notas->toPlainText(), QStringLiteral("Otra nota."));
    QCOMPARE(Hijo<QLabel>(v, "lblCategoria")->text(), QStringLiteral("Casa"));
    v.TemaGuardado({"Jardín", "Notas nuevas."}, QString(), true);
    QCOMPARE(notas->toPlainText(), QStringLiteral("Notas nuevas."));
    sqlite3_trace_v2(modTALVEXV20().dbPrincipal.Conexion(), 0, nullptr, nullptr);
    QCOMPARE(leidos, QStringList());
}

// On a long list, rows are placed by their numbers rather than looked up: the list ends
// exactly where Qt's own tree view puts it, rows where Qt draws them, for every way of
// showing a row, scrolled sideways or not.
void PruebaNavegacion::saltarAUnaFilaLejanaLaMuestraComoQt()
{
    std::vector<FilaLista> filas;
    for (int i = 0; i < 3000; ++i)
        filas.push_back({QStringLiteral("w%1").arg(i, 5, 10, QLatin1Char('0')), "x"});
    ModeloListaItems modelo;
    modelo.AgregaEncabezado(QStringLiteral("Inglés"));
    modelo.AgregaEncabezado(QStringLiteral("Español"));
    modelo.CambiaFilas(FilasLista(filas));
    VistaLista nuestra;
    QTreeView deQt;
    for (QTreeView* lista : {static_cast<QTreeView*>(&nuestra), &deQt}) {
        lista->setRootIsDecorated(false);
        lista->setUniformRowHeights(true);
        lista->setAllColumnsShowFocus(true);
        lista->setModel(&modelo);
        lista->resize(160, 355);
        lista->setColumnWidth(0, 120);
        lista->setColumnWidth(1, 200);
        lista->show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&nuestra));
    using Modo = QAbstractItemView::ScrollHint;
    const struct {
        int fila;
        Modo modo;
        int deLado;
    } saltos[] = {{2500, Modo::EnsureVisible, 0},  {10, Modo::EnsureVisible, 150},
                  {1500, Modo::EnsureVisible, 0},  {1499, Modo::EnsureVisible, 0},
                  {1530, Modo::EnsureVisible, 40}, {2999, Modo::EnsureVisible, 0},
                  {0, Modo::EnsureVisible, 0},     {40, Modo::PositionAtTop, 0},
                  {41, Modo::EnsureVisible, 0},    {2990, Modo::PositionAtTop, 0},
                  {2000, Modo::EnsureVisible, 0}};
    for (const auto& salto : saltos) {
        for (QTreeView* lista : {static_cast<QTreeView*>(&nuestra), &deQt})
            lista->horizontalScrollBar()->setValue(salto.deLado);
        frmMenuPrincipal::SeleccionaFila(nuestra, salto.fila, false);
        nuestra.scrollTo(modelo.index(salto.fila, 1), salto.modo);
        const QModelIndex indice = modelo.index(salto.fila, 0);
        deQt.selectionModel()->setCurrentIndex(indice, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
        deQt.scrollTo(indice, salto.modo);
        QCOMPARE(nuestra.verticalScrollBar()->value(), deQt.verticalScrollBar()->value());
        QCOMPARE(nuestra.horizontalScrollBar()->value(), deQt.horizontalScrollBar()->value());
        QCOMPARE(nuestra.currentIndex(), indice);
        QCOMPARE(nuestra.selectionModel()->selectedRows(), QModelIndexList{indice});
        for (const int fila : {0, salto.fila - 1, salto.fila, salto.fila + 1, 2999})
            for (const int columna : {0, 1})
                QCOMPARE(nuestra.visualRect(modelo.index(fila, columna)),
                         deQt.visualRect(modelo.index(fila, columna)));
    }
}

QTEST_MAIN(PruebaNavegacion)
#include "tst_navegacion.moc"
