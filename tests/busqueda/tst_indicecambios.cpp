// The search index changed row by row by the store's writes finds, for every query, what an
// index built afresh from the store finds: same results, order, places and marks.
#include "busqueda/Busqueda.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using Busqueda::Hallazgo;

namespace {

const QStringList Palabras = {"cat",   "gato",     "canción", "cancion", "niño",  "árbol",   "ice",
                              "cream", "helado",   "don't",   "casa",    "house", "perro",   "dog",
                              "hot",   "wild",     "boar",    "jabalí",  "wine",  "tasting", "río",
                              "river", "pingüino", "the",     "of",      "work",  "art"};
const QStringList Consultas = {
    "cat",       "ca",     "cancion",  "canción",  "nino",    "arbol",      "ice cream", "icecream",
    "helao",     "don",    "dont",     "hause",    "perro d", "the",        "wild b",    "jabali",
    "wine tast", "rio",    "pinguino", "Animales", "animal",  "tema nuevo", "notas",     "nota",
    "worc",      "art of", "xyz",      "gatto",    "hellado", "arboll",     "casas"};

QString Frase(QRandomGenerator& azar)
{
    QStringList frase;
    for (int n = 1 + azar.bounded(3); n > 0; --n)
        frase << Palabras[azar.bounded(Palabras.size())];
    return frase.join(u' ');
}

QString Describe(const Hallazgo& h)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
        .arg(h.esTema ? h.tema : h.ingles, h.espanol, h.tema)
        .arg(int(h.lugar))
        .arg(h.cercano)
        .arg(h.palabra, h.fragmento)
        .arg(h.inicio)
        .arg(h.largo);
}

QStringList Describe(const std::vector<Hallazgo>& hallazgos)
{
    QStringList lineas;
    for (const Hallazgo& h : hallazgos)
        lineas << Describe(h);
    return lineas;
}

} // namespace

class PruebaIndiceCambios : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    BaseVocabulario base_;
    QRandomGenerator azar_{27};
    int nuevos_ = 0; // keeps every new English text apart
    QStringList temas_{"Animales", "Comida", "Sin categoría"};

    QString UnIngles()
    {
        QStringList ingleses;
        base_.RecorreItems([&](const Item& item) { ingleses << item.ITEMING; });
        return ingleses.isEmpty() ? QString() : ingleses[azar_.bounded(ingleses.size())];
    }
    Item ItemNuevo()
    {
        return {Frase(azar_) + QStringLiteral(" %1").arg(++nuevos_), Frase(azar_),
                temas_[azar_.bounded(temas_.size())],
                QStringLiteral("notas de %1\r\ncon %2").arg(Frase(azar_), Frase(azar_))};
    }

    // One write of a random kind, as the program makes them.
    void Escribe()
    {
        const QString ingles = UnIngles();
        switch (azar_.bounded(8)) {
        case 0:
        case 1:
            base_.AgregaItem(ItemNuevo());
            break;
        case 2:
        case 3: {
            if (ingles.isEmpty())
                break;
            Item item = *base_.LocalizaItem(ingles);
            const int que = azar_.bounded(4);
            if (que == 0)
                item.ITEMING = azar_.bounded(2) ? ingles.toUpper() : ItemNuevo().ITEMING;
            else if (que == 1)
                item.ITEMESP = Frase(azar_);
            else if (que == 2)
                item.NOMBRETEMA = temas_[azar_.bounded(temas_.size())];
            else
                item.NOTASITEM = ItemNuevo().NOTASITEM;
            base_.ModificaItem(ingles, item);
            break;
        }
        case 4:
            if (!ingles.isEmpty())
                base_.EliminaItem(ingles);
            break;
        case 5: { // a topic renamed with its items
            const int cual = azar_.bounded(temas_.size() - 1);
            const QString nuevo = QStringLiteral("Tema nuevo %1").arg(azar_.bounded(1000));
            base_.EnTransaccion([&] {
                base_.ModificaTema(temas_[cual], {nuevo, {}});
                base_.CambiaTemaItems(temas_[cual], nuevo);
            });
            temas_[cual] = nuevo;
            break;
        }
        case 6: { // a topic deleted, its items to "Sin categoría", and a new one
            const int cual = azar_.bounded(temas_.size() - 1);
            base_.EnTransaccion([&] {
                base_.EliminaTema(temas_[cual]);
                base_.CambiaTemaItems(temas_[cual], SinCategoria);
            });
            temas_[cual] = QStringLiteral("Animal %1").arg(azar_.bounded(1000));
            base_.AgregaTema({temas_[cual], {}});
            break;
        }
        case 7: // several items in one unit, as an import writes them
            base_.EnTransaccion([&] {
                for (int n = 0; n < 20; ++n)
                    base_.AgregaItem(ItemNuevo());
                if (!ingles.isEmpty())
                    base_.ModificaItem(ingles, ItemNuevo());
            });
            break;
        }
    }

private slots:
    void initTestCase()
    {
        const QString ruta = carpeta_.filePath(QStringLiteral("v.MDB"));
        BaseVocabulario::CreaVacia(ruta);
        base_.Abre(ruta);
        for (const QString& tema : temas_.mid(0, 2))
            base_.AgregaTema({tema, {}});
        base_.EnTransaccion([&] {
            for (int n = 0; n < 300; ++n)
                base_.AgregaItem(ItemNuevo());
        });
    }

    void cambiadoFilaAFilaEncuentraLoMismoQueConstruido()
    {
        Busqueda::Indice cambiado;
        cambiado.Actualiza(base_);
        for (int ronda = 0; ronda < 60; ++ronda) {
            for (int n = 1 + azar_.bounded(4); n > 0; --n)
                Escribe();
            if (ronda == 30) { // a unit undone: the changes noted inside are not to be trusted
                try {
                    base_.EnTransaccion([&] {
                        base_.EliminaItem(UnIngles());
                        throw std::runtime_error("a medias");
                    });
                } catch (const std::runtime_error&) {
                }
            }
            if (ronda == 45) // a large import: merged into the orders in one pass
                base_.EnTransaccion([&] {
                    for (int n = 0; n < 300; ++n)
                        base_.AgregaItem(ItemNuevo());
                    base_.EliminaItem(UnIngles());
                });
            cambiado.Actualiza(base_);
            QVERIFY(cambiado.AlDia(base_));
            Busqueda::Indice construido;
            construido.Construye(base_);
            for (const QString& consulta : Consultas) {
                const QStringList esperado = Describe(construido.Busca(consulta, 20));
                const QStringList hallado = Describe(cambiado.Busca(consulta, 20));
                QVERIFY2(hallado == esperado,
                         qPrintable(QStringLiteral("ronda %1, «%2»:\nconstruido %3\ncambiado %4")
                                        .arg(ronda)
                                        .arg(consulta, esperado.join(u'\n'), hallado.join(u'\n'))));
            }
        }
    }

    // A phrase whose rarest word only notes hold, searched again after a write adds another
    // such note: the new one is found too.
    void fraseBuscadaOtraVezTrasEscribirEnNotas()
    {
        Busqueda::Indice indice;
        base_.AgregaItem({QStringLiteral("casa zafiro 1"), QStringLiteral("uno"), SinCategoria,
                          QStringLiteral("un zafiro")});
        indice.Actualiza(base_);
        const QString consulta = QStringLiteral("zafiro casa");
        QCOMPARE(indice.Busca(consulta).size(), size_t(1));
        base_.AgregaItem({QStringLiteral("dos"), QStringLiteral("casa"), SinCategoria,
                          QStringLiteral("otro zafiro")});
        indice.Actualiza(base_);
        Busqueda::Indice construido;
        construido.Construye(base_);
        QCOMPARE(Describe(indice.Busca(consulta)), Describe(construido.Busca(consulta)));
        QCOMPARE(indice.Busca(consulta).size(), size_t(2));
    }

    void construidoApartePorTrozosMientrasSeEscribe()
    {
        // 5,000 items more, so the walk aside reads several pieces while this thread writes.
        base_.EnTransaccion([&] {
            for (int n = 0; n < 5000; ++n)
                base_.AgregaItem(ItemNuevo());
        });
        Busqueda::IndiceAparte aparte(base_);
        for (int n = 0; n < 20; ++n)
            Escribe();
        Busqueda::Indice indice = aparte.Toma();
        QVERIFY(!indice.AlDia(base_));
        indice.Actualiza(base_);
        Busqueda::Indice construido;
        construido.Construye(base_);
        for (const QString& consulta : Consultas)
            QCOMPARE(Describe(indice.Busca(consulta, 20)),
                     Describe(construido.Busca(consulta, 20)));

        // Stopped half-way when the window closes: nothing kept, nothing left running.
        {
            Busqueda::IndiceAparte dejado(base_);
        }
    }
};

QTEST_GUILESS_MAIN(PruebaIndiceCambios)
#include "tst_indicecambios.moc"
