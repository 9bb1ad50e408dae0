// Measures the automatic copy of a large vocabulary database.
//
//   MideCopiaAutomatica RUTA
//
// RUTA (made by GeneraVocabulario RUTA 100000 1000) is copied first and opened as the working
// database is. Times seven automatic copies of it, each into a folder already holding ten
// (median, bar: 1 s), then one closing: the copy on its thread during the 3-second pause,
// with a 10 ms timer on the event loop to show that the windows go on painting (the longest
// gap between ticks, bar: 100 ms), and the whole closing (bar: 3.05 s).
#include "Medidas.h"
#include "data/BaseVocabulario.h"
#include "nucleo/CopiaSegura.h"
#include "nucleo/CopiasAutomaticas.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    if (aplicacion.arguments().size() != 2) {
        std::fputs("Uso: MideCopiaAutomatica RUTA\n", stderr);
        return 2;
    }
    QTemporaryDir carpeta;
    const QString trabajo = carpeta.filePath(QStringLiteral("TALVEXV20.MDB"));
    if (!QFile::copy(aplicacion.arguments().at(1), trabajo)) {
        std::fputs("no se pudo copiar la base de datos\n", stderr);
        return 2;
    }
    BaseVocabulario base;
    base.Abre(trabajo);
    const QString copias = carpeta.filePath(QStringLiteral("copias"));
    std::printf("base de %.1f MB\n", double(QFileInfo(trabajo).size()) / 1e6);

    const QDateTime inicio(QDate(2026, 1, 1), QTime(8, 0));
    for (int i = 0; i < CopiasConservadas; ++i)
        HazCopiaAutomatica(trabajo, copias, inicio.addSecs(i));
    std::vector<double> tiempos;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        HazCopiaAutomatica(trabajo, copias, inicio.addDays(1).addSecs(i));
        tiempos.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    bool bien = Informa("copia automática, mediana", Percentil(tiempos, 0.5), 1000);
    std::printf("%-46s %8.1f ms\n", "copia automática, la más lenta", Percentil(tiempos, 1.0));

    // The closing: the pause runs its event loop while the copy works on its own thread.
    QElapsedTimer reloj;
    reloj.start();
    qint64 ultimo = 0, hueco = 0;
    QTimer tic;
    QObject::connect(&tic, &QTimer::timeout, [&] {
        hueco = std::max(hueco, reloj.elapsed() - ultimo);
        ultimo = reloj.elapsed();
    });
    tic.start(10);
    CopiaEnCurso copia(trabajo, copias, inicio.addDays(2));
    QEventLoop pausa;
    QTimer::singleShot(3000, Qt::PreciseTimer, &pausa, &QEventLoop::quit); // as HacePausa
    pausa.exec();
    const QString fallo = copia.Espera();
    const double cierre = double(reloj.nsecsElapsed()) / 1e6;
    if (!fallo.isEmpty())
        std::fprintf(stderr, "la copia falló: %s\n", qPrintable(fallo));
    bien &= fallo.isEmpty() && Informa("mayor hueco del bucle de eventos", double(hueco), 100);
    bien &= Informa("cierre entero (pausa de 3 s y copia)", cierre, 3050);
    std::printf("copias conservadas: %lld\n",
                static_cast<long long>(CopiasGuardadas(copias).size()));
    return bien ? 0 : 1;
}
