#pragma once
// The calendar rules of the INPS documents: the weeks of the year that the declared month has, the days paid or
// covered no more than a month has, and the UniEmens daily calendar, one <Giorno> per day of the month in order.
// Each rule gives its message; the reader places it.

#include <optional>
#include <string>
#include <string_view>

namespace formati::inps {

// The highest week of the year (SettimanaDellAnno): a year has 53 or 54 of them.
inline constexpr int SettimanaMassima = 54;

// The declared month as the calendar rules know it: none (mese 0) when the document has none of a good form.
struct MeseDelCalendario {
    int anno = 0, mese = 0;
    int primaSettimana = 0, ultimaSettimana = 0; // its weeks of the year
    std::string testo;                           // "mm/yyyy", as the messages name it

    // The month `mese` of `anno` (1 to 12 of 1 to 9999), with its weeks.
    static MeseDelCalendario Di(int anno, int mese, std::string testo);
};

// A finding of a calendar rule.
struct RilievoCalendario {
    bool errore; // an error; a warning otherwise
    std::string messaggio;
};

// <IdSettimana>: a week of the year, and outside a previous month's block (whose month the document does not say)
// one of the declared month, when the month is known.
std::optional<RilievoCalendario> ControllaSettimana(std::string_view valore, const MeseDelCalendario& mese,
                                                    bool mesePrecedente);

// Days paid or covered, the value of element `nome`: no more than the declared month has (than any month, in a
// previous month's block or when the month is not known).
std::optional<std::string> ControllaGiorniNelMese(std::string_view nome, std::string_view valore,
                                                  const MeseDelCalendario& mese, bool mesePrecedente);

// The attribute GG of the `giorno`-th <Giorno>: that day in plain digits.
std::optional<std::string> ControllaGiornoDelCalendario(std::string_view gg, int giorno);

// The calendar of a report, `giorni` elements <Giorno>, against the `giorniDelMese` days of month `testo`.
std::optional<std::string> ControllaGiorniDelCalendario(int giorni, int giorniDelMese, std::string_view testo);

} // namespace formati::inps
