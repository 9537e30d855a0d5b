// verifica: the supply check window.

#include "verifica/programma_verifica.h"

int main(int argc, char* argv[]) { return verifica::EseguiProgrammaVerifica(argc, argv); }
