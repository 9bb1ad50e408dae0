#pragma once
// The folded notes read when the search index is built, held as the numbers of their words. A
// word, with the blanks that follow it, is written once in a dictionary, and a note is the list
// of its words' numbers: the first 32,768 words met take one 16-bit unit each, the rest two.
// Notes in any language hold the same words again and again, so this takes a little over half
// the room of their text, and a search reads the dictionary once, then only numbers.
#include "busqueda/BuscaBytes.h"
#include "busqueda/Huecos.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Busqueda {

class NotasCodificadas {
public:
    // Appends a note; the notes are numbered from 0 as they are appended.
    void Anade(std::string_view notas);
    // Frees what only appending needs, and the spare room.
    void Termina();

    uint32_t Cuantas() const { return static_cast<uint32_t>(inicio_.size()); }
    // The length of all the notes' texts, one byte more each.
    size_t Bytes() const { return bytes_; }
    // The k-th note as it was appended.
    void Lee(uint32_t k, std::string& texto) const;

    // The longest piece of texto without blanks, which is within one word wherever it is.
    static std::string_view PiezaSinBlancos(std::string_view texto);
    // By word number, the words whose text holds pieza and that please acepta(word, where
    // pieza is in it). alInicio: only where pieza may begin a word, at the word's start or
    // not right after an ASCII letter or digit; the words beginning with it are found in
    // their sorted order, and only those with such a place inside are looked through. After
    // Termina.
    struct Marcas {
        std::vector<uint64_t> bits;
        size_t cuantas = 0;
        // The marked words' numbers while they are few: the notes are then searched for those
        // numbers themselves, many units at a time, instead of every unit being looked up.
        static constexpr size_t Pocas = 8;
        std::vector<uint32_t> pocas;
    };
    template <typename Acepta>
    Marcas MarcaPalabras(std::string_view pieza, bool alInicio, Acepta&& acepta) const;

    // Whether the k-th note holds a marked word.
    bool Tiene(const Marcas& marcas, uint32_t k) const;
    // Calls visita(k) for each note from the primera-th to before the hasta-th that holds a
    // marked word, in order, until it returns false; false then.
    template <typename Visita>
    bool Recorre(const Marcas& marcas, uint32_t primera, uint32_t hasta, Visita&& visita) const;

private:
    static constexpr uint32_t Cortos = 0x8000; // the numbers written in one unit
    uint32_t IdDe(std::string_view palabra);
    std::string_view Palabra(uint32_t id) const
    {
        return std::string_view(texto_).substr(palabraIni_[id],
                                               palabraIni_[id + 1] - palabraIni_[id] - 1);
    }
    size_t Fin(uint32_t hasta) const
    {
        return hasta < Cuantas() ? inicio_[hasta] : unidades_.size();
    }
    // The first unit from j on, before fin, that holds a marked word's number; fin if none.
    size_t PrimeraMarcada(const Marcas& marcas, size_t j, size_t fin) const;
    // The note holding unit j, looked for from the desde-th on: most often near it.
    uint32_t NotaDe(size_t j, uint32_t desde, uint32_t hasta) const;

    std::string texto_;                   // the words, each ended by a zero byte
    std::vector<uint32_t> palabraIni_{0}; // where each word begins, and where the next would
    std::vector<uint16_t> unidades_{0};   // a zero, then the notes' words, one after another
    std::vector<uint32_t> inicio_;        // by note, its first unit
    Huecos huecos_;                       // from a word to its number, while appending
    std::vector<uint32_t> porOrden_;      // the words' numbers by their bytes
    std::vector<uint32_t> conDentro_;     // the words with a place inside where a word may begin
    size_t bytes_ = 0;
};

template <typename Acepta>
NotasCodificadas::Marcas NotasCodificadas::MarcaPalabras(std::string_view pieza, bool alInicio,
                                                         Acepta&& acepta) const
{
    const size_t palabras = palabraIni_.size() - 1;
    Marcas marcas;
    marcas.bits.assign((std::max<size_t>(palabras, Cortos) + 63) / 64, 0);
    auto Marca = [&](uint32_t id, size_t donde) {
        uint64_t& bits = marcas.bits[id >> 6];
        const uint64_t bit = uint64_t{1} << (id & 63);
        if (!(bits & bit) && acepta(Palabra(id), donde)) {
            bits |= bit;
            if (++marcas.cuantas <= Marcas::Pocas)
                marcas.pocas.push_back(id);
        }
    };
    if (alInicio) {
        auto desde =
            std::lower_bound(porOrden_.begin(), porOrden_.end(), pieza,
                             [&](uint32_t id, std::string_view p) { return Palabra(id) < p; });
        for (; desde != porOrden_.end() && Palabra(*desde).starts_with(pieza); ++desde)
            Marca(*desde, 0);
        for (const uint32_t id : conDentro_)
            if (const size_t p = Palabra(id).find(pieza, 1); p != std::string_view::npos)
                Marca(id, p);
        return marcas;
    }
    uint32_t id = 0;
    for (size_t desde = 0; desde < texto_.size();) {
        const char* h = BuscaBytes(texto_.data() + desde, texto_.size() - desde, pieza);
        if (!h)
            break;
        const auto p = static_cast<uint32_t>(h - texto_.data());
        while (palabraIni_[id + 1] <= p)
            ++id;
        Marca(id, p - palabraIni_[id]);
        desde = palabraIni_[++id];
    }
    return marcas;
}

template <typename Visita>
bool NotasCodificadas::Recorre(const Marcas& marcas, uint32_t primera, uint32_t hasta,
                               Visita&& visita) const
{
    if (marcas.cuantas == 0)
        return true; // no word holds it: no note does
    const size_t fin = Fin(hasta);
    uint32_t nota = primera;
    for (size_t j = Fin(primera); j < fin;) {
        j = PrimeraMarcada(marcas, j, fin);
        if (j >= fin)
            break;
        nota = NotaDe(j, nota, hasta);
        if (!visita(nota))
            return false;
        j = Fin(++nota);
    }
    return true;
}

} // namespace Busqueda
