#pragma once
// "Modelo de memoria" in the practice settings: fits the model's weights to the learner's own
// answers on a thread of its own (the window goes on painting and "Cancelar" stops it), shows
// how well the current and the fitted weights predict those answers, and keeps the fitted ones
// only when they predict better. The weights they replace are kept in the file, so that
// "Restaurar los anteriores" can bring them back.
#include "repaso/Optimizador.h"

#include <QGroupBox>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class BaseVocabulario;
class QLabel;
class QProgressBar;
class QPushButton;

class AjusteMemoria : public QGroupBox {
    Q_OBJECT
public:
    // Writes the weights in force (a failure throws and they stay as they were). It is called
    // inside a transaction that also keeps the weights it replaces.
    using Guarda = std::function<void(const std::vector<double>& pesos)>;
    // `pesos`: the weights in force. `base` must outlive the box; the fitting reads it through a
    // connection of its own.
    AjusteMemoria(BaseVocabulario& base, std::vector<double> pesos, Guarda guarda, QWidget* dueno);
    ~AjusteMemoria() override; // cancels a fitting under way and waits for its thread

    // Stops a fitting under way: whatever it still gives is not kept.
    void Cancela();

private:
    void Comienza();
    void Avanza(int milesimas);
    void Termina(const Repaso::ResultadoAjuste& resultado);
    void Restaura();
    // Stores `nuevos` as the weights in force, keeping the ones in force as the previous ones.
    bool Cambia(const std::vector<double>& nuevos);
    void MuestraEnUso();
    void MuestraEntero();

    BaseVocabulario& base_;
    std::vector<double> pesos_;
    std::vector<double> anteriores_; // empty: none kept
    Guarda guarda_;
    std::thread hilo_;
    std::atomic<bool> cancelado_{false};

    QLabel* lblEnUso;
    QPushButton* cmdAjustar;
    QPushButton* cmdRestaurar;
    QProgressBar* barAjuste;
    QPushButton* cmdCancelarAjuste;
    QLabel* lblResultado;
};
