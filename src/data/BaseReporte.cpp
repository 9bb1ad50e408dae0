// The report scratch database "TalvexReport.mdb" (declared with the vocabulary database,
// which creates both files the same way).
#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"

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
