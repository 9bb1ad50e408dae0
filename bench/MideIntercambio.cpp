// Measures export and import on a large vocabulary database.
//
//   MideIntercambio RUTA
//
// RUTA (made by GeneraVocabulario RUTA 100000 1000) is copied first and never written. Times
// the export of every item to CSV (bar: 1 s), then the import of 20,000 new rows read from a
// CSV file (LeeArchivo + Planea + Aplica; bar: 1 s), then 20,000 more through the main window
// with its lists filled, from the import window's "Aceptar" to the list showing them (bar: 2 s),
// and prints the peak memory (bar: 200 MB).
#include "Medidas.h"
#include "PlataformaMedida.h"
#include "data/BaseVocabulario.h"
#include "intercambio/Intercambio.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int FilasNuevas = 20000;

// 20,000 rows whose English texts are new (digits never appear in the generated ones), with
// notes that need quotes.
QByteArray FilasNuevasCsv(const char* prefijo)
{
    QByteArray nuevas = "Inglés,Español,Tema,Notas\r\n";
    for (int i = 0; i < FilasNuevas; ++i)
        nuevas += prefijo + QByteArray::number(i) + ",palabra " + QByteArray::number(i) + ",Tema " +
                  QByteArray::number(i % 50) + ",\"primera línea\r\nsegunda, con coma\"\r\n";
    return nuevas;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    if (aplicacion.arguments().size() != 2) {
        std::fputs("Uso: MideIntercambio RUTA\n", stderr);
        return 2;
    }
    QTemporaryDir carpeta;
    const QString copia = CopiaDeTrabajo(aplicacion.arguments()[1], carpeta);
    if (copia.isEmpty())
        return 1;
    bool bien = true;
    try {
        BaseVocabulario base;
        base.Abre(copia);
        QElapsedTimer reloj;

        reloj.start();
        Intercambio::Exporta(base, carpeta.filePath(QStringLiteral("todo.csv")),
                             Intercambio::Formato::Csv);
        bien &= Informa("Exportación completa a CSV", reloj.elapsed(), 1000);

        const QByteArray nuevas = FilasNuevasCsv("bench word ");
        const QString archivo = carpeta.filePath(QStringLiteral("nuevas.csv"));
        QFile salida(archivo);
        if (!salida.open(QIODevice::WriteOnly) || salida.write(nuevas) != nuevas.size())
            throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                              QStringLiteral("No se pudo escribir el archivo de filas nuevas."));
        salida.close();

        reloj.restart();
        const Intercambio::Lectura lectura = Intercambio::LeeArchivo(archivo);
        const qint64 lectura_ms = reloj.elapsed();
        const Intercambio::Plan plan = Intercambio::Planea(lectura, base);
        const qint64 plan_ms = reloj.elapsed() - lectura_ms;
        const Intercambio::Resultado resultado =
            Intercambio::Aplica(plan, Intercambio::Duplicados::Omitir, base);
        const qint64 total_ms = reloj.elapsed();
        std::printf("  lectura %lld ms, plan %lld ms, escritura %lld ms; %zu nuevos\n",
                    static_cast<long long>(lectura_ms), static_cast<long long>(plan_ms),
                    static_cast<long long>(total_ms - lectura_ms - plan_ms),
                    resultado.agregados.size());
        bien &= resultado.agregados.size() == static_cast<size_t>(FilasNuevas);
        bien &= Informa("Importación de 20.000 filas nuevas", total_ms, 1000);
        base.Cierra();

        // The same through the main window, its lists filled as at start-up.
        PlataformaMedida plataforma;
        plataforma.mensajesEsperados = true; // the import's closing message
        EstadoAplicacion& estado = modTALVEXV20();
        estado.plataforma = &plataforma;
        estado.dbPrincipal.Abre(copia);
        frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
        ventana.show();
        Ventana<frmMenuPrincipal>().LlenaArbolTemas();
        Ventana<frmMenuPrincipal>().LlenaListaItems();
        Ventana<frmMenuPrincipal>().CreaIndiceItems();
        QApplication::processEvents();
        const Intercambio::Plan otras = Intercambio::Planea(
            Intercambio::LeeDatos(FilasNuevasCsv("window word ")), estado.dbPrincipal);
        reloj.restart();
        ventana.ImportaPlan(otras, Intercambio::Duplicados::Omitir);
        QApplication::processEvents(); // the list painted with its new rows
        const qint64 ventana_ms = reloj.elapsed();
        std::printf("  ítems en la lista: %d\n", ventana.ModeloItems->rowCount());
        bien &= Informa("Importación desde la ventana (Aceptar → lista)", ventana_ms, 2000);
        DescargaVentanas();
        estado.dbPrincipal.Cierra();
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
    const long long memoria = LeeMemoria("VmHWM");
    std::printf("%-40s %6lld MB (barra 200 MB) %s\n", "Memoria máxima (VmHWM)", memoria / 1024,
                memoria >= 0 && memoria <= 200 * 1024 ? "bien" : "DEMASIADA");
    bien &= memoria >= 0 && memoria <= 200 * 1024;
    return bien ? 0 : 1;
}
