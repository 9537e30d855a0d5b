// The commands that read supplies, run in this process: a verdict, a listing or a comparison that cannot be
// written ends with status 1 and says why (a reader gone away aside); a forced format that finds nothing of
// its own is refused by all three; the findings of a rule beyond the first hundred are summed up in one line.

#include "cli/fornitura.h"
#include "cli/tests/esegui.h"
#include "tests/supporto/cartella_temporanea.h"
#include "verifica/tests/supporto_fornitura.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace cli {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ScriviFile;

using test::Esegui;
using test::Esito;
using test::Utf8;

// An output that takes `spazio` bytes, then fails every write with `errore` as the system's cause.
class UscitaCheSiRiempie : public std::streambuf {
public:
    UscitaCheSiRiempie(std::size_t spazio, int errore) : m_spazio(spazio), m_errore(errore) {}
    std::string scritto;

protected:
    int_type overflow(int_type c) override {
        const char carattere = traits_type::to_char_type(c);
        return xsputn(&carattere, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* testo, std::streamsize n) override {
        const auto entra = std::min(static_cast<std::size_t>(n), m_spazio - scritto.size());
        scritto.append(testo, entra);
        if (entra < static_cast<std::size_t>(n))
            errno = m_errore;
        return static_cast<std::streamsize>(entra);
    }

private:
    std::size_t m_spazio;
    int m_errore;
};

// The three commands on an output that fills up, at its first byte and past a part of what they write: status
// 1 and the cause, whatever the command's own status would be; a reader gone away (EPIPE) leaves the command's
// status as it is, and says nothing.
TEST(ComandiVerifica, UscitaCheNonSiPuoScrivere) {
    CartellaTemporanea dir;
    const fs::path pulita = dir / "pulita.TXT";
    ScriviFile(pulita, verifica::test::TfrConRigheSconosciute(0).replace(20, 1, "Z"));
    const fs::path altra = dir / "altra.TXT";
    ScriviFile(altra, verifica::test::TfrConRigheSconosciute(120));
    // The files' time, which the comparison names, held at the middle of a minute: every run below names the
    // same minute, however close to its end the files were written.
    for (const fs::path& file : {pulita, altra}) {
        const auto tempo = fs::last_write_time(file);
        fs::last_write_time(file, std::chrono::floor<std::chrono::minutes>(tempo) + std::chrono::seconds(30));
    }
    struct Comando {
        std::vector<std::string> argomenti;
        int esito; // when everything is written
    };
    const Comando comandi[] = {
        {{"verifica", Utf8(altra)}, EsitoErrore},
        {{"verifica", Utf8(dir / "manca.TXT"), Utf8(altra)}, EsitoFileMancante},
        {{"distinta", Utf8(altra)}, EsitoCompletato},
        {{"confronta", Utf8(pulita), Utf8(altra)}, EsitoErrore},
        {{"confronta", Utf8(altra), Utf8(altra)}, EsitoCompletato},
    };
    struct Causa {
        int errore;
        int esito; // -1: the command's own
        std::string messaggio;
    };
    // clang-format off
    const Causa cause[] = {
        {ENOSPC, EsitoErrore, "fornitura: impossibile scrivere sull'uscita standard (disco pieno): quanto "
                              "stampato \xC3\xA8 incompleto\n"},
        {EFBIG,  EsitoErrore, "fornitura: impossibile scrivere sull'uscita standard (superato il limite di "
                              "dimensione dei file): quanto stampato \xC3\xA8 incompleto\n"},
        {0,      EsitoErrore, "fornitura: impossibile scrivere sull'uscita standard (errore del dispositivo): "
                              "quanto stampato \xC3\xA8 incompleto\n"},
        {ENOSPC + EFBIG + EIO + EPIPE, EsitoErrore,
                              "fornitura: impossibile scrivere sull'uscita standard (errore di scrittura numero " +
                              std::to_string(ENOSPC + EFBIG + EIO + EPIPE) + "): quanto stampato \xC3\xA8 incompleto\n"},
        {EPIPE,  -1,          ""},
    };
    // clang-format on
    for (const Comando& comando : comandi) {
        const Esito intero = Esegui(comando.argomenti);
        ASSERT_EQ(intero.stato, comando.esito) << comando.argomenti[0] << intero.err;
        for (const std::size_t spazio : {std::size_t{0}, intero.out.size() / 2}) {
            for (const Causa& causa : cause) {
                UscitaCheSiRiempie uscita(spazio, causa.errore);
                std::ostream out(&uscita);
                std::ostringstream err;
                const int stato = EseguiFornitura(comando.argomenti, out, err);
                SCOPED_TRACE(comando.argomenti[0] + " " + std::to_string(spazio) + " " + std::to_string(causa.errore));
                EXPECT_EQ(stato, causa.esito < 0 ? comando.esito : causa.esito);
                EXPECT_EQ(err.str().substr(intero.err.size()), causa.messaggio);
                EXPECT_EQ(uscita.scritto, intero.out.substr(0, spazio));
            }
        }
    }
}

// A format forced on a file that holds no record of it: refused as no supply by the three commands, with the
// one reason, whatever the format.
TEST(ComandiVerifica, FormatoForzatoSenzaRecordDelFormato) {
    CartellaTemporanea dir;
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> file = {
        {"casuale.bin", "\x8F\x01qz\r\n2\x9C\xFF" "0000\r\n\x11\xE8<<\r\n" + std::string(300, '2') + "\r\nJ\r\n"},
        {"altro.xml",   "<?xml version=\"1.0\"?>\r\n<Altro>\r\n<DenunceMensili/>\r\n</Altro>\r\n"},
        {"testo.txt",   "Gentile ufficio,\r\nin allegato la fornitura.\r\n"},
    };
    // clang-format on
    for (const auto& [nome, contenuto] : file) {
        ScriviFile(dir / nome, contenuto);
        for (const lettura::DescrizioneFormato& formato : lettura::Formati) {
            SCOPED_TRACE(nome + " " + std::string(formato.comando));
            const std::string motivo = "il file non \xC3\xA8 una fornitura " + std::string(formato.nome) +
                                       " come indicato con --formato: nessun suo record \xC3\xA8 di quel formato";
            const std::string percorso = Utf8(dir / nome);
            const std::string forzato = "--formato=" + std::string(formato.comando);

            const Esito verifica = Esegui({"verifica", percorso, forzato});
            EXPECT_EQ(verifica.stato, EsitoErrore);
            EXPECT_NE(verifica.out.find(percorso + ": errore: " + motivo + "\n"), std::string::npos) << verifica.out;
            EXPECT_NE(verifica.out.find(percorso + ": nessuna fornitura riconosciuta: "), std::string::npos);

            const Esito distinta = Esegui({"distinta", percorso, forzato});
            EXPECT_EQ(distinta.stato, EsitoErrore);
            EXPECT_EQ(distinta.out, "");
            EXPECT_NE(distinta.err.find(percorso + ": errore: " + motivo + "\n"), std::string::npos) << distinta.err;

            const Esito confronta = Esegui({"confronta", percorso, percorso, forzato});
            EXPECT_EQ(confronta.stato, EsitoFileMancante);
            EXPECT_EQ(confronta.out, "");
            EXPECT_EQ(confronta.err.rfind("fornitura: '" + percorso + "' non \xC3\xA8 una fornitura riconosciuta: ", 0),
                      0u)
                << confronta.err;
            EXPECT_NE(confronta.err.find(": " + motivo + "\n"), std::string::npos) << confronta.err;
        }
    }
    // A supply of the format forced, damaged where it is recognised (another supply code in record A), is
    // read as one.
    std::string danneggiata = "A" + std::string(1897, ' ') + "\r\n";
    ScriviFile(dir / "danneggiata.TXT", danneggiata.replace(15, 5, "INP06"));
    const Esito letta = Esegui({"distinta", Utf8(dir / "danneggiata.TXT"), "--formato", "dma"});
    EXPECT_EQ(letta.stato, EsitoCompletato) << letta.err;
}

// Of a rule, the first hundred findings and one line for the others, before the file's summary line, whose
// count holds them all; a rule of a hundred findings is printed whole.
TEST(ComandiVerifica, RilieviOltreICentoInUnaRiga) {
    CartellaTemporanea dir;
    for (const int righe : {100, 101, 250}) {
        const fs::path file = dir / (std::to_string(righe) + ".TXT");
        ScriviFile(file, verifica::test::TfrConRigheSconosciute(righe));
        const Esito esito = Esegui({"verifica", Utf8(file)});
        EXPECT_EQ(esito.stato, EsitoErrore);
        std::vector<std::string> righeStampate;
        std::istringstream testo(esito.out);
        for (std::string riga; std::getline(testo, riga);)
            righeStampate.push_back(riga);
        long dellaRegola = 0;
        for (const std::string& riga : righeStampate)
            dellaRegola += riga.find(verifica::test::RegolaRigheSconosciute) != std::string::npos &&
                           riga.find(": errore: tipo di record '") != std::string::npos;
        EXPECT_EQ(dellaRegola, std::min(righe, 100)) << righe;
        const std::string riepilogo = Utf8(file) + ": errore: e altri " + std::to_string(righe - 100) +
                                      " rilievi uguali al primo (riga 2): tipo di record 'X' sconosciuto: attesi 1, 2, "
                                      "3, 4, 9";
        ASSERT_GE(righeStampate.size(), 2u);
        EXPECT_EQ(righeStampate[righeStampate.size() - 2] == riepilogo, righe > 100) << esito.out;
        // Every finding counted: the record 1 of blanks has 3 more, the missing record 9 one.
        EXPECT_EQ(righeStampate.back(), Utf8(file) + ": TFR 2008, " + std::to_string(righe + 1) +
                                            " record, 0 persone: " + std::to_string(righe + 4) +
                                            " errori, nessun avviso");
    }
}

} // namespace
} // namespace cli
