#pragma once
// The memory model of practice (FSRS-6): how well a word is remembered after each answer, as
// a stability (the days until the chance of recalling it falls to 90%) and a difficulty (1 to
// 10), and the interval that keeps that chance at the desired retention. The formulas and
// their rounding (8 decimals at each step) follow the published implementation, so that the
// same answers give the same figures here and there. No widgets, no store, no clock here.
#include <vector>

namespace Repaso {

enum class Calificacion { OtraVez = 1, Dificil = 2, Bien = 3, Facil = 4 };

// The 21 weights of FSRS-6 trained on many users' reviews.
const std::vector<double>& PesosPredeterminados();

struct Parametros {
    // Kept with their count: 21 is FSRS-6; a list of any other length is not a model we know,
    // and the default weights are used instead.
    std::vector<double> pesos = PesosPredeterminados();
    double retencionDeseada = 0.90;           // 0.70–0.97
    int intervaloMaximo = 36500;              // days
    std::vector<int> pasosAprendizaje{1, 10}; // minutes
    std::vector<int> pasosReaprendizaje{10};  // minutes
    bool conDispersion = true;                // fuzz on intervals of 2.5 days or more
};

// What is remembered of a card. Both 0: nothing yet (a new card).
struct Memoria {
    double estabilidad = 0;
    double dificultad = 0;
};

class Modelo {
public:
    // The weights are clipped to the ranges the model was trained within; the retention and the
    // maximum interval to theirs.
    explicit Modelo(Parametros parametros = {});
    const Parametros& Ajustes() const { return p; }

    // The chance of recalling after `dias` days: a power forgetting curve (decay −w20), which
    // fits the mix of fast and slow forgetting of real reviews better than an exponential.
    double CalculaRetenibilidad(double dias, double estabilidad) const;
    // The first answer sets the memory: the stability is the weight of that rating, the
    // difficulty falls exponentially with the rating.
    double EstabilidadInicial(Calificacion c) const;
    double DificultadInicial(Calificacion c) const; // not clamped
    // A new difficulty: up for Otra vez/Difícil, down for Fácil, by less as it nears 10 (linear
    // damping), pulled a little toward the Fácil starting difficulty (mean reversion) so it
    // cannot stay stuck at an extreme.
    double ActualizaDificultad(double dificultad, Calificacion c) const;
    // A pass grows the stability by more when recall was harder (lower retrievability), when
    // the word is easier and while the stability is still small; Difícil grows it less, Fácil more.
    double EstabilidadTrasAcierto(double d, double s, double r, Calificacion c) const;
    // A lapse starts the stability over from a fraction of the old one, never above it.
    double EstabilidadTrasOlvido(double d, double s, double r) const;
    // A second answer on the same day: memory barely consolidates in between, so the stability
    // changes by a small factor, and a pass never lowers it.
    double EstabilidadMismoDia(double s, Calificacion c) const;
    // The memory after answering `c` with `dias` days since the last answer. A memory that is not
    // a number is taken as none; one out of range is brought into range.
    Memoria ActualizaMemoria(Memoria m, double dias, Calificacion c) const;
    // The days until recall falls to the desired retention: at least 1, at most the maximum,
    // rounded to whole days (no fuzz).
    int CalculaIntervalo(double estabilidad) const;

private:
    Parametros p;
    double decaimiento;     // −w20
    double factor;          // makes R(S, S) = 0.9
    double modificador;     // interval per unit of stability at the desired retention
    double dificultadFacil; // the Fácil starting difficulty, which difficulty reverts to
    double crecimientoBase; // e^w8
};

} // namespace Repaso
