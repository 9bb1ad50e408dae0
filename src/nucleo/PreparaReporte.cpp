#include "nucleo/PreparaReporte.h"

#include "nucleo/CierraAplicacion.h"
#include "nucleo/Fallos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"

namespace {
const QString TextoNoEncontrado =
    QStringLiteral("¡¡ No se encuentra el archivo : ") + QStringLiteral("'TalvexReport.mdb' !!");
const QString Separador = QStringLiteral(" -> ");

// The rows for what the notes column shows.
std::vector<FilaInforme> FilasDelInforme(const ColumnaNotas& columna)
{
    const QString encabezado = columna.encabezado.toUpper();
    if (!columna.listado)
        return {{encabezado, columna.notas, std::nullopt}};
    std::vector<FilaInforme> filas{{encabezado, columna.notas, QString()},
                                   {std::nullopt, std::nullopt, QString()},
                                   {std::nullopt, std::nullopt, QStringLiteral("LISTADO:")},
                                   {std::nullopt, std::nullopt, QString()}};
    // Listing lines keep the case the list shows, in the list's order.
    for (const auto& [ingles, espanol] : *columna.listado)
        filas.push_back({std::nullopt, std::nullopt, ingles + Separador + espanol});
    return filas;
}
} // namespace

void AbreBaseReporte()
{
    EstadoAplicacion& estado = modTALVEXV20();
    for (int raiz = 0; raiz < estado.RaicesInstalacion.size(); ++raiz) {
        const QString ruta = RutaInstalacion(raiz, QStringLiteral("TalvexReport.mdb"));
        if (estado.fso && estado.fso->FileExists(ruta)) {
            estado.RutaReporte = ruta;
            OmiteFallo([&] { estado.dbReporte.Abre(ruta); });
            return;
        }
    }
    Sistema().Pita();
    MuestraMensaje({TextoNoEncontrado, Titulos::Mensajes, IconoMensaje::Critico});
    CierraAplicacion();
    TerminaProceso();
}

void LlenaTablaInforme(const ColumnaNotas& columna)
{
    EstadoAplicacion& estado = modTALVEXV20();
    AbreBaseReporte();
    const std::vector<FilaInforme> filas = FilasDelInforme(columna);
    // One transaction keeps thousands of rows to one write to disk; each row that fails is
    // skipped alone.
    OmiteFallo([&] {
        estado.dbReporte.EnTransaccion([&] {
            OmiteFallo([&] {
                if (estado.dbReporte.CuentaFilas() != 0)
                    estado.dbReporte.VaciaInforme();
            });
            for (const FilaInforme& fila : filas)
                OmiteFallo([&] { estado.dbReporte.AgregaFila(fila); });
        });
    });
    CierraBaseReporte();
}
