#pragma once
// Whom a reader tells what it finds as it reads a supply: every finding, the supply's data, its persons and
// its totals; what the reading was asked for, and what it found in all.

#include "lettura/formato.h"
#include "lettura/lettura_file.h"
#include "lettura/modello.h"
#include "lettura/rilievo.h"

#include <functional>
#include <optional>
#include <string>

namespace lettura {

class Destinatario {
public:
    virtual ~Destinatario() = default;
    virtual void Segnala(const Rilievo& rilievo) = 0;
    // Told once the format is known: the listing's columns.
    virtual void Schema(Formato /*formato*/, const SchemaDistinta& /*schema*/) {}
    virtual void Dati(const Intestazione& /*intestazione*/) {}
    // Each person once all its records are read; only when Opzioni::persone asks for them.
    virtual void Persona(lettura::Persona&& /*persona*/) {}
    virtual void Totale(const lettura::Totale& /*totale*/) {}
    // Whose the supply is and for which period, once the file is read.
    virtual void Identita(const lettura::Identita& /*identita*/) {}
    // A field of a person (`persona`, its index) or of the supply's own records (-1), as far as
    // Opzioni::campi asks for them.
    virtual void Campo(long /*persona*/, CampoFornitura&& /*campo*/) {}
    // A record of a person (`persona`) or of the supply's own (-1) as the file holds it, every byte of it and its
    // line end, named by its type and its occurrence there ("record G (2)"), as far as Opzioni::grezzi asks
    // for them: what a comparison shows of a difference that no field tells.
    virtual void Grezzo(long /*persona*/, CampoFornitura&& /*record*/) {}
};

struct Opzioni {
    std::optional<Formato> formato; // forced (`--formato`); otherwise recognised from the content
    bool persone = false;           // whether the persons' data are wanted (the listing, the comparison)
    // Whether each person is wanted with its keys only (its kind, line, Persona::chiave and Persona::denuncia),
    // without its listing values and fingerprint: what the rules of an archive's set hold files against.
    bool chiavi = false;
    // Whose fields are wanted (Destinatario::Campo): the supply's own records' always when set, a person's
    // when it says so of its index; none when not set.
    std::function<bool(long persona)> campi;
    bool impronte = false; // whether each person's fingerprint is wanted (Persona::impronta)
    // Whose listing values are wanted (Persona::valori, when persons are): every person's when not set. A
    // comparison pairs persons by their keys and fingerprints and needs the values of the few it shows.
    std::function<bool(long persona)> valori;
    // Whose records are wanted as the file holds them (Destinatario::Grezzo): a person's, or the supply's own
    // (-1), when it says so; none when not set. Only the fixed-length supplies have records.
    std::function<bool(long persona)> grezzi;
    Avanzamento avanzamento;
};

struct Esito {
    std::optional<Formato> formato; // none: empty file, or a file of no known format
    long errori = 0;
    long avvisi = 0;
    long persone = 0;
    long record = 0;    // records (lines) of a fixed-length supply, lines of an XML document
    bool campi = false; // the reader told every field of the file (Destinatario::Campo, Persona::impronta)
    // The reader found a record of its format: a line of one of its record types with its length, the root
    // element of its document. A format forced on a file without one is refused.
    bool recordDelFormato = false;
    // With Opzioni::impronte, what the file holds beside its persons, as the authority reads it: every byte of
    // the supply's own records in their order (fixed-length), every element, attribute and text outside the
    // reports in their order, the declaration too (XML); and where the persons stand among it.
    Impronta contenuto;
    // Why the file has no content to compare with another's, in Italian (empty: it has): a document that stops
    // being XML before its end, one that begins with a byte order mark.
    std::string nonConfrontabile;
};

} // namespace lettura
