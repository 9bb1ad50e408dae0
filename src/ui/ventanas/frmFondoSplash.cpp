#include "ui/ventanas/frmFondoSplash.h"

frmFondoSplash::frmFondoSplash() : Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frmFondoSplash"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer); // a pause never ends before its time
    Timer1->setInterval(1000);
    Timer1->start();
}
