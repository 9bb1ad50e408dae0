#include "ui/main/IndiceLetras.h"

#include "data/Cotejo.h"

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

void IndiceLetras::Agrega(const QString& texto)
{
    if (texto.isEmpty())
        return;
    std::vector<QString>& textos = listas_[Letra(texto)];
    // The list keeps the rows' key order: the same comparison that orders the item list.
    const auto lugar = std::lower_bound(
        textos.begin(), textos.end(), texto,
        [](const QString& a, const QString& b) { return ComparaTextos(a, b) < 0; });
    textos.insert(lugar, texto);
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
