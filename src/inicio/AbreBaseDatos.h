#pragma once
#include <QString>

// Finds and opens the vocabulary database "TALVEXV20.MDB" at start-up.
void AbreBaseDatos();
// What the check of every page found in the file just opened.
enum class BaseComprobada {
    Sana,
    Reparada, // only its indexes were damaged: rebuilt from the rows, the lists must be read again
    Danada,   // said, and closed: the lists must be emptied
};
// Waits for the check of every page of the file just opened; a damaged file is said as
// AbreBaseDatos says a file it cannot use, and closed. A file whose only faults lie in its
// indexes is first kept as it is beside itself (SufijoSinReparar), then its indexes are
// rebuilt and that is said.
BaseComprobada TerminaComprobacionBase();

// The copy of the working database as it was before its indexes were rebuilt.
inline const QString SufijoSinReparar = QStringLiteral(".sin-reparar");

inline constexpr const char* NombreBaseDatos = "TALVEXV20.MDB";
