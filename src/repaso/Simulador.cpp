#include "repaso/Simulador.h"

#include "data/BaseVocabulario.h"
#include "repaso/Programador.h"

#include <algorithm>
#include <random>

namespace Repaso {

namespace {

constexpr qint64 Minuto = 60 * 1000, Hora = 60 * Minuto;

class Alumno {
public:
    explicit Alumno(const Simulacion& s) : azar(s.semilla)
    {
        Parametros p;
        p.pesos = s.pesosAlumno;
        memoria = Modelo(p);
    }

    // The first answer to a new card: mostly Bien, some Otra vez.
    Calificacion Primera() { return Elige({0.2, 0.15, 0.55, 0.10}); }
    // Recalled with chance `r`: then Difícil, Bien or Fácil.
    Calificacion Responde(double r)
    {
        if (Uniforme() >= r)
            return Calificacion::OtraVez;
        return Elige({0.0, 0.15, 0.75, 0.10});
    }
    double Uniforme() { return std::uniform_real_distribution<double>(0.0, 1.0)(azar); }
    qint64 Entre(qint64 a, qint64 b) { return std::uniform_int_distribution<qint64>(a, b)(azar); }

    Modelo memoria;

private:
    Calificacion Elige(std::array<double, 4> probabilidades)
    {
        double u = Uniforme();
        for (int i = 0; i < 3; ++i) {
            if (u < probabilidades[i])
                return static_cast<Calificacion>(i + 1);
            u -= probabilidades[i];
        }
        return Calificacion::Facil;
    }
    std::mt19937_64 azar;
};

} // namespace

std::vector<RegistroRepaso> SimulaRepasos(const Simulacion& s)
{
    Parametros parametros;
    parametros.pesos = s.pesosProgramador;
    parametros.retencionDeseada = s.retencion;
    const Programador programador(parametros, s.zona);
    const Dias& dias = programador.Calendario();
    Alumno alumno(s);
    const qint64 fin = dias.InicioDia(s.primerDia + s.dias);
    // Some time in the learner's waking hours (06:00–22:00) of a day.
    auto momentoDel = [&](qint64 dia) {
        return dias.InicioDia(dia) + alumno.Entre(2 * Hora, 18 * Hora);
    };

    std::vector<RegistroRepaso> registro;
    for (int i = 0; i < s.tarjetas; ++i) {
        Tarjeta tarjeta;
        tarjeta.id = i + 1;
        Memoria real; // the learner's, by the learner's weights
        qint64 ahora = momentoDel(s.primerDia + qint64(i) * s.dias / std::max(s.tarjetas, 1));
        while (ahora < fin) {
            Calificacion c;
            int transcurridos = 0;
            if (!tarjeta.ultimoRepaso) {
                c = alumno.Primera();
            } else {
                transcurridos = dias.CuentaDias(*tarjeta.ultimoRepaso, ahora);
                // On the same day, what is forgotten in minutes counts.
                const double tiempo = transcurridos > 0
                                          ? transcurridos
                                          : double(ahora - *tarjeta.ultimoRepaso) / (24 * Hora);
                c = alumno.Responde(alumno.memoria.CalculaRetenibilidad(tiempo, real.estabilidad));
            }
            real = alumno.memoria.ActualizaMemoria(real, transcurridos, c);
            const Tarjeta despues = programador.Programa(tarjeta, c, ahora);
            RegistroRepaso fila = FilaDeRespuesta(tarjeta, despues, c, ahora, dias);
            fila.duracion = alumno.Entre(2000, 15000);
            registro.push_back(fila);
            tarjeta = despues;
            if (tarjeta.diasProgramados == 0) { // a step of minutes: within the session
                ahora = std::max(tarjeta.vence, ahora + 1) + alumno.Entre(0, 5 * Minuto);
                continue;
            }
            // Most on the day due; some a day early, some days late.
            qint64 dia = dias.DiaDe(tarjeta.vence);
            const double u = alumno.Uniforme();
            if (u < 0.1 && tarjeta.diasProgramados > 2)
                dia -= 1;
            else if (u > 0.75)
                dia += alumno.Entre(1, std::max(1, std::min(10, tarjeta.diasProgramados)));
            ahora = momentoDel(std::max(dia, dias.DiaDe(ahora) + 1));
        }
    }
    return registro;
}

void GuardaSimulacion(AlmacenRepasos& almacen, const std::vector<RegistroRepaso>& registro)
{
    almacen.Base().EscribeAparte([&](ConexionSqlite& conexion) {
        for (const RegistroRepaso& fila : registro)
            almacen.AgregaRepaso(conexion, fila);
    });
}

QByteArray RegistroComoCsv(const std::vector<RegistroRepaso>& registro)
{
    QByteArray csv = "card_id,review_time,review_rating,review_state,review_duration\n";
    for (const RegistroRepaso& r : registro)
        csv += QByteArray::number(r.tarjeta) + ',' + QByteArray::number(r.momento) + ',' +
               QByteArray::number(int(r.calificacion)) + ',' +
               QByteArray::number(int(r.estadoAntes)) + ',' + QByteArray::number(r.duracion) + '\n';
    return csv;
}

} // namespace Repaso
