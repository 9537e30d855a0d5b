// pelvorn: the E-Mens converter window.

#include "dati_sub_emens.h"
#include "programma.h"

int main(int argc, char** argv) { return shell::EseguiProgramma(argc, argv, emens::Descrittore()); }
