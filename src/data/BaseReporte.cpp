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

void CreaBaseReporte(const QString& ruta)
{
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

void BaseReporte::Abre(const QString& ruta)
{
    Cierra();
    if (!QFileInfo(ruta).isFile())
        throw ErrorTalvex(NumeroError::ArchivoNoEncontrado,
                          QStringLiteral("No se encuentra la base de informes '%1'.").arg(ruta));
    d->conexion.Abre(ruta, SQLITE_OPEN_READWRITE);
}

void BaseReporte::Cierra()
{
    d->conexion.Cierra();
}

bool BaseReporte::EstaAbierta() const
{
    return d->conexion.EstaAbierta();
}

namespace {
ConexionSqlite& Abierta(ConexionSqlite& conexion)
{
    if (!conexion.EstaAbierta())
        throw ErrorTalvex(NumeroError::TablaNoAbierta,
                          QStringLiteral("La tabla de informes no está abierta."));
    return conexion;
}

std::optional<QString> Campo(const SentenciaSqlite& fila, int columna)
{
    if (fila.EsNulo(columna))
        return std::nullopt;
    return fila.Texto(columna);
}
} // namespace

int BaseReporte::CuentaFilas() const
{
    auto cuenta = Abierta(d->conexion).Prepara("SELECT count(*) FROM INFORME1");
    cuenta.Avanza();
    return static_cast<int>(cuenta.Entero(0));
}

void BaseReporte::VaciaInforme()
{
    std::vector<qint64> filas;
    for (auto lectura = Abierta(d->conexion).Prepara("SELECT rowid FROM INFORME1 ORDER BY rowid");
         lectura.Avanza();)
        filas.push_back(lectura.Entero(0));
    for (const qint64 fila : filas)
        d->conexion.Prepara("DELETE FROM INFORME1 WHERE rowid = ?1").Enlaza(1, fila).Ejecuta();
}

void BaseReporte::AgregaFila(const FilaInforme& fila)
{
    auto alta = Abierta(d->conexion)
                    .Prepara("INSERT INTO INFORME1(CAMPO1, CAMPO2, CAMPO3) VALUES(?1, ?2, ?3)");
    const std::optional<QString>* campos[] = {&fila.CAMPO1, &fila.CAMPO2, &fila.CAMPO3};
    for (int i = 0; i < 3; ++i)
        if (*campos[i])
            alta.Enlaza(i + 1, **campos[i]);
    alta.Ejecuta();
}

std::vector<FilaInforme> BaseReporte::LeeFilas() const
{
    std::vector<FilaInforme> filas;
    auto lectura =
        Abierta(d->conexion).Prepara("SELECT CAMPO1, CAMPO2, CAMPO3 FROM INFORME1 ORDER BY rowid");
    while (lectura.Avanza())
        filas.push_back({Campo(lectura, 0), Campo(lectura, 1), Campo(lectura, 2)});
    return filas;
}

void BaseReporte::EnTransaccion(const std::function<void()>& cuerpo)
{
    TransaccionSqlite transaccion(Abierta(d->conexion));
    cuerpo();
    transaccion.Confirma();
}

std::vector<FilaInforme> LeeInforme(const QString& ruta)
{
    BaseReporte base;
    base.Abre(ruta);
    return base.LeeFilas();
}
