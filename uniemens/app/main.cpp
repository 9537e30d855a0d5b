// lunfort: the UniEmens converter window.

#include "dati_sub.h"
#include "elaborazione.h"

int main(int argc, char** argv) { return shell::ui::EseguiProgramma(argc, argv, uniemens::Descrittore()); }
