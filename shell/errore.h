#pragma once
// The one error that stops a run. Its text is Italian, in ISO-8859-1, and says what went wrong and where.

#include <stdexcept>
#include <string>

namespace shell {

class ErroreElaborazione : public std::runtime_error {
public:
    explicit ErroreElaborazione(const std::string& messaggio) : std::runtime_error(messaggio) {}
};

} // namespace shell
