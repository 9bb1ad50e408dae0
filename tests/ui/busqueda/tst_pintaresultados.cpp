// The results of search everywhere are painted from texts laid out once and kept: what the
// window shows must be, pixel for pixel, what the style paints, for plain, elided, accented,
// right-to-left and several-line texts, selected or not, painted again from what was kept and
// after what was kept was let go.
#include "ui/busqueda/DelegadoResultados.h"

#include <QHeaderView>
#include <QProxyStyle>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

namespace {
// A style that draws the texts of item views its own way (in red).
class EstiloTextoRojo : public QProxyStyle {
public:
    void drawControl(ControlElement elemento, const QStyleOption* opcion, QPainter* pintor,
                     const QWidget* control) const override
    {
        if (const auto* celda = qstyleoption_cast<const QStyleOptionViewItem*>(opcion);
            celda && elemento == CE_ItemViewItem) {
            QStyleOptionViewItem roja = *celda;
            roja.palette.setColor(QPalette::Text, Qt::red);
            roja.palette.setColor(QPalette::HighlightedText, Qt::red);
            QProxyStyle::drawControl(elemento, &roja, pintor, control);
            return;
        }
        QProxyStyle::drawControl(elemento, opcion, pintor, control);
    }
};
} // namespace

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
    QTest::addColumn<bool>("estiloPropio"); // a style that draws the texts its own way
    const QString notas = QStringLiteral("…se dice «casa» cuando hablamos de un hogar propio y…");
    QTest::newRow("cortos") << QStringList{"song", "canción", "Música", "en inglés"} << 140 << true
                            << false;
    QTest::newRow("elididos") << QStringList{"the house on the hill by the river",
                                             "la casa de la colina junto al río", "Vivienda", notas}
                              << 70 << true << false;
    QTest::newRow("justos") << QStringList{"WWWWWWWW", "iiiiiiiiiiiiiiii", "AV fi ffl", notas} << 64
                            << true << false;
    QTest::newRow("otras escrituras")
        << QStringList{"smile 😀", "مرحبا بالعالم", "日本語のテキスト", "¿Quiso decir «ñandú»?"}
        << 90 << true << false;
    QTest::newRow("varias líneas")
        << QStringList{"one\ntwo", "uno\ndos", "", "a\nb\nc"} << 90 << true << false;
    QTest::newRow("deshabilitada")
        << QStringList{"tree", "árbol", "Naturaleza", notas} << 80 << false << false;
    QTest::newRow("estilo propio")
        << QStringList{"song", "canción", "Música", notas} << 70 << true << true;
}

void PruebaPintaResultados::pintaComoElEstilo()
{
    QFETCH(QStringList, textos);
    QFETCH(int, ancho);
    QFETCH(bool, habilitada);
    QFETCH(bool, estiloPropio);
    QStandardItemModel modelo(4, int(textos.size()));
    for (int fila = 0; fila < modelo.rowCount(); ++fila)
        for (int columna = 0; columna < modelo.columnCount(); ++columna)
            modelo.setItem(fila, columna, new QStandardItem(textos[columna]));
    // As the search window sets its list up.
    QTreeView vista;
    EstiloTextoRojo rojo;
    if (estiloPropio)
        vista.setStyle(&rojo);
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
