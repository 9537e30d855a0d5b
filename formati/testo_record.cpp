#include "formati/testo_record.h"

#include "lettura/modello.h"

#include <algorithm>

namespace formati {

using lettura::ImportoItaliano;

bool SoloCifre(std::string_view testo) {
    return !testo.empty() && std::all_of(testo.begin(), testo.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long long NumeroDi(std::string_view cifre) {
    long long n = 0;
    for (const char c : cifre.substr(0, 18))
        n = n * 10 + (c - '0');
    return n;
}

std::string TestoIntero(long long n) { return ImportoItaliano(static_cast<double>(n), 0); }

std::string Posizioni(int posizione, int lunghezza) {
    return "posizioni " + std::to_string(posizione) + "-" + std::to_string(posizione + lunghezza - 1);
}

std::string_view Parte(std::string_view record, int posizione, int lunghezza) {
    if (record.size() < static_cast<std::size_t>(posizione - 1 + lunghezza))
        return {};
    return record.substr(static_cast<std::size_t>(posizione - 1), static_cast<std::size_t>(lunghezza));
}

std::string PosizioniDi(const tracciati::Pezzo& pezzo) {
    return pezzo.lunghezza > 1 ? Posizioni(pezzo.posizione, pezzo.lunghezza)
                               : "posizione " + std::to_string(pezzo.posizione);
}

std::string_view TestoDa(std::string_view record, const tracciati::Pezzo& da, const tracciati::Pezzo& a) {
    return Parte(record, da.posizione, tracciati::UltimaPosizione(a) - da.posizione + 1);
}

} // namespace formati
