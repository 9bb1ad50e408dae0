#include "app/windows/frmFondoSplash.h"

#include "app/modTALVEXV20.h"

frmFondoSplash::frmFondoSplash() : Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frmFondoSplash"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer); // a pause never ends before its time
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [] {
        int& contador = modTALVEXV20().ContadorPausa;
        if (++contador == 10)
            contador = 0;
    });
    Timer1->start();
}
