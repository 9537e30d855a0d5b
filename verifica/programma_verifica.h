#pragma once
// The whole program of the supply check window, whatever draws it (Qt, Win32): the supplies named by its
// arguments are opened, or the file dialog asks for them. Returns the exit status.

namespace verifica {

int EseguiProgrammaVerifica(int argc, char** argv);

} // namespace verifica
