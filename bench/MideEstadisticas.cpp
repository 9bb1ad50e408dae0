// Measures the statistics on a large vocabulary with a long history: the figures alone (whole
// vocabulary and the topic with the most cards), the window from the command until it is
// painted, and each of its pages shown. With --capturas, pictures of every page at the scale
// the program runs at, and one chart saved as PNG and as PDF, go into that folder.
//
//   MideEstadisticas RUTA [--capturas CARPETA]   (a database made by GeneraVocabulario and
//                                                 GeneraRepasos; it is only read)
//
// Bar: the window painted ≤ 300 ms after the command.
#include "Medidas.h"
#include "PlataformaMedida.h"
#include "apoyo/Hijo.h"
#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"
#include "nucleo/modTALVEXV20.h"
#include "repaso/Estadisticas.h"
#include "ui/estadisticas/GuardaGrafico.h"
#include "ui/estadisticas/frmEstadisticas.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>

#include <cstdio>
#include <vector>

using namespace Repaso;

namespace {

constexpr int Repeticiones = 5;

double Ms(const QElapsedTimer& reloj)
{
    return double(reloj.nsecsElapsed()) / 1e6;
}

void HastaQuieto()
{
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

QString TemaConMasTarjetas(const BaseVocabulario& base)
{
    auto fila = base.ConexionAbierta().Prepara(
        "SELECT i.NOMBRETEMA FROM TARJETAS AS t JOIN ITEMS AS i ON i.rowid = t.IDITEM "
        "GROUP BY i.NOMBRETEMA ORDER BY count(*) DESC LIMIT 1");
    return fila.Avanza() ? fila.Texto(0) : QString();
}

void MideCifras(const BaseVocabulario& base, const std::optional<QString>& tema)
{
    std::vector<double> tiempos;
    Estadisticas e;
    for (int i = 0; i < Repeticiones; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        e = CalculaEstadisticas(base, tema, QDateTime::currentMSecsSinceEpoch());
        tiempos.push_back(Ms(reloj));
    }
    int enElAnio = 0;
    for (int n : e.porDia)
        enElAnio += n;
    const Retencion& mes = e.retencion[size_t(Periodo::Mes)];
    std::printf("cifras de %s: p50 %.1f ms (mín. %.1f)\n",
                tema ? qPrintable(QStringLiteral("«%1»").arg(*tema)) : "todo el vocabulario",
                Percentil(tiempos, 0.5), Percentil(tiempos, 0));
    std::printf("  %d atrasadas, %d vencen hoy; %d repasos en el año; rachas %d y %d días\n",
                e.atrasadas, e.vencen[0], enElAnio, e.rachaActual, e.rachaMasLarga);
    std::printf("  retención del mes: jóvenes %.1f %% de %d, maduras %.1f %% de %d\n",
                100 * mes.jovenes.Proporcion().value_or(0), mes.jovenes.respuestas,
                100 * mes.maduras.Proporcion().value_or(0), mes.maduras.respuestas);
    std::printf("  estados: %d sin practicar, %d aprendiendo, %d jóvenes, %d maduras; "
                "%.0f palabras sabidas\n",
                e.estados.nuevas, e.estados.aprendiendo, e.estados.jovenes, e.estados.maduras,
                e.conocidas);
}

// The window as the menu opens it, until painted; then each page shown and painted. With
// `capturas`, each page is pictured, the year of due reviews too, and one chart saved.
bool MideVentana(BaseVocabulario& base, const QString& capturas)
{
    std::vector<double> tiempos;
    frmEstadisticas* ventana = nullptr;
    for (int i = 0; i < Repeticiones; ++i) {
        if (ventana) {
            ventana->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QElapsedTimer reloj;
        reloj.start();
        ventana = new frmEstadisticas(base, {}, std::nullopt);
        ventana->show();
        HastaQuieto();
        tiempos.push_back(Ms(reloj));
    }
    std::printf("ventana pintada tras la orden: p50 %.1f ms\n", Percentil(tiempos, 0.5));
    const bool bien = Informa("  peor", Percentil(tiempos, 1), 300);
    auto* paginas = Hijo<QTabWidget>(ventana, "tabPaginas");
    const QString escala = QString::number(qRound(ventana->devicePixelRatioF() * 100));
    for (int p = 0; p < paginas->count(); ++p) {
        QElapsedTimer reloj;
        reloj.start();
        paginas->setCurrentIndex(p);
        HastaQuieto();
        QString nombre = paginas->tabText(p).remove(QLatin1Char('&'));
        std::printf("  página «%s» pintada: %.1f ms\n", qPrintable(nombre), Ms(reloj));
        if (!capturas.isEmpty())
            ventana->grab().save(
                QDir(capturas).filePath(QStringLiteral("%1-%2.png").arg(p + 1).arg(escala)));
    }
    if (!capturas.isEmpty()) {
        paginas->setCurrentIndex(0);
        Hijo<QComboBox>(ventana, "cboPlazo")->setCurrentIndex(1);
        HastaQuieto();
        ventana->grab().save(QDir(capturas).filePath(QStringLiteral("1-anio-%1.png").arg(escala)));
        QWidget* grafico = Hijo<QChartView>(ventana, "grfVencimientos");
        for (const char* extension : {"png", "pdf"})
            GuardaGrafico(
                *grafico, ventana->TituloGrafico(),
                QDir(capturas).filePath(QStringLiteral("guardado-%1.%2").arg(escala, extension)));
    }
    ventana->close();
    return bien;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool conCapturas = argc == 4 && qstrcmp(argv[2], "--capturas") == 0;
    if (!conCapturas)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() != 2 && !conCapturas) {
        std::fputs("Uso: MideEstadisticas RUTA [--capturas CARPETA]\n", stderr);
        return 2;
    }
    try {
        BaseVocabulario base;
        base.Abre(argumentos[1]);
        auto cuenta = [&](const char* sql) {
            auto fila = base.ConexionAbierta().Prepara(sql);
            return fila.Avanza() ? static_cast<long long>(fila.Entero(0)) : -1LL;
        };
        std::printf("%lld ítems, %lld tarjetas, %lld repasos\n",
                    cuenta("SELECT count(*) FROM ITEMS"), cuenta("SELECT count(*) FROM TARJETAS"),
                    cuenta("SELECT count(*) FROM REPASOS"));
        MideCifras(base, std::nullopt);
        MideCifras(base, TemaConMasTarjetas(base));
        PlataformaMedida plataforma;
        modTALVEXV20().plataforma = &plataforma;
        const bool bien = MideVentana(base, conCapturas ? argumentos[3] : QString());
        std::printf("memoria máxima: %ld MB\n", LeeMemoria("VmHWM") / 1024);
        return bien ? 0 : 1;
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
}
