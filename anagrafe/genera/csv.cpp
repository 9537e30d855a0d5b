#include "anagrafe/genera/csv.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace anagrafe::genera {
namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

[[noreturn]] void Errore(std::size_t linea, const std::string& messaggio) {
    throw std::runtime_error("line " + std::to_string(linea) + ": " + messaggio);
}

bool FineRiga(std::string_view testo, std::size_t i) {
    return testo[i] == '\n' || (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n');
}

// One row from testo[i]: i moves past its line end, linea counts the line ends passed.
std::vector<std::string> LeggiRiga(std::string_view testo, std::size_t& i, std::size_t& linea) {
    std::vector<std::string> riga;
    for (;;) {
        std::string campo;
        if (i < testo.size() && testo[i] == '"') {
            const std::size_t lineaApertura = linea;
            ++i;
            for (;;) {
                if (i == testo.size()) {
                    Errore(lineaApertura, "a quoted field is never closed");
                }
                const char c = testo[i++];
                if (c != '"') {
                    linea += c == '\n' ? 1 : 0;
                    campo += c;
                } else if (i < testo.size() && testo[i] == '"') {
                    campo += '"';
                    ++i;
                } else {
                    break;
                }
            }
        } else {
            while (i < testo.size() && testo[i] != ',' && !FineRiga(testo, i)) {
                if (testo[i] == '"') {
                    Errore(linea, "a quote inside a field that does not start with one");
                }
                campo += testo[i++];
            }
        }
        riga.push_back(std::move(campo));
        if (i == testo.size()) {
            return riga;
        }
        if (testo[i] == ',') {
            ++i;
        } else if (FineRiga(testo, i)) {
            i += testo[i] == '\r' ? 2 : 1;
            ++linea;
            return riga;
        } else {
            Errore(linea, "text after the closing quote of a field");
        }
    }
}

// The code points of a UTF-8 text.
std::u32string CodiciUtf8(std::string_view utf8) {
    std::u32string codici;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto primo = static_cast<unsigned char>(utf8[i]);
        std::size_t seguiti = 0;
        char32_t codice = 0;
        char32_t minimo = 0;
        if (primo < 0x80) {
            codice = primo;
        } else if ((primo & 0xE0) == 0xC0) {
            seguiti = 1;
            codice = primo & 0x1F;
            minimo = 0x80;
        } else if ((primo & 0xF0) == 0xE0) {
            seguiti = 2;
            codice = primo & 0x0F;
            minimo = 0x800;
        } else if ((primo & 0xF8) == 0xF0) {
            seguiti = 3;
            codice = primo & 0x07;
            minimo = 0x10000;
        } else {
            throw std::runtime_error("not UTF-8: byte " + std::to_string(primo));
        }
        if (i + seguiti >= utf8.size() && seguiti > 0) {
            throw std::runtime_error("not UTF-8: a character cut short");
        }
        for (std::size_t k = 1; k <= seguiti; ++k) {
            const auto seguito = static_cast<unsigned char>(utf8[i + k]);
            if ((seguito & 0xC0) != 0x80) {
                throw std::runtime_error("not UTF-8: a character cut short");
            }
            codice = codice * 64 + (seguito & 0x3F);
        }
        if (codice < minimo || codice > 0x10FFFF || (codice >= 0xD800 && codice <= 0xDFFF)) {
            throw std::runtime_error("not UTF-8: an invalid character");
        }
        codici.push_back(codice);
        i += seguiti + 1;
    }
    return codici;
}

char32_t Maiuscola(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return c - 0x20;
    }
    return c;
}

// Letters outside ISO-8859-1 and the upper-case base letters they lose their accent to (Latin
// Extended-A whole, the Romanian S and T with comma below), and the typographic apostrophes and
// dashes.
struct RigaSenzaAccenti {
    char32_t primo;
    char32_t ultimo;
    std::string_view base;
};

// clang-format off
constexpr RigaSenzaAccenti RigheSenzaAccenti[] = {
    {0x0100, 0x0105, "A"},  {0x0106, 0x010D, "C"}, {0x010E, 0x0111, "D"}, {0x0112, 0x011B, "E"},
    {0x011C, 0x0123, "G"},  {0x0124, 0x0127, "H"}, {0x0128, 0x0131, "I"}, {0x0132, 0x0133, "IJ"},
    {0x0134, 0x0135, "J"},  {0x0136, 0x0138, "K"}, {0x0139, 0x0142, "L"}, {0x0143, 0x014B, "N"},
    {0x014C, 0x0151, "O"},  {0x0152, 0x0153, "OE"}, {0x0154, 0x0159, "R"}, {0x015A, 0x0161, "S"},
    {0x0162, 0x0167, "T"},  {0x0168, 0x0173, "U"}, {0x0174, 0x0175, "W"}, {0x0176, 0x0178, "Y"},
    {0x0179, 0x017E, "Z"},  {0x017F, 0x017F, "S"}, {0x0218, 0x0219, "S"}, {0x021A, 0x021B, "T"},
    {0x2013, 0x2014, "-"},  {0x2018, 0x2019, "'"},
};
// clang-format on

// The text in ISO-8859-1, upper case; a character outside it through RigheSenzaAccenti when
// senzaAccenti, else none.
std::optional<std::string> Converti(std::string_view utf8, bool senzaAccenti) {
    std::string latin1;
    for (char32_t codice : CodiciUtf8(utf8)) {
        const char32_t maiuscola = Maiuscola(codice);
        if (maiuscola <= 0xFF) {
            latin1 += static_cast<char>(maiuscola);
            continue;
        }
        if (!senzaAccenti) {
            return std::nullopt;
        }
        const RigaSenzaAccenti* trovata = nullptr;
        for (const RigaSenzaAccenti& riga : RigheSenzaAccenti) {
            if (codice >= riga.primo && codice <= riga.ultimo) {
                trovata = &riga;
            }
        }
        if (trovata == nullptr) {
            std::ostringstream messaggio;
            messaggio << "character U+" << std::hex << std::uppercase << static_cast<std::uint32_t>(codice)
                      << " has no ISO-8859-1 form";
            throw std::runtime_error(messaggio.str());
        }
        latin1 += trovata->base;
    }
    return latin1;
}

} // namespace

std::size_t TabellaCsv::Colonna(std::string_view nome) const {
    for (std::size_t i = 0; i < colonne.size(); ++i) {
        if (colonne[i] == nome) {
            return i;
        }
    }
    throw std::runtime_error("no column " + std::string(nome));
}

TabellaCsv LeggiCsv(std::string_view testo) {
    if (testo.starts_with(Bom)) {
        testo.remove_prefix(Bom.size());
    }
    if (testo.empty()) {
        throw std::runtime_error("an empty file");
    }
    TabellaCsv tabella;
    std::size_t i = 0;
    std::size_t linea = 1;
    tabella.colonne = LeggiRiga(testo, i, linea);
    while (i < testo.size()) {
        const std::size_t inizio = linea;
        tabella.righe.push_back(LeggiRiga(testo, i, linea));
        if (tabella.righe.back().size() != tabella.colonne.size()) {
            Errore(inizio, std::to_string(tabella.righe.back().size()) + " fields, not " +
                               std::to_string(tabella.colonne.size()));
        }
    }
    return tabella;
}

std::string LeggiFile(const std::string& percorso) {
    std::ifstream file(percorso, std::ios::binary);
    std::ostringstream testo;
    testo << file.rdbuf();
    if (!file) {
        throw std::runtime_error("cannot read " + percorso);
    }
    return testo.str();
}

std::optional<std::string> Latin1Maiuscolo(std::string_view utf8) { return Converti(utf8, false); }

std::string Latin1MaiuscoloSenzaAccenti(std::string_view utf8) { return *Converti(utf8, true); }

} // namespace anagrafe::genera
