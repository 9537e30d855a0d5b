#pragma once
// The converter window as a native Win32 window: the log, for UniEmens the error box, and "Continua",
// drawing what the run sequence tells it.

#include "shell/convertitore.h"
#include "shell/finestra/sequenza.h"
#include "shell/win32/win32_comune.h"

#include <filesystem>
#include <functional>
#include <string>

namespace shell::win32 {

// What the window takes from outside; tests replace the message box and the clock.
struct ServiziFinestra {
    // Shows a modal message box with a single OK button and waits for it.
    std::function<void(HWND padre, const std::wstring& titolo, const std::wstring& testo, bool iconaErrore)>
        mostraAvviso;
    std::function<DataOra()> adesso;
    std::filesystem::path archivio;

    static ServiziFinestra Predefiniti();
};

class Elaborazione : private finestra::VistaElaborazione {
public:
    // Creates the window, hidden.
    Elaborazione(const Convertitore& convertitore, std::function<void(ContestoElaborazione&)> esegui,
                 ServiziFinestra servizi);
    ~Elaborazione() override;
    Elaborazione(const Elaborazione&) = delete;
    Elaborazione& operator=(const Elaborazione&) = delete;

    HWND Finestra() const { return m_finestra; }
    HWND Messaggio() const { return m_messaggio; }
    HWND Errori() const { return m_errori; }
    HWND Avanti() const { return m_avanti; }
    int Esito() const { return m_sequenza.Esito(); }
    bool Avviata() const { return m_sequenza.Avviata(); }
    bool Terminata() const { return m_sequenza.Terminata(); }

    static constexpr wchar_t Classe[] = L"FornituraElaborazione";
    // Posted on each activation: the run starts outside the activation's own handling.
    static constexpr UINT MessaggioAvvio = WM_APP + 1;

private:
    static LRESULT CALLBACK Procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);
    void CreaControlli(const Disposizione& d);
    HWND Box(Casella casella) const { return casella == Casella::Messaggio ? m_messaggio : m_errori; }

    // finestra::VistaElaborazione
    void Aggiungi(Casella casella, std::string_view testo) override;
    void Svuota(Casella casella) override;
    void CursoreInFondo(Casella casella) override;
    void AbilitaAvanti() override;
    void MostraAvviso(std::string_view testo, bool iconaErrore) override;
    void Termina(int esito) override;

    ServiziFinestra m_servizi;
    finestra::SequenzaElaborazione m_sequenza;
    std::wstring m_programma;
    HFONT m_carattere = nullptr;
    HWND m_finestra = nullptr;
    HWND m_messaggio = nullptr;
    HWND m_etichettaErrori = nullptr;
    HWND m_errori = nullptr;
    HWND m_avanti = nullptr;
};

// Loading and, when the export is there, the window and its message loop. Returns the exit status:
// 0 after "Continua" or the close box, 1 when an error stopped the run (or, after "Continua", when the run
// did not generate its document), 3 when the export file is missing (the window is never shown).
int AvviaProgramma(const Convertitore& convertitore, const std::filesystem::path& cartellaProgramma,
                   ServiziFinestra servizi);

} // namespace shell::win32
