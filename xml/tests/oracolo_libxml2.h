#pragma once
// The XML reader and libxml2 reading the same document, for the agreement test and the fuzzing
// harness: what each accepts, and what each reads of what it accepts.
//
// DaLasciareFuori recognises, from the document's own bytes, the documents where the two differ on
// purpose:
// - a DTD ("<!DOCTYPE"): the reader refuses every one, libxml2 reads them;
// - an encoding the reader does not take (UTF-16, UCS-4, EBCDIC, or declared other than ISO-8859-1,
//   UTF-8 and US-ASCII), or a UTF-8 byte order mark before another declared encoding (libxml2 then
//   believes the declaration);
// - a NUL byte: libxml2 takes it for the end of the document and accepts what came before;
// - a byte above 0x7F in a document declared US-ASCII: libxml2 stops converting there and accepts
//   what came before when the root element was already closed;
// - version "1." without a digit, which XML 1.0 refuses and libxml2 accepts with a warning.
// The documents compared must stay far below libxml2's size limits (10 MB for a text), which the
// reader does not have.

#include "xml/tests/eventi_xml.h"
#include "xml/lettore_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstdint>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace xml::test {

// ---- What each parser reads of a document

// Elements with their attributes (those of namespace declarations aside: libxml2 keeps them apart)
// and the texts between the tags, comments and processing instructions left out, as one text; or
// empty when the document is refused.
struct Lettura {
    bool accettato = false;
    std::string contenuto;
    std::vector<long> righe; // the line of each element's start tag
    std::string errore;
};

inline bool DichiarazioneDiSpazio(std::string_view nome) { return nome.substr(0, 5) == "xmlns"; }

inline void AggiungiTesto(std::string& contenuto, std::string& testo) {
    if (!testo.empty())
        contenuto.append("T").append(Citato(testo)).append("\n");
    testo.clear();
}

inline Lettura LeggiConIlLettore(std::string_view documento) {
    Lettura lettura;
    xml::LettoreXML lettore(FonteTesto(documento, 4093));
    std::string testo;
    try {
        for (xml::Evento e; (e = lettore.Prossimo()) != xml::Evento::FineDocumento;) {
            if (e == xml::Evento::Testo) {
                testo += lettore.Testo();
                continue;
            }
            AggiungiTesto(lettura.contenuto, testo);
            if (e == xml::Evento::InizioElemento) {
                lettura.contenuto.append("<").append(Escapato(lettore.Nome()));
                for (const xml::Attributo& a : lettore.Attributi())
                    if (!DichiarazioneDiSpazio(a.nome))
                        lettura.contenuto.append(" ").append(Escapato(a.nome)).append("=").append(Citato(a.valore));
                lettura.contenuto.append(">\n");
                lettura.righe.push_back(static_cast<long>(lettore.Riga()));
            } else {
                lettura.contenuto.append("</").append(Escapato(lettore.Nome())).append(">\n");
            }
        }
        lettura.accettato = true;
    } catch (const xml::ErroreXML& e) {
        lettura.errore = e.what();
    }
    return lettura;
}

// A libxml2 text (UTF-8) as the reader delivers texts: ISO-8859-1, "?" beyond.
inline std::string Latin1(const xmlChar* utf8) {
    std::string testo;
    if (!utf8)
        return testo;
    for (const unsigned char* p = utf8; *p;) {
        std::uint32_t c = *p;
        int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (n > 1)
            c &= 0x3F >> (n - 1);
        for (int i = 1; i < n && p[i]; ++i)
            c = c << 6 | (p[i] & 0x3F);
        p += n;
        testo += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    return testo;
}

inline std::string NomeQualificato(const xmlChar* nome, const xmlNs* ns) {
    std::string testo = ns && ns->prefix ? Latin1(ns->prefix) + ":" : "";
    return testo + Latin1(nome);
}

inline void Visita(const xmlNode* nodo, Lettura& lettura, std::string& testo) {
    for (; nodo; nodo = nodo->next) {
        if (nodo->type == XML_TEXT_NODE || nodo->type == XML_CDATA_SECTION_NODE) {
            testo += Latin1(nodo->content);
        } else if (nodo->type == XML_ELEMENT_NODE) {
            AggiungiTesto(lettura.contenuto, testo);
            const std::string nome = NomeQualificato(nodo->name, nodo->ns);
            lettura.contenuto.append("<").append(Escapato(nome));
            for (const xmlAttr* a = nodo->properties; a; a = a->next) {
                const std::string nomeAttributo = NomeQualificato(a->name, a->ns);
                if (DichiarazioneDiSpazio(nomeAttributo))
                    continue;
                xmlChar* valore = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
                lettura.contenuto.append(" ")
                    .append(Escapato(nomeAttributo))
                    .append("=")
                    .append(Citato(Latin1(valore)));
                xmlFree(valore);
            }
            lettura.contenuto.append(">\n");
            lettura.righe.push_back(xmlGetLineNo(nodo));
            Visita(nodo->children, lettura, testo);
            AggiungiTesto(lettura.contenuto, testo);
            lettura.contenuto.append("</").append(Escapato(nome)).append(">\n");
        }
    }
}

inline Lettura LeggiConLibxml2(std::string_view documento) {
    Lettura lettura;
    xmlDoc* doc = xmlReadMemory(documento.data(), static_cast<int>(documento.size()), "documento.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) {
        const xmlError* errore = xmlGetLastError();
        lettura.errore = errore && errore->message ? errore->message : "";
        return lettura;
    }
    lettura.accettato = true;
    std::string testo;
    Visita(xmlDocGetRootElement(doc), lettura, testo);
    xmlFreeDoc(doc);
    return lettura;
}

// ---- Where the two differ on purpose (see the top of the file)

inline bool DaLasciareFuori(std::string_view documento) {
    if (documento.find("<!DOCTYPE") != std::string_view::npos || documento.find('\0') != std::string_view::npos)
        return true;
    static const std::string_view Firme[] = {
        {"\x00\x00\xFE\xFF", 4}, {"\xFF\xFE\x00\x00", 4}, {"\x00\x00\x00\x3C", 4},
        {"\x3C\x00\x00\x00", 4}, {"\xFE\xFF", 2},         {"\xFF\xFE", 2},
        {"\x00\x3C\x00\x3F", 4}, {"\x3C\x00\x3F\x00", 4}, {"\x4C\x6F\xA7\x94", 4},
    };
    for (const std::string_view firma : Firme)
        if (documento.substr(0, firma.size()) == firma)
            return true;
    static const std::regex Dichiarazione(
        "^(\xEF\xBB\xBF)?<\\?xml[ \t\r\n]+version[ \t\r\n]*=[ \t\r\n]*(\"[^\"]*\"|'[^']*')"
        "([ \t\r\n]+encoding[ \t\r\n]*=[ \t\r\n]*(\"[^\"]*\"|'[^']*'))?");
    const std::string inizio(documento.substr(0, 400));
    std::smatch parti;
    if (!std::regex_search(inizio, parti, Dichiarazione))
        return false;
    const std::string versione = parti[2].str().substr(1, parti[2].length() - 2);
    if (versione == "1.")
        return true;
    if (!parti[4].matched)
        return false;
    std::string codifica = parti[4].str().substr(1, parti[4].length() - 2);
    for (char& c : codifica)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    const bool latin1 = codifica == "ISO-8859-1" || codifica == "ISO_8859-1" || codifica == "LATIN1";
    const bool utf8 = codifica == "UTF-8" || codifica == "UTF8";
    const bool ascii = codifica == "US-ASCII" || codifica == "ASCII";
    if (!latin1 && !utf8 && !ascii)
        return true;
    if (parti[1].matched && !utf8)
        return true;
    return ascii && std::any_of(documento.begin(), documento.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace xml::test
