// Imports and exports vocabulary from the command line, with the code the import and export
// windows use, and practice's review log and cards.
//
//   talvex-datos exporta ARCHIVO --base RUTA [--formato csv|tsv|anki] [--tema T]
//   talvex-datos importa ARCHIVO --base RUTA [--duplicados omitir|reemplazar] [--latin1]
//   talvex-datos repasos exporta ARCHIVO --base RUTA
//   talvex-datos repasos importa ARCHIVO --base RUTA
//   talvex-datos repasos ajusta --base RUTA
//   talvex-datos tarjetas [ARCHIVO] --base RUTA
//
// ARCHIVO "-" is the standard output or input. Exit status: 0 done (refused rows included),
// 1 the work failed, 2 wrong arguments.
#include "data/LlamadasSistema.h"
#include "intercambio/Archivos.h"
#include "intercambio/Intercambio.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/Optimizador.h"
#include "repaso/RegistroRepasos.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QStringList>

#include <cerrno>
#include <cstdio>

namespace {

constexpr const char* Uso =
    "Uso:\n"
    "  talvex-datos exporta ARCHIVO --base RUTA [--formato csv|tsv|anki] [--tema TEMA]\n"
    "  talvex-datos importa ARCHIVO --base RUTA [--duplicados omitir|reemplazar] [--latin1]\n"
    "  talvex-datos repasos exporta ARCHIVO --base RUTA\n"
    "  talvex-datos repasos importa ARCHIVO --base RUTA\n"
    "  talvex-datos repasos ajusta --base RUTA\n"
    "  talvex-datos tarjetas [ARCHIVO] --base RUTA\n"
    "ARCHIVO puede ser \"-\": la salida o la entrada estándar (tarjetas escribe en la salida\n"
    "estándar si no se indica).\n";

void Escribe(std::FILE* destino, const QString& texto)
{
    std::fputs(texto.toUtf8().constData(), destino);
}

struct ErrorUso {
    QString mensaje;
};

struct Argumentos {
    QString orden, archivo;
    QMap<QString, QString> opciones;
    bool latin1 = false;
};

Argumentos LeeArgumentos(const QStringList& lista)
{
    if (lista.size() < 3)
        throw ErrorUso{QStringLiteral("Faltan argumentos.")};
    Argumentos argumentos;
    argumentos.orden = lista[1];
    int primero = 2;
    if (argumentos.orden == QLatin1String("repasos")) { // "repasos exporta", "repasos importa"
        argumentos.orden += QLatin1Char(' ') + lista[2];
        primero = 3;
    }
    static const QMap<QString, QStringList> ordenes = {
        {QStringLiteral("exporta"), {"--base", "--formato", "--tema"}},
        {QStringLiteral("importa"), {"--base", "--duplicados"}},
        {QStringLiteral("repasos exporta"), {"--base"}},
        {QStringLiteral("repasos importa"), {"--base"}},
        {QStringLiteral("repasos ajusta"), {"--base"}},
        {QStringLiteral("tarjetas"), {"--base"}},
    };
    if (primero == 3 && !ordenes.contains(argumentos.orden))
        throw ErrorUso{QStringLiteral("Tras «repasos» va «exporta», «importa» o «ajusta».")};
    if (!ordenes.contains(argumentos.orden))
        throw ErrorUso{QStringLiteral("Orden desconocida: «%1».").arg(argumentos.orden)};
    const QStringList conValor = ordenes.value(argumentos.orden);
    const bool sinArchivo = argumentos.orden == QLatin1String("repasos ajusta");
    for (int i = primero; i < lista.size(); ++i) {
        const QString& argumento = lista[i];
        if (argumento == QLatin1String("--latin1") &&
            argumentos.orden == QLatin1String("importa")) {
            argumentos.latin1 = true;
        } else if (conValor.contains(argumento)) {
            if (i + 1 >= lista.size())
                throw ErrorUso{QStringLiteral("Falta el valor de %1.").arg(argumento)};
            argumentos.opciones.insert(argumento, lista[++i]);
        } else if (argumento.startsWith(QLatin1String("--")) || !argumentos.archivo.isNull() ||
                   sinArchivo) {
            throw ErrorUso{QStringLiteral("Argumento no válido: «%1».").arg(argumento)};
        } else {
            argumentos.archivo = argumento;
        }
    }
    if (argumentos.archivo.isNull() && argumentos.orden == QLatin1String("tarjetas"))
        argumentos.archivo = QStringLiteral("-");
    if (argumentos.archivo.isEmpty() && !sinArchivo)
        throw ErrorUso{QStringLiteral("Falta el archivo.")};
    if (!argumentos.opciones.contains(QStringLiteral("--base")))
        throw ErrorUso{QStringLiteral("Falta --base RUTA.")};
    return argumentos;
}

// Writes what an export made to the file (whole or not at all) or, for "-", to the standard
// output.
void EscribeSalida(const QString& archivo, const QByteArray& datos)
{
    if (archivo != QLatin1String("-")) {
        Intercambio::EscribeArchivoSeguro(archivo, datos);
        Escribe(stdout, QStringLiteral("Exportado en «%1».\n").arg(archivo));
        return;
    }
    errno = 0;
    if (std::fwrite(datos.constData(), 1, static_cast<size_t>(datos.size()), stdout) !=
            static_cast<size_t>(datos.size()) ||
        std::fflush(stdout) != 0)
        throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                          QStringLiteral("No se pudo escribir en la salida estándar: %1.")
                              .arg(CausaDeErrno(errno)));
}

// The file to import, or for "-" the standard input, up to `tamanoMaximo` bytes.
QByteArray LeeEntrada(const QString& archivo, qint64 tamanoMaximo)
{
    if (archivo != QLatin1String("-"))
        return Intercambio::LeeArchivoRegular(archivo, {}, tamanoMaximo);
    QFile entrada;
    if (!entrada.open(stdin, QIODevice::ReadOnly))
        throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                          QStringLiteral("No se puede leer la entrada estándar."));
    const QByteArray datos = entrada.read(tamanoMaximo + 1);
    if (datos.size() > tamanoMaximo)
        throw ErrorTalvex(Intercambio::ArchivoDemasiadoGrande,
                          QStringLiteral("La entrada pasa de %1 MB; no se puede importar.")
                              .arg(tamanoMaximo / (1024 * 1024)));
    return datos;
}

int Exporta(const Argumentos& argumentos, BaseVocabulario& base)
{
    const QString nombre = argumentos.opciones.value(QStringLiteral("--formato"), "csv");
    static const QMap<QString, Intercambio::Formato> formatos = {
        {QStringLiteral("csv"), Intercambio::Formato::Csv},
        {QStringLiteral("tsv"), Intercambio::Formato::Tsv},
        {QStringLiteral("anki"), Intercambio::Formato::Anki},
    };
    if (!formatos.contains(nombre))
        throw ErrorUso{QStringLiteral("Formato desconocido: «%1» (csv, tsv o anki).").arg(nombre)};
    std::optional<QString> tema;
    if (argumentos.opciones.contains(QStringLiteral("--tema")))
        tema = argumentos.opciones.value(QStringLiteral("--tema"));
    if (argumentos.archivo == QLatin1String("-")) {
        EscribeSalida(argumentos.archivo,
                      Intercambio::ExportaDatos(base, formatos.value(nombre), tema));
        return 0;
    }
    Intercambio::Exporta(base, argumentos.archivo, formatos.value(nombre), tema);
    Escribe(stdout, QStringLiteral("Exportado en «%1».\n").arg(argumentos.archivo));
    return 0;
}

int Importa(const Argumentos& argumentos, BaseVocabulario& base)
{
    const QString nombre = argumentos.opciones.value(QStringLiteral("--duplicados"), "omitir");
    if (nombre != QLatin1String("omitir") && nombre != QLatin1String("reemplazar"))
        throw ErrorUso{
            QStringLiteral("Valor de --duplicados desconocido: «%1» (omitir o reemplazar).")
                .arg(nombre)};
    const auto duplicados = nombre == QLatin1String("reemplazar")
                                ? Intercambio::Duplicados::Reemplazar
                                : Intercambio::Duplicados::Omitir;
    const auto codificacion = argumentos.latin1 ? Intercambio::Codificacion::Windows1252
                                                : Intercambio::Codificacion::Automatica;
    Intercambio::Lectura lectura;
    if (argumentos.archivo == QLatin1String("-")) {
        lectura = Intercambio::LeeDatos(LeeEntrada(argumentos.archivo, Intercambio::TamanoMaximo),
                                        codificacion);
    } else {
        lectura = Intercambio::LeeArchivo(argumentos.archivo, codificacion);
    }
    const Intercambio::Plan plan = Intercambio::Planea(lectura, base);
    const Intercambio::Resultado resultado = Intercambio::Aplica(plan, duplicados, base);

    Escribe(stdout, QStringLiteral("Filas leídas: %1\n").arg(plan.filasLeidas));
    Escribe(stdout, QStringLiteral("Nuevas: %1\n").arg(resultado.agregados.size()));
    Escribe(stdout, QStringLiteral("Existentes: %1 (%2)\n")
                        .arg(plan.existentes.size())
                        .arg(duplicados == Intercambio::Duplicados::Reemplazar
                                 ? QStringLiteral("reemplazadas")
                                 : QStringLiteral("omitidas")));
    Escribe(stdout, QStringLiteral("Temas nuevos: %1\n").arg(resultado.temasAgregados.size()));
    Escribe(stdout, QStringLiteral("Rechazadas: %1\n").arg(plan.rechazos.size()));
    for (const Intercambio::Rechazo& rechazo : plan.rechazos)
        Escribe(stdout, QStringLiteral("  línea %1: %2\n").arg(rechazo.linea).arg(rechazo.motivo));
    return 0;
}

// The model's weights fitted to the file's log: the figures, whether they were kept and why
// not, and last the fitted weights, kept or not. Kept ones go into the file's settings.
int Ajusta(BaseVocabulario& base)
{
    const Repaso::AlmacenRepasos almacen(base);
    Repaso::AjustesRepaso ajustes = Repaso::LeeAjustesRepaso(base);
    const Repaso::ResultadoAjuste r =
        Repaso::AjustaParametros(almacen, ajustes.pesos, Repaso::Dias());
    auto cifra = [](double x) { return QString::number(x, 'f', 4); };
    Escribe(stdout, QStringLiteral("Repasos predichos: %1\n").arg(r.antes.items));
    Escribe(stdout, QStringLiteral("Pérdida logarítmica: actuales %1, ajustados %2\n")
                        .arg(cifra(r.antes.logLoss), cifra(r.despues.logLoss)));
    Escribe(stdout, QStringLiteral("RMSE por grupos: actuales %1, ajustados %2\n")
                        .arg(cifra(r.antes.rmseBins), cifra(r.despues.rmseBins)));
    if (r.mejora) {
        ajustes.pesos = r.pesos;
        Repaso::GuardaAjustesRepaso(base, ajustes);
        Escribe(stdout, QStringLiteral("Los parámetros ajustados predicen mejor: guardados.\n"));
    } else {
        Escribe(stdout, QStringLiteral("No se guardan: %1\n").arg(r.motivo));
    }
    QStringList pesos;
    for (double w : r.ajustados)
        pesos << QString::number(w, 'g', 10);
    Escribe(stdout, QStringLiteral("parametros=%1\n").arg(pesos.join(QLatin1Char(','))));
    return 0;
}

// The review log out, or back in with each card it touches computed again, or the model fitted
// to it.
int Repasos(const Argumentos& argumentos, BaseVocabulario& base)
{
    if (argumentos.orden == QLatin1String("repasos ajusta"))
        return Ajusta(base);
    Repaso::AlmacenRepasos almacen(base);
    if (argumentos.orden == QLatin1String("repasos exporta")) {
        EscribeSalida(argumentos.archivo, Repaso::ExportaRegistro(almacen));
        return 0;
    }
    const Repaso::ImportacionRepasos resultado = Repaso::ImportaRegistro(
        almacen, LeeEntrada(argumentos.archivo, Repaso::TamanoMaximoRegistro),
        QDateTime::currentMSecsSinceEpoch());
    Escribe(stdout, QStringLiteral("Filas leídas: %1\n").arg(resultado.filasLeidas));
    Escribe(stdout, QStringLiteral("Repasos añadidos: %1\n").arg(resultado.agregados));
    Escribe(stdout, QStringLiteral("Repetidos (tomados una vez): %1\n").arg(resultado.repetidos));
    Escribe(stdout, QStringLiteral("Tarjetas nuevas: %1\n").arg(resultado.tarjetasNuevas));
    Escribe(stdout,
            QStringLiteral("Tarjetas recalculadas: %1\n").arg(resultado.tarjetasRecalculadas));
    Escribe(stdout, QStringLiteral("Rechazadas: %1\n").arg(resultado.rechazos.size()));
    for (const Intercambio::Rechazo& rechazo : resultado.rechazos)
        Escribe(stdout, QStringLiteral("  línea %1: %2\n").arg(rechazo.linea).arg(rechazo.motivo));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    try {
        const Argumentos argumentos = LeeArgumentos(aplicacion.arguments());
        BaseVocabulario base;
        // A file about to be written is checked down to every index entry first.
        const bool escribe = argumentos.orden.endsWith(QLatin1String("importa")) ||
                             argumentos.orden == QLatin1String("repasos ajusta");
        base.Abre(argumentos.opciones.value(QStringLiteral("--base")),
                  escribe ? Comprobacion::Completa : Comprobacion::Paginas);
        if (argumentos.orden == QLatin1String("exporta"))
            return Exporta(argumentos, base);
        if (argumentos.orden == QLatin1String("importa"))
            return Importa(argumentos, base);
        if (argumentos.orden == QLatin1String("tarjetas")) {
            EscribeSalida(argumentos.archivo,
                          Repaso::ExportaTarjetas(Repaso::AlmacenRepasos(base)));
            return 0;
        }
        return Repasos(argumentos, base);
    } catch (const ErrorUso& error) {
        Escribe(stderr, error.mensaje + QLatin1Char('\n'));
        std::fputs(Uso, stderr);
        return 2;
    } catch (const ErrorTalvex& error) {
        QString mensaje =
            QStringLiteral("Error %1: %2\n").arg(error.Numero()).arg(error.Descripcion());
        if (error.Numero() == Intercambio::CodificacionDudosa)
            mensaje += QStringLiteral("Pruebe de nuevo con --latin1.\n");
        Escribe(stderr, mensaje);
        return 1;
    }
}
