#pragma once
// What a supply holds, as the listing and the comparison show it: the supply's own data (declarant or
// company, period), one row per person, and the totals that the file states beside those recomputed
// from its records. Every format describes its rows with a schema: the columns of its listing and the
// kinds of person that fill them.

#include "lettura/formato.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lettura {

enum class Allineamento {
    Testo,  // left
    Numero, // right: amounts, counts, dates
};

struct ColonnaDistinta {
    std::string_view nome; // the TSV header and the HTML column head
    Allineamento allineamento = Allineamento::Testo;
    bool diPosizione = false; // tells only the person's place in the file (a module number): two
                              // supplies are not different because of it
};

// A kind of person: its name in the listing's first column ("dipendente"), the title of its table
// ("Dipendenti"), and the columns of the format's schema that it fills.
struct GenerePersona {
    std::string_view nome;
    std::string_view titolo;
    std::span<const int> colonne;
};

// The columns of a format's listing. The first three are always "codice fiscale", "cognome", "nome";
// the listing's own first column, "tipo", is the kind's name.
struct SchemaDistinta {
    std::span<const ColonnaDistinta> colonne;
    std::span<const GenerePersona> generi;
    // The pieces of a person's first record that tell its place in the file (Persona::posto), as a comparison
    // names them ("record G, posizioni 18-25"); empty where none does.
    std::string_view posto = {};
};

inline constexpr std::string_view ColonneComuni[] = {"codice fiscale", "cognome", "nome"};

// The columns of a listing from a reader's table of them, whose rows hold each column as `colonna` beside
// where its value comes from; and every column's index, for a kind of person that fills them all.
template <typename Riga, std::size_t N> constexpr std::array<ColonnaDistinta, N> ColonneDi(const Riga (&righe)[N]) {
    std::array<ColonnaDistinta, N> colonne{};
    for (std::size_t i = 0; i < N; ++i)
        colonne[i] = righe[i].colonna;
    return colonne;
}
template <std::size_t N> constexpr std::array<int, N> TutteLeColonne() {
    std::array<int, N> indici{};
    for (std::size_t i = 0; i < N; ++i)
        indici[i] = static_cast<int>(i);
    return indici;
}

// Whether a schema's columns begin with the three every listing has.
constexpr bool ColonneComuniInTesta(std::span<const ColonnaDistinta> colonne) {
    for (std::size_t i = 0; i < std::size(ColonneComuni); ++i)
        if (i >= colonne.size() || colonne[i].nome != ColonneComuni[i])
            return false;
    return true;
}

// The supply's own data, in the order the listing's header shows them ("Dichiarante", "Periodo"...).
struct Intestazione {
    std::vector<std::pair<std::string, std::string>> voci;
};

// A field of a supply as a comparison tells two supplies apart: its name ("record B, posizioni 139-198",
// "DA001002", "DatiRetributivi/Imponibile") and its value as the file holds it. A name that comes again
// in the same person, or in the supply's own records, carries its occurrence: "DB001129 (2)".
struct CampoFornitura {
    std::string nome;
    std::string valore;
    bool creazione = false; // it only tells when the supply was made (TFR record 1's date)
};

// Everything a person's records or elements hold, as a 64-bit hash: two persons with the same fingerprint
// hold the same, but by a chance of one in 2^64; a comparison reads the fields of those whose differ. Left out
// only what is compared elsewhere: the pieces that tell the person's place in the file (Persona::posto), and a
// copy of the supply's own data that equals its original (told as equal, not by its bytes). Fingerprints are
// compared within one run of one program only.
class Impronta {
public:
    void Aggiungi(std::string_view testo);
    void AggiungiNumero(std::uint64_t numero); // a number (an element's node), without hashing its bytes
    friend bool operator==(const Impronta&, const Impronta&) = default;

private:
    std::uint64_t m_valore = 0xCBF29CE484222325ULL;
};

struct Persona {
    int genere = 0;     // index into the schema's kinds
    long indice = 0;    // its place among the persons of the file, from 0
    long riga = 0;      // its first record or line
    std::string chiave; // what pairs it with the same person in another supply of its format
    // The rest of the key of its report where the authority keys reports by more than the tax code (UniEmens,
    // E-Mens: "Matricola 1234567890 Qualifica1 1 Qualifica2 F ..." of an employee, " TipoRapporto ... Aliquota ..."
    // of a collaborator, as the document writes them); empty elsewhere.
    std::string denuncia;
    std::vector<std::string> valori; // one per schema column; empty where its kind has none
    Impronta impronta;               // of all that its records or its report hold
    std::string posto; // what tells its place in the file (a module number, SchemaDistinta::posto), as written
};

// Whose a supply is and for which period, as an archive's supplies are grouped to be held against one another:
// what the authority files it under. Told once, when the file is read.
struct Identita {
    // The employer's tax code: `CFAzienda`, record B's entity code (positions 2-12), the declarant of record A, the
    // tax code of record 1 (positions 20-30); and its name as the supply writes it (empty where it has none).
    std::string datore;
    std::string nome;
    long rigaDatore = 0;
    // The period: the declared month (UniEmens, E-Mens, DMA), the tax year (770, `mese` 0), the supply's date
    // (TFR); 0 where the file does not say it in a readable form.
    int anno = 0;
    int mese = 0;
    int giorno = 0;
    long rigaPeriodo = 0;
    // The INPS registration number of the document's contribution position (`Matricola`); empty: none.
    std::string posizione;
    long rigaPosizione = 0;
    // A 770 declaration that is neither corrective nor supplementary (record B, positions 91-94 "0000").
    bool ordinaria = true;
};

// A total or count that the file states, beside the one recomputed from its records.
struct Totale {
    std::string nome;        // "Record Z, dipendenti (posizioni 52-60)"
    std::string dichiarato;  // as the file writes it, in the Italian form for amounts
    std::string ricalcolato; // the same, from the records
    bool concorda = true;    // whether the two agree (within what rounding allows)
};

// An amount in the Italian form: "." between thousands, "," before the two decimals ("1.234,50");
// whole numbers without decimals ("1.234") when `decimali` is 0.
std::string ImportoItaliano(double importo, int decimali = 2);

} // namespace lettura
