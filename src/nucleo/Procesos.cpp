#include "nucleo/Procesos.h"

#include "data/LlamadasSistema.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <utility>

namespace {
ListaProcesos* instalada = nullptr;
} // namespace

std::vector<ProcesoSistema> ListaProcesosSistema::Lista()
{
    std::vector<ProcesoSistema> procesos;
    for (const qint64 pid : ProcesosEnMarcha()) {
        const QByteArray ejecutable = EjecutableDeProceso(pid);
        // Its file name, without the folder.
        QString nombre = QFile::decodeName(ejecutable.mid(ejecutable.lastIndexOf('/') + 1));
        if (!nombre.isEmpty())
            procesos.push_back({pid, std::move(nombre)});
    }
    std::sort(procesos.begin(), procesos.end(),
              [](const ProcesoSistema& a, const ProcesoSistema& b) { return a.pid < b.pid; });
    return procesos;
}

qint64 ListaProcesosSistema::PidPropio()
{
    return ProcesoPropio();
}

bool ListaProcesosSistema::Termina(qint64 pid)
{
    // The program never ends itself this way.
    if (pid <= 0 || pid == PidPropio())
        return false;
    return MataProceso(pid);
}

bool ListaProcesosSistema::SigueVivo(qint64 pid)
{
    return ProcesoVivo(pid);
}

ListaProcesos& Procesos()
{
    static ListaProcesosSistema sistema;
    return instalada ? *instalada : sistema;
}

ListaProcesos* InstalaListaProcesos(ListaProcesos* lista)
{
    ListaProcesos* anterior = &Procesos();
    instalada = lista;
    return anterior;
}
