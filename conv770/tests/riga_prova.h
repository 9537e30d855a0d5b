#pragma once
// Export lines for the tests: 200 columns, the declarant of the sample export in columns 0 to 19, an
// employee with complete personal data, and the columns that a test sets over them.

#include "shell/esportazione.h"

#include <map>
#include <string>
#include <vector>

namespace conv770::test {

using Colonne = std::map<int, std::string>;

inline std::string TestoRiga(const Colonne& colonne, std::size_t quante = 200) {
    std::vector<std::string> testi(quante);
    const Colonne base{{0, "02468135790"},
                       {1, "02468135790"},
                       {2, "OFFICINE MECCANICHE BELLANDI S.R.L."},
                       {17, "21/07/1958"},
                       {20, "RSSGLI80A41E507Z"},
                       {21, "ROSSI"},
                       {22, "GIULIA"},
                       {23, "F"},
                       {24, "01/01/1980"},
                       {25, "LECCO"},
                       {26, "LC"},
                       {29, "LECCO"},
                       {30, "LC"},
                       {31, "E507"}};
    for (const auto* mappa : {&base, &colonne})
        for (const auto& [c, testo] : *mappa)
            if (static_cast<std::size_t>(c) < quante)
                testi[static_cast<std::size_t>(c)] = testo;
    std::string riga;
    for (std::size_t i = 0; i < quante; ++i)
        riga += (i ? "\t" : "") + testi[i];
    return riga;
}

inline shell::RigaEsportazione Riga(const Colonne& colonne, int numero = 1) {
    return shell::RigaEsportazione(numero, TestoRiga(colonne));
}

// A field as the tests expect it: the code and the 16 characters of the value, right- or left-aligned.
inline std::string Destra(const std::string& codice, const std::string& valore) {
    return codice + std::string(16 - valore.size(), ' ') + valore;
}
inline std::string Sinistra(const std::string& codice, const std::string& valore) {
    return codice + valore + std::string(16 - valore.size(), ' ');
}

} // namespace conv770::test
