#pragma once
// The results of a search as a four-column list: English, Spanish, topic, and where it matched
// (a piece of the notes with the match between « », or "¿Quiso decir…?" for a near match).
#include "busqueda/Busqueda.h"

#include <QAbstractTableModel>
#include <vector>

class ModeloResultados : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override;

    // False, with nothing done, when they are the results already listed: the list is not
    // laid out and painted again and its selection stays.
    bool CambiaResultados(std::vector<Busqueda::Hallazgo> resultados);
    const std::vector<Busqueda::Hallazgo>& Resultados() const { return resultados_; }
    // The text of the "Dónde" column for a result.
    static QString Donde(const Busqueda::Hallazgo& hallazgo);

private:
    std::vector<Busqueda::Hallazgo> resultados_;
};
