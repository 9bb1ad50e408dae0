#pragma once
// Each window exists once, is created on first use and is reached by its type from anywhere.
#include <QPointer>
#include <QWidget>
#include <typeindex>

namespace detalle {
QPointer<QWidget>& RanuraVentana(std::type_index tipo);
}

template <class T> T& Ventana()
{
    QPointer<QWidget>& ranura = detalle::RanuraVentana(typeid(T));
    if (!ranura)
        ranura = new T;
    return *static_cast<T*>(ranura.data());
}

template <class T> bool VentanaCargada()
{
    return !detalle::RanuraVentana(typeid(T)).isNull();
}

// Destroys every window created so far (the next use creates them anew).
void DescargaVentanas();
