#pragma once
// A chart or table of the statistics saved as a picture (PNG) or a page (PDF), with its title
// and the date above it. The file is written whole or not at all.
#include <QString>

class QWidget;

// Writes `vista` under `titulo` to `ruta`: a PDF when the name ends in ".pdf", else a PNG.
// Throws ErrorTalvex with a Spanish description when the file cannot be written.
void GuardaGrafico(QWidget& vista, const QString& titulo, const QString& ruta);
