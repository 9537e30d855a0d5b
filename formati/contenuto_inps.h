#pragma once
// The content of the INPS documents as the listing shows it and the comparison holds it: the forms of the
// listing's values, the previous month's block as one text, and every element, attribute and text of the
// document into the fingerprints and the fields that a comparison reads (RegoleXML::VuoleContenuto).

#include "lettura/lettura.h"
#include "xml/lettore_xml.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace formati::inps {

// An amount of the document as the listing shows it, with the decimals it is written with: "1500,5" gives
// "1.500,5" (and "." between thousands are read as such). A text that is no number as it is.
std::string ImportoDistinta(std::string_view t);

// yyyy-mm-dd as dd/mm/yyyy; a text of another length as it is.
std::string DataDistinta(std::string_view t);

// The parts of a previous month's block that the listing shows, in this order.
enum ParteMese { Consolidamento, Orario, AssunzioneMese, CessazioneMese, SettimaneMese, GiorniMese, NumeroParti };
using PartiMese = std::array<std::string, NumeroParti>;

// The block as the listing shows it: "OrarioContrattuale 4000; settimane 21:X 22:X; ...", its empty parts left out.
std::string TestoMesePrecedente(const PartiMese& parti);

// The declaration, as the document's content holds it: its version, the encoding read, standalone.
std::string DichiarazioneNelContenuto(const xml::LettoreXML& lettore);

// The person whose element the content is inside of.
struct PersonaDelContenuto {
    long indice;                 // in the listing
    int genere;                  // of the schema
    lettura::Impronta& impronta; // its fingerprint
};

// Every element, attribute and text of the document, for a comparison: into the fingerprint of the person being
// read or into the supply's content, and as fields where they are wanted. A field's name is the path of its
// element below the person's element (below the root for the supply's own), an attribute's "@" and its name after
// it ("DatiRetributivi/Imponibile", "@Elimina"), with its occurrence when the name comes again
// ("DatiRetributivi/Giorno@GG (5)"); the field of an element is its own text, told for an element with a text or
// without child elements. `persona` is none outside a person.
class ContenutoINPS {
public:
    ContenutoINPS(lettura::Lettura& lettura, const lettura::SchemaDistinta& schema);

    // A person begins: its element is the next one the content hears of.
    void NuovaPersona() { m_apertaPersona = true; }
    void Elemento(int nodo, std::string_view nome, std::span<const xml::Attributo> attributi, int profondita,
                  PersonaDelContenuto* persona);
    void Testo(std::string_view pezzo, PersonaDelContenuto* persona);
    void Fine(int profondita, PersonaDelContenuto* persona);

private:
    struct Aperto {
        std::size_t percorso = 0; // the length of the path before its name
        std::string nome;         // of its field, with its occurrence
        std::string testo;        // its own text, for its field
        bool figli = false;       // it holds child elements
        bool campi = false;       // its fields are wanted
    };
    // Where the content being read goes: the person's fingerprint or the supply's content (none when not wanted).
    lettura::Impronta* ImprontaDelContenuto(PersonaDelContenuto* persona) {
        if (!m_lettura.VuoleImpronte())
            return nullptr;
        return persona ? &persona->impronta : &m_lettura.ContenutoDellaFornitura();
    }
    // The person's element opened at depth `profondita`: its place among the supply's content.
    void PersonaNelContenuto(int nodo, std::string_view nome, int profondita, PersonaDelContenuto& persona);

    lettura::Lettura& m_lettura;
    const lettura::SchemaDistinta& m_schema;
    std::vector<Aperto> m_aperti; // by depth, from the root; reused, not shrunk
    std::string m_percorsoFornitura, m_percorsoPersona;
    std::map<std::string, int> m_volteFornitura, m_voltePersona; // how many times each field's name came
    bool m_campiFornitura = false, m_campiPersona = false;       // the fields of the supply's own, of the person's
    bool m_apertaPersona = false;                                // the element opening next is the person's
    int m_profonditaPersona = 0;                                 // of the person's element
    bool m_traPersone = false;                                   // the supply's content has persons as its last item
    std::size_t m_profonditaContenuto = 0;                       // of the element the content is in
};

} // namespace formati::inps
