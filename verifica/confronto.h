#pragma once
// Two supplies of one format compared person by person: persons are paired by their key (the tax code
// and what the format adds), never by their place in the file. What was added, removed and changed, field
// by field, and the totals and supply data that changed.

#include "verifica/fornitura_letta.h"

#include <optional>
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
    lettura::Persona vecchia;
    lettura::Persona nuova;
    std::vector<CampoCambiato> campi;
};

struct Differenze {
    std::vector<CampoCambiato> dati; // the supply's own data (declarant, period...)
    std::vector<lettura::Persona> aggiunte;
    std::vector<lettura::Persona> tolte;
    std::vector<PersonaCambiata> cambiate;
    std::vector<CampoCambiato> totali;
    // What differs that the lists above do not tell, each with its record or element and both values: the
    // supply's own content outside the data and totals told, the persons' places (a module number), the order
    // of the persons where it is content.
    std::vector<CampoCambiato> altre;

    bool Nessuna() const {
        return dati.empty() && aggiunte.empty() && tolte.empty() && cambiate.empty() && totali.empty() && altre.empty();
    }
};

// The two must be of the same format and comparable (the caller checks it: NonConfrontabile). A key found more
// than once in a file pairs its first occurrence with the other file's first, its second with the second, and so
// on. Two supplies read from their files have no difference only when their contents are the same to the
// authority's reader: every byte of every record in its place (770, DMA, TFR); every element, attribute and text
// of the document, the reports by their keys in any order, all else in its order, the layout aside (UniEmens,
// E-Mens). The supply's own fields read with the supplies, a person by its fingerprint, and the fields of the
// persons whose fingerprints differ read again from their files (RileggiPersone), with the listing values of the
// persons shown when a supply was read without them; what no field tells, by the bytes of its records read once
// more. Of supplies made otherwise than by reading a file, the persons by the columns of their listings. Throws
// as RileggiPersone does.
Differenze Confronta(const FornituraLetta& vecchia, const FornituraLetta& nuova);

// Why a supply read from its file cannot be compared with another, as a message says it: a document that stops
// being XML before its end ("riga 12, colonna 5: documento XML non ben formato: ..."), a file begun by the UTF-8
// byte order mark; none when it can. A file of no known format is told apart (FornituraLetta::formato).
std::optional<std::string> NonConfrontabile(const FornituraLetta& fornitura);

// The differences as text lines (ISO-8859-1, LF), and as a printable page. `nomeVecchia` and
// `nomeNuova` name the two files (NomeEDataDelFile).
void ScriviConfronto(const FornituraLetta& vecchia, const FornituraLetta& nuova, const Differenze& differenze,
                     const std::string& nomeVecchia, const std::string& nomeNuova, std::ostream& out);
void ScriviConfrontoHtml(const FornituraLetta& vecchia, const FornituraLetta& nuova, const Differenze& differenze,
                         const std::string& nomeVecchia, const std::string& nomeNuova, std::ostream& out);

} // namespace verifica
