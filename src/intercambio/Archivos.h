#pragma once
// The files an import reads and an export writes. Only regular files are read: a folder, a
// named pipe, a device or a socket is refused at once (a pipe is opened without waiting for a
// writer), and a file that changes while it is read is refused rather than imported in part.
// An export writes a regular file or a new name only, through a temporary file beside it that
// takes the name once whole. Every failure throws ErrorTalvex with a Spanish description.
#include "intercambio/TiposIntercambio.h"

#include <QByteArray>
#include <QString>

namespace Intercambio {

// What the temporary files of an export hold in their names (".vocabulario.csv.talvex-
// exporta-…"); an export removes those in its folder that an export killed half-way left.
inline constexpr char MarcaTemporalExportacion[] = ".talvex-exporta-";

// The whole content of the regular file `ruta` (at most `tamanoMaximo` bytes).
QByteArray LeeArchivoRegular(const QString& ruta, const Progreso& progreso,
                             qint64 tamanoMaximo = TamanoMaximo);

// Writes `datos` to `ruta`: the destination holds its old content or the whole new one.
void EscribeArchivoSeguro(const QString& ruta, const QByteArray& datos);

} // namespace Intercambio
