#pragma once
// The nodes of the topic tree: one per topic, flat, in name order. The selected node shows
// the "open" picture and every other node the "closed" one.
#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

class ModeloTemas : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ModeloTemas(QObject* padre = nullptr);

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

private:
    int InsertaEnOrden(const QString& nombre, int alta);
    QStringList nombres_;
    QList<int> altas_; // for each row, when its topic was added to the tree
    int siguienteAlta_ = 0;
    int abierta_ = -1;
    QIcon cerrado_;
    QIcon abierto_;
};
