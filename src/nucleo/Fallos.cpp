#include "nucleo/Fallos.h"

#include "nucleo/modTALVEXV20.h"

QString TextoError(int numero, const QString& descripcion)
{
    return QStringLiteral("¡¡ Error %1: %2 !!").arg(numero).arg(descripcion);
}

void ReportaError(const ErrorTalvex& error, const QString& titulo)
{
    Sistema().Pita();
    MuestraMensaje(
        {TextoError(error.Numero(), error.Descripcion()), titulo, IconoMensaje::Critico});
}
