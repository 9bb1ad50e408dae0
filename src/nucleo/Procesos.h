#pragma once
// The running processes as the single-instance guard sees them: each with its number and
// the file name of its executable, and the means to end one. The real list asks the system;
// tests install their own.
#include <QString>
#include <QtGlobal>
#include <vector>

struct ProcesoSistema {
    qint64 pid = -1;
    QString nombre; // the executable's file name, without its folder
};

class ListaProcesos {
public:
    virtual ~ListaProcesos() = default;
    // Every running process whose executable can be read, in ascending pid order.
    virtual std::vector<ProcesoSistema> Lista() = 0;
    virtual qint64 PidPropio() = 0;
    // Ends the process at once, without its own shutdown; false when it cannot be ended.
    virtual bool Termina(qint64 pid) = 0;
    // False once the process has ended (an ended process not yet reaped counts as ended).
    virtual bool SigueVivo(qint64 pid) = 0;
};

// The processes of this machine, as the system lists them; ending one kills it at once.
class ListaProcesosSistema : public ListaProcesos {
public:
    std::vector<ProcesoSistema> Lista() override;
    qint64 PidPropio() override;
    bool Termina(qint64 pid) override;
    bool SigueVivo(qint64 pid) override;
};

// The installed list (the system's unless another was installed).
ListaProcesos& Procesos();

// Installs `lista` (nullptr: the system's again) and returns the one installed before.
ListaProcesos* InstalaListaProcesos(ListaProcesos* lista);
