#pragma once
// The backup and restore dialog: a source and a destination box with their browse buttons;
// "Aceptar" checks both paths, asks, copies the database and ends the program, as the copy
// takes effect only at the next start.

#include <QString>
#include <QWidget>
#include <memory>

class ErrorTalvex;

// A common file dialog, as a browse button sets it up before showing it.
struct DialogoComun {
    explicit DialogoComun(bool guardarArchivo) : guardar(guardarArchivo) {}
    bool guardar; // a save-file dialog, else an open-file one
    QString titulo;
    QString carpeta; // where it opens
    QString nombre;  // the file name it proposes
    QString filtro;
    // The path chosen, or an empty text when the user cancels.
    QString Muestra(QWidget* dueno) const;
};

class QLineEdit;

namespace Ui {
class frmRespaldar;
}

class frmRespaldar : public QWidget {
    Q_OBJECT
public:
    ~frmRespaldar() override;
    frmRespaldar();

    // True: the dialog copies the database out; false: it restores a copy.
    bool ModoRespaldo = true;
    DialogoComun dlgComun1{false}; // open-file dialog of the source box
    DialogoComun dlgComun2{true};  // save-file dialog of the destination box

    // Prepares the dialog for backup (`respaldo`) or restore; it does not show it.
    void MuestraRespaldo(bool respaldo);
    // Checks both boxes, asks for confirmation, copies, and ends the program on success.
    void RespaldaRestaura();
    // Enables the dialog, both boxes and the four buttons, and hides the copying label.
    void ActivaControles();
    void cmdExaminarOrigen_Click();
    void cmdExaminarDestino_Click();
    // Puts a control first in the tab order and gives it the focus.
    void PonePrimero(QWidget* control);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void DesactivaControles();
    void Examina(QLineEdit& caja, DialogoComun& dialogo, bool cajaDelModo, const QString& aviso);
    QString TituloDelModo() const;

private:
    std::unique_ptr<Ui::frmRespaldar> ui_;
};
