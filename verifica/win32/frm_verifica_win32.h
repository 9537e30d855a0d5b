#pragma once
// The supply check window as a native Win32 window (user32, gdi32, comctl32; shell32 for the dropped files
// and the browser and the folder dialog, comdlg32 for the file dialog): the selector of the open supplies, the supply's
// data, the verdict, the findings in a list view whose rows the window logic gives as they are drawn, the whole text of
// the finding chosen there, the buttons; resizable, the list taking what the window grows by. An archive's folder shows
// in their place: its table of supplies, the set's findings, the summary.

#include "verifica/finestra/finestra_verifica.h"
#include "shell/win32/win32_comune.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace verifica::win32 {

// What the window takes from outside; tests replace the dialogs and the browser.
struct ServiziFrm {
    // A modal message box with a single OK button, titled with the program's name.
    std::function<void(HWND padre, const std::wstring& testo, bool errore)> messaggio;
    // The system's file dialog: the files chosen, none when cancelled.
    std::function<std::vector<std::filesystem::path>(HWND padre, const std::wstring& titolo,
                                                     const std::filesystem::path& cartella, bool piu)>
        scegliFile;
    // The system's folder dialog: the folder chosen, none when cancelled.
    std::function<std::optional<std::filesystem::path>(HWND padre, const std::wstring& titolo,
                                                       const std::filesystem::path& cartella)>
        scegliCartella;
    // Opens a page in the default browser.
    std::function<bool(const std::filesystem::path& pagina)> apriPagina;
    finestra::ServiziVerifica verifica;

    static ServiziFrm Predefiniti();
};

class FrmVerifica : private finestra::VistaVerifica {
public:
    // Creates the window, hidden.
    explicit FrmVerifica(ServiziFrm servizi = ServiziFrm::Predefiniti());
    ~FrmVerifica() override;
    FrmVerifica(const FrmVerifica&) = delete;
    FrmVerifica& operator=(const FrmVerifica&) = delete;

    finestra::FinestraVerifica& Logica() { return *m_logica; }

    HWND Finestra() const { return m_finestra; }
    HWND File() const { return m_file; }
    HWND Intestazione() const { return m_intestazione; }
    HWND Esito() const { return m_esito; }
    HWND InCorso() const { return m_inCorso; }
    HWND Avanzamento() const { return m_avanzamento; }
    HWND Rilievi() const { return m_rilievi; }
    HWND RilievoScelto() const { return m_rilievoScelto; }
    HWND Suggerimento() const { return m_suggerimento; } // the tip of the list's rows
    HWND Pulsante(finestra::Pulsante pulsante) const;
    HWND Cartella() const { return m_cartella; }
    HWND Archivio() const { return m_archivio; }
    HWND RilieviInsieme() const { return m_rilieviInsieme; }
    HWND Riepilogo() const { return m_riepilogo; }

    static constexpr wchar_t Classe[] = L"FornituraVerifica";
    // Posted by Sveglia: the results of the reading are taken on the window's thread.
    static constexpr UINT MessaggioConsegna = WM_APP + 2;
    // Control identifiers; the buttons follow in the order of finestra::Pulsanti, "Apri distinta" first.
    enum Identificativo {
        IdEtichettaFile = 101,
        IdFile,
        IdIntestazione,
        IdEsito,
        IdInCorso,
        IdAvanzamento,
        IdEtichettaRilievi,
        IdRilievi,
        IdEtichettaRilievoScelto,
        IdRilievoScelto,
        IdCartella,
        IdEtichettaArchivio,
        IdArchivio,
        IdEtichettaRilieviInsieme,
        IdRilieviInsieme,
        IdRiepilogo,
        IdPrimoPulsante = 121,
    };

private:
    static LRESULT CALLBACK Procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l);
    // The list's own procedure first: the row under the mouse, whose tip shows.
    static LRESULT CALLBACK MouseSullaLista(HWND lista, UINT messaggio, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR dati);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);
    LRESULT Notifica(const NMHDR& notifica);
    void Comando(int id, int evento);
    void CreaControlli();
    void Disponi();
    // The archive's controls in the area between `y` and `basso`.
    void DisponiArchivio(int y, int basso, int larghezza);
    // The default button: "Apri fornitura" while the archive's table is shown, else "Apri distinta".
    finestra::Pulsante Predefinito() const;
    // The line under the list: the whole text of the row chosen there, empty for none.
    void MostraRilievoScelto();
    HWND Padre() const;

    // finestra::VistaVerifica
    void MostraFile(const std::vector<std::string>& file, int scelto) override;
    void MostraIntestazione(const std::vector<std::pair<std::string, std::string>>& righe) override;
    void MostraEsito(const std::string& testo, finestra::TipoEsito tipo) override;
    void MostraRilievi(std::size_t righe, finestra::ColonnaRilievi colonna, bool crescente) override;
    void AbilitaPulsanti(bool distinta, bool confronta) override;
    void MostraArchivio(const finestra::ArchivioVisibile* archivio, bool torna, bool apriFornitura) override;
    std::optional<std::filesystem::path> ScegliCartella(std::string_view titolo,
                                                        const std::filesystem::path& cartella) override;
    void MostraAvanzamento(const std::optional<finestra::AvanzamentoVisibile>& avanzamento) override;
    std::vector<std::filesystem::path> ScegliFile(std::string_view titolo, const std::filesystem::path& cartella,
                                                  bool piu) override;
    void Messaggio(const std::string& testo, bool errore) override;
    bool ApriNelBrowser(const std::filesystem::path& pagina) override;
    void Sveglia() override;

    ServiziFrm m_servizi;
    int m_dpi = 96;
    HFONT m_carattere = nullptr;
    HFONT m_grassetto = nullptr;
    HWND m_finestra = nullptr;
    HWND m_etichettaFile = nullptr;
    HWND m_file = nullptr;
    HWND m_intestazione = nullptr;
    HWND m_esito = nullptr;
    HWND m_inCorso = nullptr;
    HWND m_avanzamento = nullptr;
    HWND m_etichettaRilievi = nullptr;
    HWND m_rilievi = nullptr;
    HWND m_etichettaRilievoScelto = nullptr;
    HWND m_rilievoScelto = nullptr;
    HWND m_suggerimento = nullptr;
    HWND m_cartella = nullptr;
    HWND m_etichettaArchivio = nullptr;
    HWND m_archivio = nullptr;
    HWND m_etichettaRilieviInsieme = nullptr;
    HWND m_rilieviInsieme = nullptr;
    HWND m_riepilogo = nullptr;
    bool m_archivioMostrato = false;
    int m_rigaSottoIlMouse = -1; // the row of the list whose tip shows (or would)
    std::wstring m_testoSuggerimento;
    HWND m_pulsanti[finestra::Pulsanti.size()] = {};
    int m_righeIntestazione = 0;
    finestra::TipoEsito m_tipoEsito = finestra::TipoEsito::Nessuno;
    std::wstring m_cella; // the text of the cell the list view asked for last
    // Last: it stops its thread before the window goes.
    std::unique_ptr<finestra::FinestraVerifica> m_logica;
};

// The window opened on `file` (none: the file dialog first) and its message loop. Returns the exit status.
int AvviaProgramma(const std::vector<std::filesystem::path>& file, ServiziFrm servizi);

} // namespace verifica::win32
