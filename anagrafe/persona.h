#pragma once
// A person's tax code held against what a record writes of the person (the letters of the surname and
// of the name, the place of birth with its name and province), and a municipality code of a record
// against the registries and the name and province written beside it. The readers of the supplies
// give the fields as their records hold them and place each finding at the field it names. Texts are
// ISO-8859-1 bytes; findings are Italian.

#include "anagrafe/luoghi.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace anagrafe {

// A field of a record: its name as a finding quotes it ("campo DA001002", "campo <Cognome>", "campo
// delle posizioni 56-81") and its text; the blanks around the text do not count. A field the record
// does not have keeps an empty name and is not compared; a blank one is left to the reader's own
// "missing" findings.
struct Campo {
    std::string_view nome;
    std::string_view valore;
};

// The fields of a finding: where the reader tells it.
enum class Dato {
    CodiceFiscale,
    Cognome,
    Nome,
    LuogoNascita,
    ProvinciaNascita,
    CodiceComune,
    NomeComune,
    ProvinciaComune,
    Provincia, // a province written with no place code beside it
};

struct Riscontro {
    Dato dato;
    bool errore; // else a warning
    std::string messaggio;

    friend bool operator==(const Riscontro&, const Riscontro&) = default;
};

// What a record writes of a person beside the tax code.
struct PersonaScritta {
    Campo codiceFiscale;
    Campo cognome;
    Campo nome;
    Campo luogoNascita;          // the place's name: a municipality, or the foreign state
    Campo provinciaNascita;      // "MI"; "EE" for a foreign state
    std::optional<Data> nascita; // the date the record writes, when it writes a real one
};

// The rules of a personal tax code against its person (nothing for a code that is not a formally valid
// personal one: its own check tells what is wrong with it). The letters of the surname and of the name
// and the place of birth with its name and province; the date and sex are Discordanze's
// (anagrafe/codice_fiscale.h).
std::vector<Riscontro> ControllaPersona(const PersonaScritta& persona);

// A municipality code of a record, the name and province written beside it (either may be absent), the
// days on one of which it must be in force (1 January of a tax year, the days of a month), and what the
// code is, as a message names it: "del comune di residenza".
struct ComuneScritto {
    Campo codice;
    Campo nome;
    Campo provincia;
    Data dal;
    Data al;
    std::string_view cosa;
};

std::vector<Riscontro> ControllaComune(const ComuneScritto& comune);

// A province abbreviation written with no place code beside it (the 770's fiscal domicile): one that no
// province ever had is an error, as beside a code (Dato::Provincia).
std::vector<Riscontro> ControllaProvincia(const Campo& provincia);

// A place code as the listing shows it beside the code: "LECCO (LC)", its name and province on the
// date (or of its last period when it was not in force then); empty for a code that never existed.
std::string LuogoDelCodice(std::string_view codice, Data data);

} // namespace anagrafe
