#include "data/Caracteres.h"
#include "intercambio/Intercambio.h"

#include "data/Cotejo.h"
#include "intercambio/Archivos.h"
#include "intercambio/Codificacion.h"
#include "intercambio/Csv.h"
#include "intercambio/Kvtml.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cctype>

namespace Intercambio {

namespace {

// ---------------------------------------------------------------------------------------
// Checks of what is read

// Notes are stored with CR LF line ends, whatever the file used.
QString NormalizaSaltos(const QString& texto)
{
    if (!texto.contains(QLatin1Char('\n')) && !texto.contains(QLatin1Char('\r')))
        return texto;
    QString resultado;
    resultado.reserve(texto.size() + 16);
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c == QLatin1Char('\r')) {
            resultado += QLatin1String("\r\n");
            if (i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            resultado += QLatin1String("\r\n");
        } else {
            resultado += c;
        }
    }
    return resultado;
}

bool EsSinCategoria(const QString& tema)
{
    return tema.trimmed().isEmpty() || CalculaClaveOrden(tema) == CalculaClaveOrden(SinCategoria);
}

// Adds the row to the accepted items or its refusal, and counts it.
void AgregaFila(Lectura& lectura, Item item, int linea)
{
    ++lectura.filasLeidas;
    QString motivo;
    if (item.ITEMING.trimmed().isEmpty())
        motivo = QStringLiteral("falta el texto en inglés");
    else if (CuentaCaracteres(item.ITEMING) > LargoMaximoTexto)
        motivo = QStringLiteral("el texto en inglés pasa de %1 caracteres").arg(LargoMaximoTexto);
    else if (CuentaCaracteres(item.ITEMESP) > LargoMaximoTexto)
        motivo = QStringLiteral("el texto en español pasa de %1 caracteres").arg(LargoMaximoTexto);
    else if (CuentaCaracteres(item.NOMBRETEMA) > LargoMaximoTexto)
        motivo = QStringLiteral("el tema pasa de %1 caracteres").arg(LargoMaximoTexto);
    if (!motivo.isEmpty()) {
        lectura.rechazos.push_back({linea, motivo});
        return;
    }
    // No topic, or any spelling of it, is the one pseudo-topic.
    if (EsSinCategoria(item.NOMBRETEMA))
        item.NOMBRETEMA = SinCategoria;
    item.NOTASITEM = NormalizaSaltos(item.NOTASITEM);
    lectura.items.push_back({std::move(item), linea});
}

void AgregaTemaLeido(Lectura& lectura, const QString& nombre, const QString& notas, int linea)
{
    if (nombre.trimmed().isEmpty())
        lectura.rechazos.push_back({linea, QStringLiteral("falta el nombre del tema")});
    else if (CuentaCaracteres(nombre) > LargoMaximoNombreTema)
        lectura.rechazos.push_back(
            {linea, QStringLiteral("el nombre del tema pasa de %1 caracteres")
                        .arg(LargoMaximoNombreTema)});
    else if (!EsSinCategoria(nombre))
        lectura.temas.push_back({nombre, NormalizaSaltos(notas)});
}

// ---------------------------------------------------------------------------------------
// Columns

// Lower case without accents or surrounding spaces, to recognise column names.
QString Simplifica(const QString& texto)
{
    const QString descompuesto = texto.trimmed().toLower().normalized(QString::NormalizationForm_D);
    QString simple;
    for (const QChar c : descompuesto)
        if (c.category() != QChar::Mark_NonSpacing)
            simple += c;
    return simple;
}

enum Columna { ColIngles, ColEspanol, ColTema, ColNotas, ColNotasTema, NumColumnas };

int ColumnaDe(const QString& nombre)
{
    static const QHash<QString, int> nombres = {
        {QStringLiteral("ingles"), ColIngles},
        {QStringLiteral("english"), ColIngles},
        {QStringLiteral("iteming"), ColIngles},
        {QStringLiteral("front"), ColIngles},
        {QStringLiteral("espanol"), ColEspanol},
        {QStringLiteral("spanish"), ColEspanol},
        {QStringLiteral("castellano"), ColEspanol},
        {QStringLiteral("itemesp"), ColEspanol},
        {QStringLiteral("back"), ColEspanol},
        {QStringLiteral("tema"), ColTema},
        {QStringLiteral("topic"), ColTema},
        {QStringLiteral("nombretema"), ColTema},
        {QStringLiteral("categoria"), ColTema},
        {QStringLiteral("category"), ColTema},
        {QStringLiteral("deck"), ColTema},
        {QStringLiteral("notas"), ColNotas},
        {QStringLiteral("nota"), ColNotas},
        {QStringLiteral("notes"), ColNotas},
        {QStringLiteral("notasitem"), ColNotas},
        {QStringLiteral("comentarios"), ColNotas},
        {QStringLiteral("notas del tema"), ColNotasTema},
        {QStringLiteral("notastema"), ColNotasTema},
        {QStringLiteral("topic notes"), ColNotasTema},
    };
    return nombres.value(Simplifica(nombre), -1);
}

// Where each of our fields is in a row; -1: the file does not have it. A file without a
// header has no topic notes.
struct Columnas {
    int posicion[NumColumnas] = {0, 1, 2, 3, -1};
    QString Campo(const QStringList& campos, int columna) const
    {
        const int i = posicion[columna];
        return i >= 0 && i < campos.size() ? campos[i] : QString();
    }
};

// A header names the English column and at least one other, each once; a row such as
// "English,Inglés" names one column twice and stays a row.
std::optional<Columnas> ColumnasDeCabecera(const QStringList& campos)
{
    Columnas columnas;
    std::fill(std::begin(columnas.posicion), std::end(columnas.posicion), -1);
    int reconocidas = 0;
    for (int i = 0; i < campos.size(); ++i) {
        const int columna = ColumnaDe(campos[i]);
        if (columna < 0)
            continue;
        if (columnas.posicion[columna] >= 0)
            return std::nullopt;
        columnas.posicion[columna] = i;
        ++reconocidas;
    }
    if (columnas.posicion[ColIngles] < 0 || (reconocidas < 2 && campos.size() > 1))
        return std::nullopt;
    return columnas;
}

// A spreadsheet saves every row as wide as the widest: ",," is an empty line, and the header
// of the older topic section "Tema,Notas,,".
bool SoloVacios(const QStringList& campos, qsizetype desde)
{
    return std::all_of(campos.begin() + desde, campos.end(),
                       [](const QString& campo) { return campo.isEmpty(); });
}

bool EsCabeceraTemas(const QStringList& campos)
{
    return campos.size() >= 2 && ColumnaDe(campos[0]) == ColTema &&
           ColumnaDe(campos[1]) == ColNotas && SoloVacios(campos, 2);
}

bool EsRegistroVacio(const Csv::Registro& registro)
{
    return !registro.comillasRotas && SoloVacios(registro.campos, 0);
}

// The separator that splits the first rows into one same number of fields (two or more); a
// header row that reads as one decides at once.
QChar DetectaSeparador(QStringView texto)
{
    const QChar candidatos[] = {QLatin1Char('\t'), QLatin1Char(','), QLatin1Char(';')};
    QChar elegido = QLatin1Char(',');
    qsizetype mejor = 1;
    qsizetype mejorPrimera = 1;
    QChar elegidoPrimera = QLatin1Char(',');
    for (const QChar separador : candidatos) {
        Csv::Lector lector(texto, separador);
        Csv::Registro registro;
        qsizetype campos = -1;
        bool coherente = true;
        for (int leidos = 0; leidos < 20 && lector.Lee(registro);) {
            if (EsRegistroVacio(registro)) {
                if (leidos > 0)
                    break; // the topic section counts other fields
                continue;
            }
            if (leidos == 0 && ColumnasDeCabecera(registro.campos) && registro.campos.size() > 1)
                return separador;
            if (leidos == 0 && registro.campos.size() > mejorPrimera) {
                mejorPrimera = registro.campos.size();
                elegidoPrimera = separador;
            }
            if (campos >= 0 && registro.campos.size() != campos)
                coherente = false;
            campos = registro.campos.size();
            if (registro.comillasRotas)
                coherente = false;
            ++leidos;
        }
        if (coherente && campos > mejor) {
            mejor = campos;
            elegido = separador;
        }
    }
    return mejor > 1 ? elegido : elegidoPrimera;
}

// ---------------------------------------------------------------------------------------
// Anki's text files

struct CabeceraAnki {
    bool esAnki = false;
    std::optional<QChar> separador;
    bool html = false;
    QStringList columnas;
    int columnaMazo = -1; // 0-based
    qsizetype finCabecera = 0;
    int lineas = 0;
};

// Anki starts its files with "#clave:valor" lines; a file whose first line is not one of
// them is no Anki file.
CabeceraAnki LeeCabeceraAnki(QStringView texto)
{
    static const QStringList claves = {
        QStringLiteral("separator"),       QStringLiteral("html"),
        QStringLiteral("columns"),         QStringLiteral("deck column"),
        QStringLiteral("notetype column"), QStringLiteral("tags column"),
        QStringLiteral("guid column"),     QStringLiteral("deck"),
        QStringLiteral("notetype"),        QStringLiteral("tags"),
        QStringLiteral("if matches"),
    };
    CabeceraAnki cabecera;
    QString columnas;
    qsizetype posicion = 0;
    while (posicion < texto.size() && texto[posicion] == QLatin1Char('#')) {
        qsizetype fin = posicion;
        while (fin < texto.size() && texto[fin] != QLatin1Char('\n') &&
               texto[fin] != QLatin1Char('\r'))
            ++fin;
        const QStringView linea = texto.sliced(posicion + 1, fin - posicion - 1);
        const qsizetype dosPuntos = linea.indexOf(QLatin1Char(':'));
        const QString clave =
            dosPuntos < 0 ? QString() : linea.left(dosPuntos).trimmed().toString().toLower();
        if (!claves.contains(clave))
            break;
        const QStringView valor = linea.sliced(dosPuntos + 1);
        cabecera.esAnki = true;
        if (clave == QLatin1String("separator")) {
            static const QHash<QString, QChar> nombres = {
                {QStringLiteral("tab"), QLatin1Char('\t')},
                {QStringLiteral("comma"), QLatin1Char(',')},
                {QStringLiteral("semicolon"), QLatin1Char(';')},
                {QStringLiteral("pipe"), QLatin1Char('|')},
                {QStringLiteral("space"), QLatin1Char(' ')},
                {QStringLiteral("colon"), QLatin1Char(':')},
            };
            const QString nombre = valor.trimmed().toString().toLower();
            if (nombres.contains(nombre))
                cabecera.separador = nombres.value(nombre);
            else if (valor.size() == 1)
                cabecera.separador = valor[0];
        } else if (clave == QLatin1String("html")) {
            cabecera.html =
                valor.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        } else if (clave == QLatin1String("columns")) {
            columnas = valor.toString();
        } else if (clave == QLatin1String("deck column")) {
            cabecera.columnaMazo = valor.trimmed().toInt() - 1;
        }
        if (fin < texto.size() && texto[fin] == QLatin1Char('\r'))
            ++fin;
        if (fin < texto.size() && texto[fin] == QLatin1Char('\n'))
            ++fin;
        posicion = fin;
        ++cabecera.lineas;
    }
    cabecera.finCabecera = posicion;
    if (!columnas.isEmpty()) {
        const QChar separador = cabecera.separador.value_or(QLatin1Char('\t'));
        Csv::Lector lector(columnas, separador);
        Csv::Registro registro;
        if (lector.Lee(registro))
            cabecera.columnas = registro.campos;
    }
    return cabecera;
}

// Anki's HTML fields as plain text: line breaks back, other tags out, entities decoded.
QString TextoDeHtml(QString texto)
{
    if (!texto.contains(QLatin1Char('<')) && !texto.contains(QLatin1Char('&')))
        return texto;
    static const QRegularExpression salto(QStringLiteral("<br\\s*/?>"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression etiqueta(QStringLiteral("<[^>]*>"));
    texto.replace(salto, QStringLiteral("\r\n"));
    texto.remove(etiqueta);
    texto.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    texto.replace(QLatin1String("&lt;"), QLatin1String("<"));
    texto.replace(QLatin1String("&gt;"), QLatin1String(">"));
    texto.replace(QLatin1String("&quot;"), QLatin1String("\""));
    texto.replace(QLatin1String("&#39;"), QLatin1String("'"));
    texto.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return texto;
}

// ---------------------------------------------------------------------------------------
// Reading

Lectura LeeDelimitado(QStringView texto)
{
    Lectura lectura;
    const CabeceraAnki anki = LeeCabeceraAnki(texto);
    const QStringView cuerpo = texto.sliced(anki.finCabecera);
    QChar separador;
    Columnas columnas;
    bool buscaCabecera = true;
    if (anki.esAnki) {
        lectura.formato = Formato::Anki;
        separador = anki.separador ? *anki.separador : DetectaSeparador(cuerpo);
        if (const auto nombradas = ColumnasDeCabecera(anki.columnas)) {
            columnas = *nombradas;
        } else if (anki.columnaMazo >= 0 && anki.columnaMazo != columnas.posicion[ColTema]) {
            if (columnas.posicion[ColNotas] == anki.columnaMazo)
                columnas.posicion[ColNotas] = columnas.posicion[ColTema];
            columnas.posicion[ColTema] = anki.columnaMazo;
        }
        buscaCabecera = false;
    } else {
        separador = DetectaSeparador(cuerpo);
        lectura.formato = separador == QLatin1Char('\t') ? Formato::Tsv : Formato::Csv;
    }

    Csv::Lector lector(cuerpo, separador, anki.lineas + 1);
    Csv::Registro registro;
    bool trasVacia = false;
    bool enTemas = false;
    QHash<QString, size_t> temasDeFilas; // name → its place in lectura.temas
    while (lector.Lee(registro)) {
        if (EsRegistroVacio(registro)) {
            trasVacia = true;
            continue;
        }
        if (buscaCabecera) {
            buscaCabecera = false;
            if (const auto nombradas = ColumnasDeCabecera(registro.campos)) {
                columnas = *nombradas;
                continue;
            }
        }
        // Our own files list the topics after the items, below an empty line.
        if (!enTemas && trasVacia && !anki.esAnki && EsCabeceraTemas(registro.campos)) {
            enTemas = true;
            continue;
        }
        trasVacia = false;
        if (registro.comillasRotas) {
            if (!enTemas)
                ++lectura.filasLeidas;
            lectura.rechazos.push_back({registro.linea, QStringLiteral("comillas sin cerrar")});
            continue;
        }
        if (anki.html)
            for (QString& campo : registro.campos)
                campo = TextoDeHtml(campo);
        if (enTemas) {
            AgregaTemaLeido(lectura, registro.campos[0], registro.campos.value(1), registro.linea);
            continue;
        }
        Item item{
            columnas.Campo(registro.campos, ColIngles), columnas.Campo(registro.campos, ColEspanol),
            columnas.Campo(registro.campos, ColTema), columnas.Campo(registro.campos, ColNotas)};
        if (columnas.posicion[ColNotasTema] >= 0) {
            const QString notasTema = columnas.Campo(registro.campos, ColNotasTema);
            // A topic without items has a row of its own, with only its name and notes.
            if (item.ITEMING.isEmpty() && item.ITEMESP.isEmpty() && item.NOTASITEM.isEmpty() &&
                !item.NOMBRETEMA.isEmpty()) {
                AgregaTemaLeido(lectura, item.NOMBRETEMA, notasTema, registro.linea);
                continue;
            }
            // The file lists the topics its rows name, as the older topic section did; every
            // row repeats the notes, and the first that has some gives them. (A name the
            // topic editor would refuse is left to the item's own check.)
            if (!EsSinCategoria(item.NOMBRETEMA) &&
                CuentaCaracteres(item.NOMBRETEMA) <= LargoMaximoNombreTema) {
                const auto visto = temasDeFilas.constFind(item.NOMBRETEMA);
                if (visto == temasDeFilas.cend()) {
                    temasDeFilas.insert(item.NOMBRETEMA, lectura.temas.size());
                    lectura.temas.push_back({item.NOMBRETEMA, NormalizaSaltos(notasTema)});
                } else if (lectura.temas[*visto].NOTASTEMA.isEmpty()) {
                    lectura.temas[*visto].NOTASTEMA = NormalizaSaltos(notasTema);
                }
            }
        }
        AgregaFila(lectura, std::move(item), registro.linea);
    }
    return lectura;
}

Lectura LeeDocumentoKvtml(const QByteArray& datos)
{
    DocumentoKvtml documento = LeeKvtml(datos);
    Lectura lectura;
    lectura.formato = Formato::Kvtml;
    for (const QString& leccion : documento.lecciones)
        AgregaTemaLeido(lectura, leccion, QString(), 0);
    for (ItemLeido& entrada : documento.entradas)
        AgregaFila(lectura, std::move(entrada.item), entrada.linea);
    lectura.filasLeidas += static_cast<int>(documento.rechazos.size());
    lectura.rechazos.insert(lectura.rechazos.end(), documento.rechazos.begin(),
                            documento.rechazos.end());
    std::stable_sort(lectura.rechazos.begin(), lectura.rechazos.end(),
                     [](const Rechazo& a, const Rechazo& b) { return a.linea < b.linea; });
    return lectura;
}

bool PareceXml(QByteArrayView datos)
{
    datos = SinBomUtf8(datos);
    qsizetype i = 0;
    while (i < datos.size() && std::isspace(static_cast<unsigned char>(datos[i])))
        ++i;
    const QByteArrayView inicio = datos.sliced(i).first(std::min<qsizetype>(6, datos.size() - i));
    return inicio.startsWith("<?xml") || inicio.compare("<kvtml", Qt::CaseInsensitive) == 0;
}

} // namespace

// ---------------------------------------------------------------------------------------

Lectura LeeDatos(const QByteArray& datos, Codificacion codificacion)
{
    // XML names its own encoding; a NUL byte is refused either way.
    if (PareceXml(datos)) {
        if (datos.contains('\0'))
            DecodificaTexto(datos, codificacion); // throws the message of binary files
        return LeeDocumentoKvtml(datos);
    }
    const QString texto = DecodificaTexto(datos, codificacion);
    return LeeDelimitado(texto);
}

Lectura LeeArchivo(const QString& ruta, Codificacion codificacion, const Progreso& progreso)
{
    return LeeDatos(LeeArchivoRegular(ruta, progreso), codificacion);
}

} // namespace Intercambio
