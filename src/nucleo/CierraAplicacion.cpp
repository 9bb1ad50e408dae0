#include "nucleo/CierraAplicacion.h"

#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"

#include <QCoreApplication>
#include <QDir>

// Clean-up steps ignore their failures one by one: a file in use, a missing folder or a
// database that was never opened must not stop the rest.

void CierraAplicacion()
{
    CierraBaseDatos();
    CierraBaseReporte();
    BorraTemporales();
}

void CierraBaseReporte()
{
    modTALVEXV20().dsrImprimirNotas.reset();
    OmiteFallo([] { modTALVEXV20().dbReporte.Cierra(); });
}

void CierraBaseDatos()
{
    OmiteFallo([] { modTALVEXV20().dbPrincipal.Cierra(); });
}

void BorraTemporales()
{
    EstadoAplicacion& estado = modTALVEXV20();
    SistemaArchivos* fso = estado.fso.get();
    if (!fso)
        return;
    // The report engine's temporary files live in the program's own folders only; the
    // program's folder stands for the working folder, so no arbitrary folder is touched.
    QStringList lugares{estado.CarpetaPrograma + QStringLiteral("/*.tmp")};
    for (int raiz = 0; raiz < estado.RaicesInstalacion.size(); ++raiz)
        lugares << RutaInstalacion(raiz, QStringLiteral("*.tmp"));
    for (const QString& patron : lugares)
        OmiteFallo([&] { fso->DeleteFile(patron, true); });

    const QString informacion = estado.CarpetaPrograma + QStringLiteral("/TALVEXV20.txt");
    OmiteFallo([&] {
        if (fso->FileExists(informacion))
            fso->DeleteFile(informacion, true);
    });
    estado.fso.reset();
}

void VigilaSalida()
{
    EstadoAplicacion& estado = modTALVEXV20();
    if (!estado.fso)
        return;
    bool senal = false;
    for (const QString& raiz : estado.RaicesInstalacion)
        senal |= estado.fso->FolderExists(raiz + QStringLiteral("/HURNEXTemp"));
    if (!senal)
        return;
    QCoreApplication::processEvents();
    CierraAplicacion();
    TerminaProceso();
}
