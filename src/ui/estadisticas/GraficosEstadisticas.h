#pragma once
// The charts and tables of the statistics window, each made from the figures with its title,
// its accessible name and, for a screen reader, its data as a table in its description.
// Numbers and dates in Spanish forms.
#include "repaso/Estadisticas.h"

#include <QDate>
#include <QLocale>

class QChartView;
class QTableWidget;
class QWidget;

namespace Graficos {

// Spanish numbers and dates ("1.234", "85,3 %", "10 de diciembre de 2026").
const QLocale& Espanol();
QString Porcentaje(std::optional<double> proporcion); // "85,3 %", "—" without answers

// Reviews due on each of the next 30 days, or on each week of the coming year.
QChartView* CreaVencimientos(const Repaso::Estadisticas& e, QDate hoy, bool anio, QWidget* padre);
// Cards by state.
QChartView* CreaEstados(const Repaso::Estadisticas& e, QWidget* padre);
// The words known over the last year.
QChartView* CreaConocidas(const Repaso::Estadisticas& e, QWidget* padre);
// Answers and the share right by hour.
QChartView* CreaHoras(const Repaso::Estadisticas& e, QWidget* padre);
// True retention by period, young, mature and all.
QTableWidget* CreaRetencion(const Repaso::Estadisticas& e, QWidget* padre);
// Cards by topic and state.
QTableWidget* CreaTemas(const Repaso::Estadisticas& e, QWidget* padre);
// The calendar's data for a screen reader: reviews and days practised by month.
QString DescribeCalendario(const std::vector<int>& porDia, QDate hoy);

} // namespace Graficos
