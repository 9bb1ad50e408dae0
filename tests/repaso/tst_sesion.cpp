// Practice's store and session on a real vocabulary file: what each answer leaves in the file,
// the order of a day's cards, undo, the next day, and what editing the vocabulary does to cards.
#include "apoyo/BasesPrueba.h"
#include "repaso/Sesion.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Repaso;

namespace {

const qint64 Lunes =
    QDateTime(QDate(2026, 3, 2), QTime(10, 0), QTimeZone::utc()).toMSecsSinceEpoch();
constexpr qint64 Minuto = 60 * 1000;
constexpr qint64 Dia = 24 * 60 * Minuto;

qint64 CuentaFilas(BaseVocabulario& base, const char* sql)
{
    auto fila = base.ConexionAbierta().Prepara(sql);
    return fila.Avanza() ? fila.Entero(0) : -1;
}

} // namespace

class PruebaSesion : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    BaseVocabulario base_;

    Sesion Nueva(Eleccion eleccion = {}, AjustesRepaso ajustes = {})
    {
        return Sesion(almacen_, ajustes, std::move(eleccion), QTimeZone::utc());
    }
    AlmacenRepasos almacen_{base_};

    // Answers every card the session gives at `ahora` with `c` (learning steps skipped by
    // moving the clock to each card's due time), returning the words shown.
    QStringList ContestaTodo(Sesion& sesion, qint64& ahora, Calificacion c)
    {
        QStringList vistas;
        while (const auto t = sesion.Siguiente(ahora)) {
            ahora = std::max(ahora, t->tarjeta.vence);
            vistas << t->ingles + QLatin1Char('/') + NombreTipo(t->tipo);
            sesion.Responde(c, ahora, 1500, Modo::Tarjetas);
        }
        return vistas;
    }

private slots:
    void init()
    {
        const QString ruta = carpeta_.filePath(QStringLiteral("v.MDB"));
        QFile::remove(ruta);
        CreaBase(ruta, 30, QStringLiteral("tema"));
        base_.Abre(ruta);
        base_.AgregaTema({QStringLiteral("otro"), {}});
        for (int i = 0; i < 5; ++i)
            base_.AgregaItem({QStringLiteral("otra %1").arg(i),
                              QStringLiteral("x"),
                              QStringLiteral("otro"),
                              {}});
    }
    void cleanup() { base_.Cierra(); }

    void unaRespuestaEsTarjetaYRepasoJuntos()
    {
        Sesion sesion = Nueva({std::nullopt, {Tipo::IngEsp}});
        sesion.Comienza(Lunes);
        const auto t = sesion.Siguiente(Lunes);
        QVERIFY(t && !t->guardada);
        QCOMPARE(t->ingles, QStringLiteral("tema palabra 0")); // oldest first
        sesion.Responde(Calificacion::Bien, Lunes, 2300, Modo::Escrito);
        const auto guardada = almacen_.LocalizaTarjeta(t->item, Tipo::IngEsp);
        QVERIFY(guardada);
        QCOMPARE(guardada->tarjeta.id, t->tarjeta.id);
        QCOMPARE(guardada->tarjeta.estado, Estado::Aprendiendo);
        QCOMPARE(guardada->tarjeta.vence, Lunes + 10 * Minuto);
        QCOMPARE(guardada->tarjeta.memoria.estabilidad, 2.3065);
        QList<RegistroRepaso> log;
        almacen_.RecorreRepasos([&](const RegistroRepaso& r) { log << r; });
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].tarjeta, t->tarjeta.id);
        QCOMPARE(log[0].momento, Lunes);
        QCOMPARE(log[0].estadoAntes, Estado::Nueva);
        QCOMPARE(log[0].duracion, 2300);
        QCOMPARE(log[0].modo, Modo::Escrito);
    }

    void elDiaRespetaLimitesYHermanas()
    {
        AjustesRepaso ajustes;
        ajustes.nuevasPorDia = 4;
        Sesion sesion = Nueva({}, ajustes);
        QCOMPARE(sesion.Cuenta(Lunes).nuevas, 4);
        sesion.Comienza(Lunes);
        qint64 ahora = Lunes;
        const QStringList vistas = ContestaTodo(sesion, ahora, Calificacion::Bien);
        // Four new words, each once with one kind (its other kind waits for another day);
        // each came back for its second learning step.
        QCOMPARE(vistas.size(), 8);
        QCOMPARE(QSet<QString>(vistas.begin(), vistas.end()).size(), 4);
        QCOMPARE(vistas.filter("esp-ing").size(), 4);
        const Recuento despues = Nueva({}, ajustes).Cuenta(ahora);
        QCOMPARE(despues.nuevas, 0); // the day's limit is used
        QCOMPARE(despues.aprendiendo, 0);

        // A topic of fewer words than the limit: each counted once, though both kinds are new.
        QCOMPARE(Nueva({QStringLiteral("otro")}, ajustes).Cuenta(Lunes).nuevas, 0);
        QCOMPARE(Nueva({QStringLiteral("otro")}, {}).Cuenta(Lunes + Dia).nuevas, 5);
        // The next day the same words are due again as reviews, and new words come.
        Sesion manana = Nueva({}, ajustes);
        const Recuento r = manana.Cuenta(Lunes + 3 * Dia);
        QCOMPARE(r.repaso, 4);
        QCOMPARE(r.nuevas, 4);
    }

    void losRepasosVanDelMenosRecordadoAlMas()
    {
        // Three words learnt on three days: on the fourth, the oldest is the least remembered.
        Eleccion eleccion{std::nullopt, {Tipo::IngEsp}};
        AjustesRepaso una;
        una.nuevasPorDia = 1;
        for (int d = 0; d < 3; ++d) {
            Sesion s = Nueva(eleccion, una);
            s.Comienza(Lunes + d * Dia);
            s.Siguiente(Lunes + d * Dia);
            s.Responde(Calificacion::Facil, Lunes + d * Dia, 0, Modo::Tarjetas);
        }
        AjustesRepaso ninguna;
        ninguna.nuevasPorDia = 0;
        Sesion s = Nueva(eleccion, ninguna);
        qint64 ahora = Lunes + 40 * Dia;
        s.Comienza(ahora);
        QCOMPARE(ContestaTodo(s, ahora, Calificacion::Bien),
                 QStringList({"tema palabra 0/ing-esp", "tema palabra 1/ing-esp",
                              "tema palabra 2/ing-esp"}));
    }

    void deshacerDejaLaTarjetaComoEstaba()
    {
        Sesion sesion = Nueva({QStringLiteral("otro"), {Tipo::EspIng}});
        sesion.Comienza(Lunes);
        const auto primera = sesion.Siguiente(Lunes);
        sesion.Responde(Calificacion::Facil, Lunes, 100, Modo::Tarjetas);
        const auto segunda = sesion.Siguiente(Lunes + 5000);
        sesion.Responde(Calificacion::OtraVez, Lunes + 5000, 100, Modo::Tarjetas);

        // Undoing the second answer: its card, made by that answer, is gone with its review,
        // and it is the next card shown.
        QVERIFY(sesion.Deshace());
        QVERIFY(!almacen_.LocalizaTarjeta(segunda->item, Tipo::EspIng));
        QCOMPARE(CuentaFilas(base_, "SELECT count(*) FROM REPASOS"), 1);
        QCOMPARE(sesion.Siguiente(Lunes + 9000)->item, segunda->item);
        // Answering again gives what the first answer gave: the same id, the same card.
        sesion.Responde(Calificacion::OtraVez, Lunes + 5000, 100, Modo::Tarjetas);
        QCOMPARE(almacen_.LocalizaTarjeta(segunda->item, Tipo::EspIng)->tarjeta.id,
                 segunda->tarjeta.id);
        // Two undos: the first card back to what it was before, unstored.
        QVERIFY(sesion.Deshace());
        QVERIFY(sesion.Deshace());
        QVERIFY(!sesion.Deshace());
        QVERIFY(!almacen_.LocalizaTarjeta(primera->item, Tipo::EspIng));
        QCOMPARE(CuentaFilas(base_, "SELECT count(*) FROM REPASOS"), 0);
    }

    void editarBorrarYMoverItems()
    {
        Sesion sesion = Nueva({QStringLiteral("otro"), {Tipo::IngEsp}});
        sesion.Comienza(Lunes);
        qint64 ahora = Lunes;
        ContestaTodo(sesion, ahora, Calificacion::Bien);
        QCOMPARE(CuentaFilas(base_, "SELECT count(*) FROM TARJETAS"), 5);
        // A new English text keeps the card; a deleted topic moves its items, cards and all.
        base_.ModificaItem("otra 0", {"another 0", "x", "otro", {}});
        base_.CambiaTemaItems("otro", SinCategoria);
        base_.EliminaTema("otro");
        QCOMPARE(CuentaFilas(base_, "SELECT count(*) FROM TARJETAS"), 5);
        QCOMPARE(CuentaFilas(base_, "SELECT count(*) FROM TARJETAS AS t JOIN ITEMS AS i ON "
                                    "i.rowid = t.IDITEM WHERE i.ITEMING = 'another 0'"),
                 1);
        // A deleted item takes its card away; its reviews stay.
        const qint64 repasos = CuentaFilas(base_, "SELECT count(*) FROM REPASOS");
        base_.EliminaItem("another 0");
        QCOMPARE(CuentaFilas(base_, "SELECT count(*) FROM TARJETAS"), 4);
        QCOMPARE(CuentaFilas(base_, "SELECT count(*) FROM REPASOS"), repasos);
        // Its card's id is never given again, so its reviews never join another card.
        QVERIFY(almacen_.ProximoIdTarjeta() > CuentaFilas(base_, "SELECT max(IDTARJETA) FROM "
                                                                 "REPASOS"));
    }

    // Cards written by hand or by another program: a state none of the four, a stability that
    // is no number, a difficulty out of range. They are answered as the scheduler takes them
    // (a new card; the difficulty brought into range), never a crash or a figure that is not one.
    void tarjetasAlteradasSeRespondenSinFallar_data()
    {
        QTest::addColumn<QByteArray>("cambio");
        QTest::newRow("estado desconocido") << QByteArray("ESTADO = 9");
        QTest::newRow("estabilidad no numérica") << QByteArray("ESTABILIDAD = 'mucha'");
        QTest::newRow("dificultad fuera de rango") << QByteArray("DIFICULTAD = 42");
        QTest::newRow("reloj atrasado") << QByteArray("ULTIMOREPASO = VENCE + 86400000");
    }
    void tarjetasAlteradasSeRespondenSinFallar()
    {
        QFETCH(QByteArray, cambio);
        Sesion sesion = Nueva({QStringLiteral("otro"), {Tipo::IngEsp}});
        sesion.Comienza(Lunes);
        sesion.Siguiente(Lunes);
        sesion.Responde(Calificacion::Facil, Lunes, 0, Modo::Tarjetas);
        base_.EnTransaccion([&] {
            base_.ConexionAbierta().EjecutaSql(
                QByteArray("UPDATE TARJETAS SET " + cambio + ", VENCE = 0").constData());
        });
        const qint64 ahora = Lunes + 3 * Dia;
        Sesion otra = Nueva({QStringLiteral("otro"), {Tipo::IngEsp}});
        otra.Comienza(ahora);
        const auto t = otra.Siguiente(ahora);
        QVERIFY(t && t->guardada);
        otra.Responde(Calificacion::Bien, ahora, 0, Modo::Tarjetas);
        const Tarjeta despues = almacen_.LocalizaTarjeta(t->item, Tipo::IngEsp)->tarjeta;
        QVERIFY(despues.estado >= Estado::Aprendiendo && despues.estado <= Estado::Repaso);
        QVERIFY(despues.memoria.estabilidad > 0 && std::isfinite(despues.memoria.estabilidad));
        QVERIFY(despues.memoria.dificultad >= 1 && despues.memoria.dificultad <= 10);
        QVERIFY(despues.vence >= ahora);
    }

    void ajustesViajanEnElArchivo()
    {
        AjustesRepaso a;
        a.retencion = 0.85;
        a.nuevasPorDia = 7;
        a.hablaSola = true;
        a.pesos[0] = 0.3;
        GuardaAjustesRepaso(base_, a);
        const AjustesRepaso leidos = LeeAjustesRepaso(base_);
        QCOMPARE(leidos.retencion, 0.85);
        QCOMPARE(leidos.nuevasPorDia, 7);
        QVERIFY(leidos.hablaSola);
        QCOMPARE(leidos.pesos, a.pesos);
        // Values out of range come back in range; weights of another count are the defaults.
        base_.GuardaAjuste("REPASO.RETENCION", "1.5");
        base_.GuardaAjuste("REPASO.PARAMETROS", "FSRS-6:20:1,2");
        QCOMPARE(LeeAjustesRepaso(base_).retencion, 0.97);
        QCOMPARE(LeeAjustesRepaso(base_).pesos, PesosPredeterminados());
    }
};

QTEST_GUILESS_MAIN(PruebaSesion)
#include "tst_sesion.moc"
