#include "record_fisso.h"

#include <charconv>
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

void RecordFisso::Spazio(std::size_t n) const {
    if (m_chiuso || m_testo.size() + n > static_cast<std::size_t>(LunghezzaRecord - 1))
        throw std::logic_error("Record di tipo " + std::string(1, m_testo.front()) +
                               ": campo oltre la posizione 1897 (posizione " + std::to_string(Posizione()) + ")");
}

void RecordFisso::Aggiungi(std::string_view testo) {
    Spazio(testo.size());
    m_testo += testo;
}

void RecordFisso::Aggiungi(int n, char carattere) {
    const std::size_t quanti = n > 0 ? static_cast<std::size_t>(n) : 0;
    Spazio(quanti);
    m_testo.append(quanti, carattere);
}

RecordFisso& RecordFisso::Letterale(std::string_view testo) {
    Aggiungi(testo);
    return *this;
}

RecordFisso& RecordFisso::Spazi(int n) {
    Aggiungi(n, ' ');
    return *this;
}

RecordFisso& RecordFisso::Zeri(int n) {
    Aggiungi(n, '0');
    return *this;
}

RecordFisso& RecordFisso::Campo(const Valore& valore, int lunghezza, TipoPosizionale tipo) {
    Aggiungi(CampoPosizionale(valore, lunghezza, tipo));
    return *this;
}

RecordFisso& RecordFisso::CampoTesto(std::string_view testo, int lunghezza, TipoPosizionale tipo) {
    if (tipo == TipoPosizionale::DT)
        return Campo(Valore(testo), lunghezza, tipo);
    Spazio(lunghezza > 0 ? static_cast<std::size_t>(lunghezza) : 0);
    AggiungiTestoPosizionale(m_testo, testo, lunghezza, tipo); // what Valore(testo) gives
    return *this;
}

RecordFisso& RecordFisso::CampoIntero(long long numero, int lunghezza, TipoPosizionale tipo) {
    if (tipo == TipoPosizionale::DT)
        return Campo(Valore(numero), lunghezza, tipo);
    char cifre[24];
    const auto fine = std::to_chars(cifre, cifre + sizeof cifre, numero).ptr; // as TestoValore writes it
    return CampoTesto(std::string_view(cifre, static_cast<std::size_t>(fine - cifre)), lunghezza, tipo);
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
