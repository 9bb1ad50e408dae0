#include "ui/NombresAccesibles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>

#include <algorithm>

namespace {
const char* const NombreDelConsejo = "talvexNombreDelConsejo";

bool TieneEtiqueta(const QWidget& control)
{
    const QList<QLabel*> etiquetas = control.window()->findChildren<QLabel*>();
    return std::any_of(etiquetas.begin(), etiquetas.end(),
                       [&](const QLabel* etiqueta) { return etiqueta->buddy() == &control; });
}

class FiltroNombres : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        const QEvent::Type tipo = evento->type();
        if ((tipo == QEvent::Polish || tipo == QEvent::ToolTipChange) && objeto->isWidgetType())
            NombraPorConsejo(*static_cast<QWidget*>(objeto));
        return false;
    }
};
} // namespace

void NombraPorConsejo(QWidget& control)
{
    const QString consejo = control.toolTip().trimmed();
    if (consejo.isEmpty())
        return;
    control.setAccessibleDescription(consejo);
    // A name given by the window, a button's own text, a label's text (it is what a label
    // says) or a label that names the control stays; a name taken from an earlier tooltip
    // follows the new one.
    if (!control.accessibleName().isEmpty() && !control.property(NombreDelConsejo).toBool())
        return;
    if (qobject_cast<QLabel*>(&control))
        return;
    if (auto* boton = qobject_cast<QAbstractButton*>(&control); boton && !boton->text().isEmpty())
        return;
    if (TieneEtiqueta(control))
        return;
    control.setAccessibleName(consejo);
    control.setProperty(NombreDelConsejo, true);
}

void InstalaNombresAccesibles()
{
    static QPointer<FiltroNombres> filtro;
    if (filtro)
        return;
    filtro = new FiltroNombres(qApp);
    qApp->installEventFilter(filtro);
}
