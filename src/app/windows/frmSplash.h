#pragma once
// The splash window: the product's picture, its version and a running account of start-up.
#include "ui_frmSplash.h"

#include <QWidget>

class frmSplash : public QWidget, public Ui::frmSplash {
    Q_OBJECT
public:
    frmSplash();
};
