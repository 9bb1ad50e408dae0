// The statistics' figures against small logs counted by hand: days from 04:00, true retention
// split young and mature, streaks, what falls due with a backlog, states, topics, words known.
#include "apoyo/BasesPrueba.h"
#include "repaso/AlmacenRepasos.h"
#include "repaso/Estadisticas.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Repaso;

namespace {

constexpr qint64 Hora = 60 * 60 * 1000;
constexpr qint64 Dia = 24 * Hora;
// Midnight UTC of a Tuesday; the tests' zone is UTC, so days start at 04:00 UTC.
const qint64 Medianoche =
    QDateTime(QDate(2026, 3, 10), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
const qint64 Ahora = Medianoche + 12 * Hora;

bool Igual(const Aciertos& a, const Aciertos& b)
{
    return a.respuestas == b.respuestas && a.acertadas == b.acertadas;
}

} // namespace

class PruebaEstadisticas : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    BaseVocabulario base_;
    AlmacenRepasos almacen_{base_};

    // A card of item `item` (rows 1–6 are "tema", 7–9 "otro"), returns its id.
    qint64 Carta(qint64 item, Estado estado, qint64 vence, double s = 1, int dias = 0,
                 std::optional<qint64> ultimo = {})
    {
        TarjetaItem t;
        t.item = item;
        t.tarjeta.estado = estado;
        t.tarjeta.vence = vence;
        t.tarjeta.memoria = {s, 5};
        t.tarjeta.diasProgramados = dias;
        t.tarjeta.ultimoRepaso = ultimo;
        qint64 id = 0;
        base_.EscribeAparte([&](ConexionSqlite& c) { id = almacen_.EscribeTarjeta(c, t); });
        return id;
    }
    void Anota(qint64 tarjeta, qint64 momento, Estado antes, Calificacion c, int dias, double s = 1)
    {
        RegistroRepaso r;
        r.tarjeta = tarjeta;
        r.momento = momento;
        r.estadoAntes = antes;
        r.calificacion = c;
        r.diasProgramados = dias;
        r.memoria = {s, 5};
        base_.EscribeAparte([&](ConexionSqlite& con) { almacen_.AgregaRepaso(con, r); });
    }
    Estadisticas Calcula(std::optional<QString> tema = {}, qint64 ahora = Ahora, int tramos = 0)
    {
        return CalculaEstadisticas(base_, tema, ahora, QTimeZone::utc(), tramos);
    }

private slots:
    void init()
    {
        const QString ruta = carpeta_.filePath(QStringLiteral("v.MDB"));
        QFile::remove(ruta);
        CreaBase(ruta, 6, QStringLiteral("tema"));
        base_.Abre(ruta);
        base_.AgregaTema({QStringLiteral("otro"), {}});
        for (int i = 0; i < 3; ++i)
            base_.AgregaItem({QStringLiteral("otra %1").arg(i),
                              QStringLiteral("x"),
                              QStringLiteral("otro"),
                              {}});
    }
    void cleanup() { base_.Cierra(); }

    void laRetencionSeparaJovenesYMaduras()
    {
        // A: learnt 30 days ago with a 25-day interval; passed yesterday, failed at 03:30 today,
        // which is still yesterday. B: failed today on a 3-day interval, then relearnt (not a
        // review answer). C, in "otro": passed a review 100 days ago.
        const qint64 a = Carta(1, Estado::Repaso, Ahora + Dia);
        const qint64 b = Carta(2, Estado::Reaprendiendo, Ahora + Dia);
        const qint64 c = Carta(7, Estado::Repaso, Ahora + Dia);
        Anota(c, Ahora - 200 * Dia, Estado::Nueva, Calificacion::Bien, 5);
        Anota(c, Ahora - 100 * Dia, Estado::Repaso, Calificacion::Bien, 30);
        Anota(a, Ahora - 30 * Dia, Estado::Nueva, Calificacion::Facil, 25);
        Anota(b, Ahora - 10 * Dia, Estado::Nueva, Calificacion::Bien, 3);
        Anota(a, Ahora - Dia, Estado::Repaso, Calificacion::Bien, 60);
        Anota(a, Medianoche + 3 * Hora + 30 * 60000, Estado::Repaso, Calificacion::OtraVez, 0);
        Anota(b, Medianoche + 5 * Hora, Estado::Repaso, Calificacion::OtraVez, 0);
        Anota(b, Medianoche + 6 * Hora, Estado::Reaprendiendo, Calificacion::Bien, 1);

        struct Esperada {
            Periodo periodo;
            int jovenes, jovenesBien, maduras, madurasBien;
        };
        const Esperada esperadas[] = {{Periodo::Hoy, 1, 0, 0, 0},
                                      {Periodo::Ayer, 0, 0, 2, 1},
                                      {Periodo::Semana, 1, 0, 2, 1},
                                      {Periodo::Mes, 1, 0, 2, 1},
                                      {Periodo::Anio, 2, 1, 2, 1}};
        const Estadisticas e = Calcula();
        for (const Esperada& x : esperadas) {
            const Retencion& r = e.retencion[static_cast<size_t>(x.periodo)];
            const QString que = NombrePeriodo(x.periodo);
            QVERIFY2(r.jovenes.respuestas == x.jovenes && r.jovenes.acertadas == x.jovenesBien &&
                         r.maduras.respuestas == x.maduras && r.maduras.acertadas == x.madurasBien,
                     qPrintable(que));
        }
        QCOMPARE(e.retencion[size_t(Periodo::Anio)].Total().Proporcion().value(), 0.5);
        QVERIFY(!e.retencion[size_t(Periodo::Hoy)].maduras.Proporcion());
        // Answers by day and by hour count every state; the 03:30 answer is yesterday's.
        QCOMPARE(e.porDia[DiasCalendario - 1], 2);
        QCOMPARE(e.porDia[DiasCalendario - 2], 2);
        QCOMPARE(e.porDia[DiasCalendario - 101], 1);
        QCOMPARE(e.porHora[3].respuestas, 1);
        QCOMPARE(e.porHora[6].acertadas, 1);
        QCOMPARE(e.porHora[12].respuestas, 5);
        // A topic's figures are its cards' alone.
        const Estadisticas otro = Calcula(QStringLiteral("otro"));
        QCOMPARE(otro.retencion[size_t(Periodo::Anio)].jovenes.acertadas, 1);
        QCOMPARE(otro.retencion[size_t(Periodo::Anio)].maduras.respuestas, 0);
        QCOMPARE(std::accumulate(otro.porDia.begin(), otro.porDia.end(), 0), 2);
    }

    void lasRachasCuentanDiasDesdeLasCuatro_data()
    {
        QTest::addColumn<QList<int>>("horas"); // answers, hours after midnight of day 0
        QTest::addColumn<int>("hoy");          // days after day 0
        QTest::addColumn<int>("actual");
        QTest::addColumn<int>("larga");
        // 03:00 belongs to the day before, 04:00 starts a day: days 0, 1 and 3.
        const QList<int> cruces{10, 24 + 3, 24 + 4, 48 + 3, 72 + 12};
        QTest::newRow("hoy con repasos") << cruces << 3 << 1 << 2;
        QTest::newRow("hoy aún sin repasos") << cruces << 4 << 1 << 2;
        QTest::newRow("ayer sin repasos") << cruces << 5 << 0 << 2;
        QTest::newRow("de madrugada sigue ayer") << QList<int>{12, 24 + 12, 48 + 2} << 1 << 2 << 2;
        QTest::newRow("sin repasos") << QList<int>{} << 0 << 0 << 0;
    }
    void lasRachasCuentanDiasDesdeLasCuatro()
    {
        QFETCH(QList<int>, horas);
        QFETCH(int, hoy);
        const qint64 id = Carta(1, Estado::Repaso, Ahora);
        for (int h : horas)
            Anota(id, Medianoche + h * Hora, Estado::Repaso, Calificacion::Bien, 1);
        const Estadisticas e = Calcula({}, Medianoche + hoy * Dia + 12 * Hora);
        QTEST(e.rachaActual, "actual");
        QTEST(e.rachaMasLarga, "larga");
    }

    void losVencimientosApartanLosAtrasados()
    {
        const qint64 hoy = Medianoche + 4 * Hora;
        const qint64 vencen[] = {
            hoy - 1,                // yesterday's: backlog
            Ahora - 5 * Dia,        // backlog
            hoy,                    // today
            Medianoche + 23 * Hora, // today
            hoy + Dia - 1,          // 03:59 tomorrow is still today
            hoy + Dia,              // tomorrow
            hoy + 29 * Dia + Hora,  // in 29 days
            hoy + 400 * Dia,        // beyond a year: not shown
        };
        for (size_t i = 0; i < std::size(vencen); ++i)
            Carta(qint64(i) + 1, Estado::Repaso, vencen[i]);
        const Estadisticas e = Calcula();
        QCOMPARE(e.atrasadas, 2);
        QCOMPARE(int(e.vencen.size()), DiasAdelante);
        QCOMPARE(e.vencen[0], 3);
        QCOMPARE(e.vencen[1], 1);
        QCOMPARE(e.vencen[29], 1);
        QCOMPARE(std::accumulate(e.vencen.begin(), e.vencen.end(), 0), 5);
    }

    void estadosTemasYPalabrasConocidas()
    {
        // R(S, S) is 0.9 by the model's definition; just answered, 1.
        struct Carta_ {
            qint64 item;
            Estado estado;
            int dias;
            double s, haceDias;
        };
        const Carta_ cartas[] = {
            {1, Estado::Aprendiendo, 0, 2, 0}, {2, Estado::Reaprendiendo, 0, 1, 1},
            {3, Estado::Repaso, 20, 10, 10},   {4, Estado::Repaso, 21, 30, 30},
            {7, Estado::Repaso, 100, 50, 50},
        };
        for (const Carta_& c : cartas) {
            const qint64 ultimo = Ahora - qint64(c.haceDias * Dia);
            const qint64 id = Carta(c.item, c.estado, Ahora + Dia, c.s, c.dias, ultimo);
            Anota(id, ultimo, Estado::Nueva, Calificacion::Bien, c.dias, c.s);
        }
        const Estadisticas e = Calcula();
        QCOMPARE(e.estados.nuevas, 4); // items 5, 6, 8, 9
        QCOMPARE(e.estados.aprendiendo, 2);
        QCOMPARE(e.estados.jovenes, 1);
        QCOMPARE(e.estados.maduras, 2);
        QCOMPARE(e.porTema.size(), size_t(2));
        QCOMPARE(e.porTema[0].tema, QStringLiteral("otro")); // the vocabulary's order
        QCOMPARE(e.porTema[0].estados.Total(), 3);
        QCOMPARE(e.porTema[1].estados.maduras, 1);
        QVERIFY(qAbs(e.conocidas - 4.6) < 1e-6);

        // The curve: every two weeks for a year, its last point now's figure; four weeks ago only
        // the cards answered by then, each as far from its answer as it was.
        QCOMPARE(e.curvaConocidas.size(), size_t(27));
        QCOMPARE(e.curvaConocidas.back().momento, Ahora);
        QVERIFY(qAbs(e.curvaConocidas.back().palabras - e.conocidas) < 1e-5);
        const Modelo modelo;
        const PuntoConocidas& hace4 = e.curvaConocidas[24];
        QCOMPARE(hace4.momento, Ahora - 28 * Dia);
        QVERIFY(qAbs(hace4.palabras - (modelo.CalculaRetenibilidad(2, 30) +
                                       modelo.CalculaRetenibilidad(22, 50))) < 1e-5);
        QCOMPARE(e.curvaConocidas.front().palabras, 0.0);

        const Estadisticas otro = Calcula(QStringLiteral("otro"));
        QCOMPARE(otro.estados.Total(), 3);
        QCOMPARE(otro.porTema.size(), size_t(1));
        QVERIFY(qAbs(otro.conocidas - 0.9) < 1e-6);
        QVERIFY(qAbs(otro.curvaConocidas.back().palabras - 0.9) < 1e-5);
    }

    void idsDeTarjetaComoMarcasDeTiempo()
    {
        // An imported log keeps its card ids, which another program may give as timestamps.
        const qint64 id = 1'700'000'000'000;
        TarjetaItem t;
        t.item = 7;
        t.tarjeta.id = id;
        t.tarjeta.estado = Estado::Repaso;
        t.tarjeta.vence = Ahora + Dia;
        t.tarjeta.memoria = {10, 5};
        t.tarjeta.diasProgramados = 30;
        t.tarjeta.ultimoRepaso = Ahora - 10 * Dia;
        base_.EscribeAparte([&](ConexionSqlite& c) { almacen_.EscribeTarjeta(c, t); });
        Anota(id, Ahora - 40 * Dia, Estado::Nueva, Calificacion::Bien, 30, 10);
        Anota(id, Ahora - 10 * Dia, Estado::Repaso, Calificacion::Bien, 30, 10);
        const Estadisticas e = Calcula(QStringLiteral("otro"));
        QCOMPARE(e.estados.maduras, 1);
        QCOMPARE(e.retencion[size_t(Periodo::Mes)].maduras.acertadas, 1);
        QVERIFY(qAbs(e.curvaConocidas.back().palabras - 0.9) < 1e-5);
    }

    void losTramosDelRegistroDanLasMismasCifras()
    {
        // 27 cards (one with a timestamp for id), 3,000 answers over 400 days, the reviews of a
        // deleted item and of a card never stored: read whole and in slices, the same figures.
        QRandomGenerator azar(26);
        std::vector<qint64> ids;
        base_.EscribeAparte([&](ConexionSqlite& c) {
            for (qint64 item = 1; item <= 9; ++item)
                for (Tipo tipo : {Tipo::IngEsp, Tipo::EspIng, Tipo::Dictado}) {
                    TarjetaItem t;
                    t.item = item;
                    t.tipo = tipo;
                    t.tarjeta.id = item == 9 && tipo == Tipo::Dictado ? 1'700'000'000'000 : 0;
                    t.tarjeta.estado = Estado(azar.bounded(4));
                    t.tarjeta.vence = Ahora + (azar.bounded(80) - 20) * Dia;
                    t.tarjeta.memoria = {1 + azar.bounded(100.0), 5};
                    t.tarjeta.diasProgramados = azar.bounded(60);
                    t.tarjeta.ultimoRepaso = Ahora - azar.bounded(50) * Dia;
                    ids.push_back(almacen_.EscribeTarjeta(c, t));
                }
            ids.push_back(5'000'000'000'000);
            for (int i = 0; i < 3000; ++i) {
                RegistroRepaso r;
                r.tarjeta = ids[size_t(azar.bounded(int(ids.size())))];
                r.momento = Ahora - 400 * Dia + i * (400 * Dia / 3000);
                r.estadoAntes = Estado(azar.bounded(4));
                r.calificacion = Calificacion(1 + azar.bounded(4));
                r.diasProgramados = azar.bounded(50);
                r.memoria = {0.5 + azar.bounded(60.0), 5};
                almacen_.AgregaRepaso(c, r);
            }
        });
        base_.EliminaItem(QStringLiteral("tema palabra 2"));

        for (const std::optional<QString>& tema :
             {std::optional<QString>(), std::optional<QString>(QStringLiteral("otro"))}) {
            const Estadisticas entera = Calcula(tema, Ahora, 1);
            QVERIFY(entera.rachaMasLarga > 0);
            for (int tramos : {2, 3, 7}) {
                const Estadisticas e = Calcula(tema, Ahora, tramos);
                const QString que =
                    QStringLiteral("%1 tramos, %2").arg(tramos).arg(tema.value_or("todo"));
                QVERIFY2(e.porDia == entera.porDia && e.rachaActual == entera.rachaActual &&
                             e.rachaMasLarga == entera.rachaMasLarga,
                         qPrintable(que));
                for (size_t p = 0; p < NumPeriodos; ++p)
                    QVERIFY2(Igual(e.retencion[p].jovenes, entera.retencion[p].jovenes) &&
                                 Igual(e.retencion[p].maduras, entera.retencion[p].maduras),
                             qPrintable(que));
                for (size_t h = 0; h < 24; ++h)
                    QVERIFY2(Igual(e.porHora[h], entera.porHora[h]), qPrintable(que));
                for (size_t k = 0; k < e.curvaConocidas.size(); ++k)
                    QVERIFY2(qAbs(e.curvaConocidas[k].palabras -
                                  entera.curvaConocidas[k].palabras) < 1e-3,
                             qPrintable(que));
            }
        }
    }

    void unaBaseSinPracticaNoTieneCifras()
    {
        const Estadisticas e = Calcula();
        QCOMPARE(e.estados.nuevas, 9);
        QCOMPARE(e.conocidas, 0.0);
        QCOMPARE(e.rachaMasLarga, 0);
        QVERIFY(!e.retencion[size_t(Periodo::Anio)].Total().Proporcion());
        QCOMPARE(e.curvaConocidas.size(), size_t(27));
    }
};

QTEST_GUILESS_MAIN(PruebaEstadisticas)
#include "tst_estadisticas.moc"
