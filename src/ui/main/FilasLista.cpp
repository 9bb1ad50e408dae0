#include "ui/main/FilasLista.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {
// Large enough that a million rows need a few hundred blocks, small enough that the last
// block's unused end does not matter.
constexpr size_t TamanoBloque = size_t(1) << 20;

bool EsLatin1(QStringView texto)
{
    return std::all_of(texto.begin(), texto.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// How many characters the UTF-8 text has when Latin-1 holds all of them (ASCII, and the two
// bytes of U+0080 to U+00FF), or -1.
qsizetype CaracteresLatin1(QByteArrayView bytes)
{
    qsizetype caracteres = bytes.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80)
            continue;
        if ((byte != 0xC2 && byte != 0xC3) || i + 1 == bytes.size() ||
            (static_cast<unsigned char>(bytes[i + 1]) & 0xC0) != 0x80)
            return -1;
        ++i;
        --caracteres;
    }
    return caracteres;
}

// Writes the Latin-1 characters of such a text; returns where they end.
char* CopiaLatin1(char* destino, QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        *destino++ =
            byte < 0x80
                ? char(byte)
                : char((byte & 0x03) << 6 | (static_cast<unsigned char>(bytes[++i]) & 0x3F));
    }
    return destino;
}

uint32_t Largo(qsizetype caracteres, bool ancho)
{
    if (size_t(caracteres) > std::numeric_limits<uint32_t>::max() >> 1)
        throw std::length_error("texto demasiado largo para una fila");
    return uint32_t(caracteres) << 1 | (ancho ? 1 : 0);
}

void Copia(char* destino, QStringView texto, bool ancho)
{
    if (ancho)
        std::memcpy(destino, texto.utf16(), size_t(texto.size()) * 2);
    else
        for (const QChar c : texto)
            *destino++ = char(c.unicode());
}
} // namespace

FilasLista::FilasLista(const std::vector<FilaLista>& filas)
{
    filas_.reserve(filas.size());
    for (const FilaLista& fila : filas)
        push_back(fila);
}

size_t FilasLista::InicioEspanol(const Fila& fila)
{
    const size_t inicio = fila.inicio + Bytes(fila.largo[0]);
    // UTF-16 starts at an even offset.
    return (fila.largo[1] & Ancho) ? (inicio + 1) & ~size_t(1) : inicio;
}

QString FilasLista::Texto(const Fila& fila, int cual) const
{
    const char* bloque = bloques_[fila.bloque].get();
    const size_t inicio = cual == 0 ? fila.inicio : InicioEspanol(fila);
    const qsizetype largo = qsizetype(fila.largo[cual] >> 1);
    if (fila.largo[cual] & Ancho)
        return QString(reinterpret_cast<const QChar*>(bloque + inicio), largo);
    return QString::fromLatin1(bloque + inicio, largo);
}

char* FilasLista::Reserva(size_t bytes, uint32_t& bloque, uint32_t& inicio)
{
    const size_t relleno = usado_ & 1;
    if (bloques_.empty() || relleno + bytes > libre_) {
        // A row larger than a block gets one of its own size.
        const size_t tamano = std::max(bytes, TamanoBloque);
        bloques_.push_back(std::make_unique_for_overwrite<char[]>(tamano));
        usado_ = 0;
        libre_ = tamano;
    } else {
        usado_ += relleno;
        libre_ -= relleno;
    }
    bloque = uint32_t(bloques_.size() - 1);
    inicio = uint32_t(usado_);
    usado_ += bytes;
    libre_ -= bytes;
    return bloques_.back().get() + inicio;
}

FilasLista::Fila FilasLista::Guarda(QStringView ingles, QStringView espanol)
{
    Fila fila{};
    const bool anchos[2] = {!EsLatin1(ingles), !EsLatin1(espanol)};
    fila.largo[0] = Largo(ingles.size(), anchos[0]);
    fila.largo[1] = Largo(espanol.size(), anchos[1]);
    // The Spanish text may need one byte to start at an even offset.
    const size_t bytes = Bytes(fila.largo[0]) + 1 + Bytes(fila.largo[1]);
    char* destino = Reserva(bytes, fila.bloque, fila.inicio);
    Copia(destino, ingles, anchos[0]);
    Copia(bloques_[fila.bloque].get() + InicioEspanol(fila), espanol, anchos[1]);
    return fila;
}

void FilasLista::push_back(const FilaLista& fila)
{
    filas_.push_back(Guarda(fila.ingles, fila.espanol));
}

void FilasLista::AgregaUtf8(QByteArrayView ingles, QByteArrayView espanol)
{
    // Nearly always Latin-1: its characters written straight from the bytes.
    const qsizetype caracteres[2] = {CaracteresLatin1(ingles), CaracteresLatin1(espanol)};
    if (caracteres[0] < 0 || caracteres[1] < 0) {
        push_back({QString::fromUtf8(ingles), QString::fromUtf8(espanol)});
        return;
    }
    Fila fila{};
    fila.largo[0] = Largo(caracteres[0], false);
    fila.largo[1] = Largo(caracteres[1], false);
    char* destino = Reserva(size_t(caracteres[0] + caracteres[1]), fila.bloque, fila.inicio);
    CopiaLatin1(CopiaLatin1(destino, ingles), espanol);
    filas_.push_back(fila);
}

void FilasLista::Inserta(size_t fila, const FilaLista& nueva)
{
    filas_.insert(filas_.begin() + qsizetype(fila), Guarda(nueva.ingles, nueva.espanol));
}

void FilasLista::Quita(size_t fila)
{
    filas_.erase(filas_.begin() + qsizetype(fila));
}

void FilasLista::Cambia(size_t fila, const FilaLista& nueva)
{
    filas_[fila] = Guarda(nueva.ingles, nueva.espanol);
}

void FilasLista::CambiaEspanol(size_t fila, const QString& espanol)
{
    Cambia(fila, {Ingles(fila), espanol});
}

void FilasLista::Mueve(size_t desde, size_t hasta)
{
    const auto origen = filas_.begin() + qsizetype(desde);
    const auto destino = filas_.begin() + qsizetype(hasta);
    if (hasta > desde)
        std::rotate(origen, origen + 1, destino + 1);
    else
        std::rotate(destino, origen, origen + 1);
}
