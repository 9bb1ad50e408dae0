// Import and export from the "Archivo" menu: the import window shows what a file would do
// before anything is written; what it writes appears in the lists and the completion at once.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "apoyo/TuberiaPrueba.h"
#include "intercambio/Intercambio.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/intercambio/frmExportar.h"
#include "ui/intercambio/frmImportar.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString Titulo = QStringLiteral("TALVEX Ver. 2.0.0");
const QList<Item> Items{
    {"house", "casa", "Casa", "Una casa."},
    {"dog", "perro", "Animales", ""},
};

void Escribe(const QString& ruta, const QByteArray& contenido)
{
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write(contenido);
}

QString Texto(const char* nombre)
{
    return Hijo<QLabel>(Ventana<frmImportar>(), nombre)->text();
}
} // namespace

class PruebaImportacion : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        Arranca(*entorno, {{"Casa", "Cosas de casa."}, {"Animales", ""}}, Items);
    }
    void cleanup() { entorno.reset(); }
    void importaLoQueMuestraYLoMuestraEnLasListas();
    void cancelarNoEscribeNada();
    void unArchivoQueNoSeImportaSeDiceYNoToca_data();
    void unArchivoQueNoSeImportaSeDiceYNoToca();
    void latin1SeLeeSiElUsuarioLoDice();
    void exportaYElArchivoSeVuelveALeer();
    void loQueNoSePuedeExportarSeDice();

private:
    QString Ruta(const char* nombre) const { return entorno->Ruta(QString::fromLatin1(nombre)); }
    PlataformaGuionada& P() { return entorno->plataforma; }
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaImportacion::importaLoQueMuestraYLoMuestraEnLasListas()
{
    Escribe(Ruta("nuevo.csv"), "Inglés,Español,Tema,Notas\r\n"
                               "kitchen,cocina,Casa nueva,\"Dos\r\nlíneas\"\r\n"
                               "HOUSE,vivienda,Hogar,otra nota\r\n"
                               ",sin inglés,Casa,\r\n");
    P().archivosElegidos = {Ruta("nuevo.csv")};
    Hijo<QAction>(Principal(), "mnuImportar")->trigger();
    QVERIFY(VentanaCargada<frmImportar>());
    QVERIFY(!Principal().isEnabled());
    QCOMPARE(Texto("lblFilasLeidas"), QStringLiteral("3"));
    QCOMPARE(Texto("lblItemsNuevos"), QStringLiteral("1"));
    QCOMPARE(Texto("lblTemasNuevos"), QStringLiteral("1"));
    // A topic that only an item already stored names comes only with its replacement.
    Hijo<QRadioButton>(Ventana<frmImportar>(), "optReemplazar")->setChecked(true);
    QCOMPARE(Texto("lblTemasNuevos"), QStringLiteral("2"));
    QCOMPARE(Texto("lblItemsExistentes"), QStringLiteral("1"));
    QCOMPARE(Texto("lblFilasRechazadas"), QStringLiteral("1"));
    QVERIFY(Hijo<QPlainTextEdit>(Ventana<frmImportar>(), "txtRechazos")
                ->toPlainText()
                .startsWith(QStringLiteral("Línea 5: falta el texto en inglés")));
    QVERIFY(P().mensajes.isEmpty()); // nothing written, nothing said yet
    QVERIFY(!modTALVEXV20().dbPrincipal.LocalizaItem("kitchen"));

    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(Ventana<frmImportar>(), "cmdAceptarImportar")->click();
    QCOMPARE(P().mensajes.size(), 1);
    QCOMPARE(P().mensajes[0].texto, QStringLiteral("¡¡ La importación terminó !!\r\rÍtems nuevos: "
                                                   "1\rTemas nuevos: 2\rÍtems reemplazados: 1"));
    QCOMPARE(P().mensajes[0].titulo, Titulo);
    QVERIFY(Principal().isEnabled());

    // In the store, in the lists, shown, and found by the completion.
    BaseVocabulario& base = modTALVEXV20().dbPrincipal;
    QCOMPARE(*base.LocalizaItem("kitchen"),
             (Item{"kitchen", "cocina", "Casa nueva", "Dos\r\nlíneas"}));
    QCOMPARE(*base.LocalizaItem("house"), (Item{"house", "vivienda", "Hogar", "otra nota"}));
    QVERIFY(base.LocalizaTema("Casa nueva"));
    QVERIFY(Principal().ModeloArbol->Nombres().contains("Casa nueva"));
    const int fila = Principal().ModeloItems->BuscaFila("kitchen");
    QVERIFY(fila >= 0);
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(Principal(), "lvwItems")), fila);
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QStringLiteral("kitchen -> cocina"));
    QCOMPARE(Principal()
                 .ModeloItems->Filas()[size_t(Principal().ModeloItems->BuscaFila("house"))]
                 .espanol,
             QStringLiteral("vivienda"));
    QCOMPARE(Principal().ModeloItems->Indice().Completa("kit"), std::optional<QString>("kitchen"));
}

void PruebaImportacion::cancelarNoEscribeNada()
{
    Escribe(Ruta("nuevo.tsv"), "kitchen\tcocina\tCasa\t\n");
    const QByteArray antes = LeeArchivo(Ruta("TALVEXV20.MDB"));
    P().archivosElegidos = {Ruta("nuevo.tsv")};
    Hijo<QAction>(Principal(), "mnuImportar")->trigger();
    QTest::keyClick(Hijo<QPushButton>(Ventana<frmImportar>(), "cmdAceptarImportar"),
                    Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!VentanaCargada<frmImportar>());
    QVERIFY(Principal().isEnabled());
    QCOMPARE(LeeArchivo(Ruta("TALVEXV20.MDB")), antes);
    QCOMPARE(Principal().ModeloItems->rowCount(), 2);
}

void PruebaImportacion::unArchivoQueNoSeImportaSeDiceYNoToca_data()
{
    QTest::addColumn<QString>("clase");
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("causa");
    QTest::newRow("binario") << "archivo" << QByteArray("PK\x03\x04\0\0\x01\x02house", 13)
                             << "no es un archivo de texto";
    QTest::newRow("xml con entidades")
        << "archivo"
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE kvtml [<!ENTITY a \"aaaa\">"
                      "<!ENTITY b \"&a;&a;&a;&a;\">]><kvtml version=\"2.0\">&b;</kvtml>")
        << "declara entidades";
    QTest::newRow("xml cortado") << "archivo"
                                 << QByteArray("<?xml version=\"1.0\"?>\n<kvtml version=\"2.0\">")
                                 << "(línea 2, columna 21): el documento se acaba antes";
    QTest::newRow("carpeta") << "carpeta" << QByteArray() << "es una carpeta, no un archivo";
    QTest::newRow("tubería") << "tubería" << QByteArray() << "es una tubería con nombre (FIFO)";
}

void PruebaImportacion::unArchivoQueNoSeImportaSeDiceYNoToca()
{
    QFETCH(QString, clase);
    QFETCH(QByteArray, contenido);
    QFETCH(QString, causa);
    std::optional<TuberiaPrueba> tuberia;
    if (clase == QStringLiteral("carpeta"))
        QVERIFY(QDir().mkdir(Ruta("malo.csv")));
    else if (clase == QStringLiteral("tubería"))
        QVERIFY(tuberia.emplace(Ruta("malo.csv")).Creada());
    else
        Escribe(Ruta("malo.csv"), contenido);
    const QByteArray antes = LeeArchivo(Ruta("TALVEXV20.MDB"));
    P().archivosElegidos = {Ruta("malo.csv")};
    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QAction>(Principal(), "mnuImportar")->trigger();
    QCOMPARE(P().mensajes.size(), 1);
    QVERIFY2(P().mensajes[0].texto.startsWith("¡¡ No se puede importar el archivo !!\r\r"),
             qPrintable(P().mensajes[0].texto));
    QVERIFY2(P().mensajes[0].texto.contains(causa), qPrintable(P().mensajes[0].texto));
    QVERIFY(!VentanaCargada<frmImportar>());
    QVERIFY(Principal().isEnabled());
    QCOMPARE(LeeArchivo(Ruta("TALVEXV20.MDB")), antes);
}

void PruebaImportacion::latin1SeLeeSiElUsuarioLoDice()
{
    Escribe(Ruta("hoja.csv"), "song;canci\xf3n;M\xfasica;\r\n");
    P().archivosElegidos = {Ruta("hoja.csv")};
    P().respuestas = {RespuestaMensaje::No};
    Hijo<QAction>(Principal(), "mnuImportar")->trigger();
    QCOMPARE(P().mensajes.size(), 1);
    QCOMPARE(P().mensajes[0].icono, IconoMensaje::Pregunta);
    QVERIFY(!VentanaCargada<frmImportar>());

    P().archivosElegidos = {Ruta("hoja.csv")};
    P().respuestas = {RespuestaMensaje::Si, RespuestaMensaje::Aceptar};
    Hijo<QAction>(Principal(), "mnuImportar")->trigger();
    Hijo<QPushButton>(Ventana<frmImportar>(), "cmdAceptarImportar")->click();
    QCOMPARE(modTALVEXV20().dbPrincipal.LocalizaItem("song")->ITEMESP, QStringLiteral("canción"));
    QVERIFY(Principal().ModeloArbol->Nombres().contains(QStringLiteral("Música")));
}

void PruebaImportacion::exportaYElArchivoSeVuelveALeer()
{
    Hijo<QAction>(Principal(), "mnuExportar")->trigger();
    frmExportar& dialogo = Ventana<frmExportar>();
    QVERIFY(!Principal().isEnabled());
    // No file chosen: the window stays for another try.
    P().archivosElegidos = {QString()};
    Hijo<QPushButton>(dialogo, "cmdAceptarExportar")->click();
    QVERIFY(VentanaCargada<frmExportar>() && dialogo.isVisible());
    QCOMPARE(P().dialogosArchivo.last().nombre, QStringLiteral("vocabulario.csv"));

    P().archivosElegidos = {Ruta("todo.csv")};
    P().respuestas = {RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(dialogo, "cmdAceptarExportar")->click();
    QCOMPARE(P().mensajes.last().texto,
             QStringLiteral("¡¡ El vocabulario se exportó en: ") + Ruta("todo.csv") + " !!");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!VentanaCargada<frmExportar>());
    QVERIFY(Principal().isEnabled());
    const Intercambio::Lectura lectura = Intercambio::LeeArchivo(Ruta("todo.csv"));
    QCOMPARE(lectura.items.size(), size_t(2));
    QCOMPARE(lectura.items[0].item, Items[1]); // key order: dog, house
    QCOMPARE(lectura.items[1].item, Items[0]);
    QCOMPARE(lectura.temas.size(), size_t(2));
}

// A topic gone since the window listed it, and a destination that is no regular file: said
// in Spanish, nothing written, the window kept for another try.
void PruebaImportacion::loQueNoSePuedeExportarSeDice()
{
    QVERIFY(::mkfifo(QFile::encodeName(Ruta("tuberia.csv")).constData(), 0600) == 0);
    Hijo<QAction>(Principal(), "mnuExportar")->trigger();
    frmExportar& dialogo = Ventana<frmExportar>();
    auto* contenido = Hijo<QComboBox>(dialogo, "cboContenido");
    contenido->setCurrentIndex(contenido->findData(QStringLiteral("Casa")));
    modTALVEXV20().dbPrincipal.EliminaItem("house");
    modTALVEXV20().dbPrincipal.EliminaTema("Casa");
    P().archivosElegidos = {Ruta("casa.csv"), Ruta("tuberia.csv")};
    P().respuestas = {RespuestaMensaje::Aceptar, RespuestaMensaje::Aceptar};
    Hijo<QPushButton>(dialogo, "cmdAceptarExportar")->click();
    QCOMPARE(P().mensajes.last().texto,
             QStringLiteral("¡¡ No se pudo exportar el vocabulario !!\r\rNo hay ningún tema "
                            "«Casa»: no se exportó nada."));
    QVERIFY(!QFile::exists(Ruta("casa.csv")));
    contenido->setCurrentIndex(0);
    Hijo<QPushButton>(dialogo, "cmdAceptarExportar")->click();
    QVERIFY2(P().mensajes.last().texto.contains("es una tubería con nombre (FIFO)"),
             qPrintable(P().mensajes.last().texto));
    struct stat tuberia;
    QVERIFY(::lstat(QFile::encodeName(Ruta("tuberia.csv")).constData(), &tuberia) == 0 &&
            S_ISFIFO(tuberia.st_mode));
    QVERIFY(VentanaCargada<frmExportar>() && dialogo.isVisible());
}

QTEST_MAIN(PruebaImportacion)
#include "tst_importacion.moc"
