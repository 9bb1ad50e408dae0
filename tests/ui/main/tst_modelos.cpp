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
    void lasFilasCompactasGuardanCadaTexto();
    void unaListaGrandeGuardaCadaTexto();
    void unionesEnUtf8ComoEnElTexto();

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
        const QString texto =
            modelo.Filas().Ingles(size_t(azar.bounded(int(modelo.Filas().size()))));
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

// Random changes to the compact rows and to a plain vector of rows: always the same texts
// (and the same note of which English texts hold joining characters),
// whatever the characters (accents, other scripts, emoji, bytes that are not UTF-8 from the
// store) and however long (a row larger than a block).
void PruebaModelos::lasFilasCompactasGuardanCadaTexto()
{
    QRandomGenerator azar(9122026);
    const QStringList piezas{"a", "Z", " ", "á", "ñ", "ü", "ß", "ж", "中", "😀", "e\u0301", ""};
    const auto texto = [&] {
        QString t;
        for (int largo = azar.bounded(0, 12); largo > 0; --largo)
            t += piezas[azar.bounded(int(piezas.size()))];
        return azar.bounded(200) == 0 ? t.repeated(100000) : t;
    };
    FilasLista filas;
    std::vector<FilaLista> esperadas;
    for (int vez = 0; vez < 3000; ++vez) {
        const FilaLista nueva{texto(), texto()};
        const size_t donde = esperadas.empty() ? 0 : size_t(azar.bounded(int(esperadas.size())));
        switch (esperadas.empty() ? 0 : azar.bounded(7)) {
        case 0:
            filas.push_back(nueva);
            esperadas.push_back(nueva);
            break;
        case 1: {
            // As the store gives it; a stray byte is read as Qt reads it.
            QByteArray ingles = nueva.ingles.toUtf8();
            if (azar.bounded(5) == 0)
                ingles.insert(azar.bounded(int(ingles.size()) + 1), char(0xE2));
            filas.AgregaUtf8(ingles, nueva.espanol.toUtf8());
            esperadas.push_back({QString::fromUtf8(ingles), nueva.espanol});
            break;
        }
        case 2:
            filas.Inserta(donde, nueva);
            esperadas.insert(esperadas.begin() + qsizetype(donde), nueva);
            break;
        case 3:
            filas.Quita(donde);
            esperadas.erase(esperadas.begin() + qsizetype(donde));
            break;
        case 4:
            filas.Cambia(donde, nueva);
            esperadas[donde] = nueva;
            break;
        case 5:
            filas.CambiaEspanol(donde, nueva.espanol);
            esperadas[donde].espanol = nueva.espanol;
            break;
        case 6: {
            const size_t hasta = size_t(azar.bounded(int(esperadas.size())));
            filas.Mueve(donde, hasta);
            const FilaLista movida = esperadas[donde];
            esperadas.erase(esperadas.begin() + qsizetype(donde));
            esperadas.insert(esperadas.begin() + qsizetype(hasta), movida);
            break;
        }
        }
    }
    const auto antes = [](const QString& a, const QString& b) { return a < b; };
    const auto porIngles = [&](const FilaLista& a, const FilaLista& b) {
        return antes(a.ingles, b.ingles);
    };
    std::vector<FilaLista> ordenadas = esperadas, nuevas;
    std::stable_sort(ordenadas.begin(), ordenadas.end(), porIngles);
    for (int i = 0; i < 500; ++i)
        nuevas.push_back({texto(), texto()});
    std::stable_sort(nuevas.begin(), nuevas.end(), porIngles);
    FilasLista mezcladas(ordenadas);
    mezcladas.Mezcla(nuevas, antes);
    std::vector<FilaLista> todas;
    std::merge(ordenadas.begin(), ordenadas.end(), nuevas.begin(), nuevas.end(),
               std::back_inserter(todas), porIngles);

    for (const auto& [compactas, vector] : {std::pair{&filas, &esperadas}, {&mezcladas, &todas}}) {
        QCOMPARE(compactas->size(), vector->size());
        size_t conUniones = 0;
        for (size_t i = 0; i < vector->size(); ++i) {
            QCOMPARE(compactas->Ingles(i), (*vector)[i].ingles);
            QCOMPARE(compactas->Espanol(i), (*vector)[i].espanol);
            QCOMPARE(compactas->InglesTieneUniones(i), TieneUniones((*vector)[i].ingles));
            conUniones += compactas->InglesTieneUniones(i);
        }
        QCOMPARE(compactas->ConUniones(), conUniones);
        QVERIFY(conUniones > 0);
    }
}

// A list as large as start-up reads: its rows and texts fill several large pages, one row
// is larger than a large page, and the row array grows past one. Every text reads back after
// a merge, rows added, moved and removed, and the whole list moved to another object.
void PruebaModelos::unaListaGrandeGuardaCadaTexto()
{
    const QString enorme = QStringLiteral("é").repeated(3 << 20); // 6 MB as UTF-8
    const auto fila = [&](int i, const QString& aparte) {
        return FilaLista{QStringLiteral("palabra %1").arg(i, 6, 10, QLatin1Char('0')),
                         i == 70000 ? enorme : aparte + QString::number(i)};
    };
    FilasLista filas;
    std::vector<FilaLista> esperadas, nuevas;
    for (int i = 0; i < 150000; ++i) {
        esperadas.push_back(fila(i, QStringLiteral("número ")));
        filas.AgregaUtf8(esperadas.back().ingles.toUtf8(), esperadas.back().espanol.toUtf8());
        if (i % 1000 == 0)
            nuevas.push_back(fila(i, QStringLiteral("nueva ")));
    }
    const auto antes = [](const QString& a, const QString& b) { return a < b; };
    filas.Mezcla(nuevas, antes);
    std::vector<FilaLista> todas;
    std::merge(esperadas.begin(), esperadas.end(), nuevas.begin(), nuevas.end(),
               std::back_inserter(todas),
               [&](const FilaLista& a, const FilaLista& b) { return antes(a.ingles, b.ingles); });
    filas.Inserta(0, {enorme, enorme});
    todas.insert(todas.begin(), {enorme, enorme});
    filas.Mueve(3, 140000);
    std::rotate(todas.begin() + 3, todas.begin() + 4, todas.begin() + 140001);
    filas.Quita(100000);
    todas.erase(todas.begin() + 100000);
    filas.CambiaEspanol(7, enorme);
    todas[7].espanol = enorme;

    const FilasLista movidas = std::move(filas);
    QCOMPARE(movidas.size(), todas.size());
    for (size_t i = 0; i < todas.size(); ++i) {
        QCOMPARE(movidas.Ingles(i), todas[i].ingles);
        QCOMPARE(movidas.Espanol(i), todas[i].espanol);
    }
}

// Whether a text holds a joining character, read from its UTF-8 bytes, is what the text
// itself says, for well-formed and broken bytes alike.
void PruebaModelos::unionesEnUtf8ComoEnElTexto()
{
    QRandomGenerator azar(1209);
    const QList<QByteArray> piezas{"a",
                                   "n",
                                   "\xC3\xB1",
                                   "\xCC\x83",
                                   "\xE4\xB8\xAD",
                                   "\xF0\x9F\x98\x80",
                                   "\xED\xA0\x80",
                                   "\xC0\xAF",
                                   "\xF4\x90\x80\x80",
                                   "\xC3",
                                   "\x80",
                                   "\xE2\x82",
                                   "\xE0\x80\x80",
                                   "\xCD\x8F",
                                   " "};
    int conUniones = 0;
    for (int vez = 0; vez < 20000; ++vez) {
        QByteArray bytes;
        for (int largo = azar.bounded(0, 6); largo > 0; --largo)
            bytes += piezas[azar.bounded(int(piezas.size()))];
        const bool esperado = TieneUniones(QString::fromUtf8(bytes));
        QCOMPARE(TieneUniones(QByteArrayView(bytes)), esperado);
        conUniones += esperado;
    }
    QVERIFY(conUniones > 1000 && conUniones < 19000);

    // One character that is not ASCII (joining or not, whole or broken) at every place of an
    // ASCII text of every length up to 20: wherever the bytes are read several at a time.
    for (const QByteArray& pieza : {QByteArray("\xCC\x83"), QByteArray("\xC3\xB1"),
                                    QByteArray("\xE2\x80\x8D"), QByteArray("\x80")})
        for (int largo = 0; largo <= 20; ++largo)
            for (int lugar = 0; lugar <= largo; ++lugar) {
                QByteArray bytes(largo, 'a');
                bytes.insert(lugar, pieza);
                QCOMPARE(TieneUniones(QByteArrayView(bytes)),
                         TieneUniones(QString::fromUtf8(bytes)));
            }
}

QTEST_MAIN(PruebaModelos)
#include "tst_modelos.moc"
