#include "tfr/nome_fornitura.h"

#include "shell/errore.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"

#include <cstdio>
#include <system_error>

namespace tfr {

namespace fs = std::filesystem;

namespace {

template <typename Carattere> Carattere MaiuscolaAscii(Carattere c) {
    return c >= 'a' && c <= 'z' ? static_cast<Carattere>(c - 'a' + 'A') : c;
}

// The native name of an entry compared with an ASCII name, letter case aside.
template <typename Carattere> bool StessoNome(const std::basic_string<Carattere>& nativo, std::string_view nome) {
    if (nativo.size() != nome.size())
        return false;
    for (std::size_t i = 0; i < nome.size(); ++i)
        if (MaiuscolaAscii(nativo[i]) != static_cast<Carattere>(MaiuscolaAscii(nome[i])))
            return false;
    return true;
}

} // namespace

std::string RadiceNomeFornitura(const shell::DataOra& oggi) {
    char data[32];
    std::snprintf(data, sizeof data, "%04d%02d%02d", oggi.anno % 10000, oggi.mese, oggi.giorno);
    return "MV" + std::string(data + 3);
}

std::string NomeFornitura(const shell::DataOra& oggi, int n) {
    const char suffisso = static_cast<char>(n < 10 ? '0' + n : 'A' + (n - 10));
    return RadiceNomeFornitura(oggi) + suffisso + ".TXT";
}

bool NomeOccupato(const fs::path& cartella, std::string_view nome) {
    std::error_code ec;
    fs::directory_iterator voce(cartella, ec);
    for (; !ec && voce != fs::directory_iterator(); voce.increment(ec))
        if (StessoNome(voce->path().filename().native(), nome))
            return true;
    if (ec)
        throw shell::ErroreElaborazione("Impossibile leggere il contenuto della cartella '" +
                                        shell::TestoPercorso(cartella) + "'");
    return false;
}

fs::path DaiNomeFornitura(shell::ContestoElaborazione& contesto, const fs::path& temporaneo, const fs::path& cartella) {
    shell::DataOra oggi{};
    for (int n = 0; n < NomiAlGiorno; ++n) {
        oggi = contesto.Adesso();
        const std::string nome = NomeFornitura(oggi, n);
        if (NomeOccupato(cartella, nome))
            continue;
        const fs::path finale = cartella / shell::PercorsoDaTesto(nome);
        switch (shell::SpostaEsclusivo(temporaneo, finale)) {
        case shell::EsitoSpostamento::Spostato:
            return finale;
        case shell::EsitoSpostamento::Esistente: // appeared after the look at the folder
            continue;
        case shell::EsitoSpostamento::Fallito:
            throw shell::ErroreElaborazione("Impossibile dare al documento il nome finale '" +
                                            shell::TestoPercorso(finale) + "'");
        }
    }
    throw shell::ErroreElaborazione("Nella cartella '" + shell::TestoPercorso(cartella) +
                                    "' ci sono gi\xE0 tutti i 36 documenti del giorno, da '" + NomeFornitura(oggi, 0) +
                                    "' a '" + NomeFornitura(oggi, NomiAlGiorno - 1) +
                                    "': nessun nome libero per il nuovo documento");
}

} // namespace tfr
