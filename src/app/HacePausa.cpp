#include "app/HacePausa.h"

#include "app/Ventanas.h"
#include "app/modTALVEXV20.h"
#include "app/windows/frmFondoSplash.h"

#include <QEventLoop>

void HacePausa(int intervalo, int ticks)
{
    QTimer* temporizador = Ventana<frmFondoSplash>().Timer1;
    temporizador->start(Sistema().DuracionPausa(intervalo)); // restarts the count of the interval
    modTALVEXV20().ContadorPausa = 0;
    if (ticks <= 0)
        return;

    // The wait counts its own ticks: the shared counter wraps at 10, which would make a
    // long wait never end.
    QEventLoop espera;
    int vistos = 0;
    const auto tick = QObject::connect(temporizador, &QTimer::timeout, &espera, [&] {
        if (++vistos >= ticks)
            espera.quit();
    });
    const auto fin = QObject::connect(temporizador, &QObject::destroyed, &espera, &QEventLoop::quit);
    espera.exec();
    QObject::disconnect(tick);
    QObject::disconnect(fin);
}
