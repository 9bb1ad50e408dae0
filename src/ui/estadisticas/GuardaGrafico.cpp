#include "ui/estadisticas/GuardaGrafico.h"

#include "data/ErrorTalvex.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QWidget>

namespace {

constexpr int MargenPx = 24;

// Draws the title over the view, scaled to `ancho` logical pixels wide from the top left.
void Pinta(QPainter& pintor, QWidget& vista, const QString& titulo, double ancho)
{
    QFont letra = vista.font();
    letra.setPointSizeF(letra.pointSizeF() * 1.3);
    letra.setBold(true);
    pintor.setFont(letra);
    pintor.setPen(Qt::black);
    const int alto = QFontMetrics(letra, pintor.device()).height();
    pintor.drawText(QRectF(0, 0, ancho, alto), Qt::AlignLeft | Qt::AlignVCenter, titulo);
    const double escala = ancho / vista.width();
    pintor.translate(0, alto + MargenPx / 2.0);
    pintor.scale(escala, escala);
    vista.render(&pintor, QPoint(), QRegion(), QWidget::DrawChildren);
}

void Confirma(QSaveFile& archivo, bool bien, const QString& ruta)
{
    if (!bien || !archivo.commit())
        throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                          QStringLiteral("No se pudo guardar el gráfico en %1: %2")
                              .arg(ruta, archivo.errorString()));
}

} // namespace

void GuardaGrafico(QWidget& vista, const QString& titulo, const QString& ruta)
{
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        Confirma(archivo, false, ruta);
    if (ruta.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        bool bien = false;
        {
            QPdfWriter pdf(&archivo);
            pdf.setTitle(titulo);
            pdf.setCreator(QStringLiteral("TALVEX 2.0"));
            pdf.setResolution(96);
            pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                          QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
            QPainter pintor;
            if (pintor.begin(&pdf)) {
                const QRect pagina = pdf.pageLayout().paintRectPixels(pdf.resolution());
                // As wide as the page allows while the whole view fits its height.
                const double alto = pagina.height() - 3.0 * vista.fontMetrics().height();
                const double ancho = std::min<double>(
                    pagina.width(), alto * vista.width() / std::max(1, vista.height()));
                Pinta(pintor, vista, titulo, ancho);
                bien = pintor.end();
            }
        }
        Confirma(archivo, bien, ruta);
        return;
    }
    const QFont letra = vista.font();
    const qreal escala = std::max<qreal>(2, vista.devicePixelRatioF());
    const int altoTitulo = QFontMetrics(letra).height() * 2 + MargenPx;
    QImage imagen(QSize(vista.width() + 2 * MargenPx, vista.height() + altoTitulo + 2 * MargenPx) *
                      escala,
                  QImage::Format_ARGB32_Premultiplied);
    imagen.setDevicePixelRatio(escala);
    imagen.fill(Qt::white);
    QPainter pintor(&imagen);
    pintor.setRenderHint(QPainter::Antialiasing);
    pintor.translate(MargenPx, MargenPx);
    Pinta(pintor, vista, titulo, vista.width());
    pintor.end();
    Confirma(archivo, imagen.save(&archivo, "PNG"), ruta);
}
