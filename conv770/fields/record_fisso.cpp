#include "record_fisso.h"

#include <stdexcept>

namespace conv770::fields {

RecordFisso::RecordFisso(char tipo) {
    m_testo.reserve(LunghezzaRecord);
    m_testo += tipo;
}

RecordFisso::RecordFisso(const RecordFisso& altro) : m_chiuso(altro.m_chiuso) {
    m_testo.reserve(LunghezzaRecord);
    m_testo = altro.m_testo;
}

void RecordFisso::Aggiungi(std::string_view testo) {
    if (m_chiuso || m_testo.size() + testo.size() > static_cast<std::size_t>(LunghezzaRecord - 1))
        throw std::logic_error("Record di tipo " + std::string(1, m_testo.front()) +
                               ": campo oltre la posizione 1897 (posizione " + std::to_string(Posizione()) + ")");
    m_testo += testo;
}

RecordFisso& RecordFisso::Letterale(std::string_view testo) {
    Aggiungi(testo);
    return *this;
}

RecordFisso& RecordFisso::Spazi(int n) {
    Aggiungi(std::string(n > 0 ? static_cast<std::size_t>(n) : 0, ' '));
    return *this;
}

RecordFisso& RecordFisso::Zeri(int n) {
    Aggiungi(std::string(n > 0 ? static_cast<std::size_t>(n) : 0, '0'));
    return *this;
}

RecordFisso& RecordFisso::Campo(const Valore& valore, int lunghezza, TipoPosizionale tipo) {
    Aggiungi(CampoPosizionale(valore, lunghezza, tipo));
    return *this;
}

RecordFisso& RecordFisso::AreaNonPosizionale(std::string_view campi) {
    if (Posizione() != InizioArea)
        throw std::logic_error("Record di tipo " + std::string(1, m_testo.front()) +
                               ": l'area dei campi non posizionali inizia alla posizione " +
                               std::to_string(Posizione()));
    const std::string_view parte = campi.substr(0, LunghezzaArea);
    if (m_chiuso || m_testo.size() + LunghezzaArea + SpaziDopoArea > static_cast<std::size_t>(LunghezzaRecord - 1))
        Aggiungi(std::string(LunghezzaArea + SpaziDopoArea, ' ')); // throws
    m_testo += parte;
    m_testo.append(LunghezzaArea + SpaziDopoArea - parte.size(), ' ');
    return *this;
}

const std::string& RecordFisso::Chiudi() {
    if (m_chiuso)
        return m_testo;
    if (Posizione() != LunghezzaRecord)
        throw std::logic_error("Record di tipo " + std::string(1, m_testo.front()) +
                               ": chiuso alla posizione " + std::to_string(Posizione()));
    m_testo += FineRecord;
    m_chiuso = true;
    return m_testo;
}

} // namespace conv770::fields
