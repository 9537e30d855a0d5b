// Formats whose check is not built yet: refused as unsupported.

#include "lettura.h"

namespace verifica {

namespace {

void NonSupportato(Lettura& lettura, Formato formato) {
    lettura.Errore(0, 0,
                   "Il controllo delle forniture " + std::string(Descrizione(formato).nome) +
                       " non \xE8 ancora disponibile");
}

} // namespace

void LeggiUniemens(Lettura& lettura) { NonSupportato(lettura, Formato::Uniemens); }
void LeggiEmens(Lettura& lettura) { NonSupportato(lettura, Formato::Emens); }

} // namespace verifica
