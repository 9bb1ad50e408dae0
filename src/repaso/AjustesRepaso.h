#pragma once
// The settings of practice, kept in the vocabulary file's settings so that they travel with
// its copies: desired retention, the day's limits, speaking on its own, the model's weights.
#include "repaso/Fsrs.h"

#include <QString>

#include <optional>

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

// The weights as the settings keep them, "FSRS-6:21:w0,w1,…" (the model and the count, so that
// a later model can be told apart), and back: nothing when the text is not 21 finite weights
// of this model.
QString TextoPesos(const std::vector<double>& pesos);
std::optional<std::vector<double>> LeeTextoPesos(const QString& texto);

} // namespace Repaso
