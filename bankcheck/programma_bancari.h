#pragma once
// The whole program of the bank coordinates test window, whatever draws it (Qt, Win32). Returns the
// exit status.

namespace bankcheck {

int EseguiProgrammaBancari(int argc, char** argv);

} // namespace bankcheck
