// The talvex-datos tool never writes into a file that is not sound down to its indexes.
#include "apoyo/BasesPrueba.h"
#include "apoyo/EntornoPrueba.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class PruebaDatosTalvex : public QObject {
    Q_OBJECT
private slots:
    void noImportaEnUnaBaseConUnIndiceDanado();
};

// SQLite's quick check finds such a file sound; the import refuses it, writes nothing, says
// why in Spanish and ends with status 1.
void PruebaDatosTalvex::noImportaEnUnaBaseConUnIndiceDanado()
{
    QTemporaryDir carpeta;
    const QString base = carpeta.filePath("TALVEXV20.MDB");
    const QString csv = carpeta.filePath("nuevas.csv");
    CreaBase(base, 30, "herramienta");
    QVERIFY(DanaIndiceItems(base, {"zebra", "cebra", SinCategoria, ""}));
    QFile archivo(csv);
    QVERIFY(archivo.open(QIODevice::WriteOnly) && archivo.write("lion,león\n") > 0);
    archivo.close();
    const QByteArray antes = LeeArchivo(base);

    QProcess proceso;
    proceso.start(QStringLiteral(TALVEX_DIR_BINARIOS "/talvex-datos"),
                  {"importa", csv, "--base", base});
    QVERIFY(proceso.waitForFinished(60000));
    QCOMPARE(proceso.exitCode(), 1);
    const QString error = QString::fromUtf8(proceso.readAllStandardError());
    QVERIFY2(error.contains(QRegularExpression("^Error 3049: El archivo 'TALVEXV20.MDB' no es una "
                                               "base de datos de TALVEX válida: está dañado "
                                               "\\(falta la fila \\d+ en el índice ITEMSLISTA")),
             qPrintable(error));
    QCOMPARE(LeeArchivo(base), antes);
}

QTEST_GUILESS_MAIN(PruebaDatosTalvex)
#include "tst_datostalvex.moc"
