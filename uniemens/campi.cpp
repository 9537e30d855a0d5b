#include "campi.h"

#include "errore.h"
#include "esportazione.h"
#include "testo.h"
#include "testo_xml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

namespace uniemens {

namespace {

bool Cifra(char c) { return c >= '0' && c <= '9'; }

std::string SenzaZeriIniziali(std::string_view cifre) {
    const auto primo = cifre.find_first_not_of('0');
    return primo == std::string_view::npos ? "0" : std::string(cifre.substr(primo));
}

} // namespace

// --- Prepared line -------------------------------------------------------------------------------

RigaINPS::RigaINPS(int numero, std::string_view testo) : m_numero(numero) {
    try {
        m_colonne = shell::DividiColonne(testo);
    } catch (const shell::ErroreElaborazione& e) {
        throw shell::ErroreElaborazione("Riga " + std::to_string(numero) + ": " + e.what());
    }
    for (auto& campo : m_colonne) {
        shell::InMaiuscolo(campo);
        xmltext::CodificaXML(campo);
    }
}

void RigaINPS::Errore(int colonna, std::string_view descrizione) const {
    throw shell::ErroreElaborazione("Riga " + std::to_string(m_numero) + ", colonna " + std::to_string(colonna) +
                                    ": " + std::string(descrizione));
}

void RigaINPS::ErroreLettura(int colonna, Lettura lettura) const {
    Errore(colonna, DifettoCampo(lettura, Decodificata(colonna)).value_or("valore non leggibile"));
}

const std::string& RigaINPS::operator[](int colonna) const {
    if (!Ha(colonna))
        Errore(colonna, "colonna mancante (la riga ha " + std::to_string(m_colonne.size()) + " colonne)");
    return m_colonne[static_cast<std::size_t>(colonna)];
}

bool RigaINPS::Vuota(int colonna) const { return shell::TogliSpazi((*this)[colonna]).empty(); }

std::string RigaINPS::Decodificata(int colonna) const { return xmltext::DecodificaXML((*this)[colonna]); }

double RigaINPS::NumeroIniziale(int colonna) const {
    const auto valore = uniemens::NumeroIniziale((*this)[colonna]);
    if (!valore)
        ErroreLettura(colonna, Lettura::NumeroIniziale);
    return *valore;
}

int RigaINPS::Intero(int colonna) const {
    const auto valore = Intero16((*this)[colonna]);
    if (!valore)
        ErroreLettura(colonna, Lettura::Intero16);
    return *valore;
}

Importo RigaINPS::LeggiImporto(int colonna) const {
    const auto valore = uniemens::LeggiImporto((*this)[colonna]);
    if (!valore)
        ErroreLettura(colonna, Lettura::Importo);
    return *valore;
}

shell::Data RigaINPS::LeggiData(int colonna) const {
    const auto data = shell::LeggiData((*this)[colonna]);
    if (!data)
        ErroreLettura(colonna, Lettura::DataFacoltativa);
    return *data;
}

// --- Readings -------------------------------------------------------------------------------------

std::optional<double> NumeroIniziale(std::string_view testo) {
    const bool conVirgola = testo.find(',') != std::string_view::npos;
    std::string t;
    for (char c : testo)
        if (c != ' ' && c != '\t' && c != '\n' && !(conVirgola && c == '.'))
            t += c;

    std::size_t i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negativo = t[i++] == '-';
    std::string numero = "0";
    std::size_t cifre = 0;
    for (; i < t.size() && Cifra(t[i]); ++i, ++cifre)
        numero += t[i];
    if (i < t.size() && t[i] == '.') {
        numero += '.';
        for (++i; i < t.size() && Cifra(t[i]); ++i, ++cifre)
            numero += t[i];
    }
    if (cifre == 0)
        return 0.0;
    double valore = 0;
    const auto [fine, ec] = std::from_chars(numero.data(), numero.data() + numero.size(), valore);
    if (ec != std::errc() || fine != numero.data() + numero.size() || !std::isfinite(valore))
        return std::nullopt;
    return negativo ? -valore : valore;
}

std::optional<std::int16_t> Intero16(std::string_view testo) {
    const auto valore = NumeroIniziale(testo);
    if (!valore)
        return std::nullopt;
    const double intero = std::nearbyint(*valore); // halves to the even neighbour
    if (intero < std::numeric_limits<std::int16_t>::min() || intero > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(intero);
}

std::optional<Importo> LeggiImporto(std::string_view testo) {
    std::string t;
    for (char c : shell::TogliSpazi(testo))
        if (c != '.')
            t += c;
    if (t.empty() || t.front() == ',')
        t.insert(t.begin(), '0');

    Importo importo;
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-')
        importo.negativo = t[i++] == '-';
    const std::size_t inizioInteri = i;
    while (i < t.size() && Cifra(t[i]))
        ++i;
    const std::string_view interi = std::string_view(t).substr(inizioInteri, i - inizioInteri);
    std::string_view decimali;
    if (i < t.size() && t[i] == ',') {
        const std::size_t inizioDecimali = ++i;
        while (i < t.size() && Cifra(t[i]))
            ++i;
        decimali = std::string_view(t).substr(inizioDecimali, i - inizioDecimali);
    }
    if (i != t.size() || interi.size() + decimali.size() == 0)
        return std::nullopt;
    importo.interi = SenzaZeriIniziali(interi);
    importo.decimali = decimali;
    if (importo.interi.size() > 18)
        return std::nullopt;
    return importo;
}

namespace {

// The text between single quotes, as the error messages show it.
std::string Citato(std::string_view testo) {
    std::string citato = "'";
    citato += testo;
    citato += '\'';
    return citato;
}

} // namespace

std::optional<std::string> DifettoCampo(Lettura lettura, std::string_view testo) {
    const std::string citato = Citato(testo);
    switch (lettura) {
    case Lettura::Testo:
    case Lettura::Lista:
        for (char c : testo) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 && !(lettura == Lettura::Lista && c == SeparatoreLista))
                return "carattere di controllo non ammesso (codice " + std::to_string(u) + ")";
        }
        break;
    case Lettura::NumeroIniziale:
        if (!NumeroIniziale(testo))
            return "numero fuori dall'intervallo ammesso " + citato;
        break;
    case Lettura::Intero16:
        if (!Intero16(testo))
            return "numero intero fuori dall'intervallo da -32768 a 32767 " + citato;
        break;
    case Lettura::Importo:
        if (!LeggiImporto(testo))
            return "importo non valido " + citato;
        break;
    case Lettura::DataFacoltativa:
        if (!shell::TogliSpazi(testo).empty() && !shell::LeggiData(testo))
            return "data non valida " + citato;
        break;
    case Lettura::Settimane:
        for (std::string_view elemento : ElementiLista(testo, true))
            if (!DividiSettimana(elemento))
                return "settimana senza '@' " + Citato(elemento);
        break;
    }
    return std::nullopt;
}

std::vector<std::string_view> ElementiLista(std::string_view campo, bool saltaVuoti) {
    std::vector<std::string_view> elementi;
    if (campo.empty())
        return elementi;
    std::size_t inizio = 0;
    while (true) {
        const auto fine = campo.find(SeparatoreLista, inizio);
        const auto elemento = campo.substr(inizio, fine == std::string_view::npos ? campo.npos : fine - inizio);
        if (!(saltaVuoti && elemento.empty()))
            elementi.push_back(elemento);
        if (fine == std::string_view::npos)
            break;
        inizio = fine + 1;
    }
    return elementi;
}

std::optional<Settimana> DividiSettimana(std::string_view elemento) {
    const auto chiocciola = elemento.find('@');
    if (chiocciola == std::string_view::npos)
        return std::nullopt;
    const std::string_view resto = elemento.substr(chiocciola + 1);
    return Settimana{elemento.substr(0, chiocciola), resto.substr(0, resto.find('@'))};
}

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

std::int64_t SommaImporti::Arrotondata() const {
    const int primaCifra = m_decimali.empty() ? 0 : m_decimali.front();
    return primaCifra > 4 ? m_interi + 1 : m_interi;
}

// --- Formats --------------------------------------------------------------------------------------

std::string FormatoImponibile(double valore) {
    if (valore == 0)
        return "0";
    // 15 significant digits: d.dddddddddddddde+XX
    char testo[40];
    std::snprintf(testo, sizeof testo, "%.14e", std::fabs(valore));
    const std::string_view t(testo);
    const auto e = t.find('e');
    std::string cifre(t.substr(0, 1));
    cifre += t.substr(2, e - 2);
    int esponente = 0;
    std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), t.data() + t.size(), esponente);
    cifre.erase(cifre.find_last_not_of('0') + 1);

    const int interi = esponente + 1; // digits before the decimal point
    std::string risultato = valore < 0 ? "-" : "";
    if (interi <= 0) {
        risultato += "0,";
        risultato.append(static_cast<std::size_t>(-interi), '0');
        risultato += cifre;
    } else if (static_cast<std::size_t>(interi) >= cifre.size()) {
        risultato += cifre;
        risultato.append(static_cast<std::size_t>(interi) - cifre.size(), '0');
    } else {
        risultato.append(cifre, 0, static_cast<std::size_t>(interi));
        risultato += ',';
        risultato.append(cifre, static_cast<std::size_t>(interi));
    }
    return risultato;
}

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
    return xmltext::TogliPunti(formato);
}

std::string CifreMinime(long long valore, int cifre) {
    const unsigned long long assoluto =
        valore < 0 ? 0ULL - static_cast<unsigned long long>(valore) : static_cast<unsigned long long>(valore);
    std::string testo = std::to_string(assoluto);
    if (testo.size() < static_cast<std::size_t>(cifre))
        testo.insert(0, static_cast<std::size_t>(cifre) - testo.size(), '0');
    return valore < 0 ? "-" + testo : testo;
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
