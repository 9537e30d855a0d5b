// pelvorn: the E-Mens converter window.

#include "dati_sub_emens.h"
#include "elaborazione.h"

int main(int argc, char** argv) { return shell::ui::EseguiProgramma(argc, argv, emens::Descrittore()); }
