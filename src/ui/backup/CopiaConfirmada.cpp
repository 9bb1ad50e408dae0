#include "ui/backup/CopiaConfirmada.h"

#include "nucleo/CierraAplicacion.h"
#include "nucleo/CopiaSegura.h"
#include "nucleo/Fallos.h"
#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/backup/Respaldo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QWidget>

#include <chrono>
#include <future>

namespace {
const QString TextoExito = QStringLiteral("¡¡ El archivo se copió con éxito !!");
const QString FinRespaldo = QStringLiteral("¡¡ Para terminar con el respaldo de la B.D. se debe "
                                           "cerrar ") +
                            QStringLiteral("la aplicación e iniciar nuevamente !!");
const QString FinRecuperacion = QStringLiteral("¡¡ Para recuperar la B.D. se debe cerrar ") +
                                QStringLiteral("la aplicación e iniciar nuevamente !!");

void Avisa(const QString& texto, IconoMensaje icono)
{
    Sistema().Pita();
    MuestraMensaje({texto, Titulos::Mensajes, icono});
}

// The check of a large file takes seconds: it runs on a thread of its own while the windows
// keep painting (clicks and keys wait for it; the pointer says the program works).
QString DefectoOrigenAparte(const QString& origen, Comprobacion nivel)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto devuelveCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    std::future<QString> defecto =
        std::async(std::launch::async, [origen, nivel] { return DefectoOrigen(origen, nivel); });
    while (defecto.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return defecto.get();
}
} // namespace

CopiaSinHacer CopiaYTermina(const QString& origen, const QString& destino, bool respaldo,
                            const ControlesCopia& controles)
{
    try {
        // A source that is no vocabulary database is refused before anything is asked; one
        // about to become the working database down to every index entry.
        const QString defecto =
            DefectoOrigenAparte(origen, respaldo ? Comprobacion::Paginas : Comprobacion::Completa);
        if (!defecto.isEmpty()) {
            ReportaFalloCopia(NumeroError::BaseNoValida, defecto, destino);
            return CopiaSinHacer::OrigenNoValido;
        }
        controles.desactiva();
        Sistema().Pita();
        const RespuestaMensaje respuesta = MuestraMensaje(
            {QStringLiteral("El achivo se copiará en la unidad ") + UnidadDe(destino) +
                 QStringLiteral("\r\r") + QStringLiteral("¿ Quiere continuar ?"),
             Titulos::Mensajes, IconoMensaje::Pregunta, BotonesMensaje::SiNo,
             RespuestaMensaje::Si});
        if (respuesta != RespuestaMensaje::Si) {
            controles.activa();
            return CopiaSinHacer::NoCopiada;
        }
        if (controles.etiqueta)
            controles.etiqueta->repaint(); // the copy holds the event loop: show the label now
        CopiaBaseDatos(origen, destino);
        Avisa(TextoExito, IconoMensaje::Informacion);
        controles.activa();
        Avisa(respaldo ? FinRespaldo : FinRecuperacion, IconoMensaje::Informacion);
    } catch (const ErrorTalvex& error) {
        ReportaFalloCopia(error.Numero(), error.Descripcion(), destino);
        controles.activa();
        return CopiaSinHacer::NoCopiada;
    } catch (const std::exception& error) {
        ReportaFalloCopia(NumeroError::ErrorBaseDatos, QString::fromLocal8Bit(error.what()),
                          destino);
        controles.activa();
        return CopiaSinHacer::NoCopiada;
    }
    QCoreApplication::processEvents();
    CierraAplicacion();
    TerminaProceso();
}

void ReportaFalloCopia(int numero, const QString& descripcion, const QString& destino)
{
    QString texto;
    IconoMensaje icono = IconoMensaje::Exclamacion;
    switch (numero) {
    case NumeroError::ArgumentoNoValido:
        texto = QStringLiteral("¡¡ Llamada de procedimiento inválida !!");
        break;
    case NumeroError::NombreArchivoIncorrecto:
        texto = QStringLiteral("¡¡ Nombre o ruta de archivo incorrecta !!");
        break;
    case NumeroError::ArchivoNoEncontrado:
        texto = QStringLiteral("¡¡ No se encuentra el archivo !!");
        break;
    case NumeroError::ErrorEntradaSalida:
        texto = QStringLiteral("¡¡ Error I/O del dispositivo !!");
        break;
    case NumeroError::DiscoLleno:
        texto = QStringLiteral("¡¡ No hay espacio suficiente en disco !!");
        break;
    case NumeroError::DispositivoNoDisponible:
        texto = QStringLiteral("¡¡ El dispositivo no está disponible !!");
        break;
    case NumeroError::PermisoDenegado:
        texto = QStringLiteral("¡¡ Permiso denegado !!");
        break;
    case NumeroError::DiscoNoPreparado:
        texto = QStringLiteral("¡¡ Inserte un disco en la unidad ") + UnidadDe(destino) +
                QStringLiteral(" !!");
        break;
    case NumeroError::AccesoRutaArchivo:
        texto = QStringLiteral("¡¡ Error de acceso ruta/archivo!!");
        break;
    case NumeroError::RutaNoEncontrada:
        texto = QStringLiteral("¡¡ La ruta de acceso no existe !!");
        break;
    case NumeroError::BaseNoValida:
        // Only the source is checked before anything is written: it is what was refused.
        texto = QStringLiteral("¡¡ El archivo de origen no es una base de datos de TALVEX "
                               "válida !!") +
                QStringLiteral("\r\r") + descripcion + QStringLiteral("\r\r") +
                QStringLiteral("No se copió nada.");
        break;
    default:
        texto = TextoError(numero, descripcion);
        icono = IconoMensaje::Critico;
    }
    OmiteFallo([&] { Avisa(texto, icono); });
}
