#include "anagrafe/persona.h"

#include "anagrafe/codice_fiscale.h"

#include <gtest/gtest.h>

#include <deque>

#include <ostream>
#include <string>
#include <vector>

namespace anagrafe {

void PrintTo(const Riscontro& r, std::ostream* os) {
    *os << "{" << static_cast<int>(r.dato) << ", " << (r.errore ? "errore" : "avviso") << ", \"" << r.messaggio
        << "\"}";
}

namespace {

// The first 15 characters of a personal code with their check letter.
std::string Codice(std::string quindici) { return quindici + *CarattereDiControllo(quindici); }

// A person's fields are views: the codes made here are kept for the whole run, so that a table of cases
// may hold persons made from temporaries.
std::string_view Tenuto(std::string testo) {
    static std::deque<std::string> tenuti;
    return tenuti.emplace_back(std::move(testo));
}

PersonaScritta Persona(const std::string& codice, std::string_view cognome, std::string_view nome,
                       std::optional<Data> nascita = std::nullopt, std::string_view luogo = {},
                       std::string_view provincia = {}) {
    PersonaScritta p;
    p.codiceFiscale = {"campo DA001001", Tenuto(codice)};
    p.cognome = {"campo DA001002", cognome};
    p.nome = {"campo DA001003", nome};
    p.nascita = nascita;
    if (!luogo.empty())
        p.luogoNascita = {"campo DA001006", luogo};
    if (!provincia.empty())
        p.provinciaNascita = {"campo DA001007", provincia};
    return p;
}

// Persons whose code agrees with every field written: the letters of names with blanks, apostrophes and
// accents, short names, omocodia, renamed, merged and foreign places, provinces of then and of now.
TEST(Persona, CodiciCheConcordano) {
    struct Caso {
        const char* perche;
        PersonaScritta persona;
    };
    const Caso casi[] = {
        {"comune di oggi", Persona(Codice("RSSMRA80A01F205"), "Rossi", "Mario", Data{1980, 1, 1}, "Milano", "MI")},
        {"donna, giorno + 40, Lecco scritto LC per una nascita del 1980",
         Persona(Codice("BNCGLI80A41E507"), "Bianchi", "Giulia", Data{1980, 1, 1}, "Lecco", "LC")},
        {"Lecco scritto CO, la provincia di allora",
         Persona(Codice("BNCGLI80A41E507"), "Bianchi", "Giulia", Data{1980, 1, 1}, "LECCO", "co")},
        {"cognome con apostrofo e accento, nome accentato",
         Persona(Codice("DNGNCL75T10Z112"), "D'Angelo M\xFCller", "Nicol\xF2", Data{1975, 12, 10}, "Germania", "EE")},
        {"cognome doppio con spazio", Persona(Codice("DLCMRA80A01F205"), "De Luca", "Mario", Data{1980, 1, 1})},
        {"cognome di due lettere", Persona(Codice("FOXDRA80A01F205"), "Fo", "Dario")},
        {"cognome di due consonanti", Persona(Codice("NGXLIA80A41F205"), "Ng", "Lia")},
        {"nome di tre lettere, quattro consonanti nel nome", Persona(Codice("RSSGFR80A01F205"), "Rossi", "Gianfranco")},
        {"omocodia nel giorno", Persona(Codice("RSSMRA80A0MF205"), "Rossi", "Mario", Data{1980, 1, 1}, "Milano", "MI")},
        {"omocodia nel luogo", Persona(Codice("RSSMRA80A01F2LR"), "Rossi", "Mario", Data{1980, 1, 1}, "Milano", "MI")},
        {"omocodia in tutte le sette cifre",
         Persona(Codice("RSSMRAULALMFNLR"), "Rossi", "Mario", Data{1980, 1, 1}, "Milano", "MI")},
        {"Forl\xEC scritto FORLI' con la provincia di allora",
         Persona(Codice("ZNTNCL72D15D704"), "Zanotti", "Niccol\xF2", Data{1972, 4, 15}, "FORLI'", "FO")},
        {"nome bilingue",
         Persona(Codice("RSSMRA80A01A952"), "Rossi", "Mario", Data{1980, 1, 1}, "Bolzano/Bozen", "BZ")},
        {"l'altro nome soltanto",
         Persona(Codice("RSSMRA80A01A952"), "Rossi", "Mario", Data{1980, 1, 1}, "Bozen", "BZ")},
        {"rinominato: il nome di allora",
         Persona(Codice("RSSMRA50A01A044"), "Rossi", "Mario", Data{1950, 1, 1}, "Acquasanta", "AP")},
        {"rinominato: il nome di oggi",
         Persona(Codice("RSSMRA50A01A044"), "Rossi", "Mario", Data{1950, 1, 1}, "Acquasanta Terme", "AP")},
        {"comune fuso in un altro dopo la nascita",
         Persona(Codice("RSSMRA80A01A726"), "Rossi", "Mario", Data{1980, 1, 1}, "Bazzano", "BO")},
        {"stato cessato dopo la nascita",
         Persona(Codice("RSSMRA80A01Z105"), "Rossi", "Mario", Data{1980, 1, 1}, "Cecoslovacchia", "EE")},
        {"omonimo in un'altra provincia: quello del codice",
         Persona(Codice("RSSMRA80A01M261"), "Rossi", "Mario", Data{1980, 1, 1}, "Castro", "LE")},
        {"Sant'Agata senza apostrofo",
         Persona(Codice("RSSMRA80A01I191"), "Rossi", "Mario", Data{1980, 1, 1}, "Santagata Bolognese", "BO")},
        {"senza data scritta: il secolo che il codice permette",
         Persona(Codice("RSSMRA80A01A726"), "Rossi", "Mario", std::nullopt, "Bazzano", "BO")},
        {"stato nato da uno cessato: Serbia e Montenegro per una nascita in Jugoslavia",
         Persona(Codice("PTRMRK80A01Z157"), "Petrovic", "Marko", Data{1980, 1, 1}, "Serbia e Montenegro", "EE")},
        {"con le lettere che ISO-8859-1 non ha, come riferimenti",
         Persona(Codice("CRNMRC75C12L736"), "&#268;ERNIGOJ", "MARCO", Data{1975, 3, 12}, "VENEZIA", "VE")},
        {"L, Z e C con segni (U+0141, U+017D, U+0106)",
         Persona(Codice("LZCNRZ80A01Z127"), "&#321;&#381;&#262;", "ANDRZEJ", Data{1980, 1, 1}, "Polonia", "EE")},
        {"S con caron (U+0160) nel nome",
         Persona(Codice("RSSSPN80A01F205"), "ROSSI", "&#352;TEPAN", Data{1980, 1, 1}, "Milano", "MI")},
        {"Reggio Emilia, il nome in uso",
         Persona(Codice("RSSMRA80A01H223"), "Rossi", "Mario", Data{1980, 1, 1}, "REGGIO EMILIA", "RE")},
        {"S. per San",
         Persona(Codice("RSSMRA80A01G467"), "Rossi", "Mario", Data{1980, 1, 1}, "S. GIOVANNI IN PERSICETO", "BO")},
        {"San Dorligo della Valle, il suo nome italiano",
         Persona(Codice("RSSMRA80A01D324"), "Rossi", "Mario", Data{1980, 1, 1}, "SAN DORLIGO DELLA VALLE", "TS")},
        {"Ghilarza, il giorno che il registro lascia scoperto",
         Persona(Codice("RSSMRA58M14E004"), "Rossi", "Mario", Data{1958, 8, 14}, "Ghilarza", "CA")},
        {"un codice di 11 cifre non \xE8 personale", Persona("02468130584", "Rossi", "Mario")},
        {"un codice formalmente errato \xE8 detto altrove", Persona("RSSMRA80A01F205A", "Bianchi", "Luigi")},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(ControllaPersona(c.persona), std::vector<Riscontro>{}) << c.perche;
}

// The ceased states that others took the place of, held to the registry: each ends on the day its successor
// begins, and no other pair of states does so.
TEST(Luoghi, SuccessioniDegliStati) {
    for (const Successione& s : Successioni()) {
        const std::vector<Luogo> stato = Periodi(s.stato), predecessore = Periodi(s.predecessore);
        ASSERT_FALSE(stato.empty()) << s.stato;
        ASSERT_FALSE(predecessore.empty()) << s.predecessore;
        EXPECT_TRUE(stato.front().estero && predecessore.back().estero);
        EXPECT_EQ(predecessore.back().al, stato.front().dal) << s.stato << " " << s.predecessore;
    }
    // A person born in Jugoslavia on a day the code of Serbia and Montenegro did not exist: only where the
    // place is a tax code's, and not for a state that took no one's place.
    const std::string kosovo = Codice("PTRMRK80A01Z160"), serbia = Codice("PTRMRK80A01Z157");
    EXPECT_TRUE(ControllaPersona(Persona(serbia, "Petrovic", "Marko", Data{1980, 1, 1})).empty());
    const auto prima = ControllaPersona(Persona(serbia, "Petrovic", "Marko", Data{1899, 1, 1}));
    ASSERT_EQ(prima.size(), 1u); // before Jugoslavia too: not in force
    EXPECT_NE(prima[0].messaggio.find("non in vigore"), std::string::npos);
}

TEST(Persona, LettereDelCognomeEDelNome) {
    const std::string codice = Codice("RSSMRA80A01F205");
    EXPECT_EQ(ControllaPersona(Persona(codice, "Bianchi", "Luigi")),
              (std::vector<Riscontro>{
                  {Dato::Cognome, false,
                   "il codice fiscale '" + codice + "' indica il cognome 'RSS', il campo DA001002 dice 'Bianchi'"},
                  {Dato::Nome, false,
                   "il codice fiscale '" + codice + "' indica il nome 'MRA', il campo DA001003 dice 'Luigi'"},
              }));
    // Blanks around a field do not count; a blank field is the reader's to tell.
    EXPECT_EQ(ControllaPersona(Persona(codice, "  ROSSI ", "   ")), std::vector<Riscontro>{});
    // The name's rule is not the surname's: four consonants take the first, third and fourth.
    const auto gianfranco = ControllaPersona(Persona(Codice("RSSGNF80A01F205"), "Rossi", "Gianfranco"));
    ASSERT_EQ(gianfranco.size(), 1u);
    EXPECT_EQ(gianfranco[0].dato, Dato::Nome);
    EXPECT_NE(gianfranco[0].messaggio.find("indica il nome 'GNF'"), std::string::npos);
}

TEST(Persona, LuogoDiNascita) {
    const std::string inesistente = Codice("RSSMRA80A01Z999");
    EXPECT_EQ(ControllaPersona(Persona(inesistente, "Rossi", "Mario", Data{1980, 1, 1}, "Roma", "RM")),
              (std::vector<Riscontro>{
                  {Dato::CodiceFiscale, true,
                   "il codice fiscale '" + inesistente + "' ha il codice del luogo di nascita 'Z999' inesistente"}}));
    // Decoded first: "Z9VV" is Z999.
    const std::string omocodico = Codice("RSSMRA80A01Z9VV");
    ASSERT_EQ(ControllaPersona(Persona(omocodico, "Rossi", "Mario")).size(), 1u);
    EXPECT_TRUE(ControllaPersona(Persona(omocodico, "Rossi", "Mario"))[0].errore);

    const std::string cecoslovacchia = Codice("RSSMRA95A01Z105");
    EXPECT_EQ(ControllaPersona(Persona(cecoslovacchia, "Rossi", "Mario", Data{1995, 1, 1})),
              (std::vector<Riscontro>{{Dato::CodiceFiscale, false,
                                       "il codice fiscale '" + cecoslovacchia +
                                           "' ha il codice del luogo di nascita 'Z105' (CECOSLOVACCHIA, EE) non in "
                                           "vigore il 01/01/1995: in vigore dal 01/01/1900 al 01/01/1993"}}));
    // Valsamoggia, made of Bazzano and others on 1 January 2014: with no date written, a code of 1980
    // (2080 is yet to come) is not of its time; one of 2015 is.
    const std::string valsamoggia = Codice("RSSMRA80A01M320");
    EXPECT_EQ(
        ControllaPersona(Persona(valsamoggia, "Rossi", "Mario")),
        (std::vector<Riscontro>{{Dato::CodiceFiscale, false,
                                 "il codice fiscale '" + valsamoggia +
                                     "' ha il codice del luogo di nascita 'M320' (VALSAMOGGIA, BO) non in vigore il "
                                     "01/01/1980: in vigore dal 01/01/2014"}}));
    EXPECT_EQ(ControllaPersona(Persona(Codice("RSSMRA15A01M320"), "Rossi", "Mario")), std::vector<Riscontro>{});
}

TEST(Persona, NomeEProvinciaDelLuogo) {
    const std::string lecco = Codice("BNCGLI80A41E507");
    EXPECT_EQ(
        ControllaPersona(Persona(lecco, "Bianchi", "Giulia", Data{1980, 1, 1}, "Milano", "MI")),
        (std::vector<Riscontro>{
            {Dato::LuogoNascita, false,
             "il codice fiscale '" + lecco + "' indica il luogo di nascita 'LECCO', il campo DA001006 dice 'Milano'"},
            {Dato::ProvinciaNascita, false,
             "il codice fiscale '" + lecco +
                 "' indica la provincia di nascita 'CO' o 'LC', il campo DA001007 dice 'MI'"},
        }));
    // Born in Lecco after 1992: only LC.
    const std::string dopo = Codice("BNCGLI95A41E507");
    EXPECT_EQ(ControllaPersona(Persona(dopo, "Bianchi", "Giulia", Data{1995, 1, 1}, "Lecco", "CO")),
              (std::vector<Riscontro>{{Dato::ProvinciaNascita, false,
                                       "il codice fiscale '" + dopo +
                                           "' indica la provincia di nascita 'LC', il campo DA001007 dice 'CO'"}}));
    // A province no province ever had is an error, and no more is said of it.
    EXPECT_EQ(ControllaPersona(Persona(lecco, "Bianchi", "Giulia", Data{1980, 1, 1}, "Lecco", "XX")),
              (std::vector<Riscontro>{
                  {Dato::ProvinciaNascita, true, "campo DA001007 'XX': sigla di provincia inesistente"}}));
    // Abroad: the state's name and EE; a city abroad, or an Italian province, is not.
    const std::string germania = Codice("DNGNCL75T10Z112");
    EXPECT_EQ(
        ControllaPersona(Persona(germania, "D'Angelo", "Nicol\xF2", Data{1975, 12, 10}, "D\xFCsseldorf", "MI")),
        (std::vector<Riscontro>{
            {Dato::LuogoNascita, false,
             "il codice fiscale '" + germania +
                 "' indica il luogo di nascita 'GERMANIA', il campo DA001006 dice 'D\xFCsseldorf'"},
            {Dato::ProvinciaNascita, false,
             "il codice fiscale '" + germania + "' indica la provincia di nascita 'EE', il campo DA001007 dice 'MI'"},
        }));
    // Two Castro: the one in the code is in Lecce; the name alone cannot tell.
    const std::string castro = Codice("RSSMRA80A01M261");
    const auto riscontri = ControllaPersona(Persona(castro, "Rossi", "Mario", Data{1980, 1, 1}, "Castro", "BG"));
    ASSERT_EQ(riscontri.size(), 1u);
    EXPECT_EQ(riscontri[0].dato, Dato::ProvinciaNascita);
    // A renamed municipality shows its name on the date first.
    const std::string acquasanta = Codice("RSSMRA50A01A044");
    EXPECT_EQ(ControllaPersona(Persona(acquasanta, "Rossi", "Mario", Data{1950, 1, 1}, "Ascoli", "AP"))[0].messaggio,
              "il codice fiscale '" + acquasanta +
                  "' indica il luogo di nascita 'ACQUASANTA' o 'ACQUASANTA TERME', il campo DA001006 dice 'Ascoli'");
}

ComuneScritto Residenza(std::string_view codice, std::string_view nome, std::string_view provincia, Data giorno) {
    return {{"campo DA001014", codice}, {"campo DA001012", nome}, {"campo DA001013", provincia}, giorno, giorno,
            "del comune di residenza"};
}

// A province alone (the 770's fiscal domicile): only one that no province ever had is told.
TEST(Comune, ProvinciaSenzaCodice) {
    EXPECT_EQ(ControllaProvincia({"campo DA001016", "LC "}), std::vector<Riscontro>{});
    EXPECT_EQ(ControllaProvincia({"campo DA001016", "FO"}), std::vector<Riscontro>{}); // ceased, but a province
    EXPECT_EQ(ControllaProvincia({"campo DA001016", "  "}), std::vector<Riscontro>{}); // blank: missing data
    EXPECT_EQ(ControllaProvincia({"campo DA001016", "ZZ"}),
              (std::vector<Riscontro>{{Dato::Provincia, true, "campo DA001016 'ZZ': sigla di provincia inesistente"}}));
}

TEST(Comune, CodiceNomeEProvincia) {
    const Data gennaio2010{2010, 1, 1};
    EXPECT_EQ(ControllaComune(Residenza("E507", "Lecco", "LC", gennaio2010)), std::vector<Riscontro>{});
    // As written: lower case, or a blank before it, is no code of the registry; blanks after it pad the field.
    EXPECT_EQ(ControllaComune(Residenza("A726  ", "Bazzano", "BO", gennaio2010)), std::vector<Riscontro>{});
    for (const std::string_view scritto : {"a726", " A726", "A 726"})
        EXPECT_EQ(ControllaComune(Residenza(scritto, "Bazzano", "BO", gennaio2010)),
                  (std::vector<Riscontro>{
                      {Dato::CodiceComune, true,
                       "campo DA001014: codice del comune di residenza '" + std::string(scritto) + "' inesistente"}}))
            << scritto;
    EXPECT_EQ(ControllaComune(Residenza("", "Lecco", "LC", gennaio2010)), std::vector<Riscontro>{});
    EXPECT_EQ(ControllaComune(Residenza("X999", "Lecco", "LC", gennaio2010)),
              (std::vector<Riscontro>{
                  {Dato::CodiceComune, true, "campo DA001014: codice del comune di residenza 'X999' inesistente"}}));
    EXPECT_EQ(ControllaComune(Residenza("A726", "Bazzano", "BO", {2015, 1, 1})),
              (std::vector<Riscontro>{{Dato::CodiceComune, false,
                                       "campo DA001014: codice del comune di residenza 'A726' (BAZZANO, BO) non in "
                                       "vigore il 01/01/2015: in vigore dal 17/03/1861 al 31/12/2013"}}));
    // In force on some day of a month: Valsamoggia from 1 January 2014.
    const ComuneScritto mese{{"campo <CodiceComune>", "M320"}, {}, {}, {2013, 12, 1}, {2013, 12, 31}, "del comune"};
    EXPECT_EQ(ControllaComune(mese).size(), 1u);
    EXPECT_EQ(ControllaComune({mese.codice, {}, {}, {2013, 12, 1}, {2014, 1, 1}, "del comune"}),
              std::vector<Riscontro>{});
    EXPECT_EQ(ControllaComune(Residenza("E507", "Milano", "MI", gennaio2010)),
              (std::vector<Riscontro>{
                  {Dato::NomeComune, false,
                   "il campo DA001014 'E507' indica il comune 'LECCO', il campo DA001012 dice 'Milano'"},
                  {Dato::ProvinciaComune, false,
                   "il campo DA001014 'E507' indica la provincia 'LC', il campo DA001013 dice 'MI'"},
              }));
}

TEST(Comune, LuogoDelCodice) {
    EXPECT_EQ(LuogoDelCodice("E507", {1980, 1, 1}), "LECCO (CO)");
    EXPECT_EQ(LuogoDelCodice("E507", {2010, 1, 1}), "LECCO (LC)");
    EXPECT_EQ(LuogoDelCodice("A952", {2010, 1, 1}), "BOLZANO/BOZEN (BZ)");
    EXPECT_EQ(LuogoDelCodice("A726", {2020, 1, 1}), "BAZZANO (BO)");
    EXPECT_EQ(LuogoDelCodice("Z999", {2020, 1, 1}), "");
}

} // namespace
} // namespace anagrafe
