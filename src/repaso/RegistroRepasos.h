#pragma once
// Practice's log and cards in and out of the vocabulary file as CSV. The log keeps the columns
// the FSRS optimizer tools read (card, time in UTC milliseconds, rating, state before the
// answer, milliseconds spent) and adds the item's English text and the card's kind, so that a
// log goes back into another file. An import adds the reviews and computes each card it
// touches again by replaying that card's whole log through the scheduler, all in one
// transaction. No widgets: the talvex-datos tool uses this. Every failure throws ErrorTalvex
// with a Spanish description.
#include "intercambio/Intercambio.h"
#include "repaso/AlmacenRepasos.h"

#include <QByteArray>
#include <QTimeZone>

#include <optional>
#include <vector>

namespace Repaso {

inline const QString CabeceraRegistro =
    QStringLiteral("card_id,review_time,review_rating,review_state,review_duration,item,direccion");
inline const QString CabeceraTarjetas =
    QStringLiteral("item,direccion,estado,vence,estabilidad,dificultad,repeticiones,fallos");

// A log is read whole into memory; this is some four million reviews (an import of that size
// needs about 1 GB). Larger than the vocabulary files an import takes: a learner's log grows
// by thousands of rows a month.
inline constexpr qint64 TamanoMaximoRegistro = qint64(256) * 1024 * 1024;

// The whole log, in the order it was written. A review whose card went with its item has an
// empty item (its kind is still known).
QByteArray ExportaRegistro(const AlmacenRepasos& almacen);

// Every card, in the order of its item's key, then kind. `vence` is the exact due time, or
// for a card in review the start of the day it is due (04:00 local time in `zona`; none: the
// system's zone), in ISO 8601 UTC with milliseconds.
QByteArray ExportaTarjetas(const AlmacenRepasos& almacen, std::optional<QTimeZone> zona = {});

// What an import did.
struct ImportacionRepasos {
    int filasLeidas = 0;          // data rows, the header and empty lines aside
    int agregados = 0;            // reviews added to the log
    int repetidos = 0;            // already in the log, or repeating an earlier row: taken once
    int tarjetasNuevas = 0;       // cards made for items never practised in that kind
    int tarjetasRecalculadas = 0; // cards replayed (the new ones included)
    std::vector<Intercambio::Rechazo> rechazos; // rows not taken, with why
};

// Adds the reviews of a log in CSV (UTF-8, a BOM accepted; columns found by their header's
// names). A row is matched to its card by item (the English text, found as the store finds
// items) and kind; card_id is a whole number, which a card made by the import keeps as its id
// when this file never used it. Rows are sorted per card by time;
// the same review twice (card, time and rating) is taken once. A row whose item or kind is
// unknown, whose rating is not 1–4, whose time is not milliseconds or later than `ahora`, or
// whose duration is not milliseconds is refused with its line. A file without the columns
// throws and nothing is written; a failure while writing leaves the file as it was.
ImportacionRepasos ImportaRegistro(AlmacenRepasos& almacen, const QByteArray& datos, qint64 ahora,
                                   std::optional<QTimeZone> zona = {});

} // namespace Repaso
