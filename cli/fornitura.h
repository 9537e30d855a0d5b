#pragma once
// The command line `fornitura`: the converters without a window, and the bank coordinate checks.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Exit statuses of a converter run.
inline constexpr int EsitoCompletato = 0;
inline constexpr int EsitoErrore = 1;
inline constexpr int EsitoUso = 2;
inline constexpr int EsitoFileMancante = 3;

// Runs the command line given without the program's name; arguments and output in UTF-8. Every
// exception ends as a stopped run: its message on `err`, status 1.
int EseguiFornitura(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

} // namespace cli
