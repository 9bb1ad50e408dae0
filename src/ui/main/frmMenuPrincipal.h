#pragma once
// The main window: topics on the left, the index of every item in the middle, the notes
// and the items of the selected topic on the right, all on the panel picMenu1.
#include "busqueda/Busqueda.h"
#include "data/BaseVocabulario.h"
#include "intercambio/Intercambio.h"

#include <QLabel>
class Pronunciacion;
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>

class ModeloListaItems;
class ModeloTemas;
class QTreeView;

namespace Ui {
class frmMenuPrincipal;
}

class frmMenuPrincipal : public QMainWindow {
    Q_OBJECT
public:
    ~frmMenuPrincipal() override;
    frmMenuPrincipal();

    // The six status bar panels, counted from 0.
    std::array<QLabel*, 6> Paneles{};
    QTimer* TimerMiReloj;
    QTimer* TimerSalir;
    ModeloListaItems* ModeloItems;
    ModeloListaItems* ModeloListaTema;
    ModeloTemas* ModeloArbol;

    // The name of the topic shown, and the English text of the row of its item list whose
    // notes are shown.
    QString TemaActual;
    QString ItemTemaActual;
    // Arms the completion: the next change of the search box comes from a typed character.
    bool AutoCompletar = false;

    // The commands of the buttons under the lists and the notes.
    void cmdNuevoTema_Click();
    void cmdEditarTema_Click();
    void cmdEliminarTema_Click();
    void cmdNuevoItems_Click();
    void cmdEditarItems_Click();
    void cmdEliminarItem_Click();
    void cmdVistaPreviaNotas_Click();
    void cmdImprimirNotas_Click();
    // Fills the report table from what the notes column shows; the topic's list is then left
    // on its last row.
    void PreparaReporte();
    // Opens the backup dialog over this window: backup when `respaldo`, else restore.
    void AbreRespaldo(bool respaldo);
    // Import: a file chosen, read and checked, then the import window over this one.
    void mnuImportar_Click();
    void mnuExportar_Click();
    // What the import window reports, applied here: the plan written in one transaction (a
    // failure throws; a cancel says so and writes nothing), then the new rows shown.
    void ImportaPlan(const Intercambio::Plan& plan, Intercambio::Duplicados duplicados);
    void ItemsImportados(const Intercambio::Resultado& resultado);
    // Search everywhere: the index brought up to date, then the search window over this one.
    void mnuBuscarTodo_Click();
    // After start-up: the search index starts building aside, so that the first search finds
    // it ready.
    void PreparaBusqueda();
    // "Copias automáticas...": the copies kept by themselves, one of which may be restored.
    void mnuCopias_Click();
    // "Practicar...": the practice window over this one, on the topic selected in the tree.
    void mnuPracticar_Click();
    // "Estadísticas...": the statistics window over this one, on the topic selected in the tree.
    void mnuEstadisticas_Click();
    // The program's speech; the item editor speaks through it too.
    Pronunciacion* Voz = nullptr;
    // The English text the heading shows, spoken by the speaker and F5 (empty: a topic, or
    // nothing shown, and no speaker).
    void MuestraVoz(const QString& ingles);
    // A result chosen in the search window, shown as a click in the index (or the tree) shows it.
    void ResultadoElegido(const Busqueda::Hallazgo& hallazgo);
    // Asks for the file and writes the vocabulary or one topic to it; false when nothing was
    // written (no file chosen, or a failure it has said).
    bool Exporta(Intercambio::Formato formato, const std::optional<QString>& tema);
    // The same for the items the search window listed, asked over that window.
    void ExportaResultados(QWidget* dueno, Intercambio::Formato formato,
                           const std::vector<QString>& ingles);

    // What the editors report, applied here: the saved record with its key when the editor
    // opened. A failed write throws, and nothing of this window changes.
    void TemaGuardado(const Tema& tema, const QString& anterior, bool nuevo);
    void ItemGuardado(const Item& item, const QString& anterior, bool nuevo);

    // Show the selected topic, item of the index, or item of the topic's list; `guardado`,
    // when given, is the selected one as just saved, shown without reading it back.
    void ActivaTemas(const Tema* guardado = nullptr);
    void ActivaItems(const Item* guardado = nullptr);
    void ActivaListaTema();
    // The right column's two layouts: the topic with its items, or one item's notes.
    void MuestraVistaTema();
    void MuestraVistaItem();

    // The selected row of a list or tree (-1 when none), and selecting one.
    static int FilaSeleccionada(const QTreeView& lista);
    static void SeleccionaFila(QTreeView& lista, int fila, bool hazVisible);
    // Back to the lists and the right column of a start on no data.
    void OlvidaListados();
    // Fills the topic tree from TEMAS and shows its first topic.
    void LlenaArbolTemas();
    // Refills the index of every item (lvwItems) from ITEMS.
    void LlenaListaItems();
    // Selects the first row of the index and puts its text in the search box.
    void CreaIndiceItems();
    // Completes the search box text to the first item that begins with it and shows that item.
    void BuscaItem();
    // Refills lvwListaTema with the items whose topic is exactly the heading lblNotas.
    void LlenaListaTema();

    // Panels 5 and 6: the date in the system's short form and the time.
    void EscribeFechaHora();
    // Places picMenu1 in the middle of the window (a little up and to the left, as the
    // window's frame and caption count in its size).
    void CentraPanel();
    // The end of start-up: the panel visible and the search box holding the focus.
    void MuestraPanel();
    void PintaFondo(const QColor& color);
    // Num Lock, Caps Lock and Insert panels.
    void ActualizaIndicadores();
    bool ModoInsertar() const { return modoInsertar_; }

    // Closing: "Cerrando TALVEX..." for a moment, the clean-up, and the end of the program.
    void DescargaPrincipal();
    // The exit command, with its reminder to back up.
    void mnuSalir_Click();
    // A toolbar button or drop-down entry, by its key ("Carpeta", "Respaldar", "Respalda",
    // "Recupera", "Ayuda", "Acercade", "Practicar"); another key does nothing.
    void PulsaBoton(const QString& clave);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void CreaPaneles();
    void CreaBarraHerramientas();
    void CreaVoz();
    QString inglesMostrado_;
    QWidget* altavoz_ = nullptr; // the heading's speaker
    void AbreDialogoBase();
    void ConectaEventos();
    bool EventoArbol(QEvent* evento);
    bool EventoListaItems(QEvent* evento);
    bool EventoBuscaItem(QEvent* evento);
    bool EventoListaTema(QEvent* evento);
    void CambioBuscaItem();
    void EditaFilaElegida();
    void AbreEditorTema(bool nuevo);
    void AbreEditorItem(bool nuevo);
    void MuestraItemElegido();
    // After a deletion: the earliest-added topic left, or the neighbour of the deleted item.
    void TemaEliminado();
    // The heading "English -> Spanish" of an index row, and an item's topic and notes.
    void MuestraEncabezadoItem(int fila);
    void MuestraDetalleItem(const QString& ingles);
    void MuestraDetalleItem(const Item& item);
    void ItemEliminado(int fila);
    bool modoInsertar_ = true;

private:
    // Every text of the vocabulary, for the search window: built once (aside after start-up,
    // or when first needed), then brought up to every write before each search.
    Busqueda::Indice IndiceBusqueda;
    std::unique_ptr<Busqueda::IndiceAparte> indiceAparte_;
    std::unique_ptr<Ui::frmMenuPrincipal> ui_;
};
