#pragma once
// Loads the starter vocabulary (temas.tsv and items.tsv of a folder) into a database.
// Lines are TAB-separated fields; "\n" in a note stands for a line break.
#include <QString>

class BaseVocabulario;

struct ResumenCarga {
    int temas = 0;
    int items = 0;
};

// Everything lands in one transaction; a malformed line throws ErrorTalvex naming the file
// and line, and then nothing is written.
ResumenCarga CargaVocabulario(BaseVocabulario& base, const QString& carpeta);
