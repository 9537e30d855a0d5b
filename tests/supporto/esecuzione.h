#pragma once
// A converter run in a test: as the window runs it (loading, then the run, in the test's own process), or
// as a script runs it (the real `fornitura` of the build, its sample export copied into a folder of a
// temporary folder).

#include "shell/convertitore.h"
#include "shell/errore.h"
#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace shell::test {

// The time that every test run is made at (`--now`).
inline constexpr std::string_view OraDelleProve = "2011-06-14T09:05:07";

// Loading and run as the window does them, of the export in `programma` into `archivio`: the message of
// the error that stopped the run, "manca PATH" for a missing export, or "".
inline std::string EseguiComeLaFinestra(const Convertitore& convertitore, const std::filesystem::path& programma,
                                        const std::filesystem::path& archivio, ContestoElaborazione& contesto) {
    Caricamento caricamento = convertitore.carica(programma, archivio);
    if (caricamento.fileMancante)
        return "manca " + caricamento.fileMancante->string();
    try {
        caricamento.esegui(contesto);
    } catch (const ErroreElaborazione& e) {
        return e.what();
    }
    return "";
}

// A converter's real run as a script starts it: its sample's exports (`file`, from the folder `esempio`)
// in "prog" of a temporary folder, `fornitura COMANDO --dir prog --archive ARC --now ...` run by Esegui,
// with its standard output and error in "out" and "err" of the same folder.
class EsecuzioneSuEsempio : public testing::Test {
protected:
    EsecuzioneSuEsempio(std::string fornitura, std::string comando, const std::filesystem::path& esempio,
                        std::initializer_list<const char*> file)
        : m_fornitura(std::move(fornitura)), m_comando(std::move(comando)) {
        std::filesystem::create_directory(m_dir / "prog");
        for (const char* nome : file)
            std::filesystem::copy_file(esempio / nome, m_dir / "prog" / nome);
    }

    int Esegui() const {
        return EseguiProcesso(m_fornitura,
                              {m_comando, "--dir", Argomento(m_dir / "prog"), "--archive", Argomento(m_dir / "ARC"),
                               "--now", std::string(OraDelleProve)},
                              m_dir / "out", m_dir / "err")
            .stato;
    }

    CartellaTemporanea m_dir;

private:
    std::string m_fornitura;
    std::string m_comando;
};

} // namespace shell::test
