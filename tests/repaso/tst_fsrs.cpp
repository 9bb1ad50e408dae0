// The scheduler against the published implementation: its own test vectors, and histories of
// ours whose expected figures were computed with ts-fsrs 5.4.1 (FSRS-6, default weights, TZ=UTC,
// first answer on 2022-12-29 12:30 UTC, fuzz seeded with the card id plus the repetitions).
#include "repaso/Dispersion.h"
#include "repaso/Programador.h"

#include <QDateTime>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace Repaso;

namespace {

const qint64 Inicio =
    QDateTime(QDate(2022, 12, 29), QTime(12, 30), QTimeZone::utc()).toMSecsSinceEpoch();
constexpr qint64 Minuto = 60 * 1000;
constexpr qint64 Dia = 24 * 60 * Minuto;

Programador EnUtc(bool conDispersion = false)
{
    Parametros p;
    p.conDispersion = conDispersion;
    return Programador(p, QTimeZone::utc());
}

Tarjeta NuevaTarjeta()
{
    Tarjeta t;
    t.id = 1000;
    t.vence = Inicio;
    return t;
}

// One answer of a history: minutes after the previous one, the rating, and the card after it.
struct Respuesta {
    const char* historia;
    int minutos;
    int calificacion;
    double estabilidad, dificultad;
    int estado, dias, venceEnMinutos, paso, olvidos;
    int diasConDispersion;
};

const Respuesta Historias[] = {
    // Learning steps: Otra vez 1 min, Difícil the mean of 1 and 10, Bien 10 min, then review.
    {"pasos", 0, 1, 0.212, 6.4133, 1, 0, 1, 0, 0, 0},
    {"pasos", 1, 2, 0.212, 7.60420977, 1, 0, 6, 0, 0, 0},
    {"pasos", 6, 3, 0.24668919, 7.59183393, 1, 0, 10, 1, 0, 0},
    {"pasos", 10, 3, 0.28420636, 7.57947047, 2, 1, 1440, 0, 0, 1},
    // Fácil straight to review, again the same day, 12 days late, 33 days early, a lapse with
    // its relearning step (Difícil is 1.5 times the only step).
    {"tarde_y_pronto", 0, 4, 8.2956, 1, 2, 8, 11520, 0, 0, 7},
    {"tarde_y_pronto", 0, 3, 8.2956, 1, 2, 9, 12960, 0, 0, 7},
    {"tarde_y_pronto", 28800, 3, 63.44573842, 1, 2, 63, 90720, 0, 0, 66},
    {"tarde_y_pronto", 43200, 2, 121.16855219, 4.01060897, 2, 121, 174240, 0, 0, 123},
    {"tarde_y_pronto", 7200, 1, 3.49117871, 8.01655626, 3, 0, 10, 0, 1, 0},
    {"tarde_y_pronto", 10, 2, 3.49117871, 8.66852599, 3, 0, 15, 0, 1, 0},
    {"tarde_y_pronto", 15, 3, 3.49117871, 8.65508583, 2, 3, 4320, 0, 1, 4},
    // Several answers on one day, before and after a lapse.
    {"mismo_dia", 0, 3, 2.3065, 2.11810397, 1, 0, 10, 1, 0, 0},
    {"mismo_dia", 1, 3, 2.3065, 2.11121424, 2, 2, 2880, 0, 0, 2},
    {"mismo_dia", 3, 1, 0.77508398, 7.39223814, 3, 0, 10, 0, 1, 0},
    {"mismo_dia", 60, 4, 1.42469376, 6.50607402, 2, 1, 1440, 0, 1, 1},
    {"mismo_dia", 120, 3, 1.46249301, 6.49479632, 2, 2, 2880, 0, 1, 2},
    {"mismo_dia", 1440, 1, 0.40077792, 8.83309176, 3, 0, 10, 0, 2, 0},
    {"mismo_dia", 2, 1, 0.15111597, 9.60167357, 3, 0, 10, 0, 2, 0},
    {"mismo_dia", 1, 3, 0.17980381, 9.58730027, 2, 1, 1440, 0, 2, 1},
    // Lapses in a row: the stability after a lapse is capped below the one before.
    {"olvidos", 0, 3, 2.3065, 2.11810397, 1, 0, 10, 1, 0, 0},
    {"olvidos", 10, 3, 2.3065, 2.11121424, 2, 2, 2880, 0, 0, 2},
    {"olvidos", 2880, 1, 0.60770166, 7.39223814, 3, 0, 10, 0, 1, 0},
    {"olvidos", 10, 1, 0.2229468, 9.12807478, 3, 0, 10, 0, 1, 0},
    {"olvidos", 10, 3, 0.25856918, 9.11417507, 2, 1, 1440, 0, 1, 1},
    {"olvidos", 4320, 1, 0.13714863, 9.69406374, 3, 0, 10, 0, 2, 0},
    {"olvidos", 10, 4, 0.28252455, 9.57706246, 2, 1, 1440, 0, 2, 1},
    {"olvidos", 57600, 4, 3.47761163, 9.42096481, 2, 3, 4320, 0, 2, 4},
    // Otra vez 1,000 days late: the lapse formula would give more than the stability before.
    {"tope", 0, 1, 0.212, 6.4133, 1, 0, 1, 0, 0, 0},
    {"tope", 1440000, 1, 0.20176634, 8.80630447, 1, 0, 1, 0, 0, 0},
};

// Figures rounded to 8 decimals may differ by one in the last place (exp/pow of the C library
// against the JavaScript engine's).
bool Cerca(double a, double b)
{
    return std::abs(a - b) <= 2e-8 * std::max(1.0, std::abs(b));
}

} // namespace

class PruebaFsrs : public QObject {
    Q_OBJECT

private slots:
    // ts-fsrs' FSRS-6 test: Bien ×6, Otra vez ×2, Bien ×5, each at its due time.
    void intervalosPublicados()
    {
        const Programador programador = EnUtc();
        Tarjeta t = NuevaTarjeta();
        QList<int> dias;
        for (int c : {3, 3, 3, 3, 3, 3, 1, 1, 3, 3, 3, 3, 3}) {
            t = programador.Programa(t, Calificacion(c), t.vence);
            dias << t.diasProgramados;
        }
        QCOMPARE(dias, (QList<int>{0, 2, 11, 46, 163, 498, 0, 0, 2, 4, 7, 12, 21}));
    }

    // fsrs-rs' memory-state vector (computed there in single precision, hence 1e-4).
    void memoriaPublicada()
    {
        const Programador programador = EnUtc();
        Tarjeta t = NuevaTarjeta();
        qint64 ahora = Inicio;
        const int calificaciones[] = {1, 3, 3, 3, 3, 3}, dias[] = {0, 0, 1, 3, 8, 21};
        for (int i = 0; i < 6; ++i) {
            ahora += dias[i] * Dia;
            t = programador.Programa(t, Calificacion(calificaciones[i]), ahora);
        }
        QVERIFY(std::abs(t.memoria.estabilidad - 53.62691) < 1e-4);
        QVERIFY(std::abs(t.memoria.dificultad - 6.3574867) < 1e-4);
    }

    void primeraRespuesta_data()
    {
        QTest::addColumn<int>("calificacion");
        QTest::addColumn<double>("estabilidad");
        QTest::addColumn<double>("dificultad");
        QTest::newRow("Otra vez") << 1 << 0.212 << 6.4133;
        QTest::newRow("Difícil") << 2 << 1.2931 << 5.11217071;
        QTest::newRow("Bien") << 3 << 2.3065 << 2.11810397;
        QTest::newRow("Fácil") << 4 << 8.2956 << 1.0;
    }
    void primeraRespuesta()
    {
        QFETCH(int, calificacion);
        QFETCH(double, estabilidad);
        QFETCH(double, dificultad);
        const Tarjeta t = EnUtc().Programa(NuevaTarjeta(), Calificacion(calificacion), Inicio);
        QCOMPARE(t.memoria.estabilidad, estabilidad);
        QVERIFY(Cerca(t.memoria.dificultad, dificultad));
        QCOMPARE(t.repeticiones, 1);
    }

    // Every answer of every history: memory, state, days, due, step and lapses; then the same
    // history with fuzz on gives the reference's fuzzed days.
    void historias_data()
    {
        QTest::addColumn<bool>("conDispersion");
        QTest::newRow("sin dispersión") << false;
        QTest::newRow("con dispersión") << true;
    }
    void historias()
    {
        QFETCH(bool, conDispersion);
        const Programador programador = EnUtc(conDispersion);
        QByteArray historia;
        Tarjeta t;
        qint64 ahora = Inicio;
        for (const Respuesta& r : Historias) {
            if (historia != r.historia) {
                historia = r.historia;
                t = NuevaTarjeta();
                ahora = Inicio;
            }
            ahora += r.minutos * Minuto;
            t = programador.Programa(t, Calificacion(r.calificacion), ahora);
            const QByteArray donde = historia + " tras " + QByteArray::number(t.repeticiones);
            QVERIFY2(Cerca(t.memoria.estabilidad, r.estabilidad), donde);
            QVERIFY2(Cerca(t.memoria.dificultad, r.dificultad), donde);
            QVERIFY2(int(t.estado) == r.estado, donde);
            QVERIFY2(t.paso == r.paso && t.olvidos == r.olvidos, donde);
            const int dias = conDispersion ? r.diasConDispersion : r.dias;
            QVERIFY2(t.diasProgramados == dias,
                     donde + " días " + QByteArray::number(t.diasProgramados));
            const qint64 vence = dias > 0 ? dias * Dia : r.venceEnMinutos * Minuto;
            QVERIFY2(t.vence - ahora == vence, donde);
        }
    }

    void rangoDispersion_data()
    {
        QTest::addColumn<double>("intervalo");
        QTest::addColumn<double>("transcurridos");
        QTest::addColumn<int>("maximo");
        QTest::addColumn<int>("desde");
        QTest::addColumn<int>("hasta");
        QTest::newRow("2.5 días") << 2.5 << 0.0 << 36500 << 2 << 4;
        QTest::newRow("7 días") << 7.0 << 0.0 << 36500 << 5 << 9;
        QTest::newRow("tras 3 días") << 10.0 << 3.0 << 36500 << 8 << 12;
        QTest::newRow("100 días") << 100.0 << 0.0 << 36500 << 93 << 107;
        QTest::newRow("tras más días que el intervalo") << 100.0 << 150.0 << 36500 << 93 << 107;
        QTest::newRow("máximo") << 36500.0 << 0.0 << 36500 << 34673 << 36500;
        QTest::newRow("máximo bajo") << 40.0 << 0.0 << 42 << 36 << 42;
    }
    // The fuzz range, and a draw that depends only on its seed and stays within the range.
    void rangoDispersion()
    {
        QFETCH(double, intervalo);
        QFETCH(double, transcurridos);
        QFETCH(int, maximo);
        const RangoDispersion r = CalculaRangoDispersion(intervalo, transcurridos, maximo);
        QTEST(r.minimo, "desde");
        QTEST(r.maximo, "hasta");
        for (int semilla = 0; semilla < 200; ++semilla) {
            const double f = SorteaFraccion(QByteArray::number(semilla));
            QCOMPARE(SorteaFraccion(QByteArray::number(semilla)), f);
            QVERIFY(f >= 0 && f < 1);
            const int d = DispersaIntervalo(int(intervalo), transcurridos, maximo, f);
            QVERIFY(intervalo < 2.5 || (d >= r.minimo && d <= r.maximo));
        }
    }

    // A stored card that makes no sense is answered as the reference would, never a crash: a
    // memory that is not a number as none (the state kept), a difficulty out of range as its
    // nearest end, an unknown state as new.
    void datosMalos_data()
    {
        QTest::addColumn<int>("estado");
        QTest::addColumn<double>("estabilidad");
        QTest::addColumn<double>("dificultad");
        QTest::addColumn<double>("dificultadComo");
        QTest::addColumn<int>("estadoComo");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("estabilidad NaN") << 2 << nan << 5.0 << 0.0 << 2;
        QTest::newRow("dificultad infinita") << 2 << 10.0 << HUGE_VAL << 0.0 << 2;
        QTest::newRow("dificultad 12") << 2 << 10.0 << 12.0 << 10.0 << 2;
        QTest::newRow("dificultad -3") << 2 << 10.0 << -3.0 << 1.0 << 2;
        QTest::newRow("estado 7") << 7 << 10.0 << 5.0 << 0.0 << 0;
    }
    void datosMalos()
    {
        QFETCH(int, estado);
        QFETCH(double, estabilidad);
        QFETCH(double, dificultad);
        QFETCH(double, dificultadComo);
        QFETCH(int, estadoComo);
        const Programador programador = EnUtc();
        Tarjeta mala = NuevaTarjeta();
        mala.estado = Estado(estado);
        mala.memoria = {estabilidad, dificultad};
        mala.ultimoRepaso = Inicio - 5 * Dia;
        Tarjeta sana = mala;
        sana.estado = Estado(estadoComo);
        sana.memoria = dificultadComo == 0 ? Memoria{} : Memoria{estabilidad, dificultadComo};
        if (estadoComo == 0)
            sana.ultimoRepaso.reset();
        for (int c = 1; c <= 4; ++c) {
            const Tarjeta a = programador.Programa(mala, Calificacion(c), Inicio);
            const Tarjeta b = programador.Programa(sana, Calificacion(c), Inicio);
            QCOMPARE(a.memoria.estabilidad, b.memoria.estabilidad);
            QCOMPARE(a.memoria.dificultad, b.memoria.dificultad);
            QCOMPARE(a.estado, b.estado);
            QCOMPARE(a.vence, b.vence);
        }
    }

    // The clock moved back: an answer before the last one counts as on the same day.
    void relojAtrasado()
    {
        const Programador programador = EnUtc();
        Tarjeta t = NuevaTarjeta();
        t = programador.Programa(t, Calificacion::Bien, Inicio);
        t = programador.Programa(t, Calificacion::Bien, Inicio + 10 * Minuto);
        const Tarjeta atrasada = programador.Programa(t, Calificacion::Bien, Inicio - 30 * Dia);
        const Tarjeta mismoDia = programador.Programa(t, Calificacion::Bien, Inicio + 20 * Minuto);
        QCOMPARE(atrasada.memoria.estabilidad, mismoDia.memoria.estabilidad);
        QCOMPARE(atrasada.diasProgramados, mismoDia.diasProgramados);
        QVERIFY(atrasada.diasProgramados >= 1);
    }

    // A rating outside 1–4 counts as the nearest one, on a new card and on a review.
    void calificacionFueraDeRango()
    {
        const Programador programador = EnUtc(true);
        const Tarjeta nueva = NuevaTarjeta();
        const Tarjeta repaso = programador.Programa(nueva, Calificacion::Facil, Inicio);
        for (const Tarjeta& t : {nueva, repaso}) {
            const qint64 ahora = t.vence + Dia;
            const Tarjeta cero = programador.Programa(t, Calificacion(0), ahora);
            const Tarjeta nueve = programador.Programa(t, Calificacion(9), ahora);
            const Tarjeta otraVez = programador.Programa(t, Calificacion::OtraVez, ahora);
            const Tarjeta facil = programador.Programa(t, Calificacion::Facil, ahora);
            QCOMPARE(cero.memoria.estabilidad, otraVez.memoria.estabilidad);
            QCOMPARE(cero.vence, otraVez.vence);
            QCOMPARE(nueve.memoria.estabilidad, facil.memoria.estabilidad);
            QCOMPARE(nueve.vence, facil.vence);
        }
    }

    // A day starts at 04:00 local time; elapsed days count day starts.
    void cuentaDias_data()
    {
        QTest::addColumn<QDateTime>("desde");
        QTest::addColumn<QDateTime>("hasta");
        QTest::addColumn<int>("dias");
        const QTimeZone utc = QTimeZone::utc();
        auto a = [&](int dia, int h, int m, const QTimeZone& z) {
            return QDateTime(QDate(2022, 12, dia), QTime(h, m), z);
        };
        QTest::newRow("23:00 a 03:59") << a(28, 23, 0, utc) << a(29, 3, 59, utc) << 0;
        QTest::newRow("03:59 a 04:00") << a(29, 3, 59, utc) << a(29, 4, 0, utc) << 1;
        QTest::newRow("04:00 a 03:59 del día siguiente")
            << a(29, 4, 0, utc) << a(30, 3, 59, utc) << 0;
        QTest::newRow("tres días") << a(26, 12, 0, utc) << a(29, 5, 0, utc) << 3;
        QTest::newRow("hacia atrás") << a(29, 12, 0, utc) << a(20, 12, 0, utc) << 0;
        const QTimeZone menos5(-5 * 3600);
        QTest::newRow("hora local") << a(28, 8, 30, menos5) << a(29, 8, 30, utc) << 0;
    }
    void cuentaDias()
    {
        QFETCH(QDateTime, desde);
        QFETCH(QDateTime, hasta);
        const Programador programador(Parametros{}, QTimeZone(-5 * 3600));
        const Programador enUtc = EnUtc();
        const bool local = QByteArray(QTest::currentDataTag()) == "hora local";
        QTEST((local ? programador : enUtc)
                  .Calendario()
                  .CuentaDias(desde.toMSecsSinceEpoch(), hasta.toMSecsSinceEpoch()),
              "dias");
    }

    // Across summer-time changes, in any order of queries (the zone's periods are kept once
    // read), the day is the local date, the day before until 04:00.
    void diasConCambioDeHora()
    {
        const QTimeZone madrid("Europe/Madrid");
        if (!madrid.isValid())
            QSKIP("no time-zone data");
        const Dias dias(madrid);
        const qint64 base = QDateTime(QDate(2022, 1, 1), QTime(12, 0), madrid).toMSecsSinceEpoch();
        std::vector<qint64> horas;
        for (qint64 h = 0; h < 2 * 366 * 24; h += 7)
            horas.push_back(base + h * 3600 * 1000 + 17 * 60 * 1000);
        std::shuffle(horas.begin(), horas.end(), std::mt19937(7));
        for (const qint64 ms : horas) {
            const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms, madrid);
            const QDate dia = local.time().hour() < 4 ? local.date().addDays(-1) : local.date();
            QCOMPARE(dias.CuentaDias(base, ms),
                     int(dia.toJulianDay() - QDate(2022, 1, 1).toJulianDay()));
        }
    }

    // The desired retention, kept within 0.70–0.97, sets the interval (fsrs-rs' next-interval
    // vector for a stability of 1, ts-fsrs for 100); weights of another count are not FSRS-6.
    void retencion_data()
    {
        QTest::addColumn<double>("retencion");
        QTest::addColumn<int>("conUno");
        QTest::addColumn<int>("conCien");
        QTest::newRow("0.70") << 0.70 << 9 << 929;
        QTest::newRow("0.80") << 0.80 << 3 << 332;
        QTest::newRow("0.90") << 0.90 << 1 << 100;
        QTest::newRow("0.97") << 0.97 << 1 << 22;
        QTest::newRow("0.50 es 0.70") << 0.50 << 9 << 929;
        QTest::newRow("0.99 es 0.97") << 0.99 << 1 << 22;
    }
    void retencion()
    {
        QFETCH(double, retencion);
        Parametros p;
        p.retencionDeseada = retencion;
        p.pesos.pop_back();
        const Modelo modelo(p);
        QCOMPARE(modelo.Ajustes().pesos, PesosPredeterminados());
        QTEST(modelo.CalculaIntervalo(1), "conUno");
        QTEST(modelo.CalculaIntervalo(100), "conCien");
    }
};

QTEST_GUILESS_MAIN(PruebaFsrs)
#include "tst_fsrs.moc"
