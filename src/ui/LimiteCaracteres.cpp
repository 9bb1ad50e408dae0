#include "ui/LimiteCaracteres.h"

#include <QLineEdit>

LimiteCaracteres::LimiteCaracteres(int limite, Exceso exceso, QObject* padre)
    : QValidator(padre), limite_(limite), exceso_(exceso)
{
}

QValidator::State LimiteCaracteres::validate(QString& texto, int& posicion) const
{
    qsizetype sobran = CuentaCaracteres(texto) - limite_;
    if (sobran <= 0)
        return Acceptable;
    if (exceso_ == Exceso::Rechaza)
        return Invalid;
    // What was just typed or pasted ends at the cursor: its last characters go, whole, as
    // many as pass the limit (from the end of the text when the cursor has fewer before it).
    auto anterior = [&](qsizetype fin) {
        return fin >= 2 && texto[fin - 1].isLowSurrogate() && texto[fin - 2].isHighSurrogate()
                   ? fin - 2
                   : fin - 1;
    };
    qsizetype fin = posicion;
    qsizetype inicio = fin;
    for (; sobran > 0 && inicio > 0; --sobran)
        inicio = anterior(inicio);
    texto.remove(inicio, fin - inicio);
    posicion = int(inicio);
    qsizetype final = texto.size();
    for (; sobran > 0 && final > 0; --sobran)
        final = anterior(final);
    texto.truncate(final);
    posicion = int(qMin<qsizetype>(posicion, texto.size()));
    return Acceptable;
}

void LimitaCaracteres(QLineEdit& caja, int limite, LimiteCaracteres::Exceso exceso)
{
    caja.setMaxLength(32767); // Qt's own default: no limit in units
    caja.setValidator(new LimiteCaracteres(limite, exceso, &caja));
}

int LimiteDe(const QLineEdit& caja)
{
    const auto* limite = caja.findChild<LimiteCaracteres*>(QString(), Qt::FindDirectChildrenOnly);
    return limite ? limite->Limite() : 0;
}
