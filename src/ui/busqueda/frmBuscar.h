#pragma once
// "Buscar en todo el vocabulario": a box and the results, updated as the user types. Enter or a
// double click chooses a result and closes the window; its opener shows what was chosen.
// "Exportar resultados..." hands the items listed, in their order, to the opener, which writes
// them in the format chosen from the button's menu.
#include "busqueda/Busqueda.h"
#include "intercambio/Intercambio.h"

#include <QWidget>
#include <functional>

class ModeloResultados;
class QLineEdit;
class QPushButton;
class QTreeView;

class frmBuscar : public QWidget {
    Q_OBJECT
public:
    using Elige = std::function<void(const Busqueda::Hallazgo& hallazgo)>;
    using ExportaResultados =
        std::function<void(Intercambio::Formato formato, const std::vector<QString>& ingles)>;
    // `indice` must outlive the window (its opener keeps it).
    frmBuscar(const Busqueda::Indice& indice, Elige elige, ExportaResultados exporta);

    // The selected result, or the first when none is selected; nothing when there is none.
    void EligeResultado();
    // The English texts of the items listed, each once, in the order shown (topics found are
    // not items and are left out).
    std::vector<QString> ItemsListados() const;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Busca();

    const Busqueda::Indice& indice_;
    Elige elige_;
    ExportaResultados exporta_;
    ModeloResultados* modelo_;
    QLineEdit* txtBuscarTodo;
    QTreeView* lvwResultados;
    QPushButton* cmdExportarResultados;
};
