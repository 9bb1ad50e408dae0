// Imports and exports vocabulary from the command line, with the code the import and export
// windows use.
//
//   talvex-datos exporta ARCHIVO --base RUTA [--formato csv|tsv|anki] [--tema T]
//   talvex-datos importa ARCHIVO --base RUTA [--duplicados omitir|reemplazar] [--latin1]
//
// ARCHIVO "-" is the standard output or input. Exit status: 0 done (refused rows included),
// 1 the work failed, 2 wrong arguments.
#include "intercambio/Archivos.h"
#include "intercambio/Intercambio.h"

#include <QCoreApplication>
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
    "ARCHIVO puede ser \"-\": la salida o la entrada estándar.\n";

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
    if (argumentos.orden != QLatin1String("exporta") &&
        argumentos.orden != QLatin1String("importa"))
        throw ErrorUso{QStringLiteral("Orden desconocida: «%1».").arg(argumentos.orden)};
    const QStringList conValor = argumentos.orden == QLatin1String("exporta")
                                     ? QStringList{"--base", "--formato", "--tema"}
                                     : QStringList{"--base", "--duplicados"};
    for (int i = 2; i < lista.size(); ++i) {
        const QString& argumento = lista[i];
        if (argumento == QLatin1String("--latin1") &&
            argumentos.orden == QLatin1String("importa")) {
            argumentos.latin1 = true;
        } else if (conValor.contains(argumento)) {
            if (i + 1 >= lista.size())
                throw ErrorUso{QStringLiteral("Falta el valor de %1.").arg(argumento)};
            argumentos.opciones.insert(argumento, lista[++i]);
        } else if (argumento.startsWith(QLatin1String("--")) || !argumentos.archivo.isNull()) {
            throw ErrorUso{QStringLiteral("Argumento no válido: «%1».").arg(argumento)};
        } else {
            argumentos.archivo = argumento;
        }
    }
    if (argumentos.archivo.isEmpty())
        throw ErrorUso{QStringLiteral("Falta el archivo.")};
    if (!argumentos.opciones.contains(QStringLiteral("--base")))
        throw ErrorUso{QStringLiteral("Falta --base RUTA.")};
    return argumentos;
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
        const QByteArray datos = Intercambio::ExportaDatos(base, formatos.value(nombre), tema);
        errno = 0;
        if (std::fwrite(datos.constData(), 1, static_cast<size_t>(datos.size()), stdout) !=
                static_cast<size_t>(datos.size()) ||
            std::fflush(stdout) != 0)
            throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                              QStringLiteral("No se pudo escribir en la salida estándar: %1.")
                                  .arg(Intercambio::CausaDeErrno(errno)));
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
        QFile entrada;
        if (!entrada.open(stdin, QIODevice::ReadOnly))
            throw ErrorTalvex(NumeroError::ErrorEntradaSalida,
                              QStringLiteral("No se puede leer la entrada estándar."));
        const QByteArray datos = entrada.read(Intercambio::TamanoMaximo + 1);
        if (datos.size() > Intercambio::TamanoMaximo)
            throw ErrorTalvex(Intercambio::ArchivoDemasiadoGrande,
                              QStringLiteral("La entrada pasa de %1 MB; no se puede importar.")
                                  .arg(Intercambio::TamanoMaximo / (1024 * 1024)));
        lectura = Intercambio::LeeDatos(datos, codificacion);
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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    try {
        const Argumentos argumentos = LeeArgumentos(aplicacion.arguments());
        BaseVocabulario base;
        // A file about to be written is checked down to every index entry first.
        base.Abre(argumentos.opciones.value(QStringLiteral("--base")),
                  argumentos.orden == QLatin1String("importa") ? Comprobacion::Completa
                                                               : Comprobacion::Paginas);
        return argumentos.orden == QLatin1String("exporta") ? Exporta(argumentos, base)
                                                            : Importa(argumentos, base);
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
