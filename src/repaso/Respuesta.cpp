#include "repaso/Respuesta.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <vector>

// Edge cases, as decided here:
// - An empty answer, or one of only blanks, quotes and punctuation, is wrong (never Casi), even
//   against a stored text that is itself only punctuation.
// - The whole stored text, separators and all, is accepted as well as each of its parts;
//   separators inside brackets do not split ("(a, b) c" is one translation).
// - A "/" before a gender ending (a, as, o, os) splits nothing: "perro/a" accepts "perro",
//   "perra" and itself, never "a" alone; "él/ella" is still two translations.
// - A part in brackets is optional: each translation is tried with every bracket left out and
//   with all kept (brackets themselves dropped), so "(to) go" accepts "go" and "to go".
// - Apostrophes ’ ‘ ` ´ ' are one shape; quotes « » " “ ” „ ‹ › and ¿ ¡ are dropped anywhere.
// - Punctuation and blanks at either end are dropped; inner punctuation counts ("don't" against
//   "dont" is one edit, so Casi). Blanks inside collapse to one.
// - One leading article (or English "to"), followed by another word, is optional on both sides;
//   an article alone is kept, so "the" is still an answer.
// - Slips: words of one or two letters allow none (a slip would be half the word), up to 7
//   letters one, from 8 letters two. Accents alone wrong are Casi at any length; with a wrong
//   letter as well, each wrong accent counts as one more slip.

namespace Repaso {
namespace {

// One character of a text as compared, with where it came from in the text as given.
struct Unidad {
    QString plena; // lowercased, composed: accents count
    QChar base;    // without accents: "á" and "ñ" give "a" and "n"
    int inicio;
    int longitud;
};
using Texto = std::vector<Unidad>;

bool EsComilla(QChar c)
{
    static const QString comillas = QStringLiteral("\"«»“”„‹›¿¡");
    return comillas.contains(c);
}

bool EsApostrofo(QChar c)
{
    static const QString apostrofos = QStringLiteral("'’‘`´ʼ");
    return apostrofos.contains(c);
}

void Completa(Unidad& u)
{
    u.plena = u.plena.normalized(QString::NormalizationForm_C).toLower();
    u.base = u.plena.normalized(QString::NormalizationForm_D).at(0);
}

// The characters of s[desde, hasta) as compared: bracket content kept or left out.
Texto DescomponeTexto(const QString& s, int desde, int hasta, bool conParentesis)
{
    Texto t;
    int profundidad = 0;
    for (int i = desde; i < hasta; ++i) {
        const QChar c = s.at(i);
        if (c == u'(' || c == u'[') {
            ++profundidad;
            continue;
        }
        if (c == u')' || c == u']') {
            profundidad = std::max(0, profundidad - 1);
            continue;
        }
        if ((profundidad > 0 && !conParentesis) || EsComilla(c))
            continue;
        if (c.isMark()) { // a combining accent belongs to the letter before it
            if (!t.empty() && t.back().base != u' ' && t.back().inicio + t.back().longitud == i) {
                t.back().plena += c;
                ++t.back().longitud;
                Completa(t.back());
            }
            continue;
        }
        if (c.isSpace()) {
            if (!t.empty() && t.back().base != u' ')
                t.push_back({QStringLiteral(" "), u' ', i, 1});
            continue;
        }
        Unidad u{QString(c), c, i, 1};
        if (c.isHighSurrogate() && i + 1 < hasta && s.at(i + 1).isLowSurrogate()) {
            u.plena += s.at(++i);
            u.longitud = 2;
        }
        if (EsApostrofo(c))
            u.plena = QStringLiteral("'");
        Completa(u);
        t.push_back(u);
    }
    const auto sobra = [](const Unidad& u) { return u.base == u' ' || u.base.isPunct(); };
    while (!t.empty() && sobra(t.back()))
        t.pop_back();
    const auto primera = std::find_if_not(t.begin(), t.end(), sobra);
    t.erase(t.begin(), primera);
    return t;
}

// Leaves out a leading article (or English "to") when another word follows.
void QuitaArticulo(Texto& t, Idioma idioma)
{
    static const QStringList espanol{"el", "la", "los", "las", "un", "una", "unos", "unas", "lo"};
    static const QStringList ingles{"the", "a", "an", "to"};
    const QStringList& articulos = idioma == Idioma::Espanol ? espanol : ingles;
    for (;;) {
        const auto espacio =
            std::find_if(t.begin(), t.end(), [](const Unidad& u) { return u.base == u' '; });
        if (espacio == t.end())
            return;
        QString palabra;
        for (auto u = t.begin(); u != espacio; ++u)
            palabra += u->plena;
        if (!articulos.contains(palabra))
            return;
        t.erase(t.begin(), espacio + 1);
    }
}

struct Comparacion {
    Juicio juicio = Juicio::Incorrecta;
    bool soloAcentos = false;
    int distancia = 0;
    std::vector<int> enEscrita, enCorrecta; // indices of units that differ
};

int Rango(const Comparacion& c)
{
    return c.juicio == Juicio::Correcta ? 0 : c.soloAcentos ? 1 : c.juicio == Juicio::Casi ? 2 : 3;
}

// Optimal string alignment (a swap of two neighbours is one edit), with the units it changes.
Comparacion Compara(const Texto& a, const Texto& b)
{
    const int n = int(a.size()), m = int(b.size());
    Comparacion c;
    if (std::abs(n - m) > 2 && qint64(n) * m > 1'000'000) {
        // A pasted page: no slip can make up the difference in length, and the table of the
        // alignment would take far too much memory, so all of both is marked.
        c.distancia = std::max(n, m);
        for (int i = 0; i < n; ++i)
            c.enEscrita.push_back(i);
        for (int j = 0; j < m; ++j)
            c.enCorrecta.push_back(j);
        return c;
    }
    const auto igual = [&](int i, int j) { return a[i].plena == b[j].plena; };
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (int i = 0; i <= n; ++i)
        d[i][0] = i;
    for (int j = 0; j <= m; ++j)
        d[0][j] = j;
    const auto cruce = [&](int i, int j) {
        return i > 1 && j > 1 && igual(i - 1, j - 2) && igual(i - 2, j - 1);
    };
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= m; ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (igual(i - 1, j - 1) ? 0 : 1)});
            if (cruce(i, j))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    c.distancia = d[n][m];
    for (int i = n, j = m; i > 0 || j > 0;) {
        if (i > 0 && j > 0 && igual(i - 1, j - 1) && d[i][j] == d[i - 1][j - 1]) {
            --i, --j;
        } else if (cruce(i, j) && d[i][j] == d[i - 2][j - 2] + 1) {
            c.enEscrita.insert(c.enEscrita.end(), {i - 1, i - 2});
            c.enCorrecta.insert(c.enCorrecta.end(), {j - 1, j - 2});
            i -= 2, j -= 2;
        } else if (i > 0 && j > 0 && d[i][j] == d[i - 1][j - 1] + 1) {
            c.enEscrita.push_back(--i);
            c.enCorrecta.push_back(--j);
        } else if (i > 0 && d[i][j] == d[i - 1][j] + 1) {
            c.enEscrita.push_back(--i);
        } else {
            c.enCorrecta.push_back(--j);
        }
    }
    const bool mismaBase =
        n == m && std::equal(a.begin(), a.end(), b.begin(),
                             [](const Unidad& x, const Unidad& y) { return x.base == y.base; });
    const int letras =
        int(std::count_if(b.begin(), b.end(), [](const Unidad& u) { return u.base != u' '; }));
    const int desliz = letras < 3 ? 0 : letras < 8 ? 1 : 2;
    if (n == 0)
        c.juicio = Juicio::Incorrecta;
    else if (c.distancia == 0)
        c.juicio = Juicio::Correcta;
    else if (mismaBase || c.distancia <= desliz)
        c.juicio = Juicio::Casi, c.soloAcentos = mismaBase;
    return c;
}

// The units' positions as ranges, neighbours merged.
QList<Tramo> Tramos(const Texto& t, std::vector<int> indices)
{
    std::sort(indices.begin(), indices.end());
    QList<Tramo> tramos;
    for (int i : indices) {
        const Unidad& u = t[i];
        if (!tramos.isEmpty() && tramos.back().inicio + tramos.back().longitud >= u.inicio)
            tramos.back().longitud = u.inicio + u.longitud - tramos.back().inicio;
        else
            tramos.append({u.inicio, u.longitud});
    }
    return tramos;
}

// The length of the gender ending after the "/" at `i` ("perro/a", "unos/as", "alumna/o"), or
// 0 when that "/" separates two translations ("él/ella", "casa/hogar").
int FinalGenero(const QString& s, int i)
{
    if (i < 2 || !s.at(i - 1).isLetter() || !s.at(i - 2).isLetter())
        return 0;
    int n = 0;
    while (i + 1 + n < s.size() && s.at(i + 1 + n).isLetter())
        ++n;
    const QString final = s.mid(i + 1, n).toLower();
    return final == u"a" || final == u"as" || final == u"o" || final == u"os" ? n : 0;
}

// A translation with gender endings as written and as the two words it stands for: "perro/a"
// is also "perro" and "perra", "profesor/a" "profesor" and "profesora". The characters keep their
// places in the stored text, so the differences are marked there.
std::vector<Texto> FormasGenero(const Texto& t)
{
    Texto masculina, femenina;
    bool hay = false;
    for (size_t i = 0; i < t.size(); ++i) {
        const bool barra = t[i].plena == u"/" && i >= 2 && t[i - 1].base.isLetter();
        size_t n = 0;
        while (barra && i + 1 + n < t.size() && t[i + 1 + n].base.isLetter())
            ++n;
        const bool esFinal = n > 0 && n <= 2 && (t[i + 1].base == u'a' || t[i + 1].base == u'o') &&
                             (n == 1 || t[i + 2].base == u's');
        if (!esFinal) {
            masculina.push_back(t[i]);
            femenina.push_back(t[i]);
            continue;
        }
        hay = true;
        // The ending replaces the word's own when it has one ("perro/a", "unos/as"), and is
        // added to a consonant ("profesor/a").
        const size_t k = femenina.size();
        const bool propia = k > n && QStringLiteral("aeiou").contains(femenina[k - n].base) &&
                            (n == 1 || femenina[k - 1].base == u's');
        if (propia)
            femenina.resize(k - n);
        femenina.insert(femenina.end(), t.begin() + i + 1, t.begin() + i + 1 + n);
        i += n;
    }
    if (!hay)
        return {t};
    return {t, masculina, femenina};
}

// The translations of a stored text: [desde, hasta) of each part split at top-level separators,
// and the whole when there are several.
std::vector<std::pair<int, int>> SeparaTraducciones(const QString& s)
{
    std::vector<std::pair<int, int>> partes;
    int profundidad = 0, desde = 0;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'(' || c == u'[')
            ++profundidad;
        else if (c == u')' || c == u']')
            profundidad = std::max(0, profundidad - 1);
        else if (profundidad == 0 &&
                 (c == u';' || c == u',' || (c == u'/' && FinalGenero(s, i) == 0))) {
            partes.push_back({desde, i});
            desde = i + 1;
        }
    }
    if (!partes.empty())
        partes.push_back({desde, int(s.size())});
    partes.push_back({0, int(s.size())});
    return partes;
}

} // namespace

Veredicto JuzgaRespuesta(const QString& escrita, const QString& correcta, Idioma idioma)
{
    Veredicto v;
    bool hay = false;
    Comparacion mejor;
    Texto a = DescomponeTexto(escrita, 0, int(escrita.size()), true);
    QuitaArticulo(a, idioma);
    for (bool conParentesis : {false, true}) {
        for (const auto& [desde, hasta] : SeparaTraducciones(correcta)) {
            for (Texto b : FormasGenero(DescomponeTexto(correcta, desde, hasta, conParentesis))) {
                QuitaArticulo(b, idioma);
                if (b.empty() && hasta - desde < correcta.size())
                    continue; // an empty part between two separators is no translation
                Comparacion c = Compara(a, b);
                if (hay &&
                    std::pair(Rango(c), c.distancia) >= std::pair(Rango(mejor), mejor.distancia))
                    continue;
                hay = true;
                mejor = c;
                v.alternativa = correcta.mid(desde, hasta - desde).trimmed();
                v.enEscrita = Tramos(a, c.enEscrita);
                v.enCorrecta = Tramos(b, c.enCorrecta);
            }
        }
    }
    v.juicio = mejor.juicio;
    v.soloAcentos = mejor.soloAcentos;
    v.sugerida = v.juicio == Juicio::Correcta ? Calificacion::Bien
                 : v.juicio == Juicio::Casi   ? Calificacion::Dificil
                                              : Calificacion::OtraVez;
    return v;
}

} // namespace Repaso
