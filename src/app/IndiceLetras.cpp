#include "app/IndiceLetras.h"

void IndiceLetras::Construye(const std::vector<QString>& textos)
{
    listas_.clear();
    for (const QString& texto : textos) {
        QString mayusculas = texto.toUpper();
        if (mayusculas.isEmpty())
            continue; // an item with no text can never be completed to
        listas_[Letra(mayusculas)].push_back({texto, std::move(mayusculas)});
    }
}

std::optional<QString> IndiceLetras::Completa(const QString& escrito) const
{
    const QString buscado = escrito.toUpper();
    if (buscado.isEmpty())
        return std::nullopt;
    const auto lista = listas_.find(Letra(buscado));
    if (lista == listas_.end())
        return std::nullopt;
    for (const Entrada& entrada : lista->second)
        if (entrada.mayusculas.startsWith(buscado))
            return entrada.texto;
    return std::nullopt;
}
