#pragma once
// The splash window: the product's picture, its version and a running account of start-up.

#include <QWidget>
#include <memory>

namespace Ui {
class frmSplash;
}

class frmSplash : public QWidget {
    Q_OBJECT
public:
    ~frmSplash() override;
    frmSplash();
    // The running account of start-up, under the picture.
    void MuestraEstado(const QString& texto);

private:
    std::unique_ptr<Ui::frmSplash> ui_;
};
