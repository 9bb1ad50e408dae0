#pragma once
// Rows of a two-column item list ("Inglés", "Español"): the English text and its Spanish
// translation. The column headers are the model's own, added one by one by AgregaColumna.
#include "data/BaseVocabulario.h"
#include "listas/IndiceCompletado.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class ModeloListaItems : public QAbstractTableModel {
    Q_OBJECT
public:
    // With a store, the model writes its rows through to it. The search box completes over
    // its rows (the index of every item): they are held once, for the list and the box.
    explicit ModeloListaItems(BaseVocabulario* base = nullptr, QObject* padre = nullptr)
        : QAbstractTableModel(padre), base_(base)
    {
    }

    // Without Qt's checks through rowCount and columnCount: the view asks for every row.
    QModelIndex index(int fila, int columna, const QModelIndex& padre = {}) const override;
    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    // Rows never have children: the view lays out 100,000 of them without asking each.
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override;

    void LimpiaEncabezados();
    void AgregaEncabezado(const QString& titulo);
    void LimpiaFilas();
    void CambiaFilas(FilasLista filas);
    const FilasLista& Filas() const { return filas_; }
    void QuitaFila(int fila);
    // Row of the text, equal without regard to case, or -1. The rows are in key order, so
    // this is a binary search.
    int BuscaFila(const QString& ingles) const;
    // Puts a new row where its text belongs in key order; returns its row number.
    int InsertaFila(const FilaLista& fila);
    // Replaces a row, moving it where its new text belongs (selections follow it); returns
    // its new row number.
    int ReemplazaFila(int fila, const FilaLista& nueva);

    // Written through: the store first, then the row and its index entry. A new item is
    // inserted in key order; an edited one (`anterior`, its English text when the editor
    // opened) moves to where its new text belongs. Returns its row (-1 when the edited row is
    // no longer in the list).
    int GuardaItem(const Item& item, const QString& anterior, bool nuevo);
    // The item goes from the store, then its row and its index entry.
    void EliminaItem(int fila);
    // Rows already written to the store (an import): merged into key order in one change of
    // the list.
    void AgregaFilas(std::vector<FilaLista> nuevas);
    // The Spanish text of the row whose English text is `ingles`, as the store now has it.
    void CambiaEspanol(const QString& ingles, const QString& espanol);
    const IndiceCompletado& Indice() const { return indice_; }

private:
    // How many rows come before the text in key order.
    int CuentaAnteriores(const QString& ingles) const;

    BaseVocabulario* base_;
    QStringList encabezados_;
    FilasLista filas_;
    IndiceCompletado indice_{filas_};
};
