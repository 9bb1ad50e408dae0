#pragma once
// The nodes of the topic tree: one per topic, flat, in name order. The selected node shows
// the "open" picture and every other node the "closed" one.
#include "data/BaseVocabulario.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

class ModeloTemas : public QAbstractListModel {
    Q_OBJECT
public:
    // The store the topics are written to (none: the model only shows names).
    explicit ModeloTemas(BaseVocabulario* base = nullptr, QObject* padre = nullptr);

    int rowCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;

    void CambiaTemas(QStringList nombres);
    const QStringList& Nombres() const { return nombres_; }
    void MarcaAbierto(int fila);
    // Adds a topic, or renames the one at `fila`, keeping name order; returns its row.
    int AgregaTema(const QString& nombre);
    int CambiaNombre(int fila, const QString& nombre);
    void QuitaTema(int fila);
    // The row of the topic added earliest among those still in the tree (a rename keeps a
    // topic's place in that order), or -1 when the tree is empty.
    int FilaMasAntigua() const;
    int FilaAbierta() const { return abierta_; }

    // Written through: the store first, then the node. A new topic is added; an edited one
    // (`anterior`, its name when the editor opened) is written with its items renamed in one
    // transaction and its node renamed in place. Returns the topic's row.
    int GuardaTema(const Tema& tema, const QString& anterior, bool nuevo);
    // The topic's row goes and its items move to "Sin categoría", both or neither; then its
    // node goes.
    void EliminaTema(int fila);

private:
    int InsertaEnOrden(const QString& nombre, int alta);
    BaseVocabulario* base_;
    QStringList nombres_;
    QList<int> altas_; // for each row, when its topic was added to the tree
    int siguienteAlta_ = 0;
    int abierta_ = -1;
    QIcon cerrado_;
    QIcon abierto_;
};
