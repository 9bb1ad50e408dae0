// What the main window's tree, lists and search box do with the mouse and the keyboard.
#include "nucleo/CierraAplicacion.h"
#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/LimiteCaracteres.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/AlPulsar.h"
#include "ui_frmMenuPrincipal.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace {
bool EsClic(const QEvent* evento)
{
    return evento->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(evento)->button() == Qt::LeftButton;
}

bool EsDobleClic(const QEvent* evento)
{
    return evento->type() == QEvent::MouseButtonDblClick &&
           static_cast<const QMouseEvent*>(evento)->button() == Qt::LeftButton;
}

bool EsIntro(const QKeyEvent* tecla)
{
    return tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
}

// A key that produces a character (what arms or disarms the completion); Delete, arrows and
// the like do not, and neither do Tab and Shift+Tab, which move the focus on.
bool EsCaracter(const QKeyEvent* tecla)
{
    if (tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab)
        return false;
    return tecla->key() == Qt::Key_Backspace || EsIntro(tecla) ||
           (!tecla->text().isEmpty() && tecla->key() != Qt::Key_Delete);
}

void ArmaCompletar(bool& autoCompletar, const QKeyEvent* tecla)
{
    if (EsCaracter(tecla))
        autoCompletar = tecla->key() != Qt::Key_Backspace;
}
} // namespace

int frmMenuPrincipal::FilaSeleccionada(const QTreeView& lista)
{
    const QModelIndex actual =
        lista.selectionModel() ? lista.selectionModel()->currentIndex() : QModelIndex();
    if (!actual.isValid() || !lista.selectionModel()->isSelected(actual.siblingAtColumn(0)))
        return -1;
    return actual.row();
}

void frmMenuPrincipal::SeleccionaFila(QTreeView& lista, int fila, bool hazVisible)
{
    const QModelIndex indice = lista.model()->index(fila, 0);
    if (!indice.isValid())
        return;
    lista.selectionModel()->setCurrentIndex(indice, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    if (hazVisible)
        lista.scrollTo(indice);
}

void frmMenuPrincipal::ConectaEventos()
{
    // At most 50 typed characters, while a completion may show a longer text whole.
    LimitaCaracteres(*ui_->txtBuscaItem, 50, LimiteCaracteres::Exceso::Rechaza);
    for (QObject* control : std::initializer_list<QObject*>{
             ui_->TreeTemas, ui_->TreeTemas->viewport(), ui_->lvwItems, ui_->lvwItems->viewport(),
             ui_->txtBuscaItem, ui_->lvwListaTema, ui_->lvwListaTema->viewport()})
        control->installEventFilter(this);
    connect(ui_->txtBuscaItem, &QLineEdit::textChanged, this, &frmMenuPrincipal::CambioBuscaItem);
    connect(ui_->mnuSalir, &QAction::triggered, this,
            [this] { AtiendeEvento([this] { mnuSalir_Click(); }); });
    connect(TimerSalir, &QTimer::timeout, this, [] { AtiendeEvento(VigilaSalida); });
    TimerSalir->start();
    using Orden = void (frmMenuPrincipal::*)();
    for (const auto& [boton, orden] :
         {std::pair<QAbstractButton*, Orden>{ui_->cmdNuevoTema,
                                             &frmMenuPrincipal::cmdNuevoTema_Click},
          {ui_->cmdEditarTema, &frmMenuPrincipal::cmdEditarTema_Click},
          {ui_->cmdEliminarTema, &frmMenuPrincipal::cmdEliminarTema_Click},
          {ui_->cmdEliminarItem, &frmMenuPrincipal::cmdEliminarItem_Click},
          {ui_->cmdVistaPreviaNotas, &frmMenuPrincipal::cmdVistaPreviaNotas_Click},
          {ui_->cmdImprimirNotas, &frmMenuPrincipal::cmdImprimirNotas_Click},
          {ui_->cmdNuevoItems, &frmMenuPrincipal::cmdNuevoItems_Click},
          {ui_->cmdEditarItems, &frmMenuPrincipal::cmdEditarItems_Click}})
        AlPulsar(boton, this, [this, orden = orden] { (this->*orden)(); });
    connect(ui_->TreeTemas->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& actual) { ModeloArbol->MarcaAbierto(actual.row()); });
    // A model reset replaces the selection model's contents, not the object: keep the icon right.
    connect(ModeloArbol, &QAbstractItemModel::modelReset, this,
            [this] { ModeloArbol->MarcaAbierto(ui_->TreeTemas->currentIndex().row()); });
}

bool frmMenuPrincipal::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == ui_->TreeTemas || objeto == ui_->TreeTemas->viewport())
        return EventoArbol(evento);
    if (objeto == ui_->lvwItems || objeto == ui_->lvwItems->viewport())
        return EventoListaItems(evento);
    if (objeto == ui_->txtBuscaItem)
        return EventoBuscaItem(evento);
    if (objeto == ui_->lvwListaTema || objeto == ui_->lvwListaTema->viewport())
        return EventoListaTema(evento);
    return false;
}

bool frmMenuPrincipal::EventoArbol(QEvent* evento)
{
    if (ModeloArbol->rowCount() == 0)
        return false;
    if (EsDobleClic(evento)) {
        AtiendeEvento([this] { cmdEditarTema_Click(); });
        return true;
    }
    // Key down shows the topic selected before the move, key up the one after it.
    if (EsClic(evento) || evento->type() == QEvent::KeyPress ||
        evento->type() == QEvent::KeyRelease)
        ActivaTemas();
    return false;
}

bool frmMenuPrincipal::EventoListaItems(QEvent* evento)
{
    if (EsDobleClic(evento)) {
        AtiendeEvento([this] { cmdEditarItems_Click(); });
        return true;
    }
    if (FilaSeleccionada(*ui_->lvwItems) < 0)
        return false;
    if (EsClic(evento)) {
        MuestraItemElegido();
        return false;
    }
    if (evento->type() == QEvent::KeyRelease) {
        ActivaItems();
        return false;
    }
    if (evento->type() != QEvent::KeyPress)
        return false;
    ActivaItems();
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    if (!EsCaracter(tecla))
        return false; // arrows and page keys move in the list
    if (EsIntro(tecla))
        EditaFilaElegida();
    ArmaCompletar(AutoCompletar, tecla);
    return true; // the list does not act on typed characters
}

// A click in the index or the search box: the selected item, in the item view.
void frmMenuPrincipal::MuestraItemElegido()
{
    ActivaItems();
    MuestraVistaItem();
}

// Enter in the search box or the index: the box takes the selected row's text and the item
// editor opens on it.
void frmMenuPrincipal::EditaFilaElegida()
{
    ui_->txtBuscaItem->setText(
        ModeloItems->Filas().Ingles(size_t(FilaSeleccionada(*ui_->lvwItems))));
    AtiendeEvento([this] { cmdEditarItems_Click(); });
}

bool frmMenuPrincipal::EventoBuscaItem(QEvent* evento)
{
    if (FilaSeleccionada(*ui_->lvwItems) < 0)
        return false;
    if (EsClic(evento)) {
        MuestraItemElegido();
        return false;
    }
    if (evento->type() != QEvent::KeyPress)
        return false;
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    const bool intro = EsIntro(tecla);
    if (intro)
        EditaFilaElegida();
    ArmaCompletar(AutoCompletar, tecla);
    return intro;
}

bool frmMenuPrincipal::EventoListaTema(QEvent* evento)
{
    if (FilaSeleccionada(*ui_->lvwListaTema) >= 0 &&
        (EsClic(evento) || evento->type() == QEvent::KeyPress ||
         evento->type() == QEvent::KeyRelease))
        ActivaListaTema();
    return false;
}

void frmMenuPrincipal::CambioBuscaItem()
{
    if (FilaSeleccionada(*ui_->lvwItems) < 0)
        return;
    if (!ui_->txtBuscaItem->text().isEmpty())
        BuscaItem();
    else
        SeleccionaFila(*ui_->lvwItems, 0, true);
}
