#include "intercambio/Csv.h"

namespace Csv {

namespace {
const QChar Comillas = QLatin1Char('"');
const QChar Cr = QLatin1Char('\r');
const QChar Lf = QLatin1Char('\n');
} // namespace

bool Lector::Lee(Registro& registro)
{
    const qsizetype largo = texto_.size();
    if (posicion_ >= largo)
        return false;
    registro.campos.clear();
    registro.linea = linea_;
    registro.comillasRotas = false;
    for (;;) {
        QString campo;
        if (posicion_ < largo && texto_[posicion_] == Comillas) {
            const qsizetype apertura = posicion_;
            const int lineaApertura = linea_;
            bool cerrado = false;
            ++posicion_;
            while (posicion_ < largo) {
                // Whole runs up to the next quote at once.
                qsizetype siguiente = texto_.indexOf(Comillas, posicion_);
                if (siguiente < 0)
                    siguiente = largo;
                const QStringView tramo = texto_.sliced(posicion_, siguiente - posicion_);
                campo += tramo;
                linea_ += static_cast<int>(tramo.count(Lf));
                // A lone CR ends lines too; CR LF counts once.
                for (qsizetype i = 0; i < tramo.size(); ++i)
                    if (tramo[i] == Cr && (i + 1 >= tramo.size() || tramo[i + 1] != Lf))
                        ++linea_;
                posicion_ = siguiente;
                if (posicion_ >= largo)
                    break;
                if (posicion_ + 1 < largo && texto_[posicion_ + 1] == Comillas) {
                    campo += Comillas;
                    posicion_ += 2;
                    continue;
                }
                ++posicion_;
                cerrado = true;
                break;
            }
            if (!cerrado) {
                // Back to the line after the opening one: the rest of the file is read again.
                registro.comillasRotas = true;
                qsizetype fin = apertura;
                while (fin < largo && texto_[fin] != Lf && texto_[fin] != Cr)
                    ++fin;
                registro.campos.append(texto_.sliced(apertura, fin - apertura).toString());
                if (fin < largo && texto_[fin] == Cr)
                    ++fin;
                if (fin < largo && texto_[fin] == Lf)
                    ++fin;
                posicion_ = fin;
                linea_ = lineaApertura + 1;
                return true;
            }
            // Text after the closing quote is kept, but the record is malformed.
            const qsizetype resto = posicion_;
            while (posicion_ < largo && texto_[posicion_] != separador_ &&
                   texto_[posicion_] != Cr && texto_[posicion_] != Lf)
                ++posicion_;
            if (posicion_ > resto) {
                registro.comillasRotas = true;
                campo += texto_.sliced(resto, posicion_ - resto);
            }
        } else {
            const qsizetype inicio = posicion_;
            while (posicion_ < largo && texto_[posicion_] != separador_ &&
                   texto_[posicion_] != Cr && texto_[posicion_] != Lf)
                ++posicion_;
            campo = texto_.sliced(inicio, posicion_ - inicio).toString();
        }
        registro.campos.append(std::move(campo));
        if (posicion_ >= largo)
            return true;
        const QChar fin = texto_[posicion_++];
        if (fin == separador_)
            continue;
        if (fin == Cr && posicion_ < largo && texto_[posicion_] == Lf)
            ++posicion_;
        ++linea_;
        return true;
    }
}

void AgregaCampo(QString& salida, QStringView campo, QChar separador, bool protegeAlmohadilla)
{
    bool comillas = protegeAlmohadilla && campo.startsWith(QLatin1Char('#'));
    for (const QChar c : campo) {
        if (c == separador || c == Comillas || c == Cr || c == Lf) {
            comillas = true;
            break;
        }
    }
    if (!comillas) {
        salida += campo;
        return;
    }
    salida += Comillas;
    qsizetype desde = 0;
    for (qsizetype i = campo.indexOf(Comillas); i >= 0; i = campo.indexOf(Comillas, i + 1)) {
        salida += campo.sliced(desde, i + 1 - desde);
        salida += Comillas;
        desde = i + 1;
    }
    salida += campo.sliced(desde);
    salida += Comillas;
}

void AgregaRegistro(QString& salida, std::initializer_list<QStringView> campos, QChar separador,
                    bool protegeAlmohadilla)
{
    bool primero = true;
    for (const QStringView campo : campos) {
        if (!primero)
            salida += separador;
        // Only the first field starts a line.
        AgregaCampo(salida, campo, separador, primero && protegeAlmohadilla);
        primero = false;
    }
    salida += QLatin1String("\r\n");
}

} // namespace Csv
