// The XML reader's characters: lines and columns, the errors at a place, characters decoded, described and
// delivered.

#include "xml/caratteri.h"

#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace xml {

// ---- Lines and columns

// In UTF-8 the column of q counts the characters from the checkpoint, which moves to q; in the
// other encodings every byte is a character and the checkpoint stays at the line's beginning.
void LettoreXML::AvanzaPunto(const char* q) {
    const std::int64_t offset = Offset(q);
    if (m_codifica != Codifica::Utf8 || offset <= m_offsetPunto)
        return;
    for (const char* c = m_dati + (m_offsetPunto - m_base); c < q; ++c)
        if ((U(*c) & 0xC0) != 0x80)
            ++m_colonnaPunto;
    m_offsetPunto = offset;
}

// Past the line end at p: LF, CR LF or a CR alone.
void LettoreXML::FineRiga(const char*& p) {
    if (*p == '\r' && (p[1] == '\n' || (p + 1 == m_fine && Garantisci(p, 2) && p[1] == '\n'))) {
        p += 2;
    } else {
        ++p;
        ++m_nonCRLF;
    }
    NuovaRiga(p);
}

void LettoreXML::Errore(Posizione dove, std::string motivo, bool benFormato) {
    m_stato = Stato::Errore;
    m_errore.emplace(dove.riga, dove.colonna, std::move(motivo), benFormato);
    throw *m_errore;
}

void LettoreXML::Errore(const char* dove, std::string motivo) { Errore(Dove(dove), std::move(motivo)); }

// An error at the character at p, described between `prima` and `dopo`: described first, since its
// description may read on, and with it p.
void LettoreXML::ErroreCarattere(const char*& p, std::string_view prima, std::string_view dopo) {
    std::string motivo(prima);
    motivo.append(Descrivi(p)).append(dopo);
    Errore(p, std::move(motivo));
}

// ---- Characters

// The character at p, whose first byte is 0x80 or above, read according to the encoding; p moves
// past it.
char32_t LettoreXML::LeggiCarattere(const char*& p) {
    if (m_codifica == Codifica::Iso88591)
        return U(*p++);
    if (m_codifica == Codifica::UsAscii)
        Errore(p, "byte " + EsaByte(U(*p)) + " non ammesso nella codifica US-ASCII");
    Garantisci(p, 4);
    char32_t c;
    int lunghezza;
    if (!DecodificaUtf8(p, m_fine, c, lunghezza)) {
        std::string byte;
        for (int i = 0; i < lunghezza; ++i)
            byte.append(" ").append(EsaByte(U(p[i])));
        Errore(p, "sequenza UTF-8 non valida: byte" + byte);
    }
    if (!CarattereXML(c))
        Errore(p, "carattere " + CodicePunto(c) + " non ammesso in XML");
    p += lunghezza;
    return c;
}

void LettoreXML::AggiungiCarattere(std::string& destinazione, char32_t c, bool& sostituiti) {
    if (c <= 0xFF) {
        destinazione += static_cast<char>(c);
    } else {
        if (&destinazione == &m_testoCopia)
            m_altri.push_back({destinazione.size(), c});
        destinazione += '?';
        sostituiti = true;
    }
}

std::string_view TestoCanonico(std::string_view testo, std::span<const CarattereAltro> altri, std::string& appoggio) {
    if (altri.empty() && testo.find('&') == std::string_view::npos)
        return testo;
    appoggio.clear();
    std::size_t prossimo = 0; // in altri
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if (prossimo < altri.size() && altri[prossimo].posizione == i)
            appoggio.append(shell::RiferimentoCarattere(altri[prossimo++].codice));
        else if (testo[i] == '&')
            appoggio.append("&amp;");
        else
            appoggio += testo[i];
    }
    return appoggio;
}

std::string TestoConRiferimenti(std::string_view testo, std::span<const CarattereAltro> altri) {
    std::string scritto;
    std::size_t da = 0;
    for (const CarattereAltro& a : altri) {
        scritto.append(testo.substr(da, a.posizione - da)).append(shell::RiferimentoCarattere(a.codice));
        da = a.posizione + 1;
    }
    return scritto.append(testo.substr(std::min(da, testo.size())));
}

// The character at p for a message: "carattere 'x'", "carattere 0x0C", "carattere U+20AC", "byte
// 0xC3", or the end of the document.
std::string LettoreXML::Descrivi(const char*& p) {
    const unsigned char u = U(*p);
    if (u == 0 && p == m_fine)
        return "fine del documento";
    if (u >= 0x80 && m_codifica == Codifica::UsAscii)
        return "byte " + EsaByte(u);
    if (u >= 0x80 && m_codifica == Codifica::Utf8) {
        Garantisci(p, 4);
        char32_t c;
        int lunghezza;
        if (!DecodificaUtf8(p, m_fine, c, lunghezza))
            return "byte " + EsaByte(u);
        if (c > 0xFF)
            return "carattere " + CodicePunto(c);
        return std::string("carattere '") + static_cast<char>(c) + "'";
    }
    if (u < 0x20 || (u >= 0x7F && u < 0xA0))
        return "carattere " + EsaByte(u);
    return std::string("carattere '") + static_cast<char>(u) + "'";
}

// A name as the document writes it, as ISO-8859-1.
std::string LettoreXML::Latin1(std::string_view grezzo, bool* sostituiti) const {
    if (m_codifica != Codifica::Utf8)
        return std::string(grezzo);
    std::string testo;
    const char* fine = grezzo.data() + grezzo.size();
    for (const char* q = grezzo.data(); q < fine;) {
        char32_t c = U(*q);
        int lunghezza = 1;
        if (c >= 0x80 && !DecodificaUtf8(q, fine, c, lunghezza))
            c = '?';
        q += lunghezza;
        if (c > 0xFF) {
            c = '?';
            if (sostituiti)
                *sostituiti = true;
        }
        testo += static_cast<char>(c);
    }
    return testo;
}

} // namespace xml
