// lunfort: the UniEmens converter window.

#include "uniemens/dati_sub.h"
#include "shell/finestra/programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, uniemens::Descrittore()); }
