#include "intercambio/Intercambio.h"

#include "intercambio/Archivos.h"
#include "intercambio/ComunIntercambio.h"
#include "intercambio/Csv.h"

#include <QHash>
#include <QSet>

namespace Intercambio {

namespace {

const QString CabeceraIngles = QStringLiteral("Inglés");
const QString CabeceraEspanol = QStringLiteral("Español");
const QString CabeceraTema = QStringLiteral("Tema");
const QString CabeceraNotas = QStringLiteral("Notas");

const QString CabeceraAnkiTexto = QStringLiteral("#separator:tab\r\n"
                                                 "#html:false\r\n"
                                                 "#columns:Inglés\tEspañol\tTema\tNotas\r\n"
                                                 "#deck column:3\r\n");

// What an export writes: items in order, and topics with their notes.
struct Contenido {
    std::vector<Item> items;
    std::vector<Tema> temas; // the items' topics the store has, and those to list without items
};

Contenido ContenidoDe(const BaseVocabulario& base, const std::optional<QString>& tema)
{
    Contenido contenido;
    const auto Guarda = [&](const Item& item) { contenido.items.push_back(item); };
    if (!tema) {
        base.RecorreItems(Guarda);
        base.RecorreTemas([&](const Tema& t) { contenido.temas.push_back(t); });
        return contenido;
    }
    base.RecorreItemsDeTema(*tema, Guarda);
    if (const auto guardado = base.LocalizaTema(*tema); guardado && guardado->NOMBRETEMA == *tema)
        contenido.temas.push_back(*guardado);
    else if (contenido.items.empty())
        throw ErrorTalvex(
            TemaDesconocido,
            QStringLiteral("No hay ningún tema «%1»: no se exportó nada.").arg(*tema));
    return contenido;
}

Contenido ContenidoDe(const BaseVocabulario& base, const std::vector<QString>& ingles)
{
    Contenido contenido;
    QSet<QString> temas;
    for (const QString& texto : ingles) {
        auto item = base.LocalizaItem(texto);
        if (!item)
            throw ErrorTalvex(ItemDesconocido,
                              QStringLiteral("El ítem «%1» ya no está en el vocabulario: no se "
                                             "exportó nada.")
                                  .arg(texto));
        if (!temas.contains(item->NOMBRETEMA)) {
            temas.insert(item->NOMBRETEMA);
            if (const auto tema = base.LocalizaTema(item->NOMBRETEMA);
                tema && tema->NOMBRETEMA == item->NOMBRETEMA)
                contenido.temas.push_back(*tema);
        }
        contenido.items.push_back(std::move(*item));
    }
    return contenido;
}

// One table: every item with its topic's notes, then the topics no item names.
QByteArray GeneraExportacion(const Contenido& contenido, Formato formato, const Progreso& progreso)
{
    if (formato == Formato::Kvtml)
        throw ErrorTalvex(NumeroError::ArgumentoNoValido,
                          QStringLiteral("No se puede exportar en formato KVTML: solo se lee."));
    const bool esAnki = formato == Formato::Anki;
    const QChar separador = formato == Formato::Csv ? QLatin1Char(',') : QLatin1Char('\t');
    QHash<QString, QString> notasTemas;
    for (const Tema& tema : contenido.temas)
        notasTemas.insert(tema.NOMBRETEMA, tema.NOTASTEMA);

    QString linea;
    if (esAnki)
        linea = CabeceraAnkiTexto;
    else
        Csv::AgregaRegistro(
            linea, {CabeceraIngles, CabeceraEspanol, CabeceraTema, CabeceraNotas, ColumnaNotasTema},
            separador);
    QByteArray salida = linea.toUtf8();
    QSet<QString> nombrados;
    const qint64 total = static_cast<qint64>(contenido.items.size());
    for (qint64 i = 0; i < total; ++i) {
        const Item& item = contenido.items[static_cast<size_t>(i)];
        linea.clear();
        if (esAnki) {
            Csv::AgregaRegistro(linea,
                                {item.ITEMING, item.ITEMESP, item.NOMBRETEMA, item.NOTASITEM},
                                separador, true);
        } else {
            nombrados.insert(item.NOMBRETEMA);
            Csv::AgregaRegistro(linea,
                                {item.ITEMING, item.ITEMESP, item.NOMBRETEMA, item.NOTASITEM,
                                 notasTemas.value(item.NOMBRETEMA)},
                                separador);
        }
        salida += linea.toUtf8();
        if (progreso && (i % 1024 == 1023) && !progreso(i + 1, total))
            throw ErrorCancelado();
    }
    if (progreso && !progreso(total, total))
        throw ErrorCancelado();
    if (esAnki)
        return salida;
    linea.clear();
    for (const Tema& tema : contenido.temas)
        if (!nombrados.contains(tema.NOMBRETEMA))
            Csv::AgregaRegistro(linea,
                                {QString(), QString(), tema.NOMBRETEMA, QString(), tema.NOTASTEMA},
                                separador);
    salida += linea.toUtf8();
    return salida;
}

} // namespace

void Exporta(const BaseVocabulario& base, const QString& ruta, Formato formato,
             const std::optional<QString>& tema, const Progreso& progreso)
{
    EscribeArchivoSeguro(ruta, GeneraExportacion(ContenidoDe(base, tema), formato, progreso));
}

void ExportaItems(const BaseVocabulario& base, const std::vector<QString>& ingles,
                  const QString& ruta, Formato formato, const Progreso& progreso)
{
    EscribeArchivoSeguro(ruta, GeneraExportacion(ContenidoDe(base, ingles), formato, progreso));
}

QByteArray ExportaDatos(const BaseVocabulario& base, Formato formato,
                        const std::optional<QString>& tema)
{
    return GeneraExportacion(ContenidoDe(base, tema), formato, {});
}

} // namespace Intercambio
