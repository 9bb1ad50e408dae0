// Helper of tst_voz: speech in a process of its own, so that the test can start it where the
// voice data are hidden (the engine starts once per process).
//
//   aux_voz TEXTO
//
// Prints "MUESTRAS N IPA" when the text was spoken, or "ERROR description" (exit status 1).
#include "voz/Voz.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fputs("Uso: aux_voz TEXTO\n", stderr);
        return 2;
    }
    try {
        const QString texto = QString::fromLocal8Bit(argv[1]);
        const Sonido sonido = Voz::Sintetiza(texto, Acento::Britanico);
        std::printf("MUESTRAS %lld %s\n", static_cast<long long>(sonido.Cuantas()),
                    Voz::Fonetica(texto, Acento::Britanico).toUtf8().constData());
    } catch (const ErrorVoz& error) {
        std::printf("ERROR %s\n", error.Descripcion().toUtf8().constData());
        return 1;
    }
    return 0;
}
