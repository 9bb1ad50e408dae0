#pragma once
// "Ajustes de la práctica": the desired retention, the day's limits and speaking on its own,
// kept in the vocabulary file. Aceptar saves them and reports them; Cancelar leaves them.
// The memory model's weights are fitted to the learner's answers from here too: those are
// saved (through `guarda`) as soon as a fitting or a restoring gives them.
#include "repaso/AjustesRepaso.h"

#include <QDialog>
#include <functional>

class AjusteMemoria;
class BaseVocabulario;
class QCheckBox;
class QSpinBox;

class frmAjustesRepaso : public QDialog {
    Q_OBJECT
public:
    using Guarda = std::function<void(const Repaso::AjustesRepaso& ajustes)>;
    // `guarda` writes the settings (a failure throws and the dialog stays open). `base` must
    // outlive the dialog.
    frmAjustesRepaso(BaseVocabulario& base, const Repaso::AjustesRepaso& ajustes, Guarda guarda,
                     QWidget* dueno);

    void accept() override;
    // Closing, however, stops a fitting under way: nothing it gives later is kept.
    void done(int resultado) override;

private:
    Repaso::AjustesRepaso ajustes_;
    Guarda guarda_;
    QSpinBox* spnRetencion;
    QSpinBox* spnNuevas;
    QSpinBox* spnRepasos;
    QCheckBox* chkHablaSola;
    AjusteMemoria* ajusteMemoria;
};
