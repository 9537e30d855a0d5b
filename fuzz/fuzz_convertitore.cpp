// Fuzzing one converter end to end: the input becomes its export file (for TFR, the bytes after the
// first "\x1E" become the beneficiaries export) in a folder of its own, and the real run goes through
// an in-memory run context. A run either completes or stops with the run-stopping error; any other
// exception, a crash or a sanitizer report fails. Nothing may be written beside the exports but the
// archive folder, and a completed XML document must be well formed.

#include "tests/supporto/contesto_registrato.h"
#include "shell/convertitore.h"
#include "shell/errore.h"
#include FUZZ_INTESTAZIONE

#include <libxml/parser.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path& Cartella() {
    static const fs::path cartella = [] {
        fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path c = base / ("fornitura-fuzz-" + std::to_string(getpid()));
        fs::create_directories(c);
        return c;
    }();
    return cartella;
}

void Scrivi(const fs::path& percorso, std::string_view dati) {
    std::ofstream file(percorso, std::ios::binary | std::ios::trunc);
    file.write(dati.data(), static_cast<std::streamsize>(dati.size()));
}

void XmlBenFormato(const fs::path& percorso) {
    xmlDocPtr documento =
        xmlReadFile(percorso.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!documento)
        std::abort();
    xmlFreeDoc(documento);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    const fs::path& cartella = Cartella();
    fs::remove_all(cartella);
    fs::create_directories(cartella);
    const std::string_view ingresso(reinterpret_cast<const char*>(dati), dimensione);
#ifdef FUZZ_BENEFICIARI
    const auto separatore = ingresso.find('\x1E');
    Scrivi(cartella / FUZZ_ESPORTAZIONE, ingresso.substr(0, separatore));
    if (separatore != std::string_view::npos)
        Scrivi(cartella / FUZZ_BENEFICIARI, ingresso.substr(separatore + 1));
#else
    Scrivi(cartella / FUZZ_ESPORTAZIONE, ingresso);
#endif
    const fs::path archivio = cartella / "ARC";
    shell::test::ContestoRegistrato contesto(archivio);
    const shell::Convertitore& convertitore = FUZZ_DESCRITTORE();
    auto caricamento = convertitore.carica(cartella, archivio);
    if (caricamento.fileMancante)
        std::abort();
    bool completata = false;
    try {
        caricamento.esegui(contesto);
        completata = true;
    } catch (const shell::ErroreElaborazione&) {
    }
    for (const auto& voce : fs::directory_iterator(cartella)) {
        const std::string nome = voce.path().filename().string();
        if (nome != FUZZ_ESPORTAZIONE && nome != "ARC"
#ifdef FUZZ_BENEFICIARI
            && nome != FUZZ_BENEFICIARI
#endif
        )
            std::abort(); // written outside the archive folder
    }
    if (completata && fs::exists(archivio))
        for (const auto& voce : fs::directory_iterator(archivio))
            if (voce.path().extension() == ".xml" &&
                contesto.messaggio.find(voce.path().filename().string()) != std::string::npos)
                XmlBenFormato(voce.path());
    return 0;
}
