#include "lettura/rilievo.h"
#include "shell/testo.h"

#include <string_view>

namespace lettura {

namespace {

// A letter or a digit of ISO-8859-1 (the accented letters from 0xC0), which an apostrophe between two of
// them joins into one word ("dell'UTF-8", "D'ARCO") instead of opening or closing a quoted text.
bool DiParola(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0xC0;
}

using shell::Cifra;

} // namespace

std::string RegolaDel(const Rilievo& rilievo) {
    const std::string_view messaggio = rilievo.messaggio;
    std::string regola = NomeGravita(rilievo.gravita);
    regola += ": ";
    for (std::size_t i = 0; i < messaggio.size();) {
        const char c = messaggio[i];
        if (c == ' ') {
            regola += c;
            ++i;
            continue;
        }
        if (c == '\'' && (i == 0 || !DiParola(messaggio[i - 1]))) {
            // A quoted text, to the quote that no letter or digit follows (to the end when none does).
            std::size_t fine = i + 1;
            while (fine < messaggio.size() &&
                   !(messaggio[fine] == '\'' && (fine + 1 == messaggio.size() || !DiParola(messaggio[fine + 1]))))
                ++fine;
            regola += "''";
            i = fine + 1;
            continue;
        }
        // A word, to the next blank or quoted text.
        std::size_t fine = i;
        bool cifre = false;
        while (fine < messaggio.size() && messaggio[fine] != ' ' &&
               !(messaggio[fine] == '\'' && !DiParola(messaggio[fine - 1]))) {
            cifre = cifre || Cifra(messaggio[fine]);
            ++fine;
        }
        if (cifre)
            regola += '#';
        else
            regola.append(messaggio.substr(i, fine - i));
        i = fine;
    }
    return regola;
}

bool SommaRilievi::Mostra(const Rilievo& rilievo) {
    const auto [voce, nuova] = m_indici.try_emplace(RegolaDel(rilievo), m_regole.size());
    if (nuova)
        m_regole.push_back({rilievo, 0});
    return ++m_regole[voce->second].trovati <= RilieviPerRegola;
}

std::vector<Rilievo> SommaRilievi::Riepiloghi() const {
    std::vector<Rilievo> riepiloghi;
    for (const Regola& regola : m_regole) {
        if (regola.trovati <= RilieviPerRegola)
            continue;
        std::string testo = "e altri " + std::to_string(regola.trovati - RilieviPerRegola) + " rilievi uguali al primo";
        if (regola.primo.riga > 0)
            testo += " (riga " + std::to_string(regola.primo.riga) + ")";
        riepiloghi.push_back({regola.primo.gravita, 0, 0, testo + ": " + regola.primo.messaggio, -1});
    }
    return riepiloghi;
}

} // namespace lettura
