// Helper of tst_muerterepaso: practises on a vocabulary file until it is killed, and
// acknowledges each answer on stdout once it was saved and the next card was taken (the
// moment the practice window shows the next card).
//
//   aux_practica RUTA SEMILLA ZONA
//
// What is practised (every item or one topic, which kinds), the ratings, the time spent on
// each card and the occasional undo are drawn from SEMILLA. The clock starts a while after the
// last answer of the file (on 2026-03-02 in a file never practised) and moves on with every
// answer; when the session has nothing left it moves a day or more on, so that reviews and
// lapses come up. The day starts in the time zone ZONA.
//
// Lines: "LISTO" (the file is open), "RESPUESTA ITEM TIPO CALIFICACION MOMENTO" (the item's
// row, the kind's number, 1-4, UTC ms), "DESHACE" + the same fields before an undo starts and
// "DESHECHA" once it returned.
#include "data/BaseVocabulario.h"
#include "repaso/Sesion.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>
#include <memory>
#include <random>
#include <unistd.h>

using namespace Repaso;

namespace {

constexpr qint64 Minuto = 60 * 1000;
constexpr qint64 Dia = 24 * 60 * Minuto;

// Straight to the pipe: a line that was acknowledged cannot be lost in a buffer.
void Confirma(const QByteArray& linea)
{
    const QByteArray bytes = linea + '\n';
    if (::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size())) != bytes.size())
        std::_Exit(3);
}

QByteArray Campos(const TarjetaItem& tarjeta, Calificacion c, qint64 momento)
{
    return QByteArray::number(tarjeta.item) + ' ' + QByteArray::number(int(tarjeta.tipo)) + ' ' +
           QByteArray::number(int(c)) + ' ' + QByteArray::number(momento);
}

class Practicante {
public:
    Practicante(BaseVocabulario& base, quint32 semilla, QTimeZone zona)
        : almacen(base), azar(semilla), zona(std::move(zona))
    {
    }

    void Practica()
    {
        qint64 ahora = Inicio();
        const AjustesRepaso ajustes = LeeAjustesRepaso(almacen.Base());
        const Eleccion eleccion = EligeQue();
        const Modo modo = eleccion.tipos.front() == Tipo::Dictado ? Modo::Dictado
                          : Entre(0, 1) != 0                      ? Modo::Escrito
                                                                  : Modo::Tarjetas;
        for (int respuestas = 0; respuestas < 100000;) {
            Sesion sesion(almacen, ajustes, eleccion, zona);
            sesion.Comienza(ahora);
            std::optional<TarjetaItem> tarjeta = sesion.Siguiente(ahora);
            for (; tarjeta; ++respuestas) {
                const Calificacion c = Califica();
                sesion.Responde(c, ahora, Entre(800, 20000), modo);
                const TarjetaItem respondida = *tarjeta;
                const qint64 momento = ahora;
                ahora += Entre(3, 900) * 1000;
                tarjeta = sesion.Siguiente(ahora);
                Confirma("RESPUESTA " + Campos(respondida, c, momento));
                if (Entre(1, 12) == 1) {
                    Confirma("DESHACE " + Campos(respondida, c, momento));
                    if (!sesion.Deshace())
                        std::_Exit(4);
                    Confirma("DESHECHA");
                    tarjeta = sesion.Siguiente(ahora);
                }
            }
            ahora += Entre(1, 4) * Dia + Entre(0, 600) * Minuto;
        }
    }

private:
    int Entre(int desde, int hasta)
    {
        return std::uniform_int_distribution<int>(desde, hasta)(azar);
    }

    // After the file's last answer: the same session continued, or another a few days later.
    qint64 Inicio()
    {
        qint64 ultima = 0;
        almacen.RecorreRepasos(
            [&](const RegistroRepaso& r) { ultima = std::max(ultima, r.momento); });
        if (ultima == 0)
            return QDateTime(QDate(2026, 3, 2), QTime(9, 0), zona).toMSecsSinceEpoch();
        return ultima + (Entre(0, 2) == 0 ? Entre(1, 4 * 24 * 60) : Entre(1, 30)) * Minuto;
    }

    Eleccion EligeQue()
    {
        Eleccion eleccion;
        switch (Entre(0, 4)) {
        case 0:
            eleccion.tema = QStringLiteral("Tema B");
            eleccion.tipos = {Tipo::IngEsp};
            break;
        case 1:
            eleccion.tipos = {Tipo::Dictado};
            break;
        case 2:
            eleccion.tipos = {Tipo::EspIng};
            break;
        default:
            break; // every item, both ways
        }
        return eleccion;
    }

    Calificacion Califica()
    {
        const int tirada = Entre(1, 20);
        return tirada <= 4    ? Calificacion::OtraVez
               : tirada <= 7  ? Calificacion::Dificil
               : tirada <= 17 ? Calificacion::Bien
                              : Calificacion::Facil;
    }

    AlmacenRepasos almacen;
    std::mt19937 azar;
    QTimeZone zona;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    const QTimeZone zona(argumentos.value(3).toLatin1());
    if (argumentos.size() != 4 || !zona.isValid()) {
        std::fputs("Uso: aux_practica RUTA SEMILLA ZONA\n", stderr);
        return 2;
    }
    try {
        BaseVocabulario base;
        base.Abre(argumentos[1]);
        Confirma("LISTO");
        Practicante(base, argumentos[2].toUInt(), zona).Practica();
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
    return 0;
}
