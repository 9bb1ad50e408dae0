#include "busqueda/Pliegue.h"

#include "busqueda/Busqueda.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace Busqueda {

namespace {

// Folding. Every stored text is folded once per build, so the work is done one code point at a
// time from a table of the whole Basic Multilingual Plane, filled by ICU on first use; only
// characters beyond it (rare) go to ICU each time. Folding a code point on its own gives the
// same result as folding the whole text for every realistic input, and it lets a match in the
// folded text be traced back to the characters of the original.

struct Pliegue {
    std::array<char16_t, 3> u{};
    uint8_t n = 0; // 0xFF: longer than three units, ask ICU
};

constexpr uint8_t PliegueLargo = 0xFF;

// Full case folding, canonical decomposition, nonspacing marks dropped, composed again.
std::u16string PliegaConIcu(UChar32 cp)
{
    UChar fuente[2];
    int32_t largoFuente = 0;
    U16_APPEND_UNSAFE(fuente, largoFuente, cp);
    UErrorCode estado = U_ZERO_ERROR;
    UChar plegado[32];
    const int32_t largoPlegado =
        u_strFoldCase(plegado, 32, fuente, largoFuente, U_FOLD_CASE_DEFAULT, &estado);
    const UNormalizer2* nfd = unorm2_getNFDInstance(&estado);
    UChar descompuesto[64];
    const int32_t largoDescompuesto =
        U_SUCCESS(estado) ? unorm2_normalize(nfd, plegado, largoPlegado, descompuesto, 64, &estado)
                          : 0;
    if (U_FAILURE(estado))
        return std::u16string(fuente, fuente + largoFuente);
    UChar sinMarcas[64];
    int32_t largoSin = 0;
    for (int32_t i = 0; i < largoDescompuesto;) {
        UChar32 c;
        U16_NEXT(descompuesto, i, largoDescompuesto, c);
        if (u_charType(c) != U_NON_SPACING_MARK)
            U16_APPEND_UNSAFE(sinMarcas, largoSin, c);
    }
    const UNormalizer2* nfc = unorm2_getNFCInstance(&estado);
    UChar compuesto[64];
    const int32_t largoCompuesto =
        U_SUCCESS(estado) ? unorm2_normalize(nfc, sinMarcas, largoSin, compuesto, 64, &estado) : 0;
    if (U_FAILURE(estado))
        return std::u16string(sinMarcas, sinMarcas + largoSin);
    return std::u16string(compuesto, compuesto + largoCompuesto);
}

const std::vector<Pliegue>& TablaPliegues()
{
    static const std::vector<Pliegue> tabla = [] {
        std::vector<Pliegue> t(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c) {
            Pliegue& p = t[c];
            if (c >= 0xD800 && c <= 0xDFFF) { // a lone surrogate is not text: shown replaced
                p.u[0] = 0xFFFD;
                p.n = 1;
            } else if (c == 0) { // never a separator of the index buffers
                p.u[0] = u' ';
                p.n = 1;
            } else {
                const std::u16string r = PliegaConIcu(static_cast<UChar32>(c));
                if (r.size() > 3) {
                    p.n = PliegueLargo;
                } else {
                    std::copy(r.begin(), r.end(), p.u.begin());
                    p.n = static_cast<uint8_t>(r.size());
                }
            }
        }
        return t;
    }();
    return tabla;
}

// An ASCII character folded: a capital to its small letter, a zero (never a separator of the
// index buffers) to a blank.
constexpr char32_t PliegaAscii(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + 32 : c == 0 ? U' ' : c;
}

// Calls emite(units, count, start, end) for every code point of texto, with its folded units
// and where it lies in texto.
template <typename Emite> void RecorrePliegue(QStringView texto, Emite&& emite)
{
    const char16_t* s = texto.utf16();
    const qsizetype n = texto.size();
    const std::vector<Pliegue>& tabla = TablaPliegues();
    std::u16string largo;
    for (qsizetype i = 0; i < n;) {
        const char16_t c = s[i];
        if (c < 0x80) {
            const auto l = static_cast<char16_t>(PliegaAscii(c));
            emite(&l, 1, i, i + 1);
            ++i;
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            largo = PliegaConIcu(static_cast<UChar32>(QChar::surrogateToUcs4(c, s[i + 1])));
            emite(largo.data(), static_cast<int>(largo.size()), i, i + 2);
            i += 2;
        } else {
            const Pliegue& p = tabla[c];
            if (p.n == PliegueLargo) {
                largo = PliegaConIcu(c);
                emite(largo.data(), static_cast<int>(largo.size()), i, i + 1);
            } else {
                emite(p.u.data(), p.n, i, i + 1);
            }
            ++i;
        }
    }
}

// The units u as UTF-8 at the end of destino. A lone surrogate is not text: it becomes U+FFFD,
// or, guardaSueltos, is written the same way as a character, in three bytes, to come back as
// it came.
void AnadeUtf8(std::string& destino, const char16_t* u, qsizetype n, bool guardaSueltos = false)
{
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = u[i];
        if (c < 0x80) {
            destino.push_back(static_cast<char>(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(u[i + 1])) {
            c = QChar::surrogateToUcs4(u[i], u[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c) && !guardaSueltos)
            c = 0xFFFD;
        char bytes[4];
        int32_t largo = 0;
        U8_APPEND_UNSAFE(bytes, largo, c);
        destino.append(bytes, largo);
    }
}

// Calls visita(code point) for each one of an original kept so.
template <typename Visita> void RecorreOriginal(std::string_view original, Visita&& visita)
{
    const auto* s = reinterpret_cast<const uint8_t*>(original.data());
    const size_t n = original.size();
    for (size_t i = 0; i < n;) {
        const uint8_t c = s[i];
        if (c < 0x80) {
            visita(char32_t{c});
            ++i;
            continue;
        }
        const size_t largo = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = c & (0x7F >> largo);
        for (size_t k = 1; k < largo && i + k < n; ++k)
            cp = cp << 6 | (s[i + k] & 0x3F);
        visita(cp);
        i += largo;
    }
}

// The folding of one code point of an original kept so, at the end of destino.
void PliegaCodigo(char32_t c, std::string& destino)
{
    const std::vector<Pliegue>& tabla = TablaPliegues();
    if (c < 0x80) {
        destino.push_back(static_cast<char>(PliegaAscii(c)));
    } else if (c < 0x10000 && tabla[c].n != PliegueLargo) {
        AnadeUtf8(destino, tabla[c].u.data(), tabla[c].n);
    } else {
        const std::u16string largo = PliegaConIcu(static_cast<UChar32>(c));
        AnadeUtf8(destino, largo.data(), static_cast<int>(largo.size()));
    }
}

// The foldings of the code points below 0x800 (one or two bytes in UTF-8) as UTF-8, those
// that fit in seven bytes: the texts read while searching are folded a byte or two at a time.
struct PliegueCorto {
    std::array<char, 7> bytes{};
    uint8_t n = 0; // 0xFF: not here
};
const std::array<PliegueCorto, 0x800>& TablaCorta()
{
    static const std::array<PliegueCorto, 0x800> tabla = [] {
        std::array<PliegueCorto, 0x800> t{};
        std::string plegado;
        for (char32_t c = 0; c < 0x800; ++c) {
            plegado.clear();
            PliegaCodigo(c, plegado);
            if (plegado.size() > t[c].bytes.size()) {
                t[c].n = 0xFF;
            } else {
                std::copy(plegado.begin(), plegado.end(), t[c].bytes.begin());
                t[c].n = static_cast<uint8_t>(plegado.size());
            }
        }
        return t;
    }();
    return tabla;
}

// When the eight bytes at s are ASCII and none is zero, writes them at o with their capitals
// made small letters, all at once. No byte carries into the next: each is below 0x80.
bool ConMayusculasPlegadas(const uint8_t* s, char* o)
{
    constexpr uint64_t Unos = 0x0101010101010101u, Altos = Unos * 0x80;
    uint64_t v;
    std::memcpy(&v, s, sizeof v);
    if ((v & Altos) || ((v - Unos) & ~v & Altos))
        return false;
    const uint64_t desdeA = v + Unos * (0x80 - 'A'); // high bit set where the byte is 'A' or more
    const uint64_t trasZ = v + Unos * (0x80 - 'Z' - 1); // and where it is past 'Z'
    v |= (desdeA & ~trasZ & Altos) >> 2;                // 0x20 added to each capital
    std::memcpy(o, &v, sizeof v);
    return true;
}

} // namespace

void PliegaUtf8(QStringView texto, std::string& destino)
{
    RecorrePliegue(texto, [&](const char16_t* u, int n, qsizetype, qsizetype) {
        if (n == 1 && u[0] < 0x80)
            destino.push_back(static_cast<char>(u[0]));
        else
            AnadeUtf8(destino, u, n);
    });
}

void AnadeOriginal(QStringView texto, std::string& destino)
{
    AnadeUtf8(destino, texto.utf16(), texto.size(), true);
}

QString TextoOriginal(std::string_view original)
{
    QString texto;
    texto.reserve(static_cast<qsizetype>(original.size()));
    RecorreOriginal(original, [&](char32_t c) {
        if (c >= 0x10000) {
            texto.append(QChar(QChar::highSurrogate(c)));
            texto.append(QChar(QChar::lowSurrogate(c)));
        } else {
            texto.append(QChar(static_cast<char16_t>(c)));
        }
    });
    return texto;
}

void PliegaOriginal(std::string_view original, std::string& destino)
{
    static_assert(sizeof(PliegueCorto) == 8);
    const std::array<PliegueCorto, 0x800>& corta = TablaCorta();
    const auto* s = reinterpret_cast<const uint8_t*>(original.data());
    const size_t n = original.size();
    // Room for the short foldings (at most seven bytes from two) and the eight bytes each
    // copies; a code point beyond them goes the long way, and room is made again after it.
    size_t hecho = destino.size();
    destino.resize(hecho + 4 * n + sizeof(PliegueCorto));
    char* o = destino.data() + hecho;
    for (size_t i = 0; i < n;) {
        const uint8_t c = s[i];
        if (c < 0x80) {
            if (i + 8 <= n && ConMayusculasPlegadas(s + i, o)) { // eight ASCII bytes at once
                o += 8;
                i += 8;
                continue;
            }
            *o++ = corta[c].bytes[0];
            ++i;
            continue;
        }
        if (c < 0xE0 && i + 1 < n) {
            const PliegueCorto& p = corta[(c & 0x1Fu) << 6 | (s[i + 1] & 0x3Fu)];
            if (p.n != 0xFF) {
                std::memcpy(o, &p, sizeof p);
                o += p.n;
                i += 2;
                continue;
            }
        }
        const size_t largo = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        destino.resize(static_cast<size_t>(o - destino.data()));
        RecorreOriginal(original.substr(i, largo), [&](char32_t cp) { PliegaCodigo(cp, destino); });
        i += largo;
        hecho = destino.size();
        destino.resize(hecho + 4 * (n - std::min(n, i)) + sizeof(PliegueCorto));
        o = destino.data() + hecho;
    }
    destino.resize(static_cast<size_t>(o - destino.data()));
}

Mapa MapaPliegue(QStringView texto)
{
    Mapa m;
    RecorrePliegue(texto, [&](const char16_t* u, int n, qsizetype a, qsizetype b) {
        const size_t antes = m.plegado.size();
        AnadeUtf8(m.plegado, u, n);
        if (m.plegado.size() == antes && !m.fin.empty())
            m.fin.back() = static_cast<int>(b);
        m.inicio.resize(m.plegado.size(), static_cast<int>(a));
        m.fin.resize(m.plegado.size(), static_cast<int>(b));
    });
    return m;
}

QString PliegaMayusculas(QStringView texto)
{
    UErrorCode estado = U_ZERO_ERROR;
    const auto* fuente = reinterpret_cast<const UChar*>(texto.utf16());
    const auto largo = static_cast<int32_t>(texto.size());
    std::u16string plegado(static_cast<size_t>(largo) * 3 + 1, u'\0');
    const int32_t largoPlegado = u_strFoldCase(plegado.data(), static_cast<int32_t>(plegado.size()),
                                               fuente, largo, U_FOLD_CASE_DEFAULT, &estado);
    if (U_FAILURE(estado))
        return texto.toString().toCaseFolded();
    plegado.resize(largoPlegado);
    const UNormalizer2* nfc = unorm2_getNFCInstance(&estado);
    std::u16string compuesto(plegado.size() * 3 + 1, u'\0');
    const int32_t largoCompuesto =
        U_SUCCESS(estado) ? unorm2_normalize(nfc, plegado.data(), largoPlegado, compuesto.data(),
                                             static_cast<int32_t>(compuesto.size()), &estado)
                          : 0;
    if (U_FAILURE(estado))
        return QString(reinterpret_cast<const QChar*>(plegado.data()), largoPlegado);
    return QString(reinterpret_cast<const QChar*>(compuesto.data()), largoCompuesto);
}

QString Pliega(QStringView texto)
{
    QString plegado;
    plegado.reserve(texto.size());
    RecorrePliegue(texto, [&](const char16_t* u, int n, qsizetype, qsizetype) {
        plegado.append(reinterpret_cast<const QChar*>(u), n);
    });
    return plegado;
}

} // namespace Busqueda
