#pragma once
// The interval a rating button shows, in the short Spanish forms a learner reads at a glance:
// "1 min", "10 min", "5 h", "3 días", "1,2 meses", "2,5 años".
#include <QString>
#include <QtGlobal>

// `segundos` until the card comes back. Under an hour in whole minutes (at least one), under a
// day in hours, under a month in days, then months of 30 days and years of 365, with one
// decimal when it is not whole.
QString TextoIntervalo(qint64 segundos);
