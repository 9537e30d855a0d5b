#pragma once
// The place codes ("codice catastale": characters 12-15 of a personal tax code, and the
// municipality codes of the supplies) of every Italian municipality since 1861 and of the foreign
// states, period by period, from the registries compiled into the program (anagrafe/dati,
// anagrafe/luoghi_tabella.cpp). Texts are ISO-8859-1 bytes, upper case.

#include "anagrafe/luoghi_tabella.h"
#include "shell/conversioni.h"

#include <compare>
#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace anagrafe {

// The suite's calendar date, compared in calendar order.
using shell::Data;

// The end of a period still in force.
inline constexpr Data InVigore{9999, 12, 31};

// One period of a place code. The texts are views into the compiled registries: they live as long
// as the program.
struct Luogo {
    std::string_view codice;    // "F205"; "Z105" for a foreign state
    std::string_view nome;      // "MILANO", "FORL\xCC"
    std::string_view altroNome; // the name in a second official language ("BOZEN"), or empty
    std::string_view provincia; // the province abbreviation of the period; "EE" for a foreign state
    Data dal;
    Data al; // inclusive; InVigore while in force
    bool estero = false;
};

// The periods of one code where the compiled registry holds them, by start date (two of the same start by
// name): each read as a Luogo when it is looked at, none copied.
class PeriodiCodice {
public:
    class Iteratore {
    public:
        using value_type = Luogo;
        using difference_type = std::ptrdiff_t;
        using iterator_category = std::input_iterator_tag;
        using reference = Luogo;
        using pointer = void;

        Iteratore() = default;
        explicit Iteratore(const tabella::RigaLuogo* riga) : m_riga(riga) {}
        Luogo operator*() const;
        Iteratore& operator++() {
            ++m_riga;
            return *this;
        }
        Iteratore operator++(int) {
            Iteratore prima = *this;
            ++m_riga;
            return prima;
        }
        friend bool operator==(const Iteratore&, const Iteratore&) = default;

    private:
        const tabella::RigaLuogo* m_riga = nullptr;
    };

    explicit PeriodiCodice(std::span<const tabella::RigaLuogo> righe) : m_righe(righe) {}
    Iteratore begin() const { return Iteratore(m_righe.data()); }
    Iteratore end() const { return Iteratore(m_righe.data() + m_righe.size()); }
    bool empty() const { return m_righe.empty(); }
    std::size_t size() const { return m_righe.size(); }
    Luogo operator[](std::size_t i) const { return *Iteratore(m_righe.data() + i); }
    Luogo back() const { return (*this)[size() - 1]; }

private:
    std::span<const tabella::RigaLuogo> m_righe;
};

// The periods of the code; none for a code that never existed. Codes are written in upper case, as the tax
// code writes them.
PeriodiCodice PeriodiDi(std::string_view codice);

// The same, copied.
std::vector<Luogo> Periodi(std::string_view codice);

// Whether the code has any period.
bool CodiceEsiste(std::string_view codice);

// The period of the code valid on the date (the first of Periodi when two are); none when the code
// never existed or has no period on that date (the registry has holes between the periods of some
// codes).
std::optional<Luogo> LuogoInData(std::string_view codice, Data data);

// A foreign state that took the place of a ceased one, which the registry ends on the day the state begins: a
// person born there before, coded later, may have the state's code (born in Belgrade in 1980, coded while
// Serbia and Montenegro was). A tax code's place of birth counts as in force on a day its predecessor was.
struct Successione {
    std::string_view stato;
    std::string_view predecessore;
};
std::span<const Successione> Successioni();

// Whether the province abbreviation belongs to some period of some code, past provinces ("FO") and
// "EE" included. Upper case only.
bool ProvinciaNota(std::string_view sigla);

// Whether a written place name is the name of the place: equal to its name, to its other name, or
// to both together in either order ("BOLZANO/BOZEN", "BOZEN BOLZANO"), once case and accents are
// dropped (see LetteraBase) and apostrophes (also 0x60 and 0xB4), blanks (also 0xA0), hyphens, dots
// and slashes are left out: "Sant'Agata" is "SANTAGATA", "FORLI'" is "FORL\xCC". Every other
// character must be the same. A letter that ISO-8859-1 lacks, written as its reference ("&#352;"), reads as
// its base letter. Beside the registry's names, a few that exports write ("REGGIO EMILIA" for REGGIO
// NELL'EMILIA), and a word "S." read as SAN, SANTO, SANTA or SANT' ("S. GIOVANNI IN PERSICETO"). An empty
// name is no name.
bool StessoNome(std::string_view scritto, const Luogo& luogo);

} // namespace anagrafe
