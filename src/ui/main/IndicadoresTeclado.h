#pragma once
// The keyboard's Num Lock and Caps Lock lights, read from the X11 server when the program
// runs on one; elsewhere they are reported as on.
struct EstadoIndicadores {
    bool numLock = true;
    bool mayusculas = true;
};

EstadoIndicadores LeeIndicadoresTeclado();
