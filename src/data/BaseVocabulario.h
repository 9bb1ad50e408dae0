#pragma once
// The vocabulary database "TALVEXV20.MDB": two tables, TEMAS and ITEMS, in an SQLite file.
// Keys (topic names, English texts) are equal and ordered by the Spanish collation that
// ignores case and keeps accents ("house" = "HOUSE", "a" ≠ "á", ñ after every n-word).
// Every failure throws ErrorTalvex.
#include "data/ErrorTalvex.h"
#include "data/EsquemaVocabulario.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct sqlite3;
class ConexionSqlite;

struct Tema {
    QString NOMBRETEMA;
    QString NOTASTEMA;
    bool operator==(const Tema&) const = default;
};

struct Item {
    QString ITEMING;
    QString ITEMESP;
    QString NOMBRETEMA;
    QString NOTASITEM;
    bool operator==(const Item&) const = default;
};

inline const QString SinCategoria = QStringLiteral("Sin categoría");
// The longest texts the vocabulary takes, in characters: an item's English, Spanish and topic,
// and a topic's name. The editors stop the typing there and the import refuses longer rows.
inline constexpr int LargoMaximoTexto = 100;
inline constexpr int LargoMaximoNombreTema = 50;

// What confirmed writes changed, for whoever keeps a copy of the store's contents: the English
// texts of the items added, edited (before and after) or deleted; topics renamed with their
// items, in order; whether the topic table changed. An item named here is to be read again as
// the store has it now (it may be gone).
struct CambiosVocabulario {
    std::vector<QString> items;
    std::vector<std::pair<QString, QString>> temasDeItems; // CambiaTemaItems(antes, despues)
    bool temas = false;
};

class BaseVocabulario {
public:
    BaseVocabulario();
    ~BaseVocabulario();
    BaseVocabulario(const BaseVocabulario&) = delete;
    BaseVocabulario& operator=(const BaseVocabulario&) = delete;

    // Creates a new, empty vocabulary file; refuses (ErrorTalvex 58) when the path exists.
    static void CreaVacia(const QString& ruta);

    // Opens an existing file for reading and writing; never creates one. A file that is not
    // a sound vocabulary database (not SQLite, another program's, damaged, missing table)
    // throws ErrorTalvex(BaseNoValida) with a Spanish description and is left untouched;
    // the object then stays closed.
    void Abre(const QString& ruta);
    // `nivel` Completa also looks every row up in every index (for a file about to be
    // written by a tool).
    void Abre(const QString& ruta, Comprobacion nivel);
    // The same, except for the one check that reads every page of the file: it runs on a
    // connection and a thread of its own while the caller goes on reading, and the file
    // refuses writes until it has been found sound. That check is the whole one when the file
    // is small enough (TamanoComprobacionCompletaAlIniciar). TerminaComprobacion waits for
    // it; on a damaged file it closes the object and throws what Abre would have thrown. When
    // the only faults lie in indexes it keeps the file open, unwritable, and returns what
    // they are ("está dañado (…)."): ReconstruyeIndices may mend it then. A sound file gives
    // an empty text. Every write waits for the check too.
    void AbreComprobandoAparte(const QString& ruta);
    QString TerminaComprobacion();
    // Rebuilds every index from its table's rows (REINDEX) in one transaction and checks the
    // file whole again; the file may be written from then on. Throws, and closes the object,
    // when the file is still not sound.
    void ReconstruyeIndices();
    void Cierra();
    bool EstaAbierta() const;

    // Walks visit nothing when the tables are not open; every other operation throws
    // ErrorTalvex(TablaNoAbierta) then.
    void RecorreTemas(const std::function<void(const Tema&)>& visita) const;
    int CuentaTemas() const;
    std::optional<Tema> LocalizaTema(const QString& nombre) const;
    void AgregaTema(const Tema& tema);
    void ModificaTema(const QString& nombreAnterior, const Tema& tema);
    void EliminaTema(const QString& nombre);

    void RecorreItems(const std::function<void(const Item&)>& visita) const;
    // The English and Spanish texts of every item, in key order: what the item index shows.
    // Given as stored (UTF-8) and valid only during the call: a million are read at start-up.
    void RecorreFilasItems(
        const std::function<void(QByteArrayView ingles, QByteArrayView espanol)>& visita) const;
    // The items whose topic is exactly (same case) `tema`, in key order.
    void RecorreItemsDeTema(const QString& tema,
                            const std::function<void(const Item&)>& visita) const;
    std::optional<Item> LocalizaItem(const QString& ingles) const;
    void AgregaItem(const Item& item);
    void ModificaItem(const QString& ingles, const Item& item);
    void EliminaItem(const QString& ingles);
    // Every item whose topic is exactly (same case) nombreAnterior gets nombreNuevo.
    // Returns how many rows changed.
    int CambiaTemaItems(const QString& nombreAnterior, const QString& nombreNuevo);

    // The vocabulary's rules for topics, each one transaction. A topic saved under another
    // name takes its items along (a topic the table lacks but items name is only their rename);
    // a deleted topic's items stay, under SinCategoria.
    void RenombraTema(const QString& nombreAnterior, const Tema& tema);
    void EliminaTemaConservandoItems(const QString& nombre);

    // The program's own settings, kept in the file (TALVEXMETA) so that they go with the
    // vocabulary and its copies: nothing when never saved.
    std::optional<QString> LeeAjuste(const QString& clave) const;
    void GuardaAjuste(const QString& clave, const QString& valor);

    // Runs cuerpo as one transaction: all its writes land or none does (nests).
    void EnTransaccion(const std::function<void()>& cuerpo);

    // After start-up's walks: the page cache that the opening check filled with the whole file
    // goes back to SQLite's usual size (the operating system keeps the file cached anyway).
    void ReduceCache();

    // Grows with every confirmed write (and with every opening): whoever keeps a copy of the
    // store's contents (the search index) knows when it is out of date.
    quint64 Escrituras() const;
    // What the writes after `escrituras` (an earlier value of Escrituras) changed; none when
    // that is no longer known: another file was opened, a transaction was undone, or too many
    // writes have passed since.
    std::optional<CambiosVocabulario> CambiosDesde(quint64 escrituras) const;
    // True once a write has been committed to the file opened last (not by its opening).
    bool Cambiada() const;

    sqlite3* Conexion() const; // for tools and tests that read the file directly

    // For practice's store, which keeps its own tables in the file. The writes run in one
    // transaction, only on a file known sound, and mark the file changed; they do not count
    // as writes of the vocabulary (Escrituras), which they leave as it was.
    void EscribeAparte(const std::function<void(ConexionSqlite&)>& cambio);
    ConexionSqlite& ConexionAbierta() const;

private:
    void AbreCon(const QString& ruta, bool aparte, Comprobacion nivel);
    struct Datos;
    std::unique_ptr<Datos> d;
};

// Walks the topics, then the items in key order, of the vocabulary file at `ruta` on a read-only
// connection of its own: for a thread other than the store's, while the store may be written.
// The items are read a few thousand at a time, each piece in a read of its own, so a write never
// waits long; a piece may therefore see writes the one before did not. `sigue` is asked before
// each piece: false stops the walk, which then returns false.
bool RecorreVocabularioAparte(const QString& ruta, const std::function<void(const Tema&)>& temas,
                              const std::function<void(const Item&)>& items,
                              const std::function<bool()>& sigue);

// Creates "TalvexReport.mdb": the report scratch table INFORME1(CAMPO1, CAMPO2, CAMPO3).
// Refuses (ErrorTalvex 58) when the path exists.
void CreaBaseReporte(const QString& ruta);
