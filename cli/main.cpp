// fornitura: the converters and the bank coordinate checks from the command line.

#include "fornitura.h"
#include "piattaforma.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#endif

namespace {

constexpr const char* MemoriaEsaurita = "fornitura: memoria insufficiente, elaborazione interrotta\n";

// The arguments in UTF-8. Windows hands `main` the arguments in the ANSI code page, which loses
// every character outside it: they are taken again, in wide characters, from the command line.
std::vector<std::string> Argomenti(int argc, char** argv) {
#ifdef _WIN32
    int n = 0;
    if (wchar_t** larghi = CommandLineToArgvW(GetCommandLineW(), &n)) {
        std::vector<std::string> argomenti;
        for (int i = 1; i < n; ++i) {
            const int lunghezza = WideCharToMultiByte(CP_UTF8, 0, larghi[i], -1, nullptr, 0, nullptr, nullptr);
            std::string utf8(lunghezza > 0 ? lunghezza - 1 : 0, '\0');
            if (lunghezza > 1)
                WideCharToMultiByte(CP_UTF8, 0, larghi[i], -1, utf8.data(), lunghezza, nullptr, nullptr);
            argomenti.push_back(std::move(utf8));
        }
        LocalFree(larghi);
        return argomenti;
    }
#endif
    return std::vector<std::string>(argv + 1, argv + argc);
}

} // namespace

int main(int argc, char** argv) {
    shell::PreparaProcesso();
#ifdef _WIN32
    // The texts are written in UTF-8; a console shows them so only with this code page.
    SetConsoleOutputCP(CP_UTF8);
    // The same bytes as on every other system: lines end with LF, not turned into CR LF on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#else
    // A reader of the log that goes away (`fornitura ... | head -1`) must not end the run: the log is
    // then written nowhere, and the supply is made all the same.
    std::signal(SIGPIPE, SIG_IGN);
#endif
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
        const int esito = cli::EseguiFornitura(Argomenti(argc, argv), std::cout, std::cerr);
        std::cout.flush();
        return esito;
    } catch (...) {
        // Not even the message could be made.
        std::fputs(MemoriaEsaurita, stderr);
        return cli::EsitoErrore;
    }
}
