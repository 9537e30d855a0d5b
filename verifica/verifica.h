#pragma once
// The offline check of a supply: the file is recognised by its content, read once in pieces, and every
// finding, the supply's data, its persons and its totals are told to a Destinatario as they are found.
// The command line prints the findings, the listing and the comparison keep the persons, the window
// shows both.

#include "formato.h"
#include "lettura_file.h"
#include "modello.h"
#include "rilievo.h"

#include <filesystem>
#include <optional>

namespace verifica {

class Destinatario {
public:
    virtual ~Destinatario() = default;
    virtual void Segnala(const Rilievo& rilievo) = 0;
    // Told once the format is known: the listing's columns.
    virtual void Schema(Formato /*formato*/, const SchemaDistinta& /*schema*/) {}
    virtual void Dati(const Intestazione& /*intestazione*/) {}
    // Each person once all its records are read; only when Opzioni::persone asks for them.
    virtual void Persona(verifica::Persona&& /*persona*/) {}
    virtual void Totale(const verifica::Totale& /*totale*/) {}
};

struct Opzioni {
    std::optional<Formato> formato; // forced (`--formato`); otherwise recognised from the content
    bool persone = false;           // whether the persons' data are wanted (the listing, the comparison)
    Avanzamento avanzamento;
};

struct Esito {
    std::optional<Formato> formato; // none: empty file, or a file of no known format
    long errori = 0;
    long avvisi = 0;
    long persone = 0;
    long record = 0; // records (lines) of a fixed-length supply, lines of an XML document
};

// Reads the file at `percorso` and tells `destinatario` what it finds. An empty file and a file of no
// known format are a finding (an error about the whole file), not an exception. Throws ErroreFile when
// the file is missing or unreadable, LetturaInterrotta when Opzioni::avanzamento stops it.
Esito VerificaFile(const std::filesystem::path& percorso, const Opzioni& opzioni, Destinatario& destinatario);

// The same for the bytes of a supply in memory.
Esito VerificaTesto(std::string contenuto, const Opzioni& opzioni, Destinatario& destinatario);

// The schema of a format's listing.
const SchemaDistinta& SchemaDi(Formato formato);

} // namespace verifica
