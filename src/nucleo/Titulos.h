#pragma once
// The titles of the program's message boxes. Most carry the full version; the topic editor,
// the notes commands and the deletions carry the short one.
#include <QString>

namespace Titulos {
inline const QString Mensajes = QStringLiteral("TALVEX Ver. 2.0.0");
inline const QString MensajesCortos = QStringLiteral("TALVEX Ver. 2.0");
} // namespace Titulos
