#pragma once
// The search index's data: the items' texts kept compact, the distinct words of English,
// Spanish and topic names with the items and topics that hold each, the orders the search
// walks, and the notes. Shared by the building, the changing and the search of the index.
#include "busqueda/Busqueda.h"
#include "busqueda/Huecos.h"
#include "busqueda/NotasCodificadas.h"
#include "busqueda/Palabras.h"
#include "busqueda/Pliegue.h"
#include "busqueda/Simbolos.h"

#include "data/Cotejo.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Busqueda {

// A text's length in codes, before them: seven bits a byte, the high bit set where more follow.
inline void AnadeVarint(std::string& destino, uint32_t v)
{
    while (v >= 0x80) {
        destino.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    destino.push_back(static_cast<char>(v));
}

inline uint32_t LeeVarint(const char*& p)
{
    uint32_t v = 0;
    for (int desplaza = 0;; desplaza += 7) {
        const auto c = static_cast<uint8_t>(*p++);
        v |= static_cast<uint32_t>(c & 0x7F) << desplaza;
        if (!(c & 0x80) || desplaza >= 28)
            return v;
    }
}

// In a word's holders: a topic's id, not an item's slot; and an item that holds the word in its
// Spanish only.
constexpr uint32_t MarcaTema = 0x80000000u;
constexpr uint32_t MarcaEspanol = 0x40000000u; // a use in the Spanish only

struct Indice::Datos {
    const BaseVocabulario* base = nullptr;
    quint64 escrituras = 0;

    // Topics by id: an id stays while the index lives, whatever topics come and go.
    struct TemaIndice {
        QString nombre;
        std::string plegado;
        bool enTabla = false; // a topic of the topic table, not only named by items
    };
    std::vector<TemaIndice> temas;
    QHash<QString, uint32_t> idTema;
    std::vector<uint32_t> ordenTemas; // the topics of the table in its key order
    std::vector<uint32_t> rangoTema;  // by id: its place in ordenTemas

    // Each item has a slot, which says where its English and Spanish lie: as written, in
    // UTF-8, with the symbols learnt from the texts read at once, each after its length in
    // codes. They are folded again when asked for: folded, they would take as much room as
    // written, and what restores the originals from the folding more than half as much again.
    // Its folded notes lie apart (notasLeidas, notasAparte). The notes as written are read
    // from the store when a result shows them. A changed item's texts go elsewhere (Textos).
    struct Ranura {
        uint32_t textos = 0;
        uint32_t tema = Libre;
        bool Viva() const { return tema != Libre; }
        bool Cambiada() const { return textos & EnCambios; }
    };
    // The folded English and Spanish lengths in bytes (0xFFFF: look for the end), by slot and
    // apart from the slots: the near matches rank many items by them alone.
    struct Largos {
        uint16_t ingles = 0, espanol = 0;
    };
    std::vector<Largos> largosTexto;
    // The texts read at once, and those of the items changed since (their offsets marked
    // EnCambios): the first stay as built, never grown. Only a changed item's notes are here.
    struct Textos {
        std::string codigos, notas;
    } leidos, cambiados;
    static constexpr uint32_t EnCambios = 0x80000000u;
    const Textos& De(uint32_t desde) const { return desde & EnCambios ? cambiados : leidos; }
    Simbolos simbolos;
    // While the index is built, the texts as read and folded, the k-th item's English from
    // [2k] to [2k + 1] of the starts, its Spanish to [2k + 2]: the orders are sorted by them,
    // the symbols learnt from them, and then they go.
    struct Obra {
        std::string originales, plegados;
        std::vector<uint32_t> original{0}, plegado{0};
    } obra;
    static std::string_view Pieza(const std::string& texto, const std::vector<uint32_t>& inicio,
                                  size_t k)
    {
        return std::string_view(texto).substr(inicio[k], inicio[k + 1] - inicio[k]);
    }
    std::vector<Ranura> ranuras;
    std::vector<uint32_t> libres; // slots of deleted items, given again
    std::vector<uint32_t> orden;  // the items' slots in key order (the index list's order)
    std::vector<uint32_t> rango;  // by slot: its place in orden
    std::vector<uint32_t> porIngles, porEspanol; // slots by folded English, and by Spanish
    // The notes read at once lie in key order, held as the numbers of their words: the k-th
    // is the k-th slot's, as the slots are given in key order while the index is built. The
    // slots of the items changed since are in notasCambiadas, their notes as text in
    // cambiados.notas at notasAparte (start, length).
    NotasCodificadas notasLeidas;
    std::vector<uint32_t> notasCambiadas;
    std::unordered_map<uint32_t, std::pair<uint32_t, uint32_t>> notasAparte;
    // The last walk of all the notes for a word beginning that a search kept (searches may
    // run on several threads), and the writes the index had taken then.
    struct NotasRecientes {
        std::mutex cerrojo;
        quint64 escrituras = 0;
        std::string principio; // none yet while empty
        std::shared_ptr<const std::vector<uint32_t>> items;
    };
    std::unique_ptr<NotasRecientes> notasRecientes = std::make_unique<NotasRecientes>();

    // The distinct folded words of English, Spanish and topic names, with the items (or
    // topics, MarcaTema set) that hold each (MarcaEspanol: in the item's Spanish only); by bytes
    // for prefixes, by length for near words. A word's holders lie in usos from its start; a
    // word that outgrows its room moves to the end.
    std::string palabras;
    std::vector<uint32_t> palabraIni{0};
    std::vector<uint8_t> largos;
    Huecos huecos; // from a word to its id while the index is built; freed after it
    std::vector<uint32_t> porBytes;
    // By length, the set of letters of each word, read one after another for near words. The
    // words met while building are numbered by length, so the k-th of a length is the word
    // primeraDeLargo + k; those met since follow, each beside its number.
    struct DeLargo {
        uint32_t mascara, palabra;
    };
    std::array<std::vector<uint32_t>, 256> mascarasDeLargo;
    std::array<uint32_t, 256> primeraDeLargo{};
    std::array<std::vector<DeLargo>, 256> nuevasDeLargo;
    template <typename Visita> void RecorreDeLargo(size_t largo, Visita&& visita) const
    {
        const std::vector<uint32_t>& mascaras = mascarasDeLargo[largo];
        for (size_t k = 0; k < mascaras.size(); ++k)
            visita(mascaras[k], primeraDeLargo[largo] + static_cast<uint32_t>(k));
        for (const auto [m, w] : nuevasDeLargo[largo])
            visita(m, w);
    }
    // A word's holders: packed as built (room for exactly those), or moved to the end with
    // room for a power of two (Movida set in inicio).
    struct Usos {
        uint32_t inicio = 0, cuenta = 0;
        uint32_t Inicio() const { return inicio & ~Movida; }
        uint32_t Cabe() const
        {
            return inicio & Movida ? std::bit_ceil(std::max(4u, cuenta)) : cuenta;
        }
    };
    static constexpr uint32_t Movida = 0x80000000u;
    std::vector<Usos> usosDe;
    std::vector<uint32_t> usos;
    std::vector<uint32_t> usosMovidos; // after the build, the holders of words that grew
    // Where a word's holders lie: while building every word grows within usos.
    std::vector<uint32_t>& UsosEn(const Usos& u)
    {
        return construido && (u.inicio & Movida) ? usosMovidos : usos;
    }
    const uint32_t* PrimerUso(const Usos& u) const
    {
        return (construido && (u.inicio & Movida) ? usosMovidos : usos).data() + u.Inicio();
    }

    bool construido = false; // after the build, a new word goes into the orders at once
    static constexpr uint32_t Vacio = Huecos::Vacio; // no word
    static constexpr uint32_t Libre = 0xFFFFFFFFu;   // the topic of a free slot

    uint32_t Ranuras() const { return static_cast<uint32_t>(ranuras.size()); }
    std::string_view Palabra(uint32_t w) const
    {
        return std::string_view(palabras).substr(palabraIni[w], palabraIni[w + 1] - palabraIni[w]);
    }
    // The codes of the item's English or Spanish, after the build.
    std::string_view Codigos(uint32_t i, bool espanol) const
    {
        const uint32_t desde = ranuras[i].textos;
        const char* p = De(desde).codigos.data() + (desde & ~EnCambios);
        uint32_t codigos = LeeVarint(p);
        if (espanol) {
            p += codigos;
            codigos = LeeVarint(p);
        }
        return std::string_view(p, codigos);
    }
    // The item's English or Spanish as written, in UTF-8, at the end of original.
    void LeeOriginal(uint32_t i, bool espanol, std::string& original) const
    {
        if (construido)
            simbolos.Lee(Codigos(i, espanol), original);
        else
            original.append(Pieza(obra.originales, obra.original, 2 * size_t{i} + espanol));
    }
    // The item's folded English or Spanish. The last few asked for stay while the thread asks
    // for others: a comparison of two items holds two.
    std::string_view Plegado(uint32_t i, bool espanol) const
    {
        if (!construido)
            return Pieza(obra.plegados, obra.plegado, 2 * size_t{i} + espanol);
        thread_local std::vector<char> original;
        thread_local std::array<std::string, 8> ultimos;
        thread_local size_t siguiente = 0;
        const std::string_view codigos = Codigos(i, espanol);
        if (original.size() < codigos.size() * Simbolos::Maximo)
            original.resize(codigos.size() * Simbolos::Maximo);
        const size_t largo = simbolos.Lee(codigos, original.data());
        std::string& plegado = ultimos[siguiente++ % ultimos.size()];
        plegado.clear();
        PliegaOriginal(std::string_view(original.data(), largo), plegado);
        return plegado;
    }
    std::string_view Ingles(uint32_t i) const { return Plegado(i, false); }
    std::string_view Espanol(uint32_t i) const { return Plegado(i, true); }
    // The item's folded notes; those read at once are written out for the thread that asks,
    // and stay until it asks again.
    std::string_view Notas(uint32_t i) const
    {
        if (ranuras[i].Cambiada()) {
            const auto [desde, largo] = notasAparte.at(i);
            return std::string_view(cambiados.notas).substr(desde, largo);
        }
        thread_local std::string leidas;
        notasLeidas.Lee(i, leidas);
        return leidas;
    }
    std::string_view TemaPlegado(uint32_t i) const { return temas[ranuras[i].tema].plegado; }
    static uint32_t Donde(uint32_t uso) { return uso & MarcaTema ? uso : uso & ~MarcaEspanol; }
    static bool SoloEspanol(uint32_t uso) { return !(uso & MarcaTema) && (uso & MarcaEspanol); }
    struct Originales {
        QString ingles, espanol;
    };
    QString Original(uint32_t i, bool espanol) const
    {
        thread_local std::string original;
        original.clear();
        LeeOriginal(i, espanol, original);
        return TextoOriginal(original);
    }
    Originales OriginalesDe(uint32_t i) const { return {Original(i, false), Original(i, true)}; }
    QString NotasOriginales(uint32_t i, const QString& ingles) const;
    // The item's key in the store's order, and the place in orden, from `desde` on, where a
    // key goes: the first item whose key is not smaller.
    QByteArray Clave(uint32_t i) const { return CalculaClaveOrden(InglesOriginal(i)); }
    size_t LugarDe(const QByteArray& clave, size_t desde = 0) const
    {
        return static_cast<size_t>(
            std::partition_point(orden.begin() + static_cast<ptrdiff_t>(desde), orden.end(),
                                 [&](uint32_t j) { return Clave(j) < clave; }) -
            orden.begin());
    }
    QString InglesOriginal(uint32_t i) const { return Original(i, false); }

    uint32_t IdTema(const QString& nombre, bool enTabla);
    uint32_t IdPalabra(std::string_view palabra, int letras);
    uint32_t BuscaPalabra(std::string_view palabra) const;
    void NumeraPorLargo();
    void AnadeUso(uint32_t w, uint32_t donde);
    void QuitaUso(uint32_t w, uint32_t donde);
    template <typename Visita> void RecorreUsosDe(uint32_t donde, Visita&& visita) const;
    void EscribeCodigos(std::string_view original, std::string& codigos) const;
    void EscribeLeidos();
    uint32_t AnadeItem(const Item& item);
    void QuitaItem(uint32_t i);
    void IndexaTemas(bool indexar, uint32_t desde = 0);
    void OrdenaTemas(const std::vector<QString>& nombres);
    void CuentaRangos(size_t desde = 0);
    template <typename Campo> void QuitaDe(std::vector<uint32_t>& por, uint32_t i, Campo campo);
    template <typename Campo> void PonEn(std::vector<uint32_t>& por, uint32_t i, Campo campo);
    void Aplica(const CambiosVocabulario& cambios, const BaseVocabulario& base);
    std::vector<uint32_t> Localiza(const std::vector<QByteArray>& claves) const;
    struct BuscaEnNotas {
        std::string_view buscado;
        bool alInicio;
        bool conBlancos; // then the marked words only hold a piece of it
        NotasCodificadas::Marcas marcas;
    };
    BuscaEnNotas PreparaNotas(std::string_view buscado, bool alInicio) const;
    bool NotasTienen(const BuscaEnNotas& busca, uint32_t i) const;
    template <typename Visita>
    bool RecorreLeidas(const BuscaEnNotas& busca, uint32_t primera, uint32_t hasta,
                       Visita&& visita) const;
    void InsertaEnOrden(std::vector<uint32_t> nuevas);
};

// Whether the item's folded notes hold what busca looks for.
inline bool Indice::Datos::NotasTienen(const BuscaEnNotas& busca, uint32_t i) const
{
    if (ranuras[i].Cambiada() || busca.conBlancos) {
        const std::string_view notas = Notas(i);
        return busca.alInicio ? BuscaInicioPalabra(notas, busca.buscado, false) >= 0
                              : notas.find(busca.buscado) != std::string_view::npos;
    }
    return notasLeidas.Tiene(busca.marcas, i);
}

// Calls visita(item) for the notes read at once, from the primera-th to before the hasta-th,
// that hold what busca looks for and are still the item's; false when visita said to stop.
template <typename Visita>
bool Indice::Datos::RecorreLeidas(const BuscaEnNotas& busca, uint32_t primera, uint32_t hasta,
                                  Visita&& visita) const
{
    return notasLeidas.Recorre(busca.marcas, primera, hasta, [&](uint32_t i) {
        if (!ranuras[i].Viva() || ranuras[i].Cambiada())
            return true; // changed since: among the changed ones
        if (busca.conBlancos && !NotasTienen(busca, i))
            return true;
        return visita(i);
    });
}

} // namespace Busqueda
