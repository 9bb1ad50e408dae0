// The review log in and out of a vocabulary file: a log taken into another file gives the same
// cards, bad rows are listed with their lines, and every card is what the scheduler makes of its
// whole log.
#include "apoyo/BasesPrueba.h"
#include "apoyo/EntornoPrueba.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/RegistroRepasos.h"
#include "repaso/Sesion.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace Repaso;

namespace {

constexpr qint64 Minuto = 60 * 1000;
constexpr qint64 Dia = 24 * 60 * Minuto;
// Every review lies well before the moment the tests run, and starts at midnight UTC: the
// sessions, ten hours later, are far from where Madrid's learning day turns, whatever the hour
// the tests run at.
const qint64 Inicio =
    QDateTime(QDateTime::currentDateTimeUtc().date().addDays(-90), QTime(0, 0), Qt::UTC)
        .toMSecsSinceEpoch();

struct Salida {
    int estado = -1;
    QByteArray texto;
};

Salida Herramienta(const QStringList& argumentos)
{
    QProcess proceso;
    proceso.start(QStringLiteral(TALVEX_DIR_BINARIOS "/talvex-datos"), argumentos);
    if (!proceso.waitForFinished(120000))
        return {};
    return {proceso.exitCode(), proceso.readAllStandardOutput() + proceso.readAllStandardError()};
}

QByteArray Fila(qint64 momento, int calificacion, const QString& item, const char* tipo = "ing-esp")
{
    return QStringLiteral("7,%1,%2,0,4000,%3,%4\n")
        .arg(momento)
        .arg(calificacion)
        .arg(item, QLatin1String(tipo))
        .toUtf8();
}

QByteArray Registro(const QByteArray& filas)
{
    return CabeceraRegistro.toUtf8() + '\n' + filas;
}

} // namespace

class PruebaRepasosTalvex : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void unRegistroLlevadoAOtraBaseDaLasMismasTarjetas();
    void filasRechazadas_data();
    void filasRechazadas();
    void cadaTarjetaEsSuRegistroEnteroEnOrden();
    void unaImportacionFallidaNoCambiaElArchivo();
};

// Days start at 04:00 local time: a zone other than UTC shows where they do.
void PruebaRepasosTalvex::initTestCase()
{
    qputenv("TZ", "Europe/Madrid");
    tzset();
}

// Three weeks of practice with the program's own session, in every kind, then the word first
// practised deleted (its cards go, their reviews stay, their ids are never used again): the log
// taken out and into a new file with the same items gives the same cards and the same log, fuzz
// included; the reviews without an item are listed as refused.
void PruebaRepasosTalvex::unRegistroLlevadoAOtraBaseDaLasMismasTarjetas()
{
    QTemporaryDir carpeta;
    const QString origen = carpeta.filePath("origen.mdb");
    const QString destino = carpeta.filePath("destino.mdb");
    CreaBase(origen, 40, "viaje");
    CreaBase(destino, 40, "viaje");
    {
        BaseVocabulario base;
        base.Abre(origen);
        AlmacenRepasos almacen(base);
        AjustesRepaso ajustes;
        ajustes.nuevasPorDia = 6;
        for (int dia = 0; dia < 21; ++dia) {
            Sesion sesion(almacen, ajustes,
                          {std::nullopt, {Tipo::IngEsp, Tipo::EspIng, Tipo::Dictado}});
            qint64 ahora = Inicio + dia * Dia + 10 * 60 * Minuto;
            sesion.Comienza(ahora);
            for (int n = 0; n < 500 && sesion.Siguiente(ahora); ++n) {
                const auto c = Calificacion(n % 7 == 0 ? 1 : n % 5 == 0 ? 2 : n % 9 == 0 ? 4 : 3);
                sesion.Responde(c, ahora, 1000 + n, Modo::Tarjetas);
                ahora += 3 * Minuto;
            }
        }
        base.EliminaItem(QStringLiteral("viaje palabra 0"));
    }
    {
        BaseVocabulario base;
        base.Abre(destino);
        base.EliminaItem(QStringLiteral("viaje palabra 0"));
    }
    const QString registro = carpeta.filePath("registro.csv");
    QCOMPARE(Herramienta({"repasos", "--base", origen}).estado, 2);
    QCOMPARE(Herramienta({"repasos", "exporta", registro, "--base", origen}).estado, 0);
    const Salida importa = Herramienta({"repasos", "importa", registro, "--base", destino});
    QCOMPARE(importa.estado, 0);
    const QString texto = QString::fromUtf8(LeeArchivo(registro));
    static const QRegularExpression sinItem("^[^\n]*,,(ing-esp|esp-ing|dictado)\r\n",
                                            QRegularExpression::MultilineOption);
    const qsizetype rechazadas = texto.count(sinItem);
    QVERIFY(rechazadas > 0);
    QVERIFY2(
        importa.texto.contains(QStringLiteral("Rechazadas: %1\n  línea").arg(rechazadas).toUtf8()),
        importa.texto.constData());

    const Salida tarjetas = Herramienta({"tarjetas", "--base", origen});
    QCOMPARE(tarjetas.estado, 0);
    QVERIFY(tarjetas.texto.count('\n') > 60);
    // Madrid's day starts at 04:00 local time: 03:00 or 02:00 UTC.
    static const QRegularExpression repaso(",repaso,\\d{4}-\\d\\d-\\d\\dT0[23]:00:00\\.000Z,\\d+\\."
                                           "\\d{6},\\d+\\.\\d{6},\\d+,\\d+\r\n");
    QVERIFY2(QString::fromUtf8(tarjetas.texto).contains(repaso), tarjetas.texto.constData());
    QCOMPARE(Herramienta({"tarjetas", "--base", destino}).texto, tarjetas.texto);
    QCOMPARE(QString::fromUtf8(Herramienta({"repasos", "exporta", "-", "--base", destino}).texto),
             QString(texto).remove(sinItem));
}

void PruebaRepasosTalvex::filasRechazadas_data()
{
    QTest::addColumn<QByteArray>("fila");
    QTest::addColumn<QString>("motivo");
    const QByteArray bien = "7,%1,3,0,4000,casa palabra 1,ing-esp\n";
    auto con = [&](const char* antes, const char* despues) {
        return QByteArray(bien).replace(antes, despues);
    };
    const QByteArray futuro = QByteArray::number(QDateTime::currentMSecsSinceEpoch() + Dia);
    QTest::newRow("ítem desconocido") << con("casa palabra 1", "perro") << "el ítem «perro» no";
    QTest::newRow("ítem vacío") << con("casa palabra 1", "") << "falta el ítem";
    QTest::newRow("dirección") << con("ing-esp", "ing-fra") << "la dirección «ing-fra»";
    QTest::newRow("calificación 0") << con(",3,0,", ",0,0,") << "la calificación «0»";
    QTest::newRow("calificación 5") << con(",3,0,", ",5,0,") << "la calificación «5»";
    QTest::newRow("estado") << con(",3,0,", ",3,4,") << "el estado «4»";
    QTest::newRow("hora de texto") << con("%1", "ayer") << "la hora del repaso no es";
    QTest::newRow("hora en segundos") << con("%1", "1700000000") << "anterior al año 2000";
    QTest::newRow("hora futura") << con("%1", futuro) << "posterior a este momento";
    QTest::newRow("duración negativa") << con(",4000,", ",-5,") << "la duración «-5»";
    QTest::newRow("duración decimal") << con(",4000,", ",1.5,") << "la duración «1.5»";
    QTest::newRow("card_id") << con("7,", "x7,") << "card_id no es";
    QTest::newRow("comillas") << con("casa palabra 1", "\"casa") << "comillas sin cerrar";
}

// Each bad row is refused with its line (after a quoted item that spans two lines) and why,
// and the good rows around it are still taken; an empty row as spreadsheets save it is no row.
void PruebaRepasosTalvex::filasRechazadas()
{
    QFETCH(QByteArray, fila);
    QFETCH(QString, motivo);
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath("base.mdb");
    CreaBase(ruta, 3, "casa");
    BaseVocabulario base;
    base.Abre(ruta);
    AlmacenRepasos almacen(base);
    const QByteArray datos =
        Registro(Fila(Inicio, 3, "casa palabra 0") + Fila(Inicio, 3, "\"una\nlínea más\"") +
                 QByteArray(fila).replace("%1", QByteArray::number(Inicio)) + ",,,,,,\n" +
                 Fila(Inicio + Dia, 3, "casa palabra 0"));
    const ImportacionRepasos r =
        ImportaRegistro(almacen, datos, QDateTime::currentMSecsSinceEpoch());
    QCOMPARE(r.filasLeidas, 4);
    QCOMPARE(r.agregados, 2);
    QCOMPARE(r.rechazos.size(), size_t(2));
    QCOMPARE(r.rechazos[0].linea, 3);
    QCOMPARE(r.rechazos[1].linea, 5);
    QVERIFY2(r.rechazos[1].motivo.contains(motivo), qPrintable(r.rechazos[1].motivo));
}

// Reviews given out of order and in two files, one of them twice: the card (which keeps the
// file's card_id), and every review row's figures, are what the scheduler gives answering them in
// time order; the same file again adds nothing.
void PruebaRepasosTalvex::cadaTarjetaEsSuRegistroEnteroEnOrden()
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath("base.mdb");
    CreaBase(ruta, 2, "orden");
    BaseVocabulario base;
    base.Abre(ruta);
    AlmacenRepasos almacen(base);
    const QString item = QStringLiteral("orden palabra 1");
    const std::vector<std::pair<qint64, int>> respuestas = {{Inicio, 1},
                                                            {Inicio + 2 * Minuto, 3},
                                                            {Inicio + 12 * Minuto, 3},
                                                            {Inicio + 3 * Dia, 2},
                                                            {Inicio + 9 * Dia, 1},
                                                            {Inicio + 9 * Dia + 11 * Minuto, 3},
                                                            {Inicio + 20 * Dia, 4},
                                                            {Inicio + 61 * Dia, 3}};
    QByteArray primera, segunda; // the later half first, then the rest with a repeat
    for (size_t i = 0; i < respuestas.size(); ++i)
        (i >= 4 ? primera : segunda) +=
            Fila(respuestas[i].first, respuestas[i].second, item, "dictado");
    const qint64 ahora = QDateTime::currentMSecsSinceEpoch();
    ImportacionRepasos r = ImportaRegistro(almacen, Registro(primera), ahora);
    QCOMPARE(r.agregados, 4);
    QCOMPARE(r.tarjetasNuevas, 1);
    r = ImportaRegistro(almacen, Registro(segunda + Fila(Inicio + 3 * Dia, 2, item, "dictado")),
                        ahora);
    QCOMPARE(r.agregados, 4);
    QCOMPARE(r.repetidos, 1);
    r = ImportaRegistro(almacen, Registro(primera + segunda), ahora);
    QCOMPARE(r.agregados, 0);
    QCOMPARE(r.repetidos, 8);

    const auto dictado = [&](const QString& ingles) {
        auto fila = base.ConexionAbierta().Prepara("SELECT rowid FROM ITEMS WHERE ITEMING = ?1");
        fila.Enlaza(1, ingles).Avanza();
        return almacen.LocalizaTarjeta(fila.Entero(0), Tipo::Dictado);
    };
    const auto guardada = dictado(item);
    QVERIFY(guardada);
    const Programador programador(LeeAjustesRepaso(base).ParametrosProgramador());
    Tarjeta esperada;
    esperada.id = guardada->tarjeta.id;
    std::vector<RegistroRepaso> log;
    almacen.RecorreRepasos([&](const RegistroRepaso& repaso) { log.push_back(repaso); });
    std::sort(log.begin(), log.end(),
              [](const auto& a, const auto& b) { return a.momento < b.momento; });
    QCOMPARE(log.size(), respuestas.size());
    for (size_t i = 0; i < respuestas.size(); ++i) {
        const Estado antes = esperada.estado;
        esperada =
            programador.Programa(esperada, Calificacion(respuestas[i].second), respuestas[i].first);
        QCOMPARE(log[i].estadoAntes, antes);
        QCOMPARE(log[i].diasProgramados, esperada.diasProgramados);
        QCOMPARE(log[i].memoria.estabilidad, esperada.memoria.estabilidad);
        QCOMPARE(log[i].memoria.dificultad, esperada.memoria.dificultad);
        QCOMPARE(log[i].modo, Modo::Dictado);
    }
    const Tarjeta& t = guardada->tarjeta;
    QCOMPARE(t.id, 7);
    QCOMPARE(t.estado, esperada.estado);
    QCOMPARE(t.vence, esperada.vence);
    QCOMPARE(t.memoria.estabilidad, esperada.memoria.estabilidad);
    QCOMPARE(t.memoria.dificultad, esperada.memoria.dificultad);
    QCOMPARE(t.repeticiones, 8);
    QCOMPARE(t.olvidos, esperada.olvidos);
    QCOMPARE(t.ultimoRepaso, esperada.ultimoRepaso);

    // Another word's row with the same card_id: a card of its own, with an id never used.
    r = ImportaRegistro(almacen, Registro(Fila(Inicio, 3, "orden palabra 0", "dictado")), ahora);
    QCOMPARE(r.tarjetasNuevas, 1);
    QCOMPARE(dictado(QStringLiteral("orden palabra 0")).value_or(TarjetaItem{}).tarjeta.id, 8);
    QCOMPARE(dictado(item).value_or(TarjetaItem{}).tarjeta.id, 7);
}

// A write that fails half-way (the last review row refused by the file) leaves the file as it
// was, byte for byte, and the tool says so with status 1.
void PruebaRepasosTalvex::unaImportacionFallidaNoCambiaElArchivo()
{
    QTemporaryDir carpeta;
    const QString base = carpeta.filePath("base.mdb");
    const QString csv = carpeta.filePath("registro.csv");
    CreaBase(base, 3, "falla");
    QVERIFY(EjecutaSinGuardas(base, "CREATE TRIGGER FALLA BEFORE INSERT ON REPASOS WHEN "
                                    "NEW.CALIFICACION = 4 BEGIN SELECT RAISE(ABORT, 'no'); END"));
    QFile archivo(csv);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write(Registro(Fila(Inicio, 3, "falla palabra 0") + Fila(Inicio, 3, "falla palabra 1") +
                           Fila(Inicio + Dia, 4, "falla palabra 2")));
    archivo.close();
    const QByteArray antes = LeeArchivo(base);
    const Salida salida = Herramienta({"repasos", "importa", csv, "--base", base});
    QCOMPARE(salida.estado, 1);
    QVERIFY2(salida.texto.startsWith("Error "), salida.texto.constData());
    QCOMPARE(LeeArchivo(base), antes);
}

QTEST_GUILESS_MAIN(PruebaRepasosTalvex)
#include "tst_repasostalvex.moc"
