// The store operations of the vocabulary database on real files.
#include "ApoyoDatos.h"
#include "data/BaseVocabulario.h"
#include "data/Cotejo.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace NumeroError;

Q_DECLARE_METATYPE(Item)

class PruebaBaseVocabulario : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    QString ruta_;
    int archivos_ = 0;
    BaseVocabulario base_;

    void AgregaItems(const QStringList& ingleses, const QString& tema = SinCategoria)
    {
        for (const QString& ingles : ingleses)
            base_.AgregaItem({ingles, QStringLiteral("esp ") + ingles, tema, QString()});
    }

private slots:
    void init()
    {
        ruta_ = carpeta_.filePath(
            QStringLiteral("%1-%2.MDB").arg(QTest::currentTestFunction()).arg(++archivos_));
        BaseVocabulario::CreaVacia(ruta_);
        base_.Abre(ruta_);
    }
    void cleanup() { base_.Cierra(); }

    void cotejoIgualaMayusculasYDistingueAcentos()
    {
        QCOMPARE(CalculaClaveOrden("house"), CalculaClaveOrden("HOUSE"));
        QCOMPARE(CalculaClaveOrden(QStringLiteral("canción")),
                 CalculaClaveOrden(QStringLiteral("CANCIÓN")));
        // The same letter typed composed or as letter + combining accent.
        QCOMPARE(CalculaClaveOrden(QStringLiteral("canción")),
                 CalculaClaveOrden(QStringLiteral("cancio\u0301n")));
        QVERIFY(CalculaClaveOrden("a") != CalculaClaveOrden(QStringLiteral("á")));
        QVERIFY(CalculaClaveOrden("n") != CalculaClaveOrden(QStringLiteral("ñ")));
        QVERIFY(CalculaClaveOrden("Home") < CalculaClaveOrden("house"));
        QVERIFY(!ObtieneVersionCotejo().isEmpty());
    }

    void tablasVacias()
    {
        QVERIFY(base_.EstaAbierta());
        QVERIFY(TemasEnOrden(base_).isEmpty());
        QVERIFY(InglesEnOrden(base_).isEmpty());
        QCOMPARE(base_.CuentaTemas(), 0);
        QVERIFY(!base_.LocalizaTema("verbos"));
        QVERIFY(!base_.LocalizaItem("house"));
        QCOMPARE(base_.CambiaTemaItems("verbos", "otros"), 0);
        QVERIFY_ERROR_TALVEX(base_.ModificaTema("verbos", {"x", ""}), SinRegistroActual);
        QVERIFY_ERROR_TALVEX(base_.EliminaTema("verbos"), SinRegistroActual);
        QVERIFY_ERROR_TALVEX(base_.ModificaItem("house", {"x", "", "", ""}), SinRegistroActual);
        QVERIFY_ERROR_TALVEX(base_.EliminaItem("house"), SinRegistroActual);
    }

    void ordenEspanolSinMayusculas()
    {
        const QStringList esperado = {"arbol",
                                      QStringLiteral("árbol"),
                                      "arbolado",
                                      "Home",
                                      "house",
                                      "nube",
                                      "NUEZ",
                                      "nylon",
                                      QStringLiteral("ñandú"),
                                      QStringLiteral("Ñoño"),
                                      "oso",
                                      "zapato"};
        QStringList revuelto = esperado;
        std::reverse(revuelto.begin(), revuelto.end());
        std::swap(revuelto[2], revuelto[7]);
        AgregaItems(revuelto);
        QCOMPARE(InglesEnOrden(base_), esperado);
        for (const QString& nombre : revuelto)
            base_.AgregaTema({nombre, QString()});
        QCOMPARE(TemasEnOrden(base_), esperado);
        QCOMPARE(base_.CuentaTemas(), int(esperado.size()));
    }

    void busquedasEncuentranVariantesDeMayusculas()
    {
        base_.AgregaItem({"house", "casa", "hogar", "nota"});
        base_.AgregaItem({QStringLiteral("canción"), "song", SinCategoria, ""});
        base_.AgregaTema({"verbos", "notas"});
        const Item casa{"house", "casa", "hogar", "nota"};
        QCOMPARE(base_.LocalizaItem("HOUSE"), std::optional<Item>(casa));
        QCOMPARE(base_.LocalizaItem("House"), std::optional<Item>(casa));
        QCOMPARE(base_.LocalizaItem(QStringLiteral("CANCIÓN"))->ITEMING, QStringLiteral("canción"));
        QVERIFY(!base_.LocalizaItem("cancion"));
        QVERIFY(!base_.LocalizaItem("hous"));
        QCOMPARE(base_.LocalizaTema("VERBOS"), std::optional<Tema>(Tema{"verbos", "notas"}));
    }

    void claveUnicaRechazaDuplicadosSinEscribir()
    {
        base_.AgregaItem({"house", "casa", SinCategoria, ""});
        base_.AgregaItem({"dog", "perro", "animales", "guau"});
        base_.AgregaTema({"verbos", "a"});
        base_.AgregaTema({"nombres", "b"});
        QVERIFY_ERROR_TALVEX(base_.AgregaItem({"HOUSE", "CASA", SinCategoria, ""}), ClaveDuplicada);
        QVERIFY_ERROR_TALVEX(base_.ModificaItem("dog", {"House", "x", "y", "z"}), ClaveDuplicada);
        QVERIFY_ERROR_TALVEX(base_.AgregaTema({"Verbos", ""}), ClaveDuplicada);
        QVERIFY_ERROR_TALVEX(base_.ModificaTema("nombres", {"VERBOS", "c"}), ClaveDuplicada);
        QCOMPARE(InglesEnOrden(base_), QStringList({"dog", "house"}));
        QCOMPARE(base_.LocalizaItem("dog"),
                 std::optional<Item>(Item{"dog", "perro", "animales", "guau"}));
        QCOMPARE(base_.LocalizaItem("house")->ITEMESP, QStringLiteral("casa"));
        QCOMPARE(base_.LocalizaTema("nombres")->NOTASTEMA, QStringLiteral("b"));
        // The same key in another spelling is the same row, not a duplicate.
        base_.ModificaTema("verbos", {"Verbos", "a"});
        base_.ModificaItem("house", {"House", "casa", SinCategoria, ""});
        QCOMPARE(TemasEnOrden(base_), QStringList({"nombres", "Verbos"}));
        QCOMPARE(InglesEnOrden(base_), QStringList({"dog", "House"}));
    }

    void modificaYEliminaEnTablasLlenas()
    {
        AgregaItems({"apple", "banana", "cherry"}, "frutas");
        base_.AgregaTema({"frutas", "dulces"});
        base_.AgregaTema({"verbos", ""});
        base_.ModificaItem("APPLE", {"zucchini", "calabacín", "verduras", "línea 1\r\nlínea 2"});
        QCOMPARE(InglesEnOrden(base_), QStringList({"banana", "cherry", "zucchini"}));
        QVERIFY(!base_.LocalizaItem("apple"));
        QCOMPARE(base_.LocalizaItem("zucchini")->NOTASITEM, QStringLiteral("línea 1\r\nlínea 2"));
        base_.EliminaItem("Banana");
        QCOMPARE(InglesEnOrden(base_), QStringList({"cherry", "zucchini"}));
        base_.ModificaTema("frutas", {"Alimentos", "todo"});
        QCOMPARE(TemasEnOrden(base_), QStringList({"Alimentos", "verbos"}));
        QVERIFY(!base_.LocalizaTema("frutas"));
        // ModificaTema leaves the items to CambiaTemaItems, which the editor calls next.
        QCOMPARE(base_.LocalizaItem("cherry")->NOMBRETEMA, QStringLiteral("frutas"));
        base_.EliminaTema("VERBOS");
        QCOMPARE(base_.CuentaTemas(), 1);
        QVERIFY_ERROR_TALVEX(base_.EliminaTema("verbos"), SinRegistroActual);
        QVERIFY_ERROR_TALVEX(base_.EliminaItem("banana"), SinRegistroActual);
    }

    void cambiaTemaItemsSoloMismaEscritura()
    {
        base_.AgregaItem({"a", "", "verbos", ""});
        base_.AgregaItem({"b", "", "Verbos", ""});
        base_.AgregaItem({"c", "", "VERBOS", ""});
        base_.AgregaItem({"d", "", "verbos ", ""});
        base_.AgregaItem({"e", "", "verbos", ""});
        QCOMPARE(base_.CambiaTemaItems("verbos", "acciones"), 2);
        QStringList temas;
        base_.RecorreItems([&](const Item& item) { temas << item.NOMBRETEMA; });
        QCOMPARE(temas, QStringList({"acciones", "Verbos", "VERBOS", "verbos ", "acciones"}));
        QCOMPARE(base_.CambiaTemaItems("acciones", SinCategoria), 2);
        QCOMPARE(base_.LocalizaItem("e")->NOMBRETEMA, SinCategoria);
    }

    void reglasDeTemasLlevanSusItems()
    {
        base_.AgregaTema({"Verbos", "n"});
        AgregaItems({"run", "walk"}, "Verbos");
        AgregaItems({"jump"}, "verbos"); // another spelling: another topic
        AgregaItems({"eat"}, "Comida");  // named by its item only, with no row of its own
        const auto temaDe = [&](const char* ingles) {
            return base_.LocalizaItem(ingles)->NOMBRETEMA;
        };

        base_.RenombraTema("Verbos", {"Acciones", "notas"});
        QCOMPARE(TemasEnOrden(base_), QStringList({"Acciones"}));
        QCOMPARE(base_.LocalizaTema("Acciones")->NOTASTEMA, QStringLiteral("notas"));
        QCOMPARE(QStringList({temaDe("run"), temaDe("walk"), temaDe("jump")}),
                 QStringList({"Acciones", "Acciones", "verbos"}));
        base_.RenombraTema("Comida", {"Alimentos", ""});
        QCOMPARE(temaDe("eat"), QStringLiteral("Alimentos"));
        QCOMPARE(base_.CuentaTemas(), 1);

        base_.EliminaTemaConservandoItems("Acciones");
        base_.EliminaTemaConservandoItems("Alimentos");
        QCOMPARE(base_.CuentaTemas(), 0);
        QCOMPARE(InglesEnOrden(base_), QStringList({"eat", "jump", "run", "walk"}));
        QCOMPARE(QStringList({temaDe("eat"), temaDe("run"), temaDe("jump")}),
                 QStringList({SinCategoria, SinCategoria, "verbos"}));
    }

    void textosIdaYVueltaExactos_data()
    {
        QTest::addColumn<Item>("item");
        const QString cien = QString(QStringLiteral("ñandú¿")).repeated(17).left(100);
        QTest::newRow("acentos y signos")
            << Item{QStringLiteral("¿Qué tal? ¡Hola!"), QStringLiteral("pingüino ÁÉÍÓÚ ñÑ"),
                    QStringLiteral("Sin categoría"), QStringLiteral("«comillas»")};
        QTest::newRow("comillas") << Item{"don't \"quote\" me", "'; DROP TABLE ITEMS; --",
                                          "O'Brien", "\"\"''"};
        QTest::newRow("emoji") << Item{QStringLiteral("smile 😀"),
                                       QStringLiteral("sonrisa 👍🏽"),
                                       QStringLiteral("caras 🙂"), QStringLiteral("🇪🇸")};
        QTest::newRow("cien caracteres") << Item{cien, cien, cien, cien.repeated(30)};
        QTest::newRow("notas de varias líneas")
            << Item{"lines", "líneas", "t", "uno\r\ndos\r\n\r\ntres\ttab\rCR solo\nLF solo\r\n"};
        QTest::newRow("vacíos y espacios") << Item{" spaced ", "", "", ""};
        QTest::newRow("carácter nulo") << Item{QStringLiteral("nul"), QString(QChar(0)) + "x", "t",
                                               QStringLiteral("a") + QChar(0) + "b"};
    }
    void textosIdaYVueltaExactos()
    {
        QFETCH(Item, item);
        base_.AgregaItem(item);
        base_.AgregaTema({item.NOMBRETEMA, item.NOTASITEM});
        base_.Cierra();
        base_.Abre(ruta_);
        QCOMPARE(base_.LocalizaItem(item.ITEMING), std::optional<Item>(item));
        QCOMPARE(base_.LocalizaTema(item.NOMBRETEMA),
                 std::optional<Tema>(Tema{item.NOMBRETEMA, item.NOTASITEM}));
        QList<Item> recorridos;
        base_.RecorreItems([&](const Item& i) { recorridos << i; });
        QCOMPARE(recorridos, QList<Item>{item});
        // As any SQLite tool sees it: text in UTF-8, byte for byte, and never NULL.
        sqlite3* db = base_.Conexion();
        QCOMPARE(ConsultaDirecta(db, "SELECT ITEMING FROM ITEMS").value(0), item.ITEMING.toUtf8());
        QCOMPARE(ConsultaDirecta(db, "SELECT NOTASITEM FROM ITEMS").value(0),
                 item.NOTASITEM.toUtf8());
        QCOMPARE(ConsultaDirecta(
                     db, "SELECT count(*) FROM ITEMS, TEMAS WHERE typeof(ITEMING) || "
                         "typeof(ITEMESP) || typeof(ITEMS.NOMBRETEMA) || typeof(NOTASITEM) || "
                         "typeof(TEMAS.NOMBRETEMA) || typeof(NOTASTEMA) = "
                         "'texttexttexttexttexttext'")
                     .value(0),
                 QByteArray("1"));
    }

    void enTransaccionDeshaceTodoSiFalla()
    {
        base_.AgregaTema({"verbos", ""});
        base_.AgregaItem({"run", "correr", "verbos", ""});
        const QByteArray antes = HuellaArchivo(ruta_);
        try {
            base_.EnTransaccion([&] {
                base_.ModificaTema("verbos", {"acciones", "x"});
                base_.CambiaTemaItems("verbos", "acciones");
                base_.AgregaItem({"walk", "andar", "acciones", ""});
                base_.EliminaItem("run");
                throw std::runtime_error("a medias");
            });
            QFAIL("EnTransaccion debía relanzar la excepción");
        } catch (const std::runtime_error& error) {
            QCOMPARE(error.what(), "a medias");
        }
        QCOMPARE(HuellaArchivo(ruta_), antes);
        QCOMPARE(TemasEnOrden(base_), QStringList{"verbos"});
        QCOMPARE(base_.LocalizaItem("run"),
                 std::optional<Item>(Item{"run", "correr", "verbos", ""}));
        QVERIFY(!base_.LocalizaItem("walk"));

        // A refused write inside the unit undoes only itself; the rest lands.
        base_.EnTransaccion([&] {
            base_.AgregaItem({"walk", "andar", "verbos", ""});
            QVERIFY_ERROR_TALVEX(base_.AgregaItem({"RUN", "", "", ""}), ClaveDuplicada);
            try {
                base_.EnTransaccion([&] {
                    base_.AgregaItem({"jump", "saltar", "verbos", ""});
                    throw ErrorTalvex(ArgumentoNoValido, "interior");
                });
            } catch (const ErrorTalvex&) {
            }
            base_.ModificaTema("verbos", {"Verbos", "y"});
        });
        QCOMPARE(InglesEnOrden(base_), QStringList({"run", "walk"}));
        QCOMPARE(base_.LocalizaTema("verbos")->NOMBRETEMA, QStringLiteral("Verbos"));
    }

    void anotaLosCambiosMientrasSeSepanSeguros()
    {
        const quint64 inicio = base_.Escrituras();
        base_.AgregaTema({"verbos", ""});
        base_.AgregaItem({"run", "correr", "verbos", ""});
        base_.ModificaItem("RUN", {"run fast", "correr rápido", "verbos", ""});
        base_.CambiaTemaItems("verbos", "acciones");
        base_.GuardaAjuste("clave", "valor"); // not the vocabulary's
        std::optional<CambiosVocabulario> cambios = base_.CambiosDesde(inicio);
        QVERIFY(cambios && cambios->temas);
        QCOMPARE(cambios->items, std::vector<QString>({"run", "RUN", "run fast"}));
        QCOMPARE(cambios->temasDeItems.size(), size_t(1));
        QCOMPARE(cambios->temasDeItems[0],
                 std::pair(QStringLiteral("verbos"), QStringLiteral("acciones")));
        const quint64 ahora = base_.Escrituras();
        cambios = base_.CambiosDesde(ahora);
        QVERIFY(cambios && cambios->items.empty() && !cambios->temas);

        // A unit undone, and another file opened: what changed since is no longer known.
        try {
            base_.EnTransaccion([&] {
                base_.EliminaItem("run fast");
                throw std::runtime_error("a medias");
            });
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!base_.CambiosDesde(ahora));
        const quint64 tras = base_.Escrituras();
        base_.EliminaItem("run fast");
        QCOMPARE(base_.CambiosDesde(tras)->items, std::vector<QString>{"run fast"});
        base_.Abre(ruta_);
        QVERIFY(!base_.CambiosDesde(tras));
        QVERIFY(base_.CambiosDesde(base_.Escrituras()));
    }

    void recorreApartePorTrozosEnOrdenDeClave()
    {
        base_.AgregaTema({"verbos", ""});
        QStringList esperados;
        base_.EnTransaccion([&] {
            for (int n = 4500; n > 0; --n) {
                const QString ingles = QStringLiteral("palabra %1").arg(n);
                base_.AgregaItem({ingles, "x", "verbos", ""});
                esperados << ingles;
            }
        });
        std::sort(esperados.begin(), esperados.end(), [](const QString& a, const QString& b) {
            return CalculaClaveOrden(a) < CalculaClaveOrden(b);
        });
        QStringList temas, items;
        int trozos = 0;
        QVERIFY(RecorreVocabularioAparte(
            ruta_, [&](const Tema& tema) { temas << tema.NOMBRETEMA; },
            [&](const Item& item) { items << item.ITEMING; }, [&] { return ++trozos > 0; }));
        QCOMPARE(temas, QStringList{"verbos"});
        QCOMPARE(items, esperados);
        QVERIFY(trozos > 2); // several pieces, each its own read
        items.clear();
        QVERIFY(!RecorreVocabularioAparte(
            ruta_, [](const Tema&) {}, [&](const Item& item) { items << item.ITEMING; },
            [&] { return items.isEmpty(); }));
        QVERIFY(!items.isEmpty() && items.size() < esperados.size()); // one piece, then stopped
    }

    void objetoCerradoNoLeeNiEscribe()
    {
        BaseVocabulario cerrada;
        for (int vuelta = 0; vuelta < 2; ++vuelta) {
            QVERIFY(!cerrada.EstaAbierta());
            QVERIFY(!cerrada.Conexion());
            int visitas = 0;
            cerrada.RecorreTemas([&](const Tema&) { ++visitas; });
            cerrada.RecorreItems([&](const Item&) { ++visitas; });
            QCOMPARE(visitas, 0);
            QVERIFY_ERROR_TALVEX(cerrada.CuentaTemas(), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.LocalizaTema("a"), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.AgregaTema({"a", ""}), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.ModificaTema("a", {"b", ""}), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.EliminaTema("a"), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.LocalizaItem("a"), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.AgregaItem({"a", "", "", ""}), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.ModificaItem("a", {"b", "", "", ""}), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.EliminaItem("a"), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.CambiaTemaItems("a", "b"), TablaNoAbierta);
            QVERIFY_ERROR_TALVEX(cerrada.EnTransaccion([] {}), TablaNoAbierta);
            if (vuelta == 0) { // the second round sees an object that was open and is closed
                cerrada.Abre(ruta_);
                cerrada.AgregaItem({"a", "", "", ""});
                cerrada.Cierra();
            }
        }
    }

    void recorridoAnidadoYCierreDuranteElRecorrido()
    {
        AgregaItems({"one", "two", "three"});
        int interiores = 0;
        base_.RecorreItems([&](const Item& exterior) {
            QVERIFY(base_.LocalizaItem(exterior.ITEMING));
            interiores += InglesEnOrden(base_).size();
        });
        QCOMPARE(interiores, 9);
        int visitas = 0;
        base_.RecorreItems([&](const Item&) {
            ++visitas;
            base_.Cierra();
        });
        QCOMPARE(visitas, 1);
        QVERIFY(!base_.EstaAbierta());
    }

    // The walk of the item rows reads with a small page cache: afterwards the cache is as large
    // as it was, also when the visitor throws.
    void recorrerFilasDejaLaCacheComoEstaba()
    {
        AgregaItems({"one", "two", "three"});
        sqlite3_exec(base_.Conexion(), "PRAGMA cache_size = -4321", nullptr, nullptr, nullptr);
        QStringList leidos;
        base_.RecorreFilasItems(
            [&](QByteArrayView ingles, QByteArrayView) { leidos << QString::fromUtf8(ingles); });
        QCOMPARE(leidos, (QStringList{"one", "three", "two"}));
        QCOMPARE(ConsultaDirecta(base_.Conexion(), "PRAGMA cache_size").value(0),
                 QByteArray("-4321"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 base_.RecorreFilasItems([](QByteArrayView, QByteArrayView) {
                                     throw std::runtime_error("visita");
                                 }));
        QCOMPARE(ConsultaDirecta(base_.Conexion(), "PRAGMA cache_size").value(0),
                 QByteArray("-4321"));
    }

    void cierreDentroDeEnTransaccionNoGuardaNada()
    {
        base_.AgregaItem({"keep", "", "", ""});
        QVERIFY_ERROR_TALVEX(base_.EnTransaccion([&] {
            base_.AgregaItem({"lost", "", "", ""});
            base_.Cierra();
        }),
                             ErrorBaseDatos);
        base_.Abre(ruta_);
        QCOMPARE(InglesEnOrden(base_), QStringList{"keep"});
    }

    void cambioDeVersionDelCotejoRecalculaClaves()
    {
        AgregaItems({"zapato", "Home", "house", QStringLiteral("árbol"), "arbol",
                     QStringLiteral("ñu"), "nube"});
        for (const QString& nombre : QStringList{"verbos", "Animales", QStringLiteral("ácidos")})
            base_.AgregaTema({nombre, ""});
        const QStringList items = InglesEnOrden(base_);
        const QStringList temas = TemasEnOrden(base_);
        base_.Cierra();
        // As if another ICU had written the keys: a foreign version and keys in byte order.
        EjecutaSqlDirecto(
            ruta_, "UPDATE TALVEXMETA SET VALOR = 'icu/otra/1.0' WHERE CLAVE = 'VERSIONCOTEJO';"
                   "UPDATE ITEMS SET CLAVEITEM = CAST(ITEMING AS BLOB);"
                   "UPDATE TEMAS SET CLAVETEMA = CAST(NOMBRETEMA AS BLOB);");
        base_.Abre(ruta_);
        QCOMPARE(InglesEnOrden(base_), items);
        QCOMPARE(TemasEnOrden(base_), temas);
        QCOMPARE(base_.LocalizaItem("HOME")->ITEMING, QStringLiteral("Home"));
        QCOMPARE(base_.LocalizaTema("VERBOS")->NOMBRETEMA, QStringLiteral("verbos"));
        QVERIFY_ERROR_TALVEX(base_.AgregaItem({"HOUSE", "", "", ""}), ClaveDuplicada);
        QCOMPARE(ConsultaDirecta(base_.Conexion(),
                                 "SELECT VALOR FROM TALVEXMETA WHERE CLAVE = 'VERSIONCOTEJO'"),
                 QList<QByteArray>{ObtieneVersionCotejo().toUtf8()});
    }

    void creaVaciaYCreaBaseReporte()
    {
        // The file made by init(): our marks, the journal kind, and nothing else in it.
        sqlite3* db = base_.Conexion();
        QCOMPARE(ConsultaDirecta(db, "PRAGMA application_id"), QList<QByteArray>{"1413565526"});
        QCOMPARE(ConsultaDirecta(db, "PRAGMA user_version"), QList<QByteArray>{"2"});
        QCOMPARE(ConsultaDirecta(db, "PRAGMA journal_mode"), QList<QByteArray>{"delete"});
        QCOMPARE(ConsultaDirecta(db, "SELECT name FROM sqlite_schema WHERE type = 'index' AND sql "
                                     "IS NOT NULL ORDER BY name"),
                 QList<QByteArray>({"ITEMING", "ITEMSLISTA", "ITEMSTEMA", "NOMBRETEMA",
                                    "REPASOSMOMENTO", "TARJETASITEM", "TARJETASVENCE"}));

        const QByteArray antes = HuellaArchivo(ruta_);
        QVERIFY_ERROR_TALVEX(BaseVocabulario::CreaVacia(ruta_), ArchivoYaExiste);
        QVERIFY_ERROR_TALVEX(CreaBaseReporte(ruta_), ArchivoYaExiste);
        QCOMPARE(HuellaArchivo(ruta_), antes);
        QVERIFY_ERROR_TALVEX(BaseVocabulario::CreaVacia(carpeta_.filePath("no/existe.MDB")),
                             RutaNoEncontrada);

        const QString reporte = carpeta_.filePath("TalvexReport.mdb");
        CreaBaseReporte(reporte);
        EjecutaSqlDirecto(reporte, "INSERT INTO INFORME1 VALUES('A', 'B', 'C')");
        sqlite3* informe = nullptr;
        sqlite3_open_v2(QFile::encodeName(reporte).constData(), &informe, SQLITE_OPEN_READONLY,
                        nullptr);
        QCOMPARE(ConsultaDirecta(informe, "PRAGMA application_id"),
                 QList<QByteArray>{"1413565522"});
        QCOMPARE(ConsultaDirecta(informe, "SELECT CAMPO1 || CAMPO2 || CAMPO3 FROM INFORME1"),
                 QList<QByteArray>{"ABC"});
        sqlite3_close(informe);
        // A report file is not a vocabulary database.
        BaseVocabulario otra;
        QVERIFY_ERROR_TALVEX(otra.Abre(reporte), BaseNoValida);
    }
};

QTEST_GUILESS_MAIN(PruebaBaseVocabulario)
#include "tst_basevocabulario.moc"
