#pragma once
// What a conversion may ask of the program that runs it: the window, the command line or a test.
// A conversion never touches a widget or the terminal.

#include "shell/testo.h"

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace shell {

struct DataOra {
    int anno = 0, mese = 0, giorno = 0, ora = 0, minuto = 0, secondo = 0;
    friend bool operator==(const DataOra&, const DataOra&) = default;
};

// The local date and time now, and of a moment of the system's clock.
DataOra OraLocale();
DataOra OraLocale(std::time_t istante);

// The two text boxes of a converter window: the progress log and the UniEmens error box.
enum class Casella { Messaggio, Errori };

class ContestoElaborazione {
public:
    virtual ~ContestoElaborazione() = default;

    // Appends `testo` to a box, after emptying it when `svuota`; CR LF follows when `aCapo`. Its control
    // characters (a NUL in a name of the export) show as "\x00", as they do in every message.
    void Scrivi(Casella casella, std::string_view testo, bool svuota, bool aCapo) {
        std::string appoggio;
        ScriviVisibile(casella, TestoVisibile(testo, appoggio), svuota, aCapo);
    }
    // Puts the caret of the log after its last character, which brings the end into view.
    virtual void CursoreInFondo() = 0;
    // A modal message box with a single OK button; the run goes on when it is confirmed. Its control
    // characters show as in Scrivi.
    void Avviso(std::string_view testo, bool iconaErrore) {
        std::string appoggio;
        AvvisoVisibile(TestoVisibile(testo, appoggio), iconaErrore);
    }
    virtual DataOra Adesso() = 0;
    virtual std::filesystem::path CartellaArchivio() const = 0;

    // One line of the progress log.
    void ScriviMessaggio(std::string_view testo) { Scrivi(Casella::Messaggio, testo, false, true); }
    void ScriviMessaggio(std::string_view testo, bool svuota, bool aCapo) {
        Scrivi(Casella::Messaggio, testo, svuota, aCapo);
    }
    void ScriviErrore(std::string_view testo, bool svuota, bool aCapo) {
        Scrivi(Casella::Errori, testo, svuota, aCapo);
    }

    // A run that ended normally but refused to name its document (the UniEmens check found errors)
    // says so here; the program then ends with the status of a failed run.
    void SegnalaDocumentoNonGenerato() { m_documentoNonGenerato = true; }
    bool DocumentoNonGenerato() const { return m_documentoNonGenerato; }

protected:
    // Scrivi and Avviso as the program that runs the conversion does them, on a text without control
    // characters but its line ends.
    virtual void ScriviVisibile(Casella casella, std::string_view testo, bool svuota, bool aCapo) = 0;
    virtual void AvvisoVisibile(std::string_view testo, bool iconaErrore) = 0;

private:
    bool m_documentoNonGenerato = false;
};

} // namespace shell
