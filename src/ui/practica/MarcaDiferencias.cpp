#include "ui/practica/MarcaDiferencias.h"

#include <algorithm>

namespace {
// The ranges inside the text, in order; a range that does not fit is cut to the text.
QList<Repaso::Tramo> Ajusta(const QString& texto, QList<Repaso::Tramo> tramos)
{
    std::sort(tramos.begin(), tramos.end(),
              [](const Repaso::Tramo& a, const Repaso::Tramo& b) { return a.inicio < b.inicio; });
    QList<Repaso::Tramo> dentro;
    int fin = 0;
    for (Repaso::Tramo tramo : tramos) {
        const int inicio = qBound(fin, tramo.inicio, int(texto.size()));
        const int final = qBound(inicio, tramo.inicio + tramo.longitud, int(texto.size()));
        if (final > inicio)
            dentro.append({inicio, final - inicio});
        fin = qMax(fin, final);
    }
    return dentro;
}
} // namespace

QString MarcaDiferencias(const QString& texto, const QList<Repaso::Tramo>& tramos)
{
    QString html;
    int desde = 0;
    for (const Repaso::Tramo& tramo : Ajusta(texto, tramos)) {
        html += texto.mid(desde, tramo.inicio - desde).toHtmlEscaped();
        // A marked blank would be invisible: it shows as a middle dot.
        QString marcado = texto.mid(tramo.inicio, tramo.longitud);
        marcado.replace(QLatin1Char(' '), QChar(0x00B7));
        html +=
            QStringLiteral("<span style=\"color:#c00000; text-decoration:underline;\">%1</span>")
                .arg(marcado.toHtmlEscaped());
        desde = tramo.inicio + tramo.longitud;
    }
    return html + texto.mid(desde).toHtmlEscaped();
}

QString PartesDiferentes(const QString& texto, const QList<Repaso::Tramo>& tramos)
{
    QStringList partes;
    for (const Repaso::Tramo& tramo : Ajusta(texto, tramos))
        partes << QStringLiteral("«%1»").arg(texto.mid(tramo.inicio, tramo.longitud));
    return partes.join(QStringLiteral(", "));
}
