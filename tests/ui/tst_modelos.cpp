// The models of the main window's lists write through to the store: rows inserted, moved and
// removed as Qt's model rules require, the store changed first, and the completion index kept
// row by row equal to one built anew.
#include "data/BaseVocabulario.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList Ingleses(const ModeloListaItems& modelo)
{
    QStringList textos;
    for (const FilaLista& fila : modelo.Filas())
        textos << fila.ingles;
    return textos;
}

// The completion of every beginning of every row's text, by the model's index and by an
// index built from the rows.
void CompruebaIndice(const ModeloListaItems& modelo)
{
    IndiceLetras nuevo;
    std::vector<QString> textos;
    for (const FilaLista& fila : modelo.Filas())
        textos.push_back(fila.ingles);
    nuevo.Construye(textos);
    for (const QString& texto : textos)
        for (qsizetype n = 1; n <= texto.size(); ++n)
            QCOMPARE(modelo.Indice().Completa(texto.left(n)), nuevo.Completa(texto.left(n)));
}
} // namespace

class PruebaModelos : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        const QString ruta = carpeta.filePath(QStringLiteral("%1.MDB").arg(++archivos));
        BaseVocabulario::CreaVacia(ruta);
        base.Abre(ruta);
    }
    void cleanup() { base.Cierra(); }
    void itemsInsertaMueveYQuita();
    void unaEscrituraFallidaNoCambiaLasFilas();
    void temasAgregaRenombraYQuita();

private:
    QTemporaryDir carpeta;
    int archivos = 0;
    BaseVocabulario base;
};

void PruebaModelos::itemsInsertaMueveYQuita()
{
    ModeloListaItems modelo(&base);
    QAbstractItemModelTester revisor(&modelo,
                                     QAbstractItemModelTester::FailureReportingMode::QtTest);
    modelo.AgregaEncabezado(QStringLiteral("Inglés"));
    modelo.AgregaEncabezado(QStringLiteral("Español"));
    for (const char* ingles : {"house", "apple", "Home", "zebra", "árbol", "hotel"})
        modelo.GuardaItem({ingles, "e", "", ""}, {}, true);
    QCOMPARE(Ingleses(modelo), (QStringList{"apple", "árbol", "Home", "hotel", "house", "zebra"}));
    CompruebaIndice(modelo);

    // An edit moves the row to where its new text belongs, down and then up.
    QCOMPARE(modelo.GuardaItem({"yacht", "yate", "", ""}, "apple", false), 4);
    QCOMPARE(modelo.GuardaItem({"hall", "vestíbulo", "", ""}, "zebra", false), 1);
    QCOMPARE(Ingleses(modelo), (QStringList{"árbol", "hall", "Home", "hotel", "house", "yacht"}));
    QCOMPARE(modelo.index(5, 1).data().toString(), QStringLiteral("yate"));
    QCOMPARE(base.LocalizaItem("yacht")->ITEMESP, QStringLiteral("yate"));
    QVERIFY(!base.LocalizaItem("apple"));
    QCOMPARE(modelo.Indice().Completa("a"), std::nullopt); // the old text is gone
    CompruebaIndice(modelo);

    modelo.EliminaItem(2);
    QCOMPARE(Ingleses(modelo), (QStringList{"árbol", "hall", "hotel", "house", "yacht"}));
    QVERIFY(!base.LocalizaItem("Home"));
    QCOMPARE(modelo.Indice().Completa("ho"), std::optional<QString>("hotel"));
    CompruebaIndice(modelo);
}

void PruebaModelos::unaEscrituraFallidaNoCambiaLasFilas()
{
    ModeloListaItems modelo(&base);
    QAbstractItemModelTester revisor(&modelo,
                                     QAbstractItemModelTester::FailureReportingMode::QtTest);
    modelo.GuardaItem({"house", "casa", "", ""}, {}, true);
    modelo.GuardaItem({"home", "hogar", "", ""}, {}, true);
    // The unique key refuses a second "HOUSE"; neither the rows nor the index change.
    QVERIFY_THROWS_EXCEPTION(ErrorTalvex, modelo.GuardaItem({"HOUSE", "", "", ""}, {}, true));
    QVERIFY_THROWS_EXCEPTION(ErrorTalvex, modelo.GuardaItem({"House", "", "", ""}, "home", false));
    QCOMPARE(Ingleses(modelo), (QStringList{"home", "house"}));
    QCOMPARE(modelo.Indice().Completa("h"), std::optional<QString>("home"));
}

void PruebaModelos::temasAgregaRenombraYQuita()
{
    ModeloTemas modelo(&base);
    QAbstractItemModelTester revisor(&modelo,
                                     QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const char* nombre : {"Viajes", "Casa", "Animales"})
        modelo.GuardaTema({nombre, "notas"}, {}, true);
    base.AgregaItem({"dog", "perro", "Animales", ""});
    base.AgregaItem({"cat", "gato", "animales", ""}); // another case: not the topic's
    QCOMPARE(modelo.Nombres(), (QStringList{"Animales", "Casa", "Viajes"}));

    // A rename moves the node and renames the topic's items in the same write.
    QCOMPARE(modelo.GuardaTema({"Zoo", "otras"}, "Animales", false), 2);
    QCOMPARE(modelo.Nombres(), (QStringList{"Casa", "Viajes", "Zoo"}));
    QCOMPARE(base.LocalizaItem("dog")->NOMBRETEMA, QStringLiteral("Zoo"));
    QCOMPARE(base.LocalizaItem("cat")->NOMBRETEMA, QStringLiteral("animales"));
    QCOMPARE(base.LocalizaTema("Zoo")->NOTASTEMA, QStringLiteral("otras"));

    modelo.EliminaTema(2);
    QCOMPARE(modelo.Nombres(), (QStringList{"Casa", "Viajes"}));
    QVERIFY(!base.LocalizaTema("Zoo"));
    QCOMPARE(base.LocalizaItem("dog")->NOMBRETEMA, SinCategoria);
    // The earliest added topic left comes first in the order of additions.
    QCOMPARE(modelo.Nombres().at(modelo.FilaMasAntigua()), QStringLiteral("Viajes"));
}

QTEST_MAIN(PruebaModelos)
#include "tst_modelos.moc"
