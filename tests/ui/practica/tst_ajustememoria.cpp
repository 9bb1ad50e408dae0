// "Ajustar a mi memoria" in the practice settings, driven by its buttons on a vocabulary file
// whose review log a simulated learner wrote: the figures shown are the fitting's, the fitted
// weights are kept only when they predict better, a cancelled fitting or a closed dialog keeps
// nothing, and the weights replaced can be brought back, also from a later dialog.
#include "apoyo/BasesPrueba.h"
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/Optimizador.h"
#include "repaso/Simulador.h"
#include "ui/practica/frmAjustesRepaso.h"

#include <QPointer>
#include <QProgressBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace Repaso;

namespace {

constexpr int EsperaMaxima = 5 * 60 * 1000; // ms: a bound for a slow machine, never a figure

// A learner who remembers new words much longer than the defaults say, and forgets along a
// flatter curve.
std::vector<double> PesosAprendiz()
{
    std::vector<double> pesos = PesosPredeterminados();
    for (int i : {0, 1, 2, 3})
        pesos[i] *= 3;
    pesos[20] = 0.4;
    return pesos;
}

// That learner's answers to `tarjetas` new cards over `dias` days, in the file's log.
void SimulaAprendiz(BaseVocabulario& base, int tarjetas, int dias = 120)
{
    Simulacion simulacion;
    simulacion.pesosAlumno = PesosAprendiz();
    simulacion.tarjetas = tarjetas;
    simulacion.dias = dias;
    AlmacenRepasos almacen(base);
    GuardaSimulacion(almacen, SimulaRepasos(simulacion));
}

QString Cifra(double valor)
{
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(valor, 'f', 4);
}

} // namespace

class PruebaAjusteMemoria : public QObject {
    Q_OBJECT

    std::unique_ptr<EntornoPrueba> entorno;
    QTemporaryDir carpeta;
    BaseVocabulario base;
    QPointer<frmAjustesRepaso> dialogo;

    void Abre()
    {
        dialogo = new frmAjustesRepaso(
            base, LeeAjustesRepaso(base),
            [this](const AjustesRepaso& ajustes) { GuardaAjustesRepaso(base, ajustes); }, nullptr);
        dialogo->setAttribute(Qt::WA_DeleteOnClose);
        dialogo->show();
    }
    template <class T> T* Control(const char* nombre) { return Hijo<T>(dialogo.data(), nombre); }
    // Fits from the dialog and waits for the outcome.
    void Ajusta()
    {
        Control<QPushButton>("cmdAjustarMemoria")->click();
        QVERIFY(!Control<QPushButton>("cmdAjustarMemoria")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(Control<QPushButton>("cmdAjustarMemoria")->isEnabled(),
                                 EsperaMaxima);
    }
    std::vector<double> Pesos() const { return LeeAjustesRepaso(base).pesos; }

private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        const QString ruta = carpeta.filePath(QStringLiteral("v.MDB"));
        QFile::remove(ruta);
        CreaBase(ruta, 0, QStringLiteral("tema"));
        base.Abre(ruta);
    }
    void cleanup()
    {
        delete dialogo;
        base.Cierra();
        entorno.reset();
    }

    void muestraLasCifrasYGuardaSoloSiMejoran_data()
    {
        QTest::addColumn<int>("tarjetas");
        QTest::addColumn<int>("dias");
        QTest::addColumn<int>("enUso"); // 0 the defaults, 1 the learner's own, 2 fitted to it
        QTest::addColumn<bool>("mejora");
        QTest::newRow("sin respuestas") << 0 << 0 << 0 << false;
        QTest::newRow("una tarjeta") << 1 << 120 << 0 << false;
        QTest::newRow("todo el mismo día") << 100 << 1 << 0 << false;
        QTest::newRow("un aprendiz de memoria larga") << 400 << 120 << 0 << true;
        QTest::newRow("pocos repasos, los del aprendiz en uso") << 10 << 120 << 1 << false;
        QTest::newRow("ya ajustados") << 400 << 120 << 2 << false;
    }
    void muestraLasCifrasYGuardaSoloSiMejoran()
    {
        QFETCH(int, tarjetas);
        QFETCH(int, dias);
        QFETCH(int, enUso);
        QFETCH(bool, mejora);
        SimulaAprendiz(base, tarjetas, dias);
        if (enUso > 0) {
            AjustesRepaso ajustes;
            ajustes.pesos =
                enUso == 1
                    ? PesosAprendiz()
                    : AjustaParametros(AlmacenRepasos(base), PesosPredeterminados(), Dias()).pesos;
            GuardaAjustesRepaso(base, ajustes);
        }
        const std::vector<double> actuales = Pesos();
        // What the same fitting gives on the test's thread.
        const ResultadoAjuste esperado = AjustaParametros(AlmacenRepasos(base), actuales, Dias());
        QCOMPARE(esperado.mejora, mejora);

        Abre();
        Ajusta();
        const QString resultado = Control<QLabel>("lblResultado")->text();
        QCOMPARE(Pesos(), mejora ? esperado.pesos : actuales);
        QCOMPARE(Control<QPushButton>("cmdRestaurarAnteriores")->isEnabled(), mejora);
        const QString perdida = QStringLiteral("Pérdida logarítmica: %1 con los actuales")
                                    .arg(Cifra(esperado.antes.logLoss));
        if (esperado.antes.items > 0)
            QVERIFY2(resultado.contains(perdida), qPrintable(resultado));
        if (mejora)
            QVERIFY2(resultado.contains(perdida + QStringLiteral(", %1 con los ajustados")
                                                      .arg(Cifra(esperado.despues.logLoss))),
                     qPrintable(resultado));
        else
            QVERIFY2(!esperado.motivo.isEmpty() && resultado.contains(esperado.motivo),
                     qPrintable(resultado));
    }

    // The weights replaced are kept in the file: a later dialog brings them back, and its
    // Aceptar keeps the weights in force, not those it was opened with.
    void restaurarDevuelveLosAnteriores()
    {
        SimulaAprendiz(base, 400);
        Abre();
        Ajusta();
        const std::vector<double> ajustados = Pesos();
        QVERIFY(ajustados != PesosPredeterminados());
        Control<QSpinBox>("spnNuevas")->setValue(7);
        Control<QPushButton>("cmdAceptar")->click();
        QCOMPARE(Pesos(), ajustados);

        Abre();
        Control<QPushButton>("cmdRestaurarAnteriores")->click();
        QCOMPARE(Pesos(), PesosPredeterminados());
        Control<QPushButton>("cmdAceptar")->click();
        QCOMPARE(Pesos(), PesosPredeterminados());
        QCOMPARE(LeeAjustesRepaso(base).nuevasPorDia, 7);

        Abre();
        Control<QPushButton>("cmdRestaurarAnteriores")->click();
        QCOMPARE(Pesos(), ajustados);
    }

    // Stopped half-way, by its button or by closing the dialog: the thread ends and nothing of
    // it is kept, not even a result that crossed the cancellation.
    void cancelarNoCambiaNada_data()
    {
        QTest::addColumn<bool>("cerrando");
        QTest::addColumn<int>("milesimas"); // how far it got
        QTest::newRow("Cancelar a medias") << false << 1;
        QTest::newRow("Cancelar al terminar") << false << 1000;
        QTest::newRow("cerrar el diálogo") << true << 1;
    }
    void cancelarNoCambiaNada()
    {
        QFETCH(bool, cerrando);
        QFETCH(int, milesimas);
        SimulaAprendiz(base, 400);
        Abre();
        bool detenido = false;
        connect(Control<QProgressBar>("barAjuste"), &QProgressBar::valueChanged, this,
                [&](int valor) {
                    if (detenido || valor < milesimas)
                        return;
                    detenido = true;
                    if (cerrando)
                        dialogo->reject();
                    else
                        Control<QPushButton>("cmdCancelarAjuste")->click();
                });
        Control<QPushButton>("cmdAjustarMemoria")->click();
        if (cerrando)
            QTRY_VERIFY_WITH_TIMEOUT(dialogo.isNull(), EsperaMaxima);
        else
            QTRY_VERIFY_WITH_TIMEOUT(Control<QPushButton>("cmdAjustarMemoria")->isEnabled(),
                                     EsperaMaxima);
        QVERIFY(detenido);
        QCOMPARE(Pesos(), PesosPredeterminados());
        QVERIFY(!base.LeeAjuste(QStringLiteral("REPASO.PARAMETROS.ANTERIORES")));
        if (!cerrando)
            QVERIFY(!Control<QPushButton>("cmdRestaurarAnteriores")->isEnabled());
    }
};

QTEST_MAIN(PruebaAjusteMemoria)
#include "tst_ajustememoria.moc"
