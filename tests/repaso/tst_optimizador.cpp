// Fitting the memory model to a learner's answers: the gradient it trains with, that it finds a
// simulated learner's memory again, what it does with logs it cannot learn from, cancelling,
// and the data tool's command.
#include "apoyo/BasesPrueba.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/EstabilidadesIniciales.h"
#include "repaso/ModeloAjuste.h"
#include "repaso/Optimizador.h"
#include "repaso/Simulador.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <random>

using namespace Repaso;

using Cuatro = std::array<double, 4>;
using Cuentas = std::array<int, 4>;

namespace {

constexpr qint64 Hora = 60 * 60 * 1000;
constexpr qint64 PrimerDia = 20000;
const Dias EnUtc(QTimeZone::utc());

// A learner whose memory differs from the defaults': steadier first memories, slower growth,
// a forgetting curve that falls faster at first.
const std::vector<double> Conocidos{1.0, 3.0, 6.0, 20.0, 7.0, 0.6, 1.5, 0.02, 1.2, 0.3, 1.2,
                                    2.0, 0.1, 0.4, 2.2,  0.4, 2.5, 0.4, 0.1,  0.1, 0.45};

// An answer `horas` after day PrimerDia's start (04:00 UTC).
RegistroRepaso Fila(qint64 tarjeta, double horas, int calificacion, bool nueva = false)
{
    RegistroRepaso r;
    r.tarjeta = tarjeta;
    r.momento = EnUtc.InicioDia(PrimerDia) + qint64(horas * Hora);
    r.calificacion = static_cast<Calificacion>(calificacion);
    r.estadoAntes = nueva ? Estado::Nueva : Estado::Repaso;
    return r;
}

// `tarjetas` cards answered new on day 0, then on each of `dias` later days, rated by `califica`.
template <class F>
std::vector<RegistroRepaso> Registro(int tarjetas, const std::vector<int>& dias, F califica)
{
    std::vector<RegistroRepaso> registro;
    for (int t = 1; t <= tarjetas; ++t) {
        registro.push_back(Fila(t, 5, califica(t, 0), true));
        for (size_t i = 0; i < dias.size(); ++i)
            registro.push_back(Fila(t, 24.0 * dias[i] + 5, califica(t, int(i) + 1)));
    }
    return registro;
}

std::vector<RegistroRepaso> Simula(int tarjetas, unsigned semilla)
{
    Simulacion s;
    s.pesosAlumno = Conocidos;
    s.tarjetas = tarjetas;
    s.dias = 365;
    s.primerDia = PrimerDia;
    s.semilla = semilla;
    s.zona = QTimeZone::utc();
    return SimulaRepasos(s);
}

bool Finitos(const std::vector<double>& pesos)
{
    return pesos.size() == 21 &&
           std::all_of(pesos.begin(), pesos.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

class PruebaOptimizador : public QObject {
    Q_OBJECT
private slots:
    void elGradienteEsElDeLaPerdida();
    void lasPrediccionesCuentanDiasQueEmpiezanALasCuatro_data();
    void lasPrediccionesCuentanDiasQueEmpiezanALasCuatro();
    void losIntervalosRarosQuedanFueraDelEntrenamiento();
    void lasEstabilidadesInicialesQuedanEnOrden_data();
    void lasEstabilidadesInicialesQuedanEnOrden();
    void elAlumnoSimuladoRecuerdaLoQueElProgramadorEspera();
    void unAlumnoSimuladoSeEncuentraDeNuevo();
    void conPocosRepasosSoloCambianLasEstabilidadesIniciales();
    void unRegistroDelQueNoSeAprendeDejaLosParametros_data();
    void unRegistroDelQueNoSeAprendeDejaLosParametros();
    void cancelarDejaLosParametros();
    void laHerramientaGuardaSoloLosQueMejoran();
};

// Random weights and histories: each derivative carried through the recurrence agrees with the
// loss's change when that weight moves a little either way.
void PruebaOptimizador::elGradienteEsElDeLaPerdida()
{
    std::mt19937 azar(11);
    auto uniforme = [&](double a, double b) {
        return std::uniform_real_distribution<>(a, b)(azar);
    };
    const std::array<std::pair<double, double>, 21> rangos{{
        {0.2, 5},    {0.5, 8},   {1, 15},     {3, 30},    {2, 9},    {0.2, 2},    {0.2, 3},
        {0.01, 0.5}, {0.5, 3},   {0.05, 0.6}, {0.2, 2},   {0.5, 3},  {0.01, 0.2}, {0.1, 0.8},
        {0.3, 3},    {0.2, 0.9}, {1.2, 4},    {0.1, 1.5}, {0.05, 1}, {0.02, 0.5}, {0.12, 0.7},
    }};
    for (int vuelta = 0; vuelta < 5; ++vuelta) {
        DatosAjuste datos;
        for (int h = 0; h < 20; ++h) {
            HistoriaAjuste historia;
            const int n = 2 + int(azar() % 12);
            for (int k = 0; k < n; ++k) {
                const int dias = k == 0 || azar() % 4 == 0 ? 0 : 1 + int(azar() % 40);
                historia.repasos.push_back({1 + int(azar() % 4), dias});
                if (dias > 0)
                    datos.items.push_back({h, k, 0, uniforme(0.25, 1)});
            }
            datos.historias.push_back(historia);
        }
        std::vector<double> w(21);
        for (int i = 0; i < 21; ++i)
            w[i] = uniforme(rangos[i].first, rangos[i].second);
        // Each prediction from its own run through the history, without derivatives.
        auto perdida = [&](const std::vector<double>& pesos) {
            std::array<double, 21> a;
            std::copy_n(pesos.begin(), 21, a.begin());
            const PesosAjuste<double> p(a);
            double total = 0;
            for (const ItemAjuste& item : datos.items) {
                const HistoriaAjuste& h = datos.historias[item.historia];
                RecorreHistoria(p, h, item.posicion, [&](int k, double r) {
                    if (k == item.posicion)
                        total += EntropiaCruzada(r, h.repasos[k].calificacion > 1) * item.peso;
                });
            }
            return total;
        };
        std::array<double, 21> gradiente{};
        const double valor =
            PerdidaLote(datos, datos.items.data(), datos.items.size(), w, gradiente);
        QVERIFY(std::abs(valor - perdida(w)) < 1e-9 * std::max(1.0, valor));
        for (int i = 0; i < 21; ++i) {
            const double h = 1e-6 * std::max(1.0, std::abs(w[i]));
            auto mas = w, menos = w;
            mas[i] += h;
            menos[i] -= h;
            const double numerico = (perdida(mas) - perdida(menos)) / (2 * h);
            QVERIFY2(std::abs(numerico - gradiente[i]) <= 1e-4 * std::max(1.0, std::abs(numerico)),
                     qPrintable(QStringLiteral("vuelta %1, peso %2: %3 frente a %4")
                                    .arg(vuelta)
                                    .arg(i)
                                    .arg(gradiente[i])
                                    .arg(numerico)));
        }
    }
}

void PruebaOptimizador::lasPrediccionesCuentanDiasQueEmpiezanALasCuatro_data()
{
    QTest::addColumn<std::vector<double>>("horas"); // after day 0's start (04:00)
    QTest::addColumn<bool>("empiezaNueva");
    QTest::addColumn<std::vector<int>>("dias"); // of each answer kept
    QTest::addColumn<int>("predicciones");
    // 23:00 and 03:00 are the same day; 05:00 the next.
    QTest::newRow("noche") << std::vector<double>{19, 23, 25} << true << std::vector<int>{0, 0, 1}
                           << 1;
    QTest::newRow("dias_saltados") << std::vector<double>{1, 1.1, 49, 49.2, 150} << true
                                   << std::vector<int>{0, 0, 2, 0, 4} << 2;
    // A card whose start is not in the log is left out.
    QTest::newRow("sin_principio")
        << std::vector<double>{1, 30} << false << std::vector<int>{} << 0;
}

void PruebaOptimizador::lasPrediccionesCuentanDiasQueEmpiezanALasCuatro()
{
    QFETCH(std::vector<double>, horas);
    QFETCH(bool, empiezaNueva);
    QFETCH(std::vector<int>, dias);
    QFETCH(int, predicciones);
    std::vector<RegistroRepaso> registro;
    for (size_t i = horas.size(); i-- > 0;) // in any order
        registro.push_back(Fila(3, horas[i], 3, i == 0 && empiezaNueva));
    const DatosAjuste datos = PreparaDatos(registro, EnUtc);
    std::vector<int> leidos;
    for (const HistoriaAjuste& h : datos.historias)
        for (const RepasoAjuste& r : h.repasos)
            leidos.push_back(r.dias);
    QCOMPARE(leidos, dias);
    QCOMPARE(int(datos.items.size()), predicciones);
}

// Per first rating, the rarest first intervals (up to 20 cards), those of fewer than 6 cards and
// those over 100 days (365 after Fácil) leave the training with their cards' later answers;
// the estimate of the initial stabilities keeps the rest.
void PruebaOptimizador::losIntervalosRarosQuedanFueraDelEntrenamiento()
{
    std::vector<RegistroRepaso> registro;
    qint64 tarjeta = 0;
    auto grupo = [&](int cuantas, int primera, int intervalo) {
        for (int i = 0; i < cuantas; ++i) {
            ++tarjeta;
            registro.push_back(Fila(tarjeta, 5, primera, true));
            registro.push_back(Fila(tarjeta, 24.0 * intervalo + 5, 3));
            registro.push_back(Fila(tarjeta, 24.0 * (3 * intervalo) + 5, 3));
        }
    };
    grupo(40, 3, 2);   // kept
    grupo(3, 3, 50);   // rare: out
    grupo(10, 3, 150); // too long after Bien: out
    grupo(30, 4, 200); // not too long after Fácil: kept
    grupo(5, 2, 4);    // the rarest after Difícil: out
    grupo(25, 2, 5);   // kept
    DatosAjuste datos = PreparaDatos(registro, EnUtc);
    const ConjuntosAjuste conjuntos = FiltraAtipicos(datos);
    QCOMPARE(int(conjuntos.inicio.size()), 40 + 30 + 25);
    QCOMPARE(int(conjuntos.entrenamiento.size()), 2 * (40 + 30 + 25));
    for (const ItemAjuste& item : conjuntos.entrenamiento) {
        const int intervalo = PrimerRepasoLargo(datos.historias[item.historia]).dias;
        QVERIFY(intervalo == 2 || intervalo == 200 || intervalo == 5);
    }
}

void PruebaOptimizador::lasEstabilidadesInicialesQuedanEnOrden_data()
{
    QTest::addColumn<Cuatro>("estimadas");
    QTest::addColumn<Cuentas>("cuentas");
    QTest::addColumn<Cuatro>("esperadas");
    const auto& d = PesosPredeterminados();
    // One known: the defaults scaled to it.
    QTest::newRow("solo_bien") << Cuatro{0, 0, 4.613, 0} << Cuentas{0, 0, 9, 0}
                               << Cuatro{d[0] * 2, d[1] * 2, d[2] * 2, d[3] * 2};
    // Out of order: the one seen on more cards wins.
    QTest::newRow("desorden") << Cuatro{3, 2, 5, 9} << Cuentas{50, 10, 20, 30}
                              << Cuatro{3, 3, 5, 9};
    QTest::newRow("desorden_al_reves")
        << Cuatro{3, 2, 5, 9} << Cuentas{10, 50, 20, 30} << Cuatro{2, 2, 5, 9};
    // Beyond 100 days: 100.
    QTest::newRow("tope") << Cuatro{1, 2, 5, 300} << Cuentas{9, 9, 9, 9} << Cuatro{1, 2, 5, 100};
}

// The initial stabilities after the estimate: in the order of the ratings, the missing ones
// filled in between and beyond the known ones.
void PruebaOptimizador::lasEstabilidadesInicialesQuedanEnOrden()
{
    QFETCH(Cuatro, estimadas);
    QFETCH(Cuentas, cuentas);
    QFETCH(Cuatro, esperadas);
    const auto completas = CompletaEstabilidades(estimadas, cuentas);
    QVERIFY(completas);
    for (int i = 0; i < 4; ++i)
        QVERIFY2(std::abs((*completas)[i] - esperadas[i]) < 1e-9,
                 qPrintable(QString::number((*completas)[i])));
    // Any two known, the other two fall in order around them.
    for (auto [a, b] : {std::pair{0, 3}, {1, 2}, {0, 1}, {2, 3}}) {
        Cuentas dos{};
        dos[a] = dos[b] = 5;
        const auto e = CompletaEstabilidades({0.5, 0.5, 0.5, 0.5}, dos);
        Cuatro conocidas{0, 0, 0, 0};
        conocidas[a] = 0.8, conocidas[b] = 6.0;
        const auto f = CompletaEstabilidades(conocidas, dos);
        QVERIFY(e && f);
        QVERIFY2((*f)[0] <= (*f)[1] && (*f)[1] <= (*f)[2] && (*f)[2] <= (*f)[3],
                 qPrintable(QStringLiteral("%1 y %2").arg(a).arg(b)));
    }
    QVERIFY(!CompletaEstabilidades({1, 2, 3, 4}, {0, 0, 0, 0}));
}

// A simulated learner whose memory is what the scheduler assumes recalls nine answers in ten
// given on the day due, as the desired retention says.
void PruebaOptimizador::elAlumnoSimuladoRecuerdaLoQueElProgramadorEspera()
{
    Simulacion s;
    s.tarjetas = 3000;
    s.primerDia = PrimerDia;
    s.zona = QTimeZone::utc();
    const std::vector<RegistroRepaso> registro = SimulaRepasos(s);
    int aTiempo = 0, recordadas = 0, tarde = 0, pronto = 0;
    for (size_t i = 1; i < registro.size(); ++i) {
        const RegistroRepaso &antes = registro[i - 1], &r = registro[i];
        if (r.tarjeta != antes.tarjeta || r.estadoAntes != Estado::Repaso)
            continue;
        tarde += r.diasTranscurridos > antes.diasProgramados;
        pronto += r.diasTranscurridos < antes.diasProgramados;
        if (r.diasTranscurridos == antes.diasProgramados) {
            ++aTiempo;
            recordadas += r.calificacion != Calificacion::OtraVez;
        }
    }
    QVERIFY(aTiempo > 5000 && tarde > 1000 && pronto > 500);
    QVERIFY2(std::abs(double(recordadas) / aTiempo - 0.90) < 0.015,
             qPrintable(QString::number(double(recordadas) / aTiempo)));
}

// A year of a simulated learner whose memory works by known weights, fitted from the defaults
// on three quarters of the cards: on the other quarter the fitted weights predict within 2 % of
// the known ones' log loss, and clearly better than the defaults.
void PruebaOptimizador::unAlumnoSimuladoSeEncuentraDeNuevo()
{
    const std::vector<RegistroRepaso> registro = Simula(8000, 5);
    std::vector<RegistroRepaso> entrenamiento, aparte;
    for (const RegistroRepaso& r : registro)
        (r.tarjeta % 4 == 0 ? aparte : entrenamiento).push_back(r);
    const ResultadoAjuste r = AjustaParametros(entrenamiento, PesosPredeterminados(), EnUtc);
    QVERIFY2(r.mejora, qPrintable(r.motivo));
    QCOMPARE(r.pesos, r.ajustados);
    QVERIFY(r.despues.logLoss < r.antes.logLoss);
    const double conocidos = MideParametros(aparte, Conocidos, EnUtc).logLoss;
    const double ajustados = MideParametros(aparte, r.pesos, EnUtc).logLoss;
    const double defecto = MideParametros(aparte, PesosPredeterminados(), EnUtc).logLoss;
    qInfo("Pérdida en tarjetas aparte: conocidos %.5f, ajustados %.5f, predeterminados %.5f",
          conocidos, ajustados, defecto);
    QVERIFY(ajustados <= 1.02 * conocidos);
    QVERIFY(defecto > 1.02 * conocidos);
}

// Fewer than 64 predictions: the initial stabilities are estimated, the rest stays as it was.
void PruebaOptimizador::conPocosRepasosSoloCambianLasEstabilidadesIniciales()
{
    const auto registro = Registro(30, {3, 9}, [](int t, int i) {
        return i == 0 ? 3 : t % 5 ? 3 : 1;
    });
    const ResultadoAjuste r = AjustaParametros(registro, PesosPredeterminados(), EnUtc);
    QCOMPARE(r.antes.items, 60);
    const auto& defecto = PesosPredeterminados();
    QVERIFY(r.ajustados[2] != defecto[2]);
    QVERIFY(std::equal(r.ajustados.begin() + 4, r.ajustados.end(), defecto.begin() + 4));
    // The others follow the one seen, in order.
    QVERIFY(r.ajustados[0] <= r.ajustados[1] && r.ajustados[1] <= r.ajustados[2] &&
            r.ajustados[2] <= r.ajustados[3]);
}

void PruebaOptimizador::unRegistroDelQueNoSeAprendeDejaLosParametros_data()
{
    QTest::addColumn<std::vector<RegistroRepaso>>("registro");
    QTest::addColumn<std::vector<double>>("actuales");
    QTest::addColumn<std::vector<double>>("vigentes"); // what stays when nothing improves
    const auto defecto = PesosPredeterminados();
    auto propios = Conocidos;
    auto noNumeros = Conocidos;
    noNumeros[9] = std::nan("");
    noNumeros[3] = INFINITY;
    const auto siempre = [](int c) { return [c](int, int i) { return i == 0 ? 3 : c; }; };
    QTest::newRow("vacio") << std::vector<RegistroRepaso>{} << propios << propios;
    QTest::newRow("una_tarjeta") << Registro(1, {1, 3, 7, 15, 30}, siempre(3)) << propios
                                 << propios;
    QTest::newRow("solo_el_mismo_dia") << Registro(100, {0, 0}, siempre(3)) << propios << propios;
    QTest::newRow("todo_otra_vez")
        << Registro(200, {1, 2, 4, 8, 16}, [](int, int) { return 1; }) << propios << propios;
    QTest::newRow("todo_facil") << Registro(200, {2, 9, 30, 90}, [](int, int) { return 4; })
                                << propios << propios;
    QTest::newRow("pesos_no_numeros") << Registro(1, {1, 3}, siempre(3)) << noNumeros << defecto;
    QTest::newRow("pesos_de_otro_modelo")
        << Registro(1, {1, 3}, siempre(3)) << std::vector<double>(17, 1.0) << defecto;
}

// Never a crash nor a weight that is not a number; when nothing is better, the weights in force
// stay (the defaults for stored ones that are not numbers) and a sentence says why.
void PruebaOptimizador::unRegistroDelQueNoSeAprendeDejaLosParametros()
{
    QFETCH(std::vector<RegistroRepaso>, registro);
    QFETCH(std::vector<double>, actuales);
    QFETCH(std::vector<double>, vigentes);
    const ResultadoAjuste r = AjustaParametros(registro, actuales, EnUtc);
    QVERIFY(Finitos(r.pesos));
    QVERIFY(Finitos(r.ajustados));
    QVERIFY(std::isfinite(r.antes.logLoss) && std::isfinite(r.despues.logLoss));
    if (r.mejora) {
        QCOMPARE(r.pesos, r.ajustados);
        QVERIFY(r.despues.logLoss < r.antes.logLoss);
    } else {
        QCOMPARE(r.pesos, vigentes);
        QVERIFY(!r.motivo.isEmpty());
    }
}

// Cancelled at any point: the weights in force stay, and it says so.
void PruebaOptimizador::cancelarDejaLosParametros()
{
    const std::vector<RegistroRepaso> registro = Simula(600, 2);
    for (int tras : {0, 5, 20}) {
        std::atomic<bool> cancelado = false;
        int llamadas = 0;
        const ResultadoAjuste r = AjustaParametros(
            registro, Conocidos, EnUtc,
            [&](int hecho, int total) {
                QVERIFY(hecho <= total);
                if (++llamadas > tras)
                    cancelado = true;
            },
            &cancelado);
        QVERIFY(r.cancelado);
        QVERIFY(!r.mejora);
        QCOMPARE(r.pesos, Conocidos);
        QVERIFY(!r.motivo.isEmpty());
    }
}

// `repasos ajusta` on a file holding a simulated learner's log: the figures, the weights on the
// last line, stored in the file's settings only when they predict better; fitting again from
// them keeps them.
void PruebaOptimizador::laHerramientaGuardaSoloLosQueMejoran()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("v.db"));
    CreaBase(ruta, 1, QStringLiteral("a"));
    {
        BaseVocabulario base;
        base.Abre(ruta);
        AlmacenRepasos almacen(base);
        GuardaSimulacion(almacen, Simula(600, 3));
    }
    auto ajusta = [&] {
        QProcess proceso;
        proceso.start(
            QStringLiteral(TALVEX_DIR_BINARIOS "/talvex-datos"),
            {QStringLiteral("repasos"), QStringLiteral("ajusta"), QStringLiteral("--base"), ruta});
        proceso.waitForFinished(120000);
        [&] { QCOMPARE(proceso.exitCode(), 0); }();
        return QString::fromUtf8(proceso.readAllStandardOutput()).trimmed().split(u'\n');
    };
    auto leidos = [&] {
        BaseVocabulario base;
        base.Abre(ruta);
        return LeeAjustesRepaso(base).pesos;
    };
    auto pesosDe = [](const QString& linea) {
        std::vector<double> pesos;
        for (const QString& v : linea.mid(linea.indexOf(u'=') + 1).split(u','))
            pesos.push_back(v.toDouble());
        return pesos;
    };

    const QStringList primera = ajusta();
    QVERIFY(primera.last().startsWith(QStringLiteral("parametros=")));
    const std::vector<double> ajustados = pesosDe(primera.last());
    QCOMPARE(int(ajustados.size()), 21);
    QVERIFY(primera.join(u'\n').contains(QStringLiteral("guardados")));
    const std::vector<double> guardados = leidos();
    for (int i = 0; i < 21; ++i)
        QVERIFY(std::abs(guardados[i] - ajustados[i]) < 1e-6);

    const QStringList segunda = ajusta();
    QVERIFY(segunda.join(u'\n').contains(QStringLiteral("no predicen mejor")));
    QCOMPARE(leidos(), guardados);
}

QTEST_GUILESS_MAIN(PruebaOptimizador)
#include "tst_optimizador.moc"
