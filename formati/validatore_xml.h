#pragma once
// The check of an XML document against its grammar, as it streams by: a table of nodes, each an element
// with its children in order and how many times each may come, its attributes and the form of its value;
// and one validator that keeps a stack of the open elements, each knowing where it stands in its list of
// children. What the grammar cannot say (counts, totals, the links between values) is left to the
// document's rules, which the validator tells of the elements it opens, the values it reads and the
// elements it closes, as far as they ask (Interessi).
//
// The validator also holds the document to the layout of the suite's XML writer: one element per line,
// each line indented by a TAB per level and ended by CR LF, no element in the short form <a/>, texts in
// upper case. A difference of layout is a warning, told once for its first place with how many more
// there are.

#include "anagrafe/codice_fiscale.h"
#include "lettura/lettura.h"
#include "xml/lettore_xml.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace formati {

// The form of an element's value.
enum class FormaValore : std::uint8_t {
    Elementi,      // child elements only, with blanks between them
    Testo,         // any text
    CodiceFiscale, // a tax code, 16 characters or 11 digits, formally valid
    Contributo,    // -?[0-9]+,[0-9]{2}
    Decimale,      // -?[0-9]+(,[0-9]+)?
    Importo,       // an amount the Italian way: "." between thousands allowed, "," before the decimals
    Intero,        // -?[0-9]+
    Cifre,         // [0-9]+: a count (days, weeks), no sign
    Data,          // yyyy-mm-dd, a real date
    AnnoMese,      // [0-9]{4}-mm, the month 01 to 12 (a month out of it an error whatever the node's gravity)
    SN,            // "S" or "N"
};

inline constexpr int Illimitato = 1 << 30;

// A child of an element: its node, and how many times it comes.
struct Figlio {
    int nodo;
    int minimo;
    int massimo;
    std::string_view estraneo = {}; // not empty: an element of another document, allowed with a warning
                                    // that says so ("del solo UniEmens")
};

// An attribute of an element.
struct AttributoAtteso {
    std::string_view nome;
    bool obbligatorio;
    std::string_view valore;  // the only value written; empty: any value but an empty one
    lettura::Gravita gravita; // of another value
};

struct Nodo {
    std::string_view nome;
    FormaValore forma = FormaValore::Elementi;
    lettura::Gravita gravitaForma = lettura::Gravita::Errore; // of a value that breaks its form
    std::string_view fisso = {}; // the value the writer always gives it; another is a warning
    bool pieno = false;          // the writer always gives it a value: a blank one is a warning
    std::span<const Figlio> figli = {};
    std::span<const AttributoAtteso> attributi = {};
};

// A grammar: its nodes, and which of them is the root.
struct Grammatica {
    std::span<const Nodo> nodi;
    int radice = 0;
    std::size_t testoMassimo = 0; // a text value longer than this is a warning; 0: any length
};

// A place of the document: the line and the column (from 1) of a tag.
struct Posto {
    long riga = 0;
    long colonna = 0;
};

// What the rules want to hear of a node.
namespace Interesse {
inline constexpr std::uint8_t Apertura = 1, Valore = 2, Chiusura = 4, Tutto = 7;
}

// What the document's own rules hear of it. Every finding of the validator goes through Segnala, so that
// the rules can tell whose it is.
class RegoleXML {
public:
    virtual ~RegoleXML() = default;
    // Which of the calls below the rules want for a node (Interesse), asked once per node.
    virtual std::uint8_t Interessi(int /*nodo*/) const { return Interesse::Tutto; }
    virtual void Segnala(lettura::Gravita gravita, Posto posto, std::string messaggio) = 0;
    // An element of the grammar opened at `posto`; its attributes are the reader's.
    virtual void Apertura(int /*nodo*/, const xml::LettoreXML& /*lettore*/, Posto /*posto*/) {}
    // The value of an element whose form is not Elementi, once checked against its form (`buono`: it
    // keeps it). At most ValoreMassimo characters of it; `altri`, the characters above U+00FF that it holds
    // as "?" (xml::LettoreXML::Altri).
    virtual void Valore(int /*nodo*/, std::string_view /*valore*/, std::span<const xml::CarattereAltro> /*altri*/,
                        bool /*buono*/, Posto /*posto*/) {}
    // An element of the grammar closed; `posto` is the place of its opening tag.
    virtual void Chiusura(int /*nodo*/, Posto /*posto*/) {}

    // The document's content, as its reader holds it, when the rules want it (asked once, before the reading):
    // every element with its attributes as it opens (its node, -1 outside the grammar; its depth, 1 for the
    // root), every text, and every end, in the order of the document, whether the grammar expects them or not.
    // The layout is no content: a text of blanks and line ends only, in an element the grammar holds to child
    // elements. A text comes in pieces of PezzoContenuto characters from its start, the last one shorter, so that
    // the same text comes in the same pieces however the document writes it (references, CDATA, comments).
    // An element opens after Apertura and closes before Chiusura.
    virtual bool VuoleContenuto() const { return false; }
    virtual void ElementoDelContenuto(int /*nodo*/, std::string_view /*nome*/,
                                      std::span<const xml::Attributo> /*attributi*/, int /*profondita*/) {}
    virtual void TestoDelContenuto(std::string_view /*pezzo*/) {}
    virtual void FineDelContenuto(int /*profondita*/) {}
};

class ValidatoreXML {
public:
    static constexpr std::size_t ValoreMassimo = 4096;
    static constexpr std::size_t PezzoContenuto = 64 * 1024;

    ValidatoreXML(const Grammatica& grammatica, RegoleXML& regole);

    // Reads the document to its end. Throws ErroreXML where it is not well-formed (the elements still
    // open are then left as they are), and what the reader's source throws.
    void Leggi(xml::LettoreXML& lettore);

    // The lines read: the whole document once Leggi is done.
    long Righe() const { return m_righe; }
    // Whether the document's root element is the grammar's.
    bool RadiceDellaGrammatica() const { return m_radiceDellaGrammatica; }

    // The layout findings, each once with how many times it came; after Leggi, or after it stopped.
    void SegnalaImpaginazione();

    // A value as a message quotes it: cut to 60 characters.
    static std::string Citato(std::string_view valore);

private:
    // The grammar as the usual element reads it, made once per run: each node's children with their names
    // beside them, and what the rules want to hear of the node.
    struct FiglioNoto {
        std::string_view nome;
        int nodo;
        int minimo;
        int massimo;
        bool estraneo;
    };
    struct NodoNoto {
        std::span<const FiglioNoto> figli;
        bool elementi;  // its form is Elementi
        bool attributi; // it has attributes
        std::uint8_t interessi;
    };

    struct Aperto {
        int nodo;               // -1: an element outside the grammar, whose content is not looked at
        const NodoNoto* noto;   // of `nodo`; none for -1
        Posto tag;              // of its opening tag
        int posizione = 0;      // the child of the node being read
        int volte = 0;          // how many times that child came so far
        bool contenuto = false; // any child or text seen
    };
    void Apri(int nodo, Posto posto) {
        const NodoNoto* noto = nodo >= 0 ? &m_noti[static_cast<std::size_t>(nodo)] : nullptr;
        m_aperti.push_back({nodo, noto, posto});
    }

    enum Impaginazione : int { SenzaCR, StessaRiga, RigheVuote, Rientro, FormaBreve, Minuscole, NumeroImpaginazioni };
    struct Difetto {
        long volte = 0;
        Posto primo;
        std::string messaggio;
    };

    void Inizio(const xml::LettoreXML& lettore, Posto posto);
    void ElementoBreve(std::string_view nome, Posto posto);
    void Radice(const xml::LettoreXML& lettore, Posto posto);
    void FiglioDiValore(std::string_view nome, Posto posto);
    int AltroFiglio(Aperto& padre, std::string_view nome, Posto posto);
    void Fine(Posto posto);
    void FineIncompleta(const Aperto& aperto, Posto posto);
    void Testo(const xml::LettoreXML& lettore, Posto posto);
    void TestoTraElementi(Aperto& aperto, std::string_view testo, Posto posto);
    void Attributi(const Nodo& nodo, const xml::LettoreXML& lettore, Posto posto);
    void Mancanti(const Aperto& aperto, int finoA, Posto posto, std::string_view prima);
    void ControllaValore(const Aperto& aperto);
    void CodiceFiscaleDifforme(const Nodo& nodo, const anagrafe::EsitoCodiceFiscale& esito, Posto posto);
    void ValoreDifforme(const Nodo& nodo, bool buono, bool vuoto, bool minuscole, Posto posto);
    // The line of a tag at depth `profondita`: the text before it, a line end and as many TABs.
    void ControllaRiga(int profondita, Posto posto) {
        if (m_difettoSpazi < 0 && m_spazi == profondita)
            m_spazi = -1;
        else
            DifettoDiRiga(profondita, posto);
    }
    void DifettoDiRiga(int profondita, Posto posto);
    // A layout finding: kept for its first place, counted after.
    void Annota(Impaginazione tipo, Posto posto, std::string_view messaggio);
    std::string Attesi(const Aperto& aperto) const;
    const Nodo& NodoDi(int nodo) const { return m_grammatica.nodi[static_cast<std::size_t>(nodo)]; }

    const Grammatica& m_grammatica;
    RegoleXML& m_regole;
    std::vector<FiglioNoto> m_figliNoti;
    std::vector<NodoNoto> m_noti; // by node
    std::vector<Aperto> m_aperti;
    // The value of the element being read: its texts gathered in m_testoValore, up to ValoreMassimo
    // characters.
    std::array<char, ValoreMassimo> m_testoValore;
    std::string_view m_valore;
    bool m_valoreTroncato = false;
    std::vector<xml::CarattereAltro> m_altri; // of the value, at their places in it
    std::string_view Valore() const { return m_valore; }
    void AggiungiAlValore(std::string_view testo, std::span<const xml::CarattereAltro> altri = {}) {
        const std::size_t lunghezza = m_valore.size();
        for (const xml::CarattereAltro& a : altri)
            if (lunghezza + a.posizione < ValoreMassimo)
                m_altri.push_back({lunghezza + a.posizione, a.codice});
        const std::size_t n = std::min(testo.size(), ValoreMassimo - lunghezza);
        std::memcpy(m_testoValore.data() + lunghezza, testo.data(), n);
        m_valore = {m_testoValore.data(), lunghezza + n};
        m_valoreTroncato = m_valoreTroncato || n < testo.size();
    }
    // The text before the tag that comes next: m_spazi the TABs after its single line end (-1: none, or
    // not such a text), m_difettoSpazi the kind of difference it holds (-1: none).
    int m_spazi = -1;
    int m_difettoSpazi = -1;
    Posto m_postoSpazi;
    std::int64_t m_senzaCR = 0;
    long m_righe = 0;
    bool m_radiceDellaGrammatica = false;
    Difetto m_difetti[NumeroImpaginazioni];

    // The content for the rules (RegoleXML::VuoleContenuto): the text read since the last tag, told in whole
    // pieces as it grows and the rest at the next tag, unless it is layout.
    void TestoNelContenuto(std::string_view testo, std::span<const xml::CarattereAltro> altri);
    // At a tag: the text read since the last one ends.
    void ChiudiTesto() {
        if (!m_testo.empty())
            DiTesto();
    }
    void DiTesto();
    void PezziDelTesto(bool tutti);
    bool m_contenuto = false;
    std::string m_canonico; // a text of the content with a character beyond ISO-8859-1 or a "&" (TestoCanonico)
    std::string m_testo;
    bool m_soloSpazi = true; // m_testo holds blanks and line ends only
};

} // namespace formati
