// The kind of thing a path names, as every check of files reads it: with and without following
// links, and the errno of a path that names nothing.
#include "data/LlamadasSistema.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(ClaseArchivo)

class PruebaLlamadasSistema : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;

    QByteArray Ruta(const char* nombre) const
    {
        return QFile::encodeName(carpeta_.filePath(nombre));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(carpeta_.isValid());
        QFile archivo(carpeta_.filePath("archivo"));
        QVERIFY(archivo.open(QIODevice::WriteOnly) && archivo.write("12345") == 5);
        archivo.close();
        QVERIFY(CreaCarpeta(Ruta("carpeta")));
        QVERIFY(QFile::link(carpeta_.filePath("archivo"), carpeta_.filePath("enlace")));
        QVERIFY(QFile::link(carpeta_.filePath("carpeta"), carpeta_.filePath("enlaceCarpeta")));
        QVERIFY(QFile::link(carpeta_.filePath("nada"), carpeta_.filePath("roto")));
        QVERIFY(::mkfifo(Ruta("tuberia").constData(), 0600) == 0);
    }

    void estado_data()
    {
        QTest::addColumn<QByteArray>("ruta");
        QTest::addColumn<bool>("sigueEnlaces");
        QTest::addColumn<ClaseArchivo>("clase");
        QTest::addColumn<int>("error");
        const auto fila = [&](const char* caso, const QByteArray& ruta, bool sigue,
                              ClaseArchivo clase, int error = 0) {
            QTest::newRow(caso) << ruta << sigue << clase << error;
        };
        fila("archivo", Ruta("archivo"), true, ClaseArchivo::Regular);
        fila("carpeta", Ruta("carpeta"), false, ClaseArchivo::Carpeta);
        fila("enlace seguido", Ruta("enlace"), true, ClaseArchivo::Regular);
        fila("enlace en sí", Ruta("enlace"), false, ClaseArchivo::Enlace);
        fila("enlace a carpeta", Ruta("enlaceCarpeta"), true, ClaseArchivo::Carpeta);
        fila("enlace roto en sí", Ruta("roto"), false, ClaseArchivo::Enlace);
        fila("enlace roto seguido", Ruta("roto"), true, ClaseArchivo::Ninguna, ENOENT);
        fila("tubería", Ruta("tuberia"), true, ClaseArchivo::Tuberia);
        fila("dispositivo", "/dev/null", true, ClaseArchivo::Dispositivo);
        fila("no existe", Ruta("nada"), false, ClaseArchivo::Ninguna, ENOENT);
        fila("archivo como carpeta", Ruta("archivo") + "/x", true, ClaseArchivo::Ninguna, ENOTDIR);
    }

    void estado()
    {
        QFETCH(QByteArray, ruta);
        QFETCH(bool, sigueEnlaces);
        QFETCH(ClaseArchivo, clase);
        QFETCH(int, error);
        const EstadoArchivo estado = Estado(ruta, sigueEnlaces);
        QCOMPARE(estado.clase, clase);
        QCOMPARE(estado.error, error);
        QCOMPARE(estado.Leido(), error == 0);
    }
};

QTEST_GUILESS_MAIN(PruebaLlamadasSistema)
#include "tst_llamadassistema.moc"
