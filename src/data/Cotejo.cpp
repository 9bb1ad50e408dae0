#include "data/Cotejo.h"

#include "data/ErrorTalvex.h"

#include <unicode/ucol.h>
#include <unicode/unorm2.h>
#include <unicode/uset.h>
#include <unicode/utf.h>
#include <unicode/utf16.h>

#include <array>
#include <bitset>
#include <cstring>
#include <memory>
#include <unordered_set>

namespace {

struct CierraCotejo {
    void operator()(UCollator* cotejo) const { ucol_close(cotejo); }
};

UCollator* AbreCotejo(UColAttributeValue fuerza = UCOL_SECONDARY)
{
    UErrorCode estado = U_ZERO_ERROR;
    // The locale is named here, never taken from the environment: the keys stored in a
    // file must not depend on who opens it.
    std::unique_ptr<UCollator, CierraCotejo> cotejo(ucol_open("es", &estado));
    if (U_FAILURE(estado) || estado == U_USING_DEFAULT_WARNING)
        throw ErrorTalvex(NumeroError::ErrorBaseDatos,
                          QStringLiteral("No se encuentra el orden alfabético español en los "
                                         "datos de ICU (%1).")
                              .arg(QString::fromLatin1(u_errorName(estado))));
    ucol_setStrength(cotejo.get(), fuerza);
    // Composed and decomposed spellings of one accented letter are the same key.
    ucol_setAttribute(cotejo.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &estado);
    if (U_FAILURE(estado))
        throw ErrorTalvex(NumeroError::ErrorBaseDatos,
                          QStringLiteral("No se pudo preparar el orden alfabético (%1).")
                              .arg(QString::fromLatin1(u_errorName(estado))));
    return cotejo.release();
}

// One collator for the whole process; ICU allows concurrent reads of it.
const UCollator* Cotejo()
{
    static const std::unique_ptr<UCollator, CierraCotejo> cotejo(AbreCotejo());
    return cotejo.get();
}

const UCollator* CotejoPrimario()
{
    static const std::unique_ptr<UCollator, CierraCotejo> cotejo(AbreCotejo(UCOL_PRIMARY));
    return cotejo.get();
}

QByteArray ClaveDe(const UCollator* cotejo, const QString& texto)
{
    const auto* letras = reinterpret_cast<const UChar*>(texto.utf16());
    const int32_t largo = static_cast<int32_t>(texto.size());
    std::array<uint8_t, 512> corta;
    int32_t necesario = ucol_getSortKey(cotejo, letras, largo, corta.data(), corta.size());
    // ICU ends the key with a zero byte that no other byte of it equals; it adds nothing to
    // the order, so it is not kept.
    if (necesario <= static_cast<int32_t>(corta.size()))
        return QByteArray(reinterpret_cast<const char*>(corta.data()), necesario - 1);
    QByteArray larga(necesario, Qt::Uninitialized);
    ucol_getSortKey(cotejo, letras, largo, reinterpret_cast<uint8_t*>(larga.data()), necesario);
    larga.chop(1);
    return larga;
}

// The characters after the first of every contraction of the order (the tilde of "n" + U+0303).
std::unordered_set<char32_t> LetrasDeContracciones()
{
    std::unordered_set<char32_t> letras;
    UErrorCode estado = U_ZERO_ERROR;
    std::unique_ptr<USet, decltype(&uset_close)> contracciones(uset_openEmpty(), &uset_close);
    ucol_getContractionsAndExpansions(Cotejo(), contracciones.get(), nullptr, false, &estado);
    if (U_FAILURE(estado))
        return letras;
    std::array<UChar, 64> cadena;
    for (int32_t i = 0; i < uset_getItemCount(contracciones.get()); ++i) {
        UChar32 desde = 0, hasta = 0;
        const int32_t largo = uset_getItem(contracciones.get(), i, &desde, &hasta, cadena.data(),
                                           cadena.size(), &estado);
        // ICU's own markers (noncharacters such as U+FDD1 first) are no text anyone types.
        if (largo > 0 && U_IS_UNICODE_NONCHAR(cadena[0]))
            continue;
        for (int32_t j = 0, cual = 0; j < largo; ++cual) {
            UChar32 letra;
            U16_NEXT(cadena.data(), j, largo, letra);
            if (cual > 0)
                letras.insert(char32_t(letra));
        }
    }
    return letras;
}

// For every character of the first plane, whether it joins the one before it.
struct TablaUniones {
    std::bitset<0x10000> plano;
    std::unordered_set<char32_t> contracciones = LetrasDeContracciones();
    const UNormalizer2* nfc = nullptr;

    TablaUniones()
    {
        UErrorCode estado = U_ZERO_ERROR;
        nfc = unorm2_getNFCInstance(&estado);
        for (char32_t letra = 0; letra < 0x10000; ++letra)
            plano[letra] = Calcula(letra);
    }
    bool Calcula(char32_t letra) const
    {
        return (nfc && !unorm2_hasBoundaryBefore(nfc, UChar32(letra))) ||
               contracciones.count(letra) > 0;
    }
};

const TablaUniones& Uniones()
{
    static const TablaUniones tabla;
    return tabla;
}

} // namespace

QByteArray CalculaClavePrimaria(const QString& texto)
{
    return ClaveDe(CotejoPrimario(), texto);
}

bool SeUneAlAnterior(char32_t letra)
{
    const TablaUniones& tabla = Uniones();
    return letra < 0x10000 ? tabla.plano[letra] : tabla.Calcula(letra);
}

bool TieneUniones(QStringView texto)
{
    const TablaUniones& tabla = Uniones();
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const char16_t unidad = texto.at(i).unicode();
        if (!QChar::isSurrogate(unidad)) {
            if (tabla.plano[unidad])
                return true;
        } else if (QChar::isHighSurrogate(unidad) && i + 1 < texto.size() &&
                   QChar::isLowSurrogate(texto.at(i + 1).unicode())) {
            if (tabla.Calcula(QChar::surrogateToUcs4(unidad, texto.at(++i).unicode())))
                return true;
        } else {
            return true; // a lone surrogate: nothing is assumed of it
        }
    }
    return false;
}

namespace {
// Which UTF-8 stretches hold no joining character at all: ASCII, and the 64 characters of
// each two-byte lead (the accented letters of U+00C0 to U+00FF share one).
struct AtajosUtf8 {
    bool ascii = false;
    std::array<bool, 0x20> dosBytes{}; // by lead byte less 0xC0
};

const AtajosUtf8& Atajos()
{
    static const AtajosUtf8 atajos = [] {
        const TablaUniones& tabla = Uniones();
        AtajosUtf8 a;
        for (char32_t letra = 0; letra < 0x800; ++letra)
            if (tabla.plano[letra]) {
                if (letra < 0x80)
                    a.ascii = true;
                else
                    a.dosBytes[letra >> 6] = true;
            }
        return a;
    }();
    return atajos;
}

// Whether every byte is ASCII, read eight at a time, the last read overlapping the one
// before: nearly every English text is told at once.
bool SoloAscii(const unsigned char* bytes, size_t cuantos)
{
    uint64_t juntos = 0;
    if (cuantos < 8) {
        for (size_t i = 0; i < cuantos; ++i)
            juntos |= bytes[i];
        return juntos < 0x80;
    }
    uint64_t ocho = 0;
    for (size_t i = 0; i + 8 <= cuantos; i += 8) {
        std::memcpy(&ocho, bytes + i, 8);
        juntos |= ocho;
    }
    std::memcpy(&ocho, bytes + cuantos - 8, 8);
    return ((juntos | ocho) & 0x8080808080808080u) == 0;
}
} // namespace

bool TieneUniones(QByteArrayView utf8)
{
    const TablaUniones& tabla = Uniones();
    const AtajosUtf8& atajos = Atajos();
    const auto* byte = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const fin = byte + utf8.size();
    if (!atajos.ascii && SoloAscii(byte, size_t(utf8.size())))
        return false;
    while (byte < fin) {
        if (*byte < 0x80 && !atajos.ascii) {
            // Nearly every English text is ASCII: eight bytes at a time.
            for (uint64_t ocho; fin - byte >= 8; byte += 8) {
                std::memcpy(&ocho, byte, 8);
                if (ocho & 0x8080808080808080u)
                    break;
            }
            if (byte < fin && *byte < 0x80)
                ++byte;
            continue;
        }
        if (*byte >= 0xC2 && *byte < 0xE0 && fin - byte >= 2 && (byte[1] & 0xC0) == 0x80 &&
            !atajos.dosBytes[*byte - 0xC0]) {
            byte += 2;
            continue;
        }
        // One character of two, three or four bytes, checked as Qt would read it; anything
        // unusual is left to the decoder itself.
        const int largo = *byte < 0x80                    ? 1
                          : *byte >= 0xC2 && *byte < 0xE0 ? 2
                          : *byte >= 0xE0 && *byte < 0xF0 ? 3
                          : *byte >= 0xF0 && *byte < 0xF5 ? 4
                                                          : 0;
        if (largo == 0 || fin - byte < largo)
            return TieneUniones(QString::fromUtf8(utf8));
        char32_t letra = largo == 1 ? *byte : *byte & (0x7F >> largo);
        for (int i = 1; i < largo; ++i) {
            if ((byte[i] & 0xC0) != 0x80)
                return TieneUniones(QString::fromUtf8(utf8));
            letra = letra << 6 | (byte[i] & 0x3F);
        }
        const char32_t menor[] = {0, 0, 0x80, 0x800, 0x10000};
        if (letra < menor[largo] || letra > 0x10FFFF || (letra >= 0xD800 && letra < 0xE000))
            return TieneUniones(QString::fromUtf8(utf8));
        if (letra < 0x10000 ? tabla.plano[letra] : tabla.Calcula(letra))
            return true;
        byte += largo;
    }
    return false;
}

QByteArray CalculaClaveOrden(const QString& texto)
{
    return ClaveDe(Cotejo(), texto);
}

QString ObtieneVersionCotejo()
{
    UVersionInfo version;
    ucol_getVersion(Cotejo(), version);
    char texto[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(version, texto);
    // The settings are part of the name: changing them also changes every key.
    return QStringLiteral("icu/es/secundaria/normalizada/%1").arg(QString::fromLatin1(texto));
}

int ComparaTextos(const QString& a, const QString& b)
{
    return ucol_strcoll(Cotejo(), reinterpret_cast<const UChar*>(a.utf16()),
                        static_cast<int32_t>(a.size()), reinterpret_cast<const UChar*>(b.utf16()),
                        static_cast<int32_t>(b.size()));
}
