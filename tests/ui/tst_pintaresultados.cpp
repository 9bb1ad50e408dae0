// The results of search everywhere are painted from texts laid out once and kept: what the
// window shows must be, pixel for pixel, what the style paints, for plain, elided, accented,
// right-to-left and several-line texts, selected or not, painted again from what was kept and
// after what was kept was let go.
#include "ui/busqueda/DelegadoResultados.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

class PruebaPintaResultados : public QObject {
    Q_OBJECT
private slots:
    void pintaComoElEstilo_data();
    void pintaComoElEstilo();
};

void PruebaPintaResultados::pintaComoElEstilo_data()
{
    QTest::addColumn<QStringList>("textos"); // the four cells of every row
    QTest::addColumn<int>("ancho");          // of each column but the last
    QTest::addColumn<bool>("habilitada");
    const QString notas = QStringLiteral("…se dice «casa» cuando hablamos de un hogar propio y…");
    QTest::newRow("cortos") << QStringList{"song", "canción", "Música", "en inglés"} << 140 << true;
    QTest::newRow("elididos") << QStringList{"the house on the hill by the river",
                                             "la casa de la colina junto al río", "Vivienda", notas}
                              << 70 << true;
    QTest::newRow("justos") << QStringList{"WWWWWWWW", "iiiiiiiiiiiiiiii", "AV fi ffl", notas} << 64
                            << true;
    QTest::newRow("otras escrituras")
        << QStringList{"smile 😀", "مرحبا بالعالم", "日本語のテキスト", "¿Quiso decir «ñandú»?"}
        << 90 << true;
    QTest::newRow("varias líneas")
        << QStringList{"one\ntwo", "uno\ndos", "", "a\nb\nc"} << 90 << true;
    QTest::newRow("deshabilitada")
        << QStringList{"tree", "árbol", "Naturaleza", notas} << 80 << false;
}

void PruebaPintaResultados::pintaComoElEstilo()
{
    QFETCH(QStringList, textos);
    QFETCH(int, ancho);
    QFETCH(bool, habilitada);
    QStandardItemModel modelo(4, int(textos.size()));
    for (int fila = 0; fila < modelo.rowCount(); ++fila)
        for (int columna = 0; columna < modelo.columnCount(); ++columna)
            modelo.setItem(fila, columna, new QStandardItem(textos[columna]));
    // As the search window sets its list up.
    QTreeView vista;
    vista.setModel(&modelo);
    vista.setRootIsDecorated(false);
    vista.setUniformRowHeights(true);
    vista.setAllColumnsShowFocus(true);
    vista.header()->setStretchLastSection(true);
    for (int columna = 0; columna < 3; ++columna)
        vista.setColumnWidth(columna, ancho);
    vista.resize(3 * ancho + 150, 140);
    vista.setEnabled(habilitada);
    vista.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vista));
    vista.setCurrentIndex(modelo.index(1, 0));

    const QImage delEstilo = vista.grab().toImage();
    vista.setItemDelegate(new DelegadoResultados(&vista));
    QCOMPARE(vista.grab().toImage(), delEstilo);
    QCOMPARE(vista.grab().toImage(), delEstilo);              // from the layouts kept
    vista.setItemDelegate(new DelegadoResultados(&vista, 3)); // texts let go and laid out again
    QCOMPARE(vista.grab().toImage(), delEstilo);
    QCOMPARE(vista.grab().toImage(), delEstilo);
}

QTEST_MAIN(PruebaPintaResultados)
#include "tst_pintaresultados.moc"
