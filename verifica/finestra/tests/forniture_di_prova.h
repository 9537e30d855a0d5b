#pragma once
// The supplies the window tests open: the 770 supply that the converter writes from the sample export, and
// the same supply with one employee's tax code made wrong wherever it is written.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/contesto_registrato.h"
#include "conv770/dati_sub.h"
#include "shell/esportazione.h"
#include "verifica/fornitura_letta.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace verifica::finestra::test {

// The supply of the sample export samples/770 (FORNITURA_ESEMPI), written into `archivio` by the converter
// run in this process; its path.
inline std::filesystem::path Fornitura770(const std::filesystem::path& archivio) {
    namespace fs = std::filesystem;
    const fs::path programma = archivio / "carvek";
    fs::create_directories(programma);
    fs::copy_file(fs::path(FORNITURA_ESEMPI) / "770" / "Esportazione770.tab", programma / "Esportazione770.tab",
                  fs::copy_options::overwrite_existing);
    shell::Caricamento caricamento = conv770::Descrittore().carica(programma, archivio);
    shell::test::ContestoRegistrato contesto(archivio);
    caricamento.esegui(contesto);
    for (const auto& voce : fs::directory_iterator(archivio))
        if (voce.path().filename().string().starts_with("Importa770-2011-"))
            return voce.path();
    throw std::runtime_error("il convertitore 770 non ha scritto la fornitura");
}

// The first employee's tax code (column 20 of the export's first line, as the supply writes it).
inline std::string CodiceFiscalePrimoDipendente() {
    const std::string esportazione =
        shell::test::LeggiFile(std::filesystem::path(FORNITURA_ESEMPI) / "770" / "Esportazione770.tab");
    std::size_t inizio = 0;
    for (int colonna = 0; colonna < 20; ++colonna)
        inizio = esportazione.find('\t', inizio) + 1;
    std::string codice = esportazione.substr(inizio, esportazione.find('\t', inizio) - inizio);
    for (char& c : codice)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return codice;
}

// A copy of `fornitura` into `cartella` under the same name, in which the first employee's tax code has
// another check character wherever it is written: formally wrong, the same in every copy. Its path; the
// wrong code into `errato`.
inline std::filesystem::path ConCodiceFiscaleErrato(const std::filesystem::path& fornitura,
                                                    const std::filesystem::path& cartella, std::string& errato) {
    std::string testo = shell::test::LeggiFile(fornitura);
    const std::string giusto = CodiceFiscalePrimoDipendente();
    errato = giusto;
    errato.back() = giusto.back() == 'A' ? 'B' : 'A';
    std::size_t sostituiti = 0;
    for (std::size_t p = testo.find(giusto); p != std::string::npos; p = testo.find(giusto, p + 1), ++sostituiti)
        testo.replace(p, giusto.size(), errato);
    if (sostituiti == 0)
        throw std::runtime_error("il codice fiscale " + giusto + " non \xE8 nella fornitura");
    std::filesystem::create_directories(cartella);
    const std::filesystem::path copia = cartella / fornitura.filename();
    shell::test::ScriviFile(copia, testo);
    return copia;
}

} // namespace verifica::finestra::test
