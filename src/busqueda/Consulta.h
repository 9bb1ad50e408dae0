#pragma once
// One search of the index, stage by stage: the query folded and split into words; the topics
// and items whose English or Spanish is the query or begins with it; those holding a word that
// begins with its first word; the notes; then, when those are few, the near matches ("¿Quiso
// decir…?"), ranked; and last the results read back from the original texts. One object a
// search, on the thread that asks.
#include "busqueda/IndiceDatos.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace Busqueda {

class Consulta {
public:
    // Up to maximo results (at least 1) from the index given, which must outlive the search.
    Consulta(const Indice::Datos& indice, int maximo);
    Consulta(const Consulta&) = delete;
    Consulta& operator=(const Consulta&) = delete;

    // Folds the query and splits it into words; false when it is empty or blank.
    bool Lee(const QString& consulta);
    // Of several words, the rarest decides beforehand which items can hold them all.
    void AcotaPosibles();
    // The level of each topic of the table: its name equal to the query with its accents (0)
    // or without (1), beginning with it (2), or holding a word that begins with the first
    // query word and words beginning with the others (3).
    void NivelaTemas();
    // The items whose English or Spanish is the query, and those that begin with it.
    void MarcaPrincipios();
    // Topics and items equal to the query, those with its accents first, then those beginning
    // with it.
    void AgregaPrincipios();
    // Topics and items holding a word that begins with the first query word.
    void AgregaPalabras();
    // Items whose notes hold the query, or for several words its first at a word beginning.
    void AgregaNotas();
    // The near matches, when fewer than 5 results were found.
    void AgregaCercanas();
    // The results, with their places in the original texts.
    std::vector<Hallazgo> Hallazgos() const;

private:
    using Datos = Indice::Datos;
    using Lugares = std::vector<uint32_t>::const_iterator;

    // An item's level while the search goes on.
    static constexpr uint8_t Tomado = 0;       // among the results
    static constexpr uint8_t Empieza = 1;      // English or Spanish beginning with the query
    static constexpr uint8_t EsIgual = 50;     // English or Spanish equal to it, not yet taken
    static constexpr uint8_t ConPalabra = 100; // a word beginning with the first query word
    static constexpr uint8_t Descartado = 254; // matched the first word but not every other
    static constexpr uint8_t SinNivel = 255;

    // One result before it becomes a Hallazgo: offsets are in the folded field.
    struct Encontrado {
        bool esTema = false;
        uint32_t id = 0; // item or topic
        Lugar lugar = Lugar::Ingles;
        int32_t inicio = 0, largo = 0;
        bool cercano = false;
    };
    // An item's English and Spanish, read once for all the words asked of it in a row.
    struct Leidos {
        std::string_view ingles, espanol;
        bool ya = false;
    };
    // A stored word within one or two edits of a query word, or two stored words typed
    // without the blank between them.
    static constexpr uint32_t SinSegunda = UINT32_MAX;
    struct Cerca {
        uint32_t palabra;
        uint32_t segunda; // the word typed joined to it, or SinSegunda
        uint32_t termino;
        uint32_t distancia;
    };
    // An item or topic holding a near word, with the fewest edits for each query word.
    struct Estado {
        uint32_t donde;          // item, or topic with MarcaTema
        uint32_t cerca;          // its nearest near match, shown
        bool espanol;            // and whether that is in the Spanish text
        uint64_t distancias = 0; // 2 bits a query word: the edits of its nearest word
        uint32_t exactas = 0;    // a bit a query word: a word begins with it
    };
    // Where a near match ranks.
    struct Puesto {
        int exactas = 0, distancia = 0;
        int32_t desvio = 0, texto = 0; // how far the text's length is from the query's
        uint32_t estado = 0;
    };

    bool Lleno() const { return encontrados_.size() >= limite_; }
    void AgregaItem(uint32_t item, Lugar lugar, int32_t inicio, int32_t largo)
    {
        nivel_[item] = Tomado;
        encontrados_.push_back({false, item, lugar, inicio, largo, false});
    }
    void AgregaTema(uint32_t tema, int32_t inicio, int32_t largo)
    {
        temaVisto_[tema] = 1;
        encontrados_.push_back({true, tema, Lugar::Tema, inicio, largo, false});
    }
    std::span<const uint32_t> UsosDe(uint32_t palabra) const
    {
        const Datos::Usos& usos = indice_.usosDe[palabra];
        return std::span<const uint32_t>(indice_.PrimerUso(usos), usos.cuenta);
    }
    std::pair<Lugares, Lugares> PalabrasQueEmpiezan(std::string_view principio) const;
    // An item's mark for a query word: it holds the word, or its texts must say.
    static constexpr uint8_t Cierta = 1, PorLeer = 2;
    bool MarcaDelIndice(std::string_view principio, std::vector<uint8_t>& marcas,
                        uint8_t marca) const;
    const Datos::BuscaEnNotas& EnNotas(std::string_view buscado, bool alInicio);
    template <typename Visita>
    void RecorreNotas(std::string_view buscado, bool alInicio, Visita&& visita);
    std::shared_ptr<const std::vector<uint32_t>> NotasConPrincipio(std::string_view termino);
    size_t PreguntasAntesDeMarcar(size_t termino);
    bool TodasMarcadas() const;
    void Marca(size_t termino);
    bool Tiene(uint32_t item, size_t termino, Leidos& leidos);
    bool TieneResto(uint32_t item);
    bool TemaTieneResto(uint32_t tema) const;
    bool ConAcentos(const QString& texto) const;
    void AgregaTemas(uint8_t nivel);
    Lugar LugarDelPrincipio(uint32_t item) const;
    void MiraPrimeraPalabra(uint32_t item);
    bool MiraNotas(uint32_t item, bool enNotas);
    Hallazgo HallazgoDe(const Encontrado& encontrado) const;

    // The near matches' stages: the near words, the items and topics holding them, the query
    // words they hold exactly, their ranks, and the best of them among the results.
    void ReuneCercanas();
    void ReuneJuntas(uint32_t termino);
    void ReuneCandidatos();
    uint32_t CuentaExactas();
    std::vector<Puesto> Puntua(uint32_t porTexto);
    void AgregaMejores(std::vector<Puesto>& puestos);
    uint32_t PalabraIgual(std::string_view palabra) const;
    uint32_t CuantosUsos(uint32_t palabra) const { return indice_.usosDe[palabra].cuenta; }
    std::pair<std::string_view, std::string_view> TextosDe(uint32_t donde) const;
    std::pair<int32_t, int32_t> LocalizaCercana(const Cerca& cerca, std::string_view campo,
                                                bool ingles) const;
    int32_t LargoDe(uint32_t donde, bool espanol) const;

    const Datos& indice_;
    const size_t limite_;
    const uint32_t items_; // slots of items
    const uint32_t cuantosTemas_;

    QString consultaLimpia_;                 // as typed, without blanks around it
    std::string plegada_;                    // folded
    std::vector<std::string_view> terminos_; // its words, in plegada_
    bool variasPalabras_ = false;
    QString exactaConAcentos_; // case folded only

    std::vector<Encontrado> encontrados_;
    std::vector<uint8_t> nivel_;     // by item
    std::vector<uint8_t> temaVisto_; // by topic: among the results
    std::vector<uint8_t> nivelTema_; // by topic
    // (0 with accents, 1 without), place in key order, item: those equal to the query.
    std::vector<std::tuple<int, uint32_t, uint32_t>> iguales_;

    // What the notes' words say of a query word, worked out once for the search.
    std::vector<std::unique_ptr<Datos::BuscaEnNotas>> preparadas_;
    // Of several words, the items that can hold them all, when the rarest word decided them;
    // and, unless a topic's name holds that word, the list of them in key order.
    std::vector<uint8_t> posibles_;
    std::vector<uint32_t> listaPosibles_;
    bool hayLista_ = false;
    // By query word, the items holding a word that begins with it, once they are all marked.
    std::vector<std::vector<uint8_t>> tiene_;
    std::vector<size_t> marcarTrasDe_; // by query word, once asked (0 before)
    size_t marcadas_ = 0;              // how many of the other words have their holders marked
    size_t preguntas_ = 0;             // how many times an item was asked whether it holds one
    size_t marcarTras_ = 0;            // and after how many they are marked

    uint32_t terminosContados_ = 0; // the query words the near matches count
    std::vector<Cerca> cercanas_;
    std::vector<int> letrasTermino_; // by query word, how many letters
    std::vector<Estado> estados_;
};

} // namespace Busqueda
