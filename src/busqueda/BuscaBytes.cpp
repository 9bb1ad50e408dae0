#include "busqueda/BuscaBytes.h"

#include <bit>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TALVEX_X86 1
#endif

namespace Busqueda {

namespace {

// Compares the first, second and last bytes of aguja (k ≥ 2) at every place of a block at once
// and looks closer only where all three agree: in text made of a few dozen syllables two bytes
// agree so often that the calls to look closer cost more than the scan.
#ifdef TALVEX_X86
const char* BuscaSse2(const char* s, size_t n, std::string_view aguja, size_t& i)
{
    const size_t k = aguja.size();
    const __m128i primero = _mm_set1_epi8(aguja[0]);
    const __m128i segundo = _mm_set1_epi8(aguja[1]);
    const __m128i ultimo = _mm_set1_epi8(aguja[k - 1]);
    for (; i + k - 1 + 16 <= n; i += 16) {
        const auto* p = reinterpret_cast<const __m128i*>(s + i);
        const __m128i a = _mm_cmpeq_epi8(_mm_loadu_si128(p), primero);
        const __m128i b =
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 1)), segundo);
        const __m128i c = _mm_cmpeq_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + k - 1)), ultimo);
        auto mascara =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_and_si128(a, b), c)));
        while (mascara) {
            const int bit = std::countr_zero(mascara);
            if (k <= 3 || std::memcmp(s + i + bit + 2, aguja.data() + 2, k - 3) == 0)
                return s + i + bit;
            mascara &= mascara - 1;
        }
    }
    return nullptr;
}

__attribute__((target("avx2"))) const char* BuscaAvx2(const char* s, size_t n,
                                                      std::string_view aguja, size_t& i)
{
    const size_t k = aguja.size();
    const __m256i primero = _mm256_set1_epi8(aguja[0]);
    const __m256i segundo = _mm256_set1_epi8(aguja[1]);
    const __m256i ultimo = _mm256_set1_epi8(aguja[k - 1]);
    for (; i + k - 1 + 32 <= n; i += 32) {
        const __m256i a =
            _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)), primero);
        const __m256i b = _mm256_cmpeq_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 1)), segundo);
        const __m256i c = _mm256_cmpeq_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + k - 1)), ultimo);
        auto mascara = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_and_si256(a, b), c)));
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

} // namespace

const char* BuscaBytes(const char* s, size_t n, std::string_view aguja)
{
    const size_t k = aguja.size();
    if (k == 0 || k > n)
        return k == 0 ? s : nullptr;
    if (k == 1)
        return static_cast<const char*>(std::memchr(s, aguja[0], n));
    size_t i = 0;
#ifdef TALVEX_X86
    // Whole blocks here; what is left after the last is looked at below.
    if (const char* h = ConAvx2 ? BuscaAvx2(s, n, aguja, i) : BuscaSse2(s, n, aguja, i))
        return h;
#endif
    return static_cast<const char*>(memmem(s + i, n - i, aguja.data(), k));
}

} // namespace Busqueda
