#include "ui/Notas.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

namespace {
// The box's raw text, as toPlainText() would turn no-break spaces into plain ones; paragraph
// and line separators are the box's line breaks.
QString TextoDeCaja(const QPlainTextEdit& caja)
{
    QString texto = caja.document()->toRawText();
    return texto.replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'));
}
} // namespace

void MuestraNotas(QPlainTextEdit& caja, const QString& notas)
{
    QString texto = notas;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A box that only shows notes, given the text it already holds (another item with the
    // same notes, or none): laying it out anew would only cost time. It is shown from its
    // start, as a new text would be.
    if (caja.isReadOnly() && TextoDeCaja(caja) == texto) {
        caja.moveCursor(QTextCursor::Start);
        caja.verticalScrollBar()->setValue(0);
        caja.horizontalScrollBar()->setValue(0);
        return;
    }
    caja.setPlainText(texto);
}

QString LeeNotas(const QPlainTextEdit& caja)
{
    return TextoDeCaja(caja).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}
