#pragma once
// The item editor: English and Spanish texts, topic and notes of a new item or of the
// selected row of the index. It checks the English text and reports the item to save; its
// opener writes it and shows it. Made anew at each opening and destroyed when it closes.
#include "data/BaseVocabulario.h"
#include "nucleo/Plataforma.h"

#include <QWidget>
#include <functional>
#include <memory>

class Pronunciacion;
class QLineEdit;

namespace Ui {
class frmItems;
}

class frmItems : public QWidget {
    Q_OBJECT
public:
    ~frmItems() override;
    // Writes the item and shows it (`anterior`: its English text when the editor opened);
    // throws when the write fails, and the editor then stays open.
    using Guarda = std::function<void(const Item& item, const QString& anterior, bool nuevo)>;

    // A new item, or the item whose English text is `editado` (the selected row), of `base`,
    // which gives the topics and tells a duplicate; `sistema` beeps at a refused text. With
    // `voz`, speakers in the English and Spanish boxes and the English text's IPA.
    frmItems(bool nuevo, const QString& editado, const BaseVocabulario& base, Plataforma& sistema,
             Guarda guarda, Pronunciacion* voz = nullptr);

    void cmdAceptarItem_Click();
    void cmdCancelarItem_Click();
    // Shows the chosen topic in both tooltips and, once the window is filled, in the box.
    void cboCategoriaItem_Click();

private:
    // Caption, the topic list, and the boxes of the edited item.
    void MuestraEditorItem();
    void MuestraItemEditado();
    // Refuses the English text with a warning and leaves it selected for retyping.
    void RechazaItemIng(const QString& texto);
    void CreaVoz(Pronunciacion& voz);

    bool ItemNuevo;
    QString ItemEditado;
    bool EditorItemListo = false; // false while the window is being filled
    const BaseVocabulario& base_;
    Plataforma& sistema_;
    Guarda guarda_;

private:
    std::unique_ptr<Ui::frmItems> ui_;
};

// A stored text shown whole in a box, even when it is longer than what typing allows.
void MuestraTexto(QLineEdit& caja, const QString& texto);
