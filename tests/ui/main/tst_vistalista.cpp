// The item lists on a long list: saving, moving or deleting an item costs the list the same on
// any length (it does not walk its rows), while it looks and answers the keys and the mouse as
// Qt's tree view does, and a screen reader still reads its rows.
#include "ui/main/ModeloListaItems.h"
#include "ui/main/VistaLista.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTest>

namespace {
// Counts what the view asks of the model.
class ModeloContado : public ModeloListaItems {
public:
    QModelIndex index(int fila, int columna, const QModelIndex& padre = {}) const override
    {
        ++preguntas;
        return ModeloListaItems::index(fila, columna, padre);
    }
    QVariant data(const QModelIndex& indice, int rol) const override
    {
        ++preguntas;
        return ModeloListaItems::data(indice, rol);
    }
    mutable long preguntas = 0;
};

// Even keys, so that odd ones go between them.
QString Clave(int numero)
{
    return QStringLiteral("w%1").arg(numero, 7, 10, QLatin1Char('0'));
}

void Llena(ModeloListaItems& modelo, int filas)
{
    std::vector<FilaLista> todas;
    todas.reserve(size_t(filas));
    for (int i = 0; i < filas; ++i)
        todas.push_back({Clave(2 * i), QStringLiteral("x%1").arg(i)});
    modelo.AgregaEncabezado(QStringLiteral("Inglés"));
    modelo.AgregaEncabezado(QStringLiteral("Español"));
    modelo.CambiaFilas(FilasLista(todas));
}

// A list set up as the main window's form sets them up.
void Prepara(QTreeView& lista, QAbstractItemModel& modelo)
{
    lista.setRootIsDecorated(false);
    lista.setUniformRowHeights(true);
    lista.setAllColumnsShowFocus(true);
    lista.setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista.setModel(&modelo);
    lista.setColumnWidth(0, 120);
    lista.setColumnWidth(1, 200);
}

void Elige(QTreeView& lista, int fila)
{
    lista.selectionModel()->setCurrentIndex(lista.model()->index(fila, 0),
                                            QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Rows);
}
} // namespace

class PruebaVistaLista : public QObject {
    Q_OBJECT
private slots:
    void cambiarUnaFilaNoRecorreLaLista_data();
    void cambiarUnaFilaNoRecorreLaLista();
    void pintaYRespondeComoElArbolDeQt();
    void unLectorDePantallaLeeLasFilas();
};

void PruebaVistaLista::cambiarUnaFilaNoRecorreLaLista_data()
{
    QTest::addColumn<int>("cambio");
    QTest::addColumn<int>("filaActual"); // where the current row is after the change
    // 0 new item above the current row, 1 below it, 2 an item moved from above to below it,
    // 3 an item above it deleted, 4 the current item deleted, 5 its Spanish text changed.
    QTest::newRow("nuevo arriba") << 0 << 100001;
    QTest::newRow("nuevo abajo") << 1 << 100000;
    QTest::newRow("movido") << 2 << 99999;
    QTest::newRow("borrado arriba") << 3 << 99999;
    QTest::newRow("borrado el actual") << 4 << 100000;
    QTest::newRow("cambiado") << 5 << 100000;
}

void PruebaVistaLista::cambiarUnaFilaNoRecorreLaLista()
{
    QFETCH(int, cambio);
    QFETCH(int, filaActual);
    ModeloContado modelo;
    Llena(modelo, 200000);
    VistaLista lista;
    Prepara(lista, modelo);
    lista.resize(160, 355);
    lista.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lista));
    Elige(lista, 100000);
    lista.scrollTo(lista.currentIndex());
    QCoreApplication::processEvents();
    lista.repaint();

    modelo.preguntas = 0;
    switch (cambio) {
    case 0:
        modelo.InsertaFila({Clave(2 * 50000 + 1), "nuevo"});
        break;
    case 1:
        modelo.InsertaFila({Clave(2 * 150000 + 1), "nuevo"});
        break;
    case 2:
        modelo.ReemplazaFila(500, {Clave(2 * 150000 + 1), "movido"});
        break;
    case 3:
        modelo.QuitaFila(500);
        break;
    case 4:
        modelo.QuitaFila(100000);
        break;
    case 5:
        modelo.CambiaEspanol(Clave(2 * 100000), "otro");
        break;
    }
    QCoreApplication::processEvents();
    lista.repaint();
    // The rows in sight, a few times over; Qt's tree asks for every row.
    QVERIFY2(modelo.preguntas < 2000, qPrintable(QString::number(modelo.preguntas)));

    // The list still shows what the model holds: the current row where the change put it,
    // painted where the mouse finds it, the scroll bar over every row.
    QCOMPARE(lista.currentIndex().row(), filaActual);
    QCOMPARE(lista.indexAt(lista.visualRect(lista.currentIndex()).center()), lista.currentIndex());
    QScrollBar* barra = lista.verticalScrollBar();
    QCOMPARE(barra->maximum(), modelo.rowCount() - barra->pageStep());
    if (cambio == 5)
        QCOMPARE(lista.currentIndex().siblingAtColumn(1).data().toString(), QStringLiteral("otro"));
}

// Side by side with Qt's tree on the same rows, after each step the two lists show the same
// picture (header, rows, selection, focus frame, scroll bars) and the same current row.
void PruebaVistaLista::pintaYRespondeComoElArbolDeQt()
{
    ModeloListaItems modelo;
    Llena(modelo, 3000);
    QWidget ventana;
    auto* nuestra = new VistaLista;
    auto* deQt = new QTreeView;
    auto* capas = new QHBoxLayout(&ventana);
    for (QTreeView* lista : {static_cast<QTreeView*>(nuestra), deQt}) {
        Prepara(*lista, modelo);
        lista->setFixedSize(160, 355);
        capas->addWidget(lista);
    }
    ventana.show();
    ventana.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    const auto hazEnLasDos = [&](const std::function<void(QTreeView&)>& paso) {
        for (QTreeView* lista : {static_cast<QTreeView*>(nuestra), deQt}) {
            lista->setFocus();
            paso(*lista);
        }
    };
    const auto tecla = [&](Qt::Key t) {
        hazEnLasDos([t](QTreeView& lista) { QTest::keyClick(&lista, t); });
    };
    const auto clic = [&](QPoint punto) {
        hazEnLasDos([punto](QTreeView& lista) {
            QTest::mouseClick(lista.viewport(), Qt::LeftButton, {}, punto);
        });
    };
    const struct {
        const char* que;
        std::function<void()> paso;
    } pasos[] = {
        {"al abrir", [&] { hazEnLasDos([](QTreeView&) {}); }},
        {"abajo", [&] { tecla(Qt::Key_Down); }},
        {"página abajo", [&] { tecla(Qt::Key_PageDown); }},
        {"otra página abajo", [&] { tecla(Qt::Key_PageDown); }},
        {"página arriba", [&] { tecla(Qt::Key_PageUp); }},
        {"fin", [&] { tecla(Qt::Key_End); }},
        {"arriba", [&] { tecla(Qt::Key_Up); }},
        {"página arriba al final", [&] { tecla(Qt::Key_PageUp); }},
        {"derecha", [&] { tecla(Qt::Key_Right); }},
        {"inicio", [&] { tecla(Qt::Key_Home); }},
        {"izquierda", [&] { tecla(Qt::Key_Left); }},
        {"clic en la segunda columna",
         [&] {
             clic({150, 50});
         }},
        {"clic bajo la última fila visible",
         [&] {
             clic({20, 340});
         }},
        {"al centro",
         [&] {
             hazEnLasDos([&](QTreeView& lista) {
                 lista.scrollTo(modelo.index(1700, 0), QAbstractItemView::PositionAtCenter);
             });
         }},
        {"abajo del todo",
         [&] {
             hazEnLasDos([&](QTreeView& lista) {
                 lista.scrollTo(modelo.index(40, 0), QAbstractItemView::PositionAtBottom);
             });
         }},
        {"barra movida",
         [&] { hazEnLasDos([](QTreeView& l) { l.verticalScrollBar()->setValue(7); }); }},
        {"nueva fila encima",
         [&] {
             modelo.InsertaFila({Clave(1), "nuevo"});
         }},
        {"fila quitada", [&] { modelo.QuitaFila(0); }},
        {"clic y ancho de columna",
         [&] {
             clic({10, 30});
             hazEnLasDos([](QTreeView& lista) { lista.setColumnWidth(0, 60); });
         }},
    };
    for (const auto& [que, paso] : pasos) {
        paso();
        QCoreApplication::processEvents();
        QCOMPARE(nuestra->currentIndex(), deQt->currentIndex());
        QCOMPARE(nuestra->selectionModel()->selectedRows(), deQt->selectionModel()->selectedRows());
        QCOMPARE(nuestra->verticalScrollBar()->value(), deQt->verticalScrollBar()->value());
        QCOMPARE(nuestra->horizontalScrollBar()->value(), deQt->horizontalScrollBar()->value());
        for (const bool conFoco : {true, false}) {
            QImage imagenes[2];
            for (int i = 0; i < 2; ++i) {
                QTreeView* lista = i == 0 ? static_cast<QTreeView*>(nuestra) : deQt;
                if (conFoco)
                    lista->setFocus();
                else
                    lista->clearFocus();
                imagenes[i] = lista->grab().toImage();
            }
            QVERIFY2(imagenes[0] == imagenes[1], que);
        }
    }
}

// With a screen reader on, the list hands its rows to it as Qt's tree does, also after rows
// are added while it was off.
void PruebaVistaLista::unLectorDePantallaLeeLasFilas()
{
    ModeloListaItems modelo;
    Llena(modelo, 50);
    VistaLista lista;
    Prepara(lista, modelo);
    lista.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lista));
    modelo.InsertaFila({Clave(1), "nuevo"});
    QCoreApplication::processEvents();
    QAccessible::setActive(true);
    QCoreApplication::processEvents();
    QAccessibleInterface* interfaz = QAccessible::queryAccessibleInterface(&lista);
    QVERIFY(interfaz && interfaz->tableInterface());
    QCOMPARE(interfaz->tableInterface()->rowCount(), 51);
    QAccessibleInterface* celda = interfaz->tableInterface()->cellAt(1, 0);
    QVERIFY(celda);
    QCOMPARE(celda->text(QAccessible::Name), Clave(1));
    QAccessible::setActive(false);
}

QTEST_MAIN(PruebaVistaLista)
#include "tst_vistalista.moc"
