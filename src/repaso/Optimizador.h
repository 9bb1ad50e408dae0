#pragma once
// Fitting the memory model's 21 weights to the learner's own answers: one training item per
// answer given on a later day than the card's previous one, predicting whether it was recalled
// from the card's history before it. The initial stabilities are estimated first from the
// second answers, then every weight is trained by gradient descent (Adam, cosine learning rate)
// on the weighted cross-entropy, with recent answers counting more and a pull toward the
// default weights. New weights are offered only when they predict the learner's answers better
// (a lower log loss) than the current ones. No widgets here; any thread.
#include "repaso/AlmacenRepasos.h"
#include "repaso/Dias.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace Repaso {

// How well some weights predict the answers: the log loss (mean cross-entropy of the predicted
// chance of recall) and the RMSE over bins of similar answers, as the published optimizer
// reports them. `items`: the answers they were measured on.
struct MedidasAjuste {
    double logLoss = 0;
    double rmseBins = 0;
    int items = 0;
};

struct ResultadoAjuste {
    std::vector<double> pesos;     // the 21 weights to use: the fitted ones when `mejora`
    std::vector<double> ajustados; // the fitted weights, kept or not (`pesos` when none fitted)
    MedidasAjuste antes, despues;  // current and fitted weights on the learner's answers
    bool mejora = false;           // the fitted weights predict better: store them
    bool cancelado = false;
    QString motivo; // when !mejora: why nothing changed, in Spanish, for the learner
};

// Called now and then with the work done out of the total; `cancelado` is read as often.
using ProgresoAjuste = std::function<void(int hecho, int total)>;

// Fits the weights to a log (any order; the store's RecorreRepasos gives it). `actuales` are the
// weights in force: not 21 numbers, or not numbers, they count as the defaults. Throws nothing.
ResultadoAjuste AjustaParametros(const std::vector<RegistroRepaso>& registro,
                                 const std::vector<double>& actuales, const Dias& dias,
                                 const ProgresoAjuste& progreso = {},
                                 const std::atomic<bool>* cancelado = nullptr);

// How well some weights (not 21 numbers: the defaults) predict a log's answers, every one
// weighted by recency as in the fitting.
MedidasAjuste MideParametros(const std::vector<RegistroRepaso>& registro,
                             const std::vector<double>& pesos, const Dias& dias);

// The store's whole log (read on the calling thread: the store's connection is not shared).
std::vector<RegistroRepaso> LeeRegistro(const AlmacenRepasos& almacen);

// Fits the weights to the store's log, read on the calling thread. Throws nothing: a store that
// cannot be read is told in `motivo`.
ResultadoAjuste AjustaParametros(const AlmacenRepasos& almacen, const std::vector<double>& actuales,
                                 const Dias& dias, const ProgresoAjuste& progreso = {},
                                 const std::atomic<bool>* cancelado = nullptr);

} // namespace Repaso
