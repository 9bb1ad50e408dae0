#pragma once
// The wait window: one line telling the user what the program is busy with. It has no
// behaviour of its own; its callers set the text, show it and hide it.

#include <QWidget>
#include <memory>

namespace Ui {
class frmEspera;
}

class frmEspera : public QWidget {
    Q_OBJECT
public:
    ~frmEspera() override;
    frmEspera();
    // The line that says what the program is busy with.
    void MuestraTexto(const QString& texto);

private:
    std::unique_ptr<Ui::frmEspera> ui_;
};
