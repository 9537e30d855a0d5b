// The check of an INPDAP DMA supply: records A, B, C (one per employee) and Z read by the tables that
// write them; the head columns that each record repeats; the administration the same everywhere; the
// module numbers and the counts of Z; the fields of each record C by the writer's table, with their
// order, the reference period and the employee's data; every tax code.

#include "anagrafe/codice_fiscale.h"
#include "dma/record_dma.h"
#include "formati/record_fissi.h"
#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace verifica {

namespace {

using tracciati::Valore;

// clang-format off
constexpr int PosAmministrazioneA = 23; // A: X16 of column 0
constexpr int PosModulo = 18;           // B, C: the module number
constexpr int PosMese = 91;             // B: N2 of column 9
constexpr int PosAnno = 93;             // B: N4 of column 8
constexpr int PosCodiceFiscale = 67;    // C: X16 of column 31

// The head repeats the columns of its line: positions 44-66 are 2-12, 13-17 and 26-32 again.
struct Copia { int posizione; int lunghezza; int originale; };
constexpr Copia CopieTesta[] = {
    {44, 11,  2},
    {55,  5, 13},
    {60,  7, 26},
};
// The head columns that every line repeats: the administration (2-12) must be the same as in record B;
// the others should be.
struct ColonnaTesta { int posizione; int lunghezza; Gravita gravita; };
constexpr ColonnaTesta ColonneTesta[] = {
    { 2, 11, Gravita::Errore},
    {13,  5, Gravita::Avviso},
    {26,  7, Gravita::Avviso},
    {33, 11, Gravita::Avviso},
};

constexpr Eccezione EccezioniDma[] = {
//   tipo  pos  gravita
    {'A',  16, Gravita::Errore},  // "INP05": a supply with another code is no DMA supply
    {'B',  13, Gravita::Avviso},  // N of a number read plainly: other characters come from the export
    {'B',  55, Gravita::Avviso},
    {'B',  77, Gravita::Avviso},
    {'C',  13, Gravita::Avviso},
    {'C',  55, Gravita::Avviso},
};

constexpr Passo Ordine[] = {
    {'\0', "AZ"}, {'A', "B"}, {'B', "C"}, {'C', "CZ"}, {'Z', ""},
};

// The fixed values of record C.
struct ValoreFisso { std::string_view codice; std::string_view testo; long long numero; };
constexpr ValoreFisso FissiC[] = {
    {"D0001015", "",   1},
    {"E0001007", "07", 0},
    {"E0001008", "01", 0},
    {"E0001011", "",  13},
    {"E0001012", "",   4},
};
// clang-format on

std::string Data8(const shell::Data& d) {
    char testo[16];
    std::snprintf(testo, sizeof testo, "%02d%02d%04d", d.giorno, d.mese, d.anno);
    return testo;
}

class LettoreDma {
public:
    explicit LettoreDma(Lettura& lettura) : m_lettura(lettura), m_tracciato(dma::TracciatoDMA()) {}

    void Leggi() {
        LettoreRighe righe(m_lettura.File());
        Riga riga;
        while (righe.Prossima(riga))
            Record(riga);
        Fine();
    }

private:
    void Record(const Riga& riga);
    void Testa(const Riga& riga, char tipo, long persona);
    void RecordA(const Riga& riga);
    void RecordB(const Riga& riga);
    void RecordC(const Riga& riga);
    void RecordZ(const Riga& riga);
    void Fine();

    Lettura& m_lettura;
    const tracciati::Tracciato& m_tracciato;
    tracciati::RecordLetto m_record;
    tracciati::AreaLetta m_area;
    OrdineDeiRecord m_ordine{Ordine, "A, B, un record C per dipendente, Z"};
    std::string m_amministrazioneA; // A 23-38
    long m_rigaA = 0;
    std::string m_testaB; // B 1-66
    long m_rigaB = 0;
    std::optional<dma::Periodo> m_periodo;
    std::string m_mese;   // "MM/AAAA", from B
    int m_recordB = 0;
    long long m_recordC = 0;
    CodiciVisti m_codiciFiscali;
};

void LettoreDma::Record(const Riga& riga) {
    m_lettura.Record();
    ControllaFineRiga(m_lettura, riga);
    const char tipo = riga.testo.empty() ? '\0' : riga.testo.front();
    if (m_tracciato.Tabella(tipo).empty())
        return TipoSconosciuto(m_lettura, riga, "A, B, C, Z");
    m_ordine.Controlla(m_lettura, riga, tipo);
    switch (tipo) {
    case 'A':
        return RecordA(riga);
    case 'B':
        return RecordB(riga);
    case 'C':
        return RecordC(riga);
    case 'Z':
        return RecordZ(riga);
    }
}

// The head of records B and C: its repeated columns, and the administration's columns against record B.
void LettoreDma::Testa(const Riga& riga, char tipo, long persona) {
    const std::string_view record = riga.testo;
    for (const Copia& c : CopieTesta) {
        const auto copia = Parte(record, c.posizione, c.lunghezza);
        const auto originale = Parte(record, c.originale, c.lunghezza);
        if (copia != originale)
            m_lettura.Errore(riga.numero, c.posizione,
                             "record " + std::string(1, tipo) + ": " + Posizioni(c.posizione, c.lunghezza) + " '" +
                                 std::string(copia) + "' diverse dalle " + Posizioni(c.originale, c.lunghezza) + " '" +
                                 std::string(originale) + "': sono le stesse colonne della stessa riga",
                             persona);
    }
    if (tipo == 'B' || m_rigaB == 0)
        return;
    for (const ColonnaTesta& c : ColonneTesta) {
        const auto qui = Parte(record, c.posizione, c.lunghezza);
        const auto inB = Parte(m_testaB, c.posizione, c.lunghezza);
        if (qui != inB)
            m_lettura.Segnala({c.gravita, riga.numero, c.posizione,
                               "record C: " + Posizioni(c.posizione, c.lunghezza) + " '" + std::string(qui) +
                                   "' diverse dal record B '" + std::string(inB) + "' (riga " + std::to_string(m_rigaB) +
                                   "): ogni riga ripete i dati dell'amministrazione",
                               persona});
    }
}

void LettoreDma::RecordA(const Riga& riga) {
    m_record.Leggi(riga.testo, m_tracciato.Tabella('A'), m_tracciato.gancio);
    SegnalaRecord(m_lettura, riga, 'A', m_record, EccezioniDma, {}, -1);
    if (m_rigaA > 0)
        return;
    m_rigaA = riga.numero;
    m_amministrazioneA = TestoDi(m_record, PosAmministrazioneA);
    SegnalaCodiceFiscale(m_lettura, riga.numero, PosAmministrazioneA, m_amministrazioneA,
                         "record A: posizioni 23-38: codice fiscale dell'amministrazione", Gravita::Errore, -1);
}

void LettoreDma::RecordB(const Riga& riga) {
    m_record.Leggi(riga.testo, m_tracciato.Tabella('B'), m_tracciato.gancio);
    SegnalaRecord(m_lettura, riga, 'B', m_record, EccezioniDma, {}, -1);
    Testa(riga, 'B', -1);
    ++m_recordB;
    if (m_rigaB > 0)
        return;
    m_rigaB = riga.numero;
    m_testaB.assign(riga.testo.substr(0, 66));
    const std::string_view modulo = TestoDi(m_record, PosModulo);
    if (Cifre(modulo) && NumeroDi(modulo) != 1)
        m_lettura.Errore(riga.numero, PosModulo,
                         "record B: posizioni 18-25: numero di modulo " + Intero(NumeroDi(modulo)) + ", atteso 1");
    if (m_rigaA > 0 && Parte(m_amministrazioneA, 1, 11) != Parte(riga.testo, 2, 11))
        m_lettura.Errore(riga.numero, 2,
                         "record B: posizioni 2-12 '" + std::string(Parte(riga.testo, 2, 11)) +
                             "' diverse dal codice dell'amministrazione del record A '" +
                             std::string(SenzaSpaziFinali(m_amministrazioneA)) + "'");
    // Columns 10 to 16 twice.
    if (Parte(riga.testo, 97, 253) != Parte(riga.testo, 603, 253))
        m_lettura.Errore(riga.numero, 603,
                         "record B: posizioni 603-855 diverse dalle 97-349: sono le stesse colonne (10-16) scritte due volte");
    // The reference month.
    const std::string_view mese = TestoDi(m_record, PosMese);
    const std::string_view anno = TestoDi(m_record, PosAnno);
    const bool meseBuono = Cifre(mese) && NumeroDi(mese) >= 1 && NumeroDi(mese) <= 12;
    if (!meseBuono)
        m_lettura.Errore(riga.numero, PosMese, "record B: posizioni 91-92: mese di riferimento '" + std::string(mese) +
                                                   "', atteso da 01 a 12");
    if (!Cifre(anno))
        m_lettura.Errore(riga.numero, PosAnno,
                         "record B: posizioni 93-96: anno di riferimento '" + std::string(anno) + "', attese 4 cifre");
    if (meseBuono && Cifre(anno)) {
        m_periodo = dma::PeriodoDiRiferimento(static_cast<int>(NumeroDi(anno)), static_cast<int>(NumeroDi(mese)));
        m_mese = std::string(mese) + "/" + std::string(anno);
        ControllaNomeFile(m_lettura, "INPDAPDMA-" + std::string(anno) + "-" + std::string(mese) + ".txt");
    }
    m_lettura.Dati({{{"Amministrazione", std::string(SenzaSpaziFinali(Parte(riga.testo, 2, 11)))},
                     {"Mese di riferimento", m_mese}}});
}

void LettoreDma::RecordC(const Riga& riga) {
    const long persona = m_lettura.NuovaPersona();
    ++m_recordC;
    m_record.Leggi(riga.testo, m_tracciato.Tabella('C'), m_tracciato.gancio);
    const std::string_view posizioni = TestoDi(m_record, PosCodiceFiscale);
    const std::string_view codice = SenzaSpaziFinali(posizioni);
    const std::string chi = codice.empty() ? std::string() : "dipendente " + std::string(codice);
    const std::string di = Di(chi);
    SegnalaRecord(m_lettura, riga, 'C', m_record, EccezioniDma, chi, persona);
    Testa(riga, 'C', persona);
    const std::string_view modulo = TestoDi(m_record, PosModulo);
    if (Cifre(modulo) && NumeroDi(modulo) != m_recordC)
        m_lettura.Errore(riga.numero, PosModulo,
                         "record C: posizioni 18-25: numero di modulo " + Intero(NumeroDi(modulo)) + ", atteso " +
                             Intero(m_recordC) + ": un record C per dipendente, numerati da 1" + di,
                         persona);

    const std::array<std::string_view, 1> area{TestoDi(m_record, tracciati::InizioArea)};
    m_area.Leggi(area, m_tracciato.catalogo);
    for (const tracciati::Segnalazione& s : m_area.Segnalazioni()) {
        std::string campo;
        const int inizio = s.posizione - tracciati::InizioArea;
        if (s.lunghezza == tracciati::LunghezzaValore && inizio >= tracciati::LunghezzaCodice)
            campo = "campo " + std::string(area[0].substr(static_cast<std::size_t>(inizio - tracciati::LunghezzaCodice),
                                                          tracciati::LunghezzaCodice)) + ", ";
        m_lettura.Segnala({GravitaDi(s.difformita, 'C', s.posizione, {}), riga.numero, s.posizione,
                           "record C: " + campo + s.Messaggio() + di, persona});
    }
    const auto& letti = m_area.Campi();
    const auto campo = [&](std::string_view c) -> const tracciati::CampoLetto* {
        const auto i = std::find_if(letti.begin(), letti.end(), [&](const auto& l) { return l.codice == c; });
        return i == letti.end() ? nullptr : &*i;
    };
    // The fields in the order of the table: unknown codes, codes out of order or repeated, and the ones
    // always written.
    std::size_t prossimo = 0;
    for (const tracciati::CampoLetto& l : letti) {
        const auto voce = std::find_if(dma::CampiQuadri.begin(), dma::CampiQuadri.end(),
                                       [&](const dma::CampoQuadro& q) { return q.codice == l.codice; });
        if (voce == dma::CampiQuadri.end()) {
            m_lettura.Avviso(riga.numero, l.posizione,
                             "record C: campo " + std::string(l.codice) + " sconosciuto: il convertitore non scrive questo codice" + di,
                             persona);
            continue;
        }
        const auto indice = static_cast<std::size_t>(voce - dma::CampiQuadri.begin());
        if (indice < prossimo)
            m_lettura.Avviso(riga.numero, l.posizione,
                             "record C: campo " + std::string(l.codice) + " fuori ordine o ripetuto" + di, persona);
        prossimo = std::max(prossimo, indice + 1);
    }
    for (const dma::CampoQuadro& q : dma::CampiQuadri)
        if (q.quando == dma::Quando::Sempre && !campo(q.codice))
            m_lettura.Errore(riga.numero, tracciati::InizioArea,
                             "record C: manca il campo " + std::string(q.codice) +
                                 (letti.size() * tracciati::LunghezzaBlocco >= tracciati::LunghezzaArea - tracciati::LunghezzaBlocco
                                      ? ": l'area dei campi \xE8 piena, i campi seguenti sono stati tagliati"
                                      : "") + di,
                             persona);
    // Positions 67-82 and D0001001.
    const auto* d0 = campo("D0001001");
    if (d0 && d0->valore.ComeTesto() != posizioni)
        m_lettura.Errore(riga.numero, d0->posizione,
                         "record C: campo D0001001 '" + std::string(SenzaSpaziFinali(d0->valore.ComeTesto())) +
                             "' diverso dal codice fiscale delle posizioni 67-82 '" + std::string(codice) + "'",
                         persona);
    // The reference period of quadro E0.
    if (m_periodo) {
        const std::pair<std::string_view, shell::Data> giorni[] = {{"E0001001", m_periodo->primo},
                                                                  {"E0001002", m_periodo->ultimo}};
        for (const auto& [c, giorno] : giorni)
            if (const auto* e = campo(c); e && !(e->valore.Data() && e->valore.ComeData() == giorno))
                m_lettura.Errore(riga.numero, e->posizione,
                                 "record C: campo " + std::string(c) + ": atteso " + Data8(giorno) +
                                     ", il " + (c == "E0001001" ? "primo" : "l'ultimo") + " giorno del mese di riferimento " +
                                     m_mese + " del record B" + di,
                                 persona);
    }
    for (const ValoreFisso& f : FissiC)
        if (const auto* e = campo(f.codice)) {
            const bool uguale = f.testo.empty()
                                    ? e->valore.Intero() && e->valore.ComeIntero() == f.numero
                                    : e->valore.Testo() && SenzaSpaziFinali(e->valore.ComeTesto()) == f.testo;
            if (!uguale)
                m_lettura.Avviso(riga.numero, e->posizione,
                                 "record C: campo " + std::string(f.codice) + " diverso da " +
                                     (f.testo.empty() ? std::to_string(f.numero) : "'" + std::string(f.testo) + "'") +
                                     ", che il convertitore scrive sempre" + di,
                                 persona);
        }
    // The employee's data: each check of the writer, on the field of its column.
    for (const dma::Controllo& c : dma::Controlli) {
        const auto q = std::find_if(dma::CampiQuadri.begin(), dma::CampiQuadri.end(),
                                    [&](const dma::CampoQuadro& v) { return v.colonna == c.colonna; });
        const auto* l = campo(q->codice);
        const bool manca = !l || (l->valore.Testo() && SenzaSpaziFinali(l->valore.ComeTesto()).empty()) ||
                           (q->tipo == tracciati::Tipo::N5 && l->valore.Intero() && l->valore.ComeIntero() == 0);
        if (manca)
            m_lettura.Avviso(riga.numero, l ? l->posizione : tracciati::InizioArea,
                             "record C: campo " + std::string(q->codice) + (l ? " vuoto: " : " assente: ") +
                                 std::string(shell::TogliSpazi(c.testo)) + di,
                             persona);
    }
    if (const auto* cap = campo("D0001009"); cap && cap->valore.Intero() && cap->valore.ComeIntero() > 99999)
        m_lettura.Avviso(riga.numero, cap->posizione, "record C: campo D0001009: CAP di pi\xF9 di 5 cifre" + di, persona);
    // The tax code.
    if (!codice.empty()) {
        SegnalaCodiceFiscale(m_lettura, riga.numero, PosCodiceFiscale, posizioni,
                             "record C: posizioni 67-82: codice fiscale del dipendente", Gravita::Errore, persona);
        std::optional<DataNascita> nascita;
        if (const auto* d = campo("D0001005"); d && d->valore.Data())
            nascita = DataNascita{d->valore.ComeData().giorno, d->valore.ComeData().mese, d->valore.ComeData().anno};
        const auto* sesso = campo("D0001004");
        for (const std::string& discordanza :
             Discordanze(posizioni, nascita, sesso && sesso->valore.Testo() ? sesso->valore.ComeTesto() : ""))
            m_lettura.Avviso(riga.numero, PosCodiceFiscale,
                             "record C: codice fiscale '" + std::string(codice) +
                                 "' e dati anagrafici (D0001004, D0001005) discordi: " + discordanza,
                             persona);
        m_codiciFiscali.Aggiungi(codice, riga.numero);
    } else {
        m_lettura.Avviso(riga.numero, PosCodiceFiscale, "record C: posizioni 67-82: manca il codice fiscale del dipendente",
                         persona);
    }

    if (m_lettura.VuolePersone()) {
        const auto testo = [&](std::string_view c) {
            const auto* l = campo(c);
            return l && l->valore.Testo() ? std::string(SenzaSpaziFinali(l->valore.ComeTesto())) : std::string();
        };
        const auto data = [&](std::string_view c) {
            const auto* l = campo(c);
            return l && l->valore.Data()
                       ? DataItaliana(l->valore.ComeData().anno, l->valore.ComeData().mese, l->valore.ComeData().giorno)
                       : std::string();
        };
        const auto* cap = campo("D0001009");
        Persona p;
        p.indice = persona;
        p.riga = riga.numero;
        p.chiave = std::string(codice);
        p.valori = {std::string(codice),  testo("D0001002"), testo("D0001003"), std::to_string(m_recordC),
                    testo("D0001004"),    data("D0001005"),  testo("D0001006"), testo("D0001007"),
                    testo("D0001008"),
                    cap && cap->valore.Intero() ? std::to_string(cap->valore.ComeIntero()) : std::string(),
                    testo("D0001011"),    testo("D0001012"), testo("D0001013"), testo("E0001009"),
                    data("E0001001"),     data("E0001002")};
        m_lettura.Persona(std::move(p));
    }
}

void LettoreDma::RecordZ(const Riga& riga) {
    m_record.Leggi(riga.testo, m_tracciato.Tabella('Z'), m_tracciato.gancio);
    SegnalaRecord(m_lettura, riga, 'Z', m_record, EccezioniDma, {}, -1);
    ConfrontaConteggio(m_lettura, riga.numero, 'Z', 16, Parte(riga.testo, 16, 9), m_recordB, "record B");
    ConfrontaConteggio(m_lettura, riga.numero, 'Z', 25, Parte(riga.testo, 25, 9), m_recordC, "record C (dipendenti)");
    ConfrontaConteggio(m_lettura, riga.numero, 'Z', 34, Parte(riga.testo, 34, 9), 0, "terzo conteggio");
    if (m_recordC == 0)
        m_lettura.Errore(riga.numero, 1, "la fornitura non ha dipendenti (nessun record C): nulla da inviare");
}

void LettoreDma::Fine() {
    if (m_ordine.Precedente() != 'Z')
        m_lettura.Errore(0, 0,
                         m_ordine.Precedente() == '\0' ? std::string("nessun record: la fornitura \xE8 vuota")
                                              : "la fornitura finisce dopo il record " + std::string(1, m_ordine.Precedente()) +
                                                    ": manca il record Z");
    m_codiciFiscali.Segnala(m_lettura, PosCodiceFiscale, "record C");
}

} // namespace

void LeggiDma(Lettura& lettura) { LettoreDma(lettura).Leggi(); }

} // namespace verifica
