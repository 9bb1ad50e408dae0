#pragma once
// Before training, the four initial stabilities (one per first rating) are estimated on their
// own from the cards' first answer on a later day: for each first rating, the stability whose
// forgetting curve best fits how often those answers were recalled after each interval.
// Ratings with too few cards are filled in from the others, keeping them in order (a better
// first answer never gives a weaker memory).
#include "repaso/HistoriasAjuste.h"

#include <array>
#include <optional>

namespace Repaso {

struct InicioAjuste {
    std::array<double, 4> estabilidades{};
    std::array<int, 4> cuentas{}; // cards seen per first rating (0: filled in)
};

// `inicio`: the first later-day predictions kept by the outlier filter; `recuerdoMedio`: the
// share of all predictions recalled (each interval's share is smoothed toward it). Nothing when
// there is no such prediction.
std::optional<InicioAjuste> EstimaEstabilidadesIniciales(const DatosAjuste& datos,
                                                         const std::vector<ItemAjuste>& inicio,
                                                         double recuerdoMedio);

// Orders and fills in four stabilities, some of them unknown (count 0), as after the estimate;
// the known ones kept within 0.001–100. Nothing when none is known.
std::optional<std::array<double, 4>> CompletaEstabilidades(std::array<double, 4> estabilidades,
                                                           const std::array<int, 4>& cuentas);

} // namespace Repaso
