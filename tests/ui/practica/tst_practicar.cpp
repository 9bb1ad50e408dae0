// The practice window driven as a learner would, by its keys and buttons, on a test vocabulary
// with the clock held by the scripted platform: every answer is in the file before the next
// card shows, undo takes it back out, and the words come back on a later day.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "repaso/AjustesRepaso.h"
#include "ui/Ventanas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/practica/MarcaDiferencias.h"
#include "ui/practica/TextoIntervalo.h"
#include "ui/practica/frmPracticar.h"
#include "ui/ventanas/SobrePrincipal.h"

#include <QDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTest>

#include <sqlite3.h>

namespace {
const QList<Item> Items{
    {"house", "casa", "Casa", "Una casa."},
    {"kitchen", "cocina", "Casa", ""},
    {"tree", "árbol", "Naturaleza", "Tiene hojas."},
};
// A Monday morning, well away from the day's start at 04:00.
const QDateTime Lunes(QDate(2026, 3, 2), QTime(10, 0));

frmPracticar& Practica()
{
    return Ventana<frmPracticar>();
}

template <class T> T* Control(const char* nombre)
{
    return Hijo<T>(Practica(), nombre);
}

QString Texto(const char* etiqueta)
{
    return Control<QLabel>(etiqueta)->text();
}

// Sends a key to whatever holds the focus in the practice window.
void Pulsa(int tecla, Qt::KeyboardModifiers modificadores = Qt::NoModifier)
{
    QWidget* foco = Practica().focusWidget();
    QTest::keyClick(foco ? foco : &Practica(), Qt::Key(tecla), modificadores);
}

bool EnTarjeta()
{
    return VentanaCargada<frmPracticar>() &&
           Control<QStackedWidget>("stkPaginas")->currentWidget()->objectName() ==
               QLatin1String("pagTarjeta");
}

// Rows of the file as a separate reader sees them (what was committed).
QStringList LeeFilas(const QString& ruta, const char* sql)
{
    QStringList filas;
    sqlite3* db = nullptr;
    sqlite3_stmt* consulta = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db, sql, -1, &consulta, nullptr) == SQLITE_OK)
        while (sqlite3_step(consulta) == SQLITE_ROW)
            filas << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(consulta, 0)));
    sqlite3_finalize(consulta);
    sqlite3_close(db);
    return filas;
}
} // namespace

class PruebaPracticar : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        entorno->plataforma.ahora = Lunes;
        Arranca(*entorno, {{"Casa", ""}, {"Naturaleza", ""}}, Items);
        Principal().show();
        QVERIFY(QTest::qWaitForWindowActive(&Principal()));
    }
    void cleanup() { entorno.reset(); }
    void textoIntervalo_data();
    void textoIntervalo();
    void marcaDiferencias_data();
    void marcaDiferencias();
    void seAbreSobreLaPrincipalEnElTemaElegido();
    void tarjetasConTeclasGuardanCadaRespuesta();
    void escritoProponeUnaCalificacionQueSePuedeCambiar_data();
    void escritoProponeUnaCalificacionQueSePuedeCambiar();
    void controlZDevuelveLaTarjetaYQuitaElRepaso();
    void escapeCierraConTodoGuardado();
    void alOtroDiaVuelvenLasPalabras();
    void dictadoHablaYRepiteMasDespacio();
    void sinSonidoNoHayDictado();
    void ajustesSeGuardanEnElArchivo();

private:
    // Opens the window with Ctrl+R and starts practising the choice with the mode.
    void Comienza(int tipo, bool escrito);
    QStringList Repasos(const char* columnas = "CALIFICACION") const
    {
        return LeeFilas(entorno->Ruta(QStringLiteral("TALVEXV20.MDB")),
                        QByteArray("SELECT ") + columnas + " FROM REPASOS ORDER BY rowid");
    }
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaPracticar::Comienza(int tipo, bool escrito)
{
    QTest::keyClick(&Principal(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(VentanaCargada<frmPracticar>());
    QVERIFY(QTest::qWaitForWindowExposed(&Practica()));
    Control<QComboBox>("cboTema")->setCurrentIndex(0);
    Control<QComboBox>("cboTipo")->setCurrentIndex(tipo);
    (escrito ? Control<QRadioButton>("optEscrito") : Control<QRadioButton>("optTarjetas"))
        ->setChecked(true);
    Control<QPushButton>("cmdComenzar")->setFocus();
    Pulsa(Qt::Key_Return);
    QVERIFY(EnTarjeta());
}

void PruebaPracticar::textoIntervalo_data()
{
    QTest::addColumn<qint64>("segundos");
    QTest::addColumn<QString>("texto");
    const qint64 dia = 86400;
    QTest::newRow("nada") << qint64(0) << "1 min";
    QTest::newRow("un paso") << qint64(60) << "1 min";
    QTest::newRow("diez") << qint64(600) << "10 min";
    QTest::newRow("casi una hora") << qint64(3590) << "1 h";
    QTest::newRow("hora y media") << qint64(5400) << "1,5 h";
    QTest::newRow("casi un día") << dia - 60 << "1 día";
    QTest::newRow("un día") << dia << "1 día";
    QTest::newRow("tres días") << 3 * dia << "3 días";
    QTest::newRow("un mes") << 30 * dia << "1 mes";
    QTest::newRow("mes y algo") << 36 * dia << "1,2 meses";
    QTest::newRow("un año") << 365 * dia << "1 año";
    QTest::newRow("dos años y medio") << 913 * dia << "2,5 años";
    QTest::newRow("el máximo") << 36500 * dia << "100 años";
}

void PruebaPracticar::textoIntervalo()
{
    QFETCH(qint64, segundos);
    QFETCH(QString, texto);
    QCOMPARE(TextoIntervalo(segundos), texto);
}

void PruebaPracticar::marcaDiferencias_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QList<Repaso::Tramo>>("tramos");
    QTest::addColumn<QString>("marcado"); // [ ] for the red, underlined part
    QTest::addColumn<QString>("enPalabras");
    QTest::newRow("una letra") << "cása" << QList<Repaso::Tramo>{{1, 1}} << "c[á]sa"
                               << "«á»";
    // Typed text is text, never markup.
    QTest::newRow("marcas") << "<b>a&b" << QList<Repaso::Tramo>{{0, 3}} << "[&lt;b&gt;]a&amp;b"
                            << "«<b>»";
    QTest::newRow("un blanco se ve") << "ice cream" << QList<Repaso::Tramo>{{3, 1}} << "ice[·]cream"
                                     << "« »";
    QTest::newRow("fuera del texto") << "dog" << QList<Repaso::Tramo>{{2, 5}, {9, 1}} << "do[g]"
                                     << "«g»";
}

void PruebaPracticar::marcaDiferencias()
{
    QFETCH(QString, texto);
    QFETCH(QList<Repaso::Tramo>, tramos);
    QFETCH(QString, marcado);
    QFETCH(QString, enPalabras);
    QString html = MarcaDiferencias(texto, tramos);
    html.replace(QRegularExpression(QStringLiteral("<span[^>]*>")), QStringLiteral("["))
        .replace(QStringLiteral("</span>"), QStringLiteral("]"));
    QCOMPARE(html, marcado);
    QCOMPARE(PartesDiferentes(texto, tramos), enPalabras);
}

void PruebaPracticar::seAbreSobreLaPrincipalEnElTemaElegido()
{
    EligeTema(QStringLiteral("Naturaleza"));
    for (const char* via : {"mnuPracticar", "Practicar"}) {
        Hijo<QAction>(Principal(), via)->trigger();
        QVERIFY(VentanaCargada<frmPracticar>());
        QVERIFY(!Principal().isEnabled());
        QCOMPARE(Control<QComboBox>("cboTema")->currentText(), QStringLiteral("Naturaleza"));
        Control<QComboBox>("cboTipo")->setCurrentIndex(0);
        QCOMPARE(Texto("lblNuevas"), QStringLiteral("1"));
        Control<QComboBox>("cboTema")->setCurrentIndex(0); // the whole vocabulary
        QCOMPARE(Texto("lblNuevas"), QStringLiteral("3"));
        Pulsa(Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!VentanaCargada<frmPracticar>());
        QVERIFY(Principal().isEnabled());
    }
}

void PruebaPracticar::tarjetasConTeclasGuardanCadaRespuesta()
{
    Comienza(0, false);
    QCOMPARE(Texto("lblPregunta"), QStringLiteral("house"));
    QVERIFY(!Control<QPushButton>("cmdBien")->isVisible());
    Pulsa(Qt::Key_Space);
    QVERIFY(Texto("lblRespuesta").contains(QStringLiteral("casa")));
    // A new word: Otra vez and Difícil keep it a minute or so, Fácil sends it days away.
    QVERIFY(Control<QPushButton>("cmdOtraVez")->text().endsWith(QStringLiteral("\n1 min")));
    QVERIFY(Control<QPushButton>("cmdBien")->text().endsWith(QStringLiteral("\n10 min")));
    QVERIFY(Control<QPushButton>("cmdFacil")->text().contains(QStringLiteral("días")));
    Pulsa(Qt::Key_1);
    QCOMPARE(Repasos(), QStringList{"1"}); // in the file before the next card shows
    QCOMPARE(Texto("lblPregunta"), QStringLiteral("kitchen"));
    Pulsa(Qt::Key_Return);
    Pulsa(Qt::Key_Return); // Enter on the answer is Bien
    Pulsa(Qt::Key_Space);
    Pulsa(Qt::Key_4);
    QCOMPARE(Repasos(), (QStringList{"1", "3", "4"}));
    QCOMPARE(Repasos("MODO"), (QStringList{"1", "1", "1"}));
}

void PruebaPracticar::escritoProponeUnaCalificacionQueSePuedeCambiar_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("escrita");
    QTest::addColumn<QString>("juicio");
    QTest::addColumn<QString>("propuesta"); // the button made the default
    QTest::addColumn<int>("cambio");        // a digit pressed before Enter; 0: none
    QTest::addColumn<QString>("guardada");
    QTest::newRow("bien") << 0 << "Casa"
                          << "Correcto"
                          << "cmdBien" << 0 << "3";
    QTest::newRow("bien, cambiada a fácil") << 0 << "casa"
                                            << "Correcto"
                                            << "cmdBien" << 4 << "4";
    QTest::newRow("inglés") << 1 << "House."
                            << "Correcto"
                            << "cmdBien" << 0 << "3";
    QTest::newRow("acentos") << 0 << "cása"
                             << "Casi: atención a los acentos"
                             << "cmdDificil" << 0 << "2";
    QTest::newRow("una letra") << 0 << "csa"
                               << "Casi"
                               << "cmdDificil" << 0 << "2";
    QTest::newRow("mal") << 0 << "perro"
                         << "Incorrecto"
                         << "cmdOtraVez" << 0 << "1";
    QTest::newRow("mal, cambiada a bien") << 0 << "perro"
                                          << "Incorrecto"
                                          << "cmdOtraVez" << 3 << "3";
    QTest::newRow("vacía") << 0 << ""
                           << "No ha escrito nada"
                           << "cmdOtraVez" << 0 << "1";
}

void PruebaPracticar::escritoProponeUnaCalificacionQueSePuedeCambiar()
{
    QFETCH(int, tipo);
    QFETCH(QString, escrita);
    QFETCH(QString, juicio);
    QFETCH(QString, propuesta);
    QFETCH(int, cambio);
    QFETCH(QString, guardada);
    Comienza(tipo, true);
    QLineEdit* respuesta = Control<QLineEdit>("txtRespuesta");
    QVERIFY(respuesta->hasFocus());
    QVERIFY(respuesta->inputMethodHints() & Qt::ImhNoPredictiveText);
    Teclea(respuesta, escrita);
    Pulsa(Qt::Key_Return);
    QCOMPARE(Texto("lblJuicio"), juicio);
    QVERIFY(Control<QPushButton>(qPrintable(propuesta))->isDefault());
    if (cambio)
        Pulsa(Qt::Key_0 + cambio);
    QVERIFY(Repasos().isEmpty()); // judged, not rated until Enter
    QCOMPARE(Control<QPushButton>("cmdOtraVez")->isDefault(), guardada == QLatin1String("1"));
    QCOMPARE(Control<QPushButton>("cmdFacil")->isDefault(), guardada == QLatin1String("4"));
    Pulsa(Qt::Key_Return);
    QCOMPARE(Repasos(), QStringList{guardada});
    QCOMPARE(Repasos("MODO"), QStringList{"2"});
}

void PruebaPracticar::controlZDevuelveLaTarjetaYQuitaElRepaso()
{
    Comienza(0, false);
    Pulsa(Qt::Key_Space);
    Pulsa(Qt::Key_3);
    Pulsa(Qt::Key_Space);
    Pulsa(Qt::Key_1);
    const QString ruta = entorno->Ruta(QStringLiteral("TALVEXV20.MDB"));
    const QStringList tarjetas = LeeFilas(ruta, "SELECT ESTADO || ',' || VENCE FROM TARJETAS");
    QCOMPARE(Repasos().size(), 2);
    Pulsa(Qt::Key_Z, Qt::ControlModifier);
    // The last answer is gone from the log and its card (new until then) from the file; the
    // word is asked again.
    QCOMPARE(Repasos(), QStringList{"3"});
    QCOMPARE(LeeFilas(ruta, "SELECT COUNT(*) FROM TARJETAS"), QStringList{"1"});
    QCOMPARE(Texto("lblPregunta"), QStringLiteral("kitchen"));
    QVERIFY(!Control<QPushButton>("cmdBien")->isVisible());
    Pulsa(Qt::Key_Z, Qt::ControlModifier); // the one before: its card back to new
    QCOMPARE(Repasos(), QStringList{});
    QCOMPARE(LeeFilas(ruta, "SELECT COUNT(*) FROM TARJETAS"), QStringList{"0"});
    QCOMPARE(Texto("lblPregunta"), QStringLiteral("house"));
    // Answered again, the same way: the file holds what it held before the undoing.
    Pulsa(Qt::Key_Space);
    Pulsa(Qt::Key_3);
    Pulsa(Qt::Key_Space);
    Pulsa(Qt::Key_1);
    QCOMPARE(LeeFilas(ruta, "SELECT ESTADO || ',' || VENCE FROM TARJETAS"), tarjetas);
}

void PruebaPracticar::escapeCierraConTodoGuardado()
{
    Comienza(2, false);
    for (int i = 0; i < 2; ++i) {
        Pulsa(Qt::Key_Space);
        Pulsa(Qt::Key_3);
    }
    Pulsa(Qt::Key_Space); // an answer seen but not rated is not an answer
    Pulsa(Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!VentanaCargada<frmPracticar>());
    QVERIFY(Principal().isEnabled());
    QCOMPARE(Repasos(), (QStringList{"3", "3"}));
    QCOMPARE(
        LeeFilas(entorno->Ruta(QStringLiteral("TALVEXV20.MDB")), "SELECT COUNT(*) FROM TARJETAS"),
        QStringList{"2"});
}

void PruebaPracticar::alOtroDiaVuelvenLasPalabras()
{
    Comienza(0, false);
    // Bien until nothing is left: each new word takes its learning steps and leaves for days.
    int respuestas = 0;
    while (EnTarjeta() && respuestas < 20) {
        Pulsa(Qt::Key_Space);
        Pulsa(Qt::Key_3);
        ++respuestas;
    }
    QCOMPARE(respuestas, 6);
    QCOMPARE(Control<QStackedWidget>("stkPaginas")->currentWidget()->objectName(),
             QStringLiteral("pagResumen"));
    QVERIFY(Texto("lblResumen").contains(QStringLiteral("Respondidas: 6")));
    QVERIFY(Texto("lblResumen").contains(QStringLiteral("(100 %)")));
    // Keys meant for the last card start nothing more.
    Pulsa(Qt::Key_Return);
    Pulsa(Qt::Key_Space);
    QCOMPARE(Control<QStackedWidget>("stkPaginas")->currentWidget()->objectName(),
             QStringLiteral("pagResumen"));
    QCOMPARE(Repasos().size(), 6);
    Pulsa(Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const auto DeRepaso = [this] {
        Hijo<QAction>(Principal(), "mnuPracticar")->trigger();
        Control<QComboBox>("cboTema")->setCurrentIndex(0);
        Control<QComboBox>("cboTipo")->setCurrentIndex(0);
        const QString cifra = Texto("lblRepaso");
        Practica().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return cifra;
    };
    QCOMPARE(DeRepaso(), QStringLiteral("0"));
    entorno->plataforma.ahora = Lunes.addDays(5);
    QCOMPARE(DeRepaso(), QStringLiteral("3"));

    // The next day nothing is due yet; "Practicar más" with tomorrow's reviews brings them.
    entorno->plataforma.ahora = Lunes.addDays(1);
    Hijo<QAction>(Principal(), "mnuPracticar")->trigger();
    Control<QComboBox>("cboTipo")->setCurrentIndex(0);
    Control<QPushButton>("cmdComenzar")->click();
    QCOMPARE(Control<QStackedWidget>("stkPaginas")->currentWidget()->objectName(),
             QStringLiteral("pagResumen"));
    Control<QComboBox>("cboMas")->setCurrentIndex(2);
    Control<QPushButton>("cmdMas")->click();
    QVERIFY(EnTarjeta());
    QVERIFY(QStringList({"house", "kitchen", "tree"}).contains(Texto("lblPregunta")));
}

void PruebaPracticar::dictadoHablaYRepiteMasDespacio()
{
    QList<std::pair<QString, bool>> dichas;
    frmPracticar::Habla habla;
    habla.dice = [&](const QString& ingles, bool despacio) { dichas.append({ingles, despacio}); };
    habla.conSonido = true;
    auto* ventana = new frmPracticar(modTALVEXV20().dbPrincipal, {QStringLiteral("Casa")},
                                     QStringLiteral("Casa"), habla);
    RegistraVentana(ventana);
    AbreSobrePrincipal(*ventana);
    QVERIFY(QTest::qWaitForWindowExposed(ventana));
    Control<QComboBox>("cboTipo")->setCurrentIndex(3);
    Control<QPushButton>("cmdComenzar")->click();
    QVERIFY(EnTarjeta());
    QVERIFY(!Control<QLabel>("lblPregunta")->isVisible()); // heard, not read
    Pulsa(Qt::Key_F5);
    Pulsa(Qt::Key_F5);
    QCOMPARE(dichas, (QList<std::pair<QString, bool>>{
                         {"house", false}, {"house", false}, {"house", true}}));
    Teclea(Control<QLineEdit>("txtRespuesta"), QStringLiteral("hause"));
    Pulsa(Qt::Key_Return);
    QCOMPARE(Texto("lblJuicio"), QStringLiteral("Casi"));
    QVERIFY(Texto("lblEscrita").contains(QStringLiteral("text-decoration:underline")));
    Pulsa(Qt::Key_Return);
    QCOMPARE(Repasos("CALIFICACION || ',' || MODO || ',' || TIPO"), QStringList{"2,3,3"});
    QCOMPARE(dichas.size(), 4); // the next word is said on its own
    QCOMPARE(dichas.last().first, QStringLiteral("kitchen"));
    ventana->close();
}

void PruebaPracticar::sinSonidoNoHayDictado()
{
    Repaso::AjustesRepaso ajustes;
    ajustes.hablaSola = true; // even so, nothing is said
    Repaso::GuardaAjustesRepaso(modTALVEXV20().dbPrincipal, ajustes);
    int dichas = 0;
    frmPracticar::Habla habla;
    habla.dice = [&](const QString&, bool) { ++dichas; };
    auto* ventana = new frmPracticar(modTALVEXV20().dbPrincipal, {}, {}, habla);
    RegistraVentana(ventana);
    AbreSobrePrincipal(*ventana);
    QVERIFY(Control<QLabel>("lblSinSonido")->isVisible());
    const auto* filas = qobject_cast<QStandardItemModel*>(Control<QComboBox>("cboTipo")->model());
    QVERIFY(filas && !filas->item(3)->isEnabled());
    Control<QPushButton>("cmdComenzar")->click();
    Pulsa(Qt::Key_F5);
    Pulsa(Qt::Key_Space);
    QVERIFY(!Control<QPushButton>("cmdEscuchar")->isEnabled());
    QCOMPARE(dichas, 0);
    ventana->close();
}

void PruebaPracticar::ajustesSeGuardanEnElArchivo()
{
    Hijo<QAction>(Principal(), "mnuPracticar")->trigger();
    Control<QPushButton>("cmdAjustes")->click();
    auto* ajustes = Practica().findChild<QDialog*>(QStringLiteral("frmAjustesRepaso"));
    QVERIFY(ajustes);
    Hijo<QSpinBox>(ajustes, "spnNuevas")->setValue(1);
    Hijo<QSpinBox>(ajustes, "spnRetencion")->setValue(85);
    Hijo<QPushButton>(ajustes, "cmdAceptar")->click();
    const Repaso::AjustesRepaso guardados = Repaso::LeeAjustesRepaso(modTALVEXV20().dbPrincipal);
    QCOMPARE(guardados.nuevasPorDia, 1);
    QCOMPARE(guardados.retencion, 0.85);
    // The counts follow at once: one new word a day, whatever the choice.
    QCOMPARE(Texto("lblNuevas"), QStringLiteral("1"));
}

QTEST_MAIN(PruebaPracticar)
#include "tst_practicar.moc"
