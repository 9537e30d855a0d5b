#pragma once
// The bank coordinates test window, free of any toolkit: its controls and layout as data, and what
// happens when the code box loses the focus and when "Aggiorna" is pressed. The Qt and the Win32
// windows are views that draw the table and hand these two events over.

#include <array>
#include <string>
#include <string_view>

namespace bankcheck {

enum class TipoControllo { Cornice, Opzione, Etichetta, Casella, Pulsante };

// One control of the window. Positions and sizes are in twips (15 twips make one pixel at 96 dots per
// inch); an option button stands inside the frame listed before it, at a position relative to that frame.
struct ControlloBancari {
    const char* nome;
    TipoControllo tipo;
    const char* testo;
    bool selezionato;
    int sinistra;
    int alto;
    int larghezza;
    int altezza;
};

// In tab order.
// clang-format off
inline constexpr auto ControlliBancari = std::to_array<ControlloBancari>({
//   nome           tipo                      testo             sel.   left   top  width height
    {"Frame1",      TipoControllo::Cornice,   "Check Digits",   false,  120,  240, 2052, 1092},
    {"optBBAN",     TipoControllo::Opzione,   "BBAN",           true,   120,  240, 1212,  252},
    {"optIBAN",     TipoControllo::Opzione,   "IBAN",           false,  120,  600, 1092,  252},
    {"Frame2",      TipoControllo::Cornice,   "Operazione",     false, 2520,  240, 2052, 1092},
    {"optCalcolo",  TipoControllo::Opzione,   "Calcolo",        true,   240,  240, 1212,  252},
    {"optVerifica", TipoControllo::Opzione,   "Verifica",       false,  240,  600, 1092,  252},
    {"",            TipoControllo::Etichetta, "Codice",         false,  120, 1440, 1452,  252},
    {"txtCodice",   TipoControllo::Casella,   "",               false, 1920, 1440, 2652,  288},
    {"",            TipoControllo::Etichetta, "Abi",            false,  120, 1800, 1092,  252},
    {"txtAbi",      TipoControllo::Casella,   "",               false, 1920, 1800,  732,  288},
    {"",            TipoControllo::Etichetta, "Cab",            false, 2880, 1800,  612,  252},
    {"txtCab",      TipoControllo::Casella,   "",               false, 3720, 1800,  852,  288},
    {"",            TipoControllo::Etichetta, "Conto Corrente", false,  120, 2160, 1572,  252},
    {"txtCC",       TipoControllo::Casella,   "",               false, 1920, 2160, 2652,  288},
    {"",            TipoControllo::Etichetta, "Cin",            false,  120, 2520,  732,  252},
    {"txtCin",      TipoControllo::Casella,   "",               false, 1920, 2520,  372,  288},
    {"",            TipoControllo::Etichetta, "Codice Stato",   false,  120, 2880,  972,  252},
    {"txtStato",    TipoControllo::Casella,   "IT",             false, 1920, 2880,  372,  288},
    {"",            TipoControllo::Etichetta, "Check",          false,  120, 3240, 1212,  252},
    {"txtCheck",    TipoControllo::Casella,   "",               false, 1920, 3240,  372,  288},
    {"cmdGo",       TipoControllo::Pulsante,  "Aggiorna",       false, 3720, 3120,  852,  372},
});
// clang-format on

inline constexpr int LarghezzaAreaBancari = 4830; // client area, twips
inline constexpr int AltezzaAreaBancari = 3690;
inline constexpr std::string_view TitoloBancari = "Test Cin e Check Digit IBAN";

// The text boxes that the form logic reads and writes.
enum class CasellaBancari { Codice, Abi, Cab, ContoCorrente, Cin, Stato, Check };

// What the form logic asks of a window. Texts are ISO-8859-1: the view converts them.
class VistaBancari {
public:
    virtual ~VistaBancari() = default;

    virtual std::string Testo(CasellaBancari casella) const = 0;
    virtual void ImpostaTesto(CasellaBancari casella, const std::string& testo) = 0;
    virtual bool IbanSelezionato() const = 0;    // optIBAN, else optBBAN
    virtual bool CalcoloSelezionato() const = 0; // optCalcolo, else optVerifica
    virtual void DaiFuoco(CasellaBancari casella) = 0;
    // A message box with only an OK button, no icon, titled with the program's name.
    virtual void Messaggio(std::string_view testo) = 0;
};

// txtCodice lost the focus: a 23-character BBAN or a 27-character Italian IBAN, blanks aside, is split
// into the other boxes from its end; shorter codes change nothing.
void CodiceLasciato(VistaBancari& vista);

// "Aggiorna" pressed: compute or verify the CIN or the IBAN check digits.
void Aggiorna(VistaBancari& vista);

} // namespace bankcheck
