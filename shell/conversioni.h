#pragma once
// Conversions of export texts into digit strings, numbers and dates.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

// The ASCII digits of the text, in their order; every other character dropped.
std::string SoloCifre(std::string_view testo);

// An amount written the Italian way: blanks around it, "." for thousands, "," for decimals
// ("1.234,56" is 1234.56; "" and ",5" read as 0 and 0.5). No value when the text is not a number.
std::optional<double> ValoreNumerico(std::string_view testo);

// The plain reading of a number with "." as decimal point: blanks, tabs and line feeds are ignored
// wherever they stand, the number ends at the first character that cannot continue it, no number
// gives 0 ("12,5" is 12, "1 234" is 1234). No value only when the number is out of range.
std::optional<double> ValoreSemplice(std::string_view testo);

// The whole number nearest to `numero`, halves away from zero (2.5 is 3, -2.5 is -3), exact on every
// system: MinGW-w64's std::round adds 0.5 and truncates, which makes 0.49999999999999994 a 1.
double ArrotondaLontanoDaZero(double numero);

// The whole number nearest to `numero`, halves to the even neighbour (0.5 and -0.5 are 0, 1.5 and 2.5
// are 2, 3.5 is 4), as a number is rounded into a whole number of 16 bits.
double ArrotondaAlPari(double numero);

// A calendar date, compared in calendar order.
struct Data {
    int anno = 0;
    int mese = 0;
    int giorno = 0;
    friend constexpr auto operator<=>(const Data&, const Data&) = default;
};

bool DataValida(int anno, int mese, int giorno);

// A date as the suite shows it: "01/01/2010".
std::string DataItaliana(const Data& data);

// A date written day/month/year: one or two digits for day and month, four for the year, blanks
// around it allowed. No value for an empty, unreadable or impossible date (31/02/2010).
std::optional<Data> LeggiData(std::string_view testo);

} // namespace shell
