// The formal checks of tax codes over two tables of data/: codici_fiscali.txt (a code and its
// verdict per line) and discordanze.txt (a personal code against the birth date and sex beside it).
// A new case is a new line.

#include "tests/supporto/cartella_temporanea.h"
#include "anagrafe/codice_fiscale.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace anagrafe {
namespace {

namespace fs = std::filesystem;

// The lines of a table of data/, without comments and blank lines, split at TAB.
std::vector<std::vector<std::string>> Tabella(const char* nome) {
    std::vector<std::vector<std::string>> righe;
    std::istringstream testo(shell::test::LeggiFile(fs::path(ANAGRAFE_DATI) / nome));
    for (std::string riga; std::getline(testo, riga);) {
        if (riga.empty() || riga[0] == '#')
            continue;
        std::vector<std::string> campi;
        std::size_t inizio = 0;
        for (std::size_t tab; (tab = riga.find('\t', inizio)) != std::string::npos; inizio = tab + 1)
            campi.push_back(riga.substr(inizio, tab - inizio));
        campi.push_back(riga.substr(inizio));
        righe.push_back(campi);
    }
    return righe;
}

std::string Verdetto(const EsitoCodiceFiscale& esito) {
    if (!esito.Valido())
        return "errore: " + esito.errore;
    return esito.avviso.empty() ? "valido" : "valido; avviso: " + esito.avviso;
}

TEST(CodiceFiscale, TabellaDeiVerdetti) {
    const auto righe = Tabella("codici_fiscali.txt");
    ASSERT_GT(righe.size(), 50u);
    for (const auto& riga : righe) {
        ASSERT_EQ(riga.size(), 2u) << riga[0];
        EXPECT_EQ(Verdetto(ControllaCodiceFiscale(riga[0])), riga[1]) << "codice '" << riga[0] << "'";
    }
}

TEST(CodiceFiscale, TabellaDelleDiscordanze) {
    const auto righe = Tabella("discordanze.txt");
    ASSERT_GT(righe.size(), 10u);
    for (const auto& riga : righe) {
        ASSERT_EQ(riga.size(), 4u) << riga[0];
        std::optional<shell::Data> nascita;
        if (riga[1] != "-")
            nascita = shell::Data{std::stoi(riga[1].substr(6)), std::stoi(riga[1].substr(3, 2)),
                                  std::stoi(riga[1].substr(0, 2))};
        std::string trovate;
        for (const std::string& d : Discordanze(riga[0], nascita, riga[2]))
            trovate += (trovate.empty() ? "" : " | ") + d;
        EXPECT_EQ(trovate.empty() ? "nessuna" : trovate, riga[3]) << riga[0] << " " << riga[1] << " " << riga[2];
    }
}

// The two check characters agree with the codes of the table that the check finds valid: a code
// stays valid with its own character, and no other character of the same place is accepted.
TEST(CodiceFiscale, UnSoloCarattereDiControllo) {
    for (const auto& riga : Tabella("codici_fiscali.txt")) {
        std::string codice = riga[0];
        while (!codice.empty() && codice.back() == ' ')
            codice.pop_back();
        if (!ControllaCodiceFiscale(codice).Valido())
            continue;
        const bool personale = codice.size() == 16;
        const char proprio = codice.back();
        ASSERT_EQ(personale ? CarattereDiControllo(codice.substr(0, 15)) : CifraDiControllo(codice.substr(0, 10)),
                  proprio)
            << codice;
        for (char altro = personale ? 'A' : '0'; altro <= (personale ? 'Z' : '9'); ++altro) {
            codice.back() = altro;
            EXPECT_EQ(ControllaCodiceFiscale(codice).Valido(), altro == proprio) << codice;
        }
    }
}

} // namespace
} // namespace anagrafe
