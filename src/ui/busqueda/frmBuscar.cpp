#include "ui/busqueda/frmBuscar.h"

#include "nucleo/Fallos.h"
#include "ui/busqueda/DelegadoResultados.h"
#include "ui/busqueda/ModeloResultados.h"
#include "ui/intercambio/FormatosExportacion.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/TeclasDialogo.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

frmBuscar::frmBuscar(const Busqueda::Indice& indice, Elige elige, ExportaResultados exporta)
    : QWidget(nullptr, Qt::Dialog), indice_(indice), elige_(std::move(elige)),
      exporta_(std::move(exporta)), modelo_(new ModeloResultados(this))
{
    setObjectName(QStringLiteral("frmBuscar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Buscar en todo el vocabulario"));
    setWindowIcon(QIcon(QStringLiteral(":/imagenes/talvex32.png")));

    txtBuscarTodo = new QLineEdit(this);
    txtBuscarTodo->setObjectName(QStringLiteral("txtBuscarTodo"));
    txtBuscarTodo->setToolTip(
        QStringLiteral(" En inglés, en español, en los temas y en las notas "));
    auto* etiqueta = new QLabel(QStringLiteral("&Buscar :"), this);
    etiqueta->setBuddy(txtBuscarTodo);
    lvwResultados = new QTreeView(this);
    lvwResultados->setObjectName(QStringLiteral("lvwResultados"));
    lvwResultados->setAccessibleName(QStringLiteral("Resultados de la búsqueda"));
    lvwResultados->setModel(modelo_);
    lvwResultados->setItemDelegate(new DelegadoResultados(lvwResultados));
    lvwResultados->setRootIsDecorated(false);
    lvwResultados->setItemsExpandable(false);
    lvwResultados->setUniformRowHeights(true);
    lvwResultados->setAllColumnsShowFocus(true);
    lvwResultados->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwResultados->header()->setStretchLastSection(true);
    for (const auto& [columna, ancho] : {std::pair{0, 2000}, {1, 2000}, {2, 1600}})
        lvwResultados->setColumnWidth(columna, Twips(ancho));

    // The button's menu names the formats; choosing one exports what is listed at that moment.
    cmdExportarResultados = new QPushButton(QStringLiteral("E&xportar resultados..."), this);
    cmdExportarResultados->setObjectName(QStringLiteral("cmdExportarResultados"));
    cmdExportarResultados->setEnabled(false);
    auto* formatos = new QMenu(cmdExportarResultados);
    formatos->setObjectName(QStringLiteral("mnuFormatosResultados"));
    for (const auto& [texto, formato] : FormatosExportacion)
        connect(formatos->addAction(QString::fromUtf8(texto) + QStringLiteral("...")),
                &QAction::triggered, this, [this, formato = formato] {
                    AtiendeEvento([&] { exporta_(formato, ItemsListados()); });
                });
    cmdExportarResultados->setMenu(formatos);

    auto* todo = new QVBoxLayout(this);
    auto* caja = new QHBoxLayout;
    caja->addWidget(etiqueta);
    caja->addWidget(txtBuscarTodo, 1);
    todo->addLayout(caja);
    todo->addWidget(lvwResultados, 1);
    auto* pie = new QHBoxLayout;
    pie->addStretch();
    pie->addWidget(cmdExportarResultados);
    todo->addLayout(pie);
    resize(Twips(10500), Twips(6000));
    CentraEnPantalla(*this);

    connect(txtBuscarTodo, &QLineEdit::textChanged, this, &frmBuscar::Busca);
    connect(lvwResultados, &QTreeView::doubleClicked, this, [this] { EligeResultado(); });
    txtBuscarTodo->installEventFilter(this);
    lvwResultados->installEventFilter(this);
    new TeclasDialogo(*this); // Escape closes it
    txtBuscarTodo->setFocus();
}

void frmBuscar::Busca()
{
    // The same results (a letter that narrows nothing): the row the user walked to stays.
    if (!modelo_->CambiaResultados(indice_.Busca(txtBuscarTodo->text())))
        return;
    if (modelo_->rowCount() > 0) {
        lvwResultados->setCurrentIndex(modelo_->index(0, 0));
        lvwResultados->scrollTo(modelo_->index(0, 0)); // also when it already was the current row
    }
    // On every keystroke: only whether an item is listed, not the list itself.
    const auto& resultados = modelo_->Resultados();
    cmdExportarResultados->setEnabled(
        std::any_of(resultados.begin(), resultados.end(),
                    [](const Busqueda::Hallazgo& hallazgo) { return !hallazgo.esTema; }));
}

std::vector<QString> frmBuscar::ItemsListados() const
{
    std::vector<QString> ingles;
    QSet<QString> vistos;
    for (const Busqueda::Hallazgo& hallazgo : modelo_->Resultados())
        if (!hallazgo.esTema && !vistos.contains(hallazgo.ingles)) {
            vistos.insert(hallazgo.ingles);
            ingles.push_back(hallazgo.ingles);
        }
    return ingles;
}

bool frmBuscar::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() != QEvent::KeyPress)
        return false;
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
        EligeResultado();
        return true;
    }
    // From the box, the arrows walk the results while the typing stays in the box.
    if (objeto == txtBuscarTodo && (tecla == Qt::Key_Down || tecla == Qt::Key_Up) &&
        modelo_->rowCount() > 0) {
        const int fila = lvwResultados->currentIndex().row() + (tecla == Qt::Key_Down ? 1 : -1);
        lvwResultados->setCurrentIndex(modelo_->index(qBound(0, fila, modelo_->rowCount() - 1), 0));
        return true;
    }
    return false;
}

void frmBuscar::EligeResultado()
{
    if (modelo_->rowCount() == 0)
        return;
    const QModelIndex actual = lvwResultados->currentIndex();
    const Busqueda::Hallazgo elegido =
        modelo_->Resultados()[size_t(actual.isValid() ? actual.row() : 0)];
    close();
    elige_(elegido);
}
