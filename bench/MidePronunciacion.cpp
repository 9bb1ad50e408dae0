// Measures speech: from the click to the sound ready to play, for a 20-character text (the
// whole sound is made before playback starts, so this bounds the first sample; bar: 150 ms),
// a 100-character text on the user-interface thread (bar: 100 ms), and the IPA of a word as
// the item editor works it out on each keystroke (bar: 5 ms). Medians of 50 runs.
#include "Medidas.h"
#include "voz/Voz.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

namespace {
double Mediana(const std::function<void()>& medida)
{
    std::vector<double> tiempos;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        medida();
        tiempos.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    return Percentil(tiempos, 0.5);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QString corto = QStringLiteral("Where is the kitchen"); // 20 characters
    const QString largo = QStringLiteral("The quick brown fox jumps over the lazy dog while the "
                                         "kitchen smells of fresh bread and hot coffee!");
    try {
        Voz::Sintetiza(corto, Acento::Britanico); // the engine starts once, at the first use
        qsizetype muestras = 0;
        bool bien = Informa(
            "20 caracteres: clic → sonido listo",
            Mediana([&] { muestras = Voz::Sintetiza(corto, Acento::Britanico).Cuantas(); }), 150);
        std::printf("  (%.2f s de sonido)\n", double(muestras) / 22050);
        bien &= Informa("100 caracteres: síntesis entera",
                        Mediana([&] { Voz::Sintetiza(largo, Acento::Americano); }), 100);
        bien &= Informa(
            "fonética de «kitchen»",
            Mediana([&] { Voz::Fonetica(QStringLiteral("kitchen"), Acento::Britanico); }), 5);
        return bien ? 0 : 1;
    } catch (const ErrorVoz& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Descripcion()));
        return 2;
    }
}
