// The Spanish help page shipped beside the program; both help commands open it.
#include "app/windows/Ayuda.h"
#include "app/Fallos.h"
#include "app/modTALVEXV20.h"

void AbreAyuda()
{
    OmiteFallo([] {
        Sistema().AbreDireccion(QUrl::fromLocalFile(modTALVEXV20().CarpetaPrograma +
                                                    QStringLiteral("/TALVEXV20.html")));
    });
}
