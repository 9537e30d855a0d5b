// The check of a 770 Semplificato supply: records A, B, G (one or more per employee module), J and Z
// read by the tables that write them; the fields of each module's area by the writer's field tables;
// the declarant the same everywhere; the counts of B and Z and the sums of J against the records G; every
// tax code; the personal data and the links between fields that the writer always keeps.

#include "anagrafe/codice_fiscale.h"
#include "conv770/dati_sub.h"
#include "conv770/quadri.h"
#include "conv770/record770.h"
#include "conv770/tabelle_quadri.h"
#include "formati/persone.h"
#include "formati/campi_modulo.h"
#include "formati/codici_visti.h"
#include "formati/lettore_fisso.h"
#include "formati/testo_record.h"
#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <span>

namespace formati {

namespace {

using tracciati::Difformita;
using tracciati::Valore;

// clang-format off

namespace t = conv770::tabelle770;
using tracciati::DelContatore;
using tracciati::DellaColonna;
using tracciati::DelGenere;
using tracciati::Pezzo;
using conv770::CodiceDelCampo;

// The pieces the rules read: in record A, in the head that records B and J share, in record G, in
// record B and in record Z.
constexpr const Pezzo& DichiaranteA    = DellaColonna(t::RecordA, 0);
constexpr const Pezzo& DichiaranteBJ   = DellaColonna(t::TestaBJ, 0);
constexpr const Pezzo& ModuloBJ        = DelContatore(t::TestaBJ, conv770::ModuloTesta);
constexpr const Pezzo& Colonna1BJ      = DellaColonna(t::TestaBJ, 1);
constexpr const Pezzo& DichiaranteG    = DellaColonna(t::RecordG, 0);
constexpr const Pezzo& ModuloG         = DelContatore(t::RecordG, conv770::ModuloTesta);
constexpr const Pezzo& CodiceFiscaleG  = DellaColonna(t::RecordG, 20);
constexpr const Pezzo& Colonna1G       = DellaColonna(t::RecordG, 1);
constexpr const Pezzo& AreaG           = DelGenere(t::RecordG, tracciati::Comune::Area);
constexpr const Pezzo& AreaJ           = DelGenere(t::RecordJ, tracciati::Comune::Area);
constexpr const Pezzo& RigheB          = DelContatore(t::RecordB, conv770::RigheEsportazione);
constexpr const Pezzo& DenominazioneB  = DellaColonna(t::RecordB, 2);
// Positions 91-94 of record B: "0000" in an ordinary declaration, other digits in a corrective or supplementary one.
constexpr const Pezzo& TipoB           = DelGenere(t::RecordB, tracciati::Comune::Letterale, 2);
static_assert(TipoB.posizione == 91 && TipoB.testo == "0000");

// The counts of record Z.
struct ContoZ { const Pezzo& pezzo; std::string_view cosa; };
constexpr ContoZ ContiZ[] = {
    {DelContatore(t::RecordZ, conv770::ContoRecordB), "record B"},
    {DelContatore(t::RecordZ, conv770::ContoModuli),  "dipendenti (moduli dei record G)"},
    {DelContatore(t::RecordZ, conv770::ContoRecordJ), "record J"},
};

// The order of the records: A, B, the records G, J, Z.
constexpr Passo Ordine[] = {
    {'\0', "A"}, {'A', "B"}, {'B', "G"}, {'G', "GJ"}, {'J', "Z"}, {'Z', ""},
};

// The personal fields that the employee's tax code and residence code are held against (anagrafe/persona.h):
// each field's code, the datum it is, and where the rules take it (neither: a province held to the registry
// alone).
using anagrafe::Dato;
struct CampoAnagrafico {
    Cercato campo;
    Dato dato;
    anagrafe::Campo anagrafe::PersonaScritta::*persona;
    anagrafe::Campo anagrafe::ComuneScritto::*residenza;
};
constexpr CampoAnagrafico CampiAnagrafici[] = {
    {CodiceDelCampo("DA001002"), Dato::Cognome,          &anagrafe::PersonaScritta::cognome,          nullptr},
    {CodiceDelCampo("DA001003"), Dato::Nome,             &anagrafe::PersonaScritta::nome,             nullptr},
    {CodiceDelCampo("DA001006"), Dato::LuogoNascita,     &anagrafe::PersonaScritta::luogoNascita,     nullptr},
    {CodiceDelCampo("DA001007"), Dato::ProvinciaNascita, &anagrafe::PersonaScritta::provinciaNascita, nullptr},
    {CodiceDelCampo("DA001012"), Dato::NomeComune,       nullptr, &anagrafe::ComuneScritto::nome},
    {CodiceDelCampo("DA001013"), Dato::ProvinciaComune,  nullptr, &anagrafe::ComuneScritto::provincia},
    {CodiceDelCampo("DA001014"), Dato::CodiceComune,     nullptr, &anagrafe::ComuneScritto::codice},
    {CodiceDelCampo("DA001016"), Dato::Provincia,        nullptr, nullptr},
};
constexpr Cercato CodiceFiscaleDA = CodiceDelCampo("DA001001"), SessoDA = CodiceDelCampo("DA001004"),
                  DataNascitaDA = CodiceDelCampo("DA001005"), ProvinciaNascitaDA = CodiceDelCampo("DA001007");
// The employee's tax code: positions 30-45 of the first record G and DA001001, held against the sex and the
// date of birth.
constexpr CodiceDelDipendente CodiceG{'G', CodiceFiscaleG, CodiceFiscaleDA, SessoDA, DataNascitaDA};
// The residence is the one of 1 January of the tax year: 77S11 declares the income of 2010.
constexpr anagrafe::Data InizioPeriodoImposta{2010, 1, 1};

// A code that the writer may write twice in one module: DB001129 of the first supplementary group
// stays in row 001 when column 181 is zero and the second group goes there too.
constexpr std::string_view RipetibiliG[] = {CodiceDelCampo("DB001129").codice};

// What the listing shows of each employee module, in its columns: a field of its area as its kind reads
// it, or what the module gives.
enum class Mostra { Testo, Data, Importo, CodiceFiscale, Modulo, RecordG, RighiDC, Comune };
struct Colonna770 { ColonnaDistinta colonna; Mostra mostra; Cercato campo = {}; };
constexpr auto N = Allineamento::Numero;
constexpr Colonna770 Colonne770[] = {
    {{"codice fiscale"},            Mostra::CodiceFiscale},
    {{"cognome"},                   Mostra::Testo,   CodiceDelCampo("DA001002")},
    {{"nome"},                      Mostra::Testo,   CodiceDelCampo("DA001003")},
    {{"modulo", N, true},           Mostra::Modulo},
    {{"record G", N, true},         Mostra::RecordG},
    {{"sesso"},                     Mostra::Testo,   CodiceDelCampo("DA001004")},
    {{"data di nascita", N},        Mostra::Data,    CodiceDelCampo("DA001005")},
    {{"luogo di nascita"},          Mostra::Testo,   CodiceDelCampo("DA001006")},
    {{"provincia di nascita"},      Mostra::Testo,   CodiceDelCampo("DA001007")},
    {{"comune di residenza"},       Mostra::Testo,   CodiceDelCampo("DA001012")},
    {{"provincia di residenza"},    Mostra::Testo,   CodiceDelCampo("DA001013")},
    {{"codice comune"},             Mostra::Testo,   CodiceDelCampo("DA001014")},
    {{"comune del codice"},         Mostra::Comune,  CodiceDelCampo("DA001014")},
    {{"DB001001", N},               Mostra::Importo, CodiceDelCampo("DB001001")},
    {{"DB001005", N},               Mostra::Importo, CodiceDelCampo("DB001005")},
    {{"DB001073", N},               Mostra::Importo, CodiceDelCampo("DB001073")},
    {{"DB001075", N},               Mostra::Importo, CodiceDelCampo("DB001075")},
    {{"DB001010", N},               Mostra::Importo, CodiceDelCampo("DB001010")},
    {{"DB001014", N},               Mostra::Importo, CodiceDelCampo("DB001014")},
    {{"DB001108", N},               Mostra::Importo, CodiceDelCampo("DB001108")},
    {{"DB001109", N},               Mostra::Importo, CodiceDelCampo("DB001109")},
    {{"DB001110", N},               Mostra::Importo, CodiceDelCampo("DB001110")},
    {{"DB001111", N},               Mostra::Importo, CodiceDelCampo("DB001111")},
    {{"DB001124", N},               Mostra::Importo, CodiceDelCampo("DB001124")},
    {{"DB001125", N},               Mostra::Importo, CodiceDelCampo("DB001125")},
    {{"DC001004", N},               Mostra::Importo, CodiceDelCampo("DC001004")},
    {{"righi DC", N},               Mostra::RighiDC},
};

// clang-format on

constexpr auto Colonne = ColonneDi(Colonne770);
constexpr auto Dipendente = TutteLeColonne<std::size(Colonne770)>();
constexpr GenerePersona Generi[] = {{"dipendente", "Dipendenti", Dipendente}};
static_assert(ColonneComuniInTesta(Colonne));

// A whole value of an area field: the whole number, or a number rounded down.
std::optional<long long> ValoreIntero(const Valore& valore) {
    if (valore.Intero())
        return valore.ComeIntero();
    if (valore.Numero() && std::isfinite(valore.ComeNumero()))
        return static_cast<long long>(std::floor(valore.ComeNumero()));
    return std::nullopt;
}

// The rows of quadro DC that hold a group of fields (018 to 035, A22, B22).
std::size_t RighiDeiGruppiDC(const std::vector<tracciati::CampoLetto>& campi) {
    std::vector<std::string_view> righi;
    for (const auto& c : campi)
        if (c.codice.substr(0, 2) == "DC" && c.codice.substr(5) >= "018" &&
            std::find(righi.begin(), righi.end(), c.codice.substr(2, 3)) == righi.end())
            righi.push_back(c.codice.substr(2, 3));
    return righi.size();
}

// A link between two fields (conv770::LegamiDeiCampi).
struct LegameCercato {
    Cercato se, allora;
};

std::vector<LegameCercato> LegamiCercati(const CampiDelModulo& campi) {
    std::vector<LegameCercato> legami;
    for (const conv770::Legame& l : conv770::LegamiDeiCampi)
        legami.push_back({campi.Cerca(l.se), campi.Cerca(l.allora)});
    return legami;
}

struct SommaJ {
    long long f = 0; // the signed sum of the whole values of the records G
    int aggiunti = 0;
    int tolti = 0;
};

// What a comparison holds otherwise in an employee's records G: the declarant and column 1, copies of records A
// and B; and the module number, the employee's place in the file.
constexpr DatoCopiato CopieG[] = {{DichiaranteG, 'A', DichiaranteA}, {Colonna1G, 'B', Colonna1BJ}};
constexpr const Pezzo* PostoG[] = {&ModuloG};

const FormatoFisso& Formato770() {
    static const FormatoFisso formato{conv770::Tracciato770(),
                                      Ordine,
                                      "A, B, i record G dei dipendenti, J, Z",
                                      'Z',
                                      "mancano i record che seguono (A, B, G, J, Z)",
                                      CopieG,
                                      PostoG};
    return formato;
}

class Lettore770 : public LettoreFisso {
public:
    explicit Lettore770(Lettura& lettura)
        : LettoreFisso(lettura, Formato770()), m_campi(m_formato.tracciato.catalogo), m_legami(LegamiCercati(m_campi)) {
        for (const auto& t : conv770::TerminiRecordJ()) {
            if (m_codiciJ.empty() || m_codiciJ.back() != t.codiceJ)
                m_codiciJ.push_back(t.codiceJ);
            m_terminiJ.push_back({m_campi.Cerca(t.codiceG), m_codiciJ.size() - 1, t.segno});
        }
        m_somme.resize(m_codiciJ.size());
        for (const std::string_view c : conv770::SempreDA)
            m_sempre.push_back(m_campi.Cerca(c));
        for (const auto& d : conv770::DatiControllatiDA())
            m_controllati.push_back(m_campi.Cerca(d.codice));
        for (const CampoAnagrafico& c : CampiAnagrafici)
            m_nomiAnagrafici.push_back("campo " + std::string(c.campo.codice));
        m_codiciFiscali.Prevedi(lettura.File().Dimensione());
    }

private:
    Chi Persona(const RecordFisso& record) override;
    std::string NomeDelCampo(std::string nome, std::string_view codice, const Pezzo*) const override {
        for (const auto& c : Colonne770)
            if (!codice.empty() && c.campo.codice == codice)
                return std::string(c.colonna.nome) + " (" + nome + ")";
        return nome;
    }
    void Record(const RecordFisso& record, const Chi& chi) override;
    void Fine() override;

    void RecordA(const RecordFisso& record);
    void RecordB(const RecordFisso& record);
    void RecordG(const RecordFisso& record, const Chi& chi);
    void RecordJ(const RecordFisso& record);
    void RecordZ(const RecordFisso& record);
    void Dichiarante(const RecordFisso& record);
    void ChiudiModulo();
    void ControllaModulo(const CampiDelModulo& campi);
    void ControllaAnagrafica(const CampiDelModulo& campi, long riga, std::string_view codice);
    void Distinta(const CampiDelModulo& campi, long riga, std::string_view codice);
    void Conteggio(const RecordFisso& record, const Pezzo& pezzo, long long atteso, std::string_view cosa);

    tracciati::AreaLetta m_area;
    int m_recordB = 0;
    int m_recordJ = 0;
    std::string m_dichiarante; // of record A
    long m_rigaA = 0;
    std::string m_colonna1;        // column 1 in record B
    std::string m_righeDichiarate; // the lines of the export, as record B counts them
    long m_rigaB = 0;
    Identita m_identita; // the declarant, its name, the tax year, whether the declaration is ordinary

    // The module being read: its records G.
    long long m_modulo = 0;      // its number (0: none yet)
    long long m_numeroLetto = 0; // the number of the record G being read (-1: unreadable)
    bool m_continua = false;     // the record G being read continues the module
    long m_persona = -1;
    std::string m_testa;               // its first record before the area
    std::array<std::string, 8> m_aree; // their areas, the first m_quanteAree (their room kept)
    std::size_t m_quanteAree = 0;
    bool m_campiLeggibili = true; // every record of the module has its length: its areas are read
    bool m_tuttiSommati = true;   // every module's amounts are in the sums for record J
    std::vector<long> m_righeModulo;
    long long m_moduli = 0;       // modules read
    long long m_ultimoModulo = 0; // the number of the last one

    std::vector<std::string_view> m_codiciJ; // SS002001 ...
    std::vector<SommaJ> m_somme;
    struct TermineJ {
        Cercato g;
        std::size_t j; // into m_codiciJ
        int segno;
    };
    std::vector<TermineJ> m_terminiJ;
    CampiDelModulo m_campi;
    std::vector<LegameCercato> m_legami;
    std::vector<Cercato> m_sempre;             // conv770::SempreDA
    std::vector<Cercato> m_controllati;        // conv770::DatiControllatiDA
    std::vector<std::string> m_nomiAnagrafici; // "campo DA001002"...
    std::string m_chi;                         // "dipendente ..." of the module being closed, its room kept
    std::string m_dove;                        // where a tax code of the area is, for its findings; its room kept
    CodiciVisti m_codiciFiscali;
    std::string m_chiamato; // the findings' "dipendente" and the tax code of the module being read
};

Chi Lettore770::Persona(const RecordFisso& record) {
    if (record.tipo != 'G') {
        ChiudiModulo();
        return {};
    }
    const std::string_view numero = record.letto.Testo(ModuloG);
    m_numeroLetto = SoloCifre(numero) && numero.size() == 8 ? NumeroDi(numero) : -1;
    m_continua = m_quanteAree > 0 && m_numeroLetto == m_modulo && m_numeroLetto > 0;
    if (m_continua) {
        // Another record of the module being read: the same head.
        const std::string_view testa = record.riga.testo.substr(0, AreaG.posizione - 1);
        if (testa != m_testa)
            m_lettura.Errore(record.Numero(), 1,
                             "record G del modulo " + std::to_string(m_numeroLetto) + " con posizioni 1-" +
                                 std::to_string(AreaG.posizione - 1) + " diverse dal suo primo record (riga " +
                                 std::to_string(m_righeModulo.front()) + ")",
                             m_persona);
        if (m_quanteAree == 2)
            m_lettura.Avviso(record.Numero(), 1,
                             "terzo record G del modulo " + std::to_string(m_numeroLetto) +
                                 ": il convertitore ne scrive al pi\xF9 due per dipendente",
                             m_persona);
        return {m_persona, {}};
    }
    ChiudiModulo();
    m_persona = m_lettura.NuovaPersona();
    ++m_moduli;
    const std::string_view codice = shell::SenzaSpaziFinali(record.letto.Testo(CodiceFiscaleG));
    m_chiamato = Chiamato(codice);
    return {m_persona, m_chiamato};
}

void Lettore770::Record(const RecordFisso& record, const Chi& chi) {
    switch (record.tipo) {
    case 'A':
        return RecordA(record);
    case 'B':
        return RecordB(record);
    case 'G':
        return RecordG(record, chi);
    case 'J':
        return RecordJ(record);
    case 'Z':
        return RecordZ(record);
    }
}

void Lettore770::Dichiarante(const RecordFisso& record) {
    const bool g = record.tipo == 'G';
    const Pezzo& pezzo = g ? DichiaranteG : DichiaranteBJ;
    const std::string tipo(1, record.tipo);
    const std::string_view dichiarante = record.letto.Testo(pezzo);
    if (m_rigaA > 0 && record.Presente(pezzo) && dichiarante != m_dichiarante)
        m_lettura.Errore(record.Numero(), pezzo.posizione,
                         "record " + tipo + ": " + PosizioniDi(pezzo) + ": dichiarante '" +
                             std::string(shell::SenzaSpaziFinali(dichiarante)) + "' diverso da quello del record A '" +
                             std::string(shell::SenzaSpaziFinali(m_dichiarante)) + "' (riga " +
                             std::to_string(m_rigaA) + ")",
                         g ? m_persona : -1);
    const Pezzo& pezzo1 = g ? Colonna1G : Colonna1BJ;
    const std::string_view colonna1 = record.letto.Testo(pezzo1);
    if (m_rigaB > 0 && record.tipo != 'B' && record.Presente(pezzo1) && colonna1 != m_colonna1)
        m_lettura.Avviso(record.Numero(), pezzo1.posizione,
                         "record " + tipo + ": " + PosizioniDi(pezzo1) + ": '" +
                             std::string(shell::SenzaSpaziFinali(colonna1)) + "' diverso dal record B '" +
                             std::string(shell::SenzaSpaziFinali(m_colonna1)) + "' (riga " + std::to_string(m_rigaB) +
                             ")",
                         g ? m_persona : -1);
}

void Lettore770::RecordA(const RecordFisso& record) {
    if (m_rigaA > 0)
        return;
    m_rigaA = record.Numero();
    m_dichiarante = record.letto.Testo(DichiaranteA);
    const std::string_view codice = shell::SenzaSpaziFinali(m_dichiarante);
    if (codice.empty())
        m_lettura.Errore(record.Numero(), DichiaranteA.posizione,
                         "record A: " + PosizioniDi(DichiaranteA) + ": manca il codice fiscale del dichiarante");
    SegnalaCodiceFiscale(m_lettura, record.Numero(), DichiaranteA.posizione, m_dichiarante,
                         "record A: " + PosizioniDi(DichiaranteA) + ": codice fiscale del dichiarante", Gravita::Errore,
                         -1);
    m_lettura.Dati({{{"Dichiarante", std::string(codice)}, {"Fornitura", "770 Semplificato 2011 (77S11)"}}});
    m_identita.datore = codice;
    m_identita.rigaDatore = m_identita.rigaPeriodo = record.Numero();
    m_identita.anno = InizioPeriodoImposta.anno;
    ControllaNomeFile(m_lettura, conv770::NomeDocumento(codice));
}

void Lettore770::RecordB(const RecordFisso& record) {
    Dichiarante(record);
    ++m_recordB;
    if (m_rigaB == 0) {
        m_rigaB = record.Numero();
        m_colonna1 = record.letto.Testo(Colonna1BJ);
        m_righeDichiarate = record.letto.Testo(RigheB);
        m_identita.nome = shell::SenzaSpaziFinali(record.letto.Testo(DenominazioneB));
        m_identita.ordinaria = !record.Presente(TipoB) || record.letto.Testo(TipoB) == TipoB.testo;
    }
    Conteggio(record, ModuloBJ, 1, "numero di modulo del record B");
}

void Lettore770::Conteggio(const RecordFisso& record, const Pezzo& pezzo, long long atteso, std::string_view cosa) {
    const std::string_view testo = record.letto.Testo(pezzo);
    if (SoloCifre(testo) && NumeroDi(testo) != atteso)
        m_lettura.Errore(record.Numero(), pezzo.posizione,
                         "record " + std::string(1, record.tipo) + ": " + PosizioniDi(pezzo) + ": " +
                             std::string(cosa) + " " + TestoIntero(NumeroDi(testo)) + ", atteso " +
                             TestoIntero(atteso));
}

void Lettore770::RecordG(const RecordFisso& record, const Chi& chi) {
    if (m_continua) {
        m_campiLeggibili = m_campiLeggibili && record.LunghezzaGiusta();
        if (m_quanteAree < m_aree.size()) { // a module of more records says so already; the rest is not read
            m_aree[m_quanteAree++].assign(record.letto.Testo(AreaG));
            m_righeModulo.push_back(record.Numero());
        }
        return;
    }
    Dichiarante(record);
    const long long modulo = m_numeroLetto;
    if (modulo < 0) {
        m_ultimoModulo += 1; // unreadable, and said so: taken for the one expected
    } else {
        if (modulo != m_ultimoModulo + 1)
            m_lettura.Errore(record.Numero(), ModuloG.posizione,
                             "record G: " + PosizioniDi(ModuloG) + ": numero di modulo " + TestoIntero(modulo) +
                                 ", atteso " + TestoIntero(m_ultimoModulo + 1) +
                                 ": i moduli dei dipendenti vanno da 1 in su, uno per dipendente" + Di(chi.nome),
                             m_persona);
        m_ultimoModulo = modulo;
    }
    m_modulo = modulo;
    m_testa.assign(record.riga.testo.substr(0, AreaG.posizione - 1));
    m_quanteAree = 0;
    m_righeModulo.clear();
    m_campiLeggibili = record.LunghezzaGiusta();
    m_aree[m_quanteAree++].assign(record.letto.Testo(AreaG));
    m_righeModulo.push_back(record.Numero());
}

void Lettore770::ChiudiModulo() {
    if (m_quanteAree == 0)
        return;
    const long rigaPrima = m_righeModulo.front();
    std::array<std::string_view, 8> aree{};
    for (std::size_t i = 0; i < m_quanteAree; ++i)
        aree[i] = m_aree[i];
    // A record of the wrong length has shifted what follows the change: the module's fields are not read,
    // its length said all.
    m_area.Leggi(std::span<const std::string_view>(aree.data(), m_campiLeggibili ? m_quanteAree : 0),
                 m_formato.tracciato.catalogo);
    m_tuttiSommati = m_tuttiSommati && m_campiLeggibili;
    const std::string_view testa = m_testa;
    // The employee's tax code in the head, or what a record cut short holds of it.
    const std::string_view posizioni =
        testa.substr(std::min<std::size_t>(testa.size(), CodiceFiscaleG.posizione - 1), CodiceFiscaleG.lunghezza);
    const std::string_view codice = shell::SenzaSpaziFinali(posizioni);
    m_chi.clear();
    if (!codice.empty())
        m_chi.append("dipendente ").append(codice);
    const std::string& chi = m_chi;
    SegnalaArea(m_lettura, m_area, std::span<const std::string_view>(aree.data(), m_quanteAree), m_righeModulo, 'G',
                chi, m_persona);
    CampiDelModulo& campi = m_campi;
    campi.Prendi(m_area.Campi());
    if (m_campiLeggibili)
        ControllaModulo(campi);

    // The employee's tax code: positions 30-45 and DA001001.
    ConfrontaCodiceDelCampo(m_lettura, campi, CodiceG, rigaPrima, posizioni, m_persona);
    if (!codice.empty()) {
        ControllaCodiceDelDipendente(m_lettura, campi, CodiceG, rigaPrima, posizioni, m_persona);
        m_codiciFiscali.Aggiungi(codice, rigaPrima);
    }
    ControllaAnagrafica(campi, rigaPrima, codice);

    // The other tax codes of the area (CF and CN fields: the codes of the DC groups).
    for (const tracciati::CampoLetto& campo : m_area.Campi()) {
        if (!campo.tipo || (*campo.tipo != tracciati::Tipo::CF && *campo.tipo != tracciati::Tipo::CN) ||
            campo.codice == CodiceFiscaleDA.codice || !campo.valore.Testo() ||
            shell::SenzaSpaziFinali(campo.valore.ComeTesto()).empty())
            continue;
        m_dove.assign("record G: campo ").append(campo.codice).append(": codice fiscale");
        SegnalaCodiceFiscale(m_lettura, m_righeModulo[static_cast<std::size_t>(campo.record)], campo.posizione,
                             campo.valore.ComeTesto(), m_dove, Gravita::Errore, m_persona, chi);
    }

    // The sums of record J: of each G code, its first field.
    for (const TermineJ& t : m_terminiJ) {
        const tracciati::CampoLetto* campo = campi.Primo(t.g);
        const auto valore = campo ? ValoreIntero(campo->valore) : std::nullopt;
        if (!valore)
            continue;
        m_somme[t.j].f += t.segno * *valore;
        ++(t.segno > 0 ? m_somme[t.j].aggiunti : m_somme[t.j].tolti);
    }

    if (m_lettura.VuoleChiavi())
        Distinta(campi, rigaPrima, codice);
    m_quanteAree = 0;
    m_righeModulo.clear();
}

// The employee's tax code against the personal fields, and the residence code.
void Lettore770::ControllaAnagrafica(const CampiDelModulo& campi, long riga, std::string_view codice) {
    anagrafe::PersonaScritta persona;
    persona.codiceFiscale = {"codice fiscale", codice};
    anagrafe::ComuneScritto residenza{
        {}, {}, {}, InizioPeriodoImposta, InizioPeriodoImposta, "del comune di residenza"};
    std::array<PostoDelDato, std::size(CampiAnagrafici) + 1> posti;
    std::size_t quanti = 0;
    posti[quanti++] = {Dato::CodiceFiscale, riga, CodiceFiscaleG.posizione};
    std::vector<anagrafe::Riscontro> sole; // of the provinces held alone
    for (std::size_t i = 0; i < std::size(CampiAnagrafici); ++i) {
        const CampoAnagrafico& c = CampiAnagrafici[i];
        const tracciati::CampoLetto* campo = campi.Primo(c.campo);
        if (!campo || !campo->valore.Testo())
            continue;
        const anagrafe::Campo letto{m_nomiAnagrafici[i], campo->valore.ComeTesto()};
        posti[quanti++] = {c.dato, m_righeModulo[static_cast<std::size_t>(campo->record)], campo->posizione};
        if (!c.persona && !c.residenza)
            for (anagrafe::Riscontro& r : anagrafe::ControllaProvincia(letto))
                sole.push_back(std::move(r));
        else
            (c.persona ? persona.*c.persona : residenza.*c.residenza) = letto;
    }
    if (const auto* d = campi.Primo(DataNascitaDA); d && d->valore.Data())
        persona.nascita = d->valore.ComeData();
    std::vector<anagrafe::Riscontro> riscontri = anagrafe::ControllaPersona(persona);
    for (anagrafe::Riscontro& r : anagrafe::ControllaComune(residenza))
        riscontri.push_back(std::move(r));
    for (anagrafe::Riscontro& r : sole)
        riscontri.push_back(std::move(r));
    SegnalaRiscontri(m_lettura, riscontri, std::span<const PostoDelDato>(posti.data(), quanti), "record G: ", m_chi,
                     m_persona);
}

// The module's row of the listing, column by column.
void Lettore770::Distinta(const CampiDelModulo& campi, long riga, std::string_view codice) {
    lettura::Persona p;
    p.indice = m_persona;
    p.riga = riga;
    p.chiave = std::string(codice);
    p.impronta = ImprontaDellaPersona();
    p.posto = PostoDellaPersona();
    if (!m_lettura.VuoleValori(p.indice)) { // the key and the fingerprint only
        m_lettura.Persona(std::move(p));
        return;
    }
    for (std::size_t i = 0; i < std::size(Colonne770); ++i) {
        const Colonna770& c = Colonne770[i];
        const tracciati::CampoLetto* campo = c.campo.codice.empty() ? nullptr : campi.Primo(c.campo);
        std::string valore;
        switch (c.mostra) {
        case Mostra::CodiceFiscale:
            valore = codice;
            break;
        case Mostra::Modulo:
            valore = std::to_string(m_modulo > 0 ? m_modulo : 0);
            break;
        case Mostra::RecordG:
            valore = std::to_string(m_quanteAree);
            break;
        case Mostra::RighiDC:
            valore = std::to_string(RighiDeiGruppiDC(m_area.Campi()));
            break;
        case Mostra::Testo:
            if (campo && campo->valore.Testo())
                valore = shell::SenzaSpaziFinali(campo->valore.ComeTesto());
            break;
        case Mostra::Data:
            if (campo && campo->valore.Data())
                valore = shell::DataItaliana(campo->valore.ComeData());
            break;
        case Mostra::Importo:
            if (const auto v = campo ? ValoreIntero(campo->valore) : std::nullopt)
                valore = TestoIntero(*v);
            break;
        case Mostra::Comune: // the code's name and province on 1 January of the tax year
            if (campo && campo->valore.Testo())
                valore =
                    anagrafe::LuogoDelCodice(shell::SenzaSpaziFinali(campo->valore.ComeTesto()), InizioPeriodoImposta);
            break;
        }
        p.valori.push_back(std::move(valore));
    }
    m_lettura.Persona(std::move(p));
}

void Lettore770::ControllaModulo(const CampiDelModulo& campi) {
    const long riga = m_righeModulo.front();
    const auto avviso = [&](const tracciati::CampoLetto* campo, const std::string& testo) {
        m_lettura.Avviso(campo ? m_righeModulo[static_cast<std::size_t>(campo->record)] : riga,
                         campo ? campo->posizione : tracciati::InizioArea, "record G: " + testo + Di(m_chi), m_persona);
    };
    for (const auto& c : m_area.Campi())
        if (!c.tipo)
            avviso(&c, "campo " + std::string(c.codice) + " sconosciuto: il convertitore non scrive questo codice");
    // A field written twice: with two values the module says two things of one datum, an error; with the
    // same value a copy that the writer does not make.
    for (const tracciati::CampoLetto* c : campi.Ripetuti()) {
        if (std::find(std::begin(RipetibiliG), std::end(RipetibiliG), c->codice) != std::end(RipetibiliG))
            continue;
        char a[tracciati::LunghezzaMassimaTesto], b[tracciati::LunghezzaMassimaTesto];
        const tracciati::CampoLetto* primo = campi.Primo(c->codice);
        const std::string_view valorePrimo = primo ? tracciati::TestoValore(primo->valore, a) : std::string_view();
        const std::string_view valore = tracciati::TestoValore(c->valore, b);
        if (primo && valorePrimo != valore)
            m_lettura.Errore(m_righeModulo[static_cast<std::size_t>(c->record)], c->posizione,
                             "record G: campo " + std::string(c->codice) +
                                 " ripetuto nello stesso modulo con un altro "
                                 "valore: '" +
                                 std::string(shell::SenzaSpaziFinali(valore)) + "', prima '" +
                                 std::string(shell::SenzaSpaziFinali(valorePrimo)) + "'" + Di(m_chi),
                             m_persona);
        else
            avviso(c, "campo " + std::string(c->codice) + " ripetuto nello stesso modulo");
    }
    if (const auto* sesso = campi.Primo(SessoDA))
        ControllaSesso(m_lettura, m_righeModulo[static_cast<std::size_t>(sesso->record)], sesso, "record G", m_chi,
                       m_persona);
    const auto& dati = conv770::DatiControllatiDA();
    for (std::size_t i = 0; i < m_sempre.size(); ++i) {
        if (campi.Primo(m_sempre[i]))
            continue;
        const auto dato =
            std::find_if(dati.begin(), dati.end(), [&](const auto& d) { return d.codice == conv770::SempreDA[i]; });
        avviso(nullptr, "manca il campo " + std::string(conv770::SempreDA[i]) +
                            (dato != dati.end() ? ": " + std::string(dato->messaggio)
                                                : std::string(", che il convertitore scrive per ogni dipendente")));
    }
    for (std::size_t i = 0; i < m_controllati.size(); ++i) {
        const tracciati::CampoLetto* campo = campi.Primo(m_controllati[i]);
        if (campo && campo->valore.Testo() && shell::SenzaSpaziFinali(campo->valore.ComeTesto()).empty())
            avviso(campo, "campo " + std::string(dati[i].codice) + " vuoto: " + std::string(dati[i].messaggio));
    }
    if (const auto* provincia = campi.Primo(ProvinciaNascitaDA); provincia && provincia->valore.Testo()) {
        std::string_view testo = shell::SenzaSpaziFinali(provincia->valore.ComeTesto());
        testo.remove_prefix(std::min(testo.find_first_not_of(' '), testo.size()));
        if (testo.size() > 2)
            avviso(provincia, "campo DA001007 '" + std::string(testo) +
                                  "': la provincia di nascita ha al pi\xF9 2 caratteri (EE per l'estero)");
    }
    for (const LegameCercato& l : m_legami) {
        const auto* campo = campi.Primo(l.se);
        if (campo && !campi.Primo(l.allora))
            avviso(campo, "campo " + std::string(l.se.codice) + " senza " + std::string(l.allora.codice) +
                              ": il convertitore li scrive insieme");
    }
}

void Lettore770::RecordJ(const RecordFisso& record) {
    const long riga = record.Numero();
    Dichiarante(record);
    ++m_recordJ;
    Conteggio(record, ModuloBJ, 1, "numero di modulo del record J");
    const std::array<std::string_view, 1> area{record.LunghezzaGiusta() ? record.letto.Testo(AreaJ)
                                                                        : std::string_view()};
    m_area.Leggi(std::span<const std::string_view>(area.data(), record.LunghezzaGiusta() ? 1 : 0),
                 m_formato.tracciato.catalogo);
    if (!record.LunghezzaGiusta())
        return;
    for (const tracciati::Segnalazione& s : m_area.Segnalazioni())
        m_lettura.Segnala({GravitaDi(s.difformita), riga, s.posizione, "record J: " + s.Messaggio(), -1});
    const auto& letti = m_area.Campi();
    // Exactly the codes of the totals, in their order.
    for (std::size_t i = 0; i < std::max(letti.size(), m_codiciJ.size()); ++i) {
        if (i < letti.size() && i < m_codiciJ.size() && letti[i].codice == m_codiciJ[i])
            continue;
        if (i >= letti.size())
            m_lettura.Errore(riga, tracciati::InizioArea + static_cast<int>(i) * tracciati::LunghezzaBlocco,
                             "record J: manca il campo " + std::string(m_codiciJ[i]));
        else
            m_lettura.Errore(riga, letti[i].posizione,
                             "record J: campo " + std::string(letti[i].codice) + " dove \xE8 atteso " +
                                 (i < m_codiciJ.size() ? std::string(m_codiciJ[i]) : "la fine dei campi"));
        break;
    }
    // Each total against the records G: the whole part of the sum of the amounts, of which the records G
    // hold the whole parts; so within the range that rounding down allows. A module that could not be read
    // leaves the sums short: its record's length is the error, not every total.
    for (std::size_t i = 0; m_tuttiSommati && i < m_codiciJ.size(); ++i) {
        const auto campo = std::find_if(letti.begin(), letti.end(),
                                        [&](const tracciati::CampoLetto& c) { return c.codice == m_codiciJ[i]; });
        if (campo == letti.end())
            continue;
        const auto dichiarato = ValoreIntero(campo->valore);
        if (!dichiarato)
            continue;
        const SommaJ& s = m_somme[i];
        const long long minimo = s.f - s.tolti;
        const long long massimo = s.f + std::max(s.aggiunti - 1, 0);
        const bool concorda = *dichiarato >= minimo && *dichiarato <= massimo;
        std::string ricalcolato = TestoIntero(s.f);
        if (minimo != massimo)
            ricalcolato += " (da " + TestoIntero(minimo) + " a " + TestoIntero(massimo) + ")";
        m_lettura.Totale({"Record J, " + std::string(m_codiciJ[i]), TestoIntero(*dichiarato), ricalcolato, concorda});
        if (!concorda)
            m_lettura.Errore(riga, campo->posizione,
                             "record J: campo " + std::string(m_codiciJ[i]) + " " + TestoIntero(*dichiarato) +
                                 " non corrisponde ai record G: la somma delle loro parti intere \xE8 " +
                                 TestoIntero(s.f) + ", quindi il totale va da " + TestoIntero(minimo) + " a " +
                                 TestoIntero(massimo));
    }
}

void Lettore770::RecordZ(const RecordFisso& record) {
    const long long contati[] = {m_recordB, m_moduli, m_recordJ};
    for (std::size_t i = 0; i < std::size(ContiZ); ++i)
        ConfrontaConteggio(m_lettura, record.Numero(), 'Z', ContiZ[i].pezzo, record.letto.Testo(ContiZ[i].pezzo),
                           contati[i], ContiZ[i].cosa);
}

void Lettore770::Fine() {
    ChiudiModulo();
    if (m_rigaB > 0)
        ConfrontaConteggio(m_lettura, m_rigaB, 'B', RigheB, m_righeDichiarate, m_moduli,
                           "dipendenti (moduli dei record G)");
    FineDellOrdine();
    m_codiciFiscali.Segnala(m_lettura, CodiceFiscaleG.posizione, "record G");
    m_lettura.Identita(m_identita);
}

} // namespace

void Leggi770(Lettura& lettura) { Lettore770(lettura).Leggi(); }

const SchemaDistinta& Schema770() {
    static_assert(ModuloG.posizione == 18 && tracciati::UltimaPosizione(ModuloG) == 25);
    static constexpr SchemaDistinta schema{Colonne, Generi, "record G, posizioni 18-25"};
    return schema;
}

} // namespace formati
