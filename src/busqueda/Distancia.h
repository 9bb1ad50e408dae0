#pragma once
// How far two words are apart, for the near matches of search everywhere: the optimal string
// alignment distance (a letter wrong, missing or extra, or two letters swapped, is one edit),
// worked out only as far as a limit. Words of 64 letters or more are never near.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace Busqueda {

constexpr int DistanciaMaxima = 64;

// Optimal string alignment distance, or tope + 1 once it is known to exceed tope. Only the
// band of cells within tope of the diagonal can stay under it, so only those are worked out.
template <typename Letra>
int DistanciaEdicion(std::basic_string_view<Letra> a, std::basic_string_view<Letra> b, int tope)
{
    const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
    const int fuera = tope + 1;
    constexpr int Maximo = DistanciaMaxima;
    if (std::abs(n - m) > tope || n >= Maximo || m >= Maximo)
        return fuera;
    int filas[3][Maximo + 2];
    int* antes2 = filas[0];
    int* antes = filas[1];
    int* ahora = filas[2];
    for (int j = 0; j <= m + 1; ++j)
        antes[j] = std::min(j, fuera);
    for (int i = 1; i <= n; ++i) {
        const int desde = std::max(1, i - tope), hasta = std::min(m, i + tope);
        ahora[desde - 1] = desde == 1 ? std::min(i, fuera) : fuera;
        ahora[hasta + 1] = fuera;
        int menor = ahora[desde - 1]; // the first column too: an empty word is i edits away
        for (int j = desde; j <= hasta; ++j) {
            const int coste = a[i - 1] == b[j - 1] ? 0 : 1;
            int v = std::min({antes[j] + 1, ahora[j - 1] + 1, antes[j - 1] + coste});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                v = std::min(v, antes2[j - 2] + 1);
            ahora[j] = std::min(v, fuera);
            menor = std::min(menor, ahora[j]);
        }
        if (menor > tope)
            return fuera;
        std::swap(antes2, antes);
        std::swap(antes, ahora);
    }
    return antes[m];
}

// The same distance for byte texts, a column of cells at a time in the bits of one number
// (Hyyrö's bit-vector algorithm): near words compare the query word with hundreds of thousands
// of words of a large vocabulary.
class DistanciaBytes {
public:
    explicit DistanciaBytes(std::string_view patron) : largo_(static_cast<int>(patron.size()))
    {
        uint64_t bit = 1;
        for (const char c : patron) {
            igual_[static_cast<uint8_t>(c)] |= bit;
            bit <<= 1;
        }
    }
    static bool Cabe(std::string_view patron)
    {
        return !patron.empty() && patron.size() < DistanciaMaxima;
    }
    int A(std::string_view texto, int tope) const
    {
        if (std::abs(largo_ - static_cast<int>(texto.size())) > tope ||
            texto.size() >= DistanciaMaxima)
            return tope + 1;
        uint64_t vp = ~uint64_t{0}, vn = 0, d0 = 0, igualAntes = 0;
        const uint64_t ultima = uint64_t{1} << (largo_ - 1);
        int distancia = largo_;
        for (const char c : texto) {
            const uint64_t igual = igual_[static_cast<uint8_t>(c)];
            const uint64_t cambio = ((~d0 & igual) << 1) & igualAntes; // two letters swapped
            d0 = (((igual & vp) + vp) ^ vp) | igual | vn | cambio;
            uint64_t hp = vn | ~(d0 | vp);
            const uint64_t hn = d0 & vp;
            distancia += (hp & ultima) != 0;
            distancia -= (hn & ultima) != 0;
            hp = (hp << 1) | 1;
            vp = (hn << 1) | ~(d0 | hp);
            vn = hp & d0;
            igualAntes = igual;
        }
        return std::min(distancia, tope + 1);
    }

private:
    std::array<uint64_t, 256> igual_{};
    int largo_;
};

} // namespace Busqueda
