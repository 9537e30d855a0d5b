// The 770 run through the shell: names, log end, and the old supply replaced.

#include "cartella_temporanea.h"
#include "contesto_registrato.h"
#include "dati_sub.h"
#include "testo.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace conv770 {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ContestoRegistrato;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

TEST(DatiSub770, NomeFinaleDallaColonnaZeroDellaPrimaRiga) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Esportazione770.tab", "01234567890\tx\r\n99999999999\ty\r\n");
    ContestoRegistrato contesto(dir / "ARC", {2010, 12, 31, 23, 59, 59});
    EseguiConversione(contesto, dir / "Esportazione770.tab");
    const fs::path finale = dir / "ARC" / "Importa770-2011-01234567890.txt";
    EXPECT_TRUE(fs::exists(finale));
    EXPECT_FALSE(fs::exists(dir / "ARC" / "Importa770-2010-12-31-23-59-59.txt"));
    const std::string fine = "Generazione documento '" + shell::TestoPercorso(finale) +
                             "' completata.\r\nPremi il pulsante 'Continua' per terminare.";
    ASSERT_GE(contesto.messaggio.size(), fine.size());
    EXPECT_EQ(contesto.messaggio.substr(contesto.messaggio.size() - fine.size()), fine);
}

} // namespace
} // namespace conv770
