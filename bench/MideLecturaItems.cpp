// Measures opening the vocabulary database and reading every item in key order, beside the
// time the sqlite3 command-line tool takes to read the same rows in the same order.
//
//   MideLecturaItems RUTA
//
// Best of five runs each; the bar is a ratio of at most 2.0.
#include "data/BaseVocabulario.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr int Repeticiones = 5;

template <typename Medida> double MejorDeCinco(Medida&& medida)
{
    double mejor = std::numeric_limits<double>::max();
    for (int i = 0; i < Repeticiones; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        medida();
        mejor = std::min(mejor, reloj.nsecsElapsed() / 1e6);
    }
    return mejor;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    if (argc != 2) {
        std::fputs("Uso: MideLecturaItems RUTA\n", stderr);
        return 2;
    }
    const QString ruta = aplicacion.arguments()[1];
    std::size_t filas = 0;
    double abre = 0, lee = 0;
    try {
        double mejorAbre = std::numeric_limits<double>::max();
        lee = MejorDeCinco([&] {
            std::vector<Item> items;
            QElapsedTimer reloj;
            reloj.start();
            BaseVocabulario base;
            base.Abre(ruta);
            mejorAbre = std::min(mejorAbre, reloj.nsecsElapsed() / 1e6);
            base.RecorreItems([&](const Item& item) { items.push_back(item); });
            filas = items.size();
        });
        abre = mejorAbre;
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }

    bool herramientaBien = true;
    const double herramienta = MejorDeCinco([&] {
        QProcess sqlite3;
        sqlite3.setStandardOutputFile(QProcess::nullDevice());
        sqlite3.start(QStringLiteral("sqlite3"),
                      {ruta, QStringLiteral("SELECT ITEMING,ITEMESP,NOMBRETEMA,NOTASITEM FROM "
                                            "ITEMS ORDER BY CLAVEITEM")});
        herramientaBien &= sqlite3.waitForFinished(-1) && sqlite3.exitCode() == 0;
    });
    if (!herramientaBien) {
        std::fputs("La herramienta sqlite3 no pudo leer el archivo.\n", stderr);
        return 1;
    }

    std::printf("filas leídas:                        %zu\n", filas);
    std::printf("Abre (con comprobación), mejor de 5: %8.1f ms\n", abre);
    std::printf("Abre + RecorreItems, mejor de 5:     %8.1f ms\n", lee);
    std::printf("sqlite3 con la misma consulta:       %8.1f ms\n", herramienta);
    std::printf("proporción:                          %8.2f (límite 2.00)\n", lee / herramienta);
    return lee / herramienta <= 2.0 ? 0 : 1;
}
