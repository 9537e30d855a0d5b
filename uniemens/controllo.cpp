#include "uniemens/controllo.h"

#include "shell/contatore.h"

#include <algorithm>
#include <span>
#include <utility>

namespace uniemens {

namespace {

// A field that must read in a given way for its kind of line.
struct CampoControllato {
    int colonna;
    Lettura lettura;
};

// clang-format off
constexpr CampoControllato CampiMittente[] = {
//   col  lettura
    { 7,  Lettura::Intero16},          // year
    { 8,  Lettura::Intero16},          // month
};
constexpr CampoControllato CampiDipendente[] = {
    {25,  Lettura::Settimane},
    {27,  Lettura::NumeroIniziale},    // paid days
    {42,  Lettura::Intero16},          // theoretical pay
    {43,  Lettura::Importo},           // contribution
};
constexpr CampoControllato CampiMesePrecedente[] = {
    {25,  Lettura::Settimane},
    {27,  Lettura::NumeroIniziale},
};
constexpr CampoControllato CampiCollaboratore[] = {
    {37,  Lettura::DataFacoltativa},   // from
    {38,  Lettura::DataFacoltativa},   // to
};
// clang-format on

class Controllo {
public:
    explicit Controllo(std::size_t righe) { m_esito.persone.assign(righe, uniemens::Persona::Nessuna); }
    void Riga(int n, std::string_view testo);
    EsitoControllo Esito() &&;

private:
    // False when the line lacks the sender's columns.
    bool Mittente(const RigaINPS& riga);
    void Persona(const RigaINPS& riga);
    // False, after reporting it, when a column holds a control character: no XML document may hold
    // one, and a line feed there means lines that do not end with CR (the export is damaged).
    bool Caratteri(const RigaINPS& riga);
    // True when the line holds no control character but TABs and the list separators of the list
    // columns, which is when Caratteri finds nothing.
    static bool SoloSeparatoriNelleListe(const RigaINPS& riga);
    // False, after reporting it, when the line ends before column `ultima`.
    bool Colonne(const RigaINPS& riga, int ultima, std::string_view prefisso);
    void Campi(const RigaINPS& riga, std::span<const CampoControllato> campi, std::string_view prefisso);

    void Segnala(int n, std::string testo) { m_errori.emplace_back(n, std::move(testo)); }
    static std::string Prefisso(int n) { return "Errore su persona in riga " + std::to_string(n); }
    static constexpr std::string_view PrefissoAzienda = "Errore sui dati dell'azienda in riga 1";

    EsitoControllo m_esito;
    bool m_primaVuota = false;
    std::vector<std::pair<int, std::string>> m_errori;
    shell::Contatore16 m_dipendenti{"dipendenti"};
    shell::Contatore16 m_collaboratori{"collaboratori"};
    // The previous-month line waiting for the next report, and whose it is.
    int m_rigaInSospeso = 0;
    std::string m_personaInSospeso;
};

void Controllo::Riga(int n, std::string_view testo) {
    if (testo.empty()) {
        m_primaVuota = m_primaVuota || n == 1;
        return;
    }
    m_esito.vuoto = false;
    const RigaINPS riga(n, testo);
    if (!Caratteri(riga))
        return;
    // A line 1 too short for the sender is not looked at as a person: one report is enough.
    if (n == 1 && !Mittente(riga))
        return;
    Persona(riga);
}

bool Controllo::Mittente(const RigaINPS& riga) {
    const std::string prefisso(PrefissoAzienda);
    const std::size_t prima = m_errori.size();
    if (!Colonne(riga, col::UltimaMittente, prefisso))
        return false;
    Campi(riga, CampiMittente, prefisso);
    if (m_errori.size() != prima)
        return true;
    Periodo periodo{riga.LeggiIntero(col::Anno), riga.LeggiIntero(col::Mese), 0};
    periodo.giorni = GiorniDelMese(periodo.anno, periodo.mese);
    m_esito.periodo = periodo;
    return true;
}

void Controllo::Persona(const RigaINPS& riga) {
    const int n = riga.Numero();
    const std::string prefisso = Prefisso(n);
    if (!Colonne(riga, col::Imponibile, prefisso))
        return;
    std::string appoggio;
    // Zero or blank: no person. Text that begins with no number is no zero, but a taxable pay written wrong.
    if (const auto difetto = DifettoCampo(Lettura::NumeroOVuoto, riga.Decodificata(col::Imponibile, appoggio))) {
        Segnala(n, prefisso + ", colonna " + std::to_string(col::Imponibile) + ": " + *difetto);
        return;
    }
    if (riga.NumeroIniziale(col::Imponibile) == 0)
        return;
    if (!Colonne(riga, col::UltimaPersona, prefisso))
        return;

    const bool attuale = riga[col::MeseRiferimento] == MeseAttuale;
    const std::string_view tipo = riga[col::TipoPersona];
    // What the writing passes take the line for (they run only when no line has an error).
    using uniemens::Persona;
    m_esito.persone[static_cast<std::size_t>(n - 1)] = !attuale                    ? Persona::MesePrecedente
                                                       : tipo == TipoDipendente    ? Persona::Dipendente
                                                       : tipo == TipoCollaboratore ? Persona::Collaboratore
                                                                                   : Persona::Nessuna;
    if (tipo == TipoDipendente) {
        m_dipendenti.Incrementa();
        if (!Colonne(riga, attuale ? col::UltimaDipendente : col::UltimaMesePrec, prefisso))
            return;
        const std::size_t prima = m_errori.size();
        using Campi_ = std::span<const CampoControllato>;
        Campi(riga, attuale ? Campi_(CampiDipendente) : Campi_(CampiMesePrecedente), prefisso);
        if (m_errori.size() != prima)
            return;
        if (!attuale) {
            m_rigaInSospeso = n;
            m_personaInSospeso = riga[col::CodiceFiscale];
            return;
        }
        if (m_rigaInSospeso != 0 && m_personaInSospeso != riga[col::CodiceFiscale])
            Segnala(m_rigaInSospeso, Prefisso(m_rigaInSospeso) + ": mese precedente di un'altra persona");
        m_rigaInSospeso = 0;
    } else if (tipo == TipoCollaboratore) {
        if (!attuale) {
            Segnala(n, prefisso + ": Collaboratore segnalato su mese precedente");
            return;
        }
        m_collaboratori.Incrementa();
        if (Colonne(riga, col::UltimaCollaboratore, prefisso))
            Campi(riga, CampiCollaboratore, prefisso);
    } else {
        Segnala(n, prefisso + ": manca Dipendente/Collaboratore");
    }
}

bool Controllo::Caratteri(const RigaINPS& riga) {
    // Most lines hold no control character but the TABs and the list separators of the list columns:
    // one look at the whole line tells, and only a line that holds another, or a separator elsewhere,
    // is looked at column by column to find the first faulty one.
    if (SoloSeparatoriNelleListe(riga))
        return true;
    for (int c = 0; riga.Ha(c); ++c) {
        const bool lista = c == col::Settimane || c == col::GiorniLavorati;
        if (const auto difetto = DifettoCampo(lista ? Lettura::Lista : Lettura::Testo, riga[c])) {
            const std::string prefisso =
                riga.Numero() == 1 && c <= col::UltimaMittente ? std::string(PrefissoAzienda) : Prefisso(riga.Numero());
            Segnala(riga.Numero(), prefisso + ", colonna " + std::to_string(c) + ": " + *difetto);
            return false;
        }
    }
    return true;
}

bool Controllo::SoloSeparatoriNelleListe(const RigaINPS& riga) {
    // Counted without a branch per character, so that a compiler can look at many at once.
    const std::string_view testo = riga.Preparata();
    const auto* t = reinterpret_cast<const unsigned char*>(testo.data());
    const auto separatore = static_cast<unsigned char>(SeparatoreLista);
    std::size_t separatori = 0;
    std::size_t altri = 0;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const unsigned char u = t[i];
        separatori += u == separatore;
        altri += (u < 0x20) & (u != '\t') & (u != separatore);
    }
    if (altri != 0)
        return false;
    for (const int lista : {col::Settimane, col::GiorniLavorati})
        if (riga.Ha(lista))
            separatori -= static_cast<std::size_t>(std::count(riga[lista].begin(), riga[lista].end(), SeparatoreLista));
    return separatori == 0;
}

bool Controllo::Colonne(const RigaINPS& riga, int ultima, std::string_view prefisso) {
    if (riga.Ha(ultima))
        return true;
    const auto colonne = std::to_string(riga.Colonne());
    Segnala(riga.Numero(),
            std::string(prefisso) + ", colonna " + colonne + ": colonna mancante (la riga ha " + colonne + " colonne)");
    return false;
}

void Controllo::Campi(const RigaINPS& riga, std::span<const CampoControllato> campi, std::string_view prefisso) {
    std::string appoggio;
    for (const auto& campo : campi)
        if (const auto difetto = DifettoCampo(campo.lettura, riga.Decodificata(campo.colonna, appoggio)))
            Segnala(riga.Numero(),
                    std::string(prefisso) + ", colonna " + std::to_string(campo.colonna) + ": " + *difetto);
}

EsitoControllo Controllo::Esito() && {
    if (m_primaVuota && !m_esito.vuoto)
        Segnala(1, std::string(PrefissoAzienda) + ": riga vuota");
    // A previous-month error is found at the report that follows it: put every report in line order.
    std::stable_sort(m_errori.begin(), m_errori.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [riga, testo] : m_errori)
        m_esito.errori.push_back(std::move(testo));
    m_esito.dipendenti = m_dipendenti.Valore();
    m_esito.collaboratori = m_collaboratori.Valore();
    m_esito.superato =
        !m_esito.vuoto && m_esito.errori.empty() && (m_esito.dipendenti > 0 || m_esito.collaboratori > 0);
    return std::move(m_esito);
}

} // namespace

EsitoControllo ControllaDocumento(const shell::Esportazione& esportazione) {
    Controllo controllo(esportazione.Righe());
    for (std::size_t i = 0; i < esportazione.Righe(); ++i)
        controllo.Riga(static_cast<int>(i + 1), esportazione.Riga(i));
    return std::move(controllo).Esito();
}

} // namespace uniemens
