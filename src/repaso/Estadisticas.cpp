#include "repaso/Estadisticas.h"

#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/Dias.h"
#include "repaso/Programador.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <utility>

namespace Repaso {

namespace {

constexpr qint64 MsPorDia = 24 * 60 * 60 * 1000;
constexpr qint64 MsPorHora = 60 * 60 * 1000;
constexpr int HoraInicioDia = 4;
constexpr int SemanasCurva = 52;

// One answer of the log, as little as the figures need (a million of them are held at once).
struct Fila {
    qint64 momento;
    qint64 tarjeta;
    float estabilidad;
    int diasProgramados;
    qint8 calificacion;
    qint8 estado;
};

// Grows a per-card table so that `id` fits.
template <typename T> T& Celda(std::vector<T>& tabla, qint64 id)
{
    if (static_cast<size_t>(id) >= tabla.size())
        tabla.resize(static_cast<size_t>(id) + 1);
    return tabla[static_cast<size_t>(id)];
}

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
        auto fila = conexion.Prepara(
            tema ? "SELECT t.IDTARJETA, t.ESTADO, t.VENCE, t.ESTABILIDAD, t.DIASPROGRAMADOS, "
                   "t.ULTIMOREPASO, i.NOMBRETEMA FROM TARJETAS AS t "
                   "JOIN ITEMS AS i ON i.rowid = t.IDITEM WHERE i.NOMBRETEMA = ?1"
                 : "SELECT t.IDTARJETA, t.ESTADO, t.VENCE, t.ESTABILIDAD, t.DIASPROGRAMADOS, "
                   "t.ULTIMOREPASO, i.NOMBRETEMA FROM TARJETAS AS t "
                   "JOIN ITEMS AS i ON i.rowid = t.IDITEM");
        if (tema)
            fila.Enlaza(1, *tema);
        while (fila.Avanza()) {
            const qint64 id = fila.Entero(0);
            if (id > 0)
                Celda(elegidas, id) = 1;
            Cuenta(EstadoDe(fila.Entero(1), static_cast<int>(fila.Entero(4))), Tema(fila.Texto(6)));
            Vence(fila.Entero(2));
            if (!fila.EsNulo(5))
                e.conocidas += Retenibilidad(fila.Real(3), fila.Entero(5));
        }

        auto nuevas = conexion.Prepara(
            tema ? "SELECT i.NOMBRETEMA, count(*) FROM ITEMS AS i WHERE i.NOMBRETEMA = ?1 AND "
                   "NOT EXISTS (SELECT 1 FROM TARJETAS AS t WHERE t.IDITEM = i.rowid) "
                   "GROUP BY i.NOMBRETEMA"
                 : "SELECT i.NOMBRETEMA, count(*) FROM ITEMS AS i WHERE "
                   "NOT EXISTS (SELECT 1 FROM TARJETAS AS t WHERE t.IDITEM = i.rowid) "
                   "GROUP BY i.NOMBRETEMA");
        if (tema)
            nuevas.Enlaza(1, *tema);
        while (nuevas.Avanza()) {
            const int cuantas = static_cast<int>(nuevas.Entero(1));
            e.estados.nuevas += cuantas;
            Tema(nuevas.Texto(0)).nuevas += cuantas;
        }
        for (CuentaTema& cuenta : temas)
            if (cuenta.estados.Total() > 0)
                e.porTema.push_back(std::move(cuenta));
    }

    // The cards of the choice (by id), which the log pass keeps to.
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
    qint64 ahora;
    std::vector<qint64> inicios; // the start of today and each day after it
    std::vector<CuentaTema> temas;
    QHash<QString, int> indiceTema;
};

std::vector<Fila> LeeRegistro(ConexionSqlite& conexion, const std::vector<char>* elegidas)
{
    std::vector<Fila> filas;
    auto fila = conexion.Prepara("SELECT IDTARJETA, MOMENTO, CALIFICACION, ESTADO, "
                                 "DIASPROGRAMADOS, ESTABILIDAD FROM REPASOS");
    while (fila.Avanza()) {
        const qint64 id = fila.Entero(0);
        if (elegidas && (id <= 0 || static_cast<size_t>(id) >= elegidas->size() ||
                         !(*elegidas)[static_cast<size_t>(id)]))
            continue;
        filas.push_back({fila.Entero(1), id, static_cast<float>(fila.Real(5)),
                         static_cast<int>(fila.Entero(4)), static_cast<qint8>(fila.Entero(2)),
                         static_cast<qint8>(fila.Entero(3))});
    }
    // The log is written in order; an imported one may not be.
    if (!std::is_sorted(filas.begin(), filas.end(),
                        [](const Fila& a, const Fila& b) { return a.momento < b.momento; }))
        std::stable_sort(filas.begin(), filas.end(),
                         [](const Fila& a, const Fila& b) { return a.momento < b.momento; });
    return filas;
}

// The known-words curve: every card's memory as the log left it at each sample, its chance of
// recall summed. Only the cards still in the choice count, so that the last point is now's.
class Curva {
public:
    Curva(const Modelo& modelo, const std::vector<char>& elegidas, qint64 ahora)
        : modelo(modelo), elegidas(elegidas)
    {
        for (int k = SemanasCurva; k >= 0; --k)
            muestras.push_back(ahora - qint64(k) * 7 * MsPorDia);
    }

    void Antes(qint64 momento, std::vector<PuntoConocidas>& curva)
    {
        while (siguiente < muestras.size() && muestras[siguiente] < momento)
            curva.push_back({muestras[siguiente], Suma(muestras[siguiente++])});
    }

    void Anota(const Fila& f)
    {
        if (f.tarjeta <= 0 || static_cast<size_t>(f.tarjeta) >= elegidas.size() ||
            !elegidas[static_cast<size_t>(f.tarjeta)])
            return;
        Memoria& m = Celda(memorias, f.tarjeta);
        if (m.momento == 0)
            activas.push_back(f.tarjeta);
        m = {f.momento, f.estabilidad};
    }

    void Termina(std::vector<PuntoConocidas>& curva)
    {
        Antes(std::numeric_limits<qint64>::max(), curva);
    }

private:
    struct Memoria {
        qint64 momento = 0;
        float estabilidad = 0;
    };

    double Suma(qint64 momento) const
    {
        double suma = 0;
        for (qint64 id : activas) {
            const Memoria& m = memorias[static_cast<size_t>(id)];
            if (m.estabilidad > 0)
                suma += modelo.CalculaRetenibilidad(
                    double(std::max<qint64>(0, momento - m.momento)) / MsPorDia, m.estabilidad);
        }
        return suma;
    }

    const Modelo& modelo;
    const std::vector<char>& elegidas;
    std::vector<qint64> muestras;
    size_t siguiente = 0;
    std::vector<Memoria> memorias; // by card id
    std::vector<qint64> activas;   // the ids answered so far
};

// Days with answers (ascending) → the streaks up to `hoy`.
void CuentaRachas(const std::vector<qint64>& dias, qint64 hoy, Estadisticas& e)
{
    int racha = 0;
    qint64 anterior = 0;
    for (qint64 d : dias) {
        racha = (racha > 0 && d == anterior + 1) ? racha + 1 : 1;
        anterior = d;
        e.rachaMasLarga = std::max(e.rachaMasLarga, racha);
    }
    // Today without answers yet does not break the streak that ended yesterday.
    if (!dias.empty() && (dias.back() == hoy || dias.back() == hoy - 1))
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
    LecturaTarjetas tarjetas(e, modelo, dias, ahora);
    tarjetas.Lee(conexion, tema);

    // A topic's log is its cards' answers; the whole vocabulary's keeps those of words deleted
    // since, which were practised all the same.
    const std::vector<Fila> filas = LeeRegistro(conexion, tema ? &tarjetas.elegidas : nullptr);
    Curva curva(modelo, tarjetas.elegidas, ahora);
    std::vector<int> intervaloPrevio; // by card id: the interval set by its last answer
    std::vector<qint64> diasConRepasos;
    const qint64 primerDia = e.hoy - DiasCalendario + 1;
    qint64 dia = 0, inicio = 0, fin = 0; // the day of the answer and its bounds
    for (const Fila& f : filas) {
        curva.Antes(f.momento, e.curvaConocidas);
        curva.Anota(f);
        int sinPrevio = 0;
        int& previo = f.tarjeta > 0 ? Celda(intervaloPrevio, f.tarjeta) : sinPrevio;
        const int intervalo = std::exchange(previo, f.diasProgramados);
        if (f.momento < inicio || f.momento >= fin) {
            dia = dias.DiaDe(f.momento);
            inicio = dias.InicioDia(dia);
            fin = dias.InicioDia(dia + 1);
        }
        if (dia > e.hoy) // after now: the clock was moved back
            continue;
        if (diasConRepasos.empty() || diasConRepasos.back() != dia)
            diasConRepasos.push_back(dia);
        if (dia < primerDia)
            continue;
        ++e.porDia[static_cast<size_t>(dia - primerDia)];
        const bool acertada = f.calificacion != static_cast<qint8>(Calificacion::OtraVez);
        // The day runs from 04:00 to 04:00; its offset from UTC is the same all through but
        // on the night the clocks change.
        Aciertos& hora =
            e.porHora[static_cast<size_t>(((f.momento - inicio) / MsPorHora + HoraInicioDia) % 24)];
        ++hora.respuestas;
        hora.acertadas += acertada;
        if (f.estado != static_cast<qint8>(Estado::Repaso))
            continue;
        const qint64 haceDias = e.hoy - dia;
        const int desde[NumPeriodos] = {0, 1, 0, 0, 0};
        const int hasta[NumPeriodos] = {0, 1, 6, 29, DiasCalendario - 1};
        for (int p = 0; p < NumPeriodos; ++p) {
            if (haceDias < desde[p] || haceDias > hasta[p])
                continue;
            Retencion& r = e.retencion[static_cast<size_t>(p)];
            Aciertos& a = intervalo >= IntervaloMadura ? r.maduras : r.jovenes;
            ++a.respuestas;
            a.acertadas += acertada;
        }
    }
    // Days may repeat when the log was not in order of days (a zone's clock change).
    std::sort(diasConRepasos.begin(), diasConRepasos.end());
    diasConRepasos.erase(std::unique(diasConRepasos.begin(), diasConRepasos.end()),
                         diasConRepasos.end());
    CuentaRachas(diasConRepasos, e.hoy, e);
    curva.Termina(e.curvaConocidas);
    return e;
}

} // namespace Repaso
