#include "ui/Recursos.h"

#include <QtGlobal>

void IniciaRecursos()
{
    Q_INIT_RESOURCE(talvex);
}
