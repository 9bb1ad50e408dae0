#include "listas/IndiceCompletado.h"

#include "data/Cotejo.h"

#include <algorithm>

namespace {
bool VaAntes(const QString& a, const QString& b)
{
    return ComparaTextos(a, b) < 0;
}

// The rule itself: whether completing `escrito` may give `texto`.
bool EmpiezaComo(const QString& texto, const QString& escrito)
{
    return !texto.isEmpty() && texto.at(0).toUpper() == escrito.at(0).toUpper() &&
           texto.startsWith(escrito, Qt::CaseInsensitive);
}
} // namespace

void IndiceCompletado::Construye()
{
    apartados_.clear();
    // Usually there are none, and the rows are not walked at all.
    for (size_t fila = 0; apartados_.size() < filas_.ConUniones(); ++fila)
        if (filas_.InglesTieneUniones(fila))
            apartados_.push_back(filas_.Ingles(fila));
}

std::optional<QString> IndiceCompletado::Completa(const QString& escrito) const
{
    if (escrito.isEmpty())
        return std::nullopt;
    // A typed character that joins its neighbour: the plain walk, as rare as it is.
    if (TieneUniones(escrito))
        return CompletaRecorriendo(escrito);

    // The texts beginning with `escrito` have primary keys beginning with its own, and those
    // keys are one stretch of the list.
    const QByteArray clave = CalculaClavePrimaria(escrito);
    std::optional<QString> hallado;
    for (size_t fila = filas_.PrimeraQueNo(
             [&](size_t f) { return CalculaClavePrimaria(filas_.Ingles(f)) < clave; });
         fila < filas_.size(); ++fila) {
        const QString ingles = filas_.Ingles(fila);
        if (EmpiezaComo(ingles, escrito)) {
            hallado = ingles;
            break;
        }
        if (!CalculaClavePrimaria(ingles).startsWith(clave))
            break;
    }
    // A text kept aside may begin with it and come earlier.
    for (const QString& apartado : apartados_) {
        if (hallado && !VaAntes(apartado, *hallado))
            break;
        if (EmpiezaComo(apartado, escrito))
            return apartado;
    }
    return hallado;
}

std::optional<QString> IndiceCompletado::CompletaRecorriendo(const QString& escrito) const
{
    for (size_t fila = 0; fila < filas_.size(); ++fila)
        if (EmpiezaComo(filas_.Ingles(fila), escrito))
            return filas_.Ingles(fila);
    return std::nullopt;
}

void IndiceCompletado::Agrega(const QString& texto)
{
    if (!TieneUniones(texto))
        return;
    apartados_.insert(std::lower_bound(apartados_.begin(), apartados_.end(), texto, VaAntes),
                      texto);
}

void IndiceCompletado::Quita(const QString& texto)
{
    apartados_.erase(std::remove(apartados_.begin(), apartados_.end(), texto), apartados_.end());
}
