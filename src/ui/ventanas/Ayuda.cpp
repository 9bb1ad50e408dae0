// The Spanish help page shipped beside the program; both help commands open it.
#include "ui/ventanas/Ayuda.h"
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"

void AbreAyuda()
{
    OmiteFallo([] {
        Sistema().AbreDireccion(QUrl::fromLocalFile(modTALVEXV20().CarpetaPrograma +
                                                    QStringLiteral("/TALVEXV20.html")));
    });
}
