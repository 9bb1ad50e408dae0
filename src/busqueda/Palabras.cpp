#include "busqueda/Palabras.h"

namespace Busqueda {

namespace {

// Whether a word begins at byte p of campo.
bool EmpiezaPalabra(std::string_view campo, int32_t p, bool ingles)
{
    if (p <= 0)
        return true;
    const char* s = campo.data();
    int32_t i = p;
    UChar32 c;
    U8_PREV(s, 0, i, c);
    if (EsDePalabra(c))
        return false;
    if (ingles && EsApostrofo(c) && i > 0) {
        UChar32 antes;
        U8_PREV(s, 0, i, antes);
        return !EsDePalabra(antes);
    }
    return true;
}

// Whether the word that begins at byte p ends at byte q of campo.
bool TerminaPalabra(std::string_view campo, int32_t q, bool ingles)
{
    const int32_t n = Largo(campo);
    if (q >= n)
        return true;
    const char* s = campo.data();
    int32_t i = q;
    UChar32 c;
    U8_NEXT(s, i, n, c);
    if (EsDePalabra(c))
        return false;
    if (ingles && EsApostrofo(c) && i < n) {
        UChar32 despues;
        U8_NEXT(s, i, n, despues);
        return !EsDePalabra(despues);
    }
    return true;
}

} // namespace

bool Partida(std::string_view palabra)
{
    return palabra.find('\'') != palabra.npos || palabra.find("\u2019") != palabra.npos;
}

int32_t BuscaInicioPalabra(std::string_view campo, std::string_view palabra, bool ingles)
{
    for (size_t desde = 0;;) {
        const size_t p = campo.find(palabra, desde);
        if (p == std::string_view::npos)
            return -1;
        if (EmpiezaPalabra(campo, static_cast<int32_t>(p), ingles))
            return static_cast<int32_t>(p);
        desde = p + 1;
    }
}

int32_t BuscaPalabraEntera(std::string_view campo, std::string_view palabra, bool ingles)
{
    for (size_t desde = 0;;) {
        const size_t p = campo.find(palabra, desde);
        if (p == std::string_view::npos)
            return -1;
        const auto i = static_cast<int32_t>(p);
        if (EmpiezaPalabra(campo, i, ingles) && TerminaPalabra(campo, i + Largo(palabra), ingles))
            return i;
        desde = p + 1;
    }
}

std::pair<int32_t, int32_t> BuscaJuntas(std::string_view campo, std::string_view a,
                                        std::string_view b, bool ingles)
{
    const int32_t n = Largo(campo);
    for (size_t desde = 0;;) {
        const size_t p = campo.find(a, desde);
        if (p == std::string_view::npos)
            return {-1, 0};
        desde = p + 1;
        const auto i = static_cast<int32_t>(p);
        int32_t j = i + Largo(a);
        if (j >= n || !EmpiezaPalabra(campo, i, ingles) || !TerminaPalabra(campo, j, ingles))
            continue;
        U8_FWD_1(campo.data(), j, n);
        const int32_t fin = j + Largo(b);
        if (campo.substr(static_cast<size_t>(j), b.size()) == b &&
            TerminaPalabra(campo, fin, ingles))
            return {i, fin - i};
    }
}

int LetrasEn(std::string_view palabra, char32_t* destino, int capacidad)
{
    const char* s = palabra.data();
    const int32_t n = Largo(palabra);
    int cuenta = 0;
    for (int32_t i = 0; i < n; ++cuenta) {
        UChar32 c;
        U8_NEXT(s, i, n, c);
        if (cuenta < capacidad)
            destino[cuenta] = static_cast<char32_t>(c);
    }
    return cuenta;
}

std::u32string LetrasDe(std::string_view palabra)
{
    std::u32string letras;
    const char* s = palabra.data();
    const int32_t n = Largo(palabra);
    for (int32_t i = 0; i < n;) {
        UChar32 c;
        U8_NEXT(s, i, n, c);
        letras.push_back(static_cast<char32_t>(c));
    }
    return letras;
}

uint32_t MascaraDe(std::u32string_view letras)
{
    uint32_t m = 0;
    for (char32_t c : letras)
        m |= 1u << (c >= U'a' && c <= U'z' ? c - U'a' : 26 + c % 6);
    return m;
}

} // namespace Busqueda
