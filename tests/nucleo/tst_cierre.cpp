// The close-all routine: database closed, temporary files and the information file removed
// from the program's own folders only.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/CierraAplicacion.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/backup/frmRespaldar.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/frmEspera.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void Crea(const QString& ruta)
{
    QDir().mkpath(QFileInfo(ruta).path());
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write("x");
}
} // namespace

class PruebaCierre : public QObject {
    Q_OBJECT
private slots:
    void borraSoloLosTemporalesPropios();
    void cierraAunqueNadaSeHayaAbierto();
    void cerrarLaVentanaDiceCerrandoYTermina();
    void laOrdenSalirPreguntaDosVeces_data();
    void laOrdenSalirPreguntaDosVeces();
    void elVigilanteCierraConCadaCarpetaSenal();
};

void PruebaCierre::borraSoloLosTemporalesPropios()
{
    EntornoPrueba entorno;
    entorno.CreaBases();
    EstadoAplicacion& estado = modTALVEXV20();
    estado.fso = std::make_unique<SistemaArchivos>();
    estado.dbPrincipal.Abre(entorno.Ruta("TALVEXV20.MDB"));
    estado.dbReporte.Abre(entorno.Ruta("TalvexReport.mdb"));

    QTemporaryDir ajena;
    Crea(ajena.filePath("de.otro.programa.tmp"));
    Crea(entorno.Ruta("a.tmp"));
    Crea(entorno.Ruta("B.TMP"));
    Crea(entorno.Ruta("TALVEXV20.txt"));
    Crea(entorno.Ruta("notas.txt"));
    QFile::setPermissions(entorno.Ruta("a.tmp"), QFileDevice::ReadOwner); // read-only goes too
    for (int i = 0; i < 4; i += 2)
        Crea(entorno.Raiz(i) + "/TALVEXV20/informe.tmp");
    Crea(entorno.Raiz(1) + "/otra/x.tmp");
    QDir::setCurrent(ajena.path()); // the working folder may have moved: it is not cleaned

    CierraAplicacion();
    QVERIFY(!estado.dbPrincipal.EstaAbierta());
    QVERIFY(!estado.dbReporte.EstaAbierta());
    QVERIFY(!estado.fso);
    QVERIFY(!QFile::exists(entorno.Ruta("a.tmp")));
    QVERIFY(!QFile::exists(entorno.Ruta("B.TMP")));
    QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.txt")));
    QVERIFY(QFile::exists(entorno.Ruta("notas.txt")));
    QVERIFY(QFile::exists(entorno.Ruta("TALVEXV20.MDB")));
    QVERIFY(QFile::exists(ajena.filePath("de.otro.programa.tmp")));
    for (int i = 0; i < 4; i += 2)
        QVERIFY(!QFile::exists(entorno.Raiz(i) + "/TALVEXV20/informe.tmp"));
    QVERIFY(QFile::exists(entorno.Raiz(1) + "/otra/x.tmp"));
}

void PruebaCierre::cierraAunqueNadaSeHayaAbierto()
{
    EntornoPrueba entorno;
    CierraAplicacion();
    modTALVEXV20().fso = std::make_unique<SistemaArchivos>();
    CierraAplicacion(); // no database, no folders, no files: every step is skipped quietly
    QVERIFY(!modTALVEXV20().fso);
}

void PruebaCierre::cerrarLaVentanaDiceCerrandoYTermina()
{
    EntornoPrueba entorno;
    Arranca(entorno, {}, {});
    QVERIFY(QFile::exists(entorno.Ruta("TALVEXV20.txt")));
    QString espera;
    entorno.plataforma.alPausar = [&] {
        espera = Hijo<QLabel>(Ventana<frmEspera>(), "lblEsperar")->text();
    };
    Ventana<frmMenuPrincipal>().close();
    QCOMPARE(espera, QStringLiteral("Cerrando TALVEX..."));
    QCOMPARE(entorno.plataforma.pausas.last(), 3000);
    QVERIFY(entorno.plataforma.mensajes.isEmpty()); // no question on this way out
    QVERIFY(entorno.plataforma.terminado);
    QVERIFY(!modTALVEXV20().dbPrincipal.EstaAbierta());
    QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.txt")));
    QVERIFY(!Ventana<frmEspera>().isVisible());
}

void PruebaCierre::laOrdenSalirPreguntaDosVeces_data()
{
    QTest::addColumn<QList<RespuestaMensaje>>("respuestas");
    QTest::addColumn<bool>("termina");
    QTest::newRow("sí") << QList<RespuestaMensaje>{RespuestaMensaje::Si} << true;
    QTest::newRow("no, no") << QList<RespuestaMensaje>{RespuestaMensaje::No, RespuestaMensaje::No}
                            << false;
    QTest::newRow("no, sí") << QList<RespuestaMensaje>{RespuestaMensaje::No, RespuestaMensaje::Si}
                            << false;
}

void PruebaCierre::laOrdenSalirPreguntaDosVeces()
{
    QFETCH(QList<RespuestaMensaje>, respuestas);
    QFETCH(bool, termina);
    EntornoPrueba entorno;
    Arranca(entorno, {}, {});
    entorno.plataforma.respuestas.assign(respuestas.begin(), respuestas.end());
    Hijo<QAction>(Ventana<frmMenuPrincipal>(), "mnuSalir")->trigger();
    const QList<Mensaje>& mensajes = entorno.plataforma.mensajes;
    QCOMPARE(mensajes.size(), respuestas.size());
    QCOMPARE(mensajes[0].texto, QStringLiteral("¡¡ Recuerde respaldar sus datos !!\r\r"
                                               "¿ Quiere salir de la aplicación ahora ?"));
    if (mensajes.size() > 1)
        QCOMPARE(mensajes[1].texto, QStringLiteral("¿ Quiere hacer el respaldo ahora ?"));
    for (const Mensaje& mensaje : mensajes) {
        QCOMPARE(mensaje.titulo, QStringLiteral("TALVEX Ver. 2.0.0"));
        QCOMPARE(mensaje.icono, IconoMensaje::Pregunta);
        QCOMPARE(mensaje.botones, BotonesMensaje::SiNo);
        QCOMPARE(mensaje.porDefecto, RespuestaMensaje::No);
    }
    QCOMPARE(entorno.plataforma.pitidos, int(respuestas.size()));
    QCOMPARE(entorno.plataforma.terminado, termina);
    QCOMPARE(modTALVEXV20().dbPrincipal.EstaAbierta(), !termina);
    const bool respaldo = respuestas.last() == RespuestaMensaje::Si && !termina;
    // The offer of a backup opens the backup dialog over the disabled main window.
    QCOMPARE(VentanaCargada<frmRespaldar>() && Ventana<frmRespaldar>().isVisible(), respaldo);
    if (respaldo)
        QCOMPARE(Ventana<frmRespaldar>().windowTitle(), QStringLiteral("Respaldar base de datos"));
    QCOMPARE(Ventana<frmMenuPrincipal>().isEnabled(), !respaldo);
    QCOMPARE(Hijo<QAction>(Ventana<frmMenuPrincipal>(), "mnuSalir")->text().size(), 53);
}

void PruebaCierre::elVigilanteCierraConCadaCarpetaSenal()
{
    for (int raiz = 0; raiz < 4; ++raiz) {
        EntornoPrueba entorno;
        Arranca(entorno, {}, {});
        VigilaSalida();
        QTest::qWait(300);
        QVERIFY(!entorno.plataforma.terminado);
        const QString senal = entorno.Raiz(raiz) + "/HURNEXTemp";
        QVERIFY(QDir().mkpath(senal));
        QElapsedTimer reloj;
        reloj.start();
        QTRY_VERIFY_WITH_TIMEOUT(entorno.plataforma.terminado, 2000);
        QVERIFY(reloj.elapsed() < 1000);
        QVERIFY(entorno.plataforma.mensajes.isEmpty());
        QVERIFY(QDir(senal).exists()); // the folder is the other program's: it stays
        QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.txt")));
        QVERIFY(!modTALVEXV20().dbPrincipal.EstaAbierta());
    }
}

QTEST_MAIN(PruebaCierre)
#include "tst_cierre.moc"
