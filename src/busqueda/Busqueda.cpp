#include "busqueda/Busqueda.h"

#include "busqueda/BuscaBytes.h"
#include "busqueda/Distancia.h"
#include "busqueda/Huecos.h"
#include "busqueda/NotasCodificadas.h"
#include "busqueda/Palabras.h"
#include "busqueda/Pliegue.h"
#include "busqueda/Simbolos.h"

#include "data/Cotejo.h"
#include "data/ErrorTalvex.h"

#include <sqlite3.h>

#include <QHash>

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <unordered_map>

namespace Busqueda {

namespace {

void AnadeVarint(std::string& destino, uint32_t v)
{
    while (v >= 0x80) {
        destino.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    destino.push_back(static_cast<char>(v));
}

uint32_t LeeVarint(const char*& p)
{
    uint32_t v = 0;
    for (int desplaza = 0;; desplaza += 7) {
        const auto c = static_cast<uint8_t>(*p++);
        v |= static_cast<uint32_t>(c & 0x7F) << desplaza;
        if (!(c & 0x80) || desplaza >= 28)
            return v;
    }
}

constexpr uint32_t MarcaTema = 0x80000000u;
constexpr uint32_t MarcaEspanol = 0x40000000u; // a use in the Spanish only
constexpr uint8_t SinNivel = 255;
constexpr uint8_t Descartado = 254; // matched the first word but not every other
constexpr uint8_t Candidato2 = 100; // has a word beginning with the first query word
constexpr uint8_t EsIgual = 50;     // English or Spanish equal to the query, not yet taken

} // namespace

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

// The item's notes as the store holds them. Should the store not hold those the index folded
// (it was written since, or closed), the folded notes: their places still fit the marks.
QString Indice::Datos::NotasOriginales(uint32_t i, const QString& ingles) const
{
    if (base != nullptr && base->EstaAbierta() && base->Escrituras() == escrituras) {
        try {
            if (const std::optional<Item> item = base->LocalizaItem(ingles)) {
                std::string plegadas;
                PliegaUtf8(item->NOTASITEM, plegadas);
                if (plegadas == Notas(i))
                    return item->NOTASITEM;
            }
        } catch (const ErrorTalvex&) { // unreadable now: the folded notes serve
        }
    }
    const std::string_view plegadas = Notas(i);
    return QString::fromUtf8(plegadas.data(), static_cast<qsizetype>(plegadas.size()));
}

// The words of the notes read at once that hold buscado (alInicio: at a word beginning). A
// query with blanks in it is looked for by its longest piece without them, and then in the
// notes that piece leads to.
Indice::Datos::BuscaEnNotas Indice::Datos::PreparaNotas(std::string_view buscado,
                                                        bool alInicio) const
{
    BuscaEnNotas busca{buscado, alInicio, false, {}};
    const std::string_view pieza = NotasCodificadas::PiezaSinBlancos(buscado);
    busca.conBlancos = pieza.size() != buscado.size();
    const bool alInicioExacto = alInicio && !busca.conBlancos;
    busca.marcas =
        notasLeidas.MarcaPalabras(pieza, alInicioExacto, [&](std::string_view palabra, size_t p) {
            return !alInicioExacto || p == 0 || BuscaInicioPalabra(palabra, buscado, false) >= 0;
        });
    return busca;
}

// Whether the item's folded notes hold what busca looks for.
bool Indice::Datos::NotasTienen(const BuscaEnNotas& busca, uint32_t i) const
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

namespace {
std::atomic<size_t> PartirDesde{Indice::Umbrales().partirNotas};
std::atomic<size_t> MarcarTras{Indice::Umbrales().marcarTras};
} // namespace

void Indice::PonUmbrales(Umbrales umbrales)
{
    PartirDesde = umbrales.partirNotas;
    MarcarTras = umbrales.marcarTras;
}

Indice::Indice() = default;
Indice::~Indice() = default;
Indice::Indice(Indice&&) noexcept = default;
Indice& Indice::operator=(Indice&&) noexcept = default;

namespace {

// Tight, but for room for the rows a session adds, so that the first of them does not move
// the whole container.
template <typename T> void Ajusta(T& contenedor, size_t holgura = 0)
{
    contenedor.shrink_to_fit();
    contenedor.reserve(contenedor.size() + holgura);
}

} // namespace

uint32_t Indice::Datos::IdTema(const QString& nombre, bool enTablaAhora)
{
    const auto it = idTema.constFind(nombre);
    if (it != idTema.cend()) {
        temas[*it].enTabla |= enTablaAhora;
        return *it;
    }
    const auto id = static_cast<uint32_t>(temas.size());
    TemaIndice t;
    t.nombre = nombre;
    PliegaUtf8(nombre, t.plegado);
    t.enTabla = enTablaAhora;
    temas.push_back(std::move(t));
    idTema.insert(nombre, id);
    return id;
}

// A word's id, or Vacio: through the hash while the index is built, by bytes after it.
uint32_t Indice::Datos::BuscaPalabra(std::string_view palabra) const
{
    if (construido) {
        const auto it = std::partition_point(porBytes.begin(), porBytes.end(),
                                             [&](uint32_t w) { return Palabra(w) < palabra; });
        return it != porBytes.end() && Palabra(*it) == palabra ? *it : Vacio;
    }
    return huecos.Busca(palabra, [this](uint32_t w) { return Palabra(w); });
}

// The words numbered again by length, after the build: the near words of one length, read one
// after another, then lie one after another in memory. In the order they were met, each was
// a cache miss, in a large vocabulary a million times per search.
void Indice::Datos::NumeraPorLargo()
{
    const auto cuantas = static_cast<uint32_t>(palabraIni.size() - 1);
    std::vector<uint32_t> viejas(cuantas);
    std::iota(viejas.begin(), viejas.end(), 0u);
    std::stable_sort(viejas.begin(), viejas.end(),
                     [&](uint32_t a, uint32_t b) { return largos[a] < largos[b]; });
    std::string texto;
    texto.reserve(palabras.size());
    std::vector<uint32_t> inicios{0};
    inicios.reserve(palabraIni.size());
    std::vector<uint8_t> deLargo(cuantas);
    std::vector<Usos> deUsos(cuantas);
    for (uint32_t nueva = 0; nueva < cuantas; ++nueva) {
        const uint32_t vieja = viejas[nueva];
        texto += Palabra(vieja);
        inicios.push_back(static_cast<uint32_t>(texto.size()));
        deLargo[nueva] = largos[vieja];
        deUsos[nueva] = usosDe[vieja];
    }
    palabras.swap(texto);
    palabraIni.swap(inicios);
    largos.swap(deLargo);
    usosDe.swap(deUsos);
}

// The word's id, a new one for a word never seen. While the index is built the words go into
// a hash, and are sorted by bytes and by length at the end; after it, a new word goes into
// those orders at once.
uint32_t Indice::Datos::IdPalabra(std::string_view palabra, int letras)
{
    if (const uint32_t w = BuscaPalabra(palabra); w != Vacio)
        return w;
    const auto id = static_cast<uint32_t>(palabraIni.size() - 1);
    palabras.append(palabra);
    palabraIni.push_back(static_cast<uint32_t>(palabras.size()));
    largos.push_back(static_cast<uint8_t>(std::min(letras, 255)));
    usosDe.emplace_back();
    if (construido) {
        const auto donde = std::partition_point(porBytes.begin(), porBytes.end(),
                                                [&](uint32_t w) { return Palabra(w) < palabra; });
        porBytes.insert(donde, id);
        nuevasDeLargo[largos.back()].push_back({MascaraDe(LetrasDe(palabra)), id});
        return id;
    }
    huecos.Pon(id, [this](uint32_t w) { return Palabra(w); });
    return id;
}

void Indice::Datos::AnadeUso(uint32_t w, uint32_t donde)
{
    Usos& u = usosDe[w];
    if (u.cuenta == u.Cabe()) {
        const uint32_t cabe = std::max<uint32_t>(4, std::bit_ceil(u.cuenta + 1));
        std::vector<uint32_t>& destino = construido ? usosMovidos : usos;
        const auto inicio = static_cast<uint32_t>(destino.size());
        destino.resize(destino.size() + cabe);
        std::copy_n(PrimerUso(u), u.cuenta, destino.begin() + inicio);
        u.inicio = inicio | Movida;
    }
    UsosEn(u)[u.Inicio() + u.cuenta++] = donde;
}

void Indice::Datos::QuitaUso(uint32_t w, uint32_t donde)
{
    Usos& u = usosDe[w];
    const auto desde = UsosEn(u).begin() + u.Inicio(), hasta = desde + u.cuenta;
    const auto it = std::find_if(desde, hasta, [&](uint32_t x) { return Donde(x) == donde; });
    if (it == hasta)
        return;
    *it = *(hasta - 1);
    --u.cuenta;
}

// The words of an item's English, then of its Spanish not in its English, each once.
template <typename Visita> void Indice::Datos::RecorreUsosDe(uint32_t i, Visita&& visita) const
{
    std::vector<std::pair<std::string_view, int>> vistas;
    auto Recorre = [&](std::string_view texto, bool ingles) {
        RecorrePalabras(texto, ingles, [&](const Trozo& t) {
            const std::string_view p = texto.substr(t.inicio, t.fin - t.inicio);
            if (std::find_if(vistas.begin(), vistas.end(),
                             [&](const auto& v) { return v.first == p; }) != vistas.end())
                return;
            vistas.emplace_back(p, t.letras);
            visita(p, t.letras, ingles);
        });
    };
    Recorre(Ingles(i), true);
    Recorre(Espanol(i), false);
}

// A text as written, with the symbols, after its length in codes.
void Indice::Datos::EscribeCodigos(std::string_view original, std::string& codigos) const
{
    thread_local std::string escritos;
    escritos.clear();
    simbolos.Escribe(original, escritos);
    AnadeVarint(codigos, static_cast<uint32_t>(escritos.size()));
    codigos += escritos;
}

// The texts read while building, written with the symbols learnt from a sample of them (some
// 256 kB, from items spread over the vocabulary).
void Indice::Datos::EscribeLeidos()
{
    constexpr size_t Muestra = size_t{1} << 18;
    const size_t paso = std::max<size_t>(1, obra.originales.size() / Muestra);
    std::vector<std::string_view> muestra;
    for (size_t k = 0; k < Ranuras(); k += paso)
        for (size_t texto : {2 * k, 2 * k + 1})
            muestra.push_back(Pieza(obra.originales, obra.original, texto));
    simbolos = Simbolos::Aprende(muestra);
    for (uint32_t i = 0; i < Ranuras(); ++i) {
        ranuras[i].textos = static_cast<uint32_t>(leidos.codigos.size());
        for (size_t texto : {2 * size_t{i}, 2 * size_t{i} + 1})
            EscribeCodigos(Pieza(obra.originales, obra.original, texto), leidos.codigos);
    }
    Obra vacia; // assigned an empty one, a string would keep its room
    std::swap(obra, vacia);
}

// Puts an item's texts into the buffers and its words into the index; returns its slot. The
// orders (key, English, Spanish) are the caller's.
uint32_t Indice::Datos::AnadeItem(const Item& item)
{
    uint32_t i;
    if (!libres.empty()) {
        i = libres.back();
        libres.pop_back();
    } else {
        i = Ranuras();
        ranuras.emplace_back();
        largosTexto.emplace_back();
    }
    Ranura& r = ranuras[i];
    if (construido)
        r.textos = static_cast<uint32_t>(cambiados.codigos.size()) | EnCambios;
    for (const QString* texto : {&item.ITEMING, &item.ITEMESP}) {
        size_t plegado = 0;
        if (construido) {
            thread_local std::string original, plegados;
            original.clear();
            AnadeOriginal(*texto, original);
            EscribeCodigos(original, cambiados.codigos);
            plegados.clear();
            PliegaOriginal(original, plegados);
            plegado = plegados.size();
        } else { // the slots are given one after another while building
            AnadeOriginal(*texto, obra.originales);
            obra.original.push_back(static_cast<uint32_t>(obra.originales.size()));
            const size_t antes = obra.plegados.size();
            PliegaUtf8(*texto, obra.plegados);
            obra.plegado.push_back(static_cast<uint32_t>(obra.plegados.size()));
            plegado = obra.plegados.size() - antes;
        }
        (texto == &item.ITEMING ? largosTexto[i].ingles : largosTexto[i].espanol) =
            static_cast<uint16_t>(std::min<size_t>(0xFFFF, plegado));
    }
    if (construido) {
        const auto notas = static_cast<uint32_t>(cambiados.notas.size());
        PliegaUtf8(item.NOTASITEM, cambiados.notas);
        notasAparte[i] = {notas, static_cast<uint32_t>(cambiados.notas.size() - notas)};
    } else {
        thread_local std::string plegadas;
        plegadas.clear();
        PliegaUtf8(item.NOTASITEM, plegadas);
        notasLeidas.Anade(plegadas);
    }
    r.tema = IdTema(item.NOMBRETEMA, false);
    RecorreUsosDe(i, [&](std::string_view p, int letras, bool ingles) {
        AnadeUso(IdPalabra(p, letras), ingles ? i : i | MarcaEspanol);
    });
    return i;
}

// Takes an item's words out of the index and frees its slot; its texts stay in the buffers
// unused.
void Indice::Datos::QuitaItem(uint32_t i)
{
    RecorreUsosDe(i, [&](std::string_view p, int, bool) {
        const uint32_t w = BuscaPalabra(p);
        if (w != Vacio)
            QuitaUso(w, i);
    });
    ranuras[i].tema = Libre;
    libres.push_back(i);
}

// The words of every topic name into the index, or out of it.
void Indice::Datos::IndexaTemas(bool indexar, uint32_t desde)
{
    for (uint32_t t = desde; t < temas.size(); ++t) {
        std::vector<uint32_t> vistas;
        RecorrePalabras(temas[t].plegado, false, [&](const Trozo& trozo) {
            const std::string_view p =
                std::string_view(temas[t].plegado).substr(trozo.inicio, trozo.fin - trozo.inicio);
            const uint32_t w = indexar ? IdPalabra(p, trozo.letras) : BuscaPalabra(p);
            if (w == Vacio || std::find(vistas.begin(), vistas.end(), w) != vistas.end())
                return;
            vistas.push_back(w);
            if (indexar)
                AnadeUso(w, MarcaTema | t);
            else
                QuitaUso(w, MarcaTema | t);
        });
    }
}

// The topics of the table, in its key order: only they are found as topics.
void Indice::Datos::OrdenaTemas(const std::vector<QString>& nombres)
{
    for (TemaIndice& t : temas)
        t.enTabla = false;
    ordenTemas.clear();
    for (const QString& nombre : nombres) {
        const uint32_t t = IdTema(nombre, true);
        if (std::find(ordenTemas.begin(), ordenTemas.end(), t) == ordenTemas.end())
            ordenTemas.push_back(t);
    }
    rangoTema.assign(temas.size(), UINT32_MAX);
    for (uint32_t k = 0; k < ordenTemas.size(); ++k)
        rangoTema[ordenTemas[k]] = k;
}

// The places in key order from `desde` on (those before it did not move).
void Indice::Datos::CuentaRangos(size_t desde)
{
    rango.resize(ranuras.size(), UINT32_MAX);
    for (size_t k = desde; k < orden.size(); ++k)
        rango[orden[k]] = static_cast<uint32_t>(k);
}

// One slot out of an order by a text, or into it after those of equal text.
template <typename Campo>
void Indice::Datos::QuitaDe(std::vector<uint32_t>& por, uint32_t i, Campo campo)
{
    const auto [desde, hasta] = std::equal_range(
        por.begin(), por.end(), i, [&](uint32_t a, uint32_t b) { return campo(a) < campo(b); });
    por.erase(std::find(desde, hasta, i));
}

template <typename Campo>
void Indice::Datos::PonEn(std::vector<uint32_t>& por, uint32_t i, Campo campo)
{
    por.insert(std::upper_bound(por.begin(), por.end(), i,
                                [&](uint32_t a, uint32_t b) { return campo(a) < campo(b); }),
               i);
}

namespace {

std::vector<QString> NombresDeTemas(const BaseVocabulario& base)
{
    std::vector<QString> nombres;
    base.RecorreTemas([&](const Tema& tema) { nombres.push_back(tema.NOMBRETEMA); });
    return nombres;
}

} // namespace

void Indice::Construye(const BaseVocabulario& base)
{
    ConstruyeCon(&base, base.Escrituras(), [&](const auto& temas, const auto& items) {
        base.RecorreTemas(temas);
        base.RecorreItems(items);
        return true;
    });
}

bool Indice::ConstruyeCon(const BaseVocabulario* base, quint64 escrituras, const Recorrido& recorre)
{
    auto n = std::make_unique<Datos>();
    n->base = base;
    n->escrituras = escrituras;
    std::vector<QString> nombresTemas;
    const bool entero =
        recorre([&](const Tema& tema) { nombresTemas.push_back(tema.NOMBRETEMA); },
                [&](const Item& item) {
                    if (n->ordenTemas.empty() && !nombresTemas.empty())
                        n->OrdenaTemas(nombresTemas); // the table's topics take the first ids
                    const uint32_t i = n->AnadeItem(item);
                    n->orden.push_back(i);
                });
    if (!entero)
        return false;
    n->OrdenaTemas(nombresTemas);
    n->IndexaTemas(true);

    // Each word's holders were laid one after another as they grew: packed again, tightly.
    {
        std::vector<uint32_t> usos;
        size_t todos = 0;
        for (const Datos::Usos& u : n->usosDe)
            todos += u.cuenta;
        usos.reserve(todos);
        for (Datos::Usos& u : n->usosDe) {
            const auto inicio = static_cast<uint32_t>(usos.size());
            usos.insert(usos.end(), n->usos.begin() + u.Inicio(),
                        n->usos.begin() + u.Inicio() + u.cuenta);
            u.inicio = inicio;
        }
        n->usos.swap(usos);
    }
    n->NumeraPorLargo();
    const auto palabras = static_cast<uint32_t>(n->palabraIni.size() - 1);
    for (uint32_t w = 0; w < palabras; ++w) {
        std::vector<uint32_t>& mascaras = n->mascarasDeLargo[n->largos[w]];
        if (mascaras.empty())
            n->primeraDeLargo[n->largos[w]] = w;
        mascaras.push_back(MascaraDe(LetrasDe(n->Palabra(w))));
    }
    n->porBytes.resize(palabras);
    for (uint32_t w = 0; w < palabras; ++w)
        n->porBytes[w] = w;
    const Datos& hecho = *n;
    std::sort(n->porBytes.begin(), n->porBytes.end(),
              [&](uint32_t a, uint32_t b) { return hecho.Palabra(a) < hecho.Palabra(b); });

    n->porIngles = n->porEspanol = n->orden;
    std::sort(n->porIngles.begin(), n->porIngles.end(),
              [&](uint32_t a, uint32_t b) { return hecho.Ingles(a) < hecho.Ingles(b); });
    std::sort(n->porEspanol.begin(), n->porEspanol.end(),
              [&](uint32_t a, uint32_t b) { return hecho.Espanol(a) < hecho.Espanol(b); });
    n->CuentaRangos();
    n->EscribeLeidos();
    n->construido = true;

    Ajusta(n->leidos.codigos);
    n->notasLeidas.Termina();
    constexpr size_t Holgura = 2048;
    Ajusta(n->ranuras, Holgura);
    Ajusta(n->largosTexto, Holgura);
    Ajusta(n->palabras); // a string would double its room to make a little
    Ajusta(n->palabraIni, Holgura);
    n->huecos.Libera();
    Ajusta(n->largos, Holgura);
    Ajusta(n->usosDe, Holgura);
    Ajusta(n->orden, Holgura);
    Ajusta(n->porIngles, Holgura);
    Ajusta(n->porEspanol, Holgura);
    Ajusta(n->porBytes, Holgura);
    Ajusta(n->rango, Holgura);
    for (auto& mascaras : n->mascarasDeLargo)
        Ajusta(mascaras);
    d = std::move(n);
    return true;
}

bool Indice::AlDia(const BaseVocabulario& base) const
{
    return d && d->base == &base && d->escrituras == base.Escrituras();
}

// The slots of the items whose keys are given (sorted), found by their keys in key order.
std::vector<uint32_t> Indice::Datos::Localiza(const std::vector<QByteArray>& claves) const
{
    std::vector<uint32_t> halladas;
    for (const QByteArray& clave : claves) {
        const size_t lugar = LugarDe(clave);
        if (lugar < orden.size() && Clave(orden[lugar]) == clave)
            halladas.push_back(orden[lugar]);
    }
    return halladas;
}

// New slots into the orders by key, by English and by Spanish, each merged in one pass.
void Indice::Datos::InsertaEnOrden(std::vector<uint32_t> nuevas)
{
    std::vector<std::pair<QByteArray, uint32_t>> porClave;
    for (uint32_t i : nuevas)
        porClave.emplace_back(Clave(i), i);
    std::sort(porClave.begin(), porClave.end());
    std::vector<uint32_t> unidas;
    unidas.reserve(orden.size() + nuevas.size());
    size_t desde = 0;
    for (const auto& [clave, i] : porClave) {
        const size_t hasta = LugarDe(clave, desde);
        unidas.insert(unidas.end(), orden.begin() + static_cast<ptrdiff_t>(desde),
                      orden.begin() + static_cast<ptrdiff_t>(hasta));
        unidas.push_back(i);
        desde = hasta;
    }
    unidas.insert(unidas.end(), orden.begin() + static_cast<ptrdiff_t>(desde), orden.end());
    orden.swap(unidas);

    auto Une = [&](std::vector<uint32_t>& por, auto campo) {
        auto Antes = [&](uint32_t a, uint32_t b) { return campo(a) < campo(b); };
        std::vector<uint32_t> nuevasPor = nuevas;
        std::sort(nuevasPor.begin(), nuevasPor.end(), Antes);
        std::vector<uint32_t> todas;
        todas.reserve(por.size() + nuevasPor.size());
        std::merge(por.begin(), por.end(), nuevasPor.begin(), nuevasPor.end(),
                   std::back_inserter(todas), Antes);
        por.swap(todas);
    };
    Une(porIngles, [&](uint32_t i) { return Ingles(i); });
    Une(porEspanol, [&](uint32_t i) { return Espanol(i); });
}

// What the store's writes changed, row by row: topics renamed with their items first, in the
// order the store renamed them, then each item named read again as the store has it now, so
// that whatever happened to it in between, the index ends as the store is.
void Indice::Datos::Aplica(const CambiosVocabulario& cambios, const BaseVocabulario& base)
{
    const bool temasCambian = cambios.temas || !cambios.temasDeItems.empty();
    if (temasCambian)
        IndexaTemas(false);
    const auto temasAntes = static_cast<uint32_t>(temas.size());
    for (const auto& [antes, despues] : cambios.temasDeItems) {
        const auto it = idTema.constFind(antes);
        if (it == idTema.cend())
            continue;
        const uint32_t de = *it, a = IdTema(despues, false);
        for (uint32_t i : orden)
            if (ranuras[i].tema == de)
                ranuras[i].tema = a;
    }

    std::vector<std::pair<QByteArray, QString>> nombrados;
    for (const QString& ingles : cambios.items)
        nombrados.emplace_back(CalculaClaveOrden(ingles), ingles);
    std::sort(nombrados.begin(), nombrados.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    nombrados.erase(std::unique(nombrados.begin(), nombrados.end(),
                                [](const auto& a, const auto& b) { return a.first == b.first; }),
                    nombrados.end());
    std::vector<QByteArray> claves;
    for (const auto& nombrado : nombrados)
        claves.push_back(nombrado.first);
    const std::vector<uint32_t> quitadas = Localiza(claves);
    // A few rows move within the orders where they are; many are merged in one pass.
    const bool pocas = quitadas.size() + nombrados.size() <= 256;
    size_t desde = pocas ? orden.size() : 0; // the first place in key order that moved
    if (pocas) {
        std::vector<uint32_t> porLugar = quitadas;
        std::sort(porLugar.begin(), porLugar.end(),
                  [&](uint32_t a, uint32_t b) { return rango[a] > rango[b]; });
        for (uint32_t i : porLugar) {
            desde = std::min<size_t>(desde, rango[i]);
            orden.erase(orden.begin() + rango[i]);
            QuitaDe(porIngles, i, [&](uint32_t j) { return Ingles(j); });
            QuitaDe(porEspanol, i, [&](uint32_t j) { return Espanol(j); });
        }
        for (uint32_t i : quitadas)
            QuitaItem(i);
    } else if (!quitadas.empty()) {
        std::vector<char> fuera(ranuras.size(), 0);
        for (uint32_t i : quitadas) {
            QuitaItem(i);
            fuera[i] = 1;
        }
        for (std::vector<uint32_t>* por : {&orden, &porIngles, &porEspanol})
            por->erase(
                std::remove_if(por->begin(), por->end(), [&](uint32_t i) { return fuera[i]; }),
                por->end());
    }
    std::vector<uint32_t> nuevas;
    for (const auto& [clave, ingles] : nombrados)
        if (const std::optional<Item> item = base.LocalizaItem(ingles)) {
            nuevas.push_back(AnadeItem(*item));
            notasCambiadas.push_back(nuevas.back());
        }
    if (pocas) {
        for (uint32_t i : nuevas) {
            const size_t lugar = LugarDe(Clave(i));
            desde = std::min(desde, lugar);
            orden.insert(orden.begin() + static_cast<ptrdiff_t>(lugar), i);
            PonEn(porIngles, i, [&](uint32_t j) { return Ingles(j); });
            PonEn(porEspanol, i, [&](uint32_t j) { return Espanol(j); });
        }
    } else {
        InsertaEnOrden(std::move(nuevas));
    }

    if (temasCambian) {
        OrdenaTemas(NombresDeTemas(base));
        IndexaTemas(true);
    } else {
        IndexaTemas(true, temasAntes); // topics first named by the items just read
    }
    rangoTema.resize(temas.size(), UINT32_MAX);
    // Each changed item's slot once, while its notes are among the changed ones.
    std::sort(notasCambiadas.begin(), notasCambiadas.end());
    notasCambiadas.erase(std::unique(notasCambiadas.begin(), notasCambiadas.end()),
                         notasCambiadas.end());
    notasCambiadas.erase(
        std::remove_if(notasCambiadas.begin(), notasCambiadas.end(),
                       [&](uint32_t i) { return !ranuras[i].Viva() || !ranuras[i].Cambiada(); }),
        notasCambiadas.end());
    CuentaRangos(desde);
}

IndiceAparte::IndiceAparte(const BaseVocabulario& base)
{
    const char* archivo = base.EstaAbierta() ? sqlite3_db_filename(base.Conexion(), "main") : "";
    const QString ruta = QString::fromUtf8(archivo ? archivo : "");
    const quint64 escrituras = base.Escrituras();
    const BaseVocabulario* cual = &base;
    hecho_ = std::async(std::launch::async, [this, ruta, escrituras, cual] {
        Indice indice;
        if (ruta.isEmpty())
            return indice;
        try {
            indice.ConstruyeCon(cual, escrituras, [&](const auto& temas, const auto& items) {
                return RecorreVocabularioAparte(ruta, temas, items,
                                                [this] { return sigue_.load(); });
            });
        } catch (const ErrorTalvex&) { // unreadable: the search builds it as it needs it
        }
        return indice;
    });
}

IndiceAparte::~IndiceAparte()
{
    sigue_ = false;
    if (hecho_.valid())
        hecho_.wait();
}

bool IndiceAparte::Hecho() const
{
    return hecho_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

Indice IndiceAparte::Toma()
{
    return hecho_.get();
}

void Indice::Actualiza(const BaseVocabulario& base)
{
    if (AlDia(base))
        return;
    std::optional<CambiosVocabulario> cambios;
    if (d && d->base == &base)
        cambios = base.CambiosDesde(d->escrituras);
    if (!cambios) {
        Construye(base);
        return;
    }
    d->Aplica(*cambios, base);
    d->escrituras = base.Escrituras();
}

namespace {

// One result before it becomes a Hallazgo: offsets are in the folded field.
struct Encontrado {
    bool esTema = false;
    uint32_t id = 0; // item or topic
    Lugar lugar = Lugar::Ingles;
    int32_t inicio = 0, largo = 0;
    bool cercano = false;
};

} // namespace

std::vector<Hallazgo> Indice::Busca(const QString& consulta, int maximo) const
{
    std::vector<Hallazgo> salida;
    if (!d || maximo <= 0)
        return salida;
    const Datos& x = *d;
    const QString consultaLimpia = consulta.trimmed();
    std::string q;
    PliegaUtf8(consultaLimpia, q);
    while (!q.empty() && (q.back() == ' ' || q.back() == '\t' || q.back() == '\n'))
        q.pop_back();
    if (consultaLimpia.isEmpty() || q.find_first_not_of(" \t\r\n") == std::string::npos)
        return salida;

    std::vector<std::string_view> terminos;
    RecorrePalabras(q, true, [&](const Trozo& t) {
        terminos.push_back(std::string_view(q).substr(t.inicio, t.fin - t.inicio));
    });
    const bool variasPalabras = terminos.size() > 1;
    const auto limite = static_cast<size_t>(maximo);
    const uint32_t items = x.Ranuras();
    const auto cuantosTemas = static_cast<uint32_t>(x.temas.size());

    std::vector<Encontrado> res;
    std::vector<uint8_t> nivel(items, SinNivel);
    std::vector<uint8_t> temaVisto(cuantosTemas, 0);
    auto Lleno = [&] { return res.size() >= limite; };

    // What the notes' words say of a query word, worked out once for the search.
    std::vector<std::unique_ptr<Datos::BuscaEnNotas>> preparadas;
    auto EnNotas = [&](std::string_view buscado, bool alInicio) -> const Datos::BuscaEnNotas& {
        for (const auto& p : preparadas)
            if (p->buscado == buscado && p->alInicio == alInicio)
                return *p;
        preparadas.push_back(
            std::make_unique<Datos::BuscaEnNotas>(x.PreparaNotas(buscado, alInicio)));
        return *preparadas.back();
    };
    // Calls visita(item) for every item whose folded notes hold buscado (alInicio: at a word
    // beginning), in key order, until it returns false. The notes read at once lie in key
    // order; those changed since (few) are looked at first and go in among them by their place.
    auto RecorreNotas = [&](std::string_view buscado, bool alInicio, auto&& visita) {
        const Datos::BuscaEnNotas& busca = EnNotas(buscado, alInicio);
        std::vector<std::pair<uint32_t, uint32_t>> cambiadas; // place, item
        for (uint32_t i : x.notasCambiadas)
            if (x.NotasTienen(busca, i))
                cambiadas.emplace_back(x.rango[i], i);
        std::sort(cambiadas.begin(), cambiadas.end());
        auto cambiada = cambiadas.begin();
        auto VisitaCambiadasAntes = [&](uint32_t lugar) {
            for (; cambiada != cambiadas.end() && cambiada->first < lugar; ++cambiada)
                if (!visita(cambiada->second))
                    return false;
            return true;
        };
        auto Visita = [&](uint32_t i) { return VisitaCambiadasAntes(x.rango[i]) && visita(i); };
        const uint32_t notas = x.notasLeidas.Cuantas();
        bool sigue = true;
        // Many notes are searched in two halves at once: the second on a thread of its own,
        // which keeps what it finds until the first half has been visited (and stops when the
        // first half was enough).
        if (x.notasLeidas.Bytes() < PartirDesde.load(std::memory_order_relaxed)) {
            sigue = x.RecorreLeidas(busca, 0, notas, Visita);
        } else {
            const uint32_t mitad = notas / 2;
            std::atomic<bool> basta{false};
            std::vector<uint32_t> segunda;
            std::thread otra([&] {
                x.RecorreLeidas(busca, mitad, notas, [&](uint32_t i) {
                    segunda.push_back(i);
                    return !basta.load(std::memory_order_relaxed);
                });
            });
            sigue = x.RecorreLeidas(busca, 0, mitad, Visita);
            basta = !sigue;
            otra.join();
            for (size_t k = 0; sigue && k < segunda.size(); ++k)
                sigue = Visita(segunda[k]);
        }
        if (sigue)
            VisitaCambiadasAntes(UINT32_MAX);
    };
    auto UsosDe = [&](uint32_t w) {
        const Datos::Usos& u = x.usosDe[w];
        return std::span<const uint32_t>(x.PrimerUso(u), u.cuenta);
    };
    auto PalabrasQueEmpiezan = [&](std::string_view t) {
        const auto desde = std::partition_point(x.porBytes.begin(), x.porBytes.end(),
                                                [&](uint32_t w) { return x.Palabra(w) < t; });
        // Those beginning with t follow one another from there: a short t may begin many.
        const auto hasta = std::partition_point(desde, x.porBytes.end(), [&](uint32_t w) {
            return x.Palabra(w).substr(0, t.size()) == t;
        });
        return std::pair(desde, hasta);
    };

    // Marks the items holding a word that begins with t in their English or Spanish, or in
    // their topic's name; true when a topic's name holds one.
    auto MarcaDelIndice = [&](std::string_view t, std::vector<uint8_t>& marcas) {
        std::vector<uint8_t> temas(cuantosTemas, 0);
        bool alguno = false;
        const auto [a, b] = PalabrasQueEmpiezan(t);
        for (auto it = a; it != b; ++it)
            for (const uint32_t u : UsosDe(*it)) {
                const uint32_t donde = Datos::Donde(u);
                if (donde & MarcaTema) {
                    temas[donde & ~MarcaTema] = 1;
                    alguno = true;
                } else {
                    marcas[donde] = 1;
                }
            }
        if (alguno)
            for (const uint32_t i : x.orden)
                marcas[i] |= temas[x.ranuras[i].tema];
        return alguno;
    };

    // Of several words, the rarest decides beforehand which items can hold them all, so that
    // a short, common first word does not mean looking at most items one by one.
    std::vector<uint8_t> posibles;
    // And, unless a topic's name holds the word, the list of them in key order.
    std::vector<uint32_t> listaPosibles;
    bool hayLista = false;
    if (variasPalabras) {
        const std::string_view* elegido = nullptr;
        uint64_t menos = UINT64_MAX;
        for (const std::string_view& t : terminos) {
            if (Partida(t))
                continue; // split differently in Spanish: not in the index as it is
            const auto [a, b] = PalabrasQueEmpiezan(t);
            uint64_t cuenta = 0;
            for (auto it = a; it != b; ++it)
                cuenta += x.usosDe[*it].cuenta;
            if (cuenta < menos || (cuenta == menos && t.size() > elegido->size())) {
                menos = cuenta;
                elegido = &t;
            }
        }
        // When even the rarest is common, most items hold it: checking one by one finds
        // enough quickly, and marking them all would cost more.
        constexpr uint64_t Comun = 3000;
        if (elegido && menos <= Comun) {
            const std::string_view t = *elegido;
            posibles.assign(items, 0);
            const bool alguno = MarcaDelIndice(t, posibles);
            const auto [a, b] = PalabrasQueEmpiezan(t);
            std::vector<uint32_t> deNotas; // in key order
            RecorreNotas(t, true, [&](uint32_t i) {
                posibles[i] = 1;
                deNotas.push_back(i);
                return true;
            });
            hayLista = !alguno;
            if (hayLista) {
                auto EnOrden = [&](uint32_t i, uint32_t j) { return x.rango[i] < x.rango[j]; };
                std::vector<uint32_t> deIndice;
                for (auto it = a; it != b; ++it)
                    for (uint32_t u : UsosDe(*it))
                        deIndice.push_back(Datos::Donde(u));
                std::sort(deIndice.begin(), deIndice.end(), EnOrden);
                std::merge(deIndice.begin(), deIndice.end(), deNotas.begin(), deNotas.end(),
                           std::back_inserter(listaPosibles), EnOrden);
                listaPosibles.erase(std::unique(listaPosibles.begin(), listaPosibles.end()),
                                    listaPosibles.end());
            }
        }
    }

    // Whether item i holds a word beginning with the query word k, in its English, Spanish,
    // topic or notes. In a large vocabulary many items may be asked: then the items that do
    // are all marked at once, the first time it is asked, from the index and one search of
    // the notes. A word with an apostrophe is split differently in Spanish, not as the index
    // holds it: its texts are still looked at one by one.
    std::vector<std::vector<uint8_t>> tiene(terminos.size());
    size_t marcadas = 0; // how many of the other words have their holders marked
    // Then asking whether an item holds them is a look at a byte, cheaper than any text.
    auto TodasMarcadas = [&] { return marcadas > 0 && marcadas + 1 == terminos.size(); };
    size_t preguntas = 0;
    const size_t marcarTras = MarcarTras.load(std::memory_order_relaxed) *
                              std::max<size_t>(1, x.notasLeidas.Bytes() >> 21);
    auto Marca = [&](size_t k) {
        const std::string_view t = terminos[k];
        std::vector<uint8_t>& marcas = tiene[k];
        marcas.assign(items, 0);
        ++marcadas;
        if (!Partida(t))
            MarcaDelIndice(t, marcas);
        RecorreNotas(t, true, [&](uint32_t i) {
            marcas[i] = 1;
            return true;
        });
    };
    // An item's English and Spanish, read once for all the words asked of it in a row.
    struct Leidos {
        std::string_view ingles, espanol;
        bool ya = false;
    };
    auto Tiene = [&](uint32_t i, size_t k, Leidos& leidos) {
        const std::string_view t = terminos[k];
        auto EnTextos = [&] {
            if (!leidos.ya)
                leidos = {x.Ingles(i), x.Espanol(i), true};
            return BuscaInicioPalabra(leidos.ingles, t, true) >= 0 ||
                   BuscaInicioPalabra(leidos.espanol, t, false) >= 0 ||
                   BuscaInicioPalabra(x.TemaPlegado(i), t, false) >= 0;
        };
        if (tiene[k].empty() && ++preguntas < marcarTras)
            return EnTextos() || x.NotasTienen(EnNotas(t, true), i);
        if (tiene[k].empty())
            Marca(k);
        return tiene[k][i] != 0 || (Partida(t) && EnTextos());
    };
    auto TieneResto = [&](uint32_t i) {
        if (!posibles.empty() && !posibles[i])
            return false;
        Leidos leidos;
        for (size_t k = 1; k < terminos.size(); ++k)
            if (!Tiene(i, k, leidos))
                return false;
        return true;
    };
    auto TemaTieneResto = [&](uint32_t t) {
        for (size_t k = 1; k < terminos.size(); ++k)
            if (BuscaInicioPalabra(x.temas[t].plegado, terminos[k], false) < 0)
                return false;
        return true;
    };
    auto AgregaItem = [&](uint32_t i, Lugar lugar, int32_t inicio, int32_t largo) {
        nivel[i] = 0;
        res.push_back({false, i, lugar, inicio, largo, false});
    };
    auto AgregaTema = [&](uint32_t t, int32_t inicio, int32_t largo) {
        temaVisto[t] = 1;
        res.push_back({true, t, Lugar::Tema, inicio, largo, false});
    };
    const QString exactaConAcentos = PliegaMayusculas(consultaLimpia);
    auto ConAcentos = [&](const QString& texto) {
        return PliegaMayusculas(texto) == exactaConAcentos;
    };

    // Topics: equal, beginning, a word beginning with the first word.
    std::vector<uint8_t> nivelTema(cuantosTemas, SinNivel);
    for (uint32_t t = 0; t < cuantosTemas; ++t) {
        const std::string_view nombre = x.temas[t].plegado;
        if (!x.temas[t].enTabla)
            continue;
        if (nombre == q)
            nivelTema[t] = ConAcentos(x.temas[t].nombre) ? 0 : 1;
        else if (nombre.substr(0, q.size()) == q)
            nivelTema[t] = 2;
        else if (!terminos.empty() && BuscaInicioPalabra(nombre, terminos[0], false) >= 0 &&
                 TemaTieneResto(t))
            nivelTema[t] = 3;
    }
    auto AgregaTemas = [&](uint8_t cual) {
        for (size_t k = 0; k < x.ordenTemas.size() && !Lleno(); ++k)
            if (const uint32_t t = x.ordenTemas[k]; nivelTema[t] == cual) {
                const int32_t p =
                    cual < 3 ? 0 : BuscaInicioPalabra(x.temas[t].plegado, terminos[0], false);
                AgregaTema(t, p, cual < 3 ? Largo(q) : Largo(terminos[0]));
            }
    };

    // Items whose English or Spanish is the query or begins with it.
    auto Rango = [&](const std::vector<uint32_t>& orden, auto campo) {
        auto lo = std::partition_point(orden.begin(), orden.end(),
                                       [&](uint32_t i) { return campo(i) < q; });
        auto hi = std::partition_point(
            lo, orden.end(), [&](uint32_t i) { return campo(i).substr(0, q.size()) == q; });
        return std::pair(lo, hi);
    };
    auto ingles = [&](uint32_t i) { return x.Ingles(i); };
    auto espanol = [&](uint32_t i) { return x.Espanol(i); };
    const auto [ingLo, ingHi] = Rango(x.porIngles, ingles);
    const auto [espLo, espHi] = Rango(x.porEspanol, espanol);
    // (0 with accents, 1 without), place in key order, item
    std::vector<std::tuple<int, uint32_t, uint32_t>> iguales;
    auto MarcaIgual = [&](uint32_t i) {
        const bool ing = x.Ingles(i) == q, esp = x.Espanol(i) == q;
        if (!ing && !esp)
            return false;
        if (nivel[i] == EsIgual)
            return true;
        nivel[i] = EsIgual;
        const Datos::Originales o = x.OriginalesDe(i);
        const bool acentos = (ing && ConAcentos(o.ingles)) || (esp && ConAcentos(o.espanol));
        iguales.emplace_back(acentos ? 0 : 1, x.rango[i], i);
        return true;
    };
    // Those equal to the query come first in their order: the others are marked without
    // reading their texts, which for a short query may be most of a large vocabulary's.
    auto MarcaIguales = [&](auto desde, auto hasta, auto campo) {
        for (; desde != hasta && campo(*desde) == q; ++desde)
            MarcaIgual(*desde);
        return desde;
    };
    const auto ingRestantes = MarcaIguales(ingLo, ingHi, ingles);
    const auto espRestantes = MarcaIguales(espLo, espHi, espanol);
    for (const auto& [desde, hasta] :
         {std::pair(ingRestantes, ingHi), std::pair(espRestantes, espHi)})
        for (auto it = desde; it != hasta; ++it)
            if (nivel[*it] == SinNivel)
                nivel[*it] = 1;
    std::sort(iguales.begin(), iguales.end());
    auto LugarDelPrincipio = [&](uint32_t i) {
        return x.Ingles(i).substr(0, q.size()) == q ? Lugar::Ingles : Lugar::Espanol;
    };
    for (int acentos = 0; acentos < 2; ++acentos) {
        AgregaTemas(static_cast<uint8_t>(acentos));
        for (const auto& [a, lugar, i] : iguales)
            if (a == acentos && !Lleno() && TieneResto(i))
                AgregaItem(i, LugarDelPrincipio(i), 0, Largo(q));
    }
    for (const auto& [a, lugar, i] : iguales)
        if (nivel[i] == EsIgual)
            nivel[i] = Descartado;
    AgregaTemas(2);
    for (size_t k = 0; k < x.orden.size() && !Lleno(); ++k)
        if (const uint32_t i = x.orden[k]; nivel[i] == 1) {
            if (TieneResto(i))
                AgregaItem(i, LugarDelPrincipio(i), 0, Largo(q));
            else
                nivel[i] = Descartado;
        }

    // A word of English, Spanish or topic beginning with the first query word.
    if (!terminos.empty() && !Lleno()) {
        const std::string_view w0 = terminos[0];
        // Item i in key order, known to be able to hold every word: added when it holds the
        // first, the place from its texts.
        auto MiraItem = [&](uint32_t i) {
            if (TodasMarcadas() && !TieneResto(i)) {
                nivel[i] = Descartado;
                return;
            }
            Lugar lugar = Lugar::Ingles;
            int32_t p = BuscaInicioPalabra(x.Ingles(i), w0, true);
            if (p < 0) {
                lugar = Lugar::Espanol;
                p = BuscaInicioPalabra(x.Espanol(i), w0, false);
            }
            if (p < 0) {
                lugar = Lugar::Tema;
                p = BuscaInicioPalabra(x.TemaPlegado(i), w0, false);
            }
            if (p < 0) {
                nivel[i] = SinNivel;
                return;
            }
            if (TieneResto(i))
                AgregaItem(i, lugar, p, Largo(w0));
            else
                nivel[i] = Descartado;
        };
        AgregaTemas(3);
        if (hayLista && !Partida(w0)) {
            // Few items can hold every word: their texts say at once whether they hold the
            // first, as the index would (its words are where those begin), without walking
            // the holders of a first word that may begin most words.
            for (size_t k = 0; k < listaPosibles.size() && !Lleno(); ++k)
                if (const uint32_t i = listaPosibles[k]; nivel[i] == SinNivel)
                    MiraItem(i);
        } else {
            std::vector<uint8_t> temaCoincide(cuantosTemas, 0);
            bool algunTema = false;
            const auto [desde, hasta] = PalabrasQueEmpiezan(w0);
            for (auto it = desde; it != hasta; ++it) {
                for (uint32_t u : UsosDe(*it)) {
                    const uint32_t donde = Datos::Donde(u);
                    if (donde & MarcaTema) {
                        temaCoincide[donde & ~MarcaTema] = 1;
                        algunTema = true;
                    } else if (nivel[donde] == SinNivel) {
                        nivel[donde] = Candidato2;
                    }
                }
            }
            for (size_t k = 0; k < x.orden.size() && !Lleno(); ++k) {
                const uint32_t i = x.orden[k];
                if (nivel[i] != Candidato2 &&
                    !(algunTema && nivel[i] == SinNivel && temaCoincide[x.ranuras[i].tema]))
                    continue;
                if (!posibles.empty() && !posibles[i])
                    continue; // cannot hold the other words
                MiraItem(i);
            }
        }
    }

    // The notes: the whole query inside them, at a word beginning if there is one there; for
    // several words, the first beginning a word, among the items that can hold them all.
    if (!Lleno() && !variasPalabras) {
        RecorreNotas(q, false, [&](uint32_t i) {
            if (nivel[i] == SinNivel) {
                const std::string_view notas = x.Notas(i);
                const int32_t p = BuscaInicioPalabra(notas, q, false);
                AgregaItem(i, Lugar::Notas, p >= 0 ? p : static_cast<int32_t>(notas.find(q)),
                           Largo(q));
            }
            return !Lleno();
        });
    } else if (!Lleno()) {
        // enNotas: the item's notes are known to hold the first word.
        auto Mira = [&](uint32_t i, bool enNotas) {
            if ((!posibles.empty() && !posibles[i]) || nivel[i] != SinNivel)
                return true;
            const bool marcado = TodasMarcadas();
            if (marcado && !TieneResto(i))
                return true;
            if ((enNotas || x.NotasTienen(EnNotas(terminos[0], true), i)) &&
                (marcado || TieneResto(i)))
                AgregaItem(i, Lugar::Notas, BuscaInicioPalabra(x.Notas(i), terminos[0], false),
                           Largo(terminos[0]));
            return !Lleno();
        };
        // With every other word marked, asking each item in key order costs less than
        // searching all the notes for a first word that may be a single letter.
        if (hayLista)
            for (size_t k = 0; k < listaPosibles.size() && Mira(listaPosibles[k], false); ++k) {
            }
        else if (TodasMarcadas())
            for (size_t k = 0; k < x.orden.size() && Mira(x.orden[k], false); ++k) {
            }
        else
            RecorreNotas(terminos[0], true, [&](uint32_t i) { return Mira(i, true); });
    }

    // Near matches: items and topics holding a stored word within one or two edits of a query
    // word, or two stored words typed without the blank between them ("icecream": one edit).
    // They rank by how much of the query they match: more query words matched exactly (at a
    // word beginning, as above), then the smaller total edit distance (a query word matched
    // nowhere counts as all its letters), then the English or Spanish text nearer the query in
    // length, the shorter first ("dog" before "do" for "dgo", "ice cream" before "ice cream
    // cone"). They are ranked from the index rather than from their texts wherever it can be
    // done: a short word can be near to a large part of a big vocabulary.
    if (res.size() < 5 && !Lleno()) {
        constexpr size_t MaximoTerminos = 32; // the first 32 words of a query count
        const auto cuantos = static_cast<uint32_t>(std::min(terminos.size(), MaximoTerminos));
        constexpr uint32_t SinSegunda = UINT32_MAX;
        struct Cerca {
            uint32_t palabra;
            uint32_t segunda; // the word typed joined to it, or SinSegunda
            uint32_t termino;
            uint32_t distancia;
        };
        std::vector<Cerca> cercanas;
        std::vector<int> letrasTermino(cuantos);
        auto PalabraIgual = [&](std::string_view t) {
            const auto it = std::partition_point(x.porBytes.begin(), x.porBytes.end(),
                                                 [&](uint32_t w) { return x.Palabra(w) < t; });
            return it != x.porBytes.end() && x.Palabra(*it) == t ? *it : SinSegunda;
        };
        for (uint32_t k = 0; k < cuantos; ++k) {
            const std::string_view termino = terminos[k];
            const std::u32string letras = LetrasDe(termino);
            const int largo = static_cast<int>(letras.size());
            letrasTermino[k] = largo;
            if (largo < 3)
                continue;
            const int tope = largo <= 5 ? 1 : 2;
            const uint32_t mascara = MascaraDe(letras);
            const bool ascii = termino.size() == letras.size() && DistanciaBytes::Cabe(termino);
            const std::optional<DistanciaBytes> distanciaBytes =
                ascii ? std::optional<DistanciaBytes>(termino) : std::nullopt;
            for (int l = std::max(1, largo - tope); l <= std::min(255, largo + tope); ++l) {
                x.RecorreDeLargo(static_cast<size_t>(l), [&](uint32_t m, uint32_t w) {
                    if (!PocosBits(mascara & ~m, tope) || !PocosBits(m & ~mascara, tope))
                        return;
                    const std::string_view palabra = x.Palabra(w);
                    int dist = 0;
                    if (ascii && palabra.size() == static_cast<size_t>(l)) { // a byte a letter
                        dist = distanciaBytes->A(palabra, tope);
                    } else {
                        char32_t otra[64];
                        const int cuantas = LetrasEn(palabra, otra, 64);
                        if (cuantas > 64)
                            return;
                        dist = DistanciaEdicion(
                            std::u32string_view(letras),
                            std::u32string_view(otra, static_cast<size_t>(cuantas)), tope);
                    }
                    if (dist >= 1 && dist <= tope)
                        cercanas.push_back({w, SinSegunda, k, static_cast<uint32_t>(dist)});
                });
            }
            const char* s = termino.data();
            const int32_t n = Largo(termino);
            for (int32_t corte = 0;;) {
                U8_FWD_1(s, corte, n);
                if (corte >= n)
                    break;
                const uint32_t a = PalabraIgual(termino.substr(0, corte));
                const uint32_t b = a != SinSegunda ? PalabraIgual(termino.substr(corte)) : a;
                if (b != SinSegunda)
                    cercanas.push_back({a, b, k, 1});
            }
        }

        // Where a near match is in campo: its start and length, or start -1.
        auto Localiza = [&](const Cerca& c, std::string_view campo, bool ingles) {
            const std::string_view palabra = x.Palabra(c.palabra);
            if (c.segunda == SinSegunda)
                return std::pair(BuscaPalabraEntera(campo, palabra, ingles), Largo(palabra));
            return BuscaJuntas(campo, palabra, x.Palabra(c.segunda), ingles);
        };
        auto TextosDe = [&](uint32_t donde) {
            if (donde & MarcaTema)
                return std::pair(std::string_view(x.temas[donde & ~MarcaTema].plegado),
                                 std::string_view());
            return std::pair(x.Ingles(donde), x.Espanol(donde));
        };
        // The length of the English or Spanish of an item, or of a topic's name, read from the
        // texts only when too long to be kept beside them.
        auto LargoDe = [&](uint32_t donde, bool espanol) {
            if (!(donde & MarcaTema)) {
                const Datos::Largos l = x.largosTexto[donde];
                if (const uint16_t largo = espanol ? l.espanol : l.ingles; largo != 0xFFFF)
                    return static_cast<int32_t>(largo);
            }
            const auto [ingles, enEspanol] = TextosDe(donde);
            return Largo(espanol ? enEspanol : ingles);
        };

        // Every item and topic holding a near word, once, with the fewest edits for each query
        // word. Two joined words are looked for side by side among the holders of the rarer.
        struct Estado {
            uint32_t donde;          // item, or topic with MarcaTema
            uint32_t cerca;          // its nearest near match, shown
            bool espanol;            // and whether that is in the Spanish text
            uint64_t distancias = 0; // 2 bits a query word: the edits of its nearest word
            uint32_t exactas = 0;    // a bit a query word: a word begins with it
        };
        std::vector<Estado> estados;
        std::vector<uint32_t> deItem(items, 0), deTema(cuantosTemas, 0); // 1 + place in estados
        auto Usos = [&](uint32_t w) { return x.usosDe[w].cuenta; };
        // Items holding the other of two joined words, marked when there are not many more of
        // them than of the rarer: only those can hold both side by side, and marking costs
        // less than reading the texts of all the others.
        std::vector<uint8_t> conOtra;
        auto MarcaOtra = [&](uint32_t otra, uint8_t marca) {
            for (const uint32_t u : UsosDe(otra))
                if (!(u & MarcaTema))
                    conOtra[Datos::Donde(u)] = marca;
        };
        for (uint32_t c = 0; c < cercanas.size(); ++c) {
            const Cerca& cerca = cercanas[c];
            const bool juntas = cerca.segunda != SinSegunda;
            const uint32_t w =
                juntas && Usos(cerca.segunda) < Usos(cerca.palabra) ? cerca.segunda : cerca.palabra;
            const uint32_t otra = w == cerca.palabra ? cerca.segunda : cerca.palabra;
            constexpr uint64_t Veces = 32;
            const bool filtra = juntas && Usos(otra) < Veces * Usos(w);
            if (filtra) {
                conOtra.resize(items, 0);
                MarcaOtra(otra, 1);
            }
            for (const uint32_t u : UsosDe(w)) {
                const uint32_t donde = Datos::Donde(u);
                if (filtra && !(donde & MarcaTema) && !conOtra[donde])
                    continue;
                uint32_t* lugar = nullptr;
                if (donde & MarcaTema) {
                    const uint32_t t = donde & ~MarcaTema;
                    if (temaVisto[t] || !x.temas[t].enTabla)
                        continue;
                    lugar = &deTema[t];
                } else {
                    if (nivel[donde] == 0)
                        continue;
                    lugar = &deItem[donde];
                }
                bool espanol = Datos::SoloEspanol(u);
                if (juntas) {
                    const auto [ingles, enEspanol] = TextosDe(donde);
                    espanol = Localiza(cerca, ingles, !(donde & MarcaTema)).first < 0;
                    if (espanol && Localiza(cerca, enEspanol, false).first < 0)
                        continue;
                }
                if (*lugar == 0) {
                    estados.push_back({donde, c, espanol});
                    *lugar = static_cast<uint32_t>(estados.size());
                }
                Estado& e = estados[*lugar - 1];
                const uint32_t desplaza = 2 * cerca.termino;
                const uint64_t antes = (e.distancias >> desplaza) & 3;
                if (antes == 0 || cerca.distancia < antes)
                    e.distancias = (e.distancias & ~(uint64_t{3} << desplaza)) |
                                   uint64_t{cerca.distancia} << desplaza;
                if (cerca.distancia < cercanas[e.cerca].distancia) {
                    e.cerca = c;
                    e.espanol = espanol;
                }
            }
            if (filtra)
                MarcaOtra(otra, 0);
        }

        // The query words each candidate holds exactly: from the index when its holders are
        // not many more than the candidates, else (and for topics) from the texts. The holders
        // set bits, then each candidate reads its own: no branch and no state touched per
        // holder, and the bits stay in the cache.
        uint32_t porTexto = 0;
        constexpr uint64_t UsosPorTexto = 32; // a text asked costs about that many holders read
        std::vector<uint64_t> conTermino;
        for (uint32_t k = 0; k < cuantos; ++k) {
            const std::string_view t = terminos[k];
            if (Partida(t)) {
                porTexto |= 1u << k; // split differently in Spanish: not in the index as it is
                continue;
            }
            const auto [desde, hasta] = PalabrasQueEmpiezan(t);
            uint64_t cuenta = 0;
            for (auto it = desde; it != hasta; ++it)
                cuenta += Usos(*it);
            if (cuenta > UsosPorTexto * estados.size() + 1000) {
                porTexto |= 1u << k;
                continue;
            }
            conTermino.assign((items + 63) / 64, 0);
            for (auto it = desde; it != hasta; ++it)
                for (const uint32_t u : UsosDe(*it))
                    if (!(u & MarcaTema)) {
                        const uint32_t donde = u & ~MarcaEspanol;
                        conTermino[donde >> 6] |= uint64_t{1} << (donde & 63);
                    }
            for (Estado& e : estados)
                if (!(e.donde & MarcaTema))
                    e.exactas |=
                        static_cast<uint32_t>(conTermino[e.donde >> 6] >> (e.donde & 63) & 1) << k;
        }

        struct Puesto {
            int exactas = 0, distancia = 0;
            int32_t desvio = 0, texto = 0; // how far the text's length is from the query's
            uint32_t estado = 0;
        };
        int32_t largoConsulta = -1;
        for (uint32_t k = 0; k < cuantos; ++k)
            largoConsulta += Largo(terminos[k]) + 1;
        std::vector<Puesto> puestos(estados.size());
        for (uint32_t n = 0; n < estados.size(); ++n) {
            Estado& e = estados[n];
            const bool esTema = e.donde & MarcaTema;
            const uint32_t mirar = esTema ? UINT32_MAX : porTexto;
            Puesto& p = puestos[n];
            p.estado = n;
            // Its texts read once, if any query word is looked for in them.
            const auto [ingles, espanol] = mirar & ((uint64_t{1} << cuantos) - 1)
                                               ? TextosDe(e.donde)
                                               : std::pair(std::string_view(), std::string_view());
            for (uint32_t k = 0; k < cuantos; ++k) {
                if (mirar >> k & 1) {
                    if (BuscaInicioPalabra(ingles, terminos[k], !esTema) >= 0 ||
                        BuscaInicioPalabra(espanol, terminos[k], false) >= 0)
                        e.exactas |= 1u << k;
                }
                const auto d = static_cast<int>(e.distancias >> 2 * k & 3);
                if (e.exactas >> k & 1)
                    ++p.exactas;
                else
                    p.distancia += d != 0 ? d : letrasTermino[k];
            }
            p.texto = LargoDe(e.donde, e.espanol); // from the index, not the text
            p.desvio = std::abs(p.texto - largoConsulta);
        }
        auto Clave = [&](const Puesto& p) {
            const uint32_t donde = estados[p.estado].donde;
            return std::tuple(-p.exactas, p.distancia, p.desvio, p.texto, !(donde & MarcaTema),
                              donde & MarcaTema ? x.rangoTema[donde & ~MarcaTema] : x.rango[donde]);
        };
        auto Antes = [&](const Puesto& a, const Puesto& b) { return Clave(a) < Clave(b); };
        const size_t caben = std::min(puestos.size(), limite - res.size());
        std::partial_sort(puestos.begin(), puestos.begin() + static_cast<ptrdiff_t>(caben),
                          puestos.end(), Antes);
        for (size_t n = 0; n < caben; ++n) {
            const Estado& e = estados[puestos[n].estado];
            const Cerca& cerca = cercanas[e.cerca];
            const auto [ingles, espanol] = TextosDe(e.donde);
            if (e.donde & MarcaTema) {
                const auto [inicio, largo] = Localiza(cerca, ingles, false);
                AgregaTema(e.donde & ~MarcaTema, std::max(inicio, 0), largo);
            } else {
                const Lugar lugar = e.espanol ? Lugar::Espanol : Lugar::Ingles;
                const auto [inicio, largo] =
                    Localiza(cerca, e.espanol ? espanol : ingles, !e.espanol);
                if (inicio < 0)
                    continue;
                AgregaItem(e.donde, lugar, inicio, largo);
            }
            res.back().cercano = true;
        }
    }

    // Back to the original texts: positions through the map of the folding.
    salida.reserve(res.size());
    for (const Encontrado& e : res) {
        Hallazgo h;
        h.esTema = e.esTema;
        h.lugar = e.lugar;
        h.cercano = e.cercano;
        QString texto;
        if (e.esTema) {
            h.tema = x.temas[e.id].nombre;
            texto = h.tema;
        } else {
            Datos::Originales o = x.OriginalesDe(e.id);
            h.ingles = std::move(o.ingles);
            h.espanol = std::move(o.espanol);
            h.tema = x.temas[x.ranuras[e.id].tema].nombre;
            texto = e.lugar == Lugar::Ingles    ? h.ingles
                    : e.lugar == Lugar::Espanol ? h.espanol
                    : e.lugar == Lugar::Tema    ? h.tema
                                                : x.NotasOriginales(e.id, h.ingles);
        }
        const Mapa mapa = MapaPliegue(texto);
        int a = 0, b = 0;
        const auto bytes = static_cast<int32_t>(mapa.plegado.size());
        if (e.inicio < bytes && e.largo > 0) {
            a = mapa.inicio[e.inicio];
            b = mapa.fin[std::min(bytes, e.inicio + e.largo) - 1];
        }
        if (h.cercano)
            h.palabra = texto.mid(a, b - a);
        if (e.lugar != Lugar::Notas) {
            h.fragmento = texto;
            h.inicio = a;
            h.largo = b - a;
        } else {
            // About 60 characters around the match, line breaks as spaces.
            constexpr int Ancho = 60, Antes = 25;
            const int n = static_cast<int>(texto.size());
            int desde = std::max(0, a - Antes);
            int hasta = std::min(n, std::max(desde + Ancho, b));
            if (hasta == n)
                desde = std::max(0, std::min(desde, hasta - Ancho));
            if (desde > 0 && texto[desde].isLowSurrogate())
                --desde;
            if (hasta < n && texto[hasta].isLowSurrogate())
                ++hasta;
            QString f;
            if (desde > 0)
                f += QChar(0x2026);
            int inicio = -1, fin = -1;
            for (int k = desde; k < hasta; ++k) {
                if (k == a)
                    inicio = static_cast<int>(f.size());
                if (k == b)
                    fin = static_cast<int>(f.size());
                const QChar c = texto[k];
                if (c == u'\r' || c == u'\n') {
                    if (c == u'\r' && k + 1 < hasta && texto[k + 1] == u'\n' && k + 1 != a &&
                        k + 1 != b)
                        ++k;
                    f += QLatin1Char(' ');
                } else {
                    f += c;
                }
            }
            if (inicio < 0)
                inicio = static_cast<int>(f.size());
            if (fin < 0)
                fin = static_cast<int>(f.size());
            if (hasta < n)
                f += QChar(0x2026);
            h.fragmento = f;
            h.inicio = inicio;
            h.largo = fin - inicio;
        }
        salida.push_back(std::move(h));
    }
    return salida;
}

} // namespace Busqueda
