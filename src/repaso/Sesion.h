#pragma once
// A practice session: which card comes next and what an answer does. Learning cards come back
// when due; reviews come from the least remembered (lowest retrievability) up; new words are
// mixed in evenly among them, up to the day's limits. Once one kind of a word was answered,
// its other kinds wait for another day. Every answer is saved before the next card is shown.
// No widgets: the practice window and the tests drive it alike.
#include "repaso/AjustesRepaso.h"
#include "repaso/AlmacenRepasos.h"

#include <deque>
#include <optional>
#include <set>

namespace Repaso {

// What is due today in a choice, as the start page shows it.
struct Recuento {
    int nuevas = 0;      // new words the day's limit still allows
    int aprendiendo = 0; // learning or relearning cards due today
    int repaso = 0;      // review cards due today, up to the day's limit
    int Total() const { return nuevas + aprendiendo + repaso; }
};

// What a session did, for its summary.
struct Resumen {
    int respondidas = 0;
    int acertadas = 0;       // not Otra vez
    qint64 milisegundos = 0; // time spent answering
    int venceManana = 0;     // cards of the choice due tomorrow
};

// "Practicar más": beyond today's limits.
enum class Ampliacion { Ninguna, NuevasExtra, RepasosAdelantados };

class Sesion {
public:
    Sesion(AlmacenRepasos& almacen, AjustesRepaso ajustes, Eleccion eleccion,
           std::optional<QTimeZone> zona = {});

    // What is due today at `ahora`, within the day's limits (counted, not loaded).
    Recuento Cuenta(qint64 ahora) const;
    // Fills the queue for `ahora`. With an extension: `extra` more new words, or the reviews
    // due in the next `extra` days (up to a day's reviews), whatever was done today.
    void Comienza(qint64 ahora, Ampliacion ampliacion = Ampliacion::Ninguna, int extra = 0);

    // The card to show now, or none when the session is over. A learning card due within
    // 20 minutes is shown early when nothing else is left. Asking again without answering
    // gives the same card.
    std::optional<TarjetaItem> Siguiente(qint64 ahora);
    // The card after answering `c` (what the rating buttons show as intervals).
    Tarjeta Prevision(const TarjetaItem& tarjeta, Calificacion c, qint64 ahora) const;
    // Answers the card last given by Siguiente and saves it (one transaction).
    void Responde(Calificacion c, qint64 ahora, qint64 duracion, Modo modo);
    // Undoes the last answer: the card as before, its review row gone; it is shown next.
    // False when there is nothing to undo.
    bool Deshace();
    bool PuedeDeshacer() const { return !respuestas.empty(); }

    // Left in the queue, the learning cards waiting for later today included.
    Recuento Pendientes() const;
    // When the next learning card of today is due, if one waits.
    std::optional<qint64> ProximoAprendizaje() const;
    Resumen Balance(qint64 ahora) const;
    const Programador& Planificador() const { return programador; }
    const AjustesRepaso& Ajustes() const { return ajustes; }

private:
    void Entierra(qint64 item);
    void MezclaNuevas(std::vector<TarjetaItem> repasos, std::vector<TarjetaItem> nuevas);
    // New words, oldest first, a word once (with one of its kinds), none of `enterrados`.
    std::vector<TarjetaItem> EligeNuevas(int cuantas, const std::set<qint64>& enterrados) const;

    AlmacenRepasos& almacen;
    AjustesRepaso ajustes;
    Eleccion eleccion;
    Programador programador;
    qint64 finDia = 0;                    // when the day the session started in ends (UTC ms)
    std::deque<TarjetaItem> cola;         // reviews and new words, in order
    std::vector<TarjetaItem> aprendiendo; // learning cards due later today
    std::set<qint64> enterrados;          // items answered today: their other kinds wait
    std::optional<TarjetaItem> actual;    // shown, not answered yet
    struct Respondida {
        RespuestaGuardada guardada;
        bool acertada;
        qint64 duracion;
    };
    std::vector<Respondida> respuestas; // this session's, for undo and the summary
};

} // namespace Repaso
