// The check of the INPS documents, UniEmens and E-Mens: the document read by the suite's XML reader and
// held to its grammar as it streams by (grammatiche_inps.cpp), and the rules that the grammar cannot say:
// the declaration and the file's name, the company the same as the sender, the report count and the debit
// total against the reports (UniEmens), the daily calendar of the declared month (UniEmens), the
// contribution position's registration number, the same person twice, the collaborators' periods. Every
// report and every collaborator is a person of the listing; a previous month's block belongs to the
// report that holds it.

#include "formati/calendario_inps.h"
#include "formati/contenuto_inps.h"
#include "formati/grammatiche_inps.h"
#include "formati/persone.h"
#include "formati/lettori.h"
#include "formati/regole_inps.h"

#include "emens/dati_sub_emens.h"
#include "emens/voci_emens.h"
#include "uniemens/campi.h"
#include "uniemens/denuncia.h"
#include "uniemens/dati_sub.h"
#include "uniemens/voci.h"
#include "scrittura_xml/riga_inps.h"
#include "shell/testo.h"
#include "scrittura_xml/testo_xml.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <tuple>

namespace formati {

using lettura::Formato;
using lettura::Gravita;
using lettura::ImportoItaliano;
using lettura::InizioPerRiconoscere;
using lettura::Intestazione;
using lettura::Lettura;
using lettura::Persona;
using lettura::Rilievo;
using lettura::SchemaDistinta;
using lettura::SegnoBom;

namespace {

using namespace inps;

// What sets the two documents apart, beyond their grammars.
struct DocumentoINPS {
    Formato formato;
    const Grammatica& (*grammatica)();
    const SchemaDistinta& (*schema)();
    std::string (*nome)(int anno, int mese); // of the file, as the converter names it
    std::size_t ragioneSocialeMassima;       // escaped characters the company name is cut to; 0: whole
    bool calendario;                         // the reports hold the daily calendar and the company totals
    std::string_view liste;                  // the company's lists, as a message names them
    std::span<const scrittura_xml::TabellaDelDocumento> (*tabelle)(); // the writer's, in the document's order
};

std::span<const scrittura_xml::TabellaDelDocumento> TabelleEmens() { return emens::TabelleDelDocumento; }

// clang-format off
constexpr DocumentoINPS Uniemens{Formato::Uniemens, GrammaticaUniemens, SchemaUniemens, uniemens::NomeDocumento,
                                 uniemens::RagioneSocialeMassima, true,
                                 "<PosContributiva> n\xE9 <ListaCollaboratori>", uniemens::TabelleDelDocumento};
constexpr DocumentoINPS Emens{Formato::Emens, GrammaticaEmens, SchemaEmens, emens::NomeDocumento, 0, false,
                              "<ListaDenunceIndividuali> n\xE9 <ListaCollaboratori>", TabelleEmens};

// The first line of the documents, as the converters write it.
constexpr std::string_view Dichiarazione = scrittura_xml::DichiarazioneXML;

// The elements whose value is a column of the listing, by the column's name in the schema. The values
// of a previous month's block go to the column "mese precedente" instead.
struct ColonnaDelNodo { N nodo; std::string_view colonna; };
constexpr ColonnaDelNodo ColonneDeiNodi[] = {
    {CFLavoratore,            "codice fiscale"},
    {CFCollaboratore,         "codice fiscale"},
    {Cognome,                 "cognome"},
    {Nome,                    "nome"},
    {Qualifica1,              "Qualifica1"},
    {ImponibileDipendente,    "Imponibile"},
    {ImponibileCollaboratore, "Imponibile"},
    {Contributo,              "Contributo"},
    {RetribTeorica,           "RetribTeorica"},
    {GiorniRetribuiti,        "GiorniRetribuiti"},
    {GiorniContribuiti,       "GiorniContribuiti"},
    {TipoRapporto,            "TipoRapporto"},
    {Aliquota,                "Aliquota"},
    {Dal,                     "Dal"},
    {Al,                      "Al"},
};
// The columns that the rules fill from more than one element.
constexpr std::string_view ColonnaLavorati = "giorni lavorati";
constexpr std::string_view ColonnaSettimane = "settimane";
constexpr std::string_view ColonnaAssunzione = "assunzione";
constexpr std::string_view ColonnaCessazione = "cessazione";
constexpr std::string_view ColonnaElimina = "Elimina";
constexpr std::string_view ColonnaMesePrecedente = "mese precedente";
constexpr std::string_view ColonnaComune = "CodiceComune"; // with the place's name and province

// The elements of child elements whose opening (A) or closing (C) the rules look at.
constexpr std::uint8_t A = Interesse::Apertura, C = Interesse::Chiusura;
struct ContenitoreSeguito { N nodo; std::uint8_t interessi; };
constexpr ContenitoreSeguito ContenitoriSeguiti[] = {
    {DenunceMensili,            A},
    {DenunceRetributiveMensili, A},
    {AziendaU,                  C},
    {AziendaE,                  C},
    {PosContributiva,           A | C},
    {ListaDenunceIndividuali,   A},
    {ListaCollaboratoriU,       A},
    {ListaCollaboratoriE,       A},
    {DenunciaIndividualeU,      A | C},
    {DenunciaIndividualeE,      A | C},
    {CollaboratoreU,            A | C},
    {CollaboratoreE,            A | C},
    {MesePrecedenteU,           A | C},
    {MesePrecedenteE,           A | C},
    {DatiRetributiviU,          A | C},
    {DatiRetributiviE,          A},
    {DatiRetributiviMesePrecedente, A},
    {Giorno,                    A},
};

// The elements whose value the checks and the supply's data read; the listing reads every other one too.
constexpr N LettiDaiControlli[] = {
    CFPersonaMittente, RagSocMittente, CFMittente, SedeINPS, AnnoMeseDenunciaU, AnnoMeseDenunciaE, CFAzienda,
    RagSocAzienda, Matricola, CSC, CA, CFLavoratore, CFCollaboratore, ImponibileDipendente, ImponibileCollaboratore,
    Contributo, GiorniRetribuiti, GiorniContribuiti, IdSettimana, Dal, Al, NumLavoratori, ForzaAziendale, NumDenIndiv,
    TotaleADebito, TotaleACredito, Cognome, Nome, CodiceComune, Qualifica1, Qualifica2, Qualifica3, PercPartTime,
    TipoContribuzione, OrarioContrattuale, GiornoAssunzione, GiornoCessazione, Lavorato, TipoCopertura, TipoRapporto,
    Aliquota,
};

// The values of a report that its rules read (regole_inps.h), and where they keep them.
struct ValoreDellaDenuncia { N nodo; std::optional<inps::ValoreLetto> inps::DatiDenuncia::*dove; };
constexpr ValoreDellaDenuncia ValoriDellaDenuncia[] = {
    {Qualifica2,         &inps::DatiDenuncia::qualifica2},
    {OrarioContrattuale, &inps::DatiDenuncia::orario},
    {GiorniRetribuiti,   &inps::DatiDenuncia::giorniRetribuiti},
    {GiornoAssunzione,   &inps::DatiDenuncia::assunzione},
    {GiornoCessazione,   &inps::DatiDenuncia::cessazione},
    {Contributo,         &inps::DatiDenuncia::contributo},
};

// The values that make a report's key beside the person's tax code: the same key twice in one document is
// one report sent twice, the later replacing the earlier.
constexpr N ValoriDellaChiave[] = {Qualifica1, Qualifica2, Qualifica3, TipoContribuzione, TipoRapporto, Aliquota};

// The kinds of person of the schemas.
constexpr int GenereDipendente = 0;
constexpr int GenereCollaboratore = 1;
constexpr std::string_view NomiGeneri[] = {"dipendente", "collaboratore"};
// clang-format on

bool SoloCifre(std::string_view t) {
    return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A whole number of at most 18 digits with its sign; none otherwise.
std::optional<long long> LeggiIntero(std::string_view t) {
    const bool meno = !t.empty() && t[0] == '-';
    const std::string_view cifre = t.substr(meno ? 1 : 0);
    if (!SoloCifre(cifre) || cifre.size() > 18)
        return std::nullopt;
    long long n = 0;
    std::from_chars(cifre.data(), cifre.data() + cifre.size(), n);
    return meno ? -n : n;
}

// An amount in cents from "-?[0-9]+,[0-9]{2}" (the form already checked); none beyond 16 digits.
std::optional<long long> Centesimi(std::string_view t) {
    const auto virgola = t.find(',');
    std::string cifre(t.substr(0, virgola));
    cifre.append(t.substr(virgola + 1));
    return LeggiIntero(cifre);
}

std::string Numero(long long n) { return ImportoItaliano(static_cast<double>(n), 0); }

// The length of a text once written with CodificaXML's references.
std::size_t LunghezzaCodificata(std::string_view t) {
    std::string codificato(t);
    scrittura_xml::CodificaXML(codificato);
    return codificato.size();
}

// The registration number of a company at INPS: 10 digits.
constexpr std::size_t CifreMatricola = 10;

// The largest sum of contributions, in cents, that the debit total is checked against.
constexpr long long SommaMassima = 100'000'000'000'000'000;

// A person's tax code and the key of its report (the employee's position, qualifications and contribution
// type; the collaborator's relationship and rate), to find a person, and a report, twice.
struct CodiceVisto {
    std::string codice;
    std::string chiave;
    int genere = 0;
    bool elimina = false;
    Posto posto;
    long persona = 0;
    friend bool operator<(const CodiceVisto& a, const CodiceVisto& b) {
        return std::tie(a.genere, a.codice, a.posto.riga, a.posto.colonna, a.persona) <
               std::tie(b.genere, b.codice, b.posto.riga, b.posto.colonna, b.persona);
    }
};

// A total that the document states: its value and its place.
struct Dichiarato {
    std::optional<long long> valore;
    Posto posto;
};

class LettoreINPS : public RegoleXML {
public:
    LettoreINPS(Lettura& lettura, const DocumentoINPS& documento)
        : m_lettura(lettura), m_documento(documento), m_schema(documento.schema()), m_contenuto(lettura, m_schema) {
        m_colonne.fill(-1);
        for (const ColonnaDelNodo& c : ColonneDeiNodi)
            m_colonne[static_cast<std::size_t>(c.nodo)] = Colonna(c.colonna);
        m_colonnaLavorati = Colonna(ColonnaLavorati);
        m_colonnaSettimane = Colonna(ColonnaSettimane);
        m_colonnaAssunzione = Colonna(ColonnaAssunzione);
        m_colonnaCessazione = Colonna(ColonnaCessazione);
        m_colonnaElimina = Colonna(ColonnaElimina);
        m_colonnaMesePrecedente = Colonna(ColonnaMesePrecedente);
        m_colonnaComune = Colonna(ColonnaComune);
        m_ogniNodo = m_lettura.VuoleImpronte() || m_lettura.VuoleCampi(-1);
        m_giorniSoloNonZero =
            scrittura_xml::tabelle::QuandoScritto(
                documento.tabelle(), documento.grammatica().nodi[static_cast<std::size_t>(GiorniRetribuiti)].nome) ==
            scrittura_xml::Se::NumeroNonZero;
        if (m_ogniNodo)
            m_lettura.TuttiICampi();
    }

    bool VuoleContenuto() const override { return m_ogniNodo; }
    void ElementoDelContenuto(int nodo, std::string_view nome, std::span<const xml::Attributo> attributi,
                              int profondita) override {
        PersonaDelContenuto persona{m_indice, m_genere, m_persona.impronta};
        m_contenuto.Elemento(nodo, nome, attributi, profondita, m_inPersona ? &persona : nullptr);
    }
    void TestoDelContenuto(std::string_view pezzo) override {
        PersonaDelContenuto persona{m_indice, m_genere, m_persona.impronta};
        m_contenuto.Testo(pezzo, m_inPersona ? &persona : nullptr);
    }
    void FineDelContenuto(int profondita) override {
        PersonaDelContenuto persona{m_indice, m_genere, m_persona.impronta};
        m_contenuto.Fine(profondita, m_inPersona ? &persona : nullptr);
    }

    void Leggi();

    std::uint8_t Interessi(int nodo) const override {
        if (m_documento.grammatica().nodi[static_cast<std::size_t>(nodo)].forma != FormaValore::Elementi)
            return m_lettura.VuolePersone() || std::find(std::begin(LettiDaiControlli), std::end(LettiDaiControlli),
                                                         nodo) != std::end(LettiDaiControlli)
                       ? Interesse::Valore
                       : 0;
        for (const ContenitoreSeguito& c : ContenitoriSeguiti)
            if (c.nodo == nodo)
                return c.interessi;
        return 0;
    }
    void Segnala(Gravita gravita, Posto posto, std::string messaggio) override;
    void Apertura(int nodo, const xml::LettoreXML& lettore, Posto posto) override;
    void Valore(int nodo, std::string_view letto, std::span<const xml::CarattereAltro> altri, bool buono,
                Posto posto) override;
    void Chiusura(int nodo, Posto posto) override;

private:
    int Colonna(std::string_view nome) const {
        for (std::size_t i = 0; i < m_schema.colonne.size(); ++i)
            if (m_schema.colonne[i].nome == nome)
                return static_cast<int>(i);
        return -1;
    }
    void ControllaDichiarazione(const xml::LettoreXML& lettore);
    void NuovaPersona(int genere, const xml::LettoreXML& lettore, Posto posto);
    void FissaCodice(std::string_view codice);
    // " (dipendente CF)", the end of the person's findings.
    std::string DiChi() const {
        return Di(m_codice.empty() ? std::string() : std::string(NomiGeneri[m_genere]) + " " + m_codice);
    }
    void FinePersona();
    // The person's tax code against its surname and name, at the person's end; a municipality code against
    // the month it is of.
    void ControllaAnagrafica();
    void ControllaCodiceComune(std::string_view valore, Posto posto);
    // A value of the listing for the person being read.
    void Metti(int colonna, std::string valore) {
        if (m_inPersona && m_valori && colonna >= 0)
            m_persona.valori[static_cast<std::size_t>(colonna)] = std::move(valore);
    }
    void Aggiungi(int colonna, std::string_view separatore, std::string_view valore) {
        if (!m_inPersona || !m_valori || colonna < 0)
            return;
        std::string& v = m_persona.valori[static_cast<std::size_t>(colonna)];
        if (!v.empty())
            v.append(separatore);
        v.append(valore);
    }
    // A value of the previous month's block, for the listing; the weeks one after another.
    void MesePrecedente(ParteMese parte, std::string_view valore) {
        if (!m_valori)
            return;
        std::string& testo = m_mesePrecedente[parte];
        if (!testo.empty())
            testo += ' ';
        testo.append(valore);
    }
    // A value of an element, as its handler reads it.
    struct ValoreDelNodo {
        int nodo;
        std::string_view valore; // the characters above U+00FF as their references
        bool buono;              // of the form of its element
        Posto posto;
        std::string_view Pulito() const { return shell::TogliSpazi(valore); }
    };
    // What the rules do with the value of an element (Valore), one handler per element.
    using Gestore = void (LettoreINPS::*)(const ValoreDelNodo&);
    struct RigaGestore {
        N nodo;
        Gestore gestore;
    };
    static const RigaGestore Gestori[];
    static const std::array<Gestore, NumeroNodi> GestoriPerNodo;
    void PersonaMittente(const ValoreDelNodo& v);
    void LunghezzaRagioneSociale(const ValoreDelNodo& v);
    void RagioneSocialeMittente(const ValoreDelNodo& v);
    void RagioneSocialeAzienda(const ValoreDelNodo& v);
    void CodiceMittente(const ValoreDelNodo& v);
    void Sede(const ValoreDelNodo& v);
    void CodiceAzienda(const ValoreDelNodo& v);
    void MeseDichiarato(const ValoreDelNodo& v);
    void MatricolaPosizione(const ValoreDelNodo& v);
    void CodiceStatistico(const ValoreDelNodo& v);
    void CodiceAutorizzazione(const ValoreDelNodo& v);
    void ImponibileNonZero(const ValoreDelNodo& v);
    void SommaContributo(const ValoreDelNodo& v);
    void GiorniContribuitiNelMese(const ValoreDelNodo& v);
    void GiorniRetribuitiNelMese(const ValoreDelNodo& v);
    void OrarioDelMese(const ValoreDelNodo& v);
    void GiornoLavorato(const ValoreDelNodo& v);
    void IdDellaSettimana(const ValoreDelNodo& v);
    void CoperturaDellaSettimana(const ValoreDelNodo& v);
    void GiornoDellEvento(const ValoreDelNodo& v);
    void TipoDellEvento(const ValoreDelNodo& v);
    void CodiceFiscale(const ValoreDelNodo& v);
    void CognomePersona(const ValoreDelNodo& v);
    void NomePersona(const ValoreDelNodo& v);
    void Comune(const ValoreDelNodo& v);
    void InizioPeriodo(const ValoreDelNodo& v);
    void FinePeriodo(const ValoreDelNodo& v);
    template <Dichiarato LettoreINPS::*totale> void TotaleDichiarato(const ValoreDelNodo& v);
    void AnnoMese(std::string_view valore, bool buono, Posto posto);
    void Settimana(std::string_view valore, Posto posto);
    void GiorniNelMese(int nodo, std::string_view valore, Posto posto);
    void Fine(bool interrotta);
    void Totali(bool interrotta);

    Lettura& m_lettura;
    const DocumentoINPS& m_documento;
    const SchemaDistinta& m_schema;

    // Every element, attribute and text of the document, for a comparison (RegoleXML::VuoleContenuto).
    bool m_ogniNodo = false;
    bool m_giorniSoloNonZero = false; // the writer writes GiorniRetribuiti only when it is not 0
    ContenutoINPS m_contenuto;
    std::array<int, NumeroNodi> m_colonne{};
    int m_colonnaLavorati, m_colonnaSettimane, m_colonnaAssunzione, m_colonnaCessazione, m_colonnaElimina,
        m_colonnaMesePrecedente, m_colonnaComune;

    // The file: its first line and its last two bytes.
    std::array<char, 2> m_ultimi{};
    std::uint64_t m_letti = 0;

    // The sender and the company.
    std::string m_cfPersonaMittente, m_ragSocMittente, m_cfMittente, m_sedeINPS, m_cfAzienda, m_ragSocAzienda;
    bool m_mittenteLetto = false, m_ragSocLetta = false;
    std::string m_mese, m_matricola, m_csc, m_ca;
    long m_rigaAzienda = 0, m_rigaMese = 0, m_rigaMatricola = 0;
    int m_giorniDelMese = 0;              // of the declared month, for the calendar; 0 when unknown
    int m_anno = 0, m_numeroMese = 0;     // the declared month; 0 when unknown
    inps::MeseDelCalendario m_calendario; // the same, for the calendar rules

    // The person being read; its findings wait for its end, when its tax code is known.
    bool m_inPersona = false;
    bool m_valori = false; // the listing values of the person being read are wanted
    int m_genere = 0;
    long m_indice = -1;
    Posto m_postoPersona;
    std::string m_codice;
    bool m_codiceLetto = false;
    std::vector<Rilievo> m_rilieviPersona; // until its code is known
    Persona m_persona;
    bool m_inMesePrecedente = false;
    PartiMese m_mesePrecedente;
    std::string m_settimana; // IdSettimana of the week being read
    std::string m_giorno;    // GiornoAssunzione or GiornoCessazione
    std::string m_dal;
    int m_lavorati = 0;
    int m_giorni = 0;
    bool m_calendarioRotto = false;
    std::vector<CodiceVisto> m_codici;
    std::string m_cognome, m_nome; // of the person being read, and where they are
    // The rules of the report being read (regole_inps.h): its own values, and those of its previous month's block.
    inps::DatiDenuncia m_denuncia, m_blocco;
    inps::DatiDenuncia& Denuncia() { return m_inMesePrecedente ? m_blocco : m_denuncia; }
    void ControllaDenuncia(const inps::DatiDenuncia& denuncia);
    void DellaDenuncia(int nodo, std::string_view valore, Posto posto);
    std::string m_chiave;            // the report's key beside its tax code (CodiceVisto)
    std::string m_matricolaCorrente; // of the contribution position being read
    Posto m_postoGiorno;
    bool m_interrotta = false; // the document stopped being XML: the report being read is not whole
    Posto m_postoCodice, m_postoCognome, m_postoNome;

    // The company's lists and totals.
    bool m_liste = false;
    long m_denunce = 0; // DenunciaIndividuale, Elimina="S" included
    long m_collaboratori = 0;
    long m_denunceInPosizione = 0;
    bool m_matricolaInPosizione = false;
    long long m_centesimi = 0; // the sum of Contributo
    long m_contributi = 0;     // how many were summed
    bool m_contributiIlleggibili = false;
    Dichiarato m_numDenIndiv, m_numLavoratori, m_forzaAziendale, m_totaleADebito, m_totaleACredito;
};

void LettoreINPS::Leggi() {
    ValidatoreXML validatore(m_documento.grammatica(), *this);
    xml::LettoreXML lettore([this](char* dove, std::size_t quanti) {
        const std::size_t n = m_lettura.File().Leggi(dove, quanti);
        if (n == 1)
            m_ultimi = {m_ultimi[1], dove[0]};
        else if (n > 1)
            m_ultimi = {dove[n - 2], dove[n - 1]};
        m_letti += n;
        return n;
    });
    bool interrotta = false;
    std::string arresto; // where and why the document stopped being read
    try {
        validatore.Leggi(lettore);
    } catch (const xml::ErroreXML& errore) {
        // Where the document stops being XML the reading stops: what was read so far is still told.
        interrotta = true;
        m_interrotta = true;
        const Posto posto{static_cast<long>(errore.Riga()), static_cast<long>(errore.Colonna())};
        std::string messaggio = errore.ForseBenFormato() ? "dichiarazione <!DOCTYPE>: " + errore.Motivo() +
                                                               " in un documento INPS, che si invia senza"
                                                         : "documento XML non ben formato: " + errore.Motivo();
        // As the finding reads once it is told: with whose it is, inside a person whose code is known.
        arresto = "riga " + std::to_string(posto.riga) + ", colonna " + std::to_string(posto.colonna) + ": " +
                  messaggio + (m_inPersona && m_codiceLetto ? DiChi() : std::string());
        Segnala(Gravita::Errore, posto, std::move(messaggio));
    }
    // A document whose content is not all there, or begun by a byte order mark, is compared with none.
    if (lettore.Dichiarazione().bom)
        m_lettura.NonConfrontabile(std::string(SegnoBom));
    if (interrotta)
        m_lettura.NonConfrontabile(std::move(arresto));
    if (m_ogniNodo) {
        const std::string dichiarazione = DichiarazioneNelContenuto(lettore);
        if (m_lettura.VuoleImpronte())
            m_lettura.ContenutoDellaFornitura().Aggiungi(dichiarazione);
        if (m_lettura.VuoleCampi(-1))
            m_lettura.Campo(-1, {"dichiarazione XML", dichiarazione});
    }
    if (m_inPersona)
        FinePersona();
    Fine(interrotta);
    m_lettura.Record(validatore.Righe());
    if (validatore.RadiceDellaGrammatica())
        m_lettura.RecordDelFormato();
    if (!interrotta && m_letti > 0 && m_ultimi[1] != '\n')
        Segnala(Gravita::Avviso, {validatore.Righe(), 0}, "l'ultima riga non finisce con CR LF");
    validatore.SegnalaImpaginazione();
}

// A finding inside a person ends with whose it is: those that come before its tax code wait for it (a few:
// the code is its first child).
void LettoreINPS::Segnala(Gravita gravita, Posto posto, std::string messaggio) {
    if (!m_inPersona)
        return m_lettura.Segnala({gravita, posto.riga, posto.colonna, std::move(messaggio), -1});
    if (m_codiceLetto)
        return m_lettura.Segnala({gravita, posto.riga, posto.colonna, messaggio + DiChi(), m_indice});
    m_rilieviPersona.push_back({gravita, posto.riga, posto.colonna, std::move(messaggio), m_indice});
    if (m_rilieviPersona.size() >= 64)
        FissaCodice({});
}

// A report's values, or its block's, as none were read: its lists of weeks and days emptied, their room kept for
// those of the next report.
void Riparti(inps::DatiDenuncia& denuncia) {
    std::vector<inps::SettimanaLetta> settimane = std::move(denuncia.settimane);
    std::vector<inps::GiornoLetto> calendario = std::move(denuncia.calendario);
    settimane.clear();
    calendario.clear();
    denuncia = {};
    denuncia.settimane = std::move(settimane);
    denuncia.calendario = std::move(calendario);
}

// The person's tax code is known (empty: it has none where it should).
void LettoreINPS::FissaCodice(std::string_view codice) {
    m_codice = codice;
    m_codiceLetto = true;
    for (Rilievo& r : m_rilieviPersona) {
        r.messaggio += DiChi();
        m_lettura.Segnala(r);
    }
    m_rilieviPersona.clear();
}

// The declaration that the converters write: ISO-8859-1 is a must, the line as they write it a habit.
void LettoreINPS::ControllaDichiarazione(const xml::LettoreXML& lettore) {
    const xml::DichiarazioneXML& d = lettore.Dichiarazione();
    if (!d.presente)
        Segnala(Gravita::Errore, {1, 1},
                "manca la dichiarazione XML: il documento va dichiarato in ISO-8859-1 (" + std::string(Dichiarazione) +
                    ")");
    else if (lettore.CodificaDocumento() != xml::Codifica::Iso88591)
        Segnala(Gravita::Errore, {1, 1},
                "la dichiarazione XML " +
                    (d.codifica.empty() ? std::string("non dichiara la codifica")
                                        : "dichiara la codifica '" + d.codifica + "'") +
                    ": il documento va scritto e dichiarato in ISO-8859-1");
    else {
        const std::string_view inizio = m_lettura.File().Inizio(InizioPerRiconoscere);
        const std::string_view prima = inizio.substr(0, inizio.find_first_of("\r\n"));
        if (prima != Dichiarazione)
            Segnala(Gravita::Avviso, {1, 1},
                    "dichiarazione XML " + ValidatoreXML::Citato(prima) +
                        " diversa da quella del convertitore: " + std::string(Dichiarazione));
    }
}

void LettoreINPS::NuovaPersona(int genere, const xml::LettoreXML& lettore, Posto posto) {
    if (m_inPersona) // a report inside another: the grammar said so; the outer one ends here
        FinePersona();
    m_inPersona = true;
    if (m_ogniNodo)
        m_contenuto.NuovaPersona();
    m_genere = genere;
    m_indice = m_lettura.NuovaPersona();
    m_postoPersona = posto;
    m_codice.clear();
    m_codiceLetto = false;
    for (std::string& parte : m_mesePrecedente)
        parte.clear();
    m_lavorati = 0;
    m_dal.clear();
    m_cognome.clear();
    m_nome.clear();
    m_chiave = genere == GenereDipendente ? "Matricola " + m_matricolaCorrente : std::string();
    const auto attributi = lettore.Attributi();
    const bool elimina =
        std::any_of(attributi.begin(), attributi.end(), [](const xml::Attributo& a) { return a.nome == "Elimina"; });
    Riparti(m_denuncia);
    m_denuncia.anno = m_anno;
    m_denuncia.mese = m_numeroMese;
    m_denuncia.posto = posto;
    m_denuncia.elimina = elimina;
    if (m_lettura.VuoleChiavi()) {
        m_persona = {};
        m_persona.genere = genere;
        m_persona.indice = m_indice;
        m_persona.riga = posto.riga;
        m_valori = m_lettura.VuoleValori(m_indice);
        if (m_valori)
            m_persona.valori.assign(m_schema.colonne.size(), std::string());
        if (elimina)
            Metti(m_colonnaElimina, "S");
    }
}

void LettoreINPS::FinePersona() {
    if (!m_codiceLetto)
        FissaCodice({});
    ControllaAnagrafica();
    // A report the reading stopped in (not XML from there on) is not whole: its values are not held together.
    if (m_genere == GenereDipendente && !m_interrotta)
        ControllaDenuncia(m_denuncia);
    if (m_lettura.VuoleChiavi()) {
        m_persona.chiave = m_codice;
        m_persona.denuncia = m_chiave;
        if (m_genere == GenereDipendente && m_valori) {
            Metti(m_colonnaMesePrecedente, TestoMesePrecedente(m_mesePrecedente));
            Metti(m_colonnaLavorati, std::to_string(m_lavorati));
        }
        m_lettura.Persona(std::move(m_persona));
    }
    // The code and the key go to the list of those seen: the next person has its own.
    if (!m_codice.empty())
        m_codici.push_back({std::move(m_codice), std::move(m_chiave), m_genere,
                            m_denuncia.elimina && m_genere == GenereDipendente, m_postoPersona, m_indice});
    m_inPersona = false;
    m_valori = false;
}

// A value of the report being read, for its rules and its key.
void LettoreINPS::DellaDenuncia(int nodo, std::string_view valore, Posto posto) {
    if (nodo == Matricola)
        m_matricolaCorrente = shell::TogliSpazi(valore);
    if (!m_inPersona)
        return;
    inps::DatiDenuncia& denuncia = Denuncia();
    for (const ValoreDellaDenuncia& v : ValoriDellaDenuncia)
        if (v.nodo == nodo)
            denuncia.*v.dove = inps::ValoreLetto{std::string(shell::TogliSpazi(valore)), posto};
    if (!m_inMesePrecedente && std::ranges::find(ValoriDellaChiave, nodo) != std::end(ValoriDellaChiave))
        m_chiave.append(" ")
            .append(m_documento.grammatica().nodi[static_cast<std::size_t>(nodo)].nome)
            .append(" ")
            .append(shell::TogliSpazi(valore));
    switch (nodo) {
    case PercPartTime:
        denuncia.percPartTime = true;
        break;
    case IdSettimana:
        denuncia.settimane.push_back({std::string(shell::TogliSpazi(valore)), {}, posto});
        break;
    case TipoCopertura:
        if (!denuncia.settimane.empty())
            denuncia.settimane.back().copertura = shell::TogliSpazi(valore);
        break;
    case Lavorato:
        if (!m_inMesePrecedente)
            denuncia.calendario.push_back({m_giorni, valore == "S", m_postoGiorno});
        break;
    default:
        break;
    }
}

// The rules of one report, or of its previous month's block, at its end.
void LettoreINPS::ControllaDenuncia(const inps::DatiDenuncia& denuncia) {
    for (inps::RilievoDenuncia& r : inps::ControllaDenuncia(denuncia))
        Segnala(r.gravita, r.posto, std::move(r.messaggio));
}

void LettoreINPS::Apertura(int nodo, const xml::LettoreXML& lettore, Posto posto) {
    switch (nodo) {
    case DenunceMensili:
    case DenunceRetributiveMensili:
        ControllaDichiarazione(lettore);
        break;
    case DenunciaIndividualeU:
    case DenunciaIndividualeE:
        ++m_denunce;
        ++m_denunceInPosizione;
        NuovaPersona(GenereDipendente, lettore, posto);
        break;
    case CollaboratoreU:
    case CollaboratoreE:
        ++m_collaboratori;
        NuovaPersona(GenereCollaboratore, lettore, posto);
        break;
    case PosContributiva:
        m_denunceInPosizione = 0;
        m_matricolaInPosizione = false;
        [[fallthrough]];
    case ListaDenunceIndividuali:
    case ListaCollaboratoriU:
    case ListaCollaboratoriE:
        m_liste = true;
        break;
    case MesePrecedenteU:
    case MesePrecedenteE:
        m_inMesePrecedente = true;
        for (std::string& parte : m_mesePrecedente)
            parte.clear();
        Riparti(m_blocco);
        m_blocco.mesePrecedente = true;
        m_blocco.anno = m_numeroMese == 1 ? m_anno - 1 : m_anno;
        m_blocco.mese = m_numeroMese == 0 ? 0 : m_numeroMese == 1 ? 12 : m_numeroMese - 1;
        m_blocco.posto = posto;
        for (const xml::Attributo& a : lettore.Attributi())
            if (a.nome == "TipoConsolidamento")
                MesePrecedente(Consolidamento, a.valore);
        break;
    case DatiRetributiviU:
        m_giorni = 0;
        m_calendarioRotto = false;
        [[fallthrough]];
    case DatiRetributiviE:
    case DatiRetributiviMesePrecedente:
        Denuncia().datiRetributivi = posto;
        break;
    case Giorno: {
        if (!m_documento.calendario || m_inMesePrecedente)
            break;
        ++m_giorni;
        m_postoGiorno = posto;
        if (m_calendarioRotto)
            break;
        // GG="k", the day in plain digits: found as the only attribute, read as a number.
        const auto attributi = lettore.Attributi();
        const auto gg =
            std::find_if(attributi.begin(), attributi.end(), [](const xml::Attributo& a) { return a.nome == "GG"; });
        if (gg == attributi.end())
            break;
        if (auto messaggio = inps::ControllaGiornoDelCalendario(gg->valore, m_giorni)) {
            m_calendarioRotto = true;
            Segnala(Gravita::Errore, posto, std::move(*messaggio));
        }
        break;
    }
    default:
        break;
    }
}

void LettoreINPS::Valore(int nodo, std::string_view letto, std::span<const xml::CarattereAltro> altri, bool buono,
                         Posto posto) {
    // A character above U+00FF (a Slovene or Polish surname), which the reader gives as "?", as its reference:
    // quoted, listed and compared as written, and read by the registries' rules as its base letter.
    const std::string conRiferimenti = altri.empty() ? std::string() : xml::TestoConRiferimenti(letto, altri);
    const std::string_view valore = altri.empty() ? letto : std::string_view(conRiferimenti);
    const ValoreDelNodo v{nodo, valore, buono, posto};
    if (m_inPersona && !m_codiceLetto)
        FissaCodice(nodo == CFLavoratore || nodo == CFCollaboratore ? v.Pulito() : std::string_view());
    DellaDenuncia(nodo, valore, posto);
    if (const Gestore gestore = GestoriPerNodo[static_cast<std::size_t>(nodo)])
        (this->*gestore)(v);
    // The columns of the listing.
    const int colonna = m_colonne[static_cast<std::size_t>(nodo)];
    if (colonna < 0 || !m_inPersona || m_inMesePrecedente || !m_valori)
        return;
    switch (m_documento.grammatica().nodi[static_cast<std::size_t>(nodo)].forma) {
    case FormaValore::Contributo:
    case FormaValore::Decimale:
    case FormaValore::Importo:
    case FormaValore::Intero:
        Metti(colonna, buono ? ImportoDistinta(valore) : std::string(valore));
        break;
    case FormaValore::Data:
        Metti(colonna, buono ? DataDistinta(valore) : std::string(valore));
        break;
    default:
        Metti(colonna, std::string(v.Pulito()));
        break;
    }
}

// The sender and the company.

void LettoreINPS::PersonaMittente(const ValoreDelNodo& v) { m_cfPersonaMittente = v.Pulito(); }

// The company's name no longer than the converter writes it, once its characters are written as references.
void LettoreINPS::LunghezzaRagioneSociale(const ValoreDelNodo& v) {
    if (m_documento.ragioneSocialeMassima == 0)
        return;
    const std::size_t lunghezza = LunghezzaCodificata(v.valore);
    if (lunghezza > m_documento.ragioneSocialeMassima)
        Segnala(Gravita::Avviso, v.posto,
                std::string(v.nodo == RagSocMittente ? "<RagSocMittente>" : "<RagSocAzienda>") + " di " +
                    std::to_string(lunghezza) + " caratteri come scritti nel documento: il convertitore la taglia a " +
                    std::to_string(m_documento.ragioneSocialeMassima));
}

void LettoreINPS::RagioneSocialeMittente(const ValoreDelNodo& v) {
    LunghezzaRagioneSociale(v);
    m_ragSocMittente = v.valore;
    m_ragSocLetta = true;
}

void LettoreINPS::RagioneSocialeAzienda(const ValoreDelNodo& v) {
    LunghezzaRagioneSociale(v);
    m_ragSocAzienda = v.valore;
    if (m_ragSocLetta && v.valore != m_ragSocMittente)
        Segnala(Gravita::Errore, v.posto,
                "<RagSocAzienda> " + ValidatoreXML::Citato(v.valore) + " diversa da <RagSocMittente> " +
                    ValidatoreXML::Citato(m_ragSocMittente) + ": sono la stessa ragione sociale dell'azienda");
}

void LettoreINPS::CodiceMittente(const ValoreDelNodo& v) {
    m_cfMittente = v.valore;
    m_mittenteLetto = true;
}

void LettoreINPS::Sede(const ValoreDelNodo& v) { m_sedeINPS = v.Pulito(); }

void LettoreINPS::CodiceAzienda(const ValoreDelNodo& v) {
    m_cfAzienda = v.valore;
    m_rigaAzienda = v.posto.riga;
    if (m_mittenteLetto && v.valore != m_cfMittente)
        Segnala(Gravita::Errore, v.posto,
                "<CFAzienda> " + ValidatoreXML::Citato(v.valore) + " diverso da <CFMittente> " +
                    ValidatoreXML::Citato(m_cfMittente) + ": sono lo stesso codice fiscale dell'azienda");
}

void LettoreINPS::MeseDichiarato(const ValoreDelNodo& v) {
    m_rigaMese = v.posto.riga;
    AnnoMese(v.valore, v.buono, v.posto);
}

// Of the contribution position; the first one is the supply's.
void LettoreINPS::MatricolaPosizione(const ValoreDelNodo& v) {
    if (const std::string_view m = v.Pulito(); !(m.size() == CifreMatricola && SoloCifre(m)))
        Segnala(Gravita::Errore, v.posto,
                "<Matricola> " + ValidatoreXML::Citato(v.valore) + ": la matricola INPS dell'azienda ha " +
                    std::to_string(CifreMatricola) + " cifre");
    m_matricolaInPosizione = true;
    if (m_matricola.empty()) {
        m_matricola = v.Pulito();
        m_rigaMatricola = v.posto.riga;
    }
}

void LettoreINPS::CodiceStatistico(const ValoreDelNodo& v) { m_csc = v.Pulito(); }

void LettoreINPS::CodiceAutorizzazione(const ValoreDelNodo& v) { m_ca = v.Pulito(); }

// The amounts of a report.

void LettoreINPS::ImponibileNonZero(const ValoreDelNodo& v) {
    if (v.buono && std::none_of(v.valore.begin(), v.valore.end(), [](char c) { return c >= '1' && c <= '9'; }))
        Segnala(Gravita::Avviso, v.posto,
                "<Imponibile> " + ValidatoreXML::Citato(v.valore) +
                    ": il convertitore non scrive le righe con imponibile 0");
}

// Summed for the debit total, in the document that states it.
void LettoreINPS::SommaContributo(const ValoreDelNodo& v) {
    if (!m_documento.calendario)
        return;
    // Amounts beyond what any report holds (over 10^15 euro in all) cannot be summed here.
    if (const auto centesimi = v.buono ? Centesimi(v.valore) : std::nullopt;
        centesimi && *centesimi<SommaMassima&& * centesimi> - SommaMassima && m_centesimi + *centesimi < SommaMassima &&
        m_centesimi + *centesimi > -SommaMassima) {
        m_centesimi += *centesimi;
        ++m_contributi;
    } else {
        m_contributiIlleggibili = true;
    }
}

void LettoreINPS::GiorniContribuitiNelMese(const ValoreDelNodo& v) { GiorniNelMese(v.nodo, v.valore, v.posto); }

void LettoreINPS::GiorniRetribuitiNelMese(const ValoreDelNodo& v) {
    GiorniNelMese(v.nodo, v.valore, v.posto);
    if (const auto numero = scrittura_xml::NumeroIniziale(v.valore); m_giorniSoloNonZero && numero && *numero == 0)
        Segnala(Gravita::Avviso, v.posto,
                "<GiorniRetribuiti> " + ValidatoreXML::Citato(v.valore) +
                    ": il convertitore lo scrive solo quando non \xE8 0");
    if (m_inMesePrecedente)
        MesePrecedente(GiorniMese, v.Pulito());
}

void LettoreINPS::OrarioDelMese(const ValoreDelNodo& v) {
    if (m_inMesePrecedente)
        MesePrecedente(ParteMese::Orario, v.Pulito());
}

// The calendar and the weeks.

void LettoreINPS::GiornoLavorato(const ValoreDelNodo& v) { m_lavorati += v.valore.size() == 1 && v.valore[0] == 'S'; }

void LettoreINPS::IdDellaSettimana(const ValoreDelNodo& v) {
    Settimana(v.valore, v.posto);
    if (m_valori)
        m_settimana = v.Pulito();
}

void LettoreINPS::CoperturaDellaSettimana(const ValoreDelNodo& v) {
    if (!m_valori)
        return;
    const std::string settimana = m_settimana + ":" + std::string(v.Pulito());
    if (m_inMesePrecedente)
        MesePrecedente(SettimaneMese, settimana);
    else
        Aggiungi(m_colonnaSettimane, " ", settimana);
}

// The hiring and the end of the relationship: the day, then its type.

void LettoreINPS::GiornoDellEvento(const ValoreDelNodo& v) { m_giorno = v.Pulito(); }

void LettoreINPS::TipoDellEvento(const ValoreDelNodo& v) {
    const bool assunzione = v.nodo == TipoAssunzione;
    const std::string evento = m_giorno + " " + std::string(v.Pulito());
    if (m_inMesePrecedente)
        MesePrecedente(assunzione ? AssunzioneMese : CessazioneMese, evento);
    else
        Metti(assunzione ? m_colonnaAssunzione : m_colonnaCessazione, evento);
}

// The person.

void LettoreINPS::CodiceFiscale(const ValoreDelNodo& v) { m_postoCodice = v.posto; }

void LettoreINPS::CognomePersona(const ValoreDelNodo& v) {
    m_cognome = v.valore;
    m_postoCognome = v.posto;
}

void LettoreINPS::NomePersona(const ValoreDelNodo& v) {
    m_nome = v.valore;
    m_postoNome = v.posto;
}

void LettoreINPS::Comune(const ValoreDelNodo& v) { ControllaCodiceComune(v.valore, v.posto); }

// The collaborator's period.

void LettoreINPS::InizioPeriodo(const ValoreDelNodo& v) { m_dal = v.buono ? std::string(v.valore) : std::string(); }

void LettoreINPS::FinePeriodo(const ValoreDelNodo& v) {
    if (v.buono && !m_dal.empty() && m_dal > v.valore)
        Segnala(Gravita::Avviso, v.posto,
                "<Al> " + std::string(v.valore) + " prima di <Dal> " + m_dal +
                    ": il periodo finisce prima di cominciare");
}

// A total the document states, held until its end.
template <Dichiarato LettoreINPS::*totale> void LettoreINPS::TotaleDichiarato(const ValoreDelNodo& v) {
    this->*totale = {LeggiIntero(v.valore), v.posto};
}

// clang-format off
constexpr LettoreINPS::RigaGestore LettoreINPS::Gestori[] = {
    {CFPersonaMittente,       &LettoreINPS::PersonaMittente},
    {RagSocMittente,          &LettoreINPS::RagioneSocialeMittente},
    {CFMittente,              &LettoreINPS::CodiceMittente},
    {SedeINPS,                &LettoreINPS::Sede},
    {CFAzienda,               &LettoreINPS::CodiceAzienda},
    {RagSocAzienda,           &LettoreINPS::RagioneSocialeAzienda},
    {AnnoMeseDenunciaU,       &LettoreINPS::MeseDichiarato},
    {AnnoMeseDenunciaE,       &LettoreINPS::MeseDichiarato},
    {Matricola,               &LettoreINPS::MatricolaPosizione},
    {CSC,                     &LettoreINPS::CodiceStatistico},
    {CA,                      &LettoreINPS::CodiceAutorizzazione},
    {CFLavoratore,            &LettoreINPS::CodiceFiscale},
    {CFCollaboratore,         &LettoreINPS::CodiceFiscale},
    {Cognome,                 &LettoreINPS::CognomePersona},
    {Nome,                    &LettoreINPS::NomePersona},
    {CodiceComune,            &LettoreINPS::Comune},
    {OrarioContrattuale,      &LettoreINPS::OrarioDelMese},
    {GiornoAssunzione,        &LettoreINPS::GiornoDellEvento},
    {TipoAssunzione,          &LettoreINPS::TipoDellEvento},
    {GiornoCessazione,        &LettoreINPS::GiornoDellEvento},
    {TipoCessazione,          &LettoreINPS::TipoDellEvento},
    {ImponibileDipendente,    &LettoreINPS::ImponibileNonZero},
    {ImponibileCollaboratore, &LettoreINPS::ImponibileNonZero},
    {Contributo,              &LettoreINPS::SommaContributo},
    {IdSettimana,             &LettoreINPS::IdDellaSettimana},
    {TipoCopertura,           &LettoreINPS::CoperturaDellaSettimana},
    {GiorniRetribuiti,        &LettoreINPS::GiorniRetribuitiNelMese},
    {GiorniContribuiti,       &LettoreINPS::GiorniContribuitiNelMese},
    {Lavorato,                &LettoreINPS::GiornoLavorato},
    {Dal,                     &LettoreINPS::InizioPeriodo},
    {Al,                      &LettoreINPS::FinePeriodo},
    {NumLavoratori,           &LettoreINPS::TotaleDichiarato<&LettoreINPS::m_numLavoratori>},
    {ForzaAziendale,          &LettoreINPS::TotaleDichiarato<&LettoreINPS::m_forzaAziendale>},
    {NumDenIndiv,             &LettoreINPS::TotaleDichiarato<&LettoreINPS::m_numDenIndiv>},
    {TotaleADebito,           &LettoreINPS::TotaleDichiarato<&LettoreINPS::m_totaleADebito>},
    {TotaleACredito,          &LettoreINPS::TotaleDichiarato<&LettoreINPS::m_totaleACredito>},
};
// clang-format on

// The handlers by node: none for a node whose value only the listing reads; a node given two handlers
// stops the compiler.
constexpr std::array<LettoreINPS::Gestore, NumeroNodi> LettoreINPS::GestoriPerNodo = [] {
    std::array<Gestore, NumeroNodi> perNodo{};
    for (const RigaGestore& riga : Gestori) {
        if (perNodo[static_cast<std::size_t>(riga.nodo)])
            throw "two handlers for one node"; // not a constant expression: the compiler stops here
        perNodo[static_cast<std::size_t>(riga.nodo)] = riga.gestore;
    }
    return perNodo;
}();

// The declared month: the days of its calendar, and the file's name.
void LettoreINPS::AnnoMese(std::string_view valore, bool buono, Posto /*posto*/) {
    const auto trattino = valore.rfind('-');
    if (trattino == std::string_view::npos)
        return;
    const std::string_view anno = shell::TogliSpazi(valore.substr(0, trattino));
    const std::string_view mese = valore.substr(trattino + 1);
    m_mese = std::string(mese) + "/" + std::string(anno);
    m_calendario.testo = m_mese;
    if (!SoloCifre(anno) || anno.size() > 9 || !SoloCifre(mese) || mese.size() != 2)
        return;
    const int a = static_cast<int>(*LeggiIntero(anno));
    const int m = static_cast<int>(*LeggiIntero(mese));
    // A month of another form says no month: the checks that need one are left out, not made on a year 12.
    if (buono && m >= 1 && m <= 12 && a >= 1 && a <= 9999) {
        m_anno = a;
        m_numeroMese = m;
        m_calendario = inps::MeseDelCalendario::Di(a, m, m_mese);
    }
    if (buono && m_documento.calendario)
        m_giorniDelMese = uniemens::GiorniDelMese(a, m);
    const std::string atteso = m_documento.nome(a, m);
    const std::string nome = shell::TestoPercorso(m_lettura.File().Percorso().filename());
    if (!nome.empty() && nome != atteso)
        m_lettura.Avviso(0, 0, "il nome del file '" + nome + "' non corrisponde al contenuto: atteso '" + atteso + "'");
}

void LettoreINPS::Settimana(std::string_view valore, Posto posto) {
    if (auto rilievo = inps::ControllaSettimana(valore, m_calendario, m_inMesePrecedente))
        Segnala(rilievo->errore ? Gravita::Errore : Gravita::Avviso, posto, std::move(rilievo->messaggio));
}

void LettoreINPS::GiorniNelMese(int nodo, std::string_view valore, Posto posto) {
    if (auto messaggio =
            inps::ControllaGiorniNelMese(m_documento.grammatica().nodi[static_cast<std::size_t>(nodo)].nome, valore,
                                         m_calendario, m_inMesePrecedente))
        Segnala(Gravita::Errore, posto, std::move(*messaggio));
}

void LettoreINPS::ControllaAnagrafica() {
    if (!m_inPersona || m_codice.empty())
        return;
    anagrafe::PersonaScritta persona;
    persona.codiceFiscale = {"codice fiscale", m_codice};
    if (!m_cognome.empty())
        persona.cognome = {"campo <Cognome>", m_cognome};
    if (!m_nome.empty())
        persona.nome = {"campo <Nome>", m_nome};
    for (const anagrafe::Riscontro& r : anagrafe::ControllaPersona(persona))
        Segnala(r.errore ? Gravita::Errore : Gravita::Avviso,
                r.dato == anagrafe::Dato::Cognome ? m_postoCognome
                : r.dato == anagrafe::Dato::Nome  ? m_postoNome
                                                  : m_postoCodice,
                r.messaggio);
}

// In force on some day of the declared month, or of the month before in a previous month's block.
void LettoreINPS::ControllaCodiceComune(std::string_view valore, Posto posto) {
    if (m_numeroMese == 0)
        return;
    int anno = m_anno, mese = m_numeroMese;
    if (m_inMesePrecedente && --mese == 0) {
        mese = 12;
        --anno;
    }
    if (m_valori && !m_inMesePrecedente) {
        const std::string luogo = anagrafe::LuogoDelCodice(shell::TogliSpazi(valore), {anno, mese, 1});
        Metti(m_colonnaComune, std::string(shell::TogliSpazi(valore)) + (luogo.empty() ? "" : " " + luogo));
    }
    const anagrafe::ComuneScritto comune{{"campo <CodiceComune>", valore},
                                         {},
                                         {},
                                         {anno, mese, 1},
                                         {anno, mese, uniemens::GiorniDelMese(anno, mese)},
                                         "del comune"};
    for (const anagrafe::Riscontro& r : anagrafe::ControllaComune(comune))
        Segnala(r.errore ? Gravita::Errore : Gravita::Avviso, posto, r.messaggio);
}

void LettoreINPS::Chiusura(int nodo, Posto posto) {
    switch (nodo) {
    case DenunciaIndividualeU:
    case DenunciaIndividualeE:
    case CollaboratoreU:
    case CollaboratoreE:
        if (m_inPersona)
            FinePersona();
        break;
    case MesePrecedenteU:
    case MesePrecedenteE:
        if (m_inPersona && !m_interrotta)
            ControllaDenuncia(m_blocco);
        m_inMesePrecedente = false;
        break;
    case DatiRetributiviU:
        if (auto messaggio = inps::ControllaGiorniDelCalendario(m_giorni, m_giorniDelMese, m_mese))
            Segnala(Gravita::Errore, posto, std::move(*messaggio));
        break;
    case PosContributiva:
        if (m_denunceInPosizione > 0 && !m_matricolaInPosizione)
            Segnala(Gravita::Errore, posto,
                    "<PosContributiva>: manca <Matricola>, che precede la prima <DenunciaIndividuale>");
        else if (m_denunceInPosizione == 0 && m_matricolaInPosizione)
            Segnala(Gravita::Errore, posto, "<PosContributiva>: <Matricola> senza alcuna <DenunciaIndividuale>");
        if (m_denunceInPosizione == 0)
            Segnala(Gravita::Avviso, posto,
                    "<PosContributiva> senza <DenunciaIndividuale>: il convertitore la scrive cos\xEC solo quando "
                    "l'esportazione ha soltanto righe del mese precedente");
        break;
    case AziendaU:
    case AziendaE:
        if (!m_liste)
            Segnala(Gravita::Errore, posto,
                    "<Azienda> senza " + std::string(m_documento.liste) +
                        ": il documento non ha persone, nulla da inviare");
        break;
    default:
        break;
    }
}

void LettoreINPS::Fine(bool interrotta) {
    Totali(interrotta);
    // The same person twice, among the reports or among the collaborators: with the same key, one report sent
    // twice (the later replaces the earlier; one deleting the other is told as such); with another key (another
    // qualification), a report of its own. Each is told with the one just before it of the same person, and the
    // one just before it of the same person and key (ultimoPerChiave, of the person being gone through).
    std::sort(m_codici.begin(), m_codici.end());
    const auto persona = [](const CodiceVisto& c) { return std::tie(c.genere, c.codice); };
    std::map<std::string_view, const CodiceVisto*> ultimoPerChiave;
    for (std::size_t i = 1; i < m_codici.size(); ++i) {
        const CodiceVisto& b = m_codici[i];
        if (persona(b) != persona(m_codici[i - 1]))
            continue;
        const CodiceVisto* stessoCodice = &m_codici[i - 1];
        if (i < 2 || persona(m_codici[i - 2]) != persona(*stessoCodice)) // the person's second
            ultimoPerChiave = {{stessoCodice->chiave, stessoCodice}};
        const CodiceVisto*& ultimo = ultimoPerChiave[b.chiave];
        const CodiceVisto* stessaChiave = ultimo;
        ultimo = &b;
        const std::string chi = std::string(NomiGeneri[b.genere]) + " " + b.codice;
        if (stessaChiave && stessaChiave->elimina != b.elimina)
            m_lettura.Avviso(b.posto.riga, b.posto.colonna,
                             "il " + chi + " ha una denuncia con Elimina=\"S\" e una senza con la stessa chiave (" +
                                 std::string(shell::TogliSpazi(b.chiave)) +
                                 ") nello stesso documento: anche alla riga " +
                                 std::to_string(stessaChiave->posto.riga),
                             b.persona);
        else if (stessaChiave)
            m_lettura.Errore(b.posto.riga, b.posto.colonna,
                             "il " + chi + " ha due denunce con la stessa chiave (" +
                                 std::string(shell::TogliSpazi(b.chiave)) + "): anche alla riga " +
                                 std::to_string(stessaChiave->posto.riga) +
                                 "; INPS tiene la seconda al posto della prima",
                             b.persona);
        else
            m_lettura.Avviso(b.posto.riga, b.posto.colonna,
                             "il " + chi + " compare due volte: anche alla riga " +
                                 std::to_string(stessoCodice->posto.riga),
                             b.persona);
    }
    Intestazione dati;
    if (!m_ragSocAzienda.empty() || !m_cfAzienda.empty())
        dati.voci.emplace_back("Azienda", std::string(shell::TogliSpazi(m_ragSocAzienda)) +
                                              (m_cfAzienda.empty() ? "" : " (" + m_cfAzienda + ")"));
    if (!m_mese.empty())
        dati.voci.emplace_back("Mese di riferimento", m_mese);
    if (!m_cfPersonaMittente.empty())
        dati.voci.emplace_back("Mittente", m_cfPersonaMittente);
    if (!m_sedeINPS.empty())
        dati.voci.emplace_back("Sede INPS", m_sedeINPS);
    if (!m_matricola.empty())
        dati.voci.emplace_back("Matricola", m_matricola);
    if (!m_csc.empty())
        dati.voci.emplace_back("CSC", m_csc);
    if (!m_ca.empty())
        dati.voci.emplace_back("CA", m_ca);
    m_lettura.Dati(dati);
    lettura::Identita identita;
    identita.datore = shell::TogliSpazi(m_cfAzienda);
    identita.nome = shell::TogliSpazi(m_ragSocAzienda);
    identita.rigaDatore = m_rigaAzienda;
    identita.anno = m_anno;
    identita.mese = m_numeroMese;
    identita.rigaPeriodo = m_rigaMese;
    identita.posizione = m_matricola;
    identita.rigaPosizione = m_rigaMatricola;
    m_lettura.Identita(identita);
}

// The totals the document states against its reports; the counts of the E-Mens document, which states none.
void LettoreINPS::Totali(bool interrotta) {
    const auto conteggio = [&](const Dichiarato& d, std::string_view nome, Gravita gravita) {
        if (!d.valore)
            return;
        const bool concorda = *d.valore == m_denunce;
        m_lettura.Totale({std::string(nome) + ": denunce individuali", Numero(*d.valore), Numero(m_denunce), concorda});
        if (!concorda && !interrotta)
            m_lettura.Segnala({gravita, d.posto.riga, d.posto.colonna,
                               "<" + std::string(nome) + "> " + Numero(*d.valore) + ", ma il documento ha " +
                                   Numero(m_denunce) + " <DenunciaIndividuale> (comprese quelle con Elimina=\"S\")",
                               -1});
    };
    if (m_documento.calendario) {
        conteggio(m_numDenIndiv, "NumDenIndiv", Gravita::Errore);
        conteggio(m_numLavoratori, "NumLavoratori", Gravita::Avviso);
        conteggio(m_forzaAziendale, "ForzaAziendale", Gravita::Avviso);
        if (m_totaleADebito.valore) {
            // TotaleADebito rounds the sum of the amounts, each Contributo the amount to its cents: apart by at
            // most half a unit and half a cent per report.
            const long long totale = *m_totaleADebito.valore;
            const bool misurabile = totale < SommaMassima / 100 && totale > -SommaMassima / 100;
            const long long scarto = misurabile ? totale * 100 - m_centesimi : SommaMassima;
            const bool entro = (scarto < 0 ? -scarto : scarto) <= (100 + m_contributi) / 2;
            const long long interi = m_centesimi >= 0 ? m_centesimi / 100 : -((-m_centesimi + 99) / 100);
            const long long arrotondato = interi + (m_centesimi - interi * 100 >= 50 ? 1 : 0);
            std::string ricalcolato = ImportoItaliano(static_cast<double>(m_centesimi) / 100.0);
            if (m_contributiIlleggibili)
                ricalcolato += " (senza i <Contributo> illeggibili)";
            m_lettura.Totale({"TotaleADebito: somma dei contributi", Numero(totale), ricalcolato, entro});
            const Posto p = m_totaleADebito.posto;
            if (!interrotta && !m_contributiIlleggibili && !entro)
                m_lettura.Errore(p.riga, p.colonna,
                                 "<TotaleADebito> " + Numero(totale) +
                                     " non corrisponde alle denunce: la somma dei <Contributo> \xE8 " +
                                     ImportoItaliano(static_cast<double>(m_centesimi) / 100.0) +
                                     ", quindi il totale \xE8 " + Numero(arrotondato) +
                                     " (al pi\xF9 mezza unit\xE0 e mezzo centesimo per denuncia di scarto)" +
                                     inps::Squadrato(scarto).value_or(""));
            else if (!interrotta && !m_contributiIlleggibili && totale != arrotondato)
                m_lettura.Avviso(p.riga, p.colonna,
                                 "<TotaleADebito> " + Numero(totale) + " invece di " + Numero(arrotondato) +
                                     ", la somma arrotondata dei <Contributo> (" +
                                     ImportoItaliano(static_cast<double>(m_centesimi) / 100.0) +
                                     "): ammesso solo per gli arrotondamenti dei singoli contributi");
        }
        if (m_totaleACredito.valore) {
            m_lettura.Totale(
                {"TotaleACredito: crediti", Numero(*m_totaleACredito.valore), "0", *m_totaleACredito.valore == 0});
            if (*m_totaleACredito.valore != 0 && !interrotta)
                m_lettura.Avviso(m_totaleACredito.posto.riga, m_totaleACredito.posto.colonna,
                                 "<TotaleACredito> " + Numero(*m_totaleACredito.valore) +
                                     ": il convertitore non ha crediti da dichiarare e scrive sempre 0");
        }
    } else {
        // What the document holds stands for what it states.
        m_lettura.Totale({"Elementi DenunciaIndividuale", Numero(m_denunce), Numero(m_denunce), true});
        m_lettura.Totale({"Elementi Collaboratore", Numero(m_collaboratori), Numero(m_collaboratori), true});
    }
}

} // namespace

void LeggiUniemens(Lettura& lettura) { LettoreINPS(lettura, Uniemens).Leggi(); }
void LeggiEmens(Lettura& lettura) { LettoreINPS(lettura, Emens).Leggi(); }

} // namespace formati
