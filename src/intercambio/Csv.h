#pragma once
// A reader and writer of delimited text (RFC 4180) for one separator: fields in double quotes
// may hold the separator, line breaks (kept as they are) and quotes written twice; records end
// in CR LF, LF or a lone CR.
#include <QString>
#include <QStringList>
#include <QStringView>

namespace Csv {

struct Registro {
    QStringList campos;
    int linea = 0;              // the line where the record starts (1-based)
    bool comillasRotas = false; // a quoted field never closed, or text after its closing quote
};

class Lector {
public:
    // primeraLinea: the number of the text's first line in its file (after lines read apart).
    Lector(QStringView texto, QChar separador, int primeraLinea = 1)
        : texto_(texto), separador_(separador), linea_(primeraLinea)
    {
    }
    // The next record; false at the end of the text. An empty line is a record of one empty
    // field. A quote left open ends its record at the end of the line it opened on, so that
    // one bad row does not swallow the rest of the file.
    bool Lee(Registro& registro);

private:
    QStringView texto_;
    QChar separador_;
    int linea_;
    qsizetype posicion_ = 0;
};

// A field in quotes when it must be (it holds the separator, a quote, CR or LF, or it starts
// with '#' and protegeAlmohadilla is set, for readers that take such a line for a comment).
void AgregaCampo(QString& salida, QStringView campo, QChar separador,
                 bool protegeAlmohadilla = false);
// The fields joined by the separator, ending in CR LF.
void AgregaRegistro(QString& salida, std::initializer_list<QStringView> campos, QChar separador,
                    bool protegeAlmohadilla = false);

} // namespace Csv
