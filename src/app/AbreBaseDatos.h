#pragma once
// Finds and opens the vocabulary database "TALVEXV20.MDB" at start-up.
void AbreBaseDatos();
// Waits for the check of every page of the file just opened; a damaged file is said as
// AbreBaseDatos says a file it cannot use, and closed: false then.
bool TerminaComprobacionBase();

inline constexpr const char* NombreBaseDatos = "TALVEXV20.MDB";
