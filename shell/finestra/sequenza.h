#pragma once
// The run sequence of a converter window, free of any toolkit: loading, the single run on the first
// activation, the texts held while the run holds the window's thread, the caret, the exit status. A
// window (Qt, Win32) is a view that only draws what this sequence tells it.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace shell::finestra {

// Exit status of a program whose run stopped on an error, or whose loading failed.
inline constexpr int EsitoErrore = 1;
// Exit status of a program whose export file is missing: the window is never shown.
inline constexpr int EsitoFileMancante = 3;

// What the sequence asks of a window. Texts are ISO-8859-1 with CR LF line ends: the view converts
// them for its toolkit.
class VistaElaborazione {
public:
    virtual ~VistaElaborazione() = default;

    // Appends `testo` after the last character of a box without moving its caret.
    virtual void Aggiungi(Casella casella, std::string_view testo) = 0;
    virtual void Svuota(Casella casella) = 0;
    // Puts the caret after the last character of a box, which brings the end into view.
    virtual void CursoreInFondo(Casella casella) = 0;
    virtual void AbilitaAvanti() = 0;
    // A modal message box with a single OK button, titled with the program's name; returns when confirmed.
    virtual void MostraAvviso(std::string_view testo, bool iconaErrore) = 0;
    // Closes the window; the program ends with `esito`.
    virtual void Termina(int esito) = 0;
};

class SequenzaElaborazione : private ContestoElaborazione {
public:
    SequenzaElaborazione(VistaElaborazione& vista, std::function<void(ContestoElaborazione&)> esegui,
                         std::function<DataOra()> adesso, std::filesystem::path archivio);

    // The window became the active window: the first time, the conversion runs, inside this call.
    void Attivazione();
    // "Continua" pressed, or the window's close box: the window closes with the run's status.
    void Chiudi();

    // 0 before and after a completed run; EsitoErrore after an error stopped the run or when the run did
    // not generate its document.
    int Esito() const { return m_esito; }
    bool Avviata() const { return m_avviata; }
    bool Terminata() const { return m_terminata; }

private:
    void MostraTesti();

    // ContestoElaborazione
    void ScriviVisibile(Casella casella, std::string_view testo, bool svuota, bool aCapo) override;
    void CursoreInFondo() override;
    void AvvisoVisibile(std::string_view testo, bool iconaErrore) override;
    DataOra Adesso() override { return m_adesso(); }
    std::filesystem::path CartellaArchivio() const override { return m_archivio; }

    VistaElaborazione& m_vista;
    std::function<void(ContestoElaborazione&)> m_esegui;
    std::function<DataOra()> m_adesso;
    std::filesystem::path m_archivio;
    std::string m_inAttesa[2]; // per box: text not yet handed to the view
    bool m_cursoreInFondo = false;
    bool m_avviata = false;
    bool m_terminata = false;
    int m_esito = 0;
};

// The text of the box shown when loading found no export, or nothing when the run can start.
std::optional<std::string> AvvisoCaricamento(const Caricamento& caricamento);

// How a converter's program starts, in either toolkit: its export loaded from the program's folder; a loading
// that fails (no memory, the file system) or that finds no export told in an error box (`avviso`, ISO-8859-1),
// the window never shown, and the status it ends with; else `apri` shows the window with the run and gives
// the status the program ends with.
int AvviaConvertitore(const Convertitore& convertitore, const std::filesystem::path& cartellaProgramma,
                      const std::filesystem::path& cartellaArchivio,
                      const std::function<void(std::string_view testo)>& avviso,
                      const std::function<int(std::function<void(ContestoElaborazione&)> esegui)>& apri);

} // namespace shell::finestra
