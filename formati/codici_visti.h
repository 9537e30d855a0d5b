#pragma once
// The persons a reader has seen, to tell the same person twice. Every reader keeps them here: the 770 and DMA
// modules and the INPS reports tell them at the end, each later one with the one before it (Aggiungi, then
// Ripetuti or Segnala); the TFR groups at once, where a code comes back, with the line where it came first
// (PrimaRiga), since their findings follow the lines.

#include "lettura/lettura.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formati {

class CodiciVisti {
public:
    // A person as it came: its tax code, its place and, where a document has them, the kind of person and the
    // key of the report it came in.
    struct Visto {
        std::string codice;
        long riga = 0;
        long colonna = 0;
        int genere = 0;          // the kind of person, where a document has more than one
        std::string chiave = {}; // of its report, where a document keys its reports by more than the code
        bool elimina = false;    // its report asks that the one it replaces be deleted
        long persona = 0;        // its index among the reading's persons
    };
    // One that came again: a later one of the same kind and code as one before it, in the order of the places.
    struct Ripetuto {
        const Visto* visto;
        const Visto* prima;        // of the same kind and code, the one just before it
        const Visto* stessaChiave; // of the same kind, code and key, the one just before it; none: no such
    };

    void Aggiungi(Visto visto) { m_visti.push_back(std::move(visto)); }
    void Aggiungi(std::string_view codice, long riga) { Aggiungi(Visto{std::string(codice), riga}); }
    // Those that came again, by kind, code and place; valid until the next Aggiungi.
    std::vector<Ripetuto> Ripetuti() const;
    // Of each one that came again, "record G: il dipendente X compare due volte: anche alla riga N" at its line
    // and the column `posizione`.
    void Segnala(lettura::Lettura& lettura, int posizione, std::string_view record) const;

    // The line where `codice` came first; none the first time, when it is kept with `riga`.
    std::optional<long> PrimaRiga(std::string_view codice, long riga);

private:
    std::vector<Visto> m_visti;
    std::map<std::string, long, std::less<>> m_prime; // of PrimaRiga: each code, its first line
};

} // namespace formati
