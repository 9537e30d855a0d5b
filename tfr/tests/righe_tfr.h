#pragma once
// Export lines for the tests: a complete main export line with plausible values, of which a test
// changes only the columns it is about.

#include <array>
#include <initializer_list>
#include <string>
#include <utility>

namespace tfr::test {

inline constexpr int ColonneTFR = 42;

// clang-format off
inline const std::array<std::string, ColonneTFR> ColonnePredefinite = {
    // 0-10: the company
    "0000712345", "02345678901", "Officine Brunelli S.r.l.", "SRL", "Via dell'Industria, 27/B", "40138",
    "Bologna", "051 6013344", "051 6013345", "Rossana", "Tedeschi",
    // 11-31: the employee
    "000000142", "01/07/2007", "FRRLCU80A41A944X", "Ferretti", "Lucia", "Via Saragozza, 112", "Bologna",
    "40135", "BO", "A944", "7", "F", "01/01/1980", "15/03/2005", "1", "2.345,60", "B", "X", "05428",
    "11101", "000000123456",
    // 32-39: the period
    "01/01/2010", "31/12/2010", "12", "3", "0", "32.105,00", "2.378,15", "52,30",
    // 40: the IBAN check digits; 41: the last amount of the period
    "IT60", "2.325,85",
};
// clang-format on

// The columns of a main export line, with `cambi` (column, text) applied.
inline std::array<std::string, ColonneTFR> Colonne(std::initializer_list<std::pair<int, std::string>> cambi = {}) {
    auto colonne = ColonnePredefinite;
    for (const auto& [colonna, testo] : cambi)
        colonne[static_cast<std::size_t>(colonna)] = testo;
    return colonne;
}

// The columns joined by TAB, the first `quante` only (all by default).
inline std::string Riga(const std::array<std::string, ColonneTFR>& colonne, int quante = ColonneTFR) {
    std::string riga;
    for (int i = 0; i < quante; ++i)
        riga += (i ? "\t" : "") + colonne[static_cast<std::size_t>(i)];
    return riga;
}

inline std::string Riga(std::initializer_list<std::pair<int, std::string>> cambi = {}) { return Riga(Colonne(cambi)); }

// A main export line of employee `chiave`.
inline std::string RigaDipendente(const std::string& chiave, const std::string& cognome = "Rossi",
                                  const std::string& nome = "Anna") {
    return Riga({{13, chiave}, {14, cognome}, {15, nome}});
}

// A beneficiaries line: employee key, tax code, surname, name, kind, IBAN.
inline std::string RigaBeneficiario(const std::string& chiave, const std::string& codice,
                                    const std::string& iban = "") {
    return chiave + "\t" + codice + "\tRossi\tMarco\tF\t" + iban;
}

} // namespace tfr::test
