#include "tracciati/tracciato.h"

#include "shell/errore.h"
#include "shell/testo.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>

namespace tracciati {

namespace {

constexpr bool Maiuscola(char c) { return c >= 'A' && c <= 'Z'; }
bool Tutti(std::string_view testo, char c) { return testo.find_first_not_of(c) == std::string_view::npos; }

// The same for spaces, many at a time: the spaces after the last field of an area are most of it.
bool SoloSpazi(std::string_view testo) {
    static constexpr auto Spazi = [] {
        std::array<char, 64> spazi{};
        spazi.fill(' ');
        return spazi;
    }();
    for (; testo.size() > Spazi.size(); testo.remove_prefix(Spazi.size()))
        if (std::memcmp(testo.data(), Spazi.data(), Spazi.size()) != 0)
            return false;
    return std::memcmp(testo.data(), Spazi.data(), testo.size()) == 0;
}

const shell::RigaEsportazione& Riga(const Pezzo& pezzo, const Fonte& fonte) {
    if (!fonte.riga)
        throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.posizione) + " senza riga di esportazione");
    return *fonte.riga;
}

// The value of a piece from its source.
Valore Valuta(const Pezzo& pezzo, const Fonte& fonte, const Gancio& gancio, std::string& appoggio) {
    switch (pezzo.genere.comune) {
    case Comune::Letterale:
        return pezzo.testo;
    case Comune::X:
    case Comune::N:
        return Riga(pezzo, fonte)[pezzo.colonna];
    case Comune::DT: {
        const shell::RigaEsportazione& riga = Riga(pezzo, fonte);
        const std::string_view testo = riga[pezzo.colonna];
        if (fonte.avvisi && !shell::TogliSpazi(testo).empty() && !shell::LeggiData(testo))
            fonte.avvisi->push_back("Riga " + std::to_string(riga.Numero()) + ", colonna " +
                                    std::to_string(pezzo.colonna) + ": data non valida '" + std::string(testo) +
                                    "', scritta come " + std::string(DataAssente));
        return testo;
    }
    case Comune::Contatore:
        if (pezzo.colonna < 0 || static_cast<std::size_t>(pezzo.colonna) >= fonte.contatori.size())
            throw std::logic_error("Contatore " + std::to_string(pezzo.colonna) + " del pezzo in posizione " +
                                   std::to_string(pezzo.posizione) + " non dato");
        return fonte.contatori[static_cast<std::size_t>(pezzo.colonna)];
    case Comune::Area:
        return fonte.area;
    case Comune::Proprio:
        return gancio.Valuta(pezzo, fonte, appoggio);
    case Comune::Spazi:
    case Comune::Zeri:
    case Comune::Fine:
    case Comune::Tabella:
        break;
    }
    return {};
}

// The text of a piece for its value.
void Scrivi(std::string& record, const Pezzo& pezzo, const Valore& valore, const Gancio& gancio) {
    const auto n = static_cast<std::size_t>(pezzo.lunghezza);
    switch (pezzo.genere.comune) {
    case Comune::Letterale:
    case Comune::Area:
        record += valore.ComeTesto();
        if (pezzo.genere == Comune::Area && valore.ComeTesto().size() < n)
            record.append(n - valore.ComeTesto().size(), ' ');
        return;
    case Comune::Spazi:
        record.append(n, ' ');
        return;
    case Comune::Zeri:
        record.append(n, '0');
        return;
    case Comune::Fine:
        record += FineRecord;
        return;
    case Comune::X:
        AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, TipoPosizionale::X);
        return;
    case Comune::N:
        AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, TipoPosizionale::N);
        return;
    case Comune::DT:
        AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, TipoPosizionale::DT);
        return;
    case Comune::Contatore:
        AggiungiConZeri(record, valore.ComeIntero(), pezzo.lunghezza);
        return;
    case Comune::Proprio:
        gancio.Scrivi(record, pezzo, valore);
        return;
    case Comune::Tabella:
        break;
    }
    throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.posizione) + " senza testo");
}

// Appends the piece, checking its width: a piece of another length would shift the rest of the
// record.
void ScriviPezzo(std::string& record, const Pezzo& pezzo, const Valore& valore, const Gancio& gancio) {
    const std::size_t inizio = record.size();
    Scrivi(record, pezzo, valore, gancio);
    if (const std::size_t scritti = record.size() - inizio; scritti != static_cast<std::size_t>(pezzo.lunghezza)) {
        record.resize(inizio);
        throw shell::ErroreElaborazione("Campo in posizione " + std::to_string(pezzo.posizione) + " lungo " +
                                        std::to_string(scritti) + " caratteri invece di " +
                                        std::to_string(pezzo.lunghezza));
    }
}

// The table that stands for a piece: its sub-table, or the one its converter's kind chooses.
std::span<const Pezzo> Sotto(const Pezzo& pezzo, const Fonte& fonte, const Gancio& gancio) {
    if (pezzo.genere == Comune::Tabella)
        return pezzo.sotto;
    if (pezzo.genere.comune == Comune::Proprio)
        return gancio.Scelta(pezzo, fonte);
    return {};
}

std::span<const Pezzo> SottoLetta(const Pezzo& pezzo, std::string_view record, const Gancio& gancio) {
    if (pezzo.genere == Comune::Tabella)
        return pezzo.sotto;
    if (pezzo.genere.comune == Comune::Proprio)
        return gancio.SceltaLetta(pezzo, record);
    return {};
}

// A piece read back by its kind.
Lettura Leggi(const Pezzo& pezzo, std::string_view testo, const Gancio& gancio) {
    const auto n = [&pezzo] { return std::to_string(pezzo.lunghezza); };
    switch (pezzo.genere.comune) {
    case Comune::Letterale:
        if (testo == pezzo.testo)
            return {Valore(testo)};
        return Lettura::Errata(Difformita::Fisso, "atteso '" + std::string(pezzo.testo) + "'");
    case Comune::Spazi:
        if (Tutti(testo, ' '))
            return {};
        return Lettura::Errata(Difformita::Fisso, "attesi " + n() + " spazi");
    case Comune::Zeri:
        if (Tutti(testo, '0'))
            return {};
        return Lettura::Errata(Difformita::Fisso, "attesi " + n() + " zeri");
    case Comune::Fine:
        if (testo.size() == 1 && testo.front() == FineRecord)
            return {};
        return Lettura::Errata(Difformita::Formato, "atteso 'A', la fine del record");
    case Comune::X:
        return LeggiCampoPosizionale(testo, TipoPosizionale::X);
    case Comune::N:
        return LeggiCampoPosizionale(testo, TipoPosizionale::N);
    case Comune::DT:
        return LeggiCampoPosizionale(testo, TipoPosizionale::DT);
    case Comune::Contatore:
        if (!testo.empty() && testo.size() <= 18 && std::all_of(testo.begin(), testo.end(), Cifra)) {
            long long numero = 0;
            std::from_chars(testo.data(), testo.data() + testo.size(), numero);
            return {Valore(numero)};
        }
        return Lettura::Errata(Difformita::Formato, "attese " + n() + " cifre");
    case Comune::Area:
        return {Valore(testo)};
    case Comune::Proprio:
        return gancio.Leggi(pezzo, testo);
    case Comune::Tabella:
        break;
    }
    return {};
}

// The code of a field: the quadro, a capital letter and a capital letter or a digit ("DA", "D0"); the
// row, three digits; the column, three digits or capital letters ("A22"). Each place by a table of
// the characters it takes.
bool CodiceDiCampo(std::string_view codice) {
    using Ammessi = std::array<unsigned char, 256>;
    static constexpr auto Posti = [] {
        const auto di = [](bool lettere, bool cifre) {
            Ammessi ammessi{};
            for (int c = 0; c < 256; ++c)
                ammessi[static_cast<std::size_t>(c)] =
                    (lettere && Maiuscola(static_cast<char>(c))) || (cifre && Cifra(static_cast<char>(c)));
            return ammessi;
        };
        return std::array<Ammessi, LunghezzaCodice>{di(true, false), di(true, true), di(false, true), di(false, true),
                                                    di(false, true), di(true, true), di(true, true),  di(true, true)};
    }();
    if (codice.size() != static_cast<std::size_t>(LunghezzaCodice))
        return false;
    const auto c = [&codice](std::size_t i) { return static_cast<unsigned char>(codice[i]); };
    return (Posti[0][c(0)] & Posti[1][c(1)] & Posti[2][c(2)] & Posti[3][c(3)] & Posti[4][c(4)] & Posti[5][c(5)] &
            Posti[6][c(6)] & Posti[7][c(7)]) != 0;
}

} // namespace

std::span<const Pezzo> Gancio::Scelta(const Pezzo&, const Fonte&) const { return {}; }
std::span<const Pezzo> Gancio::SceltaLetta(const Pezzo&, std::string_view) const { return {}; }

void Componi(std::string& record, std::span<const Pezzo> tabella, const Fonte& fonte, const Gancio& gancio) {
    std::string appoggio;
    for (const Pezzo& pezzo : tabella) {
        if (record.size() + 1 != static_cast<std::size_t>(pezzo.posizione))
            throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.posizione) + " dopo " +
                                   std::to_string(record.size()) + " caratteri");
        if (const auto sotto = Sotto(pezzo, fonte, gancio); !sotto.empty()) {
            Componi(record, sotto, fonte, gancio);
            continue;
        }
        ScriviPezzo(record, pezzo, Valuta(pezzo, fonte, gancio, appoggio), gancio);
    }
}

void RecordLetto::Leggi(std::string_view record, std::span<const Pezzo> tabella, const Gancio& gancio,
                        std::size_t lunghezza) {
    m_tabella = tabella;
    m_pezzi.clear();
    m_segnalazioni.clear();
    m_lunghezzaGiusta = true;
    if (lunghezza == std::string_view::npos)
        lunghezza = record.size();
    if (!tabella.empty()) {
        const int attesa = UltimaPosizione(tabella.back());
        m_lunghezzaGiusta = lunghezza == static_cast<std::size_t>(attesa);
        if (!m_lunghezzaGiusta)
            m_segnalazioni.push_back(
                {Difformita::Formato,
                 0,
                 0,
                 {},
                 "il record ha " + std::to_string(lunghezza) + " caratteri invece di " + std::to_string(attesa)});
    }
    LeggiPezzi(record, tabella, gancio);
}

void RecordLetto::LeggiPezzi(std::string_view record, std::span<const Pezzo> tabella, const Gancio& gancio) {
    for (const Pezzo& pezzo : tabella) {
        if (static_cast<std::size_t>(UltimaPosizione(pezzo)) > record.size())
            return; // a short record: what it lacks is reported once, by its length
        if (const auto sotto = SottoLetta(pezzo, record, gancio); !sotto.empty()) {
            LeggiPezzi(record, sotto, gancio);
            continue;
        }
        const std::string_view testo =
            record.substr(static_cast<std::size_t>(pezzo.posizione - 1), static_cast<std::size_t>(pezzo.lunghezza));
        Lettura lettura = tracciati::Leggi(pezzo, testo, gancio);
        m_pezzi.push_back({&pezzo, testo, lettura.valore});
        if (lettura.difformita != Difformita::Nessuna)
            m_segnalazioni.push_back(
                {lettura.difformita, pezzo.posizione, pezzo.lunghezza, testo, std::move(lettura.atteso), &pezzo});
    }
}

const PezzoLetto* RecordLetto::Letto(const Pezzo& pezzo) const {
    for (const PezzoLetto& p : m_pezzi)
        if (p.pezzo == &pezzo)
            return &p;
    return nullptr;
}

std::string_view RecordLetto::Testo(const Pezzo& pezzo) const {
    if (const PezzoLetto* letto = Letto(pezzo))
        return letto->testo;
    if (!DellaTabella(m_tabella, pezzo))
        throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.posizione) +
                               " di un'altra tabella di record");
    return {};
}

void Ricomponi(std::string& record, std::span<const PezzoLetto> pezzi, const Gancio& gancio) {
    for (const PezzoLetto& p : pezzi)
        ScriviPezzo(record, *p.pezzo, p.valore, gancio);
}

std::string Segnalazione::Messaggio() const {
    std::string testo;
    if (posizione > 0) {
        testo = lunghezza > 1
                    ? "posizioni " + std::to_string(posizione) + "-" + std::to_string(posizione + lunghezza - 1)
                    : "posizione " + std::to_string(posizione);
        testo += ": trovato '";
        testo += trovato;
        testo += "', ";
    }
    return testo + atteso;
}

namespace {

// How many entries from the hint on are looked at one by one before a search: an area leaves out the
// fields it has no value for, most often a few between two it writes.
constexpr std::size_t VoceVicine = 32;

// PostoNelCatalogo as a number, the catalogue's size for none: the entry hinted at or one of the few after
// it, else a search of the whole catalogue.
std::size_t Posto(Catalogo catalogo, std::string_view codice, std::size_t daProvare) {
    const std::size_t vicine = std::min(catalogo.size(), daProvare + VoceVicine);
    for (std::size_t v = daProvare; v < vicine; ++v)
        if (catalogo[v].codice == codice)
            return v;
    const auto voce = std::lower_bound(catalogo.begin(), catalogo.end(), codice,
                                       [](const VoceCatalogo& v, std::string_view c) { return v.codice < c; });
    return voce != catalogo.end() && voce->codice == codice ? static_cast<std::size_t>(voce - catalogo.begin())
                                                            : catalogo.size();
}

} // namespace

void AreaLetta::Leggi(std::span<const std::string_view> aree, Catalogo catalogo) {
    m_campi.clear();
    m_valori.clear();
    m_segnalazioni.clear();
    m_testi.clear();
    std::size_t caratteri = 0;
    for (const std::string_view area : aree)
        caratteri += area.size();
    m_testi.reserve(caratteri);

    const auto segnala = [&](Difformita difformita, int record, int posizione, std::string_view trovato,
                             std::string atteso) {
        m_segnalazioni.push_back(
            {difformita, posizione, static_cast<int>(trovato.size()), trovato, std::move(atteso), nullptr, record});
    };
    // The text of the last field, an AN one or one of a code the catalogue does not know, joined over
    // its blocks when it took more than one (m_valori holds their value parts).
    const auto chiudi = [&] {
        if (m_valori.empty())
            return;
        const std::size_t inizio = m_testi.size();
        m_testi += m_valori.front();
        for (std::size_t b = 1; b < m_valori.size(); ++b)
            m_testi += m_valori[b].substr(1);
        m_campi.back().valore = std::string_view(m_testi).substr(inizio);
        m_valori.clear();
    };

    bool finita = false;      // a block of spaces was found: nothing but spaces may follow
    bool dopoCampo = false;   // the block before belongs to the last field
    std::size_t seguente = 0; // the catalogue's entry after the last code found
    for (std::size_t r = 0; r < aree.size(); ++r) {
        const std::string_view area = aree[r];
        const int record = static_cast<int>(r);
        for (std::size_t inizio = 0; inizio < area.size(); inizio += LunghezzaBlocco) {
            const std::string_view blocco = area.substr(inizio, LunghezzaBlocco);
            const int posizione = InizioArea + static_cast<int>(inizio);
            if (finita || (blocco.front() == ' ' && SoloSpazi(blocco))) {
                // Spaces to the end of the area, all at once; else the first block that is not.
                if (!SoloSpazi(area.substr(inizio))) {
                    while (SoloSpazi(area.substr(inizio, LunghezzaBlocco)))
                        inizio += LunghezzaBlocco;
                    chiudi();
                    segnala(Difformita::Formato, record, InizioArea + static_cast<int>(inizio),
                            area.substr(inizio, LunghezzaBlocco), "attesi solo spazi dopo l'ultimo campo");
                    return;
                }
                finita = true;
                break;
            }
            const std::string_view codice = blocco.substr(0, LunghezzaCodice);
            const std::string_view valore = blocco.substr(LunghezzaCodice);
            if (!CodiceDiCampo(codice) || valore.size() != static_cast<std::size_t>(LunghezzaValore)) {
                segnala(Difformita::Formato, record, posizione, blocco,
                        "atteso un blocco di 24 caratteri: il codice del campo (quadro, rigo di tre cifre, "
                        "colonna) e il valore");
                dopoCampo = false;
                continue;
            }
            if (valore.front() == Continuazione && dopoCampo && m_campi.back().codice == codice) {
                CampoLetto& campo = m_campi.back();
                if (campo.tipo && *campo.tipo != Tipo::AN)
                    segnala(Difformita::Formato, record, posizione, blocco,
                            "atteso un campo AN: solo un campo AN continua in altri blocchi");
                else {
                    if (m_valori.empty())
                        m_valori.push_back(campo.valore.ComeTesto());
                    m_valori.push_back(valore);
                }
                ++campo.blocchi;
                continue;
            }
            // Only a block after one of its own code continues a field: the first block of a field starts it
            // whatever its first character, "+" too (a name as the export holds it).
            chiudi();
            dopoCampo = true;
            const std::size_t voce = Posto(catalogo, codice, seguente);
            const bool noto = voce < catalogo.size();
            if (noto)
                seguente = voce + 1;
            CampoLetto& campo = m_campi.emplace_back(codice, noto ? std::optional(voce) : std::nullopt,
                                                     noto ? std::optional(catalogo[voce].tipo) : std::nullopt,
                                                     Valore(valore), record, posizione, 1);
            if (!campo.tipo || *campo.tipo == Tipo::AN)
                continue;
            Lettura lettura = LeggiValoreNonPosizionale(valore, *campo.tipo);
            // A value that breaks its type is kept as the text found, for what a reader shows of it.
            if (lettura.difformita != Difformita::Formato)
                campo.valore = lettura.valore;
            if (lettura.difformita != Difformita::Nessuna)
                segnala(lettura.difformita, record, posizione + LunghezzaCodice, valore, std::move(lettura.atteso));
        }
    }
    chiudi();
}

std::optional<std::size_t> PostoNelCatalogo(Catalogo catalogo, std::string_view codice, std::size_t daProvare) {
    const std::size_t posto = Posto(catalogo, codice, daProvare);
    return posto < catalogo.size() ? std::optional(posto) : std::nullopt;
}

std::optional<Tipo> CercaNelCatalogo(Catalogo catalogo, std::string_view codice) {
    const auto voce = PostoNelCatalogo(catalogo, codice);
    return voce ? std::optional(catalogo[*voce].tipo) : std::nullopt;
}

std::span<const Pezzo> Tracciato::Tabella(char tipo) const {
    for (const TabellaRecord& r : record)
        if (r.tipo == tipo)
            return r.tabella;
    return {};
}

} // namespace tracciati
