#pragma once
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

// Twips (1/1440 inch) to logical pixels at 96 DPI.
constexpr int Twips(double twips)
{
    return int(twips / 15.0 + 0.5);
}

// Places a top-level window in the middle of the primary screen.
inline void CentraEnPantalla(QWidget& ventana)
{
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        QRect zona = ventana.frameGeometry();
        zona.moveCenter(pantalla->availableGeometry().center());
        ventana.move(zona.topLeft());
    }
}
