#pragma once
// "Ajustes de la práctica": the desired retention, the day's limits and speaking on its own,
// kept in the vocabulary file. Aceptar saves them and reports them; Cancelar leaves them.
#include "repaso/AjustesRepaso.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QSpinBox;

class frmAjustesRepaso : public QDialog {
    Q_OBJECT
public:
    using Guarda = std::function<void(const Repaso::AjustesRepaso& ajustes)>;
    // `guarda` writes the settings (a failure throws and the dialog stays open).
    frmAjustesRepaso(const Repaso::AjustesRepaso& ajustes, Guarda guarda, QWidget* dueno);

    void accept() override;

private:
    Repaso::AjustesRepaso ajustes_;
    Guarda guarda_;
    QSpinBox* spnRetencion;
    QSpinBox* spnNuevas;
    QSpinBox* spnRepasos;
    QCheckBox* chkHablaSola;
};
