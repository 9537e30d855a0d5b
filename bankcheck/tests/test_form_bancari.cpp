// The bank coordinates form logic against a view that holds the boxes as strings.

#include "bankcheck/form_bancari.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace bankcheck {
namespace {

class VistaProva : public VistaBancari {
public:
    std::map<CasellaBancari, std::string> caselle{{CasellaBancari::Stato, "IT"}};
    bool iban = false, calcolo = true;
    std::optional<CasellaBancari> fuoco;
    std::vector<std::string> messaggi;

    std::string Testo(CasellaBancari c) const override {
        const auto i = caselle.find(c);
        return i == caselle.end() ? std::string() : i->second;
    }
    void ImpostaTesto(CasellaBancari c, const std::string& testo) override { caselle[c] = testo; }
    bool IbanSelezionato() const override { return iban; }
    bool CalcoloSelezionato() const override { return calcolo; }
    void DaiFuoco(CasellaBancari c) override { fuoco = c; }
    void Messaggio(std::string_view testo) override { messaggi.emplace_back(testo); }
};

using C = CasellaBancari;

TEST(FormBancari, CodiceSuddivisoQuandoSiLasciaLaCasella) {
    struct Caso {
        const char* codice;
        std::map<C, std::string> attese; // the boxes after the split (Codice aside)
    };
    // clang-format off
    const std::vector<Caso> casi = {
        {"IT60 X054 2811 1010 0000 0123 456", {{C::Abi, "05428"}, {C::Cab, "11101"}, {C::ContoCorrente, "000000123456"},
                                               {C::Cin, "X"}, {C::Stato, "IT"}, {C::Check, "60"}}},
        {"x0542811101000000123456",           {{C::Abi, "05428"}, {C::Cab, "11101"}, {C::ContoCorrente, "000000123456"},
                                               {C::Cin, "x"}, {C::Stato, "IT"}, {C::Check, "99"}}},
        {"ab x0542811101000000123456",        {{C::Abi, "05428"}, {C::Cab, "11101"}, {C::ContoCorrente, "000000123456"},
                                               {C::Cin, "x"}, {C::Stato, "IT"}, {C::Check, "99"}}},
        {"0542811101000000123456",            {{C::Abi, "1"}, {C::Stato, "IT"}, {C::Check, "99"}}},
        {"de89x0542811101000000123456",       {{C::Abi, "05428"}, {C::Cab, "11101"}, {C::ContoCorrente, "000000123456"},
                                               {C::Cin, "x"}, {C::Stato, "de"}, {C::Check, "89"}}},
    };
    // clang-format on
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.codice);
        VistaProva vista;
        vista.caselle = {{C::Stato, "IT"}, {C::Abi, "1"}, {C::Check, "99"}, {C::Codice, caso.codice}};
        CodiceLasciato(vista);
        auto dopo = vista.caselle;
        EXPECT_EQ(dopo.extract(C::Codice).mapped(), std::string(caso.codice)); // the code stays as typed
        EXPECT_EQ(dopo, caso.attese);
        EXPECT_TRUE(vista.messaggi.empty());
    }
}

TEST(FormBancari, AggiornaNelleQuattroCombinazioni) {
    struct Caso {
        const char* nome;
        bool iban, calcolo;
        const char *conto, *stato, *cin, *check;
        const char *cinAtteso, *checkAtteso, *messaggio;
    };
    // clang-format off
    const std::vector<Caso> casi = {
        // nome                        iban   calc.  conto      stato cin  check  -> cin  check message
        {"BBAN Calcolo",               false, true,  "123456",  "IT", "",  "",    "X", "",   nullptr},
        {"BBAN Verifica corretto",     false, false, "123456",  "IT", "X", "",    "X", "",   "Cin corretto"},
        {"BBAN Verifica minuscola",    false, false, "123456",  "IT", "x", "",    "x", "",   "Cin errato"},
        {"BBAN Calcolo senza CIN",     false, true,  "123/456", "IT", "X", "",    "",  "",   nullptr},
        {"BBAN Verifica senza CIN",    false, false, "123/456", "IT", "",  "",    "",  "",   "Cin corretto"},
        {"IBAN Calcolo",               true,  true,  "123456",  "IT", "",  "",    "",  "60", nullptr},
        {"IBAN Calcolo CIN proprio",   true,  true,  "123456",  "IT", "Q", "1",   "Q", "60", nullptr},
        {"IBAN Verifica corretto",     true,  false, "123456",  "IT", "",  "60",  "",  "60", "Check digit Corretto"},
        {"IBAN Verifica errato",       true,  false, "123456",  "IT", "",  "61",  "",  "61", "Check digit Errato"},
        {"IBAN Calcolo stato errato",  true,  true,  "123456",  "I-", "",  "60",  "",  "",   nullptr},
        {"IBAN Verifica stato errato", true,  false, "123456",  "I-", "",  "",    "",  "",   "Check digit Errato"},
        {"conto di 12",                true,  true,  "123456789012", "IT", "", "77", "", "35", nullptr},
    };
    // clang-format on
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        VistaProva vista;
        vista.iban = caso.iban;
        vista.calcolo = caso.calcolo;
        vista.caselle = {{C::Abi, "5428"},       {C::Cab, "11101"},  {C::ContoCorrente, caso.conto},
                         {C::Stato, caso.stato}, {C::Cin, caso.cin}, {C::Check, caso.check}};
        Aggiorna(vista);
        EXPECT_EQ(vista.caselle[C::Cin], caso.cinAtteso);
        EXPECT_EQ(vista.caselle[C::Check], caso.checkAtteso);
        EXPECT_EQ(vista.messaggi,
                  caso.messaggio ? std::vector<std::string>{caso.messaggio} : std::vector<std::string>{});
        // The boxes keep what was typed.
        EXPECT_EQ(vista.caselle[C::Abi], "5428");
        EXPECT_EQ(vista.caselle[C::ContoCorrente], caso.conto);
        EXPECT_EQ(vista.caselle[C::Stato], caso.stato);
        EXPECT_FALSE(vista.fuoco);
    }
}

// 13 characters as typed, 11 once the spaces are gone: refused, the focus on the account, nothing written.
TEST(FormBancari, LunghezzaErrata) {
    VistaProva vista;
    vista.iban = true;
    vista.caselle = {{C::Abi, "05428"}, {C::Cab, "11101"}, {C::ContoCorrente, "1234 567 8901"}, {C::Check, "77"}};
    const auto prima = vista.caselle;
    Aggiorna(vista);
    EXPECT_EQ(vista.messaggi, std::vector<std::string>{"Lunghezza errata"});
    EXPECT_EQ(vista.fuoco, C::ContoCorrente);
    EXPECT_EQ(vista.caselle, prima);
}

TEST(FormBancari, TabellaDeiControlli) {
    EXPECT_EQ(ControlliBancari.size(), 21u);
    // Every option button has its frame before it, and fits inside it.
    const ControlloBancari* cornice = nullptr;
    for (const ControlloBancari& c : ControlliBancari) {
        if (c.tipo == TipoControllo::Cornice)
            cornice = &c;
        if (c.tipo != TipoControllo::Opzione)
            continue;
        SCOPED_TRACE(c.nome);
        ASSERT_NE(cornice, nullptr);
        EXPECT_LE(c.sinistra + c.larghezza, cornice->larghezza);
        EXPECT_LE(c.alto + c.altezza, cornice->altezza);
    }
    // Every control fits in the client area.
    for (const ControlloBancari& c : ControlliBancari)
        if (c.tipo != TipoControllo::Opzione) {
            SCOPED_TRACE(c.testo);
            EXPECT_LE(c.sinistra + c.larghezza, LarghezzaAreaBancari);
            EXPECT_LE(c.alto + c.altezza, AltezzaAreaBancari);
        }
}

} // namespace
} // namespace bankcheck
