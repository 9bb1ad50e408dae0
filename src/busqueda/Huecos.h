#pragma once
// Open addressing from a word to its number while a table of words is built. The words lie with
// their owner, which says what a number's word is; the table keeps only numbers, and is never
// more than half full.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace Busqueda {

class Huecos {
public:
    static constexpr uint32_t Vacio = 0xFFFFFFFFu;

    // The number of palabra, or Vacio.
    template <typename PalabraDe>
    uint32_t Busca(std::string_view palabra, PalabraDe&& palabraDe) const
    {
        if (huecos_.empty())
            return Vacio;
        for (size_t h = Lugar(palabra);; h = (h + 1) & (huecos_.size() - 1))
            if (huecos_[h] == Vacio || palabraDe(huecos_[h]) == palabra)
                return huecos_[h];
    }
    // Takes a new number, whose word the owner already gives.
    template <typename PalabraDe> void Pon(uint32_t id, PalabraDe&& palabraDe)
    {
        if (2 * (cuantos_ + 1) > huecos_.size()) {
            std::vector<uint32_t> viejos(std::max<size_t>(1024, 2 * huecos_.size()), Vacio);
            viejos.swap(huecos_);
            for (const uint32_t viejo : viejos)
                if (viejo != Vacio)
                    huecos_[Libre(palabraDe(viejo))] = viejo;
        }
        ++cuantos_;
        huecos_[Libre(palabraDe(id))] = id;
    }
    void Libera()
    {
        std::vector<uint32_t>().swap(huecos_);
        cuantos_ = 0;
    }

private:
    size_t Lugar(std::string_view palabra) const
    {
        return std::hash<std::string_view>()(palabra) & (huecos_.size() - 1);
    }
    size_t Libre(std::string_view palabra) const
    {
        size_t h = Lugar(palabra);
        while (huecos_[h] != Vacio)
            h = (h + 1) & (huecos_.size() - 1);
        return h;
    }

    std::vector<uint32_t> huecos_;
    size_t cuantos_ = 0;
};

} // namespace Busqueda
