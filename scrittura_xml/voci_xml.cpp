#include "scrittura_xml/voci_xml.h"

#include "lettura/lettura_file.h"
#include "shell/errore.h"
#include "xml/primo_testo.h"

#include <string>
#include <vector>

namespace scrittura_xml {

namespace {

bool Vale(const Condizione& c, const Fonte& f) {
    switch (c.se) {
    case Se::Sempre:
        return true;
    case Se::Vuota:
        return f.Riga().Vuota(c.colonna);
    case Se::NonVuota:
        return !f.Riga().Vuota(c.colonna);
    case Se::NonVuote:
        return !f.Riga().Vuota(c.colonna) && !f.Riga().Vuota(c.colonna2);
    case Se::NumeroNonZero:
        return f.Riga().NumeroIniziale(c.colonna) != 0;
    case Se::OgniSettimana:
        return true; // repeated by ScriviVoci
    case Se::InSospeso:
        return f.Sospeso() && !f.Sospeso()->empty();
    }
    return false;
}

// The week being written, and the column of its list.
struct SettimanaInCorso {
    const Settimana* settimana;
    int colonna;
};

// The text of a value as it goes into the document: a view into the line or the table where it is
// there as it goes, else made in `appoggio`.
std::string_view Testo(const Valore& v, const Fonte& f, const SettimanaInCorso* s, std::string& appoggio) {
    switch (v.da) {
    case Da::Nulla:
        return {};
    case Da::Fisso:
        return v.fisso;
    case Da::Colonna:
        return f.Riga().Codifica(v.colonna, f.Riga()[v.colonna], appoggio);
    case Da::Imponibile:
        return appoggio = FormatoImponibile(f.Riga().NumeroIniziale(v.colonna));
    case Da::Intero:
        return appoggio = std::to_string(f.Riga().LeggiIntero(v.colonna));
    case Da::Data:
        return appoggio = DataISO(f.Riga().LeggiData(v.colonna));
    case Da::IdSettimana:
        return f.Riga().Codifica(s->colonna, s->settimana->id, appoggio);
    case Da::TipoCopertura:
        return f.Riga().Codifica(s->colonna, s->settimana->copertura, appoggio);
    case Da::Proprio:
        return appoggio = f.ValoreProprio(v, s ? s->settimana : nullptr);
    }
    return {};
}

void ScriviVoce(const Voce& v, const Fonte& f, const SettimanaInCorso* s, ScrittoreXML& xml, std::string& appoggio) {
    switch (v.forma) {
    case Forma::Apri:
        if (v.valore.da == Da::Nulla)
            xml.Apri(v.profondita, v.tag);
        else
            xml.Apri(v.profondita, v.tag, Testo(v.valore, f, s, appoggio));
        break;
    case Forma::Chiudi:
        xml.Chiudi(v.profondita, v.tag);
        break;
    case Forma::Elemento:
        xml.Elemento(v.profondita, v.tag, Testo(v.valore, f, s, appoggio));
        break;
    case Forma::Propria:
        f.ScriviPropria(v, xml);
        break;
    case Forma::Sospeso:
        xml.Riga(0, *f.Sospeso());
        f.Sospeso()->clear();
        break;
    }
}

} // namespace

std::string Fonte::ValoreProprio(const Valore& valore, const Settimana*) const {
    throw shell::ErroreElaborazione("Valore senza fonte (codice " + std::to_string(valore.proprio) + ")");
}

void Fonte::ScriviPropria(const Voce& voce, ScrittoreXML&) const {
    throw shell::ErroreElaborazione("Riga di tabella senza fonte <" + std::string(voce.tag) + ">");
}

void ScriviVoci(std::span<const Voce> voci, const Fonte& fonte, ScrittoreXML& xml) {
    std::string appoggio; // the values made rather than found
    for (std::size_t i = 0; i < voci.size();) {
        const Voce& voce = voci[i];
        if (voce.quando.se != Se::OgniSettimana) {
            if (Vale(voce.quando, fonte))
                ScriviVoce(voce, fonte, nullptr, xml, appoggio);
            ++i;
            continue;
        }
        // The rows of one week, written once per item in the list's order.
        std::size_t fine = i;
        while (fine < voci.size() && voci[fine].quando == voce.quando)
            ++fine;
        const int colonna = voce.quando.colonna;
        for (const Settimana& settimana : fonte.Riga().Settimane(colonna)) {
            const SettimanaInCorso inCorso{&settimana, colonna};
            for (std::size_t k = i; k < fine; ++k)
                ScriviVoce(voci[k], fonte, &inCorso, xml, appoggio);
        }
        i = fine;
    }
}

std::optional<std::string> TitolareDelDocumento(const std::filesystem::path& file,
                                                std::span<const std::string_view> percorso) {
    try {
        lettura::FileInLettura lettura(file);
        return xml::PrimoTesto([&lettura](char* dove, std::size_t quanti) { return lettura.Leggi(dove, quanti); },
                               percorso);
    } catch (const lettura::ErroreFile&) {
        return std::nullopt;
    }
}

} // namespace scrittura_xml
