// Measures the import of a large review log.
//
//   MideImportaRepasos RUTA [REPASOS=1000000]
//
// RUTA (made by GeneraVocabulario) is copied first and never written. A log of REPASOS reviews
// is generated over its items: cards of the first items in the three kinds, ten answers each
// (mostly Bien, some Otra vez, Difícil, Fácil) spread over the last year, in time order as an
// export writes them. Times the import into the copy with no practice yet (bar: 10 s), the same
// log again (every row already there: each card replayed from the stored log), the export of
// the log and of the cards, and prints the file's size and the peak memory.
#include "Medidas.h"
#include "data/BaseVocabulario.h"
#include "repaso/RegistroRepasos.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace Repaso;

namespace {

constexpr qint64 Minuto = 60 * 1000;
constexpr qint64 Dia = 24 * 60 * Minuto;
constexpr int RepasosPorTarjeta = 10;

struct Fila {
    qint64 momento;
    int tarjeta, calificacion, duracion;
};

// The log of `cuantos` reviews over the first items of the file, oldest first.
QByteArray GeneraRegistro(const BaseVocabulario& base, int cuantos, qint64 ahora)
{
    const int tarjetas = (cuantos + RepasosPorTarjeta - 1) / RepasosPorTarjeta;
    std::vector<QString> items;
    base.RecorreFilasItems([&](QByteArrayView ingles, QByteArrayView) {
        if (static_cast<int>(items.size()) * 3 < tarjetas)
            items.push_back(QString::fromUtf8(ingles));
    });
    std::mt19937 azar(20261209u);
    auto entre = [&](int desde, int hasta) {
        return std::uniform_int_distribution<int>(desde, hasta)(azar);
    };
    // Learning steps, then reviews further and further apart, each somewhat late.
    const qint64 separacion[RepasosPorTarjeta] = {
        0, Minuto, 10 * Minuto, Dia, 3 * Dia, 8 * Dia, 20 * Dia, 45 * Dia, 90 * Dia, 150 * Dia};
    std::vector<Fila> filas;
    filas.reserve(size_t(cuantos));
    for (int t = 0; t < tarjetas; ++t) {
        qint64 momento = ahora - 400 * Dia + qint64(entre(0, 30 * 24 * 60)) * Minuto;
        for (int i = 0; i < RepasosPorTarjeta && int(filas.size()) < cuantos; ++i) {
            momento += separacion[i] + (i >= 3 ? qint64(entre(0, 24 * 60)) * Minuto : 0);
            const int tirada = entre(1, 20);
            const int c = tirada <= 3 ? 1 : tirada <= 5 ? 2 : tirada <= 18 ? 3 : 4;
            filas.push_back({momento, t, c, entre(1500, 15000)});
        }
    }
    std::sort(filas.begin(), filas.end(),
              [](const Fila& a, const Fila& b) { return a.momento < b.momento; });
    static const char* const Tipos[] = {"ing-esp", "esp-ing", "dictado"};
    QByteArray registro = CabeceraRegistro.toUtf8() + "\r\n";
    registro.reserve(qsizetype(cuantos) * 64);
    for (const Fila& f : filas) {
        const QString& item = items[size_t(f.tarjeta / 3)];
        registro += QByteArray::number(f.tarjeta + 1) + ',' + QByteArray::number(f.momento) + ',' +
                    QByteArray::number(f.calificacion) + ",2," + QByteArray::number(f.duracion) +
                    ',';
        // Generated texts hold no comma or quote; a real export quotes those that do.
        registro += item.toUtf8() + ',' + Tipos[f.tarjeta % 3] + "\r\n";
    }
    return registro;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() < 2 || argumentos.size() > 3) {
        std::fputs("Uso: MideImportaRepasos RUTA [REPASOS=1000000]\n", stderr);
        return 2;
    }
    const int cuantos = argumentos.size() > 2 ? argumentos[2].toInt() : 1000000;
    QTemporaryDir carpeta;
    const QString copia = cuantos > 0 ? CopiaDeTrabajo(argumentos[1], carpeta) : QString();
    if (copia.isEmpty())
        return 1;
    bool bien = true;
    try {
        BaseVocabulario base;
        base.Abre(copia);
        AlmacenRepasos almacen(base);
        const qint64 ahora = QDateTime::currentMSecsSinceEpoch();
        const QByteArray registro = GeneraRegistro(base, cuantos, ahora);
        std::printf("Registro de %d repasos: %.1f MB (la herramienta lee hasta %lld MB)\n", cuantos,
                    double(registro.size()) / (1024 * 1024),
                    static_cast<long long>(TamanoMaximoRegistro / (1024 * 1024)));

        std::printf("Memoria antes de importar: %.0f MB\n", double(LeeMemoria("VmRSS")) / 1024);
        QElapsedTimer reloj;
        reloj.start();
        ImportacionRepasos r = ImportaRegistro(almacen, registro, ahora);
        bien &= Informa("Importación del registro en una base sin repasos", reloj.elapsed(), 10000);
        std::printf("  %d repasos añadidos, %d tarjetas nuevas, %zu rechazadas; memoria máxima "
                    "hasta aquí %.0f MB\n",
                    r.agregados, r.tarjetasNuevas, r.rechazos.size(),
                    double(LeeMemoria("VmHWM")) / 1024);
        bien &= r.agregados == cuantos && r.rechazos.empty();

        reloj.restart();
        r = ImportaRegistro(almacen, registro, ahora);
        std::printf("%-48s %8lld ms (%d repetidos)\n", "El mismo registro otra vez",
                    static_cast<long long>(reloj.elapsed()), r.repetidos);

        reloj.restart();
        const QByteArray exportado = ExportaRegistro(almacen);
        std::printf("%-48s %8lld ms (%.1f MB)\n", "Exportación del registro",
                    static_cast<long long>(reloj.elapsed()),
                    double(exportado.size()) / (1024 * 1024));
        reloj.restart();
        const QByteArray tarjetas = ExportaTarjetas(almacen);
        std::printf("%-48s %8lld ms (%lld tarjetas)\n", "Exportación de las tarjetas",
                    static_cast<long long>(reloj.elapsed()),
                    static_cast<long long>(tarjetas.count('\n') - 1));
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
    std::printf("Memoria máxima: %.0f MB\n", double(LeeMemoria("VmHWM")) / 1024);
    return bien ? 0 : 1;
}
