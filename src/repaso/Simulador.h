#pragma once
// A learner made up for tests and measurements: a memory that works by known weights, answering
// each card at the times the scheduler sets (most on the day due, some a few days late, some a
// day early), recalling it with the chance that memory gives. What it writes is a review log
// like a real learner's, so that fitting it should find those weights again.
#include "repaso/AlmacenRepasos.h"

#include <QByteArray>
#include <QTimeZone>

#include <optional>
#include <vector>

namespace Repaso {

struct Simulacion {
    std::vector<double> pesosAlumno = PesosPredeterminados();      // how the learner remembers
    std::vector<double> pesosProgramador = PesosPredeterminados(); // what the scheduler assumes
    double retencion = 0.90;
    int tarjetas = 1000; // new cards, started evenly over the days
    int dias = 365;
    qint64 primerDia = 20000; // the day number (Dias::DiaDe) of the first day
    unsigned semilla = 1;
    std::optional<QTimeZone> zona; // where days start; none: the system's
};

// The log, card after card, each in time order; cards numbered from 1. Nothing after the last
// day.
std::vector<RegistroRepaso> SimulaRepasos(const Simulacion& simulacion);

// Adds a log's rows to the store's log in one transaction (cards are not made: the log
// alone is what fitting reads).
void GuardaSimulacion(AlmacenRepasos& almacen, const std::vector<RegistroRepaso>& registro);

// The log as CSV with the columns the published optimizer's tools read: card_id, review_time
// (UTC ms), review_rating, review_state (0 new, 1 learning, 2 review, 3 relearning),
// review_duration (ms).
QByteArray RegistroComoCsv(const std::vector<RegistroRepaso>& registro);

} // namespace Repaso
