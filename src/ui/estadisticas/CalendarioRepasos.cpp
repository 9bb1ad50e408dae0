#include "ui/estadisticas/CalendarioRepasos.h"

#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {
const QColor Tonos[] = {QColor(0xe4, 0xe7, 0xeb), QColor(0xb7, 0xdf, 0xb9),
                        QColor(0x6c, 0xc0, 0x74), QColor(0x2e, 0x8b, 0x3e),
                        QColor(0x14, 0x55, 0x22)};
const char* const Semana[] = {"L", "M", "X", "J", "V", "S", "D"};
} // namespace

CalendarioRepasos::CalendarioRepasos(std::vector<int> porDia_, QDate hoy_, QWidget* padre)
    : QWidget(padre), porDia(std::move(porDia_)), hoy(hoy_)
{
    const QDate primero = hoy.addDays(1 - static_cast<qint64>(porDia.size()));
    primeraColumna = primero.dayOfWeek() - 1;
    maximo = porDia.empty() ? 0 : *std::max_element(porDia.begin(), porDia.end());
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

int CalendarioRepasos::Tono(int repasos) const
{
    if (repasos <= 0 || maximo <= 0)
        return 0;
    // Quarters of the busiest day: a light day still shows.
    return std::clamp((4 * repasos + maximo - 1) / maximo, 1, 4);
}

int CalendarioRepasos::Lado() const
{
    return std::max(8, fontMetrics().height() * 4 / 5 + 2);
}

int CalendarioRepasos::Margen() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 4;
}

QSize CalendarioRepasos::sizeHint() const
{
    const int semanas = (primeraColumna + static_cast<int>(porDia.size()) + 6) / 7;
    // Room on the right for the name of a month that starts in the last week.
    return {Margen() + semanas * Lado() + fontMetrics().horizontalAdvance(QStringLiteral("sept")),
            fontMetrics().height() + 4 + 7 * Lado() + 2};
}

QRect CalendarioRepasos::Casilla(int indice) const
{
    const int posicion = primeraColumna + indice;
    const int lado = Lado();
    return {Margen() + (posicion / 7) * lado, fontMetrics().height() + 4 + (posicion % 7) * lado,
            lado - 2, lado - 2};
}

int CalendarioRepasos::IndiceEn(QPoint punto) const
{
    for (int i = 0; i < static_cast<int>(porDia.size()); ++i)
        if (Casilla(i).contains(punto))
            return i;
    return -1;
}

void CalendarioRepasos::paintEvent(QPaintEvent*)
{
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::Antialiasing);
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    const int alto = fontMetrics().height();
    pintor.setPen(palette().color(QPalette::WindowText));
    for (int d = 0; d < 7; d += 2)
        pintor.drawText(QRect(0, alto + 4 + d * Lado(), Margen() - 4, Lado()),
                        Qt::AlignRight | Qt::AlignVCenter, QLatin1String(Semana[d]));
    const QDate primero = hoy.addDays(1 - static_cast<qint64>(porDia.size()));
    for (int i = 0; i < static_cast<int>(porDia.size()); ++i) {
        const QDate fecha = primero.addDays(i);
        const QRect casilla = Casilla(i);
        // A month's name over the week it starts in.
        if (fecha.day() <= 7 && fecha.dayOfWeek() == 1)
            pintor.drawText(QPoint(casilla.left(), alto),
                            es.standaloneMonthName(fecha.month(), QLocale::ShortFormat));
        pintor.setPen(Qt::NoPen);
        pintor.setBrush(Tonos[Tono(porDia[static_cast<size_t>(i)])]);
        pintor.drawRoundedRect(casilla, 2, 2);
        if (fecha == hoy) {
            pintor.setBrush(Qt::NoBrush);
            pintor.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2));
            pintor.drawRoundedRect(casilla.adjusted(-1, -1, 1, 1), 2, 2);
        }
        pintor.setPen(palette().color(QPalette::WindowText));
    }
}

bool CalendarioRepasos::event(QEvent* evento)
{
    if (evento->type() == QEvent::ToolTip) {
        auto* ayuda = static_cast<QHelpEvent*>(evento);
        const int i = IndiceEn(ayuda->pos());
        if (i < 0) {
            QToolTip::hideText();
        } else {
            const QLocale es(QLocale::Spanish, QLocale::Spain);
            const QDate fecha = hoy.addDays(i + 1 - static_cast<qint64>(porDia.size()));
            QToolTip::showText(ayuda->globalPos(),
                               QStringLiteral("%1: %2 repasos")
                                   .arg(es.toString(fecha, QLocale::LongFormat),
                                        es.toString(porDia[static_cast<size_t>(i)])),
                               this);
        }
        return true;
    }
    return QWidget::event(evento);
}
