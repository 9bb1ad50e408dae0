#include "data/LlamadasSistema.h"

#include "data/ErrorTalvex.h"

#include <QRandomGenerator>

#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

Descriptor::~Descriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool Descriptor::Cierra()
{
    return ::close(std::exchange(fd_, -1)) == 0 || errno == EINTR;
}

bool EscribeTodo(int fd, const char* datos, size_t cuantos)
{
    while (cuantos > 0) {
        const ssize_t escritos = SinInterrupcion([&] { return ::write(fd, datos, cuantos); });
        if (escritos < 0)
            return false;
        if (escritos == 0) {
            errno = ENOSPC;
            return false;
        }
        datos += escritos;
        cuantos -= static_cast<size_t>(escritos);
    }
    return true;
}

int CreaTemporal(const QString& carpeta, QByteArray& ruta)
{
    for (int intento = 0; intento < 100; ++intento) {
        const quint64 azar = QRandomGenerator::global()->generate64();
        ruta = Nativa(carpeta) + "/.talvex-" + QByteArray::number(azar, 36);
        const int fd = SinInterrupcion([&] {
            return ::open(ruta.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        });
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1; // errno is EEXIST
}

TemporalBloqueado::TemporalBloqueado(const QByteArray& prefijo)
{
    for (int intento = 0; intento < 100 && fd_ < 0; ++intento) {
        ruta_ = prefijo + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd_ = SinInterrupcion(
            [&] { return ::open(ruta_.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
        if (fd_ < 0 && errno != EEXIST)
            break;
        if (fd_ < 0)
            continue;
        // Another writer's clean-up may have taken it before the lock: then a new one. A file
        // system without flock only loses the clean-up.
        SinInterrupcion([&] { return ::flock(fd_, LOCK_EX); });
        struct stat estado;
        if (::fstat(fd_, &estado) == 0 && estado.st_nlink == 0) {
            ::close(fd_);
            fd_ = -1;
            errno = EEXIST; // as if the name had been taken
        }
    }
    if (fd_ < 0) {
        const int fallo = errno;
        ruta_.clear();
        errno = fallo;
    }
}

TemporalBloqueado::~TemporalBloqueado()
{
    if (!ruta_.isEmpty())
        ::unlink(ruta_.constData());
    if (fd_ >= 0)
        ::close(fd_);
}

bool TemporalBloqueado::Renombra(const QByteArray& destino)
{
    if (::rename(ruta_.constData(), destino.constData()) != 0)
        return false;
    ruta_.clear();
    return true;
}

void BorraAbandonados(const QByteArray& carpeta,
                      const std::function<bool(const QByteArray&)>& esTemporal)
{
    DIR* directorio = ::opendir(carpeta.constData());
    if (!directorio)
        return;
    while (const dirent* entrada = ::readdir(directorio)) {
        const QByteArray nombre(entrada->d_name);
        if (!esTemporal(nombre))
            continue;
        const QByteArray ruta = carpeta + '/' + nombre;
        const int fd = ::open(ruta.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat estado;
        if (::fstat(fd, &estado) == 0 && S_ISREG(estado.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(ruta.constData());
        ::close(fd);
    }
    ::closedir(directorio);
}

QString CausaDeErrno(int numeroErrno)
{
    switch (numeroErrno) {
    case ENOENT:
        return QStringLiteral("no existe");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta no es una carpeta");
    case ELOOP:
        return QStringLiteral("hay demasiados enlaces simbólicos encadenados (quizá formen un "
                              "bucle)");
    case EACCES:
    case EPERM:
        return QStringLiteral("permiso denegado");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("no queda espacio en el disco");
    case EISDIR:
        return QStringLiteral("es una carpeta");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("el dispositivo no está disponible");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("está en uso");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    default:
        // The system's own text would be English: its number says what it is.
        return QStringLiteral("error del sistema número %1").arg(numeroErrno);
    }
}

int NumeroDesdeErrno(int numeroErrno, bool destino)
{
    switch (numeroErrno) {
    case ENOENT:
        return destino ? NumeroError::RutaNoEncontrada : NumeroError::ArchivoNoEncontrado;
    case ENOTDIR: // a folder on the path is a file: the path does not exist
        return NumeroError::RutaNoEncontrada;
    case EACCES:
    case EPERM:
    case EROFS:
        return NumeroError::PermisoDenegado;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return NumeroError::DiscoLleno;
    case EIO:
        return NumeroError::ErrorEntradaSalida;
    case ENXIO:
    case ENODEV:
        return NumeroError::DispositivoNoDisponible;
#ifdef ENOMEDIUM
    case ENOMEDIUM:
        return NumeroError::DiscoNoPreparado;
#endif
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP: // links that lead back to themselves: the path names nothing
        return NumeroError::NombreArchivoIncorrecto;
    case EBUSY:
    case ETXTBSY: // the file is in use
    case EISDIR:
        return NumeroError::AccesoRutaArchivo;
    case EEXIST:
        return NumeroError::ArchivoYaExiste;
    }
    return 0;
}

namespace {

void SincronizaCarpeta(const QByteArray& carpeta)
{
    const int fd = ::open(carpeta.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QByteArray CarpetaDe(const QByteArray& ruta)
{
    const qsizetype barra = ruta.lastIndexOf('/');
    return barra < 0 ? QByteArray(".") : (barra == 0 ? QByteArray("/") : ruta.left(barra));
}

} // namespace

void SincronizaCarpeta(const QString& carpeta)
{
    SincronizaCarpeta(Nativa(carpeta));
}

int EscribeEntero(const QByteArray& prefijo, const QByteArray& destino, int modo,
                  const std::function<bool(int fd, const QByteArray& ruta)>& escribe,
                  const std::function<void(const QByteArray& ruta)>& comprueba)
{
    // Each `return errno` takes its value before the temporary's destructor removes it.
    TemporalBloqueado temporal(prefijo);
    if (temporal.fd() < 0)
        return errno;
    if (modo >= 0) // the replaced file keeps its permissions (best effort)
        ::fchmod(temporal.fd(), static_cast<mode_t>(modo));
    if (!escribe(temporal.fd(), temporal.Ruta()))
        return errno;
    // EINVAL: the file system cannot sync; the data are written all the same.
    if (::fsync(temporal.fd()) != 0 && errno != EINVAL)
        return errno;
    if (comprueba)
        comprueba(temporal.Ruta());
    if (!temporal.Renombra(destino))
        return errno;
    SincronizaCarpeta(CarpetaDe(destino)); // the rename itself durable
    return 0;
}

void PueblaMemoria(void* memoria, size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    // Linux 5.14 and later; older kernels answer EINVAL and the pages come one fault at a
    // time, as without the call.
    const auto pagina = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto desde = (reinterpret_cast<uintptr_t>(memoria) + pagina - 1) & ~(pagina - 1);
    const auto hasta = (reinterpret_cast<uintptr_t>(memoria) + bytes) & ~(pagina - 1);
    if (hasta > desde)
        ::madvise(reinterpret_cast<void*>(desde), hasta - desde, MADV_POPULATE_WRITE);
#else
    (void)memoria;
    (void)bytes;
#endif
}

void BajaPrioridadHilo()
{
    // On Linux a thread's nice value is its own: the other threads keep theirs. A thread
    // already lower stays as it is.
    constexpr int Amabilidad = 10;
    const auto hilo = static_cast<id_t>(::gettid());
    errno = 0;
    const int actual = ::getpriority(PRIO_PROCESS, hilo);
    if (errno == 0 && actual < Amabilidad)
        ::setpriority(PRIO_PROCESS, hilo, Amabilidad);
}
