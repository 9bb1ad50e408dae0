#pragma once
// Every way out of the program runs CierraAplicacion and then ends the process at once.
void CierraAplicacion();
void CierraBaseDatos();
void BorraTemporales();
