#include "repaso/Programador.h"

#include "repaso/Dispersion.h"
#include "repaso/Redondeo.h"

#include <algorithm>
#include <charconv>

namespace Repaso {

namespace {

constexpr qint64 MsPorMinuto = 60 * 1000;
constexpr qint64 MsPorDia = 24 * 60 * MsPorMinuto;
constexpr int MinutosPorDia = 24 * 60;

bool EsEstadoConocido(Estado e)
{
    return e == Estado::Nueva || e == Estado::Aprendiendo || e == Estado::Repaso ||
           e == Estado::Reaprendiendo;
}

} // namespace

Programador::Programador(Parametros parametros, std::optional<QTimeZone> zona)
    : modelo(std::move(parametros)), calendario(std::move(zona))
{
}

Programador::Paso Programador::BuscaPaso(Estado estado, int paso, Calificacion c) const
{
    const Parametros& p = modelo.Ajustes();
    const bool reaprende = estado == Estado::Reaprendiendo || estado == Estado::Repaso;
    const std::vector<int>& pasos = reaprende ? p.pasosReaprendizaje : p.pasosAprendizaje;
    const int n = static_cast<int>(pasos.size());
    paso = std::max(paso, 0);
    if (paso >= n)
        return {};
    if (estado == Estado::Repaso)
        return c == Calificacion::OtraVez ? Paso{pasos[paso], 0} : Paso{};
    switch (c) {
    case Calificacion::OtraVez:
        return {pasos[0], 0};
    case Calificacion::Dificil: {
        // Between Otra vez and Bien: the mean of the first two steps, or half as long again as
        // the only one.
        const double minutos = n == 1 ? pasos[0] * 1.5 : (pasos[0] + pasos[1]) / 2.0;
        return {static_cast<int>(RedondeaComoJs(minutos)), paso};
    }
    case Calificacion::Bien:
        if (paso + 1 < n && pasos[paso + 1] != 0)
            return {pasos[paso + 1], paso + 1};
        return {};
    case Calificacion::Facil:
        break;
    }
    return {};
}

int Programador::Intervalo(double estabilidad, int dias, double fraccion) const
{
    const Parametros& p = modelo.Ajustes();
    const int intervalo = modelo.CalculaIntervalo(estabilidad);
    return p.conDispersion ? DispersaIntervalo(intervalo, dias, p.intervaloMaximo, fraccion)
                           : intervalo;
}

void Programador::AplicaPasos(Tarjeta& nueva, const Tarjeta& antes, Calificacion c, Estado destino,
                              int dias, double fraccion, qint64 ahora) const
{
    const Paso paso = BuscaPaso(antes.estado, antes.paso, c);
    const int minutos = std::max(paso.minutos, 0);
    if (minutos > 0 && minutos < MinutosPorDia) {
        nueva.estado = destino;
        nueva.paso = paso.siguiente;
        nueva.diasProgramados = 0;
        nueva.vence = ahora + minutos * MsPorMinuto;
        return;
    }
    nueva.estado = Estado::Repaso;
    if (minutos >= MinutosPorDia) { // a step of a day or more is already a review
        nueva.paso = paso.siguiente;
        nueva.diasProgramados = minutos / MinutosPorDia;
        nueva.vence = ahora + minutos * MsPorMinuto;
        return;
    }
    nueva.paso = 0;
    nueva.diasProgramados = Intervalo(nueva.memoria.estabilidad, dias, fraccion);
    nueva.vence = ahora + nueva.diasProgramados * MsPorDia;
}

Tarjeta Programador::Programa(const Tarjeta& tarjeta, Calificacion c, qint64 ahora) const
{
    c = Calificacion(std::clamp(static_cast<int>(c), 1, 4)); // a rating from nowhere: the nearest
    Tarjeta antes = tarjeta;
    if (!EsEstadoConocido(antes.estado)) {
        antes.estado = Estado::Nueva;
        antes.memoria = {};
        antes.paso = 0;
    }
    int dias = 0;
    if (antes.estado != Estado::Nueva && antes.ultimoRepaso)
        dias = calendario.CuentaDias(*antes.ultimoRepaso, ahora);
    antes.ultimoRepaso = ahora;
    antes.repeticiones += 1;
    // One draw per answer: Difícil, Bien and Fácil move by the same fraction of their ranges.
    double fraccion = 0.0;
    if (modelo.Ajustes().conDispersion) {
        char semilla[24];
        const auto fin =
            std::to_chars(semilla, semilla + sizeof semilla, antes.id + antes.repeticiones);
        fraccion = SorteaFraccion(QByteArrayView(semilla, fin.ptr));
    }

    Tarjeta nueva = antes;
    if (antes.estado != Estado::Repaso || c == Calificacion::OtraVez)
        nueva.memoria = modelo.ActualizaMemoria(antes.memoria, dias, c);
    if (antes.estado != Estado::Repaso) {
        const Estado destino = antes.estado == Estado::Nueva ? Estado::Aprendiendo : antes.estado;
        AplicaPasos(nueva, antes, c, destino, dias, fraccion, ahora);
        return nueva;
    }
    if (c == Calificacion::OtraVez) {
        AplicaPasos(nueva, antes, c, Estado::Reaprendiendo, dias, fraccion, ahora);
        nueva.olvidos += 1;
        return nueva;
    }
    // A review passed: Difícil < Bien < Fácil by at least a day each, whatever the fuzz.
    auto intervalo = [&](Calificacion otra) {
        const Memoria m = modelo.ActualizaMemoria(antes.memoria, dias, otra);
        if (otra == c)
            nueva.memoria = m;
        return Intervalo(m.estabilidad, dias, fraccion);
    };
    int dificil = intervalo(Calificacion::Dificil);
    int bien = intervalo(Calificacion::Bien);
    dificil = std::min(dificil, bien);
    bien = std::max(bien, dificil + 1);
    const int elegido = c == Calificacion::Dificil ? dificil
                        : c == Calificacion::Bien
                            ? bien
                            : std::max(intervalo(Calificacion::Facil), bien + 1);
    nueva.estado = Estado::Repaso;
    nueva.paso = 0;
    nueva.diasProgramados = elegido;
    nueva.vence = ahora + elegido * MsPorDia;
    return nueva;
}

} // namespace Repaso
