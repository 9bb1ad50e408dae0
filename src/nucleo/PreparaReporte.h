#pragma once
// Fills the report table INFORME1 of "TalvexReport.mdb" with what the notes column of the
// main window shows: the heading, the notes and, for a topic, the listing of its items.
#include <QString>

#include <optional>
#include <utility>
#include <vector>

struct ColumnaNotas {
    QString encabezado; // the heading as shown
    QString notas;      // CR LF line ends
    // In topic view, the topic's items as the list shows them: English and Spanish.
    std::optional<std::vector<std::pair<QString, QString>>> listado;
};

void LlenaTablaInforme(const ColumnaNotas& columna);
// Finds the report database in the installation folders and opens it; without it the
// program cannot go on and ends.
void AbreBaseReporte();
