#include "intercambio/Codificacion.h"

#include <QStringDecoder>

#include <cstring>

namespace Intercambio {

namespace {

// The characters of 0x80–0x9F; Latin-1 holds the C1 controls there instead.
constexpr char16_t Tabla1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

ErrorTalvex NoEsTexto()
{
    return ErrorTalvex(ArchivoNoValido,
                       QStringLiteral("El archivo no es un archivo de texto (contiene bytes "
                                      "nulos): no se puede importar."));
}

bool EmpiezaPor(QByteArrayView datos, const char* prefijo, qsizetype largo)
{
    return datos.size() >= largo && std::memcmp(datos.data(), prefijo, size_t(largo)) == 0;
}

} // namespace

QByteArrayView SinBomUtf8(QByteArrayView datos)
{
    return EmpiezaPor(datos, "\xEF\xBB\xBF", 3) ? datos.sliced(3) : datos;
}

QString DecodificaWindows1252(QByteArrayView datos)
{
    QString texto(datos.size(), Qt::Uninitialized);
    char16_t* destino = reinterpret_cast<char16_t*>(texto.data());
    for (const char c : datos) {
        const auto byte = static_cast<unsigned char>(c);
        *destino++ = byte >= 0x80 && byte < 0xA0 ? Tabla1252[byte - 0x80] : char16_t(byte);
    }
    return texto;
}

QString DecodificaTexto(const QByteArray& datos, Codificacion codificacion)
{
    // UTF-16 carries NUL bytes in every ASCII character: its BOM tells it from a binary file.
    const bool utf16le = EmpiezaPor(datos, "\xFF\xFE", 2);
    if (utf16le || EmpiezaPor(datos, "\xFE\xFF", 2)) {
        QStringDecoder decodificador(utf16le ? QStringConverter::Utf16LE
                                             : QStringConverter::Utf16BE);
        QString texto = decodificador(QByteArrayView(datos).sliced(2));
        if (decodificador.hasError() || texto.contains(QChar(0)))
            throw NoEsTexto();
        return texto;
    }
    if (datos.contains('\0'))
        throw NoEsTexto();
    const QByteArrayView cuerpo = SinBomUtf8(datos);
    if (codificacion == Codificacion::Windows1252)
        return DecodificaWindows1252(cuerpo);
    QStringDecoder decodificador(QStringConverter::Utf8);
    QString texto = decodificador(cuerpo);
    if (decodificador.hasError())
        throw ErrorTalvex(CodificacionDudosa,
                          QStringLiteral("El archivo no está en UTF-8: puede estar en "
                                         "Windows-1252 (Latin-1), como lo guardan muchas hojas "
                                         "de cálculo. Vuelva a abrirlo indicando esa "
                                         "codificación."));
    return texto;
}

} // namespace Intercambio
