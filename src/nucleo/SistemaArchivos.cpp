// The file-system operations, written on the system calls' helpers so that every failure
// keeps its errno and becomes one of the error numbers the callers tell apart.
#include "nucleo/SistemaArchivos.h"

#include "data/LlamadasSistema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace {

// An errno that no row of NumeroDesdeErrno's table names is reported as this base plus errno,
// so that it never passes for a number the callers tell apart (EPROTO is 71, ECOMM is 70…).
constexpr int BaseErrnoSinTraducir = 1000;

QString DescripcionDe(int numero)
{
    switch (numero) {
    case NumeroError::ArgumentoNoValido:
        return QStringLiteral("Argumento no válido");
    case NumeroError::NombreArchivoIncorrecto:
        return QStringLiteral("Nombre de archivo incorrecto");
    case NumeroError::ArchivoNoEncontrado:
        return QStringLiteral("No se encontró el archivo");
    case NumeroError::ErrorEntradaSalida:
        return QStringLiteral("Error de entrada/salida en el dispositivo");
    case NumeroError::ArchivoYaExiste:
        return QStringLiteral("El archivo ya existe");
    case NumeroError::DispositivoNoDisponible:
        return QStringLiteral("Dispositivo no disponible");
    case NumeroError::PermisoDenegado:
        return QStringLiteral("Permiso denegado");
    case NumeroError::DiscoNoPreparado:
        return QStringLiteral("El disco no está preparado");
    case NumeroError::AccesoRutaArchivo:
        return QStringLiteral("Error de acceso a la ruta o al archivo");
    case NumeroError::RutaNoEncontrada:
        return QStringLiteral("No se encontró la ruta de acceso");
    case NumeroError::DiscoLleno:
        return QStringLiteral("No hay espacio suficiente en el disco");
    }
    return {};
}

ErrorTalvex ErrorDe(int numero)
{
    return ErrorTalvex(numero, DescripcionDe(numero));
}

// The folder and the last component of a path; a bare name lies in the working folder.
std::pair<QString, QString> SeparaRuta(const QString& ruta)
{
    const qsizetype barra = ruta.lastIndexOf(QLatin1Char('/'));
    if (barra < 0)
        return {QStringLiteral("."), ruta};
    return {barra == 0 ? QStringLiteral("/") : ruta.left(barra), ruta.mid(barra + 1)};
}

bool TieneComodines(const QString& nombre)
{
    return nombre.contains(QLatin1Char('*')) || nombre.contains(QLatin1Char('?'));
}

// * stands for any run of characters and ? for one; everything else is literal (brackets
// too) and letter case is ignored, as names were matched where the program came from.
QRegularExpression ExpresionComodin(const QString& nombre)
{
    QString expresion;
    QString literal;
    for (const QChar c : nombre) {
        if (c != QLatin1Char('*') && c != QLatin1Char('?')) {
            literal += c;
            continue;
        }
        expresion += QRegularExpression::escape(literal) +
                     (c == QLatin1Char('*') ? QStringLiteral(".*") : QStringLiteral("."));
        literal.clear();
    }
    expresion += QRegularExpression::escape(literal);
    return QRegularExpression(QRegularExpression::anchoredPattern(expresion),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

// A name that DeleteFile may remove: anything but a folder or a link to one.
bool EsArchivo(const QByteArray& ruta)
{
    const ClaseArchivo clase = Estado(ruta, false).clase;
    if (clase == ClaseArchivo::Ninguna || clase == ClaseArchivo::Carpeta)
        return false;
    return clase != ClaseArchivo::Enlace || Estado(ruta).clase != ClaseArchivo::Carpeta;
}

// The read-only attribute is the owner's write permission; only forzar removes such a file.
void BorraArchivo(const QByteArray& ruta, bool forzar)
{
    if (!forzar) {
        const EstadoArchivo estado = Estado(ruta);
        if (estado.Leido() && !estado.escribibleDueno)
            throw ErrorDe(NumeroError::PermisoDenegado);
    }
    // A file that vanished since it was listed is as good as deleted.
    if (!Borra(ruta) && errno != ENOENT)
        throw ErrorDesdeErrno(errno, false);
}

// The full names of the files that a pattern matches; throws when its folder cannot be read.
std::vector<QByteArray> BuscaArchivos(const QString& carpeta, const QString& nombre)
{
    const QByteArray carpetaNativa = Nativa(carpeta);
    std::vector<QByteArray> archivos;
    if (!TieneComodines(nombre)) {
        // An exact name is that one file, letter case included.
        const QByteArray ruta = carpetaNativa + '/' + Nativa(nombre);
        const int error = Estado(ruta, false).error;
        if (error != 0 && error != ENOENT)
            throw ErrorDesdeErrno(error, true);
        if (EsArchivo(ruta))
            archivos.push_back(ruta);
        else if (Estado(carpetaNativa).clase != ClaseArchivo::Carpeta)
            throw ErrorDe(NumeroError::RutaNoEncontrada);
        return archivos;
    }
    const std::optional<std::vector<QByteArray>> entradas = NombresEnCarpeta(carpetaNativa);
    if (!entradas)
        throw ErrorDesdeErrno(errno, true);
    const QRegularExpression expresion = ExpresionComodin(nombre);
    for (const QByteArray& nombreEntrada : *entradas) {
        // The bytes of the entry name, not its decoding, make the path: any name round-trips.
        const QByteArray ruta = carpetaNativa + '/' + nombreEntrada;
        if (expresion.match(QFile::decodeName(nombreEntrada)).hasMatch() && EsArchivo(ruta))
            archivos.push_back(ruta);
    }
    return archivos;
}

// Removes the temporary file unless the copy reached its rename.
class TemporalPendiente {
public:
    explicit TemporalPendiente(QByteArray ruta) : ruta_(std::move(ruta)) {}
    TemporalPendiente(const TemporalPendiente&) = delete;
    TemporalPendiente& operator=(const TemporalPendiente&) = delete;
    ~TemporalPendiente()
    {
        if (!ruta_.isEmpty())
            Borra(ruta_);
    }
    void Conserva() { ruta_.clear(); }

private:
    QByteArray ruta_;
};

// The path a copy writes to: the file a link points at, so that the link stays a link.
QString ResuelveDestino(const QString& destino)
{
    const std::optional<QByteArray> real = RutaReal(Nativa(destino));
    // When it does not exist yet: the name as given.
    return real ? QFile::decodeName(*real) : destino;
}

class FlujoArchivo final : public FlujoTexto {
public:
    // With a temporary path, the lines go to that new file and Close renames it over the
    // destination; until then the destination keeps what it had.
    FlujoArchivo(int fd, QByteArray temporal = {}, QByteArray destino = {})
        : fd_(fd), pendiente_(temporal), temporal_(std::move(temporal)),
          destino_(std::move(destino))
    {
    }

    // Each line goes straight to the file, so a full disk fails the very line it hits.
    void WriteLine(const QString& texto) override
    {
        if (fd_.fd() < 0)
            throw ErrorDe(NumeroError::ArgumentoNoValido); // written after Close
        const QByteArray linea = texto.toUtf8() + "\r\n";
        if (!EscribeTodo(fd_.fd(), linea.constData(), static_cast<size_t>(linea.size())))
            throw ErrorDesdeErrno(errno, true);
    }

    void Close() override
    {
        if (fd_.fd() < 0)
            return;
        if (!fd_.Cierra())
            throw ErrorDesdeErrno(errno, true);
        if (!temporal_.isEmpty() && !CambiaNombre(temporal_, destino_))
            throw ErrorDesdeErrno(errno, true);
        pendiente_.Conserva();
    }

private:
    Descriptor fd_;
    TemporalPendiente pendiente_;
    QByteArray temporal_, destino_;
};

} // namespace

ErrorTalvex ErrorDesdeErrno(int numeroErrno, bool destino)
{
    const int numero = NumeroDesdeErrno(numeroErrno, destino);
    if (numero != 0)
        return ErrorDe(numero);
    return ErrorTalvex(BaseErrnoSinTraducir + numeroErrno,
                       QString::fromLocal8Bit(std::strerror(numeroErrno)));
}

bool SistemaArchivos::FileExists(const QString& ruta) const
{
    return !ruta.isEmpty() && Estado(Nativa(ruta)).clase == ClaseArchivo::Regular;
}

bool SistemaArchivos::FolderExists(const QString& ruta) const
{
    return !ruta.isEmpty() && Estado(Nativa(ruta)).clase == ClaseArchivo::Carpeta;
}

void SistemaArchivos::CreateFolder(const QString& ruta) const
{
    if (ruta.isEmpty())
        throw ErrorDe(NumeroError::ArgumentoNoValido);
    if (!CreaCarpeta(Nativa(ruta)))
        throw ErrorDesdeErrno(errno, true);
}

void SistemaArchivos::CreaCarpetaConPadres(const QString& ruta) const
{
    QStringList faltan;
    for (QString carpeta = QDir::cleanPath(ruta); !carpeta.isEmpty() && !FolderExists(carpeta);
         carpeta = QFileInfo(carpeta).path()) {
        faltan.prepend(carpeta);
        if (carpeta == QFileInfo(carpeta).path())
            break;
    }
    for (const QString& carpeta : faltan)
        CreateFolder(carpeta);
}

void SistemaArchivos::CopyFile(const QString& origen, const QString& destino) const
{
    if (origen.isEmpty() || destino.isEmpty())
        throw ErrorDe(NumeroError::ArgumentoNoValido);

    // A named pipe given as source does not block the open.
    const Descriptor fuente(AbreParaLeer(Nativa(origen)));
    if (fuente.fd() < 0)
        throw ErrorDesdeErrno(errno, false);
    const EstadoArchivo datosFuente = EstadoDe(fuente.fd());
    if (!datosFuente.Leido())
        throw ErrorDesdeErrno(datosFuente.error, false);
    if (datosFuente.clase != ClaseArchivo::Regular) // a folder or a device is no file to copy
        throw ErrorDe(NumeroError::ArchivoNoEncontrado);

    const QString real = ResuelveDestino(destino);
    const auto [carpeta, nombre] = SeparaRuta(real);
    if (nombre.isEmpty())
        throw ErrorDe(NumeroError::NombreArchivoIncorrecto);
    const EstadoArchivo datos = Estado(Nativa(real));
    const bool reemplaza = datos.Leido();
    if (reemplaza && datos.clase == ClaseArchivo::Carpeta)
        throw ErrorDe(NumeroError::AccesoRutaArchivo);
    // A device or pipe is never replaced by a file; a read-only file is refused as an
    // overwrite in place would be.
    if (reemplaza && (datos.clase != ClaseArchivo::Regular || !datos.escribibleDueno))
        throw ErrorDe(NumeroError::PermisoDenegado);

    const int fallo =
        EscribeEntero(Nativa(carpeta) + "/.talvex-", Nativa(real), reemplaza ? datos.permisos : -1,
                      [&](int fd, const QByteArray&) {
                          std::vector<char> bufer(1 << 20);
                          for (;;) {
                              const qint64 leidos = Lee(fuente.fd(), bufer.data(), bufer.size());
                              if (leidos < 0)
                                  throw ErrorDesdeErrno(errno, false);
                              if (leidos == 0)
                                  return true;
                              if (!EscribeTodo(fd, bufer.data(), static_cast<size_t>(leidos)))
                                  return false;
                          }
                      });
    if (fallo != 0)
        throw ErrorDesdeErrno(fallo, true);
}

// Every match is tried even after a failure, so one locked file does not keep the others;
// the first failure is then thrown.
void SistemaArchivos::DeleteFile(const QString& patron, bool forzar) const
{
    if (patron.isEmpty())
        throw ErrorDe(NumeroError::ArgumentoNoValido);
    const auto [carpeta, nombre] = SeparaRuta(patron);
    const std::vector<QByteArray> archivos = BuscaArchivos(carpeta, nombre);
    if (archivos.empty())
        throw ErrorDe(NumeroError::ArchivoNoEncontrado);

    std::optional<ErrorTalvex> primerFallo;
    for (const QByteArray& ruta : archivos) {
        try {
            BorraArchivo(ruta, forzar);
        } catch (const ErrorTalvex& error) {
            if (!primerFallo)
                primerFallo = error;
        }
    }
    if (primerFallo)
        throw *primerFallo;
}

std::unique_ptr<FlujoTexto> SistemaArchivos::CreateTextFile(const QString& ruta,
                                                            bool sobrescribir) const
{
    if (ruta.isEmpty())
        throw ErrorDe(NumeroError::ArgumentoNoValido);
    // A file, a link or nothing under the name: a new file beside it, renamed over the name
    // on Close, so that a planted link is replaced and never written through. Anything else
    // (a folder, a device) is opened as it is and refuses or takes the lines itself.
    const EstadoArchivo datos = Estado(Nativa(ruta), false);
    const bool enSuSitio = datos.Leido() && datos.clase != ClaseArchivo::Regular &&
                           datos.clase != ClaseArchivo::Enlace;
    if (!sobrescribir || enSuSitio) {
        const int fd = AbreParaEscribir(Nativa(ruta), sobrescribir);
        if (fd < 0)
            throw ErrorDesdeErrno(errno, true);
        return std::make_unique<FlujoArchivo>(fd);
    }
    QByteArray temporal;
    const int fd = CreaTemporal(SeparaRuta(ruta).first, temporal);
    if (fd < 0)
        throw ErrorDesdeErrno(errno, true);
    return std::make_unique<FlujoArchivo>(fd, temporal, Nativa(ruta));
}
