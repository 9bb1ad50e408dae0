#include "busqueda/IndiceDatos.h"

#include "data/ErrorTalvex.h"

#include <numeric>
#include <optional>

namespace Busqueda {

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

} // namespace Busqueda
