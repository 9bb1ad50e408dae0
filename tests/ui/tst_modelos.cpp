// The models of the main window's lists write through to the store: rows inserted, moved and
// removed as Qt's model rules require, the store changed first, and the completion over the
// rows always what walking them plainly gives.
#include "data/BaseVocabulario.h"
#include "data/Cotejo.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
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

// The rule the completion keeps, walked plainly: the first row, in list order, that begins
// with the text letter case aside, its first letter upper-cased the typed one's.
std::optional<QString> CompletaRecorriendo(const ModeloListaItems& modelo, const QString& escrito)
{
    if (escrito.isEmpty())
        return std::nullopt;
    for (const FilaLista& fila : modelo.Filas())
        if (!fila.ingles.isEmpty() && fila.ingles.at(0).toUpper() == escrito.at(0).toUpper() &&
            fila.ingles.startsWith(escrito, Qt::CaseInsensitive))
            return fila.ingles;
    return std::nullopt;
}

// The completion of every beginning of every row's text, by the model and by the plain walk.
void CompruebaIndice(const ModeloListaItems& modelo)
{
    for (const FilaLista& fila : modelo.Filas())
        for (qsizetype n = 1; n <= fila.ingles.size(); ++n)
            QCOMPARE(modelo.Indice().Completa(fila.ingles.left(n)),
                     CompletaRecorriendo(modelo, fila.ingles.left(n)));
}

// Texts of letters with and without accents, both cases, blanks, apostrophes, a decomposed ñ
// and accents written apart, sorted and unique as the list keeps them.
std::vector<FilaLista> FilasAlAzar(QRandomGenerator& azar, int cuantas)
{
    const QStringList piezas{"a", "e", "i", "n", "o",       "r",       "s",     "u",
                             "A", "N", "S", "á", "é",       "ñ",       "Ñ",     "ü",
                             "ß", " ", "'", "-", "n\u0303", "e\u0301", "\u0301"};
    std::vector<FilaLista> filas;
    for (int i = 0; i < cuantas; ++i) {
        QString texto;
        for (int largo = azar.bounded(1, 9); largo > 0; --largo)
            texto += piezas[azar.bounded(int(piezas.size()))];
        filas.push_back({texto, QString()});
    }
    const auto antes = [](const FilaLista& a, const FilaLista& b) {
        return ComparaTextos(a.ingles, b.ingles) < 0;
    };
    std::sort(filas.begin(), filas.end(), antes);
    filas.erase(std::unique(filas.begin(), filas.end(),
                            [](const FilaLista& a, const FilaLista& b) {
                                return ComparaTextos(a.ingles, b.ingles) == 0;
                            }),
                filas.end());
    return filas;
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
    void completarRapidoEsCompletarRecorriendo();

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

// 10,000 beginnings of random texts, some with a letter's case or accent changed or one more
// letter: the search in place gives what walking the whole list gives.
void PruebaModelos::completarRapidoEsCompletarRecorriendo()
{
    QRandomGenerator azar(20261209);
    ModeloListaItems modelo;
    modelo.CambiaFilas(FilasLista(FilasAlAzar(azar, 4000)));
    const QStringList cambios{"A", "á", "ñ", "n", "e", "E", "\u0303", " "};
    int completados = 0;
    for (int vez = 0; vez < 10000; ++vez) {
        const QString& texto =
            modelo.Filas()[size_t(azar.bounded(int(modelo.Filas().size())))].ingles;
        QString escrito = texto.left(azar.bounded(1, int(texto.size()) + 1));
        switch (azar.bounded(4)) {
        case 1:
            escrito[azar.bounded(int(escrito.size()))] = cambios[azar.bounded(3)].at(0);
            break;
        case 2:
            escrito += cambios[azar.bounded(int(cambios.size()))];
            break;
        case 3:
            escrito = escrito.toUpper();
            break;
        }
        const auto esperado = CompletaRecorriendo(modelo, escrito);
        QCOMPARE(modelo.Indice().Completa(escrito), esperado);
        completados += esperado.has_value();
    }
    QVERIFY(completados > 5000); // most beginnings do complete
}

QTEST_MAIN(PruebaModelos)
#include "tst_modelos.moc"
