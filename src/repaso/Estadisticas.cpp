#include "repaso/Estadisticas.h"

#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/Dias.h"
#include "repaso/EstadisticasRegistro.h"
#include "repaso/Programador.h"

#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <thread>
#include <utility>

namespace Repaso {

namespace {

constexpr qint64 MsPorDia = 24 * 60 * 60 * 1000;

// What the cards of the choice say now: due, states, topics, words known.
class LecturaTarjetas {
public:
    LecturaTarjetas(Estadisticas& e, const Modelo& modelo, const Dias& dias, qint64 ahora)
        : e(e), modelo(modelo), ahora(ahora)
    {
        inicios.reserve(DiasAdelante + 1);
        for (int i = 0; i <= DiasAdelante; ++i)
            inicios.push_back(dias.InicioDia(e.hoy + i));
        e.vencen.assign(DiasAdelante, 0);
    }

    void Lee(ConexionSqlite& conexion, const std::optional<QString>& tema)
    {
        LeeOrdenTemas(conexion);
        LeeTemasDeItems(conexion, tema);
        auto fila = conexion.Prepara("SELECT IDITEM, ESTADO, VENCE, ESTABILIDAD, "
                                     "DIASPROGRAMADOS, ULTIMOREPASO FROM TARJETAS");
        while (fila.Avanza()) {
            const std::optional<size_t> ranura = items.De(fila.Entero(0));
            if (!ranura || *ranura >= delItem.size() || delItem[*ranura].tema < 0)
                continue; // an item not of the choice
            DelItem& item = delItem[*ranura];
            PorEstado& delTema = temas[static_cast<size_t>(item.tema)].estados;
            if (!item.practicado) { // it was counted new
                item.practicado = true;
                --delTema.nuevas;
                --e.estados.nuevas;
            }
            Cuenta(EstadoDe(fila.Entero(1), static_cast<int>(fila.Entero(4))), delTema);
            Vence(fila.Entero(2));
            if (!fila.EsNulo(5))
                e.conocidas += Retenibilidad(fila.Real(3), fila.Entero(5));
        }
        for (CuentaTema& cuenta : temas)
            if (cuenta.estados.Total() > 0)
                e.porTema.push_back(std::move(cuenta));
    }

private:
    enum class Clase { Nueva, Aprendiendo, Joven, Madura };

    static Clase EstadoDe(qint64 estado, int diasProgramados)
    {
        switch (Estado(estado)) {
        case Estado::Aprendiendo:
        case Estado::Reaprendiendo:
            return Clase::Aprendiendo;
        case Estado::Repaso:
            return diasProgramados >= IntervaloMadura ? Clase::Madura : Clase::Joven;
        default: // a state none of the four: the scheduler takes it as new
            return Clase::Nueva;
        }
    }

    static void Suma(PorEstado& cuenta, Clase clase)
    {
        switch (clase) {
        case Clase::Nueva:
            ++cuenta.nuevas;
            break;
        case Clase::Aprendiendo:
            ++cuenta.aprendiendo;
            break;
        case Clase::Joven:
            ++cuenta.jovenes;
            break;
        case Clase::Madura:
            ++cuenta.maduras;
            break;
        }
    }

    void Cuenta(Clase clase, PorEstado& delTema)
    {
        Suma(e.estados, clase);
        Suma(delTema, clase);
    }

    void Vence(qint64 vence)
    {
        if (vence < inicios.front()) {
            ++e.atrasadas;
            return;
        }
        const auto siguiente = std::upper_bound(inicios.begin(), inicios.end(), vence);
        if (siguiente != inicios.end())
            ++e.vencen[static_cast<size_t>(siguiente - inicios.begin() - 1)];
    }

    double Retenibilidad(double estabilidad, qint64 ultimo) const
    {
        if (!(estabilidad > 0))
            return 0;
        return modelo.CalculaRetenibilidad(double(std::max<qint64>(0, ahora - ultimo)) / MsPorDia,
                                           estabilidad);
    }

    void LeeOrdenTemas(ConexionSqlite& conexion)
    {
        auto fila = conexion.Prepara("SELECT NOMBRETEMA FROM TEMAS ORDER BY CLAVETEMA");
        while (fila.Avanza())
            Tema(fila.Texto(0));
    }

    // Every item of the choice counts new in its topic until a card of it is read. The index
    // on the topic gives the items topic by topic, so a name is looked up once per topic.
    void LeeTemasDeItems(ConexionSqlite& conexion, const std::optional<QString>& tema)
    {
        auto mayor = conexion.Prepara("SELECT max(rowid) FROM ITEMS");
        mayor.Avanza();
        items = Ranuras(std::min<qint64>(mayor.Entero(0) + 1, MaximoDenso));
        auto fila =
            conexion.Prepara(tema ? "SELECT NOMBRETEMA, rowid FROM ITEMS WHERE NOMBRETEMA = ?1"
                                  : "SELECT NOMBRETEMA, rowid FROM ITEMS ORDER BY NOMBRETEMA");
        if (tema)
            fila.Enlaza(1, *tema);
        QByteArray anterior;
        int indice = -1;
        while (fila.Avanza()) {
            const QByteArray nombre = fila.Bytes(0);
            if (indice < 0 || nombre != anterior) {
                indice = Tema(QString::fromUtf8(nombre));
                anterior = nombre;
            }
            const qint64 rowid = fila.Entero(1);
            items.Anade(rowid);
            const size_t ranura = *items.De(rowid);
            if (ranura >= delItem.size())
                delItem.resize(std::max(ranura + 1, delItem.size() * 2));
            delItem[ranura].tema = indice;
            ++temas[static_cast<size_t>(indice)].estados.nuevas;
            ++e.estados.nuevas;
        }
    }

    int Tema(const QString& nombre)
    {
        auto it = indiceTema.constFind(nombre);
        if (it == indiceTema.constEnd()) {
            it = indiceTema.insert(nombre, static_cast<int>(temas.size()));
            temas.push_back({nombre, {}});
        }
        return *it;
    }

    struct DelItem {
        int tema = -1; // -1: not of the choice
        bool practicado = false;
    };
    // Item rows beyond this go through a hash instead of the table.
    static constexpr qint64 MaximoDenso = 1 << 22;

    Estadisticas& e;
    const Modelo& modelo;
    qint64 ahora;
    std::vector<qint64> inicios; // the start of today and each day after it
    std::vector<CuentaTema> temas;
    QHash<QString, int> indiceTema;
    Ranuras items{0};
    std::vector<DelItem> delItem; // by item slot
};

// A slice of the log is worth a thread of its own from this many rows.
constexpr qint64 FilasPorTramo = 100000;

// The cards of the choice, each with a slot before the log is read so that the slices share
// the table; the other cards keep to the dense range or go through each slice's hash.
struct Eleccion {
    Ranuras ranuras;
    std::vector<char> elegidas; // by slot
};

Eleccion Elige(ConexionSqlite& conexion, const std::optional<QString>& tema)
{
    auto cuenta = conexion.Prepara("SELECT max(IDTARJETA), count(*) FROM TARJETAS");
    cuenta.Avanza();
    Eleccion eleccion{Ranuras(std::min(cuenta.Entero(0) + 1, 8 * cuenta.Entero(1) + 65536)), {}};
    auto fila = conexion.Prepara(tema ? "SELECT t.IDTARJETA FROM TARJETAS AS t JOIN ITEMS AS i "
                                        "ON i.rowid = t.IDITEM WHERE i.NOMBRETEMA = ?1"
                                      : "SELECT IDTARJETA FROM TARJETAS");
    if (tema)
        fila.Enlaza(1, *tema);
    std::vector<qint64> ids;
    while (fila.Avanza()) {
        ids.push_back(fila.Entero(0));
        eleccion.ranuras.Anade(ids.back());
    }
    eleccion.elegidas.assign(eleccion.ranuras.Cuantas(), 0);
    for (qint64 id : ids)
        eleccion.elegidas[*eleccion.ranuras.De(id)] = 1;
    return eleccion;
}

// The log's rows (rowids) and its first moment.
struct Filas {
    qint64 primera = 0, ultima = -1;
    std::optional<qint64> primerMomento;
};

Filas FilasDelRegistro(ConexionSqlite& conexion)
{
    // One extreme a statement: SQLite reads it from the b-tree's edge, not the whole table.
    auto Extremo = [&conexion](const char* sql) {
        auto fila = conexion.Prepara(sql);
        fila.Avanza();
        return fila.EsNulo(0) ? std::nullopt : std::optional<qint64>(fila.Entero(0));
    };
    const std::optional<qint64> primera = Extremo("SELECT min(rowid) FROM REPASOS");
    if (!primera)
        return {};
    return {*primera, *Extremo("SELECT max(rowid) FROM REPASOS"),
            Extremo("SELECT min(MOMENTO) FROM REPASOS")};
}

} // namespace

std::optional<double> Aciertos::Proporcion() const
{
    if (respuestas <= 0)
        return std::nullopt;
    return double(acertadas) / respuestas;
}

Aciertos& Aciertos::operator+=(const Aciertos& otros)
{
    respuestas += otros.respuestas;
    acertadas += otros.acertadas;
    return *this;
}

Aciertos Retencion::Total() const
{
    Aciertos total = jovenes;
    return total += maduras;
}

QString NombrePeriodo(Periodo periodo)
{
    switch (periodo) {
    case Periodo::Hoy:
        return QStringLiteral("Hoy");
    case Periodo::Ayer:
        return QStringLiteral("Ayer");
    case Periodo::Semana:
        return QStringLiteral("Últimos 7 días");
    case Periodo::Mes:
        return QStringLiteral("Últimos 30 días");
    case Periodo::Anio:
        return QStringLiteral("Últimos 365 días");
    }
    return {};
}

Estadisticas CalculaEstadisticas(const BaseVocabulario& base, const std::optional<QString>& tema,
                                 qint64 ahora, std::optional<QTimeZone> zona, int tramos)
{
    const Dias dias(std::move(zona));
    const Modelo modelo(LeeAjustesRepaso(base).ParametrosProgramador());
    ConexionSqlite& conexion = base.ConexionAbierta();

    Estadisticas e;
    e.hoy = dias.DiaDe(ahora);
    const Eleccion eleccion = Elige(conexion, tema);
    const Filas filas = FilasDelRegistro(conexion);
    // Two centuries back at most: an older moment is not a real answer.
    const qint64 desde =
        std::max(e.hoy - 73000,
                 dias.DiaDe(filas.primerMomento ? std::min(*filas.primerMomento, ahora) : ahora));
    const TablaDias tabla(dias, desde, e.hoy);
    const Parametros& p = modelo.Ajustes();
    const ContextoRegistro contexto{eleccion.ranuras,
                                    eleccion.elegidas,
                                    tema.has_value(),
                                    tabla,
                                    e.hoy,
                                    -p.pesos[20],
                                    std::pow(0.9, 1.0 / -p.pesos[20]) - 1.0,
                                    ahora};

    // A long log is read in slices at once, each on a connection of its own, while this one
    // reads the cards.
    const QString ruta = QString::fromUtf8(sqlite3_db_filename(conexion.Manejador(), "main"));
    if (tramos <= 0)
        tramos = filas.ultima - filas.primera < 2 * FilasPorTramo
                     ? 1
                     : int(std::clamp(std::thread::hardware_concurrency(), 2u, 4u));
    if (ruta.isEmpty())
        tramos = 1;
    const qint64 ancho = (filas.ultima - filas.primera) / tramos + 1;
    std::vector<std::future<LecturaRegistro>> aparte;
    for (int k = 0; k < tramos && tramos > 1; ++k)
        aparte.push_back(std::async(std::launch::async, [&, k] {
            ConexionSqlite propia;
            propia.Abre(ruta, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
            LecturaRegistro lectura{contexto};
            const qint64 desdeFila = filas.primera + k * ancho;
            lectura.Lee(propia, desdeFila, desdeFila + ancho - 1);
            return lectura;
        }));
    LecturaTarjetas(e, modelo, dias, ahora).Lee(conexion, tema);
    LecturaRegistro registro{contexto};
    if (tramos == 1)
        registro.Lee(conexion, filas.primera, filas.ultima);
    for (auto& lectura : aparte)
        registro.Absorbe(lectura.get());
    registro.Termina(e);
    return e;
}

} // namespace Repaso
