#pragma once
// What the fitting learns from: each card's answers in time order, as ratings and the days
// elapsed since the answer before (day starts passed, as the scheduler counts them), and the
// predictions to make: every answer after the card's first that was given on a later day, from
// the answers before it. Answers on the same day stay in the history (they change the memory a
// little) but are not predicted.
#include "repaso/AlmacenRepasos.h"
#include "repaso/Dias.h"

#include <QtGlobal>

#include <vector>

namespace Repaso {

struct RepasoAjuste {
    int calificacion = 3; // 1–4
    int dias = 0;         // since the answer before; 0 for the first
};

struct HistoriaAjuste {
    std::vector<RepasoAjuste> repasos;
};

// One prediction: answer `posicion` (at least 1, given on a later day) of a history.
struct ItemAjuste {
    int historia = 0;
    int posicion = 0;
    qint64 momento = 0; // when it was given, UTC ms
    double peso = 1.0;
};

struct DatosAjuste {
    std::vector<HistoriaAjuste> historias;
    std::vector<ItemAjuste> items; // oldest first
};

// The histories and their predictions from a log in any order. A card's history starts at its
// last answer given as new (a card started over forgets what came before); a card with no such
// answer (its start is not in the log) is left out, as its first memory is unknown. Ratings
// outside 1–4 are left out. Predictions with more than `MaximoHistoria` answers before them
// are left out too: so long a history teaches nothing more and costs time.
inline constexpr int MaximoHistoria = 256;
DatosAjuste PreparaDatos(const std::vector<RegistroRepaso>& registro, const Dias& dias);

// Later answers weigh more: from 0.25 for the oldest to 1 for the latest, rising as a cube.
void PonderaPorRecencia(std::vector<ItemAjuste>& items);

// Answers given on a later day up to and including `posicion`.
int CuentaRepasosLargos(const HistoriaAjuste& historia, int posicion);
// The first of them (the card's first answer on a later day).
const RepasoAjuste& PrimerRepasoLargo(const HistoriaAjuste& historia);

// The outlier filter: cards whose first answer on a later day came after an interval that
// few cards with the same first rating had (the rarest intervals, up to 5 % of those cards
// and at least 20 of them, or any interval shared by fewer than 6 cards or longer than 100
// days, 365 after Fácil) are left out of the training. `inicio`: the first later-day
// predictions kept, from which the initial stabilities are estimated.
struct ConjuntosAjuste {
    std::vector<ItemAjuste> inicio;
    std::vector<ItemAjuste> entrenamiento;
};
ConjuntosAjuste FiltraAtipicos(const DatosAjuste& datos);

} // namespace Repaso
