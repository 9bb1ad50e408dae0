// The About window: its lines, the two links that light up under the mouse, and the keys.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "ui/Ventanas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/frmAcercade.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

namespace {
// The mouse moving over a control, with no button down.
void Mueve(QWidget* control, QPoint punto)
{
    QMouseEvent movimiento(QEvent::MouseMove, QPointF(punto), control->mapToGlobal(QPointF(punto)),
                           Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &movimiento);
}
} // namespace

class PruebaAcercade : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void lineasEnSuSitio();
    void losEnlacesSeEncienden();
    void clicAbreLoEncendido();
    void teclasYCierreHabilitanLaVentanaPrincipal();

private:
    QPointer<frmAcercade> Abre()
    {
        Ventana<frmMenuPrincipal>().show();
        MuestraAcercade();
        return &Ventana<frmAcercade>();
    }
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaAcercade::lineasEnSuSitio()
{
    auto ventana = Abre();
    QCOMPARE(ventana->windowTitle(), QStringLiteral("TALVEX Ver. 2.0.0"));
    const QList<std::tuple<QLabel*, int, int, int, QString>> lineas{
        {Hijo<QLabel>(ventana, "lblAcercade1"), 1080, 480, 1710, "TALVEX Ver. 2.0.0"},
        {Hijo<QLabel>(ventana, "lblAcercade2"), 1080, 840, 2235, "Asistente básico de inglés"},
        {Hijo<QLabel>(ventana, "lblAcercade3"), 1080, 1320, 1890, "Software desarrollado por: "},
        {Hijo<QLabel>(ventana, "lblAcercade8"), 1080, 2880, 450, "e-mail:"},
        {Hijo<QLabel>(ventana, "lblAcercade9"), 1560, 2880, 1560, "talvex@example.org"},
        {Hijo<QLabel>(ventana, "lblAcercade10"), 1080, 3360, 3165, "https://talvex.example.org"}};
    for (const auto& [etiqueta, x, y, ancho, texto] : lineas) {
        QCOMPARE(etiqueta->text(), texto);
        QCOMPARE(etiqueta->pos(), QPoint(Twips(x), Twips(y)));
        QCOMPARE(etiqueta->height(), Twips(195));
        QVERIFY(etiqueta->width() >= Twips(ancho));
        QVERIFY(etiqueta->width() >= etiqueta->sizeHint().width()); // no line is cut
    }
    QVERIFY(Hijo<QLabel>(ventana, "lblAcercade1")->font().bold());
    QVERIFY(Hijo<QLabel>(ventana, "lblAcercade7")->text().startsWith(QStringLiteral("Teléfono: ")));
    QVERIFY(!Hijo<QLabel>(ventana, "imgAcercade")->pixmap().isNull());
    QCOMPARE(Hijo<QPushButton>(ventana, "cmdAcercade")->text(), QStringLiteral("&Aceptar"));
    QCOMPARE(Hijo<QPushButton>(ventana, "cmdAcercade")->geometry(),
             QRect(Twips(4280), Twips(3960), Twips(1215), Twips(375)));
    for (QLabel* enlace :
         {Hijo<QLabel>(ventana, "lblAcercade9"), Hijo<QLabel>(ventana, "lblAcercade10")})
        QCOMPARE(enlace->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

void PruebaAcercade::losEnlacesSeEncienden()
{
    auto ventana = Abre();
    // Pixels are twips ÷ 15: x = 100 px is 1500 twips, 99 px is 1485.
    Mueve(ventana, QPoint(100, 206));
    QVERIFY(frmAcercade::EstaResaltado(*Hijo<QLabel>(ventana, "lblAcercade9")));
    QCOMPARE(Hijo<QLabel>(ventana, "lblAcercade9")->palette().color(QPalette::WindowText),
             QColor(255, 0, 255));
    QCOMPARE(ventana->cursor().shape(), Qt::PointingHandCursor);
    Mueve(ventana, QPoint(99, 206));
    QVERIFY(!frmAcercade::EstaResaltado(*Hijo<QLabel>(ventana, "lblAcercade9")));
    QCOMPARE(ventana->cursor().shape(), Qt::ArrowCursor);
    // The zone edges, in twips.
    ventana->MueveRaton(3100, 2900);
    QVERIFY(frmAcercade::EstaResaltado(*Hijo<QLabel>(ventana, "lblAcercade9")));
    ventana->MueveRaton(3101, 2900);
    QVERIFY(!frmAcercade::EstaResaltado(*Hijo<QLabel>(ventana, "lblAcercade9")));
    ventana->MueveRaton(1100, 3700);
    QVERIFY(frmAcercade::EstaResaltado(*Hijo<QLabel>(ventana, "lblAcercade10")));
    ventana->MueveRaton(1100, 3701);
    QVERIFY(!frmAcercade::EstaResaltado(*Hijo<QLabel>(ventana, "lblAcercade10")));
    // Over the telephone line the e-mail link goes blue.
    ventana->MueveRaton(2000, 3000);
    Mueve(Hijo<QLabel>(ventana, "lblAcercade7"), QPoint(5, 5));
    QVERIFY(!frmAcercade::EstaResaltado(*Hijo<QLabel>(ventana, "lblAcercade9")));
}

void PruebaAcercade::clicAbreLoEncendido()
{
    auto ventana = Abre();
    QTest::mouseClick(ventana, Qt::LeftButton, {}, QPoint(30, 30));
    QVERIFY(entorno->plataforma.direcciones.isEmpty());
    ventana->MueveRaton(2000, 3000);
    ventana->Pulsa();
    QCOMPARE(entorno->plataforma.direcciones, QList<QUrl>{QUrl("mailto:talvex@example.org")});
    // Both lit in turn, then the mouse moved away from both: nothing opens.
    ventana->MueveRaton(2000, 3600);
    ventana->MueveRaton(30, 30);
    ventana->Pulsa();
    QCOMPARE(entorno->plataforma.direcciones.size(), 1);
    ventana->MueveRaton(2000, 3600);
    QTest::mouseClick(ventana, Qt::LeftButton, {}, QPoint(2000 / 15, 3600 / 15));
    QCOMPARE(entorno->plataforma.direcciones.last(), QUrl("https://talvex.example.org"));
    QVERIFY(ventana->isVisible());
}

void PruebaAcercade::teclasYCierreHabilitanLaVentanaPrincipal()
{
    frmMenuPrincipal& principal = Ventana<frmMenuPrincipal>();
    for (const int tecla : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) {
        auto ventana = Abre();
        QVERIFY(!principal.isEnabled());
        if (tecla)
            QTest::keyClick(Hijo<QPushButton>(ventana, "cmdAcercade"), Qt::Key(tecla));
        else
            ventana->close();
        QVERIFY(!ventana || !ventana->isVisible());
        QVERIFY(principal.isEnabled());
    }
}

QTEST_MAIN(PruebaAcercade)
#include "tst_acercade.moc"
