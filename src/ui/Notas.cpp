#include "ui/Notas.h"

#include <QPlainTextEdit>
#include <QTextDocument>

void MuestraNotas(QPlainTextEdit& caja, const QString& notas)
{
    QString texto = notas;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    caja.setPlainText(texto);
}

QString LeeNotas(const QPlainTextEdit& caja)
{
    // The raw text, as toPlainText() would turn no-break spaces into plain ones; paragraph
    // and line separators are the box's line breaks.
    QString texto = caja.document()->toRawText();
    texto.replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'));
    return texto.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}
