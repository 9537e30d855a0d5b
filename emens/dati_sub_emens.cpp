#include "emens/dati_sub_emens.h"

#include "shell/contatore.h"
#include "shell/errore.h"
#include "emens/riga_emens.h"
#include "shell/testo.h"
#include "scrittura_xml/testo_xml.h"
#include "emens/voci_emens.h"

#include <optional>
#include <string>
#include <vector>

namespace emens {

namespace fs = std::filesystem;
using scrittura_xml::ScrittoreXML;

namespace {

std::string NomePersona(const RigaEmens& riga) {
    return std::string(riga.Testo(col::CodiceFiscale)) + " - " + std::string(riga.Testo(col::Cognome)) + " " +
           std::string(riga.Testo(col::Nome));
}

// The individual reports' list: opened by its first report, each report joined by the
// previous-month block that waits for it.
class ListaDipendenti {
public:
    ListaDipendenti(ScrittoreXML& xml, shell::ContestoElaborazione& contesto) : m_xml(xml), m_contesto(contesto) {}

    // A line of the previous month: its block waits for the next report, in place of one still
    // waiting.
    void MesePrecedente(const RigaEmens& riga) {
        riga.RichiediColonne(col::ColonneMesePrec);
        if (!m_sospeso.empty())
            m_contesto.ScriviMessaggio("Mese precedente in riga " + std::to_string(m_rigaSospeso) +
                                       " sostituito da quello in riga " + std::to_string(riga.Numero()) +
                                       ": non scritto.");
        m_sospeso.clear();
        ScrittoreXML blocco(m_sospeso);
        ScriviVoci(emens::MesePrecedente, Fonte{riga}, blocco);
        m_rigaSospeso = riga.Numero();
        m_personaSospeso = shell::TogliSpazi(riga.Testo(col::CodiceFiscale));
    }

    void Denuncia(const RigaEmens& riga) {
        riga.RichiediColonne(col::ColonneDipendente);
        const std::string_view persona = shell::TogliSpazi(riga.Testo(col::CodiceFiscale));
        if (!m_sospeso.empty() && persona != m_personaSospeso)
            throw shell::ErroreElaborazione(
                "Riga " + std::to_string(m_rigaSospeso) + ", colonna " + std::to_string(col::CodiceFiscale) +
                ": mese precedente di un'altra persona ('" + m_personaSospeso +
                "', mentre la denuncia che segue, in riga " + std::to_string(riga.Numero()) + ", \xE8 di '" +
                std::string(persona) + "')");
        if (m_denunce.Valore() == 0)
            ScriviVoci(AperturaDipendenti, Fonte{riga}, m_xml);
        m_denunce.Incrementa();
        m_contesto.ScriviMessaggio("Elaborazione Dipendente: " + NomePersona(riga));
        ScriviVoci(DenunciaIndividuale, Fonte{riga, &m_sospeso}, m_xml);
        m_rigaSospeso = 0;
    }

    void Chiudi() {
        if (!m_sospeso.empty())
            m_contesto.ScriviMessaggio("Mese precedente in riga " + std::to_string(m_rigaSospeso) +
                                       " senza denuncia del mese attuale che lo segua: non scritto.");
        if (m_denunce.Valore() > 0)
            ScriviVoci(ChiusuraDipendenti, scrittura_xml::Fonte{nullptr}, m_xml);
    }

private:
    ScrittoreXML& m_xml;
    shell::ContestoElaborazione& m_contesto;
    shell::Contatore16 m_denunce{"denunce individuali"};
    std::string m_sospeso; // the pending block, its lines joined by CR LF
    int m_rigaSospeso = 0;
    std::string m_personaSospeso;
};

// The collaborators' list: opened by its first collaborator.
class ListaCollaboratori {
public:
    ListaCollaboratori(ScrittoreXML& xml, shell::ContestoElaborazione& contesto) : m_xml(xml), m_contesto(contesto) {}

    void Collaboratore(const RigaEmens& riga) {
        riga.RichiediColonne(col::ColonneCollaboratore);
        if (m_collaboratori.Valore() == 0)
            ScriviVoci(AperturaCollaboratori, Fonte{riga}, m_xml);
        m_collaboratori.Incrementa();
        m_contesto.ScriviMessaggio("Elaborazione Collaboratore: " + NomePersona(riga));
        ScriviVoci(emens::Collaboratore, Fonte{riga}, m_xml);
    }

    void Chiudi() {
        if (m_collaboratori.Valore() > 0)
            ScriviVoci(ChiusuraCollaboratori, scrittura_xml::Fonte{nullptr}, m_xml);
    }

private:
    ScrittoreXML& m_xml;
    shell::ContestoElaborazione& m_contesto;
    shell::Contatore16 m_collaboratori{"collaboratori"};
};

// Writes the document: sender and company from line 1, then the employees' reports with their
// previous-month blocks in the order of the file, then the collaborators in the order of the file.
// Returns the document's final name.
std::string ScriviDocumento(const shell::Esportazione& esportazione, shell::FileUscita& uscita,
                            shell::ContestoElaborazione& contesto) {
    shell::RifiutaACapoIsolati(esportazione);
    if (esportazione.Riga(0).empty())
        throw shell::ErroreElaborazione("Riga 1: riga vuota, mancano i dati del mittente e dell'azienda");
    const RigaEmens prima(1, esportazione.Riga(0));
    prima.RichiediColonne(col::ColonneRiga);
    const int anno = prima.LeggiIntero(col::Anno);
    const int mese = prima.LeggiIntero(col::Mese);

    auto xml = ScrittoreXML::PerPezzi([&uscita](std::string_view testo) { uscita.Scrivi(testo); });
    xml.Dichiarazione();
    ScriviVoci(AperturaDocumento, scrittura_xml::Fonte{nullptr}, xml);
    ScriviVoci(DatiMittente, Fonte{prima}, xml);
    ScriviVoci(AperturaAzienda, Fonte{prima}, xml);

    ListaDipendenti dipendenti(xml, contesto);
    std::vector<int> collaboratori; // their line numbers, for the second pass
    for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
        if (esportazione.Riga(i).empty())
            continue;
        const RigaEmens riga(static_cast<int>(i + 1), esportazione.Riga(i));
        riga.RichiediColonne(col::ColonneRiga);
        if (riga.Testo(col::MeseRiferimento) != MeseAttuale) {
            dipendenti.MesePrecedente(riga);
            continue;
        }
        // Zero or blank: no person. Text that begins with no number stops the run.
        if (riga.NumeroOVuoto(col::Imponibile) == 0)
            continue;
        riga.RichiediColonne(col::ColonnePersona);
        if (riga.Testo(col::TipoPersona) == TipoDipendente)
            dipendenti.Denuncia(riga);
        else
            collaboratori.push_back(riga.Numero());
    }
    dipendenti.Chiudi();

    ListaCollaboratori lista(xml, contesto);
    for (const int numero : collaboratori)
        lista.Collaboratore(RigaEmens(numero, esportazione.Riga(static_cast<std::size_t>(numero - 1))));
    lista.Chiudi();

    ScriviVoci(ChiusuraAzienda, scrittura_xml::Fonte{nullptr}, xml);
    ScriviVoci(ChiusuraDocumento, scrittura_xml::Fonte{nullptr}, xml);
    xml.Svuota();
    return NomeDocumento(anno, mese);
}

// Whose an E-Mens document is: its CFAzienda.
std::optional<std::string> AziendaDelDocumento(const fs::path& file) {
    using scrittura_xml::tabelle::Scritto;
    static constexpr std::string_view Percorso[] = {Scritto(AperturaDocumento, "DenunceRetributiveMensili"),
                                                    Scritto(AperturaAzienda, "Azienda"),
                                                    Scritto(AperturaAzienda, "CFAzienda")};
    return scrittura_xml::TitolareDelDocumento(file, Percorso);
}

} // namespace

const shell::Convertitore& Descrittore() {
    // clang-format off
    static const shell::Convertitore convertitore{
        "emens", "pelvorn",
        "Elaborazione dati per EMENS v. 210708",
        //  client area  Messaggio                 Avanti
        {6945, 6000, {120, 120, 6735, 5295}, {5520, 5520, 1335, 375}, std::nullopt, std::nullopt},
        scrittura_xml::CaricamentoINPS(EseguiConversione)};
    // clang-format on
    return convertitore;
}

void EseguiConversione(shell::ContestoElaborazione& contesto, const fs::path& percorsoEsportazione) {
    static constexpr shell::Titolare Titolare{"un documento E-Mens", "datore di lavoro", AziendaDelDocumento};
    shell::EseguiConversioneArchivio(contesto, percorsoEsportazione, {"INPSEMENS-", ".xml", &Titolare},
                                     ScriviDocumento);
}

std::string NomeDocumento(int anno, int mese) {
    return "INPSEMENS-" + CifreMinime(anno, 4) + "-" + CifreMinime(mese, 2) + ".xml";
}

} // namespace emens
