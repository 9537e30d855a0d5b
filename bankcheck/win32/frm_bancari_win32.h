#pragma once
// The bank coordinates test window as a native Win32 window: the controls of the table, the lost-focus
// split of txtCodice, "Aggiorna" as the default button.

#include "bankcheck/form_bancari.h"
#include "shell/win32/win32_comune.h"

#include <array>
#include <functional>
#include <string>

namespace bankcheck::win32 {

class FrmBancari : private VistaBancari {
public:
    // Shows a message box (OK only, no icon, titled with the program's name); tests record it instead.
    using MostraMessaggio = std::function<void(HWND padre, const std::wstring& testo)>;

    // Creates the window, hidden.
    explicit FrmBancari(MostraMessaggio mostra = {});
    ~FrmBancari() override;
    FrmBancari(const FrmBancari&) = delete;
    FrmBancari& operator=(const FrmBancari&) = delete;

    HWND Finestra() const { return m_finestra; }
    // The control of the table's row `nome` ("txtCodice", "optIBAN", ...); nullptr for an unknown name.
    HWND Controllo(std::string_view nome) const;

    static constexpr wchar_t Classe[] = L"FornituraFrmBancari";
    // Control identifiers: 100 + the row of the table; "Aggiorna" answers to IDOK too (Enter).
    static constexpr int PrimoId = 100;

private:
    static LRESULT CALLBACK Procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);
    void CreaControlli();
    HWND Casella(CasellaBancari casella) const;
    void AggiornaTabStop();

    // VistaBancari
    std::string Testo(CasellaBancari casella) const override;
    void ImpostaTesto(CasellaBancari casella, const std::string& testo) override;
    bool IbanSelezionato() const override;
    bool CalcoloSelezionato() const override;
    void DaiFuoco(CasellaBancari casella) override;
    void Messaggio(std::string_view testo) override;

    MostraMessaggio m_mostra;
    HFONT m_carattere = nullptr;
    HWND m_finestra = nullptr;
    std::array<HWND, ControlliBancari.size()> m_controlli{};
};

} // namespace bankcheck::win32
