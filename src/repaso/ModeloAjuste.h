#pragma once
// The memory recurrence as the fitting runs it: the same formulas as the scheduler's model, but
// without its rounding to 8 decimals (rounding has no derivative) and written once for plain
// numbers (to measure) and for numbers carrying derivatives (to train).
#include "repaso/Dual.h"
#include "repaso/HistoriasAjuste.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace Repaso {

inline constexpr double EstabilidadMinimaAjuste = 0.001, EstabilidadMaximaAjuste = 36500.0;
// A predicted chance is kept this far from 0 and 1, so that a wrong certain prediction costs
// much but not infinitely.
inline constexpr double ProbabilidadMinima = 1e-7;

// Into [minimo, maximo]; at the ends the derivatives stop, as they do beyond them.
template <class T> T AcotaAjuste(const T& x, double minimo, double maximo)
{
    if (Valor(x) < minimo)
        return T(minimo);
    if (Valor(x) > maximo)
        return T(maximo);
    return x;
}

// The weights and what every step uses from them, computed once.
template <class T> struct PesosAjuste {
    std::array<T, 21> w;
    T decaimiento, factor, dificultadFacil, crecimientoBase, divisorOlvido;

    explicit PesosAjuste(const std::array<T, 21>& pesos) : w(pesos)
    {
        using std::exp;
        decaimiento = -w[20];
        factor = exp(T(std::log(0.9)) / decaimiento) - 1.0;
        dificultadFacil = w[4] - exp(w[5] * 3.0) + 1.0;
        crecimientoBase = exp(w[8]);
        divisorOlvido = exp(w[17] * w[18]);
    }

    T Retenibilidad(double dias, const T& s) const
    {
        using std::pow;
        return pow(factor * (dias / s) + 1.0, decaimiento);
    }
};

template <class T> struct MemoriaAjuste {
    T s, d;
};

// The memory after the first answer.
template <class T> MemoriaAjuste<T> MemoriaInicial(const PesosAjuste<T>& p, int calificacion)
{
    using std::exp;
    const auto& w = p.w;
    return {AcotaAjuste(w[calificacion - 1], EstabilidadMinimaAjuste, EstabilidadMaximaAjuste),
            AcotaAjuste(w[4] - exp(w[5] * double(calificacion - 1)) + 1.0, 1.0, 10.0)};
}

// The memory after an answer `r` given `dias` days after the last one, with `retenibilidad`
// the chance of recall then (computed by the caller, who also predicts with it).
template <class T>
MemoriaAjuste<T> SiguienteMemoria(const PesosAjuste<T>& p, const MemoriaAjuste<T>& m,
                                  const RepasoAjuste& r, const T& retenibilidad)
{
    using std::exp;
    using std::pow;
    const auto& w = p.w;
    const double c = r.calificacion;
    T s;
    if (r.dias == 0) { // same day: a small change, never down after a pass
        T incremento = exp(w[17] * (w[18] + (c - 3.0))) * pow(m.s, -w[19]);
        if (c >= 2 && Valor(incremento) < 1.0)
            incremento = T(1.0);
        s = m.s * incremento;
    } else if (r.calificacion == 1) {
        const T olvido = w[11] * pow(m.d, -w[12]) * (pow(m.s + 1.0, w[13]) - 1.0) *
                         exp((1.0 - retenibilidad) * w[14]);
        const T suelo = m.s / p.divisorOlvido;
        s = Valor(suelo) < Valor(olvido) ? suelo : olvido;
    } else {
        T crecimiento = p.crecimientoBase * (11.0 - m.d) * pow(m.s, -w[9]) *
                        (exp((1.0 - retenibilidad) * w[10]) - 1.0);
        if (r.calificacion == 2)
            crecimiento = crecimiento * w[15];
        if (r.calificacion == 4)
            crecimiento = crecimiento * w[16];
        s = m.s * (crecimiento + 1.0);
    }
    const T siguiente = m.d + (10.0 - m.d) * (-w[6] * (c - 3.0)) / 9.0;
    const T d = w[7] * (p.dificultadFacil - siguiente) + siguiente;
    return {AcotaAjuste(s, EstabilidadMinimaAjuste, EstabilidadMaximaAjuste),
            AcotaAjuste(d, 1.0, 10.0)};
}

// Runs a history up to answer `ultima`, calling `predice(posicion, retenibilidad)` for every
// answer given on a later day: the chance of recall the model gave it from the answers before.
template <class T, class F>
void RecorreHistoria(const PesosAjuste<T>& p, const HistoriaAjuste& h, int ultima, F&& predice)
{
    MemoriaAjuste<T> m = MemoriaInicial(p, h.repasos[0].calificacion);
    for (int k = 1; k <= ultima; ++k) {
        const RepasoAjuste& r = h.repasos[k];
        const T retenibilidad = r.dias > 0 ? p.Retenibilidad(r.dias, m.s) : T(1.0);
        if (r.dias > 0)
            predice(k, retenibilidad);
        m = SiguienteMemoria(p, m, r, retenibilidad);
    }
}

// The cross-entropy of a prediction: −ln R when recalled, −ln(1 − R) when not.
template <class T> T EntropiaCruzada(const T& retenibilidad, bool recordado)
{
    using std::log;
    const T r = AcotaAjuste(retenibilidad, ProbabilidadMinima, 1.0 - ProbabilidadMinima);
    return recordado ? -log(r) : -log(1.0 - r);
}

// The summed weighted cross-entropy of some predictions and its gradient with respect to the
// 21 weights (forward-mode derivatives through each history).
double PerdidaLote(const DatosAjuste& datos, const ItemAjuste* items, size_t cuantos,
                   const std::vector<double>& pesos, std::array<double, 21>& gradiente);

} // namespace Repaso
