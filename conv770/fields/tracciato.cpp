#include "tracciato.h"

#include "errore.h"
#include "testo.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace conv770::fields {

namespace {

bool Cifra(char c) { return c >= '0' && c <= '9'; }
bool Maiuscola(char c) { return c >= 'A' && c <= 'Z'; }
// Whether every character of the text is `c`: eight at a time, since records hold long runs of
// spaces and zeros.
bool Tutti(std::string_view testo, char c) {
    const std::uint64_t otto = 0x0101010101010101ULL * static_cast<unsigned char>(c);
    std::size_t i = 0;
    for (; i + 8 <= testo.size(); i += 8) {
        std::uint64_t parte;
        std::memcpy(&parte, testo.data() + i, 8);
        if (parte != otto)
            return false;
    }
    for (; i < testo.size(); ++i)
        if (testo[i] != c)
            return false;
    return true;
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
// row, three digits; the column, three digits or capital letters ("A22").
bool CodiceDiCampo(std::string_view codice) {
    if (codice.size() != static_cast<std::size_t>(LunghezzaCodice))
        return false;
    for (std::size_t i = 0; i < codice.size(); ++i) {
        const char c = codice[i];
        const bool buono = i == 0 ? Maiuscola(c) : i >= 2 && i < 5 ? Cifra(c) : Cifra(c) || Maiuscola(c);
        if (!buono)
            return false;
    }
    return true;
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

void RecordLetto::Leggi(std::string_view record, std::span<const Pezzo> tabella, const Gancio& gancio) {
    m_pezzi.clear();
    m_segnalazioni.clear();
    if (!tabella.empty()) {
        const int lunghezza = UltimaPosizione(tabella.back());
        if (record.size() != static_cast<std::size_t>(lunghezza))
            m_segnalazioni.push_back({Difformita::Formato,
                                      0,
                                      0,
                                      {},
                                      "il record ha " + std::to_string(record.size()) + " caratteri invece di " +
                                          std::to_string(lunghezza)});
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
        Lettura lettura = fields::Leggi(pezzo, testo, gancio);
        m_pezzi.push_back({&pezzo, testo, lettura.valore});
        if (lettura.difformita != Difformita::Nessuna)
            m_segnalazioni.push_back(
                {lettura.difformita, pezzo.posizione, pezzo.lunghezza, testo, std::move(lettura.atteso), &pezzo});
    }
}

const PezzoLetto* RecordLetto::DellaColonna(int colonna) const {
    for (const PezzoLetto& p : m_pezzi)
        if (p.pezzo->colonna == colonna && p.pezzo->genere != Comune::Contatore)
            return &p;
    return nullptr;
}

const PezzoLetto* RecordLetto::DelGenere(Genere genere) const {
    for (const PezzoLetto& p : m_pezzi)
        if (p.pezzo->genere == genere)
            return &p;
    return nullptr;
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

void AreaLetta::Leggi(std::span<const std::string_view> aree, Catalogo catalogo) {
    m_campi.clear();
    m_valori.clear();
    m_primi.clear();
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
    // The blocks, field by field.
    bool finita = false; // a block of spaces was found: nothing but spaces may follow
    bool fermo = false;  // something other than spaces after the last field: nothing more is read
    for (std::size_t r = 0; r < aree.size() && !fermo; ++r) {
        const std::string_view area = aree[r];
        const int record = static_cast<int>(r);
        for (std::size_t inizio = 0; inizio < area.size(); inizio += LunghezzaBlocco) {
            const std::string_view blocco = area.substr(inizio, LunghezzaBlocco);
            const int posizione = InizioArea + static_cast<int>(inizio);
            if (finita || Tutti(blocco, ' ')) {
                // After the last field: spaces to the end of the area, looked at in one go.
                const std::string_view resto = area.substr(inizio);
                if (!Tutti(resto, ' ')) {
                    // Reported once; the fields read so far still get their values below.
                    const std::size_t diverso = inizio + resto.find_first_not_of(' ') / LunghezzaBlocco * LunghezzaBlocco;
                    segnala(Difformita::Formato, record, InizioArea + static_cast<int>(diverso),
                            area.substr(diverso, LunghezzaBlocco), "attesi solo spazi dopo l'ultimo campo");
                    fermo = true;
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
                continue;
            }
            CampoLetto* ultimo = m_campi.empty() ? nullptr : &m_campi.back();
            const bool seguito =
                ultimo && m_primi.back() + static_cast<std::size_t>(ultimo->blocchi) == m_valori.size();
            if (valore.front() == Continuazione && seguito && ultimo->codice == codice) {
                if (ultimo->tipo && *ultimo->tipo != Tipo::AN)
                    segnala(Difformita::Formato, record, posizione, blocco,
                            "atteso un campo AN: solo un campo AN continua in altri blocchi");
                ++ultimo->blocchi;
                m_valori.push_back(valore);
                continue;
            }
            if (valore.front() == Continuazione)
                segnala(Difformita::Formato, record, posizione, blocco,
                        "atteso dopo un blocco del suo codice: un blocco con '+' continua un campo");
            m_primi.push_back(m_valori.size());
            m_valori.push_back(valore);
            // Made in its place: a field is made for every block read.
            CampoLetto& campo = m_campi.emplace_back();
            campo.codice = codice;
            campo.tipo = catalogo ? catalogo(codice) : std::nullopt;
            campo.record = record;
            campo.posizione = posizione;
            campo.blocchi = 1;
        }
    }

    // The values.
    for (std::size_t i = 0; i < m_campi.size(); ++i) {
        CampoLetto& campo = m_campi[i];
        const std::string_view primo = m_valori[m_primi[i]];
        std::string_view testo = primo;
        if (campo.blocchi > 1) {
            const std::size_t inizio = m_testi.size();
            m_testi += primo;
            for (int b = 1; b < campo.blocchi; ++b)
                m_testi += m_valori[m_primi[i] + static_cast<std::size_t>(b)].substr(1);
            testo = std::string_view(m_testi).substr(inizio);
        }
        if (!campo.tipo || *campo.tipo == Tipo::AN) {
            campo.valore = testo;
            continue;
        }
        Lettura lettura = LeggiValoreNonPosizionale(primo, *campo.tipo);
        // A value that breaks its type is kept as the text found, for what a reader shows of it.
        campo.valore = lettura.difformita == Difformita::Formato ? Valore(primo) : lettura.valore;
        if (lettura.difformita != Difformita::Nessuna)
            m_segnalazioni.push_back({lettura.difformita, campo.posizione + LunghezzaCodice, LunghezzaValore, primo,
                                      std::move(lettura.atteso), nullptr, campo.record});
    }
    std::stable_sort(m_segnalazioni.begin(), m_segnalazioni.end(), [](const Segnalazione& a, const Segnalazione& b) {
        return a.record != b.record ? a.record < b.record : a.posizione < b.posizione;
    });
}

std::span<const Pezzo> Tracciato::Tabella(char tipo) const {
    for (const TabellaRecord& r : record)
        if (r.tipo == tipo)
            return r.tabella;
    return {};
}

} // namespace conv770::fields
