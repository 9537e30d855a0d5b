#include "anagrafe/persona.h"

#include "anagrafe/codice_fiscale.h"
#include "anagrafe/nomi.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <span>

namespace anagrafe {
namespace {

// ---- Small readings of the texts.

bool Bianco(char c) { return c == ' ' || c == '\xA0' || c == '\t'; }

std::string_view Pulito(std::string_view testo) {
    while (!testo.empty() && Bianco(testo.front()))
        testo.remove_prefix(1);
    while (!testo.empty() && Bianco(testo.back()))
        testo.remove_suffix(1);
    return testo;
}

bool Scritto(const Campo& campo) { return !campo.nome.empty() && !Pulito(campo.valore).empty(); }

std::string Citato(std::string_view testo) {
    std::string citato(1, '\'');
    return citato.append(testo).append(1, '\'');
}

std::string Maiuscolo(std::string_view testo) {
    std::string maiuscolo(testo);
    for (char& c : maiuscolo)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return maiuscolo;
}

// "'A' o 'B' o 'C'".
std::string Alternative(const std::vector<std::string>& testi) {
    std::string unite;
    for (const std::string& t : testi)
        unite.append(unite.empty() ? "" : " o ").append(Citato(t));
    return unite;
}

// ---- The periods of a code against the days it must be in force on.

// Days from `dal` to `al`, both included.
struct Intervallo {
    Data dal;
    Data al;
};

bool InVigoreIn(const PeriodiCodice& periodi, std::span<const Intervallo> giorni) {
    return std::any_of(periodi.begin(), periodi.end(), [&](const Luogo& p) {
        return std::any_of(giorni.begin(), giorni.end(),
                           [&](const Intervallo& g) { return p.dal <= g.al && g.dal <= p.al; });
    });
}

// The period in force on the first of the days, else the last period: the one whose name a finding shows
// first.
Luogo PeriodoDiRiferimento(const PeriodiCodice& periodi, std::span<const Intervallo> giorni) {
    for (const Intervallo& g : giorni)
        for (const Luogo& p : periodi)
            if (p.dal <= g.al && g.dal <= p.al)
                return p;
    return periodi.back();
}

std::string NomeIntero(const Luogo& luogo) {
    return luogo.altroNome.empty() ? std::string(luogo.nome)
                                   : std::string(luogo.nome) + "/" + std::string(luogo.altroNome);
}

std::string TestoPeriodi(const PeriodiCodice& periodi) {
    std::string testo;
    for (const Luogo& p : periodi) {
        testo.append(testo.empty() ? "in vigore dal " : ", dal ").append(DataItaliana(p.dal));
        if (p.al != InVigore)
            testo.append(" al ").append(DataItaliana(p.al));
    }
    return testo;
}

std::string TestoGiorni(std::span<const Intervallo> giorni) {
    std::string testo;
    for (const Intervallo& g : giorni) {
        testo.append(testo.empty() ? "" : " n\xE9 ");
        testo.append(g.dal == g.al ? "il " + DataItaliana(g.dal)
                                   : "dal " + DataItaliana(g.dal) + " al " + DataItaliana(g.al));
    }
    return testo;
}

// ---- A place code, with the name and province written beside it.

// A place code as a record gives it: the code, the days on one of which it must be in force, the fields
// beside it, and how its findings name it.
struct LuogoScritto {
    std::string_view codice;
    std::array<Intervallo, 2> giorni;
    std::size_t quantiGiorni;
    Campo nome;
    Campo provincia;
    Dato datoCodice, datoNome, datoProvincia;
    // What holds the code, and its text: the tax code, or the field of the code.
    std::string_view soggetto; // "codice fiscale", "campo DA001014"
    std::string_view testoSoggetto;
    bool codiceFiscale;           // the code is part of a tax code
    std::string_view cosa;        // "del luogo di nascita"
    std::string_view nomeDi;      // "il luogo di nascita"
    std::string_view provinciaDi; // "la provincia di nascita"

    std::span<const Intervallo> Giorni() const { return {giorni.data(), quantiGiorni}; }
    // How a finding on the code begins: "il codice fiscale 'X' ha il codice", "campo DA001014: codice".
    std::string Chi() const {
        return codiceFiscale ? "il " + std::string(soggetto) + " " + Citato(testoSoggetto) + " ha il codice"
                             : std::string(soggetto) + ": codice";
    }
    // "il codice fiscale 'X' indica", "il campo DA001014 'E507' indica".
    std::string Indica() const { return "il " + std::string(soggetto) + " " + Citato(testoSoggetto) + " indica"; }
};

// The names and provinces that a written field may hold for a code: any name the code ever had (the one
// in force on the days first), any province it had on the days or since (its last one when it ceased
// before them).
std::vector<std::string> NomiAmmessi(const PeriodiCodice& periodi, std::span<const Intervallo> giorni) {
    std::vector<std::string> nomi{NomeIntero(PeriodoDiRiferimento(periodi, giorni))};
    for (const Luogo& p : periodi)
        if (std::find(nomi.begin(), nomi.end(), NomeIntero(p)) == nomi.end())
            nomi.push_back(NomeIntero(p));
    return nomi;
}

bool NomeConcorda(std::string_view scritto, const PeriodiCodice& periodi, std::span<const Intervallo>) {
    // The name as the registry writes it first (most supplies write it so), then as StessoNome compares names,
    // each pair of names once.
    if (std::any_of(periodi.begin(), periodi.end(), [&](const Luogo& p) { return p.nome == scritto; }))
        return true;
    for (auto p = periodi.begin(); p != periodi.end(); ++p) {
        const Luogo luogo = *p;
        const bool giaVisto = std::any_of(periodi.begin(), p, [&](const Luogo& prima) {
            return prima.nome == luogo.nome && prima.altroNome == luogo.altroNome;
        });
        if (!giaVisto && StessoNome(scritto, luogo))
            return true;
    }
    return false;
}

std::vector<std::string> ProvinceAmmesse(const PeriodiCodice& periodi, std::span<const Intervallo> giorni) {
    Data primo = InVigore;
    for (const Intervallo& g : giorni)
        primo = std::min(primo, g.dal);
    std::vector<std::string> province;
    for (const Luogo& p : periodi)
        if (p.al >= primo && std::find(province.begin(), province.end(), p.provincia) == province.end())
            province.emplace_back(p.provincia);
    if (province.empty()) // the code ceased before the days: its last province
        province.emplace_back(periodi.back().provincia);
    std::sort(province.begin(), province.end());
    return province;
}

bool ProvinciaConcorda(std::string_view scritta, const PeriodiCodice& periodi, std::span<const Intervallo> giorni) {
    const std::string sigla = Maiuscolo(scritta);
    Data primo = InVigore;
    for (const Intervallo& g : giorni)
        primo = std::min(primo, g.dal);
    const bool dopo = std::any_of(periodi.begin(), periodi.end(), [&](const Luogo& p) { return p.al >= primo; });
    // As ProvinceAmmesse, without making the list: the periods in force on the days or since, else the last.
    if (!dopo)
        return periodi.back().provincia == sigla;
    return std::any_of(periodi.begin(), periodi.end(),
                       [&](const Luogo& p) { return p.al >= primo && p.provincia == sigla; });
}

bool SiglaNota(std::string_view scritta) { return ProvinciaNota(Maiuscolo(scritta)); }
constexpr std::string_view SiglaInesistente = "sigla di provincia inesistente";

// The fields written beside a place code, each held against the code's periods: a province abbreviation
// no province ever had first (an error), then whether the field agrees with the code (a warning).
struct RegolaAccanto {
    Campo LuogoScritto::*campo;
    Dato LuogoScritto::*dato;
    std::string_view LuogoScritto::*cosa;
    bool (*forma)(std::string_view scritto); // whether the text can be such a field at all; null: any text
    std::string_view formaErrata;            // what it is when it cannot
    bool (*concorda)(std::string_view scritto, const PeriodiCodice&, std::span<const Intervallo>);
    std::vector<std::string> (*ammessi)(const PeriodiCodice&, std::span<const Intervallo>);
};

// clang-format off
const RegolaAccanto RegoleAccanto[] = {
    {&LuogoScritto::nome,      &LuogoScritto::datoNome,      &LuogoScritto::nomeDi,      nullptr,
     {},                             NomeConcorda,      NomiAmmessi},
    {&LuogoScritto::provincia, &LuogoScritto::datoProvincia, &LuogoScritto::provinciaDi, SiglaNota,
     SiglaInesistente,                 ProvinciaConcorda, ProvinceAmmesse},
};
// clang-format on

// Whether a state the code's state took the place of was in force on the days (Successioni).
bool PredecessoreInVigore(const LuogoScritto& luogo) {
    return std::ranges::any_of(Successioni(), [&](const Successione& s) {
        return s.stato == luogo.codice && InVigoreIn(PeriodiDi(s.predecessore), luogo.Giorni());
    });
}

// The code first: one that never existed is an error, and nothing beside it is compared; one not in force
// on the days a warning. Then the fields beside it.
void ControllaLuogo(const LuogoScritto& luogo, std::vector<Riscontro>& riscontri) {
    const PeriodiCodice periodi = PeriodiDi(luogo.codice);
    if (periodi.empty()) {
        riscontri.push_back(
            {luogo.datoCodice, true,
             luogo.Chi() + " " + std::string(luogo.cosa) + " " + Citato(luogo.codice) + " inesistente"});
        return;
    }
    if (!InVigoreIn(periodi, luogo.Giorni()) && !(luogo.codiceFiscale && PredecessoreInVigore(luogo))) {
        const Luogo ultimo = periodi.back();
        riscontri.push_back({luogo.datoCodice, false,
                             luogo.Chi() + " " + std::string(luogo.cosa) + " " + Citato(luogo.codice) + " (" +
                                 NomeIntero(ultimo) + ", " + std::string(ultimo.provincia) + ") non in vigore " +
                                 TestoGiorni(luogo.Giorni()) + ": " + TestoPeriodi(periodi)});
    }
    for (const RegolaAccanto& regola : RegoleAccanto) {
        const Campo& campo = luogo.*regola.campo;
        if (!Scritto(campo))
            continue;
        const std::string_view scritto = Pulito(campo.valore);
        if (regola.forma && !regola.forma(scritto)) {
            riscontri.push_back(
                {luogo.*regola.dato, true,
                 std::string(campo.nome) + " " + Citato(scritto) + ": " + std::string(regola.formaErrata)});
            continue;
        }
        if (!regola.concorda(scritto, periodi, luogo.Giorni()))
            riscontri.push_back({luogo.*regola.dato, false,
                                 luogo.Indica() + " " + std::string(luogo.*regola.cosa) + " " +
                                     Alternative(regola.ammessi(periodi, luogo.Giorni())) + ", il " +
                                     std::string(campo.nome) + " dice " + Citato(scritto)});
    }
}

// ---- The person.

// The letters of a tax code that come from the person's names.
struct RegolaLettere {
    Campo PersonaScritta::*campo;
    Dato dato;
    std::size_t inizio; // of the three letters in the code
    std::string (*lettere)(std::string_view);
    std::string_view cosa;
};

// clang-format off
const RegolaLettere RegoleLettere[] = {
    {&PersonaScritta::cognome, Dato::Cognome, 0, LettereCognome, "il cognome"},
    {&PersonaScritta::nome,    Dato::Nome,    3, LettereNome,    "il nome"},
};
// clang-format on

// The places (from 0) of a decoded code: its year, month letter, day and place code.
constexpr std::size_t PostoAnno = 6, PostoMese = 8, PostoGiorno = 9, PostoLuogo = 11, LunghezzaLuogo = 4;
constexpr std::string_view LettereMese = "ABCDEHLMPRST";

int DueCifreDi(std::string_view testo) { return (testo[0] - '0') * 10 + (testo[1] - '0'); }

// The year today.
int AnnoCorrente() {
    const std::chrono::year_month_day oggi{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    return static_cast<int>(oggi.year());
}

// The days of birth that the place code must be in force on: the written date, or the code's date in
// either century its two-digit year may stand for (the 2000s up to this year).
// Into `luogo`.
void GiorniDiNascita(std::string_view decodificato, const std::optional<Data>& scritta, LuogoScritto& luogo) {
    luogo.quantiGiorni = 0;
    if (scritta) {
        luogo.giorni[luogo.quantiGiorni++] = {*scritta, *scritta};
        return;
    }
    const int anno = DueCifreDi(decodificato.substr(PostoAnno));
    const int mese = static_cast<int>(LettereMese.find(decodificato[PostoMese])) + 1;
    const int giorno = DueCifreDi(decodificato.substr(PostoGiorno)) % 40;
    const int annoCorrente = AnnoCorrente();
    for (const int secolo : {1900, 2000}) {
        const Data d{secolo + anno, mese, giorno};
        if (d.anno <= annoCorrente)
            luogo.giorni[luogo.quantiGiorni++] = {d, d};
    }
}

} // namespace

std::vector<Riscontro> ControllaPersona(const PersonaScritta& persona) {
    std::vector<Riscontro> riscontri;
    const std::string_view codice = Pulito(persona.codiceFiscale.valore);
    if (codice.size() != 16 || !ControllaCodiceFiscale(codice).Valido())
        return riscontri;
    for (const RegolaLettere& regola : RegoleLettere) {
        const Campo& campo = persona.*regola.campo;
        if (!Scritto(campo))
            continue;
        const std::string_view scritto = Pulito(campo.valore);
        const std::string_view delCodice = codice.substr(regola.inizio, 3);
        if (regola.lettere(scritto) != delCodice)
            riscontri.push_back({regola.dato, false,
                                 "il codice fiscale " + Citato(codice) + " indica " + std::string(regola.cosa) + " " +
                                     Citato(delCodice) + ", il " + std::string(campo.nome) + " dice " +
                                     Citato(scritto)});
    }
    const std::string decodificato = DecodificaOmocodia(codice);
    LuogoScritto luogo{std::string_view(decodificato).substr(PostoLuogo, LunghezzaLuogo),
                       {},
                       0,
                       persona.luogoNascita,
                       persona.provinciaNascita,
                       Dato::CodiceFiscale,
                       Dato::LuogoNascita,
                       Dato::ProvinciaNascita,
                       "codice fiscale",
                       codice,
                       true,
                       "del luogo di nascita",
                       "il luogo di nascita",
                       "la provincia di nascita"};
    GiorniDiNascita(decodificato, persona.nascita, luogo);
    ControllaLuogo(luogo, riscontri);
    return riscontri;
}

std::vector<Riscontro> ControllaComune(const ComuneScritto& comune) {
    std::vector<Riscontro> riscontri;
    if (!Scritto(comune.codice))
        return riscontri;
    // As written: a record pads its fields with blanks after the text, and a code with a blank before it or in
    // lower case is none of the registry's.
    std::string_view codice = comune.codice.valore;
    while (!codice.empty() && codice.back() == ' ')
        codice.remove_suffix(1);
    LuogoScritto luogo{codice,
                       {{{comune.dal, comune.al}}},
                       1,
                       comune.nome,
                       comune.provincia,
                       Dato::CodiceComune,
                       Dato::NomeComune,
                       Dato::ProvinciaComune,
                       comune.codice.nome,
                       codice,
                       false,
                       comune.cosa,
                       "il comune",
                       "la provincia"};
    ControllaLuogo(luogo, riscontri);
    return riscontri;
}

std::vector<Riscontro> ControllaProvincia(const Campo& provincia) {
    std::vector<Riscontro> riscontri;
    if (Scritto(provincia) && !SiglaNota(Pulito(provincia.valore)))
        riscontri.push_back({Dato::Provincia, true,
                             std::string(provincia.nome) + " " + Citato(Pulito(provincia.valore)) + ": " +
                                 std::string(SiglaInesistente)});
    return riscontri;
}

std::string LuogoDelCodice(std::string_view codice, Data data) {
    const PeriodiCodice periodi = PeriodiDi(codice);
    if (periodi.empty())
        return {};
    const Intervallo giorno{data, data};
    const Luogo luogo = PeriodoDiRiferimento(periodi, {&giorno, 1});
    return NomeIntero(luogo) + " (" + std::string(luogo.provincia) + ")";
}

} // namespace anagrafe
