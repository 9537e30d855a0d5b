#pragma once
// What the three parts of the XML reader share: the classes of characters and bytes, UTF-8 decoding, the
// tables that stop the scan of each kind of text. For the reader's own sources only.

#include "xml/lettore_xml.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace xml {

// Classes of a byte in a name.
enum : std::uint8_t {
    NomeSegue = 1,     // may follow the first character of a name
    NomeInizia = 2,    // may begin a name
    NomeDecodifica = 4 // begins a character of more than one byte: decode it first
};

struct Intervallo {
    char32_t da, a;
    std::uint8_t classe;
};

// clang-format off
// Name characters of XML 1.0, fifth edition (productions [4] and [4a]): NameStartChar, then the
// characters that may only follow it.
inline constexpr auto CaratteriNome = std::to_array<Intervallo>({
//   da        a         classe
    {':',     ':',      NomeInizia | NomeSegue},
    {'A',     'Z',      NomeInizia | NomeSegue},
    {'_',     '_',      NomeInizia | NomeSegue},
    {'a',     'z',      NomeInizia | NomeSegue},
    {0xC0,    0xD6,     NomeInizia | NomeSegue},
    {0xD8,    0xF6,     NomeInizia | NomeSegue},
    {0xF8,    0x2FF,    NomeInizia | NomeSegue},
    {0x370,   0x37D,    NomeInizia | NomeSegue},
    {0x37F,   0x1FFF,   NomeInizia | NomeSegue},
    {0x200C,  0x200D,   NomeInizia | NomeSegue},
    {0x2070,  0x218F,   NomeInizia | NomeSegue},
    {0x2C00,  0x2FEF,   NomeInizia | NomeSegue},
    {0x3001,  0xD7FF,   NomeInizia | NomeSegue},
    {0xF900,  0xFDCF,   NomeInizia | NomeSegue},
    {0xFDF0,  0xFFFD,   NomeInizia | NomeSegue},
    {0x10000, 0xEFFFF,  NomeInizia | NomeSegue},
    {'-',     '-',      NomeSegue},
    {'.',     '.',      NomeSegue},
    {'0',     '9',      NomeSegue},
    {0xB7,    0xB7,     NomeSegue},
    {0x300,   0x36F,    NomeSegue},
    {0x203F,  0x2040,   NomeSegue},
});
// clang-format on

constexpr std::uint8_t ClasseNome(char32_t c) {
    for (const Intervallo& i : CaratteriNome)
        if (c >= i.da && c <= i.a)
            return i.classe;
    return 0;
}

// Char of XML 1.0 (production [2]).
constexpr bool CarattereXML(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

inline unsigned char U(char c) { return static_cast<unsigned char>(c); }

// One UTF-8 character from p (its first byte 0x80 or above), at most up to `fine`: its code point
// and length, or false when the bytes are not UTF-8 (overlong forms and surrogates included).
inline bool DecodificaUtf8(const char* p, const char* fine, char32_t& carattere, int& lunghezza) {
    const unsigned char u = U(*p);
    char32_t minimo;
    if ((u & 0xE0) == 0xC0) {
        lunghezza = 2;
        carattere = u & 0x1F;
        minimo = 0x80;
    } else if ((u & 0xF0) == 0xE0) {
        lunghezza = 3;
        carattere = u & 0x0F;
        minimo = 0x800;
    } else if ((u & 0xF8) == 0xF0) {
        lunghezza = 4;
        carattere = u & 0x07;
        minimo = 0x10000;
    } else {
        lunghezza = 1;
        return false;
    }
    for (int i = 1; i < lunghezza; ++i) {
        if (p + i >= fine || (U(p[i]) & 0xC0) != 0x80) {
            lunghezza = i + 1 <= fine - p ? i + 1 : static_cast<int>(fine - p);
            return false;
        }
        carattere = carattere << 6 | (U(p[i]) & 0x3F);
    }
    return carattere >= minimo && carattere <= 0x10FFFF && (carattere < 0xD800 || carattere > 0xDFFF);
}

inline std::string Esadecimale(unsigned long valore, int cifre) {
    constexpr char Esadecimali[] = "0123456789ABCDEF";
    std::string testo(static_cast<std::size_t>(cifre), '0');
    for (int i = cifre - 1; i >= 0; --i, valore >>= 4)
        testo[static_cast<std::size_t>(i)] = Esadecimali[valore & 15];
    return testo;
}

inline std::string CodicePunto(char32_t c) {
    std::string testo = "U+";
    return testo.append(Esadecimale(c, c > 0xFFFF ? 6 : 4));
}

inline std::string EsaByte(unsigned char u) {
    std::string testo = "0x";
    return testo.append(Esadecimale(u, 2));
}

// The bytes that stop the quick scan of each kind of text: control characters (TAB only where it
// must become a blank), the kind's own markup, and the bytes of characters longer than one byte.
struct Tabelle {
    using Tabella = std::array<std::uint8_t, 256>;
    Tabella testo;
    Tabella valore;
    Tabella commento;
    Tabella istruzione;
    Tabella cdata;
    Tabella nome;
};

constexpr Tabelle::Tabella Ferma(std::string_view markup, bool tab, bool oltreAscii) {
    Tabelle::Tabella t{};
    for (unsigned b = 0; b < 0x20; ++b)
        t[b] = 1;
    t['\t'] = tab ? 1 : 0;
    for (const char c : markup)
        t[static_cast<unsigned char>(c)] = 1;
    if (oltreAscii)
        for (unsigned b = 0x80; b < 0x100; ++b)
            t[b] = 1;
    return t;
}

constexpr Tabelle CreaTabelle(bool unByte) {
    Tabelle t{};
    t.testo = Ferma("<&]", false, !unByte);
    t.valore = Ferma("<&\"'", true, !unByte);
    t.commento = Ferma("-", false, !unByte);
    t.istruzione = Ferma("?", false, !unByte);
    t.cdata = Ferma("]", false, !unByte);
    for (unsigned b = 0; b < 0x100; ++b)
        t.nome[b] = b < 0x80 || unByte ? ClasseNome(b) : static_cast<std::uint8_t>(NomeDecodifica);
    return t;
}

// ISO-8859-1, where every byte is a character; UTF-8 and US-ASCII, where the bytes above 0x7F are
// decoded (or refused) one character at a time.
inline constexpr Tabelle TabelleLatin1 = CreaTabelle(true);
inline constexpr Tabelle TabelleMultibyte = CreaTabelle(false);

// The first byte from p that its table stops at; the NUL after the bytes read stops every table.
inline const char* Fermata(const char* p, const Tabelle::Tabella& tabella) {
    while (!tabella[U(*p)])
        ++p;
    return p;
}

} // namespace xml
