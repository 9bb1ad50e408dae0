// Builds a large vocabulary database for the benchmarks.
//
//   GeneraVocabulario RUTA [N=100000] [M=1000]
//
// N items in M topics, written through the store operations in one transaction. The texts
// look like real entries (lengths, accents, ñ, mixed case, multi-line notes) and are the same
// on every run: the generator has a fixed seed and maps its numbers by hand.
#include "data/BaseVocabulario.h"
#include "data/Cotejo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <random>

namespace {

class Generador {
public:
    // A number in [desde, hasta].
    int Entre(int desde, int hasta)
    {
        return desde + static_cast<int>(motor_() % static_cast<unsigned>(hasta - desde + 1));
    }
    bool Probabilidad(int porCiento) { return Entre(1, 100) <= porCiento; }
    const QString& Elige(const QStringList& lista) { return lista[Entre(0, lista.size() - 1)]; }

private:
    std::mt19937 motor_{20240611u};
};

const QStringList SilabasIngles = {"ba",   "con", "ter", "ing",   "house", "light", "for",
                                   "ward", "un",  "der", "stand", "ment",  "tion",  "ly",
                                   "ex",   "pre", "sh",  "ough",  "ight",  "wh",    "ea",
                                   "ro",   "qu",  "ck",  "café",  "piñata"};
const QStringList SilabasEspanol = {"ca", "sa", "ción", "ñan", "dú",  "pe",  "rro", "ár", "bol",
                                    "mú", "si", "ca",   "ñe",  "gui", "güe", "llo", "ré", "to",
                                    "ma", "ña", "na",   "es",  "pa",  "ñol", "í",   "ó"};

QString Palabra(Generador& azar, const QStringList& silabas)
{
    QString palabra;
    for (int i = azar.Entre(1, 4); i > 0; --i)
        palabra += azar.Elige(silabas);
    return palabra;
}

// Words joined by spaces until the text has between minimo and maximo characters.
QString Frase(Generador& azar, const QStringList& silabas, int minimo, int maximo)
{
    const int largo = azar.Entre(minimo, maximo);
    QString frase = Palabra(azar, silabas);
    while (frase.size() < largo)
        frase += QLatin1Char(' ') + Palabra(azar, silabas);
    frase.truncate(largo);
    if (frase.endsWith(QLatin1Char(' '))) // cut right after a word: keep the length
        frase.back() = QLatin1Char('s');
    if (azar.Probabilidad(20))
        frase[0] = frase[0].toUpper();
    else if (azar.Probabilidad(3))
        frase = frase.toUpper();
    return frase;
}

QString Notas(Generador& azar)
{
    if (azar.Probabilidad(30))
        return {};
    QString notas = Frase(azar, SilabasEspanol, 5, 120);
    while (notas.size() < 300 && azar.Probabilidad(40))
        notas += QStringLiteral("\r\n") + Frase(azar, SilabasEspanol, 5, 100);
    return notas.left(300);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() < 2 || argumentos.size() > 4) {
        std::fputs("Uso: GeneraVocabulario RUTA [N=100000] [M=1000]\n", stderr);
        return 2;
    }
    const int cuantosItems = argumentos.size() > 2 ? argumentos[2].toInt() : 100000;
    const int cuantosTemas = argumentos.size() > 3 ? argumentos[3].toInt() : 1000;
    Generador azar;
    QElapsedTimer reloj;
    reloj.start();
    try {
        BaseVocabulario::CreaVacia(argumentos[1]);
        BaseVocabulario base;
        base.Abre(argumentos[1]);
        base.EnTransaccion([&] {
            QSet<QByteArray> claves;
            // The key decides uniqueness: "House" and "house" are one entry.
            auto TextoNuevo = [&](const QStringList& silabas, int minimo, int maximo) {
                for (;;) {
                    const QString texto = Frase(azar, silabas, minimo, maximo);
                    const QByteArray clave = CalculaClaveOrden(texto);
                    if (!claves.contains(clave)) {
                        claves.insert(clave);
                        return texto;
                    }
                }
            };
            QStringList temas;
            for (int i = 0; i < cuantosTemas; ++i) {
                temas << TextoNuevo(SilabasEspanol, 3, 30);
                base.AgregaTema({temas.last(), Notas(azar)});
            }
            claves.clear();
            for (int i = 0; i < cuantosItems; ++i) {
                const QString tema =
                    azar.Probabilidad(5) || temas.isEmpty() ? SinCategoria : azar.Elige(temas);
                base.AgregaItem({TextoNuevo(SilabasIngles, 3, 40),
                                 Frase(azar, SilabasEspanol, 3, 40), tema, Notas(azar)});
            }
        });
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
    std::printf("%d items en %d temas escritos en %lld ms\n", cuantosItems, cuantosTemas,
                static_cast<long long>(reloj.elapsed()));
    return 0;
}
