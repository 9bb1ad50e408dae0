#include "busqueda/NotasCodificadas.h"

#include "busqueda/Avx2.h"

#include <bit>
#include <numeric>
#include <vector>

namespace Busqueda {

namespace {

bool EsBlanco(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Where the run of texto without blanks that starts at desde ends.
size_t FinSinBlancos(std::string_view texto, size_t desde)
{
    while (desde < texto.size() && !EsBlanco(texto[desde]))
        ++desde;
    return desde;
}

bool LetraODigitoAscii(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A number of two units has its first unit's top bit set, and the number is what the rest of
// that unit says, above the second unit's 15 bits. Each unit is read with the one before it
// (the units begin with a zero, and no note ends in a first unit), so that many are tested at
// once; a first unit is tested as a number of one unit too, but never found.
uint32_t Marcada(const uint16_t* u, size_t j, const uint64_t* marcas)
{
    const uint32_t antes = u[j - 1], c = u[j];
    const uint32_t id = ((antes & 0x7FFF) << 15 & (0u - (antes >> 15))) | (c & 0x7FFF);
    return static_cast<uint32_t>(marcas[id >> 6] >> (id & 63)) & ((c >> 15) ^ 1);
}

#ifdef TALVEX_X86
// Eight units' marks, 1 or 0 in each lane (a lambda would not take the function's target).
__attribute__((target("avx2"), always_inline)) inline __m256i Ocho(const uint16_t* u, size_t j,
                                                                   const int* marcas)
{
    const __m256i bajos = _mm256_set1_epi32(0x7FFF), uno = _mm256_set1_epi32(1);
    const __m256i antes =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u + j - 1)));
    const __m256i actual =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u + j)));
    const __m256i alto = _mm256_and_si256(_mm256_slli_epi32(_mm256_and_si256(antes, bajos), 15),
                                          _mm256_srai_epi32(_mm256_slli_epi32(antes, 16), 31));
    const __m256i id = _mm256_or_si256(alto, _mm256_and_si256(actual, bajos));
    const __m256i palabra = _mm256_i32gather_epi32(marcas, _mm256_srli_epi32(id, 5), 4);
    const __m256i bit = _mm256_srlv_epi32(palabra, _mm256_and_si256(id, _mm256_set1_epi32(31)));
    const __m256i sola = _mm256_xor_si256(_mm256_srli_epi32(actual, 15), uno);
    return _mm256_and_si256(_mm256_and_si256(bit, sola), uno);
}

// Sixteen units at a time, their marks gathered eight at once (bit k in 32-bit word k / 32).
__attribute__((target("avx2"))) size_t PrimeraMarcadaAvx2(const uint16_t* u, size_t j, size_t fin,
                                                          const uint64_t* marcas)
{
    const auto* palabras = reinterpret_cast<const int*>(marcas);
    for (; j + 16 <= fin; j += 16) {
        const __m256i primeras = Ocho(u, j, palabras), segundas = Ocho(u, j + 8, palabras);
        // Lanes of 1 or 0: shifted to the sign bit, one bit each in the mask.
        const auto mascara = static_cast<unsigned>(
            _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_slli_epi32(primeras, 31))) |
            _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_slli_epi32(segundas, 31))) << 8);
        if (mascara)
            return j + static_cast<size_t>(std::countr_zero(mascara));
    }
    return j;
}

// Sixteen units at a time compared with the few marked numbers: a number of one unit is that
// unit after one that does not begin a number of two; a number of two, its second unit after
// its first.
__attribute__((target("avx2"))) size_t PrimeraDeNumerosAvx2(const uint16_t* u, size_t j, size_t fin,
                                                            const std::vector<uint32_t>& numeros)
{
    __m256i segundas[NotasCodificadas::Marcas::Pocas], primeras[NotasCodificadas::Marcas::Pocas],
        mascaras[NotasCodificadas::Marcas::Pocas];
    const size_t cuantos = numeros.size();
    for (size_t k = 0; k < cuantos; ++k) {
        const uint32_t id = numeros[k];
        const bool corto = id < 0x8000;
        segundas[k] = _mm256_set1_epi16(static_cast<short>(id & 0x7FFF));
        primeras[k] = _mm256_set1_epi16(static_cast<short>(corto ? 0 : 0x8000 | (id >> 15)));
        // A one-unit number asks only that the unit before begin no number of two.
        mascaras[k] = _mm256_set1_epi16(static_cast<short>(corto ? 0x8000 : 0xFFFF));
    }
    for (; j + 16 <= fin; j += 16) {
        const __m256i actual = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(u + j));
        const __m256i antes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(u + j - 1));
        __m256i halladas = _mm256_setzero_si256();
        for (size_t k = 0; k < cuantos; ++k)
            halladas = _mm256_or_si256(
                halladas, _mm256_and_si256(_mm256_cmpeq_epi16(actual, segundas[k]),
                                           _mm256_cmpeq_epi16(_mm256_and_si256(antes, mascaras[k]),
                                                              primeras[k])));
        if (const auto bits = static_cast<unsigned>(_mm256_movemask_epi8(halladas)))
            return j + static_cast<size_t>(std::countr_zero(bits)) / 2;
    }
    return j;
}

#endif

} // namespace

// A word is what runs up to a blank, with the blanks after it: the notes come back byte for
// byte, and a piece without blanks lies within one word.
void NotasCodificadas::Anade(std::string_view notas)
{
    inicio_.push_back(static_cast<uint32_t>(unidades_.size()));
    bytes_ += notas.size() + 1;
    for (size_t desde = 0; desde < notas.size();) {
        size_t fin = FinSinBlancos(notas, desde);
        while (fin < notas.size() && EsBlanco(notas[fin]))
            ++fin;
        const uint32_t id = IdDe(notas.substr(desde, fin - desde));
        if (id < Cortos) {
            unidades_.push_back(static_cast<uint16_t>(id));
        } else {
            unidades_.push_back(static_cast<uint16_t>(0x8000 | (id >> 15)));
            unidades_.push_back(static_cast<uint16_t>(id & 0x7FFF));
        }
        desde = fin;
    }
}

std::string_view NotasCodificadas::PiezaSinBlancos(std::string_view texto)
{
    std::string_view pieza;
    for (size_t desde = 0; desde < texto.size();) {
        const size_t fin = FinSinBlancos(texto, desde);
        if (fin - desde > pieza.size())
            pieza = texto.substr(desde, fin - desde);
        desde = fin + 1;
    }
    return pieza;
}

uint32_t NotasCodificadas::IdDe(std::string_view palabra)
{
    auto PalabraDe = [this](uint32_t id) { return Palabra(id); };
    if (const uint32_t id = huecos_.Busca(palabra, PalabraDe); id != Huecos::Vacio)
        return id;
    const auto id = static_cast<uint32_t>(palabraIni_.size() - 1);
    texto_.append(palabra);
    texto_.push_back('\0');
    palabraIni_.push_back(static_cast<uint32_t>(texto_.size()));
    huecos_.Pon(id, PalabraDe);
    return id;
}

void NotasCodificadas::Termina()
{
    huecos_.Libera();
    const auto palabras = static_cast<uint32_t>(palabraIni_.size() - 1);
    porOrden_.resize(palabras);
    std::iota(porOrden_.begin(), porOrden_.end(), 0u);
    std::sort(porOrden_.begin(), porOrden_.end(),
              [&](uint32_t a, uint32_t b) { return Palabra(a) < Palabra(b); });
    for (uint32_t id = 0; id < palabras; ++id) {
        const std::string_view palabra = Palabra(id);
        for (size_t p = 1; p < palabra.size() && !EsBlanco(palabra[p]); ++p)
            if (!LetraODigitoAscii(palabra[p - 1])) {
                conDentro_.push_back(id);
                break;
            }
    }
    texto_.shrink_to_fit();
    palabraIni_.shrink_to_fit();
    unidades_.shrink_to_fit();
    inicio_.shrink_to_fit();
}

void NotasCodificadas::Lee(uint32_t k, std::string& texto) const
{
    texto.clear();
    const size_t fin = Fin(k + 1);
    for (size_t j = inicio_[k]; j < fin; ++j) {
        uint32_t id = unidades_[j];
        if (id >= Cortos)
            id = ((id & 0x7FFF) << 15) | unidades_[++j];
        texto.append(Palabra(id));
    }
}

size_t NotasCodificadas::PrimeraMarcada(const Marcas& marcas, size_t j, size_t fin) const
{
    const uint16_t* u = unidades_.data();
#ifdef TALVEX_X86
    if (ConAvx2)
        j = marcas.cuantas <= Marcas::Pocas ? PrimeraDeNumerosAvx2(u, j, fin, marcas.pocas)
                                            : PrimeraMarcadaAvx2(u, j, fin, marcas.bits.data());
#endif
    while (j < fin && !Marcada(u, j, marcas.bits.data()))
        ++j;
    return j;
}

bool NotasCodificadas::Tiene(const Marcas& marcas, uint32_t k) const
{
    if (marcas.cuantas == 0)
        return false;
    const size_t fin = Fin(k + 1);
    for (size_t j = inicio_[k]; j < fin; ++j)
        if (Marcada(unidades_.data(), j, marcas.bits.data()))
            return true;
    return false;
}

uint32_t NotasCodificadas::NotaDe(size_t j, uint32_t desde, uint32_t hasta) const
{
    uint32_t salto = 1, bajo = desde;
    while (bajo + salto < hasta && inicio_[bajo + salto] <= j) {
        bajo += salto;
        salto *= 2;
    }
    return static_cast<uint32_t>(std::upper_bound(inicio_.begin() + bajo,
                                                  inicio_.begin() + std::min(hasta, bajo + salto),
                                                  j) -
                                 inicio_.begin() - 1);
}

} // namespace Busqueda
