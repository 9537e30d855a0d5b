#pragma once
// An office's archive checked as a set. The files of its folders (or given one by one) are each checked as
// `verifica` checks one, and kept as a card of what the set's rules need of them (whose the supply is, its
// period, its persons' keys: never its records); then the rules hold the cards against one another: two
// documents of one month and position, a report in two of them, a resend, a superseded DMA, two ordinary 770,
// an E-Mens after UniEmens replaced it, a UniEmens before it began, a worker in an E-Mens and a UniEmens, an
// employee in two TFR supplies.

#include "formati/verifica.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string_view>
#include <string>
#include <vector>

namespace verifica {

// A file of a set as the reading of its folders finds it.
struct VoceInsieme {
    std::filesystem::path percorso;
    std::filesystem::path relativo; // below the folder given (empty for a file given by itself)
    std::size_t argomento = 0;      // which of the paths given it comes from
    // Why it is not read (ISO-8859-1): a pipe, a link out of the folder, a folder not read; empty when it is.
    std::string escluso;
};

// The files of the paths given, in this order: a file as it is; a folder's entries, sorted by name, those of its
// folders too with `ricorsivo` (else each told as a folder not read). Hidden entries (shell::Nascosto: the
// converters' lock files) are passed over; what is no regular file (a pipe, a device) is told and never opened,
// and a link is told and not followed (a link to an entry of the folder names what is read already; one out of
// it is no part of the archive). A folder that cannot be read is told as such.
std::vector<VoceInsieme> ElencaInsieme(const std::vector<std::filesystem::path>& percorsi, bool ricorsivo);

// What the set's rules keep of a person: its kind, its first line and its keys.
struct PersonaNota {
    int genere = 0;
    long riga = 0;
    std::string chiave;   // Persona::chiave
    std::string denuncia; // Persona::denuncia
};

// What the set keeps of one file.
struct SchedaFornitura {
    std::filesystem::path percorso;
    lettura::Esito esito;
    lettura::Identita identita;
    std::vector<PersonaNota> persone;
    // Why the file could not be read (ErroreFile's text); empty when it was.
    std::string nonLetta;
    // The file changed while it was read (its size or its time of change): what was read is of no one content.
    bool cambiata = false;
    // The file read is a supply (a format recognised, or forced and found).
    bool Fornitura() const { return nonLetta.empty() && !cambiata && esito.formato.has_value(); }
};

// The findings passed on to another receiver (when there is one); the first one's message kept, to say why a file
// is no supply.
class PrimoRilievo : public lettura::Destinatario {
public:
    explicit PrimoRilievo(lettura::Destinatario* sotto = nullptr) : m_sotto(sotto) {}
    void Segnala(const lettura::Rilievo& rilievo) override;
    const std::string& Primo() const { return m_primo; }

private:
    lettura::Destinatario* m_sotto;
    std::string m_primo;
};

// Checks the file as VerificaFile does, telling `rilievi` every finding, into its card.
SchedaFornitura LeggiScheda(const std::filesystem::path& percorso, const lettura::Opzioni& opzioni,
                            lettura::Destinatario& rilievi);

// A finding of the set, told at a line of one file (0: about the whole file) and naming the other file it is
// held against, when there is one.
struct RilievoInsieme {
    lettura::Gravita gravita = lettura::Gravita::Avviso;
    std::size_t file = 0; // the card it is told in
    long riga = 0;
    std::optional<std::size_t> altro; // the other card
    long rigaAltro = 0;
    std::string messaggio; // Italian, ISO-8859-1, without the other file (the front ends name it)
};

// A finding of the set on one line, "FILE:RIGA: avviso: MESSAGGIO (anche in ALTRO:RIGA)" (no line: the file
// alone), with the files' names (`nomi`, by card) and the message as the caller writes them.
std::string RigaRilievoInsieme(const RilievoInsieme& rilievo, const std::vector<std::string>& nomi,
                               std::string_view messaggio);

// The set's rules over the cards, in the order of the cards (files sorted by name): the findings grouped by
// employer, format and period. A supply with the same content as an earlier one (Confronta finds no
// difference: the cards' supplies are read again, with their fingerprints, only where two of one employer, format
// and period stand) is told once as such, and held to no other rule.
std::vector<RilievoInsieme> RegoleDellInsieme(const std::vector<SchedaFornitura>& schede,
                                              std::optional<lettura::Formato> formato = {});

// Runs `leggi(i)` for i from 0 to `quanti` - 1 on `thread` threads (at least one), one file per task taken by an
// atomic index, and `fatto(i)` on the calling thread in the order of i, each as soon as it and all before it are
// read: the output is the same whatever the number of threads. An exception of `leggi` or `fatto` stops the
// tasks not begun and is thrown again once the threads end.
void PerOgniFile(std::size_t quanti, unsigned thread, const std::function<void(std::size_t)>& leggi,
                 const std::function<void(std::size_t)>& fatto);

// The files of a set read: a card for each entry of ElencaInsieme (empty for one excluded), and the message of the
// first finding of each file (why one that is no supply is not).
struct SchedeLette {
    std::vector<SchedaFornitura> schede;
    std::vector<std::string> primi;
};
// Checks each entry not excluded into its card (LeggiScheda) on `thread` threads, telling its findings to the receiver
// `rilievi(i)` gives (on the thread that reads it; none: to no one), then calls `letto(i)` for every entry on that
// thread and `fatto(i)` on the calling thread in the order of the entries, as PerOgniFile does.
void LeggiSchede(const std::vector<VoceInsieme>& voci, const lettura::Opzioni& opzioni, unsigned thread,
                 SchedeLette& lette, const std::function<lettura::Destinatario*(std::size_t)>& rilievi,
                 const std::function<void(std::size_t)>& letto, const std::function<void(std::size_t)>& fatto);

// The threads a set is read on: FORNITURA_THREAD when it holds a number from 1, else the processors.
unsigned ThreadPredefiniti();

// "03/2011", "2010", "14/06/2011": a card's period as its format has it; empty when unknown.
std::string TestoPeriodo(const SchedaFornitura& scheda);

// A supply of the archive at a glance: its own findings and those of the set told in it, and its verdict.
struct VoceArchivio {
    std::size_t scheda = 0; // the card
    std::string file;       // as the archive names it (below its folder), ISO-8859-1
    long errori = 0, avvisi = 0;
};
// The supplies of the cards (`nomi`: each card's file as the table shows it), by employer, period, format and
// file; the set's findings counted in the supply they are told in.
std::vector<VoceArchivio> VociArchivio(const std::vector<SchedaFornitura>& schede, const std::vector<std::string>& nomi,
                                       const std::vector<RilievoInsieme>& rilievi);
// "da correggere" (an error), "inviabile con avvisi", "inviabile".
std::string_view Verdetto(const VoceArchivio& voce);

// The columns of the archive's table, in their order, as its TSV heads them.
inline constexpr std::array<std::string_view, 9> ColonneArchivio = {
    "codice fiscale", "datore di lavoro", "formato", "periodo", "file", "persone", "errori", "avvisi", "esito"};
// A supply's row of the table, a value per column (ISO-8859-1): the TSV and the check window both show these.
std::array<std::string, 9> CelleArchivio(const SchedaFornitura& scheda, const VoceArchivio& voce);

// The header ColonneArchivio, then a row per supply (CelleArchivio). UTF-8, each value as the listing's TSV
// writes it (CellaTsv).
void ScriviArchivioTsv(const std::vector<SchedaFornitura>& schede, const std::vector<VoceArchivio>& voci,
                       std::ostream& out);
// The archive as a printable page: per year, a row per employer and a cell per month with the supplies of that
// month (a 770 in a column of its own, under its tax year) coloured by verdict; the set's findings under it.
void ScriviArchivioHtml(const std::vector<SchedaFornitura>& schede, const std::vector<VoceArchivio>& voci,
                        const std::vector<RilievoInsieme>& rilievi, const std::string& cartella, std::ostream& out);

} // namespace verifica
