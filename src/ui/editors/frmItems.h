#pragma once
// The item editor: English and Spanish texts, topic and notes of a new item or of the
// selected row of the index. Created anew at each opening and destroyed when it closes.
#include "ui_frmItems.h"

#include <QWidget>

class frmItems : public QWidget, public Ui::frmItems {
    Q_OBJECT
public:
    frmItems();

    void cmdAceptarItem_Click();
    void cmdCancelarItem_Click();
    // Shows the chosen topic in both tooltips and, once the window is filled, in the box.
    void cboCategoriaItem_Click();
    // Writes the boxes to the store: a new item, or the one opened for editing.
    void ActualizaTabla2Items();
    // Shows the saved item in the main window's index and detail area.
    void ActualizaListaItems();

protected:
    // Every way of closing gives the main window back, with the selected row in its search box.
    void closeEvent(QCloseEvent* evento) override;

private:
    // Refuses the English text with a warning and leaves it selected for retyping.
    void RechazaItemIng(const QString& texto);
};

// A stored text shown whole in a box, even when it is longer than what typing allows.
void MuestraTexto(QLineEdit& caja, const QString& texto);
