#include "busqueda/BuscaBytes.h"

#include "busqueda/Avx2.h"

#include <bit>
#include <cstring>

namespace Busqueda {

namespace {

// Compares the first, second and last bytes of aguja at every place of a block at once and
// looks closer only where all three agree: in text made of a few dozen syllables two bytes
// agree so often that the calls to look closer cost more than the scan.
#ifdef TALVEX_X86
const char* BuscaSse2(const char* s, size_t n, std::string_view aguja, size_t& i)
{
    const size_t k = aguja.size(), segunda = k > 1 ? 1 : 0;
    const __m128i primero = _mm_set1_epi8(aguja[0]);
    const __m128i segundo = _mm_set1_epi8(aguja[segunda]);
    const __m128i ultimo = _mm_set1_epi8(aguja[k - 1]);
    auto Carga = [&](size_t j) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + j)); };
    for (; i + k - 1 + 16 <= n; i += 16) {
        const __m128i iguales =
            _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(Carga(i), primero),
                                        _mm_cmpeq_epi8(Carga(i + segunda), segundo)),
                          _mm_cmpeq_epi8(Carga(i + k - 1), ultimo));
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

// A lambda would not take the function's target: this does.
__attribute__((target("avx2"))) __m256i Carga(const char* s, size_t j)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + j));
}

__attribute__((target("avx2"))) const char* BuscaAvx2(const char* s, size_t n,
                                                      std::string_view aguja, size_t& i)
{
    const size_t k = aguja.size(), segunda = k > 1 ? 1 : 0;
    const __m256i primero = _mm256_set1_epi8(aguja[0]);
    const __m256i segundo = _mm256_set1_epi8(aguja[segunda]);
    const __m256i ultimo = _mm256_set1_epi8(aguja[k - 1]);
    for (; i + k - 1 + 32 <= n; i += 32) {
        const __m256i iguales =
            _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(Carga(s, i), primero),
                                              _mm256_cmpeq_epi8(Carga(s, i + segunda), segundo)),
                             _mm256_cmpeq_epi8(Carga(s, i + k - 1), ultimo));
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
