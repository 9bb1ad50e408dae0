// Helper of tst_copiasegura: one safe copy in a process of its own, so that the test can kill
// it at any moment or run it under a file-size limit.
//
//   aux_copiasegura copia ORIGEN DESTINO
//   aux_copiasegura restaura ORIGEN TRABAJO      (TRABAJO open as the working database)
//   aux_copiasegura limite BYTES ORIGEN DESTINO  (files may not grow beyond BYTES)
//   aux_copiasegura automatica ORIGEN CARPETA AAAAMMDD-HHMMSS  (an automatic copy of then)
//
// Prints "HECHO" when the copy returned, or "ERROR N" with its number (exit status 1).
#include "data/BaseVocabulario.h"
#include "nucleo/CopiaSegura.h"
#include "nucleo/CopiasAutomaticas.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    const auto Uso = [] {
        std::fputs("Uso: aux_copiasegura copia|restaura ORIGEN DESTINO\n"
                   "     aux_copiasegura limite BYTES ORIGEN DESTINO\n"
                   "     aux_copiasegura automatica ORIGEN CARPETA AAAAMMDD-HHMMSS\n",
                   stderr);
        return 2;
    };
    if (argc < 4)
        return Uso();
    const char* modo = argv[1];
    try {
        if (std::strcmp(modo, "copia") == 0 && argc == 4) {
            CopiaBaseSegura(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
        } else if (std::strcmp(modo, "restaura") == 0 && argc == 4) {
            BaseVocabulario base;
            base.Abre(QString::fromLocal8Bit(argv[3]));
            RestauraEnConexion(QString::fromLocal8Bit(argv[2]), base.Conexion());
        } else if (std::strcmp(modo, "automatica") == 0 && argc == 5) {
            HazCopiaAutomatica(
                QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                QDateTime::fromString(QString::fromLatin1(argv[4]), "yyyyMMdd-HHmmss"));
        } else if (std::strcmp(modo, "limite") == 0 && argc == 5) {
            // Past the limit a write fails with EFBIG instead of killing the process.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limite{};
            getrlimit(RLIMIT_FSIZE, &limite);
            limite.rlim_cur = static_cast<rlim_t>(std::atoll(argv[2]));
            if (setrlimit(RLIMIT_FSIZE, &limite) != 0)
                return 3;
            CopiaBaseSegura(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
        } else {
            return Uso();
        }
    } catch (const ErrorTalvex& error) {
        std::printf("ERROR %d\n", error.Numero());
        std::fprintf(stderr, "%s\n", qPrintable(error.Descripcion()));
        return 1;
    }
    std::puts("HECHO");
    return 0;
}
