#include "scrittura_xml/testo_xml.h"

#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace scrittura_xml {

namespace {

// Every occurrence of `cerca`, left to right, without overlapping; the text put in is not searched.
std::string SostituisciTutti(std::string_view testo, std::string_view cerca, std::string_view con) {
    std::string risultato;
    risultato.reserve(testo.size());
    std::size_t inizio = 0;
    for (auto trovato = testo.find(cerca); trovato != std::string_view::npos; trovato = testo.find(cerca, inizio)) {
        risultato.append(testo, inizio, trovato - inizio);
        risultato += con;
        inizio = trovato + cerca.size();
    }
    risultato.append(testo, inizio);
    return risultato;
}

} // namespace

std::string Tabulazioni(int n) { return std::string(n > 0 ? static_cast<std::size_t>(n) : 0, '\t'); }

namespace {

// The reference that stands for a character in the document; empty for a character written as it is.
constexpr std::string_view Riferimento(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '\'':
        return "&apos;";
    case '"':
        return "&quot;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    default:
        return {};
    }
}

// By character code: the characters that a character takes in the document, less one.
constexpr std::array<std::uint8_t, 256> CaratteriAggiunti = [] {
    std::array<std::uint8_t, 256> aggiunti{};
    for (int c = 0; c < 256; ++c) {
        const auto r = Riferimento(static_cast<char>(c));
        aggiunti[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(r.empty() ? 0 : r.size() - 1);
    }
    return aggiunti;
}();

// CaratteriAggiunti by comparisons rather than a look-up, which a compiler can apply to many characters
// at once.
constexpr unsigned Aggiunti(unsigned char c) {
    return (c == '&') * 4u + (c == '\'' || c == '"') * 5u + (c == '<' || c == '>') * 3u;
}

constexpr bool AggiuntiComeTabella() {
    for (int c = 0; c < 256; ++c)
        if (Aggiunti(static_cast<unsigned char>(c)) != CaratteriAggiunti[static_cast<std::size_t>(c)])
            return false;
    return true;
}
static_assert(AggiuntiComeTabella(), "the comparisons give the table's count for every character");

} // namespace

void MaiuscoloCodificato(std::string_view testo, std::string& risultato) {
    const auto* t = reinterpret_cast<const unsigned char*>(testo.data());
    // Counted in stretches short enough for a 16-bit count (at most 5 a character), which a compiler
    // keeps many of at once.
    std::size_t aggiunti = 0;
    constexpr std::size_t Tratto = 8192;
    for (std::size_t inizio = 0; inizio < testo.size(); inizio += Tratto) {
        const std::size_t fine = std::min(testo.size(), inizio + Tratto);
        std::uint16_t tratto = 0;
        for (std::size_t i = inizio; i < fine; ++i)
            tratto = static_cast<std::uint16_t>(tratto + Aggiunti(t[i]));
        aggiunti += tratto;
    }
    risultato.resize(testo.size() + aggiunti);
    char* a = risultato.data();
    // Upper case leaves the five characters alone and makes none of them, so the stretches between
    // them are upper-cased whole and the references put in as they are; after the last one the rest
    // of the line is one stretch.
    std::size_t i = 0;
    while (aggiunti > 0) {
        std::size_t j = i;
        while (CaratteriAggiunti[t[j]] == 0)
            ++j;
        shell::CopiaInMaiuscolo(testo.substr(i, j - i), a);
        a += j - i;
        const std::string_view r = Riferimento(testo[j]);
        std::memcpy(a, r.data(), r.size());
        a += r.size();
        aggiunti -= r.size() - 1;
        i = j + 1;
    }
    shell::CopiaInMaiuscolo(testo.substr(i), a);
}

void CodificaXML(std::string& campo) {
    // One pass gives what the five replacements in their order give: "&" goes first there, and no
    // reference put in holds one of the other four characters. One look at each character sizes the
    // result and finds the first and the last character to escape (most values hold none, and are left
    // alone); then the text grows in place: what follows the last moves to the end in one piece, and
    // the stretch between the two is filled from its end.
    std::size_t aggiunti = 0;
    std::size_t primo = 0;
    std::size_t ultimo = 0;
    for (std::size_t i = 0; i < campo.size(); ++i)
        if (const std::size_t a = CaratteriAggiunti[static_cast<unsigned char>(campo[i])]; a != 0) {
            if (aggiunti == 0)
                primo = i;
            ultimo = i;
            aggiunti += a;
        }
    if (aggiunti == 0)
        return;
    const std::size_t vecchia = campo.size();
    campo.resize(vecchia + aggiunti);
    char* const inizio = campo.data();
    std::memmove(inizio + ultimo + 1 + aggiunti, inizio + ultimo + 1, vecchia - ultimo - 1);
    char* scritto = inizio + ultimo + 1 + aggiunti;
    for (std::size_t i = ultimo + 1; i-- > primo;) {
        const char c = inizio[i];
        if (CaratteriAggiunti[static_cast<unsigned char>(c)] == 0) {
            *--scritto = c;
            continue;
        }
        const std::string_view r = Riferimento(c);
        scritto -= r.size();
        std::memcpy(scritto, r.data(), r.size());
    }
}

bool DaCodificare(std::string_view testo) {
    for (const char c : testo)
        if (CaratteriAggiunti[static_cast<unsigned char>(c)] != 0)
            return true;
    return false;
}

std::string DecodificaXML(std::string_view campo) {
    std::string testo = SostituisciTutti(campo, "&amp;", "&");
    testo = SostituisciTutti(testo, "&apos;", "'");
    testo = SostituisciTutti(testo, "&quot;", "\"");
    testo = SostituisciTutti(testo, "&lt;", "<");
    return SostituisciTutti(testo, "&gt;", ">");
}

std::string_view Tronca(std::string_view testo, std::size_t n) { return testo.size() > n ? testo.substr(0, n) : testo; }

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

namespace {

char* Copia(char* a, std::string_view testo) {
    if (!testo.empty())
        std::memcpy(a, testo.data(), testo.size());
    return a + testo.size();
}

} // namespace

ScrittoreXML::ScrittoreXML(Modo modo, Destinazione righe, DestinazioneTesto pezzi, std::string* testo)
    : m_modo(modo), m_righe(std::move(righe)), m_pezzi(std::move(pezzi)), m_unite(testo) {
    if (m_modo == Modo::Pezzi)
        m_buffer.resize(DimensionePezzo + 256);
}

ScrittoreXML::ScrittoreXML(Destinazione destinazione)
    : ScrittoreXML(Modo::Righe, std::move(destinazione), nullptr, nullptr) {}

ScrittoreXML::ScrittoreXML(std::string& testo) : ScrittoreXML(Modo::Unite, nullptr, nullptr, &testo) {}

ScrittoreXML ScrittoreXML::PerPezzi(DestinazioneTesto destinazione) {
    return ScrittoreXML(Modo::Pezzi, nullptr, std::move(destinazione), nullptr);
}

ScrittoreXML::~ScrittoreXML() {
    if (m_modo != Modo::Pezzi || m_usati == 0)
        return;
    try {
        m_pezzi(std::string_view(m_buffer.data(), m_usati));
    } catch (...) {
        // The run is already stopping with its own error.
    }
}

void ScrittoreXML::Svuota() {
    if (m_modo != Modo::Pezzi || m_usati == 0)
        return;
    const std::size_t usati = m_usati;
    m_usati = 0; // handed over even when the destination fails
    m_pezzi(std::string_view(m_buffer.data(), usati));
}

namespace {

// Room beyond a line that the buffer always keeps, so that the TABs of a line are written as one
// piece of Margine characters (what goes past them is written over by the line, or lies past its end).
constexpr std::size_t Margine = 8;
constexpr char TabMargine[Margine + 1] = "\t\t\t\t\t\t\t\t";

} // namespace

char* ScrittoreXML::Inizia(int profondita, std::size_t lunghezza) {
    const std::size_t tab = profondita > 0 ? static_cast<std::size_t>(profondita) : 0;
    char* a;
    if (m_modo == Modo::Unite) {
        const bool separa = !m_prima;
        m_prima = false;
        const std::size_t inizio = m_unite->size();
        m_unite->resize(inizio + (separa ? 2 : 0) + tab + lunghezza);
        a = m_unite->data() + inizio;
        if (separa) {
            *a++ = '\r';
            *a++ = '\n';
        }
        std::memset(a, '\t', tab);
        return a + tab;
    }
    const std::size_t fine = m_modo == Modo::Pezzi ? 2 : 0; // CR LF after the line
    const std::size_t serve = tab + lunghezza + fine;
    if (m_buffer.size() - m_usati < serve + Margine)
        m_buffer.resize(std::max(m_buffer.size() * 2, m_usati + serve + Margine));
    a = m_buffer.data() + m_usati;
    m_usati += serve;
    if (tab <= Margine)
        std::memcpy(a, TabMargine, Margine);
    else
        std::memset(a, '\t', tab);
    if (fine != 0) {
        a[serve - 2] = '\r';
        a[serve - 1] = '\n';
    }
    return a + tab;
}

void ScrittoreXML::Finisci() {
    switch (m_modo) {
    case Modo::Righe: {
        const std::size_t usati = m_usati;
        m_usati = 0;
        m_righe(std::string_view(m_buffer.data(), usati));
        break;
    }
    case Modo::Unite:
        break;
    case Modo::Pezzi:
        if (m_usati >= DimensionePezzo)
            Svuota();
        break;
    }
}

void ScrittoreXML::Dichiarazione() { Riga(0, DichiarazioneXML); }

void ScrittoreXML::Apri(int profondita, std::string_view tag) {
    char* a = Inizia(profondita, tag.size() + 2);
    *a++ = '<';
    a = Copia(a, tag);
    *a = '>';
    Finisci();
}

void ScrittoreXML::Apri(int profondita, std::string_view tagAttributo, std::string_view valore) {
    char* a = Inizia(profondita, tagAttributo.size() + valore.size() + 5);
    *a++ = '<';
    a = Copia(a, tagAttributo);
    *a++ = '=';
    *a++ = '"';
    a = Copia(a, valore);
    *a++ = '"';
    *a = '>';
    Finisci();
}

void ScrittoreXML::Chiudi(int profondita, std::string_view nome) {
    char* a = Inizia(profondita, nome.size() + 3);
    *a++ = '<';
    *a++ = '/';
    a = Copia(a, nome);
    *a = '>';
    Finisci();
}

void ScrittoreXML::Elemento(int profondita, std::string_view nome, std::string_view valore) {
    char* a = Inizia(profondita, 2 * nome.size() + valore.size() + 5);
    *a++ = '<';
    a = Copia(a, nome);
    *a++ = '>';
    a = Copia(a, valore);
    *a++ = '<';
    *a++ = '/';
    a = Copia(a, nome);
    *a = '>';
    Finisci();
}

void ScrittoreXML::Riga(int profondita, std::string_view testo) {
    Copia(Inizia(profondita, testo.size()), testo);
    Finisci();
}

ScrittoreXML::Destinazione UnisciRighe(std::string& testo) {
    return [&testo, prima = true](std::string_view riga) mutable {
        if (!prima)
            testo += "\r\n";
        prima = false;
        testo += riga;
    };
}

} // namespace scrittura_xml
