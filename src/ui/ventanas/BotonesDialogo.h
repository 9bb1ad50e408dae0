#pragma once
// The row of "Aceptar" and "Cancelar" at the bottom right of a window laid out with Qt layouts.
// Neither is a default button: Enter keeps its own meaning in each box. Cancel closes the window.
#include <QHBoxLayout>
#include <QPushButton>

struct BotonesDialogo {
    QPushButton* aceptar;
    QHBoxLayout* fila;
};

inline BotonesDialogo CreaBotonesDialogo(QWidget& ventana, const QString& nombreAceptar,
                                         const QString& textoCancelar,
                                         const QString& nombreCancelar)
{
    auto* aceptar = new QPushButton(QStringLiteral("&Aceptar"), &ventana);
    aceptar->setObjectName(nombreAceptar);
    auto* cancelar = new QPushButton(textoCancelar, &ventana);
    cancelar->setObjectName(nombreCancelar);
    for (QPushButton* boton : {aceptar, cancelar})
        boton->setAutoDefault(false);
    QObject::connect(cancelar, &QPushButton::clicked, &ventana, &QWidget::close);
    auto* fila = new QHBoxLayout;
    fila->addStretch();
    fila->addWidget(aceptar);
    fila->addWidget(cancelar);
    return {aceptar, fila};
}
