// The columns of each format's listing: what a person of the supply shows, in the order of the
// listing, after the kind, the tax code, the surname and the name. Fields are named as the layouts name
// them: by their code (DB001005), their element (Imponibile) or their content where the layout gives
// one; amounts in the Italian form.

#include "formati/lettori.h"

namespace formati {

using lettura::Allineamento;
using lettura::ColonnaDistinta;
using lettura::ColonneComuniInTesta;
using lettura::GenerePersona;
using lettura::SchemaDistinta;

namespace {

constexpr auto N = Allineamento::Numero;

// clang-format off

// UniEmens: the individual reports, then the collaborators.
constexpr ColonnaDistinta ColonneUniemens[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"Qualifica1"}, {"Imponibile", N}, {"Contributo", N}, {"RetribTeorica", N}, {"GiorniRetribuiti", N},
    {"GiorniContribuiti", N}, {"giorni lavorati", N}, {"settimane"}, {"assunzione"}, {"cessazione"},
    {"Elimina"}, {"mese precedente"},
    {"TipoRapporto"}, {"Aliquota", N}, {"Dal", N}, {"Al", N}, {"CodiceComune"},
};
constexpr int DipendenteUniemens[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 19};
constexpr int CollaboratoreUniemens[] = {0, 1, 2, 15, 4, 16, 17, 18, 13, 19};
constexpr GenerePersona GeneriUniemens[] = {
    {"dipendente", "Dipendenti (denunce individuali)", DipendenteUniemens},
    {"collaboratore", "Collaboratori", CollaboratoreUniemens},
};

// The municipality's code is shown with its name and province in the reported month ("H294 RIMINI (RN)").

// E-Mens: as UniEmens without contribution, contribution days and calendar; the previous month's
// consolidation type.
constexpr ColonnaDistinta ColonneEmens[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"Qualifica1"}, {"Imponibile", N}, {"RetribTeorica", N}, {"GiorniRetribuiti", N}, {"settimane"},
    {"assunzione"}, {"cessazione"}, {"Elimina"}, {"mese precedente"},
    {"TipoRapporto"}, {"Aliquota", N}, {"Dal", N}, {"Al", N}, {"CodiceComune"},
};
constexpr int DipendenteEmens[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16};
constexpr int CollaboratoreEmens[] = {0, 1, 2, 12, 4, 13, 14, 15, 16};
constexpr GenerePersona GeneriEmens[] = {
    {"dipendente", "Dipendenti (denunce individuali)", DipendenteEmens},
    {"collaboratore", "Collaboratori", CollaboratoreEmens},
};

// clang-format on

static_assert(ColonneComuniInTesta(ColonneUniemens) && ColonneComuniInTesta(ColonneEmens));

} // namespace

const SchemaDistinta& SchemaUniemens() {
    static constexpr SchemaDistinta schema{ColonneUniemens, GeneriUniemens};
    return schema;
}
const SchemaDistinta& SchemaEmens() {
    static constexpr SchemaDistinta schema{ColonneEmens, GeneriEmens};
    return schema;
}

} // namespace formati
