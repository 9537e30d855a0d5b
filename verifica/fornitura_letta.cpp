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
    Opzioni opzioni;
    opzioni.formato = formato;
    opzioni.persone = true;
    opzioni.avanzamento = std::move(avanzamento);
    letta.esito = VerificaFile(percorso, opzioni, letta);
    return letta;
}

std::string NomeEDataDelFile(const fs::path& percorso, bool completo) {
    std::string testo = shell::TestoPercorso(completo ? fs::absolute(percorso) : percorso.filename());
    std::error_code errore;
    const auto modificato = fs::last_write_time(percorso, errore);
    if (errore)
        return testo;
    const auto istante = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            modificato - fs::file_time_type::clock::now() + std::chrono::system_clock::now()));
    const shell::DataOra t = shell::OraLocale(istante);
    char data[64];
    std::snprintf(data, sizeof data, ", %02d/%02d/%04d %02d:%02d", t.giorno, t.mese, t.anno, t.ora, t.minuto);
    return testo + data;
}

} // namespace verifica
