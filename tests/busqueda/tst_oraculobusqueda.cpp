// Search everywhere against a plain scan: a generated vocabulary of 20,000 items, thousands of
// random queries, and the index's answer compared with a search written here from the rules
// alone (every item and topic looked at one by one, no index), before and after a thousand
// random writes through the store. The results must come in the same order with the same
// places, marks, fragments and near words.
#include "busqueda/Busqueda.h"
#include "intercambio/Intercambio.h"

#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>

using Busqueda::Hallazgo;
using Busqueda::Lugar;

namespace {

// The program brings the index up to date this way before every search: only the rows the
// writes since changed are read again.
void PonAlDia(Busqueda::Indice& indice, const BaseVocabulario& base)
{
    indice.Actualiza(base);
}

// ---------------------------------------------------------------------------------------------
// Words. Folded text is UTF-8; a word is a run of letters, marks and digits, and in English an
// apostrophe between two letters stays inside it ("don't" is one word, in Spanish two).

bool DePalabra(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
        return true;
    default:
        return false;
    }
}

bool Apostrofo(char32_t c)
{
    return c == u'\'' || c == 0x2019;
}

char32_t Anterior(std::string_view s, int& i)
{
    UChar32 c;
    U8_PREV(s.data(), 0, i, c);
    return static_cast<char32_t>(c);
}

char32_t Siguiente(std::string_view s, int& i)
{
    UChar32 c;
    U8_NEXT(s.data(), i, static_cast<int>(s.size()), c);
    return static_cast<char32_t>(c);
}

int Bytes(std::string_view s)
{
    return static_cast<int>(s.size());
}

// A bit for every byte value of s (many values share one): a text can only hold s when it has
// all of its bits. It saves the scan looking closer at most items.
uint64_t Huella(std::string_view s)
{
    uint64_t bits = 0;
    for (const char c : s)
        bits |= uint64_t{1} << (static_cast<uint8_t>(c) % 64);
    return bits;
}

std::u32string Letras(std::string_view s)
{
    std::u32string letras;
    for (int i = 0; i < Bytes(s);)
        letras.push_back(Siguiente(s, i));
    return letras;
}

// Whether a word begins at byte p of s.
bool EmpiezaPalabra(std::string_view s, int p, bool ingles)
{
    if (p == 0)
        return true;
    int i = p;
    const char32_t antes = Anterior(s, i);
    if (DePalabra(antes))
        return false;
    if (ingles && Apostrofo(antes) && i > 0)
        return !DePalabra(Anterior(s, i));
    return true;
}

// Whether a word ends at byte p of s.
bool TerminaPalabra(std::string_view s, int p, bool ingles)
{
    if (p >= Bytes(s))
        return true;
    int i = p;
    const char32_t despues = Siguiente(s, i);
    if (DePalabra(despues))
        return false;
    if (ingles && Apostrofo(despues) && i < Bytes(s))
        return !DePalabra(Siguiente(s, i));
    return true;
}

// The words of s, as byte ranges.
std::vector<std::pair<int, int>> Palabras(std::string_view s, bool ingles)
{
    std::vector<std::pair<int, int>> palabras;
    int inicio = -1;
    for (int i = 0; i < Bytes(s);) {
        const int aqui = i;
        const char32_t c = Siguiente(s, i);
        bool dentro = DePalabra(c);
        if (!dentro && inicio >= 0 && ingles && Apostrofo(c) && i < Bytes(s)) {
            int j = i;
            dentro = DePalabra(Siguiente(s, j));
        }
        if (dentro && inicio < 0)
            inicio = aqui;
        if (!dentro && inicio >= 0) {
            palabras.emplace_back(inicio, aqui);
            inicio = -1;
        }
    }
    if (inicio >= 0)
        palabras.emplace_back(inicio, Bytes(s));
    return palabras;
}

// The first place in s where a word begins with buscado, or -1.
int InicioDePalabra(std::string_view s, std::string_view buscado, bool ingles)
{
    for (size_t p = s.find(buscado); p != s.npos; p = s.find(buscado, p + 1))
        if (EmpiezaPalabra(s, static_cast<int>(p), ingles))
            return static_cast<int>(p);
    return -1;
}

// The first place in s where buscado is a whole word, or -1.
int PalabraEntera(std::string_view s, std::string_view buscado, bool ingles)
{
    for (size_t p = s.find(buscado); p != s.npos; p = s.find(buscado, p + 1)) {
        const int i = static_cast<int>(p);
        if (EmpiezaPalabra(s, i, ingles) && TerminaPalabra(s, i + Bytes(buscado), ingles))
            return i;
    }
    return -1;
}

// The first place in s where the whole words a and b stand with one character between them
// ("ice cream", "ice-cream"), as start and length, or start -1.
std::pair<int, int> Juntas(std::string_view s, std::string_view a, std::string_view b, bool ingles)
{
    for (size_t p = s.find(a); p != s.npos; p = s.find(a, p + 1)) {
        const int i = static_cast<int>(p);
        int j = i + Bytes(a);
        if (j >= Bytes(s) || !EmpiezaPalabra(s, i, ingles) || !TerminaPalabra(s, j, ingles))
            continue;
        Siguiente(s, j);
        if (s.substr(j, b.size()) == b && TerminaPalabra(s, j + Bytes(b), ingles))
            return {i, j + Bytes(b) - i};
    }
    return {-1, 0};
}

// Optimal string alignment distance: two letters swapped are one edit.
int Distancia(std::u32string_view a, std::u32string_view b)
{
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i)
        for (size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = static_cast<int>(i + j);
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// Case folded with the accents kept: tells an exact match from one without accents.
QString SoloMayusculas(const QString& texto)
{
    return texto.toCaseFolded().normalized(QString::NormalizationForm_C);
}

// ---------------------------------------------------------------------------------------------
// The reference search: the store read whole, then every query answered by looking at every
// item and topic.

// A text folded code point by code point, with the range of the original that each byte of
// the folding comes from (a character folding to nothing, as a combining accent, joins the one
// before it).
struct Plegado {
    std::string texto;
    std::vector<int> desde, hasta;
};

Plegado PliegaConMapa(const QString& original)
{
    Plegado p;
    for (qsizetype i = 0; i < original.size();) {
        const qsizetype n = original[i].isHighSurrogate() && i + 1 < original.size() &&
                                    original[i + 1].isLowSurrogate()
                                ? 2
                                : 1;
        const QByteArray u = Busqueda::Pliega(QStringView(original).mid(i, n)).toUtf8();
        if (u.isEmpty() && !p.hasta.empty())
            p.hasta.back() = static_cast<int>(i + n);
        p.texto.append(u.constData(), u.size());
        p.desde.resize(p.texto.size(), static_cast<int>(i));
        p.hasta.resize(p.texto.size(), static_cast<int>(i + n));
        i += n;
    }
    return p;
}

class Referencia {
public:
    void Lee(const BaseVocabulario& base)
    {
        temas_.clear();
        items_.clear();
        palabras_.clear();
        idPalabra_.clear();
        ids_.clear();
        idsDe_.clear();
        QHash<QString, int> idTema;
        auto AgregaTema = [&](const QString& nombre, bool enTabla) {
            idTema.insert(nombre, static_cast<int>(temas_.size()));
            temas_.push_back({nombre, Pliegue(nombre), enTabla, {}});
            return static_cast<int>(temas_.size()) - 1;
        };
        base.RecorreTemas([&](const Tema& tema) {
            if (!idTema.contains(tema.NOMBRETEMA))
                AgregaTema(tema.NOMBRETEMA, true);
        });
        base.RecorreItems([&](const Item& item) {
            ItemRef r;
            r.item = item;
            r.ingles = Pliegue(item.ITEMING);
            r.espanol = Pliegue(item.ITEMESP);
            r.notas = Pliegue(item.NOTASITEM);
            r.tema = idTema.contains(item.NOMBRETEMA) ? idTema.value(item.NOMBRETEMA)
                                                      : AgregaTema(item.NOMBRETEMA, false);
            const std::vector<int> ingles = Ids(r.ingles->texto, true);
            const std::vector<int> espanol = Ids(r.espanol->texto, false);
            const auto desde = static_cast<uint32_t>(ids_.size());
            ids_.insert(ids_.end(), ingles.begin(), ingles.end());
            ids_.insert(ids_.end(), espanol.begin(), espanol.end());
            idsDe_.push_back({desde, desde + static_cast<uint32_t>(ingles.size()),
                              static_cast<uint32_t>(ids_.size())});
            items_.push_back(std::move(r));
        });
        for (TemaRef& t : temas_)
            t.palabras = Ids(t.plegado->texto, false);
        // The folded texts side by side, item after item, so that the scan reads memory in order.
        textos_.clear();
        lugares_.clear();
        huellas_.clear();
        for (const ItemRef& r : items_) {
            std::array<uint32_t, 5> lugar;
            const std::array<std::string_view, 4> suyos = {
                r.ingles->texto, r.espanol->texto, temas_[r.tema].plegado->texto, r.notas->texto};
            uint64_t huella = 0;
            for (size_t k = 0; k < suyos.size(); ++k) {
                lugar[k] = static_cast<uint32_t>(textos_.size());
                textos_.append(suyos[k]);
                textos_.push_back('\0');
                huella |= Huella(suyos[k]);
            }
            lugar[4] = static_cast<uint32_t>(textos_.size());
            lugares_.push_back(lugar);
            huellas_.push_back(huella);
        }
        letras_.clear();
        for (const std::string& palabra : palabras_)
            letras_.push_back(Letras(palabra));
    }

    std::vector<Item> Items() const
    {
        std::vector<Item> items;
        for (const ItemRef& r : items_)
            items.push_back(r.item);
        return items;
    }
    QStringList Temas() const
    {
        QStringList nombres;
        for (const TemaRef& t : temas_)
            nombres << t.nombre;
        return nombres;
    }

    std::vector<Hallazgo> Busca(const QString& consulta, int maximo) const;

private:
    struct TemaRef {
        QString nombre;
        std::shared_ptr<const Plegado> plegado;
        bool enTabla = false; // only topics of the topic table are results of their own
        std::vector<int> palabras;
    };
    struct ItemRef {
        Item item;
        std::shared_ptr<const Plegado> ingles, espanol, notas;
        int tema = 0;
    };
    struct Encontrado {
        bool esTema = false;
        int id = 0;
        Lugar lugar = Lugar::Ingles;
        int inicio = 0, largo = 0; // bytes of the folded text
        bool cercano = false;
    };

    std::shared_ptr<const Plegado> Pliegue(const QString& texto)
    {
        auto& p = pliegues_[texto];
        if (!p)
            p = std::make_shared<const Plegado>(PliegaConMapa(texto));
        return p;
    }
    // The ids of the words of texto. Ids count from the first word of the first item in key
    // order (its English, then its Spanish), the topics' words last.
    std::vector<int> Ids(std::string_view texto, bool ingles)
    {
        std::vector<int> ids;
        for (const auto& [a, b] : Palabras(texto, ingles)) {
            const std::string palabra(texto.substr(a, b - a));
            auto [it, nueva] = idPalabra_.try_emplace(palabra, static_cast<int>(palabras_.size()));
            if (nueva)
                palabras_.push_back(palabra);
            ids.push_back(it->second);
        }
        return ids;
    }
    std::string_view Texto(int i, int k) const
    {
        return std::string_view(textos_).substr(lugares_[i][k],
                                                lugares_[i][k + 1] - lugares_[i][k] - 1);
    }
    std::string_view Ingles(int i) const { return Texto(i, 0); }
    std::string_view Espanol(int i) const { return Texto(i, 1); }
    std::string_view TemaDe(int i) const { return Texto(i, 2); }
    std::string_view Notas(int i) const { return Texto(i, 3); }
    std::string_view Nombre(int t) const { return temas_[t].plegado->texto; }
    std::span<const int> PalabrasIngles(int i) const
    {
        return std::span(ids_).subspan(idsDe_[i][0], idsDe_[i][1] - idsDe_[i][0]);
    }
    std::span<const int> PalabrasEspanol(int i) const
    {
        return std::span(ids_).subspan(idsDe_[i][1], idsDe_[i][2] - idsDe_[i][1]);
    }

    void Cercanos(const std::vector<std::string_view>& terminos, std::vector<Encontrado>& res,
                  size_t limite) const;
    Hallazgo Convierte(const Encontrado& e) const;

    std::vector<TemaRef> temas_;
    std::vector<ItemRef> items_;
    std::string textos_; // every item's folded English, Spanish, topic and notes, \0 after each
    std::vector<std::array<uint32_t, 5>> lugares_; // per item, where each of those begins
    std::vector<uint64_t> huellas_;                // per item, of its four texts
    std::vector<int> ids_; // every item's words: its English words, then its Spanish ones
    std::vector<std::array<uint32_t, 3>> idsDe_; // per item, where those begin and end
    std::vector<std::string> palabras_;
    std::vector<std::u32string> letras_; // of each word
    std::unordered_map<std::string, int> idPalabra_;
    QHash<QString, std::shared_ptr<const Plegado>> pliegues_;
};

std::vector<Hallazgo> Referencia::Busca(const QString& consulta, int maximo) const
{
    const QString limpia = consulta.trimmed();
    const QByteArray plegada = Busqueda::Pliega(limpia).toUtf8();
    std::string q(plegada.constData(), plegada.size());
    while (!q.empty() && (q.back() == ' ' || q.back() == '\t' || q.back() == '\n'))
        q.pop_back();
    if (maximo <= 0 || limpia.isEmpty() || q.find_first_not_of(" \t\r\n") == q.npos)
        return {};
    std::vector<std::string_view> terminos; // the query's words, split as English is
    for (const auto& [a, b] : Palabras(q, true))
        terminos.push_back(std::string_view(q).substr(a, b - a));
    const std::string_view w0 = terminos.empty() ? std::string_view() : terminos[0];
    const bool varias = terminos.size() > 1;
    const QString conAcentos = SoloMayusculas(limpia);

    // Every query word after the first begins a word of the English, Spanish, topic or notes.
    auto TieneResto = [&](int i) {
        for (size_t k = 1; k < terminos.size(); ++k)
            if (InicioDePalabra(Ingles(i), terminos[k], true) < 0 &&
                InicioDePalabra(Espanol(i), terminos[k], false) < 0 &&
                InicioDePalabra(TemaDe(i), terminos[k], false) < 0 &&
                InicioDePalabra(Notas(i), terminos[k], false) < 0)
                return false;
        return true;
    };
    std::vector<char> empiezaW0(palabras_.size()); // the stored words beginning with w0
    for (size_t w = 0; w < palabras_.size(); ++w)
        empiezaW0[w] = !terminos.empty() && palabras_[w].starts_with(w0);
    auto AlgunaEmpieza = [&](std::span<const int> ids) {
        return std::any_of(ids.begin(), ids.end(), [&](int w) { return empiezaW0[w]; });
    };
    // Every level needs the first query word (or the whole query) inside some text of the item.
    const std::string_view necesario = terminos.empty() ? std::string_view(q) : w0;
    const uint64_t huellaNecesaria = Huella(necesario);

    // The levels, best first: topic then items equal with the query's accents, equal without
    // them, beginning with the query, holding a word beginning with its first word (English,
    // Spanish or topic), and the notes. Within a level, topics in the topic table's order and
    // items in key order.
    enum {
        TemaIgual,
        Igual,
        TemaSinAcentos,
        SinAcentos,
        TemaEmpieza,
        Empieza,
        TemaPalabra,
        Palabra,
        EnNotas,
        Niveles
    };
    std::array<std::vector<Encontrado>, Niveles> nivel;
    for (int t = 0; t < static_cast<int>(temas_.size()); ++t) {
        const std::string_view nombre = Nombre(t);
        if (!temas_[t].enTabla)
            continue;
        if (nombre == q) {
            const bool acentos = SoloMayusculas(temas_[t].nombre) == conAcentos;
            nivel[acentos ? TemaIgual : TemaSinAcentos].push_back(
                {true, t, Lugar::Tema, 0, Bytes(q)});
        } else if (nombre.starts_with(q)) {
            nivel[TemaEmpieza].push_back({true, t, Lugar::Tema, 0, Bytes(q)});
        } else if (!terminos.empty() && InicioDePalabra(nombre, w0, false) >= 0 &&
                   std::all_of(terminos.begin() + 1, terminos.end(), [&](std::string_view p) {
                       return InicioDePalabra(nombre, p, false) >= 0;
                   })) {
            nivel[TemaPalabra].push_back(
                {true, t, Lugar::Tema, InicioDePalabra(nombre, w0, false), Bytes(w0)});
        }
    }
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const std::string_view todo = // English, Spanish, topic and notes, with \0 between
            std::string_view(textos_).substr(lugares_[i][0], lugares_[i][4] - lugares_[i][0]);
        if ((huellaNecesaria & ~huellas_[i]) != 0 || todo.find(necesario) == todo.npos)
            continue;
        const ItemRef& r = items_[i];
        const bool igualIng = Ingles(i) == q, igualEsp = Espanol(i) == q;
        if (Ingles(i).starts_with(q) || Espanol(i).starts_with(q)) {
            if (!TieneResto(i))
                continue;
            const Lugar lugar = Ingles(i).starts_with(q) ? Lugar::Ingles : Lugar::Espanol;
            const bool acentos = (igualIng && SoloMayusculas(r.item.ITEMING) == conAcentos) ||
                                 (igualEsp && SoloMayusculas(r.item.ITEMESP) == conAcentos);
            const int cual = !igualIng && !igualEsp ? Empieza : acentos ? Igual : SinAcentos;
            nivel[cual].push_back({false, i, lugar, 0, Bytes(q)});
            continue;
        }
        if (!terminos.empty() &&
            (AlgunaEmpieza(PalabrasIngles(i)) || AlgunaEmpieza(PalabrasEspanol(i)) ||
             AlgunaEmpieza(temas_[r.tema].palabras))) {
            if (!TieneResto(i))
                continue;
            // Marked at the first such word of the English, else the Spanish, else the topic
            // (where the word is there twice, the first: the index's choice).
            const std::array<std::tuple<std::string_view, Lugar, bool>, 3> campos = {
                {{Ingles(i), Lugar::Ingles, true},
                 {Espanol(i), Lugar::Espanol, false},
                 {TemaDe(i), Lugar::Tema, false}}};
            for (const auto& [texto, lugar, ingles] : campos)
                if (const int p = InicioDePalabra(texto, w0, ingles); p >= 0) {
                    nivel[Palabra].push_back({false, i, lugar, p, Bytes(w0)});
                    break;
                }
            continue;
        }
        // One word: the whole query anywhere in the notes, marked where it begins a word if it
        // does somewhere. Several: the first word beginning a word of the notes.
        if (!varias) {
            const size_t p = Notas(i).find(q);
            if (p != q.npos) {
                const int enPalabra = InicioDePalabra(Notas(i), q, false);
                nivel[EnNotas].push_back({false, i, Lugar::Notas,
                                          enPalabra >= 0 ? enPalabra : static_cast<int>(p),
                                          Bytes(q)});
            }
        } else if (const int p = InicioDePalabra(Notas(i), w0, false); p >= 0 && TieneResto(i)) {
            nivel[EnNotas].push_back({false, i, Lugar::Notas, p, Bytes(w0)});
        }
    }

    std::vector<Encontrado> res;
    const auto limite = static_cast<size_t>(maximo);
    for (const auto& deNivel : nivel)
        for (const Encontrado& e : deNivel)
            if (res.size() < limite)
                res.push_back(e);
    if (res.size() < 5 && res.size() < limite)
        Cercanos(terminos, res, limite);

    std::vector<Hallazgo> salida;
    for (const Encontrado& e : res)
        salida.push_back(Convierte(e));
    return salida;
}

// Near matches: items and table topics (not already found) holding a stored word one edit from
// a query word of 3 to 5 letters, or up to two from a longer one, or two stored words that the
// query word joins without their blank. Only the first 32 query words count.
void Referencia::Cercanos(const std::vector<std::string_view>& terminos,
                          std::vector<Encontrado>& res, size_t limite) const
{
    const size_t cuantos = std::min<size_t>(terminos.size(), 32);
    struct Cerca {
        int palabra, segunda, termino, distancia; // segunda: the joined word, or -1
    };
    // In the order the index tries them: by query word, each word's near words by length and
    // then by the order they first appear in the vocabulary, its joined pairs after them. Of
    // the equally near words an item holds, the one tried first is shown: the index's choice.
    std::vector<Cerca> cercas;
    std::vector<int> letrasTermino(cuantos);
    for (size_t k = 0; k < cuantos; ++k) {
        const std::u32string letras = Letras(terminos[k]);
        const int largo = static_cast<int>(letras.size());
        letrasTermino[k] = largo;
        if (largo < 3)
            continue;
        const int tope = largo <= 5 ? 1 : 2;
        std::vector<std::pair<int, int>> cerca; // letters, word
        for (int w = 0; w < static_cast<int>(palabras_.size()); ++w) {
            const std::u32string& otra = letras_[w];
            // The index leaves out words of 64 letters or more: none in this vocabulary.
            const int diferencia = std::abs(static_cast<int>(otra.size()) - largo);
            if (otra.size() >= 64 || largo >= 64 || diferencia > tope)
                continue;
            const int d = Distancia(letras, otra);
            if (d >= 1 && d <= tope)
                cerca.emplace_back(static_cast<int>(otra.size()), w);
        }
        std::sort(cerca.begin(), cerca.end());
        for (const auto& [l, w] : cerca)
            cercas.push_back({w, -1, static_cast<int>(k), Distancia(letras, letras_[w])});
        for (int corte = 0; Siguiente(terminos[k], corte), corte < Bytes(terminos[k]);) {
            const auto a = idPalabra_.find(std::string(terminos[k].substr(0, corte)));
            const auto b = idPalabra_.find(std::string(terminos[k].substr(corte)));
            if (a != idPalabra_.end() && b != idPalabra_.end())
                cercas.push_back({a->second, b->second, static_cast<int>(k), 1});
        }
    }

    struct Candidato {
        bool esTema;
        int id;
        int cerca = -1;                  // the near match shown
        bool espanol = false;            // found in the Spanish text
        std::array<int, 32> distancia{}; // per query word, the fewest edits (0: none near)
    };
    std::vector<Candidato> candidatos;
    // An item or topic can only hold the near matches whose (first) word is one of its words.
    std::vector<std::vector<int>> cercasDe(palabras_.size());
    for (int n = 0; n < static_cast<int>(cercas.size()); ++n)
        cercasDe[cercas[n].palabra].push_back(n);
    auto Considera = [&](bool esTema, int id) {
        std::vector<int> posibles;
        const std::span<const int> enIngles =
            esTema ? std::span<const int>(temas_[id].palabras) : PalabrasIngles(id);
        const std::span<const int> enEspanol =
            esTema ? std::span<const int>() : PalabrasEspanol(id);
        for (const std::span<const int> ids : {enIngles, enEspanol})
            for (int w : ids)
                posibles.insert(posibles.end(), cercasDe[w].begin(), cercasDe[w].end());
        if (posibles.empty())
            return;
        std::sort(posibles.begin(), posibles.end());
        posibles.erase(std::unique(posibles.begin(), posibles.end()), posibles.end());
        Candidato c{esTema, id};
        const std::string_view ingles = esTema ? Nombre(id) : Ingles(id);
        const std::string_view espanol = esTema ? std::string_view() : Espanol(id);
        for (const int n : posibles) {
            const Cerca& cerca = cercas[n];
            bool suEspanol = false; // held in the Spanish text, not in the English
            if (cerca.segunda < 0) {
                const auto Tiene = [&](std::span<const int> ids) {
                    return std::find(ids.begin(), ids.end(), cerca.palabra) != ids.end();
                };
                if (!Tiene(enIngles)) {
                    if (!Tiene(enEspanol))
                        continue;
                    suEspanol = true;
                }
            } else {
                const std::string_view a = palabras_[cerca.palabra], b = palabras_[cerca.segunda];
                if (Juntas(ingles, a, b, !esTema).first < 0) {
                    if (Juntas(espanol, a, b, false).first < 0)
                        continue;
                    suEspanol = true;
                }
            }
            int& d = c.distancia[cerca.termino];
            d = d == 0 ? cerca.distancia : std::min(d, cerca.distancia);
            if (c.cerca < 0 || cerca.distancia < cercas[c.cerca].distancia) {
                c.cerca = n;
                c.espanol = suEspanol;
            }
        }
        if (c.cerca >= 0)
            candidatos.push_back(c);
    };
    auto Hallado = [&](bool esTema, int id) {
        return std::any_of(res.begin(), res.end(),
                           [&](const Encontrado& e) { return e.esTema == esTema && e.id == id; });
    };
    for (int t = 0; t < static_cast<int>(temas_.size()); ++t)
        if (temas_[t].enTabla && !Hallado(true, t))
            Considera(true, t);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i)
        if (!Hallado(false, i))
            Considera(false, i);

    // Ranked by the query words matched exactly (beginning a word of the English or Spanish,
    // or of the topic's name), then the total of edits (a query word near nothing counts as
    // all its letters), then how far the text's length is from the query's, the shorter text
    // first. Ties go to topics before items, each in their order: the index's choice.
    int largoConsulta = -1;
    for (size_t k = 0; k < cuantos; ++k)
        largoConsulta += Bytes(terminos[k]) + 1;
    auto Clave = [&](const Candidato& c) {
        const std::string_view ingles = c.esTema ? Nombre(c.id) : Ingles(c.id);
        const std::string_view espanol = c.esTema ? std::string_view() : Espanol(c.id);
        int exactas = 0, distancia = 0;
        for (size_t k = 0; k < cuantos; ++k) {
            if (InicioDePalabra(ingles, terminos[k], !c.esTema) >= 0 ||
                InicioDePalabra(espanol, terminos[k], false) >= 0)
                ++exactas;
            else
                distancia += c.distancia[k] != 0 ? c.distancia[k] : letrasTermino[k];
        }
        const int texto = Bytes(c.espanol ? espanol : ingles);
        return std::tuple(-exactas, distancia, std::abs(texto - largoConsulta), texto, !c.esTema,
                          c.id);
    };
    std::vector<std::pair<decltype(Clave(candidatos[0])), int>> orden;
    for (int n = 0; n < static_cast<int>(candidatos.size()); ++n)
        orden.emplace_back(Clave(candidatos[n]), n);
    std::sort(orden.begin(), orden.end());
    orden.resize(std::min(orden.size(), limite - res.size()));

    // Marked at the first place of the word, or of the two joined words, in the text shown.
    for (const auto& [clave, n] : orden) {
        const Candidato& c = candidatos[n];
        const Cerca& cerca = cercas[c.cerca];
        const std::string_view texto = c.esTema    ? Nombre(c.id)
                                       : c.espanol ? Espanol(c.id)
                                                   : Ingles(c.id);
        const bool ingles = !c.esTema && !c.espanol;
        const auto [inicio, largo] =
            cerca.segunda < 0
                ? std::pair(PalabraEntera(texto, palabras_[cerca.palabra], ingles),
                            Bytes(palabras_[cerca.palabra]))
                : Juntas(texto, palabras_[cerca.palabra], palabras_[cerca.segunda], ingles);
        if (c.esTema)
            res.push_back({true, c.id, Lugar::Tema, std::max(inicio, 0), largo, true});
        else if (inicio >= 0)
            res.push_back(
                {false, c.id, c.espanol ? Lugar::Espanol : Lugar::Ingles, inicio, largo, true});
    }
}

// The result as shown: the original texts, the mark moved onto them; for the notes a piece of
// about 60 characters around the mark (25 before it), line breaks as blanks and "…" where cut.
Hallazgo Referencia::Convierte(const Encontrado& e) const
{
    Hallazgo h;
    h.esTema = e.esTema;
    h.lugar = e.lugar;
    h.cercano = e.cercano;
    QString texto;
    const Plegado* plegado = nullptr;
    if (e.esTema) {
        h.tema = temas_[e.id].nombre;
        texto = h.tema;
        plegado = temas_[e.id].plegado.get();
    } else {
        const ItemRef& r = items_[e.id];
        h.ingles = r.item.ITEMING;
        h.espanol = r.item.ITEMESP;
        h.tema = r.item.NOMBRETEMA;
        switch (e.lugar) {
        case Lugar::Ingles:
            texto = h.ingles;
            plegado = r.ingles.get();
            break;
        case Lugar::Espanol:
            texto = h.espanol;
            plegado = r.espanol.get();
            break;
        case Lugar::Tema:
            texto = h.tema;
            plegado = temas_[r.tema].plegado.get();
            break;
        case Lugar::Notas:
            texto = r.item.NOTASITEM;
            plegado = r.notas.get();
            break;
        }
    }
    int a = 0, b = 0;
    const int bytes = Bytes(plegado->texto);
    if (e.inicio < bytes && e.largo > 0) {
        a = plegado->desde[e.inicio];
        b = plegado->hasta[std::min(bytes, e.inicio + e.largo) - 1];
    }
    if (h.cercano)
        h.palabra = texto.mid(a, b - a);
    if (e.lugar != Lugar::Notas) {
        h.fragmento = texto;
        h.inicio = a;
        h.largo = b - a;
        return h;
    }
    const int n = static_cast<int>(texto.size());
    int desde = std::max(0, a - 25);
    int hasta = std::min(n, std::max(desde + 60, b));
    if (hasta == n)
        desde = std::max(0, std::min(desde, hasta - 60));
    if (desde > 0 && texto[desde].isLowSurrogate()) // a character is never cut in two
        --desde;
    if (hasta < n && texto[hasta].isLowSurrogate())
        ++hasta;
    QString f = desde > 0 ? QString(QChar(0x2026)) : QString();
    int inicio = -1, fin = -1;
    for (int k = desde; k < hasta; ++k) {
        if (k == a)
            inicio = static_cast<int>(f.size());
        if (k == b)
            fin = static_cast<int>(f.size());
        if (texto[k] == u'\r' && k + 1 < hasta && texto[k + 1] == u'\n' && k + 1 != a && k + 1 != b)
            ++k; // a CR LF is one blank
        f += texto[k] == u'\r' || texto[k] == u'\n' ? QChar(u' ') : texto[k];
    }
    h.inicio = inicio < 0 ? static_cast<int>(f.size()) : inicio;
    h.largo = (fin < 0 ? static_cast<int>(f.size()) : fin) - h.inicio;
    if (hasta < n)
        f += QChar(0x2026);
    h.fragmento = f;
    return h;
}

// ---------------------------------------------------------------------------------------------
// The vocabulary: texts drawn from made-up word lists, the same on every run.

const char* const PiezasIngles =
    "apple; banana; bread; butter; cake; candle; car; castle; cat; chair; cheese; cherry; child; "
    "city; cloud; coffee; cold; dog; door; dream; eagle; egg; engine; farm; fire; fish; flower; "
    "forest; fork; friend; garden; glass; gold; grape; green; happy; heart; honey; horse; house; "
    "ice; cream; ice cream; island; jacket; juice; key; king; kitchen; knife; lake; lamp; lemon; "
    "letter; light; lion; milk; money; moon; mountain; mouse; music; night; ocean; onion; "
    "orange; paper; pencil; penguin; pepper; piano; pillow; plate; queen; rabbit; rain; river; "
    "road; rock; salt; school; sea; sheep; ship; shoe; silver; sky; snow; song; songbird; soup; "
    "spoon; star; storm; street; sugar; summer; sun; table; tea; teacher; tiger; tomato; tree; "
    "train; water; whale; wind; window; winter; wolf; wood; world; yellow; big; small; old; new; "
    "red; blue; black; white; fast; slow; warm; sweet; little; run; jump; sing; play; read; "
    "write; eat; drink; sleep; walk; hot dog; don't; it's; o'clock; rock'n'roll; can’t; "
    "sing-along; well-known; T-shirt; bye bye; a; an";
const char* const PiezasEspanol =
    "manzana; plátano; pan; mantequilla; pastel; vela; coche; castillo; gato; silla; queso; "
    "cereza; niño; niña; ciudad; nube; café; frío; perro; puerta; sueño; águila; huevo; motor; "
    "granja; fuego; pez; flor; bosque; tenedor; amigo; jardín; vaso; oro; uva; verde; feliz; "
    "corazón; miel; caballo; casa; helado; isla; chaqueta; zumo; llave; rey; cocina; cuchillo; "
    "lago; lámpara; limón; carta; luz; león; leche; dinero; luna; montaña; ratón; música; "
    "noche; océano; cebolla; naranja; papel; lápiz; pingüino; pinguino; pimienta; piano; "
    "almohada; plato; reina; conejo; lluvia; río; camino; roca; sal; escuela; mar; oveja; "
    "barco; zapato; plata; cielo; nieve; canción; cancion; CANCIÓN; sopa; cuchara; estrella; "
    "tormenta; calle; azúcar; verano; sol; mesa; té; maestro; tomate; árbol; arbol; tren; agua; "
    "ballena; viento; ventana; invierno; lobo; madera; mundo; amarillo; grande; pequeño; viejo; "
    "nuevo; rojo; azul; negro; blanco; rápido; lento; cálido; dulce; correr; saltar; cantar; "
    "jugar; leer; escribir; comer; beber; dormir; andar; año; señor; mañana; también; camión; "
    "pájaro; película; teléfono; acción; muy muy; no (auxiliar); l'eau";
const char* const PiezasNotas =
    "Ejemplo:; ver también; uso informal; plural irregular; se pronuncia así; p. ej.; 100%; "
    "(coloquial); cancionero; heladería; arboleda; niñez; icecream; don't forget; Nota:; "
    "en inglés británico; en inglés americano; «entre comillas»; 3 veces; sin acento; "
    "pingüinos 😀; canciones; árboles; it's raining; a las 5 o'clock";
const char* const TemasTabla =
    "Música; Comida y bebida; Animales; Verbos irregulares; Países y ciudades; Ciencia ficción; "
    "Árboles frutales; Cumpleaños; La casa; El tiempo; Colores; Ropa; Niños y niñas; "
    "Canciones infantiles; Deportes de invierno; Frases hechas; Phrasal verbs; Don't forget; "
    "Canción; Sol y playa";

QStringList Lista(const char* texto)
{
    return QString::fromUtf8(texto).split(QStringLiteral("; "));
}

class Azar {
public:
    int Entre(int desde, int hasta) { return desde + int(motor_.bounded(hasta - desde + 1)); }
    bool Probabilidad(int porCiento) { return Entre(1, 100) <= porCiento; }
    template <typename Lista> const auto& Elige(const Lista& lista)
    {
        return lista[Entre(0, static_cast<int>(lista.size()) - 1)];
    }

private:
    QRandomGenerator motor_{20270611u};
};

class Generador {
public:
    QString Ingles()
    {
        QStringList piezas;
        if (azar_.Probabilidad(20))
            piezas << QStringLiteral("the"); // in more than 3,000 items
        for (int n = azar_.Entre(1, 3); n > 0; --n)
            piezas << azar_.Elige(ingles_);
        if (azar_.Probabilidad(3))
            piezas << piezas.back(); // a repeated word
        QString texto = piezas.join(u' ');
        if (azar_.Probabilidad(10))
            texto[0] = texto[0].toUpper();
        else if (azar_.Probabilidad(2))
            texto = texto.toUpper();
        return texto;
    }
    QString Espanol()
    {
        QString texto = azar_.Elige(espanol_);
        if (azar_.Probabilidad(25)) // "de" in more than 3,000 items
            texto += QStringLiteral(" de ") + azar_.Elige(espanol_);
        else if (azar_.Probabilidad(30))
            texto += u' ' + azar_.Elige(espanol_);
        if (azar_.Probabilidad(10))
            texto[0] = texto[0].toUpper();
        return texto;
    }
    QString Tema()
    {
        if (azar_.Probabilidad(8))
            return SinCategoria; // named by items, not in the topic table
        if (azar_.Probabilidad(2))
            return QStringLiteral("Lección suelta");
        return azar_.Elige(temas_);
    }
    QString Notas()
    {
        if (azar_.Probabilidad(50))
            return {};
        QStringList lineas;
        for (int n = azar_.Entre(1, 4); n > 0; --n) {
            QStringList palabras;
            for (int m = azar_.Entre(2, 9); m > 0; --m) {
                const int cual = azar_.Entre(0, 2);
                palabras << azar_.Elige(cual == 0 ? ingles_ : cual == 1 ? espanol_ : notas_);
            }
            lineas << palabras.join(azar_.Probabilidad(80) ? QStringLiteral(" ")
                                                           : QStringLiteral(", "));
        }
        return lineas.join(azar_.Probabilidad(70) ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    }
    // An item whose English text no stored item has (keys ignore case).
    Item Nuevo(std::set<QString>& claves)
    {
        for (;;) {
            const QString ingles = Ingles();
            if (!claves.contains(ingles.toCaseFolded())) {
                claves.insert(ingles.toCaseFolded());
                return {ingles, Espanol(), Tema(), Notas()};
            }
        }
    }
    const QStringList& TemasDeTabla() const { return temas_; }
    Azar& azar() { return azar_; }

private:
    Azar azar_;
    const QStringList ingles_ = Lista(PiezasIngles);
    const QStringList espanol_ = Lista(PiezasEspanol);
    const QStringList notas_ = Lista(PiezasNotas);
    const QStringList temas_ = Lista(TemasTabla);
};

// A query as a user types it: a word whole or begun, without its accents or in capitals, with
// one typo, two words, a whole text, a topic's name, a piece of a note, words typed joined.
QString Consulta(Azar& azar, const std::vector<Item>& items, const QStringList& temas)
{
    const Item& item = azar.Elige(items);
    const QString& texto = azar.Probabilidad(50) ? item.ITEMING : item.ITEMESP;
    const QStringList palabras =
        texto.split(QRegularExpression(QStringLiteral("[ ,.-]+")), Qt::SkipEmptyParts);
    const QString palabra = palabras.isEmpty() ? texto : azar.Elige(palabras);
    switch (azar.Entre(0, 10)) {
    case 0:
    case 1:
        return palabra;
    case 2:
        return palabra.left(azar.Entre(1, std::max(1, int(palabra.size()) - 1)));
    case 3:
        return azar.Probabilidad(70) ? Busqueda::Pliega(palabra) : palabra.toUpper();
    case 4:
    case 5: { // one typo: a letter changed, dropped, doubled, or two swapped
        QString t = palabra;
        if (t.size() < 2)
            return t;
        const int p = azar.Entre(0, int(t.size()) - 2);
        switch (azar.Entre(0, 3)) {
        case 0:
            t[p] = QChar(u'a' + azar.Entre(0, 25));
            break;
        case 1:
            t.remove(p, 1);
            break;
        case 2:
            t.insert(p, t[p]);
            break;
        default:
            std::swap(t[p], t[p + 1]);
        }
        return t;
    }
    case 6: {
        const Item& otro = azar.Probabilidad(50) ? item : azar.Elige(items);
        const QStringList de = otro.ITEMESP.split(u' ') + otro.ITEMING.split(u' ');
        return palabra + u' ' + azar.Elige(de).left(azar.Entre(2, 8));
    }
    case 7:
        return azar.Probabilidad(80) ? texto : Busqueda::Pliega(texto);
    case 8: {
        const QString& tema = azar.Elige(temas);
        return azar.Probabilidad(50) ? tema
                                     : Busqueda::Pliega(tema).left(azar.Entre(2, int(tema.size())));
    }
    case 9: {
        if (item.NOTASITEM.isEmpty())
            return texto;
        const int desde = azar.Entre(0, int(item.NOTASITEM.size()) - 1);
        return item.NOTASITEM.mid(desde, azar.Entre(3, 14));
    }
    default:
        return QString(texto).remove(u' ');
    }
}

bool Iguales(const Hallazgo& a, const Hallazgo& b)
{
    return std::tie(a.ingles, a.espanol, a.tema, a.esTema, a.lugar, a.cercano, a.palabra,
                    a.fragmento, a.inicio,
                    a.largo) == std::tie(b.ingles, b.espanol, b.tema, b.esTema, b.lugar, b.cercano,
                                         b.palabra, b.fragmento, b.inicio, b.largo);
}

QString Describe(const Hallazgo& h)
{
    static const char* const lugares[] = {"inglés", "español", "tema", "notas"};
    return QStringLiteral("%1%2 [%3 | %4 | %5] %6 «%7» marca %8+%9 palabra «%10»")
        .arg(h.esTema ? QStringLiteral("TEMA ") : QString(),
             h.cercano ? QStringLiteral("¿quiso decir? ") : QString(), h.ingles, h.espanol, h.tema,
             QString::fromUtf8(lugares[int(h.lugar)]), h.fragmento)
        .arg(h.inicio)
        .arg(h.largo)
        .arg(h.palabra);
}

} // namespace

class PruebaOraculoBusqueda : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    BaseVocabulario base_;
    Busqueda::Indice indice_;
    Referencia referencia_;
    Generador generador_;
    std::set<QString> claves_; // the stored English texts, case folded (in order: the same run
                               // every time)
    QStringList recientes_;    // English texts written lately: queries look for them too
    QStringList temas_;        // the topic table's names

    // The index and the scan answer `cuantas` random queries alike; the first differences are
    // printed whole.
    void Compara(int cuantas)
    {
        PonAlDia(indice_, base_);
        referencia_.Lee(base_);
        const std::vector<Item> items = referencia_.Items();
        const QStringList temas = referencia_.Temas();
        std::vector<Item> ultimos;
        for (const QString& ingles : recientes_)
            if (const auto item = base_.LocalizaItem(ingles))
                ultimos.push_back(*item);
        Azar& azar = generador_.azar();
        int fallos = 0, conResultados = 0, conCercanos = 0;
        for (int n = 0; n < cuantas; ++n) {
            const bool reciente = !ultimos.empty() && azar.Probabilidad(30);
            const QString consulta = Consulta(azar, reciente ? ultimos : items, temas);
            const int maximo = azar.Probabilidad(85) ? 100 : azar.Elige(std::array{1, 3, 5, 20});
            const std::vector<Hallazgo> esperado = referencia_.Busca(consulta, maximo);
            const std::vector<Hallazgo> obtenido = indice_.Busca(consulta, maximo);
            conResultados += !esperado.empty();
            conCercanos += !esperado.empty() && esperado.back().cercano;
            size_t k = 0;
            while (k < esperado.size() && k < obtenido.size() && Iguales(esperado[k], obtenido[k]))
                ++k;
            if ((k == esperado.size() && k == obtenido.size()) || ++fallos > 5)
                continue;
            QStringList texto{QStringLiteral("Consulta «%1» (máximo %2): %3 resultados esperados, "
                                             "%4 obtenidos; difieren desde el %5:")
                                  .arg(consulta)
                                  .arg(maximo)
                                  .arg(esperado.size())
                                  .arg(obtenido.size())
                                  .arg(k + 1)};
            for (size_t j = k; j < k + 3; ++j) {
                if (j < esperado.size())
                    texto << QStringLiteral("  esperado %1: ").arg(j + 1) + Describe(esperado[j]);
                if (j < obtenido.size())
                    texto << QStringLiteral("  obtenido %1: ").arg(j + 1) + Describe(obtenido[j]);
            }
            qWarning().noquote() << texto.join(u'\n');
        }
        QVERIFY2(
            fallos == 0,
            qPrintable(QStringLiteral("%1 de %2 consultas difieren").arg(fallos).arg(cuantas)));
        // The queries find something most of the time, and often only near matches.
        QVERIFY(conResultados > cuantas / 2 && conCercanos > cuantas / 20);
    }

    // One random write, as the windows make them.
    void Escribe()
    {
        Azar& azar = generador_.azar();
        const int cual = azar.Entre(1, 100);
        if (cual <= 30 || claves_.size() < 10) {
            const Item item = generador_.Nuevo(claves_);
            base_.AgregaItem(item);
            recientes_ << item.ITEMING;
            return;
        }
        const QString ingles = *std::next(claves_.begin(), azar.Entre(0, int(claves_.size()) - 1));
        const std::optional<Item> guardado = base_.LocalizaItem(ingles);
        QVERIFY(guardado);
        if (cual <= 45) {
            base_.EliminaItem(guardado->ITEMING);
            claves_.erase(ingles);
        } else if (cual <= 90) { // one field or all of them
            Item item = *guardado;
            switch (azar.Entre(0, 4)) {
            case 0:
                claves_.erase(ingles);
                item.ITEMING = generador_.Nuevo(claves_).ITEMING;
                break;
            case 1:
                item.ITEMESP = generador_.Espanol();
                break;
            case 2:
                item.NOMBRETEMA = generador_.Tema();
                break;
            case 3:
                item.NOTASITEM = generador_.Notas();
                break;
            default:
                claves_.erase(ingles);
                item = generador_.Nuevo(claves_);
            }
            base_.ModificaItem(guardado->ITEMING, item);
            recientes_ << item.ITEMING;
        } else if (cual <= 95) { // a topic renamed with its items, as the topic list does it
            const QString anterior = azar.Elige(temas_);
            const Tema tema{anterior.left(20) + QStringLiteral(" ñandú %1").arg(azar.Entre(0, 999)),
                            {}};
            if (temas_.contains(tema.NOMBRETEMA))
                return;
            base_.EnTransaccion([&] {
                const auto guardado = base_.LocalizaTema(anterior);
                if (guardado && guardado->NOMBRETEMA == anterior)
                    base_.ModificaTema(anterior, tema);
                base_.CambiaTemaItems(anterior, tema.NOMBRETEMA);
            });
            temas_.replace(temas_.indexOf(anterior), tema.NOMBRETEMA);
        } else if (cual <= 97) { // a topic deleted: its items go without a topic
            const QString nombre = azar.Elige(temas_);
            base_.EnTransaccion([&] {
                if (base_.LocalizaTema(nombre))
                    base_.EliminaTema(nombre);
                base_.CambiaTemaItems(nombre, SinCategoria);
            });
            temas_.removeOne(nombre);
        } else {
            const QString nombre = QStringLiteral("Tema añadido %1").arg(azar.Entre(0, 99999));
            if (!base_.LocalizaTema(nombre)) {
                base_.AgregaTema({nombre, QStringLiteral("Notas del tema")});
                temas_ << nombre;
            }
        }
    }

    // A few hundred items read from a CSV file and written as the import window does, some of
    // them replacing stored items.
    void Importa()
    {
        Azar& azar = generador_.azar();
        auto Campo = [](QString texto) {
            return u'"' + texto.replace(u'"', QStringLiteral("\"\"")) + u'"';
        };
        QString csv;
        std::set<QString> enArchivo;
        for (int n = 0; n < 300; ++n) {
            Item item = generador_.Nuevo(enArchivo);
            if (azar.Probabilidad(10))
                item.ITEMING = *std::next(claves_.begin(), azar.Entre(0, int(claves_.size()) - 1));
            csv += QStringList{Campo(item.ITEMING), Campo(item.ITEMESP), Campo(item.NOMBRETEMA),
                               Campo(item.NOTASITEM)}
                       .join(u',') +
                   u'\n';
            recientes_ << item.ITEMING;
        }
        const Intercambio::Lectura lectura = Intercambio::LeeDatos(csv.toUtf8());
        QVERIFY(lectura.rechazos.empty());
        Intercambio::Aplica(Intercambio::Planea(lectura, base_),
                            Intercambio::Duplicados::Reemplazar, base_);
        claves_.clear();
        base_.RecorreItems([&](const Item& item) { claves_.insert(item.ITEMING.toCaseFolded()); });
    }

private slots:
    void initTestCase()
    {
        const QString ruta = carpeta_.filePath(QStringLiteral("oraculo.MDB"));
        BaseVocabulario::CreaVacia(ruta);
        base_.Abre(ruta);
        // The test's file needs no durability: its writes need not wait for the disk.
        sqlite3_exec(base_.Conexion(), "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
        base_.EnTransaccion([&] {
            for (const QString& tema : generador_.TemasDeTabla())
                base_.AgregaTema({tema, QStringLiteral("Notas de ") + tema});
            for (int n = 0; n < 20000; ++n)
                base_.AgregaItem(generador_.Nuevo(claves_));
        });
        temas_ = generador_.TemasDeTabla();
    }

    void mismosResultadosQueUnaBusquedaUnoPorUno() { Compara(2000); }

    void mismosResultadosTrasEscrituras()
    {
        for (int n = 1; n <= 1000; ++n) {
            if (n == 500)
                Importa();
            else
                Escribe();
            if (QTest::currentTestFailed())
                return;
            if (n % 100 == 0) {
                // At the end, searched the ways of a large vocabulary.
                if (n == 1000)
                    Busqueda::Indice::PonUmbrales({0, 0});
                Compara(n == 1000 ? 2000 : 200);
                Busqueda::Indice::PonUmbrales({});
                if (QTest::currentTestFailed())
                    return;
                recientes_.clear();
            }
        }
    }
};

QTEST_GUILESS_MAIN(PruebaOraculoBusqueda)
#include "tst_oraculobusqueda.moc"
