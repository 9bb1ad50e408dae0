#include "repaso/Estadisticas.h"

#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/Dias.h"
#include "repaso/Programador.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <deque>
#include <limits>
#include <utility>

namespace Repaso {

namespace {

constexpr qint64 MsPorDia = 24 * 60 * 60 * 1000;
constexpr qint64 MsPorHora = 60 * 60 * 1000;
constexpr int HoraInicioDia = 4;
// The curve is sampled every two weeks over the year: each sample costs a power per card.
constexpr int PuntosCurva = 26;

// Grows a per-card table so that `id` fits.
template <typename T> T& Celda(std::vector<T>& tabla, size_t ranura)
{
    if (ranura >= tabla.size())
        tabla.resize(ranura + 1);
    return tabla[ranura];
}

// Card ids as small indexes into the tables by card. Ids mostly run from 1 with few gaps, but a
// card made by importing a log keeps the log's id, which may be as large as a timestamp: those
// beyond the dense range go through a hash instead of a table no memory could hold.
class Ranuras {
public:
    explicit Ranuras(qint64 denso) : denso(std::max<qint64>(0, denso)) {}
    size_t De(qint64 id)
    {
        if (id >= 0 && id < denso)
            return static_cast<size_t>(id);
        auto it = otras.constFind(id);
        if (it == otras.constEnd())
            it = otras.insert(id, denso + otras.size());
        return static_cast<size_t>(*it);
    }

private:
    qint64 denso;
    QHash<qint64, qint64> otras;
};

// What the cards of the choice say now: due, states, topics, words known.
class LecturaTarjetas {
public:
    LecturaTarjetas(Estadisticas& e, const Modelo& modelo, const Dias& dias, Ranuras& ranuras,
                    qint64 ahora)
        : e(e), modelo(modelo), ranuras(ranuras), ahora(ahora)
    {
        inicios.reserve(DiasAdelante + 1);
        for (int i = 0; i <= DiasAdelante; ++i)
            inicios.push_back(dias.InicioDia(e.hoy + i));
        e.vencen.assign(DiasAdelante, 0);
    }

    void Lee(ConexionSqlite& conexion, const std::optional<QString>& tema)
    {
        LeeOrdenTemas(conexion);
        auto fila = conexion.Prepara(
            tema ? "SELECT t.IDTARJETA, t.ESTADO, t.VENCE, t.ESTABILIDAD, t.DIASPROGRAMADOS, "
                   "t.ULTIMOREPASO, i.NOMBRETEMA, t.IDITEM FROM TARJETAS AS t "
                   "JOIN ITEMS AS i ON i.rowid = t.IDITEM WHERE i.NOMBRETEMA = ?1"
                 : "SELECT t.IDTARJETA, t.ESTADO, t.VENCE, t.ESTABILIDAD, t.DIASPROGRAMADOS, "
                   "t.ULTIMOREPASO, i.NOMBRETEMA, t.IDITEM FROM TARJETAS AS t "
                   "JOIN ITEMS AS i ON i.rowid = t.IDITEM");
        if (tema)
            fila.Enlaza(1, *tema);
        while (fila.Avanza()) {
            const qint64 id = fila.Entero(0);
            Celda(elegidas, ranuras.De(id)) = 1;
            PorEstado& delTema = Tema(fila.Texto(6));
            Cuenta(EstadoDe(fila.Entero(1), static_cast<int>(fila.Entero(4))), delTema);
            Vence(fila.Entero(2));
            if (!fila.EsNulo(5))
                e.conocidas += Retenibilidad(fila.Real(3), fila.Entero(5));
            const qint64 item = fila.Entero(7);
            if (!practicados.contains(item)) {
                practicados.insert(item);
                ++conTarjeta[&delTema];
            }
        }

        // Items never practised: each topic's items but those with a card of some kind.
        auto items = conexion.Prepara(
            tema
                ? "SELECT NOMBRETEMA, count(*) FROM ITEMS WHERE NOMBRETEMA = ?1 GROUP BY NOMBRETEMA"
                : "SELECT NOMBRETEMA, count(*) FROM ITEMS GROUP BY NOMBRETEMA");
        if (tema)
            items.Enlaza(1, *tema);
        while (items.Avanza()) {
            PorEstado& delTema = Tema(items.Texto(0));
            const int cuantas = static_cast<int>(items.Entero(1)) - conTarjeta.value(&delTema);
            e.estados.nuevas += cuantas;
            delTema.nuevas += cuantas;
        }
        for (CuentaTema& cuenta : temas)
            if (cuenta.estados.Total() > 0)
                e.porTema.push_back(std::move(cuenta));
    }

    // The cards of the choice (by slot), which the log pass keeps to.
    std::vector<char> elegidas;

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

    PorEstado& Tema(const QString& nombre)
    {
        auto it = indiceTema.constFind(nombre);
        if (it == indiceTema.constEnd()) {
            it = indiceTema.insert(nombre, static_cast<int>(temas.size()));
            temas.push_back({nombre, {}});
        }
        return temas[static_cast<size_t>(*it)].estados;
    }

    Estadisticas& e;
    const Modelo& modelo;
    Ranuras& ranuras;
    qint64 ahora;
    std::vector<qint64> inicios;  // the start of today and each day after it
    std::deque<CuentaTema> temas; // stays in place as it grows
    QHash<QString, int> indiceTema;
    QSet<qint64> practicados;                // item rows with a card
    QHash<const PorEstado*, int> conTarjeta; // items with a card, by topic
};

// The day of a moment from a table of day starts: a day is 24 hours but on the nights the
// clocks change, so dividing guesses it within one and the table settles it. Asking the zone
// for each of a million answers would take most of the time.
class TablaDias {
public:
    TablaDias(const Dias& dias, qint64 desde, qint64 hasta) : primero(desde)
    {
        for (qint64 d = desde; d <= hasta + 1; ++d)
            inicios.push_back(dias.InicioDia(d));
    }
    // The day of `ms`, or none before the table; after it, a day after its last.
    std::optional<qint64> Dia(qint64 ms) const
    {
        if (ms < inicios.front())
            return std::nullopt;
        if (ms >= inicios.back())
            return primero + qint64(inicios.size());
        auto i = std::min<qint64>((ms - inicios.front()) / MsPorDia, qint64(inicios.size()) - 2);
        while (i > 0 && ms < inicios[size_t(i)])
            --i;
        while (ms >= inicios[size_t(i) + 1])
            ++i;
        return primero + i;
    }
    qint64 Inicio(qint64 dia) const { return inicios[size_t(dia - primero)]; }

private:
    qint64 primero;
    std::vector<qint64> inicios; // the start of each day of the table and of the day after
};

// The known-words curve: at each sample, every card of the choice answered by then adds
// its chance of recall, from the memory its last answer before the sample left. Each answer
// adds to the samples until the card's next answer, so the log is read once, in any order of
// cards, as long as each card's answers come in their order (as they are written).
class Curva {
public:
    Curva(const Modelo& modelo, const std::vector<char>& elegidas, qint64 ahora)
        : elegidas(elegidas), inicio(ahora - qint64(PuntosCurva) * Paso),
          sumas(PuntosCurva + 1, 0.0)
    {
        // The model's forgetting curve in single precision: a curve of thousands of words
        // needs no more, and millions of powers take half the time.
        const Parametros& p = modelo.Ajustes();
        decaimiento = static_cast<float>(-p.pesos[20]);
        factor = static_cast<float>(std::pow(0.9, 1.0 / -p.pesos[20]) - 1.0);
    }

    void Anota(size_t ranura, qint64 momento, double estabilidad)
    {
        if (ranura >= elegidas.size() || !elegidas[ranura])
            return;
        Memoria& m = Celda(memorias, ranura);
        if (m.momento > momento) // out of order: its memory then is unknown
            return;
        if (m.momento > 0)
            Suma(m, momento);
        m = {momento, static_cast<float>(estabilidad)};
    }

    std::vector<PuntoConocidas> Termina()
    {
        for (const Memoria& m : memorias)
            if (m.momento > 0)
                Suma(m, std::numeric_limits<qint64>::max());
        std::vector<PuntoConocidas> curva;
        for (int k = 0; k <= PuntosCurva; ++k)
            curva.push_back({inicio + k * Paso, sumas[static_cast<size_t>(k)]});
        return curva;
    }

private:
    static constexpr qint64 Paso = 14 * MsPorDia;
    struct Memoria {
        qint64 momento = 0;
        float estabilidad = 0;
    };

    // The first sample at or after `momento`.
    int Muestra(qint64 momento) const
    {
        if (momento <= inicio)
            return 0;
        return static_cast<int>(std::min<qint64>(
            PuntosCurva + 1, (momento - inicio) / Paso + ((momento - inicio) % Paso != 0)));
    }

    // The memory `m` stood from its answer until `hasta`.
    void Suma(const Memoria& m, qint64 hasta)
    {
        if (!(m.estabilidad > 0))
            return;
        for (int k = Muestra(m.momento), fin = Muestra(hasta); k < fin; ++k)
            sumas[static_cast<size_t>(k)] +=
                std::pow(1.0f + factor * static_cast<float>(inicio + k * Paso - m.momento) /
                                    (MsPorDia * m.estabilidad),
                         decaimiento);
    }

    const std::vector<char>& elegidas;
    float decaimiento, factor;
    qint64 inicio; // the first sample, a year before now
    std::vector<double> sumas;
    std::vector<Memoria> memorias; // by card slot
};

// The streaks from the days with answers, the last of them today.
void CuentaRachas(const std::vector<char>& conRepasos, Estadisticas& e)
{
    int racha = 0;
    for (char hubo : conRepasos) {
        racha = hubo ? racha + 1 : 0;
        e.rachaMasLarga = std::max(e.rachaMasLarga, racha);
    }
    // Today without answers yet does not break the streak that ended yesterday.
    if (!conRepasos.empty() && !conRepasos.back())
        for (auto d = conRepasos.rbegin() + 1; d != conRepasos.rend() && *d; ++d)
            ++racha;
    e.rachaActual = racha;
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
                                 qint64 ahora, std::optional<QTimeZone> zona)
{
    const Dias dias(std::move(zona));
    const Modelo modelo(LeeAjustesRepaso(base).ParametrosProgramador());
    ConexionSqlite& conexion = base.ConexionAbierta();

    Estadisticas e;
    e.hoy = dias.DiaDe(ahora);
    e.porDia.assign(DiasCalendario, 0);
    auto cuenta = conexion.Prepara("SELECT max(IDTARJETA), count(*) FROM TARJETAS");
    cuenta.Avanza();
    Ranuras ranuras(std::min(cuenta.Entero(0) + 1, 8 * cuenta.Entero(1) + 65536));
    LecturaTarjetas tarjetas(e, modelo, dias, ranuras, ahora);
    tarjetas.Lee(conexion, tema);

    // A topic's log is its cards' answers; the whole vocabulary's keeps those of words deleted
    // since, which were practised all the same.
    const std::vector<char>& elegidas = tarjetas.elegidas;
    Curva curva(modelo, elegidas, ahora);
    auto primera = conexion.Prepara("SELECT min(MOMENTO) FROM REPASOS");
    primera.Avanza();
    // Two centuries back at most: an older moment is not a real answer.
    const qint64 desde = std::max(
        e.hoy - 73000, dias.DiaDe(primera.EsNulo(0) ? ahora : std::min(primera.Entero(0), ahora)));
    const TablaDias tabla(dias, desde, e.hoy);
    std::vector<char> conRepasos(size_t(e.hoy - desde + 1), 0); // by day of the table
    std::vector<int> intervaloPrevio; // by card slot: the interval its last answer set
    const qint64 primerDia = e.hoy - DiasCalendario + 1;
    auto fila = conexion.Prepara("SELECT IDTARJETA, MOMENTO, CALIFICACION, ESTADO, "
                                 "DIASPROGRAMADOS, ESTABILIDAD FROM REPASOS");
    while (fila.Avanza()) {
        const qint64 id = fila.Entero(0);
        const size_t ranura = ranuras.De(id);
        if (tema && (ranura >= elegidas.size() || !elegidas[ranura]))
            continue;
        const qint64 momento = fila.Entero(1);
        curva.Anota(ranura, momento, fila.Real(5));
        const int intervalo =
            std::exchange(Celda(intervaloPrevio, ranura), static_cast<int>(fila.Entero(4)));
        const std::optional<qint64> dia = tabla.Dia(momento);
        if (!dia || *dia > e.hoy) // after now: the clock was moved back
            continue;
        conRepasos[size_t(*dia - desde)] = 1;
        if (*dia < primerDia)
            continue;
        ++e.porDia[static_cast<size_t>(*dia - primerDia)];
        const bool acertada = fila.Entero(2) != static_cast<qint64>(Calificacion::OtraVez);
        // The day runs from 04:00 to 04:00; its offset from UTC is the same all through but
        // on the night the clocks change.
        Aciertos& hora = e.porHora[static_cast<size_t>(
            ((momento - tabla.Inicio(*dia)) / MsPorHora + HoraInicioDia) % 24)];
        ++hora.respuestas;
        hora.acertadas += acertada;
        if (fila.Entero(3) != static_cast<qint64>(Estado::Repaso))
            continue;
        const qint64 haceDias = e.hoy - *dia;
        const int desdeHace[NumPeriodos] = {0, 1, 0, 0, 0};
        const int hastaHace[NumPeriodos] = {0, 1, 6, 29, DiasCalendario - 1};
        for (int p = 0; p < NumPeriodos; ++p) {
            if (haceDias < desdeHace[p] || haceDias > hastaHace[p])
                continue;
            Retencion& r = e.retencion[static_cast<size_t>(p)];
            Aciertos& a = intervalo >= IntervaloMadura ? r.maduras : r.jovenes;
            ++a.respuestas;
            a.acertadas += acertada;
        }
    }
    CuentaRachas(conRepasos, e);
    e.curvaConocidas = curva.Termina();
    return e;
}

} // namespace Repaso
