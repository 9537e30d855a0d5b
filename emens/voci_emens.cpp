#include "emens/voci_emens.h"

#include "shell/testo.h"

namespace emens {

std::string Fonte::ValoreProprio(const Valore& valore, const Settimana* settimana) const {
    switch (valore.proprio) {
    case ProprioAnnoMese:
        return m_riga.Valore(valore.colonna) + "-" + CifreMinime(m_riga.LeggiIntero(col::Mese), 2);
    case ProprioRetribTeorica:
        // The short layout has no column of its own: the taxable pay, when there are paid days.
        if (m_riga.Colonne() == col::ColonneTracciatoBreve)
            return std::to_string(m_riga.LeggiIntero(col::GiorniRetribuiti) != 0 ? m_riga.LeggiIntero(col::Imponibile)
                                                                                 : 0);
        return std::to_string(m_riga.LeggiIntero(valore.colonna));
    case ProprioConsolidamento: {
        const std::string_view tipo = shell::TogliSpazi(m_riga.Testo(valore.colonna));
        return tipo.empty() ? std::string("S") : m_riga.Codifica(valore.colonna, tipo);
    }
    }
    return scrittura_xml::Fonte::ValoreProprio(valore, settimana);
}

} // namespace emens
