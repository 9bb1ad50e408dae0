#include "repaso/HistoriasAjuste.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>

namespace Repaso {

namespace {

struct Fila {
    qint64 tarjeta, momento;
    int calificacion;
    bool nueva;
};

} // namespace

DatosAjuste PreparaDatos(const std::vector<RegistroRepaso>& registro, const Dias& dias)
{
    std::vector<Fila> filas;
    filas.reserve(registro.size());
    for (const RegistroRepaso& r : registro) {
        const int c = static_cast<int>(r.calificacion);
        if (c >= 1 && c <= 4)
            filas.push_back({r.tarjeta, r.momento, c, r.estadoAntes == Estado::Nueva});
    }
    std::stable_sort(filas.begin(), filas.end(), [](const Fila& a, const Fila& b) {
        return a.tarjeta != b.tarjeta ? a.tarjeta < b.tarjeta : a.momento < b.momento;
    });

    DatosAjuste datos;
    for (size_t desde = 0; desde < filas.size();) {
        size_t hasta = desde;
        while (hasta < filas.size() && filas[hasta].tarjeta == filas[desde].tarjeta)
            ++hasta;
        size_t inicio = hasta;
        for (size_t i = desde; i < hasta; ++i)
            if (filas[i].nueva)
                inicio = i;
        if (hasta - inicio >= 2) {
            HistoriaAjuste historia;
            historia.repasos.reserve(hasta - inicio);
            const int indice = static_cast<int>(datos.historias.size());
            qint64 diaAnterior = dias.DiaDe(filas[inicio].momento);
            for (size_t i = inicio; i < hasta; ++i) {
                const qint64 dia = dias.DiaDe(filas[i].momento);
                const int transcurridos =
                    i == inicio ? 0 : int(std::max<qint64>(dia - diaAnterior, 0));
                diaAnterior = dia;
                const int posicion = static_cast<int>(historia.repasos.size());
                historia.repasos.push_back({filas[i].calificacion, transcurridos});
                if (transcurridos > 0 && posicion < MaximoHistoria)
                    datos.items.push_back({indice, posicion, filas[i].momento, 1.0});
            }
            datos.historias.push_back(std::move(historia));
        }
        desde = hasta;
    }
    std::stable_sort(
        datos.items.begin(), datos.items.end(),
        [](const ItemAjuste& a, const ItemAjuste& b) { return a.momento < b.momento; });
    return datos;
}

void PonderaPorRecencia(std::vector<ItemAjuste>& items)
{
    const double ultimo = std::max(double(items.size()) - 1.0, 1.0);
    for (size_t i = 0; i < items.size(); ++i)
        items[i].peso = 0.25 + 0.75 * std::pow(double(i) / ultimo, 3);
}

int CuentaRepasosLargos(const HistoriaAjuste& historia, int posicion)
{
    int cuenta = 0;
    for (int i = 0; i <= posicion; ++i)
        cuenta += historia.repasos[i].dias > 0;
    return cuenta;
}

const RepasoAjuste& PrimerRepasoLargo(const HistoriaAjuste& historia)
{
    for (const RepasoAjuste& r : historia.repasos)
        if (r.dias > 0)
            return r;
    return historia.repasos.back(); // not reached: a history with a prediction has one
}

ConjuntosAjuste FiltraAtipicos(const DatosAjuste& datos)
{
    // First rating → interval before the first later-day answer → those predictions.
    std::map<int, std::unordered_map<int, std::vector<size_t>>> grupos;
    for (size_t i = 0; i < datos.items.size(); ++i) {
        const ItemAjuste& item = datos.items[i];
        const HistoriaAjuste& h = datos.historias[item.historia];
        if (CuentaRepasosLargos(h, item.posicion) == 1)
            grupos[h.repasos[0].calificacion][h.repasos[item.posicion].dias].push_back(i);
    }

    std::set<std::pair<int, int>> quitados; // (first rating, interval)
    std::vector<size_t> conservados;
    for (auto& [calificacion, porIntervalo] : grupos) {
        std::vector<std::pair<int, std::vector<size_t>*>> subgrupos;
        size_t total = 0;
        for (auto& [intervalo, indices] : porIntervalo) {
            subgrupos.emplace_back(intervalo, &indices);
            total += indices.size();
        }
        // The rarest first; of two as rare, the shorter interval first.
        std::sort(subgrupos.begin(), subgrupos.end(), [](const auto& a, const auto& b) {
            return a.second->size() != b.second->size() ? a.second->size() < b.second->size()
                                                        : a.first < b.first;
        });
        const size_t cupo = std::max<size_t>(20, total / 20);
        const int intervaloMaximo = calificacion != 4 ? 100 : 365;
        size_t quitadas = 0;
        for (const auto& [intervalo, indices] : subgrupos) {
            if (quitadas + indices->size() >= cupo) {
                if (indices->size() >= 6 && intervalo <= intervaloMaximo)
                    conservados.insert(conservados.end(), indices->begin(), indices->end());
                else
                    quitados.insert({calificacion, intervalo});
            } else {
                quitadas += indices->size();
                quitados.insert({calificacion, intervalo});
            }
        }
    }

    ConjuntosAjuste conjuntos;
    std::sort(conservados.begin(), conservados.end());
    for (size_t i : conservados)
        conjuntos.inicio.push_back(datos.items[i]);
    for (const ItemAjuste& item : datos.items) {
        const HistoriaAjuste& h = datos.historias[item.historia];
        if (!quitados.count({h.repasos[0].calificacion, PrimerRepasoLargo(h).dias}))
            conjuntos.entrenamiento.push_back(item);
    }
    return conjuntos;
}

} // namespace Repaso
