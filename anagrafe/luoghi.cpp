#include "anagrafe/luoghi.h"

#include "anagrafe/lettere.h"
#include "anagrafe/luoghi_tabella.h"
#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace anagrafe {
namespace {

using tabella::RigaLuogo;

constexpr std::size_t LunghezzaCodice = 4;
constexpr std::size_t LunghezzaSigla = 2;

std::string_view CodiceNumero(std::size_t indice) {
    return {tabella::Codici + indice * LunghezzaCodice, LunghezzaCodice};
}

std::string_view SiglaNumero(std::size_t indice) {
    return {tabella::Province + indice * LunghezzaSigla, LunghezzaSigla};
}

// A yyyymmdd date of the registries.
Data DataTabella(std::uint32_t aaaammgg) {
    return {static_cast<int>(aaaammgg / 10000), static_cast<int>(aaaammgg / 100 % 100),
            static_cast<int>(aaaammgg % 100)};
}

Luogo LuogoRiga(const RigaLuogo& riga) {
    Luogo luogo;
    luogo.codice = CodiceNumero(riga.codice);
    const char* nomi = tabella::Nomi + riga.nome;
    luogo.nome = nomi;
    luogo.altroNome = nomi + luogo.nome.size() + 1;
    luogo.provincia = {riga.provincia, LunghezzaSigla};
    luogo.dal = DataTabella(riga.dal);
    luogo.al = DataTabella(riga.al);
    luogo.estero = luogo.provincia == "EE";
    return luogo;
}

// A code of 4 characters as a number that sorts as the text does.
std::uint32_t Chiave(std::string_view codice) {
    std::uint32_t chiave = 0;
    for (const char c : codice) {
        chiave = chiave << 8 | static_cast<unsigned char>(c);
    }
    return chiave;
}

std::uint32_t ChiaveNumero(std::size_t indice) { return Chiave(CodiceNumero(indice)); }

// The first of the indices 0 to n - 1 whose key is not less than `cercato` (n when none), the keys ascending
// with the index.
template <typename K, typename F> std::size_t PrimoNonMinore(std::size_t n, const K& cercato, F chiave) {
    std::size_t basso = 0, alto = n;
    while (basso < alto) {
        const std::size_t mezzo = basso + (alto - basso) / 2;
        if (chiave(mezzo) < cercato)
            basso = mezzo + 1;
        else
            alto = mezzo;
    }
    return basso;
}

// The rows of the code: a binary search among the codes, then among the rows.
std::span<const RigaLuogo> RigheCodice(std::string_view codice) {
    if (codice.size() != LunghezzaCodice) {
        return {};
    }
    const std::uint32_t chiave = Chiave(codice);
    const std::size_t trovato = PrimoNonMinore(tabella::NumeroCodici, chiave, ChiaveNumero);
    if (trovato == tabella::NumeroCodici || ChiaveNumero(trovato) != chiave) {
        return {};
    }
    // The first row of each code, and past the last code the end: the rows are by code.
    static const std::vector<std::uint32_t> primaRiga = [] {
        std::vector<std::uint32_t> prime(tabella::NumeroCodici + 1);
        std::size_t r = 0;
        for (std::size_t c = 0; c <= tabella::NumeroCodici; ++c) {
            while (r < tabella::NumeroRighe && tabella::Righe[r].codice < c) {
                ++r;
            }
            prime[c] = static_cast<std::uint32_t>(r);
        }
        return prime;
    }();
    return {tabella::Righe + primaRiga[trovato], tabella::Righe + primaRiga[trovato + 1]};
}

// A name as StessoNome compares it: base letters, the characters it leaves out dropped.
std::string FormaConfronto(std::string_view nome) {
    constexpr std::string_view Tralasciati = " \xA0'`\xB4-./";
    // Beyond ISO-8859-1, written as references: the typographic apostrophes and the dash.
    constexpr char32_t TralasciatiEstesi[] = {0x2018, 0x2019, 0x2013};
    std::string forma;
    for (std::size_t i = 0; i < nome.size();) {
        std::size_t lunghezza = 0;
        const auto codice = shell::RiferimentoAllInizio(nome.substr(i), lunghezza);
        if (codice && std::ranges::find(TralasciatiEstesi, *codice) != std::end(TralasciatiEstesi)) {
            i += lunghezza;
            continue;
        }
        const char c = nome[i];
        const std::string_view lettera = LetteraBaseIn(nome, i);
        if (!lettera.empty()) {
            forma += lettera;
        } else if (Tralasciati.find(c) == std::string_view::npos) {
            forma += codice ? std::string(nome.substr(i - lunghezza, lunghezza)) : std::string(1, c);
        }
    }
    return forma;
}

// Names that payroll exports write for a municipality beside the registry's, and why.
struct NomeInUso {
    std::string_view codice;
    std::string_view nome;
};
// clang-format off
constexpr NomeInUso NomiInUso[] = {
    {"H223", "REGGIO EMILIA"},   // the name in use; the registry writes REGGIO NELL'EMILIA
    {"H224", "REGGIO CALABRIA"}, // the name in use; the registry writes REGGIO DI CALABRIA
};
// clang-format on

// A word that exports shorten, and the words it stands for: "S. GIOVANNI IN PERSICETO", "S.ANNA ARRESI".
struct Abbreviazione {
    std::string_view breve;
    std::array<std::string_view, 4> intere;
};
constexpr Abbreviazione Abbreviazioni[] = {{"S.", {"SAN ", "SANTO ", "SANTA ", "SANT'"}}};

// At most this many abbreviations of one name are read as their whole words, each way.
constexpr int AbbreviazioniMassime = 3;

bool InizioParola(std::string_view testo, std::size_t i) {
    return i == 0 || testo[i - 1] == ' ' || testo[i - 1] == '-' || testo[i - 1] == '/';
}

// Whether `scritto`, with its abbreviations from `da` on read as any of their whole words, has the form
// of one of `forme`.
bool UnaForma(const std::string& scritto, std::size_t da, int restanti, std::span<const std::string> forme) {
    if (std::ranges::find(forme, FormaConfronto(scritto)) != forme.end())
        return true;
    if (restanti == 0)
        return false;
    for (std::size_t i = da; i < scritto.size(); ++i)
        for (const Abbreviazione& a : Abbreviazioni)
            if (InizioParola(scritto, i) && std::string_view(scritto).substr(i, a.breve.size()) == a.breve)
                for (const std::string_view intera : a.intere) {
                    std::size_t dopo = i + a.breve.size();
                    while (dopo < scritto.size() && scritto[dopo] == ' ')
                        ++dopo;
                    const std::string letto = scritto.substr(0, i) + std::string(intera) + scritto.substr(dopo);
                    if (UnaForma(letto, i + intera.size(), restanti - 1, forme))
                        return true;
                }
    return false;
}

} // namespace

Luogo PeriodiCodice::Iteratore::operator*() const { return LuogoRiga(*m_riga); }

PeriodiCodice PeriodiDi(std::string_view codice) { return PeriodiCodice(RigheCodice(codice)); }

std::vector<Luogo> Periodi(std::string_view codice) {
    const PeriodiCodice periodi = PeriodiDi(codice);
    return {periodi.begin(), periodi.end()};
}

bool CodiceEsiste(std::string_view codice) { return !RigheCodice(codice).empty(); }

std::optional<Luogo> LuogoInData(std::string_view codice, Data data) {
    for (const Luogo& luogo : PeriodiDi(codice)) {
        if (luogo.dal <= data && data <= luogo.al) {
            return luogo;
        }
    }
    return std::nullopt;
}

std::span<const Successione> Successioni() {
    // clang-format off
    static constexpr Successione Tabella[] = {
        {"Z157", "Z118"}, // SERBIA E MONTENEGRO after JUGOSLAVIA, 2003-02-04
        {"Z250", "Z201"}, // YEMEN DEL SUD after the FEDERAZIONE DELL'ARABIA MERIDIONALE, 1975-12-31
        {"Z250", "Z202"}, // and after the PROTETTORATO DELL'ARABIA MERIDIONALE
    };
    // clang-format on
    return Tabella;
}

bool ProvinciaNota(std::string_view sigla) {
    const std::size_t trovato = PrimoNonMinore(tabella::NumeroProvince, sigla, SiglaNumero);
    return trovato != tabella::NumeroProvince && SiglaNumero(trovato) == sigla;
}

bool StessoNome(std::string_view scritto, const Luogo& luogo) {
    if (FormaConfronto(scritto).empty()) {
        return false;
    }
    const std::string nome = FormaConfronto(luogo.nome);
    const std::string altro = FormaConfronto(luogo.altroNome);
    std::vector<std::string> forme{nome};
    if (!altro.empty()) {
        forme.insert(forme.end(), {altro, nome + altro, altro + nome});
    }
    for (const NomeInUso& n : NomiInUso) {
        if (n.codice == luogo.codice) {
            forme.push_back(FormaConfronto(n.nome));
        }
    }
    return UnaForma(std::string(scritto), 0, AbbreviazioniMassime, forme);
}

} // namespace anagrafe
