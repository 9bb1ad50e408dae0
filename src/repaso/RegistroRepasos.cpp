#include "repaso/RegistroRepasos.h"

#include "data/BaseVocabulario.h"
#include "data/Cotejo.h"
#include "data/Sqlite.h"
#include "intercambio/Codificacion.h"
#include "intercambio/Csv.h"
#include "repaso/AjustesRepaso.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <tuple>

namespace Repaso {

namespace {

const QChar Coma = QLatin1Char(',');

// Earlier than this, a time in milliseconds is most likely one in seconds.
constexpr qint64 Ano2000 = 946684800000;

QString NombreEstado(Estado estado)
{
    switch (estado) {
    case Estado::Aprendiendo:
        return QStringLiteral("aprendiendo");
    case Estado::Repaso:
        return QStringLiteral("repaso");
    case Estado::Reaprendiendo:
        return QStringLiteral("reaprendiendo");
    case Estado::Nueva:
        break;
    }
    return QStringLiteral("nueva"); // a state none of the four counts as new, as when scheduled
}

QString Iso8601(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
}

// Appends what `texto` has gathered to `bytes` now and then, so that a log of millions of rows
// is never held twice as UTF-16.
void Vuelca(QString& texto, QByteArray& bytes, bool siempre)
{
    if (siempre || texto.size() > (1 << 20)) {
        bytes += texto.toUtf8();
        texto.clear();
    }
}

// ---------------------------------------------------------------------------------------
// Reading a log

enum Columna { ColTarjeta, ColMomento, ColCalificacion, ColEstado, ColDuracion, ColItem, ColTipo };
constexpr int NumColumnas = 7;

// Where each column is, by the names of the header (any order, other columns ignored).
std::array<int, NumColumnas> LeeCabecera(const QStringList& campos)
{
    const QStringList nombres = CabeceraRegistro.split(Coma);
    std::array<int, NumColumnas> posicion{};
    for (int c = 0; c < NumColumnas; ++c) {
        posicion[c] = -1;
        for (int i = 0; i < campos.size(); ++i)
            if (campos[i].trimmed().compare(nombres[c], Qt::CaseInsensitive) == 0)
                posicion[c] = i;
        if (posicion[c] < 0)
            throw ErrorTalvex(Intercambio::ArchivoNoValido,
                              QStringLiteral("El archivo no es un registro de repasos: le falta "
                                             "la columna «%1». Su primera línea debe ser «%2».")
                                  .arg(nombres[c], CabeceraRegistro));
    }
    return posicion;
}

std::optional<qint64> LeeEntero(const QString& campo)
{
    bool bien = false;
    const qint64 valor = QStringView(campo).trimmed().toLongLong(&bien);
    return bien ? std::optional<qint64>(valor) : std::nullopt;
}

// A review read from the file, or already in the log (kept small: a log has millions).
struct Evento {
    qint64 momento = 0;
    qint64 duracion = 0;
    int linea = 0;   // in the file (new ones)
    int delLog = -1; // where the stored row is among those read (stored ones)
    Calificacion calificacion = Calificacion::Bien;
    bool guardado() const { return delLog >= 0; }
};

// The reviews of one card: the file's and, for a card already stored, the log's.
struct Grupo {
    qint64 item = 0;
    Tipo tipo = Tipo::IngEsp;
    qint64 idArchivo = 0; // the card_id of its first row
    qint64 id = 0;        // the card's id, stored or given
    std::optional<TarjetaItem> guardada;
    std::vector<Evento> eventos;
};

// What the file holds, checked, grouped by card, before anything is written.
struct Lectura {
    int filasLeidas = 0;
    std::vector<Grupo> grupos;
    std::vector<Intercambio::Rechazo> rechazos;
};

class LectorRegistro {
public:
    LectorRegistro(const BaseVocabulario& base, qint64 ahora) : base(base), ahora(ahora) {}

    Lectura Lee(const QByteArray& datos)
    {
        const QString texto =
            Intercambio::DecodificaTexto(datos, Intercambio::Codificacion::Automatica);
        Csv::Lector lector(texto, Coma);
        Csv::Registro registro;
        std::optional<std::array<int, NumColumnas>> columnas;
        while (lector.Lee(registro)) {
            // An empty line, also as a spreadsheet saves it (",,,,,,").
            if (!registro.comillasRotas &&
                std::all_of(registro.campos.cbegin(), registro.campos.cend(),
                            [](const QString& c) { return c.trimmed().isEmpty(); }))
                continue;
            if (!columnas) {
                columnas = LeeCabecera(registro.campos);
                continue;
            }
            ++lectura.filasLeidas;
            const QString motivo = LeeFila(registro, *columnas);
            if (!motivo.isEmpty())
                lectura.rechazos.push_back({registro.linea, motivo});
        }
        if (!columnas)
            throw ErrorTalvex(Intercambio::ArchivoNoValido,
                              QStringLiteral("El archivo está vacío: un registro de repasos "
                                             "empieza por la línea «%1».")
                                  .arg(CabeceraRegistro));
        return std::move(lectura);
    }

private:
    // Why the row cannot be taken, or nothing when it was added to its card's group.
    QString LeeFila(const Csv::Registro& registro, const std::array<int, NumColumnas>& columnas)
    {
        if (registro.comillasRotas)
            return QStringLiteral("comillas sin cerrar");
        auto campo = [&](Columna c) { return registro.campos.value(columnas[c]); };
        const auto idArchivo = LeeEntero(campo(ColTarjeta));
        if (!idArchivo)
            return QStringLiteral("card_id no es un número entero");
        const auto momento = LeeEntero(campo(ColMomento));
        if (!momento)
            return QStringLiteral("la hora del repaso no es un número de milisegundos (UTC)");
        if (*momento < Ano2000)
            return QStringLiteral("la hora del repaso es anterior al año 2000 (¿está en segundos "
                                  "y no en milisegundos?)");
        if (*momento > ahora)
            return QStringLiteral("la hora del repaso es posterior a este momento");
        const auto calificacion = LeeEntero(campo(ColCalificacion));
        if (!calificacion || *calificacion < 1 || *calificacion > 4)
            return QStringLiteral("la calificación «%1» no está entre 1 y 4")
                .arg(campo(ColCalificacion));
        const auto estado = LeeEntero(campo(ColEstado));
        if (!estado || *estado < 0 || *estado > 3)
            return QStringLiteral("el estado «%1» no está entre 0 y 3").arg(campo(ColEstado));
        const auto duracion = LeeEntero(campo(ColDuracion));
        if (!duracion || *duracion < 0)
            return QStringLiteral("la duración «%1» no es un número de milisegundos")
                .arg(campo(ColDuracion));
        const QString ingles = campo(ColItem);
        if (ingles.trimmed().isEmpty())
            return QStringLiteral("falta el ítem");
        const qint64 item = FilaDeItem(ingles);
        if (item == 0)
            return QStringLiteral("el ítem «%1» no está en el vocabulario").arg(ingles);
        const auto tipo = TipoDeNombre(campo(ColTipo).trimmed());
        if (!tipo)
            return QStringLiteral("la dirección «%1» no es ing-esp, esp-ing ni dictado")
                .arg(campo(ColTipo));

        const qint64 clave = item * 4 + static_cast<int>(*tipo);
        auto grupo = grupos.constFind(clave);
        if (grupo == grupos.cend()) {
            grupo = grupos.insert(clave, lectura.grupos.size());
            lectura.grupos.push_back({item, *tipo, *idArchivo, 0, std::nullopt, {}});
        }
        Evento evento;
        evento.momento = *momento;
        evento.calificacion = Calificacion(*calificacion);
        evento.linea = registro.linea;
        evento.duracion = *duracion;
        lectura.grupos[*grupo].eventos.push_back(evento);
        return {};
    }

    // The item's row, found by its key as the store finds items; 0 when it has none.
    qint64 FilaDeItem(const QString& ingles)
    {
        const auto visto = items.constFind(ingles);
        if (visto != items.cend())
            return *visto;
        auto fila = base.ConexionAbierta().Prepara("SELECT rowid FROM ITEMS WHERE CLAVEITEM = ?1");
        fila.Enlaza(1, CalculaClaveOrden(ingles));
        const qint64 item = fila.Avanza() ? fila.Entero(0) : 0;
        items.insert(ingles, item);
        return item;
    }

    const BaseVocabulario& base;
    qint64 ahora;
    Lectura lectura;
    QHash<QString, qint64> items; // English text as written → its row (0: none)
    QHash<qint64, size_t> grupos; // item row and kind → its group
};

// ---------------------------------------------------------------------------------------
// Replaying a card's log

bool MismasCifras(const RegistroRepaso& a, const RegistroRepaso& b)
{
    return a.estadoAntes == b.estadoAntes && a.diasTranscurridos == b.diasTranscurridos &&
           a.diasProgramados == b.diasProgramados &&
           a.memoria.estabilidad == b.memoria.estabilidad &&
           a.memoria.dificultad == b.memoria.dificultad;
}

// Orders the card's reviews by time (the log's before the file's at the same moment) and drops
// the file's that repeat one before it (same time, same rating). Returns how many it dropped.
int OrdenaYQuitaRepetidos(std::vector<Evento>& eventos)
{
    std::sort(eventos.begin(), eventos.end(), [](const Evento& a, const Evento& b) {
        return std::tuple(a.momento, a.calificacion, !a.guardado(), a.delLog, a.linea) <
               std::tuple(b.momento, b.calificacion, !b.guardado(), b.delLog, b.linea);
    });
    const auto repite = [](const Evento& antes, const Evento& e) {
        return !e.guardado() && e.momento == antes.momento && e.calificacion == antes.calificacion;
    };
    const auto fin = std::unique(eventos.begin(), eventos.end(), repite);
    const int quitados = static_cast<int>(eventos.end() - fin);
    eventos.erase(fin, eventos.end());
    return quitados;
}

// The card after its whole log, answer by answer from new, as practice scheduled it, and each
// review as that answer gave it. The card keeps its id all along: the fuzz depends on it.
Tarjeta RepiteHistoria(const Programador& programador, qint64 id, Tipo tipo,
                       const std::vector<Evento>& eventos,
                       const std::vector<RegistroRepaso>& delLog,
                       std::vector<RegistroRepaso>& repasos)
{
    Tarjeta tarjeta;
    tarjeta.id = id;
    repasos.clear();
    for (const Evento& e : eventos) {
        const Tarjeta despues = programador.Programa(tarjeta, e.calificacion, e.momento);
        RegistroRepaso r =
            FilaDeRespuesta(tarjeta, despues, e.calificacion, e.momento, programador.Calendario());
        // A stored review keeps its own duration, mode and kind (and its row).
        const RegistroRepaso propio = e.guardado() ? delLog[size_t(e.delLog)] : RegistroRepaso{};
        r.fila = propio.fila;
        r.duracion = e.guardado() ? propio.duracion : e.duracion;
        r.tipo = e.guardado() ? propio.tipo : tipo;
        r.modo = e.guardado()            ? propio.modo
                 : tipo == Tipo::Dictado ? Modo::Dictado
                                         : Modo::Tarjetas;
        tarjeta = despues;
        repasos.push_back(r);
    }
    return tarjeta;
}

// Stored reviews get the figures of the replay: a review added before them changes what they
// did to the card.
void CorrigeGuardado(ConexionSqlite& conexion, const RegistroRepaso& r)
{
    conexion
        .Prepara("UPDATE REPASOS SET ESTADO = ?2, DIASTRANSCURRIDOS = ?3, DIASPROGRAMADOS = ?4, "
                 "ESTABILIDAD = ?5, DIFICULTAD = ?6 WHERE rowid = ?1")
        .Enlaza(1, r.fila)
        .Enlaza(2, qint64(r.estadoAntes))
        .Enlaza(3, qint64(r.diasTranscurridos))
        .Enlaza(4, qint64(r.diasProgramados))
        .EnlazaReal(5, r.memoria.estabilidad)
        .EnlazaReal(6, r.memoria.dificultad)
        .Ejecuta();
}

// The ids of the cards about to be made. The fuzz of a card's intervals depends on its id, so a
// card keeps the card_id of the file where this file never used that id (a log taken into a new
// file then gives the same days, even where cards of deleted words left gaps); the rest get the
// next ids free, in the order they were first answered, as practice gives them.
void DaIds(const std::vector<Grupo*>& grupos, qint64 proximoId)
{
    QSet<qint64> tomados;
    qint64 libre = proximoId;
    std::vector<Grupo*> sinId;
    for (Grupo* g : grupos) {
        if (g->guardada) {
            g->id = g->guardada->tarjeta.id;
        } else if (g->idArchivo >= proximoId && !tomados.contains(g->idArchivo)) {
            g->id = g->idArchivo;
            tomados.insert(g->id);
            libre = std::max(libre, g->id + 1);
        } else {
            sinId.push_back(g);
        }
    }
    std::stable_sort(sinId.begin(), sinId.end(), [](const Grupo* a, const Grupo* b) {
        return a->eventos.front().momento < b->eventos.front().momento;
    });
    for (Grupo* g : sinId)
        g->id = libre++;
}

} // namespace

// ---------------------------------------------------------------------------------------

QByteArray ExportaRegistro(const AlmacenRepasos& almacen)
{
    QHash<qint64, QString> ingles;
    almacen.RecorreTarjetas([&](const TarjetaItem& t) { ingles.insert(t.tarjeta.id, t.ingles); });
    QByteArray bytes;
    QString texto = CabeceraRegistro + QLatin1String("\r\n");
    almacen.RecorreRepasos([&](const RegistroRepaso& r) {
        Csv::AgregaRegistro(texto,
                            {QString::number(r.tarjeta), QString::number(r.momento),
                             QString::number(static_cast<int>(r.calificacion)),
                             QString::number(static_cast<int>(r.estadoAntes)),
                             QString::number(r.duracion), ingles.value(r.tarjeta),
                             NombreTipo(r.tipo)},
                            Coma);
        Vuelca(texto, bytes, false);
    });
    Vuelca(texto, bytes, true);
    return bytes;
}

QByteArray ExportaTarjetas(const AlmacenRepasos& almacen, std::optional<QTimeZone> zona)
{
    std::vector<std::pair<QByteArray, TarjetaItem>> tarjetas;
    almacen.RecorreTarjetas(
        [&](const TarjetaItem& t) { tarjetas.emplace_back(CalculaClaveOrden(t.ingles), t); });
    std::sort(tarjetas.begin(), tarjetas.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second.tipo) < std::tie(b.first, b.second.tipo);
    });
    const Dias dias(std::move(zona));
    QByteArray bytes;
    QString texto = CabeceraTarjetas + QLatin1String("\r\n");
    for (const auto& [clave, t] : tarjetas) {
        const Tarjeta& c = t.tarjeta;
        const qint64 vence =
            c.estado == Estado::Repaso ? dias.InicioDia(dias.DiaDe(c.vence)) : c.vence;
        Csv::AgregaRegistro(texto,
                            {t.ingles, NombreTipo(t.tipo), NombreEstado(c.estado), Iso8601(vence),
                             QString::number(c.memoria.estabilidad, 'f', 6),
                             QString::number(c.memoria.dificultad, 'f', 6),
                             QString::number(c.repeticiones), QString::number(c.olvidos)},
                            Coma);
        Vuelca(texto, bytes, false);
    }
    Vuelca(texto, bytes, true);
    return bytes;
}

ImportacionRepasos ImportaRegistro(AlmacenRepasos& almacen, const QByteArray& datos, qint64 ahora,
                                   std::optional<QTimeZone> zona)
{
    BaseVocabulario& base = almacen.Base();
    const Programador programador(LeeAjustesRepaso(base).ParametrosProgramador(), zona);
    ImportacionRepasos resultado;
    base.EscribeAparte([&](ConexionSqlite& conexion) {
        // Read inside the transaction, so that the items and cards cannot change underneath.
        Lectura lectura = LectorRegistro(base, ahora).Lee(datos);
        resultado = {};
        resultado.filasLeidas = lectura.filasLeidas;
        resultado.rechazos = std::move(lectura.rechazos);
        std::vector<Grupo>& grupos = lectura.grupos;

        // The log of the cards already stored joins the file's.
        QHash<qint64, size_t> deTarjeta;
        std::vector<RegistroRepaso> delLog;
        for (size_t i = 0; i < grupos.size(); ++i) {
            grupos[i].guardada = almacen.LocalizaTarjeta(grupos[i].item, grupos[i].tipo);
            if (grupos[i].guardada)
                deTarjeta.insert(grupos[i].guardada->tarjeta.id, i);
        }
        if (!deTarjeta.isEmpty())
            almacen.RecorreRepasos([&](const RegistroRepaso& r) {
                const auto grupo = deTarjeta.constFind(r.tarjeta);
                if (grupo == deTarjeta.cend())
                    return;
                Evento e;
                e.momento = r.momento;
                e.calificacion = r.calificacion;
                e.delLog = static_cast<int>(delLog.size());
                delLog.push_back(r);
                grupos[*grupo].eventos.push_back(e);
            });

        // The cards with a review to add, each with its reviews in order, repeats dropped.
        std::vector<Grupo*> cambiados;
        for (Grupo& g : grupos) {
            const int quitados = OrdenaYQuitaRepetidos(g.eventos);
            resultado.repetidos += quitados;
            const bool agrega = std::any_of(g.eventos.begin(), g.eventos.end(),
                                            [](const Evento& e) { return !e.guardado(); });
            if (agrega)
                cambiados.push_back(&g);
        }
        DaIds(cambiados, almacen.ProximoIdTarjeta());

        std::vector<RegistroRepaso> nuevos, repasos;
        size_t cuantosNuevos = 0;
        for (const Grupo* g : cambiados)
            cuantosNuevos += size_t(std::count_if(g->eventos.begin(), g->eventos.end(),
                                                  [](const Evento& e) { return !e.guardado(); }));
        nuevos.reserve(cuantosNuevos);
        for (Grupo* g : cambiados) {
            TarjetaItem tarjeta = g->guardada.value_or(TarjetaItem{});
            if (!g->guardada) {
                tarjeta.item = g->item;
                tarjeta.tipo = g->tipo;
                ++resultado.tarjetasNuevas;
            }
            tarjeta.tarjeta =
                RepiteHistoria(programador, g->id, g->tipo, g->eventos, delLog, repasos);
            almacen.EscribeTarjeta(conexion, tarjeta);
            ++resultado.tarjetasRecalculadas;
            for (size_t k = 0; k < repasos.size(); ++k) {
                const Evento& e = g->eventos[k];
                if (!e.guardado())
                    nuevos.push_back(repasos[k]);
                else if (!MismasCifras(repasos[k], delLog[size_t(e.delLog)]))
                    CorrigeGuardado(conexion, repasos[k]);
            }
        }
        // The log stays in the order the answers were given.
        std::stable_sort(
            nuevos.begin(), nuevos.end(),
            [](const RegistroRepaso& a, const RegistroRepaso& b) { return a.momento < b.momento; });
        for (const RegistroRepaso& r : nuevos)
            almacen.AgregaRepaso(conexion, r);
        resultado.agregados = static_cast<int>(nuevos.size());
    });
    return resultado;
}

} // namespace Repaso
