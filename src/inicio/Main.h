#pragma once
// The program's entry routine: prepares the working files, opens the vocabulary and hands
// over to the main window. A failure of any step ends the program with one message.
#include <QString>

void Main();

// Ends start-up after a failed step: message, clean-up, end of the process.
[[noreturn]] void FallaInicio(int numero, const QString& descripcion);

// Writes "TALVEXV20.txt" (seven lines, CR LF) in the working folder.
void EscribeArchivoInformacion();
