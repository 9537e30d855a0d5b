#pragma once
// The real IBANs of data/iban_reali.tsv (published by public bodies; the source column says where).

#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace bankcheck::test {

struct IbanReale {
    std::string iban, paese, check, cin, abi, cab, conto, fonte;
};
// Printed as its IBAN (in the test list too), not as its raw bytes.
inline void PrintTo(const IbanReale& r, std::ostream* os) { *os << r.iban; }

inline std::vector<IbanReale> LeggiIbanReali() {
    std::ifstream file(BANKCHECK_DATI_TEST "/iban_reali.tsv");
    if (!file)
        throw std::runtime_error("iban_reali.tsv not found");
    std::vector<IbanReale> righe;
    std::string riga;
    std::getline(file, riga); // header
    while (std::getline(file, riga)) {
        if (riga.empty())
            continue;
        std::istringstream campi(riga);
        IbanReale r;
        for (std::string* campo : {&r.iban, &r.paese, &r.check, &r.cin, &r.abi, &r.cab, &r.conto, &r.fonte})
            std::getline(campi, *campo, '\t');
        righe.push_back(r);
    }
    return righe;
}

} // namespace bankcheck::test
