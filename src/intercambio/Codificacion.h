#pragma once
// Turning the bytes of an imported file into text: UTF-8 (with or without a BOM), UTF-16
// with a BOM (what spreadsheets save as "Unicode text"), or Windows-1252 when the user says
// so. Binary files and UTF-8 that does not decode are refused with a Spanish message.
#include "intercambio/TiposIntercambio.h"

#include <QByteArray>
#include <QString>

namespace Intercambio {

// Throws ErrorTalvex(ArchivoNoValido) for a NUL byte, ErrorTalvex(CodificacionDudosa) for
// bytes that are not UTF-8 when reading automatically.
QString DecodificaTexto(const QByteArray& datos, Codificacion codificacion);

// Windows-1252 (a superset of Latin-1 in 0x80–0x9F; the five unassigned bytes map to the
// control characters of the same number, as browsers do).
QString DecodificaWindows1252(QByteArrayView datos);

// The bytes without a UTF-8 BOM, when they start with one.
QByteArrayView SinBomUtf8(QByteArrayView datos);

} // namespace Intercambio
