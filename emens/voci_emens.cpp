#include "voci_emens.h"

#include "testo.h"

namespace emens {

namespace {

bool Vale(const Condizione& condizione, const Fonte& fonte) {
    const RigaEmens& riga = fonte.riga;
    switch (condizione.quando) {
    case Quando::Sempre:
        return true;
    case Quando::Vuota:
        return riga.Vuota(condizione.colonna);
    case Quando::NonVuota:
        return !riga.Vuota(condizione.colonna);
    case Quando::NonVuote:
        return !riga.Vuota(condizione.colonna) && !riga.Vuota(condizione.seconda);
    case Quando::NumeroNonZero:
        return riga.NumeroIniziale(condizione.colonna) != 0;
    case Quando::OgniSettimana:
        return true; // the group is repeated by ScriviVoci
    case Quando::InSospeso:
        return fonte.sospeso && !fonte.sospeso->empty();
    }
    return false;
}

std::string DataISO(const shell::Data& data) {
    return CifreMinime(data.anno, 4) + "-" + CifreMinime(data.mese, 2) + "-" + CifreMinime(data.giorno, 2);
}

// The text of a value as it goes into the document.
std::string ValoreVoce(const Valore& valore, const Fonte& fonte, const Settimana* settimana) {
    const RigaEmens& riga = fonte.riga;
    switch (valore.da) {
    case Da::Nulla:
        return {};
    case Da::Colonna:
        return riga.Valore(valore.colonna);
    case Da::Fisso:
        return std::string(valore.testo);
    case Da::AnnoMese:
        return riga.Valore(valore.colonna) + "-" + CifreMinime(riga.Intero(col::Mese), 2);
    case Da::Imponibile:
        return FormatoImponibile(riga.NumeroIniziale(valore.colonna));
    case Da::RetribTeorica:
        // The short layout has no column of its own: the taxable pay, when there are paid days.
        if (riga.Colonne() == col::ColonneTracciatoBreve)
            return std::to_string(riga.Intero(col::GiorniRetribuiti) != 0 ? riga.Intero(col::Imponibile) : 0);
        return std::to_string(riga.Intero(valore.colonna));
    case Da::Data:
        return DataISO(riga.Data(valore.colonna));
    case Da::Consolidamento: {
        const std::string_view tipo = shell::TogliSpazi(riga.Testo(valore.colonna));
        return tipo.empty() ? std::string("S") : riga.Codifica(valore.colonna, tipo);
    }
    case Da::IdSettimana:
        return riga.Codifica(col::Settimane, settimana->id);
    case Da::TipoCopertura:
        return riga.Codifica(col::Settimane, settimana->copertura);
    }
    return {};
}

void ScriviVoce(const Voce& voce, const Fonte& fonte, const Settimana* settimana,
                uniemens::xmltext::ScrittoreXML& xml) {
    switch (voce.forma) {
    case Forma::Apri:
        if (voce.valore.da == Da::Nulla)
            xml.Apri(voce.profondita, voce.nome);
        else
            xml.Apri(voce.profondita,
                     std::string(voce.nome) + "=\"" + ValoreVoce(voce.valore, fonte, settimana) + "\"");
        break;
    case Forma::Chiudi:
        xml.Chiudi(voce.profondita, voce.nome);
        break;
    case Forma::Elemento:
        xml.Elemento(voce.profondita, voce.nome, ValoreVoce(voce.valore, fonte, settimana));
        break;
    case Forma::Sospeso:
        xml.Riga(0, *fonte.sospeso);
        fonte.sospeso->clear();
        break;
    }
}

} // namespace

void ScriviVoci(std::span<const Voce> voci, const Fonte& fonte, uniemens::xmltext::ScrittoreXML& xml) {
    for (std::size_t i = 0; i < voci.size();) {
        const Voce& voce = voci[i];
        if (voce.quando.quando != Quando::OgniSettimana) {
            if (Vale(voce.quando, fonte))
                ScriviVoce(voce, fonte, nullptr, xml);
            ++i;
            continue;
        }
        // The rows of the group, once per week of the list, in the list's order.
        std::size_t fine = i;
        while (fine < voci.size() && voci[fine].quando == voce.quando)
            ++fine;
        for (const Settimana& settimana : fonte.riga.Settimane(voce.quando.colonna))
            for (std::size_t j = i; j < fine; ++j)
                ScriviVoce(voci[j], fonte, &settimana, xml);
        i = fine;
    }
}

} // namespace emens
