#pragma once
// Formal checks of Italian tax codes: the personal code of 16 characters (three letters of the
// surname, three of the name, birth year, month letter, birth day + 40 for women, place code, check
// letter) and the numeric code of 11 digits of companies and bodies (partita IVA: serial, office
// code, check digit). "Formal" means what the code itself can tell: its shape, its birth date and
// its check character; whether the authority ever assigned it is beyond a file-only check. Texts
// are ISO-8859-1 bytes; the findings are Italian words that a message can quote.

#include "shell/conversioni.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace anagrafe {

struct EsitoCodiceFiscale {
    // What makes the code formally wrong; empty when it is valid.
    std::string errore;
    // Something odd about a valid code: a numeric code whose office code is none of the known ones.
    std::string avviso;

    bool Valido() const { return errore.empty(); }
};

// A code as it stands in a fixed field: the blanks after it are ignored, anything else counts.
// 16 characters are checked as a personal code, 11 as a numeric one; any other length is an error.
EsitoCodiceFiscale ControllaCodiceFiscale(std::string_view codice);

// The check letter of the first 15 characters of a personal code (upper-case letters and digits),
// or nothing when they are not 15 such characters.
std::optional<char> CarattereDiControllo(std::string_view quindici);

// The check digit of the first 10 digits of a numeric code, or nothing when they are not 10 digits.
std::optional<char> CifraDiControllo(std::string_view dieci);

// True when digits 8-10 of an 11-digit code are an office code in use: 001-100, 120, 121, 888, 999.
bool UfficioNoto(std::string_view undici);

// What a formally valid personal code says against the birth date and sex written beside it: one
// Italian text per disagreement (year, month, day, sex), none when they agree. The date is left out
// when absent, the sex unless it reads "M" or "F" (blanks around it ignored). A code that is not a
// valid personal one gives nothing here: ControllaCodiceFiscale tells what is wrong with it.
std::vector<std::string> Discordanze(std::string_view codice, const std::optional<shell::Data>& nascita,
                                     std::string_view sesso);

} // namespace anagrafe
