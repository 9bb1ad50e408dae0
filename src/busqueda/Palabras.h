#pragma once
// Words of folded UTF-8 text: runs of letters, marks and digits; in English an apostrophe
// between two letters stays inside the word ("don't"). Where a word beginning with another is
// in a text, and the letters of a word for the near matches.
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace Busqueda {

inline bool EsDePalabra(UChar32 c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
    return c >= 0 && (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK | U_GC_ND_MASK)) != 0;
}

inline bool EsApostrofo(UChar32 c)
{
    return c == '\'' || c == 0x2019;
}

inline int32_t Largo(std::string_view t)
{
    return static_cast<int32_t>(t.size());
}

// A word with an apostrophe: one word in English, split in two in Spanish.
bool Partida(std::string_view palabra);

// Where the first word of campo that begins with palabra is, or -1.
int32_t BuscaInicioPalabra(std::string_view campo, std::string_view palabra, bool ingles);
// Where the word palabra (whole) is in campo, or -1.
int32_t BuscaPalabraEntera(std::string_view campo, std::string_view palabra, bool ingles);
// Where the words a and b stand side by side in campo with one character between them (as
// "ice cream", typed "icecream"): the start and the length of both, or start -1.
std::pair<int32_t, int32_t> BuscaJuntas(std::string_view campo, std::string_view a,
                                        std::string_view b, bool ingles);

// A word of a text: calls visita(Trozo) for each, in order.
struct Trozo {
    int32_t inicio, fin, letras; // bytes [inicio, fin), and how many code points
};

template <typename Visita>
void RecorrePalabras(std::string_view texto, bool ingles, Visita&& visita)
{
    const char* s = texto.data();
    const int32_t n = Largo(texto);
    int32_t inicio = -1, letras = 0;
    for (int32_t i = 0; i < n;) {
        const int32_t aqui = i;
        UChar32 c;
        U8_NEXT(s, i, n, c);
        bool dentro = EsDePalabra(c);
        if (!dentro && inicio >= 0 && ingles && EsApostrofo(c) && i < n) {
            int32_t j = i;
            UChar32 despues;
            U8_NEXT(s, j, n, despues);
            dentro = EsDePalabra(despues);
        }
        if (dentro) {
            if (inicio < 0) {
                inicio = aqui;
                letras = 0;
            }
            ++letras;
        } else if (inicio >= 0) {
            visita(Trozo{inicio, aqui, letras});
            inicio = -1;
        }
    }
    if (inicio >= 0)
        visita(Trozo{inicio, n, letras});
}

// The code points of palabra into destino, at most capacidad; returns how many there are.
int LetrasEn(std::string_view palabra, char32_t* destino, int capacidad);
std::u32string LetrasDe(std::string_view palabra);
// A cheap filter for near matches: one bit per letter (others share a few bits). Each edit
// takes at most one letter away from either side.
uint32_t MascaraDe(std::u32string_view letras);

// Whether at most tope bits (tope 1 or 2) of bits are set.
inline bool PocosBits(uint32_t bits, int tope)
{
    bits &= bits - 1;
    if (tope >= 2)
        bits &= bits - 1;
    return bits == 0;
}

} // namespace Busqueda
