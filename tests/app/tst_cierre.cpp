// The close-all routine: database closed, temporary files and the information file removed
// from the program's own folders only.
#include "apoyo/EntornoPrueba.h"
#include "app/CierraAplicacion.h"
#include "app/modTALVEXV20.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void Crea(const QString& ruta)
{
    QDir().mkpath(QFileInfo(ruta).path());
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write("x");
}
} // namespace

class PruebaCierre : public QObject {
    Q_OBJECT
private slots:
    void borraSoloLosTemporalesPropios();
    void cierraAunqueNadaSeHayaAbierto();
};

void PruebaCierre::borraSoloLosTemporalesPropios()
{
    EntornoPrueba entorno;
    entorno.CreaBases();
    EstadoAplicacion& estado = modTALVEXV20();
    estado.fso = std::make_unique<SistemaArchivos>();
    estado.dbPrincipal.Abre(entorno.Ruta("TALVEXV20.MDB"));

    QTemporaryDir ajena;
    Crea(ajena.filePath("de.otro.programa.tmp"));
    Crea(entorno.Ruta("a.tmp"));
    Crea(entorno.Ruta("B.TMP"));
    Crea(entorno.Ruta("TALVEXV20.txt"));
    Crea(entorno.Ruta("notas.txt"));
    QFile::setPermissions(entorno.Ruta("a.tmp"), QFileDevice::ReadOwner); // read-only goes too
    for (int i = 0; i < 4; i += 2)
        Crea(entorno.Raiz(i) + "/TALVEXV20/informe.tmp");
    Crea(entorno.Raiz(1) + "/otra/x.tmp");
    QDir::setCurrent(ajena.path()); // the working folder may have moved: it is not cleaned

    CierraAplicacion();
    QVERIFY(!estado.dbPrincipal.EstaAbierta());
    QVERIFY(!estado.fso);
    QVERIFY(!QFile::exists(entorno.Ruta("a.tmp")));
    QVERIFY(!QFile::exists(entorno.Ruta("B.TMP")));
    QVERIFY(!QFile::exists(entorno.Ruta("TALVEXV20.txt")));
    QVERIFY(QFile::exists(entorno.Ruta("notas.txt")));
    QVERIFY(QFile::exists(entorno.Ruta("TALVEXV20.MDB")));
    QVERIFY(QFile::exists(ajena.filePath("de.otro.programa.tmp")));
    for (int i = 0; i < 4; i += 2)
        QVERIFY(!QFile::exists(entorno.Raiz(i) + "/TALVEXV20/informe.tmp"));
    QVERIFY(QFile::exists(entorno.Raiz(1) + "/otra/x.tmp"));
}

void PruebaCierre::cierraAunqueNadaSeHayaAbierto()
{
    EntornoPrueba entorno;
    CierraAplicacion();
    modTALVEXV20().fso = std::make_unique<SistemaArchivos>();
    CierraAplicacion(); // no database, no folders, no files: every step is skipped quietly
    QVERIFY(!modTALVEXV20().fso);
}

QTEST_MAIN(PruebaCierre)
#include "tst_cierre.moc"
