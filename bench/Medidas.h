#pragma once
// What the benchmarks measure with: memory figures of the process and percentiles.
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include <algorithm>
#include <vector>

// A figure of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when it cannot be read.
inline long LeeMemoria(const char* campo)
{
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefijo = QByteArray(campo) + ':';
    for (const QByteArray& linea : estado.readAll().split('\n'))
        if (linea.startsWith(prefijo))
            return linea.mid(prefijo.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The value below which the fraction `p` of the measures lie (0 with no measures).
inline double Percentil(std::vector<double> medidas, double p)
{
    if (medidas.empty())
        return 0;
    std::sort(medidas.begin(), medidas.end());
    const auto k = static_cast<size_t>(p * static_cast<double>(medidas.size() - 1) + 0.5);
    return medidas[std::min(k, medidas.size() - 1)];
}

// Prints one timed figure against its bar; true when it is within the bar.
inline bool Informa(const char* que, double ms, double barra)
{
    std::printf("%-48s %8.2f ms (barra %.0f ms) %s\n", que, ms, barra,
                ms <= barra ? "bien" : "LENTO");
    return ms <= barra;
}

// A copy of the database `origen` in `carpeta` to measure on, so that the file given is never
// changed; an empty text (and a message) when it cannot be made.
inline QString CopiaDeTrabajo(const QString& origen, const QTemporaryDir& carpeta)
{
    const QString copia = carpeta.filePath(QStringLiteral("TALVEXV20.MDB"));
    if (QFile::copy(origen, copia))
        return copia;
    std::fprintf(stderr, "No se pudo copiar %s\n", qPrintable(origen));
    return {};
}
