#pragma once
// The whole program of a converter, whatever draws its window (Qt, Win32). Returns the exit status.

#include "shell/convertitore.h"

namespace shell {

int EseguiProgramma(int argc, char** argv, const Convertitore& convertitore);

} // namespace shell
