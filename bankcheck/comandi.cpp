#include "bankcheck/comandi.h"

#include "bankcheck/check_bancari.h"

#include <algorithm>
#include <array>

namespace bankcheck {

namespace {

constexpr int Riuscito = 0;
constexpr int NonRiuscito = 1;
constexpr int RigaErrata = 2;

struct Comando {
    std::string_view nome;
    std::size_t minimoArgomenti;
    std::size_t massimoArgomenti;
    bool primoPieno; // an empty first argument is a wrong command line
    std::string_view uso;
    int (*esegui)(const std::vector<std::string>&, std::ostream&, std::ostream&);
};

int Cin(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    // The same refusal as the window: the account as typed, blanks included.
    if (argomenti[2].size() > 12) {
        err << "Lunghezza errata\n";
        return NonRiuscito;
    }
    CheckBancari coordinate;
    coordinate.Abi(argomenti[0]);
    coordinate.Cab(argomenti[1]);
    coordinate.ContoCorrente(argomenti[2]);
    const std::string cin = coordinate.CalcolaCin();
    if (cin.empty())
        return NonRiuscito;
    out << cin << '\n';
    return Riuscito;
}

bool LetteraOCifra(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// An empty BBAN is refused before this: the class would make up one from an account of zeros. A country
// or a BBAN that cannot give an IBAN is refused with the reason.
int Iban(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    const std::string& bban = argomenti[0];
    const std::string paese = argomenti.size() > 1 ? argomenti[1] : std::string{};
    if (!std::all_of(paese.begin(), paese.end(), LetteraOCifra)) {
        err << "Paese non valido '" << paese << "': sono ammesse solo lettere e cifre\n";
        return NonRiuscito;
    }
    if (CheckBancari::NormalizzaIBAN(bban).empty()) {
        err << "BBAN non valido '" << bban << "': non contiene lettere n\xE9 cifre\n";
        return NonRiuscito;
    }
    CheckBancari coordinate;
    const std::string iban = coordinate.CalcolaIBAN(paese, bban);
    if (iban.empty()) {
        err << "Impossibile calcolare l'IBAN di '" << bban << "' per il paese '" << paese << "'\n";
        return NonRiuscito;
    }
    out << iban << '\n';
    return Riuscito;
}

int CheckIban(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream&) {
    const bool corretto = CheckBancari{}.CheckIBAN(argomenti[0]);
    out << (corretto ? "IBAN corretto" : "IBAN errato") << '\n';
    return corretto ? Riuscito : NonRiuscito;
}

// clang-format off
constexpr std::array<Comando, 3> Comandi = {{
//   nome          min max  primoPieno  uso                              esegui
    {"cin",          3,  3, false,      "fornitura cin ABI CAB CONTO",   Cin      },
    {"iban",         1,  2, true,       "fornitura iban BBAN [PAESE]",   Iban     },
    {"check-iban",   1,  1, false,      "fornitura check-iban IBAN",     CheckIban},
}};
// clang-format on

int Uso(std::ostream& err, const Comando* comando) {
    err << "Uso:";
    for (const auto& c : Comandi)
        if (comando == nullptr || comando == &c)
            err << (comando ? " " : "\n  ") << c.uso;
    err << '\n';
    return RigaErrata;
}

} // namespace

int EseguiComando(std::string_view comando, const std::vector<std::string>& argomenti, std::ostream& out,
                  std::ostream& err) {
    for (const auto& c : Comandi) {
        if (c.nome != comando)
            continue;
        if (argomenti.size() < c.minimoArgomenti || argomenti.size() > c.massimoArgomenti ||
            (c.primoPieno && argomenti[0].empty()))
            return Uso(err, &c);
        return c.esegui(argomenti, out, err);
    }
    return Uso(err, nullptr);
}

} // namespace bankcheck
