#include "ui/estadisticas/GraficosEstadisticas.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>

#include <algorithm>

using namespace Repaso;

namespace Graficos {

namespace {

const QColor Azul(0x2f, 0x6f, 0xb3);
const QColor Naranja(0xd9, 0x6c, 0x1e);

// A table as text, one row a line, its cells separated by semicolons.
QString ComoTabla(const QStringList& cabecera, const QList<QStringList>& filas)
{
    QStringList lineas{cabecera.join(QStringLiteral("; "))};
    for (const QStringList& fila : filas)
        lineas << fila.join(QStringLiteral("; "));
    return lineas.join(QLatin1Char('\n'));
}

QString Numero(double n, int decimales = 0)
{
    return Espanol().toString(n, 'f', decimales);
}

QChart* NuevoGrafico(const QString& titulo, const QFont& letra)
{
    auto* grafico = new QChart;
    grafico->setTitle(titulo);
    QFont negrita = letra;
    negrita.setBold(true);
    grafico->setTitleFont(negrita);
    grafico->setLocalizeNumbers(true);
    grafico->setLocale(Espanol());
    grafico->legend()->setFont(letra);
    grafico->setAnimationOptions(QChart::NoAnimation);
    return grafico;
}

QChartView* NuevaVista(QChart* grafico, const char* nombre, const QString& descripcion,
                       QWidget* padre)
{
    auto* vista = new QChartView(grafico, padre);
    vista->setObjectName(QLatin1String(nombre));
    vista->setRenderHint(QPainter::Antialiasing);
    vista->setAccessibleName(grafico->title());
    vista->setAccessibleDescription(descripcion);
    // The view passes the focus to its drawing area: a screen reader names that too.
    vista->viewport()->setAccessibleName(grafico->title());
    vista->viewport()->setAccessibleDescription(descripcion);
    vista->setMinimumHeight(vista->fontMetrics().height() * 14);
    return vista;
}

QValueAxis* EjeCuenta(double maximo, const QFont& letra, const QString& titulo = {})
{
    auto* eje = new QValueAxis;
    eje->setRange(0, std::max(4.0, maximo));
    eje->applyNiceNumbers();
    eje->setLabelFormat(QStringLiteral("%.0f"));
    eje->setLabelsFont(letra);
    eje->setTitleText(titulo);
    eje->setTitleFont(letra);
    return eje;
}

// The bars' axis: their positions from 0, a label every `cada`.
QValueAxis* EjePosiciones(int cuantas, int cada, const QFont& letra, const QString& titulo)
{
    auto* eje = new QValueAxis;
    eje->setRange(-0.5, cuantas - 0.5);
    eje->setTickType(QValueAxis::TicksDynamic);
    eje->setTickAnchor(0);
    eje->setTickInterval(cada);
    eje->setLabelFormat(QStringLiteral("%.0f"));
    eje->setLabelsFont(letra);
    eje->setTitleText(titulo);
    eje->setTitleFont(letra);
    eje->setGridLineVisible(false);
    return eje;
}

QTableWidget* NuevaTabla(const char* nombre, const QString& titulo, const QStringList& cabecera,
                         const QList<QStringList>& filas, QWidget* padre)
{
    auto* tabla =
        new QTableWidget(static_cast<int>(filas.size()), static_cast<int>(cabecera.size()), padre);
    tabla->setObjectName(QLatin1String(nombre));
    tabla->setHorizontalHeaderLabels(cabecera);
    tabla->verticalHeader()->hide();
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int f = 0; f < filas.size(); ++f)
        for (int c = 0; c < cabecera.size(); ++c) {
            auto* celda = new QTableWidgetItem(filas[f].value(c));
            if (c > 0)
                celda->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tabla->setItem(f, c, celda);
        }
    tabla->resizeColumnsToContents();
    tabla->horizontalHeader()->setStretchLastSection(true);
    tabla->setAccessibleName(titulo);
    tabla->setAccessibleDescription(ComoTabla(cabecera, filas));
    return tabla;
}

} // namespace

const QLocale& Espanol()
{
    static const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    return espanol;
}

QString Porcentaje(std::optional<double> proporcion)
{
    if (!proporcion)
        return QStringLiteral("—");
    return Numero(100 * *proporcion, 1) + QStringLiteral(" %");
}

QChartView* CreaVencimientos(const Estadisticas& e, QDate hoy, bool anio, QWidget* padre)
{
    const QFont letra = padre->font();
    QList<QStringList> filas;
    auto* barras = new QBarSet(QStringLiteral("Repasos"));
    barras->setColor(Azul);
    const int dias = anio ? DiasAdelante : 30;
    const int paso = anio ? 7 : 1; // a year in weeks
    int mayor = 0;
    for (int d = 0; d < dias; d += paso) {
        int suma = 0;
        for (int i = d; i < std::min(dias, d + paso); ++i)
            suma += e.vencen[static_cast<size_t>(i)];
        const QDate fecha = hoy.addDays(d);
        *barras << suma;
        mayor = std::max(mayor, suma);
        filas << QStringList{anio ? QStringLiteral("Semana del %1")
                                        .arg(Espanol().toString(fecha, QLocale::ShortFormat))
                                  : Espanol().toString(fecha, QLocale::ShortFormat),
                             Numero(suma)};
    }
    auto* serie = new QBarSeries;
    serie->append(barras);
    serie->setBarWidth(0.8);
    QChart* grafico =
        NuevoGrafico(anio ? QStringLiteral("Repasos que vencen cada semana del próximo año")
                          : QStringLiteral("Repasos que vencen cada día de los próximos 30 días"),
                     letra);
    grafico->addSeries(serie);
    grafico->legend()->hide();
    auto* ejeX = anio ? EjePosiciones(barras->count(), 4, letra,
                                      QStringLiteral("Semanas a partir de esta (0)"))
                      : EjePosiciones(dias, 5, letra, QStringLiteral("Días a partir de hoy (0)"));
    auto* ejeY = EjeCuenta(mayor, letra, QStringLiteral("Repasos"));
    grafico->addAxis(ejeX, Qt::AlignBottom);
    grafico->addAxis(ejeY, Qt::AlignLeft);
    serie->attachAxis(ejeX);
    serie->attachAxis(ejeY);
    filas.prepend({QStringLiteral("Atrasados de días anteriores"), Numero(e.atrasadas)});
    return NuevaVista(grafico, "grfVencimientos",
                      ComoTabla({anio ? QStringLiteral("Semana") : QStringLiteral("Día"),
                                 QStringLiteral("Repasos")},
                                filas),
                      padre);
}

QChartView* CreaEstados(const Estadisticas& e, QWidget* padre)
{
    const struct {
        QString nombre;
        int cuenta;
    } estados[] = {
        {QStringLiteral("Sin practicar"), e.estados.nuevas},
        {QStringLiteral("Aprendiendo"), e.estados.aprendiendo},
        {QStringLiteral("Jóvenes"), e.estados.jovenes},
        {QStringLiteral("Maduras"), e.estados.maduras},
    };
    auto* barras = new QBarSet(QStringLiteral("Tarjetas"));
    barras->setColor(Azul);
    QStringList nombres;
    QList<QStringList> filas;
    int mayor = 0;
    for (const auto& estado : estados) {
        *barras << estado.cuenta;
        nombres << estado.nombre;
        mayor = std::max(mayor, estado.cuenta);
        filas << QStringList{estado.nombre, Numero(estado.cuenta)};
    }
    auto* serie = new QHorizontalBarSeries;
    serie->append(barras);
    serie->setLabelsVisible(true);
    serie->setLabelsPosition(QAbstractBarSeries::LabelsInsideBase);
    barras->setLabelColor(Qt::white);
    barras->setLabelFont(padre->font());
    QChart* grafico = NuevoGrafico(QStringLiteral("Tarjetas por estado"), padre->font());
    grafico->addSeries(serie);
    grafico->legend()->hide();
    auto* ejeY = new QBarCategoryAxis;
    ejeY->append(nombres);
    ejeY->setLabelsFont(padre->font());
    auto* ejeX = EjeCuenta(mayor, padre->font());
    grafico->addAxis(ejeY, Qt::AlignLeft);
    grafico->addAxis(ejeX, Qt::AlignBottom);
    serie->attachAxis(ejeY);
    serie->attachAxis(ejeX);
    return NuevaVista(grafico, "grfEstados",
                      ComoTabla({QStringLiteral("Estado"), QStringLiteral("Tarjetas")}, filas),
                      padre);
}

QChartView* CreaConocidas(const Estadisticas& e, QWidget* padre)
{
    const QFont letra = padre->font();
    auto* serie = new QLineSeries;
    serie->setName(QStringLiteral("Palabras sabidas"));
    serie->setColor(Azul);
    QList<QStringList> filas;
    double maximo = 0;
    for (const PuntoConocidas& punto : e.curvaConocidas) {
        serie->append(double(punto.momento), punto.palabras);
        maximo = std::max(maximo, punto.palabras);
        filas << QStringList{
            Espanol().toString(QDateTime::fromMSecsSinceEpoch(punto.momento).date(),
                               QLocale::ShortFormat),
            Numero(punto.palabras)};
    }
    QChart* grafico =
        NuevoGrafico(QStringLiteral("Palabras sabidas (estimación), último año"), letra);
    grafico->addSeries(serie);
    grafico->legend()->hide();
    auto* ejeX = new QDateTimeAxis;
    ejeX->setFormat(QStringLiteral("MMM yy"));
    ejeX->setLabelsFont(letra);
    ejeX->setTickCount(7);
    if (!e.curvaConocidas.empty())
        ejeX->setRange(QDateTime::fromMSecsSinceEpoch(e.curvaConocidas.front().momento),
                       QDateTime::fromMSecsSinceEpoch(e.curvaConocidas.back().momento));
    auto* ejeY = EjeCuenta(maximo, letra, QStringLiteral("Palabras"));
    grafico->addAxis(ejeX, Qt::AlignBottom);
    grafico->addAxis(ejeY, Qt::AlignLeft);
    serie->attachAxis(ejeX);
    serie->attachAxis(ejeY);
    return NuevaVista(
        grafico, "grfConocidas",
        ComoTabla({QStringLiteral("Fecha"), QStringLiteral("Palabras sabidas")}, filas), padre);
}

QChartView* CreaHoras(const Estadisticas& e, QWidget* padre)
{
    const QFont letra = padre->font();
    auto* barras = new QBarSet(QStringLiteral("Respuestas"));
    barras->setColor(Azul);
    auto* linea = new QLineSeries;
    linea->setName(QStringLiteral("% acertadas"));
    linea->setColor(Naranja);
    linea->setPointsVisible(true);
    QList<QStringList> filas;
    int maximo = 0;
    for (int h = 0; h < 24; ++h) {
        const Aciertos& a = e.porHora[static_cast<size_t>(h)];
        *barras << a.respuestas;
        maximo = std::max(maximo, a.respuestas);
        if (const auto p = a.Proporcion())
            linea->append(h, 100 * *p);
        filas << QStringList{QStringLiteral("%1:00").arg(h, 2, 10, QLatin1Char('0')),
                             Numero(a.respuestas), Porcentaje(a.Proporcion())};
    }
    auto* serie = new QBarSeries;
    serie->append(barras);
    QChart* grafico =
        NuevoGrafico(QStringLiteral("Respuestas por hora del día (último año)"), letra);
    grafico->addSeries(serie);
    grafico->addSeries(linea);
    grafico->legend()->setAlignment(Qt::AlignBottom);
    auto* ejeX = EjePosiciones(24, 2, letra, QStringLiteral("Hora"));
    auto* ejeY = EjeCuenta(maximo, letra, QStringLiteral("Respuestas"));
    auto* ejePorcentaje = new QValueAxis;
    ejePorcentaje->setRange(0, 100);
    ejePorcentaje->setLabelFormat(QStringLiteral("%.0f %"));
    ejePorcentaje->setLabelsFont(letra);
    ejePorcentaje->setTitleText(QStringLiteral("% acertadas"));
    ejePorcentaje->setTitleFont(letra);
    grafico->addAxis(ejeX, Qt::AlignBottom);
    grafico->addAxis(ejeY, Qt::AlignLeft);
    grafico->addAxis(ejePorcentaje, Qt::AlignRight);
    serie->attachAxis(ejeX);
    serie->attachAxis(ejeY);
    linea->attachAxis(ejeX);
    linea->attachAxis(ejePorcentaje);
    return NuevaVista(grafico, "grfHoras",
                      ComoTabla({QStringLiteral("Hora"), QStringLiteral("Respuestas"),
                                 QStringLiteral("Acertadas")},
                                filas),
                      padre);
}

QTableWidget* CreaRetencion(const Estadisticas& e, QWidget* padre)
{
    const auto celda = [](const Aciertos& a) {
        if (a.respuestas == 0)
            return QStringLiteral("—");
        return QStringLiteral("%1 (%2 de %3)")
            .arg(Porcentaje(a.Proporcion()), Numero(a.acertadas), Numero(a.respuestas));
    };
    QList<QStringList> filas;
    for (int p = 0; p < NumPeriodos; ++p) {
        const Retencion& r = e.retencion[static_cast<size_t>(p)];
        filas << QStringList{NombrePeriodo(Periodo(p)), celda(r.jovenes), celda(r.maduras),
                             celda(r.Total())};
    }
    return NuevaTabla("tblRetencion", QStringLiteral("Retención real"),
                      {QStringLiteral("Periodo"), QStringLiteral("Jóvenes"),
                       QStringLiteral("Maduras"), QStringLiteral("Total")},
                      filas, padre);
}

QTableWidget* CreaTemas(const Estadisticas& e, QWidget* padre)
{
    QList<QStringList> filas;
    for (const CuentaTema& t : e.porTema)
        filas << QStringList{t.tema,
                             Numero(t.estados.nuevas),
                             Numero(t.estados.aprendiendo),
                             Numero(t.estados.jovenes),
                             Numero(t.estados.maduras),
                             Numero(t.estados.Total())};
    return NuevaTabla("tblTemas", QStringLiteral("Tarjetas por tema"),
                      {QStringLiteral("Tema"), QStringLiteral("Sin practicar"),
                       QStringLiteral("Aprendiendo"), QStringLiteral("Jóvenes"),
                       QStringLiteral("Maduras"), QStringLiteral("Total")},
                      filas, padre);
}

QString DescribeCalendario(const std::vector<int>& porDia, QDate hoy)
{
    QList<QStringList> filas;
    const QDate primero = hoy.addDays(1 - static_cast<qint64>(porDia.size()));
    int repasos = 0, dias = 0;
    for (size_t i = 0; i < porDia.size(); ++i) {
        const QDate fecha = primero.addDays(static_cast<qint64>(i));
        repasos += porDia[i];
        dias += porDia[i] > 0;
        if (i + 1 == porDia.size() ||
            primero.addDays(static_cast<qint64>(i) + 1).month() != fecha.month()) {
            filas << QStringList{Espanol().toString(fecha, "MMMM yyyy"), Numero(repasos),
                                 Numero(dias)};
            repasos = dias = 0;
        }
    }
    return ComoTabla(
        {QStringLiteral("Mes"), QStringLiteral("Repasos"), QStringLiteral("Días con repasos")},
        filas);
}

} // namespace Graficos
