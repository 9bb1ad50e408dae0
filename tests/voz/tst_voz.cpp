// Pronunciation: the engine's sound and IPA, missing voice data, and the speakers and the
// accent setting of the windows.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Pronunciacion.h"
#include "ui/Ventanas.h"
#include "ui/editors/frmItems.h"
#include "ui/main/frmMenuPrincipal.h"
#include "voz/Voz.h"

#include <QAudioDevice>
#include <QBuffer>
#include <QHelpEvent>
#include <QMediaDevices>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QtEndian>

namespace {
const QString Auxiliar = QStringLiteral(TALVEX_DIR_BINARIOS "/aux_voz");

// The tooltip the heading shows when the pointer rests on it.
QString AyudaDelEncabezado()
{
    QLabel* encabezado = Hijo<QLabel>(Principal(), "lblNotas");
    QHelpEvent evento(QEvent::ToolTip, QPoint(5, 5), encabezado->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(encabezado, &evento);
    return encabezado->toolTip();
}
} // namespace

class PruebaVoz : public QObject {
    Q_OBJECT
private slots:
    void sintetizaSonidoDeUnaDuracionCreible_data();
    void sintetizaSonidoDeUnaDuracionCreible();
    void despacioDuraMasYNoSeQuedaLento();
    void escribeUnWav();
    void foneticaDeAlgunasPalabras_data();
    void foneticaDeAlgunasPalabras();
    void sinDatosDeVozLoDiceEnEspanol();
    void elAcentoElegidoSobreviveAlReinicio();
    void altavocesYFoneticaEnLasVentanas();
};

void PruebaVoz::sintetizaSonidoDeUnaDuracionCreible_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<Acento>("acento");
    QTest::addColumn<double>("minimo"); // seconds
    QTest::addColumn<double>("maximo");
    QTest::newRow("kitchen") << "kitchen" << Acento::Britanico << 0.25 << 1.5;
    QTest::newRow("water, americano") << "water" << Acento::Americano << 0.2 << 1.5;
    QTest::newRow("frase") << "The quick brown fox jumps over the lazy dog." << Acento::Britanico
                           << 1.5 << 5.0;
    QTest::newRow("español") << "El murciélago come fruta." << Acento::Espanol << 1.0 << 4.0;
}

void PruebaVoz::sintetizaSonidoDeUnaDuracionCreible()
{
    QFETCH(QString, texto);
    QFETCH(Acento, acento);
    QFETCH(double, minimo);
    QFETCH(double, maximo);
    const Sonido sonido = Voz::Sintetiza(texto, acento);
    QCOMPARE(sonido.frecuencia, 22050);
    QVERIFY2(sonido.Segundos() >= minimo && sonido.Segundos() <= maximo,
             qPrintable(QString::number(sonido.Segundos())));
    QVERIFY(sonido.Pico() > 3000); // speech, not silence
}

void PruebaVoz::despacioDuraMasYNoSeQuedaLento()
{
    const QString frase = QStringLiteral("The kitchen is next to the living room.");
    const double normal = Voz::Sintetiza(frase, Acento::Britanico).Segundos();
    const double despacio = Voz::Sintetiza(frase, Acento::Britanico, true).Segundos();
    QVERIFY2(despacio > normal * 1.25,
             qPrintable(QStringLiteral("%1 %2").arg(normal).arg(despacio)));
    // The next normal call is at the usual pace again (eSpeak keeps its rate between calls).
    QVERIFY(qAbs(Voz::Sintetiza(frase, Acento::Britanico).Segundos() - normal) < normal * 0.02);
}

void PruebaVoz::escribeUnWav()
{
    const Sonido sonido = Voz::Sintetiza(QStringLiteral("Good morning"), Acento::Britanico);
    QTemporaryDir carpeta;
    QFile wav(carpeta.filePath("good-morning.wav"));
    QVERIFY(wav.open(QIODevice::WriteOnly));
    EscribeWav(sonido, wav);
    wav.close();
    QVERIFY(wav.open(QIODevice::ReadOnly));
    const QByteArray bytes = wav.readAll();
    QCOMPARE(bytes.size(), 44 + sonido.muestras.size());
    QCOMPARE(bytes.left(4), QByteArray("RIFF"));
    QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size() - 8));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 22), quint16(1)); // mono
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 24), quint32(22050));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 34), quint16(16));
    QCOMPARE(bytes.mid(36, 4), QByteArray("data"));
    QCOMPARE(bytes.mid(44), sonido.muestras);
}

void PruebaVoz::foneticaDeAlgunasPalabras_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<Acento>("acento");
    QTest::addColumn<QString>("ipa");
    QTest::newRow("kitchen") << "kitchen" << Acento::Britanico << "kˈɪtʃən";
    QTest::newRow("water, británico") << "water" << Acento::Britanico << "wˈɔːtə";
    QTest::newRow("water, americano") << "water" << Acento::Americano << "wˈɔːɾɚ";
    QTest::newRow("dos cláusulas") << "thought, through" << Acento::Britanico << "θˈɔːt θɹˈuː";
    QTest::newRow("español") << "cocina" << Acento::Espanol << "koθˈina";
    QTest::newRow("vacío") << "" << Acento::Britanico << "";
}

void PruebaVoz::foneticaDeAlgunasPalabras()
{
    QFETCH(QString, texto);
    QFETCH(Acento, acento);
    QFETCH(QString, ipa);
    QCOMPARE(Voz::Fonetica(texto, acento), ipa);
}

void PruebaVoz::sinDatosDeVozLoDiceEnEspanol()
{
    // The voice data hidden under an empty folder, in a mount namespace of the helper's own.
    QTemporaryDir vacia;
    QProcess hijo;
    hijo.start("unshare", {"-m", "sh", "-c",
                           "mount --bind \"$1\" /usr/lib/x86_64-linux-gnu/espeak-ng-data && "
                           "exec \"$2\" kitchen",
                           "sh", vacia.path(), Auxiliar});
    QVERIFY(hijo.waitForFinished(20000));
    const QByteArray salida = hijo.readAllStandardOutput().trimmed();
    if (salida.isEmpty())
        QSKIP("aquí no se pueden ocultar los datos de las voces");
    QCOMPARE(QString::fromUtf8(salida),
             "ERROR No se encuentran los datos de las voces (espeak-ng-data): instale el "
             "paquete espeak-ng-data.");
    QCOMPARE(hijo.exitCode(), 1);
}

void PruebaVoz::elAcentoElegidoSobreviveAlReinicio()
{
    EntornoPrueba entorno;
    Arranca(entorno, {}, {});
    QAction* britanica = Hijo<QAction>(Principal(), "mnuBritanica");
    QVERIFY(britanica->isChecked()); // British until the user says otherwise
    britanica->trigger();
    QVERIFY(!Principal().Voz->Britanica());
    Principal().close();

    ArrancaOtraVez(entorno);
    emit Hijo<QMenu>(Principal(), "mnuOpciones")->aboutToShow();
    QVERIFY(!Hijo<QAction>(Principal(), "mnuBritanica")->isChecked());
    QVERIFY(!Principal().Voz->Britanica());
    QCOMPARE(Principal().Voz->Fonetica("water"), "wˈɔːɾɚ");
}

void PruebaVoz::altavocesYFoneticaEnLasVentanas()
{
    EntornoPrueba entorno;
    Arranca(entorno, {{"Casa", ""}}, {{"kitchen", "cocina", "Casa", ""}});
    QToolButton* altavoz = Hijo<QToolButton>(Principal(), "cmdEscuchar");
    EligeItem("kitchen");
    QVERIFY(altavoz->isVisibleTo(&Principal()));
    QCOMPARE(AyudaDelEncabezado(), "/kˈɪtʃən/");
    EligeTema("Casa"); // a topic heading has no speaker and no IPA
    QVERIFY(!altavoz->isVisibleTo(&Principal()));
    QCOMPARE(AyudaDelEncabezado(), QString());

    EligeItem("kitchen");
    Principal().cmdEditarItems_Click();
    frmItems& editor = Ventana<frmItems>();
    QCOMPARE(Hijo<QLabel>(editor, "lblFonetica")->text(), "/kˈɪtʃən/");
    QCOMPARE(Hijo<QAction>(editor, "actEscucharEspanol")->toolTip(), " Escuchar en español ");
    Hijo<QLineEdit>(editor, "txtItemIng")->setText("water");
    QCOMPARE(Hijo<QLabel>(editor, "lblFonetica")->text(), "/wˈɔːtə/");
    editor.close();

    if (!QMediaDevices::defaultAudioOutput().isNull())
        QSKIP("este equipo tiene salida de sonido: el camino sin ella no se prueba aquí");
    // No sound output: said once; every speaker is disabled afterwards, F5 included.
    entorno.plataforma.respuestas = {RespuestaMensaje::Aceptar};
    QAction* escuchar = Hijo<QAction>(Principal(), "actEscuchar");
    QCOMPARE(escuchar->shortcut(), QKeySequence(Qt::Key_F5));
    escuchar->trigger();
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    QCOMPARE(entorno.plataforma.mensajes[0].texto,
             "¡¡ No se puede escuchar la pronunciación !!\r\rNo hay ninguna salida de sonido en "
             "este equipo.");
    QCOMPARE(entorno.plataforma.mensajes[0].icono, IconoMensaje::Exclamacion);
    QVERIFY(!escuchar->isEnabled());
    escuchar->trigger();
    QCOMPARE(entorno.plataforma.mensajes.size(), 1);
    Principal().cmdEditarItems_Click();
    QVERIFY(!Hijo<QAction>(Ventana<frmItems>(), "actEscucharIngles")->isEnabled());
}

QTEST_MAIN(PruebaVoz)
#include "tst_voz.moc"
