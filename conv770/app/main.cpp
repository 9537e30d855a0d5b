// carvek: the 770 Semplificato converter window.

#include "dati_sub.h"
#include "programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, conv770::Descrittore()); }
