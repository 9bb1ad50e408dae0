#pragma once
// The settings of practice, kept in the vocabulary file's settings so that they travel with
// its copies: desired retention, the day's limits, speaking on its own, the model's weights.
#include "repaso/Fsrs.h"

class BaseVocabulario;

namespace Repaso {

struct AjustesRepaso {
    double retencion = 0.90;                            // 0.70–0.97
    int nuevasPorDia = 20;                              // 0–9999
    int repasosPorDia = 200;                            // 0–99999
    bool hablaSola = false;                             // speak the English when a card is shown
    std::vector<double> pesos = PesosPredeterminados(); // stored with their count

    // The scheduler's parameters from these settings.
    Parametros ParametrosProgramador() const;
};

// What is stored, each value brought into its range; a value that does not read is the default.
AjustesRepaso LeeAjustesRepaso(const BaseVocabulario& base);
void GuardaAjustesRepaso(BaseVocabulario& base, const AjustesRepaso& ajustes);

} // namespace Repaso
