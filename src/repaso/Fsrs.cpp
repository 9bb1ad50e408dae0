#include "repaso/Fsrs.h"

#include "repaso/Redondeo.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace Repaso {

namespace {

constexpr double EstabilidadMinima = 0.001;
constexpr double EstabilidadMaxima = 36500.0;

// The ranges each weight was trained within; a weight outside is brought to the nearest end.
constexpr std::array<std::array<double, 2>, 21> RangosPesos{{
    {0.001, 100.0}, {0.001, 100.0}, {0.001, 100.0}, {0.001, 100.0}, // initial stabilities
    {1.0, 10.0},    {0.001, 4.0},                                   // initial difficulty
    {0.001, 4.0},   {0.001, 0.75},                                  // difficulty change, reversion
    {0.0, 4.5},     {0.0, 0.8},     {0.001, 3.5},                   // stability after a pass
    {0.001, 5.0},   {0.001, 0.25},  {0.001, 0.9},   {0.0, 4.0},     // stability after a lapse
    {0.0, 1.0},     {1.0, 6.0},                                     // Hard penalty, Easy bonus
    {0.0, 2.0},     {0.0, 2.0},     {0.01, 0.8},                    // same-day answers
    {0.1, 0.8},                                                     // decay
}};

// The weights a model can run with: 21 of them, each a number within its range. With more than
// one relearning step, w17·w18 is capped further so that going through every step after a lapse
// cannot raise the stability above what it was.
std::vector<double> AjustaPesos(const std::vector<double>& pesos, size_t pasosReaprendizaje)
{
    if (pesos.size() != RangosPesos.size())
        return PesosPredeterminados();
    auto rangos = RangosPesos;
    auto acota = [&](size_t i) {
        const double v = std::isnan(pesos[i]) ? 0.0 : pesos[i];
        return Acota(v, rangos[i][0], rangos[i][1]);
    };
    if (pasosReaprendizaje > 1) {
        const double w11 = acota(11), w13 = acota(13), w14 = acota(14);
        const double valor = -(std::log(w11) + std::log(std::pow(2.0, w13) - 1.0) + w14 * 0.3) /
                             static_cast<double>(pasosReaprendizaje);
        const double techo = Acota(RedondeaA8(std::sqrt(std::max(valor, 0.0))), 0.01, 2.0);
        rangos[17][1] = techo;
        rangos[18][1] = techo;
    }
    std::vector<double> ajustados(pesos.size());
    for (size_t i = 0; i < pesos.size(); ++i)
        ajustados[i] = acota(i);
    return ajustados;
}

// 1 to 4; a rating from nowhere counts as the nearest one.
int Indice(Calificacion c)
{
    return std::clamp(static_cast<int>(c), 1, 4);
}

} // namespace

const std::vector<double>& PesosPredeterminados()
{
    static const std::vector<double> pesos{0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                           0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                           1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    return pesos;
}

Modelo::Modelo(Parametros parametros) : p(std::move(parametros))
{
    p.pesos = AjustaPesos(p.pesos, p.pasosReaprendizaje.size());
    p.retencionDeseada =
        std::isnan(p.retencionDeseada) ? 0.90 : Acota(p.retencionDeseada, 0.70, 0.97);
    p.intervaloMaximo = std::clamp(p.intervaloMaximo, 1, 36500);
    decaimiento = -p.pesos[20];
    factor = RedondeaA8(std::exp(std::log(0.9) / decaimiento) - 1.0);
    modificador = RedondeaA8((std::pow(p.retencionDeseada, 1.0 / decaimiento) - 1.0) / factor);
    dificultadFacil = DificultadInicial(Calificacion::Facil);
    crecimientoBase = std::exp(p.pesos[8]);
}

double Modelo::CalculaRetenibilidad(double dias, double estabilidad) const
{
    return RedondeaA8(std::pow(1.0 + factor * dias / estabilidad, decaimiento));
}

double Modelo::EstabilidadInicial(Calificacion c) const
{
    return std::max(p.pesos[Indice(c) - 1], 0.1);
}

double Modelo::DificultadInicial(Calificacion c) const
{
    const auto& w = p.pesos;
    return RedondeaA8(w[4] - std::exp((Indice(c) - 1) * w[5]) + 1.0);
}

double Modelo::ActualizaDificultad(double d, Calificacion c) const
{
    const auto& w = p.pesos;
    const double cambio = -w[6] * (Indice(c) - 3);
    const double siguiente = d + RedondeaA8(cambio * (10.0 - d) / 9.0);
    const double revertida = RedondeaA8(w[7] * dificultadFacil + (1.0 - w[7]) * siguiente);
    return Acota(revertida, 1.0, 10.0);
}

double Modelo::EstabilidadTrasAcierto(double d, double s, double r, Calificacion c) const
{
    const auto& w = p.pesos;
    const double penalizacion = c == Calificacion::Dificil ? w[15] : 1.0;
    const double bonificacion = c == Calificacion::Facil ? w[16] : 1.0;
    const double crecimiento = crecimientoBase * (11.0 - d) * std::pow(s, -w[9]) *
                               (std::exp((1.0 - r) * w[10]) - 1.0) * penalizacion * bonificacion;
    return RedondeaA8(Acota(s * (1.0 + crecimiento), EstabilidadMinima, EstabilidadMaxima));
}

double Modelo::EstabilidadTrasOlvido(double d, double s, double r) const
{
    const auto& w = p.pesos;
    const double tras =
        RedondeaA8(Acota(w[11] * std::pow(d, -w[12]) * (std::pow(s + 1.0, w[13]) - 1.0) *
                             std::exp((1.0 - r) * w[14]),
                         EstabilidadMinima, EstabilidadMaxima));
    // The relearning steps will raise it by up to e^(w17·w18): start low enough for that.
    const double tope = RedondeaA8(s / std::exp(w[17] * w[18]));
    return Acota(tope, EstabilidadMinima, tras);
}

double Modelo::EstabilidadMismoDia(double s, Calificacion c) const
{
    const auto& w = p.pesos;
    double incremento = std::pow(s, -w[19]) * std::exp(w[17] * (Indice(c) - 3 + w[18]));
    if (c != Calificacion::OtraVez)
        incremento = std::max(incremento, 1.0);
    return RedondeaA8(Acota(s * incremento, EstabilidadMinima, EstabilidadMaxima));
}

Memoria Modelo::ActualizaMemoria(Memoria m, double dias, Calificacion c) const
{
    if (!std::isfinite(m.estabilidad) || !std::isfinite(m.dificultad))
        m = {};
    if (m.estabilidad == 0 && m.dificultad == 0)
        return {EstabilidadInicial(c), Acota(DificultadInicial(c), 1.0, 10.0)};
    const double s = Acota(m.estabilidad, EstabilidadMinima, EstabilidadMaxima);
    const double d = Acota(m.dificultad, 1.0, 10.0);
    dias = std::max(dias, 0.0);
    const double r = CalculaRetenibilidad(dias, s);
    Memoria nueva;
    if (dias == 0)
        nueva.estabilidad = EstabilidadMismoDia(s, c);
    else if (c == Calificacion::OtraVez)
        nueva.estabilidad = EstabilidadTrasOlvido(d, s, r);
    else
        nueva.estabilidad = EstabilidadTrasAcierto(d, s, r, c);
    nueva.dificultad = ActualizaDificultad(d, c);
    return nueva;
}

int Modelo::CalculaIntervalo(double estabilidad) const
{
    const double dias = RedondeaComoJs(estabilidad * modificador);
    return static_cast<int>(std::min(std::max(1.0, dias), double(p.intervaloMaximo)));
}

} // namespace Repaso
