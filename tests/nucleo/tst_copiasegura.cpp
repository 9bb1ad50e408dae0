// The safe copy of the vocabulary database on its own: what it refuses, what it leaves when
// it fails, and that a copy killed at any moment leaves the destination either as it was or
// whole.
#include "apoyo/BasesPrueba.h"
#include "data/BaseVocabulario.h"
#include "data/EsquemaVocabulario.h"
#include "data/Sqlite.h"
#include "nucleo/CopiaSegura.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Auxiliar = QStringLiteral(TALVEX_DIR_BINARIOS "/aux_copiasegura");

QByteArray Bytes(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

void Escribe(const QString& ruta, const QByteArray& bytes)
{
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(archivo.write(bytes), bytes.size());
}

// Files of a folder other than the given ones: leftovers of a copy.
QStringList Sobrantes(const QString& carpeta, const QStringList& esperados)
{
    QStringList sobrantes = QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& nombre : esperados)
        sobrantes.removeAll(nombre);
    return sobrantes;
}

int NumeroDe(const std::function<void()>& copia)
{
    try {
        copia();
    } catch (const ErrorTalvex& error) {
        return error.Numero();
    }
    return 0;
}
} // namespace

class PruebaCopiaSegura : public QObject {
    Q_OBJECT
private slots:
    void init();
    void copiaCompletaQueReemplazaYConservaPermisos();
    void origenNoValidoNoEscribeNada_data();
    void origenNoValidoNoEscribeNada();
    void fallosDelSistemaDeArchivos();
    void limiteDeTamanoEsDiscoLleno();
    void diarioPendienteDelDestinoNoSeAplicaALaCopia();
    void temporalesAbandonadosSeBorranLosEnCursoNo();
    void restauraEnConexionGuardaLaAnterior();
    void copiaMatadaDejaDestinoViejoOEntero();
    void restauracionMatadaDejaTrabajoViejoOEntero();

private:
    std::unique_ptr<QTemporaryDir> carpeta;
    QString Ruta(const QString& nombre) const { return carpeta->filePath(nombre); }
};

void PruebaCopiaSegura::init()
{
    carpeta = std::make_unique<QTemporaryDir>();
    QVERIFY(carpeta->isValid());
}

void PruebaCopiaSegura::copiaCompletaQueReemplazaYConservaPermisos()
{
    const QString origen = Ruta("origen.MDB");
    const QString destino = Ruta("TALVEXV20.MDB");
    CreaBase(origen, 300, "nuevo");
    const QByteArray bytesOrigen = Bytes(origen);

    CopiaBaseSegura(origen, destino);
    QCOMPARE(HuellaFilas(destino), HuellaFilas(origen));
    QVERIFY(!HuellaFilas(destino).isEmpty());
    QCOMPARE(Bytes(origen), bytesOrigen); // the source is only read
    QCOMPARE(Sobrantes(carpeta->path(), {"origen.MDB", "TALVEXV20.MDB"}), QStringList());

    // An existing destination is replaced whole and keeps its permissions.
    CreaBase(Ruta("otro.MDB"), 5, "viejo");
    QFile::remove(destino);
    QVERIFY(QFile::copy(Ruta("otro.MDB"), destino));
    QVERIFY(::chmod(QFile::encodeName(destino).constData(), 0640) == 0);
    CopiaBaseSegura(origen, destino);
    QCOMPARE(HuellaFilas(destino), HuellaFilas(origen));
    struct stat datos;
    QVERIFY(::stat(QFile::encodeName(destino).constData(), &datos) == 0);
    QCOMPARE(datos.st_mode & 07777, mode_t(0640));

    // A link stays a link: the file it points at gets the copy.
    QDir().mkpath(Ruta("real"));
    QVERIFY(QFile::copy(Ruta("otro.MDB"), Ruta("real/TALVEXV20.MDB")));
    QVERIFY(QFile::link(Ruta("real/TALVEXV20.MDB"), Ruta("enlace.MDB")));
    CopiaBaseSegura(origen, Ruta("enlace.MDB"));
    QVERIFY(QFileInfo(Ruta("enlace.MDB")).isSymLink());
    QCOMPARE(HuellaFilas(Ruta("real/TALVEXV20.MDB")), HuellaFilas(origen));
    QCOMPARE(Sobrantes(Ruta("real"), {"TALVEXV20.MDB"}), QStringList());
}

void PruebaCopiaSegura::origenNoValidoNoEscribeNada_data()
{
    QTest::addColumn<QString>("clase");
    QTest::newRow("texto") << "texto";
    QTest::newRow("vacío") << "vacio";
    QTest::newRow("SQLite ajena") << "ajena";
    QTest::newRow("otro programa") << "otroPrograma";
    QTest::newRow("página dañada") << "danada";
    QTest::newRow("truncada") << "truncada";
}

void PruebaCopiaSegura::origenNoValidoNoEscribeNada()
{
    QFETCH(QString, clase);
    const QString origen = Ruta("malo/TALVEXV20.MDB");
    const QString destino = Ruta("TALVEXV20.MDB");
    QDir().mkpath(Ruta("malo"));
    CreaBase(destino, 3, "viejo");
    const QByteArray viejo = Bytes(destino);

    if (clase == "texto") {
        Escribe(origen, "Esto es una lista de la compra, no una base de datos.\n");
    } else if (clase == "vacio") {
        Escribe(origen, {});
    } else if (clase == "ajena" || clase == "otroPrograma") {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(origen).constData(), &db), SQLITE_OK);
        sqlite3_exec(db,
                     clase == "ajena" ? "CREATE TABLE t(x)"
                                      : "PRAGMA application_id=7; CREATE TABLE t(x)",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    } else {
        CreaBase(origen, 400, "roto");
        QByteArray bytes = Bytes(origen);
        if (clase == "danada")
            bytes.replace(bytes.size() / 2, 4096, QByteArray(4096, '\x5a'));
        else
            bytes.truncate(bytes.size() / 2);
        Escribe(origen, bytes);
    }

    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(origen, destino); }), NumeroError::BaseNoValida);
    QCOMPARE(Bytes(destino), viejo);
    QCOMPARE(Sobrantes(carpeta->path(), {"TALVEXV20.MDB"}), QStringList());
}

void PruebaCopiaSegura::fallosDelSistemaDeArchivos()
{
    const QString origen = Ruta("TALVEXV20.MDB");
    CreaBase(origen, 20, "origen");
    QDir().mkpath(Ruta("copias"));

    QCOMPARE(
        NumeroDe([&] { CopiaBaseSegura(Ruta("no/TALVEXV20.MDB"), Ruta("copias/TALVEXV20.MDB")); }),
        NumeroError::ArchivoNoEncontrado);
    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(Ruta("copias"), Ruta("copias/TALVEXV20.MDB")); }),
             NumeroError::ArchivoNoEncontrado); // a folder is no source file
    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(origen, Ruta("falta/TALVEXV20.MDB")); }),
             NumeroError::RutaNoEncontrada);
    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(origen, Ruta("TALVEXV20.MDB/TALVEXV20.MDB")); }),
             NumeroError::RutaNoEncontrada); // a file where a folder should be
    QDir().mkpath(Ruta("copias/TALVEXV20.MDB"));
    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(origen, Ruta("copias/TALVEXV20.MDB")); }),
             NumeroError::AccesoRutaArchivo);
    QDir(Ruta("copias/TALVEXV20.MDB")).removeRecursively();
    // The same file under another spelling is not copied onto itself.
    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(origen, carpeta->path() + "/./TALVEXV20.MDB"); }),
             NumeroError::AccesoRutaArchivo);
    QVERIFY(!HuellaFilas(origen).isEmpty());

    // A read-only destination file is refused as an overwrite in place would be.
    CreaBase(Ruta("copias/TALVEXV20.MDB"), 2, "viejo");
    const QByteArray viejo = Bytes(Ruta("copias/TALVEXV20.MDB"));
    QVERIFY(::chmod(QFile::encodeName(Ruta("copias/TALVEXV20.MDB")).constData(), 0444) == 0);
    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(origen, Ruta("copias/TALVEXV20.MDB")); }),
             NumeroError::PermisoDenegado);
    QCOMPARE(Bytes(Ruta("copias/TALVEXV20.MDB")), viejo);
    QCOMPARE(Sobrantes(Ruta("copias"), {"TALVEXV20.MDB"}), QStringList());

    // A folder that refuses new files, even to the administrator.
    const int prueba = ::open("/sys/.talvex-prueba", O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (prueba >= 0) {
        ::close(prueba);
        ::unlink("/sys/.talvex-prueba");
        QSKIP("no hay aquí una carpeta que rechace archivos nuevos");
    }
    QVERIFY(errno == EACCES || errno == EROFS || errno == EPERM);
    QCOMPARE(NumeroDe([&] { CopiaBaseSegura(origen, "/sys/TALVEXV20.MDB"); }),
             NumeroError::PermisoDenegado);
}

void PruebaCopiaSegura::limiteDeTamanoEsDiscoLleno()
{
    const QString origen = Ruta("origen/TALVEXV20.MDB");
    const QString destino = Ruta("TALVEXV20.MDB");
    QDir().mkpath(Ruta("origen"));
    CreaBase(origen, 500, "nuevo");
    CreaBase(destino, 2, "viejo");
    const QByteArray viejo = Bytes(destino);
    QVERIFY(QFileInfo(origen).size() > 3 * 16384);

    QProcess hijo;
    hijo.start(Auxiliar, {"limite", "16384", origen, destino});
    QVERIFY(hijo.waitForFinished(20000));
    QCOMPARE(hijo.readAllStandardOutput().trimmed(),
             QByteArray("ERROR ") + QByteArray::number(NumeroError::DiscoLleno));
    QCOMPARE(Bytes(destino), viejo);
    QCOMPARE(Sobrantes(carpeta->path(), {"TALVEXV20.MDB"}), QStringList());
}

void PruebaCopiaSegura::diarioPendienteDelDestinoNoSeAplicaALaCopia()
{
    // A destination left by a crash in the middle of a write: its journal is hot. Were the
    // journal to stay beside the new file, the next opening would play the old pages into it.
    const QString viejo = Ruta("viejo.MDB");
    const QString destino = Ruta("TALVEXV20.MDB");
    CreaBase(viejo, 800, "viejo");
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(viejo).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db,
                          "PRAGMA cache_size=2; BEGIN; UPDATE ITEMS SET NOTASITEM = "
                          "NOTASITEM || NOTASITEM",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    // The transaction is open and spilled into the file: copy the pair as a crash leaves it.
    QVERIFY(QFileInfo::exists(viejo + "-journal"));
    Escribe(destino, Bytes(viejo));
    Escribe(destino + "-journal", Bytes(viejo + "-journal"));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    const QString origen = Ruta("origen.MDB");
    CreaBase(origen, 50, "nuevo");
    CopiaBaseSegura(origen, destino);
    QVERIFY(!QFileInfo::exists(destino + "-journal"));
    QCOMPARE(HuellaFilas(destino, true), HuellaFilas(origen));
}

// What copies killed before their rename left is removed: by the next copy to the same
// destination, and by the clean-up of the folder whatever the destination. A temporary still
// being written (locked) stays, the copy's own included while it runs.
void PruebaCopiaSegura::temporalesAbandonadosSeBorranLosEnCursoNo()
{
    const QString origen = Ruta("origen.MDB");
    const QString destino = Ruta("TALVEXV20.MDB");
    CreaBase(origen, 3, "nuevo");
    const QString abandonado = PrefijoTemporal(destino) + "x1";
    const QString deOtroDestino = PrefijoTemporal(Ruta("otro.MDB")) + "x2";
    const QString enCurso = PrefijoTemporal(destino) + "x3";
    for (const QString& ruta : {abandonado, deOtroDestino, enCurso})
        Escribe(ruta, "a medias");
    QFile bloqueado(enCurso);
    QVERIFY(bloqueado.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(bloqueado.handle(), LOCK_EX | LOCK_NB), 0);

    bool antesDeLaCopia = false;
    CopiaBaseSegura(origen, destino, {}, Comprobacion::Paginas, [&](ConexionSqlite&) {
        antesDeLaCopia = !QFile::exists(abandonado) && QFile::exists(deOtroDestino);
        BorraCopiasInterrumpidas(carpeta->path());
    });
    QVERIFY(antesDeLaCopia);
    QCOMPARE(HuellaFilas(destino), HuellaFilas(origen));
    QCOMPARE(Sobrantes(carpeta->path(), {"origen.MDB", "TALVEXV20.MDB"}),
             QStringList{QFileInfo(enCurso).fileName()});
}

void PruebaCopiaSegura::restauraEnConexionGuardaLaAnterior()
{
    const QString trabajo = Ruta("TALVEXV20.MDB");
    const QString previa = trabajo + SufijoCopiaPrevia;
    const QString origen = Ruta("copias/TALVEXV20.MDB");
    QDir().mkpath(Ruta("copias"));
    CreaBase(trabajo, 30, "trabajo");
    CreaBase(origen, 60, "respaldo");
    const QByteArray filasTrabajo = HuellaFilas(trabajo);

    BaseVocabulario base;
    base.Abre(trabajo);
    QVERIFY(MismoArchivo(ArchivoDeConexion(base.Conexion()), trabajo));

    // A bad source changes nothing and keeps no safety copy.
    Escribe(Ruta("malo.MDB"), "no es una base");
    QCOMPARE(NumeroDe([&] { RestauraEnConexion(Ruta("malo.MDB"), base.Conexion()); }),
             NumeroError::BaseNoValida);
    QCOMPARE(NumeroDe([&] { RestauraEnConexion(Ruta("falta.MDB"), base.Conexion()); }),
             NumeroError::ArchivoNoEncontrado);
    QCOMPARE(NumeroDe([&] { RestauraEnConexion(trabajo, base.Conexion()); }),
             NumeroError::AccesoRutaArchivo);
    // A source found sound down to its indexes, then changed, is checked whole again.
    const QString cambiado = Ruta("cambiado.MDB");
    CreaBase(cambiado, 20, "cambiado");
    QVERIFY(DefectoOrigen(cambiado, Comprobacion::Completa).isEmpty());
    QVERIFY(DanaIndiceItems(cambiado, {"zebra", "cebra", SinCategoria, ""}));
    QCOMPARE(NumeroDe([&] { RestauraEnConexion(cambiado, base.Conexion()); }),
             NumeroError::BaseNoValida);
    QVERIFY(!QFileInfo::exists(previa));
    QCOMPARE(HuellaFilas(trabajo), filasTrabajo);

    RestauraEnConexion(origen, base.Conexion());
    QCOMPARE(HuellaFilas(trabajo), HuellaFilas(origen));
    QCOMPARE(HuellaFilas(previa), filasTrabajo);
    // The open connection reads the restored rows at once.
    QVERIFY(base.LocalizaItem("respaldo palabra 59"));
    QVERIFY(!base.LocalizaItem("trabajo palabra 0"));
    QCOMPARE(Sobrantes(carpeta->path(),
                       {"TALVEXV20.MDB", "TALVEXV20.MDB.anterior", "malo.MDB", "cambiado.MDB"}),
             QStringList());
}

void PruebaCopiaSegura::copiaMatadaDejaDestinoViejoOEntero()
{
    const QString origen = Ruta("origen/TALVEXV20.MDB");
    const QString destino = Ruta("TALVEXV20.MDB");
    QDir().mkpath(Ruta("origen"));
    CreaBase(origen, 15000, "nuevo");
    CreaBase(destino, 20, "viejo");
    const QByteArray viejo = Bytes(destino);
    const QByteArray filasNuevas = HuellaFilas(origen);

    // How long a whole copy takes, process start included.
    QElapsedTimer reloj;
    reloj.start();
    QProcess entera;
    entera.start(Auxiliar, {"copia", origen, destino});
    QVERIFY(entera.waitForFinished(30000));
    QCOMPARE(entera.readAllStandardOutput().trimmed(), QByteArray("HECHO"));
    const int duracion = int(reloj.elapsed());

    int viejos = 0, enteros = 0;
    for (int ronda = 0; ronda < 30; ++ronda) {
        Escribe(destino, viejo);
        QProcess hijo;
        hijo.start(Auxiliar, {"copia", origen, destino});
        QVERIFY(hijo.waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(duracion + duracion / 5 + 1));
        hijo.kill();
        QVERIFY(hijo.waitForFinished(10000));
        const QByteArray ahora = Bytes(destino);
        if (ahora == viejo) {
            ++viejos;
        } else {
            QCOMPARE(HuellaFilas(destino), filasNuevas);
            ++enteros;
        }
        QVERIFY(!QFileInfo::exists(destino + "-journal"));
        // A killed copy may leave its own temporary, never more: the next one removes it.
        QVERIFY(Sobrantes(carpeta->path(), {"TALVEXV20.MDB"}).size() <= 1);
    }
    qInfo("copia de %d ms: %d veces el destino viejo, %d la copia entera", duracion, viejos,
          enteros);
    QVERIFY(viejos > 0 && enteros > 0);

    CopiaBaseSegura(origen, destino);
    QCOMPARE(Sobrantes(carpeta->path(), {"TALVEXV20.MDB"}), QStringList());
}

void PruebaCopiaSegura::restauracionMatadaDejaTrabajoViejoOEntero()
{
    const QString origen = Ruta("copias/TALVEXV20.MDB");
    const QString trabajo = Ruta("TALVEXV20.MDB");
    QDir().mkpath(Ruta("copias"));
    CreaBase(origen, 6000, "respaldo");
    CreaBase(trabajo, 3000, "trabajo");
    const QByteArray viejo = Bytes(trabajo);
    const QByteArray filasViejas = HuellaFilas(trabajo);
    const QByteArray filasNuevas = HuellaFilas(origen);

    QElapsedTimer reloj;
    reloj.start();
    QProcess entera;
    entera.start(Auxiliar, {"restaura", origen, trabajo});
    QVERIFY(entera.waitForFinished(30000));
    QCOMPARE(entera.readAllStandardOutput().trimmed(), QByteArray("HECHO"));
    const int duracion = int(reloj.elapsed());

    int viejos = 0, enteros = 0;
    for (int ronda = 0; ronda < 20; ++ronda) {
        QFile::remove(trabajo + SufijoCopiaPrevia);
        Escribe(trabajo, viejo);
        QProcess hijo;
        hijo.start(Auxiliar, {"restaura", origen, trabajo});
        QVERIFY(hijo.waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(duracion + duracion / 5 + 1));
        hijo.kill();
        QVERIFY(hijo.waitForFinished(10000));
        // SQLite settles a journal the kill left; the rows are then the old or the new ones.
        const QByteArray filas = HuellaFilas(trabajo, true);
        filas == filasViejas ? ++viejos : ++enteros;
        QVERIFY2(filas == filasViejas || filas == filasNuevas, qPrintable(QString::number(ronda)));
        // The safety copy, when there is one, is whole.
        if (QFileInfo::exists(trabajo + SufijoCopiaPrevia))
            QCOMPARE(HuellaFilas(trabajo + SufijoCopiaPrevia), filasViejas);
    }
    qInfo("restauración de %d ms: %d veces el trabajo viejo, %d el restaurado", duracion, viejos,
          enteros);
}

QTEST_GUILESS_MAIN(PruebaCopiaSegura)
#include "tst_copiasegura.moc"
