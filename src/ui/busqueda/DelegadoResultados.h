#pragma once
// Paints the cells of the results as the style does, but lays out each text once: the style
// lays a cell's text out three times on every paint (to place it, to elide it, to draw it),
// and the results are painted again on every keystroke. Here the style paints the cell without
// its text (background, selection), and the text is drawn from a layout kept for that text,
// font and width, elided and placed as the style would. Cells the shortcut does not cover
// (several lines, an icon, a check box, wrapping), and every cell under a style that draws
// texts its own way, are painted by the style as usual.
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

class DelegadoResultados : public QStyledItemDelegate {
public:
    // The texts kept are those painted since the last `recientes` were laid out, and those
    // painted before them: texts painted again and again (topics, "en español") stay, the
    // rest are let go.
    explicit DelegadoResultados(QObject* padre, size_t recientes = 3000)
        : QStyledItemDelegate(padre), maximoRecientes_(recientes)
    {
    }

    void paint(QPainter* pintor, const QStyleOptionViewItem& opcion,
               const QModelIndex& indice) const override;

private:
    struct Clave {
        QString texto;
        QFont fuente;
        QSize sitio; // the room of the text, its margins taken off
        int direccion;
        int alineacion;
        int elision;
        bool operator==(const Clave&) const = default;
    };
    struct Hash {
        size_t operator()(const Clave& clave) const;
    };
    // The text as drawn (elided when it does not fit) and where it goes, from the top left
    // corner of the text's room.
    struct Disposicion {
        std::unique_ptr<QTextLayout> texto;
        QPointF desde;
    };
    const Disposicion& DisposicionDe(const Clave& clave) const;
    // The cell without its text (the style paints it), then the text as the style would.
    void PintaSinTextoYTexto(QPainter* pintor, const QStyleOptionViewItem& celda,
                             const QRect& sitio, const Disposicion& disposicion) const;
    // Whether the cell painted by the style and by the shortcut gives the same pixels.
    bool PintaComoElEstilo(const QPainter* pintor, const QStyleOptionViewItem& conTexto,
                           const QStyleOptionViewItem& sinTexto, const QRect& sitio,
                           const Disposicion& disposicion) const;

    static constexpr int CeldasComprobadas = 8; // the selected row and the next, in a list
    mutable const QStyle* estiloVisto_ = nullptr;
    mutable int comprobadas_ = 0;
    mutable bool igualAlEstilo_ = true;

    using Guardadas = std::unordered_map<Clave, Disposicion, Hash>;
    size_t maximoRecientes_;
    mutable Guardadas recientes_;
    mutable Guardadas anteriores_;
};
