#include "verifica/fornitura_letta.h"

#include "shell/contesto.h"
#include "shell/testo.h"

#include <chrono>
#include <cstdio>
#include <system_error>

namespace verifica {

namespace fs = std::filesystem;

FornituraLetta LeggiFornitura(const fs::path& percorso, std::optional<Formato> formato, Avanzamento avanzamento,
                              bool valori) {
    FornituraLetta letta;
    letta.percorso = percorso;
    letta.formatoRichiesto = formato;
    letta.valori = valori;
    Opzioni opzioni;
    opzioni.formato = formato;
    opzioni.persone = true;
    opzioni.impronte = true;
    opzioni.campi = [](long) { return false; };
    if (!valori)
        opzioni.valori = [](long) { return false; };
    opzioni.avanzamento = std::move(avanzamento);
    letta.esito = VerificaFile(percorso, opzioni, letta);
    letta.FineLettura();
    return letta;
}

void FornituraLetta::FineLettura() {
    for (Rilievo& riepilogo : m_somma.Riepiloghi())
        rilievi.push_back(std::move(riepilogo));
    formato = esito.formato;
}

namespace {

// The fields of some persons, some persons whole, and the fingerprints of both to tell a file changed since it
// was first read.
class Rilette : public Destinatario {
public:
    Rilette(const std::set<long>& campi, const std::set<long>& persone) : m_campi(campi), m_persone(persone) {}
    void Segnala(const Rilievo&) override {}
    void Persona(verifica::Persona&& persona) override {
        const bool intera = m_persone.count(persona.indice) > 0;
        if (intera || m_campi.count(persona.indice))
            impronte[persona.indice] = persona.impronta;
        if (intera)
            rilette.persone.emplace(persona.indice, std::move(persona));
    }
    void Campo(long persona, CampoFornitura&& campo) override {
        if (persona >= 0)
            rilette.campi[persona].push_back(std::move(campo));
    }
    PersoneRilette rilette;
    std::map<long, Impronta> impronte;

private:
    const std::set<long>& m_campi;
    const std::set<long>& m_persone;
};

} // namespace

PersoneRilette RileggiPersone(const FornituraLetta& letta, const std::set<long>& campi, const std::set<long>& persone) {
    Rilette rilette(campi, persone);
    if (!letta.percorso || (campi.empty() && persone.empty()))
        return {};
    Opzioni opzioni;
    opzioni.formato = letta.formatoRichiesto;
    opzioni.persone = true;
    opzioni.impronte = true;
    opzioni.campi = [&](long persona) { return persona >= 0 && campi.count(persona) > 0; };
    opzioni.valori = [&](long persona) { return persone.count(persona) > 0; };
    VerificaFile(*letta.percorso, opzioni, rilette);
    for (const verifica::Persona& p : letta.persone) {
        if (!campi.count(p.indice) && !persone.count(p.indice))
            continue;
        const auto impronta = rilette.impronte.find(p.indice);
        if (impronta == rilette.impronte.end() || !(impronta->second == p.impronta))
            throw ErroreFile("Il file '" + shell::TestoPercorso(*letta.percorso) +
                             "' \xE8 cambiato mentre lo si confrontava: ripetere il confronto");
    }
    return std::move(rilette.rilette);
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
