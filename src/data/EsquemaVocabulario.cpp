#include "data/EsquemaVocabulario.h"

#include "data/Cotejo.h"
#include "data/ErrorTalvex.h"
#include "data/Sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <sqlite3.h>

#include <utility>
#include <vector>

namespace {

// Every field is text and never NULL; the BLOB columns hold CalculaClaveOrden of the name
// or English text and carry the unique indexes that order and find the rows.
constexpr const char* Tablas = R"(
CREATE TABLE TEMAS(
    NOMBRETEMA TEXT NOT NULL,
    NOTASTEMA  TEXT NOT NULL,
    CLAVETEMA  BLOB NOT NULL);
CREATE TABLE ITEMS(
    ITEMING    TEXT NOT NULL,
    ITEMESP    TEXT NOT NULL,
    NOMBRETEMA TEXT NOT NULL,
    NOTASITEM  TEXT NOT NULL,
    CLAVEITEM  BLOB NOT NULL);
-- The topic walks compare topic names exactly, so this index keeps SQLite's byte order.
CREATE INDEX ITEMSTEMA ON ITEMS(NOMBRETEMA);
CREATE TABLE TALVEXMETA(CLAVE TEXT PRIMARY KEY, VALOR TEXT);
)";

// The item index lists English and Spanish texts in key order: holding both in this index
// lets SQLite read them in one sequential pass instead of one table lookup per row.
constexpr const char* IndiceListaItems =
    "CREATE INDEX IF NOT EXISTS ITEMSLISTA ON ITEMS(CLAVEITEM, ITEMING, ITEMESP)";

constexpr const char* IndicesUnicos = R"(
CREATE UNIQUE INDEX NOMBRETEMA ON TEMAS(CLAVETEMA);
CREATE UNIQUE INDEX ITEMING ON ITEMS(CLAVEITEM);
)";

// Practice: a card per item and kind (1 ing-esp, 2 esp-ing, 3 dictado), made when first
// answered, and a row per answer. A card follows its item's row: editing the item keeps it,
// deleting the item deletes it (its reviews stay, for the statistics). Card ids are never
// reused (AUTOINCREMENT), so the reviews of a deleted card never join a later one. Times are
// UTC milliseconds; states 0 new, 1 learning, 2 review, 3 relearning.
constexpr const char* TablasRepaso = R"(
CREATE TABLE TARJETAS(
    IDTARJETA       INTEGER PRIMARY KEY AUTOINCREMENT,
    IDITEM          INTEGER NOT NULL,
    TIPO            INTEGER NOT NULL,
    ESTADO          INTEGER NOT NULL,
    VENCE           INTEGER NOT NULL,
    ESTABILIDAD     REAL NOT NULL,
    DIFICULTAD      REAL NOT NULL,
    REPETICIONES    INTEGER NOT NULL,
    FALLOS          INTEGER NOT NULL,
    PASO            INTEGER NOT NULL,
    DIASPROGRAMADOS INTEGER NOT NULL,
    ULTIMOREPASO    INTEGER);
CREATE UNIQUE INDEX TARJETASITEM ON TARJETAS(IDITEM, TIPO);
-- Counting what is due reads this index alone.
CREATE INDEX TARJETASVENCE ON TARJETAS(VENCE, TIPO, ESTADO);
CREATE TABLE REPASOS(
    IDTARJETA         INTEGER NOT NULL,
    MOMENTO           INTEGER NOT NULL,
    CALIFICACION      INTEGER NOT NULL,
    ESTADO            INTEGER NOT NULL,
    DIASTRANSCURRIDOS INTEGER NOT NULL,
    DIASPROGRAMADOS   INTEGER NOT NULL,
    ESTABILIDAD       REAL NOT NULL,
    DIFICULTAD        REAL NOT NULL,
    DURACION          INTEGER NOT NULL,
    MODO              INTEGER NOT NULL,
    TIPO              INTEGER NOT NULL);
CREATE INDEX REPASOSMOMENTO ON REPASOS(MOMENTO);
CREATE TRIGGER ITEMSBORRADOS AFTER DELETE ON ITEMS BEGIN
    DELETE FROM TARJETAS WHERE IDITEM = old.rowid;
END;
)";

constexpr const char* LeeVersionCotejo =
    "SELECT VALOR FROM TALVEXMETA WHERE CLAVE = 'VERSIONCOTEJO'";
constexpr const char* GuardaVersionCotejo =
    "INSERT OR REPLACE INTO TALVEXMETA(CLAVE, VALOR) VALUES('VERSIONCOTEJO', ?1)";

struct TablaEsperada {
    const char* nombre;
    QStringList campos;
    const char* indiceUnico; // the unique index on the key column, or nullptr
    const char* campoClave;
    int desdeVersion = 1; // the first format that has it
};

const std::vector<TablaEsperada>& TablasEsperadas()
{
    static const std::vector<TablaEsperada> tablas = {
        {"TEMAS", {"NOMBRETEMA", "NOTASTEMA", "CLAVETEMA"}, "NOMBRETEMA", "CLAVETEMA"},
        {"ITEMS",
         {"ITEMING", "ITEMESP", "NOMBRETEMA", "NOTASITEM", "CLAVEITEM"},
         "ITEMING",
         "CLAVEITEM"},
        {"TALVEXMETA", {"CLAVE", "VALOR"}, nullptr, nullptr},
        {"TARJETAS",
         {"IDTARJETA", "IDITEM", "TIPO", "ESTADO", "VENCE", "ESTABILIDAD", "DIFICULTAD",
          "REPETICIONES", "FALLOS", "PASO", "DIASPROGRAMADOS", "ULTIMOREPASO"},
         nullptr,
         nullptr,
         2},
        {"REPASOS",
         {"IDTARJETA", "MOMENTO", "CALIFICACION", "ESTADO", "DIASTRANSCURRIDOS", "DIASPROGRAMADOS",
          "ESTABILIDAD", "DIFICULTAD", "DURACION", "MODO", "TIPO"},
         nullptr,
         nullptr,
         2},
    };
    return tablas;
}

qint64 LeeEntero(ConexionSqlite& conexion, const char* sql)
{
    auto sentencia = conexion.Prepara(sql);
    return sentencia.Avanza() ? sentencia.Entero(0) : 0;
}

QString DescribeTabla(ConexionSqlite& conexion, const TablaEsperada& tabla)
{
    QStringList presentes;
    auto campos = conexion.Prepara("SELECT name FROM pragma_table_info(?1)");
    campos.Enlaza(1, QString::fromLatin1(tabla.nombre));
    while (campos.Avanza())
        presentes << campos.Texto(0).toUpper();
    if (presentes.isEmpty())
        return QStringLiteral("falta la tabla %1.").arg(tabla.nombre);
    for (const QString& campo : tabla.campos)
        if (!presentes.contains(campo))
            return QStringLiteral("a la tabla %1 le falta el campo %2.").arg(tabla.nombre, campo);
    if (!tabla.indiceUnico)
        return {};
    // The index must be unique and on the key column alone: the walks and lookups rely on
    // it, and it is what refuses a second row with the same key.
    auto indice = conexion.Prepara(
        "SELECT group_concat(upper(c.name)) FROM pragma_index_list(?1) AS l, "
        "pragma_index_info(l.name) AS c WHERE upper(l.name) = ?2 AND l.\"unique\" = 1");
    indice.Enlaza(1, QString::fromLatin1(tabla.nombre))
        .Enlaza(2, QString::fromLatin1(tabla.indiceUnico));
    if (!indice.Avanza() || indice.Texto(0) != QLatin1String(tabla.campoClave))
        return QStringLiteral("falta el índice único %1 de la tabla %2.")
            .arg(tabla.indiceUnico, tabla.nombre);
    return {};
}

bool EsArchivoSqlite(const QString& ruta)
{
    static const QByteArray firma("SQLite format 3", 16); // with its closing zero byte
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) && archivo.read(firma.size()) == firma;
}

// What is said of a file SQLite itself refuses to read.
const QString DanadoOIncompleto = QStringLiteral("está dañado o incompleto.");

// One line of SQLite's check in Spanish: what is wrong and where, without the engine's own
// words. `indice` tells whether rebuilding that index from its table mends it.
QString TraduceHallazgo(const QString& linea, bool& indice)
{
    static const QRegularExpression falta(QStringLiteral("^row (\\d+) missing from index (\\S+)$"));
    static const QRegularExpression cuenta(QStringLiteral("^wrong # of entries in index (\\S+)$"));
    static const QRegularExpression repetida(
        QStringLiteral("^non-unique entry in UNIQUE index (\\S+)$"));
    static const QRegularExpression nulo(QStringLiteral("^NULL value in (\\S+)$"));
    static const QRegularExpression pagina(QStringLiteral("[Pp]age (\\d+)"));
    indice = false;
    if (const auto encaje = falta.match(linea); encaje.hasMatch()) {
        indice = true;
        return QStringLiteral("falta la fila %1 en el índice %2")
            .arg(encaje.captured(1), encaje.captured(2));
    }
    if (const auto encaje = cuenta.match(linea); encaje.hasMatch()) {
        indice = true;
        return QStringLiteral("el índice %1 no tiene tantas entradas como filas tiene su tabla")
            .arg(encaje.captured(1));
    }
    // Two rows with one key: rebuilding the unique index would refuse them.
    if (const auto encaje = repetida.match(linea); encaje.hasMatch())
        return QStringLiteral("el índice único %1 tiene entradas repetidas")
            .arg(encaje.captured(1));
    if (const auto encaje = nulo.match(linea); encaje.hasMatch())
        return QStringLiteral("el campo %1 de una fila está vacío (nulo)").arg(encaje.captured(1));
    if (const auto encaje = pagina.match(linea); encaje.hasMatch())
        return QStringLiteral("en la página %1").arg(encaje.captured(1));
    return QStringLiteral("en la estructura de sus páginas");
}

// SQLite's check in Spanish: every fault found, and whether they all lie in indexes.
DefectoPaginas TraduceComprobacion(const QStringList& lineas)
{
    DefectoPaginas resultado{{}, true};
    QStringList hallazgos;
    for (const QString& linea : lineas) {
        if (linea.startsWith(QLatin1String("***"))) // "*** in database main ***"
            continue;
        bool indice = false;
        const QString hallazgo = TraduceHallazgo(linea.trimmed(), indice);
        resultado.soloIndices &= indice;
        if (!hallazgos.contains(hallazgo) && hallazgos.size() < 3)
            hallazgos << hallazgo;
    }
    resultado.soloIndices &= !hallazgos.isEmpty();
    resultado.defecto =
        QStringLiteral("está dañado (%1).").arg(hallazgos.join(QStringLiteral("; ")));
    return resultado;
}

// The lines of a check. SQLite may stop half-way at a page it cannot read: what it said
// until then stays, with that fault, and a check that said nothing throws.
QStringList LineasDe(ConexionSqlite& conexion, const char* pragma)
{
    QStringList lineas;
    try {
        for (auto comprobacion = conexion.Prepara(pragma); comprobacion.Avanza();)
            lineas << comprobacion.Texto(0).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    } catch (const ErrorTalvex& error) {
        if (lineas.isEmpty() || error.Numero() != NumeroError::BaseNoValida)
            throw;
        lineas << QStringLiteral("malformed");
    }
    return lineas;
}

// SQLite's own check of every page, the one check that reads the whole file, with the
// page cache it should leave behind. The whole check then looks every row up in every index;
// it comes second, since it stops at a broken page where the quick check says which it is.
DefectoPaginas DefectoDePaginas(ConexionSqlite& conexion, const char* cache, Comprobacion nivel)
{
    const QStringList sano{QStringLiteral("ok")};
    conexion.EjecutaSql(cache);
    QStringList lineas = LineasDe(conexion, "PRAGMA quick_check(1)");
    if (lineas == sano && nivel == Comprobacion::Completa)
        lineas = LineasDe(conexion, "PRAGMA integrity_check(20)");
    return lineas == sano ? DefectoPaginas{} : TraduceComprobacion(lineas);
}

// The first thing wrong with the open file, or an empty text. SQLite's own refusals (not a
// database, damaged pages) come out as exceptions.
QString BuscaDefecto(ConexionSqlite& conexion, qint64 tamano, Comprobacion nivel)
{
    const qint64 idAplicacion = LeeEntero(conexion, "PRAGMA application_id");
    if (idAplicacion != IdAplicacionVocabulario)
        return idAplicacion == 0
                   ? QStringLiteral("es una base de datos SQLite, pero no de TALVEX.")
                   : QStringLiteral("es una base de datos de otro programa (identificador "
                                    "0x%1).")
                         .arg(static_cast<quint32>(idAplicacion), 8, 16, QLatin1Char('0'));
    const qint64 version = LeeEntero(conexion, "PRAGMA user_version");
    if (version > VersionFormatoVocabulario)
        return QStringLiteral("lo escribió una versión más reciente de TALVEX (formato número "
                              "%1; esta versión lee hasta el número %2). No se modificó.")
            .arg(version)
            .arg(VersionFormatoVocabulario);
    if (version < VersionMinimaVocabulario)
        return QStringLiteral("su formato es el número %1 y esta versión de TALVEX solo lee "
                              "desde el número %2.")
            .arg(version)
            .arg(VersionMinimaVocabulario);
    const qint64 esperado =
        LeeEntero(conexion, "PRAGMA page_count") * LeeEntero(conexion, "PRAGMA page_size");
    if (tamano < esperado)
        return QStringLiteral("está incompleto: mide %1 bytes y debería medir %2.")
            .arg(tamano)
            .arg(esperado);
    for (const TablaEsperada& tabla : TablasEsperadas()) {
        if (tabla.desdeVersion > version)
            continue;
        const QString defecto = DescribeTabla(conexion, tabla);
        if (!defecto.isEmpty())
            return defecto;
    }
    // With room for a large vocabulary (some 250,000 items, memory taken only as pages are
    // read) the pages stay in memory and the first walks find them there.
    return nivel == Comprobacion::Estructura
               ? QString()
               : DefectoDePaginas(conexion, "PRAGMA cache_size = -65536", nivel).defecto;
}

void RecalculaClaves(ConexionSqlite& conexion, const char* leeTextos, const char* guardaClave)
{
    // Read first, then write: rows are not changed under a statement still walking them.
    std::vector<std::pair<qint64, QString>> filas;
    for (auto lectura = conexion.Prepara(leeTextos); lectura.Avanza();)
        filas.emplace_back(lectura.Entero(0), lectura.Texto(1));
    for (const auto& [fila, texto] : filas)
        conexion.Prepara(guardaClave).Enlaza(1, CalculaClaveOrden(texto)).Enlaza(2, fila).Ejecuta();
}

} // namespace

void CreaEsquemaVocabulario(ConexionSqlite& conexion)
{
    conexion.EjecutaSql(Tablas);
    conexion.EjecutaSql(IndicesUnicos);
    conexion.EjecutaSql(IndiceListaItems);
    conexion.EjecutaSql(TablasRepaso);
    conexion.Prepara(GuardaVersionCotejo).Enlaza(1, ObtieneVersionCotejo()).Ejecuta();
    conexion.EjecutaSql("PRAGMA application_id = 1413565526; PRAGMA user_version = 2");
    static_assert(IdAplicacionVocabulario == 1413565526 && VersionFormatoVocabulario == 2);
}

bool NecesitaActualizarFormato(ConexionSqlite& conexion)
{
    return LeeEntero(conexion, "PRAGMA user_version") < VersionFormatoVocabulario;
}

void ActualizaFormato(ConexionSqlite& conexion)
{
    if (!NecesitaActualizarFormato(conexion))
        return;
    // Format 1 lacks only practice's tables: they are added, and the number raised, together.
    TransaccionSqlite transaccion(conexion);
    conexion.EjecutaSql(TablasRepaso);
    conexion.EjecutaSql("PRAGMA user_version = 2");
    static_assert(VersionFormatoVocabulario == 2);
    transaccion.Confirma();
}

QString DefectoBaseVocabulario(ConexionSqlite& conexion, const QString& ruta, Comprobacion nivel)
{
    const QFileInfo archivo(ruta);
    if (archivo.size() == 0)
        return QStringLiteral("el archivo está vacío.");
    if (!EsArchivoSqlite(ruta))
        return QStringLiteral("no es una base de datos, sino otro tipo de archivo.");
    try {
        return BuscaDefecto(conexion, archivo.size(), nivel);
    } catch (const ErrorTalvex& error) {
        if (error.Numero() != NumeroError::BaseNoValida)
            throw;
        return DanadoOIncompleto;
    }
}

ErrorTalvex ErrorBaseNoValida(const QString& ruta, const QString& defecto)
{
    return ErrorTalvex(NumeroError::BaseNoValida,
                       QStringLiteral("El archivo '%1' no es una base de datos de TALVEX "
                                      "válida: %2")
                           .arg(QFileInfo(ruta).fileName(), defecto));
}

void CompruebaBaseVocabulario(ConexionSqlite& conexion, const QString& ruta, Comprobacion nivel)
{
    const QString defecto = DefectoBaseVocabulario(conexion, ruta, nivel);
    if (!defecto.isEmpty())
        throw ErrorBaseNoValida(ruta, defecto);
}

DefectoPaginas DefectoPaginasAparte(const QString& ruta, Comprobacion nivel)
{
    try {
        ConexionSqlite conexion;
        conexion.Abre(ruta, SQLITE_OPEN_READONLY);
        // Read once, on a connection of its own: the quick check keeps nothing in memory; the
        // whole one looks rows up in the indexes, which it finds again in its cache.
        return DefectoDePaginas(conexion,
                                nivel == Comprobacion::Completa ? "PRAGMA cache_size = -65536"
                                                                : "PRAGMA cache_size = -2048",
                                nivel);
    } catch (const ErrorTalvex&) {
        return {DanadoOIncompleto, false};
    }
}

bool NecesitaArreglos(ConexionSqlite& conexion)
{
    if (NecesitaActualizarFormato(conexion))
        return true;
    {
        auto indice = conexion.Prepara(
            "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = 'ITEMSLISTA'");
        if (!indice.Avanza() || indice.Entero(0) == 0)
            return true;
    }
    {
        auto modo = conexion.Prepara("PRAGMA journal_mode");
        if (!modo.Avanza() || modo.Texto(0).compare(QLatin1String("delete"), Qt::CaseInsensitive))
            return true;
    }
    auto guardada = conexion.Prepara(LeeVersionCotejo);
    return !guardada.Avanza() || guardada.Texto(0) != ObtieneVersionCotejo();
}

void CompletaIndices(ConexionSqlite& conexion)
{
    conexion.EjecutaSql(IndiceListaItems);
}

void ActualizaClavesOrden(ConexionSqlite& conexion)
{
    const QString version = ObtieneVersionCotejo();
    {
        auto guardada = conexion.Prepara(LeeVersionCotejo);
        if (guardada.Avanza() && guardada.Texto(0) == version)
            return;
    }
    TransaccionSqlite transaccion(conexion);
    // Without the unique indexes while the keys change, so that one row's new key may
    // equal another row's old key for a moment.
    conexion.EjecutaSql("DROP INDEX NOMBRETEMA; DROP INDEX ITEMING");
    RecalculaClaves(conexion, "SELECT rowid, NOMBRETEMA FROM TEMAS",
                    "UPDATE TEMAS SET CLAVETEMA = ?1 WHERE rowid = ?2");
    RecalculaClaves(conexion, "SELECT rowid, ITEMING FROM ITEMS",
                    "UPDATE ITEMS SET CLAVEITEM = ?1 WHERE rowid = ?2");
    try {
        conexion.EjecutaSql(IndicesUnicos);
    } catch (const ErrorTalvex& error) {
        if (error.Numero() != NumeroError::ClaveDuplicada)
            throw;
        throw ErrorTalvex(NumeroError::ClaveDuplicada,
                          QStringLiteral("Con el orden alfabético de esta instalación, dos temas "
                                         "o dos items de la base de datos tienen la misma clave: "
                                         "la base de datos no se modificó."));
    }
    conexion.Prepara(GuardaVersionCotejo).Enlaza(1, version).Ejecuta();
    transaccion.Confirma();
}
