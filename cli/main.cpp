// fornitura: the converters and the bank coordinate checks from the command line.

#include "cli/fornitura.h"
#include "shell/piattaforma.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* MemoriaEsaurita = "fornitura: memoria insufficiente, elaborazione interrotta\n";

} // namespace

int main(int argc, char** argv) {
    shell::PreparaProcesso();
    shell::PreparaTerminale();
    // Memory so short that not even the streams' buffers and an error's text fit: an exception could not
    // be made either, and the program would abort. It stops at once, with a text that needs none.
    constexpr std::size_t MinimoPerIniziare = std::size_t{1} << 20;
    if (void* prova = std::malloc(MinimoPerIniziare)) {
        std::free(prova);
    } else {
        std::fputs(MemoriaEsaurita, stderr);
        return cli::EsitoErrore;
    }
    try {
        std::ios::sync_with_stdio(false);
        const int esito = cli::EseguiFornitura(shell::ArgomentiUtf8(argc, argv), std::cout, std::cerr);
        std::cout.flush();
        return esito;
    } catch (...) {
        // Not even the message could be made.
        std::fputs(MemoriaEsaurita, stderr);
        return cli::EsitoErrore;
    }
}
