#pragma once
// Small text helpers on ISO-8859-1 texts (one byte per character).

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

// Upper case of one ISO-8859-1 character: a-z and the accented letters (0xE0-0xFE to 0xC0-0xDE,
// but the division sign 0xF7); sharp s 0xDF, y with diaeresis 0xFF and every other character stay.
char Maiuscola(char c);
void InMaiuscolo(std::string& testo);
// `testo` upper-cased into `destinazione` (room for testo.size() characters, or testo itself), in
// one pass over the characters.
void CopiaInMaiuscolo(std::string_view testo, char* destinazione);
std::string Maiuscolo(std::string_view testo);

// A decimal digit, 0 to 9.
constexpr bool Cifra(char c) { return c >= '0' && c <= '9'; }

// Leading and trailing spaces (only the blank, character 32) removed.
std::string_view TogliSpazi(std::string_view testo);
// Trailing spaces (only the blank) removed: the text of a field filled with blanks after it.
std::string_view SenzaSpaziFinali(std::string_view testo);

// A control character of ISO-8859-1: codes 0 to 31, 127, and 128 to 159.
constexpr bool CarattereDiControllo(unsigned char u) { return u < 0x20 || (u >= 0x7F && u <= 0x9F); }

// Whether the text holds a control character.
inline bool ConCaratteriDiControllo(std::string_view testo) {
    return std::any_of(testo.begin(), testo.end(),
                       [](char c) { return CarattereDiControllo(static_cast<unsigned char>(c)); });
}

// The text with every control character written as "\x" and two upper-case hexadecimal digits ("\x00"):
// codes 0 to 31 but a CR followed by LF (the line end of the suite's texts), 127, and 128 to 159. A
// message quoting export text shows them so, whole: never cut at a NUL, never moving a terminal's
// cursor. Returns `testo` itself when it holds none, else the text made in `appoggio`.
std::string_view TestoVisibile(std::string_view testo, std::string& appoggio);
std::string TestoVisibile(std::string_view testo);
// The same with every line end shown too: the text of a value or a message on one line of a terminal, a
// diagnostic or a cell, whatever it quotes.
std::string_view TestoSuUnaRiga(std::string_view testo, std::string& appoggio);
std::string TestoSuUnaRiga(std::string_view testo);

// ISO-8859-1 <-> UTF-8. Characters that ISO-8859-1 lacks become "?".
std::string Utf8DaLatin1(std::string_view testo);
std::string Latin1DaUtf8(std::string_view testo);

// A character that ISO-8859-1 lacks, in a text of the suite: the XML character reference of its code in
// decimal, "&#268;" for U+010C (so the checker gives the texts of an XML document that hold one). Only
// codes above U+00FF are written or read so; any other "&#" is text as it stands.
std::string RiferimentoCarattere(char32_t codice);
// The code of such a reference at the start of `testo`, with its length; none when there is none.
std::optional<char32_t> RiferimentoAllInizio(std::string_view testo, std::size_t& lunghezza);

// A path as a text of the suite (ISO-8859-1), and back.
std::string TestoPercorso(const std::filesystem::path& percorso);
std::filesystem::path PercorsoDaTesto(std::string_view testo);

} // namespace shell
