#pragma once
// The topic editor: the name and notes of a new topic or of the selected one.
#include "ui_frmTemas.h"

#include <QWidget>

class frmTemas : public QWidget, public Ui::frmTemas {
    Q_OBJECT
public:
    frmTemas();

    void cmdAceptarTema_Click();
    // Writes the topic (and, on a rename, its items) to the store.
    void ActualizaTablaTemas();
    // Shows the saved topic in the main window's tree and detail area.
    void ActualizaListaTemas();

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    void SeleccionaNombre();
};
