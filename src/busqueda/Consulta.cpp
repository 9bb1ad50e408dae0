#include "busqueda/Consulta.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <thread>

namespace Busqueda {

namespace {

std::atomic<size_t> PartirDesde{Indice::Umbrales().partirNotas};
std::atomic<size_t> MarcarTras{Indice::Umbrales().marcarTras};

// About 60 characters of the notes around the match at [inicio, fin), line breaks as spaces,
// an ellipsis where they are cut, into the result with the match's place in that piece.
void PonFragmentoDeNotas(Hallazgo& hallazgo, const QString& notas, int inicio, int fin)
{
    constexpr int Ancho = 60, Antes = 25;
    const int largo = static_cast<int>(notas.size());
    int desde = std::max(0, inicio - Antes);
    int hasta = std::min(largo, std::max(desde + Ancho, fin));
    if (hasta == largo)
        desde = std::max(0, std::min(desde, hasta - Ancho));
    if (desde > 0 && notas[desde].isLowSurrogate())
        --desde;
    if (hasta < largo && notas[hasta].isLowSurrogate())
        ++hasta;
    QString fragmento;
    if (desde > 0)
        fragmento += QChar(0x2026);
    int inicioEnFragmento = -1, finEnFragmento = -1;
    for (int k = desde; k < hasta; ++k) {
        if (k == inicio)
            inicioEnFragmento = static_cast<int>(fragmento.size());
        if (k == fin)
            finEnFragmento = static_cast<int>(fragmento.size());
        const QChar c = notas[k];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && k + 1 < hasta && notas[k + 1] == u'\n' && k + 1 != inicio &&
                k + 1 != fin)
                ++k;
            fragmento += QLatin1Char(' ');
        } else {
            fragmento += c;
        }
    }
    if (inicioEnFragmento < 0)
        inicioEnFragmento = static_cast<int>(fragmento.size());
    if (finEnFragmento < 0)
        finEnFragmento = static_cast<int>(fragmento.size());
    if (hasta < largo)
        fragmento += QChar(0x2026);
    hallazgo.fragmento = fragmento;
    hallazgo.inicio = inicioEnFragmento;
    hallazgo.largo = finEnFragmento - inicioEnFragmento;
}

} // namespace

void Indice::PonUmbrales(Umbrales umbrales)
{
    PartirDesde = umbrales.partirNotas;
    MarcarTras = umbrales.marcarTras;
}

std::vector<Hallazgo> Indice::Busca(const QString& consulta, int maximo) const
{
    if (!d || maximo <= 0)
        return {};
    Consulta busqueda(*d, maximo);
    if (!busqueda.Lee(consulta))
        return {};
    busqueda.AcotaPosibles();
    busqueda.NivelaTemas();
    busqueda.MarcaPrincipios();
    busqueda.AgregaPrincipios();
    busqueda.AgregaPalabras();
    busqueda.AgregaNotas();
    busqueda.AgregaCercanas();
    return busqueda.Hallazgos();
}

Consulta::Consulta(const Indice::Datos& indice, int maximo)
    : indice_(indice), limite_(static_cast<size_t>(maximo)), items_(indice.Ranuras()),
      cuantosTemas_(static_cast<uint32_t>(indice.temas.size()))
{
}

bool Consulta::Lee(const QString& consulta)
{
    consultaLimpia_ = consulta.trimmed();
    PliegaUtf8(consultaLimpia_, plegada_);
    while (!plegada_.empty() &&
           (plegada_.back() == ' ' || plegada_.back() == '\t' || plegada_.back() == '\n'))
        plegada_.pop_back();
    if (consultaLimpia_.isEmpty() || plegada_.find_first_not_of(" \t\r\n") == std::string::npos)
        return false;
    RecorrePalabras(plegada_, true, [&](const Trozo& t) {
        terminos_.push_back(std::string_view(plegada_).substr(t.inicio, t.fin - t.inicio));
    });
    variasPalabras_ = terminos_.size() > 1;
    nivel_.assign(items_, SinNivel);
    temaVisto_.assign(cuantosTemas_, 0);
    tiene_.resize(terminos_.size());
    marcarTrasDe_.assign(terminos_.size(), 0);
    marcarTras_ = MarcarTras.load(std::memory_order_relaxed) *
                  std::max<size_t>(1, indice_.notasLeidas.Bytes() >> 21);
    exactaConAcentos_ = PliegaMayusculas(consultaLimpia_);
    return true;
}

std::pair<Consulta::Lugares, Consulta::Lugares>
Consulta::PalabrasQueEmpiezan(std::string_view principio) const
{
    const std::vector<uint32_t>& porBytes = indice_.porBytes;
    const auto desde = std::partition_point(porBytes.begin(), porBytes.end(), [&](uint32_t w) {
        return indice_.Palabra(w) < principio;
    });
    // Those beginning with it follow one another from there: a short one may begin many.
    const auto hasta = std::partition_point(desde, porBytes.end(), [&](uint32_t w) {
        return indice_.Palabra(w).substr(0, principio.size()) == principio;
    });
    return std::pair(desde, hasta);
}

// Marks (with marca) the items holding a word that begins with principio in their English or
// Spanish, or in their topic's name; true when a topic's name holds one.
bool Consulta::MarcaDelIndice(std::string_view principio, std::vector<uint8_t>& marcas,
                              uint8_t marca) const
{
    std::vector<uint8_t> temas(cuantosTemas_, 0);
    bool enTema = false;
    const auto [desde, hasta] = PalabrasQueEmpiezan(principio);
    for (auto it = desde; it != hasta; ++it)
        for (const uint32_t uso : UsosDe(*it)) {
            const uint32_t donde = Datos::Donde(uso);
            if (donde & MarcaTema) {
                temas[donde & ~MarcaTema] = 1;
                enTema = true;
            } else {
                marcas[donde] = marca;
            }
        }
    if (enTema)
        for (const uint32_t i : indice_.orden)
            if (temas[indice_.ranuras[i].tema])
                marcas[i] = marca;
    return enTema;
}

const Indice::Datos::BuscaEnNotas& Consulta::EnNotas(std::string_view buscado, bool alInicio)
{
    for (const auto& preparada : preparadas_)
        if (preparada->buscado == buscado && preparada->alInicio == alInicio)
            return *preparada;
    preparadas_.push_back(
        std::make_unique<Datos::BuscaEnNotas>(indice_.PreparaNotas(buscado, alInicio)));
    return *preparadas_.back();
}

// Calls visita(item) for every item whose folded notes hold buscado (alInicio: at a word
// beginning), in key order, until it returns false. The notes read at once lie in key order;
// those changed since (few) are looked at first and go in among them by their place.
template <typename Visita>
void Consulta::RecorreNotas(std::string_view buscado, bool alInicio, Visita&& visita)
{
    const Datos::BuscaEnNotas& busca = EnNotas(buscado, alInicio);
    std::vector<std::pair<uint32_t, uint32_t>> cambiadas; // place, item
    for (uint32_t i : indice_.notasCambiadas)
        if (indice_.NotasTienen(busca, i))
            cambiadas.emplace_back(indice_.rango[i], i);
    std::sort(cambiadas.begin(), cambiadas.end());
    auto cambiada = cambiadas.begin();
    auto VisitaCambiadasAntes = [&](uint32_t lugar) {
        for (; cambiada != cambiadas.end() && cambiada->first < lugar; ++cambiada)
            if (!visita(cambiada->second))
                return false;
        return true;
    };
    auto VisitaEnSuLugar = [&](uint32_t i) {
        return VisitaCambiadasAntes(indice_.rango[i]) && visita(i);
    };
    const uint32_t notas = indice_.notasLeidas.Cuantas();
    bool sigue = true;
    // Many notes are searched in two halves at once: the second on a thread of its own,
    // which keeps what it finds until the first half has been visited (and stops when the
    // first half was enough).
    if (indice_.notasLeidas.Bytes() < PartirDesde.load(std::memory_order_relaxed)) {
        sigue = indice_.RecorreLeidas(busca, 0, notas, VisitaEnSuLugar);
    } else {
        const uint32_t mitad = notas / 2;
        std::atomic<bool> basta{false};
        std::vector<uint32_t> segunda;
        std::thread otra([&] {
            indice_.RecorreLeidas(busca, mitad, notas, [&](uint32_t i) {
                segunda.push_back(i);
                return !basta.load(std::memory_order_relaxed);
            });
        });
        sigue = indice_.RecorreLeidas(busca, 0, mitad, VisitaEnSuLugar);
        basta = !sigue;
        otra.join();
        for (size_t k = 0; sigue && k < segunda.size(); ++k)
            sigue = VisitaEnSuLugar(segunda[k]);
    }
    if (sigue)
        VisitaCambiadasAntes(UINT32_MAX);
}

void Consulta::AcotaPosibles()
{
    if (!variasPalabras_)
        return;
    const std::string_view* masRara = nullptr;
    uint64_t menosUsos = UINT64_MAX;
    for (const std::string_view& termino : terminos_) {
        if (Partida(termino))
            continue; // split differently in Spanish: not in the index as it is
        const auto [desde, hasta] = PalabrasQueEmpiezan(termino);
        uint64_t usos = 0;
        for (auto it = desde; it != hasta; ++it)
            usos += indice_.usosDe[*it].cuenta;
        if (usos < menosUsos || (usos == menosUsos && termino.size() > masRara->size())) {
            menosUsos = usos;
            masRara = &termino;
        }
    }
    // When even the rarest is common, most items hold it: checking one by one finds enough
    // quickly, and marking them all would cost more.
    constexpr uint64_t Comun = 3000;
    if (!masRara || menosUsos > Comun)
        return;
    const std::string_view termino = *masRara;
    posibles_.assign(items_, 0);
    const bool enTema = MarcaDelIndice(termino, posibles_, Cierta);
    const auto [desde, hasta] = PalabrasQueEmpiezan(termino);
    const auto notas = NotasConPrincipio(termino);
    const std::vector<uint32_t>& deNotas = *notas; // in key order
    for (const uint32_t i : deNotas)
        posibles_[i] = 1;
    hayLista_ = !enTema;
    if (!hayLista_)
        return;
    auto EnOrden = [&](uint32_t i, uint32_t j) { return indice_.rango[i] < indice_.rango[j]; };
    std::vector<uint32_t> deIndice;
    for (auto it = desde; it != hasta; ++it)
        for (uint32_t uso : UsosDe(*it))
            deIndice.push_back(Datos::Donde(uso));
    std::sort(deIndice.begin(), deIndice.end(), EnOrden);
    std::merge(deIndice.begin(), deIndice.end(), deNotas.begin(), deNotas.end(),
               std::back_inserter(listaPosibles_), EnOrden);
    listaPosibles_.erase(std::unique(listaPosibles_.begin(), listaPosibles_.end()),
                         listaPosibles_.end());
}

// The items whose notes hold a word beginning with termino, in key order. A phrase's rarest
// word stays the same for every key typed after it: its walk of all the notes is kept while
// the index does not change.
std::shared_ptr<const std::vector<uint32_t>> Consulta::NotasConPrincipio(std::string_view termino)
{
    Datos::NotasRecientes& recientes = *indice_.notasRecientes;
    {
        const std::lock_guard cerrojo(recientes.cerrojo);
        if (recientes.escrituras == indice_.escrituras && recientes.principio == termino)
            return recientes.items;
    }
    auto items = std::make_shared<std::vector<uint32_t>>();
    RecorreNotas(termino, true, [&](uint32_t i) {
        items->push_back(i);
        return true;
    });
    const std::lock_guard cerrojo(recientes.cerrojo);
    recientes.escrituras = indice_.escrituras;
    recientes.principio = termino;
    recientes.items = items;
    return items;
}

// Then asking whether an item holds the other words is a look at a byte, cheaper than any
// text.
bool Consulta::TodasMarcadas() const
{
    return marcadas_ > 0 && marcadas_ + 1 == terminos_.size();
}

// Marks at once the items that hold a word beginning with the query word given, from the
// index and one search of the notes.
void Consulta::Marca(size_t termino)
{
    const std::string_view principio = terminos_[termino];
    std::vector<uint8_t>& marcas = tiene_[termino];
    marcas.assign(items_, 0);
    ++marcadas_;
    if (Partida(principio)) {
        // Split in Spanish, the word can begin there only where its first piece begins a
        // word: the items holding one are asked their texts. In the index, a word with an
        // apostrophe is an English one, which holds it for certain.
        std::string_view pieza;
        RecorrePalabras(principio, false, [&](const Trozo& t) {
            if (pieza.empty())
                pieza = principio.substr(size_t(t.inicio), size_t(t.fin - t.inicio));
        });
        MarcaDelIndice(pieza, marcas, PorLeer);
    }
    MarcaDelIndice(principio, marcas, Cierta);
    RecorreNotas(principio, true, [&](uint32_t i) {
        marcas[i] = Cierta;
        return true;
    });
}

// After how many questions the items holding the query word are all marked. Notes searched
// for a few words' numbers are read four times as fast: marking then pays off sooner.
size_t Consulta::PreguntasAntesDeMarcar(size_t termino)
{
    size_t& tras = marcarTrasDe_[termino];
    if (tras == 0) {
        const bool pocas =
            EnNotas(terminos_[termino], true).marcas.cuantas <= NotasCodificadas::Marcas::Pocas;
        tras = std::max<size_t>(1, pocas ? marcarTras_ / 4 : marcarTras_);
    }
    return tras;
}

// Whether the item holds a word beginning with the query word given, in its English, Spanish,
// topic or notes. In a large vocabulary many items may be asked: then the items that do are
// all marked at once, the first time it is asked after enough. A word with an apostrophe is
// split differently in Spanish, not as the index holds it: its texts are still looked at one
// by one.
bool Consulta::Tiene(uint32_t item, size_t termino, Leidos& leidos)
{
    const std::string_view principio = terminos_[termino];
    auto EnTextos = [&] {
        if (!leidos.ya)
            leidos = {indice_.Ingles(item), indice_.Espanol(item), true};
        return BuscaInicioPalabra(leidos.ingles, principio, true) >= 0 ||
               BuscaInicioPalabra(leidos.espanol, principio, false) >= 0 ||
               BuscaInicioPalabra(indice_.TemaPlegado(item), principio, false) >= 0;
    };
    if (tiene_[termino].empty()) {
        if (++preguntas_ < PreguntasAntesDeMarcar(termino))
            return EnTextos() || indice_.NotasTienen(EnNotas(principio, true), item);
        Marca(termino);
    }
    const uint8_t marca = tiene_[termino][item];
    return marca == Cierta || (marca == PorLeer && EnTextos());
}

// Whether the item can hold, and holds, every query word after the first.
bool Consulta::TieneResto(uint32_t item)
{
    if (!posibles_.empty() && !posibles_[item])
        return false;
    Leidos leidos;
    for (size_t k = 1; k < terminos_.size(); ++k)
        if (!Tiene(item, k, leidos))
            return false;
    return true;
}

bool Consulta::TemaTieneResto(uint32_t tema) const
{
    for (size_t k = 1; k < terminos_.size(); ++k)
        if (BuscaInicioPalabra(indice_.temas[tema].plegado, terminos_[k], false) < 0)
            return false;
    return true;
}

// Whether the text is the query as typed, but for case.
bool Consulta::ConAcentos(const QString& texto) const
{
    return PliegaMayusculas(texto) == exactaConAcentos_;
}

void Consulta::NivelaTemas()
{
    nivelTema_.assign(cuantosTemas_, SinNivel);
    for (uint32_t t = 0; t < cuantosTemas_; ++t) {
        const std::string_view nombre = indice_.temas[t].plegado;
        if (!indice_.temas[t].enTabla)
            continue;
        if (nombre == plegada_)
            nivelTema_[t] = ConAcentos(indice_.temas[t].nombre) ? 0 : 1;
        else if (nombre.substr(0, plegada_.size()) == plegada_)
            nivelTema_[t] = 2;
        else if (!terminos_.empty() && BuscaInicioPalabra(nombre, terminos_[0], false) >= 0 &&
                 TemaTieneResto(t))
            nivelTema_[t] = 3;
    }
}

// The topics of the level given, in the table's key order.
void Consulta::AgregaTemas(uint8_t nivel)
{
    for (size_t k = 0; k < indice_.ordenTemas.size() && !Lleno(); ++k)
        if (const uint32_t t = indice_.ordenTemas[k]; nivelTema_[t] == nivel) {
            const int32_t inicio =
                nivel < 3 ? 0 : BuscaInicioPalabra(indice_.temas[t].plegado, terminos_[0], false);
            AgregaTema(t, inicio, nivel < 3 ? Largo(plegada_) : Largo(terminos_[0]));
        }
}

void Consulta::MarcaPrincipios()
{
    // The items of an order whose text begins with the query follow one another.
    auto QueEmpiezan = [&](const std::vector<uint32_t>& orden, auto campo) {
        auto desde = std::partition_point(orden.begin(), orden.end(),
                                          [&](uint32_t i) { return campo(i) < plegada_; });
        auto hasta = std::partition_point(desde, orden.end(), [&](uint32_t i) {
            return campo(i).substr(0, plegada_.size()) == plegada_;
        });
        return std::pair(desde, hasta);
    };
    auto ingles = [&](uint32_t i) { return indice_.Ingles(i); };
    auto espanol = [&](uint32_t i) { return indice_.Espanol(i); };
    const auto [inglesDesde, inglesHasta] = QueEmpiezan(indice_.porIngles, ingles);
    const auto [espanolDesde, espanolHasta] = QueEmpiezan(indice_.porEspanol, espanol);
    auto MarcaIgual = [&](uint32_t i) {
        const bool enIngles = indice_.Ingles(i) == plegada_,
                   enEspanol = indice_.Espanol(i) == plegada_;
        if (!enIngles && !enEspanol)
            return false;
        if (nivel_[i] == EsIgual)
            return true;
        nivel_[i] = EsIgual;
        const Datos::Originales originales = indice_.OriginalesDe(i);
        const bool acentos = (enIngles && ConAcentos(originales.ingles)) ||
                             (enEspanol && ConAcentos(originales.espanol));
        iguales_.emplace_back(acentos ? 0 : 1, indice_.rango[i], i);
        return true;
    };
    // Those equal to the query come first in their order: the others are marked without
    // reading their texts, which for a short query may be most of a large vocabulary's.
    auto MarcaIguales = [&](auto desde, auto hasta, auto campo) {
        for (; desde != hasta && campo(*desde) == plegada_; ++desde)
            MarcaIgual(*desde);
        return desde;
    };
    const auto inglesRestantes = MarcaIguales(inglesDesde, inglesHasta, ingles);
    const auto espanolRestantes = MarcaIguales(espanolDesde, espanolHasta, espanol);
    for (const auto& [desde, hasta] :
         {std::pair(inglesRestantes, inglesHasta), std::pair(espanolRestantes, espanolHasta)})
        for (auto it = desde; it != hasta; ++it)
            if (nivel_[*it] == SinNivel)
                nivel_[*it] = Empieza;
    std::sort(iguales_.begin(), iguales_.end());
}

Lugar Consulta::LugarDelPrincipio(uint32_t item) const
{
    return indice_.Ingles(item).substr(0, plegada_.size()) == plegada_ ? Lugar::Ingles
                                                                       : Lugar::Espanol;
}

void Consulta::AgregaPrincipios()
{
    for (int acentos = 0; acentos < 2; ++acentos) {
        AgregaTemas(static_cast<uint8_t>(acentos));
        for (const auto& [sinAcentos, enOrden, i] : iguales_)
            if (sinAcentos == acentos && !Lleno() && TieneResto(i))
                AgregaItem(i, LugarDelPrincipio(i), 0, Largo(plegada_));
    }
    for (const auto& [sinAcentos, enOrden, i] : iguales_)
        if (nivel_[i] == EsIgual)
            nivel_[i] = Descartado;
    AgregaTemas(2);
    for (size_t k = 0; k < indice_.orden.size() && !Lleno(); ++k)
        if (const uint32_t i = indice_.orden[k]; nivel_[i] == Empieza) {
            if (TieneResto(i))
                AgregaItem(i, LugarDelPrincipio(i), 0, Largo(plegada_));
            else
                nivel_[i] = Descartado;
        }
}

// The item in key order, known to be able to hold every query word: added when it holds the
// first, the place from its texts.
void Consulta::MiraPrimeraPalabra(uint32_t item)
{
    const std::string_view primera = terminos_[0];
    if (TodasMarcadas() && !TieneResto(item)) {
        nivel_[item] = Descartado;
        return;
    }
    Lugar lugar = Lugar::Ingles;
    int32_t inicio = BuscaInicioPalabra(indice_.Ingles(item), primera, true);
    if (inicio < 0) {
        lugar = Lugar::Espanol;
        inicio = BuscaInicioPalabra(indice_.Espanol(item), primera, false);
    }
    if (inicio < 0) {
        lugar = Lugar::Tema;
        inicio = BuscaInicioPalabra(indice_.TemaPlegado(item), primera, false);
    }
    if (inicio < 0) {
        nivel_[item] = SinNivel;
        return;
    }
    if (TieneResto(item))
        AgregaItem(item, lugar, inicio, Largo(primera));
    else
        nivel_[item] = Descartado;
}

void Consulta::AgregaPalabras()
{
    if (terminos_.empty() || Lleno())
        return;
    const std::string_view primera = terminos_[0];
    AgregaTemas(3);
    if (hayLista_ && !Partida(primera)) {
        // Few items can hold every word: their texts say at once whether they hold the
        // first, as the index would (its words are where those begin), without walking the
        // holders of a first word that may begin most words.
        for (size_t k = 0; k < listaPosibles_.size() && !Lleno(); ++k)
            if (const uint32_t i = listaPosibles_[k]; nivel_[i] == SinNivel)
                MiraPrimeraPalabra(i);
        return;
    }
    std::vector<uint8_t> temaCoincide(cuantosTemas_, 0);
    bool algunTema = false;
    const auto [desde, hasta] = PalabrasQueEmpiezan(primera);
    for (auto it = desde; it != hasta; ++it) {
        for (uint32_t uso : UsosDe(*it)) {
            const uint32_t donde = Datos::Donde(uso);
            if (donde & MarcaTema) {
                temaCoincide[donde & ~MarcaTema] = 1;
                algunTema = true;
            } else if (nivel_[donde] == SinNivel) {
                nivel_[donde] = ConPalabra;
            }
        }
    }
    for (size_t k = 0; k < indice_.orden.size() && !Lleno(); ++k) {
        const uint32_t i = indice_.orden[k];
        if (nivel_[i] != ConPalabra &&
            !(algunTema && nivel_[i] == SinNivel && temaCoincide[indice_.ranuras[i].tema]))
            continue;
        if (!posibles_.empty() && !posibles_[i])
            continue; // cannot hold the other words
        MiraPrimeraPalabra(i);
    }
}

// For several words: the item, when it can hold them all and its notes hold the first at a
// word beginning (enNotas: known to); false when the results are full.
bool Consulta::MiraNotas(uint32_t item, bool enNotas)
{
    if ((!posibles_.empty() && !posibles_[item]) || nivel_[item] != SinNivel)
        return true;
    const bool marcado = TodasMarcadas();
    if (marcado && !TieneResto(item))
        return true;
    if ((enNotas || indice_.NotasTienen(EnNotas(terminos_[0], true), item)) &&
        (marcado || TieneResto(item)))
        AgregaItem(item, Lugar::Notas, BuscaInicioPalabra(indice_.Notas(item), terminos_[0], false),
                   Largo(terminos_[0]));
    return !Lleno();
}

// The whole query inside the notes, at a word beginning if there is one there; for several
// words, the first beginning a word, among the items that can hold them all.
void Consulta::AgregaNotas()
{
    if (Lleno())
        return;
    if (!variasPalabras_) {
        RecorreNotas(plegada_, false, [&](uint32_t i) {
            if (nivel_[i] == SinNivel) {
                const std::string_view notas = indice_.Notas(i);
                const int32_t inicio = BuscaInicioPalabra(notas, plegada_, false);
                AgregaItem(i, Lugar::Notas,
                           inicio >= 0 ? inicio : static_cast<int32_t>(notas.find(plegada_)),
                           Largo(plegada_));
            }
            return !Lleno();
        });
        return;
    }
    // With every other word marked, asking each item in key order costs less than searching
    // all the notes for a first word that may be a single letter.
    if (hayLista_)
        for (size_t k = 0; k < listaPosibles_.size() && MiraNotas(listaPosibles_[k], false); ++k) {
        }
    else if (TodasMarcadas())
        for (size_t k = 0; k < indice_.orden.size() && MiraNotas(indice_.orden[k], false); ++k) {
        }
    else
        RecorreNotas(terminos_[0], true, [&](uint32_t i) { return MiraNotas(i, true); });
}

std::vector<Hallazgo> Consulta::Hallazgos() const
{
    std::vector<Hallazgo> hallazgos;
    hallazgos.reserve(encontrados_.size());
    for (const Encontrado& encontrado : encontrados_)
        hallazgos.push_back(HallazgoDe(encontrado));
    return hallazgos;
}

// Back to the original texts: positions through the map of the folding.
Hallazgo Consulta::HallazgoDe(const Encontrado& encontrado) const
{
    Hallazgo hallazgo;
    hallazgo.esTema = encontrado.esTema;
    hallazgo.lugar = encontrado.lugar;
    hallazgo.cercano = encontrado.cercano;
    QString texto;
    if (encontrado.esTema) {
        hallazgo.tema = indice_.temas[encontrado.id].nombre;
        texto = hallazgo.tema;
    } else {
        Datos::Originales originales = indice_.OriginalesDe(encontrado.id);
        hallazgo.ingles = std::move(originales.ingles);
        hallazgo.espanol = std::move(originales.espanol);
        hallazgo.tema = indice_.temas[indice_.ranuras[encontrado.id].tema].nombre;
        texto = encontrado.lugar == Lugar::Ingles    ? hallazgo.ingles
                : encontrado.lugar == Lugar::Espanol ? hallazgo.espanol
                : encontrado.lugar == Lugar::Tema
                    ? hallazgo.tema
                    : indice_.NotasOriginales(encontrado.id, hallazgo.ingles);
    }
    const Mapa mapa = MapaPliegue(texto);
    int inicio = 0, fin = 0;
    const auto bytes = static_cast<int32_t>(mapa.plegado.size());
    if (encontrado.inicio < bytes && encontrado.largo > 0) {
        inicio = mapa.inicio[encontrado.inicio];
        fin = mapa.fin[std::min(bytes, encontrado.inicio + encontrado.largo) - 1];
    }
    if (hallazgo.cercano)
        hallazgo.palabra = texto.mid(inicio, fin - inicio);
    if (encontrado.lugar != Lugar::Notas) {
        hallazgo.fragmento = texto;
        hallazgo.inicio = inicio;
        hallazgo.largo = fin - inicio;
    } else {
        PonFragmentoDeNotas(hallazgo, texto, inicio, fin);
    }
    return hallazgo;
}

} // namespace Busqueda
