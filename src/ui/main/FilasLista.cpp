#include "ui/main/FilasLista.h"

#include "data/Cotejo.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {
// Large enough that a million rows need a few dozen blocks, small enough that the last
// block's unused end does not matter.
constexpr size_t TamanoBloque = size_t(1) << 20;
} // namespace

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
        // A row larger than a block gets one of its own size.
        const size_t tamano = std::max(bytes, TamanoBloque);
        bloques_.push_back(std::make_unique_for_overwrite<char[]>(tamano));
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
