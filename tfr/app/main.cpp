// zandrik: the TFR 2008 converter window.

#include "dati_sub_tfr.h"
#include "programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, tfr::Descrittore()); }
