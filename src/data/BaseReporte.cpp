// The report scratch database "TalvexReport.mdb" (declared with the vocabulary database,
// which creates both files the same way).
#include "data/BaseReporte.h"
#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace {
// "TALR" in the file header: marks the file as this program's report database.
constexpr int IdAplicacionReporte = 0x54414C52;
} // namespace

void CreaBaseReporte(const QString& ruta) {
    CreaArchivoSqlite(ruta, [](ConexionSqlite& conexion) {
        conexion.EjecutaSql("CREATE TABLE INFORME1(CAMPO1 TEXT, CAMPO2 TEXT, CAMPO3 TEXT);"
                            "PRAGMA application_id = 1413565522; PRAGMA user_version = 1");
        static_assert(IdAplicacionReporte == 1413565522);
    });
}

struct BaseReporte::Datos {
    ConexionSqlite conexion;
};

BaseReporte::BaseReporte() : d(std::make_unique<Datos>()) {}
BaseReporte::~BaseReporte() = default;

void BaseReporte::Abre(const QString& ruta) {
    Cierra();
    if (!QFileInfo(ruta).isFile())
        throw ErrorTalvex(NumeroError::ArchivoNoEncontrado,
                          QStringLiteral("No se encuentra la base de informes '%1'.").arg(ruta));
    d->conexion.Abre(ruta, SQLITE_OPEN_READWRITE);
}

void BaseReporte::Cierra() {
    d->conexion.Cierra();
}

bool BaseReporte::EstaAbierta() const {
    return d->conexion.EstaAbierta();
}
