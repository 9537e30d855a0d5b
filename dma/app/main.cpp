// sabrelt: the INPDAP DMA converter window.

#include "dma/dati_sub.h"
#include "elaborazione.h"

int main(int argc, char** argv) { return shell::ui::EseguiProgramma(argc, argv, dma::Descrittore()); }
