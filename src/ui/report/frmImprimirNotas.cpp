#include "ui/report/frmImprimirNotas.h"
#include "ui_frmImprimirNotas.h"

#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/report/InformeNotas.h"
#include "ui/ventanas/Ayuda.h"
#include "ui/ventanas/Centrado.h"
#include "ui/ventanas/TeclasDialogo.h"
#include "ui/ventanas/frmAcercade.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <cmath>
#include <optional>

namespace {
const QStringList NivelesZoom{QStringLiteral("Ancho de página"),
                              QStringLiteral("Página completa"),
                              QStringLiteral("400%"),
                              QStringLiteral("300%"),
                              QStringLiteral("200%"),
                              QStringLiteral("150%"),
                              QStringLiteral("100%"),
                              QStringLiteral("75%"),
                              QStringLiteral("50%"),
                              QStringLiteral("25%")};
constexpr int ZoomInicial = 6; // "100%"

// A typed number as a 16-bit integer, rounded to the nearest (halves to even); nothing when
// the text is no number or the number does not fit.
std::optional<qint16> EnteroCorto(const QString& texto)
{
    bool valido = false;
    double valor = QLocale().toDouble(texto.trimmed(), &valido);
    if (!valido)
        valor = QLocale::c().toDouble(texto.trimmed(), &valido);
    if (!valido || !std::isfinite(valor))
        return std::nullopt;
    valor = std::nearbyint(valor);
    if (valor < -32768 || valor > 32767)
        return std::nullopt;
    return static_cast<qint16>(valor);
}

// The toolbar action that comes after `accion` (to place a control in the gap after it).
QAction* AccionSiguiente(QToolBar& barra, QAction* accion)
{
    const QList<QAction*> acciones = barra.actions();
    return acciones.value(acciones.indexOf(accion) + 1);
}
} // namespace

frmImprimirNotas::frmImprimirNotas()
    : impresora_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      ui_(std::make_unique<Ui::frmImprimirNotas>())
{
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose); // unloaded on close: the next preview makes it anew

    CRViewerDespacho1 = new QPrintPreviewWidget(impresora_.get(), this);
    CRViewerDespacho1->setObjectName(QStringLiteral("CRViewerDespacho1"));
    CRViewerDespacho1->setZoomFactor(1.0); // what the zoom list shows at first
    setCentralWidget(CRViewerDespacho1);   // below the toolbar, filling the window
    // The pages are drawn in the preview's own view; it and its drawing area take the focus.
    if (auto* paginas = CRViewerDespacho1->findChild<QGraphicsView*>())
        for (QWidget* vista : {static_cast<QWidget*>(paginas), paginas->viewport()})
            vista->setAccessibleName(QStringLiteral("Páginas de las notas"));
    connect(CRViewerDespacho1, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* impresora) { OmiteFallo([&] { Informe().Imprime(*impresora); }); });

    cboZoom = new QComboBox(ui_->tlbBarraReportes);
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    cboZoom->setEditable(true);
    cboZoom->setInsertPolicy(QComboBox::NoInsert);
    cboZoom->setToolTip(QStringLiteral(" Zoom "));
    cboZoom->lineEdit()->setAccessibleName(cboZoom->toolTip().trimmed()); // the box typed in
    cboZoom->setMinimumContentsLength(NivelesZoom.first().size());
    cboZoom->setMinimumWidth(Twips(1700));
    ui_->tlbBarraReportes->insertWidget(AccionSiguiente(*ui_->tlbBarraReportes, ui_->ConfImpresora),
                                        cboZoom);
    connect(cboZoom, &QComboBox::activated, this, &frmImprimirNotas::CambiaZoom);

    txtCurPage = new QLineEdit(QStringLiteral("0"), ui_->tlbBarraReportes);
    txtCurPage->setObjectName(QStringLiteral("txtCurPage"));
    txtCurPage->setToolTip(QStringLiteral(" Ir a una página específica "));
    txtCurPage->setAlignment(Qt::AlignCenter);
    txtCurPage->setFixedWidth(Twips(720));
    ui_->tlbBarraReportes->insertWidget(ui_->Siguiente, txtCurPage);

    connect(ui_->tlbBarraReportes, &QToolBar::actionTriggered, this,
            [this](QAction* boton) { PulsaBoton(boton->objectName()); });
    // Each menu entry does what the toolbar button of the same name does.
    const std::pair<QAction*, const char*> menus[] = {{ui_->mnuActualizarLista, "Actualizar"},
                                                      {ui_->mnuConfImpresora, "ConfImpresora"},
                                                      {ui_->mnuImprimirLista, "ImprimeRe"},
                                                      {ui_->mnuPrimera, "Primera"},
                                                      {ui_->mnuAnterior, "Anterior"},
                                                      {ui_->mnuSiguiente, "Siguiente"},
                                                      {ui_->mnuUltima, "Ultima"},
                                                      {ui_->mnuAyudaGen, "Ayuda"},
                                                      {ui_->mnuAcercade, "Acercade"}};
    for (const auto& [menu, clave] : menus)
        connect(menu, &QAction::triggered, this,
                [this, clave = QString::fromLatin1(clave)] { PulsaBoton(clave); });
    connect(ui_->mnuSalirLista, &QAction::triggered, this, &QWidget::close);

    // Esc closes the window from any of its controls; Enter in the page box goes to the page.
    new TeclasDialogo(*this);
    txtCurPage->installEventFilter(this);
    CentraEnPantalla(*this);
}

frmImprimirNotas::~frmImprimirNotas()
{
    delete CRViewerDespacho1; // before the printer it previews on
}

void frmImprimirNotas::AsignaInforme(std::shared_ptr<InformeNotas> informe)
{
    informe_ = std::move(informe);
}

InformeNotas& frmImprimirNotas::Informe()
{
    if (!informe_) {
        dsrImprimirNotas();
        informe_ = modTALVEXV20().dsrImprimirNotas;
    }
    return *informe_;
}

QString frmImprimirNotas::CalculaZoom() const
{
    const QString texto = cboZoom->currentText();
    const qsizetype porcentaje = texto.indexOf(QLatin1Char('%'));
    if (porcentaje >= 0)
        return texto.left(porcentaje);
    if (texto == NivelesZoom[0])
        return QStringLiteral("1");
    if (texto == NivelesZoom[1])
        return QStringLiteral("2");
    return {};
}

void frmImprimirNotas::CambiaZoom()
{
    const std::optional<qint16> nivel = EnteroCorto(CalculaZoom());
    if (!nivel)
        return;
    if (*nivel == 1)
        CRViewerDespacho1->fitToWidth();
    else if (*nivel == 2)
        CRViewerDespacho1->fitInView();
    else if (*nivel > 0) // a zoom of nothing or less would show no page at all
        CRViewerDespacho1->setZoomFactor(*nivel / 100.0);
}

int frmImprimirNotas::LeePaginaActual() const
{
    return CRViewerDespacho1->currentPage(); // the viewer renders synchronously: never busy
}

void frmImprimirNotas::PulsaBoton(const QString& clave)
{
    OmiteFallo([&] {
        if (clave == QLatin1String("Actualizar"))
            ActualizaVista();
        else if (clave == QLatin1String("ImprimeRe"))
            ImprimeInforme();
        else if (clave == QLatin1String("ConfImpresora"))
            ConfiguraPagina();
        else if (clave == QLatin1String("Primera"))
            MuestraPagina(1);
        else if (clave == QLatin1String("Anterior"))
            MuestraPagina(LeePaginaActual() - 1);
        else if (clave == QLatin1String("Siguiente"))
            MuestraPagina(LeePaginaActual() + 1);
        else if (clave == QLatin1String("Ultima"))
            MuestraPagina(CRViewerDespacho1->pageCount());
        else if (clave == QLatin1String("Ayuda"))
            AbreAyuda(); // the program's help page, as from the main window
        else if (clave == QLatin1String("Acercade"))
            MuestraAcercade();
    });
}

void frmImprimirNotas::ActualizaVista()
{
    Informe().Recarga();
    CRViewerDespacho1->updatePreview();
}

void frmImprimirNotas::ImprimeInforme()
{
    if (Sistema().DialogoImpresion(*impresora_, this))
        Informe().Imprime(*impresora_);
}

void frmImprimirNotas::ConfiguraPagina()
{
    Sistema().ConfiguraImpresora(*impresora_, this);
    CRViewerDespacho1->updatePreview(); // the paper or the margins may have changed
}

void frmImprimirNotas::MuestraPagina(int pagina)
{
    CRViewerDespacho1->setCurrentPage(pagina);
    txtCurPage->setText(QString::number(LeePaginaActual()));
}

void frmImprimirNotas::IrAPaginaEscrita()
{
    if (const std::optional<qint16> pagina = EnteroCorto(txtCurPage->text()))
        CRViewerDespacho1->setCurrentPage(*pagina);
    txtCurPage->setText(QString::number(LeePaginaActual()));
}

bool frmImprimirNotas::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (objeto == txtCurPage && (tecla == Qt::Key_Return || tecla == Qt::Key_Enter)) {
            IrAPaginaEscrita(); // swallowed: no new line, no beep, no default button
            return true;
        }
    }
    return QMainWindow::eventFilter(objeto, evento);
}

void frmImprimirNotas::resizeEvent(QResizeEvent* evento)
{
    QMainWindow::resizeEvent(evento);
    txtCurPage->setText(QStringLiteral("1"));
}

void frmImprimirNotas::closeEvent(QCloseEvent* evento)
{
    // The main window takes input again as the window hides (its opener said how); the
    // report reads its table once more; the closing pages need no new rendering.
    OmiteFallo([&] { Informe().Recarga(); });
    evento->accept();
}

void LlenaZoom()
{
    frmImprimirNotas& ventana = Ventana<frmImprimirNotas>();
    OmiteFallo([&] {
        dsrImprimirNotas();
        ventana.AsignaInforme(modTALVEXV20().dsrImprimirNotas);
    });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ventana.cboZoom->clear();
    ventana.cboZoom->addItems(NivelesZoom);
    ventana.cboZoom->setCurrentIndex(ZoomInicial);
    OmiteFallo([&] { ventana.CRViewerDespacho1->updatePreview(); });
    QApplication::restoreOverrideCursor();
}
