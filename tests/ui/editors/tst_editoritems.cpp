// The item editor: its topic list, the checks on the English text, writing the item, the
// keys, and what the index and the detail area show after a save or a close.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/editors/frmItems.h"
#include "ui/main/AgregaColumna.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QPointer>
#include <QTest>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver 2.0");
const QList<Tema> Temas{{"Viajes", ""}, {"Casa", ""}, {"árboles", ""}, {"Animales", ""}};
const QStringList Entradas{"Sin categoría", "Animales", "árboles", "Casa", "Viajes"};
const QList<Item> Items{
    {"house", "casa", "Casa", "Una casa.\r\nPlural: houses."},
    {"home", "hogar", "casa", ""},
    {"apple", "manzana", "", "Fruta."},
    {"zebra", "cebra", "Animales", ""},
};

// A closed editor is gone once the deletions the event loop would run have run.
void EjecutaBorrados()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The editor when it is open.
frmItems* Editor()
{
    EjecutaBorrados();
    if (!VentanaCargada<frmItems>() || !Ventana<frmItems>().isVisible())
        return nullptr;
    return &Ventana<frmItems>();
}

frmItems& Nuevo()
{
    EjecutaBorrados();
    Hijo<QPushButton>(Principal(), "cmdNuevoItems")->click();
    frmItems* editor = Editor();
    if (!editor)
        qFatal("el editor no se abrió");
    return *editor;
}

// Selects the row as the user would and opens the editor on it.
frmItems& Edita(const QString& ingles)
{
    EjecutaBorrados();
    frmMenuPrincipal& v = Principal();
    frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(v, "lvwItems"),
                                     v.ModeloItems->BuscaFila(ingles), true);
    v.ActivaItems();
    Hijo<QPushButton>(v, "cmdEditarItems")->click();
    frmItems* editor = Editor();
    if (!editor)
        qFatal("el editor no se abrió");
    return *editor;
}

void Reemplaza(QLineEdit& caja, const QString& texto)
{
    caja.selectAll();
    QTest::keyClick(&caja, Qt::Key_Backspace);
    Teclea(&caja, texto);
}

QStringList EntradasDe(const QComboBox& lista)
{
    QStringList textos;
    for (int i = 0; i < lista.count(); ++i)
        textos << lista.itemText(i);
    return textos;
}

QStringList Columna()
{
    QStringList textos;
    for (const FilaLista& fila : Principal().ModeloItems->Filas())
        textos << fila.ingles;
    return textos;
}

QStringList Guardados()
{
    QStringList textos;
    modTALVEXV20().dbPrincipal.RecorreItems([&](const Item& i) { textos << i.ITEMING; });
    return textos;
}

QString FilaElegida()
{
    const int fila = frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(Principal(), "lvwItems"));
    return fila < 0 ? QString() : Principal().ModeloItems->Filas()[size_t(fila)].ingles;
}

bool FilaVisible(const QString& ingles)
{
    const QTreeView& lista = *Hijo<QTreeView>(Principal(), "lvwItems");
    const QRect fila = lista.visualRect(
        Principal().ModeloItems->index(Principal().ModeloItems->BuscaFila(ingles), 0));
    return lista.viewport()->rect().contains(fila.center());
}

// Many rows, so that a saved row has to be scrolled into view.
QList<Item> ItemsMuchos()
{
    QList<Item> items = Items;
    for (int i = 0; i < 150; ++i)
        items << Item{QStringLiteral("m%1").arg(i, 3, 10, QLatin1Char('0')), "relleno", "", ""};
    return items;
}
} // namespace

class PruebaEditorItems : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void laVentanaTapaLaListaConLaCaja();
    void nuevoOfreceSinCategoriaYLosTemas();
    void sinTemasNadaElegidoYSeGuardaVacio();
    void editarMuestraElItemYSuTema_data();
    void editarMuestraElItemYSuTema();
    void elegirSoloCambiaLaCajaTrasLlenar();
    void rechazaElTextoInglesVacioODuplicado_data();
    void rechazaElTextoInglesVacioODuplicado();
    void editarAlTextoDeOtroItemSeRechaza();
    void unaEscrituraFallidaSeAvisaYNoCambiaNada_data();
    void unaEscrituraFallidaSeAvisaYNoCambiaNada();
    void editarUnItemQueYaNoEstaDaError();
    void introYFlechasRecorrenLasCajas();
    void escapeCierraSinGuardar_data();
    void escapeCierraSinGuardar();
    void guardarMuestraLaFilaEnOrden_data();
    void guardarMuestraLaFilaEnOrden();
    void elPrimerItemCreaElIndice();
    void cerrarDevuelveLaVentanaPrincipal_data();
    void cerrarDevuelveLaVentanaPrincipal();
    void editarSinFilaElegidaNoAbre();
    void introEnLaBusquedaEditaLaFilaElegida();
    void unTextoGuardadoLargoNoSeCorta();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaEditorItems::laVentanaTapaLaListaConLaCaja()
{
    Arranca(*entorno, Temas, Items);
    frmItems& e = Nuevo();
    QCOMPARE(e.objectName(), QStringLiteral("frmItems"));
    QCOMPARE(e.size(), QSize(Twips(6120), Twips(6840)));
    QVERIFY(!Principal().isEnabled());
    // The read-only box covers the list but for its drop-down arrow.
    const QRect caja = Hijo<QLineEdit>(e, "txtCategoriaItem")->geometry();
    QCOMPARE(caja.topLeft(), Hijo<QComboBox>(e, "cboCategoriaItem")->geometry().topLeft());
    QCOMPARE(Hijo<QComboBox>(e, "cboCategoriaItem")->width() - caja.width(),
             Twips(4300) - Twips(4030));
    QCOMPARE(e.childAt(caja.center()), Hijo<QLineEdit>(e, "txtCategoriaItem"));
    QCOMPARE(e.childAt(QPoint(Hijo<QComboBox>(e, "cboCategoriaItem")->geometry().right() - 4,
                              caja.center().y())),
             Hijo<QComboBox>(e, "cboCategoriaItem"));
    QCOMPARE(Hijo<QLabel>(e, "lblItemIng")->palette().color(QPalette::WindowText),
             QColor(0, 0, 128));
    // Each caption shows whole before the box that lies over the end of its label.
    for (const auto& [etiqueta, caja] :
         {std::pair<QLabel*, QWidget*>{Hijo<QLabel>(e, "lblItemIng"),
                                       Hijo<QLineEdit>(e, "txtItemIng")},
          {Hijo<QLabel>(e, "lblItemEsp"), Hijo<QLineEdit>(e, "txtItemEsp")},
          {Hijo<QLabel>(e, "lblCategoriaItem"), Hijo<QLineEdit>(e, "txtCategoriaItem")}}) {
        const QString texto = QString(etiqueta->text()).remove('&');
        QVERIFY(etiqueta->x() + etiqueta->fontMetrics().horizontalAdvance(texto) < caja->x());
    }
    QCOMPARE(e.focusWidget(), Hijo<QLineEdit>(e, "txtItemIng"));
    // Tab walks the controls in their order, the list under the box included.
    QWidget* orden[] = {
        Hijo<QLineEdit>(e, "txtItemIng"),       Hijo<QLineEdit>(e, "txtItemEsp"),
        Hijo<QLineEdit>(e, "txtCategoriaItem"), Hijo<QComboBox>(e, "cboCategoriaItem"),
        Hijo<QPlainTextEdit>(e, "txtMemoItem"), Hijo<QPushButton>(e, "cmdAceptarItem"),
        Hijo<QPushButton>(e, "cmdCancelarItem")};
    for (size_t i = 0; i + 1 < std::size(orden); ++i) {
        QTest::keyClick(orden[i], Qt::Key_Tab);
        QCOMPARE(e.focusWidget(), orden[i + 1]);
    }
    // The labels' access keys reach their boxes.
    QVERIFY(QTest::qWaitForWindowActive(&e));
    QTest::keyClick(&e, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(e.focusWidget(), Hijo<QLineEdit>(e, "txtCategoriaItem"));
    QTest::keyClick(&e, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(e.focusWidget(), Hijo<QPlainTextEdit>(e, "txtMemoItem"));
    QTest::keyClick(&e, Qt::Key_E, Qt::AltModifier);
    QCOMPARE(e.focusWidget(), Hijo<QLineEdit>(e, "txtItemEsp"));
}

void PruebaEditorItems::nuevoOfreceSinCategoriaYLosTemas()
{
    Arranca(*entorno, Temas, Items);
    frmItems& e = Nuevo();
    QCOMPARE(e.windowTitle(), QStringLiteral("Item nuevo"));
    QCOMPARE(EntradasDe(*Hijo<QComboBox>(e, "cboCategoriaItem")), Entradas);
    QCOMPARE(Hijo<QComboBox>(e, "cboCategoriaItem")->currentIndex(), 0);
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->text(), QStringLiteral("Sin categoría"));
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->toolTip(), QStringLiteral(" Sin categoría "));
    QCOMPARE(Hijo<QComboBox>(e, "cboCategoriaItem")->toolTip(), QStringLiteral(" Sin categoría "));
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemIng")->text(), QString());
}

void PruebaEditorItems::sinTemasNadaElegidoYSeGuardaVacio()
{
    Arranca(*entorno, {}, Items);
    frmItems& e = Nuevo();
    QCOMPARE(EntradasDe(*Hijo<QComboBox>(e, "cboCategoriaItem")), QStringList{"Sin categoría"});
    QCOMPARE(Hijo<QComboBox>(e, "cboCategoriaItem")->currentIndex(), -1);
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->text(), QString());
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->toolTip(),
             QStringLiteral(" Seleccione una categoría "));
    // Only the English text is required; the rest may stay empty.
    Teclea(Hijo<QLineEdit>(e, "txtItemIng"), "kiwi");
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QVERIFY(!Editor());
    QCOMPARE(*modTALVEXV20().dbPrincipal.LocalizaItem("kiwi"), (Item{"kiwi", "", "", ""}));
}

void PruebaEditorItems::editarMuestraElItemYSuTema_data()
{
    QTest::addColumn<QString>("ingles");
    QTest::addColumn<int>("entrada");
    QTest::newRow("tema de la lista") << "house" << 3;
    QTest::newRow("otro caso de letra: la última entrada") << "home" << 4;
    QTest::newRow("sin tema: la última entrada") << "apple" << 4;
}

void PruebaEditorItems::editarMuestraElItemYSuTema()
{
    QFETCH(QString, ingles);
    QFETCH(int, entrada);
    Arranca(*entorno, Temas, Items);
    const Item guardado = *modTALVEXV20().dbPrincipal.LocalizaItem(ingles);
    frmItems& e = Edita(ingles);
    QCOMPARE(e.windowTitle(), QStringLiteral("Editar item"));
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemIng")->text(), guardado.ITEMING);
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemEsp")->text(), guardado.ITEMESP);
    QCOMPARE(Hijo<QComboBox>(e, "cboCategoriaItem")->currentIndex(), entrada);
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->text(), guardado.NOMBRETEMA);
    QCOMPARE(Hijo<QComboBox>(e, "cboCategoriaItem")->toolTip(), " " + Entradas[entrada] + " ");
    QCOMPARE(Hijo<QPlainTextEdit>(e, "txtMemoItem")->toPlainText(),
             QString(guardado.NOTASITEM).replace("\r\n", "\n"));
    // Saved untouched, the record stays as it was, the stored topic and line ends included.
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QVERIFY(!Editor());
    QCOMPARE(*modTALVEXV20().dbPrincipal.LocalizaItem(ingles), guardado);
}

void PruebaEditorItems::elegirSoloCambiaLaCajaTrasLlenar()
{
    Arranca(*entorno, Temas, Items);
    // Filling chose the last entry for "casa"; that choice did not reach the box.
    frmItems& e = Edita("home");
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->text(), QStringLiteral("casa"));
    // Picking the entry already chosen is a choice too.
    emit Hijo<QComboBox>(e, "cboCategoriaItem")->activated(4);
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->text(), QStringLiteral("Viajes"));
    QTest::keyClick(Hijo<QComboBox>(e, "cboCategoriaItem"), Qt::Key_Up);
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->text(), QStringLiteral("Casa"));
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->toolTip(), QStringLiteral(" Casa "));
    // Escape in the open list closes the list only.
    Hijo<QComboBox>(e, "cboCategoriaItem")->showPopup();
    QTest::keyClick(Hijo<QComboBox>(e, "cboCategoriaItem")->view(), Qt::Key_Escape);
    QCOMPARE(Editor(), &e);
    QVERIFY(!Hijo<QComboBox>(e, "cboCategoriaItem")->view()->isVisible());
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QCOMPARE(modTALVEXV20().dbPrincipal.LocalizaItem("home")->NOMBRETEMA, QStringLiteral("Casa"));
}

void PruebaEditorItems::rechazaElTextoInglesVacioODuplicado_data()
{
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("vacío") << ""
                           << "¡¡ Por favor, ingrese el nombre del item !!";
    QTest::newRow("duplicado en otro caso") << "HOUSE"
                                            << "¡¡ Ya existe un item con el nombre de: HOUSE !!";
    QTest::newRow("duplicado con acento") << "zébra"
                                          << "";
}

void PruebaEditorItems::rechazaElTextoInglesVacioODuplicado()
{
    QFETCH(QString, escrito);
    QFETCH(QString, mensaje);
    Arranca(*entorno, Temas, Items);
    const QByteArray antes = LeeArchivo(entorno->Ruta("TALVEXV20.MDB"));
    frmItems& e = Nuevo();
    Teclea(Hijo<QLineEdit>(e, "txtItemIng"), escrito);
    Teclea(Hijo<QLineEdit>(e, "txtItemEsp"), "algo");
    Hijo<QPlainTextEdit>(e, "txtMemoItem")->setFocus();
    entorno->plataforma.respuestas.push_back(RespuestaMensaje::Aceptar);
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    if (mensaje.isEmpty()) {
        // An accent makes another key: saved, no message.
        entorno->plataforma.respuestas.clear();
        QVERIFY(!Editor());
        QVERIFY(Guardados().contains(escrito));
        return;
    }
    QCOMPARE(entorno->plataforma.mensajes.size(), 1);
    const Mensaje& aviso = entorno->plataforma.mensajes.front();
    QCOMPARE(aviso.texto, mensaje);
    QCOMPARE(aviso.titulo, Titulo);
    QCOMPARE(aviso.icono, IconoMensaje::Exclamacion);
    QCOMPARE(aviso.botones, BotonesMensaje::Aceptar);
    QCOMPARE(entorno->plataforma.pitidos, 1);
    QCOMPARE(Editor(), &e);
    QCOMPARE(e.focusWidget(), Hijo<QLineEdit>(e, "txtItemIng"));
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemIng")->selectedText(), escrito);
    QVERIFY(!Principal().isEnabled());
    QCOMPARE(LeeArchivo(entorno->Ruta("TALVEXV20.MDB")), antes);
}

void PruebaEditorItems::editarAlTextoDeOtroItemSeRechaza()
{
    Arranca(*entorno, Temas, Items);
    const QStringList columna = Columna();
    frmItems& e = Edita("home");
    Reemplaza(*Hijo<QLineEdit>(e, "txtItemIng"), "House");
    Reemplaza(*Hijo<QLineEdit>(e, "txtItemEsp"), "otra");
    entorno->plataforma.respuestas.push_back(RespuestaMensaje::Aceptar);
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QCOMPARE(entorno->plataforma.mensajes.size(), 1);
    const Mensaje& error = entorno->plataforma.mensajes.front();
    QVERIFY2(error.texto.startsWith("¡¡ Error 3022: ") && error.texto.endsWith(" !!"),
             qPrintable(error.texto));
    QCOMPARE(error.titulo, Titulo);
    QCOMPARE(error.icono, IconoMensaje::Critico);
    QCOMPARE(entorno->plataforma.pitidos, 1);
    QCOMPARE(Editor(), &e);
    QVERIFY(Principal().isEnabled());
    // Neither item changed, and the index still shows both.
    QCOMPARE(*modTALVEXV20().dbPrincipal.LocalizaItem("home"), Items[1]);
    QCOMPARE(*modTALVEXV20().dbPrincipal.LocalizaItem("house"), Items[0]);
    QCOMPARE(Columna(), columna);

    // Meanwhile the user picks another row; the next save still rewrites the row opened.
    frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(Principal(), "lvwItems"), 0, true);
    Reemplaza(*Hijo<QLineEdit>(e, "txtItemIng"), "homely");
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QVERIFY(!Editor());
    QCOMPARE(Columna(), (QStringList{"apple", "homely", "house", "zebra"}));
    QCOMPARE(Guardados(), Columna());
    QCOMPARE(FilaElegida(), QStringLiteral("homely"));
}

void PruebaEditorItems::unaEscrituraFallidaSeAvisaYNoCambiaNada_data()
{
    QTest::addColumn<bool>("nuevo");
    QTest::newRow("nuevo") << true;
    QTest::newRow("editar") << false;
}

void PruebaEditorItems::unaEscrituraFallidaSeAvisaYNoCambiaNada()
{
    QFETCH(bool, nuevo);
    Arranca(*entorno, Temas, Items);
    const QStringList columna = Columna();
    frmItems& e = nuevo ? Nuevo() : Edita("zebra");
    Reemplaza(*Hijo<QLineEdit>(e, "txtItemIng"), "yak");
    ImpideEscrituras();
    const QByteArray antes = LeeArchivo(entorno->Ruta("TALVEXV20.MDB"));
    entorno->plataforma.respuestas.push_back(RespuestaMensaje::Aceptar);
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QCOMPARE(entorno->plataforma.mensajes.size(), 1);
    const Mensaje& error = entorno->plataforma.mensajes.front();
    QVERIFY2(error.texto.startsWith("¡¡ Error 3027: ") && error.texto.endsWith(" !!"),
             qPrintable(error.texto));
    QCOMPARE(error.titulo, Titulo);
    QCOMPARE(error.icono, IconoMensaje::Critico);
    QCOMPARE(entorno->plataforma.pitidos, 1);
    QCOMPARE(Editor(), &e);
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemIng")->text(), QStringLiteral("yak"));
    QVERIFY(Principal().isEnabled());
    QCOMPARE(LeeArchivo(entorno->Ruta("TALVEXV20.MDB")), antes);
    QCOMPARE(Columna(), columna);
}

void PruebaEditorItems::editarUnItemQueYaNoEstaDaError()
{
    Arranca(*entorno, Temas, Items);
    // The row is in the index but no longer in the store.
    modTALVEXV20().dbPrincipal.EliminaItem("apple");
    frmItems& e = Edita("apple");
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemIng")->text(), QString());
    QCOMPARE(Hijo<QComboBox>(e, "cboCategoriaItem")->currentIndex(), -1);
    QCOMPARE(Hijo<QLineEdit>(e, "txtCategoriaItem")->text(), QString());
    Teclea(Hijo<QLineEdit>(e, "txtItemIng"), "apricot");
    entorno->plataforma.respuestas.push_back(RespuestaMensaje::Aceptar);
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QVERIFY(entorno->plataforma.mensajes.front().texto.startsWith("¡¡ Error 3021: "));
    QCOMPARE(Editor(), &e);
    QVERIFY(!Guardados().contains("apricot"));
}

void PruebaEditorItems::introYFlechasRecorrenLasCajas()
{
    Arranca(*entorno, Temas, Items);
    frmItems& e = Nuevo();
    QCOMPARE(e.focusWidget(), Hijo<QLineEdit>(e, "txtItemIng"));
    QTest::keyClick(Hijo<QLineEdit>(e, "txtItemIng"), Qt::Key_Return);
    QCOMPARE(e.focusWidget(), Hijo<QLineEdit>(e, "txtItemEsp"));
    QTest::keyClick(Hijo<QLineEdit>(e, "txtItemEsp"), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(e.focusWidget(), Hijo<QLineEdit>(e, "txtCategoriaItem"));
    QTest::keyClick(Hijo<QLineEdit>(e, "txtCategoriaItem"), Qt::Key_Return);
    QCOMPARE(e.focusWidget(), Hijo<QPlainTextEdit>(e, "txtMemoItem"));
    // Enter in the notes is a line break, and the focus stays.
    Teclea(Hijo<QPlainTextEdit>(e, "txtMemoItem"), "uno");
    QTest::keyClick(Hijo<QPlainTextEdit>(e, "txtMemoItem"), Qt::Key_Return);
    Teclea(Hijo<QPlainTextEdit>(e, "txtMemoItem"), "dos");
    QCOMPARE(Hijo<QPlainTextEdit>(e, "txtMemoItem")->toPlainText(), QStringLiteral("uno\ndos"));
    QCOMPARE(e.focusWidget(), Hijo<QPlainTextEdit>(e, "txtMemoItem"));

    const struct {
        QWidget* desde;
        Qt::Key tecla;
        QWidget* hacia;
    } flechas[] = {
        {Hijo<QLineEdit>(e, "txtItemIng"), Qt::Key_Up, Hijo<QPushButton>(e, "cmdCancelarItem")},
        {Hijo<QLineEdit>(e, "txtItemIng"), Qt::Key_Down, Hijo<QLineEdit>(e, "txtItemEsp")},
        {Hijo<QLineEdit>(e, "txtItemEsp"), Qt::Key_Up, Hijo<QLineEdit>(e, "txtItemIng")},
        {Hijo<QLineEdit>(e, "txtItemEsp"), Qt::Key_Down, Hijo<QLineEdit>(e, "txtCategoriaItem")},
        {Hijo<QLineEdit>(e, "txtCategoriaItem"), Qt::Key_Up, Hijo<QLineEdit>(e, "txtItemEsp")},
        {Hijo<QLineEdit>(e, "txtCategoriaItem"), Qt::Key_Down,
         Hijo<QPlainTextEdit>(e, "txtMemoItem")},
    };
    for (const auto& flecha : flechas) {
        flecha.desde->setFocus();
        QTest::keyClick(flecha.desde, flecha.tecla);
        QCOMPARE(e.focusWidget(), flecha.hacia);
    }
    // The notes keep an arrow for moving in the text; nothing was saved by any key.
    QTest::keyClick(Hijo<QPlainTextEdit>(e, "txtMemoItem"), Qt::Key_Up);
    QCOMPARE(e.focusWidget(), Hijo<QPlainTextEdit>(e, "txtMemoItem"));
    QCOMPARE(Hijo<QPlainTextEdit>(e, "txtMemoItem")->toPlainText(), QStringLiteral("uno\ndos"));
    QCOMPARE(Guardados().size(), Items.size());
}

void PruebaEditorItems::escapeCierraSinGuardar_data()
{
    QTest::addColumn<QString>("control");
    for (const char* nombre : {"txtItemIng", "txtItemEsp", "txtCategoriaItem", "cboCategoriaItem",
                               "txtMemoItem", "cmdAceptarItem", "cmdCancelarItem"})
        QTest::newRow(nombre) << QString::fromLatin1(nombre);
}

void PruebaEditorItems::escapeCierraSinGuardar()
{
    QFETCH(QString, control);
    Arranca(*entorno, Temas, Items);
    frmItems& e = Edita("house");
    Reemplaza(*Hijo<QLineEdit>(e, "txtItemEsp"), "cambiada");
    QWidget* desde = e.findChild<QWidget*>(control);
    desde->setFocus();
    QTest::keyClick(desde, Qt::Key_Escape);
    QVERIFY(!Editor());
    QVERIFY(Principal().isEnabled());
    QCOMPARE(*modTALVEXV20().dbPrincipal.LocalizaItem("house"), Items[0]);
}

void PruebaEditorItems::guardarMuestraLaFilaEnOrden_data()
{
    QTest::addColumn<QString>("editado"); // empty for a new item
    QTest::addColumn<QString>("ingles");
    QTest::addColumn<QString>("completa"); // typed in the search box, completes to `ingles`
    QTest::newRow("nuevo en medio") << ""
                                    << "kiwi"
                                    << "ki";
    QTest::newRow("nuevo al final") << ""
                                    << "zzz top"
                                    << "zz";
    QTest::newRow("editar en su sitio") << "house"
                                        << "House"
                                        << "hou";
    QTest::newRow("editar: la fila baja") << "apple"
                                          << "zoo"
                                          << "zo";
    QTest::newRow("editar: la fila sube") << "zebra"
                                          << "ant"
                                          << "an";
}

void PruebaEditorItems::guardarMuestraLaFilaEnOrden()
{
    QFETCH(QString, editado);
    QFETCH(QString, ingles);
    QFETCH(QString, completa);
    Arranca(*entorno, Temas, ItemsMuchos());
    frmMenuPrincipal& v = Principal();
    // The topic view first, so that the save has to bring back the item view.
    QTest::keyClick(Hijo<QTreeView>(v, "TreeTemas"), Qt::Key_Home);
    QVERIFY(v.ModeloListaTema->rowCount() > 0);
    frmItems& e = editado.isEmpty() ? Nuevo() : Edita(editado);
    Reemplaza(*Hijo<QLineEdit>(e, "txtItemIng"), ingles);
    Reemplaza(*Hijo<QLineEdit>(e, "txtItemEsp"), "traducción");
    Hijo<QComboBox>(e, "cboCategoriaItem")->setCurrentIndex(1);
    Hijo<QPlainTextEdit>(e, "txtMemoItem")->setPlainText("línea 1\nlínea 2");
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();

    QVERIFY(!Editor());
    QVERIFY(v.isEnabled());
    QCOMPARE(*modTALVEXV20().dbPrincipal.LocalizaItem(ingles),
             (Item{ingles, "traducción", "Animales", "línea 1\r\nlínea 2"}));
    QCOMPARE(Columna(), Guardados()); // the store's key order
    QCOMPARE(Columna().count(ingles), 1);
    if (!editado.isEmpty() && editado.toUpper() != ingles.toUpper())
        QVERIFY(!Columna().contains(editado));
    QCOMPARE(FilaElegida(), ingles);
    QVERIFY(FilaVisible(ingles));
    QCOMPARE(v.focusWidget(), Hijo<QTreeView>(v, "lvwItems"));
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), ingles);
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), ingles + " -> traducción");
    QCOMPARE(Hijo<QLabel>(v, "lblCategoria")->text(), QStringLiteral("Animales"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->toPlainText(),
             QStringLiteral("línea 1\nlínea 2"));
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoNotas")->height(), Twips(5320));
    QCOMPARE(v.ModeloListaTema->rowCount(), 0);
    QCOMPARE(Hijo<QPlainTextEdit>(v, "txtMemoLista")->toPlainText(), QString());
    // The rebuilt index completes the saved text.
    Hijo<QLineEdit>(v, "txtBuscaItem")->clear();
    Teclea(Hijo<QLineEdit>(v, "txtBuscaItem"), completa);
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), ingles);
    QCOMPARE(FilaElegida(), ingles);
}

void PruebaEditorItems::elPrimerItemCreaElIndice()
{
    Arranca(*entorno, Temas, {});
    frmMenuPrincipal& v = Principal();
    frmItems& e = Nuevo();
    Teclea(Hijo<QLineEdit>(e, "txtItemIng"), "owl");
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    QCOMPARE(Columna(), QStringList{"owl"});
    QCOMPARE(FilaElegida(), QStringLiteral("owl"));
    QCOMPARE(Hijo<QLabel>(v, "lblNotas")->text(), QStringLiteral("owl -> "));
    Hijo<QLineEdit>(v, "txtBuscaItem")->clear();
    Teclea(Hijo<QLineEdit>(v, "txtBuscaItem"), "o");
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("owl"));
}

void PruebaEditorItems::cerrarDevuelveLaVentanaPrincipal_data()
{
    QTest::addColumn<int>("forma");
    QTest::newRow("Cancelar") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("cuadro de cierre") << 2;
}

void PruebaEditorItems::cerrarDevuelveLaVentanaPrincipal()
{
    QFETCH(int, forma);
    Arranca(*entorno, Temas, Items);
    frmMenuPrincipal& v = Principal();
    // A beginning nobody has: the first row is selected, the box keeps what was typed.
    Hijo<QLineEdit>(v, "txtBuscaItem")->clear();
    Teclea(Hijo<QLineEdit>(v, "txtBuscaItem"), "xyz");
    QCOMPARE(FilaElegida(), QStringLiteral("apple"));
    frmItems& e = Nuevo();
    Teclea(Hijo<QLineEdit>(e, "txtItemIng"), "kiwi");
    if (forma == 0)
        Hijo<QPushButton>(e, "cmdCancelarItem")->click();
    else if (forma == 1)
        QTest::keyClick(Hijo<QLineEdit>(e, "txtItemIng"), Qt::Key_Escape);
    else
        e.close();
    QVERIFY(!Editor());
    QVERIFY(v.isEnabled());
    QCOMPARE(Hijo<QLineEdit>(v, "txtBuscaItem")->text(), QStringLiteral("apple"));
    QVERIFY(!Guardados().contains("kiwi"));
    // The next opening starts from an empty window.
    QCOMPARE(Hijo<QLineEdit>(Nuevo(), "txtItemIng")->text(), QString());
}

void PruebaEditorItems::editarSinFilaElegidaNoAbre()
{
    Arranca(*entorno, Temas, {});
    Hijo<QPushButton>(Principal(), "cmdEditarItems")->click();
    QVERIFY(!Editor());
    QVERIFY(Principal().isEnabled());
}

void PruebaEditorItems::introEnLaBusquedaEditaLaFilaElegida()
{
    Arranca(*entorno, Temas, Items);
    frmMenuPrincipal& v = Principal();
    Hijo<QLineEdit>(v, "txtBuscaItem")->clear();
    Teclea(Hijo<QLineEdit>(v, "txtBuscaItem"), "ze");
    QTest::keyClick(Hijo<QLineEdit>(v, "txtBuscaItem"), Qt::Key_Return);
    frmItems* e = Editor();
    QVERIFY(e);
    QCOMPARE(e->windowTitle(), QStringLiteral("Editar item"));
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemIng")->text(), QStringLiteral("zebra"));
    QVERIFY(!v.isEnabled());
}

void PruebaEditorItems::unTextoGuardadoLargoNoSeCorta()
{
    const QString largo = QString(120, QLatin1Char('l'));
    Arranca(*entorno, Temas, {{largo, QString(130, QLatin1Char('e')), "Casa", ""}});
    frmItems& e = Edita(largo);
    QCOMPARE(Hijo<QLineEdit>(e, "txtItemIng")->text(), largo);
    Hijo<QPushButton>(e, "cmdAceptarItem")->click();
    const auto guardado = modTALVEXV20().dbPrincipal.LocalizaItem(largo);
    QVERIFY(guardado);
    QCOMPARE(guardado->ITEMESP.size(), 130);
    // Typing stays within 100 characters.
    frmItems& otro = Nuevo();
    Teclea(Hijo<QLineEdit>(otro, "txtItemIng"), QString(105, QLatin1Char('x')));
    QCOMPARE(Hijo<QLineEdit>(otro, "txtItemIng")->text().size(), 100);
}

QTEST_MAIN(PruebaEditorItems)
#include "tst_editoritems.moc"
