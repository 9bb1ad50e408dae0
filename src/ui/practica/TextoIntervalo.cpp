#include "ui/practica/TextoIntervalo.h"

#include <cmath>

namespace {
// "1 día", "3 días", "1,2 meses": one decimal with a comma, none when it rounds to whole.
QString Cantidad(double valor, const char* singular, const char* plural)
{
    const double redondeado = std::round(valor * 10) / 10;
    const bool entero = std::fmod(redondeado, 1.0) == 0;
    const QString numero =
        entero ? QString::number(qint64(redondeado))
               : QString::number(redondeado, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
    return numero + QLatin1Char(' ') + QString::fromUtf8(redondeado == 1 ? singular : plural);
}
} // namespace

QString TextoIntervalo(qint64 segundos)
{
    constexpr qint64 Hora = 3600, Dia = 24 * Hora;
    const qint64 minutos = (segundos + 30) / 60;
    if (minutos < 60)
        return QStringLiteral("%1 min").arg(qMax<qint64>(1, minutos));
    if (segundos < Dia - 180) // 23,95 h would read "24 h": a day
        return Cantidad(double(segundos) / Hora, "h", "h");
    const double dias = double(segundos) / Dia;
    if (dias < 30)
        return Cantidad(std::round(dias), "día", "días");
    if (dias < 365)
        return Cantidad(dias / 30, "mes", "meses");
    return Cantidad(dias / 365, "año", "años");
}
