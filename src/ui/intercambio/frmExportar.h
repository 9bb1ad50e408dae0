#pragma once
// The export window: the format (CSV, TSV, TSV for Anki) and what to write (the whole
// vocabulary or one topic). "Aceptar" hands the choice to its opener, which asks where to
// write and writes.
#include "intercambio/Intercambio.h"

#include <QWidget>
#include <functional>
#include <optional>

class QComboBox;

class frmExportar : public QWidget {
    Q_OBJECT
public:
    // Asks for the file and writes it; false when the user gave no file (the window stays).
    using Exporta =
        std::function<bool(Intercambio::Formato formato, const std::optional<QString>& tema)>;
    frmExportar(const QStringList& temas, Exporta exporta);

    void cmdAceptarExportar_Click();

private:
    Exporta exporta_;
    QComboBox* cboFormato;
    QComboBox* cboContenido;
};
