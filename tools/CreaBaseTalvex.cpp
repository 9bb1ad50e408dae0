// talvex-creabd: creates the program's empty databases and, on request, loads the starter
// vocabulary. It never overwrites an existing file.
//
//   talvex-creabd [--principal RUTA] [--reporte RUTA] [--vocabulario CARPETA]
#include "CargaVocabulario.h"
#include "data/BaseVocabulario.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {
int Uso()
{
    std::fputs("Uso: talvex-creabd [--principal RUTA] [--reporte RUTA] [--vocabulario CARPETA]\n"
               "  --principal    crea la base de vocabulario vacía (TALVEXV20.MDB)\n"
               "  --reporte      crea la base de informes (TalvexReport.mdb)\n"
               "  --vocabulario  carga el vocabulario inicial de CARPETA en la base principal\n"
               "Nunca sobrescribe un archivo existente.\n",
               stderr);
    return 2;
}

void Informa(const QString& texto)
{
    std::fputs(qPrintable(texto + QLatin1Char('\n')), stdout);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    QString principal, reporte, vocabulario;
    const QStringList argumentos = aplicacion.arguments().mid(1);
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString& opcion = argumentos[i];
        if (i + 1 >= argumentos.size())
            return Uso();
        const QString valor = argumentos[++i];
        if (opcion == QLatin1String("--principal"))
            principal = valor;
        else if (opcion == QLatin1String("--reporte"))
            reporte = valor;
        else if (opcion == QLatin1String("--vocabulario"))
            vocabulario = valor;
        else
            return Uso();
    }
    if ((principal.isEmpty() && reporte.isEmpty()) ||
        (!vocabulario.isEmpty() && principal.isEmpty()))
        return Uso();

    try {
        if (!principal.isEmpty()) {
            BaseVocabulario::CreaVacia(principal);
            Informa(QStringLiteral("Creada %1").arg(principal));
            if (!vocabulario.isEmpty()) {
                BaseVocabulario base;
                base.Abre(principal);
                const ResumenCarga resumen = CargaVocabulario(base, vocabulario);
                Informa(QStringLiteral("Cargados %1 temas y %2 ítems")
                            .arg(resumen.temas)
                            .arg(resumen.items));
            }
        }
        if (!reporte.isEmpty()) {
            CreaBaseReporte(reporte);
            Informa(QStringLiteral("Creada %1").arg(reporte));
        }
    } catch (const ErrorTalvex& error) {
        std::fputs(
            qPrintable(
                QStringLiteral("Error %1: %2\n").arg(error.Numero()).arg(error.Descripcion())),
            stderr);
        return 1;
    }
    return 0;
}
