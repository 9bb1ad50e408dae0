#pragma once
// Practice's days: a day starts at 04:00 local time (a review late at night still belongs to
// the day before) and elapsed days count day starts. Reading the zone's offset is slow, so the
// periods between the zone's transitions are kept once read: a copy shares them, and threads
// may share one.
#include <QTimeZone>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace Repaso {

class Dias {
public:
    // `zona`: none is the system's time zone.
    explicit Dias(std::optional<QTimeZone> zona = {});
    ~Dias();

    // The number of the day `ms` (UTC milliseconds) falls in.
    qint64 DiaDe(qint64 ms) const;
    // When day `dia` starts (its 04:00 local time), in UTC milliseconds.
    qint64 InicioDia(qint64 dia) const;
    // Day starts passed from `desde` to `hasta`; 0 when `hasta` is not later.
    int CuentaDias(qint64 desde, qint64 hasta) const;

private:
    int DesfaseEn(qint64 ms) const; // seconds ahead of UTC at that instant
    struct Periodos;
    std::shared_ptr<Periodos> periodos;
};

} // namespace Repaso
