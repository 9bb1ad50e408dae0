#pragma once
// "Buscar en todo el vocabulario": a box and the results, updated as the user types. Enter or a
// double click chooses a result and closes the window; its opener shows what was chosen.
#include "busqueda/Busqueda.h"

#include <QWidget>
#include <functional>

class ModeloResultados;
class QLineEdit;
class QTreeView;

class frmBuscar : public QWidget {
    Q_OBJECT
public:
    using Elige = std::function<void(const Busqueda::Hallazgo& hallazgo)>;
    // `indice` must outlive the window (its opener keeps it).
    frmBuscar(const Busqueda::Indice& indice, Elige elige);

    // The selected result, or the first when none is selected; nothing when there is none.
    void EligeResultado();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Busca();

    const Busqueda::Indice& indice_;
    Elige elige_;
    ModeloResultados* modelo_;
    QLineEdit* txtBuscarTodo;
    QTreeView* lvwResultados;
};
