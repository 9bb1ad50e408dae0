#include "ui/ventanas/TeclasDialogo.h"

#include <QKeyEvent>

TeclasDialogo::TeclasDialogo(QWidget& ventana) : QObject(&ventana), ventana_(ventana)
{
    ventana.installEventFilter(this);
    for (QWidget* control : ventana.findChildren<QWidget*>())
        control->installEventFilter(this);
}

void TeclasDialogo::Mueve(QWidget* desde, int tecla, QWidget* hacia)
{
    saltos_[{desde, tecla}] = hacia;
}

bool TeclasDialogo::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() != QEvent::KeyPress)
        return false;
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    // Popups (menus, the list of a combo box) keep their own Escape.
    const auto* control = qobject_cast<QWidget*>(objeto);
    if (!control || control->window() != &ventana_)
        return false;
    if (tecla->key() == Qt::Key_Escape) {
        ventana_.close();
        return true;
    }
    const int codigo = tecla->key() == Qt::Key_Enter ? int(Qt::Key_Return) : tecla->key();
    const auto salto = saltos_.find({objeto, codigo});
    if (salto == saltos_.end() || tecla->modifiers() & ~Qt::KeypadModifier)
        return false;
    salto->second->setFocus(Qt::TabFocusReason);
    return true;
}
