#pragma once
// The figures of the statistics window, for the whole vocabulary or one topic at a moment: what
// falls due in the days ahead, the reviews of each day of the last year and the streaks, true
// retention (review answers not "Otra vez"), the cards by state and by topic, the words known
// (the sum of every card's chance of being recalled) and how that grew, and the answers by hour.
// Days start at 04:00 local time, as practice counts them. Read in two passes over the file
// (cards, and the log in slices at once), so that it stays fast with a million reviews.
#include <QString>
#include <QTimeZone>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

class BaseVocabulario;

namespace Repaso {

// Answers and those not "Otra vez".
struct Aciertos {
    int respuestas = 0;
    int acertadas = 0;
    // The share right, 0 to 1; none without answers.
    std::optional<double> Proporcion() const;
    Aciertos& operator+=(const Aciertos& otros);
};

// True retention of one period: review answers on cards whose interval was under 21 days
// (young) and at least 21 (mature).
struct Retencion {
    Aciertos jovenes, maduras;
    Aciertos Total() const;
};

// The periods of true retention, in this order.
enum class Periodo { Hoy, Ayer, Semana, Mes, Anio };
constexpr int NumPeriodos = 5;
QString NombrePeriodo(Periodo periodo);

// The cards by state; `nuevas` counts the items of the choice never practised.
struct PorEstado {
    int nuevas = 0, aprendiendo = 0, jovenes = 0, maduras = 0;
    int Total() const { return nuevas + aprendiendo + jovenes + maduras; }
};

struct CuentaTema {
    QString tema;
    PorEstado estados;
};

// One point of the known-words curve.
struct PuntoConocidas {
    qint64 momento = 0; // UTC ms
    double palabras = 0;
};

struct Estadisticas {
    qint64 hoy = 0; // today's day number (see Dias)
    // Due cards: those of earlier days still waiting, then the count of each day from today.
    int atrasadas = 0;
    std::vector<int> vencen; // [0] today, [1] tomorrow…, DiasAdelante in all
    // Reviews of each of the last 365 days, the oldest first ([364] is today).
    std::vector<int> porDia;
    int rachaActual = 0;   // days in a row with reviews up to today (or yesterday)
    int rachaMasLarga = 0; // over the whole log
    std::array<Retencion, NumPeriodos> retencion{};
    PorEstado estados;
    std::vector<CuentaTema> porTema;            // in the topics' order of the vocabulary
    double conocidas = 0;                       // the sum of every card's retrievability now
    std::vector<PuntoConocidas> curvaConocidas; // every two weeks of the last year, the last now
    std::array<Aciertos, 24> porHora{};         // answers of the last year by local hour
};

constexpr int DiasAdelante = 365;
constexpr int DiasCalendario = 365;
// A card is mature from this interval (days) on.
constexpr int IntervaloMadura = 21;

// The figures for every item (`tema` none) or one topic's at `ahora` (UTC ms). `zona`: where the
// day starts at 04:00 (none: the system's). `tramos`: the slices of the log read at once (0: one
// per core when the log is long). Throws ErrorTalvex when the file cannot be read.
Estadisticas CalculaEstadisticas(const BaseVocabulario& base, const std::optional<QString>& tema,
                                 qint64 ahora, std::optional<QTimeZone> zona = {}, int tramos = 0);

} // namespace Repaso
