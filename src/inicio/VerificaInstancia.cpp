#include "inicio/VerificaInstancia.h"

#include "nucleo/Procesos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <array>

namespace {
// The program's own executable names, with and without the extension.
const std::array<QString, 12> NombresPrograma = {
    QStringLiteral("TALVEXV20.EXE"), QStringLiteral("TALVEXV20.exe"),
    QStringLiteral("TalvexV20.EXE"), QStringLiteral("TalvexV20.exe"),
    QStringLiteral("talvexV20.EXE"), QStringLiteral("talvexV20.exe"),
    QStringLiteral("TalVexV20.EXE"), QStringLiteral("TalVexV20.exe"),
    QStringLiteral("TALVEXV20"),     QStringLiteral("TalvexV20"),
    QStringLiteral("talvexV20"),     QStringLiteral("TalVexV20"),
};

// How long start-up waits for the ended copy to be gone, and how often it looks.
constexpr int EsperaFinMaxima = 5000;
constexpr int IntervaloEspera = 50;

bool EsNombrePrograma(const QString& nombre)
{
    return std::find(NombresPrograma.begin(), NombresPrograma.end(), nombre) !=
           NombresPrograma.end();
}

// Whether `pid` still belongs to a process of the program's name, looked up anew.
bool SigueSiendoInstancia(qint64 pid)
{
    for (const ProcesoSistema& proceso : Procesos().Lista())
        if (proceso.pid == pid)
            return EsNombrePrograma(proceso.nombre);
    return false;
}
} // namespace

qint64 BuscaInstanciaPrevia()
{
    ListaProcesos& procesos = Procesos();
    const qint64 propio = procesos.PidPropio();
    for (const ProcesoSistema& proceso : procesos.Lista())
        if (proceso.pid != propio && EsNombrePrograma(proceso.nombre))
            return proceso.pid;
    return -1;
}

bool HayInstanciaPrevia()
{
    return BuscaInstanciaPrevia() != -1;
}

bool EsperaFinProceso(qint64 pid, int milisegundos)
{
    // No window exists yet, so a plain sleep between looks holds nothing up.
    const QDeadlineTimer plazo(milisegundos);
    for (;;) {
        if (!Procesos().SigueVivo(pid))
            return true;
        if (plazo.hasExpired())
            return false;
        const qint64 resta = std::clamp<qint64>(plazo.remainingTime(), 1, IntervaloEspera);
        QThread::msleep(static_cast<unsigned long>(resta));
    }
}

void VerificaInstancia()
{
    const qint64 encontrado = BuscaInstanciaPrevia();
    if (encontrado == -1)
        return;

    Sistema().Pita();
    const RespuestaMensaje respuesta = MuestraMensaje(
        {QStringLiteral("¡¡ TALVEX Ver. 2.0.0 ya se está ejecutando !!") + QStringLiteral("\r\r") +
             QStringLiteral("¿ Quiere reiniciar la aplicación ?"),
         Titulos::Mensajes, IconoMensaje::Pregunta, BotonesMensaje::SiNo, RespuestaMensaje::No});
    if (respuesta != RespuestaMensaje::Si)
        TerminaProceso(); // nothing is open yet, so nothing is closed

    // The question may have stayed open for a long while: if the copy ended meanwhile, its
    // number may now belong to another program, which is left alone.
    if (!SigueSiendoInstancia(encontrado))
        return;
    // The old copy is gone before this one opens the database; a copy that cannot be ended
    // (another user's) or does not end in time is left to run, and start-up goes on.
    if (Procesos().Termina(encontrado))
        EsperaFinProceso(encontrado, EsperaFinMaxima);
}
