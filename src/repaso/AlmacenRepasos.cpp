#include "repaso/AlmacenRepasos.h"

#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"

#include <algorithm>
#include <cmath>

namespace Repaso {

namespace {

// The card's columns, then its item's, as every read below gives them.
#define COLUMNAS_CARTA                                                                             \
    "t.IDTARJETA, t.IDITEM, t.TIPO, t.ESTADO, t.VENCE, t.ESTABILIDAD, t.DIFICULTAD, "              \
    "t.REPETICIONES, t.FALLOS, t.PASO, t.DIASPROGRAMADOS, t.ULTIMOREPASO, "
#define COLUMNAS_TARJETA                                                                           \
    COLUMNAS_CARTA "i.ITEMING, i.ITEMESP, i.NOMBRETEMA, i.NOTASITEM "                              \
                   "FROM TARJETAS AS t JOIN ITEMS AS i ON i.rowid = t.IDITEM "
#define COLUMNAS_SIN_TEXTOS COLUMNAS_CARTA "'', '', '', '' "

// The kinds of a choice as a set of bits, which one statement tests as `(?n >> TIPO) & 1`.
// SQLite keeps no NaN (it would store NULL): a figure that is not a number is stored as 0,
// which the model takes as no memory at all.
double Finito(double x)
{
    return std::isfinite(x) ? x : 0.0;
}

qint64 BitsTipos(const Eleccion& eleccion)
{
    qint64 bits = 0;
    for (Tipo tipo : eleccion.tipos)
        bits |= qint64(1) << static_cast<int>(tipo);
    return bits;
}

TarjetaItem LeeTarjeta(const SentenciaSqlite& fila)
{
    TarjetaItem t;
    t.guardada = true;
    t.tarjeta.id = fila.Entero(0);
    t.item = fila.Entero(1);
    t.tipo = Tipo(fila.Entero(2));
    // A state none of the four stays as read: the scheduler takes it as new.
    t.tarjeta.estado = Estado(fila.Entero(3));
    t.tarjeta.vence = fila.Entero(4);
    t.tarjeta.memoria = {fila.Real(5), fila.Real(6)};
    t.tarjeta.repeticiones = static_cast<int>(fila.Entero(7));
    t.tarjeta.olvidos = static_cast<int>(fila.Entero(8));
    t.tarjeta.paso = static_cast<int>(fila.Entero(9));
    t.tarjeta.diasProgramados = static_cast<int>(fila.Entero(10));
    if (!fila.EsNulo(11))
        t.tarjeta.ultimoRepaso = fila.Entero(11);
    t.ingles = fila.Texto(12);
    t.espanol = fila.Texto(13);
    t.tema = fila.Texto(14);
    t.notas = fila.Texto(15);
    return t;
}

void EscribeFilaTarjeta(ConexionSqlite& conexion, const TarjetaItem& t, qint64 id)
{
    const Tarjeta& c = t.tarjeta;
    auto escritura = conexion.Prepara(
        "INSERT INTO TARJETAS(IDTARJETA, IDITEM, TIPO, ESTADO, VENCE, ESTABILIDAD, DIFICULTAD, "
        "REPETICIONES, FALLOS, PASO, DIASPROGRAMADOS, ULTIMOREPASO) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12) "
        "ON CONFLICT(IDTARJETA) DO UPDATE SET ESTADO = excluded.ESTADO, "
        "VENCE = excluded.VENCE, ESTABILIDAD = excluded.ESTABILIDAD, "
        "DIFICULTAD = excluded.DIFICULTAD, REPETICIONES = excluded.REPETICIONES, "
        "FALLOS = excluded.FALLOS, PASO = excluded.PASO, "
        "DIASPROGRAMADOS = excluded.DIASPROGRAMADOS, ULTIMOREPASO = excluded.ULTIMOREPASO");
    if (id > 0)
        escritura.Enlaza(1, id);
    else
        escritura.EnlazaNulo(1);
    escritura.Enlaza(2, t.item)
        .Enlaza(3, qint64(t.tipo))
        .Enlaza(4, qint64(c.estado))
        .Enlaza(5, c.vence)
        .EnlazaReal(6, Finito(c.memoria.estabilidad))
        .EnlazaReal(7, Finito(c.memoria.dificultad))
        .Enlaza(8, qint64(c.repeticiones))
        .Enlaza(9, qint64(c.olvidos))
        .Enlaza(10, qint64(c.paso))
        .Enlaza(11, qint64(c.diasProgramados));
    if (c.ultimoRepaso)
        escritura.Enlaza(12, *c.ultimoRepaso);
    else
        escritura.EnlazaNulo(12);
    escritura.Ejecuta();
}

qint64 UltimaFila(ConexionSqlite& conexion)
{
    auto fila = conexion.Prepara("SELECT last_insert_rowid()");
    fila.Avanza();
    return fila.Entero(0);
}

qint64 Cuenta(ConexionSqlite& conexion, const char* sql, qint64 desde)
{
    auto cuenta = conexion.Prepara(sql);
    cuenta.Enlaza(1, desde);
    return cuenta.Avanza() ? cuenta.Entero(0) : 0;
}

} // namespace

QString NombreTipo(Tipo tipo)
{
    switch (tipo) {
    case Tipo::IngEsp:
        return QStringLiteral("ing-esp");
    case Tipo::EspIng:
        return QStringLiteral("esp-ing");
    case Tipo::Dictado:
        return QStringLiteral("dictado");
    }
    return {};
}

std::optional<Tipo> TipoDeNombre(const QString& nombre)
{
    for (Tipo tipo : {Tipo::IngEsp, Tipo::EspIng, Tipo::Dictado})
        if (nombre == NombreTipo(tipo))
            return tipo;
    return std::nullopt;
}

RegistroRepaso FilaDeRespuesta(const Tarjeta& antes, const Tarjeta& despues, Calificacion c,
                               qint64 ahora, const Dias& dias)
{
    RegistroRepaso r;
    r.tarjeta = despues.id;
    r.momento = ahora;
    r.calificacion = c;
    r.estadoAntes = antes.estado;
    if (antes.estado != Estado::Nueva && antes.ultimoRepaso)
        r.diasTranscurridos = dias.CuentaDias(*antes.ultimoRepaso, ahora);
    r.diasProgramados = despues.diasProgramados;
    r.memoria = despues.memoria;
    return r;
}

AlmacenRepasos::AlmacenRepasos(BaseVocabulario& base) : base(base) {}

RespuestaGuardada AlmacenRepasos::GuardaRespuesta(const TarjetaItem& antes, const Tarjeta& despues,
                                                  const RegistroRepaso& repaso)
{
    RespuestaGuardada guardada{antes, 0};
    base.EscribeAparte([&](ConexionSqlite& conexion) {
        TarjetaItem nueva = antes;
        nueva.tarjeta = despues;
        const qint64 id = EscribeTarjeta(conexion, nueva);
        RegistroRepaso fila = repaso;
        fila.tarjeta = id;
        AgregaRepaso(conexion, fila);
        guardada.filaRepaso = UltimaFila(conexion);
    });
    return guardada;
}

void AlmacenRepasos::DeshaceRespuesta(const RespuestaGuardada& respuesta)
{
    const TarjetaItem& antes = respuesta.antes;
    base.EscribeAparte([&](ConexionSqlite& conexion) {
        conexion.Prepara("DELETE FROM REPASOS WHERE rowid = ?1")
            .Enlaza(1, respuesta.filaRepaso)
            .Ejecuta();
        if (antes.guardada) {
            EscribeTarjeta(conexion, antes);
        } else {
            conexion.Prepara("DELETE FROM TARJETAS WHERE IDITEM = ?1 AND TIPO = ?2")
                .Enlaza(1, antes.item)
                .Enlaza(2, qint64(antes.tipo))
                .Ejecuta();
            qint64& desde = SinTarjetaDesde(antes.tipo);
            desde = std::min(desde, antes.item - 1);
        }
    });
}

qint64& AlmacenRepasos::SinTarjetaDesde(Tipo tipo) const
{
    if (base.Escrituras() != escriturasPista) {
        escriturasPista = base.Escrituras();
        std::fill(std::begin(sinTarjetaDesde), std::end(sinTarjetaDesde), 0);
    }
    return sinTarjetaDesde[std::clamp(static_cast<int>(tipo), 0, 3)];
}

qint64 AlmacenRepasos::ProximoIdTarjeta() const
{
    // AUTOINCREMENT gives one more than the largest id ever used.
    auto fila = base.ConexionAbierta().Prepara(
        "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE name = 'TARJETAS'), 0), "
        "coalesce((SELECT max(IDTARJETA) FROM TARJETAS), 0)) + 1");
    fila.Avanza();
    return fila.Entero(0);
}

void AlmacenRepasos::RecorreVencidas(const Eleccion& eleccion, qint64 hasta,
                                     const std::function<void(const TarjetaItem&)>& visita) const
{
    ConexionSqlite& conexion = base.ConexionAbierta();
    auto fila =
        eleccion.tema
            ? conexion.Prepara("SELECT " COLUMNAS_SIN_TEXTOS
                               "FROM TARJETAS AS t JOIN ITEMS AS i ON i.rowid = t.IDITEM "
                               "WHERE i.NOMBRETEMA = ?3 AND t.VENCE < ?1 AND (?2 >> t.TIPO) & 1")
            : conexion.Prepara("SELECT " COLUMNAS_SIN_TEXTOS "FROM TARJETAS AS t "
                               "WHERE t.VENCE < ?1 AND (?2 >> t.TIPO) & 1");
    fila.Enlaza(1, hasta).Enlaza(2, BitsTipos(eleccion));
    if (eleccion.tema)
        fila.Enlaza(3, *eleccion.tema);
    while (fila.Avanza())
        visita(LeeTarjeta(fila));
}

void AlmacenRepasos::CompletaItem(TarjetaItem& t) const
{
    auto fila = base.ConexionAbierta().Prepara(
        "SELECT ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM FROM ITEMS WHERE rowid = ?1");
    fila.Enlaza(1, t.item);
    if (!fila.Avanza())
        return;
    t.ingles = fila.Texto(0);
    t.espanol = fila.Texto(1);
    t.tema = fila.Texto(2);
    t.notas = fila.Texto(3);
}

std::array<int, 4> AlmacenRepasos::CuentaVencidas(const Eleccion& eleccion, qint64 hasta) const
{
    ConexionSqlite& conexion = base.ConexionAbierta();
    auto fila = eleccion.tema
                    ? conexion.Prepara("SELECT t.ESTADO, count(*) FROM TARJETAS AS t JOIN ITEMS "
                                       "AS i ON i.rowid = t.IDITEM WHERE i.NOMBRETEMA = ?3 AND "
                                       "t.VENCE < ?1 AND (?2 >> t.TIPO) & 1 GROUP BY t.ESTADO")
                    : conexion.Prepara("SELECT ESTADO, count(*) FROM TARJETAS WHERE VENCE < ?1 "
                                       "AND (?2 >> TIPO) & 1 GROUP BY ESTADO");
    fila.Enlaza(1, hasta).Enlaza(2, BitsTipos(eleccion));
    if (eleccion.tema)
        fila.Enlaza(3, *eleccion.tema);
    std::array<int, 4> cuentas{};
    while (fila.Avanza()) {
        // A state none of the four is a new card to the scheduler.
        const qint64 estado = fila.Entero(0);
        cuentas[estado >= 0 && estado < 4 ? estado : 0] += static_cast<int>(fila.Entero(1));
    }
    return cuentas;
}

std::vector<TarjetaItem> AlmacenRepasos::Nuevas(const Eleccion& eleccion, Tipo tipo,
                                                int cuantas) const
{
    std::vector<TarjetaItem> nuevas;
    if (cuantas <= 0)
        return nuevas;
    ConexionSqlite& conexion = base.ConexionAbierta();
#define ITEMS_SIN_TARJETA                                                                          \
    "SELECT rowid, ITEMING, ITEMESP, NOMBRETEMA, NOTASITEM FROM ITEMS AS i WHERE "                 \
    "NOT EXISTS(SELECT 1 FROM TARJETAS AS t WHERE t.IDITEM = i.rowid AND t.TIPO = ?2) "
    auto fila =
        eleccion.tema
            ? conexion.Prepara(ITEMS_SIN_TARJETA "AND NOMBRETEMA = ?4 ORDER BY rowid LIMIT ?3")
            : conexion.Prepara(ITEMS_SIN_TARJETA "AND rowid > ?1 ORDER BY rowid LIMIT ?3");
#undef ITEMS_SIN_TARJETA
    qint64& desde = SinTarjetaDesde(tipo);
    fila.Enlaza(1, desde).Enlaza(2, qint64(tipo)).Enlaza(3, qint64(cuantas));
    if (eleccion.tema)
        fila.Enlaza(4, *eleccion.tema);
    while (fila.Avanza()) {
        TarjetaItem t;
        t.tipo = tipo;
        t.item = fila.Entero(0);
        t.ingles = fila.Texto(1);
        t.espanol = fila.Texto(2);
        t.tema = fila.Texto(3);
        t.notas = fila.Texto(4);
        nuevas.push_back(std::move(t));
    }
    // Every item before the first one found has its card: the next search starts there.
    if (!eleccion.tema && !nuevas.empty())
        desde = std::max(desde, nuevas.front().item - 1);
    return nuevas;
}

int AlmacenRepasos::CuentaIntroducidas(qint64 desde) const
{
    return static_cast<int>(
        Cuenta(base.ConexionAbierta(),
               "SELECT count(*) FROM REPASOS WHERE MOMENTO >= ?1 AND ESTADO = 0", desde));
}

int AlmacenRepasos::CuentaRepasadas(qint64 desde) const
{
    return static_cast<int>(
        Cuenta(base.ConexionAbierta(),
               "SELECT count(*) FROM REPASOS WHERE MOMENTO >= ?1 AND ESTADO = 2", desde));
}

std::vector<qint64> AlmacenRepasos::ItemsRespondidos(qint64 desde) const
{
    std::vector<qint64> items;
    auto fila = base.ConexionAbierta().Prepara(
        "SELECT DISTINCT t.IDITEM FROM REPASOS AS r JOIN TARJETAS AS t "
        "ON t.IDTARJETA = r.IDTARJETA WHERE r.MOMENTO >= ?1");
    fila.Enlaza(1, desde);
    while (fila.Avanza())
        items.push_back(fila.Entero(0));
    return items;
}

void AlmacenRepasos::RecorreRepasos(const std::function<void(const RegistroRepaso&)>& visita) const
{
    auto fila = base.ConexionAbierta().Prepara(
        "SELECT rowid, IDTARJETA, MOMENTO, CALIFICACION, ESTADO, DIASTRANSCURRIDOS, "
        "DIASPROGRAMADOS, ESTABILIDAD, DIFICULTAD, DURACION, MODO, TIPO FROM REPASOS "
        "ORDER BY rowid");
    RegistroRepaso r;
    while (fila.Avanza()) {
        r.fila = fila.Entero(0);
        r.tarjeta = fila.Entero(1);
        r.momento = fila.Entero(2);
        r.calificacion = Calificacion(fila.Entero(3));
        r.estadoAntes = Estado(fila.Entero(4));
        r.diasTranscurridos = static_cast<int>(fila.Entero(5));
        r.diasProgramados = static_cast<int>(fila.Entero(6));
        r.memoria = {fila.Real(7), fila.Real(8)};
        r.duracion = fila.Entero(9);
        r.modo = Modo(fila.Entero(10));
        r.tipo = Tipo(fila.Entero(11));
        visita(r);
    }
}

void AlmacenRepasos::RecorreTarjetas(const std::function<void(const TarjetaItem&)>& visita) const
{
    auto fila = base.ConexionAbierta().Prepara("SELECT " COLUMNAS_TARJETA "ORDER BY t.IDTARJETA");
    while (fila.Avanza())
        visita(LeeTarjeta(fila));
}

std::optional<TarjetaItem> AlmacenRepasos::LocalizaTarjeta(qint64 item, Tipo tipo) const
{
    auto fila = base.ConexionAbierta().Prepara("SELECT " COLUMNAS_TARJETA
                                               "WHERE t.IDITEM = ?1 AND t.TIPO = ?2");
    fila.Enlaza(1, item).Enlaza(2, qint64(tipo));
    if (!fila.Avanza())
        return std::nullopt;
    return LeeTarjeta(fila);
}

qint64 AlmacenRepasos::EscribeTarjeta(ConexionSqlite& conexion, const TarjetaItem& tarjeta)
{
    EscribeFilaTarjeta(conexion, tarjeta, tarjeta.tarjeta.id);
    return tarjeta.tarjeta.id > 0 ? tarjeta.tarjeta.id : UltimaFila(conexion);
}

void AlmacenRepasos::AgregaRepaso(ConexionSqlite& conexion, const RegistroRepaso& r)
{
    conexion
        .Prepara("INSERT INTO REPASOS(IDTARJETA, MOMENTO, CALIFICACION, ESTADO, "
                 "DIASTRANSCURRIDOS, DIASPROGRAMADOS, ESTABILIDAD, DIFICULTAD, DURACION, MODO, "
                 "TIPO) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)")
        .Enlaza(1, r.tarjeta)
        .Enlaza(2, r.momento)
        .Enlaza(3, qint64(r.calificacion))
        .Enlaza(4, qint64(r.estadoAntes))
        .Enlaza(5, qint64(r.diasTranscurridos))
        .Enlaza(6, qint64(r.diasProgramados))
        .EnlazaReal(7, Finito(r.memoria.estabilidad))
        .EnlazaReal(8, Finito(r.memoria.dificultad))
        .Enlaza(9, r.duracion)
        .Enlaza(10, qint64(r.modo))
        .Enlaza(11, qint64(r.tipo))
        .Ejecuta();
}

} // namespace Repaso
