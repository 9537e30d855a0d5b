#include "shell/testo.h"

#include <array>

namespace shell {

namespace {

constexpr unsigned char MaiuscolaDi(unsigned u) {
    const bool minuscolaAscii = u >= 'a' && u <= 'z';
    // 0xE0-0xFE are the lower-case accented letters, but for the division sign 0xF7.
    const bool minuscolaAccentata = u >= 0xE0 && u <= 0xFE && u != 0xF7;
    return static_cast<unsigned char>((minuscolaAscii || minuscolaAccentata) ? u - 0x20 : u);
}

// The upper case of every character, by its code.
constexpr std::array<unsigned char, 256> TabellaMaiuscole = [] {
    std::array<unsigned char, 256> tabella{};
    for (unsigned u = 0; u < 256; ++u)
        tabella[u] = MaiuscolaDi(u);
    return tabella;
}();

static_assert(TabellaMaiuscole['a'] == 'A' && TabellaMaiuscole['z'] == 'Z' && TabellaMaiuscole['A'] == 'A');
static_assert(TabellaMaiuscole[0xE0] == 0xC0 && TabellaMaiuscole[0xFE] == 0xDE && TabellaMaiuscole[0xF7] == 0xF7);
static_assert(TabellaMaiuscole[0xDF] == 0xDF && TabellaMaiuscole[0xFF] == 0xFF && TabellaMaiuscole['\t'] == '\t');

} // namespace

char Maiuscola(char c) { return static_cast<char>(TabellaMaiuscole[static_cast<unsigned char>(c)]); }

void InMaiuscolo(std::string& testo) { CopiaInMaiuscolo(testo, testo.data()); }

void CopiaInMaiuscolo(std::string_view testo, char* destinazione) {
    const auto* da = reinterpret_cast<const unsigned char*>(testo.data());
    auto* a = reinterpret_cast<unsigned char*>(destinazione);
    for (std::size_t i = 0; i < testo.size(); ++i)
        a[i] = TabellaMaiuscole[da[i]];
}

std::string Maiuscolo(std::string_view testo) {
    std::string risultato(testo);
    InMaiuscolo(risultato);
    return risultato;
}

std::string_view TogliSpazi(std::string_view testo) {
    const auto inizio = testo.find_first_not_of(' ');
    if (inizio == std::string_view::npos)
        return {};
    return testo.substr(inizio, testo.find_last_not_of(' ') - inizio + 1);
}

std::string_view SenzaSpaziFinali(std::string_view testo) {
    const auto fine = testo.find_last_not_of(' ');
    return fine == std::string_view::npos ? std::string_view() : testo.substr(0, fine + 1);
}

namespace {

// The position of the first control character to show from `da` on, npos when none; a CR LF stays a
// line end when `righe`.
std::size_t PrimoDaMostrare(std::string_view testo, std::size_t da, bool righe) {
    for (std::size_t i = da; i < testo.size(); ++i) {
        if (!CarattereDiControllo(static_cast<unsigned char>(testo[i])))
            continue;
        if (righe && testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') {
            ++i;
            continue;
        }
        return i;
    }
    return std::string_view::npos;
}

std::string_view Mostrato(std::string_view testo, std::string& appoggio, bool righe) {
    std::size_t controllo = PrimoDaMostrare(testo, 0, righe);
    if (controllo == std::string_view::npos)
        return testo;
    constexpr std::string_view Esadecimali = "0123456789ABCDEF";
    appoggio.assign(testo.substr(0, controllo));
    while (controllo != std::string_view::npos) {
        const auto u = static_cast<unsigned char>(testo[controllo]);
        appoggio += "\\x";
        appoggio += Esadecimali[u >> 4];
        appoggio += Esadecimali[u & 0xF];
        const std::size_t seguente = PrimoDaMostrare(testo, controllo + 1, righe);
        appoggio.append(testo.substr(controllo + 1, seguente == std::string_view::npos ? std::string_view::npos
                                                                                       : seguente - controllo - 1));
        controllo = seguente;
    }
    return appoggio;
}

} // namespace

std::string_view TestoVisibile(std::string_view testo, std::string& appoggio) {
    return Mostrato(testo, appoggio, true);
}

std::string_view TestoSuUnaRiga(std::string_view testo, std::string& appoggio) {
    return Mostrato(testo, appoggio, false);
}

std::string TestoSuUnaRiga(std::string_view testo) {
    std::string appoggio;
    return std::string(TestoSuUnaRiga(testo, appoggio));
}

std::string TestoVisibile(std::string_view testo) {
    std::string appoggio;
    return std::string(TestoVisibile(testo, appoggio));
}

std::string RiferimentoCarattere(char32_t codice) { return "&#" + std::to_string(codice) + ";"; }

std::optional<char32_t> RiferimentoAllInizio(std::string_view testo, std::size_t& lunghezza) {
    constexpr char32_t Massimo = 0x10FFFF;
    if (testo.substr(0, 2) != "&#")
        return std::nullopt;
    char32_t codice = 0;
    std::size_t i = 2;
    for (; i < testo.size() && testo[i] >= '0' && testo[i] <= '9' && codice <= Massimo; ++i)
        codice = codice * 10 + static_cast<char32_t>(testo[i] - '0');
    // Digits without a leading zero, then ";": the form RiferimentoCarattere writes.
    if (i == 2 || testo[2] == '0' || i >= testo.size() || testo[i] != ';' || codice <= 0xFF || codice > Massimo)
        return std::nullopt;
    lunghezza = i + 1;
    return codice;
}

std::string Utf8DaLatin1(std::string_view testo) {
    std::string risultato;
    risultato.reserve(testo.size() + testo.size() / 8);
    for (char c : testo) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            risultato += c;
        } else {
            risultato += static_cast<char>(0xC0 | (u >> 6));
            risultato += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return risultato;
}

std::string Latin1DaUtf8(std::string_view testo) {
    std::string risultato;
    risultato.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size();) {
        const auto u = static_cast<unsigned char>(testo[i]);
        if (u < 0x80) {
            risultato += testo[i++];
            continue;
        }
        int seguito = u >= 0xF0 ? 3 : u >= 0xE0 ? 2 : u >= 0xC0 ? 1 : 0;
        unsigned long codice = u & (0x3F >> seguito);
        std::size_t j = i + 1;
        for (int k = 0; k < seguito && j < testo.size() && (static_cast<unsigned char>(testo[j]) & 0xC0) == 0x80;
             ++k, ++j)
            codice = (codice << 6) | (static_cast<unsigned char>(testo[j]) & 0x3F);
        const bool completo = seguito > 0 && j == i + 1 + static_cast<std::size_t>(seguito);
        risultato += (completo && codice <= 0xFF) ? static_cast<char>(codice) : '?';
        i = j;
    }
    return risultato;
}

std::string TestoPercorso(const std::filesystem::path& percorso) {
    const auto u8 = percorso.u8string();
    return Latin1DaUtf8(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

std::filesystem::path PercorsoDaTesto(std::string_view testo) {
    const std::string u8 = Utf8DaLatin1(testo);
    return std::filesystem::path(std::u8string(u8.begin(), u8.end()));
}

} // namespace shell
