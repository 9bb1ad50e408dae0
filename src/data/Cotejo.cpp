#include "data/Cotejo.h"

#include "data/ErrorTalvex.h"

#include <unicode/ucol.h>

#include <array>
#include <memory>

namespace {

struct CierraCotejo {
    void operator()(UCollator* cotejo) const { ucol_close(cotejo); }
};

UCollator* AbreCotejo()
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
    ucol_setStrength(cotejo.get(), UCOL_SECONDARY);
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

} // namespace

QByteArray CalculaClaveOrden(const QString& texto)
{
    const auto* letras = reinterpret_cast<const UChar*>(texto.utf16());
    const int32_t largo = static_cast<int32_t>(texto.size());
    std::array<uint8_t, 512> corta;
    int32_t necesario = ucol_getSortKey(Cotejo(), letras, largo, corta.data(), corta.size());
    // ICU ends the key with a zero byte that no other byte of it equals; it adds nothing to
    // the order, so it is not stored.
    if (necesario <= static_cast<int32_t>(corta.size()))
        return QByteArray(reinterpret_cast<const char*>(corta.data()), necesario - 1);
    QByteArray larga(necesario, Qt::Uninitialized);
    ucol_getSortKey(Cotejo(), letras, largo, reinterpret_cast<uint8_t*>(larga.data()), necesario);
    larga.chop(1);
    return larga;
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
