#pragma once
// A button's command runs with no trap of its own: a failure shows the error message and the
// window stays usable.
#include "nucleo/Fallos.h"

#include <QAbstractButton>

template <class F> void AlPulsar(QAbstractButton* boton, QObject* dueno, F orden)
{
    QObject::connect(boton, &QAbstractButton::clicked, dueno, [orden] { AtiendeEvento(orden); });
}
