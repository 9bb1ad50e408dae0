#pragma once
// The wait window: one line telling the user what the program is busy with. It has no
// behaviour of its own; its callers set the text, show it and hide it.
#include "ui_frmEspera.h"

#include <QWidget>

class frmEspera : public QWidget, public Ui::frmEspera {
    Q_OBJECT
public:
    frmEspera();
};
