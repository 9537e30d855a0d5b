#include "uniemens/denuncia.h"

#include "shell/contatore.h"
#include "uniemens/voci.h"
#include "scrittura_xml/gruppi_inps.h"

#include <algorithm>
#include <initializer_list>
#include <string>

namespace uniemens {

namespace {

using namespace scrittura_xml::tabelle;
using scrittura_xml::ScrittoreXML;

// clang-format off
// Where a row differs from the E-Mens document's on purpose, the comment says so.

// Sender block and company opening (line 1).
constexpr Voce Mittente[] = {
//   prof forma            tag                                   scritta quando    valore
    // E-Mens: no attribute
    {1,  Forma::Apri,      "DatiMittente Tipo=\"1\"",            Sempre(),         Nulla()},
    {2,  Forma::Elemento,  "CFPersonaMittente",                  Sempre(),         Colonna(0)},
    // E-Mens: whole
    {2,  Forma::Elemento,  "RagSocMittente",                     Sempre(),         Proprio(Tronca50, 1)},
    {2,  Forma::Elemento,  "CFMittente",                         Sempre(),         Colonna(2)},
    {2,  Forma::Elemento,  "CFSoftwarehouse",                    Sempre(),         Colonna(3)},
    {2,  Forma::Elemento,  "SedeINPS",                           Sempre(),         Colonna(4)},
    {1,  Forma::Chiudi,    "DatiMittente",                       Sempre(),         Nulla()},
};
constexpr Voce AperturaAzienda[] = {
    {1,  Forma::Apri,      "Azienda",                            Sempre(),         Nulla()},
    // E-Mens: column 7 as written
    {2,  Forma::Elemento,  "AnnoMeseDenuncia",                   Sempre(),         Proprio(AnnoMese)},
    {2,  Forma::Elemento,  "CFAzienda",                          Sempre(),         Colonna(2)},
    {2,  Forma::Elemento,  "RagSocAzienda",                      Sempre(),         Proprio(Tronca50, 1)},
};

// Company totals, closing the contribution position.
constexpr Voce DenunciaAziendale[] = {
    {3,  Forma::Apri,      "DenunciaAziendale",                  Sempre(),         Nulla()},
    {4,  Forma::Elemento,  "TrattQuotaLav",                      Sempre(),         Fisso("N")},
    {4,  Forma::Elemento,  "NumLavoratori",                      Sempre(),         Proprio(NumeroDenunce)},
    {4,  Forma::Elemento,  "ForzaAziendale",                     Sempre(),         Proprio(NumeroDenunce)},
    {4,  Forma::Apri,      "DatiQuadraturaRetrContr",            Sempre(),         Nulla()},
    {5,  Forma::Elemento,  "NumDenIndiv",                        Sempre(),         Proprio(NumeroDenunce)},
    {5,  Forma::Elemento,  "TotaleADebito",                      Sempre(),         Proprio(TotaleADebito)},
    {5,  Forma::Elemento,  "TotaleACredito",                     Sempre(),         Proprio(TotaleACredito)},
    {4,  Forma::Chiudi,    "DatiQuadraturaRetrContr",            Sempre(),         Nulla()},
    {3,  Forma::Chiudi,    "DenunciaAziendale",                  Sempre(),         Nulla()},
};

// Individual report of an employee line of the declared month.
constexpr auto DenunciaIndividuale = Unite(
    std::to_array<Voce>({
        {3,  Forma::Apri,      "DenunciaIndividuale",                Vuota(39),        Nulla()},
        {3,  Forma::Apri,      "DenunciaIndividuale Elimina=\"S\"",  NonVuota(39),     Nulla()},
    }),
    Lavoratore(4),
    std::to_array<Voce>({
        {4,  Forma::Elemento,  "Cittadinanza",                       Sempre(),         Fisso("000")},  // not in E-Mens
    }),
    LuogoEContratto(4),
    Orario(4),
    Assunzione(4),
    Cessazione(4),
    std::to_array<Voce>({
        {4,  Forma::Apri,      "DatiRetributivi",                    Sempre(),         Nulla()},
        {5,  Forma::Elemento,  "TipoLavoratore",                     Sempre(),         Fisso("0")},
        {5,  Forma::Elemento,  "Imponibile",                         Sempre(),         Imponibile(24)},
        // not in E-Mens
        {5,  Forma::Elemento,  "Contributo",                         Sempre(),         Proprio(Contributo, 43)},
        // E-Mens: by the line's layout
        {5,  Forma::Elemento,  "RetribTeorica",                      Sempre(),         Intero(42)},
    }),
    Settimane(5),
    std::to_array<Voce>({
        // daily calendar, not in E-Mens
        {5,  Forma::Propria,   "Giorno",                             Sempre(),         Colonna(45)},
        {5,  Forma::Elemento,  "GiorniRetribuiti",                   NumeroNonZero(27), Colonna(27)},
        {5,  Forma::Elemento,  "GiorniContribuiti",                  Sempre(),         Colonna(44)},   // not in E-Mens
        {4,  Forma::Chiudi,    "DatiRetributivi",                    Sempre(),         Nulla()},
        {0,  Forma::Sospeso,   "",                                   InSospeso(),      Nulla()},
        {3,  Forma::Chiudi,    "DenunciaIndividuale",                Sempre(),         Nulla()},
    }));

// Previous-month block, built from its own line and kept until the next individual report.
constexpr auto MesePrecedente = Unite(
    std::to_array<Voce>({
        // E-Mens: a TipoConsolidamento attribute, and CodiceComune and CodiceContratto before the hours
        {4,  Forma::Apri,      "MesePrecedente",                     Sempre(),         Nulla()},
    }),
    Orario(5),
    Assunzione(5),
    Cessazione(5),
    std::to_array<Voce>({
        {5,  Forma::Apri,      "DatiRetributiviMesePrecedente",      Sempre(),         Nulla()},
    }),
    Settimane(6),
    std::to_array<Voce>({
        {6,  Forma::Elemento,  "GiorniRetribuiti",                   NumeroNonZero(27), Colonna(27)},
        {5,  Forma::Chiudi,    "DatiRetributiviMesePrecedente",      Sempre(),         Nulla()},
        {4,  Forma::Chiudi,    "MesePrecedente",                     Sempre(),         Nulla()},
    }));

// What the writer's code writes around the tables: the root, the contribution position and the
// collaborators' list, each opened and closed, the registration number before the first report, CAP and
// ISTAT from the first collaborator.
constexpr Voce AperturaDocumento[] = {{0, Forma::Apri,     "DenunceMensili",                     Sempre(),  Nulla()}};
constexpr Voce ChiusuraAzienda[] = {{1,   Forma::Chiudi,   "Azienda",                            Sempre(),  Nulla()}};
constexpr Voce ChiusuraDocumento[] = {{0, Forma::Chiudi,   "DenunceMensili",                     Sempre(),  Nulla()}};
constexpr Voce AperturaPosizione[] = {{2, Forma::Apri,     "PosContributiva Composizione=\"CP\"", Sempre(), Nulla()}};
constexpr Voce Matricola[] = {{3,         Forma::Elemento, "Matricola",                          Sempre(),  Colonna(col::Matricola)}};
constexpr Voce ChiusuraPosizione[] = {{2, Forma::Chiudi,   "PosContributiva",                    Sempre(),  Nulla()}};
constexpr Voce AperturaCollaboratori[] = {{2, Forma::Apri, "ListaCollaboratori",                Sempre(),  Nulla()}};
constexpr Voce DatiCollaboratori[] = {
    {3,  Forma::Elemento,  "CAP",                                Sempre(),         Colonna(col::CAP)},
    {3,  Forma::Elemento,  "ISTAT",                              Sempre(),         Colonna(col::ISTAT)},
};
constexpr Voce ChiusuraCollaboratori[] = {{2, Forma::Chiudi, "ListaCollaboratori",                Sempre(),  Nulla()}};

// Collaborator element.
constexpr auto Collaboratore = Unite(
    std::to_array<Voce>({
        {3,  Forma::Apri,      "Collaboratore",                      Vuota(39),        Nulla()},
        // E-Mens: always plain
        {3,  Forma::Apri,      "Collaboratore Elimina=\"S\"",        NonVuota(39),     Nulla()},
    }),
    DatiCollaboratore(4),
    std::to_array<Voce>({
        {3,  Forma::Chiudi,    "Collaboratore",                      Sempre(),         Nulla()},
    }));

// clang-format on

static_assert(Annidate(Mittente, 1));
static_assert(Annidate(AperturaAzienda, 1, 1));
static_assert(Annidate(DenunciaAziendale, 3));
static_assert(Annidate(DenunciaIndividuale, 3));
static_assert(Annidate(MesePrecedente, 4));
static_assert(Annidate(Collaboratore, 3));

std::string NomePersona(const RigaINPS& riga) {
    std::string appoggio;
    std::string nome(riga.Decodificata(col::CodiceFiscale, appoggio));
    nome += " - ";
    nome += riga.Decodificata(col::Cognome, appoggio);
    nome += ' ';
    nome += riga.Decodificata(col::Nome, appoggio);
    return nome;
}

// The lines of the export that describe a person of one of the kinds `tipi` (the document check
// told each line's kind: not empty, column 24 not read as 0); the other lines are not prepared.
template <typename F>
void PerOgniPersona(const shell::Esportazione& esportazione, std::span<const Persona> persone,
                    std::initializer_list<Persona> tipi, F&& fai) {
    for (std::size_t i = 0; i < esportazione.Righe() && i < persone.size(); ++i) {
        if (std::find(tipi.begin(), tipi.end(), persone[i]) == tipi.end())
            continue;
        const RigaINPS riga(static_cast<int>(i + 1), esportazione.Riga(i));
        fai(riga);
    }
}

} // namespace

void Registra(shell::ContestoElaborazione& contesto, std::string_view testo, bool svuota) {
    contesto.ScriviMessaggio(testo, svuota, true);
    contesto.CursoreInFondo();
}

void ScriviMittente(const RigaINPS& riga1, ScrittoreXML& xml) { ScriviVoci(Mittente, FonteUniemens{&riga1}, xml); }

void ScriviAperturaAzienda(const RigaINPS& riga1, const Periodo& periodo, ScrittoreXML& xml) {
    ScriviVoci(AperturaAzienda, FonteUniemens{&riga1, &periodo}, xml);
}

void ScriviDipendenti(const shell::Esportazione& esportazione, std::span<const Persona> persone, const Periodo& periodo,
                      ScrittoreXML& xml, shell::ContestoElaborazione& contesto) {
    Registra(contesto, "Elaborazione lista Dipendenti...");
    ScriviVoci(AperturaPosizione, FonteUniemens{nullptr}, xml);
    Totali totali;
    Calendario calendario;
    shell::Contatore16 denunce("denunce individuali");
    std::string inSospeso;
    int rigaInSospeso = 0;
    PerOgniPersona(esportazione, persone, {Persona::Dipendente, Persona::MesePrecedente}, [&](const RigaINPS& riga) {
        if (riga[col::MeseRiferimento] != MeseAttuale) {
            if (!inSospeso.empty())
                Registra(contesto, "Mese precedente in riga " + std::to_string(rigaInSospeso) +
                                       " sostituito da quello in riga " + std::to_string(riga.Numero()) +
                                       ": non scritto.");
            inSospeso.clear();
            ScrittoreXML blocco(inSospeso);
            ScriviVoci(MesePrecedente, FonteUniemens{&riga}, blocco);
            rigaInSospeso = riga.Numero();
            return;
        }
        if (riga[col::TipoPersona] != TipoDipendente)
            return;
        if (denunce.Valore() == 0)
            ScriviVoci(Matricola, FonteUniemens{&riga}, xml);
        totali.denunce = denunce.Incrementa();
        Registra(contesto, "Elaborazione il dipendente " + NomePersona(riga));
        ScriviVoci(DenunciaIndividuale, FonteUniemens{&riga, &periodo, &totali, &inSospeso, &calendario}, xml);
    });
    if (!inSospeso.empty())
        Registra(contesto, "Mese precedente in riga " + std::to_string(rigaInSospeso) +
                               " senza denuncia del mese attuale che lo segua: non scritto.");
    ScriviVoci(DenunciaAziendale, FonteUniemens{nullptr, &periodo, &totali}, xml);
    ScriviVoci(ChiusuraPosizione, FonteUniemens{nullptr}, xml);
    Registra(contesto, "Elaborazione lista Dipendenti completata.");
}

void ScriviCollaboratori(const shell::Esportazione& esportazione, std::span<const Persona> persone, ScrittoreXML& xml,
                         shell::ContestoElaborazione& contesto) {
    Registra(contesto, "Elaborazione lista Collaboratori...");
    ScriviVoci(AperturaCollaboratori, FonteUniemens{nullptr}, xml);
    shell::Contatore16 scritti("collaboratori");
    PerOgniPersona(esportazione, persone, {Persona::Collaboratore}, [&](const RigaINPS& riga) {
        if (riga[col::TipoPersona] != TipoCollaboratore)
            return;
        if (scritti.Incrementa() == 1)
            ScriviVoci(DatiCollaboratori, FonteUniemens{&riga}, xml);
        Registra(contesto, "Elaboro il collaboratore " + NomePersona(riga));
        ScriviVoci(Collaboratore, FonteUniemens{&riga}, xml);
    });
    ScriviVoci(ChiusuraCollaboratori, FonteUniemens{nullptr}, xml);
    Registra(contesto, "Elaborazione lista Collaboratori completata.");
}

void ScriviAperturaDocumento(ScrittoreXML& xml) { ScriviVoci(AperturaDocumento, FonteUniemens{nullptr}, xml); }
void ScriviChiusuraAzienda(ScrittoreXML& xml) { ScriviVoci(ChiusuraAzienda, FonteUniemens{nullptr}, xml); }
void ScriviChiusuraDocumento(ScrittoreXML& xml) { ScriviVoci(ChiusuraDocumento, FonteUniemens{nullptr}, xml); }

std::optional<std::string> AziendaDelDocumento(const std::filesystem::path& file) {
    static constexpr std::string_view Percorso[] = {Scritto(AperturaDocumento, "DenunceMensili"),
                                                    Scritto(AperturaAzienda, "Azienda"),
                                                    Scritto(AperturaAzienda, "CFAzienda")};
    return scrittura_xml::TitolareDelDocumento(file, Percorso);
}

std::span<const scrittura_xml::TabellaDelDocumento> TabelleDelDocumento() {
    static constexpr std::string_view Radice = "DenunceMensili";
    static constexpr std::string_view Azienda = "DenunceMensili/Azienda";
    static constexpr std::string_view Posizione = "DenunceMensili/Azienda/PosContributiva";
    static constexpr std::string_view Denuncia = "DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale";
    static constexpr std::string_view Lista = "DenunceMensili/Azienda/ListaCollaboratori";
    // clang-format off
    static constexpr scrittura_xml::TabellaDelDocumento Tabelle[] = {
        {"",                                      AperturaDocumento},
        {Radice,                                  Mittente},
        {Radice,                                  AperturaAzienda},
        {Azienda,                                 AperturaPosizione},
        {Posizione,                               Matricola},
        {Posizione,                               DenunciaIndividuale},
        {"DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale/DatiRetributivi", GiornoDelCalendario},
        {Denuncia,                                MesePrecedente},
        {Posizione,                               DenunciaAziendale},
        {Azienda,                                 ChiusuraPosizione},
        {Azienda,                                 AperturaCollaboratori},
        {Lista,                                   DatiCollaboratori},
        {Lista,                                   Collaboratore},
        {Azienda,                                 ChiusuraCollaboratori},
        {Radice,                                  ChiusuraAzienda},
        {"",                                      ChiusuraDocumento},
    };
    // clang-format on
    return Tabelle;
}

} // namespace uniemens
