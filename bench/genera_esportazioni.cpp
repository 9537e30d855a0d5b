// genera_esportazioni: writes a realistic export of any number of lines for one converter, the
// same bytes for the same seed on every machine (no clock, no standard distributions).
//
//   genera_esportazioni 770|uniemens|dma|emens|tfr RIGHE CARTELLA [SEME]
//
// The export gets the name its converter looks for in CARTELLA (TFR also gets its beneficiaries).
// Every line is one employer's: the employer's columns, then a person made up here (surname, name,
// sex, birth, tax code with its check letter) over one of the models of modelli_esportazioni.h,
// with the amounts varied around the model's. ISO-8859-1, lines ending in CR LF.

#include "bench/modelli_esportazioni.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using bench::Colonna;
namespace fs = std::filesystem;

// splitmix64: the same sequence on every system.
class Casuale {
public:
    explicit Casuale(std::uint64_t seme) : m_stato(seme) {}

    std::uint64_t Prossimo() {
        std::uint64_t z = (m_stato += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // From `da` to `a`, both included.
    int Tra(int da, int a) { return da + static_cast<int>(Prossimo() % static_cast<std::uint64_t>(a - da + 1)); }
    bool Percento(int p) { return Tra(1, 100) <= p; }
    template <typename T, std::size_t N> const T& Uno(const T (&scelte)[N]) { return scelte[Prossimo() % N]; }

private:
    std::uint64_t m_stato;
};

// clang-format off
constexpr std::string_view Cognomi[] = {
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci", "Marino", "Greco",
    "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi", "Moretti",
    "D'Angelo", "Dell'Acqua", "Barbieri", "Fontana", "Santoro", "Mariani", "Rinaldi", "Caruso", "Ferrara",
    "Galli", "Martini", "Leone", "Longo", "Gentile", "Martinelli", "Vitale", "Serra", "Coppola", "De Santis",
    "D'Amico", "Marchetti", "Parisi", "Villa", "Ferri", "Fabbri", "Marini", "Grasso", "Valentini", "Gatti",
    "Pellegrini", "Palumbo", "Sanna", "Farina", "Monti", "Cattaneo", "Morelli", "Amato", "Silvestri",
    "Testa", "Carbone", "Benedetti", "Barone", "Caputo", "Montanari", "Guerra", "Palmieri", "Bernardi",
    "De Rosa", "Ferretti", "Bellini", "Basile", "Donati", "Piras", "Battaglia", "Sartori", "Neri", "Milani",
    "Sorrentino", "D'Ambrosio", "Zanon", "Fabbro", "Casadei", "Zanotti", "Pavan", "Carraro", "M\xFCller",
    "Dall'Ora", "Niccol\xF2", "Lo Iacono", "Dell'Orto & Figli",
};

struct Nome {
    std::string_view nome;
    char sesso;
};
constexpr Nome Nomi[] = {
    {"Marco", 'M'}, {"Giulia", 'F'}, {"Luca", 'M'}, {"Francesca", 'F'}, {"Giuseppe", 'M'}, {"Chiara", 'F'},
    {"Andrea", 'M'}, {"Sara", 'F'}, {"Alessandro", 'M'}, {"Elena", 'F'}, {"Nicol\xF2", 'M'}, {"Laura", 'F'},
    {"Niccol\xF2", 'M'}, {"Valentina", 'F'}, {"Lorenzo", 'M'}, {"Martina", 'F'}, {"Matteo", 'M'},
    {"Silvia", 'F'}, {"Paolo", 'M'}, {"Federica", 'F'}, {"Giovanni", 'M'}, {"Anna", 'F'}, {"Stefano", 'M'},
    {"Maria", 'F'}, {"Salvatore", 'M'}, {"Carla", 'F'}, {"Davide", 'M'}, {"Lucia", 'F'}, {"Fabrizio", 'M'},
    {"Ilaria", 'F'}, {"Pier Luigi", 'M'}, {"Anna Maria", 'F'}, {"Fran\xE7ois", 'M'}, {"Zo\xEB", 'F'},
};

struct Comune {
    std::string_view nome;
    std::string_view provincia;
    std::string_view codice;
    std::string_view cap;
};
constexpr Comune Comuni[] = {
    {"Roma",    "RM", "H501", "00184"}, {"Milano",   "MI", "F205", "20121"}, {"Napoli",  "NA", "F839", "80134"},
    {"Torino",  "TO", "L219", "10121"}, {"Bologna",  "BO", "A944", "40121"}, {"Firenze", "FI", "D612", "50122"},
    {"Bari",    "BA", "A662", "70121"}, {"Palermo",  "PA", "G273", "90133"}, {"Genova",  "GE", "D969", "16121"},
    {"Venezia", "VE", "L736", "30121"}, {"Verona",   "VR", "L781", "37121"}, {"Padova",  "PD", "G224", "35121"},
    {"Trento",  "TN", "L378", "38122"}, {"Lecco",    "LC", "E507", "23900"}, {"Parma",   "PR", "G337", "43121"},
    {"Rimini",  "RN", "H294", "47921"}, {"Forl\xEC", "FC", "D704", "47121"}, {"Modena",  "MO", "F257", "41121"},
    {"Brescia", "BS", "B157", "25121"}, {"Bergamo",  "BG", "A794", "24121"}, {"Cagliari","CA", "B354", "09124"},
    {"Catania", "CT", "C351", "95121"}, {"Perugia",  "PG", "G478", "06121"}, {"Ancona",  "AN", "A271", "60121"},
};

// Valid coordinates, as an office's accounts have them: check digits and CIN right.
constexpr std::string_view Iban[] = {
    "IT60X0542811101000000123456", "IT03Q0306902400100000012345", "IT45R0200801622000101744556",
    "IT72T0538724201000009876543", "IT69T0623012700000040599999",
};
// clang-format on

struct Data {
    int giorno, mese, anno;
};

std::string DueCifre(int n) {
    return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}
std::string TestoData(const Data& d) {
    return DueCifre(d.giorno) + "/" + DueCifre(d.mese) + "/" + std::to_string(d.anno);
}

// Letters of a name as the tax code takes them: upper case, accents dropped, nothing else.
std::string Lettere(std::string_view testo) {
    std::string lettere;
    for (const char c : testo) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 'a' && u <= 'z')
            lettere += static_cast<char>(u - 32);
        else if (u >= 'A' && u <= 'Z')
            lettere += c;
        else if (u >= 0xC0) {
            // ISO-8859-1 letters with accents, by the row of the table they sit in.
            constexpr std::string_view Base = "AAAAAAACEEEEIIII"
                                              "DNOOOOO"
                                              "xOUUUUYTs"
                                              "AAAAAAACEEEEIIII"
                                              "DNOOOOO"
                                              "xOUUUUYTY";
            if (const char b = Base[u - 0xC0]; b >= 'A' && b <= 'Z')
                lettere += b;
        }
    }
    return lettere;
}

bool Vocale(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

// Three letters for the surname, or for the first name (which skips its second consonant when it
// has four or more).
std::string TreLettere(std::string_view testo, bool nome) {
    const std::string lettere = Lettere(testo);
    std::string consonanti, vocali;
    for (const char c : lettere)
        (Vocale(c) ? vocali : consonanti) += c;
    if (nome && consonanti.size() >= 4)
        return {consonanti[0], consonanti[2], consonanti[3]};
    return (consonanti + vocali + "XXX").substr(0, 3);
}

char LetteraDiControllo(std::string_view quindici) {
    // clang-format off
    constexpr int Dispari[26] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    // clang-format on
    int somma = 0;
    for (std::size_t i = 0; i < quindici.size(); ++i) {
        const char c = quindici[i];
        const int valore = c >= '0' && c <= '9' ? c - '0' : c - 'A';
        somma += i % 2 == 0 ? Dispari[valore] : valore;
    }
    return static_cast<char>('A' + somma % 26);
}

struct Persona {
    std::string cognome;
    std::string nome;
    char sesso;
    Data nascita;
    const Comune* comune;
    std::string codiceFiscale;
};

std::string CodiceFiscale(const Persona& p) {
    constexpr std::string_view Mesi = "ABCDEHLMPRST";
    std::string cf = TreLettere(p.cognome, false) + TreLettere(p.nome, true) + DueCifre(p.nascita.anno % 100) +
                     Mesi[static_cast<std::size_t>(p.nascita.mese - 1)] +
                     DueCifre(p.nascita.giorno + (p.sesso == 'F' ? 40 : 0)) + std::string(p.comune->codice);
    return cf + LetteraDiControllo(cf);
}

Persona NuovaPersona(Casuale& caso, int annoDa, int annoA, std::optional<std::string_view> cognome = {}) {
    const Nome& nome = caso.Uno(Nomi);
    Persona p{std::string(cognome.value_or(caso.Uno(Cognomi))),
              std::string(nome.nome),
              nome.sesso,
              {caso.Tra(1, 28), caso.Tra(1, 12), caso.Tra(annoDa, annoA)},
              &caso.Uno(Comuni),
              {}};
    p.codiceFiscale = CodiceFiscale(p);
    return p;
}

// An amount written the Italian way with two decimals ("-1.234,56"), or nothing.
std::optional<long long> Centesimi(std::string_view testo) {
    const bool negativo = !testo.empty() && testo[0] == '-';
    if (negativo)
        testo.remove_prefix(1);
    if (testo.size() < 4 || testo[testo.size() - 3] != ',')
        return std::nullopt;
    long long valore = 0;
    int cifreDelGruppo = 0;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (i == testo.size() - 3)
            continue;
        if (c == '.') {
            if (cifreDelGruppo == 0 || cifreDelGruppo > 3)
                return std::nullopt;
            cifreDelGruppo = 0;
            continue;
        }
        if (c < '0' || c > '9')
            return std::nullopt;
        valore = valore * 10 + (c - '0');
        ++cifreDelGruppo;
    }
    return negativo ? -valore : valore;
}

std::string TestoImporto(long long centesimi) {
    const bool negativo = centesimi < 0;
    const long long valore = negativo ? -centesimi : centesimi;
    const std::string cifre = std::to_string(valore / 100);
    std::string interi;
    for (std::size_t i = 0; i < cifre.size(); ++i) {
        if (i > 0 && (cifre.size() - i) % 3 == 0)
            interi += '.';
        interi += cifre[i];
    }
    return (negativo ? "-" : "") + interi + "," + DueCifre(static_cast<int>(valore % 100));
}

// One export line: a row of columns, written TAB-separated with CR LF.
class Riga {
public:
    explicit Riga(int colonne) : m_colonne(static_cast<std::size_t>(colonne)) {}

    Riga& Copia(std::span<const Colonna> valori) {
        for (const Colonna& v : valori)
            m_colonne.at(static_cast<std::size_t>(v.colonna)) = v.testo;
        return *this;
    }
    Riga& Metti(int colonna, std::string testo) {
        m_colonne.at(static_cast<std::size_t>(colonna)) = std::move(testo);
        return *this;
    }
    // Every amount with two decimals from column `da` on, times `percento` / 100.
    Riga& VariaImporti(int percento, int da) {
        for (std::size_t c = static_cast<std::size_t>(da); c < m_colonne.size(); ++c)
            if (const auto importo = Centesimi(m_colonne[c]))
                m_colonne[c] = TestoImporto(*importo * percento / 100);
        return *this;
    }
    void Scrivi(std::ostream& uscita) const {
        for (std::size_t c = 0; c < m_colonne.size(); ++c) {
            if (c)
                uscita.put('\t');
            uscita << m_colonne[c];
        }
        uscita << "\r\n";
    }

private:
    std::vector<std::string> m_colonne;
};

// ---- 770: one line of 200 columns per employee.
void Genera770(Casuale& caso, int righe, std::ostream& uscita) {
    for (int i = 0; i < righe; ++i) {
        const Persona p = NuovaPersona(caso, 1950, 1995);
        const int scelta = caso.Tra(1, 100);
        const std::span<const Colonna> redditi = scelta <= 50   ? std::span<const Colonna>(bench::Redditi770A)
                                                 : scelta <= 75 ? std::span<const Colonna>(bench::Redditi770B)
                                                                : std::span<const Colonna>(bench::Redditi770C);
        Riga(200)
            .Copia(bench::Sostituto770)
            .Copia(redditi)
            .Metti(20, p.codiceFiscale)
            .Metti(21, p.cognome)
            .Metti(22, p.nome)
            .Metti(23, std::string(1, p.sesso))
            .Metti(24, TestoData(p.nascita))
            .Metti(25, std::string(p.comune->nome))
            .Metti(26, std::string(p.comune->provincia))
            .VariaImporti(caso.Tra(50, 150), 27)
            .Scrivi(uscita);
    }
}

// ---- UniEmens and E-Mens: employees (some with a line of the previous month before theirs) and
// collaborators, one line each; the person columns are 10 to 12.
struct TipoINPS {
    int peso;                       // out of 100
    std::span<const Colonna> prima; // previous-month line, or empty
    std::span<const Colonna> riga;
    int colonne;
};

void GeneraINPS(Casuale& caso, int righe, std::span<const Colonna> azienda, std::span<const TipoINPS> tipi,
                std::ostream& uscita) {
    int scritte = 0;
    while (scritte < righe) {
        int scelta = caso.Tra(1, 100);
        const TipoINPS* tipo = &tipi[0];
        for (const TipoINPS& t : tipi) {
            if (scelta <= t.peso) {
                tipo = &t;
                break;
            }
            scelta -= t.peso;
        }
        // A pair that does not fit at the end becomes a single employee.
        if (!tipo->prima.empty() && scritte + 2 > righe)
            tipo = &tipi[0];
        const Persona p = NuovaPersona(caso, 1950, 1998);
        const int percento = caso.Tra(50, 150);
        auto scrivi = [&](std::span<const Colonna> modello) {
            Riga(tipo->colonne)
                .Copia(azienda)
                .Copia(modello)
                .Metti(10, p.codiceFiscale)
                .Metti(11, p.cognome)
                .Metti(12, p.nome)
                .VariaImporti(percento, 13)
                .Scrivi(uscita);
            ++scritte;
        };
        if (!tipo->prima.empty())
            scrivi(tipo->prima);
        scrivi(tipo->riga);
    }
}

void GeneraUniemens(Casuale& caso, int righe, std::ostream& uscita) {
    // clang-format off
    const TipoINPS tipi[] = {
    //   peso  previous month               line                          columns
        {40,   {},                          bench::UniemensDipendente,    46},
        {15,   {},                          bench::UniemensPartTime,      46},
        {10,   {},                          bench::UniemensAlterno,       46},
        {15,   bench::UniemensPrecedente,   bench::UniemensAttuale,       46},
        {12,   {},                          bench::UniemensCollaboratore, 46},
        { 8,   {},                          bench::UniemensCollaboratoreG,46},
    };
    // clang-format on
    GeneraINPS(caso, righe, bench::AziendaUniemens, tipi, uscita);
}

void GeneraEmens(Casuale& caso, int righe, std::ostream& uscita) {
    // clang-format off
    const TipoINPS tipi[] = {
    //   peso  previous month               line                          columns
        {45,   {},                          bench::EmensDipendente,       46},
        {10,   {},                          bench::EmensBreve,            42},
        {12,   bench::EmensPrecedente,      bench::EmensAttuale,          46},
        { 8,   bench::EmensPrecedenteR,     bench::EmensAttualeR,         46},
        {15,   {},                          bench::EmensCollaboratore,    46},
        {10,   {},                          bench::EmensCollaboratoreB,   46},
    };
    // clang-format on
    GeneraINPS(caso, righe, bench::AziendaEmens, tipi, uscita);
}

// ---- DMA: one line of 46 columns per employee of the body; the person is in columns 31 to 36.
void GeneraDMA(Casuale& caso, int righe, std::ostream& uscita) {
    for (int i = 0; i < righe; ++i) {
        const Persona p = NuovaPersona(caso, 1950, 1993);
        Riga(46)
            .Copia(bench::EnteDMA)
            .Copia(caso.Percento(80) ? std::span<const Colonna>(bench::DMAResidenza)
                                     : std::span<const Colonna>(bench::DMAResidenzaInterno))
            .Metti(31, p.codiceFiscale)
            .Metti(32, p.cognome)
            .Metti(33, p.nome)
            .Metti(34, std::string(1, p.sesso))
            .Metti(35, TestoData(p.nascita))
            .Metti(36, std::string(p.comune->nome))
            .Scrivi(uscita);
    }
}

// ---- TFR: one to four lines per employee, one per year, and a beneficiaries export for some.
void GeneraTFR(Casuale& caso, int righe, std::ostream& uscita, std::ostream& beneficiari) {
    const std::span<const Colonna> modelli[] = {bench::TFRFondoBanca, bench::TFRInps, bench::TFRFondoPosta,
                                                bench::TFRFondoEstero, bench::TFRCessato};
    int scritte = 0;
    int righeBeneficiari = 0;
    for (int matricola = 100; scritte < righe; matricola += caso.Tra(1, 9)) {
        const Persona p = NuovaPersona(caso, 1950, 1990);
        const std::span<const Colonna> modello = caso.Uno(modelli);
        const int anni = std::min(caso.Tra(1, 4), righe - scritte);
        std::string numero = std::to_string(matricola);
        numero.insert(0, 9 - numero.size(), '0');
        for (int a = 0; a < anni; ++a) {
            const int anno = 2011 - anni + 1 + a;
            Riga(42)
                .Copia(bench::DatoreTFR)
                .Copia(modello)
                .Metti(11, numero)
                .Metti(13, p.codiceFiscale)
                .Metti(14, p.cognome)
                .Metti(15, p.nome)
                .Metti(22, std::string(1, p.sesso))
                .Metti(23, TestoData(p.nascita))
                .Metti(32, "01/01/" + std::to_string(anno))
                .Metti(33, "31/12/" + std::to_string(anno))
                .Metti(34, "12")
                .Metti(35, "0")
                .VariaImporti(caso.Tra(50, 150), 37)
                .Scrivi(uscita);
            ++scritte;
        }
        // One employee in ten has heirs or beneficiaries named.
        if (caso.Percento(10))
            for (int b = caso.Tra(1, 2); b > 0 && righeBeneficiari < righe; --b, ++righeBeneficiari) {
                const bool coniuge = caso.Percento(40);
                const Persona erede =
                    coniuge ? NuovaPersona(caso, 1950, 1990) : NuovaPersona(caso, 1995, 2010, p.cognome);
                Riga(6)
                    .Metti(0, p.codiceFiscale)
                    .Metti(1, erede.codiceFiscale)
                    .Metti(2, erede.cognome)
                    .Metti(3, erede.nome)
                    .Metti(4, coniuge ? "C" : "F")
                    .Metti(5, std::string(caso.Uno(Iban)))
                    .Scrivi(beneficiari);
            }
    }
}

std::ofstream Apri(const fs::path& percorso) {
    std::ofstream file(percorso, std::ios::binary);
    if (!file)
        throw std::runtime_error("impossibile creare " + percorso.string());
    return file;
}

int Uso() {
    std::cerr << "Uso: genera_esportazioni 770|uniemens|dma|emens|tfr RIGHE CARTELLA [SEME]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5)
        return Uso();
    const std::string comando = argv[1];
    const int righe = std::atoi(argv[2]);
    const fs::path cartella = argv[3];
    const std::uint64_t seme = argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 20110614;
    if (righe < 1 || righe > 32767)
        return Uso();
    try {
        fs::create_directories(cartella);
        Casuale caso(seme);
        if (comando == "770") {
            auto file = Apri(cartella / "Esportazione770.tab");
            Genera770(caso, righe, file);
        } else if (comando == "uniemens") {
            auto file = Apri(cartella / "EsportazioneINPS.tab");
            GeneraUniemens(caso, righe, file);
        } else if (comando == "emens") {
            auto file = Apri(cartella / "EsportazioneINPS.tab");
            GeneraEmens(caso, righe, file);
        } else if (comando == "dma") {
            auto file = Apri(cartella / "EsportazioneINPDAP.tab");
            GeneraDMA(caso, righe, file);
        } else if (comando == "tfr") {
            auto file = Apri(cartella / "EsportazioneTFR.tab");
            auto beneficiari = Apri(cartella / "EsportazioneTFRBeneficiari.tab");
            GeneraTFR(caso, righe, file, beneficiari);
        } else {
            return Uso();
        }
    } catch (const std::exception& e) {
        std::cerr << "genera_esportazioni: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
