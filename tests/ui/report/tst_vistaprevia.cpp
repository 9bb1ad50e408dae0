// The preview window: zoom list, page box, page buttons and menus, printing through the
// platform, help, About, and closing back to the main window.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "data/BaseReporte.h"
#include "data/BaseVocabulario.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/report/InformeNotas.h"
#include "ui/report/frmImprimirNotas.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui/ventanas/frmAcercade.h"

#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QToolButton>

namespace {
// A topic whose listing fills about a page and a half of A4 or Letter.
std::vector<FilaInforme> DosPaginas()
{
    std::vector<FilaInforme> filas{
        {QStringLiteral("CASA"), QStringLiteral("Notas de la casa."), QString()},
        {std::nullopt, std::nullopt, QStringLiteral("LISTADO:")}};
    for (int i = 1; i <= 60; ++i)
        filas.push_back({std::nullopt, std::nullopt, QStringLiteral("room%1 -> cuarto %1").arg(i)});
    return filas;
}

void Pulsa(frmImprimirNotas& v, QAction* boton)
{
    QTest::mouseClick(Hijo<QToolBar>(v, "tlbBarraReportes")->widgetForAction(boton),
                      Qt::LeftButton);
}

// Types into the page box and presses Enter.
void VaAPagina(frmImprimirNotas& v, const QString& texto)
{
    v.txtCurPage->clear();
    QTest::keyClicks(v.txtCurPage, texto);
    QTest::keyClick(v.txtCurPage, Qt::Key_Return);
}

// Chooses an entry of the zoom list with the keyboard, as a click on it would.
void EligeZoom(frmImprimirNotas& v, int indice)
{
    const bool primero = indice == 0;
    v.cboZoom->setCurrentIndex(primero ? 1 : indice - 1);
    QTest::keyClick(v.cboZoom, primero ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(v.cboZoom->currentIndex(), indice);
}

} // namespace

class PruebaVistaPrevia : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { entorno.reset(); }
    void barraYMenusComoSeEsperan();
    void elZoomTraduceElTexto_data();
    void elZoomTraduceElTexto();
    void elCuadroDePaginaVaALaPaginaPedida();
    void losBotonesYMenusDePaginaActualizanElCuadro();
    void actualizarLeeLaTablaDeNuevo();
    void imprimePorElDialogoDelSistema();
    void ayudaYAcercaDe();
    void tabNoSeQuedaEnNingunControl();
    void cerrarHabilitaLaVentanaPrincipal_data();
    void cerrarHabilitaLaVentanaPrincipal();

private:
    // Writes the rows, then opens the preview as the main window's command does.
    frmImprimirNotas& Abre(const std::vector<FilaInforme>& filas);
    void Escribe(const std::vector<FilaInforme>& filas);
    QString Ruta() const { return entorno->Ruta(QStringLiteral("TalvexReport.mdb")); }
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaVistaPrevia::init()
{
    entorno = std::make_unique<EntornoPrueba>();
    CreaBaseReporte(Ruta());
    modTALVEXV20().RutaReporte = Ruta();
}

void PruebaVistaPrevia::Escribe(const std::vector<FilaInforme>& filas)
{
    EscribeInforme(Ruta(), filas);
}

frmImprimirNotas& PruebaVistaPrevia::Abre(const std::vector<FilaInforme>& filas)
{
    Escribe(filas);
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    principal.show();
    principal.setEnabled(false);
    modTALVEXV20().dsrImprimirNotas.reset();
    LlenaZoom();
    frmImprimirNotas& vista = Ventana<frmImprimirNotas>();
    AbreSobrePrincipal(vista); // as the preview command opens it
    [&] { QVERIFY(QTest::qWaitForWindowExposed(&vista)); }();
    return vista;
}

void PruebaVistaPrevia::barraYMenusComoSeEsperan()
{
    frmImprimirNotas& nueva = Ventana<frmImprimirNotas>();
    QCOMPARE(nueva.txtCurPage->text(), QStringLiteral("0")); // before the window is shown
    frmImprimirNotas& v = Abre(DosPaginas());
    QCOMPARE(v.windowTitle(), QStringLiteral("Imprimir notas"));
    QVERIFY(!v.windowIcon().isNull());

    // The toolbar, left to right: buttons by key, the two boxes by name.
    QStringList orden, ayudas;
    for (QAction* accion : Hijo<QToolBar>(v, "tlbBarraReportes")->actions()) {
        if (accion->isSeparator())
            continue;
        QWidget* control = Hijo<QToolBar>(v, "tlbBarraReportes")->widgetForAction(accion);
        const bool boton = qobject_cast<QToolButton*>(control) != nullptr;
        orden << (boton ? accion->objectName() : control->objectName());
        ayudas << (boton ? accion->toolTip() : control->toolTip());
        if (boton)
            QVERIFY2(!accion->icon().isNull(), qPrintable(accion->objectName()));
    }
    QCOMPARE(orden,
             (QStringList{"Actualizar", "ImprimeRe", "ConfImpresora", "cboZoom", "Primera",
                          "Anterior", "txtCurPage", "Siguiente", "Ultima", "Ayuda", "Acercade"}));
    QCOMPARE(ayudas,
             (QStringList{"Actualizar", "Imprimir", "Configurar impresora", " Zoom ",
                          "Primera página", "Página anterior", " Ir a una página específica ",
                          "Página Siguiente", "Última página", "Ayuda general", "Acerca de..."}));

    // The zoom list after LlenaZoom.
    QStringList niveles;
    for (int i = 0; i < v.cboZoom->count(); ++i)
        niveles << v.cboZoom->itemText(i);
    QCOMPARE(niveles, (QStringList{"Ancho de página", "Página completa", "400%", "300%", "200%",
                                   "150%", "100%", "75%", "50%", "25%"}));
    QCOMPARE(v.cboZoom->currentText(), QStringLiteral("100%"));
    QCOMPARE(v.CRViewerDespacho1->zoomFactor(), 1.0);

    // The menus, exactly, with no shortcut keys.
    QCOMPARE(TextosDeAcciones(v.menuBar()->actions()),
             (QStringList{"&Archivo", "&Páginas", "Ay&uda"}));
    QCOMPARE(Hijo<QMenu>(v, "mnuArchivoLista")->menuAction(), v.menuBar()->actions()[0]);
    const QString salir =
        QStringLiteral("&Salir") + QString(41, QLatin1Char(' ')) + QStringLiteral("Alt+F4");
    QCOMPARE(salir.size(), 53);
    QCOMPARE(
        TextosDeAcciones(Hijo<QMenu>(v, "mnuArchivoLista")->actions()),
        (QStringList{"&Actualizar", "-", "&Configurar impresora...", "&Imprimir...", "-", salir}));
    QCOMPARE(TextosDeAcciones(Hijo<QMenu>(v, "mnuPaginas")->actions()),
             (QStringList{"&Primera página", "Página &anterior", "Página &siguiente",
                          "Últi&ma página"}));
    QCOMPARE(TextosDeAcciones(Hijo<QMenu>(v, "mnuAyuda")->actions()),
             (QStringList{"Ayuda &General...", "&Acerca de..."}));
    for (QAction* accion : v.findChildren<QAction*>())
        QVERIFY2(accion->shortcut().isEmpty(), qPrintable(accion->objectName()));
}

void PruebaVistaPrevia::elZoomTraduceElTexto_data()
{
    QTest::addColumn<int>("indice"); // in the list; -1 for typed text
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("nivel");
    QTest::addColumn<int>("modo"); // the viewer's zoom mode afterwards
    QTest::addColumn<double>("factor");
    const int libre = QPrintPreviewWidget::CustomZoom;
    QTest::newRow("ancho") << 0 << "Ancho de página"
                           << "1" << int(QPrintPreviewWidget::FitToWidth) << 0.0;
    QTest::newRow("completa") << 1 << "Página completa"
                              << "2" << int(QPrintPreviewWidget::FitInView) << 0.0;
    QTest::newRow("400") << 2 << "400%"
                         << "400" << libre << 4.0;
    QTest::newRow("300") << 3 << "300%"
                         << "300" << libre << 3.0;
    QTest::newRow("200") << 4 << "200%"
                         << "200" << libre << 2.0;
    QTest::newRow("150") << 5 << "150%"
                         << "150" << libre << 1.5;
    QTest::newRow("100") << 6 << "100%"
                         << "100" << libre << 1.0;
    QTest::newRow("75") << 7 << "75%"
                        << "75" << libre << 0.75;
    QTest::newRow("50") << 8 << "50%"
                        << "50" << libre << 0.5;
    QTest::newRow("25") << 9 << "25%"
                        << "25" << libre << 0.25;
    // Typed text only gives a level; the zoom changes on a choice from the list.
    QTest::newRow("80% escrito") << -1 << "80%"
                                 << "80" << libre << 1.0;
    QTest::newRow("abc escrito") << -1 << "abc"
                                 << "" << libre << 1.0;
}

void PruebaVistaPrevia::elZoomTraduceElTexto()
{
    QFETCH(int, indice);
    QFETCH(QString, texto);
    QFETCH(QString, nivel);
    QFETCH(int, modo);
    QFETCH(double, factor);
    frmImprimirNotas& v = Abre(DosPaginas());
    if (indice >= 0) {
        EligeZoom(v, indice);
    } else {
        v.cboZoom->lineEdit()->clear();
        QTest::keyClicks(v.cboZoom->lineEdit(), texto);
        QTest::keyClick(v.cboZoom->lineEdit(), Qt::Key_Return);
    }
    QCOMPARE(v.cboZoom->currentText(), texto);
    QCOMPARE(v.CalculaZoom(), nivel);
    QCOMPARE(int(v.CRViewerDespacho1->zoomMode()), modo);
    if (modo == QPrintPreviewWidget::CustomZoom)
        QCOMPARE(v.CRViewerDespacho1->zoomFactor(), factor);
    QCOMPARE(v.cboZoom->count(), 10); // typed text is not added to the list
}

void PruebaVistaPrevia::elCuadroDePaginaVaALaPaginaPedida()
{
    frmImprimirNotas& v = Abre(DosPaginas());
    QCOMPARE(v.CRViewerDespacho1->pageCount(), 2);
    QCOMPARE(v.txtCurPage->text(), QStringLiteral("1")); // set when the window was shown
    const int pitidos = entorno->plataforma.pitidos;

    VaAPagina(v, QStringLiteral("2"));
    QCOMPARE(v.LeePaginaActual(), 2);
    QCOMPARE(v.txtCurPage->text(), QStringLiteral("2"));
    // A page beyond the last: the box ends showing the page the viewer really shows.
    VaAPagina(v, QStringLiteral("3"));
    QCOMPARE(v.txtCurPage->text(), QString::number(v.LeePaginaActual()));
    QCOMPARE(v.LeePaginaActual(), 2);
    // Not a number: no page change, the box shows the current page.
    VaAPagina(v, QStringLiteral("abc"));
    QCOMPARE(v.txtCurPage->text(), QStringLiteral("2"));
    QCOMPARE(v.LeePaginaActual(), 2);
    // A fraction is rounded to the nearest page; 70000 does not fit in 16 bits.
    VaAPagina(v, QStringLiteral("0.6"));
    QCOMPARE(v.txtCurPage->text(), QStringLiteral("1"));
    VaAPagina(v, QStringLiteral("70000"));
    QCOMPARE(v.txtCurPage->text(), QStringLiteral("1"));
    QCOMPARE(entorno->plataforma.pitidos, pitidos); // Enter makes no beep

    // Other keys type into the box as usual; nothing moves until Enter.
    v.txtCurPage->clear();
    QTest::keyClicks(v.txtCurPage, QStringLiteral("12"));
    QTest::keyClick(v.txtCurPage, Qt::Key_Backspace);
    QCOMPARE(v.txtCurPage->text(), QStringLiteral("1"));
    QVERIFY(v.isVisible());

    // After a resize the box reads 1, whatever page is shown.
    VaAPagina(v, QStringLiteral("2"));
    v.resize(v.width() + 40, v.height() + 20);
    QTRY_COMPARE(v.txtCurPage->text(), QStringLiteral("1"));
    QCOMPARE(v.LeePaginaActual(), 2);
}

void PruebaVistaPrevia::losBotonesYMenusDePaginaActualizanElCuadro()
{
    frmImprimirNotas& v = Abre(DosPaginas());
    const QList<std::tuple<QAction*, QAction*, int>> pasos{
        {Hijo<QAction>(v, "Ultima"), Hijo<QAction>(v, "mnuUltima"), 2},
        {Hijo<QAction>(v, "Siguiente"), Hijo<QAction>(v, "mnuSiguiente"), 2},
        {Hijo<QAction>(v, "Anterior"), Hijo<QAction>(v, "mnuAnterior"), 1},
        {Hijo<QAction>(v, "Anterior"), Hijo<QAction>(v, "mnuAnterior"), 1},
        {Hijo<QAction>(v, "Siguiente"), Hijo<QAction>(v, "mnuSiguiente"), 2},
        {Hijo<QAction>(v, "Primera"), Hijo<QAction>(v, "mnuPrimera"), 1}};
    for (const auto& [boton, menu, pagina] : pasos) {
        v.txtCurPage->setText(QStringLiteral("x"));
        Pulsa(v, boton);
        QCOMPARE(v.LeePaginaActual(), pagina);
        QCOMPARE(v.txtCurPage->text(), QString::number(pagina));
    }
    for (const auto& [boton, menu, pagina] : pasos) {
        v.txtCurPage->setText(QStringLiteral("x"));
        menu->trigger();
        QCOMPARE(v.LeePaginaActual(), pagina);
        QCOMPARE(v.txtCurPage->text(), QString::number(pagina));
    }
    v.PulsaBoton(QStringLiteral("Desconocido")); // an unknown key does nothing
    QCOMPARE(v.LeePaginaActual(), 1);
}

void PruebaVistaPrevia::actualizarLeeLaTablaDeNuevo()
{
    frmImprimirNotas& v =
        Abre({{QStringLiteral("CORTO"), QStringLiteral("Una línea."), std::nullopt}});
    QCOMPARE(v.CRViewerDespacho1->pageCount(), 1);
    Escribe(DosPaginas());
    Pulsa(v, Hijo<QAction>(v, "Actualizar"));
    QCOMPARE(v.CRViewerDespacho1->pageCount(), 2);
    Escribe({{QStringLiteral("OTRA"), QString(), std::nullopt}});
    Hijo<QAction>(v, "mnuActualizarLista")->trigger();
    QCOMPARE(v.CRViewerDespacho1->pageCount(), 1);
}

void PruebaVistaPrevia::imprimePorElDialogoDelSistema()
{
    frmImprimirNotas& v = Abre(DosPaginas());
    PlataformaGuionada& plataforma = entorno->plataforma;
    plataforma.pdf = entorno->Ruta(QStringLiteral("notas.pdf"));
    Pulsa(v, Hijo<QAction>(v, "ImprimeRe"));
    QCOMPARE(plataforma.impresiones, 1);
    const QByteArray pdf = LeeArchivo(plataforma.pdf);
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdf.count("/Type /Page\n"), 2);

    // Cancelled in the dialog: nothing is printed.
    plataforma.cancelaImpresion = true;
    plataforma.pdf = entorno->Ruta(QStringLiteral("cancelado.pdf"));
    Hijo<QAction>(v, "mnuImprimirLista")->trigger();
    QCOMPARE(plataforma.impresiones, 2);
    QVERIFY(!QFile::exists(plataforma.pdf));

    // The printer set-up dialog, from the button and from the menu; the pages stay.
    Pulsa(v, Hijo<QAction>(v, "ConfImpresora"));
    Hijo<QAction>(v, "mnuConfImpresora")->trigger();
    QCOMPARE(plataforma.configuraciones, 2);
    QCOMPARE(v.CRViewerDespacho1->pageCount(), 2);
    QVERIFY(plataforma.mensajes.isEmpty());
}

void PruebaVistaPrevia::tabNoSeQuedaEnNingunControl()
{
    frmImprimirNotas& v = Abre(DosPaginas());
    QVERIFY(QTest::qWaitForWindowActive(&v));
    CompruebaQueTabNoSeQueda(v);
}

void PruebaVistaPrevia::ayudaYAcercaDe()
{
    frmImprimirNotas& v = Abre(DosPaginas());
    const QUrl ayuda = QUrl::fromLocalFile(entorno->Carpeta() + QStringLiteral("/TALVEXV20.html"));
    Pulsa(v, Hijo<QAction>(v, "Ayuda"));
    Hijo<QAction>(v, "mnuAyudaGen")->trigger();
    QCOMPARE(entorno->plataforma.direcciones, (QList<QUrl>{ayuda, ayuda}));

    // About disables the main window, not the preview; closing it enables the main window
    // again while the preview stays open.
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    principal.setEnabled(true);
    Pulsa(v, Hijo<QAction>(v, "Acercade"));
    QPointer<frmAcercade> acercade = &Ventana<frmAcercade>();
    QVERIFY(acercade->isVisible());
    QVERIFY(!principal.isEnabled());
    QVERIFY(v.isEnabled() && v.isVisible());
    Hijo<QPushButton>(acercade, "cmdAcercade")->click();
    QTRY_VERIFY(acercade.isNull());
    QVERIFY(principal.isEnabled());
    QVERIFY(v.isVisible());

    principal.setEnabled(false);
    Hijo<QAction>(v, "mnuAcercade")->trigger();
    QVERIFY(Ventana<frmAcercade>().isVisible());
    Ventana<frmAcercade>().close();
    QVERIFY(principal.isEnabled());
    QVERIFY(v.isVisible());
}

void PruebaVistaPrevia::cerrarHabilitaLaVentanaPrincipal_data()
{
    QTest::addColumn<QString>("manera");
    for (const char* manera : {"Esc en el cuadro de página", "Esc en el zoom", "Esc en el visor",
                               "Salir", "cierre de la ventana"})
        QTest::newRow(manera) << QString::fromUtf8(manera);
}

void PruebaVistaPrevia::cerrarHabilitaLaVentanaPrincipal()
{
    QFETCH(QString, manera);
    QPointer<frmImprimirNotas> v = &Abre(DosPaginas());
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    QVERIFY(!principal.isEnabled());
    if (manera == QLatin1String("Esc en el cuadro de página"))
        QTest::keyClick(v->txtCurPage, Qt::Key_Escape);
    else if (manera == QLatin1String("Esc en el zoom"))
        QTest::keyClick(v->cboZoom->lineEdit(), Qt::Key_Escape);
    else if (manera == QLatin1String("Esc en el visor"))
        QTest::keyClick(v->CRViewerDespacho1->findChild<QAbstractScrollArea*>()->viewport(),
                        Qt::Key_Escape);
    else if (manera == QLatin1String("Salir"))
        Hijo<QAction>(v, "mnuSalirLista")->trigger();
    else
        v->close();
    QVERIFY(principal.isEnabled());
    QTRY_VERIFY(v.isNull()); // unloaded: the next preview makes it anew
    QVERIFY(!VentanaCargada<frmImprimirNotas>());
}

QTEST_MAIN(PruebaVistaPrevia)
#include "tst_vistaprevia.moc"
