#include "ui/Pronunciacion.h"

#include "nucleo/Fallos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"

#include <QAction>

namespace {
const QString ClaveAcento = QStringLiteral("PRONUNCIACION");
const QString Britanico = QStringLiteral("britanica");
const QString Americano = QStringLiteral("americana");
} // namespace

Pronunciacion::Pronunciacion(QObject* padre) : QObject(padre), reproductor_(this) {}

bool Pronunciacion::Britanica() const
{
    std::optional<QString> guardado;
    OmiteFallo([&] { guardado = modTALVEXV20().dbPrincipal.LeeAjuste(ClaveAcento); });
    return guardado.value_or(Britanico) != Americano;
}

void Pronunciacion::CambiaBritanica(bool britanica)
{
    modTALVEXV20().dbPrincipal.GuardaAjuste(ClaveAcento, britanica ? Britanico : Americano);
}

Acento Pronunciacion::AcentoIngles() const
{
    return Britanica() ? Acento::Britanico : Acento::Americano;
}

void Pronunciacion::Escucha(const QString& texto, bool espanol, bool despacio)
{
    if (!disponible_ || texto.trimmed().isEmpty())
        return;
    try {
        reproductor_.Reproduce(
            Voz::Sintetiza(texto, espanol ? Acento::Espanol : AcentoIngles(), despacio));
    } catch (const ErrorVoz& error) {
        Falla(error);
    }
}

QString Pronunciacion::Fonetica(const QString& ingles) const
{
    if (ingles.trimmed().isEmpty())
        return {};
    try {
        return Voz::Fonetica(ingles, AcentoIngles());
    } catch (const ErrorVoz&) {
        return {}; // said when the user asks to hear it
    }
}

void Pronunciacion::Registra(QAction* accion)
{
    controles_ << accion;
    accion->setEnabled(disponible_);
}

void Pronunciacion::Falla(const ErrorVoz& error)
{
    disponible_ = false;
    for (const QPointer<QAction>& control : controles_)
        if (control)
            control->setEnabled(false);
    Sistema().Pita();
    MuestraMensaje({QStringLiteral("¡¡ No se puede escuchar la pronunciación !!") +
                        QStringLiteral("\r\r") + error.Descripcion(),
                    Titulos::Mensajes, IconoMensaje::Exclamacion});
}
