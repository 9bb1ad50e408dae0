#pragma once
// Search everywhere: the English and Spanish texts, the topic and the notes of every item,
// and the topic names, without regard to case or accents ("cancion" finds "canción", "nino"
// finds "niño"), forgiving typos (one or two letters wrong, missing, extra or swapped). The
// index lives in memory: built whole from the store once, then changed row by row by what the
// store's writes changed (BaseVocabulario::CambiosDesde). No widgets here.
#include "data/BaseVocabulario.h"

#include <QString>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <vector>

namespace Busqueda {

// Case folded and accents removed (ICU), so that both sides of a comparison read alike:
// "Canción" → "cancion", "Niño" → "nino", "Straße" → "strasse".
QString Pliega(QStringView texto);

enum class Lugar { Ingles, Espanol, Tema, Notas };

struct Hallazgo {
    QString ingles; // the item's English text; empty when the result is a topic
    QString espanol;
    QString tema; // the item's topic, or the topic found
    bool esTema = false;
    Lugar lugar = Lugar::Ingles; // where it matched
    bool cercano = false;        // a near match, shown as "¿Quiso decir…?"
    QString palabra;             // for a near match: the stored word it is near to
    QString fragmento;           // a short piece (at most about 60 characters) of the text
    int inicio = 0;              // where it matched, with the match at [inicio, inicio + largo)
    int largo = 0;
};

class Indice {
public:
    Indice();
    ~Indice();
    Indice(Indice&&) noexcept;
    Indice& operator=(Indice&&) noexcept;
    // Reads every item and topic of the store, notes included.
    void Construye(const BaseVocabulario& base);
    // Built, and the store has not been written since (BaseVocabulario::Escrituras).
    bool AlDia(const BaseVocabulario& base) const;
    // Brings the index up to the store: only the rows the writes since changed are read
    // again; the whole store when the index was built from another or the changes are no
    // longer known.
    void Actualiza(const BaseVocabulario& base);

    // Up to `maximo` results, best first: the English or Spanish text equal to the query (an
    // exact match with its accents before one without), then beginning with it, then a word
    // inside English, Spanish or topic beginning with it, then the notes; topics whose name
    // matches rank with items at the same level. Every word of a query of several words must
    // match somewhere. Near matches follow only when fewer than 5 exact results were found,
    // for words of 3 letters or more (one edit up to 5 letters, two from 6; two letters swapped
    // are one edit, and so is a missing blank: "icecream" finds "ice cream"). They rank by how
    // much of the query they match: more query words matched exactly, then the smaller total
    // of edits, then the text nearer the query in length. An empty or blank query gives
    // nothing; any characters are plain text (no wildcards, no syntax). A result found in the
    // notes reads them as written from the store the index was built from, which must still
    // be there; when that store was written since, its piece is of the folded notes.
    std::vector<Hallazgo> Busca(const QString& consulta, int maximo = 100) const;
    // Where a search changes its way for a large vocabulary, the same results either way:
    // from how many bytes of notes it looks through them in two halves at once, on two
    // threads, and after how many items asked whether they hold the other words of the query
    // it marks all those that do at once, for every 2 MiB of notes (marking searches them
    // all). The tests lower them to see both ways agree.
    struct Umbrales {
        size_t partirNotas = size_t{8} << 20;
        size_t marcarTras = 2000;
    };
    static void PonUmbrales(Umbrales umbrales);

private:
    friend class IndiceAparte;
    friend class Consulta;
    // Walks the topics, then the items in key order, through the two visits; false when it
    // stopped before the end.
    using Recorrido = std::function<bool(const std::function<void(const Tema&)>&,
                                         const std::function<void(const Item&)>&)>;
    bool ConstruyeCon(const BaseVocabulario* base, quint64 escrituras, const Recorrido& recorre);
    struct Datos;
    std::unique_ptr<Datos> d;
};

// The index of the store's file built on a thread of its own, from a connection of its own,
// while the program goes on and the store may be written: Actualiza then reads again what
// those writes changed.
class IndiceAparte {
public:
    // On the store's thread: takes the file and the store's count of writes.
    explicit IndiceAparte(const BaseVocabulario& base);
    // Stops the building and waits for it.
    ~IndiceAparte();
    IndiceAparte(const IndiceAparte&) = delete;
    IndiceAparte& operator=(const IndiceAparte&) = delete;
    bool Hecho() const;
    // Waits for it and gives the index (an empty one when the file could not be read).
    Indice Toma();

private:
    std::atomic<bool> sigue_{true};
    std::future<Indice> hecho_;
};

} // namespace Busqueda
