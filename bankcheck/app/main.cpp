// obrisk: the bank coordinates test window.

#include "bankcheck/programma_bancari.h"

int main(int argc, char* argv[]) { return bankcheck::EseguiProgrammaBancari(argc, argv); }
