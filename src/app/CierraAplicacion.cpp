#include "app/CierraAplicacion.h"

#include "app/modTALVEXV20.h"

#include <QDir>

namespace {
// Clean-up steps ignore their failures one by one: a file in use, a missing folder or a
// database that was never opened must not stop the rest.
template <class F> void IntentaPaso(F&& paso)
{
    try {
        paso();
    } catch (...) {
    }
}
} // namespace

void CierraAplicacion()
{
    CierraBaseDatos();
    BorraTemporales();
}

void CierraBaseDatos()
{
    IntentaPaso([] { modTALVEXV20().dbPrincipal.Cierra(); });
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
        IntentaPaso([&] { fso->DeleteFile(patron, true); });

    const QString informacion = estado.CarpetaPrograma + QStringLiteral("/TALVEXV20.txt");
    IntentaPaso([&] {
        if (fso->FileExists(informacion))
            fso->DeleteFile(informacion, true);
    });
    estado.fso.reset();
}
