#pragma once
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

// Places a top-level window in the middle of the primary screen.
inline void CentraEnPantalla(QWidget& ventana)
{
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        QRect zona = ventana.frameGeometry();
        zona.moveCenter(pantalla->availableGeometry().center());
        ventana.move(zona.topLeft());
    }
}
