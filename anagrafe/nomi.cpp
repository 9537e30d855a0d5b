#include "anagrafe/nomi.h"

#include "anagrafe/lettere.h"

#include <array>
#include <cstddef>

namespace anagrafe {
namespace {

struct LettereSeparate {
    std::string consonanti;
    std::string vocali;
};

LettereSeparate Separa(std::string_view testo) {
    LettereSeparate lettere;
    for (std::size_t i = 0; i < testo.size();) {
        for (char lettera : LetteraBaseIn(testo, i)) {
            (Vocale(lettera) ? lettere.vocali : lettere.consonanti).push_back(lettera);
        }
    }
    return lettere;
}

// The consonants, then the vowels, then X's: the first three.
std::string TreLettere(const LettereSeparate& lettere) {
    std::string tre = lettere.consonanti.substr(0, 3);
    tre.append(lettere.vocali, 0, 3 - tre.size());
    tre.append(3 - tre.size(), 'X');
    return tre;
}

// The digit places of a tax code (from 0) and the letters that stand for 0 to 9 in them.
constexpr std::array<std::size_t, 7> PostiCifre = {6, 7, 9, 10, 12, 13, 14};
constexpr std::string_view LettereOmocodia = "LMNPQRSTUV";
constexpr std::size_t LunghezzaCodice = 16;

} // namespace

std::string LettereCognome(std::string_view cognome) { return TreLettere(Separa(cognome)); }

std::string LettereNome(std::string_view nome) {
    const LettereSeparate lettere = Separa(nome);
    if (lettere.consonanti.size() >= 4) {
        return {lettere.consonanti[0], lettere.consonanti[2], lettere.consonanti[3]};
    }
    return TreLettere(lettere);
}

std::string DecodificaOmocodia(std::string_view codice) {
    std::string decodificato(codice);
    if (decodificato.size() != LunghezzaCodice) {
        return decodificato;
    }
    for (std::size_t posto : PostiCifre) {
        const std::size_t cifra = LettereOmocodia.find(decodificato[posto]);
        if (cifra != std::string_view::npos) {
            decodificato[posto] = static_cast<char>('0' + cifra);
        }
    }
    return decodificato;
}

} // namespace anagrafe
