#include "nucleo/CopiaSegura.h"

#include "data/LlamadasSistema.h"

#include "data/EsquemaVocabulario.h"
#include "data/Sqlite.h"
#include "nucleo/SistemaArchivos.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <mutex>
#include <optional>
#include <utility>

namespace {

// What every temporary name holds after the name of its destination.
constexpr char MarcaTemporal[] = "-copia-";

// How long a copy waits for another program's lock on either file before it gives up.
constexpr int EsperasBloqueo = 60;
constexpr int EsperaBloqueoMs = 50;

ErrorTalvex ArgumentoNoValido()
{
    return ErrorTalvex(NumeroError::ArgumentoNoValido, QStringLiteral("Argumento no válido"));
}

// A failed SQLite call while copying. When the system refused (a full disk, a file-size
// limit, a missing permission), the errno behind it says which failure it was.
ErrorTalvex ErrorDeCopia(int codigo, sqlite3* db, bool destino)
{
    switch (codigo & 0xff) {
    case SQLITE_FULL:
        return ErrorDesdeErrno(ENOSPC, true);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN: {
        const int sistema = db ? sqlite3_system_errno(db) : 0;
        return ErrorDesdeErrno(sistema != 0 ? sistema : EIO, destino);
    }
    case SQLITE_READONLY:
        return ErrorDesdeErrno(EACCES, destino);
    }
    return TraduceErrorSqlite(codigo, db);
}

// What tells a file unchanged: the same file, size and time, and the count of committed
// writes SQLite keeps in its header.
struct Huella {
    EstadoArchivo estado;
    quint32 escrituras;
    bool operator==(const Huella& otra) const
    {
        return estado.MismoArchivo(otra.estado) && estado.SinCambios(otra.estado) &&
               escrituras == otra.escrituras;
    }
};

std::optional<Huella> LeeHuella(const QString& ruta)
{
    const Descriptor fd(AbreParaLeer(Nativa(ruta)));
    if (fd.fd() < 0)
        return std::nullopt;
    const EstadoArchivo datos = EstadoDe(fd.fd());
    unsigned char contador[4];
    if (!datos.Leido() || LeeEn(fd.fd(), contador, 4, 24) != 4)
        return std::nullopt;
    return Huella{datos, quint32(contador[0]) << 24 | quint32(contador[1]) << 16 |
                             quint32(contador[2]) << 8 | contador[3]};
}

// The last source found sound down to every index entry: the restore checks its source
// before asking and again as it copies, and a file unchanged since is not read whole twice
// (a million items take 15 to 30 s).
class UltimaSanaEntera {
public:
    bool Es(const std::optional<Huella>& huella)
    {
        const std::lock_guard<std::mutex> cerrojo(cerrojo_);
        return huella && huella == ultima_;
    }
    void Recuerda(const std::optional<Huella>& huella)
    {
        const std::lock_guard<std::mutex> cerrojo(cerrojo_);
        ultima_ = huella;
    }

private:
    std::mutex cerrojo_;
    std::optional<Huella> ultima_;
};
UltimaSanaEntera sanaEntera;

// Opens the source for reading only and checks that it is a sound vocabulary database. The
// read transaction begun here lasts until the connection closes, so the pages copied later
// are exactly the ones checked, whatever another connection writes meanwhile.
void AbreOrigen(ConexionSqlite& fuente, const QString& origen, Comprobacion nivel)
{
    const EstadoArchivo datos = Estado(Nativa(origen));
    if (!datos.Leido())
        throw ErrorDesdeErrno(datos.error, false);
    if (datos.clase != ClaseArchivo::Regular) // a folder or a device is no database file
        throw ErrorDesdeErrno(ENOENT, false);
    if (!SePuedeLeer(Nativa(origen)))
        throw ErrorDesdeErrno(errno, false);
    try {
        fuente.Abre(origen, SQLITE_OPEN_READONLY);
        fuente.EjecutaSql("BEGIN");
        // The dialog says that the source is no vocabulary database; this says why.
        QString defecto = DefectoBaseVocabulario(fuente, origen, Comprobacion::Estructura);
        if (defecto.isEmpty() && nivel != Comprobacion::Estructura) {
            // The read transaction holds the file as it is now.
            const std::optional<Huella> huella = LeeHuella(origen);
            const bool vistaEntera = nivel == Comprobacion::Completa && sanaEntera.Es(huella);
            defecto =
                DefectoBaseVocabulario(fuente, origen, vistaEntera ? Comprobacion::Paginas : nivel);
            if (defecto.isEmpty() && nivel == Comprobacion::Completa)
                sanaEntera.Recuerda(huella);
        }
        if (!defecto.isEmpty())
            throw ErrorTalvex(NumeroError::BaseNoValida,
                              QStringLiteral("%1: %2").arg(QFileInfo(origen).fileName(), defecto));
    } catch (const ErrorTalvex& error) {
        // Read-only, SQLite cannot settle a journal of changes left half-written beside it.
        if (error.Numero() != NumeroError::SoloLectura)
            throw;
        throw ErrorTalvex(NumeroError::BaseNoValida,
                          QStringLiteral("El archivo '%1' tiene cambios a medio escribir (en "
                                         "'%1-journal'): ábralo primero con TALVEX.")
                              .arg(QFileInfo(origen).fileName()));
    }
}

// The file a copy replaces: the one a link points at, so that the link stays a link.
struct Destino {
    QString ruta;
    QString carpeta;
    QString nombre;
    bool existe = false;
    int modo = 0; // its permission bits
};

Destino PreparaDestino(const QString& destino)
{
    Destino d;
    if (const std::optional<QByteArray> real = RutaReal(Nativa(destino)))
        d.ruta = QFile::decodeName(*real);
    else
        d.ruta = QFileInfo(destino).absoluteFilePath();
    const QFileInfo archivo(d.ruta);
    d.carpeta = archivo.absolutePath();
    d.nombre = archivo.fileName();
    if (d.nombre.isEmpty())
        throw ErrorDesdeErrno(EINVAL, true);
    const EstadoArchivo datos = Estado(Nativa(d.ruta));
    if (datos.Leido()) {
        if (datos.clase == ClaseArchivo::Carpeta)
            throw ErrorDesdeErrno(EISDIR, true);
        // A device or pipe is never replaced by a file; a read-only file is refused as a
        // copy over it in place would be.
        if (datos.clase != ClaseArchivo::Regular || !datos.escribibleDueno)
            throw ErrorDesdeErrno(EACCES, true);
        d.existe = true;
        d.modo = datos.permisos;
    } else if (datos.error != ENOENT) {
        throw ErrorDesdeErrno(datos.error, true);
    }
    const EstadoArchivo carpeta = Estado(Nativa(d.carpeta));
    if (!carpeta.Leido())
        throw ErrorDesdeErrno(carpeta.error, true);
    if (carpeta.clase != ClaseArchivo::Carpeta)
        throw ErrorDesdeErrno(ENOTDIR, true);
    return d;
}

// A journal left beside the destination by a write that never finished would be played back
// into the new file the next time it is opened. Opening the old file lets SQLite settle it
// (rolling that file back); a journal that stays belongs to a write going on right now.
void ResuelveDiarioPendiente(const QString& ruta)
{
    const QByteArray diario = Nativa(ruta + QStringLiteral("-journal"));
    if (!Estado(diario).Leido())
        return;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(Nativa(ruta).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    const Descriptor fd(AbreParaLeer(diario));
    if (fd.fd() < 0)
        return;
    char primero = 0;
    if (Lee(fd.fd(), &primero, 1) == 1 && primero != 0)
        throw ErrorDesdeErrno(EBUSY, true);
}

// Removes the temporaries of copies to the same destination that were killed half-way.
void BorraTemporalesAbandonados(const Destino& destino)
{
    const QByteArray prefijo = Nativa(QFileInfo(PrefijoTemporal(destino.ruta)).fileName());
    BorraAbandonados(Nativa(destino.carpeta), [&](const QByteArray& nombre) {
        return nombre.startsWith(prefijo) && nombre.size() > prefijo.size();
    });
}

// Copies every page of the source's main database into the destination's, in one write
// transaction of the destination, waiting a while for locks held by other programs.
void CopiaPaginas(sqlite3* fuente, sqlite3* destino)
{
    sqlite3_backup* copia = sqlite3_backup_init(destino, "main", fuente, "main");
    if (!copia)
        throw ErrorDeCopia(sqlite3_extended_errcode(destino), destino, true);
    int codigo = SQLITE_OK;
    for (int espera = 0;; ++espera) {
        codigo = sqlite3_backup_step(copia, -1);
        if ((codigo != SQLITE_BUSY && codigo != SQLITE_LOCKED) || espera == EsperasBloqueo)
            break;
        sqlite3_sleep(EsperaBloqueoMs);
    }
    sqlite3_backup_finish(copia); // an unfinished copy is rolled back in the destination
    if (codigo == SQLITE_DONE)
        return;
    const bool falloDestino =
        sqlite3_system_errno(destino) != 0 || sqlite3_system_errno(fuente) == 0;
    throw ErrorDeCopia(codigo, falloDestino ? destino : fuente, falloDestino);
}

// Reads the file anew and checks it as a vocabulary database. What was written and does not
// read back sound is a fault of the device.
void CompruebaEscrito(const QString& ruta)
{
    try {
        ConexionSqlite control;
        control.Abre(ruta, SQLITE_OPEN_READONLY);
        CompruebaBaseVocabulario(control, ruta);
    } catch (const ErrorTalvex& error) {
        if (error.Numero() != NumeroError::BaseNoValida)
            throw;
        throw ErrorDesdeErrno(EIO, true);
    }
}

} // namespace

QString DefectoOrigen(const QString& origen, Comprobacion nivel)
{
    ConexionSqlite fuente;
    try {
        AbreOrigen(fuente, origen, nivel);
    } catch (const ErrorTalvex& error) {
        if (error.Numero() == NumeroError::BaseNoValida)
            return error.Descripcion();
    }
    return {};
}

void BorraCopiasInterrumpidas(const QString& carpeta)
{
    BorraAbandonados(Nativa(carpeta), [](const QByteArray& nombre) {
        return nombre.startsWith('.') && nombre.contains(MarcaTemporal);
    });
}

QString PrefijoTemporal(const QString& destino)
{
    const QFileInfo archivo(destino);
    return archivo.absolutePath() + QStringLiteral("/.") + archivo.fileName() +
           QLatin1String(MarcaTemporal);
}

bool MismoArchivo(const QString& ruta1, const QString& ruta2)
{
    if (ruta1.isEmpty() || ruta2.isEmpty())
        return false;
    const EstadoArchivo datos1 = Estado(Nativa(ruta1));
    if (!datos1.Leido())
        return false;
    const EstadoArchivo datos2 = Estado(Nativa(ruta2));
    return datos2.Leido() && datos1.MismoArchivo(datos2);
}

QString ArchivoDeConexion(sqlite3* conexion)
{
    const char* archivo = conexion ? sqlite3_db_filename(conexion, "main") : nullptr;
    return archivo ? QFile::decodeName(archivo) : QString();
}

void CopiaBaseSegura(const QString& origen, const QString& destino, const QString& copiaPrevia,
                     Comprobacion nivel, const std::function<void(ConexionSqlite&)>& marca)
{
    if (origen.isEmpty() || destino.isEmpty())
        throw ArgumentoNoValido();
    ConexionSqlite fuente;
    AbreOrigen(fuente, origen, nivel);
    const Destino d = PreparaDestino(destino);
    if (MismoArchivo(origen, d.ruta)) // a file is not copied onto itself
        throw ErrorDesdeErrno(EBUSY, true);
    ResuelveDiarioPendiente(d.ruta);
    BorraTemporalesAbandonados(d);
    if (d.existe && !copiaPrevia.isEmpty())
        SistemaArchivos().CopyFile(d.ruta, copiaPrevia);

    // The temporary copy lies beside the destination and holds its lock while the copy runs.
    const int fallo = EscribeEntero(
        Nativa(PrefijoTemporal(d.ruta)), Nativa(d.ruta), d.existe ? d.modo : -1,
        [&](int, const QByteArray& temporal) {
            {
                // The new file needs no journal of its own: until the rename it is nobody's
                // database, and it is synced as a whole.
                ConexionSqlite copia;
                copia.Abre(QFile::decodeName(temporal), SQLITE_OPEN_READWRITE);
                copia.EjecutaSql("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF");
                CopiaPaginas(fuente.Manejador(), copia.Manejador());
                if (marca)
                    marca(copia);
            }
            fuente.Cierra();
            return true;
        },
        [](const QByteArray& temporal) { CompruebaEscrito(QFile::decodeName(temporal)); });
    if (fallo != 0)
        throw ErrorDesdeErrno(fallo, true);
}

void RestauraEnConexion(const QString& origen, sqlite3* conexion)
{
    const QString trabajo = ArchivoDeConexion(conexion);
    if (origen.isEmpty() || trabajo.isEmpty())
        throw ArgumentoNoValido();
    ConexionSqlite fuente;
    // A source that is not sound, down to every index entry, changes nothing.
    AbreOrigen(fuente, origen, Comprobacion::Completa);
    if (MismoArchivo(origen, trabajo))
        throw ErrorDesdeErrno(EBUSY, true);
    const QString previa = trabajo + SufijoCopiaPrevia;
    CopiaBaseSegura(trabajo, previa);
    CopiaPaginas(fuente.Manejador(), conexion);
    fuente.Cierra();
    try {
        CompruebaEscrito(trabajo);
    } catch (const ErrorTalvex&) {
        // The pages did not read back sound: the working database gets its own pages back.
        ConexionSqlite anterior;
        AbreOrigen(anterior, previa, Comprobacion::Paginas);
        CopiaPaginas(anterior.Manejador(), conexion);
        throw;
    }
}
