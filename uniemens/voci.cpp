#include "voci.h"

#include "testo_xml.h"

#include <charconv>
#include <string>

namespace uniemens {

std::string FonteUniemens::ValoreProprio(const xmltext::Valore& v, const xmltext::Settimana*) const {
    switch (v.proprio) {
    case Tronca50: return std::string(xmltext::TroncaCodificato(Riga()[v.colonna], 50));
    case AnnoMese: return CifreMinime(m_periodo->anno, 2) + "-" + CifreMinime(m_periodo->mese, 2);
    case Contributo: {
        const Importo importo = Riga().LeggiImporto(v.colonna);
        m_totali->debito.Aggiungi(importo);
        return FormatoContributo(importo);
    }
    case NumeroDenunce: return std::to_string(m_totali->denunce);
    case TotaleADebito: return std::to_string(m_totali->debito.Arrotondata());
    case TotaleACredito: return std::to_string(m_totali->credito.Arrotondata());
    }
    return xmltext::Fonte::ValoreProprio(v, nullptr);
}

// Days 1 to D of the declared month, each worked when its flag is exactly "S"; a day without a flag
// is not worked, flags past D are ignored.
void FonteUniemens::ScriviPropria(const Voce& voce, xmltext::ScrittoreXML& xml) const {
    // The flags are the items of the list (ElementiLista, empty ones kept), taken as the days come.
    std::string_view resto = Riga()[voce.valore.colonna];
    bool finiti = resto.empty();
    for (int k = 1; k <= 31 && k <= m_periodo->giorni; ++k) {
        std::string_view f = "N";
        if (!finiti) {
            const auto separatore = resto.find(SeparatoreLista);
            f = resto.substr(0, separatore);
            finiti = separatore == std::string_view::npos;
            if (!finiti)
                resto.remove_prefix(separatore + 1);
        }
        char giorno[4];
        const auto fine = std::to_chars(giorno, giorno + sizeof giorno, k).ptr;
        xml.Apri(voce.profondita, "Giorno GG", std::string_view(giorno, static_cast<std::size_t>(fine - giorno)));
        xml.Elemento(voce.profondita + 1, "Lavorato", f == "S" ? "S" : "N");
        xml.Chiudi(voce.profondita, "Giorno");
    }
}

} // namespace uniemens
