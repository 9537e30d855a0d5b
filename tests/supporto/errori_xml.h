#pragma once
// What a real XML parser says of a document: empty when it is well-formed.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"

#include <filesystem>
#include <string>

namespace shell::test {

// `xmllint` is the parser's path. It is a Linux program: the Windows build leaves this check out.
inline std::string ErroriXml([[maybe_unused]] const char* xmllint,
                             [[maybe_unused]] const std::filesystem::path& documento) {
#ifdef _WIN32
    return "";
#else
    const CartellaTemporanea dir;
    const auto esito = EseguiProcesso(xmllint, {"--noout", documento.string()}, dir / "out", dir / "err");
    std::string uscita = esito.out + esito.err;
    if (esito.stato != 0 && uscita.empty())
        uscita = "xmllint: stato " + std::to_string(esito.stato);
    return uscita;
#endif
}

} // namespace shell::test
