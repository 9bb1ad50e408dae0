// Fitting the memory model on a simulated learner's log: how long fitting 100,000 and
// 1,000,000 reviews takes, the memory it peaks at, and the fitted log loss against the known
// weights' own. Also the simulator on the command line: with --csv it writes the log it made
// (the columns the published optimizer's tools read) to compare with them; with --base it adds
// it to a vocabulary file's log, for `talvex-datos repasos ajusta`.
//
//   MideAjuste [TARJETAS=100000] [DIAS=500] [--csv ARCHIVO] [--base RUTA]
#include "Medidas.h"
#include "data/BaseVocabulario.h"
#include "repaso/Optimizador.h"
#include "repaso/Simulador.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

using namespace Repaso;

namespace {

// A learner whose memory differs from the defaults'.
const std::vector<double> Conocidos{0.4, 1.6,  3.5,  12.0, 6.0, 0.7, 2.0,  0.01, 1.4,  0.2, 1.0,
                                    1.8, 0.08, 0.35, 1.9,  0.5, 2.2, 0.45, 0.12, 0.08, 0.3};

// The VmHWM figure counts from here on.
void ReiniciaPico()
{
    QFile limpia(QStringLiteral("/proc/self/clear_refs"));
    if (limpia.open(QIODevice::WriteOnly))
        limpia.write("5");
}

void Ajusta(const std::vector<RegistroRepaso>& registro, size_t filas, const Dias& dias,
            double barra)
{
    // The first cards' rows (each card's rows are together); the whole log is not copied.
    std::vector<RegistroRepaso> copia;
    if (filas < registro.size())
        copia.assign(registro.begin(), registro.begin() + filas);
    const std::vector<RegistroRepaso>& parte = filas < registro.size() ? copia : registro;
    ReiniciaPico();
    QElapsedTimer reloj;
    reloj.start();
    const ResultadoAjuste r = AjustaParametros(parte, PesosPredeterminados(), dias);
    const double ms = double(reloj.elapsed());
    const MedidasAjuste conocidos = MideParametros(parte, Conocidos, dias);
    std::printf("\n%zu repasos, %d predicciones\n", parte.size(), r.antes.items);
    Informa("Ajuste", ms, barra);
    std::printf("Pico de memoria: %ld MB (barra 300 MB)\n", LeeMemoria("VmHWM") / 1024);
    std::printf("Pérdida logarítmica: predeterminados %.5f, ajustados %.5f, conocidos %.5f\n",
                r.antes.logLoss, r.despues.logLoss, conocidos.logLoss);
    std::printf("RMSE por grupos:     predeterminados %.5f, ajustados %.5f, conocidos %.5f\n",
                r.antes.rmseBins, r.despues.rmseBins, conocidos.rmseBins);
    std::printf("%s\nparametros=", r.mejora ? "Se guardarían." : qPrintable(r.motivo));
    for (size_t i = 0; i < r.ajustados.size(); ++i)
        std::printf("%s%.4f", i ? "," : "", r.ajustados[i]);
    std::printf("\n");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    QStringList argumentos = aplicacion.arguments().mid(1);
    auto opcion = [&](const char* nombre) {
        QString valor;
        if (const int i = argumentos.indexOf(QLatin1String(nombre));
            i >= 0 && i + 1 < argumentos.size()) {
            valor = argumentos[i + 1];
            argumentos.remove(i, 2);
        }
        return valor;
    };
    const QString csv = opcion("--csv");
    const QString ruta = opcion("--base");
    Simulacion s;
    s.pesosAlumno = Conocidos;
    s.tarjetas = argumentos.value(0, QStringLiteral("100000")).toInt();
    s.dias = argumentos.value(1, QStringLiteral("500")).toInt();
    s.zona = QTimeZone::utc();
    QElapsedTimer reloj;
    reloj.start();
    const std::vector<RegistroRepaso> registro = SimulaRepasos(s);
    std::printf("Simulados %d tarjetas en %d días: %zu repasos en %lld ms\n", s.tarjetas, s.dias,
                registro.size(), reloj.elapsed());
    if (!csv.isEmpty()) {
        QFile archivo(csv);
        if (!archivo.open(QIODevice::WriteOnly) || archivo.write(RegistroComoCsv(registro)) < 0) {
            std::fprintf(stderr, "No se pudo escribir «%s».\n", qPrintable(csv));
            return 1;
        }
        std::printf("Registro escrito en «%s».\n", qPrintable(csv));
    }
    if (!ruta.isEmpty()) {
        try {
            BaseVocabulario base;
            base.Abre(ruta);
            AlmacenRepasos almacen(base);
            GuardaSimulacion(almacen, registro);
        } catch (const ErrorTalvex& error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.Descripcion()));
            return 1;
        }
        std::printf("Registro añadido a «%s».\n", qPrintable(ruta));
    }
    const Dias dias(QTimeZone::utc());
    Ajusta(registro, 100000, dias, 10000);
    if (registro.size() > 100000)
        Ajusta(registro, registro.size(), dias, 60000);
    return 0;
}
