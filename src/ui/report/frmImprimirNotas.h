#pragma once
// The preview window of the notes report: the pages, a zoom list, a page box, and the
// commands to refresh, print and set up the printer. The main window waits disabled while
// it is open.

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrintPreviewWidget>
#include <memory>

class InformeNotas;
class QPrinter;

namespace Ui {
class frmImprimirNotas;
}

class frmImprimirNotas : public QMainWindow {
    Q_OBJECT
public:
    frmImprimirNotas();
    ~frmImprimirNotas() override;

    QComboBox* cboZoom;
    QLineEdit* txtCurPage;
    QPrintPreviewWidget* CRViewerDespacho1;

    // The report the viewer shows and prints.
    void AsignaInforme(std::shared_ptr<InformeNotas> informe);

    // The zoom level the combo's text asks for: "150%" gives "150", "Ancho de página" "1",
    // "Página completa" "2", anything else "".
    QString CalculaZoom() const;
    // The page the viewer shows.
    int LeePaginaActual() const;
    // A toolbar button, by its key; an unknown key does nothing.
    void PulsaBoton(const QString& clave);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    InformeNotas& Informe();
    void ActualizaVista();
    void ImprimeInforme();
    void ConfiguraPagina();
    // Shows a page (1 = first; out-of-range numbers leave the page) and puts it in the box.
    void MuestraPagina(int pagina);
    void IrAPaginaEscrita();
    void CambiaZoom();

    // The printer of the preview and of every print from this window: its set-up stays.
    std::unique_ptr<QPrinter> impresora_;
    std::shared_ptr<InformeNotas> informe_;

private:
    std::unique_ptr<Ui::frmImprimirNotas> ui_;
};

// Gives the viewer the current report, fills the zoom list and renders the pages.
void LlenaZoom();
