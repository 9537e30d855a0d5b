#include "verifica/fornitura_letta.h"

#include "shell/contesto.h"
#include "shell/testo.h"

#include <chrono>
#include <cstdio>
#include <system_error>

namespace verifica {

namespace fs = std::filesystem;

FornituraLetta LeggiFornitura(const fs::path& percorso, std::optional<Formato> formato, Avanzamento avanzamento) {
    FornituraLetta letta;
    letta.percorso = percorso;
    letta.formatoRichiesto = formato;
    Opzioni opzioni;
    opzioni.formato = formato;
    opzioni.persone = true;
    opzioni.impronte = true;
    opzioni.campi = [](long) { return false; };
    opzioni.avanzamento = std::move(avanzamento);
    letta.esito = VerificaFile(percorso, opzioni, letta);
    return letta;
}

namespace {

// The fields of some persons, and their fingerprints to tell a file changed since it was first read.
class CampiRiletti : public Destinatario {
public:
    void Segnala(const Rilievo&) override {}
    void Persona(verifica::Persona&& persona) override { impronte[persona.indice] = persona.impronta; }
    void Campo(long persona, CampoFornitura&& campo) override {
        if (persona >= 0)
            campi[persona].push_back(std::move(campo));
    }
    std::map<long, std::vector<CampoFornitura>> campi;
    std::map<long, Impronta> impronte;
};

} // namespace

std::map<long, std::vector<CampoFornitura>> CampiDellePersone(const FornituraLetta& letta,
                                                              const std::set<long>& indici) {
    CampiRiletti riletti;
    if (!letta.percorso || indici.empty())
        return {};
    Opzioni opzioni;
    opzioni.formato = letta.formatoRichiesto;
    opzioni.persone = true;
    opzioni.impronte = true;
    opzioni.campi = [&](long persona) { return persona >= 0 && indici.count(persona) > 0; };
    VerificaFile(*letta.percorso, opzioni, riletti);
    for (const verifica::Persona& p : letta.persone)
        if (indici.count(p.indice) &&
            (!riletti.impronte.count(p.indice) || !(riletti.impronte[p.indice] == p.impronta)))
            throw ErroreFile("Il file '" + shell::TestoPercorso(*letta.percorso) +
                             "' \xE8 cambiato mentre lo si confrontava: ripetere il confronto");
    return std::move(riletti.campi);
}

std::string NomeEDataDelFile(const fs::path& percorso, bool completo) {
    std::string testo = shell::TestoPercorso(completo ? fs::absolute(percorso) : percorso.filename());
    std::error_code errore;
    const auto modificato = fs::last_write_time(percorso, errore);
    if (errore)
        return testo;
    const auto istante =
        std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            modificato - fs::file_time_type::clock::now() + std::chrono::system_clock::now()));
    const shell::DataOra t = shell::OraLocale(istante);
    char data[64];
    std::snprintf(data, sizeof data, ", %02d/%02d/%04d %02d:%02d", t.giorno, t.mese, t.anno, t.ora, t.minuto);
    return testo + data;
}

} // namespace verifica
