// The ways out of the main window: closing it and the exit command.
#include "nucleo/CierraAplicacion.h"

#include "nucleo/CopiasAutomaticas.h"
#include "nucleo/Fallos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/backup/Respaldo.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/HacePausa.h"
#include "ui/ventanas/frmEspera.h"
#include "ui_frmMenuPrincipal.h"

#include <QCloseEvent>

namespace {

RespuestaMensaje Pregunta(const QString& texto)
{
    Sistema().Pita();
    return MuestraMensaje({texto, Titulos::Mensajes, IconoMensaje::Pregunta, BotonesMensaje::SiNo,
                           RespuestaMensaje::No});
}
} // namespace

void frmMenuPrincipal::DescargaPrincipal()
{
    PintaFondo(palette().color(QPalette::Active, QPalette::Dark));
    ui_->picMenu1->hide();
    frmEspera& espera = Ventana<frmEspera>();
    espera.show();
    espera.MuestraTexto(QStringLiteral("Cerrando TALVEX..."));
    // The automatic copy runs during the pause; the closing waits for it only if it is longer.
    auto copia = CopiaSiCambio();
    HacePausa(3000, 1);
    TerminaCopia(copia);
    CierraAplicacion();
    espera.hide();
    TerminaProceso();
}

void frmMenuPrincipal::closeEvent(QCloseEvent* evento)
{
    evento->accept();
    AtiendeEvento([this] { DescargaPrincipal(); });
}

void frmMenuPrincipal::mnuSalir_Click()
{
    if (Pregunta(QStringLiteral("¡¡ Recuerde respaldar sus datos !!") + QStringLiteral("\r\r") +
                 QStringLiteral("¿ Quiere salir de la aplicación ahora ?")) ==
        RespuestaMensaje::Si) {
        close();
        return;
    }
    if (Pregunta(QStringLiteral("¿ Quiere hacer el respaldo ahora ?")) == RespuestaMensaje::Si)
        AbreRespaldo(true);
}
