#include "data/LlamadasSistema.h"

#include "data/ErrorTalvex.h"

#include <QRandomGenerator>

#include <cstdlib>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ClaseArchivo ClaseDeModo(mode_t modo)
{
    if (S_ISREG(modo))
        return ClaseArchivo::Regular;
    if (S_ISDIR(modo))
        return ClaseArchivo::Carpeta;
    if (S_ISLNK(modo))
        return ClaseArchivo::Enlace;
    if (S_ISFIFO(modo))
        return ClaseArchivo::Tuberia;
    if (S_ISCHR(modo) || S_ISBLK(modo))
        return ClaseArchivo::Dispositivo;
    if (S_ISSOCK(modo))
        return ClaseArchivo::Socket;
    return ClaseArchivo::Otra;
}

// The state a stat call gave (`resultado` 0), or its failure with errno.
EstadoArchivo EstadoDesde(int resultado, const struct stat& datos)
{
    EstadoArchivo estado;
    if (resultado != 0) {
        estado.error = errno;
        return estado;
    }
    estado.clase = ClaseDeModo(datos.st_mode);
    estado.tamano = datos.st_size;
    estado.permisos = int(datos.st_mode & 07777);
    estado.escribibleDueno = (datos.st_mode & S_IWUSR) != 0;
    estado.modificadoS = datos.st_mtim.tv_sec;
    estado.modificadoNs = datos.st_mtim.tv_nsec;
    estado.dispositivo = datos.st_dev;
    estado.nodo = datos.st_ino;
    return estado;
}

// The pid a /proc entry stands for; -1 for the entries that are not processes.
qint64 PidDeEntrada(const char* nombre)
{
    if (*nombre == '\0')
        return -1;
    qint64 pid = 0;
    for (const char* c = nombre; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > (qint64(1) << 40))
            return -1;
        pid = pid * 10 + (*c - '0');
    }
    return pid > 0 ? pid : -1;
}

} // namespace

EstadoArchivo Estado(const QByteArray& ruta, bool sigueEnlaces)
{
    struct stat datos;
    const int resultado =
        sigueEnlaces ? ::stat(ruta.constData(), &datos) : ::lstat(ruta.constData(), &datos);
    return EstadoDesde(resultado, datos);
}

EstadoArchivo EstadoDe(int fd)
{
    struct stat datos;
    const int resultado = ::fstat(fd, &datos);
    return EstadoDesde(resultado, datos);
}

int AbreParaLeer(const QByteArray& ruta)
{
    return SinInterrupcion(
        [&] { return ::open(ruta.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); });
}

int AbreParaEscribir(const QByteArray& ruta, bool vacia)
{
    // O_EXCL and O_NOFOLLOW never follow a link.
    const int banderas = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (vacia ? O_TRUNC : O_EXCL);
    return SinInterrupcion([&] { return ::open(ruta.constData(), banderas, 0666); });
}

qint64 Lee(int fd, void* destino, size_t cuantos)
{
    return SinInterrupcion([&] { return ::read(fd, destino, cuantos); });
}

qint64 LeeEn(int fd, void* destino, size_t cuantos, qint64 desde)
{
    return SinInterrupcion([&] { return ::pread(fd, destino, cuantos, off_t(desde)); });
}

bool Borra(const QByteArray& ruta)
{
    return ::unlink(ruta.constData()) == 0;
}

bool CambiaNombre(const QByteArray& origen, const QByteArray& destino)
{
    return ::rename(origen.constData(), destino.constData()) == 0;
}

bool CreaCarpeta(const QByteArray& ruta)
{
    return ::mkdir(ruta.constData(), 0777) == 0;
}

bool SePuedeLeer(const QByteArray& ruta)
{
    return ::access(ruta.constData(), R_OK) == 0;
}

std::optional<QByteArray> RutaReal(const QByteArray& ruta)
{
    char* real = ::realpath(ruta.constData(), nullptr);
    if (!real)
        return std::nullopt;
    QByteArray resultado(real);
    std::free(real);
    return resultado;
}

std::optional<std::vector<QByteArray>> NombresEnCarpeta(const QByteArray& carpeta)
{
    DIR* directorio = ::opendir(carpeta.constData());
    if (!directorio)
        return std::nullopt;
    std::vector<QByteArray> nombres;
    while (const dirent* entrada = ::readdir(directorio)) {
        const QByteArray nombre(entrada->d_name);
        if (nombre != "." && nombre != "..")
            nombres.push_back(nombre);
    }
    ::closedir(directorio);
    return nombres;
}

std::vector<qint64> ProcesosEnMarcha()
{
    std::vector<qint64> pids;
    for (const QByteArray& nombre : NombresEnCarpeta("/proc").value_or(std::vector<QByteArray>{})) {
        const qint64 pid = PidDeEntrada(nombre.constData());
        if (pid >= 0)
            pids.push_back(pid);
    }
    return pids;
}

QByteArray EjecutableDeProceso(qint64 pid)
{
    const QByteArray enlace = "/proc/" + QByteArray::number(pid) + "/exe";
    QByteArray destino(4096, '\0');
    const ssize_t leidos = ::readlink(enlace.constData(), destino.data(), destino.size());
    if (leidos <= 0 || leidos >= destino.size())
        return {};
    destino.truncate(leidos);
    static const QByteArray borrado = " (deleted)";
    if (destino.endsWith(borrado))
        destino.chop(borrado.size());
    return destino;
}

qint64 ProcesoPropio()
{
    return ::getpid();
}

bool MataProceso(qint64 pid)
{
    if (pid <= 0 || pid != qint64(pid_t(pid)))
        return false;
    return ::kill(pid_t(pid), SIGKILL) == 0;
}

bool ProcesoVivo(qint64 pid)
{
    if (pid <= 0)
        return false;
    QFile estado(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!estado.open(QIODevice::ReadOnly))
        return false;
    // "pid (command) state …": the command may hold blanks and parentheses, the state
    // follows the last closing parenthesis.
    const QByteArray linea = estado.readLine();
    const qsizetype cierre = linea.lastIndexOf(')');
    if (cierre < 0 || cierre + 2 >= linea.size())
        return false;
    const char letra = linea.at(cierre + 2);
    return letra != 'Z' && letra != 'X' && letra != 'x';
}

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
        const int fd = AbreParaEscribir(ruta, false);
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
    const std::optional<std::vector<QByteArray>> nombres = NombresEnCarpeta(carpeta);
    if (!nombres)
        return;
    for (const QByteArray& nombre : *nombres) {
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

} // namespace

QByteArray CarpetaDe(const QByteArray& ruta)
{
    const qsizetype barra = ruta.lastIndexOf('/');
    return barra < 0 ? QByteArray(".") : (barra == 0 ? QByteArray("/") : ruta.left(barra));
}

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
