#include "repaso/EstadisticasRegistro.h"

#include "data/Sqlite.h"
#include "repaso/Dias.h"
#include "repaso/Programador.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace Repaso {

namespace {

constexpr qint64 MsPorDia = 24 * 60 * 60 * 1000;
constexpr qint64 MsPorHora = 60 * 60 * 1000;
constexpr int HoraInicioDia = 4;
// The curve is sampled every two weeks over the year: each sample costs a power per card.
constexpr int PuntosCurva = 26;
constexpr qint64 PasoCurva = 14 * MsPorDia;

void CuentaRetencion(std::array<Retencion, NumPeriodos>& retencion, qint64 haceDias, int intervalo,
                     bool acertada)
{
    const int desdeHace[NumPeriodos] = {0, 1, 0, 0, 0};
    const int hastaHace[NumPeriodos] = {0, 1, 6, 29, DiasCalendario - 1};
    for (size_t p = 0; p < NumPeriodos; ++p) {
        if (haceDias < desdeHace[p] || haceDias > hastaHace[p])
            continue;
        Aciertos& a = intervalo >= IntervaloMadura ? retencion[p].maduras : retencion[p].jovenes;
        ++a.respuestas;
        a.acertadas += acertada;
    }
}

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

Ranuras::Ranuras(qint64 denso) : denso(std::max<qint64>(0, denso)) {}

void Ranuras::Anade(qint64 id)
{
    if ((id < 0 || id >= denso) && !otras.contains(id))
        otras.insert(id, denso + otras.size());
}

std::optional<size_t> Ranuras::DeOtra(qint64 id) const
{
    const auto it = otras.constFind(id);
    if (it == otras.constEnd())
        return std::nullopt;
    return static_cast<size_t>(*it);
}

TablaDias::TablaDias(const Dias& dias, qint64 desde, qint64 hasta) : primero(desde)
{
    for (qint64 d = desde; d <= hasta + 1; ++d)
        inicios.push_back(dias.InicioDia(d));
}

std::optional<qint64> TablaDias::Dia(qint64 ms) const
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

LecturaRegistro::LecturaRegistro(const ContextoRegistro& contexto)
    : c(contexto), inicioCurva(contexto.ahora - qint64(PuntosCurva) * PasoCurva),
      porDia(DiasCalendario, 0), conRepasos(size_t(contexto.hoy - contexto.tabla.Primero() + 1)),
      sumas(PuntosCurva + 1, 0.0), historias(contexto.ranuras.Cuantas()),
      intervalos(contexto.ranuras.Cuantas(), -1)
{
}

void LecturaRegistro::Lee(ConexionSqlite& conexion, qint64 desdeFila, qint64 hastaFila)
{
    auto fila = conexion.Prepara("SELECT IDTARJETA, MOMENTO, CALIFICACION, ESTADO, "
                                 "DIASPROGRAMADOS, ESTABILIDAD FROM REPASOS "
                                 "WHERE rowid BETWEEN ?1 AND ?2");
    fila.Enlaza(1, desdeFila);
    fila.Enlaza(2, hastaFila);
    while (fila.Avanza())
        Anota(fila.Entero(0), fila.Entero(1), static_cast<int>(fila.Entero(2)),
              static_cast<int>(fila.Entero(3)), static_cast<int>(fila.Entero(4)), fila.Real(5));
}

void LecturaRegistro::Anota(qint64 tarjeta, qint64 momento, int calificacion, int estado,
                            int diasProgramados, double estabilidad)
{
    // A topic's log is its cards' answers; the whole vocabulary's keeps those of words deleted
    // since, which were practised all the same.
    const std::optional<size_t> ranura = c.ranuras.De(tarjeta);
    const bool elegida = ranura && *ranura < c.elegidas.size() && c.elegidas[*ranura];
    if (c.soloElegidas && !elegida)
        return;
    if (elegida)
        AnotaCurva(*ranura, momento, estabilidad);
    const int intervalo = std::exchange(Intervalo(tarjeta), diasProgramados);
    const std::optional<qint64> dia = c.tabla.Dia(momento);
    if (!dia || *dia > c.hoy) // after now: the clock was moved back
        return;
    conRepasos[size_t(*dia - c.tabla.Primero())] = 1;
    const qint64 haceDias = c.hoy - *dia;
    if (haceDias >= DiasCalendario)
        return;
    ++porDia[static_cast<size_t>(DiasCalendario - 1 - haceDias)];
    const bool acertada = calificacion != static_cast<int>(Calificacion::OtraVez);
    // The day runs from 04:00 to 04:00; its offset from UTC is the same all through but
    // on the night the clocks change.
    Aciertos& hora = porHora[static_cast<size_t>(
        ((momento - c.tabla.Inicio(*dia)) / MsPorHora + HoraInicioDia) % 24)];
    ++hora.respuestas;
    hora.acertadas += acertada;
    if (estado != static_cast<int>(Estado::Repaso))
        return;
    if (intervalo < 0)
        pendientes.push_back({tarjeta, haceDias, acertada});
    else
        CuentaRetencion(retencion, haceDias, intervalo, acertada);
}

int& LecturaRegistro::Intervalo(qint64 tarjeta)
{
    if (const std::optional<size_t> ranura = c.ranuras.De(tarjeta))
        return intervalos[*ranura];
    auto it = intervalosOtras.find(tarjeta);
    if (it == intervalosOtras.end())
        it = intervalosOtras.insert(tarjeta, -1);
    return *it;
}

// The known-words curve: at each sample, every card of the choice answered by then adds its
// chance of recall, from the memory its last answer before the sample left. Each answer adds
// to the samples until the card's next answer. A card's answers are taken in the order they
// were written; one earlier than the card's latest (the clock was moved back) is left out.
void LecturaRegistro::AnotaCurva(size_t ranura, qint64 momento, double estabilidad)
{
    HistoriaTarjeta& h = historias[ranura];
    if (h.ultima.momento > momento)
        return;
    const Memoria m{momento, static_cast<float>(estabilidad)};
    if (h.ultima.momento > 0)
        Suma(h.ultima, momento);
    else
        h.primera = m;
    h.ultima = m;
}

// The first sample at or after `momento`.
int LecturaRegistro::Muestra(qint64 momento) const
{
    if (momento <= inicioCurva)
        return 0;
    return static_cast<int>(
        std::min<qint64>(PuntosCurva + 1, (momento - inicioCurva) / PasoCurva +
                                              ((momento - inicioCurva) % PasoCurva != 0)));
}

// The memory `m` stood from its answer until `hasta`, in single precision: a curve of
// thousands of words needs no more, and millions of powers take half the time.
void LecturaRegistro::Suma(const Memoria& m, qint64 hasta)
{
    if (!(m.estabilidad > 0))
        return;
    const auto factor = static_cast<float>(c.factor);
    const auto decaimiento = static_cast<float>(c.decaimiento);
    for (int k = Muestra(m.momento), fin = Muestra(hasta); k < fin; ++k)
        sumas[static_cast<size_t>(k)] +=
            std::pow(1.0f + factor * static_cast<float>(inicioCurva + k * PasoCurva - m.momento) /
                                (MsPorDia * m.estabilidad),
                     decaimiento);
}

void LecturaRegistro::Absorbe(const LecturaRegistro& s)
{
    // The answers that waited for their card's interval before them, which is now known.
    for (const Pendiente& p : s.pendientes) {
        const auto ranura = c.ranuras.De(p.tarjeta);
        const int antes = ranura ? intervalos[*ranura] : intervalosOtras.value(p.tarjeta, -1);
        CuentaRetencion(retencion, p.haceDias, std::max(0, antes), p.acertada);
    }
    for (size_t r = 0; r < s.intervalos.size(); ++r)
        if (s.intervalos[r] >= 0)
            intervalos[r] = s.intervalos[r];
    for (auto it = s.intervalosOtras.constBegin(); it != s.intervalosOtras.constEnd(); ++it)
        intervalosOtras[it.key()] = *it;

    // Each card's memory before the slice stood until the slice's first answer of it.
    for (size_t r = 0; r < s.historias.size(); ++r) {
        const HistoriaTarjeta& suya = s.historias[r];
        if (suya.primera.momento == 0)
            continue;
        HistoriaTarjeta& mia = historias[r];
        if (mia.ultima.momento == 0) {
            mia = suya;
            continue;
        }
        if (mia.ultima.momento <= suya.primera.momento)
            Suma(mia.ultima, suya.primera.momento);
        if (suya.ultima.momento >= mia.ultima.momento)
            mia.ultima = suya.ultima;
    }
    for (size_t k = 0; k < sumas.size(); ++k)
        sumas[k] += s.sumas[k];

    for (size_t d = 0; d < porDia.size(); ++d)
        porDia[d] += s.porDia[d];
    for (size_t h = 0; h < porHora.size(); ++h)
        porHora[h] += s.porHora[h];
    for (size_t p = 0; p < retencion.size(); ++p) {
        retencion[p].jovenes += s.retencion[p].jovenes;
        retencion[p].maduras += s.retencion[p].maduras;
    }
    for (size_t d = 0; d < conRepasos.size(); ++d)
        conRepasos[d] |= s.conRepasos[d];
}

void LecturaRegistro::Termina(Estadisticas& e)
{
    for (const HistoriaTarjeta& h : historias)
        if (h.ultima.momento > 0)
            Suma(h.ultima, std::numeric_limits<qint64>::max());
    e.curvaConocidas.clear();
    for (int k = 0; k <= PuntosCurva; ++k)
        e.curvaConocidas.push_back({inicioCurva + k * PasoCurva, sumas[static_cast<size_t>(k)]});
    e.porDia = porDia;
    e.porHora = porHora;
    e.retencion = retencion;
    CuentaRachas(conRepasos, e);
}

} // namespace Repaso
