#include "busqueda/Busqueda.h"

#include "busqueda/Distancia.h"
#include "busqueda/IndiceDatos.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <optional>
#include <span>
#include <thread>
#include <tuple>

namespace Busqueda {

namespace {

constexpr uint8_t SinNivel = 255;
constexpr uint8_t Descartado = 254; // matched the first word but not every other
constexpr uint8_t Candidato2 = 100; // has a word beginning with the first query word
constexpr uint8_t EsIgual = 50;     // English or Spanish equal to the query, not yet taken

std::atomic<size_t> PartirDesde{Indice::Umbrales().partirNotas};
std::atomic<size_t> MarcarTras{Indice::Umbrales().marcarTras};

} // namespace

void Indice::PonUmbrales(Umbrales umbrales)
{
    PartirDesde = umbrales.partirNotas;
    MarcarTras = umbrales.marcarTras;
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
