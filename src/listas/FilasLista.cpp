#include "listas/FilasLista.h"

#include "data/Cotejo.h"
#include "data/LlamadasSistema.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace {
// Texts go in blocks of 2 MB: a million rows need a few dozen; a short list (a topic's) fills
// only its first, smaller block.
constexpr size_t BloqueGrande = size_t(2) << 20;
constexpr size_t PrimerBloque = size_t(64) << 10;
// Fresh pages are asked for 256 kB at a time, ahead of the bytes written: one call instead of
// 64 page faults, and never more than that ahead of what is used.
constexpr size_t Tanda = size_t(256) << 10;

// Makes sure the pages of memoria's first `necesarios` bytes were asked for, asking for a run
// more from `poblados` on, within `tamano`; gives how many bytes are asked for then.
size_t PueblaHasta(void* memoria, size_t poblados, size_t necesarios, size_t tamano)
{
    if (necesarios <= poblados)
        return poblados;
    const size_t hasta = std::min(tamano, std::max(necesarios, poblados + Tanda));
    PueblaMemoria(static_cast<char*>(memoria) + poblados, hasta - poblados);
    return hasta;
}
} // namespace

void FilasLista::Suelta::operator()(char* bloque) const
{
    std::free(bloque);
}

FilasLista::Filas::Filas(Filas&& otras) noexcept
    : datos_(std::exchange(otras.datos_, nullptr)), tamano_(std::exchange(otras.tamano_, 0)),
      capacidad_(std::exchange(otras.capacidad_, 0)), poblados_(std::exchange(otras.poblados_, 0))
{
}

FilasLista::Filas& FilasLista::Filas::operator=(Filas&& otras) noexcept
{
    if (this != &otras) {
        std::free(datos_);
        datos_ = std::exchange(otras.datos_, nullptr);
        tamano_ = std::exchange(otras.tamano_, 0);
        capacidad_ = std::exchange(otras.capacidad_, 0);
        poblados_ = std::exchange(otras.poblados_, 0);
    }
    return *this;
}

FilasLista::Filas::~Filas()
{
    std::free(datos_);
}

void FilasLista::Filas::reserve(size_t capacidad)
{
    if (capacidad <= capacidad_)
        return;
    if (capacidad > std::numeric_limits<size_t>::max() / sizeof(Fila))
        throw std::bad_alloc();
    void* mayor = std::realloc(datos_, capacidad * sizeof(Fila));
    if (mayor == nullptr)
        throw std::bad_alloc();
    datos_ = static_cast<Fila*>(mayor);
    capacidad_ = capacidad;
    // A copy touched only the rows there were.
    poblados_ = std::min(poblados_, tamano_ * sizeof(Fila));
}

void FilasLista::Filas::insert(size_t lugar, const Fila& fila)
{
    if (tamano_ == capacidad_)
        reserve(std::max(capacidad_ * 2, size_t(1024)));
    poblados_ =
        PueblaHasta(datos_, poblados_, (tamano_ + 1) * sizeof(Fila), capacidad_ * sizeof(Fila));
    std::memmove(datos_ + lugar + 1, datos_ + lugar, (tamano_ - lugar) * sizeof(Fila));
    datos_[lugar] = fila;
    ++tamano_;
}

void FilasLista::Filas::append(const Fila* desde, const Fila* hasta)
{
    const auto cuantas = size_t(hasta - desde);
    if (cuantas == 0) // nothing to copy, and maybe no memory yet on either side
        return;
    reserve(tamano_ + cuantas);
    std::memcpy(datos_ + tamano_, desde, cuantas * sizeof(Fila));
    tamano_ += cuantas;
    poblados_ = std::max(poblados_, tamano_ * sizeof(Fila));
}

void FilasLista::Filas::erase(size_t lugar)
{
    std::memmove(datos_ + lugar, datos_ + lugar + 1, (tamano_ - lugar - 1) * sizeof(Fila));
    --tamano_;
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
        // The first block is small; the next ones 2 MB each. A row larger than that gets a
        // block of its own size.
        const size_t tamano = std::max(bytes, bloques_.empty() ? PrimerBloque : BloqueGrande);
        char* bloque = static_cast<char*>(std::malloc(tamano));
        if (bloque == nullptr)
            throw std::bad_alloc();
        bloques_.emplace_back(bloque);
        usado_ = 0;
        libre_ = tamano;
        poblado_ = 0;
    }
    poblado_ = PueblaHasta(bloques_.back().get(), poblado_, usado_ + bytes, usado_ + libre_);
    const Fila fila{uint32_t(bloques_.size() - 1), uint32_t(usado_), uint32_t(ingles.size()),
                    TieneUniones(ingles), uint32_t(espanol.size())};
    char* destino = bloques_.back().get() + usado_;
    // An empty text's view may hold no pointer at all, which memcpy must never be given.
    if (!ingles.isEmpty())
        std::memcpy(destino, ingles.data(), size_t(ingles.size()));
    if (!espanol.isEmpty())
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
    filas_.insert(fila, nueva);
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
    filas_.erase(fila);
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
