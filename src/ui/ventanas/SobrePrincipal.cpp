#include "ui/ventanas/SobrePrincipal.h"

#include <QEvent>
#include <QPointer>

namespace {
QPointer<QWidget>& Principal()
{
    static QPointer<QWidget> principal;
    return principal;
}

// Lives on the secondary window for one opening: the first hiding or the deletion gives the
// main window back.
class DevuelvePrincipal : public QObject {
public:
    static inline const QString Nombre = QStringLiteral("DevuelvePrincipal");
    DevuelvePrincipal(QWidget& ventana, std::function<void()> alCerrar)
        : QObject(&ventana), alCerrar_(std::move(alCerrar))
    {
        setObjectName(Nombre);
        ventana.installEventFilter(this);
    }
    ~DevuelvePrincipal() override { Devuelve(); }
    // A new opening of the same window takes over.
    void Olvida() { alCerrar_ = nullptr; }

protected:
    bool eventFilter(QObject*, QEvent* evento) override
    {
        // A minimised window is hidden by the system, not closed.
        if (evento->type() == QEvent::Hide && !evento->spontaneous()) {
            Devuelve();
            deleteLater();
        }
        return false;
    }

private:
    void Devuelve()
    {
        if (!alCerrar_)
            return;
        const std::function<void()> alCerrar = std::exchange(alCerrar_, nullptr);
        HabilitaPrincipal();
        alCerrar();
    }
    std::function<void()> alCerrar_;
};
} // namespace

void RegistraPrincipal(QWidget* principal)
{
    Principal() = principal;
}

QWidget* VentanaPrincipal()
{
    return Principal().data();
}

void HabilitaPrincipal()
{
    if (QWidget* principal = VentanaPrincipal())
        principal->setEnabled(true);
}

void AbreSobrePrincipal(QWidget& ventana, std::function<void()> alCerrar)
{
    for (QObject* hijo :
         ventana.findChildren<QObject*>(DevuelvePrincipal::Nombre, Qt::FindDirectChildrenOnly)) {
        if (auto* anterior = dynamic_cast<DevuelvePrincipal*>(hijo)) {
            anterior->Olvida(); // a window shown again while open makes one opening, not two
            delete anterior;
        }
    }
    if (QWidget* principal = VentanaPrincipal())
        principal->setEnabled(false);
    new DevuelvePrincipal(
        ventana, alCerrar ? std::move(alCerrar) : [] {});
    ventana.show();
    ventana.activateWindow();
}
