// carvek: the 770 Semplificato converter window.

#include "conv770/dati_sub.h"
#include "shell/finestra/programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, conv770::Descrittore()); }
