#pragma once
// A DMA run as the window starts it, in a folder of its own with a fixed clock, and the records of the
// supply it wrote.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/esecuzione.h"
#include "tests/supporto/contesto_registrato.h"
#include "dma/dati_sub.h"
#include "shell/errore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace dma::test {

inline constexpr char FileEsportazione[] = "EsportazioneINPDAP.tab";
inline constexpr char Temporaneo[] = "INPDAPDMA-2011-06-14-09-05-07.txt"; // the fixed clock's name

// Keeps, besides what ContestoRegistrato keeps, the log as it stood when each message box was shown.
class ContestoDMA : public shell::test::ContestoRegistrato {
public:
    using ContestoRegistrato::ContestoRegistrato;
    void AvvisoVisibile(std::string_view testo, bool iconaErrore) override {
        ContestoRegistrato::AvvisoVisibile(testo, iconaErrore);
        logAllAvviso.push_back(messaggio);
    }
    std::vector<std::string> logAllAvviso;
};

class EsecuzioneDMA : public testing::Test {
protected:
    EsecuzioneDMA() { std::filesystem::create_directory(Programma()); }

    std::filesystem::path Programma() const { return m_dir / "prog"; }
    std::filesystem::path Archivio() const { return m_dir / "ARC"; }

    void Esportazione(const std::string& testo) { shell::test::ScriviFile(Programma() / FileEsportazione, testo); }

    // Loading and run as the window does them; the message of the error that stopped the run, or "".
    std::string Esegui() {
        return shell::test::EseguiComeLaFinestra(Descrittore(), Programma(), Archivio(), m_contesto);
    }

    std::string Fornitura(const std::string& nome = "INPDAPDMA-2011-06.txt") const {
        return shell::test::LeggiFile(Archivio() / nome);
    }

    // The records of a supply, each checked against the frame: 1,898 characters, "A" in position
    // 1898, CR LF after it, nothing else in the file.
    static std::vector<std::string> Record(const std::string& fornitura) {
        std::vector<std::string> record;
        for (std::size_t inizio = 0; inizio < fornitura.size(); inizio += 1900) {
            const std::string r = fornitura.substr(inizio, 1898);
            EXPECT_EQ(r.size(), 1898u);
            EXPECT_EQ(r.back(), 'A');
            EXPECT_EQ(fornitura.substr(inizio + 1898, 2), "\r\n");
            record.push_back(r);
        }
        return record;
    }

    std::vector<std::string> FileInArchivio() const {
        std::vector<std::string> nomi;
        for (const auto& voce : std::filesystem::directory_iterator(Archivio()))
            if (!shell::test::Nascosto(voce.path()))
                nomi.push_back(voce.path().filename().string());
        std::sort(nomi.begin(), nomi.end());
        return nomi;
    }

    shell::test::CartellaTemporanea m_dir;
    ContestoDMA m_contesto{m_dir / "ARC"};
};

} // namespace dma::test
