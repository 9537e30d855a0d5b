#include "anagrafe/codice_fiscale.h"
#include "shell/testo.h"

#include <array>
#include <cstddef>

namespace anagrafe {
namespace {

// What each of the 16 places of a personal code holds.
enum class Posto {
    Lettera, // A-Z
    Cifra,   // 0-9, or its omocodia letter
};

// clang-format off
inline constexpr std::array<Posto, 16> PostiPersonale = {
    Posto::Lettera, Posto::Lettera, Posto::Lettera,   // surname
    Posto::Lettera, Posto::Lettera, Posto::Lettera,   // name
    Posto::Cifra,   Posto::Cifra,                     // year
    Posto::Lettera,                                   // month
    Posto::Cifra,   Posto::Cifra,                     // day (+ 40 for women)
    Posto::Lettera, Posto::Cifra, Posto::Cifra, Posto::Cifra, // place
    Posto::Lettera,                                   // check letter
};

// Omocodia: the letter that stands for each digit, 0 to 9, when two persons would share a code.
inline constexpr std::string_view LettereOmocodia = "LMNPQRSTUV";

// The month letters, January to December, and the most days of each month: February has its 29th only in
// a year whose two digits are a multiple of 4, a leap year in one of the two centuries they may stand for
// (1980 and 2080; 1900, not a leap year, is 00 with 2000, which is).
inline constexpr std::string_view LettereMese = "ABCDEHLMPRST";
inline constexpr std::array<int, 12> GiorniMese = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
inline constexpr std::array<std::string_view, 12> NomiMese = {
    "gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno",
    "luglio", "agosto", "settembre", "ottobre", "novembre", "dicembre"};

// Check letter: a character in an odd place (1st, 3rd, ...) counts by this table, indexed by the digit
// or by the letter's place in the alphabet; in an even place it counts its digit or its place itself.
inline constexpr std::array<int, 26> ValoriDispari = {
    1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

// Office codes (digits 8-10 of a numeric code) in use.
struct IntervalloUffici {
    int da, a;
};
inline constexpr std::array<IntervalloUffici, 4> UfficiNoti = {{{1, 100}, {120, 121}, {888, 888}, {999, 999}}};
// clang-format on

using shell::Cifra;
using shell::SenzaSpaziFinali;
bool Lettera(char c) { return c >= 'A' && c <= 'Z'; }

// The digit that a place of the Cifra kind stands for (its omocodia letter read back).
int ValoreCifra(char c) {
    if (Cifra(c))
        return c - '0';
    return static_cast<int>(LettereOmocodia.find(c));
}

std::string Carattere(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 0x20 && u < 0x7F) || u >= 0xA0)
        return std::string("'") + c + "'";
    constexpr char Esa[] = "0123456789ABCDEF";
    return std::string("0x") + Esa[u >> 4] + Esa[u & 15];
}

std::string DueCifre(int n) { return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}; }

std::string ControllaForma(std::string_view codice) {
    for (std::size_t i = 0; i < PostiPersonale.size(); ++i) {
        const char c = codice[i];
        const bool lettera = PostiPersonale[i] == Posto::Lettera;
        if (lettera ? Lettera(c) : Cifra(c) || LettereOmocodia.find(c) != std::string_view::npos)
            continue;
        return "carattere " + Carattere(c) + " in posizione " + std::to_string(i + 1) +
               (lettera ? ": attesa una lettera"
                        : ": attesa una cifra o una delle lettere " + std::string(LettereOmocodia));
    }
    return {};
}

struct NascitaCodice {
    int anno; // two digits
    int mese; // 1-12
    int giorno;
    char sesso;
};

// The birth data of a personal code of the right shape, or the reason its date is not real.
std::string LeggiNascita(std::string_view codice, NascitaCodice& nascita) {
    const auto mese = LettereMese.find(codice[8]);
    if (mese == std::string_view::npos)
        return "data di nascita non valida: " + Carattere(codice[8]) + " non \xE8 una lettera di mese";
    const int giorno = ValoreCifra(codice[9]) * 10 + ValoreCifra(codice[10]);
    const bool donna = giorno > 40;
    const int delMese = donna ? giorno - 40 : giorno;
    if (delMese < 1 || delMese > 31)
        return "data di nascita non valida: giorno " + DueCifre(giorno);
    if (delMese > GiorniMese[mese])
        return "data di nascita non valida: " + std::to_string(delMese) + " " + std::string(NomiMese[mese]);
    const int anno = ValoreCifra(codice[6]) * 10 + ValoreCifra(codice[7]);
    constexpr std::size_t Febbraio = 1;
    if (mese == Febbraio && delMese == GiorniMese[Febbraio] && anno % 4 != 0)
        return "data di nascita non valida: 29 febbraio di un anno che non \xE8 bisestile in nessuno dei due secoli "
               "('" +
               DueCifre(anno) + "')";
    nascita = {anno, static_cast<int>(mese) + 1, delMese, donna ? 'F' : 'M'};
    return {};
}

EsitoCodiceFiscale ControllaPersonale(std::string_view codice) {
    if (std::string errore = ControllaForma(codice); !errore.empty())
        return {std::move(errore), {}};
    NascitaCodice nascita{};
    if (std::string errore = LeggiNascita(codice, nascita); !errore.empty())
        return {std::move(errore), {}};
    const char atteso = *CarattereDiControllo(codice.substr(0, 15));
    if (codice[15] != atteso)
        return {"carattere di controllo " + Carattere(codice[15]) + " errato, atteso " + Carattere(atteso), {}};
    return {};
}

EsitoCodiceFiscale ControllaNumerico(std::string_view codice) {
    for (std::size_t i = 0; i < codice.size(); ++i)
        if (!Cifra(codice[i]))
            return {"carattere " + Carattere(codice[i]) + " in posizione " + std::to_string(i + 1) +
                        ": attese 11 cifre",
                    {}};
    const char attesa = *CifraDiControllo(codice.substr(0, 10));
    if (codice[10] != attesa)
        return {"cifra di controllo " + Carattere(codice[10]) + " errata, attesa " + Carattere(attesa), {}};
    if (!UfficioNoto(codice))
        return {{}, "codice ufficio " + std::string(codice.substr(7, 3)) + " non tra quelli noti"};
    return {};
}

} // namespace

EsitoCodiceFiscale ControllaCodiceFiscale(std::string_view codice) {
    codice = SenzaSpaziFinali(codice);
    if (codice.size() == 16)
        return ControllaPersonale(codice);
    if (codice.size() == 11)
        return ControllaNumerico(codice);
    return {"lunghezza " + std::to_string(codice.size()) + ", attesi 16 caratteri o 11 cifre", {}};
}

std::optional<char> CarattereDiControllo(std::string_view quindici) {
    if (quindici.size() != 15)
        return std::nullopt;
    int somma = 0;
    for (std::size_t i = 0; i < quindici.size(); ++i) {
        const char c = quindici[i];
        if (!Cifra(c) && !Lettera(c))
            return std::nullopt;
        const int valore = Cifra(c) ? c - '0' : c - 'A';
        somma += i % 2 == 0 ? ValoriDispari[static_cast<std::size_t>(valore)] : valore;
    }
    return static_cast<char>('A' + somma % 26);
}

std::optional<char> CifraDiControllo(std::string_view dieci) {
    if (dieci.size() != 10)
        return std::nullopt;
    int somma = 0;
    for (std::size_t i = 0; i < dieci.size(); ++i) {
        if (!Cifra(dieci[i]))
            return std::nullopt;
        int valore = dieci[i] - '0';
        // The digits in even places (2nd, 4th, ...) count doubled, less 9 when that passes 9.
        if (i % 2 == 1) {
            valore *= 2;
            if (valore > 9)
                valore -= 9;
        }
        somma += valore;
    }
    return static_cast<char>('0' + (10 - somma % 10) % 10);
}

bool UfficioNoto(std::string_view undici) {
    if (undici.size() != 11)
        return false;
    int ufficio = 0;
    for (const char c : undici.substr(7, 3)) {
        if (!Cifra(c))
            return false;
        ufficio = ufficio * 10 + (c - '0');
    }
    for (const IntervalloUffici& u : UfficiNoti)
        if (ufficio >= u.da && ufficio <= u.a)
            return true;
    return false;
}

std::vector<std::string> Discordanze(std::string_view codice, const std::optional<shell::Data>& nascita,
                                     std::string_view sesso) {
    std::vector<std::string> discordanze;
    codice = SenzaSpaziFinali(codice);
    if (codice.size() != 16 || !ControllaPersonale(codice).Valido())
        return discordanze;
    NascitaCodice delCodice{};
    LeggiNascita(codice, delCodice);
    if (nascita) {
        if (nascita->anno % 100 != delCodice.anno)
            discordanze.push_back("anno di nascita " + std::to_string(nascita->anno) +
                                  " diverso da quello del codice fiscale (" + DueCifre(delCodice.anno) + ")");
        if (nascita->mese != delCodice.mese)
            discordanze.push_back("mese di nascita " + DueCifre(nascita->mese) +
                                  " diverso da quello del codice fiscale (" + DueCifre(delCodice.mese) + ")");
        if (nascita->giorno != delCodice.giorno)
            discordanze.push_back("giorno di nascita " + DueCifre(nascita->giorno) +
                                  " diverso da quello del codice fiscale (" + DueCifre(delCodice.giorno) + ")");
    }
    while (!sesso.empty() && sesso.front() == ' ')
        sesso.remove_prefix(1);
    sesso = SenzaSpaziFinali(sesso);
    if ((sesso == "M" || sesso == "F") && sesso[0] != delCodice.sesso)
        discordanze.push_back("sesso '" + std::string(sesso) + "' diverso da quello del codice fiscale (" +
                              delCodice.sesso + ")");
    return discordanze;
}

} // namespace anagrafe
