#include "repaso/Dias.h"

#include <QDateTime>

#include <algorithm>
#include <limits>
#include <mutex>
#include <vector>

namespace Repaso {

namespace {

constexpr qint64 MsPorDia = 24 * 60 * 60 * 1000;
constexpr qint64 MsHastaInicioDia = 4 * 60 * 60 * 1000;

// A stretch of time over which the zone's offset stays the same: [desde, hasta).
struct Periodo {
    qint64 desde, hasta;
    int desfase;
};

} // namespace

struct Dias::Periodos {
    QTimeZone zona;
    std::mutex cerrojo;
    std::vector<Periodo> leidos; // sorted by start, never overlapping
};

Dias::Dias(std::optional<QTimeZone> zona) : periodos(std::make_shared<Periodos>())
{
    periodos->zona = zona ? *zona : QTimeZone::systemTimeZone();
}

Dias::~Dias() = default;

int Dias::DesfaseEn(qint64 ms) const
{
    Periodos& p = *periodos;
    if (!p.zona.isValid()) // a zone Qt cannot read: the C library's local time, uncached
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).offsetFromUtc();
    const std::lock_guard<std::mutex> bloqueo(p.cerrojo);
    auto it = std::upper_bound(p.leidos.begin(), p.leidos.end(), ms,
                               [](qint64 v, const Periodo& e) { return v < e.desde; });
    if (it != p.leidos.begin() && ms < std::prev(it)->hasta)
        return std::prev(it)->desfase;

    const QDateTime momento = QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
    Periodo nuevo{ms, ms + 1, p.zona.offsetFromUtc(momento)};
    if (p.zona.hasTransitions()) {
        const QTimeZone::OffsetData antes = p.zona.previousTransition(momento);
        const QTimeZone::OffsetData despues = p.zona.nextTransition(momento);
        // The transition before may be the one at `ms` itself; then the period starts here.
        if (antes.atUtc.isValid() && antes.offsetFromUtc == nuevo.desfase)
            nuevo.desde = antes.atUtc.toMSecsSinceEpoch();
        else if (!antes.atUtc.isValid())
            nuevo.desde = std::numeric_limits<qint64>::min();
        nuevo.hasta = despues.atUtc.isValid() ? despues.atUtc.toMSecsSinceEpoch()
                                              : std::numeric_limits<qint64>::max();
    } else {
        nuevo.desde = std::numeric_limits<qint64>::min();
        nuevo.hasta = std::numeric_limits<qint64>::max();
    }
    // Keep the periods apart: a new one never covers what an earlier one already does.
    if (it != p.leidos.begin())
        nuevo.desde = std::max(nuevo.desde, std::prev(it)->hasta);
    if (it != p.leidos.end())
        nuevo.hasta = std::min(nuevo.hasta, it->desde);
    p.leidos.insert(it, nuevo);
    return nuevo.desfase;
}

qint64 Dias::DiaDe(qint64 ms) const
{
    // Nothing stored makes sense beyond some 30,000 years either side of 1970.
    ms = std::clamp<qint64>(ms, -1'000'000'000'000'000, 1'000'000'000'000'000);
    // The wall clock, moved back to make 04:00 the start of its day.
    const qint64 local = ms + qint64(DesfaseEn(ms)) * 1000 - MsHastaInicioDia;
    return local >= 0 ? local / MsPorDia : (local - MsPorDia + 1) / MsPorDia;
}

qint64 Dias::InicioDia(qint64 dia) const
{
    dia = std::clamp<qint64>(dia, -10'000'000, 10'000'000);
    const qint64 local = dia * MsPorDia + MsHastaInicioDia;
    // The offset is the one in force at that instant: found from a first guess, then checked.
    qint64 utc = local - qint64(DesfaseEn(local)) * 1000;
    utc = local - qint64(DesfaseEn(utc)) * 1000;
    return utc;
}

int Dias::CuentaDias(qint64 desde, qint64 hasta) const
{
    const qint64 dias = DiaDe(hasta) - DiaDe(desde);
    return static_cast<int>(std::clamp<qint64>(dias, 0, 1000 * 36500));
}

} // namespace Repaso
