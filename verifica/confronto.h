#pragma once
// Two supplies of one format compared person by person: persons are paired by their key (the tax code
// and what the format adds), never by their place in the file. What was added, removed and changed, field
// by field, and the totals and supply data that changed.

#include "verifica/fornitura_letta.h"

#include <ostream>
#include <string>
#include <vector>

namespace verifica {

struct CampoCambiato {
    std::string nome; // the field, the column of the listing, or the supply datum
    std::string vecchio;
    std::string nuovo;
    bool creazione = false; // a field that only tells when the supply was made
};

// The persons shown are copies with their listing values, read again from the file where the supply was read
// without them.
struct PersonaCambiata {
    Persona vecchia;
    Persona nuova;
    std::vector<CampoCambiato> campi;
};

struct Differenze {
    std::vector<CampoCambiato> dati; // the supply's own data (declarant, period...)
    std::vector<Persona> aggiunte;
    std::vector<Persona> tolte;
    std::vector<PersonaCambiata> cambiate;
    std::vector<CampoCambiato> totali;

    bool Nessuna() const {
        return dati.empty() && aggiunte.empty() && tolte.empty() && cambiate.empty() && totali.empty();
    }
};

// The two must be of the same format (the caller checks it). A key found more than once in a file pairs
// its first occurrence with the other file's first, its second with the second, and so on. Every field of
// every record (or element) differs or not: the supply's own ones by the fields read with the supplies,
// a person's by its fingerprint, and the fields of the persons whose fingerprints differ read again from
// their files (RileggiPersone), with the listing values of the persons shown when a supply was read without
// them; of supplies made otherwise than by reading a file, the persons by the columns of their listings.
// Throws as RileggiPersone does.
Differenze Confronta(const FornituraLetta& vecchia, const FornituraLetta& nuova);

// The differences as text lines (ISO-8859-1, LF), and as a printable page. `nomeVecchia` and
// `nomeNuova` name the two files (NomeEDataDelFile).
void ScriviConfronto(const FornituraLetta& vecchia, const FornituraLetta& nuova, const Differenze& differenze,
                     const std::string& nomeVecchia, const std::string& nomeNuova, std::ostream& out);
void ScriviConfrontoHtml(const FornituraLetta& vecchia, const FornituraLetta& nuova, const Differenze& differenze,
                         const std::string& nomeVecchia, const std::string& nomeNuova, std::ostream& out);

} // namespace verifica
