#pragma once
// The topic editor: the name and notes of a new topic or of the selected one. It checks the
// name and reports the topic to save; its opener writes it and shows it.
#include "data/BaseVocabulario.h"
#include "nucleo/Plataforma.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class frmTemas;
}

class frmTemas : public QWidget {
    Q_OBJECT
public:
    ~frmTemas() override;
    // Writes the topic and shows it (`anterior`: its name when the editor opened); throws
    // when the write fails, and the editor then stays open.
    using Guarda = std::function<void(const Tema& tema, const QString& anterior, bool nuevo)>;

    // A new topic, or the topic `seleccionado` of the tree, of `base`. `hayTemas`: the tree
    // has nodes, so a name is checked against the others. `sistema` beeps at a refused name.
    frmTemas(bool nuevo, const QString& seleccionado, bool hayTemas, const BaseVocabulario& base,
             Plataforma& sistema, Guarda guarda);

    void cmdAceptarTema_Click();

private:
    // Caption, and the name and notes of the edited topic.
    void MuestraEditorTema(const QString& seleccionado);
    void SeleccionaNombre();

    bool TemaNuevo;
    QString TemaAnterior; // the edited topic's name when the editor opened
    bool hayTemas_;
    const BaseVocabulario& base_;
    Plataforma& sistema_;
    Guarda guarda_;

private:
    std::unique_ptr<Ui::frmTemas> ui_;
};
