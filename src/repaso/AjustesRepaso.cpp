#include "repaso/AjustesRepaso.h"

#include "data/BaseVocabulario.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace Repaso {

namespace {

const QString ClaveRetencion = QStringLiteral("REPASO.RETENCION");
const QString ClaveNuevas = QStringLiteral("REPASO.NUEVASPORDIA");
const QString ClaveRepasos = QStringLiteral("REPASO.REPASOSPORDIA");
const QString ClaveHablaSola = QStringLiteral("REPASO.HABLASOLA");
const QString ClavePesos = QStringLiteral("REPASO.PARAMETROS");
const QString ModeloPesos = QStringLiteral("FSRS-6");

template <typename T> T Acota(T valor, T minimo, T maximo)
{
    return std::clamp(valor, minimo, maximo);
}

} // namespace

QString TextoPesos(const std::vector<double>& pesos)
{
    QStringList numeros;
    for (double w : pesos)
        numeros << QString::number(w, 'g', 17);
    return QStringLiteral("%1:%2:%3")
        .arg(ModeloPesos)
        .arg(pesos.size())
        .arg(numeros.join(QLatin1Char(',')));
}

std::optional<std::vector<double>> LeeTextoPesos(const QString& texto)
{
    const QStringList partes = texto.split(QLatin1Char(':'));
    if (partes.size() != 3 || partes[0] != ModeloPesos)
        return std::nullopt;
    bool bien = false;
    const int cuenta = partes[1].toInt(&bien);
    const QStringList numeros = partes[2].split(QLatin1Char(','));
    if (!bien || cuenta != 21 || numeros.size() != cuenta)
        return std::nullopt;
    std::vector<double> pesos;
    for (const QString& numero : numeros) {
        const double w = numero.toDouble(&bien);
        if (!bien || !std::isfinite(w))
            return std::nullopt;
        pesos.push_back(w);
    }
    return pesos;
}

Parametros AjustesRepaso::ParametrosProgramador() const
{
    Parametros p;
    p.pesos = pesos;
    p.retencionDeseada = retencion;
    return p;
}

AjustesRepaso LeeAjustesRepaso(const BaseVocabulario& base)
{
    AjustesRepaso a;
    bool bien = false;
    if (const auto valor = base.LeeAjuste(ClaveRetencion)) {
        const double r = valor->toDouble(&bien);
        if (bien && std::isfinite(r))
            a.retencion = Acota(r, 0.70, 0.97);
    }
    if (const auto valor = base.LeeAjuste(ClaveNuevas)) {
        const int n = valor->toInt(&bien);
        if (bien)
            a.nuevasPorDia = Acota(n, 0, 9999);
    }
    if (const auto valor = base.LeeAjuste(ClaveRepasos)) {
        const int n = valor->toInt(&bien);
        if (bien)
            a.repasosPorDia = Acota(n, 0, 99999);
    }
    if (const auto valor = base.LeeAjuste(ClaveHablaSola))
        a.hablaSola = *valor == QLatin1String("1");
    if (const auto valor = base.LeeAjuste(ClavePesos))
        a.pesos = LeeTextoPesos(*valor).value_or(PesosPredeterminados());
    return a;
}

void GuardaAjustesRepaso(BaseVocabulario& base, const AjustesRepaso& a)
{
    base.EnTransaccion([&] {
        base.GuardaAjuste(ClaveRetencion, QString::number(Acota(a.retencion, 0.70, 0.97), 'g', 17));
        base.GuardaAjuste(ClaveNuevas, QString::number(Acota(a.nuevasPorDia, 0, 9999)));
        base.GuardaAjuste(ClaveRepasos, QString::number(Acota(a.repasosPorDia, 0, 99999)));
        base.GuardaAjuste(ClaveHablaSola, a.hablaSola ? QStringLiteral("1") : QStringLiteral("0"));
        base.GuardaAjuste(ClavePesos, TextoPesos(a.pesos));
    });
}

} // namespace Repaso
