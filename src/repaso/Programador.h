#pragma once
// When a card is shown next, after each answer: the learning steps of a new card (minutes,
// no fuzz), then reviews days apart from the memory model, relearning steps after a lapse.
// The caller gives the clock (milliseconds since 1970, UTC), so days can be moved in tests.
// A day starts at 04:00 local time: a review late at night counts with the day before.
#include "repaso/Dias.h"
#include "repaso/Fsrs.h"

#include <QTimeZone>
#include <QtGlobal>

#include <optional>

namespace Repaso {

enum class Estado { Nueva = 0, Aprendiendo = 1, Repaso = 2, Reaprendiendo = 3 };

struct Tarjeta {
    qint64 id = 0; // seeds the fuzz together with the repetitions
    Estado estado = Estado::Nueva;
    Memoria memoria;
    int repeticiones = 0;
    int olvidos = 0;                    // lapses: Otra vez on a review
    int paso = 0;                       // the learning or relearning step it is at
    int diasProgramados = 0;            // 0 while on a step of minutes
    qint64 vence = 0;                   // when it is due, UTC ms
    std::optional<qint64> ultimoRepaso; // UTC ms; none while new
};

class Programador {
public:
    // `zona` is where the day starts at 04:00; none: the system's local time.
    explicit Programador(Parametros parametros = {}, std::optional<QTimeZone> zona = {});
    const Modelo& Calculo() const { return modelo; }

    // The card after answering `c` at `ahora`. A stored state that is none of the four is
    // taken as new; a review before the last one (the clock moved back) as on the same day.
    Tarjeta Programa(const Tarjeta& tarjeta, Calificacion c, qint64 ahora) const;

    const Dias& Calendario() const { return calendario; }

private:
    struct Paso {
        int minutos = 0; // 0: no step, the card goes to review
        int siguiente = 0;
    };
    Paso BuscaPaso(Estado estado, int paso, Calificacion c) const;
    void AplicaPasos(Tarjeta& nueva, const Tarjeta& antes, Calificacion c, Estado destino, int dias,
                     double fraccion, qint64 ahora) const;
    int Intervalo(double estabilidad, int dias, double fraccion) const;

    Modelo modelo;
    Dias calendario;
};

} // namespace Repaso
