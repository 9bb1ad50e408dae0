#pragma once
// The rows of an item list, held compactly: a million items must fit in little memory. Every
// text is kept once, in large blocks shared by all rows: in one byte per character when
// Latin-1 holds it (nearly every English or Spanish word), in UTF-16 otherwise. A row is four
// numbers pointing into the blocks, so inserting, moving and removing rows moves only those.
// Texts of rows removed or replaced stay in their blocks until the rows are filled anew.
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// One row handed in or out.
struct FilaLista {
    QString ingles;
    QString espanol;
};

class FilasLista {
public:
    FilasLista() = default;
    explicit FilasLista(const std::vector<FilaLista>& filas);
    size_t size() const { return filas_.size(); }
    bool empty() const { return filas_.empty(); }
    QString Ingles(size_t fila) const { return Texto(filas_[fila], 0); }
    QString Espanol(size_t fila) const { return Texto(filas_[fila], 1); }
    // Whether the English text holds only Latin-1 characters.
    bool InglesLatin1(size_t fila) const { return !(filas_[fila].largo[0] & Ancho); }
    FilaLista operator[](size_t fila) const { return {Ingles(fila), Espanol(fila)}; }
    FilaLista front() const { return (*this)[0]; }

    // The first row for which `antes` is false, where it is true for some first rows and
    // false for all the others: a binary search.
    template <typename Antes> size_t PrimeraQueNo(Antes antes) const
    {
        size_t desde = 0;
        for (size_t cuantas = size(); cuantas > 0;) {
            const size_t mitad = cuantas / 2;
            if (antes(desde + mitad)) {
                desde += mitad + 1;
                cuantas -= mitad + 1;
            } else {
                cuantas = mitad;
            }
        }
        return desde;
    }

    // Rows by value, for reading in order.
    class Iterador {
    public:
        Iterador(const FilasLista& filas, size_t fila) : filas_(&filas), fila_(fila) {}
        FilaLista operator*() const { return (*filas_)[fila_]; }
        Iterador& operator++() { return ++fila_, *this; }
        bool operator==(const Iterador& otro) const { return fila_ == otro.fila_; }

    private:
        const FilasLista* filas_;
        size_t fila_;
    };
    Iterador begin() const { return {*this, 0}; }
    Iterador end() const { return {*this, size()}; }

    void reserve(size_t filas) { filas_.reserve(filas); }
    void push_back(const FilaLista& fila);
    // A row from the store: both texts as UTF-8.
    void AgregaUtf8(QByteArrayView ingles, QByteArrayView espanol);
    void Inserta(size_t fila, const FilaLista& nueva);
    void Quita(size_t fila);
    void Cambia(size_t fila, const FilaLista& nueva);
    void CambiaEspanol(size_t fila, const QString& espanol);
    // The row `desde` taken out and put back so that it becomes row `hasta`.
    void Mueve(size_t desde, size_t hasta);
    // Rows in the list's order merged into these, which are also in that order; `antes` says
    // whether the first English text goes before the second.
    template <typename Antes> void Mezcla(const std::vector<FilaLista>& nuevas, Antes antes);

private:
    static constexpr uint32_t Ancho = 1; // the low bit of a length: UTF-16
    struct Fila {
        uint32_t bloque;
        uint32_t inicio;   // byte offset of the English text in its block
        uint32_t largo[2]; // English and Spanish: characters << 1, plus Ancho
    };
    static size_t Bytes(uint32_t largo) { return (largo >> 1) * ((largo & Ancho) ? 2 : 1); }
    static size_t InicioEspanol(const Fila& fila);
    QString Texto(const Fila& fila, int cual) const;
    Fila Guarda(QStringView ingles, QStringView espanol);
    // Room for `bytes` bytes, starting at an even offset: where it is.
    char* Reserva(size_t bytes, uint32_t& bloque, uint32_t& inicio);

    std::vector<Fila> filas_;
    std::vector<std::unique_ptr<char[]>> bloques_;
    size_t libre_ = 0; // bytes still free at the end of the last block
    size_t usado_ = 0; // bytes used in the last block
};

template <typename Antes> void FilasLista::Mezcla(const std::vector<FilaLista>& nuevas, Antes antes)
{
    std::vector<Fila> todas;
    todas.reserve(filas_.size() + nuevas.size());
    auto vieja = filas_.begin();
    for (const FilaLista& nueva : nuevas) {
        for (; vieja != filas_.end() && !antes(nueva.ingles, Texto(*vieja, 0)); ++vieja)
            todas.push_back(*vieja);
        todas.push_back(Guarda(nueva.ingles, nueva.espanol));
    }
    todas.insert(todas.end(), vieja, filas_.end());
    filas_ = std::move(todas);
}
