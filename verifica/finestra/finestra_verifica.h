#pragma once
// The supply check window, free of any toolkit: the supplies it has open (a selector "File" switches
// between them), for the one shown its data, the verdict in words and the findings in a list sortable by
// any column, the state of the buttons, the progress while a supply is read. It reads away from the
// window's thread (LavoriInDisparte) and decides everything; the Qt and the Win32 windows are views that
// draw what it tells them and hand the user's actions over.

#include "verifica/fornitura_letta.h"
#include "verifica/finestra/lavori_in_disparte.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace verifica::finestra {

inline constexpr std::string_view TitoloFinestra = "Verifica forniture";
inline constexpr std::string_view ProgrammaVerifica = "verifica"; // also the title of its message boxes

// The columns of the findings list, in their order. Widths in twips (15 make a pixel at 96 dots per inch);
// the last column takes what the window has left.
enum class ColonnaRilievi { Riga, Gravita, Persona, Messaggio };

struct DescrizioneColonna {
    ColonnaRilievi colonna;
    std::string_view titolo;
    int larghezza;
    bool aDestra; // numbers
};

// clang-format off
inline constexpr std::array<DescrizioneColonna, 4> ColonneRilievi = {{
//   colonna                      titolo            larghezza  a destra
    {ColonnaRilievi::Riga,        "Riga",                 900,  true },
    {ColonnaRilievi::Gravita,     "Gravit\xE0",           1100, false},
    {ColonnaRilievi::Persona,     "Persona",              4500, false},
    {ColonnaRilievi::Messaggio,   "Messaggio",            7500, false},
}};
// clang-format on

// A row's tip (the whole finding) wraps past this width, in twips.
inline constexpr int LarghezzaSuggerimento = 7200;

// The window's buttons with their captions ("&" before the letter of the mnemonic), in tab order after
// the selector and the list. "Apri distinta" is the default button (Enter) while a supply is shown, "Apri
// fornitura" (the row chosen in the archive's table) while an archive is; Escape is "Chiudi".
enum class Pulsante { ApriDistinta, ConfrontaCon, Apri, ApriCartella, ApriFornitura, TornaArchivio, Guida, Chiudi };

struct DescrizionePulsante {
    Pulsante pulsante;
    std::string_view testo;
};

// clang-format off
inline constexpr std::array<DescrizionePulsante, 8> Pulsanti = {{
    {Pulsante::ApriDistinta,  "&Apri distinta"},
    {Pulsante::ConfrontaCon,  "&Confronta con..."},
    {Pulsante::Apri,          "A&pri..."},
    {Pulsante::ApriCartella,  "Apri cart&ella..."},
    {Pulsante::ApriFornitura, "Apri f&ornitura"},
    {Pulsante::TornaArchivio, "&Torna all'archivio"},
    {Pulsante::Guida,         "&Guida"},
    {Pulsante::Chiudi,        "C&hiudi"},
}};
// clang-format on

inline constexpr std::string_view EtichettaFile = "&File:";
inline constexpr std::string_view EtichettaRilievi = "&Rilievi:";
// Under the list: the whole text of the finding chosen there (FinestraVerifica::TestoIntero), and the
// menu of its right click in the Qt window (Windows gives its own, in the system's language).
inline constexpr std::string_view EtichettaRilievoScelto = "Rilievo &scelto:";
inline constexpr std::string_view VoceCopia = "&Copia";
inline constexpr std::string_view VoceSelezionaTutto = "Seleziona &tutto";

// Above the archive's table and the list of the set's findings.
inline constexpr std::string_view EtichettaArchivio = "For&niture dell'archivio:";
inline constexpr std::string_view EtichettaRilieviInsieme = "Rilievi &dell'insieme:";
// The archive's table: its columns' widths in twips, in the order of ColonneArchivio, within the window's first
// width; numbers to the right.
struct LarghezzaColonnaArchivio {
    int larghezza;
    bool aDestra;
};
// clang-format off
inline constexpr std::array<LarghezzaColonnaArchivio, 9> LarghezzeArchivio = {{
//   larghezza  a destra       column
    {1600,      false},     // codice fiscale
    {2400,      false},     // datore di lavoro
    {1700,      false},     // formato
    {1100,      false},     // periodo
    {2900,      false},     // file
    {800,       true },     // persone
    {600,       true },     // errori
    {600,       true },     // avvisi
    {1800,      false},     // esito
}};
// clang-format on

// The file dialogs: their titles, and what they list first (the supplies), then every file.
inline constexpr std::string_view TitoloApri = "Apri una fornitura";
inline constexpr std::string_view TitoloConfronta = "Confronta con la fornitura precedente";
inline constexpr std::string_view NomeFiltroForniture = "Forniture"; // the views add the patterns
inline constexpr std::array<std::string_view, 2> EstensioniForniture = {"txt", "xml"};
inline constexpr std::string_view NomeFiltroTutti = "Tutti i file";
// The folder dialog of "Apri cartella...".
inline constexpr std::string_view TitoloApriCartella = "Apri la cartella di un archivio";

// The kind of the verdict, which the view may show in its own colour.
enum class TipoEsito {
    Nessuno,     // no supply open
    InLettura,   // being read
    Inviabile,   // no errors (warnings perhaps)
    ConErrori,   // errors: the authority would refuse it
    Illeggibile, // missing or unreadable
};

struct AvanzamentoVisibile {
    std::string testo; // "Lettura di Importa770-2011-...txt"
    int percentuale = 0;
};

// An archive's folder as the window shows it: a row per supply with the cells of `fornitura archivio`
// (CelleArchivio, in the order of ColonneArchivio), then the set's findings and what of the folder is no
// supply, each on a line as the command line words it, and a summary line. ISO-8859-1.
struct ArchivioVisibile {
    std::string cartella;
    std::vector<std::array<std::string, 9>> righe;
    std::vector<std::string> rilievi;
    std::string riepilogo;
};

// What the window logic asks of a window. Texts are ISO-8859-1: the view converts them. Every call but
// Sveglia comes on the window's thread.
class VistaVerifica {
public:
    virtual ~VistaVerifica() = default;

    // The selector: one entry per open file, and the one shown (-1: none).
    virtual void MostraFile(const std::vector<std::string>& file, int scelto) = 0;
    // The supply's data, one "name: value" line each.
    virtual void MostraIntestazione(const std::vector<std::pair<std::string, std::string>>& righe) = 0;
    virtual void MostraEsito(const std::string& testo, TipoEsito tipo) = 0;
    // The list now has `righe` rows, whose cells FinestraVerifica::Cella gives; sorted by `colonna`,
    // ascending or not (the header shows it).
    virtual void MostraRilievi(std::size_t righe, ColonnaRilievi colonna, bool crescente) = 0;
    virtual void AbilitaPulsanti(bool distinta, bool confronta) = 0;
    // The archive's table in place of the supply's data and findings (the selector, the header, the verdict,
    // the list), or (none) the supply's again. `torna`: "Torna all'archivio" enabled (a supply is shown, an
    // archive is open); `apriFornitura`: "Apri fornitura" enabled (the table has rows). While the table is
    // shown, "Apri fornitura" is the default button and Enter or a double click on a row opens it.
    virtual void MostraArchivio(const ArchivioVisibile* archivio, bool torna, bool apriFornitura) = 0;
    // What is being done away from the window's thread, and how far; none: nothing (the bar hides).
    virtual void MostraAvanzamento(const std::optional<AvanzamentoVisibile>& avanzamento) = 0;

    // The system's file dialog in `cartella`; the files chosen (one only unless `piu`), none when cancelled.
    virtual std::vector<std::filesystem::path> ScegliFile(std::string_view titolo,
                                                          const std::filesystem::path& cartella, bool piu) = 0;
    // The system's folder dialog in `cartella`; the folder chosen, none when cancelled.
    virtual std::optional<std::filesystem::path> ScegliCartella(std::string_view titolo,
                                                                const std::filesystem::path& cartella) = 0;
    // A modal message box with a single OK button, titled with the program's name.
    virtual void Messaggio(const std::string& testo, bool errore) = 0;
    // Opens a page in the default browser; false when the system could not.
    virtual bool ApriNelBrowser(const std::filesystem::path& pagina) = 0;

    // From any thread: asks the window's thread to call FinestraVerifica::Consegna soon, and returns.
    virtual void Sveglia() = 0;
};

// What the logic takes from outside; tests replace the reading.
struct ServiziVerifica {
    std::filesystem::path archivio;       // where the file dialog opens when nothing is open
    std::filesystem::path cartellaPagine; // the program's folder for the listings and comparisons it writes
    std::filesystem::path guida;          // the office's guide
    // Reads a supply with its persons, reporting its progress (LeggiFornitura by default).
    std::function<FornituraLetta(const std::filesystem::path& percorso, const lettura::Avanzamento& avanzamento)> leggi;
};

// The guide as installed: "Guida.html" in the program's folder or in the folder above it (the suite's
// folder, where the installer puts it beside the programs' own folders). The second when neither exists.
std::filesystem::path PercorsoGuida(const std::filesystem::path& cartellaProgramma);

class FinestraVerifica {
public:
    FinestraVerifica(VistaVerifica& vista, ServiziVerifica servizi);
    // Stops the work, as Chiudi does.
    ~FinestraVerifica();
    FinestraVerifica(const FinestraVerifica&) = delete;
    FinestraVerifica& operator=(const FinestraVerifica&) = delete;

    // The program starts with the files given to it (Send To, a drop on its icon, the command line);
    // without any, the file dialog opens in the archive folder first. A folder among them opens as an
    // archive (the first one; it is shown), as "Apri cartella..." does. The window then shows.
    void Avvio(const std::vector<std::filesystem::path>& file);

    // "Apri...": the file dialog, in the folder of the file shown.
    void Apri();
    // "Apri cartella...": the folder dialog, then the folder's supplies read as a set (ApriArchivio).
    void ApriCartella();
    // The folder's files read, each checked, then the set's rules: the archive's table is shown.
    void ApriArchivio(const std::filesystem::path& cartella);
    // "Apri fornitura", Enter or a double click on the archive's row `riga`: that supply opened as "Apri..."
    // opens it.
    void ApriRigaArchivio(std::size_t riga);
    // "Torna all'archivio": the archive's table shown again, as it was read.
    void TornaAllArchivio();
    // Files dropped on the window; a folder among them as in Avvio.
    void FileTrascinati(const std::vector<std::filesystem::path>& file);
    // The selector: the file at `indice` is shown.
    void Scegli(int indice);
    // A click on a column's head: sorted by that column; the same column again reverses the order.
    void Ordina(ColonnaRilievi colonna);
    // "Apri distinta": the listing of the supply shown as a page in the browser.
    void ApriDistinta();
    // "Confronta con...": the file dialog for the earlier supply, then the comparison as a page.
    void ConfrontaCon();
    // "Guida": the office's guide in the browser.
    void Guida();
    // The window is closing ("Chiudi", its close box, Escape): the reading in progress stops and this
    // returns when it has; nothing is shown any more.
    void Chiudi();

    // On the window's thread, after VistaVerifica::Sveglia: the results of the work done meanwhile.
    void Consegna();

    // The text of a cell of the findings list, on one line: a control character or a line end that the
    // message quotes from the file shown as "\x0A" (shell::TestoSuUnaRiga).
    std::string Cella(std::size_t riga, ColonnaRilievi colonna) const;
    // The whole finding of a row of the list, which its cell may cut, for the line under the list and the
    // row's tip: "Importa770.txt:12:30: errore: codice fiscale ..." (the file's name, then the line and
    // the position as far as the finding names them), on one line as Cella writes it. Empty for a row
    // the list does not have.
    std::string TestoIntero(std::size_t riga) const;

    // Nothing is being read or written, and every result has been shown.
    bool Inattiva() const { return m_lavori.Inattivi(); }

private:
    struct FileAperto;
    struct ArchivioLetto;

    // The files' absolute paths, read (again, for one already open) in their order; the first is shown.
    void ApriFile(const std::vector<std::filesystem::path>& file);
    // The files given (Avvio, a drop): the files opened, the first folder as an archive.
    void ApriDati(const std::vector<std::filesystem::path>& dati);
    LavoriInDisparte::Lavoro LetturaArchivio(unsigned generazione, std::filesystem::path cartella);
    // The work done away from the window's thread: the reading of an open file (its result goes to Letto or
    // Illeggibile), and the reading of an earlier supply compared with the one shown (the page, or why not).
    LavoriInDisparte::Lavoro Lettura(std::size_t indice, unsigned generazione, std::filesystem::path percorso);
    LavoriInDisparte::Lavoro Confronto(std::filesystem::path vecchio, std::filesystem::path percorsoNuovo,
                                       std::shared_ptr<const FornituraLetta> nuova, std::string nomeNuova,
                                       std::filesystem::path pagina);
    void Letto(std::size_t indice, unsigned generazione, std::shared_ptr<const FornituraLetta> fornitura,
               std::string nomeEData);
    void Illeggibile(std::size_t indice, unsigned generazione, std::string messaggio);
    void OrdinaRilievi(FileAperto& file) const;
    void ScriviEApri(std::string descrizione, std::filesystem::path pagina, std::function<void(std::ostream&)> scrivi);
    void ApriPagina(const std::filesystem::path& pagina);
    const FileAperto* Mostrato() const;
    std::filesystem::path CartellaDelMostrato() const;
    void MostraTutto();
    void MostraAvanzamento();

    VistaVerifica& m_vista;
    ServiziVerifica m_servizi;
    std::vector<std::unique_ptr<FileAperto>> m_file;
    std::unique_ptr<ArchivioLetto> m_archivio; // the folder opened last
    unsigned m_generazioneArchivio = 0;        // the reading of a folder whose result is awaited
    bool m_inArchivio = false;                 // its table shown, not the supply
    int m_mostrato = -1;
    ColonnaRilievi m_ordinamento = ColonnaRilievi::Riga;
    bool m_crescente = true;
    bool m_chiusa = false;
    LavoriInDisparte m_lavori; // last: its thread ends before the rest goes
};

} // namespace verifica::finestra
