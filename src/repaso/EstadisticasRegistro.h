#pragma once
// The statistics' pass over the review log: answers by day and by hour, true retention, the days
// with answers and the known-words curve. A long log is read in slices of rows at once, one
// connection each; a slice does not know the answers before it, so each card's first answer in
// a slice waits for the merge, which takes the slices in order and joins each card's history.
#include "repaso/Estadisticas.h"

#include <QHash>

#include <optional>
#include <vector>

class ConexionSqlite;

namespace Repaso {

class Dias;

// Card ids as small indexes into the tables by card. Ids mostly run from 1 with few gaps, but a
// card made by importing a log keeps the log's id, which may be as large as a timestamp: those
// beyond the dense range get a slot when added; others (deleted cards') have none.
class Ranuras {
public:
    explicit Ranuras(qint64 denso);
    void Anade(qint64 id); // before the reading: the slices share the table
    std::optional<size_t> De(qint64 id) const
    {
        if (id >= 0 && id < denso)
            return static_cast<size_t>(id);
        return DeOtra(id);
    }
    size_t Cuantas() const { return size_t(denso) + size_t(otras.size()); }

private:
    std::optional<size_t> DeOtra(qint64 id) const;
    qint64 denso;
    QHash<qint64, qint64> otras;
};

// The day of a moment from a table of day starts: a day is 24 hours but on the nights the
// clocks change, so dividing guesses it within one and the table settles it. Asking the zone
// for each of a million answers would take most of the time.
class TablaDias {
public:
    TablaDias(const Dias& dias, qint64 desde, qint64 hasta);
    // The day of `ms`, or none before the table; after it, a day after its last.
    std::optional<qint64> Dia(qint64 ms) const;
    qint64 Inicio(qint64 dia) const { return inicios[size_t(dia - primero)]; }
    qint64 Primero() const { return primero; }

private:
    qint64 primero;
    std::vector<qint64> inicios; // the start of each day of the table and of the day after
};

// What every slice reads with.
struct ContextoRegistro {
    const Ranuras& ranuras;
    const std::vector<char>& elegidas; // by slot: the cards of the choice
    bool soloElegidas;                 // a topic: the answers of its cards alone
    const TablaDias& tabla;
    qint64 hoy;
    double decaimiento; // the forgetting curve's: R = (1 + factor·t/S)^decaimiento
    double factor;
    qint64 ahora;
};

// The answers of one slice of the log (rows by rowid), or of the slices merged so far.
class LecturaRegistro {
public:
    explicit LecturaRegistro(const ContextoRegistro& contexto);
    void Lee(ConexionSqlite& conexion, qint64 desdeFila, qint64 hastaFila);
    // Takes in the slice that follows the ones read so far.
    void Absorbe(const LecturaRegistro& siguiente);
    // Puts the figures of the log into `e`.
    void Termina(Estadisticas& e);

private:
    struct Memoria {
        qint64 momento = 0; // 0: none yet
        float estabilidad = 0;
    };
    struct HistoriaTarjeta {
        Memoria primera, ultima; // this slice's first and last answer taken for the curve
    };
    // A review answer whose card's interval before it lies in an earlier slice.
    struct Pendiente {
        qint64 tarjeta;
        qint64 haceDias;
        bool acertada;
    };

    void Anota(qint64 tarjeta, qint64 momento, int calificacion, int estado, int diasProgramados,
               double estabilidad);
    void AnotaCurva(size_t ranura, qint64 momento, double estabilidad);
    int& Intervalo(qint64 tarjeta);
    int Muestra(qint64 momento) const;
    void Suma(const Memoria& m, qint64 hasta);

    const ContextoRegistro& c;
    qint64 inicioCurva; // the first sample, a year before now
    std::vector<int> porDia;
    std::array<Aciertos, 24> porHora{};
    std::array<Retencion, NumPeriodos> retencion{};
    std::vector<char> conRepasos;           // by day of the table
    std::vector<double> sumas;              // the curve's samples
    std::vector<HistoriaTarjeta> historias; // by card slot, of the cards of the choice
    // The interval each card's last answer set (-1: none in this slice), by slot and, for the
    // cards without one, by id.
    std::vector<int> intervalos;
    QHash<qint64, int> intervalosOtras;
    std::vector<Pendiente> pendientes;
};

} // namespace Repaso
