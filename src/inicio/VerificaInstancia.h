#pragma once
// The single-instance guard: a second start finds the running copy by its executable name
// and asks whether to restart. Yes ends the running copy and lets this one start up; No ends
// this one.
#include <QtGlobal>

// Whether another running process carries one of the program's executable names.
bool HayInstanciaPrevia();

// The pid of the first other process, in ascending pid order, that carries one of the
// program's executable names (compared with their exact case); -1 when there is none.
qint64 BuscaInstanciaPrevia();

// Waits, sleeping between looks, until the process has ended or `milisegundos` have passed;
// true when it has ended.
bool EsperaFinProceso(qint64 pid, int milisegundos);

// Runs before anything is opened or shown. Returns when start-up may go on (no running copy
// was found, or the user chose to restart and the running copy was ended) and ends the
// program when the user chooses not to restart. A copy that cannot be ended is left running.
void VerificaInstancia();
