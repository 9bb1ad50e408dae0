#include "app/IndiceLetras.h"

#include <algorithm>

void IndiceLetras::Construye(const std::vector<QString>& textos)
{
    listas_.clear();
    for (const QString& texto : textos)
        if (!texto.isEmpty()) // an item with no text can never be completed to
            listas_[Letra(texto)].push_back(texto);
}

std::optional<QString> IndiceLetras::Completa(const QString& escrito) const
{
    if (escrito.isEmpty())
        return std::nullopt;
    const auto lista = listas_.find(Letra(escrito));
    if (lista == listas_.end())
        return std::nullopt;
    for (const QString& texto : lista->second)
        if (texto.startsWith(escrito, Qt::CaseInsensitive))
            return texto;
    return std::nullopt;
}

void IndiceLetras::Quita(const QString& texto)
{
    if (texto.isEmpty())
        return;
    const auto lista = listas_.find(Letra(texto));
    if (lista == listas_.end())
        return;
    auto& textos = lista->second;
    textos.erase(std::remove(textos.begin(), textos.end(), texto), textos.end());
}
