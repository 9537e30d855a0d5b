// The check of a TFR 2008 supply: records "1", "2" (one per employee group), "3" (one per line of the
// export), "4" (the beneficiaries of the group) and "9" read by the tables that write them; their
// order; the counts of record "9"; the amount and its flag; the bank coordinates; every tax code.

#include "bankcheck/check_bancari.h"
#include "anagrafe/codice_fiscale.h"
#include "formati/record_fissi.h"
#include "shell/testo.h"
#include "tfr/record_tfr.h"

#include <algorithm>
#include <array>
#include <map>

namespace verifica {

namespace {

using tracciati::Valore;

// clang-format off
constexpr Eccezione EccezioniTfr[] = {
//   tipo  pos  gravita
    {'1', 255, Gravita::Errore},  // "MIVA" and "20080601": the supply's kind and version
    {'1', 259, Gravita::Errore},
    {'1', 267, Gravita::Errore},  // the spaces at the end of records "1" and "2"
    {'2', 267, Gravita::Errore},
    {'2', 233, Gravita::Errore},  // "IT" of the bank block, or its spaces for payment "A"
    {'2', 260, Gravita::Errore},
    {'3',  20, Gravita::Errore},  // the "/" between the two numbers
    {'3',  25, Gravita::Errore},  // the zeros of a period "AN", and the fourth amount of "PS"
    {'3',  35, Gravita::Errore},
    {'3',  45, Gravita::Errore},
    {'3',  55, Gravita::Errore},
    {'3',  65, Gravita::Errore},
    {'3',  75, Gravita::Errore},  // the spaces at the end of records "3" and "4"
    {'4', 105, Gravita::Errore},
};

// The order of the records: "1", then for each employee "2", its "3" and its "4", then "9". Without a
// key on the first line there is no "2" for its group; an export without lines gives only the "4" of
// the empty key and "9".
constexpr Passo Ordine[] = {
    {'\0', "149"}, {'1', "23"}, {'2', "3"}, {'3', "3429"}, {'4', "429"}, {'9', ""},
};

// The counts of record "9".
struct Conto { int posizione; char tipo; };
constexpr Conto Conti9[] = {{2, '1'}, {8, '2'}, {14, '3'}, {20, '4'}};
// clang-format on

// A date of the supply, yyyymmdd, as the listing shows it.
std::string DataAmg(std::string_view testo) {
    if (testo.size() != 8 || !Cifre(testo) || testo == "00000000")
        return std::string(testo == "00000000" ? "" : testo);
    return std::string(testo.substr(6, 2)) + "/" + std::string(testo.substr(4, 2)) + "/" + std::string(testo.substr(0, 4));
}
std::string Centesimi(std::string_view testo) {
    return Cifre(testo) ? ImportoItaliano(static_cast<double>(NumeroDi(testo)) / 100) : std::string(testo);
}

class LettoreTfr {
public:
    explicit LettoreTfr(Lettura& lettura) : m_lettura(lettura), m_tracciato(tfr::TracciatoTFR()) {}

    void Leggi() {
        LettoreRighe righe(m_lettura.File());
        Riga riga;
        while (righe.Prossima(riga))
            Record(riga);
        ChiudiGruppo();
        Fine();
    }

private:
    void Record(const Riga& riga);
    void Record1(const Riga& riga);
    void Record2(const Riga& riga);
    void Record3(const Riga& riga);
    void Record4(const Riga& riga);
    void Record9(const Riga& riga);
    void NuovoGruppo(const Riga& riga, std::string_view chiave);
    void ChiudiGruppo();
    void Fine();

    Lettura& m_lettura;
    const tracciati::Tracciato& m_tracciato;
    tracciati::RecordLetto m_record;
    OrdineDeiRecord m_ordine{Ordine, "1, per ogni dipendente 2, i suoi 3 e i suoi 4, poi 9"};
    std::map<char, long long> m_contati;
    std::string m_intestazione; // record "1" positions 10-30
    long m_riga1 = 0;
    std::map<std::string, long> m_chiavi; // each key and the line of its first group

    // The group being read.
    long m_persona = -1;
    bool m_gruppo = false;
    long long m_gruppi = 0;
    Persona m_dati;
    long m_periodi = 0;
    long m_beneficiari = 0;
};

void LettoreTfr::Record(const Riga& riga) {
    m_lettura.Record();
    ControllaFineRiga(m_lettura, riga);
    const char tipo = riga.testo.empty() ? '\0' : riga.testo.front();
    if (m_tracciato.Tabella(tipo).empty())
        return TipoSconosciuto(m_lettura, riga, "1, 2, 3, 4, 9");
    const char precedente = m_ordine.Precedente();
    if (m_ordine.Controlla(m_lettura, riga, tipo) && precedente == '1' && tipo == '3')
        m_lettura.Avviso(riga.numero, 1,
                         "record 3 senza record 2: la prima riga dell'esportazione ha la chiave del dipendente vuota");
    if (precedente == '\0' && tipo != '1')
        m_lettura.Errore(riga.numero, 1, "la fornitura non ha dipendenti (nessun record 1, 2 e 3): nulla da inviare");
    ++m_contati[tipo];
    switch (tipo) {
    case '1':
        return Record1(riga);
    case '2':
        return Record2(riga);
    case '3':
        return Record3(riga);
    case '4':
        return Record4(riga);
    case '9':
        return Record9(riga);
    }
}

void LettoreTfr::Record1(const Riga& riga) {
    m_record.Leggi(riga.testo, m_tracciato.Tabella('1'), m_tracciato.gancio);
    SegnalaRecord(m_lettura, riga, '1', m_record, EccezioniTfr, {}, -1);
    if (m_riga1 > 0)
        return;
    m_riga1 = riga.numero;
    m_intestazione.assign(Parte(riga.testo, 10, 21));
    SegnalaCodiceFiscale(m_lettura, riga.numero, 20, Parte(riga.testo, 20, 11),
                         "record 1: posizioni 20-30: codice fiscale dell'azienda", Gravita::Avviso, -1);
    const std::string_view data = Parte(riga.testo, 2, 8);
    m_lettura.Dati({{{"Data della fornitura", DataAmg(data)},
                     {"Codice (posizioni 10-19)", std::string(SenzaSpaziFinali(Parte(riga.testo, 10, 10)))},
                     {"Codice fiscale (posizioni 20-30)", std::string(SenzaSpaziFinali(Parte(riga.testo, 20, 11)))},
                     {"Ragione sociale (posizioni 31-65)", std::string(SenzaSpaziFinali(Parte(riga.testo, 31, 35)))}}});
    // "MV", the last digit of the year, the month and the day of the supply, a suffix, ".TXT".
    const std::string nome = shell::TestoPercorso(m_lettura.File().Percorso().filename());
    if (!nome.empty() && Cifre(data)) {
        const std::string cifre = std::string(data.substr(3, 5));
        const bool buono = nome.size() == 12 && nome.starts_with("MV" + cifre) && nome.ends_with(".TXT") &&
                           ((nome[7] >= '0' && nome[7] <= '9') || (nome[7] >= 'A' && nome[7] <= 'Z'));
        if (!buono)
            m_lettura.Avviso(0, 0, "il nome del file '" + nome + "' non corrisponde al contenuto: atteso 'MV" + cifre +
                                       "' seguito da una cifra o una lettera e '.TXT'");
    }
}

void LettoreTfr::NuovoGruppo(const Riga& riga, std::string_view chiave) {
    ChiudiGruppo();
    m_persona = m_lettura.NuovaPersona();
    m_gruppo = true;
    ++m_gruppi;
    m_periodi = 0;
    m_beneficiari = 0;
    m_dati = {};
    m_dati.indice = m_persona;
    m_dati.riga = riga.numero;
    m_dati.chiave = std::string(chiave);
    m_dati.valori.assign(SchemaTfr().colonne.size(), {});
    m_dati.valori[0] = std::string(chiave);
    m_dati.valori[3] = std::to_string(m_gruppi);
}

void LettoreTfr::ChiudiGruppo() {
    if (!m_gruppo)
        return;
    m_gruppo = false;
    m_dati.valori[9] = std::to_string(m_periodi);
    m_dati.valori[11] = std::to_string(m_beneficiari);
    if (m_lettura.VuolePersone())
        m_lettura.Persona(std::move(m_dati));
}

void LettoreTfr::Record2(const Riga& riga) {
    m_record.Leggi(riga.testo, m_tracciato.Tabella('2'), m_tracciato.gancio);
    const std::string_view testoChiave = Parte(riga.testo, 40, 16);
    const std::string_view chiave = SenzaSpaziFinali(testoChiave);
    NuovoGruppo(riga, chiave);
    const std::string chi = chiave.empty() ? std::string() : "dipendente " + std::string(chiave);
    const std::string di = Di(chi);
    SegnalaRecord(m_lettura, riga, '2', m_record, EccezioniTfr, chi, m_persona);

    if (m_riga1 > 0 && Parte(riga.testo, 2, 21) != m_intestazione)
        m_lettura.Avviso(riga.numero, 2,
                         "record 2: posizioni 2-22 '" + std::string(Parte(riga.testo, 2, 21)) +
                             "' diverse dalle posizioni 10-30 del record 1 '" + m_intestazione +
                             "': ogni riga ripete le colonne 0 e 1" + di,
                         m_persona);
    if (chiave.empty()) {
        m_lettura.Avviso(riga.numero, 40, "record 2: posizioni 40-55: chiave del dipendente vuota", m_persona);
    } else {
        SegnalaCodiceFiscale(m_lettura, riga.numero, 40, testoChiave,
                             "record 2: posizioni 40-55: codice fiscale del dipendente", Gravita::Errore, m_persona);
        const auto [prima, nuova] = m_chiavi.emplace(std::string(chiave), riga.numero);
        if (!nuova)
            m_lettura.Avviso(riga.numero, 40,
                             "record 2: il dipendente " + std::string(chiave) +
                                 " ha un altro gruppo di righe (riga " + std::to_string(prima->second) +
                                 "): le righe di un dipendente devono stare insieme, i suoi record 4 sono ripetuti",
                             m_persona);
    }
    // The flag of the amount.
    const std::string_view segno = Parte(riga.testo, 221, 1);
    const std::string_view importo = Parte(riga.testo, 222, 10);
    if (Cifre(importo) && (segno == "O") != (NumeroDi(importo) != 0))
        m_lettura.Errore(riga.numero, 221,
                         "record 2: posizione 221 '" + std::string(segno) + "' con l'importo " + Centesimi(importo) +
                             ": atteso 'O' quando l'importo non \xE8 zero, uno spazio quando lo \xE8" + di,
                         m_persona);
    // The bank coordinates.
    std::string iban;
    if (Parte(riga.testo, 232, 1) != "A" && riga.testo.size() >= 266) {
        iban = std::string(Parte(riga.testo, 233, 27));
        const std::string_view abi = Parte(riga.testo, 238, 5), cab = Parte(riga.testo, 243, 5),
                               conto = Parte(riga.testo, 248, 12);
        if (iban.find(' ') != std::string::npos)
            m_lettura.Avviso(riga.numero, 238,
                             "record 2: posizioni 238-259: spazi in ABI, CAB o conto ('" + std::string(abi) + "', '" +
                                 std::string(cab) + "', '" + std::string(conto) +
                                 "'): l'IBAN \xE8 valido solo con i tre codici completi" + di,
                             m_persona);
        bankcheck::CheckBancari banca;
        if (!banca.CheckIBAN(iban))
            m_lettura.Avviso(riga.numero, 233,
                             "record 2: posizioni 233-259: IBAN '" + iban + "' con le cifre di controllo errate" + di,
                             m_persona);
        banca.Abi(std::string(abi));
        banca.Cab(std::string(cab));
        banca.ContoCorrente(std::string(conto));
        const std::string cin = banca.CalcolaCin();
        if (cin != Parte(riga.testo, 237, 1))
            m_lettura.Avviso(riga.numero, 237,
                             "record 2: posizione 237: CIN '" + std::string(Parte(riga.testo, 237, 1)) + "', atteso '" +
                                 cin + "' da ABI, CAB e conto" + di,
                             m_persona);
    }
    m_dati.valori[1] = std::string(SenzaSpaziFinali(Parte(riga.testo, 56, 26)));
    m_dati.valori[2] = std::string(SenzaSpaziFinali(Parte(riga.testo, 82, 26)));
    m_dati.valori[4] = DataAmg(Parte(riga.testo, 32, 8));
    m_dati.valori[5] = DataAmg(Parte(riga.testo, 204, 8));
    m_dati.valori[6] = DataAmg(Parte(riga.testo, 212, 8));
    m_dati.valori[7] = Centesimi(importo);
    m_dati.valori[8] = std::string(SenzaSpaziFinali(iban));
}

void LettoreTfr::Record3(const Riga& riga) {
    if (!m_gruppo)
        NuovoGruppo(riga, {}); // the group of the empty key, without a record "2"
    m_record.Leggi(riga.testo, m_tracciato.Tabella('3'), m_tracciato.gancio);
    const std::string chi = m_dati.chiave.empty() ? std::string() : "dipendente " + m_dati.chiave;
    SegnalaRecord(m_lettura, riga, '3', m_record, EccezioniTfr, chi, m_persona);
    const std::string_view dal = Parte(riga.testo, 2, 8), al = Parte(riga.testo, 10, 8);
    if (Cifre(dal) && Cifre(al) && dal > al)
        m_lettura.Avviso(riga.numero, 2,
                         "record 3: il periodo comincia (" + DataAmg(dal) + ") dopo la sua fine (" + DataAmg(al) + ")" +
                             Di(chi),
                         m_persona);
    ++m_periodi;
    if (!m_lettura.VuolePersone())
        return;
    // The period in the listing: its dates, its two numbers, AN or PS and the amounts of PS.
    std::string& dettaglio = m_dati.valori[10];
    if (!dettaglio.empty())
        dettaglio.append("; ");
    dettaglio.append(DataAmg(dal)).append("-").append(DataAmg(al)).append(" ");
    dettaglio.append(Parte(riga.testo, 18, 5)).append(" ").append(Parte(riga.testo, 23, 2));
    if (Parte(riga.testo, 23, 2) == "PS")
        for (const int posizione : {25, 35, 45, 65})
            dettaglio.append(" ").append(Centesimi(Parte(riga.testo, posizione, 10)));
}

void LettoreTfr::Record4(const Riga& riga) {
    m_record.Leggi(riga.testo, m_tracciato.Tabella('4'), m_tracciato.gancio);
    const std::string chi = m_dati.chiave.empty() ? std::string() : "dipendente " + m_dati.chiave;
    const long persona = m_gruppo ? m_persona : -1;
    SegnalaRecord(m_lettura, riga, '4', m_record, EccezioniTfr, chi, persona);
    const std::string_view codice = Parte(riga.testo, 2, 16);
    SegnalaCodiceFiscale(m_lettura, riga.numero, 2, codice, "record 4: posizioni 2-17: codice fiscale del beneficiario",
                         Gravita::Avviso, persona);
    // An IBAN of the beneficiary, when the field looks like one.
    const std::string_view conto = SenzaSpaziFinali(Parte(riga.testo, 71, 34));
    if (conto.size() >= 15 && std::isalpha(static_cast<unsigned char>(conto[0])) &&
        std::isalpha(static_cast<unsigned char>(conto[1])) && Cifre(conto.substr(2, 2)) &&
        !bankcheck::CheckBancari().CheckIBAN(conto))
        m_lettura.Avviso(riga.numero, 71,
                         "record 4: posizioni 71-104: IBAN del beneficiario '" + std::string(conto) +
                             "' con le cifre di controllo errate" + Di(chi),
                         persona);
    if (m_gruppo) {
        ++m_beneficiari;
        std::string& codici = m_dati.valori[12];
        if (!codici.empty())
            codici += ", ";
        codici += std::string(SenzaSpaziFinali(codice));
    }
}

void LettoreTfr::Record9(const Riga& riga) {
    ChiudiGruppo();
    m_record.Leggi(riga.testo, m_tracciato.Tabella('9'), m_tracciato.gancio);
    SegnalaRecord(m_lettura, riga, '9', m_record, EccezioniTfr, {}, -1);
    for (const Conto& c : Conti9)
        ConfrontaConteggio(m_lettura, riga.numero, '9', c.posizione, Parte(riga.testo, c.posizione, 6), m_contati[c.tipo],
                           "record " + std::string(1, c.tipo));
}

void LettoreTfr::Fine() {
    if (m_ordine.Precedente() != '9')
        m_lettura.Errore(0, 0,
                         m_ordine.Precedente() == '\0' ? std::string("nessun record: la fornitura \xE8 vuota")
                                              : "la fornitura finisce dopo il record " + std::string(1, m_ordine.Precedente()) +
                                                    ": manca il record 9");
}

} // namespace

void LeggiTfr(Lettura& lettura) { LettoreTfr(lettura).Leggi(); }

} // namespace verifica
