// The findings of a module's area and of its employee's tax code, as the 770 and DMA readers tell them: each
// at its field and line, naming the field and the employee.

#include "formati/campi_modulo.h"
#include "formati/tests/rilevati.h"
#include "lettura/lettura.h"

#include "dma/record_dma.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace formati {

using lettura::Gravita;
using lettura::Lettura;
using lettura::Rilievo;
using prova::Rilevati;

namespace {

// An area of the DMA catalogue: blocks of a code and its value, blank after them.
std::string Area(std::initializer_list<std::pair<std::string_view, std::string_view>> blocchi) {
    std::string area;
    for (const auto& [codice, valore] : blocchi)
        area.append(codice).append(valore).append(tracciati::LunghezzaValore - valore.size(), ' ');
    area.resize(tracciati::LunghezzaArea, ' ');
    return area;
}

constexpr const tracciati::Pezzo& CodiceFiscaleC =
    tracciati::DellaColonna(dma::tabelleDMA::RecordC, dma::ColonnaCodiceFiscale);
constexpr CodiceDelDipendente CodiceC{'C', CodiceFiscaleC, dma::CodiceDelCampo("D0001001"),
                                      dma::CodiceDelCampo("D0001004"), dma::CodiceDelCampo("D0001005")};
const std::string Codice = "RSSMRA80A01H501U"; // a man born on 1 January 1980

// A value that its type refuses, in the second record of a module: told on that record's line, naming the
// field by the code before it, and the employee when there is one.
TEST(CampiDelModulo, SegnalaAreaNominaCampoERiga) {
    // A first record full: a long surname, in its block and continuations.
    std::string prima = Area({{"D0001002", "ROSSI"}});
    for (int b = 1; b < tracciati::BlocchiArea; ++b)
        prima.replace(static_cast<std::size_t>(b * tracciati::LunghezzaBlocco), tracciati::LunghezzaBlocco,
                      "D0001002+ROSSI          ");
    const std::string seconda = Area({{"D0001003", "MARIO"}, {"D0001005", "        XX011980"}});
    const std::array<std::string_view, 2> testi{prima, seconda};
    const std::array<long, 2> righe{4, 7};
    for (const std::string& chi : {"dipendente " + Codice, std::string()}) {
        tracciati::AreaLetta area;
        area.Leggi(testi, dma::CatalogoQuadri);
        ASSERT_FALSE(area.Segnalazioni().empty());
        const auto rilievi = Rilevati([&](Lettura& l) { SegnalaArea(l, area, testi, righe, 'G', chi, 12); });
        ASSERT_EQ(rilievi.size(), area.Segnalazioni().size());
        const Rilievo& r = rilievi.front();
        EXPECT_EQ(r.riga, 7);
        EXPECT_EQ(r.colonna, tracciati::InizioArea + tracciati::LunghezzaBlocco + tracciati::LunghezzaCodice);
        EXPECT_EQ(r.persona, 12);
        EXPECT_TRUE(r.messaggio.starts_with("record G: campo D0001005, posizioni 122-137: trovato '        XX011980'"))
            << r.messaggio;
        // Whose it is, or nothing after the reason.
        if (chi.empty())
            EXPECT_EQ(r.messaggio.find(" ("), std::string::npos) << r.messaggio;
        else
            EXPECT_TRUE(r.messaggio.ends_with(" (dipendente RSSMRA80A01H501U)")) << r.messaggio;
    }
}

// The area's D0001001 against the head's code, and the head's code against the sex and the date of birth.
TEST(CampiDelModulo, CodiceDelDipendente) {
    struct Caso {
        std::string area;
        std::string testa;
        std::vector<std::string> attesi; // "E"/"A", the column and the message
    };
    const std::string altro = "VRDLGU70B02F205X";
    const Caso casi[] = {
        {Area({{"D0001001", Codice}, {"D0001004", "M"}, {"D0001005", "        01011980"}}), Codice, {}},
        // No field of the code, of the sex or of the birth: nothing to hold it against.
        {Area({}), Codice, {}},
        {Area({{"D0001001", altro}, {"D0001004", "M"}}),
         Codice,
         {"E 90 record C: campo D0001001 'VRDLGU70B02F205X' diverso dal codice fiscale delle posizioni 67-82 "
          "'RSSMRA80A01H501U'"}},
        {Area({{"D0001001", Codice}, {"D0001004", "F"}, {"D0001005", "        01011980"}}),
         Codice,
         {"A 67 record C: codice fiscale 'RSSMRA80A01H501U' e dati anagrafici (D0001004, D0001005) discordi: "}},
        {Area({{"D0001001", "RSSMRA80A01H501X"}}),
         "RSSMRA80A01H501X",
         {"E 67 record C: posizioni 67-82: codice fiscale del dipendente 'RSSMRA80A01H501X' non valido: "}},
    };
    for (const Caso& c : casi) {
        const std::array<std::string_view, 1> testi{c.area};
        tracciati::AreaLetta area;
        area.Leggi(testi, dma::CatalogoQuadri);
        CampiDelModulo campi(dma::CatalogoQuadri);
        campi.Prendi(area.Campi());
        const auto rilievi = Rilevati([&](Lettura& l) {
            ConfrontaCodiceDelCampo(l, campi, CodiceC, 5, c.testa, 3);
            ControllaCodiceDelDipendente(l, campi, CodiceC, 5, c.testa, 3);
        });
        std::vector<std::string> trovati;
        for (const Rilievo& r : rilievi) {
            EXPECT_EQ(r.riga, 5);
            EXPECT_EQ(r.persona, 3);
            trovati.push_back(std::string(r.gravita == Gravita::Errore ? "E " : "A ") + std::to_string(r.colonna) +
                              " " + r.messaggio);
        }
        // A discordance and an invalid code end with the reason that the tax code's rules give.
        ASSERT_EQ(trovati.size(), c.attesi.size()) << c.testa;
        for (std::size_t i = 0; i < c.attesi.size(); ++i)
            EXPECT_TRUE(trovati[i].starts_with(c.attesi[i])) << trovati[i];
    }
}

} // namespace
} // namespace formati
