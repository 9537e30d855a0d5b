// The compiled registries against the CSV files they were made from: every code with exactly the
// periods of its rows, and no other code.

#include "anagrafe/genera/csv.h"
#include "anagrafe/luoghi.h"
#include "anagrafe/luoghi_tabella.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <sstream>
#include <tuple>

namespace anagrafe {
namespace {

struct PeriodoAtteso {
    std::string codice;
    Data dal;
    Data al;
    std::string nome;
    std::string altroNome;
    std::string provincia;
    bool estero = false;

    friend bool operator==(const PeriodoAtteso&, const PeriodoAtteso&) = default;
};

std::ostream& operator<<(std::ostream& os, const PeriodoAtteso& p) {
    return os << p.codice << " " << p.dal.anno << "-" << p.dal.mese << "-" << p.dal.giorno << " " << p.al.anno << "-"
              << p.al.mese << "-" << p.al.giorno << " " << p.nome << "|" << p.altroNome << " " << p.provincia
              << (p.estero ? " abroad" : "");
}

Data DataIso(const std::string& testo) {
    Data data;
    char trattino1 = 0;
    char trattino2 = 0;
    std::istringstream in(testo);
    in >> data.anno >> trattino1 >> data.mese >> trattino2 >> data.giorno;
    EXPECT_TRUE(in && trattino1 == '-' && trattino2 == '-' && testo.size() == 10) << testo;
    return data;
}

// A municipality name as the supplies write it: ISO-8859-1, upper case, the transliteration when
// ISO-8859-1 lacks a letter of the name.
std::string NomeComune(const std::string& nome, const std::string& traslitterato) {
    if (auto latin1 = genera::Latin1Maiuscolo(nome)) {
        return *latin1;
    }
    const auto latin1 = genera::Latin1Maiuscolo(traslitterato);
    EXPECT_TRUE(latin1) << traslitterato;
    return latin1.value_or("");
}

genera::TabellaCsv LeggiDati(const std::string& file) {
    return genera::LeggiCsv(genera::LeggiFile(std::string(ANAGRAFE_DATI_TEST) + "/" + file));
}

// Every period of the two files, by code.
std::map<std::string, std::vector<PeriodoAtteso>> PeriodiDeiFile() {
    std::map<std::string, std::vector<PeriodoAtteso>> periodi;
    const genera::TabellaCsv comuni = LeggiDati("comuni_anpr.csv");
    const std::size_t codice = comuni.Colonna("CODCATASTALE");
    for (const std::vector<std::string>& riga : comuni.righe) {
        if (riga[codice] == "ND" || riga[codice].empty()) {
            continue;
        }
        periodi[riga[codice]].push_back(
            {riga[codice], DataIso(riga[comuni.Colonna("DATAISTITUZIONE")]),
             DataIso(riga[comuni.Colonna("DATACESSAZIONE")]),
             NomeComune(riga[comuni.Colonna("DENOMINAZIONE_IT")], riga[comuni.Colonna("DENOMTRASLITTERATA")]),
             NomeComune(riga[comuni.Colonna("ALTRADENOMINAZIONE")], riga[comuni.Colonna("ALTRADENOMTRASLITTERATA")]),
             riga[comuni.Colonna("SIGLAPROVINCIA")], false});
    }
    const genera::TabellaCsv stati = LeggiDati("stati_esteri.csv");
    for (const std::vector<std::string>& riga : stati.righe) {
        const std::string& al = riga[stati.Colonna("al")];
        const auto nome = genera::Latin1Maiuscolo(riga[stati.Colonna("denominazione")]);
        EXPECT_TRUE(nome) << riga[stati.Colonna("denominazione")];
        periodi[riga[stati.Colonna("codice")]].push_back(
            {riga[stati.Colonna("codice")], DataIso(riga[stati.Colonna("dal")]), al.empty() ? InVigore : DataIso(al),
             nome.value_or(""), "", "EE", true});
    }
    for (auto& [_, periodiCodice] : periodi) {
        std::ranges::sort(periodiCodice, {},
                          [](const PeriodoAtteso& p) { return std::tie(p.dal, p.al, p.nome, p.altroNome); });
    }
    // What the generator changes on purpose (anagrafe/dati/README.md): the official bilingual forms taken
    // apart into their two names, and the holes of a day bridged.
    struct NomiSeparati {
        std::string codice, nome, altroNome;
    };
    const NomiSeparati separati[] = {
        {"D324", "SAN DORLIGO DELLA VALLE", "DOLINA"},
        {"D383", "DUINO AURISINA", "DEVIN NABREZINA"},
        {"H845", "SAN FLORIANO DEL COLLIO", "STEVERJAN"},
        {"I479", "SAVOGNA D'ISONZO", "SOVODNJE OB SOCI"},
    };
    for (const NomiSeparati& n : separati) {
        PeriodoAtteso& ultimo = periodi.at(n.codice).back();
        EXPECT_TRUE(ultimo.altroNome.starts_with("COMUNE DI ")) << n.codice;
        ultimo.nome = n.nome;
        ultimo.altroNome = n.altroNome;
    }
    struct BucoColmato {
        std::string codice;
        Data al, colmato;
    };
    const BucoColmato colmati[] = {{"A791", {1912, 10, 30}, {1912, 10, 31}}, {"E004", {1958, 8, 13}, {1958, 8, 14}}};
    for (const BucoColmato& b : colmati) {
        auto& del = periodi.at(b.codice);
        const auto periodo = std::ranges::find(del, b.al, &PeriodoAtteso::al);
        EXPECT_NE(periodo, del.end()) << b.codice;
        if (periodo != del.end())
            periodo->al = b.colmato;
    }
    return periodi;
}

PeriodoAtteso DalRegistro(const Luogo& luogo) {
    return {std::string(luogo.codice),    luogo.dal,   luogo.al, std::string(luogo.nome), std::string(luogo.altroNome),
            std::string(luogo.provincia), luogo.estero};
}

TEST(TabellaCsv, OgniCodiceConIPeriodiDeiFile) {
    const auto attesi = PeriodiDeiFile();
    ASSERT_GT(attesi.size(), 10000u);
    std::size_t righe = 0;
    std::vector<std::string> diversi;
    for (const auto& [codice, periodi] : attesi) {
        std::vector<PeriodoAtteso> registro;
        for (const Luogo& luogo : Periodi(codice)) {
            registro.push_back(DalRegistro(luogo));
        }
        if (registro != periodi) {
            diversi.push_back(codice);
        }
        EXPECT_TRUE(registro == periodi || diversi.size() > 5)
            << "code " << codice << ": " << testing::PrintToString(registro) << " instead of "
            << testing::PrintToString(periodi);
        righe += periodi.size();
    }
    EXPECT_TRUE(diversi.empty()) << diversi.size() << " codes differ";
    EXPECT_EQ(tabella::NumeroCodici, attesi.size());
    EXPECT_EQ(tabella::NumeroRighe, righe);
}

// Every code that could be written, A000 to Z999: found exactly when the files have it.
TEST(TabellaCsv, NessunAltroCodice) {
    const auto attesi = PeriodiDeiFile();
    std::size_t trovati = 0;
    for (char lettera = 'A'; lettera <= 'Z'; ++lettera) {
        for (int numero = 0; numero <= 999; ++numero) {
            std::string codice(1, lettera);
            codice += static_cast<char>('0' + numero / 100);
            codice += static_cast<char>('0' + numero / 10 % 10);
            codice += static_cast<char>('0' + numero % 10);
            const bool esiste = CodiceEsiste(codice);
            EXPECT_EQ(esiste, attesi.contains(codice)) << codice;
            trovati += esiste ? 1 : 0;
        }
    }
    EXPECT_EQ(trovati, attesi.size());
    EXPECT_FALSE(attesi.contains("Z999"));
    EXPECT_FALSE(attesi.contains("A000"));
}

} // namespace
} // namespace anagrafe
