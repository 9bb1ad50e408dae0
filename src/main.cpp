// TALVEX 2.0: builds the application, installs the desktop platform and runs Main.
#include "inicio/Main.h"
#include "nucleo/CierraAplicacion.h"
#include "nucleo/Traduccion.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/PlataformaReal.h"
#include "ui/Recursos.h"

#include <QApplication>
#include <QTranslator>

#ifdef TALVEX_RELOJ_ADELANTADO
// The test build's clock: TALVEX_DIAS_ADELANTE days (a whole number, maybe negative) ahead of
// the system's, so that practice can be seen on later days.
class PlataformaAdelantada : public PlataformaReal {
public:
    QDateTime Ahora() const override
    {
        return PlataformaReal::Ahora().addDays(
            qEnvironmentVariableIntValue("TALVEX_DIAS_ADELANTE"));
    }
};
using PlataformaPrograma = PlataformaAdelantada;
#else
using PlataformaPrograma = PlataformaReal;
#endif

int main(int argc, char* argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TALVEXV20")); // the windows' class
    QGuiApplication::setDesktopFileName(QStringLiteral("talvex")); // its launcher
    IniciaRecursos();

    // Standard dialogs and buttons in Spanish ("Sí", "No", "Aceptar"…).
    QTranslator traductor;
    InstalaTraduccionEspanol(traductor);

    PlataformaPrograma plataforma;
    EstadoAplicacion& estado = modTALVEXV20();
    estado.plataforma = &plataforma;
    estado.CarpetaPrograma = QApplication::applicationDirPath();
    estado.RaicesInstalacion = RaicesInstalacionSistema();

    Main();
    const int resultado = QApplication::exec();
    CierraAplicacion();
    return resultado;
}
