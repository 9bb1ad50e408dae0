// What the user types in the editors is stored exactly: no-break spaces, combining accents,
// zero-width spaces and emoji, and the length limits never cut a character in half.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "data/ApoyoDatos.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/editors/frmItems.h"
#include "ui/editors/frmTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QTest>

namespace {
const QString Emoji = QStringLiteral("\U0001F600");
const QString Nbsp = QStringLiteral("\u00A0");

QString Aes(int n)
{
    return QString(n, QLatin1Char('a'));
}

// The stored bytes of one field of the only row whose first column is `clave`.
QByteArray Guardado(const char* sql, const QString& clave)
{
    sqlite3* db = modTALVEXV20().dbPrincipal.Conexion();
    sqlite3_stmt* sentencia = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &sentencia, nullptr);
    const QByteArray utf8 = clave.toUtf8();
    sqlite3_bind_text(sentencia, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    QByteArray valor;
    if (sqlite3_step(sentencia) == SQLITE_ROW)
        valor = QByteArray(static_cast<const char*>(sqlite3_column_blob(sentencia, 0)),
                           sqlite3_column_bytes(sentencia, 0));
    sqlite3_finalize(sentencia);
    return valor;
}
} // namespace

class PruebaTextosExactos : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        entorno = std::make_unique<EntornoPrueba>();
        Arranca(*entorno, {{"Casa", "x" + Nbsp + "y\r\nz"}},
                {{"house", "casa", "Casa", "Una" + Nbsp + "casa.\r\nDos líneas."}});
    }
    void cleanup() { entorno.reset(); }
    void itemTecleado_data();
    void itemTecleado();
    void temaTecleado_data();
    void temaTecleado();
    void guardarDeNuevoNoCambiaLasNotas();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaTextosExactos::itemTecleado_data()
{
    QTest::addColumn<QString>("ingles");
    QTest::addColumn<QString>("espanol");
    QTest::addColumn<QString>("notas");
    QTest::addColumn<QString>("inglesGuardado");
    QTest::newRow("espacio duro en las notas") << "hard"
                                               << "duro"
                                               << "a" + Nbsp + "b"
                                               << "hard";
    QTest::newRow("acento combinado y espacio de ancho cero")
        << QStringLiteral("cafe\u0301") << QStringLiteral("cafe\u0301 solo\u200B")
        << QStringLiteral("e\u0301\u200Bx") << QStringLiteral("cafe\u0301");
    QTest::newRow("emoji en las posiciones 99-100") << Aes(98) + Emoji << "e"
                                                    << "" << Aes(98) + Emoji;
    QTest::newRow("emoji como carácter 100") << Aes(99) + Emoji << "e"
                                             << "" << Aes(99) + Emoji;
    QTest::newRow("emoji pasado el límite") << Aes(100) + Emoji << "e"
                                            << "" << Aes(100);
}

void PruebaTextosExactos::itemTecleado()
{
    QFETCH(QString, ingles);
    QFETCH(QString, espanol);
    QFETCH(QString, notas);
    QFETCH(QString, inglesGuardado);
    Hijo<QPushButton>(Principal(), "cmdNuevoItems")->click();
    frmItems& editor = Ventana<frmItems>();
    Teclea(Hijo<QLineEdit>(editor, "txtItemIng"), ingles);
    Teclea(Hijo<QLineEdit>(editor, "txtItemEsp"), espanol);
    Teclea(Hijo<QPlainTextEdit>(editor, "txtMemoItem"), notas);
    Hijo<QPushButton>(editor, "cmdAceptarItem")->click();
    QVERIFY(entorno->plataforma.mensajes.isEmpty());
    const char* campo = "SELECT %1 FROM ITEMS WHERE ITEMING = ?1";
    QCOMPARE(Guardado(QByteArray(campo).replace("%1", "ITEMING"), inglesGuardado),
             inglesGuardado.toUtf8());
    QCOMPARE(Guardado(QByteArray(campo).replace("%1", "ITEMESP"), inglesGuardado),
             espanol.toUtf8());
    QCOMPARE(Guardado(QByteArray(campo).replace("%1", "NOTASITEM"), inglesGuardado),
             notas.toUtf8());
}

void PruebaTextosExactos::temaTecleado_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("notas");
    QTest::addColumn<QString>("guardado");
    QTest::newRow("emoji en las posiciones 49-50")
        << Aes(48) + Emoji << "n" + Nbsp << Aes(48) + Emoji;
    QTest::newRow("emoji como carácter 50") << Aes(49) + Emoji << "" << Aes(49) + Emoji;
    QTest::newRow("emoji pasado el límite") << Aes(50) + Emoji << "" << Aes(50);
    QTest::newRow("acento combinado") << QStringLiteral("Cancio\u0301n") << QStringLiteral("\u200B")
                                      << QStringLiteral("Cancio\u0301n");
}

void PruebaTextosExactos::temaTecleado()
{
    QFETCH(QString, nombre);
    QFETCH(QString, notas);
    QFETCH(QString, guardado);
    Principal().cmdNuevoTema_Click();
    frmTemas& editor = Ventana<frmTemas>();
    Teclea(Hijo<QLineEdit>(editor, "txtNombreTema"), nombre);
    Teclea(Hijo<QPlainTextEdit>(editor, "txtMemoTema"), notas);
    Hijo<QPushButton>(editor, "cmdAceptarTema")->click();
    QVERIFY(entorno->plataforma.mensajes.isEmpty());
    QCOMPARE(Guardado("SELECT NOMBRETEMA FROM TEMAS WHERE NOMBRETEMA = ?1", guardado),
             guardado.toUtf8());
    QCOMPARE(Guardado("SELECT NOTASTEMA FROM TEMAS WHERE NOMBRETEMA = ?1", guardado),
             notas.toUtf8());
}

void PruebaTextosExactos::guardarDeNuevoNoCambiaLasNotas()
{
    const QByteArray item = Guardado("SELECT NOTASITEM FROM ITEMS WHERE ITEMING = ?1", "house");
    const QByteArray tema = Guardado("SELECT NOTASTEMA FROM TEMAS WHERE NOMBRETEMA = ?1", "Casa");
    EligeItem("house");
    Hijo<QPushButton>(Principal(), "cmdEditarItems")->click();
    Hijo<QPushButton>(Ventana<frmItems>(), "cmdAceptarItem")->click();
    EligeTema("Casa");
    Principal().cmdEditarTema_Click();
    Hijo<QPushButton>(Ventana<frmTemas>(), "cmdAceptarTema")->click();
    QVERIFY(entorno->plataforma.mensajes.isEmpty());
    QCOMPARE(Guardado("SELECT NOTASITEM FROM ITEMS WHERE ITEMING = ?1", "house"), item);
    QCOMPARE(Guardado("SELECT NOTASTEMA FROM TEMAS WHERE NOMBRETEMA = ?1", "Casa"), tema);
    QVERIFY(item.contains("\xc2\xa0") && tema.contains("\xc2\xa0"));
}

QTEST_MAIN(PruebaTextosExactos)
#include "tst_textosexactos.moc"
