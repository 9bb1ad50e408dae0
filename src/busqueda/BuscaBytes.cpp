#include "busqueda/BuscaBytes.h"

#include <bit>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TALVEX_X86 1
#endif

namespace Busqueda {

namespace {

bool LetraODigitoAscii(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Whether aguja is at place j of s, and with trasSeparador that the byte before (if looked
// at) is no ASCII letter or digit.
bool Esta(const char* s, size_t j, std::string_view aguja, bool trasSeparador)
{
    return std::memcmp(s + j, aguja.data(), aguja.size()) == 0 &&
           !(trasSeparador && j > 0 && LetraODigitoAscii(s[j - 1]));
}

// Compares the first, second and last bytes of aguja at every place of a block at once and
// looks closer only where all three agree: in text made of a few dozen syllables two bytes
// agree so often that the calls to look closer cost more than the scan. With trasSeparador,
// the places after an ASCII letter or digit are dropped in the block too. The loops start at
// i ≥ 1 then, so that the byte before is always there.
#ifdef TALVEX_X86
const char* BuscaSse2(const char* s, size_t n, std::string_view aguja, bool trasSeparador,
                      size_t& i)
{
    const size_t k = aguja.size(), segunda = k > 1 ? 1 : 0;
    const __m128i primero = _mm_set1_epi8(aguja[0]);
    const __m128i segundo = _mm_set1_epi8(aguja[segunda]);
    const __m128i ultimo = _mm_set1_epi8(aguja[k - 1]);
    const __m128i a0 = _mm_set1_epi8('a'), z = _mm_set1_epi8(25), cero = _mm_set1_epi8('0'),
                  nueve = _mm_set1_epi8(9), mayuscula = _mm_set1_epi8('A');
    auto EnRango = [](__m128i v, __m128i desde, __m128i cuantos) {
        const __m128i d = _mm_sub_epi8(v, desde);
        return _mm_cmpeq_epi8(_mm_min_epu8(d, cuantos), d);
    };
    auto Carga = [&](size_t j) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + j)); };
    for (; i + k - 1 + 16 <= n; i += 16) {
        __m128i iguales = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(Carga(i), primero),
                                                      _mm_cmpeq_epi8(Carga(i + segunda), segundo)),
                                        _mm_cmpeq_epi8(Carga(i + k - 1), ultimo));
        if (trasSeparador) {
            const __m128i antes = Carga(i - 1);
            const __m128i palabra =
                _mm_or_si128(_mm_or_si128(EnRango(antes, a0, z), EnRango(antes, mayuscula, z)),
                             EnRango(antes, cero, nueve));
            iguales = _mm_andnot_si128(palabra, iguales);
        }
        auto mascara = static_cast<unsigned>(_mm_movemask_epi8(iguales));
        while (mascara) {
            const int bit = std::countr_zero(mascara);
            if (k <= 3 || std::memcmp(s + i + bit + 2, aguja.data() + 2, k - 3) == 0)
                return s + i + bit;
            mascara &= mascara - 1;
        }
    }
    return nullptr;
}

// Lambdas would not take the function's target: these do.
__attribute__((target("avx2"))) __m256i EnRango(__m256i v, __m256i desde, __m256i cuantos)
{
    const __m256i d = _mm256_sub_epi8(v, desde);
    return _mm256_cmpeq_epi8(_mm256_min_epu8(d, cuantos), d);
}

__attribute__((target("avx2"))) __m256i Carga(const char* s, size_t j)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + j));
}

__attribute__((target("avx2"))) const char*
BuscaAvx2(const char* s, size_t n, std::string_view aguja, bool trasSeparador, size_t& i)
{
    const size_t k = aguja.size(), segunda = k > 1 ? 1 : 0;
    const __m256i primero = _mm256_set1_epi8(aguja[0]);
    const __m256i segundo = _mm256_set1_epi8(aguja[segunda]);
    const __m256i ultimo = _mm256_set1_epi8(aguja[k - 1]);
    const __m256i a0 = _mm256_set1_epi8('a'), z = _mm256_set1_epi8(25),
                  cero = _mm256_set1_epi8('0'), nueve = _mm256_set1_epi8(9),
                  mayuscula = _mm256_set1_epi8('A');
    for (; i + k - 1 + 32 <= n; i += 32) {
        __m256i iguales =
            _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(Carga(s, i), primero),
                                              _mm256_cmpeq_epi8(Carga(s, i + segunda), segundo)),
                             _mm256_cmpeq_epi8(Carga(s, i + k - 1), ultimo));
        if (trasSeparador) {
            const __m256i antes = Carga(s, i - 1);
            const __m256i palabra = _mm256_or_si256(
                _mm256_or_si256(EnRango(antes, a0, z), EnRango(antes, mayuscula, z)),
                EnRango(antes, cero, nueve));
            iguales = _mm256_andnot_si256(palabra, iguales);
        }
        auto mascara = static_cast<unsigned>(_mm256_movemask_epi8(iguales));
        while (mascara) {
            const int bit = std::countr_zero(mascara);
            if (k <= 3 || std::memcmp(s + i + bit + 2, aguja.data() + 2, k - 3) == 0)
                return s + i + bit;
            mascara &= mascara - 1;
        }
    }
    return nullptr;
}

const bool ConAvx2 = __builtin_cpu_supports("avx2");
#endif

const char* Busca(const char* s, size_t n, std::string_view aguja, bool trasSeparador)
{
    const size_t k = aguja.size();
    if (k == 0 || k > n)
        return k == 0 ? s : nullptr;
    if (k == 1 && !trasSeparador)
        return static_cast<const char*>(std::memchr(s, aguja[0], n));
    size_t i = 0;
    if (trasSeparador) {
        if (Esta(s, 0, aguja, false))
            return s;
        i = 1;
    }
#ifdef TALVEX_X86
    // Whole blocks here; what is left after the last is looked at below.
    if (const char* h = ConAvx2 ? BuscaAvx2(s, n, aguja, trasSeparador, i)
                                : BuscaSse2(s, n, aguja, trasSeparador, i))
        return h;
#endif
    if (!trasSeparador)
        return static_cast<const char*>(memmem(s + i, n - i, aguja.data(), k));
    for (; i + k <= n; ++i)
        if (Esta(s, i, aguja, true))
            return s + i;
    return nullptr;
}

} // namespace

const char* BuscaBytes(const char* s, size_t n, std::string_view aguja)
{
    return Busca(s, n, aguja, false);
}

const char* BuscaBytesTrasSeparador(const char* s, size_t n, std::string_view aguja)
{
    return Busca(s, n, aguja, true);
}

} // namespace Busqueda
