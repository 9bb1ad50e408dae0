// Import and export in open formats: round trips, file formats, refused rows, duplicates,
// cancelling, hostile files and the talvex-datos tool.
#include "CargaVocabulario.h"
#include "apoyo/TuberiaPrueba.h"
#include "data/ApoyoDatos.h"
#include "data/BaseVocabulario.h"
#include "intercambio/Archivos.h"
#include "intercambio/Intercambio.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/file.h>
#include <sys/sysmacros.h>

using namespace Intercambio;

Q_DECLARE_METATYPE(Item)
Q_DECLARE_METATYPE(Tema)
Q_DECLARE_METATYPE(Formato)
Q_DECLARE_METATYPE(Duplicados)

namespace {

const QString Herramienta = QStringLiteral(TALVEX_DIR_BINARIOS "/talvex-datos");
const QString Vocabulario = QStringLiteral(TALVEX_DIR_FUENTES "/resources/vocabulario");

std::vector<Item> ItemsDe(const BaseVocabulario& base)
{
    std::vector<Item> items;
    base.RecorreItems([&](const Item& item) { items.push_back(item); });
    return items;
}

std::vector<Tema> TemasDe(const BaseVocabulario& base)
{
    std::vector<Tema> temas;
    base.RecorreTemas([&](const Tema& tema) { temas.push_back(tema); });
    return temas;
}

QList<Item> ItemsLeidos(const Lectura& lectura)
{
    QList<Item> items;
    for (const ItemLeido& leido : lectura.items)
        items << leido.item;
    return items;
}

// Texts that break careless quoting, line handling or SQL.
const QList<Item> TextosDificiles = {
    {"say \"hi\"", "di \"hola\"", "Comillas, comas", "una \"nota\", con coma"},
    {"tab\there", "tabulador", "Comillas, comas", "línea 1\r\nlínea 2\r\n\r\nlínea 4"},
    {"x'); DROP TABLE ITEMS;--", "inyección", SinCategoria, "'; DELETE FROM TEMAS;"},
    {"#hashtag", "etiqueta", "Emoji 😀", "empieza por #"},
    {QStringLiteral("rocket 🚀"), QStringLiteral("cohete 🚀"), "Emoji 😀", ""},
    {" spaced ", QStringLiteral("ñandú; ¿qué?"), "Emoji 😀", "\"\""},
    {"Tema", "Notas", SinCategoria, ""}, // an item that spells the topic section's header
};

// The difficult texts, their topics and a topic without items.
void AgregaTextosDificiles(BaseVocabulario& base)
{
    base.AgregaTema({"Comillas, comas", "notas \"del\" tema\r\ncon salto"});
    base.AgregaTema({QStringLiteral("Emoji 😀"), ""});
    base.AgregaTema({QStringLiteral("Sin ítems"), "solo \"notas\",\r\nen dos líneas"});
    for (const Item& item : TextosDificiles)
        base.AgregaItem(item);
}

// The error a call throws; number 0 when it throws none.
template <typename Llamada> ErrorTalvex ErrorDe(Llamada llamada)
{
    try {
        llamada();
    } catch (const ErrorTalvex& error) {
        return error;
    }
    return ErrorTalvex(0, QString());
}

// The kind of file at a path (0 when there is none), links not followed.
mode_t ClaseEn(const QString& ruta)
{
    struct stat estado;
    return ::lstat(QFile::encodeName(ruta).constData(), &estado) == 0 ? estado.st_mode & S_IFMT : 0;
}

} // namespace

class PruebaIntercambio : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    int archivos_ = 0;

    QString RutaNueva(const QString& extension)
    {
        return carpeta_.filePath(QStringLiteral("%1-%2.%3")
                                     .arg(QTest::currentTestFunction())
                                     .arg(++archivos_)
                                     .arg(extension));
    }
    QString BaseNueva(BaseVocabulario& base)
    {
        const QString ruta = RutaNueva(QStringLiteral("MDB"));
        BaseVocabulario::CreaVacia(ruta);
        base.Abre(ruta);
        return ruta;
    }
    QString EscribeArchivo(const QByteArray& datos, const QString& extension = "csv")
    {
        const QString ruta = RutaNueva(extension);
        QFile archivo(ruta);
        if (!archivo.open(QIODevice::WriteOnly) || archivo.write(datos) != datos.size())
            qFatal("no se pudo escribir %s", qPrintable(ruta));
        return ruta;
    }
    static int Ejecuta(const QStringList& argumentos, QString* salida, QString* error,
                       const QString& programa = Herramienta)
    {
        QProcess proceso;
        proceso.start(programa, argumentos);
        if (!proceso.waitForFinished(60000))
            return -1;
        *salida = QString::fromUtf8(proceso.readAllStandardOutput());
        *error = QString::fromUtf8(proceso.readAllStandardError());
        return proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    }

private slots:
    void idaYVueltaSinPerdidas_data()
    {
        QTest::addColumn<bool>("inicial");
        QTest::addColumn<Formato>("formato");
        QTest::newRow("vocabulario inicial, CSV") << true << Formato::Csv;
        QTest::newRow("vocabulario inicial, TSV") << true << Formato::Tsv;
        QTest::newRow("textos difíciles, CSV") << false << Formato::Csv;
        QTest::newRow("textos difíciles, TSV") << false << Formato::Tsv;
    }
    void idaYVueltaSinPerdidas()
    {
        QFETCH(bool, inicial);
        QFETCH(Formato, formato);
        BaseVocabulario origen, destino;
        BaseNueva(origen);
        BaseNueva(destino);
        if (inicial) {
            CargaVocabulario(origen, Vocabulario);
        } else {
            AgregaTextosDificiles(origen);
        }
        const QString archivo = RutaNueva(QStringLiteral("txt"));
        Exporta(origen, archivo, formato);
        const Lectura lectura = LeeArchivo(archivo);
        QCOMPARE(lectura.formato, formato);
        QVERIFY(lectura.rechazos.empty());
        const Plan plan = Planea(lectura, destino);
        QVERIFY(plan.existentes.empty());
        Aplica(plan, Duplicados::Omitir, destino);
        QCOMPARE(ItemsDe(destino), ItemsDe(origen));
        QCOMPARE(TemasDe(destino), TemasDe(origen));
        QCOMPARE(ExportaDatos(destino, formato), ExportaDatos(origen, formato));
        QFile leido(archivo);
        QVERIFY(leido.open(QIODevice::ReadOnly));
        QCOMPARE(leido.readAll(), ExportaDatos(origen, formato));
    }

    void leeFormatosYColumnas_data()
    {
        QTest::addColumn<QByteArray>("datos");
        QTest::addColumn<Formato>("formato");
        QTest::addColumn<QList<Item>>("items");
        QTest::addColumn<QList<Tema>>("temas");
        const Item casa{"house", "casa", SinCategoria, ""};
        QTest::newRow("CSV sin cabecera, LF")
            << QByteArray("house,casa\ndog,perro,Animales,ladra\n") << Formato::Csv
            << QList<Item>{casa, {"dog", "perro", "Animales", "ladra"}} << QList<Tema>{};
        QTest::newRow("BOM y cabecera en otro orden")
            << QByteArray(
                   "\xEF\xBB\xBFNotas\tTema\tENGLISH\tespanol\r\n\"n1\nn2\"\tCasa\thouse\tcasa\r\n")
            << Formato::Tsv << QList<Item>{{"house", "casa", "Casa", "n1\r\nn2"}} << QList<Tema>{};
        QTest::newRow("punto y coma y comillas partidas en líneas")
            << QByteArray("Ingles;Espanol\r\n\"say \"\"hi\"\"\";\"di\r\nhola\"\r\nhouse;casa")
            << Formato::Csv << QList<Item>{{"say \"hi\"", "di\r\nhola", SinCategoria, ""}, casa}
            << QList<Tema>{};
        QTest::newRow("fila que nombra una columna dos veces no es cabecera")
            << QByteArray("English,Inglés\nhouse,casa\n") << Formato::Csv
            << QList<Item>{{"English", QStringLiteral("Inglés"), SinCategoria, ""}, casa}
            << QList<Tema>{};
        QTest::newRow("Anki con mazo en la tercera columna")
            << QByteArray(
                   "#separator:tab\n#html:true\n#deck column:3\nhouse\tla <b>casa</b>\tMazo\t"
                   "a&amp;b<br>c\n")
            << Formato::Anki << QList<Item>{{"house", "la casa", "Mazo", "a&b\r\nc"}}
            << QList<Tema>{};
        QTest::newRow("sección de temas tras línea vacía")
            << QByteArray("Inglés,Español,Tema\nhouse,casa,\n\nTema,Notas\nCasa,\"n\"\n")
            << Formato::Csv << QList<Item>{casa} << QList<Tema>{{"Casa", "n"}};
        // A spreadsheet writes every row as wide as the widest, and quotes every text.
        QTest::newRow("sección de temas guardada por una hoja de cálculo")
            << QByteArray("\"Inglés\",\"Español\",\"Tema\",\"Notas\"\n\"house\",\"casa\",,\n,,,\n"
                          "\"Tema\",\"Notas\",,\n\"Casa\",\"n1\nn2\",,\n")
            << Formato::Csv << QList<Item>{casa} << QList<Tema>{{"Casa", "n1\r\nn2"}};
        QTest::newRow("una tabla con las notas del tema en cada fila")
            << QByteArray("Inglés\tEspañol\tTema\tNotas\tNotas del tema\nhouse\tcasa\tCasa\t\tnc\n"
                          "home\thogar\tCasa\t\tnc\n\t\tVacío\t\tnv\n")
            << Formato::Tsv
            << QList<Item>{{"house", "casa", "Casa", ""}, {"home", "hogar", "Casa", ""}}
            << QList<Tema>{{"Casa", "nc"}, {QStringLiteral("Vacío"), "nv"}};
    }
    void leeFormatosYColumnas()
    {
        QFETCH(QByteArray, datos);
        QFETCH(Formato, formato);
        QFETCH(QList<Item>, items);
        QFETCH(QList<Tema>, temas);
        const Lectura lectura = LeeDatos(datos);
        QCOMPARE(lectura.formato, formato);
        QVERIFY(lectura.rechazos.empty());
        QCOMPARE(ItemsLeidos(lectura), items);
        QCOMPARE(QList<Tema>(lectura.temas.begin(), lectura.temas.end()), temas);
        QCOMPARE(lectura.filasLeidas, items.size());
    }

    void rechazaFilasConSuLinea()
    {
        const QString emoji100 = QString(QStringLiteral("😀")).repeated(100);
        const QByteArray datos = "Inglés,Español,Tema,Notas\r\n"         // 1
                                 ",sin inglés\r\n"                       // 2
                                 + QString(101, 'e').toUtf8() + ",x\r\n" // 3
                                 + emoji100.toUtf8() +
                                 ",cien emoji\r\n"                           // 4: accepted
                                 "house,casa,,\"nota\r\nde dos líneas\"\r\n" // 5-6
                                 "e," +
                                 QString(101, 'x').toUtf8() +
                                 "\r\n" // 7
                                 "t,t," +
                                 QString(101, 't').toUtf8() +
                                 "\r\n"                     // 8
                                 "HOUSE,otra\r\n"           // 9: repeats row 5
                                 "\"abierta,sin cerrar\r\n" // 10
                                 "dog,perro\r\n"            // 11: read again after the broken quote
                                 "\r\nTema,Notas\r\n" +
                                 QString(51, 'n').toUtf8() + ",\r\n"; // 14
        const Lectura lectura = LeeDatos(datos);
        QCOMPARE(lectura.filasLeidas, 9);
        BaseVocabulario base;
        BaseNueva(base);
        const Plan plan = Planea(lectura, base);
        QList<QPair<int, QString>> rechazos;
        for (const Rechazo& rechazo : plan.rechazos)
            rechazos.append({rechazo.linea, rechazo.motivo});
        const QList<QPair<int, QString>> esperados = {
            {2, QStringLiteral("falta el texto en inglés")},
            {3, QStringLiteral("el texto en inglés pasa de 100 caracteres")},
            {7, QStringLiteral("el texto en español pasa de 100 caracteres")},
            {8, QStringLiteral("el tema pasa de 100 caracteres")},
            {9, QStringLiteral("repite la fila 5")},
            {10, QStringLiteral("comillas sin cerrar")},
            {14, QStringLiteral("el nombre del tema pasa de 50 caracteres")},
        };
        QCOMPARE(rechazos, esperados);
        QStringList nuevos;
        for (const Item& item : plan.nuevos)
            nuevos << item.ITEMING;
        QCOMPARE(nuevos, QStringList({emoji100, "house", "dog"}));
    }

    void duplicados_data()
    {
        QTest::addColumn<Duplicados>("duplicados");
        QTest::addColumn<Item>("house");
        QTest::addColumn<QStringList>("temas");
        QTest::newRow("omitir") << Duplicados::Omitir << Item{"House", "casa", "Casa", "guardada"}
                                << QStringList{"Casa", "Nuevo"};
        QTest::newRow("reemplazar")
            << Duplicados::Reemplazar << Item{"House", "hogar", "Casa", "l1\r\nl2"}
            << QStringList{"Casa", "Nuevo", "Solo"};
    }
    void duplicados()
    {
        QFETCH(Duplicados, duplicados);
        QFETCH(Item, house);
        QFETCH(QStringList, temas);
        BaseVocabulario base;
        BaseNueva(base);
        base.AgregaTema({"Casa", ""});
        base.AgregaItem({"House", "casa", "Casa", "guardada"});
        base.AgregaItem({"cat", "gato", "Solo", ""});
        // "casa" is the stored topic in another case; "Solo" only existing rows name.
        const Lectura lectura = LeeDatos("house,hogar,casa,\"l1\nl2\"\nnew,nuevo,Nuevo\n"
                                         "CAT,gata,Solo\n");
        const Plan plan = Planea(lectura, base);
        QCOMPARE(plan.nuevos.size(), size_t(1));
        QCOMPARE(plan.existentes.size(), size_t(2));
        const Resultado resultado = Aplica(plan, duplicados, base);
        QCOMPARE(*base.LocalizaItem("house"), house);
        QCOMPARE(base.LocalizaItem("new")->NOMBRETEMA, QStringLiteral("Nuevo"));
        QCOMPARE(TemasEnOrden(base), temas);
        QCOMPARE(resultado.agregados.size(), size_t(1));
        QCOMPARE(resultado.reemplazados.size(), duplicados == Duplicados::Reemplazar ? 2u : 0u);
    }

    void cancelarNoEscribeNada()
    {
        BaseVocabulario base;
        const QString ruta = BaseNueva(base);
        CargaVocabulario(base, Vocabulario);
        const QByteArray huella = HuellaArchivo(ruta);
        QByteArray nuevas;
        for (int i = 0; i < 2000; ++i)
            nuevas += "word" + QByteArray::number(i) + ",palabra,Tema nuevo\n";
        const QString archivo = EscribeArchivo(nuevas);
        int llamadas = 0;
        const Progreso cancelaAlSegundo = [&](qint64, qint64) { return ++llamadas < 2; };
        QVERIFY_ERROR_TALVEX(Aplica(Planea(LeeArchivo(archivo), base), Duplicados::Reemplazar, base,
                                    cancelaAlSegundo),
                             Cancelado);
        QCOMPARE(HuellaArchivo(ruta), huella);
        QVERIFY(!base.LocalizaItem("word0"));
        QVERIFY(!base.LocalizaTema("Tema nuevo"));
        const Progreso cancela = [](qint64, qint64) { return false; };
        QVERIFY_ERROR_TALVEX(LeeArchivo(archivo, Codificacion::Automatica, cancela), Cancelado);
        // A cancelled export leaves the file it would replace as it was.
        QVERIFY_ERROR_TALVEX(Exporta(base, archivo, Formato::Csv, std::nullopt, cancela),
                             Cancelado);
        QCOMPARE(HuellaArchivo(archivo),
                 QCryptographicHash::hash(nuevas, QCryptographicHash::Sha256).toHex());
        QCOMPARE(QDir(carpeta_.path()).entryList(QDir::Hidden | QDir::Files).filter(".talvex-"),
                 QStringList());
    }

    void archivosMalosSeRechazan_data()
    {
        QTest::addColumn<QByteArray>("datos");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("binario") << QByteArray("house,casa\n\0\x01\x02", 14) << ArchivoNoValido
                                 << "no es un archivo de texto";
        QTest::newRow("no UTF-8") << QByteArray("song,canci\xF3n\n") << CodificacionDudosa
                                  << "Windows-1252";
        QTest::newRow("KVTML sin español")
            << QByteArray("<?xml version=\"1.0\"?><kvtml version=\"2.0\"><identifiers>"
                          "<identifier id=\"0\"><locale>en</locale></identifier>"
                          "<identifier id=\"1\"><locale>fr</locale></identifier></identifiers>"
                          "</kvtml>")
            << ArchivoNoValido << "en español";
        QTest::newRow("entidades que se multiplican")
            << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE kvtml [\n"
                          "<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
                          "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                          "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
                          "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n"
                          "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n"
                          "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">\n"
                          "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">\n"
                          "]>\n<kvtml version=\"2.0\"><entries><entry id=\"0\"><translation "
                          "id=\"0\"><text>&g;&g;&g;&g;</text></translation></entry></entries>"
                          "</kvtml>")
            << ArchivoNoValido << "entidades";
        QTest::newRow("entidad externa")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE kvtml [<!ENTITY x SYSTEM "
                          "\"file:///etc/passwd\">]><kvtml version=\"2.0\">&x;</kvtml>")
            << ArchivoNoValido << "entidades";
        QTest::newRow("entidad desconocida en el nombre de una lección")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE kvtml SYSTEM \"kvtml2.dtd\">\n"
                          "<kvtml version=\"2.0\"><lessons><container><name>&x;</name>"
                          "</container></lessons></kvtml>")
            << ArchivoNoValido
            << "usa «&x;» en la línea 2 del archivo, una entidad que no se conoce";
        // The XML reader's own English never reaches the message.
        QTest::newRow("XML cortado")
            << QByteArray("<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\"><entries>")
            << ArchivoNoValido
            << "XML válido (línea 2, columna 30): el documento se acaba antes de cerrar";
        QTest::newRow("XML con un carácter de control")
            << QByteArray("<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\">a\x01</kvtml>")
            << ArchivoNoValido << "(línea 2, columna 23): contiene un carácter que XML no admite";
        QTest::newRow("XML con bytes que no son UTF-8")
            << QByteArray("<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\">\xFF</kvtml>")
            << ArchivoNoValido << "contiene un carácter que XML no admite";
        QTest::newRow("XML mal formado")
            << QByteArray("<kvtml version=\"2.0\"></kvtm>") << ArchivoNoValido
            << "XML válido (línea 1, columna 28): no está bien formado";
        QTest::newRow("XML que no es KVTML")
            << QByteArray("<?xml version=\"1.0\"?><html/>") << ArchivoNoValido << "KVTML";
    }
    void archivosMalosSeRechazan()
    {
        QFETCH(QByteArray, datos);
        QFETCH(int, numero);
        QFETCH(QString, mensaje);
        BaseVocabulario base;
        const QString ruta = BaseNueva(base);
        base.Cierra();
        const QByteArray huella = HuellaArchivo(ruta);
        const QString archivo = EscribeArchivo(datos);
        QElapsedTimer reloj;
        reloj.start();
        try {
            LeeArchivo(archivo);
            QFAIL("se esperaba ErrorTalvex");
        } catch (const ErrorTalvex& error) {
            QCOMPARE(error.Numero(), numero);
            QVERIFY2(error.Descripcion().contains(mensaje), qPrintable(error.Descripcion()));
        }
        QVERIFY(reloj.elapsed() < 1000);
        // The tool says why in Spanish and leaves the database as it was.
        QString salida, error;
        QCOMPARE(Ejecuta({"importa", archivo, "--base", ruta}, &salida, &error), 1);
        QVERIFY2(error.contains(mensaje), qPrintable(error));
        QCOMPARE(HuellaArchivo(ruta), huella);
    }

    void archivoDemasiadoGrande()
    {
        const QString archivo = EscribeArchivo("house,casa\n");
        QFile grande(archivo);
        QVERIFY(grande.resize(TamanoMaximo + 1)); // sparse: no disk space taken
        QVERIFY_ERROR_TALVEX(LeeArchivo(archivo), ArchivoDemasiadoGrande);
        try {
            LeeArchivo(archivo);
        } catch (const ErrorTalvex& error) {
            QVERIFY(error.Descripcion().contains(QStringLiteral("64 MB")));
        }
    }

    void windows1252()
    {
        const QByteArray datos("song,canci\xF3n,,\x93"
                               "cita\x94 \x80\n");
        QVERIFY_ERROR_TALVEX(LeeDatos(datos), CodificacionDudosa);
        const Lectura lectura = LeeDatos(datos, Codificacion::Windows1252);
        QCOMPARE(ItemsLeidos(lectura), QList<Item>({{"song", QStringLiteral("canción"),
                                                     SinCategoria, QStringLiteral("“cita” €")}}));
    }

    void kvtmlConDosLecciones_data()
    {
        QTest::addColumn<QByteArray>("identificadores");
        QTest::newRow("por locale") << QByteArray(
            "<identifier id=\"0\"><name>Deutsch</name><locale>de</locale></identifier>"
            "<identifier id=\"1\"><name>Inglés</name><locale>en_US</locale></identifier>"
            "<identifier id=\"2\"><name>x</name><locale>es-ES</locale></identifier>");
        QTest::newRow("por nombre")
            << QByteArray("<identifier id=\"0\"><name>German</name></identifier>"
                          "<identifier id=\"1\"><name>English</name></identifier>"
                          "<identifier id=\"2\"><name>Español</name></identifier>");
    }
    void kvtmlConDosLecciones()
    {
        QFETCH(QByteArray, identificadores);
        const QByteArray datos =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" "
            "\"http://localhost/kvtml2.dtd\">\n<kvtml version=\"2.0\">\n"
            "<identifiers>" +
            identificadores +
            "</identifiers>\n<entries>\n"
            "<entry id=\"0\"><translation id=\"1\"><text>house</text><comment>noun</comment>"
            "</translation><translation id=\"2\"><text>casa</text><comment>femenino</comment>"
            "</translation><translation id=\"0\"><text>Haus</text></translation></entry>\n"
            "<entry id=\"1\"><translation id=\"1\"><text>to run</text></translation>"
            "<translation id=\"2\"><text>correr</text></translation></entry>\n"
            "<entry id=\"2\"><translation id=\"2\"><text>sin inglés</text></translation></entry>\n"
            "<entry id=\"3\"><translation id=\"1\"><text>rock &amp; roll</text></translation>"
            "</entry>\n</entries>\n<lessons><container><name>Casa</name><entry id=\"0\"/>"
            "<container><name>Verbos</name><entry id=\"1\"/></container><entry id=\"1\"/>"
            "</container></lessons>\n<wordtypes><container><name>Sustantivo</name>"
            "<entry id=\"3\"/></container></wordtypes></kvtml>\n";
        const Lectura lectura = LeeDatos(datos);
        QCOMPARE(lectura.formato, Formato::Kvtml);
        QCOMPARE(ItemsLeidos(lectura), QList<Item>({{"house", "casa", "Casa", "noun\r\nfemenino"},
                                                    {"to run", "correr", "Verbos", ""},
                                                    {"rock & roll", "", SinCategoria, ""}}));
        QCOMPARE(lectura.temas, (std::vector<Tema>{{"Casa", ""}, {"Verbos", ""}}));
        QCOMPARE(lectura.rechazos.size(), size_t(1));
        QCOMPARE(lectura.rechazos[0].linea, 2);
    }

    void exportaAnkiYUnTema()
    {
        BaseVocabulario base;
        BaseNueva(base);
        base.AgregaTema({"Casa", "notas"});
        base.AgregaTema({"casa2", ""});
        base.AgregaItem({"#tag", "etiqueta", "Casa", "a\r\nb"});
        base.AgregaItem({"zoo", "zoo", SinCategoria, ""});
        base.AgregaItem({"other", "otro", "casa2", ""});
        const QList<QByteArray> lineas = ExportaDatos(base, Formato::Anki).split('\n');
        QCOMPARE(lineas.mid(0, 4), QList<QByteArray>({"#separator:tab\r", "#html:false\r",
                                                      "#columns:Inglés\tEspañol\tTema\tNotas\r",
                                                      "#deck column:3\r"}));
        // Only the headers start with '#'; every row has four fields with the deck third.
        QCOMPARE(lineas.mid(4),
                 QList<QByteArray>({"\"#tag\"\tetiqueta\tCasa\t\"a\r", "b\"\r",
                                    "other\totro\tcasa2\t\r", "zoo\tzoo\tSin categoría\t\r", ""}));
        QCOMPARE(ItemsLeidos(LeeDatos(ExportaDatos(base, Formato::Anki))),
                 QList<Item>({{"#tag", "etiqueta", "Casa", "a\r\nb"},
                              {"other", "otro", "casa2", ""},
                              {"zoo", "zoo", SinCategoria, ""}}));
        QCOMPARE(ExportaDatos(base, Formato::Csv, QStringLiteral("Casa")),
                 QByteArray("Inglés,Español,Tema,Notas,Notas del tema\r\n"
                            "#tag,etiqueta,Casa,\"a\r\nb\",notas\r\n"));
        QVERIFY_ERROR_TALVEX(Exporta(base, carpeta_.filePath("no/existe.csv"), Formato::Csv),
                             NumeroError::RutaNoEncontrada);
    }

    void herramientaExportaEImporta()
    {
        BaseVocabulario origen, destino;
        const QString rutaOrigen = BaseNueva(origen);
        const QString rutaDestino = BaseNueva(destino);
        CargaVocabulario(origen, Vocabulario);
        destino.AgregaItem({"Hello", "Buenas", SinCategoria, ""});
        origen.Cierra();
        destino.Cierra();
        const QString archivo = RutaNueva(QStringLiteral("tsv"));
        QString salida, error;
        QCOMPARE(Ejecuta({"exporta", archivo, "--base", rutaOrigen, "--formato", "tsv"}, &salida,
                         &error),
                 0);
        QCOMPARE(Ejecuta({"importa", archivo, "--base", rutaDestino, "--duplicados", "reemplazar"},
                         &salida, &error),
                 0);
        QVERIFY2(
            salida.contains(QStringLiteral("Filas leídas: 587\nNuevas: 586\n"
                                           "Existentes: 1 (reemplazadas)\nTemas nuevos: 21\n")),
            qPrintable(salida));
        destino.Abre(rutaDestino);
        QCOMPARE(destino.LocalizaItem("hello")->ITEMESP, QStringLiteral("Hola"));
        QCOMPARE(Ejecuta({"importa", archivo, "--base", rutaDestino, "--duplicados", "quizá"},
                         &salida, &error),
                 2);
        QVERIFY(error.contains(QStringLiteral("desconocido")));
    }

    // A spreadsheet or a CSV library reads the export as one table and writes it back into
    // the folder it is given; what it writes imports into what was exported. Python's csv
    // module must read every row as an item with its five columns; LibreOffice Calc, in
    // headless mode, saves as it does (every text quoted, LF). Skipped where not installed.
    void idaYVueltaPorOtrosProgramas_data()
    {
        QTest::addColumn<QString>("programa");
        QTest::addColumn<Formato>("formato");
        QTest::addColumn<QStringList>("argumentos"); // %1 the export, %2 the folder, %3 a profile
        const QString python = QStringLiteral(R"(
import csv, os, sys
entrada, carpeta, separador = sys.argv[1:]
with open(entrada, newline='', encoding='utf-8') as archivo:
    lector = csv.DictReader(archivo, delimiter=separador)
    filas = list(lector)
assert lector.fieldnames == ['Inglés', 'Español', 'Tema', 'Notas', 'Notas del tema'], lector.fieldnames
for fila in filas:
    assert len(fila) == 5 and None not in fila and None not in fila.values(), fila
with open(os.path.join(carpeta, os.path.basename(entrada)), 'w', newline='', encoding='utf-8') as archivo:
    escritor = csv.writer(archivo, delimiter=separador)
    escritor.writerow(lector.fieldnames)
    escritor.writerows([fila[campo] for campo in lector.fieldnames] for fila in filas)
)");
        QTest::newRow("csv de Python, CSV")
            << "python3" << Formato::Csv << QStringList{"-c", python, "%1", "%2", ","};
        QTest::newRow("csv de Python, TSV")
            << "python3" << Formato::Tsv << QStringList{"-c", python, "%1", "%2", "\t"};
        QTest::newRow("LibreOffice Calc")
            << "soffice" << Formato::Csv
            << QStringList{"-env:UserInstallation=%3",
                           "--headless",
                           "--infilter=CSV:44,34,76,1",
                           "--convert-to",
                           "csv:Text - txt - csv (StarCalc):44,34,76,1",
                           "--outdir",
                           "%2",
                           "%1"};
    }
    void idaYVueltaPorOtrosProgramas()
    {
        QFETCH(QString, programa);
        QFETCH(Formato, formato);
        QFETCH(QStringList, argumentos);
        const QString ejecutable = QStandardPaths::findExecutable(programa);
        if (ejecutable.isEmpty())
            QSKIP(qPrintable(programa + " no está instalado"));
        BaseVocabulario origen, destino;
        BaseNueva(origen);
        BaseNueva(destino);
        CargaVocabulario(origen, Vocabulario);
        AgregaTextosDificiles(origen);
        const QString exportado = RutaNueva(QStringLiteral("csv")); // Calc keeps only .csv
        Exporta(origen, exportado, formato);
        QTemporaryDir salida, perfil;
        for (QString& argumento : argumentos)
            argumento.replace("%1", exportado)
                .replace("%2", salida.path())
                .replace("%3", QUrl::fromLocalFile(perfil.path()).toString());
        QString texto, error;
        QCOMPARE(Ejecuta(argumentos, &texto, &error, ejecutable), 0);
        const QString reescrito = salida.filePath(QFileInfo(exportado).fileName());
        QVERIFY2(QFile::exists(reescrito), qPrintable(error));
        const Lectura lectura = LeeArchivo(reescrito);
        QVERIFY(lectura.rechazos.empty());
        Aplica(Planea(lectura, destino), Duplicados::Omitir, destino);
        QCOMPARE(ItemsDe(destino), ItemsDe(origen));
        QCOMPARE(TemasDe(destino), TemasDe(origen));
    }

    void entidadesDeKvtml_data()
    {
        QTest::addColumn<QByteArray>("doctype");
        QTest::addColumn<QByteArray>("texto");
        QTest::addColumn<QString>("leido");
        QTest::addColumn<QString>("rechazo");
        const QByteArray dtd = "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" "
                               "\"http://edu.kde.org/kvtml/kvtml2.dtd\">";
        QTest::newRow("las cinco de XML")
            << dtd << QByteArray("&amp;&lt;&gt;&apos;&quot;") << "&<>'\"" << QString();
        QTest::newRow("numéricas") << QByteArray() << QByteArray("sart&#233;n &#xF1;&#x1F600;")
                                   << QStringLiteral("sartén ñ😀") << QString();
        QTest::newRow("de HTML") << dtd << QByteArray("sart&eacute;n man&rsquo;s&nbsp;x")
                                 << QStringLiteral("sartén man’s\u00A0x") << QString();
        QTest::newRow("de HTML sin DOCTYPE") << QByteArray() << QByteArray("&Ntilde;and&uacute;")
                                             << QStringLiteral("Ñandú") << QString();
        QTest::newRow("desconocida")
            << dtd << QByteArray("sart&foo;n") << QString()
            << "usa «&foo;» en la línea 4 del archivo, una entidad que no se conoce";
    }
    void entidadesDeKvtml()
    {
        QFETCH(QByteArray, doctype);
        QFETCH(QByteArray, texto);
        QFETCH(QString, leido);
        QFETCH(QString, rechazo);
        const QByteArray datos =
            "<?xml version=\"1.0\"?>\n" + doctype +
            "\n<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><locale>en</locale>"
            "</identifier><identifier id=\"1\"><locale>es</locale></identifier></identifiers>\n"
            "<entries><entry id=\"7\"><translation id=\"0\"><text>" +
            texto +
            "</text></translation><translation id=\"1\"><text>x</text></translation></entry>"
            "<entry id=\"8\"><translation id=\"0\"><text>dog</text></translation></entry>"
            "</entries></kvtml>";
        const Lectura lectura = LeeDatos(datos);
        QCOMPARE(lectura.filasLeidas, 2);
        QCOMPARE(lectura.items.back().item.ITEMING, QStringLiteral("dog"));
        if (rechazo.isEmpty()) {
            QVERIFY(lectura.rechazos.empty());
            QCOMPARE(lectura.items.front().item.ITEMING, leido);
        } else {
            QCOMPARE(lectura.items.size(), size_t(1));
            QCOMPARE(lectura.rechazos.size(), size_t(1));
            QCOMPARE(lectura.rechazos[0].linea, 7);
            QCOMPARE(lectura.rechazos[0].motivo, rechazo);
        }
    }

    // Only regular files are imported; anything else is refused at once, in Spanish, in
    // process and by the tool.
    void importaSoloArchivos_data()
    {
        QTest::addColumn<QString>("clase");
        QTest::addColumn<QString>("causa");
        QTest::newRow("carpeta") << "carpeta"
                                 << "es una carpeta, no un archivo";
        QTest::newRow("tubería") << "tubería"
                                 << "es una tubería con nombre (FIFO), no un archivo";
        QTest::newRow("dispositivo") << "dispositivo"
                                     << "es un dispositivo, no un archivo";
        QTest::newRow("enlaces en bucle") << "bucle"
                                          << "hay demasiados enlaces simbólicos encadenados";
        QTest::newRow("no existe") << "nada"
                                   << "No se puede abrir el archivo «%1»: no existe.";
    }
    void importaSoloArchivos()
    {
        QFETCH(QString, clase);
        QFETCH(QString, causa);
        const QString ruta = RutaNueva(QStringLiteral("csv"));
        std::optional<TuberiaPrueba> tuberia;
        if (clase == QLatin1String("carpeta")) {
            QVERIFY(QDir().mkdir(ruta));
        } else if (clase == QStringLiteral("tubería")) {
            tuberia.emplace(ruta);
            QVERIFY(tuberia->Creada());
        } else if (clase == QLatin1String("bucle")) {
            QVERIFY(QFile::link(ruta, ruta + ".otro") && QFile::link(ruta + ".otro", ruta));
        }
        const QString archivo = clase == QLatin1String("dispositivo") ? "/dev/null" : ruta;
        causa = causa.contains(QLatin1String("%1")) ? causa.arg(archivo) : causa;
        const ErrorTalvex error = ErrorDe([&] { LeeArchivo(archivo); });
        QVERIFY2(error.Descripcion().contains(causa), qPrintable(error.Descripcion()));
        BaseVocabulario base;
        const QString rutaBase = BaseNueva(base);
        base.Cierra();
        QString salida, errorHerramienta;
        QCOMPARE(Ejecuta({"importa", archivo, "--base", rutaBase}, &salida, &errorHerramienta), 1);
        QVERIFY2(errorHerramienta.contains(causa), qPrintable(errorHerramienta));
    }

    // An export replaces a regular file or writes a new name; anything else keeps its name and
    // what it is.
    void exportaSoloAArchivos_data()
    {
        QTest::addColumn<QString>("clase");
        QTest::addColumn<QString>("causa");
        QTest::newRow("carpeta") << "carpeta"
                                 << "es una carpeta";
        QTest::newRow("tubería") << "tubería"
                                 << "es una tubería con nombre (FIFO)";
        QTest::newRow("dispositivo") << "dispositivo"
                                     << "es un dispositivo";
        QTest::newRow("enlace roto") << "enlace roto"
                                     << "es un enlace simbólico a un archivo que no existe";
    }
    void exportaSoloAArchivos()
    {
        QFETCH(QString, clase);
        QFETCH(QString, causa);
        const QString ruta = RutaNueva(QStringLiteral("csv"));
        const QByteArray nativa = QFile::encodeName(ruta);
        if (clase == QLatin1String("carpeta")) {
            QVERIFY(QDir().mkdir(ruta));
        } else if (clase == QStringLiteral("tubería")) {
            QCOMPARE(::mkfifo(nativa.constData(), 0600), 0);
        } else if (clase == QLatin1String("dispositivo")) {
            // The null device's own node, made here: an export that replaced it harms nothing.
            if (::mknod(nativa.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
                if (::geteuid() == 0)
                    QSKIP("no se puede crear un nodo de dispositivo aquí");
                QVERIFY(QFile::link(QStringLiteral("/dev/null"), ruta));
            }
        } else {
            QVERIFY(QFile::link(ruta + ".no-existe", ruta));
        }
        const mode_t antes = ClaseEn(ruta);
        BaseVocabulario base;
        const QString rutaBase = BaseNueva(base);
        base.AgregaItem({"house", "casa", SinCategoria, ""});
        const ErrorTalvex error = ErrorDe([&] { Exporta(base, ruta, Formato::Csv); });
        QVERIFY2(error.Descripcion().contains(causa), qPrintable(error.Descripcion()));
        base.Cierra();
        QString salida, errorHerramienta;
        QCOMPARE(Ejecuta({"exporta", ruta, "--base", rutaBase}, &salida, &errorHerramienta), 1);
        QVERIFY2(errorHerramienta.contains(causa), qPrintable(errorHerramienta));
        QCOMPARE(ClaseEn(ruta), antes);
        QCOMPARE(QDir(carpeta_.path())
                     .entryList(QDir::Hidden | QDir::Files)
                     .filter(MarcaTemporalExportacion),
                 QStringList());
    }

    // A file cut short or grown while it is read is refused whole.
    void archivoQueCambiaAlLeerlo_data()
    {
        QTest::addColumn<qint64>("cambio");
        QTest::newRow("acortado") << qint64(-1024 * 1024);
        QTest::newRow("alargado") << qint64(100);
    }
    void archivoQueCambiaAlLeerlo()
    {
        QFETCH(qint64, cambio);
        QByteArray filas;
        for (int i = 0; i < 100000; ++i)
            filas += "word" + QByteArray::number(i) + ",palabra,Tema\n";
        const QString archivo = EscribeArchivo(filas);
        bool cambiado = false;
        const Progreso cambia = [&](qint64, qint64) {
            if (!cambiado)
                cambiado = QFile::resize(archivo, filas.size() + cambio);
            return true;
        };
        const ErrorTalvex error = ErrorDe([&] { LeeArchivo(archivo, {}, cambia); });
        QVERIFY(cambiado);
        QCOMPARE(error.Numero(), ArchivoCambiado);
        QVERIFY(error.Descripcion().contains(QStringLiteral("cambió mientras se leía")));
    }

    // What an export killed before its rename left is removed by the next export to that
    // folder; a temporary still being written (locked) is not.
    void exportacionesInterrumpidasSeLimpian()
    {
        const QString carpeta = carpeta_.filePath(QStringLiteral("interrumpidas"));
        QVERIFY(QDir().mkdir(carpeta));
        const QString abandonado = carpeta + "/.a.csv" + MarcaTemporalExportacion + "x1";
        const QString enCurso = carpeta + "/.b.csv" + MarcaTemporalExportacion + "x2";
        QFile a(abandonado), b(enCurso);
        QVERIFY(a.open(QIODevice::WriteOnly) && b.open(QIODevice::WriteOnly));
        a.close();
        QCOMPARE(::flock(b.handle(), LOCK_EX | LOCK_NB), 0);
        BaseVocabulario base;
        BaseNueva(base);
        Exporta(base, carpeta + "/c.csv", Formato::Csv);
        QVERIFY(!QFile::exists(abandonado));
        QVERIFY(QFile::exists(enCurso));
    }

    // Exporting a topic the store does not have writes nothing and says so; the items of a
    // list are written in its order with their topics' notes.
    void exportaTemaDesconocidoEItemsDados()
    {
        BaseVocabulario base;
        const QString rutaBase = BaseNueva(base);
        base.AgregaTema({"Casa", "nc"});
        base.AgregaTema({QStringLiteral("Vacío"), "nv"});
        base.AgregaItem({"house", "casa", "Casa", ""});
        base.AgregaItem({"dog", "perro", SinCategoria, "ladra"});
        const QString archivo = RutaNueva(QStringLiteral("csv"));
        QCOMPARE(ErrorDe([&] { Exporta(base, archivo, Formato::Csv, "No existe"); }).Numero(),
                 TemaDesconocido);
        QCOMPARE(ErrorDe([&] {
                     ExportaItems(base, {"dog", "nope"}, archivo, Formato::Csv);
                 }).Numero(),
                 ItemDesconocido);
        QVERIFY(!QFile::exists(archivo));
        ExportaItems(base, {"dog", "HOUSE"}, archivo, Formato::Csv);
        QFile escrito(archivo);
        QVERIFY(escrito.open(QIODevice::ReadOnly));
        QCOMPARE(escrito.readAll(), QByteArray("Inglés,Español,Tema,Notas,Notas del tema\r\n"
                                               "dog,perro,Sin categoría,ladra,\r\n"
                                               "house,casa,Casa,,nc\r\n"));
        base.Cierra();
        const QString otro = RutaNueva(QStringLiteral("csv"));
        QString salida, error;
        QCOMPARE(
            Ejecuta({"exporta", otro, "--base", rutaBase, "--tema", "No existe"}, &salida, &error),
            1);
        QVERIFY2(error.contains(QStringLiteral("No hay ningún tema «No existe»")),
                 qPrintable(error));
        QVERIFY(!QFile::exists(otro));
        QCOMPARE(
            Ejecuta({"exporta", "-", "--base", rutaBase, "--tema", "No existe"}, &salida, &error),
            1);
        QVERIFY(salida.isEmpty());
    }
};

QTEST_GUILESS_MAIN(PruebaIntercambio)
#include "tst_intercambio.moc"
