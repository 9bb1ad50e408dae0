// Adds a learner's practice to a large vocabulary database for the benchmarks: cards and their
// review logs, histories played through the scheduler as a learner would have answered them
// (mostly Bien, some Otra vez, Difícil and Fácil, each answer at its due time or somewhat
// late), ending before today as for a learner who practises every day, so that the cards due
// are today's. Written through the store, in
// transactions of 10,000 cards.
//
//   GeneraRepasos RUTA [TARJETAS=200000] [REPASOS=2000000]   (RUTA made by GeneraVocabulario)
//
// Half the cards ask English → Spanish, 30 % Spanish → English, 20 % are dictation; about
// REPASOS answers in all, before the start of today (the learner has not practised yet today).
// The same on every run but for the dates.
#include "data/BaseVocabulario.h"
#include "data/Sqlite.h"
#include "repaso/AjustesRepaso.h"
#include "repaso/AlmacenRepasos.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>

#include <cstdio>
#include <random>

using namespace Repaso;

namespace {

constexpr qint64 Minuto = 60 * 1000;
constexpr qint64 Dia = 24 * 60 * Minuto;

// One answer drawn beforehand: the rating, how late after the due time, how long it took.
struct Intento {
    Calificacion c;
    qint64 retraso; // ms after the due time
    qint64 duracion;
};

class Historias {
public:
    // Every answer lands before `limite`: the start of today, when the learner has not
    // practised yet.
    Historias(const Programador& programador, qint64 limite)
        : programador(programador), limite(limite)
    {
    }

    // About `respuestas` answers of one card, more while it is still on a learning step (a
    // learner finishes the steps within the session). The history is played once from years
    // ago to learn how long it lasts, then again whole days later so that it ends before the
    // limit: the same days elapse, so the same answers give the same card.
    std::vector<RegistroRepaso> Genera(TarjetaItem& tarjeta, int respuestas, Modo modo)
    {
        std::vector<Intento> intentos;
        const Tarjeta nueva = tarjeta.tarjeta;
        const qint64 ensayo = limite - 20 * 365 * Dia;
        qint64 fin = 0;
        const Tarjeta ultima = Juega(nueva, intentos, respuestas, ensayo, nullptr, &fin);
        // A learner who practised every day until yesterday: no card is due before today.
        const qint64 holgura = Entre(0, ultima.diasProgramados) * Dia + Entre(1, 600) * Minuto;
        const qint64 dias = (limite - holgura - fin) / Dia;
        std::vector<RegistroRepaso> registro;
        tarjeta.tarjeta = Juega(nueva, intentos, 0, ensayo + dias * Dia, &registro, nullptr);
        for (RegistroRepaso& r : registro) {
            r.modo = modo;
            r.tipo = tarjeta.tipo;
        }
        return registro;
    }

    int Entre(int desde, int hasta)
    {
        return std::uniform_int_distribution<int>(desde, hasta)(azar);
    }

private:
    // The card after the answers from `inicio`; with `registro`, each review's row. Attempts
    // are drawn while `intentos` has none left and the card wants more (`minimo` at least);
    // a play that finds them drawn gives them all.
    Tarjeta Juega(Tarjeta tarjeta, std::vector<Intento>& intentos, int minimo, qint64 inicio,
                  std::vector<RegistroRepaso>* registro, qint64* fin)
    {
        qint64 momento = inicio;
        for (size_t i = 0;; ++i) {
            if (i == intentos.size()) {
                const bool aprendiendo = tarjeta.estado == Estado::Aprendiendo ||
                                         tarjeta.estado == Estado::Reaprendiendo;
                if (int(i) >= minimo && (!aprendiendo || int(i) >= minimo + 10))
                    break;
                intentos.push_back(Dibuja(tarjeta));
            }
            if (i > 0)
                momento = tarjeta.vence + intentos[i].retraso;
            if (registro && momento >= limite)
                break; // summer time moved a day start: the rest would lie in the future
            const Tarjeta despues = programador.Programa(tarjeta, intentos[i].c, momento);
            if (registro) {
                RegistroRepaso r;
                r.momento = momento;
                r.calificacion = intentos[i].c;
                r.estadoAntes = tarjeta.estado;
                r.diasTranscurridos =
                    tarjeta.ultimoRepaso
                        ? programador.Calendario().CuentaDias(*tarjeta.ultimoRepaso, momento)
                        : 0;
                r.diasProgramados = despues.diasProgramados;
                r.memoria = despues.memoria;
                r.duracion = intentos[i].duracion;
                registro->push_back(r);
            }
            tarjeta = despues;
        }
        if (fin)
            *fin = momento;
        return tarjeta;
    }

    Intento Dibuja(const Tarjeta& tarjeta)
    {
        const int tirada = Entre(1, 20);
        const Calificacion c = tirada <= 3    ? Calificacion::OtraVez
                               : tirada <= 5  ? Calificacion::Dificil
                               : tirada <= 18 ? Calificacion::Bien
                                              : Calificacion::Facil;
        // Steps are taken within the session; reviews up to a quarter of their interval late.
        const qint64 retraso = tarjeta.estado == Estado::Repaso
                                   ? Entre(0, 60 * 24 * (1 + tarjeta.diasProgramados / 4)) * Minuto
                                   : Entre(0, 20 * 60) * 1000;
        return {c, retraso, Entre(1500, 15000)};
    }

    const Programador& programador;
    const qint64 limite;
    std::mt19937 azar{20261210u};
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() < 2 || argumentos.size() > 4) {
        std::fputs("Uso: GeneraRepasos RUTA [TARJETAS=200000] [REPASOS=2000000]\n", stderr);
        return 2;
    }
    const int cuantasTarjetas = argumentos.size() > 2 ? argumentos[2].toInt() : 200000;
    const qint64 cuantosRepasos = argumentos.size() > 3 ? argumentos[3].toLongLong() : 2000000;
    if (cuantasTarjetas <= 0 || cuantosRepasos < cuantasTarjetas) {
        std::fputs("Al menos un repaso por tarjeta.\n", stderr);
        return 2;
    }
    QElapsedTimer reloj;
    reloj.start();
    qint64 escritos = 0;
    try {
        BaseVocabulario base;
        base.Abre(argumentos[1]);
        AlmacenRepasos almacen(base);
        const Programador programador(LeeAjustesRepaso(base).ParametrosProgramador());
        const Dias& dias = programador.Calendario();
        const qint64 hoy = dias.InicioDia(dias.DiaDe(QDateTime::currentMSecsSinceEpoch()));
        Historias historias(programador, hoy);

        // The first items get their cards, as a learner practises what they added first.
        const Eleccion todo{std::nullopt, {Tipo::IngEsp, Tipo::EspIng, Tipo::Dictado}};
        std::vector<TarjetaItem> tarjetas;
        for (const auto& [tipo, parte] : {std::pair{Tipo::IngEsp, 50}, std::pair{Tipo::EspIng, 30},
                                          std::pair{Tipo::Dictado, 20}}) {
            const std::vector<TarjetaItem> nuevas =
                almacen.Nuevas(todo, tipo, cuantasTarjetas * parte / 100);
            tarjetas.insert(tarjetas.end(), nuevas.begin(), nuevas.end());
        }
        constexpr size_t PorTransaccion = 10000;
        for (size_t desde = 0; desde < tarjetas.size(); desde += PorTransaccion) {
            base.EscribeAparte([&](ConexionSqlite& conexion) {
                for (size_t i = desde; i < std::min(desde + PorTransaccion, tarjetas.size()); ++i) {
                    TarjetaItem& tarjeta = tarjetas[i];
                    const Modo modo = tarjeta.tipo == Tipo::Dictado ? Modo::Dictado
                                      : i % 3 == 0                  ? Modo::Escrito
                                                                    : Modo::Tarjetas;
                    // The card exists first: its number seeds the fuzz of its intervals.
                    tarjeta.tarjeta.id = almacen.EscribeTarjeta(conexion, tarjeta);
                    // Around what is left per card: the steps finished beyond it even out.
                    const qint64 media = (cuantosRepasos - escritos) / qint64(tarjetas.size() - i);
                    std::vector<RegistroRepaso> registro = historias.Genera(
                        tarjeta, historias.Entre(1, int(std::max<qint64>(1, 2 * media - 1))), modo);
                    tarjeta.guardada = true;
                    almacen.EscribeTarjeta(conexion, tarjeta);
                    for (RegistroRepaso& r : registro) {
                        r.tarjeta = tarjeta.tarjeta.id;
                        almacen.AgregaRepaso(conexion, r);
                    }
                    escritos += qint64(registro.size());
                }
            });
        }
        std::printf("%zu tarjetas y %lld repasos, hasta el comienzo de hoy, escritos en %lld ms\n",
                    tarjetas.size(), static_cast<long long>(escritos),
                    static_cast<long long>(reloj.elapsed()));
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
    return 0;
}
