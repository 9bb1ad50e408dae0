#include "repaso/Optimizador.h"

#include "repaso/EstabilidadesIniciales.h"
#include "repaso/HistoriasAjuste.h"
#include "repaso/ModeloAjuste.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <numeric>
#include <random>
#include <thread>
#include <unordered_map>

namespace Repaso {

namespace {

// The training as the published optimizer runs it by default.
constexpr int Epocas = 5;
constexpr int TamanoLote = 512; // predictions per step
constexpr double TasaAprendizaje = 4e-2;
constexpr double Gamma = 1.0; // strength of the pull toward the starting weights
constexpr unsigned Semilla = 2023;
constexpr int MinimoItems = 8, MinimoEntrenamiento = 64;
// How far each weight varies between learners: the pull toward the defaults is measured in
// these units, so that it holds the rarely-moved weights more.
constexpr std::array<double, 21> Desviaciones{6.43, 9.66, 17.58, 27.85, 0.57, 0.28, 0.6,
                                              0.12, 0.39, 0.18,  0.33,  0.3,  0.09, 0.16,
                                              0.57, 0.25, 1.03,  0.31,  0.32, 0.14, 0.27};

// Into the ranges the model runs with (the scheduler's own clipping).
std::vector<double> AcotaPesos(const std::vector<double>& pesos)
{
    Parametros parametros;
    parametros.pesos = pesos;
    return Modelo(parametros).Ajustes().pesos;
}

bool SonValidos(const std::vector<double>& pesos)
{
    return pesos.size() == 21 &&
           std::all_of(pesos.begin(), pesos.end(), [](double v) { return std::isfinite(v); });
}

bool Recordado(const DatosAjuste& datos, const ItemAjuste& item)
{
    return datos.historias[item.historia].repasos[item.posicion].calificacion > 1;
}

class Avance {
public:
    Avance(const ProgresoAjuste& progreso, const std::atomic<bool>* cancelado, int total)
        : progreso(progreso), cancelado(cancelado), total(std::max(total, 1))
    {
    }
    // False once cancelled.
    bool Suma(int cuanto)
    {
        hecho = std::min(hecho + cuanto, total);
        if (progreso)
            progreso(hecho, total);
        return !Cancelado();
    }
    bool Cancelado() const { return cancelado && cancelado->load(); }

private:
    ProgresoAjuste progreso;
    const std::atomic<bool>* cancelado;
    int total, hecho = 0;
};

// The bin of a prediction for the RMSE: its interval, how many later-day answers the card has
// had, how many lapses, each on a logarithmic scale, as the published optimizer bins them.
quint64 Casilla(int dias, int largos, int olvidos)
{
    auto escala = [](double x, double base, double factor) {
        return quint64(
            std::llround(factor * std::pow(base, std::floor(std::log(x) / std::log(base)))));
    };
    const quint64 intervalo = escala(dias, 3.62, 2.48 * 100);
    const quint64 longitud = escala(largos + 1, 1.89, 1.99);
    const quint64 lapsos = olvidos == 0 ? 0 : escala(olvidos, 1.73, 1.65);
    return (intervalo << 32) | (longitud << 16) | lapsos;
}

// Log loss and RMSE(bins) of some weights on every prediction, weighted by recency (the items'
// weights). False when cancelled.
bool Mide(const DatosAjuste& datos, const std::vector<double>& pesos, Avance& avance,
          MedidasAjuste& medidas)
{
    std::array<double, 21> w;
    std::copy_n(pesos.begin(), 21, w.begin());
    const PesosAjuste<double> p(w);
    // Each history is run once; its predictions and bins kept by position.
    std::vector<size_t> desde(datos.historias.size() + 1, 0);
    for (size_t i = 0; i < datos.historias.size(); ++i)
        desde[i + 1] = desde[i] + datos.historias[i].repasos.size();
    std::vector<double> predicciones(desde.back(), 0.0);
    std::vector<quint64> casillas(desde.back(), 0);
    std::vector<int> ultima(datos.historias.size(), 0);
    for (const ItemAjuste& item : datos.items)
        ultima[item.historia] = std::max(ultima[item.historia], item.posicion);
    for (size_t i = 0; i < datos.historias.size(); ++i) {
        const HistoriaAjuste& h = datos.historias[i];
        int largos = 0, olvidos = 0;
        RecorreHistoria(p, h, ultima[i], [&](int k, double r) {
            ++largos;
            predicciones[desde[i] + k] = r;
            casillas[desde[i] + k] = Casilla(h.repasos[k].dias, largos, olvidos);
            if (h.repasos[k].calificacion == 1)
                ++olvidos;
        });
        if (i % 4096 == 4095 && !avance.Suma(0))
            return false;
    }
    struct Acumulado {
        double prevista = 0, real = 0, cuenta = 0, peso = 0;
    };
    std::unordered_map<quint64, Acumulado> porCasilla;
    double perdida = 0, pesoTotal = 0;
    for (const ItemAjuste& item : datos.items) {
        const size_t k = desde[item.historia] + item.posicion;
        const bool recordado = Recordado(datos, item);
        perdida += EntropiaCruzada(predicciones[k], recordado) * item.peso;
        pesoTotal += item.peso;
        Acumulado& a = porCasilla[casillas[k]];
        a.prevista += predicciones[k];
        a.real += recordado;
        a.cuenta += 1;
        a.peso += item.peso;
    }
    double error = 0, pesoCasillas = 0;
    for (const auto& [casilla, a] : porCasilla) {
        error += std::pow((a.prevista - a.real) / a.cuenta, 2) * a.peso;
        pesoCasillas += a.peso;
    }
    medidas.items = int(datos.items.size());
    medidas.logLoss = pesoTotal > 0 ? perdida / pesoTotal : 0;
    medidas.rmseBins = pesoCasillas > 0 ? std::sqrt(error / pesoCasillas) : 0;
    return avance.Suma(int(datos.items.size()));
}

// Predictions of about the same history length together, oldest first among equals, up to
// TamanoLote a batch: each batch then mixes many cards, as the published optimizer's does
// (whole cards a batch learned noticeably worse on large logs).
std::vector<std::vector<ItemAjuste>> FormaLotes(std::vector<ItemAjuste> items)
{
    std::stable_sort(items.begin(), items.end(), [](const ItemAjuste& a, const ItemAjuste& b) {
        return a.posicion < b.posicion;
    });
    std::vector<std::vector<ItemAjuste>> lotes;
    for (size_t i = 0; i < items.size(); i += TamanoLote)
        lotes.emplace_back(items.begin() + i,
                           items.begin() + std::min(items.size(), i + TamanoLote));
    return lotes;
}

// Adam's running moments.
struct Adam {
    std::array<double, 21> m{}, v{};
    int t = 0;
    void Paso(std::vector<double>& w, const std::array<double, 21>& g, double tasa)
    {
        ++t;
        const double c1 = 1.0 - std::pow(0.9, t), c2 = 1.0 - std::pow(0.999, t);
        for (int i = 0; i < 21; ++i) {
            m[i] = 0.9 * m[i] + 0.1 * g[i];
            v[i] = 0.999 * v[i] + 0.001 * g[i] * g[i];
            w[i] -= tasa * (m[i] / c1) / (std::sqrt(v[i] / c2) + 1e-8);
        }
    }
};

// The learning rate falls along half a cosine over the whole training (as the published
// optimizer's scheduler computes it, step by step).
class TasaCoseno {
public:
    explicit TasaCoseno(double pasos) : pasos(pasos) {}
    double Siguiente()
    {
        constexpr double Pi = 3.14159265358979323846;
        ++paso;
        if (paso == 0)
            tasa = TasaAprendizaje;
        else if (std::fmod(paso - 1 - pasos, 2 * pasos) == 0)
            tasa = TasaAprendizaje * (1 - std::cos(Pi / pasos)) / 2;
        else
            tasa =
                (1 + std::cos(Pi * paso / pasos)) / (1 + std::cos(Pi * (paso - 1) / pasos)) * tasa;
        return tasa;
    }

private:
    double pasos, paso = -1, tasa = TasaAprendizaje;
};

} // namespace

double PerdidaLote(const DatosAjuste& datos, const ItemAjuste* items, size_t cuantos,
                   const std::vector<double>& pesos, std::array<double, 21>& gradiente)
{
    std::array<Dual, 21> w;
    for (int i = 0; i < 21; ++i)
        w[i] = Dual::Variable(pesos[i], i);
    const PesosAjuste<Dual> p(w);
    Dual perdida(0.0);
    for (size_t desde = 0; desde < cuantos;) {
        // Consecutive predictions of one history, in order, share a run through it.
        size_t hasta = desde + 1;
        while (hasta < cuantos && items[hasta].historia == items[desde].historia &&
               items[hasta].posicion > items[hasta - 1].posicion)
            ++hasta;
        const HistoriaAjuste& h = datos.historias[items[desde].historia];
        size_t siguiente = desde;
        RecorreHistoria(p, h, items[hasta - 1].posicion, [&](int k, const Dual& r) {
            if (siguiente < hasta && items[siguiente].posicion == k) {
                const bool recordado = h.repasos[k].calificacion > 1;
                perdida = perdida + EntropiaCruzada(r, recordado) * items[siguiente].peso;
                ++siguiente;
            }
        });
        desde = hasta;
    }
    std::copy(perdida.d.begin(), perdida.d.end(), gradiente.begin());
    return perdida.v;
}

namespace {

// Trains from `inicio`; false when cancelled.
bool Entrena(const DatosAjuste& datos, const std::vector<ItemAjuste>& items,
             const std::vector<double>& inicio, Avance& avance, std::vector<double>& pesos)
{
    const int total = int(items.size());
    const std::vector<std::vector<ItemAjuste>> lotes = FormaLotes(items);
    TasaCoseno tasa(double((total / TamanoLote + 1) * Epocas));
    Adam adam;
    std::mt19937 azar(Semilla);
    std::vector<size_t> orden(lotes.size());
    pesos = inicio;
    for (int epoca = 0; epoca < Epocas; ++epoca) {
        std::iota(orden.begin(), orden.end(), 0);
        std::shuffle(orden.begin(), orden.end(), azar);
        for (size_t i : orden) {
            const std::vector<ItemAjuste>& lote = lotes[i];
            // Half the batch on another core.
            const size_t mitad = lote.size() / 2;
            std::array<double, 21> gradiente{}, otro{};
            std::thread segundo(
                [&] { PerdidaLote(datos, lote.data() + mitad, lote.size() - mitad, pesos, otro); });
            PerdidaLote(datos, lote.data(), mitad, pesos, gradiente);
            segundo.join();
            const double escala = Gamma * double(lote.size()) / total;
            for (int j = 0; j < 21; ++j)
                gradiente[j] +=
                    2 * (pesos[j] - inicio[j]) / (Desviaciones[j] * Desviaciones[j]) * escala;
            adam.Paso(pesos, gradiente, tasa.Siguiente());
            pesos = AcotaPesos(pesos);
            if (!avance.Suma(int(lote.size())))
                return false;
        }
    }
    return true;
}

QString TextoCancelado()
{
    return QStringLiteral("Ajuste cancelado: siguen los parámetros de antes.");
}

ResultadoAjuste Fallido(ResultadoAjuste r, const QString& porque)
{
    r.mejora = false;
    r.ajustados = r.pesos;
    r.motivo = porque + QStringLiteral(" Siguen los parámetros de antes.");
    return r;
}

// A figure in a sentence, written as Spanish writes it ("0,3097").
QString Cifra(double x)
{
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(x, 'f', 4);
}

} // namespace

ResultadoAjuste AjustaParametros(const std::vector<RegistroRepaso>& registro,
                                 const std::vector<double>& actuales, const Dias& dias,
                                 const ProgresoAjuste& progreso, const std::atomic<bool>* cancelado)
{
    ResultadoAjuste r;
    r.pesos = SonValidos(actuales) ? AcotaPesos(actuales) : PesosPredeterminados();
    r.ajustados = r.pesos;
    const QString cancelacion = TextoCancelado();
    try {
        DatosAjuste datos = PreparaDatos(registro, dias);
        if (datos.items.empty()) {
            r.motivo =
                registro.empty()
                    ? QStringLiteral("No hay repasos: nada que ajustar todavía.")
                    : QStringLiteral("Ninguna tarjeta se ha repasado aún en un día posterior "
                                     "al de su primera respuesta: nada que ajustar todavía.");
            return r;
        }
        PonderaPorRecencia(datos.items);
        const ConjuntosAjuste conjuntos = FiltraAtipicos(datos);
        std::vector<ItemAjuste> entrenamiento = conjuntos.entrenamiento;
        PonderaPorRecencia(entrenamiento);
        const int n = int(entrenamiento.size());
        const bool entrena = n >= MinimoEntrenamiento && n != int(conjuntos.inicio.size());
        Avance avance(progreso, cancelado,
                      2 * int(datos.items.size()) + (entrena ? Epocas * n : 0));

        if (!Mide(datos, r.pesos, avance, r.antes)) {
            r.cancelado = true;
            r.motivo = cancelacion;
            return r;
        }
        if (n < MinimoItems) {
            r.ajustados = PesosPredeterminados();
            r.despues = r.antes;
            r.motivo = QStringLiteral("Hacen falta al menos %1 repasos hechos en días posteriores "
                                      "al de la primera respuesta de su tarjeta, tras intervalos "
                                      "que compartan varias tarjetas; hay %2. Siguen los "
                                      "parámetros de antes.")
                           .arg(MinimoItems)
                           .arg(n);
            return r;
        }
        double recordados = 0;
        for (const ItemAjuste& item : entrenamiento)
            recordados += Recordado(datos, item);
        const auto inicio = EstimaEstabilidadesIniciales(datos, conjuntos.inicio, recordados / n);
        if (!inicio) {
            r.despues = r.antes;
            r.motivo = QStringLiteral("Los repasos son demasiado dispersos para estimar la memoria "
                                      "tras la primera respuesta. Siguen los parámetros de antes.");
            return r;
        }
        std::vector<double> ajustados = PesosPredeterminados();
        std::copy(inicio->estabilidades.begin(), inicio->estabilidades.end(), ajustados.begin());
        if (entrena) {
            const std::vector<double> desde = AcotaPesos(ajustados);
            if (!Entrena(datos, entrenamiento, desde, avance, ajustados)) {
                r.cancelado = true;
                r.despues = r.antes;
                r.motivo = cancelacion;
                return r;
            }
            std::array<double, 4> estabilidades;
            std::copy_n(ajustados.begin(), 4, estabilidades.begin());
            if (const auto completas = CompletaEstabilidades(estabilidades, inicio->cuentas))
                std::copy(completas->begin(), completas->end(), ajustados.begin());
        }
        if (!SonValidos(ajustados)) {
            r.despues = r.antes;
            r.motivo = QStringLiteral("El ajuste no dio parámetros válidos. Siguen los de antes.");
            return r;
        }
        r.ajustados = AcotaPesos(ajustados);
        if (!Mide(datos, r.ajustados, avance, r.despues)) {
            r.cancelado = true;
            r.motivo = cancelacion;
            return r;
        }
        r.mejora = std::isfinite(r.despues.logLoss) && r.despues.logLoss < r.antes.logLoss;
        if (r.mejora)
            r.pesos = r.ajustados;
        else
            r.motivo = QStringLiteral("Los parámetros ajustados no predicen mejor sus respuestas "
                                      "(pérdida %1 frente a %2). Siguen los de antes.")
                           .arg(Cifra(r.despues.logLoss), Cifra(r.antes.logLoss));
    } catch (const std::bad_alloc&) {
        r = Fallido(r,
                    QStringLiteral("No hay memoria suficiente para ajustar con tantos repasos."));
    } catch (const std::exception&) {
        r = Fallido(r, QStringLiteral("El ajuste falló."));
    }
    return r;
}

MedidasAjuste MideParametros(const std::vector<RegistroRepaso>& registro,
                             const std::vector<double>& pesos, const Dias& dias)
{
    DatosAjuste datos = PreparaDatos(registro, dias);
    PonderaPorRecencia(datos.items);
    Avance avance({}, nullptr, 0);
    MedidasAjuste medidas;
    Mide(datos, SonValidos(pesos) ? AcotaPesos(pesos) : PesosPredeterminados(), avance, medidas);
    return medidas;
}

std::vector<RegistroRepaso> LeeRegistro(const AlmacenRepasos& almacen)
{
    std::vector<RegistroRepaso> registro;
    almacen.RecorreRepasos([&](const RegistroRepaso& repaso) { registro.push_back(repaso); });
    return registro;
}

ResultadoAjuste AjustaParametros(const AlmacenRepasos& almacen, const std::vector<double>& actuales,
                                 const Dias& dias, const ProgresoAjuste& progreso,
                                 const std::atomic<bool>* cancelado)
{
    ResultadoAjuste r;
    r.pesos = r.ajustados = SonValidos(actuales) ? AcotaPesos(actuales) : PesosPredeterminados();
    struct Cancelado {};
    std::vector<RegistroRepaso> registro;
    try {
        // A large log takes a moment to read: a cancel is heeded meanwhile too.
        almacen.RecorreRepasos([&](const RegistroRepaso& repaso) {
            registro.push_back(repaso);
            if (registro.size() % 65536 == 0 && cancelado && cancelado->load())
                throw Cancelado{};
        });
    } catch (const Cancelado&) {
        r.cancelado = true;
        r.motivo = TextoCancelado();
        return r;
    } catch (...) {
        return Fallido(r, QStringLiteral("No se pudo leer el registro de repasos."));
    }
    return AjustaParametros(registro, actuales, dias, progreso, cancelado);
}

} // namespace Repaso
