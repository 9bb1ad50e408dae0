#pragma once
// Rounding as the published implementation does it, so that figures agree to the last digit.
#include <algorithm>
#include <cmath>

namespace Repaso {

// Halves round up (toward +∞), not away from zero: −2.5 → −2.
inline double RedondeaComoJs(double x)
{
    const double abajo = std::floor(x);
    return x - abajo >= 0.5 ? abajo + 1.0 : abajo;
}

// Eight decimals, as every step of the model is rounded.
inline double RedondeaA8(double x)
{
    return RedondeaComoJs(x * 1e8) / 1e8;
}

// Into [minimo, maximo]; a value that is not a number stays one.
inline double Acota(double v, double minimo, double maximo)
{
    return std::min(std::max(v, minimo), maximo);
}

} // namespace Repaso
