#include "bankcheck/form_bancari.h"

#include "bankcheck/check_bancari.h"

#include <algorithm>

namespace bankcheck {

namespace {
constexpr std::size_t LunghezzaMassimaConto = 12;
}

void CodiceLasciato(VistaBancari& vista) {
    std::string codice = vista.Testo(CasellaBancari::Codice);
    std::erase(codice, ' ');
    const std::size_t n = codice.size();
    if (n >= 23) {
        vista.ImpostaTesto(CasellaBancari::ContoCorrente, codice.substr(n - 12));
        vista.ImpostaTesto(CasellaBancari::Abi, codice.substr(n - 22, 5));
        vista.ImpostaTesto(CasellaBancari::Cab, codice.substr(n - 17, 5));
        vista.ImpostaTesto(CasellaBancari::Cin, codice.substr(n - 23, 1));
    }
    if (n == 27) {
        vista.ImpostaTesto(CasellaBancari::Stato, codice.substr(0, 2));
        vista.ImpostaTesto(CasellaBancari::Check, codice.substr(2, 2));
    }
}

void Aggiorna(VistaBancari& vista) {
    // The account as typed: blanks count.
    if (vista.Testo(CasellaBancari::ContoCorrente).size() > LunghezzaMassimaConto) {
        vista.DaiFuoco(CasellaBancari::ContoCorrente);
        vista.Messaggio("Lunghezza errata");
        return;
    }
    // A fresh object each time: the boxes keep what the user typed, the normalised values stay
    // inside the object.
    CheckBancari coordinate;
    coordinate.Abi(vista.Testo(CasellaBancari::Abi));
    coordinate.Cab(vista.Testo(CasellaBancari::Cab));
    coordinate.ContoCorrente(vista.Testo(CasellaBancari::ContoCorrente));
    coordinate.Paese(vista.Testo(CasellaBancari::Stato));
    const std::string cin = coordinate.CalcolaCin();

    const bool calcolo = vista.CalcoloSelezionato();
    if (vista.IbanSelezionato()) {
        coordinate.BBAN(coordinate.CalcolaBBAN());
        const std::string check = coordinate.CalcolaCheckIBAN(vista.Testo(CasellaBancari::Stato), coordinate.BBAN());
        // Check digits that cannot be computed (a country holding a blank or a hyphen) are wrong
        // whatever the box holds.
        const bool corretto = !check.empty() && check == vista.Testo(CasellaBancari::Check);
        if (calcolo)
            vista.ImpostaTesto(CasellaBancari::Check, check);
        else
            vista.Messaggio(corretto ? "Check digit Corretto" : "Check digit Errato");
    } else if (calcolo) {
        vista.ImpostaTesto(CasellaBancari::Cin, cin);
    } else {
        vista.Messaggio(cin == vista.Testo(CasellaBancari::Cin) ? "Cin corretto" : "Cin errato");
    }
}

} // namespace bankcheck
