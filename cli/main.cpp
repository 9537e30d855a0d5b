// fornitura: the converters and the bank coordinate checks from the command line.

#include "fornitura.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> argomenti(argv + 1, argv + argc);
    const int esito = cli::EseguiFornitura(argomenti, std::cout, std::cerr);
    std::cout.flush();
    return esito;
}
