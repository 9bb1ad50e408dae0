#include "app/Fallos.h"

#include "app/modTALVEXV20.h"

void ReportaError(const ErrorTalvex& error, const QString& titulo)
{
    Sistema().Pita();
    MuestraMensaje({QStringLiteral("¡¡ Error %1: %2 !!").arg(error.Numero()).arg(error.Descripcion()),
                    titulo, IconoMensaje::Critico});
}
