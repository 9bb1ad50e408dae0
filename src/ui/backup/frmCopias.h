#pragma once
// "Copias automáticas": the copies TALVEX keeps by itself, newest first, with their date and
// time, topics, items and size, and a word on any other file in their folder. "Recuperar" restores
// the chosen one over the working database as the restore dialog does (the same check, question,
// safety copy, messages and end of the program); "Abrir carpeta" opens their folder; Escape closes.
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

class frmCopias : public QWidget {
    Q_OBJECT
public:
    explicit frmCopias(const QString& carpeta);

    void cmdRecuperar_Click();
    void cmdAbrirCarpeta_Click();

private:
    void Llena();
    void Activa(bool activa);

    QString carpeta_;
    QTreeWidget* lvwCopias;
    QLabel* lblSinCopias;
    QLabel* lblAjenos; // files in the folder that are no copies of ours
    QLabel* lblMensajeCopia;
    QPushButton* cmdRecuperar;
    QPushButton* cmdAbrirCarpeta;
    QPushButton* cmdSalirCopias;
};
