#pragma once
// "Estadísticas": what practice has done, for the whole vocabulary or one topic, in five pages
// (due reviews, the calendar of the year, true retention, the cards and the words known, the
// hours); the chart or table of the page shown can be saved as a picture or a PDF. It only
// reads the file.
#include "repaso/Estadisticas.h"

#include <QWidget>

#include <optional>

class BaseVocabulario;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

class frmEstadisticas : public QWidget {
    Q_OBJECT
public:
    // `temas`: the topics offered; `tema`: the one chosen at first (none: the whole
    // vocabulary). `base` must outlive the window.
    frmEstadisticas(BaseVocabulario& base, const QStringList& temas,
                    const std::optional<QString>& tema, QWidget* padre = nullptr);

    // The title a saved chart carries: the page, the choice and today's date.
    QString TituloGrafico() const;

private:
    void Calcula();
    void Muestra();
    QWidget* CreaVencimientos();
    QWidget* CreaCalendario();
    QWidget* CreaRetencion();
    QWidget* CreaTarjetas();
    QWidget* CreaHoras();
    void MuestraVencimientos();
    void Guarda();
    std::optional<QString> TemaElegido() const;

    BaseVocabulario& base_;
    Repaso::Estadisticas cifras_;
    QDate hoy_;
    QComboBox* cboEleccion;
    QTabWidget* tabPaginas;
    QComboBox* cboPlazo = nullptr;
    QWidget* vencimientos_ = nullptr; // the page's chart, remade when the span changes
    QPushButton* cmdGuardar;
    QPushButton* cmdCerrar;
};
