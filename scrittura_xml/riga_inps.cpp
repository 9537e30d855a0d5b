#include "scrittura_xml/riga_inps.h"

#include "shell/errore.h"
#include "shell/esportazione.h"
#include "shell/testo.h"
#include "scrittura_xml/testo_xml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace scrittura_xml {

namespace {

using shell::Cifra;

std::string SenzaZeriIniziali(std::string_view cifre) {
    const auto primo = cifre.find_first_not_of('0');
    return primo == std::string_view::npos ? "0" : std::string(cifre.substr(primo));
}

// The text between single quotes, as the error messages show it.
std::string Citato(std::string_view testo) {
    std::string citato = "'";
    citato += testo;
    citato += '\'';
    return citato;
}

} // namespace

decltype(shell::Convertitore::carica) CaricamentoINPS(EsecuzioneINPS esegui) {
    return [esegui](const std::filesystem::path& cartella, const std::filesystem::path&) {
        return shell::CaricaEsportazione(cartella, "EsportazioneINPS.tab", esegui);
    };
}

// --- Readings -------------------------------------------------------------------------------------

namespace {

// The complete reading of a leading number: its value (none beyond a double) and whether the text had
// any digit for it.
struct LetturaIniziale {
    std::optional<double> valore;
    bool cifre;
};

LetturaIniziale LeggiNumeroIniziale(std::string_view testo) {
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
        return {0.0, false};
    if (numero.front() == '.')
        numero.insert(numero.begin(), '0');
    if (numero.back() == '.')
        numero.pop_back();
    double valore = 0;
    const auto [fine, errore] = std::from_chars(numero.data(), numero.data() + numero.size(), valore);
    if (errore == std::errc::result_out_of_range) // vanishing, or beyond a double
        return {interoNullo ? std::optional<double>(0.0) : std::nullopt, true};
    if (errore != std::errc() || fine != numero.data() + numero.size() || !std::isfinite(valore))
        return {std::nullopt, true};
    return {negativo ? -valore : valore, true};
}

} // namespace

std::optional<double> NumeroIniziale(std::string_view testo) { return LeggiNumeroIniziale(testo).valore; }

bool SenzaNumero(std::string_view testo) {
    return !shell::TogliSpazi(testo).empty() && !LeggiNumeroIniziale(testo).cifre;
}

std::optional<std::int16_t> Intero16(std::string_view testo) {
    const auto valore = NumeroIniziale(testo);
    if (!valore)
        return std::nullopt;
    const double intero = shell::ArrotondaAlPari(*valore);
    if (intero < -32768.0 || intero > 32767.0)
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

// Calls `fai` with each item of a list field, in order, as ElementiLista gives them; stops early, with
// false, when `fai` returns false.
template <typename F> bool PerOgniElemento(std::string_view campo, bool saltaVuoti, F&& fai) {
    if (campo.empty())
        return true;
    std::size_t inizio = 0;
    while (true) {
        const auto fine = campo.find(SeparatoreLista, inizio);
        const auto elemento = campo.substr(inizio, fine == std::string_view::npos ? campo.npos : fine - inizio);
        if (!(saltaVuoti && elemento.empty()) && !fai(elemento))
            return false;
        if (fine == std::string_view::npos)
            return true;
        inizio = fine + 1;
    }
}

} // namespace

std::vector<std::string_view> ElementiLista(std::string_view campo, bool saltaVuoti) {
    std::vector<std::string_view> elementi;
    PerOgniElemento(campo, saltaVuoti, [&](std::string_view elemento) {
        elementi.push_back(elemento);
        return true;
    });
    return elementi;
}

std::optional<Settimana> DividiSettimana(std::string_view elemento) {
    const auto chiocciola = elemento.find('@');
    if (chiocciola == std::string_view::npos)
        return std::nullopt;
    const std::string_view resto = elemento.substr(chiocciola + 1);
    return Settimana{elemento.substr(0, chiocciola), resto.substr(0, resto.find('@'))};
}

std::optional<std::vector<Settimana>> DividiSettimane(std::string_view campo) {
    std::vector<Settimana> settimane;
    const bool lette = PerOgniElemento(campo, true, [&](std::string_view elemento) {
        const auto settimana = DividiSettimana(elemento);
        if (settimana)
            settimane.push_back(*settimana);
        return settimana.has_value();
    });
    if (!lette)
        return std::nullopt;
    return settimane;
}

std::optional<std::string> DifettoCampo(Lettura lettura, std::string_view testo, const TestiLettura& testi) {
    switch (lettura) {
    case Lettura::Testo:
    case Lettura::Lista:
        for (char c : testo) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 && !(lettura == Lettura::Lista && c == SeparatoreLista))
                return std::string(testi.controlloPrima) + std::to_string(u) + std::string(testi.controlloDopo);
        }
        break;
    case Lettura::NumeroIniziale:
    case Lettura::NumeroOVuoto:
        if (!NumeroIniziale(testo))
            return "numero fuori dall'intervallo ammesso " + Citato(testo);
        if (lettura == Lettura::NumeroOVuoto && SenzaNumero(testo))
            return "numero non valido " + Citato(testo);
        break;
    case Lettura::Intero16:
        if (!Intero16(testo))
            return std::string(testi.interoFuori) + Citato(testo);
        break;
    case Lettura::Importo:
        if (!LeggiImporto(testo))
            return "importo non valido " + Citato(testo);
        break;
    case Lettura::DataFacoltativa:
        if (!shell::TogliSpazi(testo).empty() && !shell::LeggiData(testo))
            return "data non valida " + Citato(testo);
        break;
    case Lettura::Settimane: {
        std::string_view senza; // the first item without "@"
        const bool lette = PerOgniElemento(testo, true, [&](std::string_view elemento) {
            senza = elemento;
            return DividiSettimana(elemento).has_value();
        });
        if (!lette)
            return std::string(testi.senzaChiocciola) + Citato(testi.citaElemento ? senza : testo);
        break;
    }
    }
    return std::nullopt;
}

// --- Formats --------------------------------------------------------------------------------------

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
    const std::string_view esponenteTesto = scientifico.substr(e + (scientifico[e + 1] == '+' ? 2 : 1));
    int esponente = 0;
    std::from_chars(esponenteTesto.data(), esponenteTesto.data() + esponenteTesto.size(), esponente);
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
    const unsigned long long assoluto =
        valore < 0 ? 0ULL - static_cast<unsigned long long>(valore) : static_cast<unsigned long long>(valore);
    std::string testo = std::to_string(assoluto);
    if (testo.size() < static_cast<std::size_t>(cifre))
        testo.insert(0, static_cast<std::size_t>(cifre) - testo.size(), '0');
    return valore < 0 ? "-" + testo : testo;
}

std::string DataISO(const shell::Data& data) {
    return CifreMinime(data.anno, 4) + "-" + CifreMinime(data.mese, 2) + "-" + CifreMinime(data.giorno, 2);
}

// --- Prepared line -------------------------------------------------------------------------------

RigaEsportazioneINPS::RigaEsportazioneINPS(int numero, std::string_view testo, Preparazione preparazione,
                                           const TestiLettura& testi)
    : m_numero(numero), m_preparazione(preparazione), m_testi(&testi) {
    // The whole line upper-cased in one pass and escaped as a whole (a TAB stays a TAB), then split.
    if (preparazione == Preparazione::MaiuscoloCodificato) {
        MaiuscoloCodificato(testo, m_testo);
    } else {
        m_testo.resize(testo.size());
        shell::CopiaInMaiuscolo(testo, m_testo.data());
    }
    // Room for the fields of every kind of line of the export at once; a longer line makes more.
    m_colonne.reserve(64);
    try {
        shell::DividiColonne(m_testo, m_colonne);
    } catch (const shell::ErroreElaborazione& e) {
        throw shell::ErroreElaborazione("Riga " + std::to_string(numero) + ": " + e.what());
    }
}

void RigaEsportazioneINPS::Errore(int colonna, std::string_view descrizione) const {
    throw shell::ErroreCollocato("Riga " + std::to_string(m_numero) + ", colonna " + std::to_string(colonna) + ": " +
                                 std::string(descrizione));
}

void RigaEsportazioneINPS::ErroreLettura(int colonna, Lettura lettura) const {
    Errore(colonna, DifettoCampo(lettura, Decodificata(colonna), *m_testi).value_or("valore non leggibile"));
}

void RigaEsportazioneINPS::ColonnaMancante(int colonna) const {
    Errore(colonna, "colonna mancante (la riga ha " + std::to_string(m_colonne.size()) + " colonne)");
}

bool RigaEsportazioneINPS::Vuota(int colonna) const { return shell::TogliSpazi((*this)[colonna]).empty(); }

std::string RigaEsportazioneINPS::Decodificata(int colonna) const {
    std::string appoggio;
    return std::string(Decodificata(colonna, appoggio));
}

std::string_view RigaEsportazioneINPS::Decodificata(int colonna, std::string& appoggio) const {
    const std::string_view campo = (*this)[colonna];
    // Every reference that escaping puts in begins with "&".
    if (m_preparazione != Preparazione::MaiuscoloCodificato || campo.find('&') == std::string_view::npos)
        return campo;
    return appoggio = DecodificaXML(campo);
}

std::string RigaEsportazioneINPS::Codifica(int colonna, std::string_view testo) const {
    std::string appoggio;
    return std::string(Codifica(colonna, testo, appoggio));
}

std::string_view RigaEsportazioneINPS::Codifica(int colonna, std::string_view testo, std::string& appoggio) const {
    if (m_preparazione == Preparazione::MaiuscoloCodificato)
        return testo;
    // XML 1.0 refuses most control characters, and a line feed, which XML would take, would break the
    // one-element-per-line layout of the document (a field never holds a TAB or a carriage return).
    if (const auto difetto = DifettoCampo(Lettura::Testo, testo, *m_testi))
        Errore(colonna, *difetto);
    if (!DaCodificare(testo))
        return testo;
    appoggio.assign(testo);
    CodificaXML(appoggio);
    return appoggio;
}

double RigaEsportazioneINPS::NumeroIniziale(int colonna) const {
    const auto valore = scrittura_xml::NumeroIniziale((*this)[colonna]);
    if (!valore)
        ErroreLettura(colonna, Lettura::NumeroIniziale);
    return *valore;
}

double RigaEsportazioneINPS::NumeroOVuoto(int colonna) const {
    const std::string_view campo = (*this)[colonna];
    const auto valore = scrittura_xml::NumeroIniziale(campo);
    // Only a 0 may have been read for want of digits.
    if (!valore || (*valore == 0 && SenzaNumero(campo)))
        ErroreLettura(colonna, Lettura::NumeroOVuoto);
    return *valore;
}

std::int16_t RigaEsportazioneINPS::LeggiIntero(int colonna) const {
    const auto valore = Intero16((*this)[colonna]);
    if (!valore)
        ErroreLettura(colonna, Lettura::Intero16);
    return *valore;
}

Importo RigaEsportazioneINPS::LeggiImporto(int colonna) const {
    const auto valore = scrittura_xml::LeggiImporto((*this)[colonna]);
    if (!valore)
        ErroreLettura(colonna, Lettura::Importo);
    return *valore;
}

shell::Data RigaEsportazioneINPS::LeggiData(int colonna) const {
    const auto data = shell::LeggiData((*this)[colonna]);
    if (!data)
        Errore(colonna, "data non valida " + Citato(Decodificata(colonna)));
    return *data;
}

std::vector<Settimana> RigaEsportazioneINPS::Settimane(int colonna) const {
    auto settimane = DividiSettimane((*this)[colonna]);
    if (!settimane)
        ErroreLettura(colonna, Lettura::Settimane);
    return std::move(*settimane);
}

} // namespace scrittura_xml
