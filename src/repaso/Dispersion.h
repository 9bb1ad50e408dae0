#pragma once
// The fuzz on review intervals: cards learnt together would otherwise keep falling due on the
// same days. The interval moves within a range that widens with it (the same table as Anki's),
// by a draw that depends only on the card and its repetition count, so that showing the
// answers again, or answering again after an undo, gives the same days.
#include <QByteArrayView>

namespace Repaso {

struct RangoDispersion {
    int minimo = 0;
    int maximo = 0;
};

// The range of days an interval of `intervalo` days may move to: ±15% of the part between 2.5
// and 7 days, ±10% between 7 and 20, ±5% beyond; never below 2, never beyond the maximum, and
// later than the days already elapsed when the interval is.
RangoDispersion CalculaRangoDispersion(double intervalo, double diasTranscurridos,
                                       int intervaloMaximo);

// A number in [0, 1) drawn from `semilla` (the Alea generator the published implementation
// uses, so both draw the same number from the same seed).
double SorteaFraccion(QByteArrayView semilla);

// The interval after fuzz: below 2.5 days it is only rounded.
int DispersaIntervalo(int intervalo, double diasTranscurridos, int intervaloMaximo,
                      double fraccion);

} // namespace Repaso
