#pragma once
// A supply read whole into memory, as the listing, the comparison and the window show it: its data, its
// persons, its totals and every finding.

#include "formati/verifica.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace verifica {

class FornituraLetta : public Destinatario {
public:
    void Segnala(const Rilievo& rilievo) override { rilievi.push_back(rilievo); }
    void Schema(Formato f, const SchemaDistinta& s) override {
        formato = f;
        schema = &s;
    }
    void Dati(const Intestazione& i) override { intestazione = i; }
    void Persona(verifica::Persona&& persona) override { persone.push_back(std::move(persona)); }
    void Totale(const verifica::Totale& totale) override { totali.push_back(totale); }

    std::optional<Formato> formato;
    const SchemaDistinta* schema = nullptr;
    Intestazione intestazione;
    std::vector<verifica::Persona> persone;
    std::vector<verifica::Totale> totali;
    std::vector<Rilievo> rilievi;
    Esito esito;
};

// Reads the file with its persons (VerificaFile with Opzioni::persone). Throws as VerificaFile does.
FornituraLetta LeggiFornitura(const std::filesystem::path& percorso, std::optional<Formato> formato = {},
                              Avanzamento avanzamento = {});

// The name and the date of a file, as the header of a page names it: "Importa770-2011-...txt, 14/06/2011
// 09:05".
// `completo`: the whole path, where two files of one name are told apart (a comparison).
std::string NomeEDataDelFile(const std::filesystem::path& percorso, bool completo = false);

} // namespace verifica
