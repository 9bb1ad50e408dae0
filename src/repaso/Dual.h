#pragma once
// A number that carries its derivatives with respect to the model's 21 weights (forward-mode
// differentiation): running the memory recurrence on these gives the loss and its gradient in
// one pass, with no tape to keep. The model is small, so carrying 21 derivatives through each
// step costs less than storing every step to go back through it.
#include <array>
#include <cmath>

namespace Repaso {

struct Dual {
    static constexpr int N = 21;
    double v = 0;
    std::array<double, N> d{};

    Dual() = default;
    Dual(double valor) : v(valor) {} // a constant: no derivatives
    // The weight `i` itself.
    static Dual Variable(double valor, int i)
    {
        Dual x(valor);
        x.d[i] = 1.0;
        return x;
    }
};

// f(x) with f'(x) known: the chain rule.
inline Dual Cadena(const Dual& x, double valor, double derivada)
{
    Dual r(valor);
    for (int i = 0; i < Dual::N; ++i)
        r.d[i] = derivada * x.d[i];
    return r;
}

inline Dual operator+(const Dual& a, const Dual& b)
{
    Dual r(a.v + b.v);
    for (int i = 0; i < Dual::N; ++i)
        r.d[i] = a.d[i] + b.d[i];
    return r;
}
inline Dual operator-(const Dual& a, const Dual& b)
{
    Dual r(a.v - b.v);
    for (int i = 0; i < Dual::N; ++i)
        r.d[i] = a.d[i] - b.d[i];
    return r;
}
inline Dual operator*(const Dual& a, const Dual& b)
{
    Dual r(a.v * b.v);
    for (int i = 0; i < Dual::N; ++i)
        r.d[i] = a.d[i] * b.v + a.v * b.d[i];
    return r;
}
inline Dual operator/(const Dual& a, const Dual& b)
{
    Dual r(a.v / b.v);
    const double inversa = 1.0 / b.v;
    for (int i = 0; i < Dual::N; ++i)
        r.d[i] = (a.d[i] - r.v * b.d[i]) * inversa;
    return r;
}
inline Dual operator-(const Dual& a)
{
    return Cadena(a, -a.v, -1.0);
}
inline Dual operator+(const Dual& a, double b)
{
    Dual r = a;
    r.v += b;
    return r;
}
inline Dual operator-(const Dual& a, double b)
{
    return a + (-b);
}
inline Dual operator-(double a, const Dual& b)
{
    return Cadena(b, a - b.v, -1.0);
}
inline Dual operator*(const Dual& a, double b)
{
    return Cadena(a, a.v * b, b);
}
inline Dual operator*(double a, const Dual& b)
{
    return b * a;
}
inline Dual operator/(const Dual& a, double b)
{
    return a * (1.0 / b);
}

inline Dual exp(const Dual& x)
{
    const double e = std::exp(x.v);
    return Cadena(x, e, e);
}
inline Dual log(const Dual& x)
{
    return Cadena(x, std::log(x.v), 1.0 / x.v);
}
// a^b for a > 0, both varying.
inline Dual pow(const Dual& a, const Dual& b)
{
    const double valor = std::pow(a.v, b.v);
    const double porA = b.v * valor / a.v, porB = valor * std::log(a.v);
    Dual r(valor);
    for (int i = 0; i < Dual::N; ++i)
        r.d[i] = porA * a.d[i] + porB * b.d[i];
    return r;
}

// The value of a number, whichever kind it is.
inline double Valor(double x)
{
    return x;
}
inline double Valor(const Dual& x)
{
    return x.v;
}

} // namespace Repaso
