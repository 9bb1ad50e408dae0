#pragma once
// Practice's store: the cards (one per item and kind, made when first answered) and the log
// of every answer, in the vocabulary file (TARJETAS and REPASOS). Each answer is written in one
// transaction, card and review row together, so the card always agrees with its log. Every
// failure throws ErrorTalvex.
#include "repaso/Programador.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class BaseVocabulario;
class ConexionSqlite;

namespace Repaso {

// What a card asks: the English shown and the Spanish recalled, the other way round, or the
// English heard and typed.
enum class Tipo { IngEsp = 1, EspIng = 2, Dictado = 3 };
// How it was answered: by showing the answer and rating it, by typing it, by ear.
enum class Modo { Tarjetas = 1, Escrito = 2, Dictado = 3 };

// "ing-esp", "esp-ing", "dictado"; TipoDeNombre gives nothing for another text.
QString NombreTipo(Tipo tipo);
std::optional<Tipo> TipoDeNombre(const QString& nombre);

// A card with the item it asks about. `tarjeta.id` is 0 for a new word never answered until
// the session gives it the id it will be stored with (ProximoIdTarjeta): the fuzz of its first
// interval depends on it.
struct TarjetaItem {
    Tarjeta tarjeta;
    Tipo tipo = Tipo::IngEsp;
    qint64 item = 0; // the item's row
    QString ingles, espanol, tema, notas;
    bool guardada = false; // the card is in the file
};

// One row of the log.
struct RegistroRepaso {
    qint64 fila = 0;    // the row, 0 before it is stored
    qint64 tarjeta = 0; // the card's id (the card may be gone with its item)
    qint64 momento = 0; // UTC ms
    Calificacion calificacion = Calificacion::Bien;
    Estado estadoAntes = Estado::Nueva;
    int diasTranscurridos = 0;
    int diasProgramados = 0;
    Memoria memoria;     // after the answer
    qint64 duracion = 0; // ms spent answering
    Modo modo = Modo::Tarjetas;
    Tipo tipo = Tipo::IngEsp;
};

// The review row of answering `c` at `ahora`: what the card was before and became after (its
// elapsed days counted by `dias`, none for a new card). Duration, mode and kind are the
// caller's.
RegistroRepaso FilaDeRespuesta(const Tarjeta& antes, const Tarjeta& despues, Calificacion c,
                               qint64 ahora, const Dias& dias);

// What undoing an answer needs: the card as it was, and the review row.
struct RespuestaGuardada {
    TarjetaItem antes;
    qint64 filaRepaso = 0;
};

// What to practise: every item or one topic's (exactly that name), of these kinds.
struct Eleccion {
    std::optional<QString> tema;
    std::vector<Tipo> tipos{Tipo::IngEsp, Tipo::EspIng};
};

class AlmacenRepasos {
public:
    explicit AlmacenRepasos(BaseVocabulario& base);

    // Saves an answer in one transaction: the card after it (made when `antes` was not stored
    // yet, with the id `despues` has) and its review row. Returns what undoing it needs.
    RespuestaGuardada GuardaRespuesta(const TarjetaItem& antes, const Tarjeta& despues,
                                      const RegistroRepaso& repaso);
    // Puts the card back as it was (removes it when the answer made it) and removes the
    // review row, in one transaction.
    void DeshaceRespuesta(const RespuestaGuardada& respuesta);
    // The id the next card made will get (ids are never reused).
    qint64 ProximoIdTarjeta() const;

    // Stored cards of the choice due before `hasta` (UTC ms), in no order, without their
    // items' texts (a backlog may hold many thousands): CompletaItem reads those of the ones
    // that will be shown.
    void RecorreVencidas(const Eleccion& eleccion, qint64 hasta,
                         const std::function<void(const TarjetaItem&)>& visita) const;
    void CompletaItem(TarjetaItem& tarjeta) const;
    // How many stored cards of the choice are due before `hasta`, by state (indexed by Estado).
    std::array<int, 4> CuentaVencidas(const Eleccion& eleccion, qint64 hasta) const;
    // Up to `cuantas` items of the choice that have no card of `tipo` yet, in the order they
    // were added (oldest first), as new cards (id 0).
    std::vector<TarjetaItem> Nuevas(const Eleccion& eleccion, Tipo tipo, int cuantas) const;
    // Cards first answered, and review-state answers given, since `desde` (UTC ms): what the
    // day's limits have already used.
    int CuentaIntroducidas(qint64 desde) const;
    int CuentaRepasadas(qint64 desde) const;
    // Items (rows) with an answer of any kind since `desde`: their other kinds wait for
    // tomorrow.
    std::vector<qint64> ItemsRespondidos(qint64 desde) const;

    // The whole log in the order it was written, and every card with its item.
    void RecorreRepasos(const std::function<void(const RegistroRepaso&)>& visita) const;
    void RecorreTarjetas(const std::function<void(const TarjetaItem&)>& visita) const;
    // The card of an item and kind, if stored.
    std::optional<TarjetaItem> LocalizaTarjeta(qint64 item, Tipo tipo) const;

    // For the import of a log, inside the caller's transaction (BaseVocabulario::EscribeAparte):
    // the card stored as given (made with a new id when `tarjeta.id` is 0; its id returned),
    // and a review row added.
    qint64 EscribeTarjeta(ConexionSqlite& conexion, const TarjetaItem& tarjeta);
    void AgregaRepaso(ConexionSqlite& conexion, const RegistroRepaso& repaso);

    BaseVocabulario& Base() const { return base; }

private:
    BaseVocabulario& base;
    // Every item up to this row has a card of the kind: the search for new words starts after
    // it. Known only while the vocabulary is unchanged (another file opened, items added).
    qint64& SinTarjetaDesde(Tipo tipo) const;
    mutable qint64 sinTarjetaDesde[4] = {0, 0, 0, 0};
    mutable quint64 escriturasPista = 0;
};

} // namespace Repaso
