#pragma once
// Control characters of Italian bank coordinates: the CIN letter of ABI, CAB and account, the
// BBAN that joins them, and the two check digits of the IBAN (mod-97 scheme). Texts are ISO-8859-1
// bytes. No method fails: an impossible input gives an empty text or a false check.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bankcheck {

class CheckBancari {
public:
    // Properties: each stores and returns its value unchanged.
    const std::string& Abi() const { return m_abi; }
    void Abi(std::string valore) { m_abi = std::move(valore); }
    const std::string& Cab() const { return m_cab; }
    void Cab(std::string valore) { m_cab = std::move(valore); }
    const std::string& ContoCorrente() const { return m_contoCorrente; }
    void ContoCorrente(std::string valore) { m_contoCorrente = std::move(valore); }
    const std::string& Cin() const { return m_cin; }
    void Cin(std::string valore) { m_cin = std::move(valore); }
    const std::string& IBAN() const { return m_iban; }
    void IBAN(std::string valore) { m_iban = std::move(valore); }
    const std::string& BBAN() const { return m_bban; }
    void BBAN(std::string valore) { m_bban = std::move(valore); }
    const std::string& CheckDigitIBAN() const { return m_checkDigitIban; }
    void CheckDigitIBAN(std::string valore) { m_checkDigitIban = std::move(valore); }
    const std::string& Paese() const { return m_paese; }
    void Paese(std::string valore) { m_paese = std::move(valore); }
    std::int16_t Divisore() const { return m_divisore; }
    void Divisore(std::int16_t valore) { m_divisore = valore; }

    // The account without blanks, zero-padded on the left to 12 characters (its last 12 if longer).
    static std::string NormalizzaContoCorrente(std::string_view conto);

    // True when the text is exactly CalcolaCin (same letter, same case).
    bool VerificaCin(std::string_view cin);

    // The CIN letter of Abi, Cab and ContoCorrente, or empty when they hold a character other than
    // digits, letters, "-", "." and blanks. Leaves the three properties normalised (5, 5 and 12).
    std::string CalcolaCin();

    // True when the check digits of the IBAN are right. False for a text without letters or digits.
    bool CheckIBAN(std::string_view iban) const;

    // CIN + ABI + CAB + account from the properties; with the IBAN property set, that IBAN
    // normalised without its first four characters.
    std::string CalcolaBBAN();

    // The two check digits of the IBAN of the country and BBAN, or empty when they cannot be
    // computed (a country holding a character other than letters and digits).
    std::string CalcolaCheckIBAN(std::string_view paese, std::string_view bban);

    // Country + check digits + normalised BBAN. An empty country is the Paese property; an empty
    // BBAN is the BBAN property or, that too empty, CalcolaBBAN. Empty when it cannot be computed.
    std::string CalcolaIBAN(std::string_view paese, std::string_view bban);

    // The code upper-cased, every character other than A-Z and 0-9 removed.
    static std::string NormalizzaIBAN(std::string_view codice);

private:
    struct ParteIBAN {
        std::string paese;
        std::string check;
        std::string bban;
    };
    std::optional<ParteIBAN> ComponiIBAN(std::string_view paese, std::string_view bban);
    // The remainder of the code (country and check digits first) in the mod-97 arithmetic.
    std::optional<int> Resto(std::string_view codice) const;

    std::string m_abi;
    std::string m_cab;
    std::string m_contoCorrente;
    std::string m_cin;
    std::string m_iban;
    std::string m_bban;
    std::string m_checkDigitIban;
    std::string m_paese = "IT";
    std::int16_t m_divisore = 97;
};

} // namespace bankcheck
