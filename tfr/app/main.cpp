// zandrik: the TFR 2008 converter window.

#include "tfr/dati_sub_tfr.h"
#include "shell/finestra/programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, tfr::Descrittore()); }
