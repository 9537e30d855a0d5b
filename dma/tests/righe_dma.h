#pragma once
// Lines of a DMA export for the tests: an administration and a complete employee whose texts fit
// one block each, with chosen columns replaced.

#include <map>
#include <string>
#include <vector>

namespace dma::test {

// The 46 columns of a complete line (0 to 30 the administration, 31 to 43 the employee, 44 and 45).
inline std::vector<std::string> ColonneBase() {
    // clang-format off
    return {
        "80012340586", "3", "1234567", "00987650424", "COMUNE", "2011", "5", "PA000451", "2011", "6",
        "COMUNE DI VALBRUNA", "V042", "VALBRUNA", "38050", "0461 555123", "0461 555124", "RAG@VALBRUNA.IT",
        "UFFICIO PERSONALE", "V042", "VALBRUNA", "38050", "0461 555130", "", "PERS@VALBRUNA.IT",
        "BRNGPP58C12H612Y", "BERNARDI", "GIUSEPPE", "M", "12/03/1958", "ROVERETO", "TN",
        // the employee: tax code, surname, first name, sex, birth, birthplace, residence, address, CAP
        "RSSLRA75B45L378K", "ROSSI", "LAURA", "F", "05/02/1975", "TRENTO", "VALBRUNA", "VIA ROMA 12", "38050",
        "", "", "", "019210",
        "000123", "C00045"};
    // clang-format on
}

// A line of `colonne` columns (46: all of them) with the given columns replaced.
inline std::string Riga(const std::map<int, std::string>& modifiche = {}, std::size_t colonne = 46) {
    std::vector<std::string> c = ColonneBase();
    for (const auto& [colonna, testo] : modifiche)
        c.at(static_cast<std::size_t>(colonna)) = testo;
    c.resize(colonne);
    std::string riga;
    for (std::size_t i = 0; i < c.size(); ++i)
        riga += (i ? "\t" : "") + c[i];
    return riga;
}

// Lines joined with CR LF after each.
inline std::string Righe(const std::vector<std::string>& righe) {
    std::string testo;
    for (const auto& riga : righe)
        testo += riga + "\r\n";
    return testo;
}

} // namespace dma::test
