#pragma once
// Finds and opens the vocabulary database "TALVEXV20.MDB" at start-up.
void AbreBaseDatos();

inline constexpr const char* NombreBaseDatos = "TALVEXV20.MDB";
