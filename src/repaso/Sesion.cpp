#include "repaso/Sesion.h"

#include <algorithm>
#include <cmath>

namespace Repaso {

namespace {

// A learning card due this soon is shown early when nothing else is left.
constexpr qint64 AdelantoAprendizaje = 20 * 60 * 1000;

bool EsAprendizaje(Estado e)
{
    return e == Estado::Aprendiendo || e == Estado::Reaprendiendo;
}

bool MismaTarjeta(const TarjetaItem& a, const TarjetaItem& b)
{
    return a.item == b.item && a.tipo == b.tipo;
}

} // namespace

Sesion::Sesion(AlmacenRepasos& almacen, AjustesRepaso ajustes, Eleccion eleccion,
               std::optional<QTimeZone> zona)
    : almacen(almacen), ajustes(std::move(ajustes)), eleccion(std::move(eleccion)),
      programador(this->ajustes.ParametrosProgramador(), std::move(zona))
{
}

Recuento Sesion::Cuenta(qint64 ahora) const
{
    const Dias& dias = programador.Calendario();
    const qint64 dia = dias.DiaDe(ahora);
    const qint64 inicio = dias.InicioDia(dia);
    const std::array<int, 4> vencidas = almacen.CuentaVencidas(eleccion, dias.InicioDia(dia + 1));
    Recuento r;
    r.aprendiendo = vencidas[int(Estado::Aprendiendo)] + vencidas[int(Estado::Reaprendiendo)];
    const int repasosLibres = std::max(0, ajustes.repasosPorDia - almacen.CuentaRepasadas(inicio));
    r.repaso = std::min(vencidas[int(Estado::Repaso)], repasosLibres);
    const int nuevasLibres = std::max(0, ajustes.nuevasPorDia - almacen.CuentaIntroducidas(inicio));
    // As the session will choose them: a word once a day, whatever its kinds.
    const std::vector<qint64> respondidos = almacen.ItemsRespondidos(inicio);
    r.nuevas = static_cast<int>(
        EligeNuevas(nuevasLibres, std::set<qint64>(respondidos.begin(), respondidos.end())).size());
    return r;
}

std::vector<TarjetaItem> Sesion::EligeNuevas(int cuantas, const std::set<qint64>& enterrados) const
{
    if (cuantas <= 0)
        return {};
    // Round the kinds, oldest words first; a word takes one kind a day.
    std::vector<std::vector<TarjetaItem>> porTipo;
    const int margen = cuantas + static_cast<int>(enterrados.size());
    for (Tipo tipo : eleccion.tipos)
        porTipo.push_back(almacen.Nuevas(eleccion, tipo, margen + cuantas));
    std::vector<TarjetaItem> elegidas;
    std::set<qint64> usados = enterrados;
    std::vector<size_t> posicion(porTipo.size(), 0);
    bool quedan = true;
    while (static_cast<int>(elegidas.size()) < cuantas && quedan) {
        quedan = false;
        for (size_t k = 0; k < porTipo.size() && static_cast<int>(elegidas.size()) < cuantas; ++k) {
            auto& lista = porTipo[k];
            size_t& i = posicion[k];
            while (i < lista.size() && usados.count(lista[i].item))
                ++i;
            if (i < lista.size()) {
                usados.insert(lista[i].item);
                elegidas.push_back(lista[i++]);
                quedan = true;
            }
        }
    }
    return elegidas;
}

void Sesion::MezclaNuevas(std::vector<TarjetaItem> repasos, std::vector<TarjetaItem> nuevas)
{
    // New words spread evenly among the reviews: one after every few.
    cola.clear();
    const size_t total = repasos.size() + nuevas.size();
    size_t r = 0, n = 0;
    for (size_t i = 0; i < total; ++i) {
        const bool tocaNueva = n < nuevas.size() &&
                               (r >= repasos.size() || (n + 1) * total <= (i + 1) * nuevas.size());
        cola.push_back(tocaNueva ? std::move(nuevas[n++]) : std::move(repasos[r++]));
    }
}

void Sesion::Comienza(qint64 ahora, Ampliacion ampliacion, int extra)
{
    const Dias& dias = programador.Calendario();
    const qint64 dia = dias.DiaDe(ahora);
    const qint64 inicio = dias.InicioDia(dia);
    finDia = dias.InicioDia(dia + 1);
    actual.reset();
    aprendiendo.clear();
    enterrados.clear();
    for (qint64 item : almacen.ItemsRespondidos(inicio))
        enterrados.insert(item);

    const qint64 hasta = ampliacion == Ampliacion::RepasosAdelantados
                             ? dias.InicioDia(dia + 1 + std::max(extra, 0))
                             : finDia;
    std::vector<std::pair<double, TarjetaItem>> repasos;
    almacen.RecorreVencidas(eleccion, hasta, [&](const TarjetaItem& t) {
        if (EsAprendizaje(t.tarjeta.estado)) {
            if (t.tarjeta.vence < finDia)
                aprendiendo.push_back(t);
        } else if (!enterrados.count(t.item)) {
            const double transcurridos =
                t.tarjeta.ultimoRepaso ? dias.CuentaDias(*t.tarjeta.ultimoRepaso, ahora) : 0;
            double r = programador.Calculo().CalculaRetenibilidad(transcurridos,
                                                                  t.tarjeta.memoria.estabilidad);
            repasos.emplace_back(std::isfinite(r) ? r : 0.0, t);
        }
    });
    std::stable_sort(repasos.begin(), repasos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    int repasosLibres = static_cast<int>(repasos.size());
    int nuevasLibres = 0;
    switch (ampliacion) {
    case Ampliacion::Ninguna:
        repasosLibres = std::min(
            repasosLibres, std::max(0, ajustes.repasosPorDia - almacen.CuentaRepasadas(inicio)));
        nuevasLibres = std::max(0, ajustes.nuevasPorDia - almacen.CuentaIntroducidas(inicio));
        break;
    case Ampliacion::NuevasExtra:
        repasosLibres = 0;
        nuevasLibres = std::max(extra, 0);
        break;
    case Ampliacion::RepasosAdelantados:
        // As many as a day's reviews at most, the least remembered first: a week ahead may
        // hold thousands.
        repasosLibres = std::min(repasosLibres, std::max(ajustes.repasosPorDia, 1));
        break;
    }
    std::vector<TarjetaItem> elegidos;
    for (int i = 0; i < repasosLibres; ++i) {
        almacen.CompletaItem(repasos[i].second);
        elegidos.push_back(std::move(repasos[i].second));
    }
    for (TarjetaItem& t : aprendiendo)
        almacen.CompletaItem(t);
    MezclaNuevas(std::move(elegidos), EligeNuevas(nuevasLibres, enterrados));
}

std::optional<TarjetaItem> Sesion::Siguiente(qint64 ahora)
{
    if (actual)
        return actual;
    auto primeraAprendiendo = std::min_element(aprendiendo.begin(), aprendiendo.end(),
                                               [](const TarjetaItem& a, const TarjetaItem& b) {
                                                   return a.tarjeta.vence < b.tarjeta.vence;
                                               });
    const bool hayAprendiendo = primeraAprendiendo != aprendiendo.end();
    // Learning cards when due; then the queue; then a learning card due soon.
    if (hayAprendiendo && primeraAprendiendo->tarjeta.vence <= ahora) {
        actual = *primeraAprendiendo;
        aprendiendo.erase(primeraAprendiendo);
    } else if (!cola.empty()) {
        actual = std::move(cola.front());
        cola.pop_front();
    } else if (hayAprendiendo && primeraAprendiendo->tarjeta.vence <= ahora + AdelantoAprendizaje) {
        actual = *primeraAprendiendo;
        aprendiendo.erase(primeraAprendiendo);
    } else {
        return std::nullopt;
    }
    if (actual->tarjeta.id == 0)
        actual->tarjeta.id = almacen.ProximoIdTarjeta();
    return actual;
}

Tarjeta Sesion::Prevision(const TarjetaItem& tarjeta, Calificacion c, qint64 ahora) const
{
    return programador.Programa(tarjeta.tarjeta, c, ahora);
}

void Sesion::Responde(Calificacion c, qint64 ahora, qint64 duracion, Modo modo)
{
    if (!actual)
        return;
    const TarjetaItem antes = *actual;
    const Tarjeta despues = programador.Programa(antes.tarjeta, c, ahora);
    RegistroRepaso registro =
        FilaDeRespuesta(antes.tarjeta, despues, c, ahora, programador.Calendario());
    registro.duracion = std::max<qint64>(duracion, 0);
    registro.modo = modo;
    registro.tipo = antes.tipo;
    // Saved first: only a saved answer moves the session on.
    const RespuestaGuardada guardada = almacen.GuardaRespuesta(antes, despues, registro);
    respuestas.push_back({guardada, c != Calificacion::OtraVez, registro.duracion});
    actual.reset();
    if (EsAprendizaje(despues.estado) && despues.vence < finDia) {
        TarjetaItem siguiente = antes;
        siguiente.tarjeta = despues;
        siguiente.guardada = true;
        aprendiendo.push_back(std::move(siguiente));
    }
    Entierra(antes.item);
    // The same card may still wait in the queue once (a review done ahead, say): not twice.
    std::erase_if(cola, [&](const TarjetaItem& t) { return MismaTarjeta(t, antes); });
}

void Sesion::Entierra(qint64 item)
{
    enterrados.insert(item);
    std::erase_if(cola, [&](const TarjetaItem& t) { return t.item == item; });
}

bool Sesion::Deshace()
{
    if (respuestas.empty())
        return false;
    const Respondida ultima = respuestas.back();
    almacen.DeshaceRespuesta(ultima.guardada);
    respuestas.pop_back();
    const TarjetaItem& antes = ultima.guardada.antes;
    std::erase_if(aprendiendo, [&](const TarjetaItem& t) { return MismaTarjeta(t, antes); });
    if (actual)
        cola.push_front(*std::exchange(actual, std::nullopt));
    actual = antes;
    return true;
}

Recuento Sesion::Pendientes() const
{
    Recuento r;
    r.aprendiendo = static_cast<int>(aprendiendo.size());
    auto cuenta = [&r](const TarjetaItem& t) {
        if (!t.guardada)
            ++r.nuevas;
        else if (EsAprendizaje(t.tarjeta.estado))
            ++r.aprendiendo;
        else
            ++r.repaso;
    };
    for (const TarjetaItem& t : cola)
        cuenta(t);
    if (actual)
        cuenta(*actual);
    return r;
}

std::optional<qint64> Sesion::ProximoAprendizaje() const
{
    if (aprendiendo.empty())
        return std::nullopt;
    return std::min_element(aprendiendo.begin(), aprendiendo.end(),
                            [](const TarjetaItem& a, const TarjetaItem& b) {
                                return a.tarjeta.vence < b.tarjeta.vence;
                            })
        ->tarjeta.vence;
}

Resumen Sesion::Balance(qint64 ahora) const
{
    Resumen r;
    for (const Respondida& respuesta : respuestas) {
        ++r.respondidas;
        r.acertadas += respuesta.acertada ? 1 : 0;
        r.milisegundos += respuesta.duracion;
    }
    const Dias& dias = programador.Calendario();
    const qint64 dia = dias.DiaDe(ahora);
    auto total = [](const std::array<int, 4>& c) { return c[0] + c[1] + c[2] + c[3]; };
    r.venceManana = total(almacen.CuentaVencidas(eleccion, dias.InicioDia(dia + 2))) -
                    total(almacen.CuentaVencidas(eleccion, dias.InicioDia(dia + 1)));
    return r;
}

} // namespace Repaso
