#pragma once
// The letters of a personal tax code that come from the person's names, and its omocodia letters.
// Texts are ISO-8859-1 bytes.

#include <string>
#include <string_view>

namespace anagrafe {

// Characters 1-3 of a tax code: the letters of the surname (accented letters read as their base
// letters, see LetteraBase; blanks, apostrophes, hyphens and every other non-letter dropped), the
// consonants in order, then the vowels in order, then "X" as often as needed, the first three:
// "ROSSI" "RSS", "D'ANGELO" "DNG", "FO" "FOX".
std::string LettereCognome(std::string_view cognome);

// Characters 4-6: as the surname, but a name of four or more consonants takes the first, third and
// fourth of them ("GIANFRANCO" "GFR"; "MARIA" "MRA").
std::string LettereNome(std::string_view nome);

// A 16-character tax code with the omocodia letters (L M N P Q R S T U V for 0 to 9) of its seven
// digit places (7, 8, 10, 11, 13, 14 and 15, counted from 1) turned back into digits; every other
// character as it is. A text of another length comes back unchanged.
std::string DecodificaOmocodia(std::string_view codice);

} // namespace anagrafe
