// The rule of a finding, which the findings of one rule share whatever person, line or value they are
// about; and the findings of a rule beyond the first hundred summed up in one line.

#include "lettura/rilievo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lettura {
namespace {

Rilievo Errore(std::string messaggio, long riga = 0) { return {Gravita::Errore, riga, 1, std::move(messaggio), -1}; }

// Two findings of one rule: other persons, other values, other numbers.
TEST(Regola, StessaRegolaConAltriValori) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> coppie = {
        {"record G: posizioni 30-45: codice fiscale del dipendente 'DNGNCL75T10Z112E' non valido: carattere di "
         "controllo 'E' errato, atteso 'D'",
         "record G: posizioni 30-45: codice fiscale del dipendente 'RSSMRA80A01H501X' non valido: carattere di "
         "controllo 'X' errato, atteso 'U'"},
        {"record G: campo DA001002 vuoto: Cognome dipendente non impostato (dipendente VRDPLA90E15F704Y)",
         "record G: campo DA001002 vuoto: Cognome dipendente non impostato (dipendente RSSMRA80A01H501U)"},
        {"tipo di record 'X' sconosciuto: attesi 1, 2, 3, 4, 9",
         "tipo di record '\xEB' sconosciuto: attesi 1, 2, 3, 4, 9"},
        {"record 2: il cognome 'D'ARCO' diverso da quello dell'anagrafe (riga 4)",
         "record 2: il cognome 'ROSSI' diverso da quello dell'anagrafe (riga 1200)"},
        {"record 2: posizioni 238-259: spazi in ABI, CAB o conto (' 6230', '12700', '    40512345'): l'IBAN "
         "\xE8 valido solo con i tre codici completi (dipendente MNTGLI85T55G337W)",
         "record 2: posizioni 238-259: spazi in ABI, CAB o conto ('03069', ' 9606', '100000000000'): l'IBAN "
         "\xE8 valido solo con i tre codici completi (dipendente FRRLCU80A41A944C)"},
        {"importo 1.234,56 diverso dal totale 1.200,00", "importo 7,00 diverso dal totale 12.000,00"},
    };
    // clang-format on
    for (const auto& [a, b] : coppie)
        EXPECT_EQ(RegolaDel(Errore(a, 3)), RegolaDel(Errore(b, 3000))) << a << "\n" << b;
}

// Two rules: another severity, another field's description, other words around the same values.
TEST(Regola, RegoleDiverse) {
    // clang-format off
    const std::vector<std::pair<Rilievo, Rilievo>> coppie = {
        {Errore("campo vuoto"), {Gravita::Avviso, 0, 0, "campo vuoto", -1}},
        {Errore("campo DA001002 vuoto: Cognome dipendente non impostato"),
         Errore("campo DA001013 vuoto: Provincia di residenza del dipendente non impostato")},
        {Errore("il cognome 'ROSSI' diverso"), Errore("il nome 'ROSSI' diverso")},
        {Errore("dell'IBAN errato"), Errore("dell'ABI errato")},
        {Errore("sesso 'F' diverso da quello del codice fiscale (M)"),
         Errore("sesso 'M' diverso da quello del codice fiscale (F)")},
    };
    // clang-format on
    for (const auto& [a, b] : coppie)
        EXPECT_NE(RegolaDel(a), RegolaDel(b)) << a.messaggio << "\n" << b.messaggio;
}

// Of each rule the first hundred shown, the others counted; one summary per rule with findings left out,
// in the order the rules were first found, about the whole file, with the first finding's line and message.
TEST(SommaRilievi, CentoPerRegolaPoiUnaRiga) {
    struct Caso {
        long primaRegola, secondaRegola; // how many findings of each
        std::vector<std::string> riepiloghi;
    };
    // clang-format off
    const Caso casi[] = {
        {0,   0,   {}},
        {100, 100, {}},
        {101, 3,   {"e altri 1 rilievi uguali al primo (riga 7): record 3: data '20090231' non valida"}},
        {250, 102, {"e altri 150 rilievi uguali al primo (riga 7): record 3: data '20090231' non valida",
                    "e altri 2 rilievi uguali al primo: il nome del file 'A1.TXT' non corrisponde"}},
    };
    // clang-format on
    for (const Caso& caso : casi) {
        SommaRilievi somma;
        long mostrati = 0;
        for (long i = 0; i < std::max(caso.primaRegola, caso.secondaRegola); ++i) {
            if (i < caso.primaRegola)
                mostrati += somma.Mostra(
                    {Gravita::Errore, 7 + i, 2, "record 3: data '" + std::to_string(20090231 + i) + "' non valida", i});
            if (i < caso.secondaRegola)
                mostrati += somma.Mostra({Gravita::Avviso, 0, 0,
                                          "il nome del file 'A" + std::to_string(i + 1) + ".TXT' non corrisponde", -1});
        }
        EXPECT_EQ(mostrati, std::min(caso.primaRegola, 100L) + std::min(caso.secondaRegola, 100L));
        std::vector<std::string> testi;
        for (const Rilievo& r : somma.Riepiloghi()) {
            testi.push_back(r.messaggio);
            EXPECT_EQ(r.riga, 0);
            EXPECT_EQ(r.persona, -1);
            EXPECT_EQ(r.gravita, r.messaggio.find("record 3") != std::string::npos ? Gravita::Errore : Gravita::Avviso);
        }
        EXPECT_EQ(testi, caso.riepiloghi) << caso.primaRegola << " e " << caso.secondaRegola;
    }
}

} // namespace
} // namespace lettura
