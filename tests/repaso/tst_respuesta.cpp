// The lenient checker of typed answers: what a teacher would accept, half accept or refuse, and
// where the typed text and the right one differ.
#include "repaso/Respuesta.h"

#include <QtTest>

using namespace Repaso;

Q_DECLARE_METATYPE(Repaso::Idioma)
Q_DECLARE_METATYPE(Repaso::Juicio)
Q_DECLARE_METATYPE(Repaso::Calificacion)

class PruebaRespuesta : public QObject {
    Q_OBJECT

private slots:
    void JuzgaComoUnProfesor_data();
    void JuzgaComoUnProfesor();
    void MarcaLasDiferenciasEnLosTextosMostrados();
};

void PruebaRespuesta::JuzgaComoUnProfesor_data()
{
    QTest::addColumn<QString>("escrita");
    QTest::addColumn<QString>("correcta");
    QTest::addColumn<Idioma>("idioma");
    QTest::addColumn<Juicio>("juicio");
    QTest::addColumn<bool>("soloAcentos");
    QTest::addColumn<Calificacion>("sugerida");

    const auto fila = [](const char* nombre, const QString& escrita, const QString& correcta,
                         Idioma idioma, Juicio juicio, bool soloAcentos = false) {
        const Calificacion sugerida = juicio == Juicio::Correcta ? Calificacion::Bien
                                      : juicio == Juicio::Casi   ? Calificacion::Dificil
                                                                 : Calificacion::OtraVez;
        QTest::newRow(nombre) << escrita << correcta << idioma << juicio << soloAcentos << sugerida;
    };
    const auto es = Idioma::Espanol;
    const auto en = Idioma::Ingles;
    const auto bien = Juicio::Correcta;
    const auto casi = Juicio::Casi;
    const auto mal = Juicio::Incorrecta;

    // What is not counted: blanks, case, ¿¡, punctuation at the ends, quote and apostrophe shapes.
    fila("igual", "house", "house", en, bien);
    fila("blancos y mayúsculas", "  HOUSE\t", "house", en, bien);
    fila("blancos interiores", "big   house", "big house", en, bien);
    fila("mayúscula acentuada", "ÁRBOL", "árbol", es, bien);
    fila("¿¡ y final", "¿Qué tal?", "qué tal", es, bien);
    fila("puntuación final", "hello!", "Hello.", en, bien);
    fila("apóstrofo curvo", "don’t", "don't", en, bien);
    fila("apóstrofo grave", "don`t", "don't", en, bien);
    fila("comillas angulares", "«casa»", "\"casa\"", es, bien);
    fila("comillas inglesas", "“sweet”", "sweet", en, bien);
    fila("acento combinado", QStringLiteral("cafe\u0301"), "café", es, bien);
    // Several translations: any of them, or the whole.
    fila("tras punto y coma", "hogar", "casa; hogar", es, bien);
    fila("tras coma", "hogar", "casa, hogar", es, bien);
    fila("tras barra", "hogar", "casa/hogar", es, bien);
    fila("el todo", "casa, hogar", "casa, hogar", es, bien);
    fila("la más cercana", "hogra", "casa; hogar", es, casi);
    fila("ninguna", "perro", "casa; hogar", es, mal);
    // A gender ending after "/" is no translation of its own: it makes the other word.
    fila("masculino", "perro", "perro/a", es, bien);
    fila("femenino", "perra", "perro/a", es, bien);
    fila("final solo", "a", "perro/a", es, mal);
    fila("plural femenino", "las vecinas", "los vecinos/as", es, bien);
    fila("tras consonante", "profesora", "profesor/a", es, bien);
    fila("como está escrito", "gato/a", "gato/a", es, bien);
    fila("pronombres", "ella", "él/ella", es, bien);
    // Optional articles and "to", by language.
    fila("sin to", "go", "to go", en, bien);
    fila("con to", "to go", "go", en, bien);
    fila("sin artículo", "casa", "la casa", es, bien);
    fila("con artículo", "la casa", "casa", es, bien);
    fila("an opcional", "an apple", "apple", en, bien);
    fila("artículo solo", "the", "the", en, bien);
    fila("to no es español", "to go", "go", es, mal);
    fila("la no es inglés", "la casa", "casa", en, mal);
    // Brackets are optional.
    fila("sin paréntesis", "go", "(to) go", en, bien);
    fila("con paréntesis", "to go", "(to) go", en, bien);
    fila("paréntesis final", "agua", "agua (f)", es, bien);
    fila("paréntesis escritos", "agua (f)", "agua (f)", es, bien);
    fila("separador entre paréntesis", "b c", "(a, b) c", en, mal);
    // Accents only.
    fila("tilde", "atencion", "atención", es, casi, true);
    fila("eñe", "ano", "año", es, casi, true);
    fila("tilde en palabra corta", "tu", "tú", es, casi, true);
    fila("tilde y letra", "atencoin", "atención", es, casi);
    // One slipped letter, two from 8 letters.
    fila("apóstrofo de menos", "dont", "don't", en, casi);
    fila("letras cruzadas", "hosue", "house", en, casi);
    fila("letra de menos", "hous", "house", en, casi);
    fila("letra cambiada", "houze", "house", en, casi);
    fila("dos en palabra corta", "hxuze", "house", en, mal);
    fila("dos en palabra larga", "beutifel", "beautiful", en, casi);
    fila("tres en palabra larga", "bxutixxl", "beautiful", en, mal);
    fila("palabra de dos letras", "na", "no", es, mal);
    // Nothing to judge.
    fila("vacía", "", "casa", es, mal);
    fila("sólo puntuación", "¿?!", "casa", es, mal);
    fila("ambas sólo puntuación", "...", "...", es, mal);
}

void PruebaRespuesta::JuzgaComoUnProfesor()
{
    QFETCH(QString, escrita);
    QFETCH(QString, correcta);
    QFETCH(Idioma, idioma);
    const Veredicto v = JuzgaRespuesta(escrita, correcta, idioma);
    QTEST(v.juicio, "juicio");
    QTEST(v.soloAcentos, "soloAcentos");
    QTEST(v.sugerida, "sugerida");
}

void PruebaRespuesta::MarcaLasDiferenciasEnLosTextosMostrados()
{
    // Positions are in the texts as given: "¿" and the article shift them.
    Veredicto v = JuzgaRespuesta("¿Atencion!", "la atención", Idioma::Espanol);
    QCOMPARE(v.enEscrita, (QList<Tramo>{{7, 1}}));
    QCOMPARE(v.enCorrecta, (QList<Tramo>{{9, 1}}));

    // A swap marks both letters on both sides, in the whole stored text.
    v = JuzgaRespuesta("hosue", "casa; house", Idioma::Ingles);
    QCOMPARE(v.alternativa, QString("house"));
    QCOMPARE(v.enEscrita, (QList<Tramo>{{2, 2}}));
    QCOMPARE(v.enCorrecta, (QList<Tramo>{{8, 2}}));

    // A missing letter is marked only in the right text; a right answer marks nothing.
    v = JuzgaRespuesta("hous", "house", Idioma::Ingles);
    QVERIFY(v.enEscrita.isEmpty());
    QCOMPARE(v.enCorrecta, (QList<Tramo>{{4, 1}}));
    v = JuzgaRespuesta("House.", "house", Idioma::Ingles);
    QVERIFY(v.enEscrita.isEmpty() && v.enCorrecta.isEmpty());

    // A pasted page against a long note is wrong and marked whole, without a table of its
    // length times the note's.
    const QString pagina(200'000, u'x'), nota(2'000, u'y');
    v = JuzgaRespuesta(pagina, nota, Idioma::Ingles);
    QCOMPARE(v.juicio, Juicio::Incorrecta);
    QCOMPARE(v.enEscrita, (QList<Tramo>{{0, 200'000}}));
    QCOMPARE(v.enCorrecta, (QList<Tramo>{{0, 2'000}}));
}

QTEST_GUILESS_MAIN(PruebaRespuesta)
#include "tst_respuesta.moc"
