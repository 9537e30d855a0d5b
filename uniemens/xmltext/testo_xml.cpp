#include "testo_xml.h"

#include <algorithm>
#include <cmath>

namespace uniemens::xmltext {

namespace {

// Every occurrence of `cerca`, left to right, without overlapping; the text put in is not searched.
std::string SostituisciTutti(std::string_view testo, std::string_view cerca, std::string_view con) {
    std::string risultato;
    risultato.reserve(testo.size());
    std::size_t inizio = 0;
    for (auto trovato = testo.find(cerca); trovato != std::string_view::npos;
         trovato = testo.find(cerca, inizio)) {
        risultato.append(testo, inizio, trovato - inizio);
        risultato += con;
        inizio = trovato + cerca.size();
    }
    risultato.append(testo, inizio);
    return risultato;
}

} // namespace

std::string Tabulazioni(int n) { return std::string(n > 0 ? static_cast<std::size_t>(n) : 0, '\t'); }

void CodificaXML(std::string& campo) {
    // Most values hold nothing to escape: one look at each character, and no copy.
    const auto daCodificare = [](char c) { return c == '&' || c == '\'' || c == '"' || c == '<' || c == '>'; };
    const auto primo = std::find_if(campo.begin(), campo.end(), daCodificare);
    if (primo == campo.end())
        return;
    // One pass gives what the five replacements in their order give: "&" goes first there, and no
    // reference put in holds one of the other four characters.
    std::string codificato;
    codificato.reserve(campo.size() + 16);
    codificato.append(campo.begin(), primo);
    for (auto i = primo; i != campo.end(); ++i) {
        switch (*i) {
        case '&': codificato += "&amp;"; break;
        case '\'': codificato += "&apos;"; break;
        case '"': codificato += "&quot;"; break;
        case '<': codificato += "&lt;"; break;
        case '>': codificato += "&gt;"; break;
        default: codificato += *i;
        }
    }
    campo = std::move(codificato);
}

std::string DecodificaXML(std::string_view campo) {
    std::string testo = SostituisciTutti(campo, "&amp;", "&");
    testo = SostituisciTutti(testo, "&apos;", "'");
    testo = SostituisciTutti(testo, "&quot;", "\"");
    testo = SostituisciTutti(testo, "&lt;", "<");
    return SostituisciTutti(testo, "&gt;", ">");
}

std::string_view Tronca(std::string_view testo, std::size_t n) {
    return testo.size() > n ? testo.substr(0, n) : testo;
}

std::string_view TroncaCodificato(std::string_view testo, std::size_t n) {
    std::string_view taglio = Tronca(testo, n);
    if (taglio.size() == testo.size())
        return taglio;
    const auto e = taglio.rfind('&');
    if (e != std::string_view::npos && taglio.find(';', e) == std::string_view::npos)
        taglio = taglio.substr(0, e);
    return taglio;
}

std::string TogliPunti(std::string_view testo) {
    std::string risultato;
    risultato.reserve(testo.size());
    for (char c : testo)
        if (c != '.')
            risultato += c;
    return risultato;
}

double Arrotonda(double x) {
    const double intero = std::floor(x);
    return std::floor((x - intero) * 10) > 4 ? intero + 1 : intero;
}

void ScrittoreXML::Dichiarazione() {
    m_riga.assign(DichiarazioneXML);
    Invia();
}

void ScrittoreXML::Rientra(int profondita) {
    m_riga.clear(); // keeps the buffer for the next lines
    m_riga += Tabulazioni(profondita);
}

void ScrittoreXML::Apri(int profondita, std::string_view tag) {
    Rientra(profondita);
    m_riga += '<';
    m_riga += tag;
    m_riga += '>';
    Invia();
}

void ScrittoreXML::Chiudi(int profondita, std::string_view nome) {
    Rientra(profondita);
    m_riga += "</";
    m_riga += nome;
    m_riga += '>';
    Invia();
}

void ScrittoreXML::Elemento(int profondita, std::string_view nome, std::string_view valore) {
    Rientra(profondita);
    m_riga += '<';
    m_riga += nome;
    m_riga += '>';
    m_riga += valore;
    m_riga += "</";
    m_riga += nome;
    m_riga += '>';
    Invia();
}

void ScrittoreXML::Riga(int profondita, std::string_view testo) {
    Rientra(profondita);
    m_riga += testo;
    Invia();
}

void ScrittoreXML::Invia() { m_destinazione(m_riga); }

ScrittoreXML::Destinazione UnisciRighe(std::string& testo) {
    return [&testo, prima = true](std::string_view riga) mutable {
        if (!prima)
            testo += "\r\n";
        prima = false;
        testo += riga;
    };
}

} // namespace uniemens::xmltext
