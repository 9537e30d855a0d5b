#pragma once
// The groups that the two INPS documents write alike, in an employee's report and in its previous month's
// block, each given the depth of its elements: the worker (columns 10 to 15 of the export line), the place and
// the contract, the hours, the hiring (columns 17 and 18), the cessation (19 and 20), the covered weeks (25); and a
// collaborator's data. A writer's table is put together from its own rows and these (Unite), in the order of the
// document.

#include "scrittura_xml/voci_xml.h"

#include <array>
#include <cstddef>

namespace scrittura_xml::tabelle {

// clang-format off
constexpr std::array<Voce, 7> Lavoratore(int p) {
    return {{
        {p,     Forma::Elemento, "CFLavoratore",      Sempre(),         Colonna(10)},
        {p,     Forma::Elemento, "Cognome",           Sempre(),         Colonna(11)},
        {p,     Forma::Elemento, "Nome",              Sempre(),         Colonna(12)},
        {p,     Forma::Elemento, "Qualifica1",        Sempre(),         Colonna(13)},
        {p,     Forma::Elemento, "Qualifica2",        NonVuota(14),     Colonna(14)},
        {p,     Forma::Elemento, "Qualifica3",        NonVuota(15),     Colonna(15)},
        {p,     Forma::Elemento, "TipoContribuzione", Sempre(),         Fisso("71")},
    }};
}
constexpr std::array<Voce, 2> LuogoEContratto(int p) {
    return {{
        {p,     Forma::Elemento, "CodiceComune",      NonVuota(16),     Colonna(16)},
        {p,     Forma::Elemento, "CodiceContratto",   Sempre(),         Fisso("EP")},
    }};
}
constexpr std::array<Voce, 2> Orario(int p) {
    return {{
        {p,     Forma::Elemento, "OrarioContrattuale", Sempre(),        Colonna(41)},
        {p,     Forma::Elemento, "NumMensilita",      Sempre(),         Fisso("13000")},
    }};
}
constexpr std::array<Voce, 4> Assunzione(int p) {
    return {{
        {p,     Forma::Apri,     "Assunzione",       NonVuote(17, 18), Nulla()},
        {p + 1, Forma::Elemento, "GiornoAssunzione", NonVuote(17, 18), Colonna(17)},
        {p + 1, Forma::Elemento, "TipoAssunzione",   NonVuote(17, 18), Colonna(18)},
        {p,     Forma::Chiudi,   "Assunzione",       NonVuote(17, 18), Nulla()},
    }};
}
constexpr std::array<Voce, 4> Cessazione(int p) {
    return {{
        {p,     Forma::Apri,     "Cessazione",       NonVuote(19, 20), Nulla()},
        {p + 1, Forma::Elemento, "GiornoCessazione", NonVuote(19, 20), Colonna(19)},
        {p + 1, Forma::Elemento, "TipoCessazione",   NonVuote(19, 20), Colonna(20)},
        {p,     Forma::Chiudi,   "Cessazione",       NonVuote(19, 20), Nulla()},
    }};
}
// One Settimana element for each week of column 25.
constexpr std::array<Voce, 4> Settimane(int p) {
    return {{
        {p,     Forma::Apri,     "Settimana",        OgniSettimana(25), Nulla()},
        {p + 1, Forma::Elemento, "IdSettimana",      OgniSettimana(25), IdSettimana()},
        {p + 1, Forma::Elemento, "TipoCopertura",    OgniSettimana(25), TipoCopertura()},
        {p,     Forma::Chiudi,   "Settimana",        OgniSettimana(25), Nulla()},
    }};
}
// A collaborator's data, after its opening.
constexpr std::array<Voce, 11> DatiCollaboratore(int p) {
    return {{
        {p,     Forma::Elemento, "CFCollaboratore",  Sempre(),         Colonna(10)},
        {p,     Forma::Elemento, "Cognome",          Sempre(),         Colonna(11)},
        {p,     Forma::Elemento, "Nome",             Sempre(),         Colonna(12)},
        {p,     Forma::Elemento, "CodiceComune",     NonVuota(16),     Colonna(16)},
        {p,     Forma::Elemento, "TipoRapporto",     Sempre(),         Colonna(33)},
        {p,     Forma::Elemento, "CodiceAttivita",   NonVuota(34),     Colonna(34)},
        {p,     Forma::Elemento, "Imponibile",       Sempre(),         Colonna(24)},
        {p,     Forma::Elemento, "Aliquota",         Sempre(),         Colonna(35)},
        {p,     Forma::Elemento, "AltraAss",         NonVuota(36),     Colonna(36)},
        {p,     Forma::Elemento, "Dal",              NonVuota(37),     DataISO(37)},
        {p,     Forma::Elemento, "Al",               NonVuota(38),     DataISO(38)},
    }};
}
// clang-format on

// The rows of `parti` one after the other, as one table.
template <std::size_t... N> constexpr std::array<Voce, (N + ...)> Unite(const std::array<Voce, N>&... parti) {
    std::array<Voce, (N + ...)> tutte{};
    std::size_t i = 0;
    ((std::copy(parti.begin(), parti.end(), tutte.begin() + static_cast<std::ptrdiff_t>(i)), i += N), ...);
    return tutte;
}

} // namespace scrittura_xml::tabelle
