// Measures the checks of a large vocabulary database and a restore of it.
//
//   MideComprobacion RUTA
//
// RUTA (made by GeneraVocabulario RUTA 1000000 1000) is copied first and opened as a working
// database. Times SQLite's quick check of every page and its whole check (every row looked up
// in every index) as start-up runs them aside, then the restore of RUTA over the working
// database as the backup dialog makes it: the check before the question, then the copy (a
// safety copy of the working database, the source checked whole again, its pages copied).
// No bars: the figures say what fits where.
#include "data/BaseVocabulario.h"
#include "data/EsquemaVocabulario.h"
#include "nucleo/CopiaSegura.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {
void Mide(const char* que, const std::function<QString()>& paso)
{
    QElapsedTimer reloj;
    reloj.start();
    const QString hallado = paso();
    std::printf("%-48s %9.0f ms %s\n", que, double(reloj.nsecsElapsed()) / 1e6,
                hallado.isEmpty() ? "" : qPrintable(hallado));
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    if (aplicacion.arguments().size() != 2) {
        std::fputs("Uso: MideComprobacion RUTA\n", stderr);
        return 2;
    }
    const QString origen = aplicacion.arguments().at(1);
    QTemporaryDir carpeta;
    const QString trabajo = carpeta.filePath(QStringLiteral("TALVEXV20.MDB"));
    if (!QFile::copy(origen, trabajo)) {
        std::fputs("no se pudo copiar la base de datos\n", stderr);
        return 2;
    }
    std::printf("base de %.1f MB\n", double(QFileInfo(origen).size()) / 1e6);
    Mide("comprobación rápida aparte (quick_check)",
         [&] { return DefectoPaginasAparte(origen, Comprobacion::Paginas).defecto; });
    Mide("comprobación entera aparte (integrity_check)",
         [&] { return DefectoPaginasAparte(origen, Comprobacion::Completa).defecto; });

    BaseVocabulario base;
    base.Abre(trabajo);
    Mide("recuperar: comprobación antes de la pregunta",
         [&] { return DefectoOrigen(origen, Comprobacion::Completa); });
    Mide("recuperar: la copia sobre la base abierta", [&] {
        RestauraEnConexion(origen, base.Conexion());
        return QString();
    });
    return 0;
}
