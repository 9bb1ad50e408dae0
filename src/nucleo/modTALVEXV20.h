#pragma once
// The application state every window shares: one copy of each, nothing kept between runs.
#include "data/BaseReporte.h"
#include "data/BaseVocabulario.h"
#include "nucleo/Plataforma.h"
#include "nucleo/SistemaArchivos.h"

#include <QString>
#include <QStringList>
#include <memory>

class InformeNotas;

struct EstadoAplicacion {
    std::unique_ptr<SistemaArchivos> fso;
    BaseVocabulario dbPrincipal; // closed until AbreBaseDatos opens it
    BaseReporte dbReporte;       // open only while a report is prepared
    QString RutaReporte;
    // The notes report instance: made on first use after each preparation, which drops it
    // so that the next one reads the report table anew.
    std::shared_ptr<InformeNotas> dsrImprimirNotas;

    // Where the program lives: the executable's folder (holding TALVEXV20.MDB and
    // TalvexReport.mdb) and, in order, the four installation roots whose "TALVEXV20" folder
    // keeps the shared report database.
    QString CarpetaPrograma;
    QStringList RaicesInstalacion;

    Plataforma* plataforma = nullptr;
};

EstadoAplicacion& modTALVEXV20();

// Installation roots on this platform: the user's data home, /usr/local/share, /usr/share, /opt.
QStringList RaicesInstalacionSistema();

// "<root>/TALVEXV20/<nombre>" for the i-th installation root (0-based).
QString RutaInstalacion(int raiz, const QString& nombre);

// Shorthands for the installed platform.
Plataforma& Sistema();
RespuestaMensaje MuestraMensaje(const Mensaje& mensaje);
// Ends the process through the installed platform (whose stand-in in tests throws instead).
[[noreturn]] void TerminaProceso();

// Back to the start values of a new process (database closed, file-system object released).
void ReiniciaEstado();
