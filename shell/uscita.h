#pragma once
// The output file: written under a temporary name made from the run's date and time, then given its
// final name in the archive folder when it is complete.

#include "shell/contesto.h"
#include "shell/piattaforma.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace shell {

// prefisso + "YYYY-MM-DD-hh-mm-ss" + estensione, e.g. "Importa770-2011-06-14-09-05-07.txt".
std::string NomeTemporaneo(std::string_view prefisso, const DataOra& quando, std::string_view estensione);

// A final name must name a file inside the archive folder: no "/", "\", ":", "..", control
// characters or characters that Windows refuses in file names. Stops the run otherwise.
void ControllaNomeFinale(std::string_view nome);

// A folder the run creates files in: a control character in its path (a NUL would end the name there,
// and the files would land elsewhere) stops the run before anything is created.
void ControllaCartellaDiUscita(const std::filesystem::path& cartella);

// The two completion lines of a run, as one text without a line end after the last one.
std::string TestoCompletamento(const std::filesystem::path& percorsoFinale);

// The two closing lines of a run whose document was not generated, as TestoCompletamento.
std::string TestoNonGenerato();

// The text of the message box for a missing export file.
std::string MessaggioFileMancante(const std::filesystem::path& percorso);

// Output lines in ISO-8859-1, each followed by CR LF. Every failure stops the run.
class FileUscita {
public:
    explicit FileUscita(std::filesystem::path percorso);
    ~FileUscita();
    FileUscita(const FileUscita&) = delete;
    FileUscita& operator=(const FileUscita&) = delete;

    void ScriviRiga(std::string_view riga);
    void Scrivi(std::string_view testo);
    // Writes everything to the disk and closes the file.
    void Chiudi();

    const std::filesystem::path& Percorso() const { return m_percorso; }

private:
    [[noreturn]] void ErroreScrittura() const;
    // Hands the gathered lines to the file.
    void Svuota();
    // Counts bytes handed to the file; every 8 MiB starts them on the way to the disk.
    void Consegnati(std::size_t dati);

    std::filesystem::path m_percorso;
    std::FILE* m_file = nullptr;
    // The disk's work on the bytes handed to the file, started while the run goes on.
    ScritturaInDisparte m_disparte;
    // Lines gathered into large writes: a supply of 32,767 lines is millions of short lines.
    std::string m_blocco;
    // Bytes handed to the file since it was last told to start writing them to the disk.
    std::size_t m_nonAvviati = 0;
};

// Puts a complete temporary file under its final name, replacing an older file of that name in one
// step; stops the run, leaving both files as they were, when that fails.
void DaiNomeFinale(const std::filesystem::path& temporaneo, const std::filesystem::path& finale);

// The hidden lock file of one kind of document in an output folder: "." + tipo + ".lock", e.g.
// ".INPSEMENS.lock". It stays in the folder after the run.
std::string NomeFileBlocco(std::string_view tipo);

// The right to write one kind of document into a folder, held by one run at a time, from before the
// run creates or changes any file there until the document has its final name or the run stops.
// Converters whose file names differ (UniEmens and E-Mens, which read the same export) have their own
// kinds and run side by side. When another run holds it, or it cannot be taken, the run stops here,
// having changed nothing.
class EsclusivaCartella {
public:
    EsclusivaCartella(const std::filesystem::path& cartella, std::string_view tipo);

private:
    BloccoEsclusivo m_blocco;
};

} // namespace shell
