#include "nucleo/FormaHora.h"

#include <QRegularExpression>

QString FormaHoraSinZona(const QLocale& idioma)
{
    // Qt's long form is the only one that always has seconds, but it also names the time
    // zone, which many systems leave empty ("1:15:05 ()"): the zone letters go, and so do the
    // brackets and blanks they leave behind. Quoted literal text stays as it is.
    const QString forma = idioma.timeFormat(QLocale::LongFormat);
    QString resto;
    bool literal = false;
    for (const QChar letra : forma) {
        if (letra == QLatin1Char('\''))
            literal = !literal;
        if (literal || letra != QLatin1Char('t'))
            resto += letra;
    }
    static const QRegularExpression vacios(QStringLiteral("[(\\[]\\s*[)\\]]"));
    static const QRegularExpression blancos(QStringLiteral(" {2,}"));
    resto.remove(vacios).replace(blancos, QStringLiteral(" "));
    return resto.trimmed();
}

QString TextoHora(const QLocale& idioma, const QTime& hora)
{
    return idioma.toString(hora, FormaHoraSinZona(idioma));
}
