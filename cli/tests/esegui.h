#pragma once
// The command line run in the test's own process: its status and what it printed.

#include "cli/fornitura.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace cli::test {

struct Esito {
    int stato;
    std::string out, err;
};

// A path as the command line takes it (UTF-8).
inline std::string Utf8(const std::filesystem::path& percorso) {
    const auto testo = percorso.u8string();
    return std::string(testo.begin(), testo.end());
}

inline Esito Esegui(const std::vector<std::string>& argomenti) {
    std::ostringstream out, err;
    const int stato = EseguiFornitura(argomenti, out, err);
    return {stato, out.str(), err.str()};
}

} // namespace cli::test
