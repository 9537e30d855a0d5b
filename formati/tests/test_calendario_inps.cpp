// The calendar rules of the INPS documents at their edges: the weeks of a month, the days of a month, the days of
// the daily calendar.

#include "formati/calendario_inps.h"

#include <gtest/gtest.h>

namespace formati::inps {
namespace {

// "E "/"A " and the message of a week's finding, "" for none.
std::string Settimana(std::string_view valore, const MeseDelCalendario& mese, bool mesePrecedente = false) {
    const auto r = ControllaSettimana(valore, mese, mesePrecedente);
    return r ? (r->errore ? "E " : "A ") + r->messaggio : std::string();
}

TEST(CalendarioInps, SettimaneDelMese) {
    // February 2012 begins on Wednesday 1 (week 5) and ends on Wednesday 29 (week 9).
    const MeseDelCalendario febbraio = MeseDelCalendario::Di(2012, 2, "02/2012");
    EXPECT_EQ(febbraio.primaSettimana, 5);
    EXPECT_EQ(febbraio.ultimaSettimana, 9);
    const MeseDelCalendario ignoto;
    struct Caso {
        std::string_view valore;
        const MeseDelCalendario* mese;
        bool mesePrecedente;
        std::string atteso;
    };
    const Caso casi[] = {
        {"5", &febbraio, false, ""},
        {" 9 ", &febbraio, false, ""},
        {"4", &febbraio, false,
         "A <IdSettimana> 4: la settimana non cade nel mese 02/2012, che ha le settimane da 5 a 9"},
        {"10", &febbraio, false,
         "A <IdSettimana> 10: la settimana non cade nel mese 02/2012, che ha le settimane da 5 a 9"},
        {"10", &febbraio, true, ""}, // a previous month's block: its month is not said
        {"10", &ignoto, false, ""},
        {"54", &ignoto, false, ""},
        {"55", &ignoto, false, "E <IdSettimana> '55': le settimane dell'anno vanno da 1 a 54"},
        {"0", &febbraio, true, "E <IdSettimana> '0': le settimane dell'anno vanno da 1 a 54"},
        {"005", &febbraio, false, "E <IdSettimana> '005': le settimane dell'anno vanno da 1 a 54"},
        {"", &febbraio, false, "E <IdSettimana> '': le settimane dell'anno vanno da 1 a 54"},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(Settimana(c.valore, *c.mese, c.mesePrecedente), c.atteso) << c.valore;
}

TEST(CalendarioInps, GiorniNelMese) {
    const MeseDelCalendario febbraio = MeseDelCalendario::Di(2012, 2, "02/2012");
    const MeseDelCalendario aprile = MeseDelCalendario::Di(2011, 4, "04/2011");
    const MeseDelCalendario ignoto;
    struct Caso {
        std::string_view valore;
        const MeseDelCalendario* mese;
        bool mesePrecedente;
        std::string atteso;
    };
    const Caso casi[] = {
        {"29", &febbraio, false, ""},
        {"30", &febbraio, false, "<GiorniRetribuiti> 30: pi\xF9 dei 29 giorni del mese 02/2012"},
        {"30", &aprile, false, ""},
        {" 31", &aprile, false, "<GiorniRetribuiti> 31: pi\xF9 dei 30 giorni del mese 04/2011"},
        {"31", &febbraio, true, ""},
        {"32", &febbraio, true, "<GiorniRetribuiti> 32: pi\xF9 dei 31 giorni di un mese"},
        {"32", &ignoto, false, "<GiorniRetribuiti> 32: pi\xF9 dei 31 giorni di un mese"},
        {"3x", &febbraio, false, ""}, // not a number: the grammar's to say
    };
    for (const Caso& c : casi) {
        const auto m = ControllaGiorniNelMese("GiorniRetribuiti", c.valore, *c.mese, c.mesePrecedente);
        EXPECT_EQ(m.value_or(""), c.atteso) << c.valore;
    }
}

TEST(CalendarioInps, GiorniDelCalendario) {
    struct Caso {
        std::string_view gg;
        int giorno;
        bool giusto;
    };
    const Caso casi[] = {
        {"1", 1, true},  {"9", 9, true}, {"10", 10, true},    {"31", 31, true}, {"01", 1, false}, {"2", 1, false},
        {"0", 0, false}, {"", 1, false}, {"100", 100, false}, {" 3", 3, false}, {"3 ", 3, false}, {"1a", 10, false},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(!ControllaGiornoDelCalendario(c.gg, c.giorno), c.giusto) << c.gg << " " << c.giorno;
    EXPECT_EQ(ControllaGiornoDelCalendario("5", 4).value_or(""),
              "<Giorno GG=\"5\">: atteso GG=\"4\": il calendario ha un elemento <Giorno> per ogni giorno del mese, "
              "da 1 in ordine");

    EXPECT_FALSE(ControllaGiorniDelCalendario(29, 29, "02/2012"));
    EXPECT_FALSE(ControllaGiorniDelCalendario(3, 0, "")); // the month not known
    EXPECT_EQ(ControllaGiorniDelCalendario(28, 29, "02/2012").value_or(""),
              "<DatiRetributivi>: 28 elementi <Giorno>, attesi 29, uno per giorno del mese 02/2012");
}

} // namespace
} // namespace formati::inps
