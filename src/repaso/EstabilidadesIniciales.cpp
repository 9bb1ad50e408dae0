#include "repaso/EstabilidadesIniciales.h"

#include "repaso/Fsrs.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>

namespace Repaso {

namespace {

constexpr double EstabilidadInicialMaxima = 100.0;

struct Recuerdo {
    double dias, recordados, cuenta;
};

// The cross-entropy of a stability on the answers of one first rating, plus a small pull toward
// the default stability so that few answers do not move it far.
double Perdida(const std::vector<Recuerdo>& datos, double recuerdoMedio, double s, double defecto)
{
    const double decaimiento = -PesosPredeterminados()[20];
    const double factor = std::pow(0.9, 1.0 / decaimiento) - 1.0;
    double perdida = 0;
    for (const Recuerdo& d : datos) {
        // The interval's share of recalls, smoothed toward the mean (one answer more at it).
        const double y = (d.recordados + recuerdoMedio) / (d.cuenta + 1.0);
        const double r = std::pow(d.dias / s * factor + 1.0, decaimiento);
        perdida -= (y * std::log(r) + (1.0 - y) * std::log(1.0 - r)) * d.cuenta;
    }
    return perdida + std::abs(s - defecto) / 16.0;
}

// The best stability by ternary search over 0.001–100 (the loss has one minimum).
double BuscaEstabilidad(const std::vector<Recuerdo>& datos, double recuerdoMedio, double defecto)
{
    double bajo = 0.001, alto = EstabilidadInicialMaxima, mejor = defecto;
    for (int i = 0; i < 1000 && alto - bajo > DBL_EPSILON; ++i) {
        const double m1 = bajo + (alto - bajo) / 3.0, m2 = alto - (alto - bajo) / 3.0;
        if (Perdida(datos, recuerdoMedio, m1, defecto) < Perdida(datos, recuerdoMedio, m2, defecto))
            alto = m2;
        else
            bajo = m1;
        mejor = (alto + bajo) / 2.0;
    }
    return mejor;
}

} // namespace

std::optional<std::array<double, 4>> CompletaEstabilidades(std::array<double, 4> e,
                                                           const std::array<int, 4>& cuentas)
{
    // A weaker first answer with a stronger memory than a better one: the one seen on more
    // cards wins.
    for (auto [a, b] : {std::pair{0, 1}, {1, 2}, {2, 3}, {0, 2}, {1, 3}, {0, 3}}) {
        if (cuentas[a] > 0 && cuentas[b] > 0 && e[a] > e[b]) {
            if (cuentas[a] > cuentas[b])
                e[b] = e[a];
            else
                e[a] = e[b];
        }
    }
    // Unknown ones from the known, along the proportions the defaults were found to keep.
    const double w1 = 0.41, w2 = 0.54;
    const bool s1 = cuentas[0] > 0, s2 = cuentas[1] > 0, s3 = cuentas[2] > 0, s4 = cuentas[3] > 0;
    const int conocidas = s1 + s2 + s3 + s4;
    double &r1 = e[0], &r2 = e[1], &r3 = e[2], &r4 = e[3];
    auto p = [](double x, double y) { return std::pow(x, y); };
    if (conocidas == 0)
        return std::nullopt;
    if (conocidas == 1) {
        const auto& defecto = PesosPredeterminados();
        const int k = s1 ? 0 : s2 ? 1 : s3 ? 2 : 3;
        const double factor = e[k] / defecto[k];
        for (int i = 0; i < 4; ++i)
            e[i] = defecto[i] * factor;
    } else if (conocidas == 2) {
        if (s3 && s4) {
            r2 = p(r3, 1.0 / (1.0 - w2)) * p(r4, 1.0 - 1.0 / (1.0 - w2));
            r1 = p(r2, 1.0 / w1) * p(r3, 1.0 - 1.0 / w1);
        } else if (s2 && s4) {
            r3 = p(r2, 1.0 - w2) * p(r4, w2);
            r1 = p(r2, 1.0 / w1) * p(r3, 1.0 - 1.0 / w1);
        } else if (s2 && s3) {
            r4 = p(r2, 1.0 - 1.0 / w2) * p(r3, 1.0 / w2);
            r1 = p(r2, 1.0 / w1) * p(r3, 1.0 - 1.0 / w1);
        } else if (s1 && s4) {
            const double q = w1 / (w1 + w2 - w1 * w2), q2 = w2 / (w1 + w2 - w1 * w2);
            r2 = p(r1, q) * p(r4, 1.0 - q);
            r3 = p(r1, 1.0 - q2) * p(r4, q2);
        } else if (s1 && s3) {
            r2 = p(r1, w1) * p(r3, 1.0 - w1);
            r4 = p(r2, 1.0 - 1.0 / w2) * p(r3, 1.0 / w2);
        } else { // 1 and 2
            r3 = p(r1, 1.0 - 1.0 / (1.0 - w1)) * p(r2, 1.0 / (1.0 - w1));
            r4 = p(r2, 1.0 - 1.0 / w2) * p(r3, 1.0 / w2);
        }
    } else if (conocidas == 3) {
        if (!s1)
            r1 = p(r2, 1.0 / w1) * p(r3, 1.0 - 1.0 / w1);
        else if (!s2)
            r2 = p(r1, w1) * p(r3, 1.0 - w1);
        else if (!s3)
            r3 = p(r2, 1.0 - w2) * p(r4, w2);
        else
            r4 = p(r2, 1.0 - 1.0 / w2) * p(r3, 1.0 / w2);
    }
    for (double& v : e)
        v = std::isfinite(v) ? std::clamp(v, 0.001, EstabilidadInicialMaxima) : 0.001;
    return e;
}

std::optional<InicioAjuste> EstimaEstabilidadesIniciales(const DatosAjuste& datos,
                                                         const std::vector<ItemAjuste>& inicio,
                                                         double recuerdoMedio)
{
    // First rating → interval → (recalled, answers).
    std::array<std::map<int, std::pair<double, double>>, 4> grupos;
    for (const ItemAjuste& item : inicio) {
        const HistoriaAjuste& h = datos.historias[item.historia];
        auto& g = grupos[h.repasos[0].calificacion - 1][h.repasos[item.posicion].dias];
        g.first += h.repasos[item.posicion].calificacion > 1;
        g.second += 1;
    }
    InicioAjuste resultado;
    for (int i = 0; i < 4; ++i) {
        std::vector<Recuerdo> recuerdos;
        for (const auto& [dias, g] : grupos[i]) {
            recuerdos.push_back({double(dias), g.first, g.second});
            resultado.cuentas[i] += int(g.second);
        }
        if (!recuerdos.empty())
            resultado.estabilidades[i] =
                BuscaEstabilidad(recuerdos, recuerdoMedio, PesosPredeterminados()[i]);
    }
    const auto completas = CompletaEstabilidades(resultado.estabilidades, resultado.cuentas);
    if (!completas)
        return std::nullopt;
    resultado.estabilidades = *completas;
    return resultado;
}

} // namespace Repaso
