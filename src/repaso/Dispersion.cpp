#include "repaso/Dispersion.h"

#include "repaso/Redondeo.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace Repaso {

namespace {

struct Tramo {
    double desde, hasta, factor;
};
constexpr Tramo Tramos[] = {
    {2.5, 7.0, 0.15}, {7.0, 20.0, 0.1}, {20.0, std::numeric_limits<double>::infinity(), 0.05}};

constexpr double DosALaMenos32 = 2.3283064365386963e-10;

// Baagøe's Mash hash: each call folds the bytes into the running state `n`.
double Mezcla(double& n, QByteArrayView datos)
{
    for (const char c : datos) {
        n += static_cast<unsigned char>(c);
        double h = 0.02519603282416938 * n;
        n = static_cast<uint32_t>(h);
        h -= n;
        h *= n;
        n = static_cast<uint32_t>(h);
        h -= n;
        n += h * 4294967296.0;
    }
    return static_cast<uint32_t>(static_cast<uint64_t>(n)) * DosALaMenos32;
}

} // namespace

RangoDispersion CalculaRangoDispersion(double intervalo, double diasTranscurridos,
                                       int intervaloMaximo)
{
    double delta = 1.0;
    for (const Tramo& t : Tramos)
        delta += t.factor * std::max(std::min(intervalo, t.hasta) - t.desde, 0.0);
    intervalo = std::min(intervalo, double(intervaloMaximo));
    double minimo = std::max(2.0, RedondeaComoJs(intervalo - delta));
    const double maximo = std::min(RedondeaComoJs(intervalo + delta), double(intervaloMaximo));
    if (intervalo > diasTranscurridos)
        minimo = std::max(minimo, diasTranscurridos + 1);
    minimo = std::min(minimo, maximo);
    return {static_cast<int>(minimo), static_cast<int>(maximo)};
}

double SorteaFraccion(QByteArrayView semilla)
{
    // The generator's state before the seed: the hash's state and s0 after three blanks.
    struct Arranque {
        double n = 0xefc8249d, s0 = 0;
        Arranque()
        {
            const QByteArrayView blanco(" ");
            s0 = Mezcla(n, blanco);
            Mezcla(n, blanco);
            Mezcla(n, blanco);
        }
    };
    static const Arranque arranque;
    double n = arranque.n;
    double s0 = arranque.s0 - Mezcla(n, semilla);
    if (s0 < 0)
        s0 += 1;
    // The first number drawn: only s0 and the carry (1) take part, so s1 and s2, which the
    // seed also sets, are not needed.
    const double t = 2091639 * s0 + 1 * DosALaMenos32;
    return t - std::trunc(t);
}

int DispersaIntervalo(int intervalo, double diasTranscurridos, int intervaloMaximo, double fraccion)
{
    if (intervalo < 2.5)
        return intervalo;
    const RangoDispersion r = CalculaRangoDispersion(intervalo, diasTranscurridos, intervaloMaximo);
    return static_cast<int>(std::floor(fraccion * (r.maximo - r.minimo + 1) + r.minimo));
}

} // namespace Repaso
