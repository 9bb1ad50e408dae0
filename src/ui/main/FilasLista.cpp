#include "ui/main/FilasLista.h"

#include "data/Cotejo.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace {
// Texts go in blocks of 2 MB: a million rows need a few dozen; a short list (a topic's) fills
// only its first, smaller block.
constexpr size_t PaginaGrande = size_t(2) << 20;
constexpr size_t PrimerBloque = size_t(64) << 10;
} // namespace

// Ordinary memory: large pages asked for with madvise were measured to make the first fill at
// start-up slower, though later fills were faster.
void* FilasLista::TomaMemoria(size_t bytes)
{
    return ::operator new(bytes);
}

void FilasLista::DejaMemoria(void* memoria, size_t bytes)
{
    ::operator delete(memoria, bytes);
}

FilasLista::FilasLista(const std::vector<FilaLista>& filas)
{
    filas_.reserve(filas.size());
    for (const FilaLista& fila : filas)
        push_back(fila);
}

QByteArrayView FilasLista::InglesUtf8(size_t fila) const
{
    const Fila& f = filas_[fila];
    return {bloques_[f.bloque].get() + f.inicio, qsizetype(f.bytesIngles)};
}

QByteArrayView FilasLista::EspanolUtf8(size_t fila) const
{
    const Fila& f = filas_[fila];
    return {bloques_[f.bloque].get() + f.inicio + f.bytesIngles, qsizetype(f.bytesEspanol)};
}

FilasLista::Fila FilasLista::Guarda(QByteArrayView ingles, QByteArrayView espanol)
{
    const size_t bytes = size_t(ingles.size()) + size_t(espanol.size());
    if (bytes > std::numeric_limits<uint32_t>::max() >> 1)
        throw std::length_error("fila demasiado larga");
    if (bloques_.empty() || bytes > libre_) {
        // The first block is small; the next ones a large page each. A row larger than that
        // gets a block of its own size.
        const size_t tamano = std::max(bytes, bloques_.empty() ? PrimerBloque : PaginaGrande);
        bloques_.emplace_back(static_cast<char*>(TomaMemoria(tamano)), Suelta{tamano});
        usado_ = 0;
        libre_ = tamano;
    }
    const Fila fila{uint32_t(bloques_.size() - 1), uint32_t(usado_), uint32_t(ingles.size()),
                    TieneUniones(ingles), uint32_t(espanol.size())};
    char* destino = bloques_.back().get() + usado_;
    std::memcpy(destino, ingles.data(), size_t(ingles.size()));
    std::memcpy(destino + ingles.size(), espanol.data(), size_t(espanol.size()));
    usado_ += bytes;
    libre_ -= bytes;
    return fila;
}

FilasLista::Fila FilasLista::Guarda(const FilaLista& fila)
{
    return Guarda(fila.ingles.toUtf8(), fila.espanol.toUtf8());
}

void FilasLista::Pon(size_t fila, const Fila& nueva)
{
    // Four times as large each time: a list read whole (a million rows at start-up) reaches
    // its size in a few steps, copying fewer rows, and soon lies in large pages.
    if (filas_.size() == filas_.capacity())
        filas_.reserve(std::max(filas_.capacity() * 4, size_t(1024)));
    filas_.insert(filas_.begin() + qsizetype(fila), nueva);
    conUniones_ += nueva.unido;
}

void FilasLista::Reemplaza(size_t fila, const Fila& nueva)
{
    conUniones_ = conUniones_ - filas_[fila].unido + nueva.unido;
    filas_[fila] = nueva;
}

void FilasLista::push_back(const FilaLista& fila)
{
    Pon(size(), Guarda(fila));
}

void FilasLista::AgregaUtf8(QByteArrayView ingles, QByteArrayView espanol)
{
    Pon(size(), Guarda(ingles, espanol));
}

void FilasLista::Inserta(size_t fila, const FilaLista& nueva)
{
    Pon(fila, Guarda(nueva));
}

void FilasLista::Quita(size_t fila)
{
    conUniones_ -= filas_[fila].unido;
    filas_.erase(filas_.begin() + qsizetype(fila));
}

void FilasLista::Cambia(size_t fila, const FilaLista& nueva)
{
    Reemplaza(fila, Guarda(nueva));
}

void FilasLista::CambiaEspanol(size_t fila, const QString& espanol)
{
    // Blocks never move: the English text is read where it is.
    Reemplaza(fila, Guarda(InglesUtf8(fila), espanol.toUtf8()));
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
