#include "busqueda/Simbolos.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>

namespace Busqueda {

// The table is learnt in rounds: the sample is written with the table so far, and the strings
// of its codes and of each two codes written one after the other compete for the next table
// by the bytes they would save. Each round the strings grow, up to eight bytes.
Simbolos Simbolos::Aprende(const std::vector<std::string_view>& muestra)
{
    constexpr int Rondas = 5;
    constexpr size_t Ids = 512; // a code, or 256 + an escaped byte
    Simbolos tabla;
    tabla.Ordena();
    std::vector<uint32_t> una(Ids), dos(Ids * Ids);
    for (int ronda = 0; ronda < Rondas; ++ronda) {
        std::fill(una.begin(), una.end(), 0);
        std::fill(dos.begin(), dos.end(), 0);
        for (const std::string_view texto : muestra) {
            size_t anterior = Ids;
            for (size_t p = 0; p < texto.size();) {
                const auto [codigo, largo] = tabla.Busca(texto.substr(p));
                const size_t id = codigo == Escape ? 256 + static_cast<uint8_t>(texto[p]) : codigo;
                ++una[id];
                if (anterior != Ids)
                    ++dos[anterior * Ids + id];
                anterior = id;
                p += largo;
            }
        }
        auto Cadena = [&](size_t id) {
            if (id >= 256)
                return std::string(1, static_cast<char>(id - 256));
            return std::string(reinterpret_cast<const char*>(&tabla.bytes_[id]), tabla.largo_[id]);
        };
        std::unordered_map<std::string, uint64_t> ganancia;
        for (size_t a = 0; a < Ids; ++a) {
            if (una[a] == 0)
                continue;
            const std::string primera = Cadena(a);
            ganancia[primera] += uint64_t{una[a]} * primera.size();
            for (size_t b = 0; b < Ids; ++b)
                if (const uint32_t veces = dos[a * Ids + b]; veces != 0) {
                    const std::string juntas = primera + Cadena(b);
                    if (juntas.size() <= Maximo)
                        ganancia[juntas] += uint64_t{veces} * juntas.size();
                }
        }
        std::vector<std::pair<uint64_t, std::string>> elegidas;
        elegidas.reserve(ganancia.size());
        for (auto& [cadena, bytes] : ganancia)
            elegidas.emplace_back(bytes, cadena);
        const size_t caben = std::min<size_t>(elegidas.size(), Escape);
        std::partial_sort(elegidas.begin(), elegidas.begin() + static_cast<ptrdiff_t>(caben),
                          elegidas.end(), [](const auto& x, const auto& y) {
                              return x.first != y.first ? x.first > y.first : x.second < y.second;
                          });
        tabla = Simbolos();
        for (size_t c = 0; c < caben; ++c) {
            const std::string& cadena = elegidas[c].second;
            std::memcpy(&tabla.bytes_[c], cadena.data(), cadena.size());
            tabla.largo_[c] = static_cast<uint8_t>(cadena.size());
        }
        tabla.cuantos_ = static_cast<uint32_t>(caben);
        tabla.Ordena();
    }
    return tabla;
}

void Simbolos::Ordena()
{
    porPrimero_.resize(cuantos_);
    std::iota(porPrimero_.begin(), porPrimero_.end(), uint8_t{0});
    auto Primero = [&](uint8_t c) { return *reinterpret_cast<const uint8_t*>(&bytes_[c]); };
    std::sort(porPrimero_.begin(), porPrimero_.end(), [&](uint8_t a, uint8_t b) {
        return Primero(a) != Primero(b) ? Primero(a) < Primero(b) : largo_[a] > largo_[b];
    });
    desde_.fill(0);
    for (const uint8_t c : porPrimero_)
        ++desde_[Primero(c) + 1];
    for (size_t b = 1; b < desde_.size(); ++b)
        desde_[b] += desde_[b - 1];
}

std::pair<uint8_t, size_t> Simbolos::Busca(std::string_view texto) const
{
    const auto b = static_cast<uint8_t>(texto[0]);
    for (size_t k = desde_[b]; k < desde_[b + 1]; ++k) {
        const uint8_t c = porPrimero_[k];
        if (largo_[c] <= texto.size() && std::memcmp(texto.data(), &bytes_[c], largo_[c]) == 0)
            return {c, largo_[c]};
    }
    return {Escape, 1};
}

void Simbolos::Escribe(std::string_view texto, std::string& destino) const
{
    for (size_t p = 0; p < texto.size();) {
        const auto [codigo, largo] = Busca(texto.substr(p));
        destino.push_back(static_cast<char>(codigo));
        if (codigo == Escape)
            destino.push_back(texto[p]);
        p += largo;
    }
}

size_t Simbolos::Lee(std::string_view codigos, char* destino) const
{
    char* o = destino;
    for (size_t i = 0; i < codigos.size(); ++i) {
        const auto c = static_cast<uint8_t>(codigos[i]);
        if (c == Escape) {
            if (++i < codigos.size())
                *o++ = codigos[i];
        } else {
            std::memcpy(o, &bytes_[c], Maximo); // eight bytes written, its own kept
            o += largo_[c];
        }
    }
    return static_cast<size_t>(o - destino);
}

void Simbolos::Lee(std::string_view codigos, std::string& destino) const
{
    const size_t antes = destino.size();
    destino.resize(antes + codigos.size() * Maximo);
    destino.resize(antes + Lee(codigos, destino.data() + antes));
}

} // namespace Busqueda
