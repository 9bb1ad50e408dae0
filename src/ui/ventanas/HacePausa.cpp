#include "ui/ventanas/HacePausa.h"

#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/ventanas/frmFondoSplash.h"

#include <QElapsedTimer>
#include <QEventLoop>

void HacePausa(int intervalo, int ticks)
{
    QElapsedTimer reloj;
    reloj.start(); // before the timer, so the wait measured here is never shorter than its own
    QTimer* temporizador = Ventana<frmFondoSplash>().Timer1;
    const int duracion = Sistema().DuracionPausa(intervalo);
    temporizador->start(duracion); // restarts the count of the interval
    if (ticks <= 0)
        return;

    // The wait counts its own ticks (one counter shared by every wait would make waits
    // within waits end each other early). Even a precise timer may fire a little early, so the last
    // tick only ends the wait once the whole time has passed.
    const qint64 total = qint64(duracion) * ticks;
    QEventLoop espera;
    std::function<void()> terminaCumplido = [&] {
        const qint64 falta = total - reloj.elapsed();
        if (falta <= 0)
            espera.quit();
        else
            QTimer::singleShot(int(falta), Qt::PreciseTimer, &espera, terminaCumplido);
    };
    int vistos = 0;
    const auto tick = QObject::connect(temporizador, &QTimer::timeout, &espera, [&] {
        if (++vistos == ticks)
            terminaCumplido();
    });
    const auto fin =
        QObject::connect(temporizador, &QObject::destroyed, &espera, &QEventLoop::quit);
    espera.exec();
    QObject::disconnect(tick);
    QObject::disconnect(fin);
}
