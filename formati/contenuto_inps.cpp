#include "formati/contenuto_inps.h"

#include <charconv>

namespace formati::inps {

using lettura::ImportoItaliano;
using lettura::Impronta;
using lettura::Lettura;
using lettura::SchemaDistinta;

namespace {

constexpr std::string_view NomiPartiMese[NumeroParti] = {
    "TipoConsolidamento", "OrarioContrattuale", "assunzione", "cessazione", "settimane", "GiorniRetribuiti",
};

// The items of the content in a fingerprint: an element by its depth and its node (its name outside the
// grammar), each attribute by its name and value, a text by its depth and its pieces.
constexpr std::uint64_t ElementoImpronta = 1, AttributoImpronta = 2, TestoImpronta = 3, PersoneImpronta = 4;
std::uint64_t VoceImpronta(std::uint64_t voce, int profondita, int nodo) {
    return voce << 40 | static_cast<std::uint64_t>(profondita) << 20 | static_cast<std::uint64_t>(nodo + 1);
}

} // namespace

std::string ImportoDistinta(std::string_view t) {
    std::string semplice;
    for (const char c : t)
        if (c != '.')
            semplice += c == ',' ? '.' : c;
    double valore = 0;
    const auto [fine, errore] = std::from_chars(semplice.data(), semplice.data() + semplice.size(), valore);
    if (errore != std::errc() || fine != semplice.data() + semplice.size())
        return std::string(t);
    const auto punto = semplice.find('.');
    return ImportoItaliano(valore, punto == std::string::npos ? 0 : static_cast<int>(semplice.size() - punto - 1));
}

std::string DataDistinta(std::string_view t) {
    if (t.size() != 10)
        return std::string(t);
    return std::string(t.substr(8, 2)) + "/" + std::string(t.substr(5, 2)) + "/" + std::string(t.substr(0, 4));
}

std::string TestoMesePrecedente(const PartiMese& parti) {
    std::string testo;
    for (std::size_t i = 0; i < parti.size(); ++i)
        if (!parti[i].empty())
            testo.append(testo.empty() ? "" : "; ").append(NomiPartiMese[i]).append(" ").append(parti[i]);
    return testo;
}

std::string DichiarazioneNelContenuto(const xml::LettoreXML& lettore) {
    const xml::DichiarazioneXML& d = lettore.Dichiarazione();
    if (!d.presente)
        return "nessuna";
    const xml::Codifica codifica = lettore.CodificaDocumento();
    std::string testo = "versione " + d.versione + ", codifica " +
                        (codifica == xml::Codifica::Iso88591  ? "ISO-8859-1"
                         : codifica == xml::Codifica::UsAscii ? "US-ASCII"
                                                              : "UTF-8");
    if (d.standalone)
        testo += std::string(", standalone ") + (*d.standalone ? "yes" : "no");
    return testo;
}

ContenutoINPS::ContenutoINPS(Lettura& lettura, const SchemaDistinta& schema)
    : m_lettura(lettura), m_schema(schema), m_campiFornitura(lettura.VuoleCampi(-1)) {}

void ContenutoINPS::PersonaNelContenuto(int nodo, std::string_view nome, int profondita, PersonaDelContenuto& persona) {
    // In the supply's content a run of persons is one item, at its place: the reports are read by their keys.
    if (!m_traPersone) {
        if (m_lettura.VuoleImpronte())
            m_lettura.ContenutoDellaFornitura().AggiungiNumero(VoceImpronta(PersoneImpronta, profondita, nodo));
        if (m_lettura.VuoleCampi(-1)) {
            std::string campo = m_percorsoFornitura + "/" + std::string(nome);
            if (const int volte = ++m_volteFornitura[campo]; volte > 1)
                campo += " (" + std::to_string(volte) + ")";
            m_lettura.Campo(
                -1, {std::move(campo), std::string(m_schema.generi[static_cast<std::size_t>(persona.genere)].titolo)});
        }
        m_traPersone = true;
    }
    // In the person's, the element that holds it.
    const std::string& contenitore =
        profondita >= 2 ? m_aperti[static_cast<std::size_t>(profondita - 2)].nome : std::string();
    if (m_lettura.VuoleImpronte())
        persona.impronta.Aggiungi(contenitore);
    m_campiPersona = m_lettura.VuoleCampi(persona.indice);
    if (m_campiPersona)
        m_lettura.Campo(persona.indice, {"posto nel documento", contenitore});
    m_percorsoPersona.clear();
    m_voltePersona.clear();
    m_profonditaPersona = profondita;
}

void ContenutoINPS::Elemento(int nodo, std::string_view nome, std::span<const xml::Attributo> attributi, int profondita,
                             PersonaDelContenuto* persona) {
    m_profonditaContenuto = static_cast<std::size_t>(profondita);
    if (m_apertaPersona) {
        m_apertaPersona = false;
        if (persona)
            PersonaNelContenuto(nodo, nome, profondita, *persona);
    }
    if (!persona)
        m_traPersone = false;
    if (Impronta* impronta = ImprontaDelContenuto(persona)) {
        impronta->AggiungiNumero(
            VoceImpronta(ElementoImpronta, persona ? profondita - m_profonditaPersona : profondita, nodo));
        if (nodo < 0)
            impronta->Aggiungi(nome);
        for (const xml::Attributo& a : attributi) {
            impronta->AggiungiNumero(AttributoImpronta);
            impronta->Aggiungi(a.nome);
            impronta->Aggiungi(a.valore);
        }
    }
    const auto livello = static_cast<std::size_t>(profondita - 1);
    if (m_aperti.size() <= livello)
        m_aperti.resize(livello + 1);
    if (livello > 0)
        m_aperti[livello - 1].figli = true;
    Aperto& aperto = m_aperti[livello];
    aperto.figli = false;
    aperto.testo.clear();
    aperto.campi = persona ? m_campiPersona : m_campiFornitura;
    // The names of the supply's own elements are always kept: a person's place is the one that holds it.
    if (!aperto.campi && persona)
        return;
    std::string& percorso = persona ? m_percorsoPersona : m_percorsoFornitura;
    auto& volte = persona ? m_voltePersona : m_volteFornitura;
    aperto.percorso = percorso.size();
    const bool dellaPersona = persona && profondita == m_profonditaPersona;
    if (!dellaPersona)
        percorso.append(percorso.empty() ? "" : "/").append(nome);
    aperto.nome = dellaPersona ? std::string(nome) : percorso;
    if (const int n = ++volte[aperto.nome]; n > 1)
        aperto.nome += " (" + std::to_string(n) + ")";
    if (!aperto.campi)
        return;
    for (const xml::Attributo& a : attributi) {
        std::string campo = percorso + "@" + std::string(a.nome);
        if (const int n = ++volte[campo]; n > 1)
            campo += " (" + std::to_string(n) + ")";
        m_lettura.Campo(persona ? persona->indice : -1, {std::move(campo), std::string(a.valore)});
    }
}

void ContenutoINPS::Testo(std::string_view pezzo, PersonaDelContenuto* persona) {
    const int profondita = static_cast<int>(m_profonditaContenuto);
    if (!persona)
        m_traPersone = false;
    if (Impronta* impronta = ImprontaDelContenuto(persona)) {
        impronta->AggiungiNumero(
            VoceImpronta(TestoImpronta, persona ? profondita - m_profonditaPersona : profondita, 0));
        impronta->Aggiungi(pezzo);
    }
    if (profondita > 0)
        if (Aperto& aperto = m_aperti[static_cast<std::size_t>(profondita - 1)]; aperto.campi)
            aperto.testo.append(pezzo);
}

void ContenutoINPS::Fine(int profondita, PersonaDelContenuto* persona) {
    Aperto& aperto = m_aperti[static_cast<std::size_t>(profondita - 1)];
    if (!persona)
        m_traPersone = false;
    // A text among child elements is shown without the line ends and TABs around it.
    if (aperto.campi && (!aperto.testo.empty() || !aperto.figli)) {
        const auto inizio = aperto.testo.find_first_not_of(" \t\r\n");
        m_lettura.Campo(
            persona ? persona->indice : -1,
            {aperto.nome, !aperto.figli || inizio == std::string::npos
                              ? aperto.testo
                              : aperto.testo.substr(inizio, aperto.testo.find_last_not_of(" \t\r\n") + 1 - inizio)});
    }
    if (aperto.campi || !persona)
        (persona ? m_percorsoPersona : m_percorsoFornitura).resize(aperto.percorso);
    m_profonditaContenuto = static_cast<std::size_t>(profondita - 1);
}

} // namespace formati::inps
