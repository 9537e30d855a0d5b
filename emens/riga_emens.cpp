#include "riga_emens.h"

#include "testo.h"
#include "testo_xml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace emens {

namespace {

bool Cifra(char c) { return c >= '0' && c <= '9'; }

// Control characters: XML 1.0 refuses most of them, and a line feed, which XML would take, would break
// the one-element-per-line layout of the document (a field never holds a TAB or a carriage return).
bool ControlloVietato(char c) { return static_cast<unsigned char>(c) < 0x20; }

} // namespace

RigaEmens::RigaEmens(int numero, std::string_view testo) : m_riga(numero, testo) {}

void RigaEmens::RichiediColonne(int quante) const {
    if (Colonne() < quante)
        Errore(Colonne(), "colonna mancante (la riga ha " + std::to_string(Colonne()) + " colonne, ne servono " +
                              std::to_string(quante) + ")");
}

std::string RigaEmens::Codifica(int colonna, std::string_view testo) const {
    for (const char c : testo)
        if (ControlloVietato(c))
            Errore(colonna, "carattere di controllo (codice " + std::to_string(static_cast<unsigned char>(c)) +
                                ") non ammesso in un documento XML");
    std::string valore(testo);
    uniemens::xmltext::CodificaXML(valore);
    return valore;
}

bool RigaEmens::Vuota(int colonna) const { return shell::TogliSpazi(Testo(colonna)).empty(); }

double RigaEmens::NumeroIniziale(int colonna) const {
    const auto valore = emens::NumeroIniziale(Testo(colonna));
    if (!valore)
        Errore(colonna, "numero fuori dall'intervallo ammesso '" + std::string(Testo(colonna)) + "'");
    return *valore;
}

std::int16_t RigaEmens::Intero(int colonna) const {
    const auto valore = Intero16(Testo(colonna));
    if (!valore)
        Errore(colonna, "numero intero fuori dall'intervallo da -32.768 a 32.767 '" + std::string(Testo(colonna)) + "'");
    return *valore;
}

shell::Data RigaEmens::Data(int colonna) const { return m_riga.LeggiData(colonna); }

std::vector<Settimana> RigaEmens::Settimane(int colonna) const {
    auto settimane = DividiSettimane(Testo(colonna));
    if (!settimane)
        Errore(colonna, "settimana senza '@' in '" + std::string(Testo(colonna)) + "'");
    return std::move(*settimane);
}

std::optional<double> NumeroIniziale(std::string_view testo) {
    const bool migliaia = testo.find(',') != std::string_view::npos;
    std::string t;
    t.reserve(testo.size());
    for (const char c : testo)
        if (c != ' ' && c != '\t' && c != '\n' && !(migliaia && c == '.'))
            t += c;

    std::size_t i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negativo = t[i++] == '-';
    std::string numero;
    bool interoNullo = true; // every digit before the point is 0
    std::size_t cifre = 0;
    for (; i < t.size() && Cifra(t[i]); ++i, ++cifre) {
        numero += t[i];
        interoNullo = interoNullo && t[i] == '0';
    }
    if (i < t.size() && t[i] == '.') {
        numero += '.';
        for (++i; i < t.size() && Cifra(t[i]); ++i, ++cifre)
            numero += t[i];
    }
    if (cifre == 0)
        return 0.0;
    if (numero.front() == '.')
        numero.insert(numero.begin(), '0');
    if (numero.back() == '.')
        numero.pop_back();
    double valore = 0;
    const auto [fine, errore] = std::from_chars(numero.data(), numero.data() + numero.size(), valore);
    if (errore == std::errc::result_out_of_range)
        return interoNullo ? std::optional<double>(0.0) : std::nullopt; // vanishing, or beyond a double
    if (errore != std::errc() || fine != numero.data() + numero.size())
        return std::nullopt;
    return negativo ? -valore : valore;
}

std::optional<std::int16_t> Intero16(std::string_view testo) {
    const auto valore = NumeroIniziale(testo);
    if (!valore)
        return std::nullopt;
    const double intero = std::nearbyint(*valore); // the default rounding: halves to the even neighbour
    if (intero < -32768.0 || intero > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(intero);
}

std::optional<std::vector<Settimana>> DividiSettimane(std::string_view campo) {
    std::vector<Settimana> settimane;
    std::size_t inizio = 0;
    while (inizio <= campo.size() && !campo.empty()) {
        const auto fine = std::min(campo.find(SeparatoreLista, inizio), campo.size());
        const std::string_view elemento = campo.substr(inizio, fine - inizio);
        if (!elemento.empty()) {
            const auto chiocciola = elemento.find('@');
            if (chiocciola == std::string_view::npos)
                return std::nullopt;
            const std::string_view resto = elemento.substr(chiocciola + 1);
            settimane.push_back({elemento.substr(0, chiocciola), resto.substr(0, resto.find('@'))});
        }
        inizio = fine + 1;
    }
    return settimane;
}

std::string FormatoImponibile(double valore) {
    if (valore == 0)
        return "0";
    // 15 significant digits: d.dddddddddddddde[+-]x
    char testo[64];
    const auto [fine, errore] = std::to_chars(testo, testo + sizeof testo, valore, std::chars_format::scientific, 14);
    if (errore != std::errc())
        return "0"; // cannot happen for a finite double
    const std::string_view scientifico(testo, static_cast<std::size_t>(fine - testo));
    const auto e = scientifico.find('e');
    const bool negativo = scientifico.front() == '-';
    std::string cifre;
    for (const char c : scientifico.substr(0, e))
        if (Cifra(c))
            cifre += c;
    const int esponente = std::atoi(std::string(scientifico.substr(e + 1)).c_str());
    while (cifre.size() > 1 && cifre.back() == '0')
        cifre.pop_back();

    // The digits hold the value d.ddd x 10^esponente: place the decimal comma.
    std::string interi, decimali;
    if (esponente < 0) {
        interi = "0";
        decimali = std::string(static_cast<std::size_t>(-esponente - 1), '0') + cifre;
    } else {
        const auto nInteri = static_cast<std::size_t>(esponente) + 1;
        if (cifre.size() <= nInteri) {
            interi = cifre + std::string(nInteri - cifre.size(), '0');
        } else {
            interi = cifre.substr(0, nInteri);
            decimali = cifre.substr(nInteri);
        }
    }
    return (negativo ? "-" : "") + interi + (decimali.empty() ? "" : "," + decimali);
}

std::string CifreMinime(long long valore, int cifre) {
    const bool negativo = valore < 0;
    const auto assoluto = static_cast<unsigned long long>(valore);
    std::string testo = std::to_string(negativo ? 0ULL - assoluto : assoluto);
    if (static_cast<int>(testo.size()) < cifre)
        testo.insert(0, static_cast<std::size_t>(cifre) - testo.size(), '0');
    return (negativo ? "-" : "") + testo;
}

} // namespace emens
