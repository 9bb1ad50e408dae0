#pragma once
// A window that is never shown: it carries the pause timer behind HacePausa.
#include <QTimer>
#include <QWidget>

class frmFondoSplash : public QWidget {
    Q_OBJECT
public:
    frmFondoSplash();
    QTimer* Timer1;
};
