// Measures the practice scheduler: 1,000,000 answers (100,000 cards answered 10 times each, at
// their due time or up to a week late, mostly Bien, some Otra vez, Difícil and Fácil), with fuzz
// and the day counted in the local time zone, as practice runs it.
//
//   MideRepaso
//
// Bar: ≤ 500 ms for the million answers.
#include "Medidas.h"
#include "repaso/Programador.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <cstdio>
#include <random>
#include <vector>

int main()
{
    using namespace Repaso;
    constexpr int Tarjetas = 100000, Respuestas = 10;
    const Programador programador;
    std::mt19937 azar(20261209);
    std::vector<Tarjeta> tarjetas(Tarjetas);
    const qint64 inicio = QDateTime(QDate(2026, 1, 5), QTime(9, 0)).toMSecsSinceEpoch();
    for (int i = 0; i < Tarjetas; ++i) {
        tarjetas[i].id = i + 1; // as the store numbers its cards
        tarjetas[i].vence = inicio;
    }
    // The answers and delays are drawn before timing, so only the scheduler is measured.
    std::vector<Calificacion> calificaciones(size_t(Tarjetas) * Respuestas);
    std::vector<qint64> retrasos(calificaciones.size());
    for (size_t i = 0; i < calificaciones.size(); ++i) {
        const unsigned tirada = azar() % 20;
        calificaciones[i] = tirada < 3    ? Calificacion::OtraVez
                            : tirada < 5  ? Calificacion::Dificil
                            : tirada < 18 ? Calificacion::Bien
                                          : Calificacion::Facil;
        retrasos[i] = qint64(azar() % (7 * 24 * 60)) * 60 * 1000;
    }

    QElapsedTimer reloj;
    reloj.start();
    long long dias = 0;
    size_t k = 0;
    for (int r = 0; r < Respuestas; ++r)
        for (Tarjeta& t : tarjetas) {
            t = programador.Programa(t, calificaciones[k], t.vence + retrasos[k]);
            dias += t.diasProgramados;
            ++k;
        }
    const double ms = double(reloj.nsecsElapsed()) / 1e6;
    std::printf("días programados en total: %lld\n", dias);
    return Informa("1.000.000 respuestas programadas", ms, 500) ? 0 : 1;
}
