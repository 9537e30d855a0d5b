// lunfort: the UniEmens converter window.

#include "dati_sub.h"
#include "programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, uniemens::Descrittore()); }
