#include "ui/busqueda/DelegadoResultados.h"

#include <QApplication>
#include <QPainter>

#include <functional>

namespace {
// Lays the text out as one line `ancho` wide; false when it does not fit in one line (it holds
// a line break), which the shortcut leaves to the style.
bool DisponeUnaLinea(QTextLayout& texto, const QTextOption& opciones, int ancho)
{
    texto.setTextOption(opciones);
    texto.setCacheEnabled(true); // keeps the shaped glyphs for drawing, not only the line
    texto.beginLayout();
    QTextLine linea = texto.createLine();
    if (linea.isValid()) {
        linea.setLineWidth(ancho);
        linea.setPosition({0, 0});
    }
    const bool una = linea.isValid() && !texto.createLine().isValid();
    texto.endLayout();
    return una;
}
} // namespace

size_t DelegadoResultados::Hash::operator()(const Clave& clave) const
{
    return qHashMulti(0, clave.texto, clave.sitio.width(), clave.sitio.height());
}

const DelegadoResultados::Disposicion& DelegadoResultados::DisposicionDe(const Clave& clave) const
{
    if (const auto hallada = recientes_.find(clave); hallada != recientes_.end())
        return hallada->second;
    if (recientes_.size() >= maximoRecientes_) {
        anteriores_ = std::move(recientes_);
        recientes_.clear();
    }
    if (auto anterior = anteriores_.extract(clave))
        return recientes_.insert(std::move(anterior)).position->second;
    const auto direccion = Qt::LayoutDirection(clave.direccion);
    const auto alineacion = Qt::Alignment(clave.alineacion);
    QTextOption opciones;
    opciones.setWrapMode(QTextOption::ManualWrap);
    opciones.setTextDirection(direccion);
    opciones.setAlignment(QStyle::visualAlignment(direccion, alineacion));
    const int ancho = clave.sitio.width();

    Disposicion disposicion;
    auto texto = std::make_unique<QTextLayout>(clave.texto, clave.fuente);
    if (DisponeUnaLinea(*texto, opciones, ancho)) {
        // Placed as the style places it: the line aligned in the room (only its top is taken),
        // the text elided when wider than the room.
        const QRect linea =
            QStyle::alignedRect(Qt::LayoutDirectionAuto, alineacion,
                                texto->boundingRect().size().toSize(), QRect({0, 0}, clave.sitio));
        disposicion.desde = QPointF(0, linea.top());
        if (texto->lineAt(0).naturalTextWidth() > ancho) {
            const QString elidido =
                QFontMetrics(clave.fuente)
                    .elidedText(clave.texto, Qt::TextElideMode(clave.elision), ancho);
            texto = std::make_unique<QTextLayout>(elidido, clave.fuente);
            DisponeUnaLinea(*texto, opciones, ancho);
        }
        disposicion.texto = std::move(texto);
    }
    return recientes_.emplace(clave, std::move(disposicion)).first->second;
}

void DelegadoResultados::PintaSinTextoYTexto(QPainter* pintor, const QStyleOptionViewItem& celda,
                                             const QRect& sitio,
                                             const Disposicion& disposicion) const
{
    const QWidget* control = celda.widget;
    QStyle* estilo = control ? control->style() : QApplication::style();
    estilo->drawControl(QStyle::CE_ItemViewItem, &celda, pintor, control);
    QPalette::ColorGroup grupo =
        celda.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (grupo == QPalette::Normal && !(celda.state & QStyle::State_Active))
        grupo = QPalette::Inactive;
    pintor->save();
    pintor->setClipRect(celda.rect);
    pintor->setPen(celda.palette.color(
        grupo, celda.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    disposicion.texto->draw(pintor, sitio.topLeft() + disposicion.desde);
    pintor->restore();
}

bool DelegadoResultados::PintaComoElEstilo(const QPainter* pintor,
                                           const QStyleOptionViewItem& conTexto,
                                           const QStyleOptionViewItem& sinTexto, const QRect& sitio,
                                           const Disposicion& disposicion) const
{
    const qreal escala = pintor->device() ? pintor->device()->devicePixelRatio() : 1.0;
    auto pintada = [&](const std::function<void(QPainter&)>& pinta) {
        QImage imagen(conTexto.rect.size() * escala, QImage::Format_ARGB32_Premultiplied);
        imagen.setDevicePixelRatio(escala);
        imagen.fill(Qt::transparent);
        QPainter lienzo(&imagen);
        lienzo.translate(-conTexto.rect.topLeft());
        pinta(lienzo);
        return imagen;
    };
    const QWidget* control = conTexto.widget;
    QStyle* estilo = control ? control->style() : QApplication::style();
    return pintada([&](QPainter& lienzo) {
               estilo->drawControl(QStyle::CE_ItemViewItem, &conTexto, &lienzo, control);
           }) == pintada([&](QPainter& lienzo) {
               PintaSinTextoYTexto(&lienzo, sinTexto, sitio, disposicion);
           });
}

void DelegadoResultados::paint(QPainter* pintor, const QStyleOptionViewItem& opcion,
                               const QModelIndex& indice) const
{
    QStyleOptionViewItem celda = opcion;
    initStyleOption(&celda, indice);
    constexpr auto Otras = QStyleOptionViewItem::WrapText | QStyleOptionViewItem::HasDecoration |
                           QStyleOptionViewItem::HasCheckIndicator;
    // The text takes the whole cell only when the selection covers it; the style draws the
    // focus frame after the text; U+009C separates the variants of a text the style chooses from.
    const bool sencilla = !celda.text.isEmpty() && !(celda.features & Otras) &&
                          celda.showDecorationSelected &&
                          !(celda.state & (QStyle::State_Editing | QStyle::State_HasFocus)) &&
                          !celda.text.contains(QChar(0x9c));
    const QWidget* control = celda.widget;
    QStyle* estilo = control ? control->style() : QApplication::style();
    if (estilo != estiloVisto_) { // another style: seen anew
        estiloVisto_ = estilo;
        comprobadas_ = 0;
        igualAlEstilo_ = true;
    }
    if (!sencilla || !igualAlEstilo_) {
        QStyledItemDelegate::paint(pintor, opcion, indice);
        return;
    }
    QStyleOptionViewItem sinTexto = celda;
    sinTexto.text.clear();
    const int margen = estilo->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, control) + 1;
    const QRect sitio = estilo->subElementRect(QStyle::SE_ItemViewItemText, &sinTexto, control)
                            .adjusted(margen, 0, -margen, 0);
    const Disposicion& disposicion =
        DisposicionDe({celda.text, celda.font, sitio.size(), int(celda.direction),
                       int(celda.displayAlignment), int(celda.textElideMode)});
    // A style may draw the text of a cell its own way: the first cells of every style are
    // painted both ways and compared, and on any difference the style paints them all.
    if (disposicion.texto && comprobadas_ < CeldasComprobadas) {
        ++comprobadas_;
        igualAlEstilo_ = PintaComoElEstilo(pintor, celda, sinTexto, sitio, disposicion);
    }
    if (!disposicion.texto || !igualAlEstilo_) {
        QStyledItemDelegate::paint(pintor, opcion, indice);
        return;
    }
    PintaSinTextoYTexto(pintor, sinTexto, sitio, disposicion);
}
