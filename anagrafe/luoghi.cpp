#include "anagrafe/luoghi.h"

#include "anagrafe/lettere.h"
#include "anagrafe/luoghi_tabella.h"

#include <algorithm>
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
    std::string forma;
    for (char c : nome) {
        const std::string_view lettera = LetteraBase(c);
        if (!lettera.empty()) {
            forma += lettera;
        } else if (Tralasciati.find(c) == std::string_view::npos) {
            forma += c;
        }
    }
    return forma;
}

} // namespace

std::vector<Luogo> Periodi(std::string_view codice) {
    std::vector<Luogo> periodi;
    for (const RigaLuogo& riga : RigheCodice(codice)) {
        periodi.push_back(LuogoRiga(riga));
    }
    return periodi;
}

bool CodiceEsiste(std::string_view codice) { return !RigheCodice(codice).empty(); }

std::optional<Luogo> LuogoInData(std::string_view codice, Data data) {
    for (const RigaLuogo& riga : RigheCodice(codice)) {
        Luogo luogo = LuogoRiga(riga);
        if (luogo.dal <= data && data <= luogo.al) {
            return luogo;
        }
    }
    return std::nullopt;
}

bool ProvinciaNota(std::string_view sigla) {
    const std::size_t trovato = PrimoNonMinore(tabella::NumeroProvince, sigla, SiglaNumero);
    return trovato != tabella::NumeroProvince && SiglaNumero(trovato) == sigla;
}

bool StessoNome(std::string_view scritto, const Luogo& luogo) {
    const std::string forma = FormaConfronto(scritto);
    if (forma.empty()) {
        return false;
    }
    const std::string nome = FormaConfronto(luogo.nome);
    if (forma == nome) {
        return true;
    }
    const std::string altro = FormaConfronto(luogo.altroNome);
    return !altro.empty() && (forma == altro || forma == nome + altro || forma == altro + nome);
}

} // namespace anagrafe
