#pragma once
// Registers the pictures compiled into the program (needed once: they live in a static library).
void IniciaRecursos();
