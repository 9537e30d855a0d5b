// sabrelt: the INPDAP DMA converter window.

#include "dma/dati_sub.h"
#include "shell/finestra/programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, dma::Descrittore()); }
