#pragma once
// What the readers of the supplies of fixed-length records (770, DMA, TFR) share: one reading of their
// lines (each line's end, its record type, the order of the records, the record read by its table and
// the findings of its pieces, with the severity their rows give) into which each format puts only the
// rules of its records; and the rules of the supply as a whole that more than one of them has (a count
// that a record states, the file's name).

#include "formati/lettori.h"
#include "lettura/lettura_file.h"
#include "tracciati/tracciato.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace formati {

// The names of the reading model that the readers of fixed-length supplies speak in.
using lettura::Allineamento;
using lettura::ColonnaDistinta;
using lettura::ColonneComuniInTesta;
using lettura::ColonneDi;
using lettura::GenerePersona;
using lettura::Gravita;
using lettura::Identita;
using lettura::Lettura;
using lettura::SchemaDistinta;
using lettura::TutteLeColonne;

// A line's end: the supplies end every line with CR LF. Reports a line feed alone or a last line without
// an end, as errors.
void ControllaFineRiga(lettura::Lettura& lettura, const lettura::Riga& riga);

// The severity of a difference from what a piece's kind writes, as the piece's row holds it (Rigore): as
// usual a breach of the piece's form is an error, a value in another form and a different fixed content
// warnings.
lettura::Gravita GravitaDi(tracciati::Difformita difformita, tracciati::Rigore rigore = tracciati::Rigore::Usuale);

// The order of a supply's records: from each type ('\0' for the start), the types that may follow it.
struct Passo {
    char da;
    std::string_view verso;
};

class OrdineDeiRecord {
public:
    // `ordine` says the order in words, for the message ("A, B, un record C per dipendente, Z").
    OrdineDeiRecord(std::span<const Passo> passi, std::string_view ordine) : m_passi(passi), m_ordine(ordine) {}

    // Reports a record out of place; false when it is.
    bool Controlla(lettura::Lettura& lettura, const lettura::Riga& riga, char tipo);
    char Precedente() const { return m_precedente; }

private:
    std::span<const Passo> m_passi;
    std::string_view m_ordine;
    char m_precedente = '\0';
};

// A piece of a person's records that copies a piece of the supply's own (the declarant in every record G):
// compared with its original, the piece `originale` of the first record `record`, so that the copy is part of
// its person only where it differs from it, and a change of the original is told once.
struct DatoCopiato {
    const tracciati::Pezzo& copia;
    char record;
    const tracciati::Pezzo& originale;
};

// A supply of fixed-length records as its reader needs it: its tables, the order of its records and the
// words that tell it.
struct FormatoFisso {
    const tracciati::Tracciato& tracciato;
    std::span<const Passo> passi;
    std::string_view ordine;      // the order in words: "A, B, un record C per dipendente, Z"
    char ultimo;                  // the record that ends the supply
    std::string_view mancaUltimo; // what a supply that ends before it lacks: "manca il record Z"
    // The copies of the supply's own data in a person's records.
    std::span<const DatoCopiato> copie = {};
    // The pieces of a person's first record that tell its place in the file (a module number): a comparison
    // holds them against those of the person in the same place of the other file (Persona::posto), not
    // against the same person's.
    std::span<const tracciati::Pezzo* const> posto = {};
    // The pieces that only tell when the supply was made.
    std::span<const tracciati::Pezzo* const> creazione = {};
};

// Whom a record is about, for its findings.
struct Chi {
    long persona = -1;     // its index in the file, -1 for none
    std::string_view nome; // "dipendente RSSMRA80A01H501U"; empty for none. The reader's own text, which
                           // stays as it is while the record is read
};

// A record as the reading hands it to its format's rules.
struct RecordFisso {
    const lettura::Riga& riga;
    char tipo;
    char precedente; // the record type before it, '\0' for the first
    bool alSuoPosto; // its place in the order of the records is right
    const tracciati::RecordLetto& letto;
    // Its length is its table's: a record too long or too short is told once, by its length, and what
    // stands past the change is read as no field (its area is not read).
    bool LunghezzaGiusta() const { return letto.LunghezzaGiusta(); }
    // Whether the line holds the whole piece: a record cut short has nothing to compare past its end.
    bool Presente(const tracciati::Pezzo& pezzo) const {
        return static_cast<std::size_t>(tracciati::UltimaPosizione(pezzo)) <= riga.lunghezza;
    }
    long Numero() const { return riga.numero; }
};

// The reading of a supply of fixed-length records, line by line: every line's end, its record type (a type
// the supply does not have is told and the line passed over), its place in the order, the record read by
// its table and the findings of its pieces, about the person Persona names; then the format's own rules
// of the record (Record) and, after the last line, of the supply (Fine, which tells a supply that ends
// too soon with FineDellOrdine).
class LettoreFisso {
public:
    LettoreFisso(lettura::Lettura& lettura, const FormatoFisso& formato);
    virtual ~LettoreFisso() = default;

    void Leggi();

protected:
    // Whom the record is about, before its pieces' findings are told: a rule that begins a new person does
    // it here.
    virtual Chi Persona(const RecordFisso& record) = 0;
    virtual void Record(const RecordFisso& record, const Chi& chi) = 0;
    virtual void Fine() { FineDellOrdine(); }

    // "nessun record: la fornitura \xE8 vuota", or that the supply ends before its last record.
    void FineDellOrdine();
    char Precedente() const { return m_ordine.Precedente(); }
    // The name of a person's field as a comparison shows it: the name of the listing's column that shows
    // it, then the field's (a code of the area, or a piece `pezzo`); the field's alone by default.
    virtual std::string NomeDelCampo(std::string nome, std::string_view /*codice*/,
                                     const tracciati::Pezzo* /*pezzo*/) const {
        return nome;
    }
    // The fingerprint of the records of the person whose record was read last, and what tells its place.
    const lettura::Impronta& ImprontaDellaPersona() const { return m_impronta; }
    const std::string& PostoDellaPersona() const { return m_posto; }

    lettura::Lettura& m_lettura;
    const FormatoFisso& m_formato;

private:
    // A control character in a piece, or in a field of the area, that its kind lets through: an error
    // naming the field.
    void CaratteriDiControllo(const RecordFisso& record, const Chi& chi);
    // The record's part of its person's fingerprint (or of the supply's content), and its fields and its bytes
    // when they are wanted.
    void Campi(const RecordFisso& record, long persona);
    // A line that is no record of the supply: part of the supply's own content, in its place.
    void Sconosciuta(const lettura::Riga& riga);
    // The record's bytes in a fingerprint: every one, but the pieces told otherwise in a person's records.
    void ImprontaDelRecord(lettura::Impronta& impronta, const RecordFisso& record, long persona) const;
    // The copy that the piece is, if it is one; whether it tells the person's place.
    const DatoCopiato* CopiaDi(const tracciati::Pezzo& pezzo) const;
    bool DelPosto(const tracciati::Pezzo& pezzo) const;
    // "record G (2)": the record's type and, past the first, its occurrence among those of its person (`persona`)
    // or among the supply's own records (-1), wherever they stand in the file.
    std::string NomeDelRecord(std::string_view tipo, long persona);

    OrdineDeiRecord m_ordine;
    tracciati::RecordLetto m_letto;
    long m_righe = 0;             // lines read
    long m_rigaUltimo = 0;        // the line of the first record of the type that ends the supply
    std::string m_attesi;         // the record types: "A, B, G, J, Z"
    long m_titolare = -2;         // whose records the last one was: a person's index, -1 the supply's own
    long m_rigaTitolare = 0;      // the first line of that person's records
    lettura::Impronta m_impronta; // of that person's records so far
    std::string m_posto;          // of that person (FormatoFisso::posto)
    bool m_traPersone = false;    // the supply's content has the persons' place as its last item
    long m_sconosciute = 0;       // lines that are no record of the supply
    std::vector<std::optional<std::string>> m_originali; // of FormatoFisso::copie, once their record is read
    // Of each record type and field code, for their names: in the person being read, in the supply's own records.
    std::map<std::string, int, std::less<>> m_volte, m_volteFornitura;
};

// Reports every Segnalazione of a record read by its table, about the person `chi`; the message is
// "record G: posizioni 18-25: trovato '...', ...".
void SegnalaRecord(lettura::Lettura& lettura, const RecordFisso& record, const Chi& chi);

// A count that a record states (the digits of its piece `pezzo`, `testo`) against the records counted: a
// total of the listing, and an error when they differ.
void ConfrontaConteggio(lettura::Lettura& lettura, long riga, char tipo, const tracciati::Pezzo& pezzo,
                        std::string_view testo, long long contati, std::string_view cosa);

// The file's name against the one the content gives it (a warning); nothing for a supply read from memory.
void ControllaNomeFile(lettura::Lettura& lettura, std::string_view atteso);

} // namespace formati
