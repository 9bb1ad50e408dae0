#pragma once
// The clock's time text: the system's time form with seconds, without a time zone.
#include <QLocale>
#include <QString>
#include <QTime>

// The locale's long time form less its time-zone part ("H:mm:ss (t)" gives "H:mm:ss").
QString FormaHoraSinZona(const QLocale& idioma);
QString TextoHora(const QLocale& idioma, const QTime& hora);
