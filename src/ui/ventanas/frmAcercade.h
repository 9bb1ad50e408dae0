#pragma once
// The About window: the product's name and its makers, with their e-mail and web address as
// links that light up when the mouse is near them.

#include <QWidget>
#include <memory>

class QLabel;

namespace Ui {
class frmAcercade;
}

class frmAcercade : public QWidget {
    Q_OBJECT
public:
    ~frmAcercade() override;
    frmAcercade();

    static const QColor Normal;    // a link the mouse is away from
    static const QColor Resaltado; // the link the mouse is on: a click opens it
    static bool EstaResaltado(const QLabel& enlace);

    // The mouse at (x, y) twips from the window's top-left corner.
    void MueveRaton(int x, int y);
    void Pulsa();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    std::unique_ptr<Ui::frmAcercade> ui_;
};

// Opens the About window over the main window, which waits disabled until it closes.
void MuestraAcercade();
