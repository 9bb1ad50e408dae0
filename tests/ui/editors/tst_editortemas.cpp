// The topic editor: checks on the name, writing the topic and its items, and the tree and
// detail area afterwards.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/LimiteCaracteres.h"
#include "ui/Ventanas.h"
#include "ui/editors/frmTemas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QPointer>
#include <QTest>

#include <sqlite3.h>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0");

// Selects a topic in the tree as the user would, and opens the editor on it.
QPointer<frmTemas> Edita(const QString& nombre)
{
    EligeTema(nombre);
    Principal().cmdEditarTema_Click();
    return &Ventana<frmTemas>();
}

QPointer<frmTemas> Nuevo()
{
    Principal().cmdNuevoTema_Click();
    return &Ventana<frmTemas>();
}

void Escribe(frmTemas& editor, const QString& nombre, const QString& notas = {})
{
    Hijo<QLineEdit>(editor, "txtNombreTema")->setText(nombre);
    Hijo<QPlainTextEdit>(editor, "txtMemoTema")->setPlainText(notas);
}

bool Cerrado(const QPointer<frmTemas>& editor)
{
    return !editor || !editor->isVisible();
}

QStringList Temas()
{
    QStringList nombres;
    modTALVEXV20().dbPrincipal.RecorreTemas([&](const Tema& t) { nombres << t.NOMBRETEMA; });
    return nombres;
}

QString TemaDe(const QString& ingles)
{
    return modTALVEXV20().dbPrincipal.LocalizaItem(ingles)->NOMBRETEMA;
}
} // namespace

class PruebaEditorTemas : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void abreVacioONombreYNotas();
    void nombreVacioSePideYEnBlancoSeGuarda();
    void duplicadoEnCualquierCasoSeRechaza();
    void renombrarLlevaElNombreALosItemsExactos();
    void trasGuardarElArbolMuestraElTema();
    void teclasYSalidasHabilitanLaVentana();
    void unaEscrituraFallidaSeAvisaYNoCambiaNada();
    void unFalloAMitadDeRenombrarDeshaceTodo();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaEditorTemas::abreVacioONombreYNotas()
{
    Arranca(*entorno, {}, {});
    Principal().cmdEditarTema_Click(); // no topics: nothing opens
    QVERIFY(!VentanaCargada<frmTemas>());
    QVERIFY(Principal().isEnabled());

    auto editor = Nuevo();
    QCOMPARE(editor->windowTitle(), QStringLiteral("Tema nuevo"));
    QVERIFY(!Principal().isEnabled());
    QVERIFY(Hijo<QLineEdit>(editor, "txtNombreTema")->text().isEmpty());
    QCOMPARE(Hijo<QLabel>(editor, "lblNombreTema")->text(), QStringLiteral("Nombre &tema :"));
    QCOMPARE(Hijo<QLabel>(editor, "lblNotasTema")->text(), QStringLiteral("&Notas :"));
    QCOMPARE(Hijo<QLabel>(editor, "lblNombreTema")->buddy(),
             Hijo<QLineEdit>(editor, "txtNombreTema"));
    QCOMPARE(LimiteDe(*Hijo<QLineEdit>(editor, "txtNombreTema")), 50);
    Escribe(*editor, "Colores", "Rojo, verde\ny azul.");
    Hijo<QPushButton>(editor, "cmdAceptarTema")
        ->click(); // an empty tree saves with no duplicate check
    QVERIFY(Cerrado(editor));
    QCOMPARE(modTALVEXV20().dbPrincipal.LocalizaTema("Colores")->NOTASTEMA,
             QStringLiteral("Rojo, verde\r\ny azul."));

    editor = Edita("Colores");
    QCOMPARE(editor->windowTitle(), QStringLiteral("Editar tema"));
    QCOMPARE(Hijo<QLineEdit>(editor, "txtNombreTema")->text(), QStringLiteral("Colores"));
    QCOMPARE(Hijo<QPlainTextEdit>(editor, "txtMemoTema")->toPlainText(),
             QStringLiteral("Rojo, verde\ny azul."));
    Hijo<QPushButton>(editor, "cmdCancelarTema")->click();
}

void PruebaEditorTemas::nombreVacioSePideYEnBlancoSeGuarda()
{
    Arranca(*entorno, {{"Casa", ""}}, {});
    auto editor = Nuevo();
    entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QCOMPARE(entorno->plataforma.mensajes.last().texto,
             QStringLiteral("¡¡ Por favor, ingrese el nombre de un tema !!"));
    QCOMPARE(entorno->plataforma.mensajes.last().titulo, Titulo);
    QCOMPARE(entorno->plataforma.mensajes.last().icono, IconoMensaje::Exclamacion);
    QVERIFY(!Cerrado(editor));
    QVERIFY(!Principal().isEnabled());
    QCOMPARE(Temas(), QStringList{"Casa"});

    Escribe(*editor, "   ");
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QVERIFY(Cerrado(editor));
    QCOMPARE(Temas(), (QStringList{"   ", "Casa"}));
}

void PruebaEditorTemas::duplicadoEnCualquierCasoSeRechaza()
{
    Arranca(*entorno, {{"Casa", "notas"}, {"Verbos", ""}}, {});
    const QByteArray antes = LeeArchivo(entorno->Ruta("TALVEXV20.MDB"));
    // New mode: any case, also against the selected topic.
    for (const QString& nombre : {QStringLiteral("CASA"), QStringLiteral("verbos")}) {
        Edita(nombre == "CASA" ? "Casa" : "Verbos")->close();
        auto editor = Nuevo();
        Escribe(*editor, nombre);
        entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
        Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
        QCOMPARE(entorno->plataforma.mensajes.last().texto,
                 QStringLiteral("¡¡ Ya existe un tema con ese nombre !!"));
        QCOMPARE(entorno->plataforma.mensajes.last().titulo, Titulo);
        QVERIFY(!Cerrado(editor));
        QCOMPARE(Hijo<QLineEdit>(editor, "txtNombreTema")->selectedText(), nombre);
        editor->close();
    }
    // Edit mode: another topic's name in any case is refused.
    auto editor = Edita("Verbos");
    Escribe(*editor, "cAsA");
    entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QCOMPARE(entorno->plataforma.mensajes.last().texto,
             QStringLiteral("¡¡ Ya existe un tema con ese nombre !!"));
    editor->close();
    QCOMPARE(LeeArchivo(entorno->Ruta("TALVEXV20.MDB")), antes);
    QCOMPARE(entorno->plataforma.pitidos, 3);
}

void PruebaEditorTemas::renombrarLlevaElNombreALosItemsExactos()
{
    Arranca(*entorno, {{"verbos", "acciones"}, {"Animales", ""}},
            {{"run", "correr", "verbos", ""},
             {"eat", "comer", "verbos", ""},
             {"walk", "caminar", "VERBOS", ""},
             {"dog", "perro", "Animales", ""}});
    auto editor = Edita("verbos");
    Escribe(*editor, "Verbos", "acciones\ncomunes");
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QVERIFY(Cerrado(editor));
    QCOMPARE(Temas(), (QStringList{"Animales", "Verbos"}));
    QCOMPARE(TemaDe("run"), QStringLiteral("Verbos"));
    QCOMPARE(TemaDe("eat"), QStringLiteral("Verbos"));
    QCOMPARE(TemaDe("walk"), QStringLiteral("VERBOS")); // differed in case: not this topic's
    QCOMPARE(TemaDe("dog"), QStringLiteral("Animales"));

    // Only the notes changed: the name and the items stay.
    editor = Edita("Animales");
    Escribe(*editor, "Animales", "Mascotas y salvajes.");
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QCOMPARE(modTALVEXV20().dbPrincipal.LocalizaTema("Animales")->NOTASTEMA,
             QStringLiteral("Mascotas y salvajes."));
    QCOMPARE(TemaDe("dog"), QStringLiteral("Animales"));
}

void PruebaEditorTemas::trasGuardarElArbolMuestraElTema()
{
    Arranca(*entorno, {{"Casa", ""}, {"Verbos", ""}},
            {{"run", "correr", "Verbos", "run – ran – run"}});
    auto editor = Nuevo();
    Escribe(*editor, "Animales", "Perros y gatos.");
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    frmMenuPrincipal& v = Principal();
    QCOMPARE(v.ModeloArbol->Nombres(), (QStringList{"Animales", "Casa", "Verbos"}));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(v, "TreeTemas")), 0);
    QCOMPARE(v.ModeloArbol->FilaAbierta(), 0);
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("Animales"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(),
             QStringLiteral("Perros y gatos."));
    QCOMPARE(Principal().TemaActual, QStringLiteral("Animales"));

    // A rename moves the node to its place and shows its items.
    editor = Edita("Verbos");
    Escribe(*editor, "Acciones", "Verbos de acción.");
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QCOMPARE(v.ModeloArbol->Nombres(), (QStringList{"Acciones", "Animales", "Casa"}));
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(v, "TreeTemas")), 0);
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("Acciones"));
    QCOMPARE(v.ModeloListaTema->rowCount(), 1);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(),
             QStringLiteral("run – ran – run"));
    QVERIFY(v.isEnabled());
}

void PruebaEditorTemas::teclasYSalidasHabilitanLaVentana()
{
    Arranca(*entorno, {{"Casa", "notas"}}, {});
    const QByteArray antes = LeeArchivo(entorno->Ruta("TALVEXV20.MDB"));

    auto editor = Nuevo();
    editor->show();
    QApplication::setActiveWindow(editor);
    Hijo<QLineEdit>(editor, "txtNombreTema")->setFocus();
    Teclea(Hijo<QLineEdit>(editor, "txtNombreTema"), "Ropa");
    QTest::keyClick(Hijo<QLineEdit>(editor, "txtNombreTema"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), Hijo<QPlainTextEdit>(editor, "txtMemoTema"));
    QTest::keyClick(Hijo<QPlainTextEdit>(editor, "txtMemoTema"), 'a');
    QTest::keyClick(Hijo<QPlainTextEdit>(editor, "txtMemoTema"), Qt::Key_Return);
    QTest::keyClick(Hijo<QPlainTextEdit>(editor, "txtMemoTema"), 'b');
    QCOMPARE(Hijo<QPlainTextEdit>(editor, "txtMemoTema")->toPlainText(), QStringLiteral("a\nb"));
    Hijo<QLineEdit>(editor, "txtNombreTema")->setFocus();
    QTest::keyClick(Hijo<QLineEdit>(editor, "txtNombreTema"), Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), Hijo<QPushButton>(editor, "cmdCancelarTema"));
    Hijo<QLineEdit>(editor, "txtNombreTema")->setFocus();
    QTest::keyClick(Hijo<QLineEdit>(editor, "txtNombreTema"), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), Hijo<QPlainTextEdit>(editor, "txtMemoTema"));
    // Escape from the notes box closes without writing.
    QTest::keyClick(Hijo<QPlainTextEdit>(editor, "txtMemoTema"), Qt::Key_Escape);
    QVERIFY(Cerrado(editor));
    QVERIFY(Principal().isEnabled());

    editor = Edita("Casa");
    Escribe(*editor, "Hogar");
    QTest::keyClick(Hijo<QLineEdit>(editor, "txtNombreTema"), Qt::Key_Escape);
    QVERIFY(Cerrado(editor));
    QVERIFY(Principal().isEnabled());

    editor = Edita("Casa");
    Hijo<QPushButton>(editor, "cmdCancelarTema")->click();
    QVERIFY(Principal().isEnabled());
    editor = Nuevo();
    editor->close(); // the title bar's close box
    QVERIFY(Principal().isEnabled());
    QCOMPARE(LeeArchivo(entorno->Ruta("TALVEXV20.MDB")), antes);
}

void PruebaEditorTemas::unaEscrituraFallidaSeAvisaYNoCambiaNada()
{
    Arranca(*entorno, {{"Casa", ""}}, {{"house", "casa", "Casa", ""}});
    const QByteArray antes = LeeArchivo(entorno->Ruta("TALVEXV20.MDB"));
    ImpideEscrituras();
    for (const bool nuevo : {true, false}) {
        auto editor = nuevo ? Nuevo() : Edita("Casa");
        Escribe(*editor, nuevo ? "Ropa" : "Hogar");
        entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
        Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
        const Mensaje& mensaje = entorno->plataforma.mensajes.last();
        QVERIFY2(mensaje.texto.startsWith(QStringLiteral("¡¡ Error ")) &&
                     mensaje.texto.endsWith(QStringLiteral(" !!")),
                 qPrintable(mensaje.texto));
        QCOMPARE(mensaje.icono, IconoMensaje::Critico);
        QCOMPARE(mensaje.titulo, Titulo);
        QVERIFY(!Cerrado(editor));
        QVERIFY(Principal().isEnabled());
        editor->close();
    }
    QCOMPARE(Principal().ModeloArbol->Nombres(), QStringList{"Casa"});
    QCOMPARE(LeeArchivo(entorno->Ruta("TALVEXV20.MDB")), antes);
}

void PruebaEditorTemas::unFalloAMitadDeRenombrarDeshaceTodo()
{
    Arranca(*entorno, {{"Casa", ""}}, {{"house", "casa", "Casa", ""}});
    // The topic row is written first; the items' rewrite then fails.
    QCOMPARE(sqlite3_exec(modTALVEXV20().dbPrincipal.Conexion(),
                          "CREATE TEMP TRIGGER falla BEFORE UPDATE ON ITEMS "
                          "BEGIN SELECT RAISE(ABORT, 'disco averiado'); END",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    auto editor = Edita("Casa");
    Escribe(*editor, "Hogar");
    entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QVERIFY(entorno->plataforma.mensajes.last().texto.startsWith(QStringLiteral("¡¡ Error ")));
    QVERIFY(!Cerrado(editor));
    QCOMPARE(Temas(), QStringList{"Casa"});
    QCOMPARE(TemaDe("house"), QStringLiteral("Casa"));
    QCOMPARE(Principal().ModeloArbol->Nombres(), QStringList{"Casa"});
    editor->close();
}

QTEST_MAIN(PruebaEditorTemas)
#include "tst_editortemas.moc"
