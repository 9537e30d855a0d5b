// carvek: the 770 Semplificato converter window.

#include "dati_sub.h"
#include "elaborazione.h"

int main(int argc, char** argv) { return shell::ui::EseguiProgramma(argc, argv, conv770::Descrittore()); }
