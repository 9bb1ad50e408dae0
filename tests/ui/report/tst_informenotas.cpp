// The notes report document: its text follows the report table, its pages hold every line
// whole between the page head and foot, and printing gives one PDF page per page.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Interfaz.h"
#include "data/BaseReporte.h"
#include "data/BaseVocabulario.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/report/InformeNotas.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace {
FilaInforme Encabezado(const QString& titulo, const QString& notas)
{
    return {titulo, notas, std::nullopt};
}

FilaInforme Linea(const QString& texto)
{
    return {std::nullopt, std::nullopt, texto};
}

// The rows the preparation writes for a topic with items.
std::vector<FilaInforme> FilasTema(const QString& nombre, const QString& notas,
                                   const QStringList& listado)
{
    std::vector<FilaInforme> filas{{nombre, notas, QString()},
                                   Linea(QString()),
                                   Linea(QStringLiteral("LISTADO:")),
                                   Linea(QString())};
    for (const QString& linea : listado)
        filas.push_back(Linea(linea));
    return filas;
}

QStringList Numeradas(const QString& modelo, int cuantas)
{
    QStringList lineas;
    for (int i = 1; i <= cuantas; ++i)
        lineas << modelo.arg(i);
    return lineas;
}

std::unique_ptr<QPrinter> ImpresoraPdf(const QString& archivo,
                                       QPrinter::PrinterMode modo = QPrinter::HighResolution)
{
    auto impresora = std::make_unique<QPrinter>(modo);
    impresora->setOutputFormat(QPrinter::PdfFormat);
    impresora->setOutputFileName(archivo);
    impresora->setPageSize(QPageSize(QPageSize::A4));
    return impresora;
}

int PaginasPdf(const QByteArray& pdf)
{
    static const QRegularExpression Pagina(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    int paginas = 0;
    for (auto coincidencias = Pagina.globalMatch(QString::fromLatin1(pdf)); coincidencias.hasNext();
         coincidencias.next())
        ++paginas;
    return paginas;
}

// Every line of the laid-out document lies whole inside one page, and the pages start in
// order, each at a line's top: nothing is cut at a page break and nothing is left out.
void CompruebaPaginas(const QTextDocument& documento, const std::vector<double>& inicios,
                      double alto)
{
    QVERIFY(!inicios.empty());
    QCOMPARE(inicios.front(), 0.0);
    QVERIFY(std::is_sorted(inicios.begin(), inicios.end()));
    std::vector<double> arribas; // every line's top, in order
    for (QTextBlock bloque = documento.begin(); bloque.isValid(); bloque = bloque.next()) {
        const QTextLayout* disposicion = bloque.layout();
        for (int i = 0; i < disposicion->lineCount(); ++i) {
            const QTextLine linea = disposicion->lineAt(i);
            const double arriba = disposicion->position().y() + linea.y();
            const auto pagina = std::upper_bound(inicios.begin(), inicios.end(), arriba) - 1;
            const double fin = std::next(pagina) == inicios.end()
                                   ? *pagina + alto
                                   : qMin(*pagina + alto, *std::next(pagina));
            if (arriba + linea.height() > fin)
                QFAIL(qPrintable(QStringLiteral("la línea «%1» cruza el final de la página %2")
                                     .arg(bloque.text().mid(linea.textStart(), linea.textLength()))
                                     .arg(pagina - inicios.begin() + 1)));
            arribas.push_back(arriba);
        }
    }
    for (const double inicio : inicios)
        QVERIFY(std::find(arribas.begin(), arribas.end(), inicio) != arribas.end());
    QVERIFY(arribas.back() >= inicios.back()); // the last page is not empty
}
} // namespace

class PruebaInformeNotas : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { entorno.reset(); }
    void elTextoSigueLaTablaLineaALinea();
    void unArchivoAusenteDaUnInformeVacio();
    void cadaInstanciaNuevaLeeLaTabla();
    void laPaginaDejaSitioACabeceraYPie_data();
    void laPaginaDejaSitioACabeceraYPie();
    void lasPaginasCrecenSinPerderNiCortarLineas();
    void elPdfTieneUnaPaginaPorPagina();
    void cadaHojaPintaSusLineasYNadaMas();
    void laComposicionNoDependeDeLaResolucion();
    void rendimientoDeUnInformeGrande();

private:
    // Replaces the rows of INFORME1 in the test's report database.
    void Escribe(const std::vector<FilaInforme>& filas);
    QString Ruta() const { return entorno->Ruta(QStringLiteral("TalvexReport.mdb")); }
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaInformeNotas::init()
{
    entorno = std::make_unique<EntornoPrueba>();
    CreaBaseReporte(Ruta());
    modTALVEXV20().RutaReporte = Ruta();
}

void PruebaInformeNotas::Escribe(const std::vector<FilaInforme>& filas)
{
    EscribeInforme(Ruta(), filas);
}

void PruebaInformeNotas::elTextoSigueLaTablaLineaALinea()
{
    // Notes with every kind of line end, an empty line and a line break at the very end.
    Escribe(FilasTema(QStringLiteral("CANCIÓN"),
                      QStringLiteral("Primera\r\nSegunda\n\nCuarta, tras una vacía\rQuinta\r\n"),
                      {QStringLiteral("song -> canción"), QStringLiteral("a -> b -> c"),
                       QStringLiteral("tune -> melodía")}));
    InformeNotas tema(Ruta());
    QCOMPARE(
        tema.TextoCompleto().split(QLatin1Char('\n')),
        (QStringList{"CANCIÓN", "Primera", "Segunda", "", "Cuarta, tras una vacía", "Quinta", "",
                     "", "", "LISTADO:", "", "song -> canción", "a -> b -> c", "tune -> melodía"}));
    QVERIFY(tema.Titulo().isEmpty());
    tema.CambiaTitulo(QStringLiteral("Notas"));
    QCOMPARE(tema.Titulo(), QStringLiteral("Notas"));

    // An item: one row, no listing; empty notes add no line.
    Escribe({Encabezado(QStringLiteral("HOUSE -> CASA"), QStringLiteral("x"))});
    QCOMPARE(InformeNotas(Ruta()).TextoCompleto(), QStringLiteral("HOUSE -> CASA\nx"));
    Escribe({Encabezado(QStringLiteral("HOME -> HOGAR"), QString())});
    QCOMPARE(InformeNotas(Ruta()).TextoCompleto(), QStringLiteral("HOME -> HOGAR"));
}

void PruebaInformeNotas::unArchivoAusenteDaUnInformeVacio()
{
    InformeNotas informe(entorno->Ruta(QStringLiteral("no-existe.mdb")));
    QCOMPARE(informe.TextoCompleto(), QString());
    const QString archivo = entorno->Ruta(QStringLiteral("vacio.pdf"));
    auto impresora = ImpresoraPdf(archivo);
    QCOMPARE(informe.CuentaPaginas(*impresora), 1);
    informe.Imprime(*impresora);
    QCOMPARE(PaginasPdf(LeeArchivo(archivo)), 1);
}

void PruebaInformeNotas::cadaInstanciaNuevaLeeLaTabla()
{
    Escribe({Encabezado(QStringLiteral("ANTES"), QStringLiteral("uno"))});
    InformeNotas& primero = dsrImprimirNotas();
    QCOMPARE(&dsrImprimirNotas(), &primero); // one instance until the next preparation
    Escribe({Encabezado(QStringLiteral("DESPUÉS"), QStringLiteral("dos"))});
    QCOMPARE(primero.TextoCompleto(), QStringLiteral("ANTES\nuno"));

    modTALVEXV20().dsrImprimirNotas.reset(); // what the preparation does
    QCOMPARE(dsrImprimirNotas().TextoCompleto(), QStringLiteral("DESPUÉS\ndos"));

    Escribe({Encabezado(QStringLiteral("OTRA VEZ"), QString())});
    dsrImprimirNotas().Recarga();
    QCOMPARE(dsrImprimirNotas().TextoCompleto(), QStringLiteral("OTRA VEZ"));
}

void PruebaInformeNotas::laPaginaDejaSitioACabeceraYPie_data()
{
    QTest::addColumn<int>("papel");       // QPageSize::PageSizeId
    QTest::addColumn<int>("orientacion"); // QPageLayout::Orientation
    QTest::addColumn<double>("margen");   // the page set-up's, in mm (0: the printer's own)
    QTest::addColumn<bool>("paginaEntera");
    QTest::newRow("A4") << int(QPageSize::A4) << int(QPageLayout::Portrait) << 0.0 << false;
    QTest::newRow("Carta apaisada")
        << int(QPageSize::Letter) << int(QPageLayout::Landscape) << 0.0 << false;
    QTest::newRow("márgenes anchos")
        << int(QPageSize::A4) << int(QPageLayout::Portrait) << 32.0 << false;
    QTest::newRow("página entera")
        << int(QPageSize::Letter) << int(QPageLayout::Portrait) << 5.0 << true;
}

void PruebaInformeNotas::laPaginaDejaSitioACabeceraYPie()
{
    QFETCH(int, papel);
    QFETCH(int, orientacion);
    QFETCH(double, margen);
    QFETCH(bool, paginaEntera);
    auto impresora = ImpresoraPdf(entorno->Ruta(QStringLiteral("x.pdf")));
    impresora->setPageSize(QPageSize(QPageSize::PageSizeId(papel)));
    impresora->setPageOrientation(QPageLayout::Orientation(orientacion));
    if (margen > 0)
        impresora->setPageMargins(QMarginsF(margen, margen, margen, margen),
                                  QPageLayout::Millimeter);
    impresora->setFullPage(paginaEntera);

    const GeometriaPagina pagina = InformeNotas::MidePagina(*impresora);
    const double mm = impresora->resolution() / 25.4;
    // Back to paper coordinates: the painter's origin is the printable area's corner.
    const QPointF origen =
        paginaEntera ? QPointF() : impresora->pageRect(QPrinter::DevicePixel).topLeft();
    const QRectF papelImpreso = impresora->paperRect(QPrinter::DevicePixel)
                                    .adjusted(qMax(margen, 20.0) * mm, qMax(margen, 20.0) * mm,
                                              -qMax(margen, 20.0) * mm, -qMax(margen, 20.0) * mm);
    const QRectF todo = pagina.cabecera.united(pagina.cuerpo).united(pagina.pie).translated(origen);
    QVERIFY2(papelImpreso.adjusted(-1, -1, 1, 1).contains(todo), "fuera de los márgenes");
    QVERIFY(pagina.cabecera.bottom() < pagina.cuerpo.top());
    QVERIFY(pagina.cuerpo.bottom() < pagina.pie.top());
    QVERIFY(pagina.cabecera.height() >= 6 * mm && pagina.pie.height() >= 6 * mm);
    QVERIFY(pagina.cuerpo.height() > papelImpreso.height() - 30 * mm);

    Escribe({Encabezado(QStringLiteral("T"), QStringLiteral("n"))});
    InformeNotas informe(Ruta());
    informe.Compone(*impresora);
    QCOMPARE(informe.Documento().textWidth(), pagina.cuerpo.width());
}

void PruebaInformeNotas::lasPaginasCrecenSinPerderNiCortarLineas()
{
    auto impresora = ImpresoraPdf(entorno->Ruta(QStringLiteral("x.pdf")));
    const double alto = InformeNotas::MidePagina(*impresora).cuerpo.height();
    const QString notaLarga = QStringLiteral(
        "Nota %1: una línea tan larga que no cabe a lo ancho de la hoja y sigue en la siguiente "
        "línea del papel sin perder ninguna de sus palabras por el camino.");
    const QString sinEspacios = QString(400, QLatin1Char('w')); // wraps anywhere, never cut

    Escribe(FilasTema(QStringLiteral("CORTO"), QStringLiteral("Una nota."), {"a -> b"}));
    QCOMPARE(InformeNotas(Ruta()).CuentaPaginas(*impresora), 1);

    QStringList notas = Numeradas(notaLarga, 300);
    notas << sinEspacios;
    Escribe(FilasTema(QStringLiteral("NOTAS LARGAS"), notas.join(QStringLiteral("\r\n")), {}));
    InformeNotas largas(Ruta());
    const int paginasNotas = largas.CuentaPaginas(*impresora);
    QVERIFY2(paginasNotas >= 8, qPrintable(QString::number(paginasNotas)));
    CompruebaPaginas(largas.Documento(), largas.Compone(*impresora), alto);
    const QStringList textoNotas = largas.TextoCompleto().split(QLatin1Char('\n'));
    for (const QString& nota : notas)
        QCOMPARE(textoNotas.count(nota), 1);

    const QStringList listado = Numeradas(QStringLiteral("word%1 -> palabra %1"), 2000);
    Escribe(FilasTema(QStringLiteral("LISTADO LARGO"), QString(), listado));
    InformeNotas largo(Ruta());
    const int paginasListado = largo.CuentaPaginas(*impresora);
    CompruebaPaginas(largo.Documento(), largo.Compone(*impresora), alto);
    // At most one listing line per 4 mm of the page: 2,000 lines take many pages.
    const double lineasPorPagina = alto / (4 * impresora->resolution() / 25.4);
    QVERIFY2(paginasListado >= 2000 / lineasPorPagina, qPrintable(QString::number(paginasListado)));
    const QStringList textoListado = largo.TextoCompleto().split(QLatin1Char('\n'));
    QCOMPARE(textoListado.mid(textoListado.size() - 2000), listado);
}

void PruebaInformeNotas::elPdfTieneUnaPaginaPorPagina()
{
    Escribe(FilasTema(QStringLiteral("VIAJES"),
                      Numeradas(QStringLiteral("Frase %1."), 80).join("\r\n"),
                      Numeradas(QStringLiteral("trip%1 -> viaje %1"), 150)));
    InformeNotas informe(Ruta());
    informe.CambiaTitulo(QStringLiteral("Notas"));
    const QString archivo = entorno->Ruta(QStringLiteral("viajes.pdf"));
    auto impresora = ImpresoraPdf(archivo);
    const int paginas = informe.CuentaPaginas(*impresora);
    QVERIFY(paginas >= 3);
    informe.Imprime(*impresora);
    const QByteArray pdf = LeeArchivo(archivo);
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(PaginasPdf(pdf), paginas);

    // Printing again on the same printer gives the same pages (the preview does so often).
    QVERIFY(QFile::remove(archivo));
    informe.Imprime(*impresora);
    QCOMPARE(PaginasPdf(LeeArchivo(archivo)), paginas);
}

void PruebaInformeNotas::cadaHojaPintaSusLineasYNadaMas()
{
    Escribe(FilasTema(QStringLiteral("VIAJES"),
                      Numeradas(QStringLiteral("Frase %1 de las notas."), 60).join("\r\n"),
                      Numeradas(QStringLiteral("trip%1 -> viaje %1"), 90)));
    InformeNotas informe(Ruta());
    auto impresora =
        ImpresoraPdf(entorno->Ruta(QStringLiteral("x.pdf")), QPrinter::ScreenResolution);
    const std::vector<double> inicios = informe.Compone(*impresora);
    QVERIFY(inicios.size() >= 3);
    const GeometriaPagina pagina = InformeNotas::MidePagina(*impresora);
    const QTextDocument& documento = informe.Documento();
    const int izquierda = int(pagina.cuerpo.left()), derecha = int(pagina.cuerpo.right());
    auto entinta = [&](const QImage& hoja, int y) {
        const auto* fila = reinterpret_cast<const QRgb*>(hoja.constScanLine(y));
        return std::any_of(fila + izquierda, fila + derecha, [](QRgb p) { return qGray(p) < 200; });
    };
    for (size_t n = 0; n < inicios.size(); ++n) {
        QImage hoja(impresora->pageRect(QPrinter::DevicePixel).size().toSize(),
                    QImage::Format_RGB32);
        hoja.fill(Qt::white);
        {
            QPainter pintor(&hoja);
            informe.PintaPagina(pintor, int(n));
        }
        // Where this page's lines must land on the sheet, and which of them show ink.
        const double fin =
            n + 1 < inicios.size() ? inicios[n + 1] : inicios[n] + pagina.cuerpo.height();
        QList<QPair<double, double>> cajas, escritas;
        for (QTextBlock bloque = documento.begin(); bloque.isValid(); bloque = bloque.next())
            for (int i = 0; i < bloque.layout()->lineCount(); ++i) {
                const QTextLine linea = bloque.layout()->lineAt(i);
                const double arriba = bloque.layout()->position().y() + linea.y();
                if (arriba < inicios[n] || arriba >= fin)
                    continue;
                const double y = pagina.cuerpo.top() + arriba - inicios[n];
                cajas << qMakePair(y - 1, y + linea.height() + 1);
                if (!bloque.text().mid(linea.textStart(), linea.textLength()).trimmed().isEmpty())
                    escritas << qMakePair(y, y + linea.height());
            }
        // No ink between the head's rule and the foot's but on this page's lines...
        for (int y = int(pagina.cabecera.bottom()) + 2; y < int(pagina.pie.top()) - 1; ++y)
            if (entinta(hoja, y))
                QVERIFY2(
                    std::any_of(cajas.begin(), cajas.end(),
                                [y](auto caja) { return y >= caja.first && y <= caja.second; }),
                    qPrintable(QStringLiteral("tinta fuera de sitio en la hoja %1, fila %2")
                                   .arg(n + 1)
                                   .arg(y)));
        // ...and each of those lines is there.
        for (const auto& [arriba, abajo] : escritas) {
            bool hay = false;
            for (int y = int(arriba); y < int(abajo) && !hay; ++y)
                hay = entinta(hoja, y);
            QVERIFY2(hay, qPrintable(QStringLiteral("falta una línea en la hoja %1").arg(n + 1)));
        }
    }
}

void PruebaInformeNotas::laComposicionNoDependeDeLaResolucion()
{
    Escribe(FilasTema(QStringLiteral("COLORES"),
                      Numeradas(QStringLiteral("Color %1: una frase que ocupa más de una línea del "
                                               "papel para ver dónde parte cada renglón."),
                                40)
                          .join("\r\n"),
                      Numeradas(QStringLiteral("colour%1 -> color %1"), 60)));
    InformeNotas informe(Ruta());
    // Per block: its number of lines and where its first line starts, in mm.
    auto mide = [&](QPrinter::PrinterMode modo) {
        auto impresora = ImpresoraPdf(entorno->Ruta(QStringLiteral("x.pdf")), modo);
        informe.Compone(*impresora);
        const QTextDocument& documento = informe.Documento();
        const double mm = impresora->resolution() / 25.4;
        QList<QPair<int, int>> medidas;
        for (QTextBlock bloque = documento.begin(); bloque.isValid(); bloque = bloque.next())
            medidas << qMakePair(bloque.layout()->lineCount(),
                                 qRound(bloque.layout()->lineAt(0).x() / mm * 2));
        return qMakePair(medidas, informe.CuentaPaginas(*impresora));
    };
    const auto pantalla = mide(QPrinter::ScreenResolution);
    const auto alta = mide(QPrinter::HighResolution);
    QCOMPARE(alta.first, pantalla.first);
    QCOMPARE(alta.second, pantalla.second);
    QVERIFY(alta.first.last().second > 0); // the listing is indented
}

void PruebaInformeNotas::rendimientoDeUnInformeGrande()
{
    Escribe(FilasTema(QStringLiteral("MUCHAS PALABRAS"), QStringLiteral("Todas las palabras."),
                      Numeradas(QStringLiteral("word%1 -> palabra %1"), 5000)));
    QElapsedTimer reloj;
    reloj.start();
    InformeNotas informe(Ruta());
    const qint64 lectura = reloj.restart();
    const QString archivo = entorno->Ruta(QStringLiteral("grande.pdf"));
    auto impresora = ImpresoraPdf(archivo);
    const int paginas = informe.CuentaPaginas(*impresora);
    const qint64 composicion = reloj.restart();
    informe.Imprime(*impresora);
    const qint64 impresion = reloj.elapsed();
    qInfo("Informe de 5.000 líneas, %d páginas: lectura %lld ms, composición %lld ms, "
          "composición e impresión a PDF %lld ms",
          paginas, lectura, composicion, impresion);
    QCOMPARE(PaginasPdf(LeeArchivo(archivo)), paginas);
    QVERIFY2(composicion < 3000, "la composición es demasiado lenta"); // ~10× what it takes
}

QTEST_MAIN(PruebaInformeNotas)
#include "tst_informenotas.moc"
