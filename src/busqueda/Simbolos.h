#pragma once
// A table of up to 255 byte strings of one to eight bytes each, learnt from a sample of texts,
// with which texts are written in fewer bytes: a code stands for its string, and a byte the
// table does not hold goes after an escape code. A vocabulary's English and Spanish repeat the
// same syllables and words, so they take well under half their room, and any one text is read
// back on its own, a few nanoseconds a code.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Busqueda {

class Simbolos {
public:
    // The table that writes these texts (a sample of those to come) in the fewest bytes it
    // finds; with no sample, every byte is escaped.
    static Simbolos Aprende(const std::vector<std::string_view>& muestra);

    // Appends texto's codes to destino.
    void Escribe(std::string_view texto, std::string& destino) const;
    static constexpr size_t Maximo = 8; // the longest string a code stands for
    // Writes at destino the text that codigos stand for, and returns its length. There must be
    // room for Maximo bytes a code.
    size_t Lee(std::string_view codigos, char* destino) const;
    // Appends to destino the text that codigos stand for.
    void Lee(std::string_view codigos, std::string& destino) const;

private:
    static constexpr uint8_t Escape = 255;
    // The code of the longest string of the table that begins texto, and its length; Escape
    // and 1 when none does.
    std::pair<uint8_t, size_t> Busca(std::string_view texto) const;
    void Ordena(); // fills porPrimero_ from the codes

    std::array<uint64_t, 255> bytes_{}; // a code's string, its first byte lowest, zeros after
    std::array<uint8_t, 255> largo_{};
    uint32_t cuantos_ = 0;
    // By first byte, from desde_[b] to desde_[b + 1], the codes that begin with it, longest first.
    std::array<uint16_t, 257> desde_{};
    std::vector<uint8_t> porPrimero_;
};

} // namespace Busqueda
