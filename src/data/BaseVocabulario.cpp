#include "data/BaseVocabulario.h"

#include "data/Cotejo.h"
#include "data/EsquemaVocabulario.h"
#include "data/LlamadasSistema.h"
#include "data/Sqlite.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <future>
#include <type_traits>

namespace {

void ExigeRegistro(const ConexionSqlite& conexion)
{
    if (conexion.Cambios() == 0)
        throw ErrorTalvex(NumeroError::SinRegistroActual,
                          QStringLiteral("No hay ningún registro con esa clave: el cambio no se "
                                         "guardó."));
}

} // namespace

struct BaseVocabulario::Datos {
    ConexionSqlite conexion;

    ConexionSqlite& Abierta()
    {
        if (!conexion.EstaAbierta())
            throw ErrorTalvex(NumeroError::TablaNoAbierta,
                              QStringLiteral("Las tablas de la base de datos no están abiertas."));
        return conexion;
    }

    // Each write is a unit of its own (a savepoint inside EnTransaccion): a write that is
    // refused half-way leaves nothing behind.
    // Writes confirmed since the object was made (another file opened counts as one).
    quint64 escrituras = 0;
    // A write was committed to the file since it was opened (the closing copies it then).
    bool cambiada = false;
    // The check of every page, running aside after AbreComprobandoAparte: its finding.
    std::future<DefectoPaginas> paginas;
    // Found by that check: faults in the indexes only, which ReconstruyeIndices mends.
    QString indicesDanados;
    QString ruta;

    // The changes of the writes since `diarioDesde`, each with the write that made it.
    struct Anotado {
        quint64 escritura;
        enum class Que { Item, TemaDeItems, Temas } que;
        QString a, b;
    };
    std::vector<Anotado> diario;
    quint64 diarioDesde = 0;
    static constexpr size_t MaximoDiario = 50000;

    void Anota(Anotado::Que que, const QString& a = {}, const QString& b = {})
    {
        if (diario.size() >= MaximoDiario)
            OlvidaCambios();
        else
            diario.push_back({escrituras, que, a, b});
    }
    // Whoever kept a copy from before now reads the store whole again.
    void OlvidaCambios()
    {
        diario.clear();
        diarioDesde = escrituras;
    }

    // Counts a confirmed write; the outermost one has reached the file.
    void Confirmada(bool vocabulario = true)
    {
        escrituras += vocabulario ? 1 : 0;
        cambiada |= sqlite3_get_autocommit(conexion.Manejador()) != 0;
    }

    // Waits for the check running aside, if any: a damaged file is closed and its fault
    // thrown; one whose indexes alone are damaged stays open and unwritten (its fault is
    // returned); a sound one may be written from then on.
    const QString& Comprobada()
    {
        if (paginas.valid()) {
            const DefectoPaginas hallado = paginas.get();
            if (hallado.defecto.isEmpty()) {
                conexion.EjecutaSql("PRAGMA query_only = OFF");
            } else if (!hallado.soloIndices) {
                conexion.Cierra();
                throw ErrorBaseNoValida(ruta, hallado.defecto);
            } else {
                indicesDanados = hallado.defecto;
            }
        }
        return indicesDanados;
    }

    // Before a write: the file must be known sound.
    void ExigeSana()
    {
        if (!Comprobada().isEmpty())
            throw ErrorBaseNoValida(ruta, indicesDanados);
    }

    template <typename Cambio> auto Escribe(Cambio&& cambio)
    {
        ExigeSana(); // a file not yet known sound is never written
        TransaccionSqlite transaccion(Abierta());
        if constexpr (std::is_void_v<std::invoke_result_t<Cambio&, ConexionSqlite&>>) {
            cambio(conexion);
            transaccion.Confirma();
            Confirmada();
        } else {
            auto resultado = cambio(conexion);
            transaccion.Confirma();
            Confirmada();
            return resultado;
        }
    }
};

BaseVocabulario::BaseVocabulario() : d(std::make_unique<Datos>()) {}
BaseVocabulario::~BaseVocabulario() = default;

void BaseVocabulario::CreaVacia(const QString& ruta)
{
    CreaArchivoSqlite(ruta, CreaEsquemaVocabulario);
}

void BaseVocabulario::Abre(const QString& ruta)
{
    AbreCon(ruta, false, Comprobacion::Paginas);
}

void BaseVocabulario::Abre(const QString& ruta, Comprobacion nivel)
{
    AbreCon(ruta, false, nivel);
}

void BaseVocabulario::AbreComprobandoAparte(const QString& ruta)
{
    AbreCon(ruta, true, Comprobacion::Paginas);
}

QString BaseVocabulario::TerminaComprobacion()
{
    return d->Comprobada();
}

void BaseVocabulario::ReconstruyeIndices()
{
    ConexionSqlite& conexion = d->Abierta();
    try {
        conexion.EjecutaSql("PRAGMA query_only = OFF");
        {
            TransaccionSqlite transaccion(conexion);
            conexion.EjecutaSql("REINDEX");
            transaccion.Confirma();
        }
        CompruebaBaseVocabulario(conexion, d->ruta, Comprobacion::Completa);
    } catch (const ErrorTalvex& error) {
        d->conexion.Cierra();
        // A rebuild refused (two rows with one key, say) leaves the file as it was found.
        if (error.Numero() == NumeroError::BaseNoValida)
            throw;
        throw ErrorBaseNoValida(d->ruta, d->indicesDanados);
    } catch (...) {
        d->conexion.Cierra();
        throw;
    }
    d->indicesDanados.clear();
    d->Confirmada();
}

void BaseVocabulario::AbreCon(const QString& ruta, bool aparte, Comprobacion nivel)
{
    Cierra();
    d->indicesDanados.clear();
    d->cambiada = false;
    ++d->escrituras; // what was read from another file is no longer current
    d->OlvidaCambios();
    const QFileInfo archivo(ruta);
    if (!archivo.exists())
        throw ErrorTalvex(NumeroError::ArchivoNoEncontrado,
                          QStringLiteral("No se encuentra la base de datos '%1'.").arg(ruta));
    if (!archivo.isFile())
        throw ErrorTalvex(NumeroError::BaseNoValida,
                          QStringLiteral("'%1' no es un archivo de base de datos.").arg(ruta));
    if (!archivo.isReadable())
        throw ErrorTalvex(
            NumeroError::PermisoDenegado,
            QStringLiteral("No tiene permiso para leer la base de datos '%1'.").arg(ruta));
    try {
        // Never SQLITE_OPEN_CREATE: a missing file is never created. The connection is used by
        // one thread only (the check aside and the copies open their own), so SQLite need not
        // lock it on every call: a million rows are read at start-up.
        d->conexion.Abre(ruta, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        // Nothing is written before the file is known to be ours and sound. The check of
        // every page may run aside only when opening writes nothing.
        CompruebaBaseVocabulario(d->conexion, ruta, Comprobacion::Estructura);
        d->ruta = ruta;
        if (aparte && !NecesitaArreglos(d->conexion)) {
            d->conexion.EjecutaSql("PRAGMA synchronous=FULL; PRAGMA query_only = ON");
            const Comprobacion paginas = archivo.size() <= TamanoComprobacionCompletaAlIniciar
                                             ? Comprobacion::Completa
                                             : Comprobacion::Paginas;
            d->paginas = std::async(std::launch::async, [ruta, paginas] {
                // The item list filled next notes which English texts hold joining
                // characters: the table that tells them is made here meanwhile, once a run.
                SeUneAlAnterior(U'a');
                // Nothing waits for the check until the first write: the lists it runs
                // beside are filled first.
                BajaPrioridadHilo();
                return DefectoPaginasAparte(ruta, paginas);
            });
            return;
        }
        CompruebaBaseVocabulario(d->conexion, ruta, nivel);
        d->conexion.EjecutaSql("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
        CompletaIndices(d->conexion);
        ActualizaFormato(d->conexion);
        ActualizaClavesOrden(d->conexion);
    } catch (...) {
        d->conexion.Cierra();
        throw;
    }
}

void BaseVocabulario::Cierra()
{
    if (d->paginas.valid())
        d->paginas.wait(); // the check aside ends before its file may be replaced
    d->paginas = {};
    d->conexion.Cierra();
}

bool BaseVocabulario::EstaAbierta() const
{
    return d->conexion.EstaAbierta();
}

sqlite3* BaseVocabulario::Conexion() const
{
    return d->conexion.Manejador();
}

void BaseVocabulario::EnTransaccion(const std::function<void()>& cuerpo)
{
    try {
        TransaccionSqlite transaccion(d->Abierta());
        cuerpo();
        transaccion.Confirma();
    } catch (...) {
        d->OlvidaCambios(); // the changes noted inside were undone
        throw;
    }
    d->Confirmada();
}

void BaseVocabulario::EscribeAparte(const std::function<void(ConexionSqlite&)>& cambio)
{
    d->ExigeSana();
    TransaccionSqlite transaccion(d->Abierta());
    cambio(d->conexion);
    transaccion.Confirma();
    d->Confirmada(false);
}

ConexionSqlite& BaseVocabulario::ConexionAbierta() const
{
    return d->Abierta();
}

void BaseVocabulario::ReduceCache()
{
    ConexionSqlite& conexion = d->Abierta();
    conexion.EjecutaSql("PRAGMA cache_size = -8192");
    sqlite3_db_release_memory(conexion.Manejador());
}

quint64 BaseVocabulario::Escrituras() const
{
    return d->escrituras;
}

std::optional<CambiosVocabulario> BaseVocabulario::CambiosDesde(quint64 escrituras) const
{
    if (escrituras < d->diarioDesde || escrituras > d->escrituras)
        return std::nullopt;
    CambiosVocabulario cambios;
    for (const Datos::Anotado& anotado : d->diario) {
        if (anotado.escritura <= escrituras)
            continue;
        switch (anotado.que) {
        case Datos::Anotado::Que::Item:
            cambios.items.push_back(anotado.a);
            if (!anotado.b.isEmpty())
                cambios.items.push_back(anotado.b);
            break;
        case Datos::Anotado::Que::TemaDeItems:
            cambios.temasDeItems.emplace_back(anotado.a, anotado.b);
            break;
        case Datos::Anotado::Que::Temas:
            cambios.temas = true;
            break;
        }
    }
    return cambios;
}

bool BaseVocabulario::Cambiada() const
{
    return d->cambiada;
}

std::optional<QString> BaseVocabulario::LeeAjuste(const QString& clave) const
{
    auto fila = d->Abierta().Prepara("SELECT VALOR FROM TALVEXMETA WHERE CLAVE = ?1");
    fila.Enlaza(1, QStringLiteral("AJUSTE.") + clave);
    if (!fila.Avanza())
        return std::nullopt;
    return fila.Texto(0);
}

void BaseVocabulario::GuardaAjuste(const QString& clave, const QString& valor)
{
    d->Escribe([&](ConexionSqlite& conexion) {
        conexion.Prepara("INSERT OR REPLACE INTO TALVEXMETA(CLAVE, VALOR) VALUES(?1, ?2)")
            .Enlaza(1, QStringLiteral("AJUSTE.") + clave)
            .Enlaza(2, valor)
            .Ejecuta();
    });
}

// ---------------------------------------------------------------------------------------
// Topics

namespace {
void VisitaTemas(ConexionSqlite& conexion, const std::function<void(const Tema&)>& visita)
{
    auto fila = conexion.Prepara("SELECT NOMBRETEMA, NOTASTEMA FROM TEMAS ORDER BY CLAVETEMA");
    Tema tema;
    while (fila.Avanza()) {
        tema.NOMBRETEMA = fila.Texto(0);
        tema.NOTASTEMA = fila.Texto(1);
        visita(tema);
    }
}
} // namespace

void BaseVocabulario::RecorreTemas(const std::function<void(const Tema&)>& visita) const
{
    if (!d->conexion.EstaAbierta())
        return;
    VisitaTemas(d->conexion, visita);
}

int BaseVocabulario::CuentaTemas() const
{
    auto cuenta = d->Abierta().Prepara("SELECT count(*) FROM TEMAS");
    cuenta.Avanza();
    return static_cast<int>(cuenta.Entero(0));
}

std::optional<Tema> BaseVocabulario::LocalizaTema(const QString& nombre) const
{
    auto fila = d->Abierta().Prepara(
        "SELECT NOMBRETEMA, NOTASTEMA FROM TEMAS WHERE CLAVETEMA = ?1 LIMIT 1");
    fila.Enlaza(1, CalculaClaveOrden(nombre));
    if (!fila.Avanza())
        return std::nullopt;
    return Tema{fila.Texto(0), fila.Texto(1)};
}

void BaseVocabulario::AgregaTema(const Tema& tema)
{
    d->Escribe([&](ConexionSqlite& conexion) {
        conexion.Prepara("INSERT INTO TEMAS(NOMBRETEMA, NOTASTEMA, CLAVETEMA) VALUES(?1, ?2, ?3)")
            .Enlaza(1, tema.NOMBRETEMA)
            .Enlaza(2, tema.NOTASTEMA)
            .Enlaza(3, CalculaClaveOrden(tema.NOMBRETEMA))
            .Ejecuta();
    });
    d->Anota(Datos::Anotado::Que::Temas);
}

void BaseVocabulario::ModificaTema(const QString& nombreAnterior, const Tema& tema)
{
    d->Escribe([&](ConexionSqlite& conexion) {
        conexion
            .Prepara("UPDATE TEMAS SET NOMBRETEMA = ?1, NOTASTEMA = ?2, CLAVETEMA = ?3 "
                     "WHERE CLAVETEMA = ?4")
            .Enlaza(1, tema.NOMBRETEMA)
            .Enlaza(2, tema.NOTASTEMA)
            .Enlaza(3, CalculaClaveOrden(tema.NOMBRETEMA))
            .Enlaza(4, CalculaClaveOrden(nombreAnterior))
            .Ejecuta();
        ExigeRegistro(conexion);
    });
    d->Anota(Datos::Anotado::Que::Temas);
}

void BaseVocabulario::EliminaTema(const QString& nombre)
{
    d->Escribe([&](ConexionSqlite& conexion) {
        conexion.Prepara("DELETE FROM TEMAS WHERE CLAVETEMA = ?1")
            .Enlaza(1, CalculaClaveOrden(nombre))
            .Ejecuta();
        ExigeRegistro(conexion);
    });
    d->Anota(Datos::Anotado::Que::Temas);
}

// ---------------------------------------------------------------------------------------
// Items

namespace {
// The page cache of a connection kept small while it lives, then as large as it was. A cache
// that already holds pages by the thousand (the opening's whole check read the file into it)
// is left as it is: the walk finds its pages there.
class CacheReducida {
public:
    explicit CacheReducida(ConexionSqlite& conexion) : conexion_(conexion)
    {
        int usada = 0, maxima = 0;
        sqlite3_db_status(conexion.Manejador(), SQLITE_DBSTATUS_CACHE_USED, &usada, &maxima, 0);
        if (usada >= (8 << 20))
            return;
        auto tamano = conexion.Prepara("PRAGMA cache_size");
        if (!tamano.Avanza())
            return;
        antes_ = "PRAGMA cache_size = " + QByteArray::number(tamano.Entero(0));
        conexion.EjecutaSql("PRAGMA cache_size = 16");
    }
    ~CacheReducida()
    {
        try {
            if (!antes_.isEmpty() && conexion_.EstaAbierta())
                conexion_.EjecutaSql(antes_.constData());
        } catch (const ErrorTalvex&) {
            // The cache stays small: later reads are slower, never wrong.
        }
    }
    CacheReducida(const CacheReducida&) = delete;
    CacheReducida& operator=(const CacheReducida&) = delete;

private:
    ConexionSqlite& conexion_;
    QByteArray antes_; // what sets the cache back
};

// Returns how many rows it visited; with `clave`, the last row's key (column 4) goes there.
int VisitaItems(SentenciaSqlite& fila, const std::function<void(const Item&)>& visita,
                std::optional<QByteArray>* clave = nullptr)
{
    Item item;
    int visitadas = 0;
    while (fila.Avanza()) {
        item.ITEMING = fila.Texto(0);
        item.ITEMESP = fila.Texto(1);
        item.NOMBRETEMA = fila.Texto(2);
        item.NOTASITEM = fila.Texto(3);
        if (clave)
            *clave = fila.Bytes(4);
        ++visitadas;
        visita(item);
    }
    return visitadas;
}
} // namespace

void BaseVocabulario::RecorreItems(const std::function<void(const Item&)>& visita) const
{
    if (!d->conexion.EstaAbierta())
        return;
    auto fila = d->conexion.Prepara(
        "SELECT ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM FROM ITEMS ORDER BY CLAVEITEM");
    VisitaItems(fila, visita);
}

bool RecorreVocabularioAparte(const QString& ruta, const std::function<void(const Tema&)>& temas,
                              const std::function<void(const Item&)>& items,
                              const std::function<bool()>& sigue)
{
    // A piece reads in about a millisecond: the store's writer, which must wait for readers to
    // end before it commits, waits no longer than that.
    constexpr int FilasPorTrozo = 200;
    ConexionSqlite conexion;
    conexion.Abre(ruta, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    VisitaTemas(conexion, temas);
    std::optional<QByteArray> ultima;
    for (;;) {
        if (!sigue())
            return false;
        auto fila = ultima ? conexion.Prepara("SELECT ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM, "
                                              "CLAVEITEM FROM ITEMS WHERE CLAVEITEM > ?1 "
                                              "ORDER BY CLAVEITEM LIMIT ?2")
                           : conexion.Prepara("SELECT ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM, "
                                              "CLAVEITEM FROM ITEMS ORDER BY CLAVEITEM LIMIT ?2");
        if (ultima)
            fila.Enlaza(1, *ultima);
        fila.Enlaza(2, qint64{FilasPorTrozo});
        if (VisitaItems(fila, items, &ultima) < FilasPorTrozo)
            return true;
    }
}

void BaseVocabulario::RecorreFilasItems(
    const std::function<void(QByteArrayView, QByteArrayView)>& visita) const
{
    if (!d->conexion.EstaAbierta())
        return;
    // The walk reads its index once, page after page: a few pages of cache serve it, where
    // taking thousands of page buffers for pages read once costs more than reading them.
    const CacheReducida reducida(d->conexion);
    // Served by the index ITEMSLISTA alone, in key order.
    auto fila = d->conexion.Prepara("SELECT ITEMING, ITEMESP FROM ITEMS ORDER BY CLAVEITEM");
    while (fila.Avanza())
        visita(fila.Utf8(0), fila.Utf8(1));
}

void BaseVocabulario::RecorreItemsDeTema(const QString& tema,
                                         const std::function<void(const Item&)>& visita) const
{
    if (!d->conexion.EstaAbierta())
        return;
    // "=" on TEXT compares bytes: a topic differing only in case is another topic.
    auto fila = d->conexion.Prepara("SELECT ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM FROM ITEMS "
                                    "WHERE NOMBRETEMA = ?1 ORDER BY CLAVEITEM");
    fila.Enlaza(1, tema);
    VisitaItems(fila, visita);
}

std::optional<Item> BaseVocabulario::LocalizaItem(const QString& ingles) const
{
    auto fila = d->Abierta().Prepara("SELECT ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM FROM ITEMS "
                                     "WHERE CLAVEITEM = ?1 LIMIT 1");
    fila.Enlaza(1, CalculaClaveOrden(ingles));
    if (!fila.Avanza())
        return std::nullopt;
    return Item{fila.Texto(0), fila.Texto(1), fila.Texto(2), fila.Texto(3)};
}

void BaseVocabulario::AgregaItem(const Item& item)
{
    d->Escribe([&](ConexionSqlite& conexion) {
        conexion
            .Prepara("INSERT INTO ITEMS(ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM, CLAVEITEM) "
                     "VALUES(?1, ?2, ?3, ?4, ?5)")
            .Enlaza(1, item.ITEMING)
            .Enlaza(2, item.ITEMESP)
            .Enlaza(3, item.NOMBRETEMA)
            .Enlaza(4, item.NOTASITEM)
            .Enlaza(5, CalculaClaveOrden(item.ITEMING))
            .Ejecuta();
    });
    d->Anota(Datos::Anotado::Que::Item, item.ITEMING);
}

void BaseVocabulario::ModificaItem(const QString& ingles, const Item& item)
{
    d->Escribe([&](ConexionSqlite& conexion) {
        conexion
            .Prepara("UPDATE ITEMS SET ITEMING = ?1, ITEMESP = ?2, NOMBRETEMA = ?3, "
                     "NOTASITEM = ?4, CLAVEITEM = ?5 WHERE CLAVEITEM = ?6")
            .Enlaza(1, item.ITEMING)
            .Enlaza(2, item.ITEMESP)
            .Enlaza(3, item.NOMBRETEMA)
            .Enlaza(4, item.NOTASITEM)
            .Enlaza(5, CalculaClaveOrden(item.ITEMING))
            .Enlaza(6, CalculaClaveOrden(ingles))
            .Ejecuta();
        ExigeRegistro(conexion);
    });
    d->Anota(Datos::Anotado::Que::Item, ingles, item.ITEMING);
}

void BaseVocabulario::EliminaItem(const QString& ingles)
{
    d->Escribe([&](ConexionSqlite& conexion) {
        conexion.Prepara("DELETE FROM ITEMS WHERE CLAVEITEM = ?1")
            .Enlaza(1, CalculaClaveOrden(ingles))
            .Ejecuta();
        ExigeRegistro(conexion);
    });
    d->Anota(Datos::Anotado::Que::Item, ingles);
}

int BaseVocabulario::CambiaTemaItems(const QString& nombreAnterior, const QString& nombreNuevo)
{
    const int cambiadas = d->Escribe([&](ConexionSqlite& conexion) {
        // "=" on a TEXT column compares bytes: only the exact spelling, same case, matches.
        conexion.Prepara("UPDATE ITEMS SET NOMBRETEMA = ?2 WHERE NOMBRETEMA = ?1")
            .Enlaza(1, nombreAnterior)
            .Enlaza(2, nombreNuevo)
            .Ejecuta();
        return conexion.Cambios();
    });
    d->Anota(Datos::Anotado::Que::TemaDeItems, nombreAnterior, nombreNuevo);
    return cambiadas;
}

void BaseVocabulario::RenombraTema(const QString& nombreAnterior, const Tema& tema)
{
    EnTransaccion([&] {
        const auto guardado = LocalizaTema(nombreAnterior);
        if (guardado && guardado->NOMBRETEMA == nombreAnterior)
            ModificaTema(nombreAnterior, tema);
        CambiaTemaItems(nombreAnterior, tema.NOMBRETEMA);
    });
}

void BaseVocabulario::EliminaTemaConservandoItems(const QString& nombre)
{
    EnTransaccion([&] {
        if (LocalizaTema(nombre))
            EliminaTema(nombre);
        CambiaTemaItems(nombre, SinCategoria);
    });
}
