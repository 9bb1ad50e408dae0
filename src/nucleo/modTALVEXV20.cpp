#include "nucleo/modTALVEXV20.h"

#include <QStandardPaths>

#include <cstdlib>

EstadoAplicacion& modTALVEXV20()
{
    static EstadoAplicacion estado;
    return estado;
}

QStringList RaicesInstalacionSistema()
{
    const QStringList datos =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    const QString propia = datos.isEmpty() ? QStringLiteral("/usr/local/share") : datos.first();
    return {propia, QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share"),
            QStringLiteral("/opt")};
}

QString RutaInstalacion(int raiz, const QString& nombre)
{
    return modTALVEXV20().RaicesInstalacion.value(raiz) + QStringLiteral("/TALVEXV20/") + nombre;
}

Plataforma& Sistema()
{
    Q_ASSERT(modTALVEXV20().plataforma);
    return *modTALVEXV20().plataforma;
}

RespuestaMensaje MuestraMensaje(const Mensaje& mensaje)
{
    return Sistema().MuestraMensaje(mensaje);
}

void TerminaProceso()
{
    Sistema().TerminaPrograma();
    std::abort(); // a platform's end of the process never comes back
}

void ReiniciaEstado()
{
    EstadoAplicacion& e = modTALVEXV20();
    e.dbPrincipal.Cierra();
    e.dbReporte.Cierra();
    e.RutaReporte.clear();
    e.dsrImprimirNotas.reset();
    e.fso.reset();
    e.CarpetaPrograma.clear();
    e.RaicesInstalacion.clear();
    e.plataforma = nullptr;
}
