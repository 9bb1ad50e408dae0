#pragma once
// The checker of a typed (or dictated) answer: judged leniently, as a teacher would. Blanks,
// case, "¿¡", quotes and the punctuation at either end do not count; apostrophe shapes are one;
// a stored answer with several translations (";", "," or "/") accepts any of them and the whole;
// a leading article (and English "to") and a part in brackets are optional. Accents alone wrong,
// or one slipped letter (two from 8 letters), is "Casi", which practice rates Difícil: FSRS
// takes Difícil as a pass, so a wrong answer must never get it. No user texts here.
#include "repaso/Fsrs.h"

#include <QList>
#include <QString>

namespace Repaso {

// The language of the right answer: it says which leading articles are optional.
enum class Idioma { Espanol, Ingles };

enum class Juicio { Correcta, Casi, Incorrecta };

// A range of characters (QChar positions) in a text as the user sees it.
struct Tramo {
    int inicio = 0;
    int longitud = 0;
    bool operator==(const Tramo&) const = default;
};

struct Veredicto {
    Juicio juicio = Juicio::Incorrecta;
    bool soloAcentos = false; // Casi because only accents (or ñ) differ
    Calificacion sugerida = Calificacion::OtraVez;
    QString alternativa; // the translation judged against (the closest), as stored
    // What differs: ranges in the typed text and in the whole stored text, both as given.
    QList<Tramo> enEscrita;
    QList<Tramo> enCorrecta;
};

Veredicto JuzgaRespuesta(const QString& escrita, const QString& correcta, Idioma idioma);

} // namespace Repaso
