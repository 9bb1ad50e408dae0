// The main window's preview and print commands.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/report/InformeNotas.h"
#include "ui/report/frmImprimirNotas.h"
#include "ui/ventanas/frmEspera.h"

#include <QFile>
#include <QTest>

namespace {
} // namespace

class PruebaComandosNotas : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void sinNotasNoHayInforme();
    void vistaPreviaConfirmada();
    void impresionDirecta();

private:
    QString Reporte() const { return entorno->Raiz(0) + "/TALVEXV20/TalvexReport.mdb"; }
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaComandosNotas::sinNotasNoHayInforme()
{
    Arranca(*entorno, {}, {});
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QString());
    const QByteArray antes = LeeArchivo(Reporte());
    for (auto comando : {&frmMenuPrincipal::cmdVistaPreviaNotas_Click,
                         &frmMenuPrincipal::cmdImprimirNotas_Click}) {
        entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
        (Principal().*comando)();
        const Mensaje& mensaje = entorno->plataforma.mensajes.last();
        QCOMPARE(mensaje.texto, QStringLiteral("¡¡ No existen registros activos !!"));
        QCOMPARE(mensaje.icono, IconoMensaje::Informacion);
        QCOMPARE(mensaje.titulo, QStringLiteral("TALVEX Ver. 2.0"));
    }
    QCOMPARE(entorno->plataforma.pitidos, 2);
    QCOMPARE(entorno->plataforma.impresiones, 0);
    QCOMPARE(LeeArchivo(Reporte()), antes);
}

void PruebaComandosNotas::vistaPreviaConfirmada()
{
    Arranca(*entorno, {}, {{"house", "casa", "Casa", "Una casa."}});
    entorno->plataforma.respuestas = {RespuestaMensaje::No};
    Principal().cmdVistaPreviaNotas_Click();
    QCOMPARE(entorno->plataforma.mensajes.last().texto,
             QStringLiteral("¿ Quiere ver las notas por pantalla ?"));
    QCOMPARE(entorno->plataforma.mensajes.last().porDefecto, RespuestaMensaje::No);
    QVERIFY(Principal().isEnabled());
    QVERIFY(!VentanaCargada<frmImprimirNotas>());

    QString espera;
    entorno->plataforma.alPausar = [&] {
        espera = Hijo<QLabel>(Ventana<frmEspera>(), "lblEsperar")->text();
    };
    entorno->plataforma.respuestas = {RespuestaMensaje::Si};
    Principal().cmdVistaPreviaNotas_Click();
    QCOMPARE(espera, QStringLiteral("Preparando la vista previa..."));
    QVERIFY(Ventana<frmImprimirNotas>().isVisible());
    QVERIFY(!Ventana<frmEspera>().isVisible());
    QVERIFY(!Principal().isEnabled());
    QCOMPARE(LeeInforme(Reporte()).size(), size_t(1));
    QCOMPARE(Ventana<frmImprimirNotas>().cboZoom->currentText(), QStringLiteral("100%"));
    Ventana<frmImprimirNotas>().close();
    QVERIFY(Principal().isEnabled());
}

void PruebaComandosNotas::impresionDirecta()
{
    Arranca(*entorno, {}, {{"apple", "manzana", "", ""}, {"house", "casa", "Casa", "Una casa."}});
    frmMenuPrincipal& v = Principal();
    frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(v, "lvwItems"), 1, true);
    v.ActivaItems();
    entorno->plataforma.pdf = entorno->Ruta("notas.pdf");
    Principal().cmdImprimirNotas_Click();
    QCOMPARE(entorno->plataforma.impresiones, 1);
    QVERIFY(LeeArchivo(entorno->Ruta("notas.pdf")).startsWith("%PDF"));
    QCOMPARE(dsrImprimirNotas().Titulo(), QStringLiteral("Notas"));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(v, "lvwItems")), 0);
    QCOMPARE(v.focusWidget(), Hijo<QLineEdit>(v, "txtBuscaItem"));
    QVERIFY(entorno->plataforma.mensajes.isEmpty()); // no question before a direct print

    // Cancelled in the print dialog: nothing printed, the list still back at its top.
    QFile::remove(entorno->Ruta("notas.pdf"));
    entorno->plataforma.cancelaImpresion = true;
    frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(v, "lvwItems"), 1, true);
    Principal().cmdImprimirNotas_Click();
    QVERIFY(!QFile::exists(entorno->Ruta("notas.pdf")));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(v, "lvwItems")), 0);
}

QTEST_MAIN(PruebaComandosNotas)
#include "tst_comandosnotas.moc"
