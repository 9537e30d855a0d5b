// The check of a TFR 2008 supply: records "1", "2" (one per employee group), "3" (one per line of the
// export), "4" (the beneficiaries of the group) and "9" read by the tables that write them; their
// order; the counts of record "9"; the amount and its flag; the bank coordinates; every tax code.

#include "anagrafe/codice_fiscale.h"
#include "bankcheck/check_bancari.h"
#include "formati/persone.h"
#include "formati/codici_visti.h"
#include "formati/lettore_fisso.h"
#include "formati/testo_record.h"
#include "shell/conversioni.h"
#include "shell/testo.h"
#include "tfr/nome_fornitura.h"
#include "tfr/record_tfr.h"

#include <algorithm>
#include <array>
#include <map>

namespace formati {

using lettura::ImportoItaliano;

namespace {

namespace t = tfr::tabelleTFR;
using tracciati::DelContatore;
using tracciati::DelGenere;
using tracciati::DellaColonna;
using tracciati::Pezzo;

// clang-format off

// The pieces the rules read.
constexpr const Pezzo& DataFornitura1   = DelGenere(t::Record1, tfr::ProprioTFR::DataOdierna);
constexpr const Pezzo& Codice1          = DellaColonna(t::Record1, 0);
constexpr const Pezzo& CodiceFiscale1   = DellaColonna(t::Record1, 1);
constexpr const Pezzo& RagioneSociale1  = DellaColonna(t::Record1, 2);
constexpr const Pezzo& Codice2          = DellaColonna(t::Record2, 0);
constexpr const Pezzo& CodiceFiscale2   = DellaColonna(t::Record2, 1);
constexpr const Pezzo& Chiave2          = DellaColonna(t::Record2, 13);
constexpr const Pezzo& Cognome2         = DellaColonna(t::Record2, 14);
constexpr const Pezzo& Nome2            = DellaColonna(t::Record2, 15);
constexpr const Pezzo& Segno2           = DellaColonna(t::Record2, 26);
constexpr const Pezzo& Sesso2           = DellaColonna(t::Record2, 22);
constexpr const Pezzo& Nascita2         = DellaColonna(t::Record2, 23);
constexpr const Pezzo& Importo2         = DellaColonna(t::Record2, 26, 1);
constexpr const Pezzo& InizioIban       = DelGenere(t::BloccoBancario, tracciati::Comune::Letterale);
constexpr const Pezzo& Cin              = DellaColonna(t::BloccoBancario, 28);
constexpr const Pezzo& Abi              = DellaColonna(t::BloccoBancario, 29);
constexpr const Pezzo& Cab              = DellaColonna(t::BloccoBancario, 30);
constexpr const Pezzo& Conto            = DellaColonna(t::BloccoBancario, 31);
constexpr const Pezzo& Dal3             = DellaColonna(t::Record3, 32);
constexpr const Pezzo& Al3              = DellaColonna(t::Record3, 33);
constexpr const Pezzo& PrimoNumero3     = DellaColonna(t::Record3, 34);
constexpr const Pezzo& SecondoNumero3   = DellaColonna(t::Record3, 35);
constexpr const Pezzo& TipoPeriodo3     = DelGenere(t::CodaPS, tracciati::Comune::Letterale);
constexpr const Pezzo& CodiceFiscale4   = DellaColonna(t::Record4, 1);
constexpr const Pezzo& Conto4           = DellaColonna(t::Record4, 5);

// The columns of record "1" that every record "2" repeats: the employer's tax code names whose employee the
// record is, and must be the same; the employer's code should.
struct Ripetuta { const Pezzo& in2; const Pezzo& in1; Gravita gravita; std::string_view perche; };
constexpr Ripetuta Ripetute2[] = {
    {Codice2,        Codice1,        Gravita::Avviso, "ogni riga ripete la colonna 0 del datore di lavoro"},
    {CodiceFiscale2, CodiceFiscale1, Gravita::Errore, "il codice fiscale del datore di lavoro del dipendente \xE8 quello del record 1"},
};

// The order of the records: "1", then for each employee "2", its "3" and its "4", then "9". Without a
// key on the first line there is no "2" for its group; an export without lines gives only the "4" of
// the empty key and "9".
constexpr Passo Ordine[] = {
    {'\0', "149"}, {'1', "23"}, {'2', "3"}, {'3', "3429"}, {'4', "429"}, {'9', ""},
};

// The counts of record "9".
struct Conto9 { const Pezzo& pezzo; char tipo; };
constexpr Conto9 Conti9[] = {
    {DelContatore(t::Record9, tfr::ContoRecord1), '1'},
    {DelContatore(t::Record9, tfr::ContoRecord2), '2'},
    {DelContatore(t::Record9, tfr::ContoRecord3), '3'},
    {DelContatore(t::Record9, tfr::ContoRecord4), '4'},
};

// What the listing shows of each employee group, in its columns: a piece of its record "2" as its kind
// reads it, or what the group's records give.
enum class Mostra { Chiave, Testo, Data, Importo, Gruppo, Iban, Periodi, DettaglioPeriodi, Beneficiari, Codici };
struct ColonnaTfr { ColonnaDistinta colonna; Mostra mostra; const Pezzo* pezzo = nullptr; };
constexpr auto N = Allineamento::Numero;
constexpr ColonnaTfr ColonneTfr[] = {
    {{"codice fiscale"},            Mostra::Chiave},
    {{"cognome"},                   Mostra::Testo,   &Cognome2},
    {{"nome"},                      Mostra::Testo,   &Nome2},
    {{"gruppo", N, true},           Mostra::Gruppo},
    {{"data (32-39)", N},           Mostra::Data,    &DellaColonna(t::Record2, 12)},
    {{"data (204-211)", N},         Mostra::Data,    &DellaColonna(t::Record2, 23)},
    {{"data (212-219)", N},         Mostra::Data,    &DellaColonna(t::Record2, 24)},
    {{"importo", N},                Mostra::Importo, &Importo2},
    {{"IBAN"},                      Mostra::Iban},
    {{"periodi", N},                Mostra::Periodi},
    {{"dettaglio dei periodi"},     Mostra::DettaglioPeriodi},
    {{"beneficiari", N},            Mostra::Beneficiari},
    {{"codici dei beneficiari"},    Mostra::Codici},
};
// clang-format on

// A column named after the positions of its piece ("data (32-39)") names them rightly (and has a piece:
// reading through a null one stops the compiler). The name is looked at first, not the pointer: the
// sanitizers' builds do not compare an object's address with null at compile time.
constexpr bool NomiConLePosizioni() {
    for (const ColonnaTfr& c : ColonneTfr) {
        const std::string_view nome = c.colonna.nome;
        if (!nome.ends_with(")"))
            continue;
        const auto numero = [&](std::size_t da, std::size_t a) {
            int n = 0;
            for (std::size_t i = da; i < a; ++i)
                n = n * 10 + (nome[i] - '0');
            return n;
        };
        const std::size_t aperta = nome.find('('), trattino = nome.find('-', aperta);
        if (numero(aperta + 1, trattino) != c.pezzo->posizione ||
            numero(trattino + 1, nome.size() - 1) != tracciati::UltimaPosizione(*c.pezzo))
            return false;
    }
    return true;
}
static_assert(NomiConLePosizioni());

constexpr auto Colonne = ColonneDi(ColonneTfr);
constexpr auto Dipendente = TutteLeColonne<std::size(ColonneTfr)>();
constexpr GenerePersona Generi[] = {{"dipendente", "Dipendenti", Dipendente}};
static_assert(ColonneComuniInTesta(Colonne));

// A date of the supply, yyyymmdd, as the listing shows it.
std::string DataAmg(std::string_view testo) {
    if (testo.size() != 8 || !SoloCifre(testo) || testo == "00000000")
        return std::string(testo == "00000000" ? "" : testo);
    return std::string(testo.substr(6, 2)) + "/" + std::string(testo.substr(4, 2)) + "/" +
           std::string(testo.substr(0, 4));
}
std::string Centesimi(std::string_view testo) {
    return SoloCifre(testo) ? ImportoItaliano(static_cast<double>(NumeroDi(testo)) / 100) : std::string(testo);
}

// What a comparison holds otherwise in an employee's record 2: columns 0 and 1, copies of record 1's; and
// what only tells when the supply was made.
constexpr DatoCopiato Copie2[] = {{Codice2, '1', Codice1}, {CodiceFiscale2, '1', CodiceFiscale1}};
constexpr const Pezzo* Creazione[] = {&DataFornitura1};

const FormatoFisso& FormatoTfr() {
    static const FormatoFisso formato{tfr::TracciatoTFR(),
                                      Ordine,
                                      "1, per ogni dipendente 2, i suoi 3 e i suoi 4, poi 9",
                                      '9',
                                      "manca il record 9",
                                      Copie2,
                                      {},
                                      Creazione};
    return formato;
}

// The employee's fields that the key is held against (anagrafe/persona.h), and the residence with its code.
using anagrafe::Dato;
struct CampoAnagrafico {
    const Pezzo& pezzo;
    Dato dato;
    anagrafe::Campo anagrafe::PersonaScritta::*persona;
    anagrafe::Campo anagrafe::ComuneScritto::*residenza;
};
// clang-format off
constexpr CampoAnagrafico CampiAnagrafici[] = {
    {Cognome2,                       Dato::Cognome,         &anagrafe::PersonaScritta::cognome, nullptr},
    {Nome2,                          Dato::Nome,            &anagrafe::PersonaScritta::nome,    nullptr},
    {DellaColonna(t::Record2, 17),   Dato::NomeComune,      nullptr, &anagrafe::ComuneScritto::nome},
    {DellaColonna(t::Record2, 19),   Dato::ProvinciaComune, nullptr, &anagrafe::ComuneScritto::provincia},
    {DellaColonna(t::Record2, 20),   Dato::CodiceComune,    nullptr, &anagrafe::ComuneScritto::codice},
};
// clang-format on

// A date of 8 digits, year first, that exists; none for another text (a day the calendar lacks, "19800231",
// has its error from the piece's kind and is held against nothing).
std::optional<anagrafe::Data> DataDi(std::string_view aaaammgg) {
    if (aaaammgg.size() != 8 || !SoloCifre(aaaammgg))
        return std::nullopt;
    const anagrafe::Data data{static_cast<int>(NumeroDi(aaaammgg.substr(0, 4))),
                              static_cast<int>(NumeroDi(aaaammgg.substr(4, 2))),
                              static_cast<int>(NumeroDi(aaaammgg.substr(6, 2)))};
    if (!shell::DataValida(data.anno, data.mese, data.giorno))
        return std::nullopt;
    return data;
}

class LettoreTfr : public LettoreFisso {
public:
    explicit LettoreTfr(Lettura& lettura) : LettoreFisso(lettura, FormatoTfr()) {}

private:
    Chi Persona(const RecordFisso& record) override;
    std::string NomeDelCampo(std::string nome, std::string_view, const Pezzo* pezzo) const override {
        for (const auto& c : ColonneTfr)
            if (pezzo && c.pezzo == pezzo)
                return std::string(c.colonna.nome) + " (" + nome + ")";
        return nome;
    }
    void Record(const RecordFisso& record, const Chi& chi) override;
    void Fine() override;

    void Record1(const RecordFisso& record);
    void Record2(const RecordFisso& record, const Chi& chi);
    void Record3(const RecordFisso& record, const Chi& chi);
    void Record4(const RecordFisso& record, const Chi& chi);
    void Record9(const RecordFisso& record);
    void NuovoGruppo(const RecordFisso& record, std::string_view chiave);
    void ChiudiGruppo();
    void ControllaAnagrafica(const RecordFisso& record, const Chi& chi);

    std::map<char, long long> m_contati;
    // The first record "9": its line and its counts, held against the whole file at its end.
    long m_riga9 = 0;
    std::array<std::string, std::size(Conti9)> m_conti9;
    std::string m_intestazione; // record "1": columns 0 and 1
    long m_riga1 = 0;
    // Each key (positions 40-55) and the line of its first group.
    CodiciVisti m_chiavi;
    std::optional<anagrafe::Data> m_dataFornitura; // of record "1": the day the residence codes must be in force
    Identita m_identita;                           // the employer of record "1", its name and the supply's date
    std::array<std::string, std::size(CampiAnagrafici)> m_nomiAnagrafici = [] {
        std::array<std::string, std::size(CampiAnagrafici)> nomi;
        for (std::size_t i = 0; i < nomi.size(); ++i)
            nomi[i] = "campo delle " + PosizioniDi(CampiAnagrafici[i].pezzo);
        return nomi;
    }();

    // Where the tax codes of records 2 and 4 stand, as their findings begin.
    const std::string m_codiceDelDipendente = "record 2: " + PosizioniDi(Chiave2) + ": codice fiscale del dipendente";
    const std::string m_codiceDelBeneficiario =
        "record 4: " + PosizioniDi(CodiceFiscale4) + ": codice fiscale del beneficiario";

    // The group being read.
    long m_persona = -1;
    bool m_valori = false; // the group's listing values are wanted
    bool m_gruppo = false;
    long long m_gruppi = 0;
    long m_rigaGruppo = 0;
    std::string m_chiave;
    std::string m_chiamato;                                // the findings' "dipendente" and the key
    std::array<std::string, std::size(ColonneTfr)> m_dati; // of record "2", by the listing's columns
    std::string m_iban;
    long m_periodi = 0;
    std::string m_dettaglio;
    long m_beneficiari = 0;
    std::string m_codici;
};

Chi LettoreTfr::Persona(const RecordFisso& record) {
    // A record "3" before any "2": the authority reads a period without its employee.
    if (record.alSuoPosto && record.precedente == '1' && record.tipo == '3')
        m_lettura.Errore(record.Numero(), 1,
                         "record 3 senza record 2: la prima riga dell'esportazione ha la chiave del dipendente vuota, "
                         "e l'ordine \xE8 " +
                             std::string(m_formato.ordine));
    ++m_contati[record.tipo];
    switch (record.tipo) {
    case '2':
        NuovoGruppo(record, shell::SenzaSpaziFinali(record.letto.Testo(Chiave2)));
        return {m_persona, m_chiamato};
    case '3':
        if (!m_gruppo)
            NuovoGruppo(record, {}); // the group of the empty key, without a record "2"
        return {m_persona, m_chiamato};
    case '4':
        return {m_gruppo ? m_persona : -1, m_chiamato};
    case '9':
        ChiudiGruppo();
        return {};
    }
    return {};
}

void LettoreTfr::Record(const RecordFisso& record, const Chi& chi) {
    switch (record.tipo) {
    case '1':
        return Record1(record);
    case '2':
        return Record2(record, chi);
    case '3':
        return Record3(record, chi);
    case '4':
        return Record4(record, chi);
    case '9':
        return Record9(record);
    }
}

void LettoreTfr::Record1(const RecordFisso& record) {
    if (m_riga1 > 0)
        return;
    const std::string_view testo = record.riga.testo;
    m_riga1 = record.Numero();
    m_intestazione.assign(TestoDa(testo, Codice1, CodiceFiscale1));
    SegnalaCodiceFiscale(m_lettura, record.Numero(), CodiceFiscale1.posizione, record.letto.Testo(CodiceFiscale1),
                         "record 1: " + PosizioniDi(CodiceFiscale1) + ": codice fiscale dell'azienda", Gravita::Avviso,
                         -1);
    const std::string_view data = record.letto.Testo(DataFornitura1);
    m_dataFornitura = DataDi(data);
    m_identita.datore = shell::SenzaSpaziFinali(record.letto.Testo(CodiceFiscale1));
    m_identita.nome = shell::SenzaSpaziFinali(record.letto.Testo(RagioneSociale1));
    m_identita.rigaDatore = m_identita.rigaPeriodo = record.Numero();
    if (m_dataFornitura) {
        m_identita.anno = m_dataFornitura->anno;
        m_identita.mese = m_dataFornitura->mese;
        m_identita.giorno = m_dataFornitura->giorno;
    }
    const auto dato = [&](std::string_view nome, const Pezzo& pezzo) {
        return std::pair<std::string, std::string>(std::string(nome) + " (" + PosizioniDi(pezzo) + ")",
                                                   std::string(shell::SenzaSpaziFinali(record.letto.Testo(pezzo))));
    };
    m_lettura.Dati({{{"Data della fornitura", DataAmg(data)},
                     dato("Codice", Codice1),
                     dato("Codice fiscale", CodiceFiscale1),
                     dato("Ragione sociale", RagioneSociale1)}});
    // One of the names the converter gives a supply of that day (tfr::NomeFornitura).
    const std::string nome = shell::TestoPercorso(m_lettura.File().Percorso().filename());
    if (!nome.empty() && data.size() == 8 && SoloCifre(data)) {
        const shell::DataOra giorno{static_cast<int>(NumeroDi(data.substr(0, 4))),
                                    static_cast<int>(NumeroDi(data.substr(4, 2))),
                                    static_cast<int>(NumeroDi(data.substr(6, 2)))};
        bool buono = false;
        for (int n = 0; n < tfr::NomiAlGiorno && !buono; ++n)
            buono = nome == tfr::NomeFornitura(giorno, n);
        if (!buono)
            m_lettura.Avviso(0, 0,
                             "il nome del file '" + nome + "' non corrisponde al contenuto: atteso '" +
                                 tfr::RadiceNomeFornitura(giorno) + "' seguito da una cifra o una lettera e '.TXT'");
    }
}

void LettoreTfr::NuovoGruppo(const RecordFisso& record, std::string_view chiave) {
    ChiudiGruppo();
    m_persona = m_lettura.NuovaPersona();
    m_gruppo = true;
    m_valori = m_lettura.VuoleValori(m_persona);
    ++m_gruppi;
    m_rigaGruppo = record.Numero();
    m_chiave = chiave;
    m_chiamato = Chiamato(m_chiave);
    m_dati = {};
    m_iban.clear();
    m_periodi = 0;
    m_dettaglio.clear();
    m_beneficiari = 0;
    m_codici.clear();
}

// The group's row of the listing, column by column.
void LettoreTfr::ChiudiGruppo() {
    if (!m_gruppo)
        return;
    m_gruppo = false;
    if (!m_lettura.VuoleChiavi())
        return;
    lettura::Persona p;
    p.indice = m_persona;
    p.riga = m_rigaGruppo;
    p.chiave = m_chiave;
    p.impronta = ImprontaDellaPersona();
    if (!m_valori) { // the key and the fingerprint only
        m_lettura.Persona(std::move(p));
        return;
    }
    for (std::size_t i = 0; i < std::size(ColonneTfr); ++i) {
        switch (ColonneTfr[i].mostra) {
        case Mostra::Chiave:
            p.valori.push_back(m_chiave);
            break;
        case Mostra::Testo:
        case Mostra::Data:
        case Mostra::Importo:
            p.valori.push_back(std::move(m_dati[i]));
            break;
        case Mostra::Gruppo:
            p.valori.push_back(std::to_string(m_gruppi));
            break;
        case Mostra::Iban:
            p.valori.push_back(std::string(shell::SenzaSpaziFinali(m_iban)));
            break;
        case Mostra::Periodi:
            p.valori.push_back(std::to_string(m_periodi));
            break;
        case Mostra::DettaglioPeriodi:
            p.valori.push_back(std::move(m_dettaglio));
            break;
        case Mostra::Beneficiari:
            p.valori.push_back(std::to_string(m_beneficiari));
            break;
        case Mostra::Codici:
            p.valori.push_back(std::move(m_codici));
            break;
        }
    }
    m_lettura.Persona(std::move(p));
}

void LettoreTfr::Record2(const RecordFisso& record, const Chi& chi) {
    const std::string_view testo = record.riga.testo;
    const long riga = record.Numero();
    const auto di = [&chi] { return Di(chi.nome); }; // made for the findings only
    const std::string_view testoChiave = record.letto.Testo(Chiave2);
    for (const Ripetuta& r : Ripetute2) {
        if (m_riga1 == 0)
            break;
        const std::string_view qui = Parte(testo, r.in2.posizione, r.in2.lunghezza);
        const std::string_view in1 = Parte(m_intestazione, r.in1.posizione - Codice1.posizione + 1, r.in1.lunghezza);
        if (qui != in1)
            m_lettura.Segnala({r.gravita, riga, r.in2.posizione,
                               "record 2: " + PosizioniDi(r.in2) + " '" + std::string(qui) + "' diverse dalle " +
                                   PosizioniDi(r.in1) + " del record 1 '" + std::string(in1) +
                                   "': " + std::string(r.perche) + di(),
                               m_persona});
    }
    if (m_chiave.empty()) {
        m_lettura.Avviso(riga, Chiave2.posizione, "record 2: " + PosizioniDi(Chiave2) + ": chiave del dipendente vuota",
                         m_persona);
    } else {
        SegnalaCodiceFiscale(m_lettura, riga, Chiave2.posizione, testoChiave, m_codiceDelDipendente, Gravita::Errore,
                             m_persona);
        ControllaAnagrafica(record, chi);
        if (const auto prima = m_chiavi.PrimaRiga(m_chiave, riga))
            m_lettura.Avviso(riga, Chiave2.posizione,
                             "record 2: il dipendente " + m_chiave + " ha un altro gruppo di righe (riga " +
                                 std::to_string(*prima) +
                                 "): le righe di un dipendente devono stare insieme, i suoi record 4 sono ripetuti",
                             m_persona);
    }
    // The flag of the amount.
    const std::string_view segno = record.letto.Testo(Segno2);
    const std::string_view importo = record.letto.Testo(Importo2);
    if (SoloCifre(importo) && (segno == "O") != (NumeroDi(importo) != 0))
        m_lettura.Errore(riga, Segno2.posizione,
                         "record 2: " + PosizioniDi(Segno2) + " '" + std::string(segno) + "' con l'importo " +
                             Centesimi(importo) +
                             ": atteso 'O' quando l'importo non \xE8 zero, uno spazio quando lo \xE8" + di(),
                         m_persona);
    // The bank coordinates, when the record has them.
    if (record.letto.Letto(InizioIban)) {
        m_iban = TestoDa(testo, InizioIban, Conto);
        const std::string_view abi = record.letto.Letto(Abi)->testo, cab = record.letto.Letto(Cab)->testo,
                               conto = record.letto.Letto(Conto)->testo;
        if (m_iban.find(' ') != std::string::npos)
            m_lettura.Avviso(riga, Abi.posizione,
                             "record 2: posizioni " + std::to_string(Abi.posizione) + "-" +
                                 std::to_string(tracciati::UltimaPosizione(Conto)) + ": spazi in ABI, CAB o conto ('" +
                                 std::string(abi) + "', '" + std::string(cab) + "', '" + std::string(conto) +
                                 "'): l'IBAN \xE8 valido solo con i tre codici completi" + di(),
                             m_persona);
        bankcheck::CheckBancari banca;
        if (!banca.CheckIBAN(m_iban))
            m_lettura.Avviso(riga, InizioIban.posizione,
                             "record 2: posizioni " + std::to_string(InizioIban.posizione) + "-" +
                                 std::to_string(tracciati::UltimaPosizione(Conto)) + ": IBAN '" + m_iban +
                                 "' con le cifre di controllo errate" + di(),
                             m_persona);
        banca.Abi(std::string(abi));
        banca.Cab(std::string(cab));
        banca.ContoCorrente(std::string(conto));
        const std::string cin = banca.CalcolaCin();
        const std::string_view scritto = record.letto.Letto(Cin)->testo;
        if (cin != scritto)
            m_lettura.Avviso(riga, Cin.posizione,
                             "record 2: " + PosizioniDi(Cin) + ": CIN '" + std::string(scritto) + "', atteso '" + cin +
                                 "' da ABI, CAB e conto" + di(),
                             m_persona);
    }
    if (!m_valori)
        return;
    for (std::size_t i = 0; i < std::size(ColonneTfr); ++i) {
        const ColonnaTfr& c = ColonneTfr[i];
        if (!c.pezzo)
            continue;
        const std::string_view valore = record.letto.Testo(*c.pezzo);
        m_dati[i] = c.mostra == Mostra::Data      ? DataAmg(valore)
                    : c.mostra == Mostra::Importo ? Centesimi(valore)
                                                  : std::string(shell::SenzaSpaziFinali(valore));
    }
}

// The key against the employee's fields (the date and sex, the letters and the place of birth), and the
// residence code on the day of the supply.
void LettoreTfr::ControllaAnagrafica(const RecordFisso& record, const Chi& chi) {
    const long riga = record.Numero();
    const std::string_view chiave = record.letto.Testo(Chiave2);
    const std::optional<anagrafe::Data> nascita = DataDi(record.letto.Testo(Nascita2));
    for (const std::string& discordanza : anagrafe::Discordanze(chiave, nascita, record.letto.Testo(Sesso2)))
        m_lettura.Avviso(riga, Chiave2.posizione,
                         "record 2: codice fiscale '" + m_chiave + "' e dati anagrafici (" + PosizioniDi(Sesso2) +
                             ", " + PosizioniDi(Nascita2) + ") discordi: " + discordanza + Di(chi.nome),
                         m_persona);
    anagrafe::PersonaScritta persona;
    persona.codiceFiscale = {"codice fiscale", chiave};
    persona.nascita = nascita;
    const anagrafe::Data giorno = m_dataFornitura.value_or(anagrafe::InVigore);
    anagrafe::ComuneScritto residenza{{}, {}, {}, giorno, giorno, "del comune di residenza"};
    std::array<PostoDelDato, std::size(CampiAnagrafici) + 1> posti;
    std::size_t quanti = 0;
    posti[quanti++] = {Dato::CodiceFiscale, riga, Chiave2.posizione};
    for (std::size_t i = 0; i < std::size(CampiAnagrafici); ++i) {
        const CampoAnagrafico& c = CampiAnagrafici[i];
        if (!record.Presente(c.pezzo))
            continue;
        anagrafe::Campo& campo = c.persona ? persona.*c.persona : residenza.*c.residenza;
        campo = {m_nomiAnagrafici[i], record.letto.Testo(c.pezzo)};
        posti[quanti++] = {c.dato, riga, c.pezzo.posizione};
    }
    const std::string_view sesso = record.letto.Testo(Sesso2);
    if (shell::TogliSpazi(sesso).empty())
        m_lettura.Avviso(riga, Sesso2.posizione,
                         "record 2: " + PosizioniDi(Sesso2) + " vuota: sesso del dipendente non impostato" +
                             Di(chi.nome),
                         m_persona);
    ControllaSesso(m_lettura, riga, Sesso2.posizione, sesso, "record 2: " + PosizioniDi(Sesso2), chi.nome, m_persona);
    std::vector<anagrafe::Riscontro> riscontri = anagrafe::ControllaPersona(persona);
    if (m_dataFornitura)
        for (anagrafe::Riscontro& r : anagrafe::ControllaComune(residenza))
            riscontri.push_back(std::move(r));
    SegnalaRiscontri(m_lettura, riscontri, std::span<const PostoDelDato>(posti.data(), quanti), "record 2: ", chi.nome,
                     m_persona);
}

void LettoreTfr::Record3(const RecordFisso& record, const Chi& chi) {
    const std::string_view testo = record.riga.testo;
    const std::string_view dal = record.letto.Testo(Dal3), al = record.letto.Testo(Al3);
    if (SoloCifre(dal) && SoloCifre(al) && dal > al)
        m_lettura.Avviso(record.Numero(), Dal3.posizione,
                         "record 3: il periodo comincia (" + DataAmg(dal) + ") dopo la sua fine (" + DataAmg(al) + ")" +
                             Di(chi.nome),
                         m_persona);
    ++m_periodi;
    if (!m_valori)
        return;
    // The period in the listing: its dates, its two numbers, AN or PS and the amounts of PS.
    if (!m_dettaglio.empty())
        m_dettaglio.append("; ");
    m_dettaglio.append(DataAmg(dal)).append("-").append(DataAmg(al)).append(" ");
    m_dettaglio.append(TestoDa(testo, PrimoNumero3, SecondoNumero3)).append(" ");
    const std::string_view tipo = Parte(testo, TipoPeriodo3.posizione, TipoPeriodo3.lunghezza);
    m_dettaglio.append(tipo);
    if (tipo == "PS")
        for (const Pezzo& p : t::CodaPS)
            if (p.genere == tfr::ProprioTFR::Importo)
                m_dettaglio.append(" ").append(Centesimi(Parte(testo, p.posizione, p.lunghezza)));
}

void LettoreTfr::Record4(const RecordFisso& record, const Chi& chi) {
    const std::string_view codice = record.letto.Testo(CodiceFiscale4);
    SegnalaCodiceFiscale(m_lettura, record.Numero(), CodiceFiscale4.posizione, codice, m_codiceDelBeneficiario,
                         Gravita::Avviso, chi.persona, chi.nome);
    // An IBAN of the beneficiary, when the field looks like one.
    const std::string_view conto = shell::SenzaSpaziFinali(record.letto.Testo(Conto4));
    if (conto.size() >= 15 && std::isalpha(static_cast<unsigned char>(conto[0])) &&
        std::isalpha(static_cast<unsigned char>(conto[1])) && SoloCifre(conto.substr(2, 2)) &&
        !bankcheck::CheckBancari().CheckIBAN(conto))
        m_lettura.Avviso(record.Numero(), Conto4.posizione,
                         "record 4: " + PosizioniDi(Conto4) + ": IBAN del beneficiario '" + std::string(conto) +
                             "' con le cifre di controllo errate" + Di(chi.nome),
                         chi.persona);
    if (m_gruppo && m_valori) {
        ++m_beneficiari;
        if (!m_codici.empty())
            m_codici += ", ";
        m_codici += std::string(shell::SenzaSpaziFinali(codice));
    }
}

void LettoreTfr::Record9(const RecordFisso& record) {
    if (m_riga9 > 0)
        return;
    m_riga9 = record.Numero();
    for (std::size_t i = 0; i < std::size(Conti9); ++i)
        m_conti9[i] = record.letto.Testo(Conti9[i].pezzo);
}

// The counts of record "9" against every record of the file, wherever it stands (a record 9 out of its
// place is told once, by the order).
void LettoreTfr::Fine() {
    ChiudiGruppo();
    m_lettura.Identita(m_identita);
    if (m_riga9 > 0) {
        if (m_contati['1'] + m_contati['2'] + m_contati['3'] == 0)
            m_lettura.Errore(m_riga9, 1, "la fornitura non ha dipendenti (nessun record 1, 2 e 3): nulla da inviare");
        for (std::size_t i = 0; i < std::size(Conti9); ++i)
            ConfrontaConteggio(m_lettura, m_riga9, '9', Conti9[i].pezzo, m_conti9[i], m_contati[Conti9[i].tipo],
                               "record " + std::string(1, Conti9[i].tipo));
    }
    FineDellOrdine();
}

} // namespace

void LeggiTfr(Lettura& lettura) { LettoreTfr(lettura).Leggi(); }

const SchemaDistinta& SchemaTfr() {
    static constexpr SchemaDistinta schema{Colonne, Generi};
    return schema;
}

} // namespace formati
