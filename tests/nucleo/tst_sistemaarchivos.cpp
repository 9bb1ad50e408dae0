// The file-system operations against real folders: what each one changes on disk and the
// error number of each way it fails.
#include "nucleo/SistemaArchivos.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The number of the ErrorTalvex an operation throws; 0 when it throws none.
template <typename Operacion> int NumeroDeError(Operacion operacion)
{
    try {
        operacion();
    } catch (const ErrorTalvex& error) {
        return error.Numero();
    }
    return 0;
}

void Escribe(const QString& ruta, const QByteArray& contenido)
{
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(archivo.write(contenido), contenido.size());
}

QByteArray Lee(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<no se abre>");
}

mode_t Permisos(const QString& ruta)
{
    struct stat datos {};
    ::stat(QFile::encodeName(ruta).constData(), &datos);
    return datos.st_mode & 07777;
}

QStringList Contenido(const QString& carpeta)
{
    return QDir(carpeta).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                   QDir::Name);
}

} // namespace

class tst_SistemaArchivos : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> temporal_;
    QString dir_;
    SistemaArchivos fso_;

    QString Ruta(const QString& nombre) const { return dir_ + QLatin1Char('/') + nombre; }

    // A folder where creating a file is refused. Root passes every permission check, but
    // sysfs refuses new files even to root.
    QString CarpetaSinPermiso()
    {
        if (::geteuid() != 0) {
            QDir(dir_).mkdir(QStringLiteral("cerrada"));
            ::chmod(QFile::encodeName(Ruta(QStringLiteral("cerrada"))).constData(), 0555);
            return Ruta(QStringLiteral("cerrada"));
        }
        return fso_.FolderExists(QStringLiteral("/sys")) ? QStringLiteral("/sys") : QString();
    }

private slots:
    void init()
    {
        temporal_ = std::make_unique<QTemporaryDir>();
        QVERIFY(temporal_->isValid());
        dir_ = temporal_->path();
    }

    void cleanup()
    {
        // A folder left read-only would stop QTemporaryDir from removing it.
        ::chmod(QFile::encodeName(Ruta(QStringLiteral("cerrada"))).constData(), 0755);
        temporal_.reset();
    }

    void existenciaDistingueArchivosDeCarpetas()
    {
        Escribe(Ruta("a.txt"), "x");
        QVERIFY(fso_.FileExists(Ruta("a.txt")));
        QVERIFY(!fso_.FileExists(dir_));
        QVERIFY(!fso_.FileExists(Ruta("falta/a.txt")));
        QVERIFY(!fso_.FileExists(Ruta("a.txt/b.txt")));
        QVERIFY(!fso_.FileExists(QString()));
        QVERIFY(fso_.FolderExists(dir_));
        QVERIFY(!fso_.FolderExists(Ruta("a.txt")));
        QVERIFY(!fso_.FolderExists(Ruta("falta")));
    }

    void creaCarpetaSoloConSuPadre()
    {
        fso_.CreateFolder(Ruta("nueva"));
        QVERIFY(fso_.FolderExists(Ruta("nueva")));
        QCOMPARE(NumeroDeError([&] { fso_.CreateFolder(Ruta("nueva")); }),
                 NumeroError::ArchivoYaExiste);
        QCOMPARE(NumeroDeError([&] { fso_.CreateFolder(Ruta("falta/nueva")); }),
                 NumeroError::RutaNoEncontrada);
        QVERIFY(!fso_.FolderExists(Ruta("falta")));
    }

    void copiaReemplazaByteAByte()
    {
        // Longer than one read of the copy, with NUL runs, onto a longer old file.
        QByteArray datos(3 * 1024 * 1024 + 17, '\0');
        for (qsizetype i = 0; i < datos.size(); i += 3)
            datos[i] = static_cast<char>(QRandomGenerator::global()->generate());
        Escribe(Ruta("origen.mdb"), datos);
        Escribe(Ruta("destino.mdb"), QByteArray(4 * 1024 * 1024, 'v'));

        fso_.CopyFile(Ruta("origen.mdb"), Ruta("destino.mdb"));
        QCOMPARE(Lee(Ruta("destino.mdb")), datos);
        QCOMPARE(Lee(Ruta("origen.mdb")), datos);
        QCOMPARE(Contenido(dir_), QStringList({"destino.mdb", "origen.mdb"}));
    }

    void copiaDaPermisosDeArchivoNuevoOConservaLosDelReemplazado()
    {
        Escribe(Ruta("origen"), "abc");
        ::chmod(QFile::encodeName(Ruta("origen")).constData(), 0444);
        const mode_t anterior = ::umask(022);
        fso_.CopyFile(Ruta("origen"), Ruta("nuevo"));
        ::umask(anterior);
        // A read-only source must not make the copy read-only (the report database is
        // copied from the shipped folder and then written).
        QCOMPARE(Permisos(Ruta("nuevo")), mode_t(0644));

        Escribe(Ruta("viejo"), "xyz");
        ::chmod(QFile::encodeName(Ruta("viejo")).constData(), 0640);
        fso_.CopyFile(Ruta("origen"), Ruta("viejo"));
        QCOMPARE(Permisos(Ruta("viejo")), mode_t(0640));
        QCOMPARE(Lee(Ruta("viejo")), QByteArray("abc"));
    }

    void copiaPorUnEnlaceEscribeElArchivoEnlazado()
    {
        Escribe(Ruta("origen"), "nuevo");
        Escribe(Ruta("real"), "viejo");
        QVERIFY(QFile::link(Ruta("real"), Ruta("enlace")));
        fso_.CopyFile(Ruta("origen"), Ruta("enlace"));
        QCOMPARE(Lee(Ruta("real")), QByteArray("nuevo"));
        QVERIFY(QFileInfo(Ruta("enlace")).isSymLink());
    }

    void copiaFallidaDejaElDestinoIntacto()
    {
        Escribe(Ruta("origen"), "nuevo");
        Escribe(Ruta("destino"), "viejo");
        QDir(dir_).mkdir("carpeta");
        const QStringList antes = Contenido(dir_);

        QCOMPARE(NumeroDeError([&] { fso_.CopyFile(Ruta("falta"), Ruta("destino")); }),
                 NumeroError::ArchivoNoEncontrado);
        QCOMPARE(NumeroDeError([&] { fso_.CopyFile(Ruta("carpeta"), Ruta("destino")); }),
                 NumeroError::ArchivoNoEncontrado);
        QCOMPARE(NumeroDeError([&] { fso_.CopyFile(Ruta("origen"), Ruta("falta/destino")); }),
                 NumeroError::RutaNoEncontrada);
        QCOMPARE(NumeroDeError([&] { fso_.CopyFile(Ruta("origen"), Ruta("carpeta")); }),
                 NumeroError::AccesoRutaArchivo);
        QCOMPARE(NumeroDeError([&] { fso_.CopyFile(Ruta("origen"), QString()); }),
                 NumeroError::ArgumentoNoValido);

        ::chmod(QFile::encodeName(Ruta("destino")).constData(), 0444);
        QCOMPARE(NumeroDeError([&] { fso_.CopyFile(Ruta("origen"), Ruta("destino")); }),
                 NumeroError::PermisoDenegado);
        ::chmod(QFile::encodeName(Ruta("destino")).constData(), 0644);

        // Reading the process's own memory from offset 0 fails with EIO after the temporary
        // file exists: the failure in the middle of a copy.
        if (QFile::exists("/proc/self/mem"))
            QCOMPARE(NumeroDeError([&] { fso_.CopyFile("/proc/self/mem", Ruta("destino")); }),
                     NumeroError::ErrorEntradaSalida);

        QCOMPARE(Lee(Ruta("destino")), QByteArray("viejo"));
        QCOMPARE(Contenido(dir_), antes); // no temporary file left behind
    }

    void copiaEnCarpetaSinPermisoEsDenegada()
    {
        const QString cerrada = CarpetaSinPermiso();
        if (cerrada.isEmpty())
            QSKIP("no folder refuses new files here");
        Escribe(Ruta("origen"), "abc");
        QCOMPARE(NumeroDeError([&] { fso_.CopyFile(Ruta("origen"), cerrada + "/copia"); }),
                 NumeroError::PermisoDenegado);
        QVERIFY(!fso_.FileExists(cerrada + "/copia"));
    }

    void borraSoloLosArchivosQueCoinciden()
    {
        for (const char* nombre :
             {"a.tmp", "X.TMP", "a.tmpx", "b.txt", "f1.log", "f12.log", "[x]1.dat", "x1.dat"})
            Escribe(Ruta(nombre), "x");
        QDir(dir_).mkdir("d.tmp");

        fso_.DeleteFile(Ruta("*.tmp"), true);
        fso_.DeleteFile(Ruta("f?.log"), true);
        fso_.DeleteFile(Ruta("[x]*"), true); // brackets are literal, not a character class
        QCOMPARE(Contenido(dir_), QStringList({"a.tmpx", "b.txt", "d.tmp", "f12.log", "x1.dat"}));

        // A name without wildcards is that one file, letter case included.
        QCOMPARE(NumeroDeError([&] { fso_.DeleteFile(Ruta("B.TXT"), true); }),
                 NumeroError::ArchivoNoEncontrado);
        fso_.DeleteFile(Ruta("b.txt"), true);
        QVERIFY(!fso_.FileExists(Ruta("b.txt")));
    }

    void borraSoloLecturaSoloForzando()
    {
        Escribe(Ruta("lectura.tmp"), "x");
        Escribe(Ruta("escritura.tmp"), "x");
        ::chmod(QFile::encodeName(Ruta("lectura.tmp")).constData(), 0444);

        // The refused file does not keep the other match from going.
        QCOMPARE(NumeroDeError([&] { fso_.DeleteFile(Ruta("*.tmp"), false); }),
                 NumeroError::PermisoDenegado);
        QCOMPARE(Contenido(dir_), QStringList({"lectura.tmp"}));

        fso_.DeleteFile(Ruta("lectura.tmp"), true);
        QVERIFY(Contenido(dir_).isEmpty());
    }

    void borraSinCoincidenciasOSinCarpetaFalla()
    {
        QDir(dir_).mkdir("d.tmp");
        QCOMPARE(NumeroDeError([&] { fso_.DeleteFile(Ruta("*.nada"), true); }),
                 NumeroError::ArchivoNoEncontrado);
        QCOMPARE(NumeroDeError([&] { fso_.DeleteFile(Ruta("d.*"), true); }),
                 NumeroError::ArchivoNoEncontrado);
        QCOMPARE(NumeroDeError([&] { fso_.DeleteFile(Ruta("d.tmp"), true); }),
                 NumeroError::ArchivoNoEncontrado);
        QCOMPARE(NumeroDeError([&] { fso_.DeleteFile(Ruta("falta/*.tmp"), true); }),
                 NumeroError::RutaNoEncontrada);
        QCOMPARE(NumeroDeError([&] { fso_.DeleteFile(Ruta("falta/a.tmp"), true); }),
                 NumeroError::RutaNoEncontrada);
        QVERIFY(fso_.FolderExists(Ruta("d.tmp")));
    }

    void archivoDeTextoEnUtf8ConCrLf()
    {
        auto flujo = fso_.CreateTextFile(Ruta("info.txt"), true);
        flujo->WriteLine(QStringLiteral("Asistente para aprender inglés"));
        flujo->WriteLine(QString());
        flujo->Close();
        flujo->Close(); // a second Close does nothing
        QCOMPARE(Lee(Ruta("info.txt")),
                 QByteArray("Asistente para aprender ingl\xc3\xa9s\r\n\r\n"));
        QCOMPARE(NumeroDeError([&] { flujo->WriteLine("tarde"); }), NumeroError::ArgumentoNoValido);

        auto otro = fso_.CreateTextFile(Ruta("info.txt"), true);
        otro->WriteLine("x");
        otro->Close();
        QCOMPARE(Lee(Ruta("info.txt")), QByteArray("x\r\n"));
    }

    void archivoDeTextoFalla()
    {
        Escribe(Ruta("existe.txt"), "antes");
        QCOMPARE(NumeroDeError([&] { fso_.CreateTextFile(Ruta("existe.txt"), false); }),
                 NumeroError::ArchivoYaExiste);
        QCOMPARE(Lee(Ruta("existe.txt")), QByteArray("antes"));
        QCOMPARE(NumeroDeError([&] { fso_.CreateTextFile(Ruta("falta/a.txt"), true); }),
                 NumeroError::RutaNoEncontrada);
        QCOMPARE(NumeroDeError([&] { fso_.CreateTextFile(dir_, true); }),
                 NumeroError::AccesoRutaArchivo);

        const QString cerrada = CarpetaSinPermiso();
        if (cerrada.isEmpty())
            QSKIP("no folder refuses new files here");
        QCOMPARE(NumeroDeError([&] { fso_.CreateTextFile(cerrada + "/a.txt", true); }),
                 NumeroError::PermisoDenegado);
    }

    void discoLlenoNoEsSilencioso()
    {
        std::unique_ptr<FlujoTexto> flujo;
        try {
            flujo = fso_.CreateTextFile(QStringLiteral("/dev/full"), true);
        } catch (const ErrorTalvex&) {
            QSKIP("/dev/full cannot be opened here");
        }
        QCOMPARE(NumeroDeError([&] { flujo->WriteLine("x"); }), NumeroError::DiscoLleno);
    }

    void traduceErrno_data()
    {
        QTest::addColumn<int>("numeroErrno");
        QTest::addColumn<bool>("destino");
        QTest::addColumn<int>("numero");
        const struct {
            const char* nombre;
            int numeroErrno;
            bool destino;
            int numero;
        } filas[] = {
            {"ENOENT origen", ENOENT, false, NumeroError::ArchivoNoEncontrado},
            {"ENOENT destino", ENOENT, true, NumeroError::RutaNoEncontrada},
            {"ENOTDIR destino", ENOTDIR, true, NumeroError::RutaNoEncontrada},
            {"ENOTDIR origen", ENOTDIR, false, NumeroError::RutaNoEncontrada},
            {"EACCES", EACCES, true, NumeroError::PermisoDenegado},
            {"EPERM", EPERM, false, NumeroError::PermisoDenegado},
            {"EROFS", EROFS, true, NumeroError::PermisoDenegado},
            {"ENOSPC", ENOSPC, true, NumeroError::DiscoLleno},
            {"EDQUOT", EDQUOT, true, NumeroError::DiscoLleno},
            {"EFBIG", EFBIG, true, NumeroError::DiscoLleno},
            {"EIO", EIO, false, NumeroError::ErrorEntradaSalida},
            {"ENXIO", ENXIO, true, NumeroError::DispositivoNoDisponible},
            {"ENODEV", ENODEV, true, NumeroError::DispositivoNoDisponible},
#ifdef ENOMEDIUM
            {"ENOMEDIUM", ENOMEDIUM, true, NumeroError::DiscoNoPreparado},
#endif
            {"ENAMETOOLONG", ENAMETOOLONG, true, NumeroError::NombreArchivoIncorrecto},
            {"EINVAL", EINVAL, true, NumeroError::NombreArchivoIncorrecto},
            {"ELOOP", ELOOP, false, NumeroError::NombreArchivoIncorrecto},
            {"EBUSY", EBUSY, true, NumeroError::AccesoRutaArchivo},
            {"ETXTBSY", ETXTBSY, true, NumeroError::AccesoRutaArchivo},
            {"EISDIR", EISDIR, true, NumeroError::AccesoRutaArchivo},
            {"EEXIST", EEXIST, true, NumeroError::ArchivoYaExiste},
        };
        for (const auto& fila : filas)
            QTest::newRow(fila.nombre) << fila.numeroErrno << fila.destino << fila.numero;
    }

    void traduceErrno()
    {
        QFETCH(int, numeroErrno);
        QFETCH(bool, destino);
        QFETCH(int, numero);
        const ErrorTalvex error = ErrorDesdeErrno(numeroErrno, destino);
        QCOMPARE(error.Numero(), numero);
        QVERIFY(!error.Descripcion().isEmpty());
    }

    void errnoSinFilaNoSeConfundeConOtroNumero()
    {
        // EPROTO is 71 and ECOMM 70 on Linux: as bare numbers they would read as
        // "disk not ready" and "permission denied".
        for (const int numeroErrno : {EPROTO, ECOMM, EMLINK}) {
            const ErrorTalvex error = ErrorDesdeErrno(numeroErrno, true);
            QCOMPARE(error.Numero(), 1000 + numeroErrno);
            QCOMPARE(error.Descripcion(), QString::fromLocal8Bit(std::strerror(numeroErrno)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_SistemaArchivos)
#include "tst_sistemaarchivos.moc"
