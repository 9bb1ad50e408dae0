// Deleting topics (their items stay, under "Sin categoría") and items.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"
#include "ui/ventanas/frmEspera.h"

#include <QLineEdit>
#include <QTest>

namespace {

QString TemaDe(const QString& ingles)
{
    return modTALVEXV20().dbPrincipal.LocalizaItem(ingles)->NOMBRETEMA;
}

QStringList Ingleses()
{
    QStringList textos;
    for (const FilaLista& fila : Principal().ModeloItems->Filas())
        textos << fila.ingles;
    return textos;
}
} // namespace

class PruebaEliminacion : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void sinSeleccionNoHaceNada();
    void temaConItemsLosDejaSinCategoria();
    void trasBorrarSeEligeElTemaMasAntiguo();
    void unFalloDejaTodoComoEstaba();
    void itemConfirmadoONo();
    void elUltimoItemVaciaLaVista();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaEliminacion::sinSeleccionNoHaceNada()
{
    Arranca(*entorno, {}, {});
    Principal().cmdEliminarTema_Click();
    Principal().cmdEliminarItem_Click();
    QVERIFY(entorno->plataforma.mensajes.isEmpty());
    QCOMPARE(entorno->plataforma.pitidos, 0);
}

void PruebaEliminacion::temaConItemsLosDejaSinCategoria()
{
    Arranca(*entorno, {{"Casa", "notas de casa"}, {"Verbos", "notas de verbos"}},
            {{"house", "casa", "Casa", ""},
             {"roof", "tejado", "Casa", ""},
             {"door", "puerta", "CASA", ""},
             {"run", "correr", "Verbos", ""}});
    EligeTema("Casa");
    entorno->plataforma.respuestas = {RespuestaMensaje::No};
    Principal().cmdEliminarTema_Click();
    const Mensaje pregunta = entorno->plataforma.mensajes.last();
    QCOMPARE(pregunta.texto, QStringLiteral("¿ Está seguro de eliminar el tema: Casa ?"));
    QCOMPARE(pregunta.titulo, QStringLiteral("TALVEX Ver. 2.0"));
    QCOMPARE(pregunta.icono, IconoMensaje::Pregunta);
    QCOMPARE(pregunta.porDefecto, RespuestaMensaje::No);
    QVERIFY(modTALVEXV20().dbPrincipal.LocalizaTema("Casa"));

    QString espera;
    bool deshabilitada = false;
    entorno->plataforma.alPausar = [&] {
        espera = Hijo<QLabel>(Ventana<frmEspera>(), "lblEsperar")->text();
        deshabilitada = !Principal().isEnabled() && Ventana<frmEspera>().isVisible();
    };
    entorno->plataforma.respuestas = {RespuestaMensaje::Si};
    Principal().cmdEliminarTema_Click();
    QCOMPARE(espera, QStringLiteral("Eliminando..."));
    QCOMPARE(entorno->plataforma.pausas.last(), 1000);
    QVERIFY(deshabilitada);
    QVERIFY(Principal().isEnabled());
    QVERIFY(!Ventana<frmEspera>().isVisible());

    QVERIFY(!modTALVEXV20().dbPrincipal.LocalizaTema("Casa"));
    QCOMPARE(TemaDe("house"), QStringLiteral("Sin categoría"));
    QCOMPARE(TemaDe("roof"), QStringLiteral("Sin categoría"));
    QCOMPARE(TemaDe("door"), QStringLiteral("CASA"));
    QCOMPARE(TemaDe("run"), QStringLiteral("Verbos"));
    QCOMPARE(Ingleses().size(), 4);
    QCOMPARE(Principal().ModeloArbol->Nombres(), QStringList{"Verbos"});
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QStringLiteral("Verbos"));
    QCOMPARE(Hijo<QPlainTextEdit>(Principal(), "txtMemoNotas")->toPlainText(),
             QStringLiteral("notas de verbos"));
    QCOMPARE(Principal().ModeloListaTema->rowCount(), 1);

    // The last topic leaves an empty tree, heading and notes.
    entorno->plataforma.respuestas = {RespuestaMensaje::Si};
    Principal().cmdEliminarTema_Click();
    QCOMPARE(Principal().ModeloArbol->rowCount(), 0);
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QString());
    QCOMPARE(Hijo<QPlainTextEdit>(Principal(), "txtMemoNotas")->toPlainText(), QString());
    QCOMPARE(TemaDe("run"), QStringLiteral("Sin categoría"));
}

void PruebaEliminacion::trasBorrarSeEligeElTemaMasAntiguo()
{
    Arranca(*entorno, {{"Bosque", ""}, {"Ciudad", ""}}, {});
    // "Arte" is added after start-up: first in the tree, but the newest node.
    Principal().ModeloArbol->AgregaTema("Arte");
    modTALVEXV20().dbPrincipal.AgregaTema({"Arte", ""});
    EligeTema("Ciudad");
    entorno->plataforma.respuestas = {RespuestaMensaje::Si};
    Principal().cmdEliminarTema_Click();
    QCOMPARE(Principal().ModeloArbol->Nombres(), (QStringList{"Arte", "Bosque"}));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(Principal(), "TreeTemas")), 1);
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QStringLiteral("Bosque"));
}

void PruebaEliminacion::unFalloDejaTodoComoEstaba()
{
    Arranca(*entorno, {{"Casa", ""}}, {{"house", "casa", "Casa", ""}});
    const QByteArray antes = LeeArchivo(entorno->Ruta("TALVEXV20.MDB"));
    ImpideEscrituras();
    EligeTema("Casa");
    entorno->plataforma.respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar};
    Principal().cmdEliminarTema_Click();
    QVERIFY(entorno->plataforma.mensajes.last().texto.startsWith(QStringLiteral("¡¡ Error ")));
    QCOMPARE(entorno->plataforma.mensajes.last().icono, IconoMensaje::Critico);
    QVERIFY(Principal().isEnabled());
    QVERIFY(!Ventana<frmEspera>().isVisible());
    QCOMPARE(Principal().ModeloArbol->Nombres(), QStringList{"Casa"});

    EligeItem("house");
    entorno->plataforma.respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar};
    Principal().cmdEliminarItem_Click();
    QVERIFY(entorno->plataforma.mensajes.last().texto.startsWith(QStringLiteral("¡¡ Error ")));
    QVERIFY(Principal().isEnabled());
    QCOMPARE(Ingleses(), QStringList{"house"});
    QCOMPARE(LeeArchivo(entorno->Ruta("TALVEXV20.MDB")), antes);
}

void PruebaEliminacion::itemConfirmadoONo()
{
    Arranca(*entorno, {{"Casa", ""}},
            {{"apple", "manzana", "Comida", ""},
             {"house", "casa", "Casa", "notas de house"},
             {"roof", "tejado", "Casa", "notas de roof"}});
    EligeTema("Casa");
    EligeItem("house");
    QCOMPARE(Hijo<QPlainTextEdit>(Principal(), "txtMemoNotas")->height(), Twips(3645));
    // No deletes nothing but still shows the item.
    entorno->plataforma.respuestas = {RespuestaMensaje::No};
    Principal().cmdEliminarItem_Click();
    QCOMPARE(entorno->plataforma.mensajes.last().texto,
             QStringLiteral("¿ Está seguro de eliminar el item: house ?"));
    QCOMPARE(entorno->plataforma.mensajes.last().titulo, QStringLiteral("TALVEX Ver. 2.0"));
    QCOMPARE(Ingleses(), (QStringList{"apple", "house", "roof"}));
    QCOMPARE(Hijo<QPlainTextEdit>(Principal(), "txtMemoNotas")->height(), Twips(5320));
    QCOMPARE(Hijo<QPlainTextEdit>(Principal(), "txtMemoNotas")->toPlainText(),
             QStringLiteral("notas de house"));
    QCOMPARE(Principal().ModeloListaTema->rowCount(), 0);

    entorno->plataforma.respuestas = {RespuestaMensaje::Si};
    Principal().cmdEliminarItem_Click();
    QCOMPARE(Ingleses(), (QStringList{"apple", "roof"}));
    QVERIFY(!modTALVEXV20().dbPrincipal.LocalizaItem("house"));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(Principal(), "lvwItems")),
             1); // a neighbour
    QCOMPARE(Hijo<QLineEdit>(Principal(), "txtBuscaItem")->text(), QStringLiteral("roof"));
    QCOMPARE(Hijo<QPlainTextEdit>(Principal(), "txtMemoNotas")->toPlainText(),
             QStringLiteral("notas de roof"));

    // The deleted text is never completed again.
    Hijo<QLineEdit>(Principal(), "txtBuscaItem")->clear();
    Teclea(Hijo<QLineEdit>(Principal(), "txtBuscaItem"), "h");
    QCOMPARE(Hijo<QLineEdit>(Principal(), "txtBuscaItem")->text(), QStringLiteral("h"));
}

void PruebaEliminacion::elUltimoItemVaciaLaVista()
{
    Arranca(*entorno, {}, {{"house", "casa", "Casa", "notas"}});
    EligeItem("house");
    entorno->plataforma.respuestas = {RespuestaMensaje::Si};
    Principal().cmdEliminarItem_Click();
    QCOMPARE(Principal().ModeloItems->rowCount(), 0);
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QString());
    QCOMPARE(Hijo<QLabel>(Principal(), "lblCategoria")->text(), QString());
    QCOMPARE(Hijo<QPlainTextEdit>(Principal(), "txtMemoNotas")->toPlainText(), QString());
    QCOMPARE(Hijo<QLineEdit>(Principal(), "txtBuscaItem")->text(), QString());
    Principal().cmdEliminarItem_Click(); // nothing left to delete: no question
    QCOMPARE(entorno->plataforma.mensajes.size(), 1);
}

QTEST_MAIN(PruebaEliminacion)
#include "tst_eliminacion.moc"
