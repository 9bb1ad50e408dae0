#pragma once
// Long work in the window's own thread shows a progress dialog with a Cancel button when it
// lasts more than half a second; the work asks the dialog whether to go on.
#include "intercambio/Intercambio.h"

#include <QProgressDialog>

class ProgresoVisible {
public:
    ProgresoVisible(QWidget* dueno, const QString& texto);
    // For the exchange functions: shows how far they are and tells them when to stop.
    Intercambio::Progreso Funcion();

private:
    QProgressDialog dialogo_;
};
