#include "verifica/fornitura_letta.h"

#include "shell/contesto.h"
#include "shell/testo.h"

#include <chrono>
#include <cstdio>
#include <system_error>
#include <vector>

namespace verifica {

namespace fs = std::filesystem;
using lettura::Avanzamento;
using lettura::CampoFornitura;
using lettura::Destinatario;
using lettura::ErroreFile;
using lettura::Esito;
using lettura::FileInLettura;
using lettura::Formato;
using lettura::Impronta;
using lettura::Opzioni;
using lettura::Rilievo;

namespace {

// The bytes of a file that cannot be read twice (a pipe, a terminal), read whole; none for a file that can, or
// that is missing or a folder (the reading says so).
std::optional<std::string> CopiaSeNonRileggibile(const fs::path& percorso, const Avanzamento& avanzamento) {
    std::error_code errore;
    const fs::file_status stato = fs::status(percorso, errore);
    if (errore || !fs::exists(stato) || fs::is_directory(stato) || fs::is_regular_file(stato))
        return std::nullopt;
    FileInLettura file(percorso, avanzamento);
    std::string copia;
    std::vector<char> pezzo(FileInLettura::Pezzo);
    for (std::size_t n; (n = file.Leggi(pezzo.data(), pezzo.size())) > 0;)
        copia.append(pezzo.data(), n);
    return copia;
}

// Reads the supply's file, or the copy of its bytes.
Esito Leggi(const FornituraLetta& letta, const Opzioni& opzioni, Destinatario& destinatario) {
    return letta.copia ? formati::VerificaContenuto(*letta.copia, *letta.percorso, opzioni, destinatario)
                       : formati::VerificaFile(*letta.percorso, opzioni, destinatario);
}

// A supply read with its persons and fingerprints (LeggiFornitura).
FornituraLetta LeggiConLePersone(FornituraLetta letta, std::optional<Formato> formato, Avanzamento avanzamento,
                                 bool valori) {
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
    letta.esito = Leggi(letta, opzioni, letta);
    letta.FineLettura();
    return letta;
}

} // namespace

void FornituraLetta::FineLettura() {
    for (Rilievo& riepilogo : m_somma.Riepiloghi())
        rilievi.push_back(std::move(riepilogo));
    formato = esito.formato;
}

FornituraLetta LeggiFornitura(const fs::path& percorso, std::optional<Formato> formato, Avanzamento avanzamento,
                              bool valori) {
    // A file that cannot be read twice is read whole first, with the progress; then from its copy.
    if (auto copia = CopiaSeNonRileggibile(percorso, avanzamento))
        return LeggiContenuto(std::move(*copia), percorso, formato, valori);
    FornituraLetta letta;
    letta.percorso = percorso;
    return LeggiConLePersone(std::move(letta), formato, std::move(avanzamento), valori);
}

FornituraLetta LeggiContenuto(std::string contenuto, const fs::path& percorso, std::optional<Formato> formato,
                              bool valori) {
    FornituraLetta letta;
    letta.percorso = percorso;
    letta.copia = std::make_shared<const std::string>(std::move(contenuto));
    return LeggiConLePersone(std::move(letta), formato, {}, valori);
}

namespace {

// The fields of some persons, some persons whole, and the fingerprints of both to tell a file changed since it
// was first read.
class Rilette : public Destinatario {
public:
    Rilette(const std::set<long>& campi, const std::set<long>& persone, const std::set<long>& grezzi)
        : m_campi(campi), m_persone(persone), m_grezzi(grezzi) {}
    void Segnala(const Rilievo&) override {}
    void Persona(lettura::Persona&& persona) override {
        const bool intera = m_persone.count(persona.indice) > 0;
        if (intera || m_campi.count(persona.indice) || m_grezzi.count(persona.indice))
            impronte[persona.indice] = persona.impronta;
        if (intera)
            rilette.persone.emplace(persona.indice, std::move(persona));
    }
    void Campo(long persona, CampoFornitura&& campo) override {
        if (persona >= 0)
            rilette.campi[persona].push_back(std::move(campo));
    }
    void Grezzo(long persona, CampoFornitura&& record) override {
        rilette.grezzi[persona].push_back(std::move(record));
    }
    PersoneRilette rilette;
    std::map<long, Impronta> impronte;

private:
    const std::set<long>& m_campi;
    const std::set<long>& m_persone;
    const std::set<long>& m_grezzi;
};

} // namespace

PersoneRilette RileggiPersone(const FornituraLetta& letta, const std::set<long>& campi, const std::set<long>& persone,
                              const std::set<long>& grezzi) {
    Rilette rilette(campi, persone, grezzi);
    if (!letta.percorso || (campi.empty() && persone.empty() && grezzi.empty()))
        return {};
    Opzioni opzioni;
    opzioni.formato = letta.formatoRichiesto;
    opzioni.persone = true;
    opzioni.impronte = true;
    opzioni.campi = [&](long persona) { return persona >= 0 && campi.count(persona) > 0; };
    opzioni.valori = [&](long persona) { return persone.count(persona) > 0; };
    if (!grezzi.empty())
        opzioni.grezzi = [&](long persona) { return grezzi.count(persona) > 0; };
    const Esito esito = Leggi(letta, opzioni, rilette);
    const auto cambiato = [&] {
        return ErroreFile("Il file '" + shell::TestoPercorso(*letta.percorso) +
                          "' \xE8 cambiato mentre lo si confrontava: ripetere il confronto");
    };
    if (!(esito.contenuto == letta.esito.contenuto))
        throw cambiato();
    for (const lettura::Persona& p : letta.persone) {
        if (!campi.count(p.indice) && !persone.count(p.indice) && !grezzi.count(p.indice))
            continue;
        const auto impronta = rilette.impronte.find(p.indice);
        if (impronta == rilette.impronte.end() || !(impronta->second == p.impronta))
            throw cambiato();
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
