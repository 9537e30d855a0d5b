#include "uniemens/voci.h"

#include "scrittura_xml/testo_xml.h"

#include <charconv>
#include <string>

namespace uniemens {

std::string FonteUniemens::ValoreProprio(const scrittura_xml::Valore& v, const scrittura_xml::Settimana*) const {
    switch (v.proprio) {
    case Tronca50:
        return std::string(scrittura_xml::TroncaCodificato(Riga()[v.colonna], RagioneSocialeMassima));
    case AnnoMese:
        return CifreMinime(m_periodo->anno, 2) + "-" + CifreMinime(m_periodo->mese, 2);
    case Contributo: {
        const Importo importo = Riga().LeggiImporto(v.colonna);
        m_totali->debito.Aggiungi(importo);
        return FormatoContributo(importo);
    }
    case NumeroDenunce:
        return std::to_string(m_totali->denunce);
    case TotaleADebito:
        return std::to_string(m_totali->debito.ArrotondataSullaPrimaDecimale());
    case TotaleACredito:
        return std::to_string(m_totali->credito.ArrotondataSullaPrimaDecimale());
    }
    return scrittura_xml::Fonte::ValoreProprio(v, nullptr);
}

// Days 1 to D of the declared month, each worked when its flag is exactly "S"; a day without a flag
// is not worked, flags past D are ignored.
void FonteUniemens::ScriviPropria(const Voce& voce, scrittura_xml::ScrittoreXML& xml) const {
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
        if (m_calendario)
            xml.Riga(0, m_calendario->Giorno(k, f == "S", voce.profondita));
        else
            ScriviGiorno(k, f == "S", voce.profondita, xml);
    }
}

void ScriviGiorno(int k, bool lavorato, int profondita, scrittura_xml::ScrittoreXML& xml) {
    char giorno[4];
    const auto fine = std::to_chars(giorno, giorno + sizeof giorno, k).ptr;
    const auto& [apri, lavoro, chiudi] = GiornoDelCalendario;
    const int scarto = profondita - apri.profondita;
    xml.Apri(apri.profondita + scarto, apri.tag, std::string_view(giorno, static_cast<std::size_t>(fine - giorno)));
    xml.Elemento(lavoro.profondita + scarto, lavoro.tag, lavorato ? "S" : "N");
    xml.Chiudi(chiudi.profondita + scarto, chiudi.tag);
}

std::string_view Calendario::Giorno(int k, bool lavorato, int profondita) {
    std::string& righe = m_giorni[k - 1][lavorato];
    int& fatte = m_profondita[k - 1][lavorato]; // the depth the lines were made at, plus one
    if (fatte != profondita + 1) {
        righe.clear();
        scrittura_xml::ScrittoreXML xml(righe);
        ScriviGiorno(k, lavorato, profondita, xml);
        fatte = profondita + 1;
    }
    return righe;
}

} // namespace uniemens
