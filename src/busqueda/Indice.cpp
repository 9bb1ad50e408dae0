#include "busqueda/IndiceDatos.h"

#include "data/ErrorTalvex.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>

namespace Busqueda {

Indice::Indice() = default;
Indice::~Indice() = default;
Indice::Indice(Indice&&) noexcept = default;
Indice& Indice::operator=(Indice&&) noexcept = default;

namespace {

// Tight, but for room for the rows a session adds, so that the first of them does not move
// the whole container.
template <typename T> void Ajusta(T& contenedor, size_t holgura = 0)
{
    contenedor.shrink_to_fit();
    contenedor.reserve(contenedor.size() + holgura);
}

std::vector<QString> NombresDeTemas(const BaseVocabulario& base)
{
    std::vector<QString> nombres;
    base.RecorreTemas([&](const Tema& tema) { nombres.push_back(tema.NOMBRETEMA); });
    return nombres;
}

} // namespace

void Indice::Construye(const BaseVocabulario& base)
{
    ConstruyeCon(&base, base.Escrituras(), [&](const auto& temas, const auto& items) {
        base.RecorreTemas(temas);
        base.RecorreItems(items);
        return true;
    });
}

bool Indice::ConstruyeCon(const BaseVocabulario* base, quint64 escrituras, const Recorrido& recorre)
{
    auto n = std::make_unique<Datos>();
    n->base = base;
    n->escrituras = escrituras;
    std::vector<QString> nombresTemas;
    const bool entero =
        recorre([&](const Tema& tema) { nombresTemas.push_back(tema.NOMBRETEMA); },
                [&](const Item& item) {
                    if (n->ordenTemas.empty() && !nombresTemas.empty())
                        n->OrdenaTemas(nombresTemas); // the table's topics take the first ids
                    const uint32_t i = n->AnadeItem(item);
                    n->orden.push_back(i);
                });
    if (!entero)
        return false;
    n->OrdenaTemas(nombresTemas);
    n->IndexaTemas(true);

    // Each word's holders were laid one after another as they grew: packed again, tightly.
    {
        std::vector<uint32_t> usos;
        size_t todos = 0;
        for (const Datos::Usos& u : n->usosDe)
            todos += u.cuenta;
        usos.reserve(todos);
        for (Datos::Usos& u : n->usosDe) {
            const auto inicio = static_cast<uint32_t>(usos.size());
            usos.insert(usos.end(), n->usos.begin() + u.Inicio(),
                        n->usos.begin() + u.Inicio() + u.cuenta);
            u.inicio = inicio;
        }
        n->usos.swap(usos);
    }
    n->NumeraPorLargo();
    const auto palabras = static_cast<uint32_t>(n->palabraIni.size() - 1);
    for (uint32_t w = 0; w < palabras; ++w) {
        std::vector<uint32_t>& mascaras = n->mascarasDeLargo[n->largos[w]];
        if (mascaras.empty())
            n->primeraDeLargo[n->largos[w]] = w;
        mascaras.push_back(MascaraDe(LetrasDe(n->Palabra(w))));
    }
    n->porBytes.resize(palabras);
    for (uint32_t w = 0; w < palabras; ++w)
        n->porBytes[w] = w;
    const Datos& hecho = *n;
    std::sort(n->porBytes.begin(), n->porBytes.end(),
              [&](uint32_t a, uint32_t b) { return hecho.Palabra(a) < hecho.Palabra(b); });

    n->porIngles = n->porEspanol = n->orden;
    std::sort(n->porIngles.begin(), n->porIngles.end(),
              [&](uint32_t a, uint32_t b) { return hecho.Ingles(a) < hecho.Ingles(b); });
    std::sort(n->porEspanol.begin(), n->porEspanol.end(),
              [&](uint32_t a, uint32_t b) { return hecho.Espanol(a) < hecho.Espanol(b); });
    n->CuentaRangos();
    n->EscribeLeidos();
    n->construido = true;

    Ajusta(n->leidos.codigos);
    n->notasLeidas.Termina();
    constexpr size_t Holgura = 2048;
    Ajusta(n->ranuras, Holgura);
    Ajusta(n->largosTexto, Holgura);
    Ajusta(n->palabras); // a string would double its room to make a little
    Ajusta(n->palabraIni, Holgura);
    n->huecos.Libera();
    Ajusta(n->largos, Holgura);
    Ajusta(n->usosDe, Holgura);
    Ajusta(n->orden, Holgura);
    Ajusta(n->porIngles, Holgura);
    Ajusta(n->porEspanol, Holgura);
    Ajusta(n->porBytes, Holgura);
    Ajusta(n->rango, Holgura);
    for (auto& mascaras : n->mascarasDeLargo)
        Ajusta(mascaras);
    d = std::move(n);
    return true;
}

bool Indice::AlDia(const BaseVocabulario& base) const
{
    return d && d->base == &base && d->escrituras == base.Escrituras();
}

// One slot out of an order by a text, or into it after those of equal text.
template <typename Campo>
void Indice::Datos::QuitaDe(std::vector<uint32_t>& por, uint32_t i, Campo campo)
{
    const auto [desde, hasta] = std::equal_range(
        por.begin(), por.end(), i, [&](uint32_t a, uint32_t b) { return campo(a) < campo(b); });
    por.erase(std::find(desde, hasta, i));
}

template <typename Campo>
void Indice::Datos::PonEn(std::vector<uint32_t>& por, uint32_t i, Campo campo)
{
    por.insert(std::upper_bound(por.begin(), por.end(), i,
                                [&](uint32_t a, uint32_t b) { return campo(a) < campo(b); }),
               i);
}

// The slots of the items whose keys are given (sorted), found by their keys in key order.
std::vector<uint32_t> Indice::Datos::Localiza(const std::vector<QByteArray>& claves) const
{
    std::vector<uint32_t> halladas;
    for (const QByteArray& clave : claves) {
        const size_t lugar = LugarDe(clave);
        if (lugar < orden.size() && Clave(orden[lugar]) == clave)
            halladas.push_back(orden[lugar]);
    }
    return halladas;
}

// New slots into the orders by key, by English and by Spanish, each merged in one pass.
void Indice::Datos::InsertaEnOrden(std::vector<uint32_t> nuevas)
{
    std::vector<std::pair<QByteArray, uint32_t>> porClave;
    for (uint32_t i : nuevas)
        porClave.emplace_back(Clave(i), i);
    std::sort(porClave.begin(), porClave.end());
    std::vector<uint32_t> unidas;
    unidas.reserve(orden.size() + nuevas.size());
    size_t desde = 0;
    for (const auto& [clave, i] : porClave) {
        const size_t hasta = LugarDe(clave, desde);
        unidas.insert(unidas.end(), orden.begin() + static_cast<ptrdiff_t>(desde),
                      orden.begin() + static_cast<ptrdiff_t>(hasta));
        unidas.push_back(i);
        desde = hasta;
    }
    unidas.insert(unidas.end(), orden.begin() + static_cast<ptrdiff_t>(desde), orden.end());
    orden.swap(unidas);

    auto Une = [&](std::vector<uint32_t>& por, auto campo) {
        auto Antes = [&](uint32_t a, uint32_t b) { return campo(a) < campo(b); };
        std::vector<uint32_t> nuevasPor = nuevas;
        std::sort(nuevasPor.begin(), nuevasPor.end(), Antes);
        std::vector<uint32_t> todas;
        todas.reserve(por.size() + nuevasPor.size());
        std::merge(por.begin(), por.end(), nuevasPor.begin(), nuevasPor.end(),
                   std::back_inserter(todas), Antes);
        por.swap(todas);
    };
    Une(porIngles, [&](uint32_t i) { return Ingles(i); });
    Une(porEspanol, [&](uint32_t i) { return Espanol(i); });
}

// What the store's writes changed, row by row: topics renamed with their items first, in the
// order the store renamed them, then each item named read again as the store has it now, so
// that whatever happened to it in between, the index ends as the store is.
void Indice::Datos::Aplica(const CambiosVocabulario& cambios, const BaseVocabulario& base)
{
    const bool temasCambian = cambios.temas || !cambios.temasDeItems.empty();
    if (temasCambian)
        IndexaTemas(false);
    const auto temasAntes = static_cast<uint32_t>(temas.size());
    for (const auto& [antes, despues] : cambios.temasDeItems) {
        const auto it = idTema.constFind(antes);
        if (it == idTema.cend())
            continue;
        const uint32_t de = *it, a = IdTema(despues, false);
        for (uint32_t i : orden)
            if (ranuras[i].tema == de)
                ranuras[i].tema = a;
    }

    std::vector<std::pair<QByteArray, QString>> nombrados;
    for (const QString& ingles : cambios.items)
        nombrados.emplace_back(CalculaClaveOrden(ingles), ingles);
    std::sort(nombrados.begin(), nombrados.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    nombrados.erase(std::unique(nombrados.begin(), nombrados.end(),
                                [](const auto& a, const auto& b) { return a.first == b.first; }),
                    nombrados.end());
    std::vector<QByteArray> claves;
    for (const auto& nombrado : nombrados)
        claves.push_back(nombrado.first);
    const std::vector<uint32_t> quitadas = Localiza(claves);
    // A few rows move within the orders where they are; many are merged in one pass.
    const bool pocas = quitadas.size() + nombrados.size() <= 256;
    size_t desde = pocas ? orden.size() : 0; // the first place in key order that moved
    if (pocas) {
        std::vector<uint32_t> porLugar = quitadas;
        std::sort(porLugar.begin(), porLugar.end(),
                  [&](uint32_t a, uint32_t b) { return rango[a] > rango[b]; });
        for (uint32_t i : porLugar) {
            desde = std::min<size_t>(desde, rango[i]);
            orden.erase(orden.begin() + rango[i]);
            QuitaDe(porIngles, i, [&](uint32_t j) { return Ingles(j); });
            QuitaDe(porEspanol, i, [&](uint32_t j) { return Espanol(j); });
        }
        for (uint32_t i : quitadas)
            QuitaItem(i);
    } else if (!quitadas.empty()) {
        std::vector<char> fuera(ranuras.size(), 0);
        for (uint32_t i : quitadas) {
            QuitaItem(i);
            fuera[i] = 1;
        }
        for (std::vector<uint32_t>* por : {&orden, &porIngles, &porEspanol})
            por->erase(
                std::remove_if(por->begin(), por->end(), [&](uint32_t i) { return fuera[i]; }),
                por->end());
    }
    std::vector<uint32_t> nuevas;
    for (const auto& [clave, ingles] : nombrados)
        if (const std::optional<Item> item = base.LocalizaItem(ingles)) {
            nuevas.push_back(AnadeItem(*item));
            notasCambiadas.push_back(nuevas.back());
        }
    if (pocas) {
        for (uint32_t i : nuevas) {
            const size_t lugar = LugarDe(Clave(i));
            desde = std::min(desde, lugar);
            orden.insert(orden.begin() + static_cast<ptrdiff_t>(lugar), i);
            PonEn(porIngles, i, [&](uint32_t j) { return Ingles(j); });
            PonEn(porEspanol, i, [&](uint32_t j) { return Espanol(j); });
        }
    } else {
        InsertaEnOrden(std::move(nuevas));
    }

    if (temasCambian) {
        OrdenaTemas(NombresDeTemas(base));
        IndexaTemas(true);
    } else {
        IndexaTemas(true, temasAntes); // topics first named by the items just read
    }
    rangoTema.resize(temas.size(), UINT32_MAX);
    // Each changed item's slot once, while its notes are among the changed ones.
    std::sort(notasCambiadas.begin(), notasCambiadas.end());
    notasCambiadas.erase(std::unique(notasCambiadas.begin(), notasCambiadas.end()),
                         notasCambiadas.end());
    notasCambiadas.erase(
        std::remove_if(notasCambiadas.begin(), notasCambiadas.end(),
                       [&](uint32_t i) { return !ranuras[i].Viva() || !ranuras[i].Cambiada(); }),
        notasCambiadas.end());
    CuentaRangos(desde);
}

IndiceAparte::IndiceAparte(const BaseVocabulario& base)
{
    const char* archivo = base.EstaAbierta() ? sqlite3_db_filename(base.Conexion(), "main") : "";
    const QString ruta = QString::fromUtf8(archivo ? archivo : "");
    const quint64 escrituras = base.Escrituras();
    const BaseVocabulario* cual = &base;
    hecho_ = std::async(std::launch::async, [this, ruta, escrituras, cual] {
        Indice indice;
        if (ruta.isEmpty())
            return indice;
        try {
            indice.ConstruyeCon(cual, escrituras, [&](const auto& temas, const auto& items) {
                return RecorreVocabularioAparte(ruta, temas, items,
                                                [this] { return sigue_.load(); });
            });
        } catch (const ErrorTalvex&) { // unreadable: the search builds it as it needs it
        }
        return indice;
    });
}

IndiceAparte::~IndiceAparte()
{
    sigue_ = false;
    if (hecho_.valid())
        hecho_.wait();
}

bool IndiceAparte::Hecho() const
{
    return hecho_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

Indice IndiceAparte::Toma()
{
    return hecho_.get();
}

void Indice::Actualiza(const BaseVocabulario& base)
{
    if (AlDia(base))
        return;
    std::optional<CambiosVocabulario> cambios;
    if (d && d->base == &base)
        cambios = base.CambiosDesde(d->escrituras);
    if (!cambios) {
        Construye(base);
        return;
    }
    d->Aplica(*cambios, base);
    d->escrituras = base.Escrituras();
}

} // namespace Busqueda
