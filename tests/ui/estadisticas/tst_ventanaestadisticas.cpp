// The statistics window on a vocabulary practised for some weeks: opened from the menu and from
// the practice summary, its charts filled, named and described for a screen reader, the choice
// of a topic, and a chart saved as PNG and PDF (or a clear message when it cannot be).
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "repaso/Sesion.h"
#include "ui/Ventanas.h"
#include "ui/estadisticas/frmEstadisticas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/practica/frmPracticar.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QXYSeries>

using namespace Repaso;

namespace {
const QList<Item> Items{
    {"house", "casa", "Casa", ""},
    {"kitchen", "cocina", "Casa", ""},
    {"tree", "árbol", "Naturaleza", ""},
};
const QDateTime Lunes(QDate(2026, 3, 2), QTime(10, 0));

frmEstadisticas& VentanaEstadisticas()
{
    return Ventana<frmEstadisticas>();
}

// The sum of a chart's data: bars or points.
double SumaDatos(const QChartView& vista)
{
    double suma = 0;
    for (QAbstractSeries* serie : vista.chart()->series()) {
        if (auto* barras = qobject_cast<QAbstractBarSeries*>(serie))
            for (QBarSet* conjunto : barras->barSets())
                for (int i = 0; i < conjunto->count(); ++i)
                    suma += conjunto->at(i);
        if (auto* puntos = qobject_cast<QXYSeries*>(serie))
            for (const QPointF& p : puntos->points())
                suma += p.y();
    }
    return suma;
}
} // namespace

class PruebaVentanaEstadisticas : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        entorno->plataforma.ahora = Lunes;
        Arranca(*entorno, {{"Casa", ""}, {"Naturaleza", ""}}, Items);
        // Three weeks of practice, every card of the day answered "Bien", one in three "Otra vez".
        AlmacenRepasos almacen(modTALVEXV20().dbPrincipal);
        int n = 0;
        for (int d = 21; d >= 1; --d) {
            const qint64 ahora = Lunes.addDays(-d).toMSecsSinceEpoch();
            Sesion sesion(almacen, {}, {});
            sesion.Comienza(ahora);
            for (qint64 t = ahora; sesion.Siguiente(t); t += 60000)
                sesion.Responde(++n % 3 ? Calificacion::Bien : Calificacion::OtraVez, t, 2000,
                                Modo::Tarjetas);
        }
        Principal().show();
        QVERIFY(QTest::qWaitForWindowActive(&Principal()));
    }
    void cleanup() { entorno.reset(); }

    void elMenuLaAbreSobreLaPrincipal()
    {
        QMenu* opciones = Hijo<QMenu>(Principal(), "mnuOpciones");
        const QList<QAction*> acciones = opciones->actions();
        const auto practicar = std::find_if(acciones.begin(), acciones.end(), [](QAction* a) {
            return a->objectName() == QLatin1String("mnuPracticar");
        });
        QVERIFY(practicar + 1 < acciones.end());
        QAction* estadisticas = *(practicar + 1);
        QCOMPARE(estadisticas->text(), QStringLiteral("&Estadísticas..."));
        estadisticas->trigger();
        QVERIFY(VentanaCargada<frmEstadisticas>());
        QVERIFY(VentanaEstadisticas().isVisible());
        QVERIFY(!Principal().isEnabled());
        // On the topic selected in the tree; Escape closes it from any control.
        QCOMPARE(Hijo<QComboBox>(VentanaEstadisticas(), "cboEleccion")->currentText(),
                 QStringLiteral("Casa"));
        QVERIFY(QTest::qWaitForWindowActive(&VentanaEstadisticas()));
        QTest::keyClick(VentanaEstadisticas().focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(Principal().isEnabled());
    }

    void cadaGraficoTieneDatosNombreYTabla()
    {
        Hijo<QMenu>(Principal(), "mnuOpciones")->actions().last()->trigger();
        frmEstadisticas& v = VentanaEstadisticas();
        for (const char* nombre : {"grfVencimientos", "grfEstados", "grfConocidas", "grfHoras"}) {
            const QChartView* vista = Hijo<QChartView>(v, nombre);
            QVERIFY2(SumaDatos(*vista) > 0, nombre);
            QVERIFY2(!vista->accessibleName().isEmpty(), nombre);
            // Its data as a table: a header and one line a row, cells apart.
            const QStringList filas = vista->accessibleDescription().split(QLatin1Char('\n'));
            QVERIFY2(filas.size() > 2 && filas[1].contains(QStringLiteral("; ")), nombre);
        }
        const QTableWidget* retencion = Hijo<QTableWidget>(v, "tblRetencion");
        QCOMPARE(retencion->rowCount(), NumPeriodos);
        // Three weeks of reviews: the last 30 days have answers, given as a Spanish percentage.
        QVERIFY(retencion->item(3, 3)->text().contains(QRegularExpression("^\\d+,\\d %")));
        QVERIFY(!Hijo<QWidget>(v, "calRepasos")->accessibleDescription().isEmpty());
        // The whole year in weeks, or 30 days.
        auto barras = [&] {
            auto* serie = qobject_cast<QAbstractBarSeries*>(
                Hijo<QChartView>(v, "grfVencimientos")->chart()->series().front());
            return serie->barSets().front()->count();
        };
        QCOMPARE(barras(), 30);
        Hijo<QComboBox>(v, "cboPlazo")->setCurrentIndex(1);
        QCOMPARE(barras(), 53);

        // One topic: its cards alone.
        Hijo<QComboBox>(v, "cboEleccion")->setCurrentIndex(2);
        const QTableWidget* temas = Hijo<QTableWidget>(v, "tblTemas");
        QCOMPARE(temas->rowCount(), 1);
        QCOMPARE(temas->item(0, 0)->text(), QStringLiteral("Naturaleza"));
    }

    void guardaPngYPdfConTituloYFecha()
    {
        Hijo<QMenu>(Principal(), "mnuOpciones")->actions().last()->trigger();
        frmEstadisticas& v = VentanaEstadisticas();
        v.resize(900, 600);
        Hijo<QTabWidget>(v, "tabPaginas")->setCurrentIndex(4);
        QCOMPARE(v.TituloGrafico(), QStringLiteral("Horas · Casa · 2 de marzo de 2026"));
        const QString png = entorno->Ruta(QStringLiteral("horas")); // ".png" is added
        const QString pdf = entorno->Ruta(QStringLiteral("horas.pdf"));
        const QString imposible = entorno->Ruta(QStringLiteral("no/existe.png"));
        entorno->plataforma.archivosElegidos = {png, pdf, imposible, QString()};
        entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
        for (int i = 0; i < 4; ++i)
            Hijo<QPushButton>(v, "cmdGuardar")->click();
        const QImage imagen(png + QStringLiteral(".png"));
        QVERIFY(imagen.width() > 900);
        QVERIFY(LeeArchivo(pdf).startsWith("%PDF"));
        QCOMPARE(entorno->plataforma.mensajes.size(), 1);
        QVERIFY(
            entorno->plataforma.mensajes[0].texto.contains(QStringLiteral("No se pudo guardar")));
        QVERIFY(!QFile::exists(imposible));
    }

    void elResumenDePracticaLasAbre()
    {
        QTest::keyClick(&Principal(), Qt::Key_R, Qt::ControlModifier);
        frmPracticar& practica = Ventana<frmPracticar>();
        Hijo<QPushButton>(practica, "cmdComenzar")->click();
        // Every card of the day answered "Fácil" until the summary shows.
        auto* paginas = Hijo<QStackedWidget>(practica, "stkPaginas");
        for (int i = 0; i < 50 && paginas->currentIndex() != 2; ++i) {
            QTest::keyClick(practica.focusWidget(), Qt::Key_Space);
            QTest::keyClick(practica.focusWidget(), Qt::Key_4);
        }
        QCOMPARE(paginas->currentIndex(), 2);
        Hijo<QPushButton>(practica, "cmdEstadisticas")->click();
        QVERIFY(VentanaCargada<frmEstadisticas>());
        QCOMPARE(VentanaEstadisticas().parentWidget(), &practica);
        QVERIFY(VentanaEstadisticas().isVisible());
    }

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

QTEST_MAIN(PruebaVentanaEstadisticas)
#include "tst_ventanaestadisticas.moc"
