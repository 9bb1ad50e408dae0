#pragma once
// The keys of a secondary window: Escape closes it from any control (without saving, in an
// editor); the keys given to Mueve take the focus from one control to another and are
// consumed. Keys not named reach the control (so Enter in a notes box makes a new line).
#include <QObject>
#include <QWidget>
#include <map>
#include <utility>

class TeclasDialogo : public QObject {
public:
    // Watches every control of the window (create it after the window's controls).
    explicit TeclasDialogo(QWidget& ventana);
    void Mueve(QWidget* desde, int tecla, QWidget* hacia);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QWidget& ventana_;
    std::map<std::pair<QObject*, int>, QWidget*> saltos_;
};
