// Measures browsing on a large vocabulary: the start-up fills, one keystroke in the search
// box (from the key to the window painted again) with the store lookups it makes, saving a new and
// an edited item (from Accept to the list showing it), showing a topic of 5,000 items, and peak
// memory.
//
//   MideNavegacion RUTA      (a database made by GeneraVocabulario; it is copied, not changed)
//
// Bars: fills ≤ 300 ms, keystroke p99 ≤ 5 ms and one lookup, save median ≤ 5 ms,
// topic ≤ 50 ms, peak memory ≤ 200 MB before search everywhere builds its index.
#include "Medidas.h"
#include "PlataformaMedida.h"
#include "apoyo/Hijo.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/busqueda/frmBuscar.h"
#include "ui/editors/frmItems.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {
const QString TemaGrande = QStringLiteral("Tema de cinco mil");

double Ms(const QElapsedTimer& reloj)
{
    return reloj.nsecsElapsed() / 1e6;
}

// The CPU time of this thread, in ms: on a busy machine, what a keystroke cost without the
// waits for a core.
double MsCpu()
{
    timespec ahora{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ahora);
    return double(ahora.tv_sec) * 1e3 + double(ahora.tv_nsec) / 1e6;
}

// Moves 5,000 items into one new topic, so that a topic of that size exists.
void PreparaTemaGrande(const QString& ruta)
{
    BaseVocabulario base;
    base.Abre(ruta);
    base.AgregaTema({TemaGrande, QStringLiteral("Un tema con muchos ítems.")});
    sqlite3_stmt* paso = nullptr;
    sqlite3_prepare_v2(base.Conexion(),
                       "UPDATE ITEMS SET NOMBRETEMA = ?1 WHERE rowid IN "
                       "(SELECT rowid FROM ITEMS ORDER BY rowid LIMIT 5000)",
                       -1, &paso, nullptr);
    const QByteArray nombre = TemaGrande.toUtf8();
    sqlite3_bind_text(paso, 1, nombre.constData(), int(nombre.size()), SQLITE_TRANSIENT);
    sqlite3_step(paso);
    sqlite3_finalize(paso);
}

// Until nothing is left to do: posted events, layouts and the painting of the window.
void HastaQuieto()
{
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// A key pressed and released in the control, then the window brought up to date on screen;
// `atendida`, when given, gets the ms until the control had handled the key (before the painting).
void Teclea(QWidget* control, QChar letra, double* atendida = nullptr)
{
    QElapsedTimer reloj;
    reloj.start();
    const auto tecla = Qt::Key(letra.toUpper().unicode());
    QKeyEvent pulsa(QEvent::KeyPress, tecla, Qt::NoModifier, QString(letra));
    QApplication::sendEvent(control, &pulsa);
    QKeyEvent suelta(QEvent::KeyRelease, tecla, Qt::NoModifier, QString(letra));
    QApplication::sendEvent(control, &suelta);
    if (atendida)
        *atendida = Ms(reloj);
    HastaQuieto();
}

// Every statement on ITEMS that the store starts: the lookups a keystroke makes.
int ConsultasItems = 0;
int CuentaConsultas(unsigned, void*, void* sentencia, void*)
{
    if (std::strstr(sqlite3_sql(static_cast<sqlite3_stmt*>(sentencia)), "FROM ITEMS"))
        ++ConsultasItems;
    return 0;
}

// Opens the item editor (new, or on the selected row), fills it and measures its Accept.
double GuardaItem(frmMenuPrincipal& ventana, bool nuevo, const QString& ingles)
{
    if (nuevo)
        ventana.cmdNuevoItems_Click();
    else
        ventana.cmdEditarItems_Click();
    frmItems& editor = Ventana<frmItems>();
    Hijo<QLineEdit>(editor, "txtItemIng")->setText(ingles);
    Hijo<QLineEdit>(editor, "txtItemEsp")->setText(QStringLiteral("medida"));
    QElapsedTimer reloj;
    reloj.start();
    Hijo<QPushButton>(editor, "cmdAceptarItem")->click();
    const double ms = Ms(reloj);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    if (argc != 2) {
        std::fputs("Uso: MideNavegacion RUTA\n", stderr);
        return 2;
    }
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("TALVEXV20.MDB"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), ruta)) {
        std::fputs("No se puede copiar la base de datos\n", stderr);
        return 1;
    }
    PreparaTemaGrande(ruta);

    PlataformaMedida plataforma;
    EstadoAplicacion& estado = modTALVEXV20();
    estado.plataforma = &plataforma;
    estado.dbPrincipal.AbreComprobandoAparte(ruta); // as start-up opens it
    frmMenuPrincipal& ventana = Ventana<frmMenuPrincipal>();
    ventana.show();
    Hijo<QFrame>(ventana, "picMenu1")->show();
    QApplication::processEvents();

    // Start-up fills, as Main runs them (without its pauses).
    std::vector<double> llenados;
    long memoriaUnLlenado = 0;
    double pasos[4] = {};
    for (int vez = 0; vez < 3; ++vez) {
        QElapsedTimer reloj, paso;
        reloj.start();
        paso.start();
        ventana.LlenaArbolTemas();
        pasos[0] = Ms(paso);
        paso.restart();
        ventana.LlenaListaItems();
        pasos[1] = Ms(paso);
        paso.restart();
        ventana.CreaIndiceItems();
        pasos[2] = Ms(paso);
        paso.restart();
        Ventana<frmMenuPrincipal>().AutoCompletar = true;
        ventana.BuscaItem();
        pasos[3] = Ms(paso);
        llenados.push_back(Ms(reloj));
        if (vez == 0)
            memoriaUnLlenado = LeeMemoria("VmHWM");
    }
    HastaQuieto();

    // As start-up does after its fills.
    estado.dbPrincipal.TerminaComprobacion();
    estado.dbPrincipal.ReduceCache();
    ventana.PreparaBusqueda(); // its index starts building aside

    // 1,000 words typed letter by letter into an emptied box.
    const auto& filas = ventana.ModeloItems->Filas();
    std::vector<double> teclas;
    sqlite3_trace_v2(estado.dbPrincipal.Conexion(), SQLITE_TRACE_STMT, CuentaConsultas, nullptr);
    for (int palabra = 0; palabra < 1000; ++palabra) {
        const QString texto = filas.Ingles(size_t(palabra) * filas.size() / 1000);
        Hijo<QLineEdit>(ventana, "txtBuscaItem")->clear();
        for (const QChar letra : texto.left(12)) {
            QElapsedTimer reloj;
            reloj.start();
            Teclea(Hijo<QLineEdit>(ventana, "txtBuscaItem"), letra);
            teclas.push_back(Ms(reloj));
        }
    }

    const int consultasTeclas = ConsultasItems;
    const long memoriaTeclas = LeeMemoria("VmHWM");
    sqlite3_trace_v2(estado.dbPrincipal.Conexion(), 0, nullptr, nullptr);

    // 200 new items, then each of them edited to another text.
    std::vector<double> nuevos, editados;
    for (int i = 0; i < 200; ++i)
        nuevos.push_back(GuardaItem(ventana, true, QStringLiteral("medida %1").arg(i)));
    for (int i = 0; i < 200; ++i) {
        frmMenuPrincipal::SeleccionaFila(
            *Hijo<QTreeView>(ventana, "lvwItems"),
            ventana.ModeloItems->BuscaFila(QStringLiteral("medida %1").arg(i)), true);
        editados.push_back(GuardaItem(ventana, false, QStringLiteral("zz medida %1").arg(i)));
    }

    // Search everywhere: opened first when its index, built aside since the fills, may still be
    // on its way (the writes above made meanwhile); then, after one more save, the window shown
    // and painted with the index brought up to date; then 500 words typed into its box, each
    // keystroke from the key to the results listed, split into the key handled (the search and
    // the list changed) and the window brought up to date (laid out and painted).
    QElapsedTimer apertura;
    apertura.start();
    ventana.mnuBuscarTodo_Click();
    HastaQuieto();
    const double abrirBusqueda = Ms(apertura);
    Ventana<frmBuscar>().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    GuardaItem(ventana, true, QStringLiteral("medida tras abrir"));
    apertura.restart();
    ventana.mnuBuscarTodo_Click();
    HastaQuieto();
    const double abrirTrasCambio = Ms(apertura);
    QLineEdit* cajaBusqueda = Hijo<QLineEdit>(Ventana<frmBuscar>(), "txtBuscarTodo");
    std::vector<double> busquedas, atendidas, pintados, cpus;
    QStringList consultas;
    for (int palabra = 0; palabra < 500; ++palabra) {
        QString texto = filas.Espanol(size_t(palabra) * filas.size() / 500).left(10);
        if (palabra % 5 == 4 && texto.size() > 4)
            std::swap(texto[1], texto[2]); // a typo now and then
        cajaBusqueda->clear();
        for (const QChar letra : texto) {
            QElapsedTimer reloj;
            reloj.start();
            double atendida = 0;
            const double cpu = MsCpu();
            Teclea(cajaBusqueda, letra, &atendida);
            cpus.push_back(MsCpu() - cpu);
            busquedas.push_back(Ms(reloj));
            atendidas.push_back(atendida);
            pintados.push_back(busquedas.back() - atendida);
            consultas << cajaBusqueda->text();
        }
    }
    Ventana<frmBuscar>().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Showing the topic of 5,000 items.
    const int fila = int(ventana.ModeloArbol->Nombres().indexOf(TemaGrande));
    std::vector<double> temas;
    for (int vez = 0; vez < 5; ++vez) {
        frmMenuPrincipal::SeleccionaFila(*Hijo<QTreeView>(ventana, "TreeTemas"), fila, true);
        QElapsedTimer reloj;
        reloj.start();
        ventana.ActivaTemas();
        temas.push_back(Ms(reloj));
    }

    std::printf("ítems: %d, temas: %d, ítems del tema grande: %d\n",
                ventana.ModeloItems->rowCount(), ventana.ModeloArbol->rowCount(),
                ventana.ModeloListaTema->rowCount());
    std::printf("llenados de arranque (primera, mejor de 3): %8.1f ms %8.1f ms (límite 300)\n",
                llenados.front(), *std::min_element(llenados.begin(), llenados.end()));
    std::printf("  de ellos (última vez): árbol %.1f, lista %.1f, índice %.1f, búsqueda %.1f ms\n",
                pasos[0], pasos[1], pasos[2], pasos[3]);
    std::printf("tecla en la búsqueda (%zu teclas): mediana %6.3f ms, p99 %6.3f ms, máx %6.3f ms "
                "(límite p99 5)\n",
                teclas.size(), Percentil(teclas, 0.5), Percentil(teclas, 0.99),
                *std::max_element(teclas.begin(), teclas.end()));
    std::printf("  consultas de ITEMS por tecla: %.2f (límite 1)\n",
                double(consultasTeclas) / double(teclas.size()));
    for (const auto& [que, veces] : {std::pair{"nuevo", &nuevos}, std::pair{"editado", &editados}})
        std::printf("guardar un ítem %s: mediana %6.2f ms, p99 %6.2f ms, máx %6.2f ms "
                    "(límite mediana 5)\n",
                    que, Percentil(*veces, 0.5), Percentil(*veces, 0.99),
                    *std::max_element(veces->begin(), veces->end()));
    std::printf(
        "buscar en todo: abrir la primera vez %6.1f ms; tras un cambio %6.1f ms; tecla (%zu) "
        "mediana %6.3f ms, p99 %6.3f ms, máx %6.3f ms (límite p99 8)\n",
        abrirBusqueda, abrirTrasCambio, busquedas.size(), Percentil(busquedas, 0.5),
        Percentil(busquedas, 0.99), *std::max_element(busquedas.begin(), busquedas.end()));
    for (const auto& [que, veces] :
         {std::pair{"la tecla atendida (buscar, lista cambiada)", &atendidas},
          std::pair{"la ventana al día (disposición, pintado)", &pintados}})
        std::printf("  de ella, %s: mediana %6.3f ms, p99 %6.3f ms, máx %6.3f ms\n", que,
                    Percentil(*veces, 0.5), Percentil(*veces, 0.99),
                    *std::max_element(veces->begin(), veces->end()));
    std::printf(
        "  CPU del hilo de la ventana por tecla: mediana %6.3f ms, p99 %6.3f ms, máx %6.3f ms\n",
        Percentil(cpus, 0.5), Percentil(cpus, 0.99), *std::max_element(cpus.begin(), cpus.end()));
    {
        // What the slowest keystrokes (above the p99) spent in each part.
        const double p99 = Percentil(busquedas, 0.99);
        double atendida = 0, pintado = 0;
        int lentas = 0;
        for (size_t i = 0; i < busquedas.size(); ++i)
            if (busquedas[i] > p99) {
                atendida += atendidas[i];
                pintado += pintados[i];
                ++lentas;
            }
        if (lentas > 0)
            std::printf("  las %d teclas sobre el p99: atendida %6.3f ms, ventana al día %6.3f ms "
                        "de media\n",
                        lentas, atendida / lentas, pintado / lentas);
    }
    std::printf("ActivaTemas con 5000 ítems (primera, peor de 5): %6.1f ms %6.1f ms (límite 50)\n",
                temas.front(), *std::max_element(temas.begin(), temas.end()));
    std::printf("memoria pico tras un llenado: %.1f MB; tras tres y las teclas: %.1f MB "
                "(límite 200); al final, con lo de buscar en todo: %.1f MB\n",
                double(memoriaUnLlenado) / 1024.0, double(memoriaTeclas) / 1024.0,
                double(LeeMemoria("VmHWM")) / 1024.0);
    // The same searches by the index alone, without the window: what a keystroke spends in it.
    Busqueda::Indice indice;
    indice.Construye(estado.dbPrincipal);
    std::vector<double> motor;
    for (const QString& consulta : consultas) {
        QElapsedTimer reloj;
        reloj.start();
        indice.Busca(consulta);
        motor.push_back(Ms(reloj));
    }
    std::printf(
        "  el índice solo, mismas consultas: mediana %6.3f ms, p99 %6.3f ms, máx %6.3f ms\n",
        Percentil(motor, 0.5), Percentil(motor, 0.99),
        *std::max_element(motor.begin(), motor.end()));
    DescargaVentanas();
    estado.dbPrincipal.Cierra();
    return 0;
}
