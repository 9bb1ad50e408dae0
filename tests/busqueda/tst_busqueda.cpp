// The search engine over a small fixed vocabulary: what comes first, where it matched, and
// what is marked in the piece of text shown.
#include "busqueda/Busqueda.h"

#include "busqueda/BuscaBytes.h"
#include "busqueda/Distancia.h"
#include "busqueda/NotasCodificadas.h"
#include "busqueda/Simbolos.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cctype>
#include <random>

using Busqueda::Hallazgo;
using Busqueda::Lugar;

Q_DECLARE_METATYPE(Busqueda::Lugar)

namespace {

// A vocabulary of some thousands of items for ranking near matches: every adjective with every
// noun ("wild cat", "red chair"…), and phrases a query with a typo is meant to find, among
// distractors that share their words or prefixes and near words that sort before them.
// "English=Spanish" pairs, separated by "; ".
const char* const Adjetivos =
    "wild=salvaje; red=rojo; green=verde; blue=azul; black=negro; small=pequeño; big=grande; "
    "old=viejo; new=nuevo; young=joven; happy=feliz; sad=triste; quiet=tranquilo; loud=ruidoso; "
    "fast=rápido; slow=lento; warm=cálido; cold=frío; clean=limpio; dirty=sucio; heavy=pesado; "
    "dark=oscuro; bright=brillante; sweet=dulce; bitter=amargo; soft=blando; hard=duro; "
    "round=redondo; square=cuadrado; long=largo; short=corto; wide=ancho; narrow=estrecho; "
    "rich=rico; poor=pobre; empty=vacío; full=lleno; strong=fuerte; weak=débil; early=temprano; "
    "brave=valiente; shy=tímido; proud=orgulloso; lazy=perezoso; busy=ocupado; famous=famoso; "
    "secret=secreto; golden=dorado; silver=plateado";
const char* const Sustantivos =
    "cat=gato; chair=silla; table=mesa; window=ventana; garden=jardín; river=río; "
    "mountain=montaña; street=calle; bridge=puente; flower=flor; tree=árbol; apple=manzana; "
    "bread=pan; cheese=queso; butter=mantequilla; honey=miel; sugar=azúcar; salt=sal; "
    "pepper=pimienta; lemon=limón; orange=naranja; banana=plátano; cherry=cereza; grape=uva; "
    "potato=patata; onion=cebolla; garlic=ajo; carrot=zanahoria; tomato=tomate; soup=sopa; "
    "horse=caballo; sheep=oveja; goat=cabra; mouse=ratón; rabbit=conejo; fox=zorro; bear=oso; "
    "wolf=lobo; eagle=águila; owl=búho; fish=pez; shark=tiburón; whale=ballena; snake=serpiente; "
    "frog=rana; spider=araña; bee=abeja; ant=hormiga; king=rey; queen=reina; child=niño; "
    "friend=amigo; teacher=maestro; doctor=médico; farmer=granjero; sailor=marinero; "
    "soldier=soldado; singer=cantante; painter=pintor; baker=panadero; letter=carta; "
    "pencil=lápiz; paper=papel; phone=teléfono; clock=reloj; mirror=espejo; candle=vela; "
    "blanket=manta; pillow=almohada; basket=cesta; bottle=botella; cup=taza; plate=plato; "
    "spoon=cuchara; knife=cuchillo; fork=tenedor; hammer=martillo; ladder=escalera; rope=cuerda; "
    "wheel=rueda; engine=motor; train=tren; plane=avión; ship=barco; island=isla; forest=bosque; "
    "desert=desierto; valley=valle; lake=lago; cloud=nube; storm=tormenta; snow=nieve; "
    "rain=lluvia; wind=viento; moon=luna; star=estrella; sun=sol";
const char* const Frases =
    "wild boar=jabalí; work of art=obra de arte; ice cream=helado; wine tasting=cata de vinos; "
    "dog=perro; "
    // sharing words or prefixes
    "wildlife=fauna; wild card=comodín; work=trabajo; workshop=taller; "
    "works of art=obras de arte; art of war=arte de la guerra; at work=en el trabajo; ice=hielo; "
    "icebox=nevera; iceberg=iceberg; ice cream cone=cucurucho; ice-cream maker=heladera; "
    "wine=vino; wine list=carta de vinos; tasting menu=menú degustación; dogma=dogma; "
    "hot dog=perrito caliente; play=obra de teatro; "
    // one edit from a query word, most sorting first
    "a bar of soap=pastilla de jabón; bar=bar; boa=boa; bore=aburrir; born=nacido; air=aire; "
    "art=arte; tar=alquitrán; acre=acre; cream=nata; crew=tripulación; dice=dados; "
    "nice=agradable; casting=reparto; coal mine=mina de carbón; nine=nueve; ago=hace; ego=ego; "
    "do=hacer; go=ir; as you go=sobre la marcha; be about to do=estar a punto de hacer";

QList<std::pair<QString, QString>> Pares(const char* texto)
{
    QList<std::pair<QString, QString>> pares;
    for (const QString& par : QString::fromUtf8(texto).split(QStringLiteral("; ")))
        pares.append({par.section(u'=', 0, 0), par.section(u'=', 1)});
    return pares;
}

} // namespace

class PruebaBusqueda : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    BaseVocabulario base_;
    Busqueda::Indice indice_;
    BaseVocabulario grande_;
    Busqueda::Indice indiceGrande_;

    static QString Marcado(const Hallazgo& h) { return h.fragmento.mid(h.inicio, h.largo); }
    static QString Nombre(const Hallazgo& h) { return h.esTema ? h.tema : h.ingles; }
    QStringList Nombres(const QString& consulta, int cuantos)
    {
        QStringList nombres;
        for (const Hallazgo& h : indice_.Busca(consulta))
            if (nombres.size() < cuantos)
                nombres << Nombre(h);
        return nombres;
    }

private slots:
    void initTestCase()
    {
        const QString ruta = carpeta_.filePath(QStringLiteral("busqueda.MDB"));
        BaseVocabulario::CreaVacia(ruta);
        base_.Abre(ruta);
        for (const char* tema : {"Música", "Comida y bebida", "Animales"})
            base_.AgregaTema({QString::fromUtf8(tema), QString()});
        const QList<Item> items = {
            {"song", "canción", "Música", "Una canción popular.\r\nSe canta en fiestas."},
            {"singing", "cancion", "Música", ""},
            {"songbird", "pájaro cantor", "Animales", "Not a song."},
            {"child", "niño", SinCategoria, "Un niño pequeño."},
            {"Straße", "calle", SinCategoria, ""},
            {"apple pie", "tarta de manzana", "Comida y bebida",
             "Postre típico de Estados Unidos.\r\nSe sirve con helado de vainilla."},
            {"don't", "no (auxiliar)", SinCategoria, "Contracción de do not."},
            {"dog", "perro", "Animales", "El mejor amigo del hombre."},
            {"cat", "gato", "Animales", "Le gusta la leche; 100% independiente_ y *curioso*."},
            {"butterfly", "mariposa", "Animales", ""},
            {QStringLiteral("İstanbul ﬃ cafe\u0301 😀 ΐ"), "ÁRBOL Σ", SinCategoria,
             QStringLiteral("Ωmega\r\nláser x\u0301y")},
        };
        for (const Item& item : items)
            base_.AgregaItem(item);
        indice_.Construye(base_);

        const QString rutaGrande = carpeta_.filePath(QStringLiteral("grande.MDB"));
        BaseVocabulario::CreaVacia(rutaGrande);
        grande_.Abre(rutaGrande);
        grande_.EnTransaccion([&] {
            for (const auto& [adjetivo, adjetivoEs] : Pares(Adjetivos))
                for (const auto& [nombre, nombreEs] : Pares(Sustantivos))
                    grande_.AgregaItem({adjetivo + u' ' + nombre, nombreEs + u' ' + adjetivoEs,
                                        SinCategoria, QString()});
            for (const auto& [ingles, espanol] : Pares(Frases))
                grande_.AgregaItem({ingles, espanol, SinCategoria, QString()});
        });
        indiceGrande_.Construye(grande_);
    }

    void pliegaQuitaMayusculasYAcentos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("plegado");
        QTest::newRow("acento") << "Canción"
                                << "cancion";
        QTest::newRow("eñe") << "NIÑO"
                             << "nino";
        QTest::newRow("diéresis") << "Ärger"
                                  << "arger";
        QTest::newRow("eszett") << "Straße"
                                << "strasse";
        QTest::newRow("descompuesto") << QStringLiteral("cafe\u0301") << "cafe";
        QTest::newRow("emoji") << "a😀B"
                               << "a😀b";
    }
    void pliegaQuitaMayusculasYAcentos()
    {
        QFETCH(QString, texto);
        QFETCH(QString, plegado);
        QCOMPARE(Busqueda::Pliega(texto), plegado);
    }

    void primerResultado_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("nombre"); // English, or the topic's name
        QTest::addColumn<bool>("esTema");
        QTest::addColumn<Lugar>("lugar");
        QTest::addColumn<bool>("cercano");
        QTest::addColumn<QString>("marcado");
        // clang-format off
        QTest::newRow("inglés igual") << "song" << "song" << false << Lugar::Ingles << false << "song";
        QTest::newRow("mayúsculas") << "DOG" << "dog" << false << Lugar::Ingles << false << "dog";
        QTest::newRow("español") << "perro" << "dog" << false << Lugar::Espanol << false << "perro";
        QTest::newRow("sin eñe") << "nino" << "child" << false << Lugar::Espanol << false << "niño";
        QTest::newRow("con eñe") << "NIÑO" << "child" << false << Lugar::Espanol << false << "niño";
        QTest::newRow("eszett") << "stras" << "Straße" << false << Lugar::Ingles << false << "Straß";
        QTest::newRow("principio") << "gat" << "cat" << false << Lugar::Espanol << false << "gat";
        QTest::newRow("palabra dentro") << "manz" << "apple pie" << false << Lugar::Espanol << false << "manz";
        QTest::newRow("apóstrofo") << "don't" << "don't" << false << Lugar::Ingles << false << "don't";
        QTest::newRow("tema") << "musica" << "Música" << true << Lugar::Tema << false << "Música";
        QTest::newRow("palabra de tema") << "bebida" << "Comida y bebida" << true << Lugar::Tema << false << "bebida";
        QTest::newRow("notas") << "tipico" << "apple pie" << false << Lugar::Notas << false << "típico";
        QTest::newRow("notas dentro") << "endiente" << "cat" << false << Lugar::Notas << false << "endiente";
        QTest::newRow("ligadura") << "ffi" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Ingles << false << "ﬃ";
        QTest::newRow("acento aparte") << "cafe" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Ingles << false << "cafe\u0301";
        QTest::newRow("mayúscula con acento") << "arbol" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Espanol << false << "ÁRBOL";
        QTest::newRow("notas con acento") << "laser" << "İstanbul ﬃ cafe\u0301 😀 ΐ" << false << Lugar::Notas << false << "láser";
        QTest::newRow("varias") << "pie apple" << "apple pie" << false << Lugar::Ingles << false << "pie";
        QTest::newRow("varias y notas") << "tarta vainilla" << "apple pie" << false << Lugar::Espanol << false << "tarta";
        QTest::newRow("porcentaje") << "100%" << "cat" << false << Lugar::Notas << false << "100%";
        QTest::newRow("subrayado") << "independiente_" << "cat" << false << Lugar::Notas << false << "independiente_";
        QTest::newRow("asterisco") << "*curioso*" << "cat" << false << Lugar::Notas << false << "*curioso*";
        QTest::newRow("letra cambiada") << "butterfky" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("letra de menos") << "buterfly" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("letra de más") << "butterrfly" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("letras cambiadas") << "butetrfly" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("dos errores") << "buttrfli" << "butterfly" << false << Lugar::Ingles << true << "butterfly";
        QTest::newRow("corta") << "perto" << "dog" << false << Lugar::Espanol << true << "perro";
        QTest::newRow("tres letras") << "dgo" << "dog" << false << Lugar::Ingles << true << "dog";
        QTest::newRow("tema cercano") << "bebidda" << "Comida y bebida" << true << Lugar::Tema << true << "bebida";
        QTest::newRow("varias con apóstrofo") << "no don't" << "don't" << false << Lugar::Espanol << false << "no";
        QTest::newRow("con acento") << "cancoin" << "singing" << false << Lugar::Espanol << true << "cancion";
        // clang-format on
    }
    void primerResultado()
    {
        QFETCH(QString, consulta);
        const std::vector<Hallazgo> r = indice_.Busca(consulta);
        QVERIFY(!r.empty());
        const Hallazgo& h = r.front();
        QTEST(Nombre(h), "nombre");
        QTEST(h.esTema, "esTema");
        QTEST(h.lugar, "lugar");
        QTEST(h.cercano, "cercano");
        QTEST(Marcado(h), "marcado");
        if (h.cercano)
            QCOMPARE(h.palabra, Marcado(h));
        // The texts come back exactly as stored, however they fold.
        for (const Hallazgo& otro : r) {
            if (otro.esTema)
                continue;
            const std::optional<Item> guardado = base_.LocalizaItem(otro.ingles);
            QVERIFY(guardado && guardado->ITEMING == otro.ingles);
            QCOMPARE(otro.espanol, guardado->ITEMESP);
            QCOMPARE(otro.tema, guardado->NOMBRETEMA);
        }
    }

    void ordenaPorNivel_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QStringList>("primeros");
        // The accents of the query decide first between two equal texts.
        QTest::newRow("con acento") << "canción" << QStringList{"song", "singing"};
        QTest::newRow("sin acento") << "cancion" << QStringList{"singing", "song"};
        QTest::newRow("mayúsculas y acento") << "CANCIÓN" << QStringList{"song", "singing"};
        // Equal, then beginning, then a word, then the notes.
        QTest::newRow("niveles") << "song" << QStringList{"song", "songbird"};
        QTest::newRow("tema antes")
            << "animales" << QStringList{"Animales", "butterfly", "cat", "dog"};
        QTest::newRow("cercanos tras exactos") << "cancoin" << QStringList{"singing", "song"};
    }
    void ordenaPorNivel()
    {
        QFETCH(QString, consulta);
        QFETCH(QStringList, primeros);
        QCOMPARE(Nombres(consulta, static_cast<int>(primeros.size())), primeros);
    }

    // Near matches rank by how much of the query they match: words matched exactly, then the
    // total edit distance, then the text nearest the query in length.
    void cercanosPorCuantoCoinciden_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("ingles");
        QTest::addColumn<int>("puesto"); // at this place or before
        QTest::addColumn<bool>("cercano");
        QTest::addColumn<QString>("marcado");
        // clang-format off
        QTest::newRow("una letra de menos") << "wild bor" << "wild boar" << 1 << true << "boar";
        QTest::newRow("letras cambiadas") << "work of atr" << "work of art" << 1 << true << "art";
        QTest::newRow("frase corta") << "ice crem" << "ice cream" << 1 << true << "cream";
        QTest::newRow("palabra larga") << "wine tastng" << "wine tasting" << 1 << true << "tasting";
        QTest::newRow("tres letras") << "dgo" << "dog" << 3 << true << "dog";
        QTest::newRow("sin espacio") << "icecream" << "ice cream" << 1 << true << "ice cream";
        QTest::newRow("en español") << "obra de atre" << "work of art" << 1 << true << "arte";
        QTest::newRow("exacto antes") << "wild boa" << "wild boar" << 1 << false << "wild boa";
        // clang-format on
    }
    void cercanosPorCuantoCoinciden()
    {
        QFETCH(QString, consulta);
        QFETCH(QString, ingles);
        QFETCH(int, puesto);
        const std::vector<Hallazgo> r = indiceGrande_.Busca(consulta);
        const auto it =
            std::find_if(r.begin(), r.end(), [&](const Hallazgo& h) { return h.ingles == ingles; });
        QVERIFY2(it != r.end(), qPrintable(QStringLiteral("%1 no aparece").arg(ingles)));
        QVERIFY2(it - r.begin() < puesto,
                 qPrintable(QStringLiteral("%1 sale en el puesto %2, tras %3")
                                .arg(ingles)
                                .arg(it - r.begin() + 1)
                                .arg(Nombre(r.front()))));
        QTEST(it->cercano, "cercano");
        QTEST(Marcado(*it), "marcado");
        if (it->cercano) // what "¿Quiso decir…?" names
            QCOMPARE(it->palabra, Marcado(*it));
    }

    void cadaItemUnaVezEnSuMejorSitio()
    {
        const std::vector<Hallazgo> r = indice_.Busca(QStringLiteral("song"));
        QStringList nombres;
        for (const Hallazgo& h : r)
            nombres << Nombre(h);
        QCOMPARE(nombres.count(QStringLiteral("songbird")), 1);
        QCOMPARE(r[1].lugar, Lugar::Ingles); // not its notes "Not a song."
        QCOMPARE(nombres.removeDuplicates(), 0);
    }

    // The index keeps the texts as written and folds them again as it reads them: every kind
    // of character that folds to something else comes back as written, in English and in
    // Spanish, and is found by its folding.
    void originalesDeCadaLetraQueSePliega()
    {
        QStringList letras;
        for (const auto& [desde, hasta] :
             {std::pair(0x21, 0x7E), std::pair(0xC0, 0x24F), std::pair(0x386, 0x3A9),
              std::pair(0x400, 0x42F), std::pair(0x1E00, 0x1EFF), std::pair(0x1D400, 0x1D419),
              std::pair(0x10400, 0x10427)})
            for (char32_t c = char32_t(desde); c <= char32_t(hasta); ++c)
                letras << QString::fromUcs4(&c, 1);
        QTemporaryDir carpeta;
        BaseVocabulario base;
        BaseVocabulario::CreaVacia(carpeta.filePath(QStringLiteral("letras.MDB")));
        base.Abre(carpeta.filePath(QStringLiteral("letras.MDB")));
        QList<Item> items;
        for (qsizetype k = 0; k < letras.size(); k += 16) {
            const QString trozo = letras.mid(k, 16).join(QString());
            items.append({QStringLiteral("w%1 %2").arg(k).arg(trozo), trozo + u'x', SinCategoria,
                          QString()});
            base.AgregaItem(items.back());
        }
        Busqueda::Indice indice;
        indice.Construye(base);
        for (const Item& item : items) {
            const std::vector<Hallazgo> r = indice.Busca(item.ITEMING, 1);
            QVERIFY2(!r.empty(), qPrintable(item.ITEMING));
            QCOMPARE(r[0].ingles, item.ITEMING);
            QCOMPARE(r[0].espanol, item.ITEMESP);
            const std::vector<Hallazgo> igual = indice.Busca(item.ITEMESP, 1);
            QVERIFY2(!igual.empty() && !igual[0].cercano, qPrintable(item.ITEMESP));
            QCOMPARE(igual[0].lugar, Lugar::Espanol);
            QCOMPARE(Marcado(igual[0]), igual[0].espanol); // folded alike, whole
            QCOMPARE(Busqueda::Pliega(igual[0].espanol), Busqueda::Pliega(item.ITEMESP));
        }
    }

    void fragmentoDeNotas()
    {
        const std::vector<Hallazgo> r = indice_.Busca(QStringLiteral("fiestas"));
        QCOMPARE(r.size(), size_t(1));
        QCOMPARE(r[0].fragmento, QStringLiteral("Una canción popular. Se canta en fiestas."));
        QCOMPARE(Marcado(r[0]), QStringLiteral("fiestas"));

        // A long note is cut around the match, with marks at the cut ends.
        const Hallazgo h = indice_.Busca(QStringLiteral("vainilla")).at(0);
        QVERIFY(h.fragmento.startsWith(QChar(0x2026)));
        QVERIFY(h.fragmento.size() <= 62);
        QVERIFY(!h.fragmento.contains(QLatin1Char('\r')) && !h.fragmento.contains('\n'));
        QCOMPARE(Marcado(h), QStringLiteral("vainilla"));

        // Notes are shown as the store holds them; once the store is written past the index,
        // as the index folded them, the mark still on the word.
        const Item song = *base_.LocalizaItem(QStringLiteral("song"));
        base_.ModificaItem(song.ITEMING, {song.ITEMING, song.ITEMESP, song.NOMBRETEMA, "Otra."});
        const std::vector<Hallazgo> pasado = indice_.Busca(QStringLiteral("popular"));
        base_.ModificaItem(song.ITEMING, song);
        indice_.Actualiza(base_);
        QCOMPARE(pasado.at(0).fragmento,
                 QStringLiteral("una cancion popular. se canta en fiestas."));
        QCOMPARE(Marcado(pasado.at(0)), QStringLiteral("popular"));
    }

    void sinResultados_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::newRow("vacía") << "";
        QTest::newRow("en blanco") << " \t ";
        QTest::newRow("varias, una falta") << "tarta xyzzy";
        QTest::newRow("dos letras no son cercanas") << "ct";
    }
    void sinResultados()
    {
        QFETCH(QString, consulta);
        QVERIFY(indice_.Busca(consulta).empty());
    }

    void cualquierCaracterEsTexto_data()
    {
        QTest::addColumn<QString>("consulta");
        for (const char* c : {"\"", "'", "%", "_", "*", "\\", "😀", "a*b", "%_%"})
            QTest::newRow(c) << QString::fromUtf8(c);
        QTest::newRow("surrogado solo") << QString(QChar(0xD800));
        QTest::newRow("cero") << QString(QChar(0));
        QTest::newRow("larga") << QString(5000, QLatin1Char('a'));
    }
    void cualquierCaracterEsTexto()
    {
        QFETCH(QString, consulta);
        for (const Hallazgo& h : indice_.Busca(consulta)) {
            QVERIFY(h.inicio >= 0 && h.largo >= 0);
            QVERIFY(h.inicio + h.largo <= h.fragmento.size());
        }
    }

    void unaLetraSoloPrincipios()
    {
        const std::vector<Hallazgo> r = indice_.Busca(QStringLiteral("d"));
        QVERIFY(!r.empty());
        QCOMPARE(Nombre(r[0]), QStringLiteral("dog"));
        for (const Hallazgo& h : r)
            QVERIFY(!h.cercano);
        QCOMPARE(indice_.Busca(QStringLiteral("d"), 1).size(), size_t(1));
    }

    void alDiaHastaLaSiguienteEscritura()
    {
        Busqueda::Indice indice;
        QVERIFY(!indice.AlDia(base_));
        QVERIFY(indice.Busca(QStringLiteral("dog")).empty());
        BaseVocabulario cerrada; // nothing to read: an empty index, not a failure
        indice.Construye(cerrada);
        QVERIFY(indice.AlDia(cerrada) && !indice.AlDia(base_));
        QVERIFY(indice.Busca(QStringLiteral("dog")).empty());
        indice.Construye(base_);
        QVERIFY(indice.AlDia(base_));
        base_.AgregaItem({"horse", "caballo", "Animales", ""});
        QVERIFY(!indice.AlDia(base_));
        QVERIFY(indice.Busca(QStringLiteral("caballo")).empty());
        indice.Construye(base_);
        QVERIFY(indice.AlDia(base_));
        const std::vector<Hallazgo> r = indice.Busca(QStringLiteral("caballo"));
        QVERIFY(!r.empty());
        QCOMPARE(r[0].ingles, QStringLiteral("horse"));
        base_.EliminaItem(QStringLiteral("horse"));
    }

    // Both ways of working out how far two words are apart give what the whole table of the
    // distance gives (two letters swapped one edit), up to the limit; words of 64 letters or
    // more are never near.
    void distanciaComoLaTablaEntera()
    {
        auto Tabla = [](std::string_view a, std::string_view b, int tope) {
            if (a.size() >= 64 || b.size() >= 64)
                return tope + 1;
            std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
            for (size_t i = 0; i <= a.size(); ++i)
                for (size_t j = 0; j <= b.size(); ++j) {
                    if (i == 0 || j == 0) {
                        d[i][j] = int(i + j);
                        continue;
                    }
                    d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                        d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
                    if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
                }
            return std::min(d[a.size()][b.size()], tope + 1);
        };
        std::mt19937 azar(11);
        auto Palabra = [&](size_t largo) {
            std::string p(largo, 'a');
            for (char& c : p)
                c = "abcd"[azar() % 4];
            return p;
        };
        for (int vuelta = 0; vuelta < 20000; ++vuelta) {
            const std::string a = Palabra(1 + azar() % (vuelta % 10 == 0 ? 66 : 9));
            std::string b = a;
            for (int cambios = int(azar() % 4); cambios > 0 && !b.empty(); --cambios) {
                const size_t k = azar() % b.size();
                switch (azar() % 4) {
                case 0:
                    b[k] = "abcd"[azar() % 4];
                    break;
                case 1:
                    b.erase(k, 1);
                    break;
                case 2:
                    b.insert(k, 1, "abcd"[azar() % 4]);
                    break;
                default:
                    if (k + 1 < b.size())
                        std::swap(b[k], b[k + 1]);
                }
            }
            const int tope = 1 + vuelta % 3;
            const int esperada = Tabla(a, b, tope);
            QCOMPARE(Busqueda::DistanciaEdicion(std::string_view(a), std::string_view(b), tope),
                     esperada);
            if (Busqueda::DistanciaBytes::Cabe(a))
                QCOMPARE(Busqueda::DistanciaBytes(a).A(b, tope), esperada);
        }
    }

    // The byte search finds what std::string_view::find finds, for pieces of every length, at
    // every place across the blocks it compares at once, near the end and with look-alikes
    // (same first, second and last byte) before the real one.
    void buscaBytesComoFind()
    {
        std::mt19937 azar(7);
        for (int vuelta = 0; vuelta < 3000; ++vuelta) {
            std::string texto(azar() % 200, 'a');
            for (char& c : texto)
                c = "abc \xc3\xb1"
                    "9Z"[azar() % 7];
            const size_t largo = 1 + azar() % 40;
            std::string aguja;
            if (texto.size() >= largo && azar() % 3 != 0)
                aguja = texto.substr(azar() % (texto.size() - largo + 1), largo);
            else
                for (size_t k = 0; k < largo; ++k)
                    aguja += "abc"[azar() % 3];
            const size_t desde = texto.empty() ? 0 : azar() % texto.size();
            const std::string_view resto = std::string_view(texto).substr(desde);
            const char* hallado = Busqueda::BuscaBytes(resto.data(), resto.size(), aguja);
            const size_t esperado = resto.find(aguja);
            QCOMPARE(hallado ? size_t(hallado - resto.data()) : std::string_view::npos, esperado);
        }
    }

    // Notes held as word numbers come back byte for byte (runs of blanks, blanks first and
    // last, empty notes, more words than one unit numbers), and the notes found through the
    // marked words of a piece, over any range, are those that hold it (anywhere, or where it
    // may begin a word).
    void notasCodificadasComoSuTexto()
    {
        std::mt19937 azar(11);
        std::vector<std::string> palabras;
        for (int k = 0; k < 40000; ++k) // most met once: numbers of two units
            palabras.push_back("p" + std::to_string(k * 7919 % 100003) + "\xc3\xb1");
        for (const char* comun : {"de", "la", "casa", "ca", "e.g.", "don't"})
            palabras.push_back(comun);
        const char* const blancos[] = {" ", " ", " ", "  ", "\r\n", "\n", "\t"};
        Busqueda::NotasCodificadas codificadas;
        std::vector<std::string> notas;
        for (int k = 0; k < 30000; ++k) {
            std::string nota = azar() % 10 == 0 ? " " : "";
            for (int n = azar() % 9; n > 0; --n) {
                nota += azar() % 2 ? palabras[palabras.size() - 1 - azar() % 6]
                                   : palabras[azar() % palabras.size()];
                nota += blancos[azar() % std::size(blancos)];
            }
            if (azar() % 3 == 0 && !nota.empty())
                nota.pop_back();
            codificadas.Anade(nota);
            notas.push_back(std::move(nota));
        }
        codificadas.Termina();
        QCOMPARE(codificadas.Cuantas(), uint32_t(notas.size()));
        std::string leida;
        for (uint32_t k = 0; k < notas.size(); ++k) {
            codificadas.Lee(k, leida);
            QCOMPARE(leida, notas[k]);
        }
        // At a beginning: at the start or after a byte that is no ASCII letter or digit.
        auto AlInicio = [](std::string_view texto, std::string_view pieza) {
            for (size_t p = texto.find(pieza); p != std::string_view::npos;
                 p = texto.find(pieza, p + 1))
                if (p == 0 || !std::isalnum(static_cast<unsigned char>(texto[p - 1])))
                    return true;
            return false;
        };
        // Pieces marking many words, and pieces marking a few (which the notes are searched
        // for by their numbers): whole words with their blanks, common ones of one unit and
        // rare ones, met last, of two.
        std::vector<std::string> piezas = {"ca", "sa",  "de",   "p9",     "1\xc3\xb1", "t",     "g",
                                           "zz", "e.g", "\xb1", "casa\t", "e.g. ",     "la\r\n"};
        for (uint32_t k = uint32_t(notas.size()) - 1; piezas.size() < 25; k -= 37)
            if (const size_t p = notas[k].find('p'); p != std::string::npos)
                piezas.push_back(notas[k].substr(p, notas[k].find_first_of(" \t\r\n", p) + 1 - p));
        for (const bool alInicio : {false, true})
            for (const std::string& pieza : piezas) {
                const auto marcas =
                    codificadas.MarcaPalabras(pieza, alInicio, [&](std::string_view w, size_t) {
                        return !alInicio || AlInicio(w, pieza);
                    });
                const auto primera = uint32_t(azar() % notas.size());
                const auto hasta = primera + uint32_t(azar() % (notas.size() - primera + 1));
                std::vector<uint32_t> halladas, esperadas;
                codificadas.Recorre(marcas, primera, hasta, [&](uint32_t k) {
                    halladas.push_back(k);
                    return true;
                });
                for (uint32_t k = primera; k < hasta; ++k)
                    if (alInicio ? AlInicio(notas[k], pieza)
                                 : notas[k].find(pieza) != std::string::npos)
                        esperadas.push_back(k);
                QCOMPARE(halladas, esperadas);
                for (uint32_t k = 0; k < notas.size(); k += 97)
                    QCOMPARE(codificadas.Tiene(marcas, k),
                             alInicio ? AlInicio(notas[k], pieza)
                                      : notas[k].find(pieza) != std::string::npos);
            }
        QCOMPARE(Busqueda::NotasCodificadas::PiezaSinBlancos(" ab\tcde f "),
                 std::string_view("cde"));
    }

    // Texts written with a table learnt from a sample come back byte for byte, bytes the
    // sample never had among them, and the sample's own texts take less than half their room.
    void simbolosEscribenMenosYLeenLoMismo()
    {
        std::vector<std::string> textos;
        for (const char* lista : {Adjetivos, Sustantivos})
            for (const QString& par : QString::fromUtf8(lista).split(QStringLiteral("; ")))
                for (const QString& texto : par.split(u'='))
                    textos.push_back(texto.toStdString());
        const size_t palabras = textos.size();
        std::mt19937 azar(5);
        for (int k = 0; k < 3000; ++k)
            textos.push_back(textos[azar() % palabras] + ' ' + textos[azar() % palabras]);
        const std::vector<std::string_view> muestra(textos.begin(), textos.end());
        const Busqueda::Simbolos tabla = Busqueda::Simbolos::Aprende(muestra);

        std::string todos;
        for (int c = 0; c < 256; ++c)
            todos.push_back(static_cast<char>(c));
        std::vector<std::string> raros = {"",
                                          todos,
                                          std::string(5000, 'a'),
                                          "\xff\xff",
                                          std::string("ca\0sa", 5),
                                          "\xf0\x9d\x90\x80 \xed\xa0\x80"};
        size_t antes = 0, despues = 0;
        std::string escritos, leido;
        const Busqueda::Simbolos vacia = Busqueda::Simbolos::Aprende({});
        for (const Busqueda::Simbolos* cual : {&tabla, &vacia})
            for (const std::vector<std::string>* lista : {&textos, &raros})
                for (const std::string& texto : *lista) {
                    escritos.clear();
                    cual->Escribe(texto, escritos);
                    leido = "<";
                    cual->Lee(escritos, leido);
                    QCOMPARE(leido, "<" + texto); // appended
                    if (cual == &tabla && lista == &textos) {
                        antes += texto.size();
                        despues += escritos.size();
                    }
                }
        QVERIFY2(despues * 2 < antes,
                 qPrintable(QStringLiteral("%1 de %2").arg(despues).arg(antes)));
    }
};

QTEST_GUILESS_MAIN(PruebaBusqueda)
#include "tst_busqueda.moc"
