// The near matches of a search: items and topics holding a stored word within one or two edits
// of a query word, or two stored words typed without the blank between them ("icecream": one
// edit). They rank by how much of the query they match: more query words matched exactly (at a
// word beginning, as the exact results), then the smaller total edit distance (a query word
// matched nowhere counts as all its letters), then the English or Spanish text nearer the query
// in length, the shorter first ("dog" before "do" for "dgo", "ice cream" before "ice cream
// cone"). They are ranked from the index rather than from their texts wherever it can be done:
// a short word can be near to a large part of a big vocabulary.
#include "busqueda/Consulta.h"
#include "busqueda/Distancia.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace Busqueda {

namespace {

constexpr size_t MaximoTerminos = 32; // the first 32 words of a query count
constexpr size_t PocosResultados = 5; // near matches follow fewer results than these

} // namespace

void Consulta::AgregaCercanas()
{
    if (encontrados_.size() >= PocosResultados || Lleno())
        return;
    terminosContados_ = static_cast<uint32_t>(std::min(terminos_.size(), MaximoTerminos));
    ReuneCercanas();
    ReuneCandidatos();
    const uint32_t porTexto = CuentaExactas();
    std::vector<Puesto> puestos = Puntua(porTexto);
    AgregaMejores(puestos);
}

// A stored word's id, or SinSegunda.
uint32_t Consulta::PalabraIgual(std::string_view palabra) const
{
    const auto it = std::partition_point(indice_.porBytes.begin(), indice_.porBytes.end(),
                                         [&](uint32_t w) { return indice_.Palabra(w) < palabra; });
    return it != indice_.porBytes.end() && indice_.Palabra(*it) == palabra ? *it : SinSegunda;
}

// The stored words near each query word of 3 letters or more: one edit up to 5 letters, two
// from 6, found among the words of a length near its own whose letters differ in few bits.
void Consulta::ReuneCercanas()
{
    letrasTermino_.assign(terminosContados_, 0);
    for (uint32_t k = 0; k < terminosContados_; ++k) {
        const std::string_view termino = terminos_[k];
        const std::u32string letras = LetrasDe(termino);
        const int largo = static_cast<int>(letras.size());
        letrasTermino_[k] = largo;
        if (largo < 3)
            continue;
        const int tope = largo <= 5 ? 1 : 2;
        const uint32_t mascara = MascaraDe(letras);
        const bool ascii = termino.size() == letras.size() && DistanciaBytes::Cabe(termino);
        const std::optional<DistanciaBytes> distanciaBytes =
            ascii ? std::optional<DistanciaBytes>(termino) : std::nullopt;
        for (int largoOtra = std::max(1, largo - tope); largoOtra <= std::min(255, largo + tope);
             ++largoOtra) {
            indice_.RecorreDeLargo(static_cast<size_t>(largoOtra), [&](uint32_t mascaraOtra,
                                                                       uint32_t otra) {
                if (!PocosBits(mascara & ~mascaraOtra, tope) ||
                    !PocosBits(mascaraOtra & ~mascara, tope))
                    return;
                const std::string_view palabra = indice_.Palabra(otra);
                int distancia = 0;
                if (ascii && palabra.size() == static_cast<size_t>(largoOtra)) {
                    distancia = distanciaBytes->A(palabra, tope); // a byte a letter
                } else {
                    char32_t letrasOtra[64];
                    const int cuantas = LetrasEn(palabra, letrasOtra, 64);
                    if (cuantas > 64)
                        return;
                    distancia = DistanciaEdicion(
                        std::u32string_view(letras),
                        std::u32string_view(letrasOtra, static_cast<size_t>(cuantas)), tope);
                }
                if (distancia >= 1 && distancia <= tope)
                    cercanas_.push_back({otra, SinSegunda, k, static_cast<uint32_t>(distancia)});
            });
        }
        ReuneJuntas(k);
    }
}

// The query word cut in two stored words, at every place it can be.
void Consulta::ReuneJuntas(uint32_t termino)
{
    const std::string_view texto = terminos_[termino];
    const char* bytes = texto.data();
    const int32_t largo = Largo(texto);
    for (int32_t corte = 0;;) {
        U8_FWD_1(bytes, corte, largo);
        if (corte >= largo)
            break;
        const uint32_t antes = PalabraIgual(texto.substr(0, corte));
        const uint32_t despues = antes != SinSegunda ? PalabraIgual(texto.substr(corte)) : antes;
        if (despues != SinSegunda)
            cercanas_.push_back({antes, despues, termino, 1});
    }
}

// Where a near match is in campo: its start and length, or start -1.
std::pair<int32_t, int32_t> Consulta::LocalizaCercana(const Cerca& cerca, std::string_view campo,
                                                      bool ingles) const
{
    const std::string_view palabra = indice_.Palabra(cerca.palabra);
    if (cerca.segunda == SinSegunda)
        return std::pair(BuscaPalabraEntera(campo, palabra, ingles), Largo(palabra));
    return BuscaJuntas(campo, palabra, indice_.Palabra(cerca.segunda), ingles);
}

// An item's folded English and Spanish, or a topic's folded name.
std::pair<std::string_view, std::string_view> Consulta::TextosDe(uint32_t donde) const
{
    if (donde & MarcaTema)
        return std::pair(std::string_view(indice_.temas[donde & ~MarcaTema].plegado),
                         std::string_view());
    return std::pair(indice_.Ingles(donde), indice_.Espanol(donde));
}

// The length of the English or Spanish of an item, or of a topic's name, read from the texts
// only when too long to be kept beside them.
int32_t Consulta::LargoDe(uint32_t donde, bool espanol) const
{
    if (!(donde & MarcaTema)) {
        const Datos::Largos largos = indice_.largosTexto[donde];
        if (const uint16_t largo = espanol ? largos.espanol : largos.ingles; largo != 0xFFFF)
            return static_cast<int32_t>(largo);
    }
    const auto [ingles, enEspanol] = TextosDe(donde);
    return Largo(espanol ? enEspanol : ingles);
}

// Every item and topic holding a near word, once, with the fewest edits for each query word.
// Two joined words are looked for side by side among the holders of the rarer.
void Consulta::ReuneCandidatos()
{
    std::vector<uint32_t> deItem(items_, 0), deTema(cuantosTemas_, 0); // 1 + place in estados_
    // Items holding the other of two joined words, marked when there are not many more of
    // them than of the rarer: only those can hold both side by side, and marking costs less
    // than reading the texts of all the others.
    std::vector<uint8_t> conOtra;
    auto MarcaOtra = [&](uint32_t otra, uint8_t marca) {
        for (const uint32_t uso : UsosDe(otra))
            if (!(uso & MarcaTema))
                conOtra[Datos::Donde(uso)] = marca;
    };
    for (uint32_t numero = 0; numero < cercanas_.size(); ++numero) {
        const Cerca& cerca = cercanas_[numero];
        const bool juntas = cerca.segunda != SinSegunda;
        const uint32_t rara = juntas && CuantosUsos(cerca.segunda) < CuantosUsos(cerca.palabra)
                                  ? cerca.segunda
                                  : cerca.palabra;
        const uint32_t otra = rara == cerca.palabra ? cerca.segunda : cerca.palabra;
        constexpr uint64_t Veces = 32;
        const bool filtra = juntas && CuantosUsos(otra) < Veces * CuantosUsos(rara);
        if (filtra) {
            conOtra.resize(items_, 0);
            MarcaOtra(otra, 1);
        }
        for (const uint32_t uso : UsosDe(rara)) {
            const uint32_t donde = Datos::Donde(uso);
            if (filtra && !(donde & MarcaTema) && !conOtra[donde])
                continue;
            uint32_t* lugar = nullptr;
            if (donde & MarcaTema) {
                const uint32_t tema = donde & ~MarcaTema;
                if (temaVisto_[tema] || !indice_.temas[tema].enTabla)
                    continue;
                lugar = &deTema[tema];
            } else {
                if (nivel_[donde] == Tomado)
                    continue;
                lugar = &deItem[donde];
            }
            bool espanol = Datos::SoloEspanol(uso);
            if (juntas) {
                const auto [ingles, enEspanol] = TextosDe(donde);
                espanol = LocalizaCercana(cerca, ingles, !(donde & MarcaTema)).first < 0;
                if (espanol && LocalizaCercana(cerca, enEspanol, false).first < 0)
                    continue;
            }
            if (*lugar == 0) {
                estados_.push_back({donde, numero, espanol});
                *lugar = static_cast<uint32_t>(estados_.size());
            }
            Estado& estado = estados_[*lugar - 1];
            const uint32_t desplaza = 2 * cerca.termino;
            const uint64_t antes = (estado.distancias >> desplaza) & 3;
            if (antes == 0 || cerca.distancia < antes)
                estado.distancias = (estado.distancias & ~(uint64_t{3} << desplaza)) |
                                    uint64_t{cerca.distancia} << desplaza;
            if (cerca.distancia < cercanas_[estado.cerca].distancia) {
                estado.cerca = numero;
                estado.espanol = espanol;
            }
        }
        if (filtra)
            MarcaOtra(otra, 0);
    }
}

// The query words each candidate holds exactly: from the index when its holders are not many
// more than the candidates; the others (a bit a query word, returned) from the texts, as are
// all for topics. The holders set bits, then each candidate reads its own: no branch and no
// state touched per holder, and the bits stay in the cache.
uint32_t Consulta::CuentaExactas()
{
    uint32_t porTexto = 0;
    constexpr uint64_t UsosPorTexto = 32; // a text asked costs about that many holders read
    std::vector<uint64_t> conTermino;
    for (uint32_t k = 0; k < terminosContados_; ++k) {
        const std::string_view termino = terminos_[k];
        if (Partida(termino)) {
            porTexto |= 1u << k; // split differently in Spanish: not in the index as it is
            continue;
        }
        const auto [desde, hasta] = PalabrasQueEmpiezan(termino);
        uint64_t usos = 0;
        for (auto it = desde; it != hasta; ++it)
            usos += CuantosUsos(*it);
        if (usos > UsosPorTexto * estados_.size() + 1000) {
            porTexto |= 1u << k;
            continue;
        }
        conTermino.assign((items_ + 63) / 64, 0);
        for (auto it = desde; it != hasta; ++it)
            for (const uint32_t uso : UsosDe(*it))
                if (!(uso & MarcaTema)) {
                    const uint32_t donde = uso & ~MarcaEspanol;
                    conTermino[donde >> 6] |= uint64_t{1} << (donde & 63);
                }
        for (Estado& estado : estados_)
            if (!(estado.donde & MarcaTema))
                estado.exactas |=
                    static_cast<uint32_t>(conTermino[estado.donde >> 6] >> (estado.donde & 63) & 1)
                    << k;
    }
    return porTexto;
}

// Each candidate's rank: the query words it holds exactly (those of porTexto, and all for a
// topic, looked for in its texts), its edits, and its text's length against the query's.
std::vector<Consulta::Puesto> Consulta::Puntua(uint32_t porTexto)
{
    int32_t largoConsulta = -1;
    for (uint32_t k = 0; k < terminosContados_; ++k)
        largoConsulta += Largo(terminos_[k]) + 1;
    std::vector<Puesto> puestos(estados_.size());
    for (uint32_t numero = 0; numero < estados_.size(); ++numero) {
        Estado& estado = estados_[numero];
        const bool esTema = estado.donde & MarcaTema;
        const uint32_t mirar = esTema ? UINT32_MAX : porTexto;
        Puesto& puesto = puestos[numero];
        puesto.estado = numero;
        // Its texts read once, if any query word is looked for in them.
        const auto [ingles, espanol] = mirar & ((uint64_t{1} << terminosContados_) - 1)
                                           ? TextosDe(estado.donde)
                                           : std::pair(std::string_view(), std::string_view());
        for (uint32_t k = 0; k < terminosContados_; ++k) {
            if (mirar >> k & 1) {
                if (BuscaInicioPalabra(ingles, terminos_[k], !esTema) >= 0 ||
                    BuscaInicioPalabra(espanol, terminos_[k], false) >= 0)
                    estado.exactas |= 1u << k;
            }
            const auto distancia = static_cast<int>(estado.distancias >> 2 * k & 3);
            if (estado.exactas >> k & 1)
                ++puesto.exactas;
            else
                puesto.distancia += distancia != 0 ? distancia : letrasTermino_[k];
        }
        puesto.texto = LargoDe(estado.donde, estado.espanol); // from the index, not the text
        puesto.desvio = std::abs(puesto.texto - largoConsulta);
    }
    return puestos;
}

// The best ranked, as many as the results have room for, each at its nearest near match; on a
// tie topics come before items, then the key order decides.
void Consulta::AgregaMejores(std::vector<Puesto>& puestos)
{
    auto Clave = [&](const Puesto& puesto) {
        const uint32_t donde = estados_[puesto.estado].donde;
        return std::tuple(
            -puesto.exactas, puesto.distancia, puesto.desvio, puesto.texto, !(donde & MarcaTema),
            donde & MarcaTema ? indice_.rangoTema[donde & ~MarcaTema] : indice_.rango[donde]);
    };
    auto Antes = [&](const Puesto& a, const Puesto& b) { return Clave(a) < Clave(b); };
    const size_t caben = std::min(puestos.size(), limite_ - encontrados_.size());
    std::partial_sort(puestos.begin(), puestos.begin() + static_cast<ptrdiff_t>(caben),
                      puestos.end(), Antes);
    for (size_t n = 0; n < caben; ++n) {
        const Estado& estado = estados_[puestos[n].estado];
        const Cerca& cerca = cercanas_[estado.cerca];
        const auto [ingles, espanol] = TextosDe(estado.donde);
        if (estado.donde & MarcaTema) {
            const auto [inicio, largo] = LocalizaCercana(cerca, ingles, false);
            AgregaTema(estado.donde & ~MarcaTema, std::max(inicio, 0), largo);
        } else {
            const Lugar lugar = estado.espanol ? Lugar::Espanol : Lugar::Ingles;
            const auto [inicio, largo] =
                LocalizaCercana(cerca, estado.espanol ? espanol : ingles, !estado.espanol);
            if (inicio < 0)
                continue;
            AgregaItem(estado.donde, lugar, inicio, largo);
        }
        encontrados_.back().cercano = true;
    }
}

} // namespace Busqueda
