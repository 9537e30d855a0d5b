#pragma once
// The bank coordinate commands of the command line: "cin", "iban" and "check-iban".

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace bankcheck {

// Runs "cin", "iban" or "check-iban" on ISO-8859-1 arguments; writes ISO-8859-1 result lines ended
// by '\n' to out; returns the exit status (0, 1; 2 with a short Italian usage text on err when the
// arguments are wrong).
//   cin ABI CAB CONTO   prints the CIN letter (0), or nothing (1) when it cannot be computed; an
//                       account longer than 12 characters is refused with "Lunghezza errata" (1)
//   iban BBAN [PAESE]   prints the whole IBAN (0); a country holding other than letters and digits, or
//                       a BBAN without any, is refused with the reason on err (1); an empty BBAN is
//                       a wrong command line (2)
//   check-iban IBAN     prints "IBAN corretto" (0) or "IBAN errato" (1)
int EseguiComando(std::string_view comando, const std::vector<std::string>& argomenti, std::ostream& out,
                  std::ostream& err);

} // namespace bankcheck
