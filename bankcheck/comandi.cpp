#include "comandi.h"

#include "check_bancari.h"

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

// An empty BBAN is refused before this: the class would make up one from an account of zeros.
int Iban(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream&) {
    CheckBancari coordinate;
    const std::string iban =
        coordinate.CalcolaIBAN(argomenti.size() > 1 ? argomenti[1] : std::string{}, argomenti[0]);
    if (iban.empty())
        return NonRiuscito;
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

int EseguiComando(std::string_view comando, const std::vector<std::string>& argomenti,
                  std::ostream& out, std::ostream& err) {
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
