#pragma once
// The first-letter index of the item list: for each upper-cased first character, the item
// texts that begin with it, in list order. Completion compares only the texts of one letter.
#include <QString>
#include <optional>
#include <unordered_map>
#include <vector>

class IndiceLetras {
public:
    // Rebuilds the index from the texts, given in list order.
    void Construye(const std::vector<QString>& textos);
    void Vacia() { listas_.clear(); }
    bool EstaVacio() const { return listas_.empty(); }
    // The first text, in list order, whose beginning equals `escrito` without regard to case.
    std::optional<QString> Completa(const QString& escrito) const;
    // Takes in the text of a new row where list order puts it among its letter's texts.
    void Agrega(const QString& texto);
    // Forgets a text whose item no longer exists, so it is never offered again.
    void Quita(const QString& texto);

private:
    // The list of a text: the code of its upper-cased first character.
    static char16_t Letra(const QString& texto) { return texto.at(0).toUpper().unicode(); }
    std::unordered_map<char16_t, std::vector<QString>> listas_;
};
