// Measures the search engine on a vocabulary database: building the index, and typing 500
// words, 50 phrases and 50 phrases with a typo letter by letter with a search for every
// prefix, as the search box does.
//
//   MideBusqueda RUTA
//
// The file is copied first and only the copy is opened. The bar for a whole keystroke is a
// p99 of 15 ms; the engine's part measured here should stay well under it (10 ms).
#include "Medidas.h"
#include "busqueda/Busqueda.h"
#include "data/Cotejo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Bytes the heap holds now, after giving back what it can.
long long MemoriaEnUso()
{
    malloc_trim(0);
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long long>(m.uordblks + m.hblkhd);
}

// A typo in texto: a letter changed, dropped, doubled or two swapped.
void PoneErrata(QString& p, std::mt19937& azar)
{
    const auto k = static_cast<qsizetype>(azar() % (p.size() - 1));
    switch (azar() % 4) {
    case 0:
        p[k] = QLatin1Char('x');
        break;
    case 1:
        p.remove(k, 1);
        break;
    case 2:
        p.insert(k, p[k]);
        break;
    default:
        std::swap(p[k], p[k + 1]);
        break;
    }
}

// The words a user would look for: taken from the stored texts, every fifth with a typo.
QStringList EligePalabras(const BaseVocabulario& base, int cuantas)
{
    QStringList todas;
    const QRegularExpression separador(QStringLiteral("[^\\p{L}\\p{N}']+"));
    base.RecorreItems([&](const Item& item) {
        for (const QString& texto : {item.ITEMING, item.ITEMESP, item.NOTASITEM})
            for (const QString& p : texto.split(separador, Qt::SkipEmptyParts))
                if (p.size() >= 3)
                    todas << p;
    });
    QStringList elegidas;
    if (todas.isEmpty())
        return elegidas;
    std::mt19937 azar(20240612u);
    for (int i = 0; i < cuantas; ++i) {
        QString p = todas[static_cast<qsizetype>(azar() % todas.size())];
        if (i % 5 == 4)
            PoneErrata(p, azar);
        elegidas << p;
    }
    return elegidas;
}

// Texts of two words or more, as someone looking for a phrase would type them; with
// `errata`, one letter wrong in the second word (at least three letters long), which leaves
// the phrase to the near matches.
QStringList EligeFrases(const BaseVocabulario& base, int cuantas, bool errata = false)
{
    QStringList todas;
    base.RecorreItems([&](const Item& item) {
        for (const QString& texto : {item.ITEMING, item.ITEMESP})
            if (texto.count(QLatin1Char(' ')) >= 1)
                todas << texto.section(QLatin1Char(' '), 0, 1);
    });
    QStringList elegidas;
    std::mt19937 azar(20240613u);
    while (elegidas.size() < cuantas && !todas.isEmpty()) {
        QString frase = todas[static_cast<qsizetype>(azar() % todas.size())];
        if (errata) {
            QString segunda = frase.section(QLatin1Char(' '), 1, 1);
            if (segunda.size() < 3)
                continue;
            PoneErrata(segunda, azar);
            frase = frase.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') + segunda;
        }
        elegidas << frase;
    }
    return elegidas;
}

// Every prefix of every text, searched and timed (ms).
std::vector<double> Teclea(const Busqueda::Indice& indice, const QStringList& textos,
                           size_t& resultados, size_t& cercanos)
{
    std::vector<double> tiempos;
    QElapsedTimer reloj;
    for (const QString& texto : textos)
        for (qsizetype largo = 1; largo <= texto.size(); ++largo) {
            reloj.restart();
            const auto r = indice.Busca(texto.left(largo));
            tiempos.push_back(reloj.nsecsElapsed() / 1e6);
            resultados += r.size();
            cercanos += std::count_if(r.begin(), r.end(),
                                      [](const Busqueda::Hallazgo& h) { return h.cercano; });
        }
    return tiempos;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    if (argc != 2) {
        std::fputs("Uso: MideBusqueda RUTA\n", stderr);
        return 2;
    }
    QTemporaryDir carpeta;
    const QString copia = carpeta.filePath(QStringLiteral("copia.MDB"));
    if (!QFile::copy(aplicacion.arguments()[1], copia)) {
        std::fputs("No se pudo copiar la base.\n", stderr);
        return 1;
    }
    try {
        BaseVocabulario base;
        base.Abre(copia);
        const QStringList palabras = EligePalabras(base, 500);
        const QStringList frases = EligeFrases(base, 50);
        const QStringList conErrata = EligeFrases(base, 50, true);
        (void)Busqueda::Pliega(u"x"); // the folding table is filled once per process
        (void)CalculaClaveOrden(QStringLiteral("x")); // and the collator opened, as at start-up

        QElapsedTimer reloj;
        reloj.start();
        size_t leidos = 0;
        base.RecorreItems([&](const Item&) { ++leidos; });
        base.RecorreTemas([&](const Tema&) { ++leidos; });
        const double lectura = reloj.nsecsElapsed() / 1e6;

        const long long enUsoAntes = MemoriaEnUso();
        const long antes = LeeMemoria("VmRSS");
        Busqueda::Indice indice;
        reloj.restart();
        indice.Construye(base);
        const double construccion = reloj.nsecsElapsed() / 1e6;
        const long long enUsoDespues = MemoriaEnUso();
        const long despues = LeeMemoria("VmRSS");

        size_t resultados = 0, cercanos = 0;
        const std::vector<double> tiempos = Teclea(indice, palabras, resultados, cercanos);
        size_t resultadosFrases = 0, cercanosFrases = 0;
        const std::vector<double> deFrases =
            Teclea(indice, frases, resultadosFrases, cercanosFrases);
        size_t resultadosErratas = 0, cercanosErratas = 0;
        const std::vector<double> deErratas =
            Teclea(indice, conErrata, resultadosErratas, cercanosErratas);

        // After each write of the kinds the program makes, the index brought up to date and a
        // first search: what a learner waits for when opening the search window after a change.
        std::vector<double> trasCambio;
        QStringList ingleses;
        for (int n = 0; n < 30; ++n) {
            const QString nuevo = QStringLiteral("zz medida %1").arg(n);
            if (n % 3 == 0)
                base.AgregaItem(
                    {nuevo, QStringLiteral("medida"), SinCategoria, QStringLiteral("nota")});
            else if (n % 3 == 1)
                base.ModificaItem(QStringLiteral("zz medida %1").arg(n - 1),
                                  {nuevo, QStringLiteral("otra"), SinCategoria, QString()});
            else
                base.EliminaItem(QStringLiteral("zz medida %1").arg(n - 1));
            reloj.restart();
            indice.Actualiza(base);
            resultados += indice.Busca(palabras.front()).size();
            trasCambio.push_back(reloj.nsecsElapsed() / 1e6);
        }
        // Built aside, as after start-up, while this thread waits.
        reloj.restart();
        Busqueda::IndiceAparte aparte(base);
        Busqueda::Indice deAparte = aparte.Toma();
        const double construccionAparte = reloj.nsecsElapsed() / 1e6;
        reloj.restart();
        deAparte.Actualiza(base);
        const double aparteAlDia = reloj.nsecsElapsed() / 1e6;

        std::printf(
            "palabras tecleadas:        %lld (%zu búsquedas, %zu resultados, %zu cercanos)\n",
            static_cast<long long>(palabras.size()), tiempos.size(), resultados, cercanos);
        std::printf(
            "Construye:                 %8.1f ms (límite 1000; leer la base sola: %.1f ms)\n",
            construccion, lectura);
        std::printf("Busca por tecla, mediana:  %8.2f ms\n", Percentil(tiempos, 0.5));
        std::printf("Busca por tecla, p99:      %8.2f ms (límite del motor 10, de la tecla 15)\n",
                    Percentil(tiempos, 0.99));
        std::printf("Busca por tecla, máximo:   %8.2f ms\n", Percentil(tiempos, 1.0));
        std::printf(
            "frases de dos palabras:    %lld (%zu búsquedas), mediana %.2f ms, p99 %.2f ms\n",
            static_cast<long long>(frases.size()), deFrases.size(), Percentil(deFrases, 0.5),
            Percentil(deFrases, 0.99));
        std::printf(
            "frases con una errata:     %lld (%zu búsquedas, %zu cercanos), mediana %.2f ms, "
            "p99 %.2f ms\n",
            static_cast<long long>(conErrata.size()), deErratas.size(), cercanosErratas,
            Percentil(deErratas, 0.5), Percentil(deErratas, 0.99));
        std::printf(
            "tras un cambio, al día y buscar: mediana %.2f ms, máximo %.2f ms (30 cambios)\n",
            Percentil(trasCambio, 0.5), Percentil(trasCambio, 1.0));
        std::printf("Construye aparte:          %8.1f ms (y al día después: %.2f ms)\n",
                    construccionAparte, aparteAlDia);
        std::printf("VmRSS antes / después:     %ld / %ld kB (+%ld kB)\n", antes, despues,
                    despues - antes);
        std::printf("memoria del índice:        %lld kB (montón en uso)\n",
                    (enUsoDespues - enUsoAntes) / 1024);
        std::printf("VmHWM:                     %ld kB\n", LeeMemoria("VmHWM"));
        return Percentil(tiempos, 0.99) <= 10.0 && Percentil(deFrases, 0.99) <= 10.0 &&
                       Percentil(deErratas, 0.99) <= 10.0
                   ? 0
                   : 1;
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
}
