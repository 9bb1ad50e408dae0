#pragma once
// A throw-away program folder for start-up tests: the program's folder (also the working
// folder), four installation roots, and a clean application state.
#include "apoyo/PlataformaGuionada.h"
#include "nucleo/Procesos.h"

#include <QString>
#include <QTemporaryDir>

class EntornoPrueba {
public:
    EntornoPrueba();
    ~EntornoPrueba();

    QString Carpeta() const { return carpeta_.path() + QStringLiteral("/programa"); }
    QString Raiz(int i) const;
    QString Ruta(const QString& nombre) const { return Carpeta() + QLatin1Char('/') + nombre; }
    // Back to the state of a process just started in the same folders (the windows gone, the
    // platform's record of messages cleared), so that the program can start again.
    void NuevoProceso();
    // Creates TALVEXV20.MDB (empty) and TalvexReport.mdb in the program's folder.
    void CreaBases() const;

    PlataformaGuionada plataforma;

private:
    // No other copy of the program runs while a test starts one (whatever runs on the machine).
    class SinOtrosProcesos : public ListaProcesos {
    public:
        std::vector<ProcesoSistema> Lista() override { return {}; }
        qint64 PidPropio() override { return 0; }
        bool Termina(qint64) override { return false; }
        bool SigueVivo(qint64) override { return false; }
    } sinOtros_;
    ListaProcesos* procesosAnteriores_;
    QTemporaryDir carpeta_;
    QString directorioAnterior_;
};

// Reads a whole file (empty when it cannot be read).
QByteArray LeeArchivo(const QString& ruta);
