#pragma once
// The one error that stops a run. Its text is Italian, in ISO-8859-1, and says what went wrong and where.

#include "shell/testo.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace shell {

// The control characters of the export text a message quotes show as "\x00" (TestoVisibile): the
// message is whole wherever it is shown.
class ErroreElaborazione : public std::runtime_error {
public:
    explicit ErroreElaborazione(const std::string& messaggio) : std::runtime_error(TestoVisibile(messaggio)) {}
};

// An error whose text already names the export line and column ("Riga 12, colonna 24: ..."): a caller
// that knows more of where it happened adds it to the others only.
class ErroreCollocato : public ErroreElaborazione {
public:
    using ErroreElaborazione::ErroreElaborazione;
};

// The text with which a program shows an exception that stopped a run: an ErroreElaborazione's own, and
// for any other what happened in the suite's words ("Memoria insufficiente: ..."). Never empty.
std::string MessaggioEccezione(std::exception_ptr eccezione);

} // namespace shell
