#include "ui/report/InformeNotas.h"

#include "nucleo/Fallos.h"
#include "nucleo/modTALVEXV20.h"

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace {
const QColor Anil(0x2a, 0x2a, 0x86);
const QColor Lavanda(0xb4, 0xbc, 0xe0);
const QColor Tinta(0x22, 0x22, 0x2a);
const QColor Gris(0x5c, 0x60, 0x70);
const QUrl DireccionDibujo(QStringLiteral("talvex:informe55"));
const QString Producto = QStringLiteral("TALVEX Ver. 2.0.0");

// Sizes inside the document are in pixels of 1/96 inch: the layout scales them to the
// printer's resolution, as it does the fonts given in points.
constexpr double PuntosTexto = 10.5;

QFont FuenteInforme(double puntos, bool negrita = false)
{
    QFont fuente(QStringLiteral("DejaVu Sans"));
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPointSizeF(puntos);
    fuente.setBold(negrita);
    return fuente;
}

struct Estilo {
    QTextBlockFormat bloque;
    QTextCharFormat letra;
};

Estilo EstiloEncabezado()
{
    Estilo estilo;
    estilo.bloque.setTopMargin(10);
    estilo.bloque.setBottomMargin(8);
    estilo.letra.setFont(FuenteInforme(14, true));
    estilo.letra.setForeground(Anil);
    return estilo;
}

Estilo EstiloNota()
{
    Estilo estilo;
    estilo.bloque.setBottomMargin(3); // a line of the notes stands apart from its wrapped rest
    return estilo;
}

Estilo EstiloRotulo()
{
    Estilo estilo;
    estilo.bloque.setTopMargin(4);
    estilo.bloque.setBottomMargin(2);
    estilo.letra.setFont(FuenteInforme(PuntosTexto, true));
    estilo.letra.setForeground(Anil);
    return estilo;
}

Estilo EstiloListado()
{
    Estilo estilo;
    estilo.bloque.setIndent(1); // indents, unlike left margins, follow the printer's resolution
    estilo.bloque.setBottomMargin(2);
    return estilo;
}

// Every line of a field becomes one block of the document, whatever its line ends.
void AgregaLineas(QTextCursor& cursor, const QString& texto, const Estilo& estilo)
{
    static const QRegularExpression FinDeLinea(QStringLiteral("\r\n|\r|\n"));
    for (const QString& linea : texto.split(FinDeLinea)) {
        cursor.insertBlock(estilo.bloque, estilo.letra);
        cursor.insertText(linea, estilo.letra);
    }
}

// The layout is made for one printer and let go with it: the printer may not outlive the
// report.
class SueltaDispositivo {
public:
    explicit SueltaDispositivo(QTextDocument& documento) : documento_(documento) {}
    ~SueltaDispositivo() { documento_.documentLayout()->setPaintDevice(nullptr); }

private:
    QTextDocument& documento_;
};
} // namespace

InformeNotas::InformeNotas(const QString& rutaReporte) : ruta_(rutaReporte)
{
    Recarga();
}

InformeNotas::~InformeNotas() = default;

void InformeNotas::CambiaTitulo(const QString& titulo)
{
    titulo_ = titulo;
}

QString InformeNotas::Titulo() const
{
    return titulo_;
}

void InformeNotas::Recarga()
{
    std::vector<FilaInforme> filas;
    OmiteFallo([&] { filas = LeeInforme(ruta_); });
    ConstruyeDocumento(filas);
    inicios_.assign(1, 0.0); // a new document: no composition yet
}

void InformeNotas::ConstruyeDocumento(const std::vector<FilaInforme>& filas)
{
    auto documento = std::make_unique<QTextDocument>();
    documento->setUndoRedoEnabled(false);
    documento->setDocumentMargin(0);
    documento->setUseDesignMetrics(true); // the same line breaks at every resolution
    documento->setDefaultFont(FuenteInforme(PuntosTexto));
    documento->setIndentWidth(18);
    QTextOption opcion = documento->defaultTextOption();
    opcion.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere); // long words wrap too
    documento->setDefaultTextOption(opcion);
    documento->addResource(QTextDocument::ImageResource, DireccionDibujo,
                           QImage(QStringLiteral(":/imagenes/informe55.png")));

    // The picture opens the first page in a block of its own.
    QTextCursor cursor(documento.get());
    QTextBlockFormat bloqueDibujo;
    bloqueDibujo.setBottomMargin(4);
    cursor.setBlockFormat(bloqueDibujo);
    QTextImageFormat dibujo;
    dibujo.setName(DireccionDibujo.toString());
    dibujo.setWidth(55);
    dibujo.setHeight(55);
    cursor.insertImage(dibujo);

    const Estilo encabezado = EstiloEncabezado(), nota = EstiloNota(), rotulo = EstiloRotulo(),
                 listado = EstiloListado();
    for (const FilaInforme& fila : filas) {
        if (fila.CAMPO1 && !fila.CAMPO1->isEmpty())
            AgregaLineas(cursor, *fila.CAMPO1, encabezado);
        if (fila.CAMPO2 && !fila.CAMPO2->isEmpty())
            AgregaLineas(cursor, *fila.CAMPO2, nota);
        if (fila.CAMPO3)
            AgregaLineas(cursor, *fila.CAMPO3,
                         *fila.CAMPO3 == QLatin1String("LISTADO:") ? rotulo : listado);
    }
    documento_ = std::move(documento);
}

QString InformeNotas::TextoCompleto() const
{
    QStringList lineas;
    for (QTextBlock bloque = documento_->begin().next(); bloque.isValid(); bloque = bloque.next())
        lineas << bloque.text();
    return lineas.join(QLatin1Char('\n'));
}

GeometriaPagina InformeNotas::MidePagina(const QPrinter& impresora)
{
    const double mm = impresora.resolution() / 25.4;
    const QRectF papel = impresora.paperRect(QPrinter::DevicePixel);
    const QRectF imprimible = impresora.pageRect(QPrinter::DevicePixel);
    // At least 2 cm of paper around the report; wider margins of the page set-up prevail.
    QRectF zona = imprimible.intersected(papel.adjusted(20 * mm, 20 * mm, -20 * mm, -20 * mm));
    if (zona.width() < 60 * mm || zona.height() < 60 * mm)
        zona = imprimible; // a paper too small for those margins
    zona.translate(impresora.fullPage() ? QPointF() : -imprimible.topLeft());

    GeometriaPagina pagina;
    pagina.cabecera = QRectF(zona.left(), zona.top(), zona.width(), 8 * mm);
    pagina.pie = QRectF(zona.left(), zona.bottom() - 8 * mm, zona.width(), 8 * mm);
    pagina.cuerpo = QRectF(QPointF(zona.left(), pagina.cabecera.bottom() + 4 * mm),
                           QPointF(zona.right(), pagina.pie.top() - 4 * mm));
    return pagina;
}

const std::vector<double>& InformeNotas::Compone(QPrinter& impresora)
{
    // One long page, cut here: the text layout's own paging lets a line run over the end of
    // a page when blocks have margins.
    pagina_ = MidePagina(impresora);
    const QSizeF cuerpo = pagina_.cuerpo.size();
    documento_->documentLayout()->setPaintDevice(&impresora);
    documento_->setTextWidth(cuerpo.width());
    documento_->documentLayout()->documentSize(); // finishes the layout, which runs in steps

    std::vector<double>& inicios = inicios_;
    inicios.assign(1, 0.0);
    for (QTextBlock bloque = documento_->begin(); bloque.isValid(); bloque = bloque.next()) {
        const QTextLayout* disposicion = bloque.layout();
        for (int i = 0; i < disposicion->lineCount(); ++i) {
            const QTextLine linea = disposicion->lineAt(i);
            const double arriba = disposicion->position().y() + linea.y();
            if (arriba + linea.height() > inicios.back() + cuerpo.height() &&
                arriba > inicios.back())
                inicios.push_back(arriba);
        }
    }
    return inicios;
}

int InformeNotas::CuentaPaginas(QPrinter& impresora)
{
    SueltaDispositivo suelta(*documento_);
    return int(Compone(impresora).size());
}

void InformeNotas::Imprime(QPrinter& impresora)
{
    SueltaDispositivo suelta(*documento_);
    const int total = int(Compone(impresora).size());
    QPainter pintor;
    if (!pintor.begin(&impresora))
        return; // no printer to print on: nothing is printed
    for (int n = 0; n < total; ++n) {
        if (n > 0 && !impresora.newPage())
            break;
        PintaPagina(pintor, n);
    }
    pintor.end();
}

void InformeNotas::PintaPagina(QPainter& pintor, int n) const
{
    const int total = int(inicios_.size());
    PintaMarco(pintor, pagina_, n + 1, total);
    // The document from this page's start to the next one's, moved to the sheet's body.
    const double alto = n + 1 < total ? inicios_[n + 1] - inicios_[n] : pagina_.cuerpo.height();
    const QRectF trozo(0, inicios_[n], pagina_.cuerpo.width(), alto);
    QAbstractTextDocumentLayout::PaintContext contexto;
    contexto.palette.setColor(QPalette::Text, Tinta);
    contexto.clip = trozo;
    pintor.save();
    pintor.translate(pagina_.cuerpo.left(), pagina_.cuerpo.top() - inicios_[n]);
    pintor.setClipRect(trozo);
    documento_->documentLayout()->draw(&pintor, contexto);
    pintor.restore();
}

void InformeNotas::PintaMarco(QPainter& pintor, const GeometriaPagina& pagina, int numero,
                              int total) const
{
    pintor.save();
    const double punto = pintor.device()->logicalDpiY() / 72.0;
    const QRectF& cabecera = pagina.cabecera;
    const QRectF& pie = pagina.pie;

    // Head: product on the left, the date on the right, the title between them, all on one
    // baseline just above the rule.
    const double base = cabecera.bottom() - 4 * punto;
    auto escribe = [&](const QFont& fuente, const QColor& color, QString texto, Qt::Alignment lado,
                       double ancho) {
        const QFontMetricsF medidas(fuente, pintor.device());
        texto = medidas.elidedText(texto, Qt::ElideRight, qMax(ancho, 0.0));
        const double largo = medidas.horizontalAdvance(texto);
        const double x = lado == Qt::AlignLeft    ? cabecera.left()
                         : lado == Qt::AlignRight ? cabecera.right() - largo
                                                  : cabecera.center().x() - largo / 2;
        pintor.setFont(fuente);
        pintor.setPen(color);
        pintor.drawText(QPointF(x, base), texto);
        return largo;
    };
    const QString hoy =
        QLocale(QLocale::Spanish, QLocale::Spain)
            .toString(QDate::currentDate(), QStringLiteral("d 'de' MMMM 'de' yyyy"));
    const double ancho = cabecera.width();
    const double lados =
        qMax(escribe(FuenteInforme(8.5, true), Anil, Producto, Qt::AlignLeft, ancho / 3),
             escribe(FuenteInforme(8.5), Gris, hoy, Qt::AlignRight, ancho / 3));
    if (!titulo_.isEmpty())
        escribe(FuenteInforme(9.5, true), Tinta, titulo_, Qt::AlignHCenter,
                ancho - 2 * (lados + 12 * punto));
    pintor.setPen(QPen(Anil, 0.8 * punto));
    pintor.drawLine(QLineF(cabecera.bottomLeft(), cabecera.bottomRight()));

    // Foot: a thin rule and the page number.
    pintor.setPen(QPen(Lavanda, 0.6 * punto));
    pintor.drawLine(QLineF(pie.topLeft(), pie.topRight()));
    pintor.setFont(FuenteInforme(8.5));
    pintor.setPen(Gris);
    pintor.drawText(pie, Qt::AlignHCenter | Qt::AlignBottom,
                    QStringLiteral("Página %1 de %2").arg(numero).arg(total));
    pintor.restore();
}

InformeNotas& dsrImprimirNotas()
{
    std::shared_ptr<InformeNotas>& informe = modTALVEXV20().dsrImprimirNotas;
    if (!informe)
        informe = std::make_shared<InformeNotas>(modTALVEXV20().RutaReporte);
    return *informe;
}
