// The single-instance guard: which running processes count as another copy, the question,
// and what each answer does, against a scripted process list and against real processes.
#include "apoyo/PlataformaGuionada.h"
#include "inicio/VerificaInstancia.h"
#include "nucleo/Procesos.h"
#include "nucleo/modTALVEXV20.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <optional>
#include <signal.h>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0.0");
const QString Pregunta = QStringLiteral(
    "¡¡ TALVEX Ver. 2.0.0 ya se está ejecutando !!\r\r¿ Quiere reiniciar la aplicación ?");

// A scripted process list, installed for its lifetime.
class ProcesosGuionados : public ListaProcesos {
public:
    explicit ProcesosGuionados(std::vector<ProcesoSistema> lista, qint64 propio = 500)
        : procesos(std::move(lista)), propio_(propio), anterior_(InstalaListaProcesos(this))
    {
    }
    ~ProcesosGuionados() override { InstalaListaProcesos(anterior_); }

    std::vector<ProcesoSistema> Lista() override
    {
        ++listados;
        if (listados > 1 && despuesDelPrimero) {
            procesos = *despuesDelPrimero;
            despuesDelPrimero.reset();
        }
        std::vector<ProcesoSistema> ordenados = procesos;
        std::stable_sort(ordenados.begin(), ordenados.end(),
                         [](const auto& a, const auto& b) { return a.pid < b.pid; });
        return ordenados;
    }
    qint64 PidPropio() override { return propio_; }
    bool Termina(qint64 pid) override
    {
        terminados << pid;
        if (!puedeTerminar)
            return false;
        muertos << pid;
        return true;
    }
    bool SigueVivo(qint64 pid) override
    {
        ++consultas;
        // An ended process lingers for a few looks before it is gone.
        return !muertos.contains(pid) || consultas < vueltasHastaMorir;
    }

    std::vector<ProcesoSistema> procesos;
    std::optional<std::vector<ProcesoSistema>> despuesDelPrimero; // the list from the 2nd look on
    bool puedeTerminar = true;
    int vueltasHastaMorir = 4;
    int listados = 0;
    int consultas = 0;
    QList<qint64> terminados;
    QList<qint64> muertos;

private:
    qint64 propio_;
    ListaProcesos* anterior_;
};

// The system's list reduced to the given processes, so that a real test can never end a
// process it did not start.
class ProcesosFiltrados : public ListaProcesos {
public:
    explicit ProcesosFiltrados(QList<qint64> visibles)
        : visibles_(std::move(visibles)), anterior_(InstalaListaProcesos(this))
    {
    }
    ~ProcesosFiltrados() override { InstalaListaProcesos(anterior_); }

    std::vector<ProcesoSistema> Lista() override
    {
        std::vector<ProcesoSistema> lista = sistema_.Lista();
        std::erase_if(lista, [&](const auto& p) { return !visibles_.contains(p.pid); });
        return lista;
    }
    qint64 PidPropio() override { return sistema_.PidPropio(); }
    bool Termina(qint64 pid) override { return visibles_.contains(pid) && sistema_.Termina(pid); }
    bool SigueVivo(qint64 pid) override { return sistema_.SigueVivo(pid); }

private:
    ListaProcesosSistema sistema_;
    QList<qint64> visibles_;
    ListaProcesos* anterior_;
};

std::optional<QString> NombreEnSistema(qint64 pid)
{
    for (const ProcesoSistema& proceso : ListaProcesosSistema().Lista())
        if (proceso.pid == pid)
            return proceso.nombre;
    return std::nullopt;
}

// Starts a copy of `sleep` whose executable is called `nombre`.
bool ArrancaDormilon(QProcess& proceso, const QTemporaryDir& carpeta, const QString& nombre)
{
    const QString ruta = carpeta.filePath(nombre);
    if (!QFile::exists(ruta) && !QFile::copy(QStringLiteral("/bin/sleep"), ruta))
        return false;
    QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    proceso.start(ruta, {QStringLiteral("30")});
    return proceso.waitForStarted(5000);
}
} // namespace

class PruebaInstancia : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ReiniciaEstado(); }

    void reconoceCadaNombreDelPrograma_data();
    void reconoceCadaNombreDelPrograma();
    void otrosNombresNoCuentanYNoSePregunta_data();
    void otrosNombresNoCuentanYNoSePregunta();
    void pasaPorAltoElPropioYTomaLaPrimeraCopia();
    void siTerminaLaCopiaYEsperaAQueDesaparezca();
    void noTerminaElProgramaSinTocarLaCopia_data();
    void noTerminaElProgramaSinTocarLaCopia();
    void unaCopiaQueNoSePuedeTerminarDejaSeguir();
    void unaCopiaQueTerminoMientrasSePreguntabaNoSeTermina();
    void laEsperaTieneLimite();

    void unaCopiaRealSeEncuentraYMuereConSigkill();
    void unaCopiaRealCuyoArchivoSeBorroSigueContando();
    void laListaRealNombraElEjecutableSinCarpeta();
};

void PruebaInstancia::reconoceCadaNombreDelPrograma_data()
{
    QTest::addColumn<QString>("nombre");
    for (const char* nombre : {"TALVEXV20.EXE", "TALVEXV20.exe", "TalvexV20.EXE", "TalvexV20.exe",
                               "talvexV20.EXE", "talvexV20.exe", "TalVexV20.EXE", "TalVexV20.exe",
                               "TALVEXV20", "TalvexV20", "talvexV20", "TalVexV20"})
        QTest::newRow(nombre) << QString::fromLatin1(nombre);
}

void PruebaInstancia::reconoceCadaNombreDelPrograma()
{
    QFETCH(QString, nombre);
    ProcesosGuionados procesos({{1, "systemd"}, {500, "TALVEXV20"}, {742, nombre}, {900, "bash"}});
    QVERIFY(HayInstanciaPrevia());
    QCOMPARE(BuscaInstanciaPrevia(), 742);
}

void PruebaInstancia::otrosNombresNoCuentanYNoSePregunta_data()
{
    QTest::addColumn<QString>("nombre");
    for (const char* nombre : {"talvexv20", "TALVEXV20.Exe", "talvexv20.exe", "TALVEXv20.EXE",
                               "TALVEXV20.EXE ", " TALVEXV20", "TALVEXV2", "TALVEXV20.exe.bak",
                               "TALVEXV20.bin", "TALVEXV200", "tst_instancia", ""})
        QTest::newRow(nombre) << QString::fromLatin1(nombre);
}

void PruebaInstancia::otrosNombresNoCuentanYNoSePregunta()
{
    QFETCH(QString, nombre);
    PlataformaGuionada plataforma;
    ProcesosGuionados procesos({{1, "systemd"}, {500, "TALVEXV20"}, {742, nombre}});
    QVERIFY(!HayInstanciaPrevia());
    QCOMPARE(BuscaInstanciaPrevia(), -1);
    VerificaInstancia();
    QVERIFY(plataforma.mensajes.isEmpty());
    QCOMPARE(plataforma.pitidos, 0);
    QVERIFY(procesos.terminados.isEmpty());
    QVERIFY(!plataforma.terminado);
}

void PruebaInstancia::pasaPorAltoElPropioYTomaLaPrimeraCopia()
{
    // The system may list this process before the running copy, under the same name.
    ProcesosGuionados procesos(
        {{3050, "TalVexV20"}, {77, "TALVEXV20"}, {12, "bash"}, {2100, "TALVEXV20.exe"}}, 77);
    QCOMPARE(BuscaInstanciaPrevia(), 2100);

    // Only this process carries the name: nothing found, nothing asked.
    PlataformaGuionada plataforma;
    ProcesosGuionados solo({{1, "init"}, {77, "TALVEXV20"}}, 77);
    QVERIFY(!HayInstanciaPrevia());
    VerificaInstancia();
    QVERIFY(plataforma.mensajes.isEmpty());
    QVERIFY(solo.terminados.isEmpty());
}

void PruebaInstancia::siTerminaLaCopiaYEsperaAQueDesaparezca()
{
    PlataformaGuionada plataforma;
    plataforma.respuestas = {RespuestaMensaje::Si};
    ProcesosGuionados procesos({{9, "TALVEXV20"}, {400, "TalvexV20.exe"}, {500, "TALVEXV20"}});
    VerificaInstancia();

    QCOMPARE(plataforma.pitidos, 1);
    QCOMPARE(plataforma.mensajes.size(), 1);
    const Mensaje& mensaje = plataforma.mensajes[0];
    QCOMPARE(mensaje.texto, Pregunta);
    QCOMPARE(mensaje.titulo, Titulo);
    QCOMPARE(mensaje.icono, IconoMensaje::Pregunta);
    QCOMPARE(mensaje.botones, BotonesMensaje::SiNo);
    QCOMPARE(mensaje.porDefecto, RespuestaMensaje::No);
    QCOMPARE(procesos.terminados, QList<qint64>{9});
    // It returned only once the ended copy was gone.
    QCOMPARE(procesos.consultas, procesos.vueltasHastaMorir);
    QVERIFY(!plataforma.terminado);
}

void PruebaInstancia::noTerminaElProgramaSinTocarLaCopia_data()
{
    // Only Yes restarts; the box's escape answer is No.
    QTest::addColumn<RespuestaMensaje>("respuesta");
    QTest::newRow("No") << RespuestaMensaje::No;
    QTest::newRow("Aceptar") << RespuestaMensaje::Aceptar;
}

void PruebaInstancia::noTerminaElProgramaSinTocarLaCopia()
{
    QFETCH(RespuestaMensaje, respuesta);
    PlataformaGuionada plataforma;
    plataforma.respuestas = {respuesta};
    ProcesosGuionados procesos({{400, "TALVEXV20"}});
    QVERIFY_THROWS_EXCEPTION(FinDelPrograma, VerificaInstancia());
    QVERIFY(plataforma.terminado);
    QCOMPARE(plataforma.pitidos, 1);
    QCOMPARE(plataforma.mensajes.size(), 1);
    QCOMPARE(plataforma.mensajes[0].texto, Pregunta);
    QCOMPARE(plataforma.mensajes[0].titulo, Titulo);
    QVERIFY(procesos.terminados.isEmpty());
    QCOMPARE(procesos.consultas, 0);
}

void PruebaInstancia::unaCopiaQueNoSePuedeTerminarDejaSeguir()
{
    // Another user's copy: it stays, and start-up goes on without waiting for it.
    PlataformaGuionada plataforma;
    plataforma.respuestas = {RespuestaMensaje::Si};
    ProcesosGuionados procesos({{400, "TALVEXV20"}});
    procesos.puedeTerminar = false;
    QElapsedTimer reloj;
    reloj.start();
    VerificaInstancia();
    QVERIFY(reloj.elapsed() < 1000);
    QCOMPARE(procesos.terminados, QList<qint64>{400});
    QCOMPARE(procesos.consultas, 0);
    QVERIFY(!plataforma.terminado);
}

void PruebaInstancia::unaCopiaQueTerminoMientrasSePreguntabaNoSeTermina()
{
    // The copy ended while the question was open and its number went to another program.
    PlataformaGuionada plataforma;
    plataforma.respuestas = {RespuestaMensaje::Si};
    ProcesosGuionados procesos({{400, "TALVEXV20"}});
    procesos.despuesDelPrimero = std::vector<ProcesoSistema>{{400, "editor"}};
    VerificaInstancia();
    QCOMPARE(plataforma.mensajes.size(), 1);
    QVERIFY(procesos.terminados.isEmpty());
    QVERIFY(!plataforma.terminado);

    // Gone altogether: nothing to end either.
    PlataformaGuionada otra;
    otra.respuestas = {RespuestaMensaje::Si};
    ProcesosGuionados desaparecida({{400, "TALVEXV20"}});
    desaparecida.despuesDelPrimero = std::vector<ProcesoSistema>{};
    VerificaInstancia();
    QVERIFY(desaparecida.terminados.isEmpty());
}

void PruebaInstancia::laEsperaTieneLimite()
{
    ProcesosGuionados procesos({{400, "TALVEXV20"}});
    procesos.vueltasHastaMorir = 1000000; // never goes
    QVERIFY(procesos.Termina(400));
    QElapsedTimer reloj;
    reloj.start();
    QVERIFY(!EsperaFinProceso(400, 300));
    QVERIFY(reloj.elapsed() >= 290);
    QVERIFY(reloj.elapsed() < 2000);
    // It sleeps between looks instead of spinning.
    QVERIFY(procesos.consultas < 30);

    procesos.consultas = 0;
    procesos.vueltasHastaMorir = 3;
    QVERIFY(EsperaFinProceso(400, 5000));
    QCOMPARE(procesos.consultas, 3);
}

void PruebaInstancia::unaCopiaRealSeEncuentraYMuereConSigkill()
{
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    QProcess copia;
    QVERIFY(ArrancaDormilon(copia, carpeta, QStringLiteral("TALVEXV20")));
    const qint64 pid = copia.processId();

    // The system's own list sees it under its name.
    QCOMPARE(NombreEnSistema(pid), std::optional<QString>(QStringLiteral("TALVEXV20")));
    QVERIFY(HayInstanciaPrevia());
    QVERIFY(ListaProcesosSistema().SigueVivo(pid));

    // Ending it goes through the system's list, limited to this test's own processes.
    PlataformaGuionada plataforma;
    plataforma.respuestas = {RespuestaMensaje::Si};
    ProcesosFiltrados procesos({pid, ListaProcesosSistema().PidPropio()});
    QCOMPARE(BuscaInstanciaPrevia(), pid);
    QElapsedTimer reloj;
    reloj.start();
    VerificaInstancia();
    QVERIFY2(reloj.elapsed() < 4000, qPrintable(QString::number(reloj.elapsed())));
    QVERIFY(!ListaProcesosSistema().SigueVivo(pid));
    QCOMPARE(plataforma.mensajes.size(), 1);
    QVERIFY(!plataforma.terminado);

    QVERIFY(copia.waitForFinished(5000));
    QCOMPARE(copia.exitStatus(), QProcess::CrashExit);
    QCOMPARE(copia.exitCode(), SIGKILL);
}

void PruebaInstancia::unaCopiaRealCuyoArchivoSeBorroSigueContando()
{
    // A copy keeps running after its file was replaced by a new build or removed.
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    QProcess copia;
    QVERIFY(ArrancaDormilon(copia, carpeta, QStringLiteral("TalvexV20")));
    QVERIFY(QFile::remove(carpeta.filePath(QStringLiteral("TalvexV20"))));
    QCOMPARE(NombreEnSistema(copia.processId()),
             std::optional<QString>(QStringLiteral("TalvexV20")));
    copia.kill();
    QVERIFY(copia.waitForFinished(5000));
}

void PruebaInstancia::laListaRealNombraElEjecutableSinCarpeta()
{
    ListaProcesosSistema sistema;
    const std::vector<ProcesoSistema> lista = sistema.Lista();
    QVERIFY(std::is_sorted(lista.begin(), lista.end(),
                           [](const auto& a, const auto& b) { return a.pid < b.pid; }));
    QCOMPARE(NombreEnSistema(sistema.PidPropio()),
             std::optional<QString>(QStringLiteral("tst_instancia")));
    QVERIFY(sistema.SigueVivo(sistema.PidPropio()));
    // This process is never ended by the guard, nor a number that names no process.
    QVERIFY(!sistema.Termina(sistema.PidPropio()));
    QVERIFY(!sistema.SigueVivo(0));
}

QTEST_MAIN(PruebaInstancia)
#include "tst_instancia.moc"
