#include "formati/calendario_inps.h"

#include "formati/testo_record.h"
#include "formati/regole_inps.h"
#include "formati/validatore_xml.h"

#include "shell/testo.h"
#include "uniemens/campi.h"

#include <charconv>

namespace formati::inps {

namespace {

// A number of at most `cifre` plain digits (around blanks); none otherwise.
std::optional<long long> Cifre(std::string_view t, std::size_t cifre) {
    t = shell::TogliSpazi(t);
    if (!SoloCifre(t) || t.size() > cifre)
        return std::nullopt;
    long long n = 0;
    std::from_chars(t.data(), t.data() + t.size(), n);
    return n;
}

} // namespace

MeseDelCalendario MeseDelCalendario::Di(int anno, int mese, std::string testo) {
    return {anno, mese, SettimanaDellAnno(anno, mese, 1),
            SettimanaDellAnno(anno, mese, uniemens::GiorniDelMese(anno, mese)), std::move(testo)};
}

std::optional<RilievoCalendario> ControllaSettimana(std::string_view valore, const MeseDelCalendario& mese,
                                                    bool mesePrecedente) {
    const auto numero = Cifre(valore, 2);
    if (!numero || *numero < 1 || *numero > SettimanaMassima)
        return RilievoCalendario{true, "<IdSettimana> " + ValidatoreXML::Citato(valore) +
                                           ": le settimane dell'anno vanno da 1 a " + std::to_string(SettimanaMassima)};
    if (mese.mese == 0 || mesePrecedente)
        return std::nullopt;
    if (*numero < mese.primaSettimana || *numero > mese.ultimaSettimana)
        return RilievoCalendario{false, "<IdSettimana> " + std::to_string(*numero) +
                                            ": la settimana non cade nel mese " + mese.testo +
                                            ", che ha le settimane da " + std::to_string(mese.primaSettimana) + " a " +
                                            std::to_string(mese.ultimaSettimana)};
    return std::nullopt;
}

std::optional<std::string> ControllaGiorniNelMese(std::string_view nome, std::string_view valore,
                                                  const MeseDelCalendario& mese, bool mesePrecedente) {
    // (Not a number: said by the grammar; read as none here.)
    const long long numero = Cifre(valore, 9).value_or(0);
    const bool delMese = mese.mese > 0 && !mesePrecedente;
    const int massimo = delMese ? uniemens::GiorniDelMese(mese.anno, mese.mese) : 31;
    if (numero <= massimo)
        return std::nullopt;
    return "<" + std::string(nome) + "> " + std::to_string(numero) + ": pi\xF9 dei " + std::to_string(massimo) +
           " giorni " + (delMese ? "del mese " + mese.testo : std::string("di un mese"));
}

std::optional<std::string> ControllaGiornoDelCalendario(std::string_view g, int giorno) {
    const bool giusto = (g.size() == 1 && g[0] >= '1' && g[0] <= '9' && g[0] - '0' == giorno) ||
                        (g.size() == 2 && g[0] >= '1' && g[0] <= '9' && g[1] >= '0' && g[1] <= '9' &&
                         (g[0] - '0') * 10 + (g[1] - '0') == giorno);
    if (giusto)
        return std::nullopt;
    return "<Giorno GG=\"" + std::string(g) + "\">: atteso GG=\"" + std::to_string(giorno) +
           "\": il calendario ha un elemento <Giorno> per ogni giorno del mese, da 1 in ordine";
}

std::optional<std::string> ControllaGiorniDelCalendario(int giorni, int giorniDelMese, std::string_view testo) {
    if (giorniDelMese <= 0 || giorni == giorniDelMese)
        return std::nullopt;
    return "<DatiRetributivi>: " + std::to_string(giorni) + " elementi <Giorno>, attesi " +
           std::to_string(giorniDelMese) + ", uno per giorno del mese " + std::string(testo);
}

} // namespace formati::inps
