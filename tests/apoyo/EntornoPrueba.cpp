#include "apoyo/EntornoPrueba.h"

#include "data/BaseVocabulario.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Recursos.h"
#include "ui/Ventanas.h"

#include <QDir>

EntornoPrueba::EntornoPrueba()
    : procesosAnteriores_(InstalaListaProcesos(&sinOtros_)),
      directorioAnterior_(QDir::currentPath())
{
    IniciaRecursos();
    QDir().mkpath(Carpeta());
    NuevoProceso();
}

void EntornoPrueba::NuevoProceso()
{
    DescargaVentanas();
    EstadoAplicacion& estado = modTALVEXV20();
    ReiniciaEstado();
    estado.plataforma = &plataforma;
    estado.CarpetaPrograma = Carpeta();
    for (int i = 0; i < 4; ++i)
        estado.RaicesInstalacion << Raiz(i);
    QDir::setCurrent(Carpeta());
    plataforma.terminado = false;
    plataforma.mensajes.clear();
    plataforma.pitidos = 0;
}

EntornoPrueba::~EntornoPrueba()
{
    DescargaVentanas();
    QDir::setCurrent(directorioAnterior_);
    modTALVEXV20().dbPrincipal.Cierra();
    modTALVEXV20().fso.reset();
    InstalaListaProcesos(procesosAnteriores_);
}

QString EntornoPrueba::Raiz(int i) const
{
    return carpeta_.path() + QStringLiteral("/raiz%1").arg(i + 1);
}

void EntornoPrueba::CreaBases() const
{
    BaseVocabulario::CreaVacia(Ruta(QStringLiteral("TALVEXV20.MDB")));
    CreaBaseReporte(Ruta(QStringLiteral("TalvexReport.mdb")));
}

QByteArray LeeArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}
