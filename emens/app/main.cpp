// pelvorn: the E-Mens converter window.

#include "emens/dati_sub_emens.h"
#include "shell/finestra/programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, emens::Descrittore()); }
