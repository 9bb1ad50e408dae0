// The search engine over a small fixed vocabulary: what comes first, where it matched, and
// what is marked in the piece of text shown.
#include "busqueda/Busqueda.h"

#include <QTemporaryDir>
#include <QtTest>

using Busqueda::Hallazgo;
using Busqueda::Lugar;

Q_DECLARE_METATYPE(Busqueda::Lugar)

class PruebaBusqueda : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    BaseVocabulario base_;
    Busqueda::Indice indice_;

    static QString Marcado(const Hallazgo& h) { return h.fragmento.mid(h.inicio, h.largo); }
    static QString Nombre(const Hallazgo& h) { return h.esTema ? h.tema : h.ingles; }
    QStringList Nombres(const QString& consulta, int cuantos)
    {
        QStringList nombres;
        for (const Hallazgo& h : indice_.Busca(consulta))
            if (nombres.size() < cuantos)
                nombres << Nombre(h);
        return nombres;
    }

private slots:
    void initTestCase()
    {
        const QString ruta = carpeta_.filePath(QStringLiteral("busqueda.MDB"));
        BaseVocabulario::CreaVacia(ruta);
        base_.Abre(ruta);
        for (const char* tema : {"Música", "Comida y bebida", "Animales"})
            base_.AgregaTema({QString::fromUtf8(tema), QString()});
        const QList<Item> items = {
            {"song", "canción", "Música", "Una canción popular.\r\nSe canta en fiestas."},
            {"singing", "cancion", "Música", ""},
            {"songbird", "pájaro cantor", "Animales", "Not a song."},
            {"child", "niño", SinCategoria, "Un niño pequeño."},
            {"Straße", "calle", SinCategoria, ""},
            {"apple pie", "tarta de manzana", "Comida y bebida",
             "Postre típico de Estados Unidos.\r\nSe sirve con helado de vainilla."},
            {"don't", "no (auxiliar)", SinCategoria, "Contracción de do not."},
            {"dog", "perro", "Animales", "El mejor amigo del hombre."},
            {"cat", "gato", "Animales", "Le gusta la leche; 100% independiente_ y *curioso*."},
            {"butterfly", "mariposa", "Animales", ""},
            {QStringLiteral("İstanbul ﬃ cafe\u0301 😀 ΐ"), "ÁRBOL Σ", SinCategoria,
             QStringLiteral("Ωmega\r\nláser x\u0301y")},
        };
        for (const Item& item : items)
            base_.AgregaItem(item);
        indice_.Construye(base_);
    }

    void pliegaQuitaMayusculasYAcentos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("plegado");
        QTest::newRow("acento") << "Canción"
                                << "cancion";
        QTest::newRow("eñe") << "NIÑO"
                             << "nino";
        QTest::newRow("diéresis") << "Ärger"
                                  << "arger";
        QTest::newRow("eszett") << "Straße"
                                << "strasse";
        QTest::newRow("descompuesto") << QStringLiteral("cafe\u0301") << "cafe";
        QTest::newRow("emoji") << "a😀B"
                               << "a😀b";
    }
    void pliegaQuitaMayusculasYAcentos()
    {
        QFETCH(QString, texto);
        QFETCH(QString, plegado);
        QCOMPARE(Busqueda::Pliega(texto), plegado);
    }

    void primerResultado_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("nombre"); // English, or the topic's name
        QTest::addColumn<bool>("esTema");
        QTest::addColumn<Lugar>("lugar");
        QTest::addColumn<bool>("cercano");
        QTest::addColumn<QString>("marcado");
        // clang-format off
        QTest::newRow("inglés igual") << "song" << "song" << false << Lugar::Ingles << false << "song";
        QTest::newRow("mayúsculas") << "DOG" << "dog" << false << Lugar::Ingles << false << "dog";
        QTest::newRow("español") << "perro" << "dog" << false << Lugar::Espanol << false << "perro";
        QTest::newRow("sin eñe") << "nino" << "child" << false << Lugar::Espanol << false << "niño";
        QTest::newRow("con eñe") << "NIÑO" << "child" << false << Lugar::Espanol << false << "niño";
        QTest::newRow("eszett") << "stras" << "Straße" << false << Lugar::Ingles << false << "Straß";
        QTest::newRow("principio") << "gat" << "cat" << false << Lugar::Espanol << false << "gat";
        QTest::newRow("palabra dentro") << "manz" << "apple pie" << false << Lugar::Espanol << false << "manz";
        QTest::newRow("apóstrofo") << "don't" << "don't" << false << Lugar::Ingles << false << "don't";
        QTest::newRow("tema") << "musica" << "Música" << true << Lugar::Tema << false << "Música";
        QTest::newRow("palabra de tema") << "bebida" << "Comida y bebida" << true << Lugar::Tema << false << "bebida";
        QTest::newRow("notas") << "tipico" << "apple pie" << false << Lugar::Notas << false << "típico";
        QTest::newRow("notas dentro") << "endiente" << "cat" << false << Lugar::Notas << false << "endiente";
        QTest::newRow("ligadura") << "ffi" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Ingles << false << "ﬃ";
        QTest::newRow("acento aparte") << "cafe" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Ingles << false << "cafe\u0301";
        QTest::newRow("mayúscula con acento") << "arbol" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Espanol << false << "ÁRBOL";
        QTest::newRow("notas con acento") << "laser" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Notas << false << "láser";
        QTest::newRow("varias") << "pie apple" << "apple pie" << false << Lugar::Ingles << false << "pie";
        QTest::newRow("varias y notas") << "tarta vainilla" << "apple pie" << false << Lugar::Espanol << false << "tarta";
        QTest::newRow("porcentaje") << "100%" << "cat" << false << Lugar::Notas << false << "100%";
        QTest::newRow("subrayado") << "independiente_" << "cat" << false << Lugar::Notas << false << "independiente_";
        QTest::newRow("asterisco") << "*curioso*" << "cat" << false << Lugar::Notas << false << "*curioso*";
        QTest::newRow("letra cambiada") << "butterfky" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("letra de menos") << "buterfly" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("letra de más") << "butterrfly" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("letras cambiadas") << "butetrfly" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("dos errores") << "buttrfli" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("corta") << "perto" << "dog" << false << Lugar::Espanol << true << "perro";
        QTest::newRow("tres letras") << "dgo" << "dog" << false << Lugar::Ingles << true << "dog";
        QTest::newRow("tema cercano") << "bebidda" << "Comida y bebida" << true << Lugar::Tema << true << "bebida";
        QTest::newRow("varias con apóstrofo") << "no don't" << "don't" << false << Lugar::Espanol << false << "no";
        QTest::newRow("con acento") << "cancoin" << "singing" << false << Lugar::Espanol << true << "cancion";
        // clang-format on
    }
    void primerResultado()
    {
        QFETCH(QString, consulta);
        const std::vector<Hallazgo> r = indice_.Busca(consulta);
        QVERIFY(!r.empty());
        const Hallazgo& h = r.front();
        QTEST(Nombre(h), "nombre");
        QTEST(h.esTema, "esTema");
        QTEST(h.lugar, "lugar");
        QTEST(h.cercano, "cercano");
        QTEST(Marcado(h), "marcado");
        if (h.cercano)
            QCOMPARE(h.palabra, Marcado(h));
        // The texts come back exactly as stored, however they fold.
        for (const Hallazgo& otro : r) {
            if (otro.esTema)
                continue;
            const std::optional<Item> guardado = base_.LocalizaItem(otro.ingles);
            QVERIFY(guardado && guardado->ITEMING == otro.ingles);
            QCOMPARE(otro.espanol, guardado->ITEMESP);
            QCOMPARE(otro.tema, guardado->NOMBRETEMA);
        }
    }

    void ordenaPorNivel_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QStringList>("primeros");
        // The accents of the query decide first between two equal texts.
        QTest::newRow("con acento") << "canción" << QStringList{"song", "singing"};
        QTest::newRow("sin acento") << "cancion" << QStringList{"singing", "song"};
        QTest::newRow("mayúsculas y acento") << "CANCIÓN" << QStringList{"song", "singing"};
        // Equal, then beginning, then a word, then the notes.
        QTest::newRow("niveles") << "song" << QStringList{"song", "songbird"};
        QTest::newRow("tema antes")
            << "animales" << QStringList{"Animales", "butterfly", "cat", "dog"};
        QTest::newRow("cercanos tras exactos") << "cancoin" << QStringList{"singing", "song"};
    }
    void ordenaPorNivel()
    {
        QFETCH(QString, consulta);
        QFETCH(QStringList, primeros);
        QCOMPARE(Nombres(consulta, static_cast<int>(primeros.size())), primeros);
    }

    void cadaItemUnaVezEnSuMejorSitio()
    {
        const std::vector<Hallazgo> r = indice_.Busca(QStringLiteral("song"));
        QStringList nombres;
        for (const Hallazgo& h : r)
            nombres << Nombre(h);
        QCOMPARE(nombres.count(QStringLiteral("songbird")), 1);
        QCOMPARE(r[1].lugar, Lugar::Ingles); // not its notes "Not a song."
        QCOMPARE(nombres.removeDuplicates(), 0);
    }

    void fragmentoDeNotas()
    {
        const std::vector<Hallazgo> r = indice_.Busca(QStringLiteral("fiestas"));
        QCOMPARE(r.size(), size_t(1));
        QCOMPARE(r[0].fragmento, QStringLiteral("Una canción popular. Se canta en fiestas."));
        QCOMPARE(Marcado(r[0]), QStringLiteral("fiestas"));

        // A long note is cut around the match, with marks at the cut ends.
        const Hallazgo h = indice_.Busca(QStringLiteral("vainilla")).at(0);
        QVERIFY(h.fragmento.startsWith(QChar(0x2026)));
        QVERIFY(h.fragmento.size() <= 62);
        QVERIFY(!h.fragmento.contains(QLatin1Char('\r')) && !h.fragmento.contains('\n'));
        QCOMPARE(Marcado(h), QStringLiteral("vainilla"));
    }

    void sinResultados_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::newRow("vacía") << "";
        QTest::newRow("en blanco") << " \t ";
        QTest::newRow("varias, una falta") << "tarta xyzzy";
        QTest::newRow("dos letras no son cercanas") << "ct";
    }
    void sinResultados()
    {
        QFETCH(QString, consulta);
        QVERIFY(indice_.Busca(consulta).empty());
    }

    void cualquierCaracterEsTexto_data()
    {
        QTest::addColumn<QString>("consulta");
        for (const char* c : {"\"", "'", "%", "_", "*", "\\", "😀", "a*b", "%_%"})
            QTest::newRow(c) << QString::fromUtf8(c);
        QTest::newRow("surrogado solo") << QString(QChar(0xD800));
        QTest::newRow("cero") << QString(QChar(0));
        QTest::newRow("larga") << QString(5000, QLatin1Char('a'));
    }
    void cualquierCaracterEsTexto()
    {
        QFETCH(QString, consulta);
        for (const Hallazgo& h : indice_.Busca(consulta)) {
            QVERIFY(h.inicio >= 0 && h.largo >= 0);
            QVERIFY(h.inicio + h.largo <= h.fragmento.size());
        }
    }

    void unaLetraSoloPrincipios()
    {
        const std::vector<Hallazgo> r = indice_.Busca(QStringLiteral("d"));
        QVERIFY(!r.empty());
        QCOMPARE(Nombre(r[0]), QStringLiteral("dog"));
        for (const Hallazgo& h : r)
            QVERIFY(!h.cercano);
        QCOMPARE(indice_.Busca(QStringLiteral("d"), 1).size(), size_t(1));
    }

    void alDiaHastaLaSiguienteEscritura()
    {
        Busqueda::Indice indice;
        QVERIFY(!indice.AlDia(base_));
        QVERIFY(indice.Busca(QStringLiteral("dog")).empty());
        BaseVocabulario cerrada; // nothing to read: an empty index, not a failure
        indice.Construye(cerrada);
        QVERIFY(indice.AlDia(cerrada) && !indice.AlDia(base_));
        QVERIFY(indice.Busca(QStringLiteral("dog")).empty());
        indice.Construye(base_);
        QVERIFY(indice.AlDia(base_));
        base_.AgregaItem({"horse", "caballo", "Animales", ""});
        QVERIFY(!indice.AlDia(base_));
        QVERIFY(indice.Busca(QStringLiteral("caballo")).empty());
        indice.Construye(base_);
        QVERIFY(indice.AlDia(base_));
        const std::vector<Hallazgo> r = indice.Busca(QStringLiteral("caballo"));
        QVERIFY(!r.empty());
        QCOMPARE(r[0].ingles, QStringLiteral("horse"));
        base_.EliminaItem(QStringLiteral("horse"));
    }
};

QTEST_GUILESS_MAIN(PruebaBusqueda)
#include "tst_busqueda.moc"
