#pragma once
// The run context of the command line: the log on standard output, message boxes on standard error,
// both in UTF-8; the error box kept and printed after the run.

#include "shell/contesto.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace cli {

class ContestoTerminale : public shell::ContestoElaborazione {
public:
    ContestoTerminale(std::ostream& out, std::ostream& err, std::filesystem::path archivio, shell::DataOra adesso)
        : m_out(out), m_err(err), m_archivio(std::move(archivio)), m_adesso(adesso) {}

    void CursoreInFondo() override {}
    shell::DataOra Adesso() override { return m_adesso; }
    std::filesystem::path CartellaArchivio() const override { return m_archivio; }

    // Ends an open log line and prints the error box under "Errori di elaborazione:" when asked.
    void Chiudi(bool stampaErrori);

protected:
    void ScriviVisibile(shell::Casella casella, std::string_view testo, bool svuota, bool aCapo) override;
    void AvvisoVisibile(std::string_view testo, bool iconaErrore) override;

private:
    std::ostream& m_out;
    std::ostream& m_err;
    std::filesystem::path m_archivio;
    shell::DataOra m_adesso;
    std::string m_errori;
    std::string m_riga; // the log line being printed
    bool m_rigaAperta = false;
};

// A text of the libraries (ISO-8859-1, CR LF) for the terminal (UTF-8, LF).
std::string PerTerminale(std::string_view testo);
// The same, appended to `righe`.
void AggiungiPerTerminale(std::string_view testo, std::string& righe);

// A message or a value that quotes a file's text, on one line of the terminal: its control characters,
// line ends included, shown as "\x1B" (shell::TestoSuUnaRiga), then as PerTerminale.
std::string RigaPerTerminale(std::string_view testo);

// A file's name as the command line gave it (UTF-8), at the start of a diagnostic line: every control
// character (C0, DEL, C1), every byte that is no UTF-8 and every ":" but a drive's ("C:\") shown as
// "\x3A", so that the line is one line and its name ends at the first ":".
std::string NomePerTerminale(std::string_view nome);

} // namespace cli
