#include "nucleo/Procesos.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

namespace {
ListaProcesos* instalada = nullptr;

// The pid a /proc entry stands for; -1 for the entries that are not processes.
qint64 PidDeEntrada(const char* nombre)
{
    if (*nombre == '\0')
        return -1;
    qint64 pid = 0;
    for (const char* c = nombre; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > (qint64(1) << 40))
            return -1;
        pid = pid * 10 + (*c - '0');
    }
    return pid > 0 ? pid : -1;
}

// The file name of the process's executable; empty when it cannot be read (a kernel thread,
// a process already ended, another user's process).
QString NombreEjecutable(qint64 pid)
{
    const QByteArray enlace = "/proc/" + QByteArray::number(pid) + "/exe";
    QByteArray destino(4096, '\0');
    const ssize_t leidos = ::readlink(enlace.constData(), destino.data(), destino.size());
    if (leidos <= 0 || leidos >= destino.size())
        return {};
    destino.truncate(leidos);
    // A copy whose file was replaced or removed while it runs is still that copy.
    static const QByteArray borrado = " (deleted)";
    if (destino.endsWith(borrado))
        destino.chop(borrado.size());
    const qsizetype barra = destino.lastIndexOf('/');
    return QFile::decodeName(destino.mid(barra + 1));
}
} // namespace

std::vector<ProcesoSistema> ListaProcesosSistema::Lista()
{
    std::vector<ProcesoSistema> procesos;
    DIR* directorio = ::opendir("/proc");
    if (!directorio)
        return procesos;
    while (const dirent* entrada = ::readdir(directorio)) {
        const qint64 pid = PidDeEntrada(entrada->d_name);
        if (pid < 0)
            continue;
        QString nombre = NombreEjecutable(pid);
        if (!nombre.isEmpty())
            procesos.push_back({pid, std::move(nombre)});
    }
    ::closedir(directorio);
    std::sort(procesos.begin(), procesos.end(),
              [](const ProcesoSistema& a, const ProcesoSistema& b) { return a.pid < b.pid; });
    return procesos;
}

qint64 ListaProcesosSistema::PidPropio()
{
    return ::getpid();
}

bool ListaProcesosSistema::Termina(qint64 pid)
{
    // Zero and negative numbers name process groups or every process: never signalled.
    if (pid <= 0 || pid == PidPropio() || pid != qint64(pid_t(pid)))
        return false;
    return ::kill(pid_t(pid), SIGKILL) == 0;
}

bool ListaProcesosSistema::SigueVivo(qint64 pid)
{
    if (pid <= 0)
        return false;
    QFile estado(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!estado.open(QIODevice::ReadOnly))
        return false;
    // "pid (command) state …": the command may hold blanks and parentheses, the state
    // follows the last closing parenthesis.
    const QByteArray linea = estado.readLine();
    const qsizetype cierre = linea.lastIndexOf(')');
    if (cierre < 0 || cierre + 2 >= linea.size())
        return false;
    const char letra = linea.at(cierre + 2);
    return letra != 'Z' && letra != 'X' && letra != 'x';
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
