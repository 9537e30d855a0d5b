// The columns of each format's listing: what a person of the supply shows, in the order of the
// listing, after the kind, the tax code, the surname and the name. Fields are named as the layouts name
// them: by their code (DB001005), their element (Imponibile) or their content where the layout gives
// one; amounts in the Italian form.

#include "formati/lettori.h"

namespace verifica {

namespace {

constexpr auto N = Allineamento::Numero;

// clang-format off

// 770: one row per employee module.
constexpr ColonnaDistinta Colonne770[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"modulo", N, true}, {"record G", N, true},
    {"sesso"}, {"data di nascita", N}, {"luogo di nascita"}, {"provincia di nascita"},
    {"comune di residenza"}, {"provincia di residenza"}, {"codice comune"},
    {"DB001001", N}, {"DB001005", N}, {"DB001073", N}, {"DB001075", N}, {"DB001010", N}, {"DB001014", N},
    {"DB001108", N}, {"DB001109", N}, {"DB001110", N}, {"DB001111", N}, {"DB001124", N}, {"DB001125", N},
    {"DC001004", N}, {"righi DC", N},
};
constexpr int Dipendente770[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                 23, 24, 25};
constexpr GenerePersona Generi770[] = {{"dipendente", "Dipendenti", Dipendente770}};

// DMA: one row per record C.
constexpr ColonnaDistinta ColonneDma[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"modulo", N, true},
    {"sesso"}, {"data di nascita", N}, {"luogo di nascita"}, {"residenza"}, {"indirizzo"}, {"CAP", N},
    {"D0001011"}, {"D0001012"}, {"D0001013"}, {"E0001009"}, {"periodo dal", N}, {"periodo al", N},
};
constexpr int DipendenteDma[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr GenerePersona GeneriDma[] = {{"dipendente", "Dipendenti", DipendenteDma}};

// TFR: one row per employee group (record "2" with its records "3" and "4"); the key is the tax code.
constexpr ColonnaDistinta ColonneTfr[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"gruppo", N, true},
    {"data (32-39)", N}, {"data (204-211)", N}, {"data (212-219)", N}, {"importo", N}, {"IBAN"},
    {"periodi", N}, {"dettaglio dei periodi"}, {"beneficiari", N}, {"codici dei beneficiari"},
};
constexpr int DipendenteTfr[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
constexpr GenerePersona GeneriTfr[] = {{"dipendente", "Dipendenti", DipendenteTfr}};

// UniEmens: the individual reports, then the collaborators.
constexpr ColonnaDistinta ColonneUniemens[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"Qualifica1"}, {"Imponibile", N}, {"Contributo", N}, {"RetribTeorica", N}, {"GiorniRetribuiti", N},
    {"GiorniContribuiti", N}, {"giorni lavorati", N}, {"settimane"}, {"assunzione"}, {"cessazione"},
    {"Elimina"}, {"mese precedente"},
    {"TipoRapporto"}, {"Aliquota", N}, {"Dal", N}, {"Al", N},
};
constexpr int DipendenteUniemens[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
constexpr int CollaboratoreUniemens[] = {0, 1, 2, 15, 4, 16, 17, 18, 13};
constexpr GenerePersona GeneriUniemens[] = {
    {"dipendente", "Dipendenti (denunce individuali)", DipendenteUniemens},
    {"collaboratore", "Collaboratori", CollaboratoreUniemens},
};

// E-Mens: as UniEmens without contribution, contribution days and calendar; the previous month's
// consolidation type.
constexpr ColonnaDistinta ColonneEmens[] = {
    {"codice fiscale"}, {"cognome"}, {"nome"},
    {"Qualifica1"}, {"Imponibile", N}, {"RetribTeorica", N}, {"GiorniRetribuiti", N}, {"settimane"},
    {"assunzione"}, {"cessazione"}, {"Elimina"}, {"mese precedente"},
    {"TipoRapporto"}, {"Aliquota", N}, {"Dal", N}, {"Al", N},
};
constexpr int DipendenteEmens[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr int CollaboratoreEmens[] = {0, 1, 2, 12, 4, 13, 14, 15};
constexpr GenerePersona GeneriEmens[] = {
    {"dipendente", "Dipendenti (denunce individuali)", DipendenteEmens},
    {"collaboratore", "Collaboratori", CollaboratoreEmens},
};

// clang-format on

// Every schema begins with the three columns every listing has.
constexpr bool ColonneComuniInTesta(std::span<const ColonnaDistinta> colonne) {
    for (std::size_t i = 0; i < std::size(ColonneComuni); ++i)
        if (i >= colonne.size() || colonne[i].nome != ColonneComuni[i])
            return false;
    return true;
}
static_assert(ColonneComuniInTesta(Colonne770) && ColonneComuniInTesta(ColonneDma) &&
              ColonneComuniInTesta(ColonneTfr) && ColonneComuniInTesta(ColonneUniemens) &&
              ColonneComuniInTesta(ColonneEmens));

} // namespace

const SchemaDistinta& Schema770() {
    static constexpr SchemaDistinta schema{Colonne770, Generi770};
    return schema;
}
const SchemaDistinta& SchemaDma() {
    static constexpr SchemaDistinta schema{ColonneDma, GeneriDma};
    return schema;
}
const SchemaDistinta& SchemaTfr() {
    static constexpr SchemaDistinta schema{ColonneTfr, GeneriTfr};
    return schema;
}
const SchemaDistinta& SchemaUniemens() {
    static constexpr SchemaDistinta schema{ColonneUniemens, GeneriUniemens};
    return schema;
}
const SchemaDistinta& SchemaEmens() {
    static constexpr SchemaDistinta schema{ColonneEmens, GeneriEmens};
    return schema;
}

} // namespace verifica
