#pragma once
// The maker's lines, shown by the information file and the About window. They name this
// project's own team; where we have no real town or telephone we say so plainly.
#include <QString>

namespace DatosFabricante {
inline const QString Producto = QStringLiteral("TALVEX Ver. 2.0.0 Asistente para aprender inglés");
inline const QString Nombre = QStringLiteral("Equipo TALVEX");
inline const QString Autoria = QStringLiteral("Equipo de desarrollo de TALVEX, 2025-2026");
inline const QString Localidad = QStringLiteral("Localidad: no indicada");
inline const QString Telefono = QStringLiteral("no disponible");
inline const QString Correo = QStringLiteral("talvex@example.org");
inline const QString Web = QStringLiteral("https://talvex.example.org");
} // namespace DatosFabricante
