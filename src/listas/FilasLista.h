#pragma once
// The rows of an item list, held compactly: a million items must fit in little memory. Every
// text is kept once, as the store keeps it (UTF-8), in large blocks shared by all rows, and
// made a QString only when a row is drawn, compared or handed out. A row is 16 bytes pointing
// into the blocks, so inserting, moving and removing rows moves only those. Texts of
// rows removed or replaced stay in their blocks until the rows are filled anew. Each row also
// notes whether its English text holds a character that joins the one before it (which the
// completion must look at apart): known as the text is stored, while its bytes are at hand.
// A large list is filled at once (a million rows at start-up): its memory is asked for in runs
// of pages, and its row array grows in place.
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
    QString Ingles(size_t fila) const { return QString::fromUtf8(InglesUtf8(fila)); }
    QString Espanol(size_t fila) const { return QString::fromUtf8(EspanolUtf8(fila)); }
    QByteArrayView InglesUtf8(size_t fila) const;
    QByteArrayView EspanolUtf8(size_t fila) const;
    bool InglesTieneUniones(size_t fila) const { return filas_[fila].unido; }
    // How many rows are such.
    size_t ConUniones() const { return conUniones_; }
    FilaLista operator[](size_t fila) const { return {Ingles(fila), Espanol(fila)}; }

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

    void push_back(const FilaLista& fila);
    // A row as the store gives it.
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
    struct Fila {
        uint32_t bloque;
        uint32_t inicio; // where the English text starts in its block; the Spanish follows
        uint32_t bytesIngles : 31;
        uint32_t unido : 1;
        uint32_t bytesEspanol;
    };
    // Rows go into filas_ through these, which keep conUniones_ (as do Quita and Mezcla).
    void Pon(size_t fila, const Fila& nueva);
    void Reemplaza(size_t fila, const Fila& nueva);
    Fila Guarda(QByteArrayView ingles, QByteArrayView espanol);
    Fila Guarda(const FilaLista& fila);

    // The row array: rows are plain bytes, so it grows with realloc, which moves the pages of
    // a large array to a larger place instead of copying them, and its fresh pages are asked
    // for in runs (PueblaMemoria) as rows are added.
    class Filas {
    public:
        Filas() = default;
        Filas(Filas&& otras) noexcept;
        Filas& operator=(Filas&& otras) noexcept;
        ~Filas();
        size_t size() const { return tamano_; }
        bool empty() const { return tamano_ == 0; }
        Fila& operator[](size_t i) { return datos_[i]; }
        const Fila& operator[](size_t i) const { return datos_[i]; }
        Fila* begin() { return datos_; }
        Fila* end() { return datos_ + tamano_; }
        const Fila* begin() const { return datos_; }
        const Fila* end() const { return datos_ + tamano_; }
        void reserve(size_t capacidad);
        void insert(size_t lugar, const Fila& fila);
        void append(const Fila* desde, const Fila* hasta);
        void push_back(const Fila& fila) { insert(tamano_, fila); }
        const Fila& back() const { return datos_[tamano_ - 1]; }
        void erase(size_t lugar);

    private:
        Fila* datos_ = nullptr;
        size_t tamano_ = 0, capacidad_ = 0;
        size_t poblados_ = 0; // bytes at its start whose pages were asked for
    };
    struct Suelta {
        void operator()(char* bloque) const;
    };

    Filas filas_;
    std::vector<std::unique_ptr<char[], Suelta>> bloques_;
    size_t conUniones_ = 0;
    size_t usado_ = 0;   // bytes taken at the start of the last block
    size_t libre_ = 0;   // and still free at its end
    size_t poblado_ = 0; // bytes at its start whose pages were asked for
};

template <typename Antes> void FilasLista::Mezcla(const std::vector<FilaLista>& nuevas, Antes antes)
{
    Filas todas;
    todas.reserve(filas_.size() + nuevas.size());
    size_t vieja = 0, conUniones = 0;
    for (const FilaLista& nueva : nuevas) {
        // Equal texts: the rows already there first.
        for (; vieja < filas_.size() && !antes(nueva.ingles, Ingles(vieja)); ++vieja)
            todas.push_back(filas_[vieja]);
        todas.push_back(Guarda(nueva));
        conUniones += todas.back().unido;
    }
    todas.append(filas_.begin() + vieja, filas_.end());
    filas_ = std::move(todas);
    conUniones_ += conUniones;
}
