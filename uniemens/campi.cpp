#include "uniemens/campi.h"

#include "shell/errore.h"
#include "scrittura_xml/testo_xml.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace uniemens {

namespace {

std::string SenzaZeriIniziali(std::string_view cifre) {
    const auto primo = cifre.find_first_not_of('0');
    return primo == std::string_view::npos ? "0" : std::string(cifre.substr(primo));
}

} // namespace

// --- Exact sum ------------------------------------------------------------------------------------

void SommaImporti::Aggiungi(const Importo& importo) {
    if (m_decimali.size() < importo.decimali.size())
        m_decimali.resize(importo.decimali.size(), 0);
    // The decimals first, from the last digit: a carry or a borrow moves Int(S) by one.
    int riporto = 0;
    for (std::size_t k = m_decimali.size(); k-- > 0;) {
        const int cifra = k < importo.decimali.size() ? importo.decimali[k] - '0' : 0;
        int d = importo.negativo ? m_decimali[k] - cifra - riporto : m_decimali[k] + cifra + riporto;
        riporto = 0;
        if (d < 0) {
            d += 10;
            riporto = 1;
        } else if (d > 9) {
            d -= 10;
            riporto = 1;
        }
        m_decimali[k] = d;
    }
    std::int64_t interi = 0;
    std::from_chars(importo.interi.data(), importo.interi.data() + importo.interi.size(), interi);
    interi += riporto;
    const bool fuori = importo.negativo ? m_interi < std::numeric_limits<std::int64_t>::min() + interi
                                        : m_interi > std::numeric_limits<std::int64_t>::max() - interi;
    if (fuori)
        throw shell::ErroreElaborazione("Il totale dei contributi supera il limite ammesso");
    m_interi += importo.negativo ? -interi : interi;
}

std::int64_t SommaImporti::ArrotondataSullaPrimaDecimale() const {
    const int primaCifra = m_decimali.empty() ? 0 : m_decimali.front();
    return primaCifra > 4 ? m_interi + 1 : m_interi;
}

// --- Formats --------------------------------------------------------------------------------------

std::string FormatoContributo(const Importo& importo) {
    // The amount in hundredths, rounded half away from zero on its third decimal.
    std::string decimali = importo.decimali;
    decimali.resize(std::max<std::size_t>(decimali.size(), 3), '0');
    std::string centesimi = importo.interi + decimali.substr(0, 2);
    if (decimali[2] >= '5') {
        std::size_t k = centesimi.size();
        while (k > 0 && centesimi[k - 1] == '9')
            centesimi[--k] = '0';
        if (k == 0)
            centesimi.insert(centesimi.begin(), '1');
        else
            ++centesimi[k - 1];
    }
    const std::string interi = SenzaZeriIniziali(std::string_view(centesimi).substr(0, centesimi.size() - 2));
    std::string raggruppati;
    for (std::size_t k = 0; k < interi.size(); ++k) {
        if (k > 0 && (interi.size() - k) % 3 == 0)
            raggruppati += '.';
        raggruppati += interi[k];
    }
    const bool zero = centesimi.find_first_not_of('0') == std::string::npos;
    const std::string formato =
        (importo.negativo && !zero ? "-" : "") + raggruppati + "," + centesimi.substr(centesimi.size() - 2);
    return scrittura_xml::TogliPunti(formato);
}

int GiorniDelMese(int anno, int mese) {
    static constexpr int giorni[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    // Months counted from January of year 0, so that month 0 and month 13 fall in the next years.
    const long long mesi = static_cast<long long>(anno) * 12 + (mese - 1);
    long long a = mesi / 12;
    long long m = mesi % 12;
    if (m < 0) {
        m += 12;
        --a;
    }
    const bool bisestile = (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
    return giorni[m] + (m == 1 && bisestile ? 1 : 0);
}

} // namespace uniemens
