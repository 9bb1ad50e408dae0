#include "CargaVocabulario.h"

#include "data/BaseVocabulario.h"

#include <QFile>
#include <QStringList>

namespace {
QString Nota(QString texto)
{
    return texto.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
}

// Calls visita(fields) for every non-empty line, checking the number of fields.
template <class F> void RecorreLineas(const QString& ruta, int campos, F&& visita)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ErrorTalvex(NumeroError::ArchivoNoEncontrado,
                          QStringLiteral("No se puede leer el archivo %1").arg(ruta));
    int numero = 0;
    while (!archivo.atEnd()) {
        QString linea = QString::fromUtf8(archivo.readLine());
        ++numero;
        while (linea.endsWith(QLatin1Char('\n')) || linea.endsWith(QLatin1Char('\r')))
            linea.chop(1);
        if (linea.isEmpty())
            continue;
        // Empty notes leave a trailing TAB: keep empty parts.
        const QStringList partes = linea.split(QLatin1Char('\t'));
        if (partes.size() != campos)
            throw ErrorTalvex(NumeroError::ArgumentoNoValido,
                              QStringLiteral("%1, línea %2: se esperaban %3 campos")
                                  .arg(ruta)
                                  .arg(numero)
                                  .arg(campos));
        visita(partes);
    }
}
} // namespace

ResumenCarga CargaVocabulario(BaseVocabulario& base, const QString& carpeta)
{
    ResumenCarga resumen;
    base.EnTransaccion([&] {
        RecorreLineas(carpeta + QStringLiteral("/temas.tsv"), 2, [&](const QStringList& c) {
            base.AgregaTema({c[0], Nota(c[1])});
            ++resumen.temas;
        });
        RecorreLineas(carpeta + QStringLiteral("/items.tsv"), 4, [&](const QStringList& c) {
            base.AgregaItem({c[0], c[1], c[2], Nota(c[3])});
            ++resumen.items;
        });
    });
    return resumen;
}
