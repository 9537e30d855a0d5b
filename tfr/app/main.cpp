// zandrik: the TFR 2008 converter window.

#include "dati_sub_tfr.h"
#include "elaborazione.h"

int main(int argc, char** argv) { return shell::ui::EseguiProgramma(argc, argv, tfr::Descrittore()); }
