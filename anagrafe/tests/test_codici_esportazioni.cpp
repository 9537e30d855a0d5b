// The tax codes of the bundled samples and of the exports that the bench generator writes: every
// column that holds tax codes holds formally valid ones, so that the supplies made from them check
// clean; where the layout names the birth date and sex beside a personal code, they agree with it.

#include "tests/supporto/cartella_temporanea.h"
#include "anagrafe/codice_fiscale.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace verifica {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;

inline constexpr int Nessuna = -1;

struct Esportazione {
    std::string_view comando; // of the generator, and the samples' folder
    std::string_view file;
    bool rifilata;             // the converter strips the blanks around every column
    std::array<int, 8> codici; // columns holding tax codes (Nessuna fills the rest)
    int sesso, nascita;        // the columns beside the personal code of `codici[personale]`
    int personale;
};

// clang-format off
// Tax codes by export. Named so by the layouts: 770 column 0 (the declarant), 20 (the employee, DA001001)
// and 113, 131, 161 (DCr018 of the three groups); DMA 31 (D0001001); UniEmens and E-Mens 0, 2, 3 (the
// sender, the company, the software house) and 10 (the person); TFR 13 (the employee key). Filled with
// tax codes by the samples and the generator although the layouts give them no meaning: 770 columns 1
// and 13, DMA 0, 3 and 24, TFR 1, and both columns of the beneficiaries' export. Birth date and sex
// beside a personal code: 770 columns 24 and 23 (DA001005, DA001004), DMA 35 and 34 (D0001005,
// D0001004).
inline constexpr auto Esportazioni = std::to_array<Esportazione>({
//   comando     file                              rifilata  colonne dei codici                                       sesso    nascita  personale
    {"770",      "Esportazione770.tab",            false,    {0, 1, 13, 20, 113, 131, 161, Nessuna},                  23,      24,      3},
    {"dma",      "EsportazioneINPDAP.tab",         true,     {0, 3, 24, 31, Nessuna, Nessuna, Nessuna, Nessuna},      34,      35,      3},
    {"uniemens", "EsportazioneINPS.tab",           false,    {0, 2, 3, 10, Nessuna, Nessuna, Nessuna, Nessuna},       Nessuna, Nessuna, 0},
    {"emens",    "EsportazioneINPS.tab",           false,    {0, 2, 3, 10, Nessuna, Nessuna, Nessuna, Nessuna},       Nessuna, Nessuna, 0},
    {"tfr",      "EsportazioneTFR.tab",            true,     {1, 13, Nessuna, Nessuna, Nessuna, Nessuna, Nessuna, Nessuna}, Nessuna, Nessuna, 0},
    {"tfr",      "EsportazioneTFRBeneficiari.tab", true,     {0, 1, Nessuna, Nessuna, Nessuna, Nessuna, Nessuna, Nessuna}, Nessuna, Nessuna, 0},
});
// clang-format on

// The column as the converter reads it: upper case (ISO-8859-1 letters included do not occur in
// codes), trimmed where the converter trims.
std::string Colonna(const std::vector<std::string> &colonne, int n, bool rifilata) {
    if (n == Nessuna || static_cast<std::size_t>(n) >= colonne.size())
        return "";
    std::string testo = colonne[static_cast<std::size_t>(n)];
    for (char &c : testo)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    if (rifilata) {
        testo.erase(0, testo.find_first_not_of(' '));
        testo.erase(testo.find_last_not_of(' ') + 1);
    }
    return testo;
}

// A day/month/year date that is a real one (an unreadable date is reported apart).
std::optional<DataNascita> Data(const std::string &testo) {
    int giorno = 0, mese = 0, anno = 0;
    char barra1 = 0, barra2 = 0;
    std::istringstream lettura(testo);
    if (!(lettura >> giorno >> barra1 >> mese >> barra2 >> anno) || barra1 != '/' ||
        barra2 != '/' || mese < 1 || mese > 12 || giorno < 1)
        return std::nullopt;
    const bool bisestile = anno % 4 == 0 && (anno % 100 != 0 || anno % 400 == 0);
    constexpr int Giorni[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (giorno > Giorni[mese - 1] + (mese == 2 && bisestile ? 1 : 0))
        return std::nullopt;
    return DataNascita{giorno, mese, anno};
}

// Every finding about the tax codes of one export file, one per line ("riga 3, colonna 20: ...").
std::string Rilievi(const Esportazione &e, const std::string &contenuto) {
    std::string rilievi;
    std::istringstream righe(contenuto);
    int numero = 0, quanti = 0;
    for (std::string riga; std::getline(righe, riga);) {
        ++numero;
        if (!riga.empty() && riga.back() == '\r')
            riga.pop_back();
        std::vector<std::string> colonne;
        std::size_t inizio = 0;
        for (std::size_t tab; (tab = riga.find('\t', inizio)) != std::string::npos;
             inizio = tab + 1)
            colonne.push_back(riga.substr(inizio, tab - inizio));
        colonne.push_back(riga.substr(inizio));
        const auto rilievo = [&](int colonna, const std::string &testo) {
            if (++quanti <= 20)
                rilievi += "riga " + std::to_string(numero) + ", colonna " +
                           std::to_string(colonna) + ": " + testo + "\n";
        };
        for (const int n : e.codici) {
            const std::string codice = Colonna(colonne, n, e.rifilata);
            if (n == Nessuna || codice.find_first_not_of(' ') == std::string::npos)
                continue; // a blank code is reported apart, as missing data
            if (const EsitoCodiceFiscale esito = ControllaCodiceFiscale(codice); !esito.Valido())
                rilievo(n, "'" + codice + "' " + esito.errore);
        }
        if (e.sesso != Nessuna) {
            const int n = e.codici[static_cast<std::size_t>(e.personale)];
            for (const std::string &d : Discordanze(Colonna(colonne, n, e.rifilata),
                                                    Data(Colonna(colonne, e.nascita, e.rifilata)),
                                                    Colonna(colonne, e.sesso, e.rifilata)))
                rilievo(n, d);
        }
    }
    return rilievi;
}

TEST(CodiciFiscaliEsportazioni, Esempi) {
    for (const Esportazione &e : Esportazioni) {
        const fs::path file = fs::path(CARTELLA_ESEMPI) / e.comando / e.file;
        ASSERT_TRUE(fs::exists(file)) << file;
        EXPECT_EQ(Rilievi(e, LeggiFile(file)), "") << file;
    }
}

TEST(CodiciFiscaliEsportazioni, EsportazioniGenerate) {
    const CartellaTemporanea dir;
    for (const Esportazione &e : Esportazioni) {
        const fs::path cartella = dir / e.comando;
        if (!fs::exists(cartella)) {
            const auto esito =
                EseguiProcesso(GENERATORE_EXE, {std::string(e.comando), "2000", cartella.string()},
                               dir / "out", dir / "err");
            ASSERT_EQ(esito.stato, 0) << esito.err;
        }
        const std::string contenuto = LeggiFile(cartella / e.file);
        ASSERT_FALSE(contenuto.empty()) << e.comando << " " << e.file;
        EXPECT_EQ(Rilievi(e, contenuto), "") << e.comando << " " << e.file;
    }
}

} // namespace
} // namespace verifica
