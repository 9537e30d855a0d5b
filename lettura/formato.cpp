#include "lettura/formato.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace verifica {

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
        } else {
            const auto nome = resto.substr(1, resto.find_first_of(" \t\r\n/>", 1) - 1);
            return nome;
        }
    }
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
    if (const auto radice = Radice(inizio)) {
        if (*radice == "DenunceMensili")
            return Formato::Uniemens;
        if (*radice == "DenunceRetributiveMensili")
            return Formato::Emens;
    }
    return std::nullopt;
}

} // namespace verifica
