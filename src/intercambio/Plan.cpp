#include "intercambio/Intercambio.h"

#include "data/Cotejo.h"
#include "intercambio/ComunIntercambio.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace Intercambio {

Plan Planea(const Lectura& lectura, const BaseVocabulario& base)
{
    Plan plan;
    plan.filasLeidas = lectura.filasLeidas;
    plan.rechazos = lectura.rechazos;

    // One spelling per topic key: the store's, or else the first one the file uses, so that
    // an item never names its topic in another case than the topic itself.
    struct TemaVisto {
        QString nombre;
        qsizetype nuevo = -1; // its index in temasNuevos, when the store lacks it
        bool soloExistentes = false;
    };
    QHash<QByteArray, TemaVisto> temas;
    const QByteArray claveSinCategoria = CalculaClaveOrden(SinCategoria);
    const auto VeTema = [&](const QString& nombre, const QString& notas) -> TemaVisto& {
        const QByteArray clave = CalculaClaveOrden(nombre);
        auto visto = temas.find(clave);
        if (visto != temas.end())
            return *visto;
        TemaVisto nuevo;
        if (const auto guardado = base.LocalizaTema(nombre)) {
            nuevo.nombre = guardado->NOMBRETEMA;
        } else {
            nuevo.nombre = nombre;
            nuevo.nuevo = static_cast<qsizetype>(plan.temasNuevos.size());
            plan.temasNuevos.push_back({nombre, notas});
        }
        return *temas.insert(clave, nuevo);
    };
    for (const Tema& tema : lectura.temas)
        VeTema(tema.NOMBRETEMA, tema.NOTASTEMA);

    QHash<QByteArray, int> filas; // English key → the row that brought it first
    filas.reserve(static_cast<qsizetype>(lectura.items.size()));
    for (const ItemLeido& leido : lectura.items) {
        const QByteArray clave = CalculaClaveOrden(leido.item.ITEMING);
        if (const auto anterior = filas.constFind(clave); anterior != filas.cend()) {
            plan.rechazos.push_back(
                {leido.linea, QStringLiteral("repite la fila %1").arg(*anterior)});
            continue;
        }
        filas.insert(clave, leido.linea);
        Item item = leido.item;
        const auto guardado = base.LocalizaItem(item.ITEMING);
        if (item.NOMBRETEMA != SinCategoria &&
            CalculaClaveOrden(item.NOMBRETEMA) != claveSinCategoria) {
            const bool yaVisto = temas.contains(CalculaClaveOrden(item.NOMBRETEMA));
            TemaVisto& tema = VeTema(item.NOMBRETEMA, QString());
            if (tema.nuevo >= 0) {
                if (!yaVisto)
                    tema.soloExistentes = guardado.has_value();
                else if (!guardado)
                    tema.soloExistentes = false;
            }
            item.NOMBRETEMA = tema.nombre;
        }
        if (guardado) {
            item.ITEMING = guardado->ITEMING;
            plan.existentes.push_back(std::move(item));
        } else {
            plan.nuevos.push_back(std::move(item));
        }
    }
    for (const TemaVisto& tema : std::as_const(temas))
        if (tema.soloExistentes)
            plan.temasSoloDeExistentes.push_back(tema.nombre);
    std::stable_sort(plan.rechazos.begin(), plan.rechazos.end(),
                     [](const Rechazo& a, const Rechazo& b) { return a.linea < b.linea; });
    return plan;
}

Resultado Aplica(const Plan& plan, Duplicados duplicados, BaseVocabulario& base,
                 const Progreso& progreso)
{
    const bool reemplaza = duplicados == Duplicados::Reemplazar;
    const QSet<QString> soloExistentes(plan.temasSoloDeExistentes.begin(),
                                       plan.temasSoloDeExistentes.end());
    const qint64 total = static_cast<qint64>(plan.nuevos.size()) +
                         (reemplaza ? static_cast<qint64>(plan.existentes.size()) : 0);
    qint64 hecho = 0;
    // Thrown inside the transaction, so that it rolls everything back.
    const auto Avanza = [&](qint64 cuantos) {
        hecho += cuantos;
        if (progreso && (hecho % 512 == 0 || hecho == total) && !progreso(hecho, total))
            throw ErrorCancelado();
    };
    Resultado resultado;
    base.EnTransaccion([&] {
        Avanza(0);
        for (const Tema& tema : plan.temasNuevos) {
            if (!reemplaza && soloExistentes.contains(tema.NOMBRETEMA))
                continue;
            base.AgregaTema(tema);
            resultado.temasAgregados.push_back(tema);
        }
        for (const Item& item : plan.nuevos) {
            base.AgregaItem(item);
            resultado.agregados.push_back(item);
            Avanza(1);
        }
        if (!reemplaza)
            return;
        for (const Item& item : plan.existentes) {
            base.ModificaItem(item.ITEMING, item);
            resultado.reemplazados.emplace_back(item.ITEMING, item);
            Avanza(1);
        }
    });
    return resultado;
}

} // namespace Intercambio
