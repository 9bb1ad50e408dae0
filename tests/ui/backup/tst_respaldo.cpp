// The backup and restore dialog: its two modes, the checks on both boxes with their messages
// and where the focus goes, the browse buttons, the copy's failures (after which the working
// database is as it was), and the end of the program after a copy, with a round trip.
#include "apoyo/BasesPrueba.h"
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/CopiaSegura.h"
#include "nucleo/modTALVEXV20.h"
#include "repaso/AlmacenRepasos.h"
#include "ui/Ventanas.h"
#include "ui/backup/Respaldo.h"
#include "ui/backup/frmRespaldar.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/frmAcercade.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPointer>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0.0");
const QString IngreseRuta = QStringLiteral("¡¡ Ingrese una ruta y nombre de archivo !!");
const QString RutaValida = QStringLiteral("¡¡ Ingrese una ruta válida !!");
const QString Buscar = QStringLiteral("¡¡ Debe buscar el archivo TALVEXV20.MDB !!");
const QString Guardar = QStringLiteral("¡¡ Debe guardar el archivo TALVEXV20.MDB !!");
const QString Diferente =
    QStringLiteral("¡¡ Debe buscar un destino diferente para copiar la B.D. !!");
const QString Exito = QStringLiteral("¡¡ El archivo se copió con éxito !!");
const QString FinRespaldo = QStringLiteral(
    "¡¡ Para terminar con el respaldo de la B.D. se debe cerrar la aplicación e iniciar "
    "nuevamente !!");
const QString FinRecuperacion = QStringLiteral(
    "¡¡ Para recuperar la B.D. se debe cerrar la aplicación e iniciar nuevamente !!");

QString Confirmacion(const QString& unidad)
{
    return QStringLiteral("El achivo se copiará en la unidad ") + unidad +
           QStringLiteral("\r\r¿ Quiere continuar ?");
}

const QList<Tema> Temas{{"Colores", "Los colores\r\nbásicos."}, {"Casa", ""}};
const QList<Item> Items{{"red", "rojo", "Colores", "Un color."},
                        {"blue", "azul", "Colores", ""},
                        {"house", "casa", "Casa", "La casa."}};

// Every row of the file, as text, read through a connection of its own.
QStringList Filas(const QString& ruta)
{
    BaseVocabulario base;
    base.Abre(ruta);
    QStringList filas;
    base.RecorreTemas([&](const Tema& t) { filas << t.NOMBRETEMA + '|' + t.NOTASTEMA; });
    base.RecorreItems([&](const Item& i) {
        filas << i.ITEMING + '|' + i.ITEMESP + '|' + i.NOMBRETEMA + '|' + i.NOTASITEM;
    });
    return filas;
}

QByteArray Huella(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(archivo.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

ino_t Nodo(const QString& ruta)
{
    struct stat datos;
    return ::stat(QFile::encodeName(ruta).constData(), &datos) == 0 ? datos.st_ino : 0;
}

// Lowers the size a file may grow to, for this process, until the object goes; a write
// past it fails (EFBIG) instead of killing the process.
class LimiteTamano {
public:
    explicit LimiteTamano(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &anterior_);
        senal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = anterior_;
        limite.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteTamano()
    {
        setrlimit(RLIMIT_FSIZE, &anterior_);
        std::signal(SIGXFSZ, senal_);
    }

private:
    rlimit anterior_{};
    void (*senal_)(int) = nullptr;
};

// True when a folder refuses new files even to the administrator.
bool RechazaArchivos(const QString& carpeta)
{
    const QByteArray prueba = QFile::encodeName(carpeta + "/.talvex-prueba");
    const int fd = ::open(prueba.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return errno == EACCES || errno == EROFS || errno == EPERM;
    ::close(fd);
    ::unlink(prueba.constData());
    return false;
}
} // namespace

class PruebaRespaldo : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dosModosConSusTextosYFoco();
    void validacion_data();
    void validacion();
    void confirmacionNombraLaUnidad_data();
    void confirmacionNombraLaUnidad();
    void examinarOrigenYDestino();
    void respaldoTerminaElPrograma();
    void idaYVuelta();
    void recuperarSobreUnaBaseQueNoSeAbrio();
    void recuperarUnaCopiaDelFormatoAnterior();
    void fallosDeCopia_data();
    void fallosDeCopia();
    void origenNoValidoSeRechazaAntesDeLaPregunta_data();
    void origenNoValidoSeRechazaAntesDeLaPregunta();
    void iconoAbreAcercaDe();

private:
    frmRespaldar& Abre(bool respaldo)
    {
        Principal().AbreRespaldo(respaldo);
        return Ventana<frmRespaldar>();
    }
    // Closes the dialog as the close box would, and lets Qt delete it.
    void Cierra()
    {
        if (VentanaCargada<frmRespaldar>())
            Ventana<frmRespaldar>().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString Trabajo() const { return entorno->Ruta("TALVEXV20.MDB"); }
    QString Copias(const QString& nombre = {}) const
    {
        return nombre.isEmpty() ? copias->path() : copias->filePath(nombre);
    }
    // Replaces @T (the working database), @P (the program's folder) and @C (the backup
    // folder) in a test's path.
    QString Ruta(QString texto) const
    {
        return texto.replace("@T", Trabajo())
            .replace("@P", entorno->Carpeta())
            .replace("@C", Copias());
    }
    PlataformaGuionada& P() { return entorno->plataforma; }

    std::unique_ptr<EntornoPrueba> entorno;
    std::unique_ptr<QTemporaryDir> copias;
};

void PruebaRespaldo::init()
{
    entorno = std::make_unique<EntornoPrueba>();
    copias = std::make_unique<QTemporaryDir>();
    Arranca(*entorno, Temas, Items);
}

void PruebaRespaldo::cleanup()
{
    Cierra();
    entorno.reset();
    copias.reset();
}

void PruebaRespaldo::dosModosConSusTextosYFoco()
{
    frmRespaldar& d = Abre(true);
    QVERIFY(d.isVisible());
    QVERIFY(!Principal().isEnabled());
    QVERIFY(Ventana<frmRespaldar>().ModoRespaldo);
    QCOMPARE(d.objectName(), QStringLiteral("frmRespaldar"));
    QCOMPARE(d.windowTitle(), QStringLiteral("Respaldar base de datos"));
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(), QDir::currentPath() + "/TALVEXV20.MDB");
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(), Trabajo());
    QVERIFY(Hijo<QLineEdit>(d, "txtGuardarDestino")->text().isEmpty());
    QCOMPARE(d.focusWidget(), Hijo<QPushButton>(d, "cmdExaminarDestino"));
    QCOMPARE(Hijo<QPushButton>(d, "cmdExaminarDestino")->nextInFocusChain(),
             Hijo<QLineEdit>(d, "txtBuscarOrigen"));
    QVERIFY(Hijo<QLabel>(d, "lblMensajeCopia")->isHidden());

    const QList<std::pair<QString, QString>> textos{
        {"FrameOrigen", "Unidad y directorio de origen"},
        {"lblBuscarOrigen", "&Buscar en :"},
        {"cmdExaminarOrigen", "&Examinar..."},
        {"FrameDestino", "Unidad y directorio destino"},
        {"lblGuardarDestino", "&Guardar en :"},
        {"cmdExaminarDestino", "&Examinar..."},
        {"cmdAceptarRespa", "&Aceptar"},
        {"cmdSalirRespa", "&Salir"},
        {"lblMensajeCopia", "Copiando, por favor espere..."}};
    for (const auto& [nombre, texto] : textos) {
        QObject* control = d.findChild<QObject*>(nombre);
        QVERIFY2(control, qPrintable(nombre));
        const QByteArray propiedad = nombre.startsWith("Frame") ? "title" : "text";
        QCOMPARE(control->property(propiedad).toString(), texto);
    }
    for (const char* nombre :
         {"txtBuscarOrigen", "txtGuardarDestino", "picCopiarBD", "picGuardarBD", "imgIcono1"})
        QVERIFY2(d.findChild<QWidget*>(nombre), nombre);
    QVERIFY(!Hijo<QLabel>(d, "picCopiarBD")->pixmap().isNull() &&
            !Hijo<QLabel>(d, "picGuardarBD")->pixmap().isNull() &&
            !Hijo<QLabel>(d, "imgIcono1")->pixmap().isNull());
    QCOMPARE(Hijo<QLabel>(d, "lblBuscarOrigen")->buddy(), Hijo<QLineEdit>(d, "txtBuscarOrigen"));
    QCOMPARE(Hijo<QLabel>(d, "lblGuardarDestino")->buddy(),
             Hijo<QLineEdit>(d, "txtGuardarDestino"));

    // Enter goes from box to box and on to "Aceptar"; Esc closes the dialog.
    QTest::keyClick(Hijo<QLineEdit>(d, "txtBuscarOrigen"), Qt::Key_Return);
    QCOMPARE(d.focusWidget(), Hijo<QLineEdit>(d, "txtGuardarDestino"));
    QTest::keyClick(Hijo<QLineEdit>(d, "txtGuardarDestino"), Qt::Key_Return);
    QCOMPARE(d.focusWidget(), Hijo<QPushButton>(d, "cmdAceptarRespa"));
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(), Trabajo()); // the key was not typed
    QTest::keyClick(Hijo<QPushButton>(d, "cmdAceptarRespa"), Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QVERIFY(Principal().isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!VentanaCargada<frmRespaldar>());

    frmRespaldar& r = Abre(false);
    QVERIFY(!Ventana<frmRespaldar>().ModoRespaldo);
    QCOMPARE(r.windowTitle(), QStringLiteral("Recuperar base de datos"));
    QVERIFY(Hijo<QLineEdit>(r, "txtBuscarOrigen")->text().isEmpty());
    QCOMPARE(Hijo<QLineEdit>(r, "txtGuardarDestino")->text(), Trabajo());
    QCOMPARE(r.focusWidget(), Hijo<QPushButton>(r, "cmdExaminarOrigen"));
    QCOMPARE(Hijo<QPushButton>(r, "cmdExaminarOrigen")->nextInFocusChain(),
             Hijo<QLineEdit>(r, "txtBuscarOrigen"));
    Hijo<QPushButton>(r, "cmdSalirRespa")->click();
    QVERIFY(!r.isVisible());
    QVERIFY(Principal().isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Each opening starts anew: the backup mode shows the design caption again.
    QCOMPARE(Abre(true).windowTitle(), QStringLiteral("Respaldar base de datos"));
    QVERIFY(P().mensajes.isEmpty());
}

void PruebaRespaldo::validacion_data()
{
    QTest::addColumn<QString>("origen");
    QTest::addColumn<QString>("destino");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<bool>("focoEnOrigen");

    const QString d = "@C/TALVEXV20.MDB";
    QTest::newRow("origen vacío") << "" << d << IngreseRuta << true;
    QTest::newRow("ambos vacíos: primero el origen") << ""
                                                     << "" << IngreseRuta << true;
    QTest::newRow("destino vacío") << "@T"
                                   << "" << IngreseRuta << false;
    QTest::newRow("destino de un carácter") << "@T"
                                            << "  x  " << IngreseRuta << false;
    QTest::newRow("destino raíz") << "@T"
                                  << "/" << IngreseRuta << false;
    QTest::newRow("destino en blanco") << "@T"
                                       << "    " << RutaValida << false;
    QTest::newRow("destino relativo") << "@T"
                                      << "copias/TALVEXV20.MDB" << RutaValida << false;
    QTest::newRow("destino de red")
        << "@T"
        << "\\\\servidor\\compartida\\TALVEXV20.MDB" << RutaValida << false;
    QTest::newRow("destino con un blanco delante") << "@T"
                                                   << " " + d << RutaValida << false;
    QTest::newRow("sin unidad antes que el origen mal nombrado")
        << "@C/datos.mdb"
        << "copias/TALVEXV20.MDB" << RutaValida << false;
    QTest::newRow("origen de cinco caracteres") << "/a.md" << d << Buscar << true;
    QTest::newRow("origen con otro nombre") << "@C/datos.mdb" << d << Buscar << true;
    QTest::newRow("destino con otro nombre") << "@T"
                                             << "@C/datos.mdb" << Guardar << false;
    QTest::newRow("destino con algo tras el nombre")
        << "@T"
        << "@C/TALVEXV20.MDB.viejo" << Guardar << false;
    QTest::newRow("destino igual al origen") << "@T"
                                             << "@T" << Diferente << false;
}

void PruebaRespaldo::validacion()
{
    QFETCH(QString, origen);
    QFETCH(QString, destino);
    QFETCH(QString, mensaje);
    QFETCH(bool, focoEnOrigen);
    frmRespaldar& d = Abre(true);
    Hijo<QLineEdit>(d, "txtBuscarOrigen")->setText(Ruta(origen));
    Hijo<QLineEdit>(d, "txtGuardarDestino")->setText(Ruta(destino));
    const QByteArray antes = Huella(Trabajo());

    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(d, "cmdAceptarRespa")->click();
    QCOMPARE(P().mensajes.size(), 1);
    const Mensaje& aviso = P().mensajes.first();
    QCOMPARE(aviso.texto, mensaje);
    QCOMPARE(aviso.titulo, Titulo);
    QCOMPARE(aviso.icono, IconoMensaje::Exclamacion);
    QCOMPARE(aviso.botones, BotonesMensaje::Aceptar);
    QCOMPARE(P().pitidos, 1);
    QCOMPARE(d.focusWidget(), focoEnOrigen
                                  ? static_cast<QWidget*>(Hijo<QLineEdit>(d, "txtBuscarOrigen"))
                                  : static_cast<QWidget*>(Hijo<QLineEdit>(d, "txtGuardarDestino")));
    // The dialog stays open and usable, the boxes keep what was typed, nothing is copied.
    QVERIFY(d.isVisible() && d.isEnabled() && Hijo<QPushButton>(d, "cmdAceptarRespa")->isEnabled());
    QVERIFY(Hijo<QLabel>(d, "lblMensajeCopia")->isHidden());
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(), Ruta(origen));
    QCOMPARE(Hijo<QLineEdit>(d, "txtGuardarDestino")->text(), Ruta(destino));
    QVERIFY(QDir(Copias()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QCOMPARE(Huella(Trabajo()), antes);
    QVERIFY(!P().terminado);
}

void PruebaRespaldo::confirmacionNombraLaUnidad_data()
{
    QTest::addColumn<QString>("destino");
    QTest::addColumn<QString>("destinoFinal");
    QTest::addColumn<QString>("unidad");

    QTest::newRow("unidad sola") << "/proc"
                                 << "/proc/TALVEXV20.MDB"
                                 << "/proc";
    QTest::newRow("unidad sola entre blancos") << "  /proc/ "
                                               << "/proc/TALVEXV20.MDB"
                                               << "/proc";
    const QString unidadCopias = QStorageInfo(QDir::tempPath()).rootPath();
    QTest::newRow("nombre en minúsculas") << "@C/talvexv20.mdb"
                                          << "@C/talvexv20.mdb" << unidadCopias;
    QTest::newRow("solo cuentan los 13 últimos") << "@C/OLDtalvexv20.mdb"
                                                 << "@C/OLDtalvexv20.mdb" << unidadCopias;
    QTest::newRow("la misma base con otras mayúsculas no se detecta aquí")
        << "@P/talvexv20.MDB"
        << "@P/talvexv20.MDB" << unidadCopias;
}

void PruebaRespaldo::confirmacionNombraLaUnidad()
{
    QFETCH(QString, destino);
    QFETCH(QString, destinoFinal);
    QFETCH(QString, unidad);
    if (QStorageInfo("/proc").rootPath() != "/proc")
        QSKIP("/proc no es un punto de montaje aquí");
    QCOMPARE(QStorageInfo(Copias()).rootPath(), QStorageInfo(QDir::tempPath()).rootPath());

    frmRespaldar& d = Abre(true);
    Hijo<QLineEdit>(d, "txtGuardarDestino")->setText(Ruta(destino));
    bool desactivado = false;
    P().alMostrarMensaje = [&](const Mensaje&) {
        desactivado = !d.isEnabled() && !Hijo<QLineEdit>(d, "txtBuscarOrigen")->isEnabled() &&
                      !Hijo<QLineEdit>(d, "txtGuardarDestino")->isEnabled() &&
                      !Hijo<QPushButton>(d, "cmdExaminarOrigen")->isEnabled() &&
                      !Hijo<QPushButton>(d, "cmdExaminarDestino")->isEnabled() &&
                      !Hijo<QPushButton>(d, "cmdAceptarRespa")->isEnabled() &&
                      !Hijo<QPushButton>(d, "cmdSalirRespa")->isEnabled() &&
                      !Hijo<QLabel>(d, "lblMensajeCopia")->isHidden();
    };
    P().respuestas = {RespuestaMensaje::No};
    Hijo<QPushButton>(d, "cmdAceptarRespa")->click();

    QCOMPARE(Hijo<QLineEdit>(d, "txtGuardarDestino")->text(), Ruta(destinoFinal));
    QCOMPARE(P().mensajes.size(), 1);
    const Mensaje& pregunta = P().mensajes.first();
    QCOMPARE(pregunta.texto, Confirmacion(unidad));
    QCOMPARE(pregunta.titulo, Titulo);
    QCOMPARE(pregunta.icono, IconoMensaje::Pregunta);
    QCOMPARE(pregunta.botones, BotonesMensaje::SiNo);
    QCOMPARE(pregunta.porDefecto, RespuestaMensaje::Si);
    QCOMPARE(P().pitidos, 1);
    QVERIFY(desactivado); // while the question waits, everything is disabled but the label

    // No: everything enabled again, the label hidden, nothing copied, the dialog open.
    for (QWidget* control : std::initializer_list<QWidget*>{
             &d, Hijo<QLineEdit>(d, "txtBuscarOrigen"), Hijo<QLineEdit>(d, "txtGuardarDestino"),
             Hijo<QPushButton>(d, "cmdExaminarOrigen"), Hijo<QPushButton>(d, "cmdExaminarDestino"),
             Hijo<QPushButton>(d, "cmdAceptarRespa"), Hijo<QPushButton>(d, "cmdSalirRespa")})
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(Hijo<QLabel>(d, "lblMensajeCopia")->isHidden());
    QVERIFY(d.isVisible());
    QVERIFY(!QFileInfo::exists(Ruta(destinoFinal)));
    QVERIFY(!P().terminado);
}

void PruebaRespaldo::examinarOrigenYDestino()
{
    frmRespaldar& d = Abre(true);
    const QString filtro = QStringLiteral("Base de datos (*.MDB *.mdb)");
    const auto Ultimo = [&] { return P().dialogosArchivo.last(); };

    // The source box is the one this mode fills: its dialog opens in the working folder.
    P().archivosElegidos = {""};
    Hijo<QPushButton>(d, "cmdExaminarOrigen")->click();
    QCOMPARE(Ultimo().guardar, false);
    QCOMPARE(Ultimo().titulo, QStringLiteral("Respaldar base de datos"));
    QCOMPARE(Ultimo().carpeta, QDir::currentPath());
    QCOMPARE(Ultimo().nombre, QStringLiteral("TALVEXV20.MDB"));
    QCOMPARE(Ultimo().filtro, filtro);
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(),
             Trabajo()); // cancelled: nothing changes
    QCOMPARE(d.focusWidget(), Hijo<QLineEdit>(d, "txtBuscarOrigen"));

    // A path without a drive is put back silently; a wrong name is put back with a warning.
    P().archivosElegidos = {"servidor/TALVEXV20.MDB"};
    Hijo<QPushButton>(d, "cmdExaminarOrigen")->click();
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(), Trabajo());
    QVERIFY(P().mensajes.isEmpty());
    P().archivosElegidos = {Copias("datos.mdb")};
    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(d, "cmdExaminarOrigen")->click();
    QCOMPARE(P().mensajes.last().texto, Buscar);
    QCOMPARE(P().mensajes.last().icono, IconoMensaje::Exclamacion);
    QCOMPARE(P().mensajes.last().titulo, Titulo);
    QCOMPARE(P().pitidos, 1);
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(), Trabajo());

    // A valid source is only written into its box.
    P().archivosElegidos = {Copias("talvexv20.mdb")};
    Hijo<QPushButton>(d, "cmdExaminarOrigen")->click();
    QCOMPARE(Hijo<QLineEdit>(d, "txtBuscarOrigen")->text(), Copias("talvexv20.mdb"));
    QCOMPARE(P().mensajes.size(), 1);
    Hijo<QLineEdit>(d, "txtBuscarOrigen")->setText(Trabajo());

    // The destination box is the user's: its dialog opens where the box points, else at home.
    P().archivosElegidos = {Copias("datos.mdb")};
    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(d, "cmdExaminarDestino")->click();
    QCOMPARE(Ultimo().guardar, true);
    QCOMPARE(Ultimo().carpeta, QDir::homePath());
    QCOMPARE(Ultimo().filtro, filtro);
    QCOMPARE(P().mensajes.last().texto, Guardar);
    QVERIFY(Hijo<QLineEdit>(d, "txtGuardarDestino")->text().isEmpty());

    Hijo<QLineEdit>(d, "txtGuardarDestino")->setText(Copias("algo"));
    P().archivosElegidos = {""};
    Hijo<QPushButton>(d, "cmdExaminarDestino")->click();
    QCOMPARE(Ultimo().carpeta, Copias());
    QCOMPARE(Hijo<QLineEdit>(d, "txtGuardarDestino")->text(), Copias("algo"));
    QCOMPARE(d.focusWidget(), Hijo<QLineEdit>(d, "txtGuardarDestino"));

    // Choosing a valid destination starts the copy at once: here the user says No.
    P().archivosElegidos = {Copias("TALVEXV20.MDB")};
    P().respuestas = {RespuestaMensaje::No};
    Hijo<QPushButton>(d, "cmdExaminarDestino")->click();
    QCOMPARE(Hijo<QLineEdit>(d, "txtGuardarDestino")->text(), Copias("TALVEXV20.MDB"));
    QCOMPARE(P().mensajes.last().texto, Confirmacion(QStorageInfo(Copias()).rootPath()));
    QCOMPARE(d.focusWidget(), Hijo<QLineEdit>(d, "txtGuardarDestino"));
    QVERIFY(d.isEnabled() && Hijo<QLabel>(d, "lblMensajeCopia")->isHidden());
    QVERIFY(!QFileInfo::exists(Copias("TALVEXV20.MDB")));
    Cierra();

    // In restore mode the destination box is the mode's and the source box the user's.
    frmRespaldar& r = Abre(false);
    P().archivosElegidos = {"", ""};
    Hijo<QPushButton>(r, "cmdExaminarDestino")->click();
    QCOMPARE(Ultimo().titulo, QStringLiteral("Recuperar base de datos"));
    QCOMPARE(Ultimo().carpeta, QDir::currentPath());
    Hijo<QPushButton>(r, "cmdExaminarOrigen")->click();
    QCOMPARE(Ultimo().guardar, false);
    QCOMPARE(Ultimo().carpeta, QDir::homePath());
    QCOMPARE(P().dialogosArchivo.size(), 9);
}

void PruebaRespaldo::respaldoTerminaElPrograma()
{
    // An existing copy is replaced without a further question.
    BaseVocabulario::CreaVacia(Copias("TALVEXV20.MDB"));
    frmRespaldar& d = Abre(true);
    Hijo<QLineEdit>(d, "txtGuardarDestino")->setText(Copias("TALVEXV20.MDB"));
    QStringList estados;
    P().alMostrarMensaje = [&](const Mensaje&) {
        estados << QStringLiteral("%1 %2")
                       .arg(d.isEnabled())
                       .arg(Hijo<QLabel>(d, "lblMensajeCopia")->isVisible());
    };
    P().respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar, RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(d, "cmdAceptarRespa")->click();

    QVERIFY(P().terminado);
    QCOMPARE(P().mensajes.size(), 3);
    QCOMPARE(P().mensajes[0].texto, Confirmacion(QStorageInfo(Copias()).rootPath()));
    QCOMPARE(P().mensajes[1].texto, Exito);
    QCOMPARE(P().mensajes[1].icono, IconoMensaje::Informacion);
    QCOMPARE(P().mensajes[2].texto, FinRespaldo);
    QCOMPARE(P().mensajes[2].icono, IconoMensaje::Informacion);
    QCOMPARE(P().mensajes[2].titulo, Titulo);
    QCOMPARE(P().pitidos, 3);
    // The success message comes while the copy is still shown; the controls are back before
    // the closing message.
    QCOMPARE(estados, QStringList({"0 1", "0 1", "1 0"}));
    // The program closed its databases on the way out; the copy holds the working rows.
    QVERIFY(!modTALVEXV20().dbPrincipal.EstaAbierta());
    QCOMPARE(Filas(Copias("TALVEXV20.MDB")), Filas(Trabajo()));
    QCOMPARE(Filas(Trabajo()).size(), 5);
    QCOMPARE(QDir(Copias()).entryList(QDir::Files | QDir::Hidden), QStringList{"TALVEXV20.MDB"});
}

void PruebaRespaldo::idaYVuelta()
{
    const QStringList originales = Filas(Trabajo());
    frmRespaldar& d = Abre(true);
    Hijo<QLineEdit>(d, "txtGuardarDestino")->setText(Copias("TALVEXV20.MDB"));
    P().respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar, RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(d, "cmdAceptarRespa")->click();
    QVERIFY(P().terminado);
    Cierra();

    // The next run changes the vocabulary…
    BaseVocabulario& base = modTALVEXV20().dbPrincipal;
    base.Abre(Trabajo());
    base.EliminaItem("red");
    base.AgregaItem({"window", "ventana", "Casa", ""});
    base.ModificaTema("Colores", {"Colores", "Otras notas."});
    const QStringList cambiadas = Filas(Trabajo());
    QVERIFY(cambiadas != originales);
    const ino_t nodo = Nodo(Trabajo());

    // …and restores the copy over the open working database.
    P().terminado = false;
    P().mensajes.clear();
    frmRespaldar& r = Abre(false);
    Hijo<QLineEdit>(r, "txtBuscarOrigen")->setText(Copias("TALVEXV20.MDB"));
    P().respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar, RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(r, "cmdAceptarRespa")->click();
    QVERIFY(P().terminado);
    QCOMPARE(P().mensajes.size(), 3);
    QCOMPARE(P().mensajes[0].texto, Confirmacion(QStorageInfo(Trabajo()).rootPath()));
    QCOMPARE(P().mensajes[1].texto, Exito);
    QCOMPARE(P().mensajes[2].texto, FinRecuperacion);
    QVERIFY(!base.EstaAbierta());

    // The next start finds the old content; the changed one is kept beside it. The working
    // file was written through its connection, never swapped.
    QCOMPARE(Filas(Trabajo()), originales);
    QCOMPARE(Filas(Trabajo() + SufijoCopiaPrevia), cambiadas);
    QCOMPARE(Nodo(Trabajo()), nodo);
}

void PruebaRespaldo::recuperarUnaCopiaDelFormatoAnterior()
{
    // A copy made before practice existed: restored as it is, brought up to date when opened.
    const QString copia = Copias("TALVEXV20.MDB");
    BaseVocabulario::CreaVacia(copia);
    {
        BaseVocabulario antigua;
        antigua.Abre(copia);
        antigua.AgregaItem({"window", "ventana", SinCategoria, ""});
    }
    QVERIFY(EjecutaSinGuardas(copia, "DROP TRIGGER ITEMSBORRADOS; DROP TABLE TARJETAS; "
                                     "DROP TABLE REPASOS; PRAGMA user_version = 1"));
    frmRespaldar& r = Abre(false);
    Hijo<QLineEdit>(r, "txtBuscarOrigen")->setText(copia);
    P().respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar, RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(r, "cmdAceptarRespa")->click();
    QVERIFY(P().terminado);
    QCOMPARE(P().mensajes[2].texto, FinRecuperacion);
    QCOMPARE(Filas(Trabajo()), QStringList{"window|ventana|Sin categoría|"});
    BaseVocabulario abierta;
    abierta.Abre(Trabajo());
    Repaso::AlmacenRepasos almacen(abierta);
    QCOMPARE(almacen.ProximoIdTarjeta(), 1); // practice's tables are there
}

void PruebaRespaldo::recuperarSobreUnaBaseQueNoSeAbrio()
{
    // A damaged working database stays closed at start-up; restoring over it keeps it aside.
    BaseVocabulario::CreaVacia(Copias("TALVEXV20.MDB"));
    modTALVEXV20().dbPrincipal.Cierra();
    QFile danada(Trabajo());
    QVERIFY(danada.open(QIODevice::WriteOnly | QIODevice::Truncate));
    danada.write("restos de una base dañada");
    danada.close();

    frmRespaldar& r = Abre(false);
    Hijo<QLineEdit>(r, "txtBuscarOrigen")->setText(Copias("TALVEXV20.MDB"));
    P().respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar, RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(r, "cmdAceptarRespa")->click();
    QVERIFY(P().terminado);
    QCOMPARE(P().mensajes[2].texto, FinRecuperacion);
    QCOMPARE(Filas(Trabajo()), QStringList());
    QCOMPARE(LeeArchivo(Trabajo() + SufijoCopiaPrevia), QByteArray("restos de una base dañada"));
}

void PruebaRespaldo::fallosDeCopia_data()
{
    QTest::addColumn<bool>("respaldo");
    QTest::addColumn<QString>("origen");  // restore mode: the source box
    QTest::addColumn<QString>("destino"); // backup mode: the destination box
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<int>("limite"); // bytes a file may grow to, 0 = no limit

    QTest::newRow("origen que falta") << false << "@C/falta/TALVEXV20.MDB"
                                      << ""
                                      << "¡¡ No se encuentra el archivo !!" << 0;
    QTest::newRow("carpeta de destino que falta") << true << ""
                                                  << "@C/falta/TALVEXV20.MDB"
                                                  << "¡¡ La ruta de acceso no existe !!" << 0;
    QTest::newRow("destino que es una carpeta") << true << ""
                                                << "@C/TALVEXV20.MDB"
                                                << "¡¡ Error de acceso ruta/archivo!!" << 0;
    QTest::newRow("carpeta de solo lectura") << true << ""
                                             << "/sys/TALVEXV20.MDB"
                                             << "¡¡ Permiso denegado !!" << 0;
    QTest::newRow("disco lleno al respaldar") << true << ""
                                              << "@C/TALVEXV20.MDB"
                                              << "¡¡ No hay espacio suficiente en disco !!" << 8192;
    QTest::newRow("origen en un bucle de enlaces")
        << false << "@C/bucle/TALVEXV20.MDB"
        << ""
        << "¡¡ Nombre o ruta de archivo incorrecta !!" << 0;
    QTest::newRow("destino en un bucle de enlaces")
        << true << ""
        << "@C/bucle/TALVEXV20.MDB"
        << "¡¡ Nombre o ruta de archivo incorrecta !!" << 0;
    QTest::newRow("disco lleno al recuperar") << false << "@C/otra/TALVEXV20.MDB"
                                              << ""
                                              << "¡¡ No hay espacio suficiente en disco !!" << 8192;
}

void PruebaRespaldo::fallosDeCopia()
{
    QFETCH(bool, respaldo);
    QFETCH(QString, origen);
    QFETCH(QString, destino);
    QFETCH(QString, mensaje);
    QFETCH(int, limite);
    const QString tag = QTest::currentDataTag();
    if (destino.startsWith("/sys") && !RechazaArchivos("/sys"))
        QSKIP("no hay aquí una carpeta que rechace archivos nuevos");
    if (tag == "destino que es una carpeta")
        QVERIFY(QDir().mkpath(Copias("TALVEXV20.MDB")));
    if (tag.endsWith("en un bucle de enlaces")) // a link to itself
        QVERIFY(QDir().mkpath(Copias("bucle")) &&
                QFile::link(Copias("bucle/TALVEXV20.MDB"), Copias("bucle/TALVEXV20.MDB")));
    if (tag == "disco lleno al recuperar") {
        QDir().mkpath(Copias("otra"));
        QVERIFY(QFile::copy(Trabajo(), Copias("otra/TALVEXV20.MDB")));
    }
    const QStringList copiasAntes =
        QDir(Copias()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QStringList filas = Filas(Trabajo());
    const QByteArray antes = Huella(Trabajo());

    frmRespaldar& d = Abre(respaldo);
    if (respaldo)
        Hijo<QLineEdit>(d, "txtGuardarDestino")->setText(Ruta(destino));
    else
        Hijo<QLineEdit>(d, "txtBuscarOrigen")->setText(Ruta(origen));
    P().respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar};
    {
        std::optional<LimiteTamano> tamano;
        if (limite > 0)
            tamano.emplace(rlim_t(limite));
        Hijo<QPushButton>(d, "cmdAceptarRespa")->click();
    }

    QCOMPARE(P().mensajes.size(), 2);
    const Mensaje& fallo = P().mensajes[1];
    QCOMPARE(fallo.texto, mensaje);
    QCOMPARE(fallo.icono, IconoMensaje::Exclamacion);
    QCOMPARE(fallo.titulo, Titulo);
    QCOMPARE(fallo.botones, BotonesMensaje::Aceptar);
    QCOMPARE(P().pitidos, 2);
    QVERIFY(!P().terminado);

    // The dialog is usable again and the working database as it was, still open.
    QVERIFY(d.isVisible() && d.isEnabled() &&
            Hijo<QPushButton>(d, "cmdAceptarRespa")->isEnabled() &&
            Hijo<QLineEdit>(d, "txtBuscarOrigen")->isEnabled());
    QVERIFY(Hijo<QLabel>(d, "lblMensajeCopia")->isHidden());
    QCOMPARE(Huella(Trabajo()), antes);
    QVERIFY(modTALVEXV20().dbPrincipal.LocalizaItem("house"));
    QCOMPARE(Filas(Trabajo()), filas);
    QCOMPARE(QDir(entorno->Carpeta())
                 .entryList({"TALVEXV20.MDB*", ".TALVEXV20.MDB*"}, QDir::Files | QDir::Hidden),
             QStringList{"TALVEXV20.MDB"});
    QCOMPARE(QDir(Copias()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             copiasAntes);
}

void PruebaRespaldo::origenNoValidoSeRechazaAntesDeLaPregunta_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("texto") << QByteArray("Lista de la compra: pan, leche.\n")
                           << "no es una base de datos, sino otro tipo de archivo.";
    QTest::newRow("vacío") << QByteArray() << "el archivo está vacío.";
    QTest::newRow("cabecera sin páginas")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(200, '\x01') << "dañado";
    // SQLite's quick check finds it sound: only the whole check sees the row the index lacks.
    QTemporaryDir carpeta;
    const QString indice = carpeta.filePath("indice.MDB");
    CreaBase(indice, 40, "índice");
    QVERIFY(DanaIndiceItems(indice, {"zebra", "cebra", SinCategoria, ""}));
    QTest::newRow("fila que falta en un índice")
        << LeeArchivo(indice) << "está dañado (falta la fila 41 en el índice ITEMSLISTA;";
}

void PruebaRespaldo::origenNoValidoSeRechazaAntesDeLaPregunta()
{
    QFETCH(QByteArray, contenido);
    QFETCH(QString, motivo);
    QFile archivo(Copias("TALVEXV20.MDB"));
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write(contenido);
    archivo.close();
    const QByteArray antes = Huella(Trabajo());

    frmRespaldar& d = Abre(false);
    Hijo<QLineEdit>(d, "txtBuscarOrigen")->setText(Copias("TALVEXV20.MDB"));
    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(d, "cmdAceptarRespa")->click();

    // One message, no question; it names the file and why, and says its heading once.
    QCOMPARE(P().mensajes.size(), 1);
    const QString texto = P().mensajes[0].texto;
    const QString encabezado =
        QStringLiteral("¡¡ El archivo de origen no es una base de datos de TALVEX válida !!");
    QVERIFY2(texto.startsWith(encabezado + "\r\rTALVEXV20.MDB: "), qPrintable(texto));
    QVERIFY2(texto.contains(motivo), qPrintable(texto));
    QVERIFY(texto.endsWith("\r\rNo se copió nada."));
    QCOMPARE(texto.count(QStringLiteral("no es una base de datos de TALVEX")), 1);
    QCOMPARE(P().mensajes[0].icono, IconoMensaje::Exclamacion);
    QCOMPARE(P().pitidos, 1);
    QVERIFY(d.isEnabled());
    QCOMPARE(d.focusWidget(), Hijo<QLineEdit>(d, "txtBuscarOrigen"));
    QCOMPARE(Huella(Trabajo()), antes);
    QVERIFY(!P().terminado);
}

void PruebaRespaldo::iconoAbreAcercaDe()
{
    frmRespaldar& d = Abre(true);
    QTest::mouseClick(Hijo<QLabel>(d, "imgIcono1"), Qt::LeftButton);
    QVERIFY(VentanaCargada<frmAcercade>() && Ventana<frmAcercade>().isVisible());
    // Closing the About window enables the main window while the dialog is still open.
    Hijo<QPushButton>(Ventana<frmAcercade>(), "cmdAcercade")->click();
    QVERIFY(Principal().isEnabled());
    QVERIFY(d.isVisible());
    QVERIFY(P().mensajes.isEmpty());
}

QTEST_MAIN(PruebaRespaldo)
#include "tst_respaldo.moc"
