#include "apoyo/Interfaz.h"
#include "apoyo/Hijo.h"

#include "inicio/Main.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <sqlite3.h>

void Arranca(EntornoPrueba& entorno, const QList<Tema>& temas, const QList<Item>& items)
{
    entorno.CreaBases();
    BaseVocabulario base;
    base.Abre(entorno.Ruta("TALVEXV20.MDB"));
    for (const Tema& tema : temas)
        base.AgregaTema(tema);
    for (const Item& item : items)
        base.AgregaItem(item);
    base.Cierra();
    Main();
    Ventana<frmMenuPrincipal>().activateWindow();
}

void ArrancaOtraVez(EntornoPrueba& entorno)
{
    entorno.NuevoProceso();
    Main();
    Ventana<frmMenuPrincipal>().activateWindow();
}

void Teclea(QWidget* control, const QString& texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        // A character beyond the Basic Multilingual Plane arrives whole, in one key event.
        const bool par = texto[i].isHighSurrogate() && i + 1 < texto.size();
        const QString letra = texto.mid(i, par ? 2 : 1);
        i += par ? 1 : 0;
        const auto tecla = par ? Qt::Key_unknown : Qt::Key(letra[0].toUpper().unicode());
        QKeyEvent pulsa(QEvent::KeyPress, tecla, Qt::NoModifier, letra);
        QApplication::sendEvent(control, &pulsa);
        QKeyEvent suelta(QEvent::KeyRelease, tecla, Qt::NoModifier, letra);
        QApplication::sendEvent(control, &suelta);
    }
}

void ImpideEscrituras()
{
    // As root, file permissions would not stop a write; the connection itself refuses.
    QVERIFY(sqlite3_exec(modTALVEXV20().dbPrincipal.Conexion(), "PRAGMA query_only = ON", nullptr,
                         nullptr, nullptr) == SQLITE_OK);
}

frmMenuPrincipal& Principal()
{
    return Ventana<frmMenuPrincipal>();
}

void EligeTema(const QString& nombre)
{
    frmMenuPrincipal& v = Principal();
    frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(v, "TreeTemas"),
                                     int(v.ModeloArbol->Nombres().indexOf(nombre)), true);
    v.ActivaTemas();
}

void EligeItem(const QString& ingles)
{
    frmMenuPrincipal& v = Principal();
    frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(v, "lvwItems"),
                                     v.ModeloItems->BuscaFila(ingles), true);
    v.ActivaItems();
}

void EscribeInforme(const QString& ruta, const std::vector<FilaInforme>& filas)
{
    BaseReporte base;
    base.Abre(ruta);
    base.EnTransaccion([&] {
        base.VaciaInforme();
        for (const FilaInforme& fila : filas)
            base.AgregaFila(fila);
    });
}

QStringList TextosDeAcciones(const QList<QAction*>& acciones)
{
    QStringList textos;
    for (const QAction* accion : acciones)
        textos << (accion->isSeparator() ? QStringLiteral("-") : accion->text());
    return textos;
}

QStringList VueltaConTab(QWidget* inicio, bool atras)
{
    inicio->setFocus(Qt::TabFocusReason);
    QStringList visitados{inicio->objectName()};
    for (int vez = 0; vez < 40; ++vez) {
        QTest::keyClick(QApplication::focusWidget(), atras ? Qt::Key_Backtab : Qt::Key_Tab,
                        atras ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget* foco = QApplication::focusWidget();
        if (foco == inicio)
            break;
        visitados << (foco ? foco->objectName() : QStringLiteral("(sin foco)"));
    }
    return visitados;
}

void CompruebaQueTabNoSeQueda(QWidget& ventana)
{
    QList<QWidget*> alcanzables;
    for (QWidget* control : ventana.findChildren<QWidget*>())
        if (control->focusPolicy() & Qt::TabFocus && control->isVisibleTo(&ventana) &&
            control->isEnabled() && !control->focusProxy())
            alcanzables << control;
    if (alcanzables.size() < 2)
        return; // a window with one control has nowhere else to go
    for (QWidget* control : alcanzables) {
        control->setFocus(Qt::TabFocusReason);
        if (QApplication::focusWidget() != control)
            continue;
        QTest::keyClick(control, Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() != control, qPrintable(control->objectName()));
    }
}
