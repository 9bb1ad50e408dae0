// Measures practice on a large vocabulary with a long history: the start page's counts (from
// the command to the figures, settings read and session made included) for several choices,
// the answer (from the call until it is committed to the disk), the practice window (opened
// with its counts painted, and from a key that answers to the next card painted) and the bytes
// each review takes in the file.
//
//   MidePractica RUTA      (a database made by GeneraVocabulario and GeneraRepasos; it is
//                           copied, not changed)
//
// Bars: counts p99 ≤ 100 ms, answer durable p99 ≤ 100 ms, next card painted p99 ≤ 16 ms,
// ≤ 80 bytes per review.
#include "Medidas.h"
#include "PlataformaMedida.h"
#include "apoyo/Hijo.h"
#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"
#include "nucleo/modTALVEXV20.h"
#include "repaso/Sesion.h"
#include "ui/practica/frmPracticar.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <random>
#include <vector>

using namespace Repaso;

namespace {

constexpr int Repeticiones = 21;
constexpr int Respuestas = 200;
constexpr int RepasosAnadidos = 100000;

double Ms(const QElapsedTimer& reloj)
{
    return double(reloj.nsecsElapsed()) / 1e6;
}

qint64 Pragma(const BaseVocabulario& base, const char* sql)
{
    auto fila = base.ConexionAbierta().Prepara(sql);
    return fila.Avanza() ? fila.Entero(0) : -1;
}

// The bytes of the file that pages in use take (free pages left out).
qint64 BytesUsados(const BaseVocabulario& base)
{
    return (Pragma(base, "PRAGMA page_count") - Pragma(base, "PRAGMA freelist_count")) *
           Pragma(base, "PRAGMA page_size");
}

// The topic that holds the most cards: the choice of a learner who practises one topic.
QString TemaConMasTarjetas(const AlmacenRepasos& almacen)
{
    QHash<QString, int> porTema;
    almacen.RecorreTarjetas([&](const TarjetaItem& t) { ++porTema[t.tema]; });
    QString mejor;
    for (auto i = porTema.cbegin(); i != porTema.cend(); ++i)
        if (mejor.isEmpty() || i.value() > porTema.value(mejor))
            mejor = i.key();
    return mejor;
}

bool MideCuentas(BaseVocabulario& base, AlmacenRepasos& almacen, qint64 ahora)
{
    const QString tema = TemaConMasTarjetas(almacen);
    const std::pair<const char*, Eleccion> elecciones[] = {
        {"todo, en los dos sentidos", Eleccion{}},
        {"un tema, en los dos sentidos", Eleccion{tema, {Tipo::IngEsp, Tipo::EspIng}}},
        {"todo, inglés → español", Eleccion{std::nullopt, {Tipo::IngEsp}}},
        {"todo, español → inglés", Eleccion{std::nullopt, {Tipo::EspIng}}},
        {"todo, dictado", Eleccion{std::nullopt, {Tipo::Dictado}}},
    };
    bool bien = true;
    for (const auto& [nombre, eleccion] : elecciones) {
        std::vector<double> tiempos;
        Recuento recuento;
        for (int i = 0; i < Repeticiones; ++i) {
            QElapsedTimer reloj;
            reloj.start();
            AlmacenRepasos almacenVentana(base); // each opening of the window has its own
            const Sesion sesion(almacenVentana, LeeAjustesRepaso(base), eleccion);
            recuento = sesion.Cuenta(ahora);
            tiempos.push_back(Ms(reloj));
        }
        std::printf("recuento, %s: %d nuevas, %d en aprendizaje, %d de repaso\n", nombre,
                    recuento.nuevas, recuento.aprendiendo, recuento.repaso);
        std::printf("  p50 %.2f ms\n", Percentil(tiempos, 0.5));
        bien &= Informa("  p99", Percentil(tiempos, 0.99), 100);
    }
    return bien;
}

bool MideRespuestas(BaseVocabulario& base, AlmacenRepasos& almacen, qint64 ahora)
{
    std::printf("synchronous = %lld (2 es FULL), journal_mode = %s\n",
                static_cast<long long>(Pragma(base, "PRAGMA synchronous")),
                [&] {
                    auto fila = base.ConexionAbierta().Prepara("PRAGMA journal_mode");
                    return fila.Avanza() ? fila.Texto(0).toStdString() : std::string("?");
                }()
                    .c_str());
    Sesion sesion(almacen, LeeAjustesRepaso(base), Eleccion{});
    QElapsedTimer comienzo;
    comienzo.start();
    // After the window took today's limits: the reviews of the coming week, as "Practicar más"
    // gives them.
    sesion.Comienza(ahora, Ampliacion::RepasosAdelantados, 7);
    std::printf("Comienza (los repasos de una semana): %.1f ms\n", Ms(comienzo));
    std::mt19937 azar(20261210u);
    std::vector<double> responde, siguiente;
    for (int i = 0; i < Respuestas; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        if (!sesion.Siguiente(ahora)) {
            std::printf("la sesión se acabó tras %d respuestas\n", i);
            break;
        }
        siguiente.push_back(Ms(reloj));
        const auto c = Calificacion(1 + int(azar() % 4));
        reloj.restart();
        sesion.Responde(c, ahora, 4000, Modo::Tarjetas);
        responde.push_back(Ms(reloj));
        ahora += 5000;
    }
    std::printf("Siguiente: p50 %.3f ms, p99 %.3f ms\n", Percentil(siguiente, 0.5),
                Percentil(siguiente, 0.99));
    std::printf("respuesta guardada en el disco: p50 %.2f ms\n", Percentil(responde, 0.5));
    return Informa("respuesta guardada en el disco, p99", Percentil(responde, 0.99), 100);
}

// Until nothing is left to do: posted events, layouts and the painting of the window.
void HastaQuieto()
{
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void Pulsa(QWidget& ventana, Qt::Key tecla, const QString& texto)
{
    QKeyEvent pulsa(QEvent::KeyPress, tecla, Qt::NoModifier, texto);
    QApplication::sendEvent(&ventana, &pulsa);
    QKeyEvent suelta(QEvent::KeyRelease, tecla, Qt::NoModifier, texto);
    QApplication::sendEvent(&ventana, &suelta);
}

// The window as the menu opens it (whole vocabulary, both ways, cards), then cards answered
// with the keys: Space shows the answer, a digit rates it, and the next card is painted.
bool MideVentana(BaseVocabulario& base)
{
    const qint64 repasosAntes = Pragma(base, "SELECT count(*) FROM REPASOS");
    QElapsedTimer reloj;
    reloj.start();
    auto* ventana = new frmPracticar(base, {}, std::nullopt, frmPracticar::Habla{});
    ventana->show();
    HastaQuieto();
    std::printf("ventana abierta con sus recuentos pintados: %.1f ms\n", Ms(reloj));
    reloj.restart();
    Hijo<QPushButton>(ventana, "cmdComenzar")->click();
    HastaQuieto();
    std::printf("Comenzar hasta la primera tarjeta pintada: %.1f ms\n", Ms(reloj));
    std::mt19937 azar(20261211u);
    std::vector<double> tiempos;
    const QStackedWidget* paginas = Hijo<QStackedWidget>(ventana, "stkPaginas");
    for (int i = 0; i < Respuestas && paginas->currentIndex() == 1; ++i) { // a card shown
        Pulsa(*ventana, Qt::Key_Space, QStringLiteral(" "));
        HastaQuieto();
        const int digito = 1 + int(azar() % 4);
        reloj.restart();
        Pulsa(*ventana, Qt::Key(Qt::Key_0 + digito), QString::number(digito));
        HastaQuieto();
        tiempos.push_back(Ms(reloj));
    }
    ventana->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::printf("tecla que responde hasta la tarjeta siguiente pintada (%lld guardadas): p50 "
                "%.2f ms\n",
                static_cast<long long>(Pragma(base, "SELECT count(*) FROM REPASOS") - repasosAntes),
                Percentil(tiempos, 0.5));
    return Informa("  p99", Percentil(tiempos, 0.99), 16);
}

// The log grown by many reviews of the stored cards, as answers would add them.
bool MideBytesPorRepaso(BaseVocabulario& base, AlmacenRepasos& almacen, qint64 ahora)
{
    std::vector<RegistroRepaso> modelos;
    almacen.RecorreRepasos([&](const RegistroRepaso& r) {
        if (modelos.size() < size_t(RepasosAnadidos))
            modelos.push_back(r);
    });
    if (modelos.empty()) {
        std::puts("el archivo no tiene repasos");
        return false;
    }
    const qint64 antes = BytesUsados(base);
    base.EscribeAparte([&](ConexionSqlite& conexion) {
        for (int i = 0; i < RepasosAnadidos; ++i) {
            RegistroRepaso r = modelos[size_t(i) % modelos.size()];
            r.fila = 0;
            r.momento = ahora + i * 1000;
            almacen.AgregaRepaso(conexion, r);
        }
    });
    const double porRepaso = double(BytesUsados(base) - antes) / RepasosAnadidos;
    const bool bien = porRepaso <= 80;
    std::printf("%-48s %8.1f bytes (barra 80) %s\n", "bytes por repaso en el archivo", porRepaso,
                bien ? "bien" : "GRANDE");
    return bien;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() != 2) {
        std::fputs("Uso: MidePractica RUTA\n", stderr);
        return 2;
    }
    QTemporaryDir carpeta;
    const QString copia = CopiaDeTrabajo(argumentos[1], carpeta);
    if (copia.isEmpty())
        return 1;
    bool bien = true;
    try {
        BaseVocabulario base;
        base.Abre(copia);
        AlmacenRepasos almacen(base);
        std::printf("%lld ítems, %lld tarjetas, %lld repasos\n",
                    static_cast<long long>(Pragma(base, "SELECT count(*) FROM ITEMS")),
                    static_cast<long long>(Pragma(base, "SELECT count(*) FROM TARJETAS")),
                    static_cast<long long>(Pragma(base, "SELECT count(*) FROM REPASOS")));
        const qint64 ahora = QDateTime::currentMSecsSinceEpoch();
        bien &= MideCuentas(base, almacen, ahora);
        PlataformaMedida plataforma;
        modTALVEXV20().plataforma = &plataforma;
        bien &= MideVentana(base); // today's cards still all there
        bien &= MideRespuestas(base, almacen, QDateTime::currentMSecsSinceEpoch());
        bien &= MideBytesPorRepaso(base, almacen, ahora);
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
    return bien ? 0 : 1;
}
