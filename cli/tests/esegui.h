#pragma once
// The command line run in the test's own process: its status and what it printed.

#include "cli/fornitura.h"

#include <sstream>
#include <string>
#include <vector>

namespace cli::test {

struct Esito {
    int stato;
    std::string out, err;
};

inline Esito Esegui(const std::vector<std::string>& argomenti) {
    std::ostringstream out, err;
    const int stato = EseguiFornitura(argomenti, out, err);
    return {stato, out.str(), err.str()};
}

} // namespace cli::test
