#pragma once
// What more than one stage of an import or an export uses: reading, planning and applying, and
// writing.
#include "data/ErrorTalvex.h"

namespace Intercambio {

// What a cancelled import or export throws: ErrorTalvex(Cancelado).
ErrorTalvex ErrorCancelado();

} // namespace Intercambio
