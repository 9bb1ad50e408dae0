#include "data/Sqlite.h"

#include "data/LlamadasSistema.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

namespace {

// How long a statement waits for another program's lock before it gives up.
constexpr int EsperaBloqueoMs = 3000;

// Waits for another connection's lock a fifth of a millisecond at a time: SQLite's own waits
// grow to 100 ms a step, far longer than a reader of this program (the search index read aside)
// holds its lock, and a save would wait for nothing.
int EsperaBloqueo(void*, int veces)
{
    constexpr int PasoUs = 200;
    if (veces >= EsperaBloqueoMs * 1000 / PasoUs)
        return 0;
    usleep(PasoUs);
    return 1;
}

QString MensajeSqlite(int codigo, sqlite3* db)
{
    const char* texto = db ? sqlite3_errmsg(db) : sqlite3_errstr(codigo);
    return QString::fromUtf8(texto);
}

QByteArray NombreEnDisco(const QString& ruta)
{
    // An absolute path never starts with "file:", so SQLite cannot take it for a URI.
    return QFile::encodeName(QFileInfo(ruta).absoluteFilePath());
}

ErrorTalvex ErrorAlCrear(int numeroErrno, const QString& ruta)
{
    const QString nombre = QFileInfo(ruta).fileName();
    switch (numeroErrno) {
    case EEXIST:
        return ErrorTalvex(NumeroError::ArchivoYaExiste,
                           QStringLiteral("Ya existe el archivo '%1': no se creó nada.").arg(ruta));
    case ENOENT:
    case ENOTDIR:
        return ErrorTalvex(NumeroError::RutaNoEncontrada,
                           QStringLiteral("No se encuentra la carpeta de '%1'.").arg(ruta));
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorTalvex(NumeroError::PermisoDenegado,
                           QStringLiteral("Permiso denegado para crear '%1'.").arg(ruta));
    case ENOSPC:
    case EDQUOT:
        return ErrorTalvex(
            NumeroError::DiscoLleno,
            QStringLiteral("El disco está lleno: no se pudo crear '%1'.").arg(nombre));
    case ENAMETOOLONG:
        return ErrorTalvex(NumeroError::NombreArchivoIncorrecto,
                           QStringLiteral("El nombre '%1' es demasiado largo.").arg(ruta));
    default:
        return ErrorTalvex(
            NumeroError::ErrorEntradaSalida,
            QStringLiteral("No se pudo crear '%1': %2.").arg(ruta, CausaDeErrno(numeroErrno)));
    }
}

} // namespace

ErrorTalvex TraduceErrorSqlite(int codigo, sqlite3* db)
{
    using namespace NumeroError;
    switch (codigo) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return ErrorTalvex(ClaveDuplicada,
                           QStringLiteral("Ya existe un registro con esa clave: el cambio no se "
                                          "guardó."));
    }
    switch (codigo & 0xff) {
    case SQLITE_READONLY:
        return ErrorTalvex(SoloLectura, QStringLiteral("La base de datos es de solo lectura: el "
                                                       "cambio no se guardó."));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ErrorTalvex(BaseBloqueada,
                           QStringLiteral("Otro programa tiene bloqueada la base de datos: "
                                          "inténtelo de nuevo más tarde."));
    case SQLITE_FULL:
        return ErrorTalvex(DiscoLleno,
                           QStringLiteral("El disco está lleno: el cambio no se guardó."));
    case SQLITE_NOTADB:
        return ErrorTalvex(BaseNoValida, QStringLiteral("El archivo no es una base de datos."));
    case SQLITE_CORRUPT:
        return ErrorTalvex(BaseNoValida, QStringLiteral("La base de datos está dañada."));
    case SQLITE_CANTOPEN:
        return ErrorTalvex(ErrorEntradaSalida,
                           QStringLiteral("No se puede abrir el archivo de la base de datos."));
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ErrorTalvex(PermisoDenegado,
                           QStringLiteral("Permiso denegado para usar la base de datos."));
    case SQLITE_IOERR:
        return ErrorTalvex(ErrorEntradaSalida,
                           QStringLiteral("Falló la lectura o la escritura del disco al usar la "
                                          "base de datos."));
    case SQLITE_NOMEM:
        return ErrorTalvex(ErrorBaseDatos, QStringLiteral("No hay memoria suficiente."));
    case SQLITE_CONSTRAINT:
        return ErrorTalvex(ErrorBaseDatos, QStringLiteral("La base de datos rechazó el cambio: "
                                                          "el cambio no se guardó."));
    default: // nothing better than the engine's own words
        return ErrorTalvex(ErrorBaseDatos, QStringLiteral("Error de la base de datos: %1 (código "
                                                          "%2).")
                                               .arg(MensajeSqlite(codigo, db))
                                               .arg(codigo));
    }
}

// ---------------------------------------------------------------------------------------
// Connection

struct ConexionSqlite::Preparada {
    sqlite3_stmt* sentencia = nullptr;
    bool enUso = false;
    bool propia = false; // prepared for one use only: finalized when released
    // False once the connection is closed: a statement still held then is finalized by
    // its holder instead of stepping on a closed connection.
    std::shared_ptr<const bool> abierta;
};

ConexionSqlite::~ConexionSqlite()
{
    Cierra();
}

void ConexionSqlite::Abre(const QString& ruta, int banderas)
{
    Cierra();
    sqlite3* db = nullptr;
    const int codigo = sqlite3_open_v2(NombreEnDisco(ruta).constData(), &db,
                                       banderas | SQLITE_OPEN_EXRESCODE, nullptr);
    if (codigo != SQLITE_OK) {
        ErrorTalvex error = TraduceErrorSqlite(codigo, db);
        sqlite3_close_v2(db);
        throw error;
    }
    // A file is data, never code: its schema may not run functions with side effects,
    // nor may anything write the schema table directly.
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_busy_handler(db, EsperaBloqueo, nullptr);
    db_ = db;
    abierta_ = std::make_shared<bool>(true);
    ++apertura_;
}

void ConexionSqlite::Cierra()
{
    if (!db_)
        return;
    *abierta_ = false;
    for (auto& [sql, preparada] : preparadas_)
        if (!preparada->enUso)
            sqlite3_finalize(preparada->sentencia);
    preparadas_.clear();
    // Closing rolls back an open transaction; with a statement still held, SQLite keeps
    // the connection until that statement is finalized.
    sqlite3_close_v2(db_);
    db_ = nullptr;
    abierta_.reset();
    profundidad_ = 0;
    ++apertura_;
}

void ConexionSqlite::EjecutaSql(const char* sql)
{
    const int codigo = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (codigo != SQLITE_OK)
        throw TraduceErrorSqlite(sqlite3_extended_errcode(db_), db_);
}

SentenciaSqlite ConexionSqlite::Prepara(const char* sql)
{
    auto& guardada = preparadas_[sql];
    if (guardada && !guardada->enUso) {
        guardada->enUso = true;
        return SentenciaSqlite(db_, guardada);
    }
    auto nueva = std::make_shared<Preparada>();
    nueva->propia = guardada != nullptr; // the shared one is busy: this one is for one use
    nueva->abierta = abierta_;
    const int codigo = sqlite3_prepare_v3(
        db_, sql, -1, nueva->propia ? 0 : SQLITE_PREPARE_PERSISTENT, &nueva->sentencia, nullptr);
    if (codigo != SQLITE_OK) {
        if (!guardada)
            preparadas_.erase(sql);
        throw TraduceErrorSqlite(sqlite3_extended_errcode(db_), db_);
    }
    nueva->enUso = true;
    if (!nueva->propia)
        guardada = nueva;
    return SentenciaSqlite(db_, nueva);
}

int ConexionSqlite::Cambios() const
{
    return sqlite3_changes(db_);
}

// ---------------------------------------------------------------------------------------
// Statement

SentenciaSqlite::SentenciaSqlite(sqlite3* db, std::shared_ptr<ConexionSqlite::Preparada> preparada)
    : db_(db), preparada_(std::move(preparada))
{
}

SentenciaSqlite::SentenciaSqlite(SentenciaSqlite&& otra) noexcept
    : db_(otra.db_), preparada_(std::move(otra.preparada_))
{
}

SentenciaSqlite::~SentenciaSqlite()
{
    if (!preparada_)
        return;
    if (preparada_->propia || !*preparada_->abierta) {
        sqlite3_finalize(preparada_->sentencia);
    } else {
        sqlite3_reset(preparada_->sentencia);
        sqlite3_clear_bindings(preparada_->sentencia);
    }
    preparada_->enUso = false;
}

void SentenciaSqlite::Comprueba(int codigo) const
{
    if (codigo != SQLITE_OK)
        throw TraduceErrorSqlite(sqlite3_extended_errcode(db_), db_);
}

SentenciaSqlite& SentenciaSqlite::Enlaza(int parametro, const QString& texto)
{
    const QByteArray utf8 = texto.toUtf8();
    Comprueba(sqlite3_bind_text(preparada_->sentencia, parametro,
                                utf8.isNull() ? "" : utf8.constData(),
                                static_cast<int>(utf8.size()), SQLITE_TRANSIENT));
    return *this;
}

SentenciaSqlite& SentenciaSqlite::Enlaza(int parametro, const QByteArray& bytes)
{
    Comprueba(sqlite3_bind_blob(preparada_->sentencia, parametro,
                                bytes.isNull() ? "" : bytes.constData(),
                                static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
    return *this;
}

SentenciaSqlite& SentenciaSqlite::Enlaza(int parametro, qint64 numero)
{
    Comprueba(sqlite3_bind_int64(preparada_->sentencia, parametro, numero));
    return *this;
}

SentenciaSqlite& SentenciaSqlite::EnlazaReal(int parametro, double numero)
{
    Comprueba(sqlite3_bind_double(preparada_->sentencia, parametro, numero));
    return *this;
}

SentenciaSqlite& SentenciaSqlite::EnlazaNulo(int parametro)
{
    Comprueba(sqlite3_bind_null(preparada_->sentencia, parametro));
    return *this;
}

bool SentenciaSqlite::Avanza()
{
    if (!*preparada_->abierta)
        return false; // the connection was closed while this statement was being walked
    const int codigo = sqlite3_step(preparada_->sentencia);
    if (codigo == SQLITE_ROW)
        return true;
    if (codigo == SQLITE_DONE)
        return false;
    throw TraduceErrorSqlite(sqlite3_extended_errcode(db_), db_);
}

void SentenciaSqlite::Ejecuta()
{
    while (Avanza()) {
    }
}

bool SentenciaSqlite::EsNulo(int columna) const
{
    return sqlite3_column_type(preparada_->sentencia, columna) == SQLITE_NULL;
}

QString SentenciaSqlite::Texto(int columna) const
{
    const auto* texto =
        reinterpret_cast<const char*>(sqlite3_column_text(preparada_->sentencia, columna));
    return QString::fromUtf8(texto, sqlite3_column_bytes(preparada_->sentencia, columna));
}

QByteArray SentenciaSqlite::Bytes(int columna) const
{
    const auto* bytes =
        static_cast<const char*>(sqlite3_column_blob(preparada_->sentencia, columna));
    return QByteArray(bytes, sqlite3_column_bytes(preparada_->sentencia, columna));
}

QByteArrayView SentenciaSqlite::Utf8(int columna) const
{
    const auto* texto =
        reinterpret_cast<const char*>(sqlite3_column_text(preparada_->sentencia, columna));
    return QByteArrayView(texto, sqlite3_column_bytes(preparada_->sentencia, columna));
}

qint64 SentenciaSqlite::Entero(int columna) const
{
    return sqlite3_column_int64(preparada_->sentencia, columna);
}

double SentenciaSqlite::Real(int columna) const
{
    return sqlite3_column_double(preparada_->sentencia, columna);
}

// ---------------------------------------------------------------------------------------
// Transaction

TransaccionSqlite::TransaccionSqlite(ConexionSqlite& conexion)
    : conexion_(conexion), apertura_(conexion.apertura_), exterior_(conexion.profundidad_ == 0)
{
    // SQLite ends a whole transaction by itself on some failures (disk full, I/O error);
    // going on would write the rest of the unit outside any transaction.
    if (!exterior_ && sqlite3_get_autocommit(conexion_.db_))
        throw ErrorTalvex(NumeroError::ErrorBaseDatos,
                          QStringLiteral("La transacción en curso se anuló por un error "
                                         "anterior: el cambio no se guardó."));
    // IMMEDIATE takes the write lock at once, so a transaction that read first never
    // fails half-way for want of it.
    conexion_.Prepara(exterior_ ? "BEGIN IMMEDIATE" : "SAVEPOINT talvex").Ejecuta();
    ++conexion_.profundidad_;
}

bool TransaccionSqlite::SigueViva() const
{
    return !terminada_ && conexion_.apertura_ == apertura_ && conexion_.db_;
}

void TransaccionSqlite::Confirma()
{
    if (!SigueViva())
        throw ErrorTalvex(NumeroError::ErrorBaseDatos,
                          QStringLiteral("La base de datos se cerró antes de terminar el cambio: "
                                         "el cambio no se guardó."));
    if (!exterior_ && sqlite3_get_autocommit(conexion_.db_))
        throw ErrorTalvex(NumeroError::ErrorBaseDatos,
                          QStringLiteral("La transacción en curso se anuló por un error "
                                         "anterior: el cambio no se guardó."));
    // On failure the destructor rolls back: a COMMIT that could not finish leaves the
    // transaction open.
    conexion_.Prepara(exterior_ ? "COMMIT" : "RELEASE talvex").Ejecuta();
    terminada_ = true;
    --conexion_.profundidad_;
}

TransaccionSqlite::~TransaccionSqlite()
{
    if (!SigueViva())
        return;
    sqlite3* db = conexion_.db_;
    if (exterior_) {
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    } else if (!sqlite3_get_autocommit(db)) {
        sqlite3_exec(db, "ROLLBACK TO talvex; RELEASE talvex", nullptr, nullptr, nullptr);
    }
    --conexion_.profundidad_;
}

// ---------------------------------------------------------------------------------------

void CreaArchivoSqlite(const QString& ruta,
                       const std::function<void(ConexionSqlite&)>& preparaEsquema)
{
    const QByteArray nombre = NombreEnDisco(ruta);
    // Created here, exclusively, so that an existing file is never opened by mistake, even
    // one that appears between a check and the opening.
    if (const Descriptor archivo(AbreParaEscribir(nombre, false)); archivo.fd() < 0)
        throw ErrorAlCrear(errno, ruta);
    try {
        ConexionSqlite conexion;
        conexion.Abre(ruta, SQLITE_OPEN_READWRITE);
        conexion.EjecutaSql("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
        TransaccionSqlite transaccion(conexion);
        preparaEsquema(conexion);
        transaccion.Confirma();
    } catch (...) {
        Borra(nombre);
        throw;
    }
    SincronizaCarpeta(QFileInfo(ruta).absolutePath());
}
