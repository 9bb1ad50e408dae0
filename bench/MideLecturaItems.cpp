// Measures what start-up reads of the items: opening the vocabulary database (its check of
// every page running aside, as at start-up) and reading the English and Spanish texts of every item
// in key order, through the covering index, into the rows the list shows. Beside it, two floors
// reading the same two columns in the same order: the sqlite3 command-line tool, and a minimal C
// reader (SQLite's C API, the bytes only touched).
//
//   MideLecturaItems RUTA [--frio]
//
// --frio drops the file from the disk cache before each run (posix_fadvise), as after a
// reboot. Best of five runs each; the bar is open + read within 2× the C floor.
#include "Medidas.h"
#include "data/BaseVocabulario.h"
#include "ui/main/ModeloListaItems.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr int Repeticiones = 5;
const char* const Consulta = "SELECT ITEMING, ITEMESP FROM ITEMS ORDER BY CLAVEITEM";

bool Frio = false;
QByteArray Ruta;

// The file out of the page cache, so that the next read comes from the disk.
void OlvidaCache()
{
    if (!Frio)
        return;
    const int archivo = ::open(Ruta.constData(), O_RDONLY);
    if (archivo < 0)
        return;
    ::fdatasync(archivo);
    ::posix_fadvise(archivo, 0, 0, POSIX_FADV_DONTNEED);
    ::close(archivo);
}

template <typename Medida> double MejorDeCinco(Medida&& medida)
{
    double mejor = std::numeric_limits<double>::max();
    for (int i = 0; i < Repeticiones; ++i) {
        OlvidaCache();
        QElapsedTimer reloj;
        reloj.start();
        medida();
        mejor = std::min(mejor, double(reloj.nsecsElapsed()) / 1e6);
    }
    return mejor;
}

// The floor: every row stepped through and both texts' bytes read.
size_t LectorC()
{
    sqlite3* base = nullptr;
    size_t bytes = 0;
    if (sqlite3_open_v2(Ruta.constData(), &base, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* paso = nullptr;
        sqlite3_prepare_v2(base, Consulta, -1, &paso, nullptr);
        while (sqlite3_step(paso) == SQLITE_ROW)
            for (int columna = 0; columna < 2; ++columna) {
                sqlite3_column_text(paso, columna);
                bytes += size_t(sqlite3_column_bytes(paso, columna));
            }
        sqlite3_finalize(paso);
    }
    sqlite3_close(base);
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argc < 2 || argc > 3 || (argc == 3 && argumentos[2] != QStringLiteral("--frio"))) {
        std::fputs("Uso: MideLecturaItems RUTA [--frio]\n", stderr);
        return 2;
    }
    Ruta = QFile::encodeName(argumentos[1]);
    Frio = argc == 3;
    size_t filas = 0;
    // Each the best of its own: the opening, the opening and the read of one same run, and
    // the wait for the check aside that ends it.
    double abre = std::numeric_limits<double>::max();
    double lee = std::numeric_limits<double>::max();
    double esperaComprobacion = std::numeric_limits<double>::max();
    try {
        MejorDeCinco([&] {
            QElapsedTimer reloj;
            reloj.start();
            BaseVocabulario base;
            base.AbreComprobandoAparte(argumentos[1]); // as start-up opens it
            abre = std::min(abre, double(reloj.nsecsElapsed()) / 1e6);
            FilasLista leidas;
            base.RecorreFilasItems([&](QByteArrayView ingles, QByteArrayView espanol) {
                leidas.AgregaUtf8(ingles, espanol);
            });
            filas = leidas.size();
            lee = std::min(lee, double(reloj.nsecsElapsed()) / 1e6);
            QElapsedTimer espera;
            espera.start();
            base.TerminaComprobacion();
            esperaComprobacion = std::min(esperaComprobacion, double(espera.nsecsElapsed()) / 1e6);
        });
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }

    size_t bytes = 0;
    const double suelo = MejorDeCinco([&] { bytes = LectorC(); });
    bool herramientaBien = true;
    const double herramienta = MejorDeCinco([&] {
        QProcess sqlite3;
        sqlite3.setStandardOutputFile(QProcess::nullDevice());
        sqlite3.start(QStringLiteral("sqlite3"),
                      {QStringLiteral("-readonly"), argumentos[1], QString::fromLatin1(Consulta)});
        herramientaBien &= sqlite3.waitForFinished(-1) && sqlite3.exitCode() == 0;
    });
    if (!herramientaBien) {
        std::fputs("La herramienta sqlite3 no pudo leer el archivo.\n", stderr);
        return 1;
    }

    std::printf("filas leídas: %zu (%zu bytes de texto), caché de disco %s\n", filas, bytes,
                Frio ? "fría" : "caliente");
    std::printf("Abre (comprobación de páginas aparte):   %8.1f ms\n", abre);
    std::printf("Abre + RecorreFilasItems, mejor de 5:    %8.1f ms\n", lee);
    std::printf("  y la comprobación aparte, lo que queda: %8.1f ms\n", esperaComprobacion);
    std::printf("lector mínimo en C (el suelo):           %8.1f ms\n", suelo);
    std::printf("sqlite3 con la misma consulta:           %8.1f ms\n", herramienta);
    const double proporcion = lee / suelo;
    std::printf("proporción con el suelo:                 %8.2f (límite 2.00)\n", proporcion);
    return proporcion <= 2.0 ? 0 : 1;
}
