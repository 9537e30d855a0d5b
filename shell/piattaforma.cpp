// What the platform layer does alike on every system.

#include "shell/piattaforma.h"

#include <cstdlib>
#include <system_error>

namespace shell {

void LiberaStanza::operator()(char* stanza) const noexcept { std::free(stanza); }

bool StessoFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return a == b || std::filesystem::equivalent(a, b, ec);
}

void CreaCartella(const std::filesystem::path& cartella) noexcept {
    std::error_code ec;
    std::filesystem::create_directory(cartella, ec);
}

} // namespace shell
