// Import and export from the "Archivo" menu: the file is read and checked before the import
// window shows what it would do; what an import wrote appears in the lists at once.
#include "nucleo/Fallos.h"

#include "nucleo/Titulos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/intercambio/ProgresoVisible.h"
#include "ui/intercambio/frmExportar.h"
#include "ui/intercambio/frmImportar.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/SobrePrincipal.h"
#include "ui_frmMenuPrincipal.h"

#include <QDir>

namespace {
const QString TituloImportar = QStringLiteral("Importar vocabulario");
const QString TituloExportar = QStringLiteral("Exportar vocabulario");
const QString FiltroImportar =
    QStringLiteral("Vocabulario (*.csv *.CSV *.tsv *.TSV *.txt *.TXT *.kvtml *.KVTML)");

void Avisa(const QString& texto, IconoMensaje icono)
{
    Sistema().Pita();
    MuestraMensaje({texto, Titulos::Mensajes, icono});
}

bool Pregunta(const QString& texto)
{
    Sistema().Pita();
    return MuestraMensaje({texto, Titulos::Mensajes, IconoMensaje::Pregunta, BotonesMensaje::SiNo,
                           RespuestaMensaje::No}) == RespuestaMensaje::Si;
}

QString Extension(Intercambio::Formato formato)
{
    return formato == Intercambio::Formato::Csv ? QStringLiteral("csv") : QStringLiteral("tsv");
}
} // namespace

// The file read whole; a file that is not UTF-8 may be read as Windows-1252 when the user says
// so. Nothing when the file cannot be imported (the message has been shown).
static std::optional<Intercambio::Lectura> LeeParaImportar(QWidget* dueno, const QString& ruta)
{
    auto codificacion = Intercambio::Codificacion::Automatica;
    for (;;) {
        try {
            ProgresoVisible progreso(dueno, QStringLiteral("Leyendo el archivo..."));
            return Intercambio::LeeArchivo(ruta, codificacion, progreso.Funcion());
        } catch (const ErrorTalvex& error) {
            if (error.Numero() == Intercambio::Cancelado)
                return std::nullopt;
            if (error.Numero() == Intercambio::CodificacionDudosa &&
                codificacion == Intercambio::Codificacion::Automatica &&
                Pregunta(QStringLiteral("¡¡ El archivo no está escrito en UTF-8 !!\r\r") +
                         QStringLiteral("¿ Quiere leerlo como Windows-1252 (Latin-1), la "
                                        "codificación de muchas hojas de cálculo ?"))) {
                codificacion = Intercambio::Codificacion::Windows1252;
                continue;
            }
            if (error.Numero() != Intercambio::CodificacionDudosa)
                Avisa(QStringLiteral("¡¡ No se puede importar el archivo !!\r\r") +
                          error.Descripcion(),
                      IconoMensaje::Exclamacion);
            return std::nullopt;
        }
    }
}

void frmMenuPrincipal::mnuImportar_Click()
{
    QString ruta;
    OmiteFallo([&] {
        ruta = Sistema().DialogoAbrirArchivo(this, TituloImportar, QDir::homePath(), QString(),
                                             FiltroImportar);
    });
    if (ruta.isEmpty())
        return;
    const std::optional<Intercambio::Lectura> lectura = LeeParaImportar(this, ruta);
    if (!lectura)
        return;
    auto* dialogo =
        new frmImportar(ruta, Intercambio::Planea(*lectura, modTALVEXV20().dbPrincipal),
                        [this](const Intercambio::Plan& plan, Intercambio::Duplicados duplicados) {
                            ImportaPlan(plan, duplicados);
                        });
    RegistraVentana(dialogo);
    AbreSobrePrincipal(*dialogo);
}

void frmMenuPrincipal::ImportaPlan(const Intercambio::Plan& plan,
                                   Intercambio::Duplicados duplicados)
{
    Intercambio::Resultado resultado;
    try {
        ProgresoVisible progreso(this, QStringLiteral("Importando..."));
        resultado =
            Intercambio::Aplica(plan, duplicados, modTALVEXV20().dbPrincipal, progreso.Funcion());
    } catch (const ErrorTalvex& error) {
        if (error.Numero() != Intercambio::Cancelado)
            throw;
        Avisa(QStringLiteral("¡¡ Se canceló la importación: no se escribió nada !!"),
              IconoMensaje::Informacion);
        return;
    }
    ItemsImportados(resultado);
    Avisa(QStringLiteral("¡¡ La importación terminó !!\r\rÍtems nuevos: %1\rTemas nuevos: %2\r"
                         "Ítems reemplazados: %3")
              .arg(resultado.agregados.size())
              .arg(resultado.temasAgregados.size())
              .arg(resultado.reemplazados.size()),
          IconoMensaje::Informacion);
}

void frmMenuPrincipal::ItemsImportados(const Intercambio::Resultado& resultado)
{
    std::vector<FilaLista> nuevas;
    nuevas.reserve(resultado.agregados.size());
    for (const Item& item : resultado.agregados)
        nuevas.push_back({item.ITEMING, item.ITEMESP});
    if (!nuevas.empty())
        ModeloItems->AgregaFilas(std::move(nuevas));
    for (const auto& [ingles, item] : resultado.reemplazados)
        ModeloItems->CambiaEspanol(ingles, item.ITEMESP);
    for (const Tema& tema : resultado.temasAgregados)
        ModeloArbol->AgregaTema(tema.NOMBRETEMA);
    // The first item written is shown, as a click in the index would show it.
    const QString primero = !resultado.agregados.empty()      ? resultado.agregados.front().ITEMING
                            : !resultado.reemplazados.empty() ? resultado.reemplazados.front().first
                                                              : QString();
    const int fila = ModeloItems->BuscaFila(primero);
    if (fila < 0)
        return;
    AutoCompletar = false;
    SeleccionaFila(*ui_->lvwItems, fila, true);
    ActivaItems();
    MuestraVistaItem();
}

// Asks where to write (a file named `nombre` in the home folder is offered), writes with the
// progress shown and says where it went. False when the user gave no file.
static bool
EscribeExportacion(QWidget* dueno, Intercambio::Formato formato, const QString& nombre,
                   const std::function<void(const QString&, const Intercambio::Progreso&)>& escribe)
{
    const QString extension = Extension(formato);
    const QString ruta = Sistema().DialogoGuardarArchivo(
        dueno, TituloExportar, QDir::homePath(), nombre + QLatin1Char('.') + extension,
        QStringLiteral("Texto %1 (*.%2)").arg(extension.toUpper(), extension));
    if (ruta.isEmpty())
        return false;
    try {
        ProgresoVisible progreso(dueno, QStringLiteral("Exportando..."));
        escribe(ruta, progreso.Funcion());
    } catch (const ErrorTalvex& error) {
        if (error.Numero() == Intercambio::Cancelado) {
            Avisa(QStringLiteral("¡¡ Se canceló la exportación: no se escribió nada !!"),
                  IconoMensaje::Informacion);
            return true;
        }
        // The window stays, for another file or another choice.
        Avisa(QStringLiteral("¡¡ No se pudo exportar el vocabulario !!\r\r") + error.Descripcion(),
              IconoMensaje::Exclamacion);
        return false;
    }
    Avisa(QStringLiteral("¡¡ El vocabulario se exportó en: ") + ruta + QStringLiteral(" !!"),
          IconoMensaje::Informacion);
    return true;
}

void frmMenuPrincipal::mnuExportar_Click()
{
    auto* dialogo =
        new frmExportar(ModeloArbol->Nombres(),
                        [this](Intercambio::Formato formato, const std::optional<QString>& tema) {
                            return Exporta(formato, tema);
                        });
    RegistraVentana(dialogo);
    AbreSobrePrincipal(*dialogo);
}

bool frmMenuPrincipal::Exporta(Intercambio::Formato formato, const std::optional<QString>& tema)
{
    return EscribeExportacion(this, formato, tema ? *tema : QStringLiteral("vocabulario"),
                              [&](const QString& ruta, const Intercambio::Progreso& progreso) {
                                  Intercambio::Exporta(modTALVEXV20().dbPrincipal, ruta, formato,
                                                       tema, progreso);
                              });
}

void frmMenuPrincipal::ExportaResultados(QWidget* dueno, Intercambio::Formato formato,
                                         const std::vector<QString>& ingles)
{
    EscribeExportacion(dueno, formato, QStringLiteral("resultados"),
                       [&](const QString& ruta, const Intercambio::Progreso& progreso) {
                           Intercambio::ExportaItems(modTALVEXV20().dbPrincipal, ingles, ruta,
                                                     formato, progreso);
                       });
}
