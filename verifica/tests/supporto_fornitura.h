#pragma once
// A supply as a reader would tell it, made by hand for the tests of the listing and the comparison.

#include "verifica/confronto.h"
#include "verifica/fornitura_letta.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace verifica::test {

// clang-format off
inline constexpr lettura::ColonnaDistinta ColonneProva[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"modulo", lettura::Allineamento::Numero, true},
    {"imponibile", lettura::Allineamento::Numero},
    {"aliquota", lettura::Allineamento::Numero},
};
inline constexpr int ColonneDipendente[] = {0, 1, 2, 3, 4};
inline constexpr int ColonneCollaboratore[] = {0, 1, 2, 5};
inline constexpr lettura::GenerePersona GeneriProva[] = {
    {"dipendente", "Dipendenti", ColonneDipendente},
    {"collaboratore", "Collaboratori", ColonneCollaboratore},
};
// clang-format on
inline constexpr lettura::SchemaDistinta SchemaProva{ColonneProva, GeneriProva};

inline FornituraLetta FornituraProva(std::vector<std::array<std::string, 7>> righe) {
    // Each row: kind ("d" or "c"), tax code, surname, name, module, taxable pay, rate.
    FornituraLetta f;
    f.Schema(lettura::Formato::Uniemens, SchemaProva);
    f.esito.formato = lettura::Formato::Uniemens;
    long indice = 0;
    for (const auto& r : righe) {
        lettura::Persona p;
        p.genere = r[0] == "d" ? 0 : 1;
        p.indice = indice++;
        p.riga = 10 * p.indice + 1;
        p.chiave = r[1];
        p.valori.assign(r.begin() + 1, r.end());
        f.Persona(std::move(p));
    }
    f.esito.persone = indice;
    return f;
}

// A TFR supply, as its first record of 280 blanks makes it, followed by `righe` lines of record types it lacks
// ("X", "Y", "Q" in turn): one finding of the same rule on each, from line 2 ("tipo di record 'X' sconosciuto:
// attesi 1, 2, 3, 4, 9").
inline std::string TfrConRigheSconosciute(int righe) {
    std::string testo = "1" + std::string(279, ' ') + "\r\n";
    for (int i = 0; i < righe; ++i)
        testo.append(1, "XYQ"[i % 3]).append("\r\n");
    return testo;
}
inline constexpr std::string_view RegolaRigheSconosciute = "sconosciuto: attesi 1, 2, 3, 4, 9";

// The comparison of two supply files, on the terminal and on the page, read with keys and fingerprints only
// (as the command reads them; the persons shown read again) and with every person's listing values: the two
// agree word for word. Gives the text.
inline std::string ConfrontoInDueModi(const std::filesystem::path& prima, const std::filesystem::path& dopo) {
    std::string testi[2], pagine[2];
    for (const bool valori : {false, true}) {
        const FornituraLetta vecchia = LeggiFornitura(prima, {}, {}, valori);
        const FornituraLetta nuova = LeggiFornitura(dopo, {}, {}, valori);
        if (!nuova.persone.empty()) {
            EXPECT_EQ(nuova.persone.front().valori.empty(), !valori);
        }
        const Differenze d = Confronta(vecchia, nuova);
        std::ostringstream testo, pagina;
        ScriviConfronto(vecchia, nuova, d, "prima", "dopo", testo);
        ScriviConfrontoHtml(vecchia, nuova, d, "prima", "dopo", pagina);
        testi[valori] = testo.str();
        pagine[valori] = pagina.str();
    }
    EXPECT_EQ(testi[0], testi[1]);
    EXPECT_EQ(pagine[0], pagine[1]);
    return testi[1];
}

} // namespace verifica::test
