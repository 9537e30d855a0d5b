// The check of an INPDAP DMA supply: records A, B, C (one per employee) and Z read by the tables that
// write them; the head columns that each record repeats; the administration the same everywhere; the
// module numbers and the counts of Z; the fields of each record C by the writer's table, with their
// order, the reference period and the employee's data; every tax code.

#include "anagrafe/codice_fiscale.h"
#include "dma/fornitura_dma.h"
#include "dma/record_dma.h"
#include "formati/persone.h"
#include "formati/campi_modulo.h"
#include "formati/codici_visti.h"
#include "formati/lettore_fisso.h"
#include "formati/testo_record.h"
#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace formati {

namespace {

namespace t = dma::tabelleDMA;
using dma::CodiceDelCampo;
using tracciati::DelContatore;
using tracciati::DelGenere;
using tracciati::DellaColonna;
using tracciati::Pezzo;

// clang-format off

// The pieces the rules read.
constexpr const Pezzo& AmministrazioneA = DellaColonna(t::RecordA, 0);
constexpr const Pezzo& ModuloB          = DelContatore(t::RecordB, dma::ModuloTesta);
constexpr const Pezzo& ModuloC          = DelContatore(t::RecordC, dma::ModuloTesta);
constexpr const Pezzo& MeseB            = DellaColonna(t::RecordB, 9);
constexpr const Pezzo& AnnoB            = DellaColonna(t::RecordB, 8);
constexpr const Pezzo& CodiceFiscaleC   = DellaColonna(t::RecordC, dma::ColonnaCodiceFiscale);
constexpr const Pezzo& TestataB         = DelGenere(t::RecordB, tracciati::Comune::Tabella);

// The head repeats the columns of its line: the second piece of each of these columns holds the first's
// text.
struct Copia { const Pezzo& originale; const Pezzo& copia; };
constexpr Copia CopieTesta[] = {
    {DellaColonna(t::Testata, 0), DellaColonna(t::Testata, 0, 1)},
    {DellaColonna(t::Testata, 1), DellaColonna(t::Testata, 1, 1)},
    {DellaColonna(t::Testata, 2), DellaColonna(t::Testata, 2, 1)},
};

// Record B writes the columns 10 to 16 (the administration's address) twice, one run after the other.
constexpr const Pezzo& PrimaRipetutaB  = DellaColonna(t::RecordB, 10);
constexpr const Pezzo& UltimaRipetutaB = DellaColonna(t::RecordB, 16);
constexpr const Pezzo& PrimaCopiaB     = DellaColonna(t::RecordB, 10, 1);
constexpr const Pezzo& UltimaCopiaB    = DellaColonna(t::RecordB, 16, 1);

// The head columns that every line repeats, against record B: the administration must be the same, the
// others should be.
struct ColonnaTesta { const Pezzo& pezzo; Gravita gravita; };
constexpr ColonnaTesta ColonneTesta[] = {
    {DellaColonna(t::Testata, 0), Gravita::Errore},
    {DellaColonna(t::Testata, 1), Gravita::Avviso},
    {DellaColonna(t::Testata, 2), Gravita::Avviso},
    {DellaColonna(t::Testata, 3), Gravita::Avviso},
};

constexpr Passo Ordine[] = {
    {'\0', "AZ"}, {'A', "B"}, {'B', "C"}, {'C', "CZ"}, {'Z', ""},
};

// The counts of record Z.
struct ContoZ { const Pezzo& pezzo; std::string_view cosa; };
constexpr ContoZ ContiZ[] = {
    {DelContatore(t::RecordZ, dma::ContoRecordB),   "record B"},
    {DelContatore(t::RecordZ, dma::ContoRecordC),   "record C (dipendenti)"},
    {DelContatore(t::RecordZ, dma::TerzoConteggio), "terzo conteggio"},
};

// What the listing shows of each employee, in its columns: a field of record C's area, as its kind reads
// it, or the module.
enum class Mostra { Testo, Data, Numero, Modulo, CodiceFiscale };
struct ColonnaDma { ColonnaDistinta colonna; Mostra mostra; Cercato campo = {}; };
constexpr auto N = Allineamento::Numero;
constexpr ColonnaDma ColonneDma[] = {
    {{"codice fiscale"},             Mostra::CodiceFiscale},
    {{"cognome"},                    Mostra::Testo,  CodiceDelCampo("D0001002")},
    {{"nome"},                       Mostra::Testo,  CodiceDelCampo("D0001003")},
    {{"modulo", N, true},            Mostra::Modulo},
    {{"sesso"},                      Mostra::Testo,  CodiceDelCampo("D0001004")},
    {{"data di nascita", N},         Mostra::Data,   CodiceDelCampo("D0001005")},
    {{"luogo di nascita"},           Mostra::Testo,  CodiceDelCampo("D0001006")},
    {{"residenza"},                  Mostra::Testo,  CodiceDelCampo("D0001007")},
    {{"indirizzo"},                  Mostra::Testo,  CodiceDelCampo("D0001008")},
    {{"CAP", N},                     Mostra::Numero, CodiceDelCampo("D0001009")},
    {{"D0001011"},                   Mostra::Testo,  CodiceDelCampo("D0001011")},
    {{"D0001012"},                   Mostra::Testo,  CodiceDelCampo("D0001012")},
    {{"D0001013"},                   Mostra::Testo,  CodiceDelCampo("D0001013")},
    {{"E0001009"},                   Mostra::Testo,  CodiceDelCampo("E0001009")},
    {{"periodo dal", N},             Mostra::Data,   CodiceDelCampo("E0001001")},
    {{"periodo al", N},              Mostra::Data,   CodiceDelCampo("E0001002")},
};
// The employee's fields that the tax code is held against (anagrafe/persona.h): the place of birth is a name
// alone.
using anagrafe::Dato;
struct CampoAnagrafico {
    Cercato codice;
    std::string_view nome; // as a finding names it
    Dato dato;
    anagrafe::Campo anagrafe::PersonaScritta::*campo;
};
constexpr CampoAnagrafico CampiAnagrafici[] = {
    {CodiceDelCampo("D0001002"), "campo D0001002", Dato::Cognome,      &anagrafe::PersonaScritta::cognome},
    {CodiceDelCampo("D0001003"), "campo D0001003", Dato::Nome,         &anagrafe::PersonaScritta::nome},
    {CodiceDelCampo("D0001006"), "campo D0001006", Dato::LuogoNascita, &anagrafe::PersonaScritta::luogoNascita},
};
constexpr Cercato DataNascitaC = CodiceDelCampo("D0001005"), SessoC = CodiceDelCampo("D0001004"),
                  CapC = CodiceDelCampo("D0001009");
// The employee's tax code: the column of the head and the area's field of the same column, held against the
// sex and the date of birth.
constexpr CodiceDelDipendente CodiceC{'C', CodiceFiscaleC, CodiceDelCampo("D0001001"), SessoC, DataNascitaC};
static_assert(std::find_if(dma::CampiQuadri.begin(), dma::CampiQuadri.end(), [](const dma::CampoQuadro& q) {
                  return q.colonna == dma::ColonnaCodiceFiscale;
              })->codice == "D0001001");
// clang-format on

constexpr auto Colonne = ColonneDi(ColonneDma);
constexpr auto Dipendente = TutteLeColonne<std::size(ColonneDma)>();
constexpr GenerePersona Generi[] = {{"dipendente", "Dipendenti", Dipendente}};
static_assert(ColonneComuniInTesta(Colonne));

std::string Data8(const shell::Data& d) {
    char testo[16];
    std::snprintf(testo, sizeof testo, "%02d%02d%04d", d.giorno, d.mese, d.anno);
    return testo;
}

// What a comparison holds otherwise in an employee's record C: the head, which repeats record B's (each
// column a copy of its own) and holds the employee's place in the file, the module number.
// clang-format off
constexpr DatoCopiato CopieC[] = {
    {t::Testata[0], 'B', t::Testata[0]},
    {t::Testata[1], 'B', t::Testata[1]},
    {t::Testata[3], 'B', t::Testata[3]},
    {t::Testata[4], 'B', t::Testata[4]},
    {t::Testata[5], 'B', t::Testata[5]},
    {t::Testata[6], 'B', t::Testata[6]},
    {t::Testata[7], 'B', t::Testata[7]},
};
// clang-format on
constexpr const Pezzo* PostoC[] = {&ModuloC};
static_assert(&ModuloC == &t::Testata[2] && std::size(CopieC) + std::size(PostoC) == t::Testata.size());

const FormatoFisso& FormatoDma() {
    static const FormatoFisso formato{
        dma::TracciatoDMA(), Ordine, "A, B, un record C per dipendente, Z", 'Z', "manca il record Z", CopieC, PostoC};
    return formato;
}

class LettoreDma : public LettoreFisso {
public:
    explicit LettoreDma(Lettura& lettura)
        : LettoreFisso(lettura, FormatoDma()), m_campi(m_formato.tracciato.catalogo),
          m_quadroDellaVoce(m_formato.tracciato.catalogo.size(), -1) {
        m_codiciFiscali.Prevedi(lettura.File().Dimensione());
        for (std::size_t i = 0; i < dma::CampiQuadri.size(); ++i) {
            m_quadri.push_back(m_campi.Cerca(dma::CampiQuadri[i].codice));
            if (m_quadri.back().voce)
                m_quadroDellaVoce[*m_quadri.back().voce] = static_cast<int>(i);
        }
    }

private:
    Chi Persona(const RecordFisso& record) override;
    std::string NomeDelCampo(std::string nome, std::string_view codice, const Pezzo*) const override {
        for (const auto& c : ColonneDma)
            if (!codice.empty() && c.campo.codice == codice)
                return std::string(c.colonna.nome) + " (" + nome + ")";
        return nome;
    }
    void Record(const RecordFisso& record, const Chi& chi) override;
    void Fine() override;

    void Testa(const RecordFisso& record, const Chi& chi);
    void RecordA(const RecordFisso& record);
    void RecordB(const RecordFisso& record);
    void RecordC(const RecordFisso& record, const Chi& chi);
    void RecordZ(const RecordFisso& record);
    void Distinta(const RecordFisso& record, const Chi& chi, std::string_view codice);
    void ControllaAnagrafica(long riga, const Chi& chi, std::string_view codice);
    const tracciati::CampoLetto* Campo(const Cercato& campo) const;

    tracciati::AreaLetta m_area;
    CampiDelModulo m_campi;             // of m_area
    std::vector<Cercato> m_quadri;      // the codes of dma::CampiQuadri, in its order
    std::vector<int> m_quadroDellaVoce; // by place in the catalogue: the code's row of dma::CampiQuadri, or -1
    std::string m_amministrazioneA;     // of record A
    long m_rigaA = 0;
    std::string m_testaB; // record B to the end of its head
    long m_rigaB = 0;
    std::optional<dma::Periodo> m_periodo;
    std::string m_mese;  // "MM/AAAA", from B
    Identita m_identita; // the entity of record B, its name and the month
    int m_recordB = 0;
    long long m_recordC = 0;
    long long m_ultimoModulo = 0; // the module number of the last record C
    CodiciVisti m_codiciFiscali;
    std::string m_chiamato; // the findings' "dipendente" and the tax code of the record C being read
};

Chi LettoreDma::Persona(const RecordFisso& record) {
    if (record.tipo != 'C')
        return {};
    Chi chi{m_lettura.NuovaPersona(), {}};
    ++m_recordC;
    m_chiamato = Chiamato(shell::SenzaSpaziFinali(record.letto.Testo(CodiceFiscaleC)));
    chi.nome = m_chiamato;
    return chi;
}

void LettoreDma::Record(const RecordFisso& record, const Chi& chi) {
    switch (record.tipo) {
    case 'A':
        return RecordA(record);
    case 'B':
        return RecordB(record);
    case 'C':
        return RecordC(record, chi);
    case 'Z':
        return RecordZ(record);
    }
}

// The head of records B and C: its repeated columns, and the administration's columns against record B.
void LettoreDma::Testa(const RecordFisso& record, const Chi& chi) {
    const std::string_view testo = record.riga.testo;
    for (const Copia& c : CopieTesta) {
        const auto copia = Parte(testo, c.copia.posizione, c.copia.lunghezza);
        const auto originale = Parte(testo, c.originale.posizione, c.originale.lunghezza);
        if (copia != originale)
            m_lettura.Errore(record.Numero(), c.copia.posizione,
                             "record " + std::string(1, record.tipo) + ": " + PosizioniDi(c.copia) + " '" +
                                 std::string(copia) + "' diverse dalle " + PosizioniDi(c.originale) + " '" +
                                 std::string(originale) + "': sono le stesse colonne della stessa riga",
                             chi.persona);
    }
    if (record.tipo == 'B' || m_rigaB == 0)
        return;
    for (const ColonnaTesta& c : ColonneTesta) {
        const auto qui = Parte(testo, c.pezzo.posizione, c.pezzo.lunghezza);
        const auto inB = Parte(m_testaB, c.pezzo.posizione, c.pezzo.lunghezza);
        if (qui != inB)
            m_lettura.Segnala({c.gravita, record.Numero(), c.pezzo.posizione,
                               "record C: " + PosizioniDi(c.pezzo) + " '" + std::string(qui) +
                                   "' diverse dal record B '" + std::string(inB) + "' (riga " +
                                   std::to_string(m_rigaB) + "): ogni riga ripete i dati dell'amministrazione",
                               chi.persona});
    }
}

void LettoreDma::RecordA(const RecordFisso& record) {
    if (m_rigaA > 0)
        return;
    m_rigaA = record.Numero();
    m_amministrazioneA = record.letto.Testo(AmministrazioneA);
    SegnalaCodiceFiscale(m_lettura, record.Numero(), AmministrazioneA.posizione, m_amministrazioneA,
                         "record A: " + PosizioniDi(AmministrazioneA) + ": codice fiscale dell'amministrazione",
                         Gravita::Errore, -1);
}

void LettoreDma::RecordB(const RecordFisso& record) {
    Testa(record, {});
    ++m_recordB;
    if (m_rigaB > 0)
        return;
    const std::string_view testo = record.riga.testo;
    m_rigaB = record.Numero();
    m_testaB.assign(testo.substr(0, static_cast<std::size_t>(tracciati::UltimaPosizione(TestataB))));
    const std::string_view modulo = record.letto.Testo(ModuloB);
    if (SoloCifre(modulo) && NumeroDi(modulo) != 1)
        m_lettura.Errore(record.Numero(), ModuloB.posizione,
                         "record B: " + PosizioniDi(ModuloB) + ": numero di modulo " + TestoIntero(NumeroDi(modulo)) +
                             ", atteso 1");
    const Pezzo& amministrazione = CopieTesta[0].originale;
    const std::string_view inB = Parte(testo, amministrazione.posizione, amministrazione.lunghezza);
    if (m_rigaA > 0 && Parte(m_amministrazioneA, 1, amministrazione.lunghezza) != inB)
        m_lettura.Errore(record.Numero(), amministrazione.posizione,
                         "record B: " + PosizioniDi(amministrazione) + " '" + std::string(inB) +
                             "' diverse dal codice dell'amministrazione del record A '" +
                             std::string(shell::SenzaSpaziFinali(m_amministrazioneA)) + "'");
    // The administration's address twice.
    if (TestoDa(testo, PrimaRipetutaB, UltimaRipetutaB) != TestoDa(testo, PrimaCopiaB, UltimaCopiaB))
        m_lettura.Errore(record.Numero(), PrimaCopiaB.posizione,
                         "record B: posizioni " + std::to_string(PrimaCopiaB.posizione) + "-" +
                             std::to_string(tracciati::UltimaPosizione(UltimaCopiaB)) + " diverse dalle " +
                             std::to_string(PrimaRipetutaB.posizione) + "-" +
                             std::to_string(tracciati::UltimaPosizione(UltimaRipetutaB)) +
                             ": sono le stesse colonne (" + std::to_string(PrimaRipetutaB.colonna) + "-" +
                             std::to_string(UltimaRipetutaB.colonna) + ") scritte due volte");
    // The reference month.
    const std::string_view mese = record.letto.Testo(MeseB);
    const std::string_view anno = record.letto.Testo(AnnoB);
    const bool meseBuono = SoloCifre(mese) && NumeroDi(mese) >= 1 && NumeroDi(mese) <= 12;
    if (!meseBuono)
        m_lettura.Errore(record.Numero(), MeseB.posizione,
                         "record B: " + PosizioniDi(MeseB) + ": mese di riferimento '" + std::string(mese) +
                             "', atteso da 01 a 12");
    if (!SoloCifre(anno))
        m_lettura.Errore(record.Numero(), AnnoB.posizione,
                         "record B: " + PosizioniDi(AnnoB) + ": anno di riferimento '" + std::string(anno) +
                             "', attese 4 cifre");
    if (meseBuono && SoloCifre(anno)) {
        m_periodo = dma::PeriodoDiRiferimento(static_cast<int>(NumeroDi(anno)), static_cast<int>(NumeroDi(mese)));
        m_mese = std::string(mese) + "/" + std::string(anno);
        ControllaNomeFile(m_lettura,
                          dma::NomeFornitura(static_cast<int>(NumeroDi(anno)), static_cast<int>(NumeroDi(mese))));
    }
    m_lettura.Dati({{{"Amministrazione", std::string(shell::SenzaSpaziFinali(inB))}, {"Mese di riferimento", m_mese}}});
    m_identita.datore = shell::SenzaSpaziFinali(inB);
    m_identita.nome = shell::SenzaSpaziFinali(record.letto.Testo(PrimaRipetutaB));
    m_identita.rigaDatore = m_identita.rigaPeriodo = record.Numero();
    if (meseBuono && SoloCifre(anno)) {
        m_identita.anno = static_cast<int>(NumeroDi(anno));
        m_identita.mese = static_cast<int>(NumeroDi(mese));
    }
}

const tracciati::CampoLetto* LettoreDma::Campo(const Cercato& campo) const { return m_campi.Primo(campo); }

void LettoreDma::RecordC(const RecordFisso& record, const Chi& chi) {
    const long persona = chi.persona;
    const std::string di = Di(chi.nome);
    const long riga = record.Numero();
    const std::string_view posizioni = record.letto.Testo(CodiceFiscaleC);
    const std::string_view codice = shell::SenzaSpaziFinali(posizioni);
    Testa(record, chi);
    // The module number: one more than the record C before. After a wrong one, the count goes on from
    // either number, so that a record doubled, missing or mistyped is told once, where it is.
    const std::string_view modulo = record.letto.Testo(ModuloC);
    if (SoloCifre(modulo) && NumeroDi(modulo) != m_ultimoModulo + 1 && NumeroDi(modulo) != m_recordC)
        m_lettura.Errore(riga, ModuloC.posizione,
                         "record C: " + PosizioniDi(ModuloC) + ": numero di modulo " + TestoIntero(NumeroDi(modulo)) +
                             ", atteso " + TestoIntero(m_ultimoModulo + 1) +
                             ": un record C per dipendente, numerati da 1" + di,
                         persona);
    m_ultimoModulo = SoloCifre(modulo) ? NumeroDi(modulo) : m_ultimoModulo + 1;

    // A record of the wrong length has no area to read: its length said all.
    const bool campiLetti = record.LunghezzaGiusta();
    const std::array<std::string_view, 1> area{
        campiLetti ? record.letto.Testo(DelGenere(t::RecordC, tracciati::Comune::Area)) : std::string_view()};
    m_area.Leggi(std::span<const std::string_view>(area.data(), campiLetti ? 1 : 0), m_formato.tracciato.catalogo);
    m_campi.Prendi(m_area.Campi());
    SegnalaArea(m_lettura, m_area, area, std::span<const long>(&riga, 1), 'C', chi.nome, persona);
    const auto& letti = m_area.Campi();
    if (campiLetti) {
        // The fields in the order of the table: unknown codes, codes out of order or repeated, and the ones
        // always written.
        std::size_t prossimo = 0;
        for (const tracciati::CampoLetto& l : letti) {
            if (!l.voce || m_quadroDellaVoce[*l.voce] < 0) {
                m_lettura.Avviso(riga, l.posizione,
                                 "record C: campo " + std::string(l.codice) +
                                     " sconosciuto: il convertitore non scrive questo codice" + di,
                                 persona);
                continue;
            }
            const auto indice = static_cast<std::size_t>(m_quadroDellaVoce[*l.voce]);
            if (indice < prossimo)
                m_lettura.Avviso(riga, l.posizione,
                                 "record C: campo " + std::string(l.codice) + " fuori ordine o ripetuto" + di, persona);
            prossimo = std::max(prossimo, indice + 1);
        }
        for (std::size_t i = 0; i < dma::CampiQuadri.size(); ++i)
            if (const dma::CampoQuadro& q = dma::CampiQuadri[i];
                q.quando == dma::Quando::Sempre && !m_campi.Primo(m_quadri[i]))
                m_lettura.Errore(riga, tracciati::InizioArea,
                                 "record C: manca il campo " + std::string(q.codice) +
                                     (letti.size() * tracciati::LunghezzaBlocco >=
                                              tracciati::LunghezzaArea - tracciati::LunghezzaBlocco
                                          ? ": l'area dei campi \xE8 piena, i campi seguenti sono stati tagliati"
                                          : "") +
                                     di,
                                 persona);
        // The tax code of the head and D0001001.
        ConfrontaCodiceDelCampo(m_lettura, m_campi, CodiceC, riga, posizioni, persona);
        // The reference period of quadro E0.
        for (std::size_t i = 0; i < dma::CampiQuadri.size(); ++i) {
            const dma::CampoQuadro& q = dma::CampiQuadri[i];
            const auto* e = m_campi.Primo(m_quadri[i]);
            const bool primo = q.origine == dma::Origine::PrimoGiorno;
            if (!e || !m_periodo || (!primo && q.origine != dma::Origine::UltimoGiorno))
                continue;
            const shell::Data giorno = primo ? m_periodo->primo : m_periodo->ultimo;
            if (!(e->valore.Data() && e->valore.ComeData() == giorno))
                m_lettura.Errore(riga, e->posizione,
                                 "record C: campo " + std::string(q.codice) + ": atteso " + Data8(giorno) + ", " +
                                     (primo ? "il primo" : "l'ultimo") + " giorno del mese di riferimento " + m_mese +
                                     " del record B" + di,
                                 persona);
        }
        // The values the writer always gives.
        for (std::size_t i = 0; i < dma::CampiQuadri.size(); ++i) {
            const dma::CampoQuadro& q = dma::CampiQuadri[i];
            const auto* e = m_campi.Primo(m_quadri[i]);
            if (!e || (q.origine != dma::Origine::Numero && q.origine != dma::Origine::Testo))
                continue;
            const bool numero = q.origine == dma::Origine::Numero;
            const bool uguale = numero ? e->valore.Intero() && e->valore.ComeIntero() == q.numero
                                       : e->valore.Testo() && shell::SenzaSpaziFinali(e->valore.ComeTesto()) == q.testo;
            if (!uguale)
                m_lettura.Avviso(riga, e->posizione,
                                 "record C: campo " + std::string(q.codice) + " diverso da " +
                                     (numero ? std::to_string(q.numero) : "'" + std::string(q.testo) + "'") +
                                     ", che il convertitore scrive sempre" + di,
                                 persona);
        }
        // The employee's data: each check of the writer, on the field of its column.
        for (const dma::Controllo& c : dma::Controlli) {
            const auto q = std::find_if(dma::CampiQuadri.begin(), dma::CampiQuadri.end(),
                                        [&](const dma::CampoQuadro& v) { return v.colonna == c.colonna; });
            const auto* l = m_campi.Primo(m_quadri[static_cast<std::size_t>(q - dma::CampiQuadri.begin())]);
            const bool manca = !l || (l->valore.Testo() && shell::SenzaSpaziFinali(l->valore.ComeTesto()).empty()) ||
                               (q->tipo == tracciati::Tipo::N5 && l->valore.Intero() && l->valore.ComeIntero() == 0);
            if (manca)
                m_lettura.Avviso(riga, l ? l->posizione : tracciati::InizioArea,
                                 "record C: campo " + std::string(q->codice) + (l ? " vuoto: " : " assente: ") +
                                     std::string(shell::TogliSpazi(c.testo)) + di,
                                 persona);
        }
        ControllaSesso(m_lettura, riga, Campo(SessoC), "record C", chi.nome, persona);
        if (const auto* cap = Campo(CapC); cap && cap->valore.Intero() && cap->valore.ComeIntero() > 99999)
            m_lettura.Avviso(riga, cap->posizione, "record C: campo D0001009: CAP di pi\xF9 di 5 cifre" + di, persona);
    }
    // The tax code.
    if (!codice.empty()) {
        ControllaCodiceDelDipendente(m_lettura, m_campi, CodiceC, riga, posizioni, persona);
        m_codiciFiscali.Aggiungi(codice, riga);
        ControllaAnagrafica(riga, chi, codice);
    } else {
        m_lettura.Avviso(riga, CodiceFiscaleC.posizione,
                         "record C: " + PosizioniDi(CodiceFiscaleC) + ": manca il codice fiscale del dipendente",
                         persona);
    }
    if (m_lettura.VuoleChiavi())
        Distinta(record, chi, codice);
}

// The employee's tax code against the employee's fields.
void LettoreDma::ControllaAnagrafica(long riga, const Chi& chi, std::string_view codice) {
    anagrafe::PersonaScritta persona;
    persona.codiceFiscale = {"codice fiscale", codice};
    std::array<PostoDelDato, std::size(CampiAnagrafici) + 1> posti;
    std::size_t quanti = 0;
    posti[quanti++] = {Dato::CodiceFiscale, riga, CodiceFiscaleC.posizione};
    for (const CampoAnagrafico& c : CampiAnagrafici) {
        const tracciati::CampoLetto* campo = Campo(c.codice);
        if (!campo || !campo->valore.Testo())
            continue;
        persona.*c.campo = {c.nome, campo->valore.ComeTesto()};
        posti[quanti++] = {c.dato, riga, campo->posizione};
    }
    if (const auto* d = Campo(DataNascitaC); d && d->valore.Data())
        persona.nascita = d->valore.ComeData();
    SegnalaRiscontri(m_lettura, anagrafe::ControllaPersona(persona),
                     std::span<const PostoDelDato>(posti.data(), quanti), "record C: ", chi.nome, chi.persona);
}

// The employee's row of the listing, column by column.
void LettoreDma::Distinta(const RecordFisso& record, const Chi& chi, std::string_view codice) {
    lettura::Persona p;
    p.indice = chi.persona;
    p.riga = record.Numero();
    p.chiave = std::string(codice);
    p.impronta = ImprontaDellaPersona();
    p.posto = PostoDellaPersona();
    if (!m_lettura.VuoleValori(p.indice)) { // the key and the fingerprint only
        m_lettura.Persona(std::move(p));
        return;
    }
    for (const ColonnaDma& c : ColonneDma) {
        const tracciati::CampoLetto* l = c.campo.codice.empty() ? nullptr : Campo(c.campo);
        std::string valore;
        switch (c.mostra) {
        case Mostra::CodiceFiscale:
            valore = codice;
            break;
        case Mostra::Modulo:
            valore = std::to_string(m_recordC);
            break;
        case Mostra::Testo:
            if (l && l->valore.Testo())
                valore = shell::SenzaSpaziFinali(l->valore.ComeTesto());
            break;
        case Mostra::Data:
            if (l && l->valore.Data())
                valore = shell::DataItaliana(l->valore.ComeData());
            break;
        case Mostra::Numero:
            if (l && l->valore.Intero())
                valore = std::to_string(l->valore.ComeIntero());
            break;
        }
        p.valori.push_back(std::move(valore));
    }
    m_lettura.Persona(std::move(p));
}

void LettoreDma::RecordZ(const RecordFisso& record) {
    const long long contati[] = {m_recordB, m_recordC, 0};
    for (std::size_t i = 0; i < std::size(ContiZ); ++i)
        ConfrontaConteggio(m_lettura, record.Numero(), 'Z', ContiZ[i].pezzo, record.letto.Testo(ContiZ[i].pezzo),
                           contati[i], ContiZ[i].cosa);
    if (m_recordC == 0)
        m_lettura.Errore(record.Numero(), 1, "la fornitura non ha dipendenti (nessun record C): nulla da inviare");
}

void LettoreDma::Fine() {
    FineDellOrdine();
    m_codiciFiscali.Segnala(m_lettura, CodiceFiscaleC.posizione, "record C");
    m_lettura.Identita(m_identita);
}

} // namespace

void LeggiDma(Lettura& lettura) { LettoreDma(lettura).Leggi(); }

const SchemaDistinta& SchemaDma() {
    static_assert(ModuloC.posizione == 18 && tracciati::UltimaPosizione(ModuloC) == 25);
    static constexpr SchemaDistinta schema{Colonne, Generi, "record C, posizioni 18-25"};
    return schema;
}

} // namespace formati
