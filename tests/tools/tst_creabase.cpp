// The database tool and the starter vocabulary it loads.
#include "CargaVocabulario.h"
#include "apoyo/EntornoPrueba.h"
#include "data/BaseVocabulario.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Herramienta = QStringLiteral(TALVEX_DIR_BINARIOS "/talvex-creabd");
const QString Vocabulario = QStringLiteral(TALVEX_DIR_FUENTES "/resources/vocabulario");

int Ejecuta(const QStringList& argumentos, QString* error = nullptr)
{
    QProcess proceso;
    proceso.start(Herramienta, argumentos);
    if (!proceso.waitForFinished(60000))
        return -1;
    if (error)
        *error = QString::fromUtf8(proceso.readAllStandardError());
    return proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
}

void Escribe(const QString& ruta, const QByteArray& contenido)
{
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write(contenido);
}
} // namespace

class PruebaCreaBase : public QObject {
    Q_OBJECT
private slots:
    void creaLasBasesYNuncaSobrescribe();
    void elVocabularioInicialEsCompletoYCoherente();
    void unaLineaMalFormadaNoDejaNadaEscrito();
};

void PruebaCreaBase::creaLasBasesYNuncaSobrescribe()
{
    QTemporaryDir carpeta;
    const QString principal = carpeta.filePath("TALVEXV20.MDB");
    const QString reporte = carpeta.filePath("TalvexReport.mdb");
    QCOMPARE(Ejecuta({"--principal", principal, "--reporte", reporte}), 0);

    BaseVocabulario base;
    base.Abre(principal);
    QCOMPARE(base.CuentaTemas(), 0);
    base.Cierra();
    QVERIFY(QFile::exists(reporte));

    const QByteArray antes = LeeArchivo(principal);
    QString error;
    QCOMPARE(Ejecuta({"--principal", principal, "--vocabulario", Vocabulario}, &error), 1);
    QVERIFY(!error.isEmpty());
    QCOMPARE(LeeArchivo(principal), antes);
    QCOMPARE(Ejecuta({"--reporte", reporte}), 1);
    QCOMPARE(Ejecuta({}), 2);
    QCOMPARE(Ejecuta({"--principal"}), 2);
}

void PruebaCreaBase::elVocabularioInicialEsCompletoYCoherente()
{
    QTemporaryDir carpeta;
    const QString principal = carpeta.filePath("TALVEXV20.MDB");
    QCOMPARE(Ejecuta({"--principal", principal, "--vocabulario", Vocabulario}), 0);

    BaseVocabulario base;
    base.Abre(principal);
    QSet<QString> temas;
    base.RecorreTemas([&](const Tema& tema) {
        QVERIFY(!tema.NOTASTEMA.trimmed().isEmpty());
        temas << tema.NOMBRETEMA;
    });
    QVERIFY(temas.size() >= 12);
    QCOMPARE(base.CuentaTemas(), temas.size());

    int items = 0, conNotas = 0;
    QHash<QString, int> porTema;
    base.RecorreItems([&](const Item& item) {
        ++items;
        QVERIFY(!item.ITEMING.isEmpty() && !item.ITEMESP.isEmpty());
        QVERIFY2(temas.contains(item.NOMBRETEMA), qPrintable(item.ITEMING));
        QVERIFY(!item.NOTASITEM.contains(QStringLiteral("\\n")));
        conNotas += !item.NOTASITEM.isEmpty();
        ++porTema[item.NOMBRETEMA];
    });
    QVERIFY(items >= 300);
    QVERIFY(conNotas > items / 5);
    for (const QString& tema : temas)
        QVERIFY2(porTema.value(tema) >= 10, qPrintable(tema));

    // Multi-line notes arrive with real line breaks.
    bool multilinea = false;
    base.RecorreItems([&](const Item& item) { multilinea |= item.NOTASITEM.contains("\r\n"); });
    base.RecorreTemas([&](const Tema& tema) { multilinea |= tema.NOTASTEMA.contains("\r\n"); });
    QVERIFY(multilinea);
}

void PruebaCreaBase::unaLineaMalFormadaNoDejaNadaEscrito()
{
    QTemporaryDir carpeta;
    Escribe(carpeta.filePath("temas.tsv"), "Colores\tLos colores.\nFamilia\t\n");
    Escribe(carpeta.filePath("items.tsv"),
            "red\trojo\tColores\t\nmother\tmadre\tFamilia\tmom en EE. UU.\\nmum en el Reino Unido\n"
            "blue\tazul\n");
    const QString ruta = carpeta.filePath("TALVEXV20.MDB");
    BaseVocabulario::CreaVacia(ruta);
    BaseVocabulario base;
    base.Abre(ruta);
    try {
        CargaVocabulario(base, carpeta.path());
        QFAIL("la línea incompleta debía rechazarse");
    } catch (const ErrorTalvex& error) {
        QVERIFY(error.Descripcion().contains(QStringLiteral("línea 3")));
    }
    QCOMPARE(base.CuentaTemas(), 0);
    QVERIFY(!base.LocalizaItem("red"));

    Escribe(
        carpeta.filePath("items.tsv"),
        "red\trojo\tColores\t\nmother\tmadre\tFamilia\tmom en EE. UU.\\nmum en el Reino Unido\n");
    const ResumenCarga resumen = CargaVocabulario(base, carpeta.path());
    QCOMPARE(resumen.temas, 2);
    QCOMPARE(resumen.items, 2);
    QCOMPARE(base.LocalizaItem("mother")->NOTASITEM,
             QStringLiteral("mom en EE. UU.\r\nmum en el Reino Unido"));
    QCOMPARE(base.LocalizaTema("Familia")->NOTASTEMA, QString());
}

QTEST_MAIN(PruebaCreaBase)
#include "tst_creabase.moc"
