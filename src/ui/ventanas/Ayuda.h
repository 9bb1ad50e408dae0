#pragma once
// Opens the Spanish help page shipped beside the program (both help names open it).
void AbreAyuda();
