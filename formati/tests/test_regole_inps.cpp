// The rules of one INPS report at their edges: each value one side and the other of what the rule allows.

#include "formati/regole_inps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace formati::inps {

using lettura::Gravita;

namespace {

// A full-time report of January 2012 (31 days, weeks 1 to 5), with its values at their places.
DatiDenuncia Denuncia(std::string giorni = "22", int settimane = 5) {
    DatiDenuncia d;
    d.anno = 2012;
    d.mese = 1;
    d.posto = {10, 4};
    d.orario = ValoreLetto{"4000", {12, 5}};
    for (int s = 1; s <= settimane; ++s)
        d.settimane.push_back({std::to_string(s), "X", {20 + s, 7}});
    d.giorniRetribuiti = ValoreLetto{std::move(giorni), {30, 6}};
    return d;
}

// The findings' messages, each after its severity.
std::vector<std::string> Messaggi(const DatiDenuncia& d) {
    std::vector<std::string> messaggi;
    for (const RilievoDenuncia& r : ControllaDenuncia(d))
        messaggi.push_back(std::string(r.gravita == Gravita::Errore ? "E " : "A ") + r.messaggio);
    return messaggi;
}

bool Comincia(const std::vector<std::string>& messaggi, std::size_t i, std::string_view inizio) {
    return i < messaggi.size() && messaggi[i].rfind(inizio, 0) == 0;
}

TEST(RegoleInps, GiorniSettimaneEMese) {
    struct Caso {
        const char* giorni;
        int settimane;
        const char* atteso; // the start of the one finding, or "" for none
    };
    const Caso casi[] = {
        {"5", 5, ""}, // as many days as weeks
        {"4", 5, "A B014: 4 giorni retribuiti per 5 settimane"},
        {"0", 0, ""}, // nothing paid, nothing covered
        {"3", 0, "A <GiorniRetribuiti> 3 senza alcuna settimana coperta"},
        {"24", 4, ""}, // six a week
        {"25", 4, "A <GiorniRetribuiti> 25 per 4 settimane coperte: pi\xF9 dei 24"},
        {"26", 5, ""}, // a full month
        {"27", 5, "A <GiorniRetribuiti> 27: pi\xF9 dei 26 giorni"},
        {"32", 6, ""}, // past the month's days: the month's own error, not these
    };
    for (const Caso& c : casi) {
        const auto messaggi = Messaggi(Denuncia(c.giorni, c.settimane));
        if (std::string_view(c.atteso).empty()) {
            EXPECT_TRUE(messaggi.empty()) << c.giorni << " " << c.settimane << ": " << messaggi.front();
        } else {
            EXPECT_EQ(messaggi.size(), 1u) << c.giorni;
            EXPECT_TRUE(Comincia(messaggi, 0, c.atteso)) << c.giorni << ": " << (messaggi.empty() ? "" : messaggi[0]);
        }
    }
    // Absent: no day paid. A week of coverage "0" is no covered week.
    DatiDenuncia senza = Denuncia();
    senza.giorniRetribuiti.reset();
    EXPECT_TRUE(Comincia(Messaggi(senza), 0, "A B014: 0 giorni retribuiti per 5"));
    DatiDenuncia zero = Denuncia("4");
    zero.settimane.back().copertura = "0";
    EXPECT_TRUE(Messaggi(zero).empty());
}

TEST(RegoleInps, AssunzioneECessazione) {
    struct Caso {
        const char* assunzione;
        const char* cessazione;
        const char* giorni;
        const char* atteso;
    };
    const Caso casi[] = {
        {"31", nullptr, "1", ""}, // the month's last day
        {"32", nullptr, "1", "E <GiornoAssunzione> 32: il mese 01/2012 ha i giorni da 1 a 31"},
        {"0", nullptr, "1", "E <GiornoAssunzione> 0:"},
        {"9A", nullptr, "1", "E <GiornoAssunzione> '9A': atteso il giorno del mese"},
        {"  ", nullptr, "5", ""}, // blank: the grammar's to tell
        {"10", "10", "1", ""},    // one day
        {"10", "9", "1", "A <GiornoCessazione> 9 prima di <GiornoAssunzione> 10"},
        {nullptr, "5", "5", ""}, // five days from the 1st
        {nullptr, "5", "6", "A <GiorniRetribuiti> 6: pi\xF9 dei 5 giorni dal 1 al 5"},
    };
    for (const Caso& c : casi) {
        DatiDenuncia d = Denuncia(c.giorni, 1);
        if (c.assunzione)
            d.assunzione = ValoreLetto{c.assunzione, {15, 6}};
        if (c.cessazione)
            d.cessazione = ValoreLetto{c.cessazione, {16, 6}};
        const auto messaggi = Messaggi(d);
        if (std::string_view(c.atteso).empty())
            EXPECT_TRUE(messaggi.empty()) << c.assunzione << ": " << messaggi.front();
        else
            EXPECT_TRUE(Comincia(messaggi, 0, c.atteso)) << (messaggi.empty() ? "nessuno" : messaggi[0]);
    }
    // Worked days before the hiring: told once, at the first.
    DatiDenuncia d = Denuncia("10", 3);
    d.assunzione = ValoreLetto{"12", {15, 6}};
    for (int g = 9; g <= 20; ++g)
        d.calendario.push_back({g, g != 15, {100 + g, 6}});
    const auto calendario = ControllaDenuncia(d);
    ASSERT_EQ(calendario.size(), 1u);
    EXPECT_EQ(calendario[0].posto.riga, 109);
    EXPECT_EQ(calendario[0].messaggio, "<Giorno GG=\"9\"> lavorato prima dell'assunzione (giorno 12)");
}

TEST(RegoleInps, CalendarioESettimane) {
    // 8 January 2012 is a Sunday: week 2 begins.
    EXPECT_EQ(SettimanaDellAnno(2012, 1, 7), 1);
    EXPECT_EQ(SettimanaDellAnno(2012, 1, 8), 2);
    EXPECT_EQ(SettimanaDellAnno(2012, 12, 31), 53);
    DatiDenuncia d = Denuncia("6", 1); // only week 1 listed
    d.calendario = {{7, true, {50, 6}}, {8, false, {51, 6}}};
    EXPECT_TRUE(Messaggi(d).empty());
    d.calendario.push_back({9, true, {52, 6}});
    d.calendario.push_back({10, true, {53, 6}});
    const auto rilievi = ControllaDenuncia(d);
    ASSERT_EQ(rilievi.size(), 1u); // once per report
    EXPECT_EQ(rilievi[0].posto.riga, 52);
    EXPECT_EQ(rilievi[0].messaggio, "<Giorno GG=\"9\"> lavorato nella settimana 2, che la denuncia non elenca");
    // A previous month's block has no calendar of its own to hold.
    d.mesePrecedente = true;
    EXPECT_TRUE(Messaggi(d).empty());
}

// The first worked day of a week that the report does not give as covered, among days of several weeks.
TEST(RegoleInps, CalendarioSuPiuSettimane) {
    struct Caso {
        std::vector<std::pair<const char*, const char*>> settimane; // IdSettimana, TipoCopertura
        std::vector<int> lavorati;                                  // the worked days of January 2012
        const char* atteso;                                         // the one finding, or "" for none
    };
    const Caso casi[] = {
        {{{"1", "X"}, {"2", "X"}, {"3", "X"}, {"4", "X"}, {"5", "X"}}, {2, 3, 9, 10, 16, 23, 30, 31}, ""},
        {{{"1", "X"}, {"2", "X"}, {"3", "0"}},
         {6, 7, 13, 14, 16},
         "<Giorno GG=\"16\"> lavorato nella settimana 3, che la denuncia d\xE0 con copertura '0'"},
        {{{"1", "X"}, {"3", "X"}},
         {7, 15, 16, 8},
         "<Giorno GG=\"8\"> lavorato nella settimana 2, che la denuncia non elenca"},
        {{{"1", "X"}, {"2", "X"}},
         {7, 8, 9, 7, 22},
         "<Giorno GG=\"22\"> lavorato nella settimana 4, che la denuncia non elenca"},
        {{{"01", "X"}}, {2}, "<Giorno GG=\"2\"> lavorato nella settimana 1, che la denuncia non elenca"},
    };
    for (const Caso& c : casi) {
        DatiDenuncia d = Denuncia("31", 0);
        for (const auto& [id, copertura] : c.settimane)
            d.settimane.push_back({id, copertura, {20, 7}});
        for (const int g : c.lavorati)
            d.calendario.push_back({g, true, {100 + g, 6}});
        std::vector<std::string> calendario;
        for (const RilievoDenuncia& r : ControllaDenuncia(d))
            if (r.messaggio.rfind("<Giorno", 0) == 0)
                calendario.push_back(r.messaggio);
        if (std::string_view(c.atteso).empty()) {
            EXPECT_TRUE(calendario.empty()) << calendario.front();
        } else {
            ASSERT_EQ(calendario.size(), 1u) << c.atteso;
            EXPECT_EQ(calendario[0], c.atteso);
        }
    }
}

TEST(RegoleInps, PartTimeOrarioEliminazione) {
    for (const char* q : {"P", "M", "V"}) {
        DatiDenuncia d = Denuncia();
        d.qualifica2 = ValoreLetto{q, {13, 5}};
        EXPECT_TRUE(Comincia(Messaggi(d), 0, "A A031:")) << q;
        d.percPartTime = true;
        EXPECT_TRUE(Messaggi(d).empty()) << q;
    }
    DatiDenuncia pieno = Denuncia();
    pieno.qualifica2 = ValoreLetto{"F", {13, 5}};
    EXPECT_TRUE(Messaggi(pieno).empty());

    DatiDenuncia orario = Denuncia();
    orario.orario->testo = "";
    EXPECT_TRUE(Comincia(Messaggi(orario), 0, "A A041:"));
    orario.orario->testo = "40.00";
    EXPECT_TRUE(Comincia(Messaggi(orario), 0, "E <OrarioContrattuale> '40.00'"));

    DatiDenuncia elimina = Denuncia();
    elimina.elimina = true;
    elimina.contributo = ValoreLetto{"0,00", {40, 6}};
    EXPECT_TRUE(Messaggi(elimina).empty());
    elimina.contributo->testo = "12,50";
    EXPECT_TRUE(Comincia(Messaggi(elimina), 0, "A <Contributo> '12,50' in una <DenunciaIndividuale Elimina"));
}

TEST(RegoleInps, Squadrato) {
    EXPECT_FALSE(Squadrato(500));
    EXPECT_FALSE(Squadrato(-500));
    EXPECT_TRUE(Squadrato(501));
    EXPECT_TRUE(Squadrato(-501));
}

} // namespace
} // namespace formati::inps
