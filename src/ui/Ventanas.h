#pragma once
// Each window exists once and is reached by its type. A window made without arguments is
// created on first use; one made by its opener with what it needs (an editor) is registered
// by that opener, and is reachable while it exists.
#include <QPointer>
#include <QWidget>
#include <type_traits>
#include <typeindex>

namespace detalle {
QPointer<QWidget>& RanuraVentana(std::type_index tipo);
}

template <class T> T& Ventana()
{
    QPointer<QWidget>& ranura = detalle::RanuraVentana(typeid(T));
    if constexpr (std::is_default_constructible_v<T>) {
        if (!ranura)
            ranura = new T;
    } else {
        if (!ranura)
            qFatal("%s no está abierta", typeid(T).name());
    }
    return *static_cast<T*>(ranura.data());
}

template <class T> void RegistraVentana(T* ventana)
{
    detalle::RanuraVentana(typeid(T)) = ventana;
}

template <class T> bool VentanaCargada()
{
    return !detalle::RanuraVentana(typeid(T)).isNull();
}

// Destroys every window created so far (the next use creates them anew).
void DescargaVentanas();
