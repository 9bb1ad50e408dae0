#include "intercambio/ComunIntercambio.h"

#include "intercambio/TiposIntercambio.h"

namespace Intercambio {

ErrorTalvex ErrorCancelado()
{
    return ErrorTalvex(Cancelado, QStringLiteral("Operación cancelada por el usuario."));
}

} // namespace Intercambio
