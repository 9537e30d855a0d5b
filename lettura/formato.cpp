#include "lettura/formato.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <vector>

namespace lettura {

namespace {

// The first line, without its end (CR LF, LF or CR); the whole text when it has no line end.
std::string_view PrimaRiga(std::string_view testo) {
    const auto fine = testo.find_first_of("\r\n");
    return fine == std::string_view::npos ? testo : testo.substr(0, fine);
}

// The name of the root element: the first element after the declaration, processing instructions,
// comments and blanks (a byte order mark at the start is skipped).
std::optional<std::string_view> Radice(std::string_view testo) {
    if (testo.substr(0, 3) == "\xEF\xBB\xBF")
        testo.remove_prefix(3);
    std::size_t i = 0;
    while (i < testo.size()) {
        const char c = testo[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '<')
            return std::nullopt;
        const std::string_view resto = testo.substr(i);
        if (resto.substr(0, 2) == "<?") {
            const auto fine = resto.find("?>");
            if (fine == std::string_view::npos)
                return std::nullopt;
            i += fine + 2;
        } else if (resto.substr(0, 4) == "<!--") {
            const auto fine = resto.find("-->");
            if (fine == std::string_view::npos)
                return std::nullopt;
            i += fine + 3;
        } else if (resto.substr(0, 9) == "<!DOCTYPE") {
            // Its internal subset in brackets, when it has one (the reader refuses it in an INPS document).
            const auto parentesi = resto.find_first_of("[>");
            const auto fine = parentesi != std::string_view::npos && resto[parentesi] == '['
                                  ? resto.find("]>", parentesi)
                                  : parentesi;
            if (fine == std::string_view::npos)
                return std::nullopt;
            i += fine + (resto[fine] == ']' ? 2 : 1);
        } else {
            const auto nome = resto.substr(1, resto.find_first_of(" \t\r\n/>", 1) - 1);
            return nome;
        }
    }
    return std::nullopt;
}

// The format of the root element's name.
std::optional<Formato> DellaRadice(std::string_view radice) {
    if (radice == "DenunceMensili")
        return Formato::Uniemens;
    if (radice == "DenunceRetributiveMensili")
        return Formato::Emens;
    return std::nullopt;
}

} // namespace

const DescrizioneFormato& Descrizione(Formato formato) {
    for (const auto& d : Formati)
        if (d.formato == formato)
            return d;
    throw std::logic_error("Formato sconosciuto");
}

std::optional<Formato> FormatoDaComando(std::string_view comando) {
    for (const auto& d : Formati)
        if (std::equal(d.comando.begin(), d.comando.end(), comando.begin(), comando.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return d.formato;
    return std::nullopt;
}

std::optional<Formato> RiconosciFormato(std::string_view inizio) {
    // A first record damaged in its length is still recognised by its fixed content, so that the check
    // can name what is wrong with it.
    const std::string_view riga = PrimaRiga(inizio);
    const auto contiene = [&](std::size_t posizione, std::string_view testo) {
        return riga.size() >= posizione - 1 + testo.size() && riga.substr(posizione - 1, testo.size()) == testo;
    };
    if (riga.substr(0, 1) == "A" && contiene(16, "77S11"))
        return Formato::Semplificato770;
    if ((riga.substr(0, 1) == "A" && contiene(16, "INP05")) || (riga.size() == 1898 && riga[0] == 'Z'))
        return Formato::Dma;
    if ((riga.substr(0, 1) == "1" && (riga.size() == 280 || contiene(255, "MIVA20080601"))) ||
        (riga.size() == 120 && riga[0] == '4') || (riga.size() == 25 && riga[0] == '9'))
        return Formato::Tfr;
    if (const auto radice = Radice(inizio))
        return DellaRadice(*radice);
    return std::nullopt;
}

bool InizioXml(std::string_view inizio) {
    const auto primo = inizio.find_first_not_of(" \t\r\n");
    return primo != std::string_view::npos && inizio[primo] == '<';
}

std::optional<Formato> RiconosciRadice(FileInLettura& file) {
    // Byte by byte: blanks, then "<?" to "?>", "<!--" to "-->", "<!DOCTYPE" to ">" (or "]>" after a "["),
    // or the name of the first element.
    enum class Dove { Fuori, Minore, Istruzione, Esclamativo, Commento, Dichiarazione, Nome } dove = Dove::Fuori;
    std::string letto; // of "<!...", or the name
    bool parentesi = false;
    char prima = 0, primaAncora = 0;
    std::vector<char> pezzo(FileInLettura::Pezzo);
    for (std::size_t n; (n = file.Leggi(pezzo.data(), pezzo.size())) > 0;) {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = pezzo[i];
            switch (dove) {
            case Dove::Fuori:
                if (c == '<')
                    dove = Dove::Minore;
                else if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                    return std::nullopt;
                break;
            case Dove::Minore:
                letto.clear();
                dove = c == '?' ? Dove::Istruzione : c == '!' ? Dove::Esclamativo : Dove::Nome;
                if (dove == Dove::Nome)
                    letto += c;
                break;
            case Dove::Istruzione:
                if (prima == '?' && c == '>')
                    dove = Dove::Fuori;
                break;
            case Dove::Esclamativo:
                letto += c;
                if (letto == "--")
                    dove = Dove::Commento;
                else if (letto == "DOCTYPE")
                    dove = Dove::Dichiarazione;
                else if (letto.size() >= 7)
                    return std::nullopt;
                break;
            case Dove::Commento:
                if (primaAncora == '-' && prima == '-' && c == '>')
                    dove = Dove::Fuori;
                break;
            case Dove::Dichiarazione:
                if (c == '[')
                    parentesi = true;
                if (c == '>' && (!parentesi || prima == ']'))
                    dove = Dove::Fuori;
                break;
            case Dove::Nome:
                if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>')
                    return DellaRadice(letto);
                letto += c;
                if (letto.size() > 64)
                    return std::nullopt;
                break;
            }
            primaAncora = prima;
            prima = c;
        }
    }
    return std::nullopt;
}

std::string NonRiconosciuto(std::string_view inizio) {
    const std::string nessuno = "il file non \xE8 una fornitura 770 Semplificato, INPDAP DMA, TFR 2008, UniEmens o "
                                "E-Mens (il formato si pu\xF2 indicare con --formato)";
    // UTF-16: its byte order mark, or text whose first two characters each have one byte NUL (an ASCII
    // letter's other byte), never both.
    const auto unoNullo = [&](std::size_t i) { return (inizio[i] == '\0') != (inizio[i + 1] == '\0'); };
    if (inizio.substr(0, 2) == "\xFF\xFE" || inizio.substr(0, 2) == "\xFE\xFF" ||
        (inizio.size() >= 4 && unoNullo(0) && unoNullo(2)))
        return "Formato non riconosciuto: il file \xE8 scritto in UTF-16 (due byte per carattere), mentre le forniture "
               "sono in ISO-8859-1 (un byte per carattere)";
    // NUL bytes: a file whose space was kept but never written (a copy cut short, a disk that failed).
    if (const std::size_t nulli = std::min(inizio.find_first_not_of('\0'), inizio.size()); nulli > 0) {
        const std::string quanti = nulli == 1 ? "un byte nullo" : std::to_string(nulli) + " byte nulli";
        const bool tutto = nulli == inizio.size() && inizio.size() < InizioPerRiconoscere;
        return "Formato non riconosciuto: il file " + std::string(tutto ? "\xE8 fatto solo di " : "comincia con ") +
               quanti + " (00), che nessuna fornitura contiene";
    }
    if (inizio.substr(0, 3) == "\xEF\xBB\xBF") {
        std::string causa = "Formato non riconosciuto: " + std::string(SegnoBom);
        if (const auto dopo = RiconosciFormato(inizio.substr(3)))
            causa += ": tolto il BOM, sarebbe una fornitura " + std::string(Descrizione(*dopo).nome);
        return causa;
    }
    return "Formato non riconosciuto: " + nessuno;
}

} // namespace lettura
