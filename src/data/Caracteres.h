#pragma once
// Texts are measured in characters, not UTF-16 units: a character beyond the Basic
// Multilingual Plane (most emoji) is one, though it takes two units.
#include <QStringView>

inline qsizetype CuentaCaracteres(QStringView texto)
{
    qsizetype cuenta = texto.size();
    for (qsizetype i = 1; i < texto.size(); ++i)
        if (texto[i].isLowSurrogate() && texto[i - 1].isHighSurrogate())
            --cuenta;
    return cuenta;
}
