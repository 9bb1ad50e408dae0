#include "intercambio/Kvtml.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <map>
#include <optional>

namespace Intercambio {

namespace {

ErrorTalvex NoValido(const QString& texto)
{
    return ErrorTalvex(ArchivoNoValido, texto);
}

// A named reference XML does not define, where it was used.
struct Desconocida {
    QString nombre;
    qint64 linea = 0;
};

// XML defines five named references; KVTML files written from web pages or dictionaries also
// use HTML's (&eacute;, &rsquo;). Those become their characters, by the table of HTML 4's
// named characters that libxml2 keeps; any other is noted with its line, and what used it is
// refused rather than read without it. Nothing is ever fetched.
class Entidades : public QXmlStreamEntityResolver {
public:
    explicit Entidades(const QXmlStreamReader& xml) : xml_(xml) {}
    QString resolveUndeclaredEntity(const QString& nombre) override
    {
        const QByteArray utf8 = nombre.toUtf8();
        if (const htmlEntityDesc* entidad =
                htmlEntityLookup(reinterpret_cast<const xmlChar*>(utf8.constData())))
            return QStringLiteral("&#%1;").arg(entidad->value); // read as a character reference
        desconocidas_.push_back({nombre, xml_.lineNumber()});
        return QStringLiteral(""); // not null: the reader goes on
    }
    size_t Cuenta() const { return desconocidas_.size(); }
    // The first unknown reference noted since Cuenta() gave `antes`.
    std::optional<Desconocida> Desde(size_t antes) const
    {
        return antes < desconocidas_.size() ? std::optional(desconocidas_[antes]) : std::nullopt;
    }

private:
    const QXmlStreamReader& xml_;
    std::vector<Desconocida> desconocidas_;
};

// (An entry's refusal is given its number; the reference's own line is said apart.)
QString TextoDesconocida(const Desconocida& desconocida)
{
    return QStringLiteral("usa «&%1;» en la línea %2 del archivo, una entidad que no se conoce")
        .arg(desconocida.nombre)
        .arg(desconocida.linea);
}

// Qt's own message of a character XML cannot hold (or bytes that are not text), in whatever
// language Qt speaks.
bool EsCaracterMalo(const QString& mensaje)
{
    const auto DeQt = [](const char* texto) {
        return QCoreApplication::translate("QXmlStream", texto);
    };
    return mensaje == DeQt("Invalid character reference.") ||
           mensaje == DeQt("Encountered incorrectly encoded content.") ||
           mensaje == DeQt("Invalid XML character.") ||
           mensaje == DeQt("Unexpected '%1'.").arg(QString()); // the character left out
}

// What is wrong with a document the reader refused, in Spanish.
QString CausaXml(const QXmlStreamReader& xml)
{
    switch (xml.error()) {
    case QXmlStreamReader::PrematureEndOfDocumentError:
        return QStringLiteral("el documento se acaba antes de cerrar sus elementos (puede estar "
                              "cortado)");
    case QXmlStreamReader::UnexpectedElementError:
        return QStringLiteral("hay un elemento donde no se esperaba");
    default:
        break;
    }
    if (EsCaracterMalo(xml.errorString()))
        return QStringLiteral("contiene un carácter que XML no admite o bytes que no son texto "
                              "en su codificación");
    return QStringLiteral("no está bien formado (etiquetas sin cerrar o cruzadas, o texto fuera "
                          "de su sitio)");
}

struct Identificador {
    QString id, nombre, locale;
};

// The language of a locale: "en_US", "en-GB" and "EN" are all "en".
QString LenguaDe(const QString& locale)
{
    QString lengua = locale.trimmed().toLower();
    const qsizetype corte = lengua.indexOf(QRegularExpression(QStringLiteral("[_\\-.@]")));
    return corte < 0 ? lengua : lengua.left(corte);
}

// By locale first; by the identifier's name only when no identifier names a locale for it.
std::optional<QString> BuscaIdentificador(const std::vector<Identificador>& identificadores,
                                          const QString& lengua, const QStringList& nombres)
{
    for (const Identificador& identificador : identificadores)
        if (LenguaDe(identificador.locale) == lengua)
            return identificador.id;
    for (const Identificador& identificador : identificadores)
        if (nombres.contains(identificador.nombre.trimmed(), Qt::CaseInsensitive))
            return identificador.id;
    return std::nullopt;
}

struct Entrada {
    int numero = 0;
    std::map<QString, std::pair<QString, QString>> traducciones; // id → text, comment
    std::map<QString, Desconocida> desconocidas; // id → the first unknown reference its texts use
    QString leccion;
    bool enLeccion = false;
};

// The first unknown reference in the texts of these translations (the others are not read).
std::optional<Desconocida> PrimeraDesconocida(const Entrada& entrada,
                                              std::initializer_list<QString> ids)
{
    for (const QString& id : ids)
        if (const auto desconocida = entrada.desconocidas.find(id);
            desconocida != entrada.desconocidas.end())
            return desconocida->second;
    return std::nullopt;
}

struct Contenedor {
    QString nombre;
    std::vector<QString> entradas;
};

} // namespace

DocumentoKvtml LeeKvtml(const QByteArray& datos)
{
    QXmlStreamReader xml(datos);
    std::vector<Identificador> identificadores;
    std::vector<Entrada> entradas;
    QHash<QString, size_t> indiceEntradas;
    std::vector<QString> lecciones;
    std::vector<Contenedor> contenedores; // the lesson containers open now, outermost first
    QStringList pila;                     // the elements open now
    QString traduccion;                   // id of the translation open now
    bool raizVista = false;
    Entidades entidades(xml);
    xml.setEntityResolver(&entidades);
    // The text of the element open now; `antes` tells what unknown references it used.
    const auto LeeTexto = [&](size_t& antes) {
        antes = entidades.Cuenta();
        return xml.readElementText(QXmlStreamReader::IncludeChildElements);
    };
    // Identifiers and lessons name what every entry uses: one that cannot be read whole
    // stops the file.
    const auto LeeNombre = [&] {
        size_t antes = 0;
        QString texto = LeeTexto(antes);
        if (const auto desconocida = entidades.Desde(antes))
            throw NoValido(QStringLiteral("El nombre de una lengua o de una lección %1: no se "
                                          "lee el archivo.")
                               .arg(TextoDesconocida(*desconocida)));
        return texto;
    };

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        // Real files name the format's DTD by its public identifier, which is never fetched;
        // an internal subset could declare entities that expand without end or name other
        // files, so a document with one is refused before anything else is read.
        if ((token == QXmlStreamReader::DTD && xml.text().contains(QLatin1Char('['))) ||
            !xml.entityDeclarations().isEmpty())
            throw NoValido(QStringLiteral("El archivo declara entidades XML en su DTD; por "
                                          "seguridad no se lee."));
        if (token == QXmlStreamReader::EndElement) {
            const QString nombre = pila.takeLast();
            if (nombre == QLatin1String("container") && !contenedores.empty() && pila.size() >= 2 &&
                pila[1] == QLatin1String("lessons")) {
                // The innermost lesson closes first, so it wins over the ones around it.
                const Contenedor contenedor = std::move(contenedores.back());
                contenedores.pop_back();
                if (contenedor.nombre.isEmpty())
                    continue;
                for (const QString& id : contenedor.entradas) {
                    const auto encontrada = indiceEntradas.constFind(id);
                    if (encontrada == indiceEntradas.cend())
                        continue;
                    Entrada& entrada = entradas[*encontrada];
                    if (!entrada.enLeccion) {
                        entrada.leccion = contenedor.nombre;
                        entrada.enLeccion = true;
                    }
                }
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;

        const QString nombre = xml.name().toString();
        const QString padre = pila.isEmpty() ? QString() : pila.last();
        const QXmlStreamAttributes atributos = xml.attributes();
        if (!raizVista) {
            raizVista = true;
            if (nombre != QLatin1String("kvtml"))
                throw NoValido(QStringLiteral("El archivo XML no es un vocabulario KVTML."));
            const QString version = atributos.value(QLatin1String("version")).toString();
            if (!version.startsWith(QLatin1Char('2')))
                throw NoValido(QStringLiteral("Solo se leen archivos KVTML 2.0; este es de la "
                                              "versión «%1».")
                                   .arg(version));
        }
        const bool enLecciones = pila.size() >= 2 && pila[1] == QLatin1String("lessons");

        if (nombre == QLatin1String("identifier") && padre == QLatin1String("identifiers")) {
            identificadores.push_back({atributos.value(QLatin1String("id")).toString(), {}, {}});
        } else if ((nombre == QLatin1String("name") || nombre == QLatin1String("locale")) &&
                   padre == QLatin1String("identifier") && !identificadores.empty()) {
            const QString texto = LeeNombre();
            (nombre == QLatin1String("name") ? identificadores.back().nombre
                                             : identificadores.back().locale) = texto;
            continue; // its end element is read already
        } else if (nombre == QLatin1String("entry") && padre == QLatin1String("entries")) {
            const QString id = atributos.value(QLatin1String("id")).toString();
            bool numerico = false;
            const int numero = id.toInt(&numerico);
            Entrada entrada;
            entrada.numero = numerico ? numero : static_cast<int>(entradas.size()) + 1;
            if (!indiceEntradas.contains(id))
                indiceEntradas.insert(id, entradas.size());
            entradas.push_back(std::move(entrada));
        } else if (nombre == QLatin1String("translation") && padre == QLatin1String("entry") &&
                   pila.size() >= 2 && pila[1] == QLatin1String("entries") && !entradas.empty()) {
            traduccion = atributos.value(QLatin1String("id")).toString();
        } else if ((nombre == QLatin1String("text") || nombre == QLatin1String("comment")) &&
                   padre == QLatin1String("translation") && !entradas.empty()) {
            size_t antes = 0;
            const QString texto = LeeTexto(antes);
            Entrada& entrada = entradas.back();
            auto& [textoGuardado, comentario] = entrada.traducciones[traduccion];
            (nombre == QLatin1String("text") ? textoGuardado : comentario) = texto;
            if (const auto desconocida = entidades.Desde(antes))
                entrada.desconocidas.try_emplace(traduccion, *desconocida);
            continue;
        } else if (nombre == QLatin1String("container") && enLecciones &&
                   (padre == QLatin1String("lessons") || padre == QLatin1String("container"))) {
            contenedores.emplace_back();
        } else if (nombre == QLatin1String("name") && padre == QLatin1String("container") &&
                   enLecciones && !contenedores.empty()) {
            QString texto = LeeNombre();
            contenedores.back().nombre = texto;
            if (!texto.isEmpty() &&
                std::find(lecciones.begin(), lecciones.end(), texto) == lecciones.end())
                lecciones.push_back(std::move(texto));
            continue;
        } else if (nombre == QLatin1String("entry") && padre == QLatin1String("container") &&
                   enLecciones && !contenedores.empty()) {
            contenedores.back().entradas.push_back(atributos.value(QLatin1String("id")).toString());
        }
        pila.append(nombre);
    }
    if (xml.hasError())
        throw NoValido(QStringLiteral("El archivo no es un XML válido (línea %1, columna %2): %3.")
                           .arg(xml.lineNumber())
                           .arg(xml.columnNumber())
                           .arg(CausaXml(xml)));
    if (!raizVista)
        throw NoValido(QStringLiteral("El archivo XML está vacío."));

    const auto ingles = BuscaIdentificador(
        identificadores, QStringLiteral("en"),
        {QStringLiteral("English"), QStringLiteral("Inglés"), QStringLiteral("Ingles")});
    const auto espanol =
        BuscaIdentificador(identificadores, QStringLiteral("es"),
                           {QStringLiteral("Spanish"), QStringLiteral("Español"),
                            QStringLiteral("Espanol"), QStringLiteral("Castellano")});
    if (!ingles)
        throw NoValido(QStringLiteral("El archivo KVTML no tiene ninguna lengua en inglés."));
    if (!espanol)
        throw NoValido(QStringLiteral("El archivo KVTML no tiene ninguna lengua en español."));

    DocumentoKvtml documento;
    documento.lecciones = std::move(lecciones);
    documento.entradas.reserve(entradas.size());
    for (Entrada& entrada : entradas) {
        // An entry is refused rather than read with a text shortened.
        if (const auto desconocida = PrimeraDesconocida(entrada, {*ingles, *espanol})) {
            documento.rechazos.push_back({entrada.numero, TextoDesconocida(*desconocida)});
            continue;
        }
        const auto [textoIngles, comentarioIngles] = entrada.traducciones[*ingles];
        const auto [textoEspanol, comentarioEspanol] = entrada.traducciones[*espanol];
        QString notas = comentarioIngles;
        if (!comentarioIngles.isEmpty() && !comentarioEspanol.isEmpty())
            notas += QLatin1String("\r\n");
        notas += comentarioEspanol;
        documento.entradas.push_back(
            {{textoIngles, textoEspanol, entrada.enLeccion ? entrada.leccion : SinCategoria, notas},
             entrada.numero});
    }
    return documento;
}

} // namespace Intercambio
