// Start-up: the splash and wait texts, the working files, the opening of the database and
// the failure paths.
#include "apoyo/BasesPrueba.h"
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "inicio/Main.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/HacePausa.h"
#include "ui/ventanas/frmEspera.h"
#include "ui/ventanas/frmSplash.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <unistd.h>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0.0");

void CreaArchivo(const QString& ruta, const QByteArray& contenido)
{
    QDir().mkpath(QFileInfo(ruta).path());
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write(contenido);
}

// What the windows showed at each pause of start-up.
struct Momento {
    QString splash;
    bool splashVisible;
    bool relojDeArena;
    QString espera;
    bool esperaVisible;
    bool principalVisible;
    bool principalHabilitada;
};
} // namespace

class PruebaInicio : public QObject {
    Q_OBJECT
private slots:
    void muestraLosPasosEnOrdenYHabilitaLaVentanaAlFinal();
    void escribeElArchivoDeInformacion();
    void unEnlaceConElNombreDelArchivoDeInformacionNoSeSigue();
    void preparaLosArchivosDeTrabajo();
    void creaLaRaizDeInstalacionQueFalta();
    void sinBaseDeDatosAvisaYTerminaSinCrearla();
    void unArchivoQueNoEsBaseSeAvisaYNoSeToca_data();
    void unArchivoQueNoEsBaseSeAvisaYNoSeToca();
    void unIndiceIncompletoSeReparaTrasGuardarElArchivo_data();
    void unIndiceIncompletoSeReparaTrasGuardarElArchivo();
    void unaCarpetaDeTrabajoSinEscrituraTerminaConElMensajeDeFallo();
    void laPausaAtiendeEventosYSiempreTermina();
    void laPausaNuncaTerminaAntesDeTiempo();
};

void PruebaInicio::muestraLosPasosEnOrdenYHabilitaLaVentanaAlFinal()
{
    EntornoPrueba entorno;
    entorno.CreaBases();
    QList<Momento> momentos;
    entorno.plataforma.alPausar = [&] {
        const bool principal = VentanaCargada<frmMenuPrincipal>();
        momentos << Momento{Hijo<QLabel>(Ventana<frmSplash>(), "lblLogo2")->text(),
                            Ventana<frmSplash>().isVisible(),
                            Ventana<frmSplash>().cursor().shape() == Qt::WaitCursor,
                            VentanaCargada<frmEspera>()
                                ? Hijo<QLabel>(Ventana<frmEspera>(), "lblEsperar")->text()
                                : QString(),
                            VentanaCargada<frmEspera>() && Ventana<frmEspera>().isVisible(),
                            principal && Ventana<frmMenuPrincipal>().isVisible(),
                            principal && Ventana<frmMenuPrincipal>().isEnabled()};
    };
    Main();

    QCOMPARE(entorno.plataforma.pausas, (QList<int>{1000, 1000, 1000, 2000, 2000, 2000}));
    QCOMPARE(momentos.size(), 6);
    const QStringList splash{"Creando espacio de trabajo...", "Asignando espacio de trabajo...",
                             "Haciendo comprobación de archivos...", "Abriendo base de datos..."};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(momentos[i].splash, splash[i]);
        QVERIFY(momentos[i].splashVisible);
        QVERIFY(momentos[i].relojDeArena);
        QVERIFY(!momentos[i].principalVisible);
    }
    QCOMPARE(momentos[4].espera, QStringLiteral("Creando listados..."));
    QCOMPARE(momentos[5].espera, QStringLiteral("Iniciando listados..."));
    for (int i = 4; i < 6; ++i) {
        QVERIFY(!momentos[i].splashVisible);
        QVERIFY(momentos[i].esperaVisible);
        QVERIFY(momentos[i].principalVisible);
        QVERIFY(!momentos[i].principalHabilitada);
    }

    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    QVERIFY(principal.isVisible());
    QVERIFY(principal.isEnabled());
    QVERIFY(Hijo<QFrame>(principal, "picMenu1")->isVisible());
    QVERIFY(!Ventana<frmEspera>().isVisible());
    QVERIFY(!Ventana<frmSplash>().isVisible());
    QCOMPARE(Ventana<frmSplash>().cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!principal.Paneles[4]->text().isEmpty());
    QVERIFY(!principal.Paneles[5]->text().isEmpty());
    QVERIFY(modTALVEXV20().dbPrincipal.EstaAbierta());
    QVERIFY(entorno.plataforma.mensajes.isEmpty());
    QVERIFY(!entorno.plataforma.terminado);
}

void PruebaInicio::escribeElArchivoDeInformacion()
{
    EntornoPrueba entorno;
    entorno.CreaBases();
    CreaArchivo(entorno.Ruta("TALVEXV20.txt"), QByteArray(5000, 'x')); // overwritten, not appended
    Main();
    const QByteArray contenido = LeeArchivo(entorno.Ruta("TALVEXV20.txt"));
    QVERIFY(contenido.endsWith("\r\n"));
    const QList<QByteArray> lineas = contenido.chopped(2).split('\n');
    QCOMPARE(lineas.size(), 7);
    for (const QByteArray& linea : lineas.mid(0, 6))
        QVERIFY(linea.endsWith('\r'));
    QCOMPARE(QString::fromUtf8(lineas[0]),
             QStringLiteral("TALVEX Ver. 2.0.0 Asistente para aprender inglés\r"));
    QCOMPARE(lineas[1], QByteArray(" \r"));
    for (const QByteArray& linea : lineas.mid(2))
        QVERIFY(linea.trimmed().size() > 3);
}

void PruebaInicio::unEnlaceConElNombreDelArchivoDeInformacionNoSeSigue()
{
    EntornoPrueba entorno;
    entorno.CreaBases();
    const QString objetivo = entorno.Raiz(0) + QStringLiteral("/importante.txt");
    CreaArchivo(objetivo, "datos del usuario");
    QVERIFY(QFile::link(objetivo, entorno.Ruta("TALVEXV20.txt")));
    Main();
    QCOMPARE(LeeArchivo(objetivo), QByteArray("datos del usuario"));
    const QFileInfo informacion(entorno.Ruta("TALVEXV20.txt"));
    QVERIFY(!informacion.isSymLink() && informacion.isFile());
    QVERIFY(LeeArchivo(informacion.filePath()).startsWith("TALVEX Ver. 2.0.0"));
    QCOMPARE(QDir(entorno.Carpeta()).entryList({".talvex-*"}, QDir::Hidden | QDir::Files),
             QStringList());
}

void PruebaInicio::preparaLosArchivosDeTrabajo()
{
    EntornoPrueba entorno;
    entorno.CreaBases();
    CreaArchivo(entorno.Ruta("TALVEXV20.ldb"), "bloqueo viejo");
    CreaArchivo(entorno.Ruta("TALVEXV20.MDB-journal"), ""); // the engine's own: never deleted
    for (int i = 0; i < 4; ++i)
        CreaArchivo(entorno.Raiz(i) + "/TALVEXV20/TalvexReport.ldb", "bloqueo");
    CreaArchivo(entorno.Raiz(1) + "/TALVEXV20/otro.ldb", "ajeno");
    // The lock is gone before the database opens.
    bool bloqueoAlAbrir = true;
    entorno.plataforma.alPausar = [&] {
        if (Hijo<QLabel>(Ventana<frmSplash>(), "lblLogo2")->text() ==
            QStringLiteral("Abriendo base de datos..."))
            bloqueoAlAbrir = QFile::exists(entorno.Ruta("TALVEXV20.ldb"));
    };
    Main();
    QVERIFY(!bloqueoAlAbrir);
    QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.ldb")));
    QVERIFY(QFile::exists(entorno.Ruta("TALVEXV20.MDB-journal")));
    for (int i = 0; i < 4; ++i)
        QVERIFY(!QFile::exists(entorno.Raiz(i) + "/TALVEXV20/TalvexReport.ldb"));
    QVERIFY(QFile::exists(entorno.Raiz(1) + "/TALVEXV20/otro.ldb"));
    const QString copia = entorno.Raiz(0) + "/TALVEXV20/TalvexReport.mdb";
    QCOMPARE(LeeArchivo(copia), LeeArchivo(entorno.Ruta("TalvexReport.mdb")));
}

void PruebaInicio::creaLaRaizDeInstalacionQueFalta()
{
    // A new system may have no data folder yet: start-up makes the whole path, and keeps an
    // existing copy of the report database as it is.
    EntornoPrueba entorno;
    entorno.CreaBases();
    modTALVEXV20().RaicesInstalacion[0] = entorno.Raiz(0) + "/local/share";
    Main();
    QVERIFY(QFile::exists(entorno.Raiz(0) + "/local/share/TALVEXV20/TalvexReport.mdb"));
    QVERIFY(entorno.plataforma.mensajes.isEmpty());

    EntornoPrueba segundo;
    segundo.CreaBases();
    CreaArchivo(segundo.Raiz(0) + "/TALVEXV20/TalvexReport.mdb", "la copia del usuario");
    Main();
    QCOMPARE(LeeArchivo(segundo.Raiz(0) + "/TALVEXV20/TalvexReport.mdb"),
             QByteArray("la copia del usuario"));
}

void PruebaInicio::sinBaseDeDatosAvisaYTerminaSinCrearla()
{
    EntornoPrueba entorno;
    CreaBaseReporte(entorno.Ruta("TalvexReport.mdb"));
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    QVERIFY_THROWS_EXCEPTION(FinDelPrograma, Main());
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    const Mensaje& mensaje = entorno.plataforma.mensajes[0];
    QCOMPARE(mensaje.texto,
             QStringLiteral("¡¡ No se encuentra la Base de Datos : 'TALVEXV20.MDB' !!"));
    QCOMPARE(mensaje.titulo, Titulo);
    QCOMPARE(mensaje.icono, IconoMensaje::Critico);
    QCOMPARE(mensaje.botones, BotonesMensaje::Aceptar);
    QCOMPARE(entorno.plataforma.pitidos, 1);
    QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.MDB")));
    QVERIFY(!VentanaCargada<frmMenuPrincipal>());
    // The clean-up ran: the information file is gone again.
    QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.txt")));
}

void PruebaInicio::unArchivoQueNoEsBaseSeAvisaYNoSeToca_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::newRow("vacío") << QByteArray();
    QTest::newRow("texto") << QByteArray("Esto no es una base de datos.\r\nhouse\tcasa\r\n");
    QTest::newRow("cabecera SQLite sin páginas")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\0');
    // A sound file with a page of its tables overwritten: only the check of every page, which
    // runs aside while the lists fill, sees it.
    QTemporaryDir carpeta;
    const QString sana = carpeta.filePath(QStringLiteral("sana.MDB"));
    CreaBase(sana, 300, QStringLiteral("x"));
    QFile archivo(sana);
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    QByteArray danada = archivo.readAll();
    danada.replace(2 * 4096, 100, QByteArray(100, '\xff'));
    QTest::newRow("página dañada") << danada;
}

void PruebaInicio::unArchivoQueNoEsBaseSeAvisaYNoSeToca()
{
    QFETCH(QByteArray, contenido);
    EntornoPrueba entorno;
    CreaBaseReporte(entorno.Ruta("TalvexReport.mdb"));
    CreaArchivo(entorno.Ruta("TALVEXV20.MDB"), contenido);
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    Main();

    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    const Mensaje& mensaje = entorno.plataforma.mensajes[0];
    QVERIFY(mensaje.texto.startsWith(
        QStringLiteral("¡¡ No se puede usar la Base de Datos 'TALVEXV20.MDB' !!\r\r")));
    QCOMPARE(mensaje.icono, IconoMensaje::Critico);
    QCOMPARE(mensaje.titulo, Titulo);
    if (QByteArray(QTest::currentDataTag()) == "página dañada")
        QVERIFY2(mensaje.texto.contains(QStringLiteral("está dañado (")),
                 qPrintable(mensaje.texto));
    QCOMPARE(LeeArchivo(entorno.Ruta("TALVEXV20.MDB")), contenido);
    QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.MDB-journal")));
    // Start-up still reaches the main window, with nothing to show.
    QVERIFY(!entorno.plataforma.terminado);
    QVERIFY(Ventana<frmMenuPrincipal>().isEnabled());
    BaseVocabulario& base = modTALVEXV20().dbPrincipal;
    QVERIFY(!base.EstaAbierta());
    int visitas = 0;
    base.RecorreTemas([&](const Tema&) { ++visitas; });
    base.RecorreItems([&](const Item&) { ++visitas; });
    QCOMPARE(visitas, 0);
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QCOMPARE(v.ModeloItems->rowCount(), 0);
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QString());
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QString());
}

void PruebaInicio::unIndiceIncompletoSeReparaTrasGuardarElArchivo_data()
{
    QTest::addColumn<QByteArray>("indice");
    QTest::addColumn<QString>("ingles"); // of the item the index lacks
    QTest::newRow("índice de la lista") << QByteArray("ITEMSLISTA") << "zebra";
    // The rebuilt unique index would refuse the row: the file is said and left unused.
    QTest::newRow("clave repetida en el índice único") << QByteArray("ITEMING") << "x palabra 7";
}

void PruebaInicio::unIndiceIncompletoSeReparaTrasGuardarElArchivo()
{
    QFETCH(QByteArray, indice);
    QFETCH(QString, ingles);
    const bool reparable = indice == "ITEMSLISTA";
    EntornoPrueba entorno;
    entorno.CreaBases();
    const QString trabajo = entorno.Ruta("TALVEXV20.MDB");
    CreaBase(trabajo + ".nueva", 50, "x");
    QVERIFY(QFile::remove(trabajo) && QFile::rename(trabajo + ".nueva", trabajo));
    QVERIFY(DanaIndiceItems(trabajo, {ingles, "otra", SinCategoria, ""}, indice));
    const QByteArray danado = LeeArchivo(trabajo);
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    Main();

    // Said once; the file as it was is kept beside it; the lists show the row the index lacked.
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    const Mensaje& mensaje = entorno.plataforma.mensajes[0];
    QVERIFY2(mensaje.texto.contains("está dañado (falta la fila 51 en el índice " + indice),
             qPrintable(mensaje.texto));
    frmMenuPrincipal& v = Ventana<frmMenuPrincipal>();
    QVERIFY(v.isEnabled());
    if (!reparable) {
        QVERIFY(mensaje.texto.startsWith("¡¡ No se puede usar la Base de Datos"));
        QCOMPARE(LeeArchivo(trabajo), danado);
        QCOMPARE(v.ModeloItems->rowCount(), 0);
        return;
    }
    QVERIFY2(mensaje.texto.startsWith(QStringLiteral(
                 "¡¡ Se repararon los índices de la Base de Datos 'TALVEXV20.MDB' !!\r\rEl "
                 "archivo está dañado (")),
             qPrintable(mensaje.texto));
    QVERIFY(mensaje.texto.endsWith("'" + trabajo + ".sin-reparar'."));
    QCOMPARE(mensaje.icono, IconoMensaje::Exclamacion);
    QCOMPARE(LeeArchivo(trabajo + ".sin-reparar"), danado);
    QVERIFY(DefectoPaginasAparte(trabajo, Comprobacion::Completa).defecto.isEmpty());
    QCOMPARE(v.ModeloItems->rowCount(), 51);
    QCOMPARE(v.ModeloItems->Filas().Ingles(50), ingles);
    modTALVEXV20().dbPrincipal.EliminaItem(ingles); // writable again
}

void PruebaInicio::unaCarpetaDeTrabajoSinEscrituraTerminaConElMensajeDeFallo()
{
    EntornoPrueba entorno;
    entorno.CreaBases();
    // Root may write anywhere on an ordinary file system, but not into /proc.
    QVERIFY(QDir::setCurrent(geteuid() == 0 ? QStringLiteral("/proc") : QStringLiteral("/")));
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    QVERIFY_THROWS_EXCEPTION(FinDelPrograma, Main());
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    const Mensaje& mensaje = entorno.plataforma.mensajes[0];
    const QString inicio =
        QStringLiteral("¡¡ No se puede ejecutar la  aplicación  TALVEXV20  Ver. 2.0 !!\r\rError (");
    QVERIFY2(mensaje.texto.startsWith(inicio), qPrintable(mensaje.texto));
    const QString resto = mensaje.texto.mid(inicio.size());
    const qsizetype cierre = resto.indexOf(QStringLiteral(") : "));
    QVERIFY(cierre > 0);
    bool esNumero = false;
    resto.left(cierre).toInt(&esNumero);
    QVERIFY(esNumero);
    QVERIFY(resto.size() > cierre + 4); // the system's description follows
    QCOMPARE(mensaje.icono, IconoMensaje::Critico);
    QCOMPARE(mensaje.titulo, Titulo);
    QCOMPARE(entorno.plataforma.pitidos, 1);
    QVERIFY(!VentanaCargada<frmMenuPrincipal>());
}

void PruebaInicio::laPausaAtiendeEventosYSiempreTermina()
{
    EntornoPrueba entorno;
    bool atendido = false;
    QTimer::singleShot(0, [&] { atendido = true; });
    HacePausa(1000, 1);
    QVERIFY(atendido);
    // The shared counter wraps at 10; a wait for more ticks than that still ends.
    HacePausa(1000, 25);
    QCOMPARE(entorno.plataforma.pausas, (QList<int>{1000, 1000}));
    HacePausa(1000, 0);
}

void PruebaInicio::laPausaNuncaTerminaAntesDeTiempo()
{
    EntornoPrueba entorno;
    entorno.plataforma.pausasReales = true;
    for (const auto& [intervalo, ticks] : {std::pair{1000, 1}, {1000, 1}, {300, 2}}) {
        QElapsedTimer reloj;
        reloj.start();
        HacePausa(intervalo, ticks);
        QVERIFY2(reloj.elapsed() >= intervalo * ticks,
                 qPrintable(QString::number(reloj.elapsed())));
    }
}

QTEST_MAIN(PruebaInicio)
#include "tst_inicio.moc"
