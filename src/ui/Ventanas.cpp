#include "ui/Ventanas.h"

#include <unordered_map>

namespace {
std::unordered_map<std::type_index, QPointer<QWidget>>& Ranuras()
{
    static std::unordered_map<std::type_index, QPointer<QWidget>> ranuras;
    return ranuras;
}
} // namespace

QPointer<QWidget>& detalle::RanuraVentana(std::type_index tipo)
{
    return Ranuras()[tipo];
}

void DescargaVentanas()
{
    for (auto& [tipo, ventana] : Ranuras())
        delete ventana.data();
    Ranuras().clear();
}
