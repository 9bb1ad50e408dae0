#include "ui/main/IndicadoresTeclado.h"

#include <QGuiApplication>

#ifdef TALVEX_CON_X11
#include <X11/XKBlib.h>
#endif

EstadoIndicadores LeeIndicadoresTeclado()
{
    EstadoIndicadores estado;
#ifdef TALVEX_CON_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    unsigned int luces = 0;
    if (x11 && x11->display() && XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &luces) == 0) {
        estado.mayusculas = luces & 0x1;
        estado.numLock = luces & 0x2;
    }
#endif
    return estado;
}
