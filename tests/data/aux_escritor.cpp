// Helper of tst_choques: writes to a vocabulary file until it is killed, and acknowledges
// each write on stdout once it has returned.
//
//   aux_escritor RUTA RONDA
//
// The file must hold one topic "Tema-N". Each item "rRONDA-I" joins that topic; every
// seventh write renames the topic to "Tema-N+1" together with all its items, as one unit.
// Lines: "LISTO" (the file is open), "ITEM rRONDA-I", "TEMA N+1".
#include "data/BaseVocabulario.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// Straight to the pipe: a line that was acknowledged cannot be lost in a buffer.
void Confirma(const QString& linea)
{
    const QByteArray bytes = (linea + QLatin1Char('\n')).toUtf8();
    if (::write(STDOUT_FILENO, bytes.constData(), bytes.size()) != bytes.size())
        std::_Exit(3);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = aplicacion.arguments();
    if (argumentos.size() != 3) {
        std::fputs("Uso: aux_escritor RUTA RONDA\n", stderr);
        return 2;
    }
    try {
        BaseVocabulario base;
        base.Abre(argumentos[1]);
        Confirma(QStringLiteral("LISTO"));
        QString tema;
        base.RecorreTemas([&](const Tema& t) { tema = t.NOMBRETEMA; });
        int numeroTema = tema.section(QLatin1Char('-'), 1).toInt();
        for (int i = 0; i < 100000; ++i) {
            const QString ingles = QStringLiteral("r%1-%2").arg(argumentos[2]).arg(i);
            base.AgregaItem({ingles, QStringLiteral("traducción %1").arg(i), tema,
                             QStringLiteral("línea uno\r\nlínea dos ñ")});
            Confirma(QStringLiteral("ITEM ") + ingles);
            if (i % 7 == 6) {
                const QString nuevo = QStringLiteral("Tema-%1").arg(numeroTema + 1);
                base.EnTransaccion([&] {
                    base.ModificaTema(tema, {nuevo, QStringLiteral("notas %1").arg(i)});
                    base.CambiaTemaItems(tema, nuevo);
                });
                tema = nuevo;
                Confirma(QStringLiteral("TEMA %1").arg(++numeroTema));
            }
        }
    } catch (const ErrorTalvex& error) {
        std::fprintf(stderr, "Error %d: %s\n", error.Numero(), qPrintable(error.Descripcion()));
        return 1;
    }
    return 0;
}
