#pragma once
// What the tests and the fuzzing harness need around the XML reader: a document in memory handed
// over in pieces of any size (so that every token is cut at every place), and the reading of a
// whole document into one text that lists its events, or its error.

#include "xml/lettore_xml.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xml::test {

// The bytes of `documento`, at most `pezzo` at a time.
inline xml::LettoreXML::Fonte FonteTesto(std::string_view documento, std::size_t pezzo = SIZE_MAX) {
    return [documento, pezzo](char* destinazione, std::size_t massimo) mutable -> std::size_t {
        const std::size_t n = std::min({documento.size(), massimo, pezzo});
        std::memcpy(destinazione, documento.data(), n);
        documento.remove_prefix(n);
        return n;
    };
}

// A text with \n, \r, \t, \\, \" and \xNN for the other bytes outside 0x20-0x7E.
inline std::string Escapato(std::string_view testo) {
    constexpr char Cifre[] = "0123456789ABCDEF";
    std::string citato;
    for (const char c : testo) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n')
            citato += "\\n";
        else if (c == '\r')
            citato += "\\r";
        else if (c == '\t')
            citato += "\\t";
        else if (c == '\\' || c == '"')
            citato += std::string("\\") + c;
        else if (u < 0x20 || u > 0x7E)
            citato += std::string("\\x") + Cifre[u >> 4] + Cifre[u & 15];
        else
            citato += c;
    }
    return citato;
}

inline std::string Citato(std::string_view testo) {
    std::string citato(1, '"');
    return citato.append(Escapato(testo)).append(1, '"');
}

struct Elenco {
    bool posizioni = true; // each event with its line and column
};

// One line per event: "R:C <nome a=\"v\"@R:C>" (with "/>" for an empty element), "R:C </nome>",
// "R:C \"testo\"", a " ?" after an event with characters replaced, then "R:C fine" with the count
// of line ends that were not CR LF; or, at the first error, "errore R:C motivo" (motivo quoted).
inline std::string ElencaEventi(xml::LettoreXML& lettore, Elenco elenco = {}) {
    std::string risultato;
    const auto dove = [&](std::int64_t riga, std::int64_t colonna) {
        std::string testo;
        if (elenco.posizioni)
            testo.append(std::to_string(riga)).append(":").append(std::to_string(colonna));
        return testo;
    };
    try {
        for (;;) {
            const xml::Evento evento = lettore.Prossimo();
            std::string riga = dove(lettore.Riga(), lettore.Colonna());
            if (!riga.empty())
                riga += ' ';
            switch (evento) {
            case xml::Evento::InizioElemento:
                riga.append("<").append(Escapato(lettore.Nome()));
                for (const xml::Attributo& a : lettore.Attributi()) {
                    riga.append(" ").append(Escapato(a.nome)).append("=").append(Citato(a.valore));
                    if (elenco.posizioni)
                        riga.append("@").append(dove(a.riga, a.colonna));
                }
                riga += lettore.ElementoVuoto() ? "/>" : ">";
                break;
            case xml::Evento::FineElemento:
                riga.append("</").append(Escapato(lettore.Nome())).append(">");
                break;
            case xml::Evento::Testo:
                riga += Citato(lettore.Testo());
                break;
            case xml::Evento::FineDocumento:
                riga += "fine";
                if (elenco.posizioni)
                    riga.append(" nonCRLF=").append(std::to_string(lettore.FiniRigaNonCRLF()));
                return risultato.append(riga).append("\n");
            }
            if (lettore.Sostituiti())
                riga += " ?";
            risultato.append(riga).append("\n");
        }
    } catch (const xml::ErroreXML& e) {
        risultato.append("errore ").append(dove(e.Riga(), e.Colonna())).append(elenco.posizioni ? " " : "");
        return risultato.append(Citato(e.Motivo())).append("\n");
    }
}

inline std::string ElencaEventi(std::string_view documento, std::size_t pezzo = SIZE_MAX, Elenco elenco = {}) {
    xml::LettoreXML lettore(FonteTesto(documento, pezzo));
    return ElencaEventi(lettore, elenco);
}

} // namespace xml::test
