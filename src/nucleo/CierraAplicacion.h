#pragma once
// Every way out of the program runs CierraAplicacion and then ends the process at once.
void CierraAplicacion();
void CierraBaseDatos();
void CierraBaseReporte();
void BorraTemporales();

// One tick of the exit watcher: when an outside program has made one of the "HURNEXTemp"
// signal folders, the program closes at once, without a message.
void VigilaSalida();
