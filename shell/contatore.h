#pragma once
// Signed 16-bit counters: every line, record and loop counter of a conversion is one, and adding past
// 32,767 stops the run.

#include "shell/errore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace shell {

inline constexpr int MassimoContatore = 32767;

class Contatore16 {
public:
    // `cosa` names what is counted, for the message ("righe del file di esportazione"): a text that
    // lasts as long as the counter, a literal (kept as a view, since a field's counter lives per field).
    explicit constexpr Contatore16(std::string_view cosa) : m_cosa(cosa) {}

    std::int16_t Incrementa() {
        if (m_valore == MassimoContatore)
            throw ErroreElaborazione("Superato il limite di 32.767 " + std::string(m_cosa));
        return ++m_valore;
    }
    std::int16_t Valore() const { return m_valore; }

private:
    std::string_view m_cosa;
    std::int16_t m_valore = 0;
};

} // namespace shell
