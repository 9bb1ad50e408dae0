// Automatic copies: when they are made, how many stay, what a killed or failed copy leaves,
// and getting one back through its window.
#include "apoyo/BasesPrueba.h"
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/CierraAplicacion.h"
#include "nucleo/CopiaSegura.h"
#include "nucleo/CopiasAutomaticas.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/backup/Respaldo.h"
#include "ui/backup/frmCopias.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {
const QString Auxiliar = QStringLiteral(TALVEX_DIR_BINARIOS "/aux_copiasegura");
const QDateTime Lunes(QDate(2026, 12, 7), QTime(9, 30, 0));

QStringList Nombres(const QList<CopiaGuardada>& copias)
{
    QStringList nombres;
    for (const CopiaGuardada& copia : copias)
        nombres << QFileInfo(copia.ruta).fileName();
    return nombres;
}

// Every file of the folder, hidden ones included.
QStringList Archivos(const QString& carpeta)
{
    return QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Files of this process may not grow beyond a size while it lives: a write past it fails as
// on a full disk.
class LimiteTamano {
public:
    explicit LimiteTamano(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &anterior_);
        rlimit limite = anterior_;
        limite.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteTamano() { setrlimit(RLIMIT_FSIZE, &anterior_); }

private:
    rlimit anterior_{};
};

// A folder that refuses new files even to the administrator, or an empty text.
QString CarpetaQueRechaza()
{
    const int prueba = ::open("/sys/.talvex-prueba", O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (prueba < 0)
        return QStringLiteral("/sys");
    ::close(prueba);
    ::unlink("/sys/.talvex-prueba");
    return {};
}

const Item Nuevo{QStringLiteral("kitchen"), QStringLiteral("cocina"), SinCategoria,
                 QStringLiteral("Donde se cocina.")};
} // namespace

class PruebaCopiasAutomaticas : public QObject {
    Q_OBJECT
private slots:
    void alCerrarSoloSiCambio();
    void alIniciarSoloSiLaUltimaTieneUnaSemana_data();
    void alIniciarSoloSiLaUltimaTieneUnaSemana();
    void seConservanLasDiezMasRecientes();
    void unaCopiaMatadaNoDejaNadaAMedias();
    void unaCopiaFallidaSeDiceUnaVezAlIniciar_data();
    void unaCopiaFallidaSeDiceUnaVezAlIniciar();
    void recuperarUnaCopiaDevuelveSuContenido();
    void laRotacionSoloCuentaYBorraCopiasPropias_data();
    void laRotacionSoloCuentaYBorraCopiasPropias();
    void unaCarpetaDeCopiasQueEsUnArchivoSeDiceYNoSeToca_data();
    void unaCarpetaDeCopiasQueEsUnArchivoSeDiceYNoSeToca();
    void abrirUnaCarpetaDeCopiasQueEsUnArchivoSeDice();
    void recuperarUnaCopiaConUnIndiceDanadoNoCopiaNada();
};

void PruebaCopiasAutomaticas::alCerrarSoloSiCambio()
{
    EntornoPrueba entorno;
    entorno.plataforma.ahora = Lunes;
    Arranca(entorno, {}, {});
    const QString carpeta = CarpetaCopias();
    QCOMPARE(carpeta, entorno.Raiz(0) + "/TALVEXV20/copias");
    QCOMPARE(Nombres(CopiasGuardadas(carpeta)), QStringList{"TALVEXV20-20261207-093000.MDB"});

    // Nothing written: nothing copied.
    entorno.plataforma.ahora = Lunes.addSecs(60);
    Principal().close();
    QVERIFY(entorno.plataforma.terminado);
    QCOMPARE(CopiasGuardadas(carpeta).size(), 1);

    // A write that was refused is no change either.
    ArrancaOtraVez(entorno);
    QVERIFY_THROWS_EXCEPTION(ErrorTalvex, modTALVEXV20().dbPrincipal.ModificaItem("falta", Nuevo));
    Principal().close();
    QCOMPARE(CopiasGuardadas(carpeta).size(), 1);

    // A saved item: the closing copies the database, the item in it.
    ArrancaOtraVez(entorno);
    modTALVEXV20().dbPrincipal.AgregaItem(Nuevo);
    Principal().close();
    QVERIFY(entorno.plataforma.terminado);
    QVERIFY(entorno.plataforma.mensajes.isEmpty());
    const QList<CopiaGuardada> copias = CopiasGuardadas(carpeta);
    QCOMPARE(Nombres(copias),
             (QStringList{"TALVEXV20-20261207-093100.MDB", "TALVEXV20-20261207-093000.MDB"}));
    QCOMPARE(HuellaFilas(copias.first().ruta), HuellaFilas(entorno.Ruta("TALVEXV20.MDB")));
    QCOMPARE(CuentaFilas(copias.first().ruta).items, 1);
    QCOMPARE(CuentaFilas(copias.last().ruta).items, 0);

    // The exit watcher ends the program at once, without the copy.
    entorno.plataforma.ahora = Lunes.addSecs(120);
    ArrancaOtraVez(entorno);
    modTALVEXV20().dbPrincipal.EliminaItem("kitchen");
    QVERIFY(QDir().mkpath(entorno.Raiz(2) + "/HURNEXTemp"));
    QVERIFY_THROWS_EXCEPTION(FinDelPrograma, VigilaSalida());
    QVERIFY(entorno.plataforma.terminado);
    QCOMPARE(CopiasGuardadas(carpeta).size(), 2);
}

void PruebaCopiasAutomaticas::alIniciarSoloSiLaUltimaTieneUnaSemana_data()
{
    QTest::addColumn<int>("diasDeLaUltima"); // -1: there is none
    QTest::addColumn<bool>("copia");
    QTest::newRow("ninguna") << -1 << true;
    QTest::newRow("de hoy") << 0 << false;
    QTest::newRow("de hace seis días") << 6 << false;
    QTest::newRow("de hace siete días y un minuto") << 7 << true;
}

void PruebaCopiasAutomaticas::alIniciarSoloSiLaUltimaTieneUnaSemana()
{
    QFETCH(int, diasDeLaUltima);
    QFETCH(bool, copia);
    EntornoPrueba entorno;
    const QString carpeta = entorno.Raiz(0) + "/TALVEXV20/copias";
    BaseVocabulario::CreaVacia(entorno.Ruta("previa.MDB"));
    if (diasDeLaUltima >= 0)
        HazCopiaAutomatica(entorno.Ruta("previa.MDB"), carpeta,
                           Lunes.addDays(-diasDeLaUltima).addSecs(diasDeLaUltima == 7 ? -60 : 0));
    const qsizetype antes = CopiasGuardadas(carpeta).size();
    entorno.plataforma.ahora = Lunes;
    Arranca(entorno, {}, {});
    QCOMPARE(CopiasGuardadas(carpeta).size(), antes + (copia ? 1 : 0));
    if (copia)
        QCOMPARE(CopiasGuardadas(carpeta).first().hora, Lunes);
    QVERIFY(entorno.plataforma.mensajes.isEmpty());
}

void PruebaCopiasAutomaticas::seConservanLasDiezMasRecientes()
{
    QTemporaryDir temporal;
    const QString base = temporal.filePath("TALVEXV20.MDB");
    const QString carpeta = temporal.filePath("datos/TALVEXV20/copias"); // made with its parents
    CreaBase(base, 300, "diez");
    for (int dia = 0; dia < CopiasConservadas; ++dia)
        HazCopiaAutomatica(base, carpeta, Lunes.addDays(dia));
    QFile otro(carpeta + "/notas.txt"); // not a copy: never touched
    QVERIFY(otro.open(QIODevice::WriteOnly));
    otro.close();
    const QStringList diez = Nombres(CopiasGuardadas(carpeta));
    QCOMPARE(diez.size(), 10);
    QCOMPARE(diez.first(), "TALVEXV20-20261216-093000.MDB");
    QCOMPARE(diez.last(), "TALVEXV20-20261207-093000.MDB");

    // The eleventh fails half-way: all ten stay, the oldest included, and nothing else.
    const QDateTime undecima = Lunes.addDays(10);
    try {
        LimiteTamano limite(QFileInfo(base).size() / 2);
        HazCopiaAutomatica(base, carpeta, undecima);
        QFAIL("la copia pasó el límite de tamaño");
    } catch (const ErrorTalvex& error) {
        QCOMPARE(error.Numero(), NumeroError::DiscoLleno);
    }
    QCOMPARE(Nombres(CopiasGuardadas(carpeta)), diez);
    QStringList todos = diez + QStringList{"notas.txt"};
    todos.sort();
    QCOMPARE(Archivos(carpeta), todos);

    // Whole, it takes the place of the oldest.
    HazCopiaAutomatica(base, carpeta, undecima);
    QStringList esperadas = diez.mid(0, 9);
    esperadas.prepend(NombreCopia(undecima));
    QCOMPARE(Nombres(CopiasGuardadas(carpeta)), esperadas);
    QVERIFY(QFile::exists(carpeta + "/notas.txt"));
    QCOMPARE(HuellaFilas(carpeta + "/" + NombreCopia(undecima)), HuellaFilas(base));
}

void PruebaCopiasAutomaticas::unaCopiaMatadaNoDejaNadaAMedias()
{
    QTemporaryDir temporal;
    const QString base = temporal.filePath("TALVEXV20.MDB");
    const QString carpeta = temporal.filePath("copias");
    CreaBase(base, 15000, "matada");
    const QByteArray filas = HuellaFilas(base);

    QElapsedTimer reloj;
    reloj.start();
    QProcess entera;
    entera.start(Auxiliar, {"automatica", base, carpeta, Lunes.toString("yyyyMMdd-HHmmss")});
    QVERIFY(entera.waitForFinished(30000));
    QCOMPARE(entera.readAllStandardOutput().trimmed(), QByteArray("HECHO"));
    const int duracion = int(reloj.elapsed());

    int enteras = 1;
    for (int ronda = 1; ronda <= 20; ++ronda) {
        QProcess hijo;
        hijo.start(Auxiliar,
                   {"automatica", base, carpeta, Lunes.addSecs(ronda).toString("yyyyMMdd-HHmmss")});
        QVERIFY(hijo.waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(duracion + duracion / 5 + 1));
        hijo.kill();
        QVERIFY(hijo.waitForFinished(10000));
        const QList<CopiaGuardada> copias = CopiasGuardadas(carpeta);
        enteras = int(copias.size());
        QVERIFY(enteras <= CopiasConservadas);
        // Among the copies, only whole ones; at most one hidden temporary of the killed copy.
        for (const CopiaGuardada& copia : copias)
            QCOMPARE(HuellaFilas(copia.ruta), filas);
        QVERIFY(Archivos(carpeta).size() <= copias.size() + 1);
    }
    qInfo("copia de %d ms: %d copias enteras tras 20 interrupciones", duracion, enteras);

    HazCopiaAutomatica(base, carpeta, Lunes.addDays(1));
    QStringList nombres = Nombres(CopiasGuardadas(carpeta));
    nombres.sort();
    QCOMPARE(Archivos(carpeta), nombres); // the killed copies' temporaries are gone
}

void PruebaCopiasAutomaticas::unaCopiaFallidaSeDiceUnaVezAlIniciar_data()
{
    QTest::addColumn<bool>("discoLleno"); // else a folder that refuses new files
    QTest::addColumn<QString>("motivo");
    QTest::newRow("disco lleno") << true << "No hay espacio suficiente en el disco";
    QTest::newRow("carpeta que no admite archivos") << false << "Permiso denegado";
}

void PruebaCopiasAutomaticas::unaCopiaFallidaSeDiceUnaVezAlIniciar()
{
    QFETCH(bool, discoLleno);
    QFETCH(QString, motivo);
    const QString rechaza = CarpetaQueRechaza();
    if (!discoLleno && rechaza.isEmpty())
        QSKIP("no hay aquí una carpeta que rechace archivos nuevos");
    EntornoPrueba entorno;
    QList<Item> items;
    for (int i = 0; i < 300; ++i)
        items << Item{QStringLiteral("word %1").arg(i), QStringLiteral("palabra %1").arg(i),
                      SinCategoria, QString(100, QLatin1Char('n'))};
    entorno.plataforma.ahora = Lunes;
    Arranca(entorno, {}, items);
    const QString carpeta = CarpetaCopias();
    QCOMPARE(CopiasGuardadas(carpeta).size(), 1);

    modTALVEXV20().dbPrincipal.AgregaItem(Nuevo);
    const QString trabajo = entorno.Ruta("TALVEXV20.MDB");
    const QByteArray antes = LeeArchivo(trabajo);
    entorno.plataforma.ahora = Lunes.addSecs(60);
    {
        std::optional<LimiteTamano> limite;
        if (discoLleno)
            limite.emplace(antes.size() / 2);
        else
            QVERIFY(QFile::rename(carpeta, carpeta + ".aparte") && QFile::link(rechaza, carpeta));
        Principal().close();
        if (!discoLleno)
            QVERIFY(QFile::remove(carpeta) && QFile::rename(carpeta + ".aparte", carpeta));
    }
    // The closing went to its end, silent; the working database is as it was.
    QVERIFY(entorno.plataforma.terminado);
    QVERIFY(entorno.plataforma.mensajes.isEmpty());
    QCOMPARE(LeeArchivo(trabajo), antes);
    QCOMPARE(CopiasGuardadas(carpeta).size(), 1);
    QCOMPARE(Archivos(carpeta).size(), 1);

    entorno.plataforma.ahora = Lunes.addSecs(120);
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    ArrancaOtraVez(entorno);
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    const Mensaje& mensaje = entorno.plataforma.mensajes.first();
    QCOMPARE(mensaje.texto, "¡¡ No se pudo hacer la copia automática de sus datos !!\r\r" + motivo +
                                ".\r\rSu base de datos no se modificó. Las copias "
                                "automáticas se guardan en la carpeta '" +
                                carpeta + "'.");
    QCOMPARE(mensaje.titulo, "TALVEX Ver. 2.0.0");
    QCOMPARE(mensaje.icono, IconoMensaje::Exclamacion);
    QCOMPARE(entorno.plataforma.pitidos, 1);
    QVERIFY(Principal().isEnabled());

    Principal().close(); // nothing changed in that run: no copy, no message
    ArrancaOtraVez(entorno);
    QVERIFY(entorno.plataforma.mensajes.isEmpty());
}

void PruebaCopiasAutomaticas::recuperarUnaCopiaDevuelveSuContenido()
{
    EntornoPrueba entorno;
    entorno.plataforma.ahora = Lunes;
    Arranca(entorno, {{"Casa", "Notas de la casa"}}, {{"house", "casa", "Casa", ""}, Nuevo});
    const QString trabajo = entorno.Ruta("TALVEXV20.MDB");
    const QByteArray deLaCopia = HuellaFilas(trabajo);
    modTALVEXV20().dbPrincipal.EliminaItem("kitchen");
    entorno.plataforma.ahora = Lunes.addDays(1);
    Principal().close();
    ArrancaOtraVez(entorno);
    const QByteArray sinCocina = HuellaFilas(trabajo);

    Hijo<QAction>(Principal(), "mnuCopias")->trigger();
    frmCopias& ventana = Ventana<frmCopias>();
    QVERIFY(ventana.isVisible());
    QVERIFY(!Principal().isEnabled());
    QTreeWidget* lista = Hijo<QTreeWidget>(ventana, "lvwCopias");
    QCOMPARE(lista->topLevelItemCount(), 2);
    const QLocale idioma = QLocale::system();
    QVERIFY(lista->topLevelItem(0)->text(0).startsWith(
        idioma.toString(Lunes.date().addDays(1), QLocale::ShortFormat)));
    for (const auto& [fila, items] : {std::pair{0, "1"}, {1, "2"}}) {
        QCOMPARE(lista->topLevelItem(fila)->text(1), "1");
        QCOMPARE(lista->topLevelItem(fila)->text(2), items);
    }

    Hijo<QPushButton>(ventana, "cmdAbrirCarpeta")->click();
    QCOMPARE(entorno.plataforma.direcciones, QList<QUrl>{QUrl::fromLocalFile(CarpetaCopias())});

    // The older copy, chosen and restored, after the question of every restore.
    lista->setCurrentItem(lista->topLevelItem(1));
    entorno.plataforma.respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar,
                                     RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(ventana, "cmdRecuperar")->click();
    QVERIFY(entorno.plataforma.terminado);
    QStringList textos;
    for (const Mensaje& mensaje : entorno.plataforma.mensajes)
        textos << mensaje.texto;
    QCOMPARE(textos, (QStringList{"El achivo se copiará en la unidad " + UnidadDe(trabajo) +
                                      "\r\r¿ Quiere continuar ?",
                                  "¡¡ El archivo se copió con éxito !!",
                                  "¡¡ Para recuperar la B.D. se debe cerrar la aplicación e "
                                  "iniciar nuevamente !!"}));
    QCOMPARE(HuellaFilas(trabajo), deLaCopia);
    QCOMPARE(HuellaFilas(trabajo + ".anterior"), sinCocina);

    ArrancaOtraVez(entorno);
    QVERIFY(modTALVEXV20().dbPrincipal.LocalizaItem("kitchen").has_value());
}

void PruebaCopiasAutomaticas::laRotacionSoloCuentaYBorraCopiasPropias_data()
{
    QTest::addColumn<int>("futuras");   // sound copies named (and dated) in 2099
    QTest::addColumn<int>("recientes"); // junk named as copies newer than the real ones
    QTest::addColumn<int>("antiguas");  // junk named as copies older than the real ones
    QTest::addColumn<int>("reales");    // real copies kept after the new one
    QTest::newRow("diez copias con fecha futura") << 10 << 0 << 0 << 10;
    QTest::newRow("once archivos ajenos con nombre de copia") << 0 << 11 << 0 << 3;
    QTest::newRow("once ajenos con nombres antiguos") << 0 << 0 << 11 << 3;
}

// Only sound copies of ours are counted and removed, by when they were made; the copy just
// made is never removed; other files stay; copies named in the future do not stop new ones.
void PruebaCopiasAutomaticas::laRotacionSoloCuentaYBorraCopiasPropias()
{
    QFETCH(int, futuras);
    QFETCH(int, recientes);
    QFETCH(int, antiguas);
    QFETCH(int, reales);
    QTemporaryDir temporal;
    const QString base = temporal.filePath("TALVEXV20.MDB");
    const QString carpeta = temporal.filePath("copias");
    CreaBase(base, 20, "rotación");
    const QDateTime futuro(QDate(2099, 1, 1), QTime(8, 0));
    for (int i = 0; i < futuras; ++i) {
        const QString ruta = HazCopiaAutomatica(base, carpeta, futuro.addSecs(i));
        QFile copia(ruta); // written while the clock ran ahead: the file's time too
        QVERIFY(copia.open(QIODevice::ReadWrite) &&
                copia.setFileTime(futuro, QFileDevice::FileModificationTime));
    }
    QStringList ajenos;
    for (int i = 0; i < recientes + antiguas; ++i) {
        ajenos << NombreCopia(i < recientes ? Lunes.addDays(i + 1) : Lunes.addYears(-5).addDays(i));
        QFile basura(carpeta + "/" + ajenos.last());
        QVERIFY(QDir().mkpath(carpeta) && basura.open(QIODevice::WriteOnly));
        basura.write("no es una copia");
    }
    if (futuras == 0) {
        HazCopiaAutomatica(base, carpeta, Lunes.addSecs(-120));
        HazCopiaAutomatica(base, carpeta, Lunes.addSecs(-60));
    }
    QCOMPARE(CopiaVencida(carpeta, Lunes), futuras > 0);

    const QString nueva = HazCopiaAutomatica(base, carpeta, Lunes);
    const CarpetaDeCopias contenido = RevisaCarpetaCopias(carpeta, Lunes);
    QCOMPARE(contenido.copias.size(), reales);
    QCOMPARE(contenido.copias.first().ruta, nueva);
    QCOMPARE(contenido.copias.first().hora, Lunes);
    ajenos.sort();
    QCOMPARE(contenido.ajenos, ajenos);
    for (const QString& ajeno : ajenos)
        QCOMPARE(LeeArchivo(carpeta + "/" + ajeno), QByteArray("no es una copia"));
    QVERIFY(!CopiaVencida(carpeta, Lunes.addDays(1)));
}

void PruebaCopiasAutomaticas::unaCarpetaDeCopiasQueEsUnArchivoSeDiceYNoSeToca_data()
{
    QTest::addColumn<bool>("enlace"); // a link to /dev/null, else a regular file
    QTest::newRow("archivo") << false;
    QTest::newRow("enlace a /dev/null") << true;
}

void PruebaCopiasAutomaticas::unaCarpetaDeCopiasQueEsUnArchivoSeDiceYNoSeToca()
{
    QFETCH(bool, enlace);
    QTemporaryDir temporal;
    const QString base = temporal.filePath("TALVEXV20.MDB");
    const QString carpeta = temporal.filePath("copias");
    CreaBase(base, 5, "carpeta");
    if (enlace) {
        QVERIFY(QFile::link("/dev/null", carpeta));
    } else {
        QFile archivo(carpeta);
        QVERIFY(archivo.open(QIODevice::WriteOnly) && archivo.write("mío") > 0);
    }
    try {
        HazCopiaAutomatica(base, carpeta, Lunes);
        QFAIL("se copió en algo que no es una carpeta");
    } catch (const ErrorTalvex& error) {
        QCOMPARE(error.Descripcion(), "'" + carpeta +
                                          "' debería ser la carpeta de las copias, pero es un "
                                          "archivo o un enlace que no lleva a una carpeta; se "
                                          "dejó como está");
    }
    QCOMPARE(QFileInfo(carpeta).isSymLink(), enlace);
    if (!enlace)
        QCOMPARE(LeeArchivo(carpeta), QByteArray("mío"));
    QVERIFY(CopiasGuardadas(carpeta).isEmpty());
}

// The copies window does not open a file in the folder's place as if it were the folder.
void PruebaCopiasAutomaticas::abrirUnaCarpetaDeCopiasQueEsUnArchivoSeDice()
{
    EntornoPrueba entorno;
    entorno.plataforma.ahora = Lunes;
    Arranca(entorno, {}, {});
    const QString carpeta = CarpetaCopias();
    QVERIFY(QDir(carpeta).removeRecursively() && QFile::link("/dev/null", carpeta));
    Hijo<QAction>(Principal(), "mnuCopias")->trigger();
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(Ventana<frmCopias>(), "cmdAbrirCarpeta")->click();
    QVERIFY(entorno.plataforma.direcciones.isEmpty());
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    QCOMPARE(entorno.plataforma.mensajes.first().texto,
             "¡¡ No se puede abrir la carpeta de las copias !!\r\r" +
                 DefectoCarpetaCopias(carpeta) + ".");
    QVERIFY(DefectoCarpetaCopias(carpeta).startsWith("'" + carpeta + "' debería ser la carpeta"));
}

// A copy whose index lacks a row passes SQLite's quick check: restoring it is refused, before
// the question, and the working database stays as it was.
void PruebaCopiasAutomaticas::recuperarUnaCopiaConUnIndiceDanadoNoCopiaNada()
{
    EntornoPrueba entorno;
    entorno.plataforma.ahora = Lunes;
    Arranca(entorno, {}, {Nuevo});
    const QString trabajo = entorno.Ruta("TALVEXV20.MDB");
    const QString copia = CopiasGuardadas(CarpetaCopias()).first().ruta;
    QVERIFY(DanaIndiceItems(copia, {"zebra", "cebra", SinCategoria, ""}));
    const QByteArray antes = LeeArchivo(trabajo);
    QFile otro(CarpetaCopias() + "/notas.txt");
    QVERIFY(otro.open(QIODevice::WriteOnly));
    otro.close();

    Hijo<QAction>(Principal(), "mnuCopias")->trigger();
    // The copy is listed as ours; the other file is named once, below the list.
    QCOMPARE(Hijo<QTreeWidget>(Ventana<frmCopias>(), "lvwCopias")->topLevelItemCount(), 1);
    QCOMPARE(Hijo<QLabel>(Ventana<frmCopias>(), "lblAjenos")->text(),
             "La carpeta tiene además un archivo que no es una copia de TALVEX (notas.txt); no "
             "se cuenta ni se borra.");
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(Ventana<frmCopias>(), "cmdRecuperar")->click();
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    const QString texto = entorno.plataforma.mensajes.first().texto;
    QVERIFY2(texto.contains(QRegularExpression("falta la fila \\d+ en el índice ITEMSLISTA")),
             qPrintable(texto));
    QVERIFY(texto.endsWith("No se copió nada."));
    QVERIFY(!entorno.plataforma.terminado);
    QCOMPARE(LeeArchivo(trabajo), antes);
}

QTEST_MAIN(PruebaCopiasAutomaticas)
#include "tst_copiasautomaticas.moc"
