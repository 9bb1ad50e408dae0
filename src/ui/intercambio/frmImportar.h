#pragma once
// The import window: what a file would add to the vocabulary, shown before anything is written
// (rows read, new items, new topics, items that already exist and what to do with them, rows
// refused and why). "Aceptar" hands the plan to its opener, which writes it all or nothing.
#include "intercambio/Intercambio.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;

class frmImportar : public QWidget {
    Q_OBJECT
public:
    // Writes the plan and shows the new rows; throws when the write fails or is cancelled.
    using Importa =
        std::function<void(const Intercambio::Plan& plan, Intercambio::Duplicados duplicados)>;
    frmImportar(const QString& ruta, Intercambio::Plan plan, Importa importa);

    void cmdAceptarImportar_Click();

private:
    void ActivaAceptar();

    Intercambio::Plan plan_;
    Importa importa_;
    QRadioButton* optOmitir;
    QRadioButton* optReemplazar;
    QPushButton* cmdAceptarImportar;
    QLabel* lblTemasNuevos;
};
