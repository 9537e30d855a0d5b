#pragma once
// A converter as the window and the command line see it, and the run that most converters share:
// export in, temporary file, final name.

#include "shell/contesto.h"
#include "shell/esportazione.h"
#include "shell/uscita.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

// A control's place in the window, in twips (15 twips make one pixel at 96 dots per inch).
struct Rettangolo {
    int sinistra, alto, larghezza, altezza;
};

struct Disposizione {
    int larghezza, altezza; // client area
    Rettangolo messaggio;
    Rettangolo avanti;
    std::optional<Rettangolo> etichettaErrori; // only the UniEmens window has the error box
    std::optional<Rettangolo> errori;
};

// What loading found: the export file that is missing, or a run ready to start.
struct Caricamento {
    std::optional<std::filesystem::path> fileMancante;
    std::function<void(ContestoElaborazione&)> esegui;
};

struct Convertitore {
    std::string_view comando;   // name on the command line: "770"
    std::string_view programma; // program name, also the title of its message boxes: "carvek"
    std::string_view titolo;    // window caption, ISO-8859-1
    Disposizione disposizione;
    // Loading: looks for the export file(s) beside the program; the archive folder is the default
    // output folder.
    std::function<Caricamento(const std::filesystem::path& cartellaProgramma,
                              const std::filesystem::path& cartellaArchivio)>
        carica;
};

// Loading of a converter with one export file: `nomeFile` in the program's folder, as an ordinary file.
Caricamento CaricaEsportazione(const std::filesystem::path& cartellaProgramma, std::string_view nomeFile,
                               std::function<void(ContestoElaborazione&, const std::filesystem::path&)> esegui);

// The run shared by the converters that write into the archive folder:
// 1. create the archive folder (its last level only) and read the clock once;
// 2. read the export once (an empty export or one over 32,767 lines stops here, before any output);
// 3. create the output under prefisso + date and time + estensione;
// 4. `elabora` writes the document and returns its final name;
// 5. close, check the final name, put the file under it in one step, and log the completion lines.
// An error after step 3 names the incomplete output, which stays under its temporary name.
// When `elabora` returns no name the document is not generated: it is closed and left under its
// temporary name, no older document is touched, the log ends with TestoNonGenerato() and the run is
// marked with SegnalaDocumentoNonGenerato().
using Elaborazione = std::function<std::optional<std::string>(const Esportazione&, FileUscita&, ContestoElaborazione&)>;

// Whose supply a file is, for the converters whose final name does not name the employer (the month's
// UniEmens, E-Mens and DMA): an older file under the final name is replaced only when it is a supply of
// the same kind and the same employer as the new one.
struct Titolare {
    std::string_view documento; // what the supply is, in messages: "un documento UniEmens"
    std::string_view chi;       // whose it is: "datore di lavoro", "ente"
    // The employer's code in the file at `percorso`; none when the file is no supply of this kind or
    // its employer cannot be read. Never throws for what the file holds.
    std::optional<std::string> (*leggi)(const std::filesystem::path& percorso);
};

struct Documento {
    std::string_view prefisso;          // "Importa770-"
    std::string_view estensione;        // ".txt"
    const Titolare* titolare = nullptr; // none: an older file of the final name is replaced as it is
};

// Before a complete supply at `temporaneo` replaces what stands under `finale`: stops the run, with both
// files untouched, when something stands there that is not a regular file, a supply of another employer,
// or a file that `titolare` does not read as a supply of its kind.
void ControllaTitolare(const Titolare& titolare, const std::filesystem::path& temporaneo,
                       const std::filesystem::path& finale);

// The kind of a document, which names its lock file: the prefix without its last "-" ("Importa770").
std::string_view TipoDocumento(const Documento& documento);

// Step 5 asks documento.titolare, when set, before it replaces an older file (ControllaTitolare).
// Steps 3 to 5 run under the converter's lock on the archive folder (EsclusivaCartella), taken right
// after step 1: a second run of the same converter into the same folder stops before it changes anything.
void EseguiConversioneArchivio(ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione,
                               const Documento& documento, const Elaborazione& elabora);

} // namespace shell
