// Opening a vocabulary file: a missing file is never created, and a file that is not a sound
// vocabulary database is refused and left byte for byte as it was.
#include "ApoyoDatos.h"
#include "apoyo/BasesPrueba.h"
#include "data/BaseVocabulario.h"
#include "data/LlamadasSistema.h"
#include "data/Sqlite.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <thread>

using namespace NumeroError;

class PruebaAperturaBase : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;

    QString Ruta(const QString& nombre) const { return carpeta_.filePath(nombre); }

    // A real vocabulary file with enough rows to fill several pages.
    QString CreaBaseLlena(const QString& nombre) const
    {
        const QString ruta = Ruta(nombre);
        BaseVocabulario::CreaVacia(ruta);
        BaseVocabulario base;
        base.Abre(ruta);
        base.EnTransaccion([&] {
            for (int i = 0; i < 300; ++i)
                base.AgregaItem({QStringLiteral("word %1").arg(i),
                                 QStringLiteral("palabra %1").arg(i), SinCategoria,
                                 QString(QStringLiteral("nota ñ ")).repeated(i % 20)});
            base.AgregaTema({"verbos", "notas"});
        });
        return ruta;
    }

    // A file as the first format left it: the vocabulary without practice's tables.
    QString CreaBaseFormato1(const QString& nombre) const
    {
        const QString ruta = CreaBaseLlena(nombre);
        EjecutaSqlDirecto(ruta, "DROP TRIGGER ITEMSBORRADOS; DROP TABLE TARJETAS; "
                                "DROP TABLE REPASOS; PRAGMA user_version = 1");
        return ruta;
    }

    static void EscribeArchivo(const QString& ruta, const QByteArray& contenido,
                               qint64 posicion = 0, bool recorta = false)
    {
        QFile archivo(ruta);
        QVERIFY(archivo.open(QIODevice::ReadWrite));
        QVERIFY(archivo.seek(posicion));
        archivo.write(contenido);
        if (recorta)
            QVERIFY(archivo.resize(posicion + contenido.size()));
    }

private slots:
    void archivoAusenteNoSeCrea()
    {
        const QString ruta = Ruta("TALVEXV20.MDB");
        BaseVocabulario base;
        QVERIFY_ERROR_TALVEX(base.Abre(ruta), ArchivoNoEncontrado);
        QVERIFY(!QFile::exists(ruta));
        QVERIFY(!QFile::exists(ruta + "-journal"));
        QVERIFY(!base.EstaAbierta());
        QVERIFY_ERROR_TALVEX(base.Abre(carpeta_.path()), BaseNoValida);
    }

    void archivosNoValidos_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<QString>("motivo"); // a pattern of the description

        const QString vacio = Ruta("vacio.MDB");
        EscribeArchivo(vacio, {});
        QTest::newRow("vacío") << vacio << QStringLiteral("vacío");

        const QString texto = Ruta("texto.MDB");
        EscribeArchivo(
            texto,
            QStringLiteral("Lista de palabras: casa, perro, árbol…\r\n").repeated(200).toUtf8());
        QTest::newRow("texto") << texto << QStringLiteral("no es una base de datos");

        const QString otroEsquema = Ruta("otro.MDB");
        EscribeArchivo(otroEsquema, {});
        EjecutaSqlDirecto(otroEsquema,
                          "CREATE TABLE CLIENTES(NOMBRE TEXT); INSERT INTO CLIENTES VALUES('Ana')");
        QTest::newRow("otro esquema") << otroEsquema << QStringLiteral("no de TALVEX");

        const QString ajeno = CreaBaseLlena("ajeno.MDB");
        EjecutaSqlDirecto(ajeno, "PRAGMA application_id = 305419896");
        QTest::newRow("identificador ajeno")
            << ajeno << QStringLiteral("otro programa \\(identificador 0x12345678\\)");

        const QString futuro = CreaBaseLlena("futuro.MDB");
        EjecutaSqlDirecto(futuro, "PRAGMA user_version = 3");
        QTest::newRow("formato futuro")
            << futuro << QStringLiteral("versión más reciente de TALVEX \\(formato número 3");

        const QString sinTabla = CreaBaseLlena("sintabla.MDB");
        EjecutaSqlDirecto(sinTabla, "DROP TABLE ITEMS");
        QTest::newRow("sin tabla") << sinTabla << QStringLiteral("falta la tabla ITEMS");

        const QString sinCampo = CreaBaseLlena("sincampo.MDB");
        EjecutaSqlDirecto(sinCampo, "ALTER TABLE TEMAS DROP COLUMN NOTASTEMA");
        QTest::newRow("sin campo") << sinCampo << QStringLiteral("le falta el campo NOTASTEMA");

        const QString sinUnico = CreaBaseLlena("sinunico.MDB");
        EjecutaSqlDirecto(sinUnico, "DROP INDEX ITEMING; CREATE INDEX ITEMING ON ITEMS(CLAVEITEM)");
        QTest::newRow("índice no único") << sinUnico << QStringLiteral("índice único ITEMING");

        const QString truncado = CreaBaseLlena("truncado.MDB");
        const qint64 tamano = QFileInfo(truncado).size();
        QVERIFY(tamano > 8 * 4096);
        QVERIFY(QFile::resize(truncado, tamano / 2));
        QTest::newRow("copia truncada") << truncado << QStringLiteral("dañad|incompleto");

        // A page of the item table overwritten: only SQLite's page check can see it.
        const QString danado = CreaBaseLlena("danado.MDB");
        EscribeArchivo(danado, QByteArray(100, '\xff'), 2 * 4096);
        QTest::newRow("página dañada")
            << danado << QStringLiteral("está dañado \\(en la página \\d+\\)");

        // A file of the first format is brought to the second only once found sound.
        const QString antiguaDanada = CreaBaseFormato1("antiguadanada.MDB");
        EscribeArchivo(antiguaDanada, QByteArray(100, '\xff'), 2 * 4096);
        QTest::newRow("formato 1 dañado")
            << antiguaDanada << QStringLiteral("está dañado \\(en la página \\d+\\)");
    }

    // Opening a file of the first format adds practice's tables in one transaction, whichever
    // way it is opened; its rows are left as they were.
    void elFormato1SeActualizaAlAbrirlo_data()
    {
        QTest::addColumn<bool>("aparte");
        QTest::newRow("comprobación en la apertura") << false;
        QTest::newRow("comprobación aparte") << true;
    }
    void elFormato1SeActualizaAlAbrirlo()
    {
        QFETCH(bool, aparte);
        const QString ruta = CreaBaseFormato1(QStringLiteral("antigua%1.MDB").arg(aparte));
        const QByteArray filas = HuellaFilas(ruta);
        BaseVocabulario base;
        if (aparte) {
            base.AbreComprobandoAparte(ruta);
            QCOMPARE(base.TerminaComprobacion(), QString());
        } else {
            base.Abre(ruta);
        }
        QCOMPARE(ConsultaDirecta(base.Conexion(), "PRAGMA user_version"), QList<QByteArray>{"2"});
        QCOMPARE(ConsultaDirecta(base.Conexion(), "SELECT count(*) FROM sqlite_schema WHERE name "
                                                  "IN ('TARJETAS', 'REPASOS', 'ITEMSBORRADOS')"),
                 QList<QByteArray>{"3"});
        base.Cierra();
        QCOMPARE(HuellaFilas(ruta), filas);
        ConexionSqlite conexion;
        conexion.Abre(ruta, SQLITE_OPEN_READONLY);
        QCOMPARE(DefectoBaseVocabulario(conexion, ruta, Comprobacion::Completa), QString());
    }

    void archivosNoValidos()
    {
        QFETCH(QString, ruta);
        QFETCH(QString, motivo);
        const QByteArray antes = HuellaArchivo(ruta);
        const QDateTime modificado = QFileInfo(ruta).lastModified();

        // The object was open on a sound file before: a refused file leaves it closed.
        BaseVocabulario base;
        const QString sana = Ruta(QStringLiteral("sana-%1.MDB").arg(QTest::currentDataTag()));
        BaseVocabulario::CreaVacia(sana);
        base.Abre(sana);
        try {
            base.Abre(ruta);
            QFAIL("Abre aceptó un archivo que no es una base de vocabulario");
        } catch (const ErrorTalvex& error) {
            QCOMPARE(error.Numero(), BaseNoValida);
            QVERIFY2(error.Descripcion().contains(QRegularExpression(motivo)),
                     qPrintable(error.Descripcion()));
            QVERIFY2(error.Descripcion().contains(QFileInfo(ruta).fileName()),
                     qPrintable(error.Descripcion()));
            // Said in Spanish, never in the engine's words ("btreeInitPage() returns…").
            QVERIFY2(!error.Descripcion().contains(QRegularExpression("\\(\\)|returns|error code")),
                     qPrintable(error.Descripcion()));
        }
        QCOMPARE(HuellaArchivo(ruta), antes);
        QCOMPARE(QFileInfo(ruta).lastModified(), modificado);
        QVERIFY(!QFile::exists(ruta + "-journal"));
        QVERIFY(!base.EstaAbierta());
        int visitas = 0;
        base.RecorreTemas([&](const Tema&) { ++visitas; });
        base.RecorreItems([&](const Item&) { ++visitas; });
        QCOMPARE(visitas, 0);
        QVERIFY_ERROR_TALVEX(base.CuentaTemas(), TablaNoAbierta);
        QVERIFY_ERROR_TALVEX(base.AgregaItem({"a", "", "", ""}), TablaNoAbierta);
    }

    // A row the index ITEMSLISTA lacks passes SQLite's quick check: only the whole check
    // finds it, says where, and knows that rebuilding the indexes mends it; a broken page
    // is no fault of the indexes.
    void laComprobacionCompletaVeLasFilasQueFaltanEnUnIndice()
    {
        const QString ruta = CreaBaseLlena("indice.MDB");
        QVERIFY(DanaIndiceItems(ruta, {"zebra", "cebra", SinCategoria, ""}));
        const QByteArray antes = HuellaArchivo(ruta);
        BaseVocabulario base;
        base.Abre(ruta);
        base.Cierra();
        QVERIFY_ERROR_TALVEX(base.Abre(ruta, Comprobacion::Completa), BaseNoValida);
        const DefectoPaginas completa = DefectoPaginasAparte(ruta, Comprobacion::Completa);
        QVERIFY2(completa.defecto.contains(QRegularExpression(
                     "^está dañado \\(falta la fila \\d+ en el índice ITEMSLISTA.*\\)\\.$")),
                 qPrintable(completa.defecto));
        QVERIFY(completa.soloIndices);
        QVERIFY(DefectoPaginasAparte(ruta, Comprobacion::Paginas).defecto.isEmpty());
        QCOMPARE(HuellaArchivo(ruta), antes);

        const QString danado = CreaBaseLlena("pagina.MDB");
        EscribeArchivo(danado, QByteArray(100, '\xff'), 2 * 4096);
        QVERIFY(!DefectoPaginasAparte(danado, Comprobacion::Completa).soloIndices);
    }

    void baseSanaSeAbreSinCambiarla()
    {
        const QString ruta = CreaBaseLlena("sana.MDB");
        const QByteArray antes = HuellaArchivo(ruta);
        BaseVocabulario base;
        base.Abre(ruta);
        QCOMPARE(InglesEnOrden(base).size(), 300);
        QCOMPARE(base.LocalizaItem("WORD 7")->ITEMESP, QStringLiteral("palabra 7"));
        QCOMPARE(ConsultaDirecta(base.Conexion(), "PRAGMA synchronous"), QList<QByteArray>{"2"});
        base.Cierra();
        QCOMPARE(HuellaArchivo(ruta), antes);
    }

    // The engine's failures reach the user in Spanish, one description per kind of failure.
    void erroresDelMotorEnEspanol_data()
    {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("texto");
        QTest::newRow("solo lectura") << SQLITE_READONLY << SoloLectura << "solo lectura";
        QTest::newRow("bloqueada") << SQLITE_BUSY << BaseBloqueada << "bloqueada";
        QTest::newRow("tabla bloqueada") << SQLITE_LOCKED << BaseBloqueada << "bloqueada";
        QTest::newRow("disco lleno") << SQLITE_FULL << DiscoLleno << "disco está lleno";
        QTest::newRow("dañada") << SQLITE_CORRUPT << BaseNoValida << "dañada";
        QTest::newRow("no es base") << SQLITE_NOTADB << BaseNoValida << "no es una base";
        QTest::newRow("no se abre") << SQLITE_CANTOPEN << ErrorEntradaSalida << "No se puede abrir";
        QTest::newRow("lectura") << SQLITE_IOERR_READ << ErrorEntradaSalida << "lectura";
        QTest::newRow("permiso") << SQLITE_PERM << PermisoDenegado << "Permiso denegado";
        QTest::newRow("memoria") << SQLITE_NOMEM << ErrorBaseDatos << "memoria";
        QTest::newRow("restricción") << SQLITE_CONSTRAINT_NOTNULL << ErrorBaseDatos << "rechazó";
        QTest::newRow("clave") << SQLITE_CONSTRAINT_UNIQUE << ClaveDuplicada
                               << "misma clave|esa clave";
    }

    void erroresDelMotorEnEspanol()
    {
        QFETCH(int, codigo);
        QFETCH(int, numero);
        QFETCH(QString, texto);
        const ErrorTalvex error = TraduceErrorSqlite(codigo, nullptr);
        QCOMPARE(error.Numero(), numero);
        QVERIFY2(error.Descripcion().contains(QRegularExpression(texto)),
                 qPrintable(error.Descripcion()));
        QVERIFY2(!error.Descripcion().contains(QString::fromUtf8(sqlite3_errstr(codigo))),
                 qPrintable(error.Descripcion()));
        QVERIFY(!error.Descripcion().contains(QStringLiteral("código")));
    }

    void unArchivoQueNoSePuedeAbrirSeDiceEnEspanol()
    {
        ConexionSqlite conexion;
        try {
            conexion.Abre(carpeta_.filePath("falta/TALVEXV20.MDB"), SQLITE_OPEN_READWRITE);
            QFAIL("se abrió un archivo que no existe");
        } catch (const ErrorTalvex& error) {
            QCOMPARE(error.Descripcion(),
                     QStringLiteral("No se puede abrir el archivo de la base de datos."));
        }
    }

    // The check of every page runs aside at a lower priority: the thread that lowers its own
    // priority lowers no other's.
    void laPrioridadBajaSoloEnElHiloQueLaPide()
    {
        const auto prioridad = [] { return ::getpriority(PRIO_PROCESS, id_t(::gettid())); };
        const int antes = prioridad();
        int enElHilo = antes;
        std::thread([&] {
            BajaPrioridadHilo();
            enElHilo = prioridad();
        }).join();
        QVERIFY2(enElHilo >= 10 && enElHilo >= antes, qPrintable(QString::number(enElHilo)));
        QCOMPARE(prioridad(), antes);
    }
};

QTEST_GUILESS_MAIN(PruebaAperturaBase)
#include "tst_aperturabase.moc"
