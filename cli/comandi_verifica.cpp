#include "cli/comandi_verifica.h"

#include "verifica/archivio.h"
#include "verifica/confronto.h"
#include "cli/contesto_terminale.h"
#include "verifica/distinta.h"
#include "cli/fornitura.h"
#include "shell/errore.h"
#include "verifica/pagina_html.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"
#include "formati/verifica.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string_view>

namespace cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view UsoVerifica =
    "Uso:\n"
    "  fornitura verifica FILE|CARTELLA... [--formato 770|uniemens|dma|emens|tfr]\n"
    "                     [--ricorsivo] [--thread N]\n"
    "  fornitura archivio CARTELLA... [--html USCITA] [--ricorsivo] [--thread N]\n"
    "  fornitura distinta FILE [--html USCITA] [--formato ...]\n"
    "  fornitura confronta VECCHIA NUOVA [--html USCITA] [--formato ...]\n";

// The command line of the three commands: files, `--formato` and (not for verifica) `--html`; of verifica,
// `--ricorsivo` and `--thread`.
struct Richiesta {
    std::vector<std::string> file;
    std::optional<lettura::Formato> formato;
    std::optional<std::string> html;
    bool ricorsivo = false;
    unsigned thread = 0; // 0: verifica::ThreadPredefiniti
};

// Which command a request is read for: what options it takes beside --formato.
enum class Comando { Verifica, ConPagina, Archivio };

// The request, or the status of a wrong command line (its message printed).
std::optional<Richiesta> Leggi(const std::vector<std::string>& argomenti, Comando comando, std::ostream& err,
                               int& esito) {
    const bool conHtml = comando != Comando::Verifica, insieme = comando != Comando::ConPagina;
    Richiesta richiesta;
    const auto sbagliata = [&](const std::string& motivo) {
        err << "fornitura: " << motivo << "\n" << UsoVerifica;
        esito = EsitoUso;
        return std::nullopt;
    };
    for (std::size_t i = 1; i < argomenti.size(); ++i) {
        std::string argomento = argomenti[i];
        if (argomento == "--") {
            richiesta.file.insert(richiesta.file.end(), argomenti.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                  argomenti.end());
            break;
        }
        if (argomento.size() < 2 || argomento[0] != '-') {
            richiesta.file.push_back(std::move(argomento));
            continue;
        }
        if (insieme && argomento == "--ricorsivo") {
            richiesta.ricorsivo = true;
            continue;
        }
        std::optional<std::string> valore;
        if (const auto uguale = argomento.find('='); argomento.rfind("--", 0) == 0 && uguale != std::string::npos) {
            valore = argomento.substr(uguale + 1);
            argomento.resize(uguale);
        } else if ((argomento == "--formato" || argomento == "--html" || argomento == "--thread") &&
                   i + 1 < argomenti.size()) {
            valore = argomenti[++i];
        }
        if (argomento != "--formato" && !(conHtml && argomento == "--html") && !(insieme && argomento == "--thread"))
            return sbagliata("opzione sconosciuta '" + argomento + "'");
        if (!valore || valore->empty())
            return sbagliata("manca il valore di " + argomento);
        if (argomento == "--html") {
            richiesta.html = *valore;
        } else if (argomento == "--thread") {
            const char* fine = valore->data() + valore->size();
            if (std::from_chars(valore->data(), fine, richiesta.thread).ptr != fine || richiesta.thread < 1 ||
                richiesta.thread > 256)
                return sbagliata("--thread vuole un numero da 1 a 256, non '" + *valore + "'");
        } else if (!(richiesta.formato = lettura::FormatoDaComando(*valore))) {
            return sbagliata("formato sconosciuto '" + *valore + "'");
        }
    }
    return richiesta;
}

fs::path Percorso(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Quanti(long n, std::string_view uno, std::string_view molti) {
    return std::to_string(n) + " " + std::string(n == 1 ? uno : molti);
}

// Prints the findings as they come: "FILE:RIGA:COLONNA: errore: MESSAGGIO", or "FILE: errore: ..." for a
// finding about the whole file; of each rule the first RilieviPerRegola, then (Riepiloghi) one line for those
// beyond.
class StampaRilievi : public lettura::Destinatario {
public:
    StampaRilievi(std::ostream& out, std::string_view nome) : m_out(out), m_nome(NomePerTerminale(nome)) {}

    void Segnala(const lettura::Rilievo& rilievo) override {
        if (m_somma.Mostra(rilievo))
            Stampa(rilievo);
    }
    void Riepiloghi() {
        for (const lettura::Rilievo& riepilogo : m_somma.Riepiloghi())
            Stampa(riepilogo);
    }

private:
    void Stampa(const lettura::Rilievo& rilievo) {
        m_riga = m_nome;
        if (rilievo.riga > 0) {
            m_riga += ':' + std::to_string(rilievo.riga);
            if (rilievo.colonna > 0)
                m_riga += ':' + std::to_string(rilievo.colonna);
        }
        m_riga.append(": ").append(lettura::NomeGravita(rilievo.gravita)).append(": ");
        AggiungiPerTerminale(shell::TestoSuUnaRiga(rilievo.messaggio, m_appoggio), m_riga);
        m_riga += '\n';
        m_out << m_riga;
    }

    std::ostream& m_out;
    std::string m_nome; // the file as the command line names it (UTF-8), as NomePerTerminale shows it
    std::string m_riga;
    std::string m_appoggio; // a message with characters to show as codes
    lettura::SommaRilievi m_somma;
};

// The causes of a failed write that the message names; any other by its number.
struct CausaScrittura {
    int codice;
    std::string_view testo;
};

// clang-format off
const CausaScrittura CauseScrittura[] = {
    {ENOSPC, "disco pieno"},
    {EFBIG,  "superato il limite di dimensione dei file"},
    {EIO,    "errore del dispositivo"},
#ifdef EDQUOT
    {EDQUOT, "superata la quota del disco"},
#endif
};
// clang-format on

// Standard output as the three commands write it: every write passed on to the stream given, the first that
// fails kept with its cause (errno), so that a verdict, a listing or a comparison cut short ends with status
// 1 and says why. A reader that went away (EPIPE: `fornitura verifica ... | head -1`) is no failure of the
// command's: its status stays its own, as a converter's does.
class UscitaSorvegliata : public std::streambuf {
public:
    explicit UscitaSorvegliata(std::ostream& out) : m_sotto(out.rdbuf()), m_flusso(this) {}

    std::ostream& Flusso() { return m_flusso; }
    // A write failed, and not because the reader went away.
    bool Guasta() const { return m_errore != 0 && m_errore != EPIPE; }
    // The command's status once everything is written: `esito`, or 1 with the message on `err` when a write
    // failed.
    int EsitoFinale(int esito, std::ostream& err) {
        m_flusso.flush();
        if (!Guasta())
            return esito;
        std::string causa = "errore di scrittura numero " + std::to_string(m_errore);
        for (const CausaScrittura& c : CauseScrittura)
            if (c.codice == m_errore)
                causa = c.testo;
        err << "fornitura: impossibile scrivere sull'uscita standard (" << causa
            << "): quanto stampato \xC3\xA8 incompleto\n";
        return EsitoErrore;
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        errno = 0;
        return Riuscita(m_errore == 0 &&
                        !traits_type::eq_int_type(m_sotto->sputc(traits_type::to_char_type(c)), traits_type::eof()))
                   ? c
                   : traits_type::eof();
    }
    std::streamsize xsputn(const char* testo, std::streamsize n) override {
        errno = 0;
        const std::streamsize scritti = m_errore == 0 ? m_sotto->sputn(testo, n) : 0;
        Riuscita(scritti == n);
        return scritti;
    }
    int sync() override {
        errno = 0;
        return Riuscita(m_errore == 0 && m_sotto->pubsync() == 0) ? 0 : -1;
    }

private:
    // Keeps the cause of the first write that failed (EIO when the stream below gave none).
    bool Riuscita(bool riuscita) {
        if (!riuscita && m_errore == 0)
            m_errore = errno != 0 ? errno : EIO;
        return riuscita;
    }

    std::streambuf* m_sotto;
    std::ostream m_flusso;
    int m_errore = 0;
};

// "nessun errore, 2 avvisi", "1 errore, nessun avviso".
std::string ErroriEAvvisi(long errori, long avvisi) {
    return (errori == 0 ? std::string("nessun errore") : Quanti(errori, "errore", "errori")) + ", " +
           (avvisi == 0 ? std::string("nessun avviso") : Quanti(avvisi, "avviso", "avvisi"));
}

std::string Riepilogo(const std::string& nome, const lettura::Esito& esito) {
    std::string riga = NomePerTerminale(nome) + ": ";
    if (esito.formato)
        riga += std::string(lettura::Descrizione(*esito.formato).nome) + ", " +
                Quanti(esito.record, "record", "record") + ", " + Quanti(esito.persone, "persona", "persone");
    else
        riga += "nessuna fornitura riconosciuta";
    riga += ": " + ErroriEAvvisi(esito.errori, esito.avvisi);
    return riga;
}

// Writes a page made by `scrivi` to the file named on the command line; false (with the message) when it
// cannot be written.
bool ScriviPagina(const std::string& nome, std::ostream& err, const std::function<void(std::ostream&)>& scrivi) {
    try {
        verifica::ScriviFilePagina(Percorso(nome), scrivi);
        return true;
    } catch (const shell::ErroreElaborazione& e) {
        err << "fornitura: impossibile scrivere la pagina '" << NomePerTerminale(nome)
            << "': " << RigaPerTerminale(e.what()) << "\n";
        return false;
    }
}

// A page that would be written over one of the files it is made from: refused before anything is read or
// written (the same file by any spelling, a second name or a link).
bool PaginaSuUnIngresso(const Richiesta& richiesta, std::ostream& err) {
    if (!richiesta.html)
        return false;
    for (const std::string& nome : richiesta.file)
        if (shell::StessoFile(Percorso(*richiesta.html), Percorso(nome))) {
            err << "fornitura: la pagina '" << NomePerTerminale(*richiesta.html) << "' \xC3\xA8 il file letto '"
                << NomePerTerminale(nome) << "': scriverla lo distruggerebbe; indicare un altro file con --html\n";
            return true;
        }
    return false;
}

// Reads a supply with its persons, with their listing values or (a comparison) only their keys and
// fingerprints; the status of a missing file when it cannot be read.
std::optional<verifica::FornituraLetta> LeggiConPersone(const std::string& nome,
                                                        std::optional<lettura::Formato> formato, bool valori,
                                                        std::ostream& err, int& esito) {
    try {
        return verifica::LeggiFornitura(Percorso(nome), formato, {}, valori);
    } catch (const lettura::ErroreFile& e) {
        err << "fornitura: " << RigaPerTerminale(e.what()) << '\n';
        esito = EsitoFileMancante;
        return std::nullopt;
    }
}

// A path as the command line names it (UTF-8).
std::string NomeDi(const fs::path& percorso) {
    const std::u8string nome = percorso.u8string();
    return std::string(nome.begin(), nome.end());
}

// The files of a set, read: each file's findings as `verifica` prints them, or (`conRilievi` false) only
// what tells a file apart; what keeps it from being read.
struct Insieme {
    std::vector<std::string> nomi; // as the command line names them (UTF-8)
    std::vector<verifica::SchedaFornitura> schede;
    long forniture = 0;
    bool errori = false;   // a supply's own error
    bool mancanti = false; // a file that could not be read
};

// Folders, or several files: each file checked as one is (in parallel; its output to `out` in the order of the
// names, whatever the threads), what is no file or no supply of a folder told in one line there.
Insieme LeggiInsieme(const Richiesta& richiesta, const lettura::Opzioni& opzioni, bool conRilievi, std::ostream& out,
                     std::ostream& err) {
    std::vector<fs::path> percorsi;
    for (const std::string& nome : richiesta.file)
        percorsi.push_back(Percorso(nome));
    const std::vector<verifica::VoceInsieme> voci = verifica::ElencaInsieme(percorsi, richiesta.ricorsivo);
    Insieme insieme;
    for (const verifica::VoceInsieme& voce : voci)
        insieme.nomi.push_back(voce.relativo.empty() ? richiesta.file[voce.argomento] : NomeDi(voce.percorso));
    std::vector<std::string> stampe(voci.size()), mancanze(voci.size());
    std::vector<char> conta(voci.size(), 0); // its findings count in the status: a file checked, not told apart
    // Each file's findings printed into a text of its own, on the thread that reads it.
    std::vector<std::ostringstream> testi(voci.size());
    std::vector<std::optional<StampaRilievi>> stampanti(voci.size());
    verifica::SchedeLette lette;
    const auto rilievi = [&](std::size_t i) -> lettura::Destinatario* {
        return &stampanti[i].emplace(testi[i], insieme.nomi[i]);
    };
    const auto letto = [&](std::size_t i) {
        const verifica::VoceInsieme& voce = voci[i];
        const std::string nome = NomePerTerminale(insieme.nomi[i]);
        const verifica::SchedaFornitura& scheda = lette.schede[i];
        if (!voce.escluso.empty())
            stampe[i] = nome + ": " + RigaPerTerminale(voce.escluso) + '\n';
        else if (!scheda.nonLetta.empty())
            mancanze[i] = "fornitura: " + RigaPerTerminale(scheda.nonLetta) + '\n';
        else if (scheda.cambiata)
            mancanze[i] = "fornitura: il file '" + nome +
                          "' \xC3\xA8 cambiato mentre era letto: quanto letto non \xC3\xA8 un contenuto solo; "
                          "verificarlo di nuovo\n";
        else if (!scheda.esito.formato && !voce.relativo.empty())
            stampe[i] = nome + ": non \xC3\xA8 una fornitura: " + RigaPerTerminale(lette.primi[i]) + '\n';
        else {
            conta[i] = 1;
            if (conRilievi) {
                stampanti[i]->Riepiloghi();
                testi[i] << Riepilogo(insieme.nomi[i], scheda.esito) << '\n';
                stampe[i] = std::move(testi[i]).str();
            }
        }
        stampanti[i].reset();
        testi[i] = std::ostringstream();
    };
    const auto fatto = [&](std::size_t i) {
        (conRilievi ? out : err) << stampe[i];
        std::string().swap(stampe[i]);
        if (!mancanze[i].empty()) {
            out.flush();
            err << mancanze[i];
            insieme.mancanti = true;
        }
        insieme.forniture += lette.schede[i].Fornitura() ? 1 : 0;
        insieme.errori = insieme.errori || (conta[i] && lette.schede[i].esito.errori > 0);
    };
    verifica::LeggiSchede(voci, opzioni, richiesta.thread > 0 ? richiesta.thread : verifica::ThreadPredefiniti(), lette,
                          rilievi, letto, fatto);
    insieme.schede = std::move(lette.schede);
    return insieme;
}

// Folders, or several files: each file checked, then the findings of the set and its summary line.
int VerificaInsieme(const Richiesta& richiesta, const lettura::Opzioni& opzioni, UscitaSorvegliata& uscita,
                    std::ostream& err) {
    const Insieme insieme = LeggiInsieme(richiesta, opzioni, true, uscita.Flusso(), err);
    long erroriInsieme = 0, avvisiInsieme = 0;
    // A finding of the set: "FILE:RIGA: avviso: MESSAGGIO (anche in ALTRO:RIGA)", for the terminal.
    std::vector<std::string> nomi;
    for (const std::string& nome : insieme.nomi)
        nomi.push_back(NomePerTerminale(nome));
    for (const verifica::RilievoInsieme& r : verifica::RegoleDellInsieme(insieme.schede, opzioni.formato)) {
        std::string messaggio, appoggio;
        AggiungiPerTerminale(shell::TestoSuUnaRiga(r.messaggio, appoggio), messaggio);
        uscita.Flusso() << verifica::RigaRilievoInsieme(r, nomi, messaggio) << '\n';
        ++(r.gravita == lettura::Gravita::Errore ? erroriInsieme : avvisiInsieme);
    }
    uscita.Flusso() << "Insieme di " << Quanti(insieme.forniture, "fornitura", "forniture") << ": "
                    << ErroriEAvvisi(erroriInsieme, avvisiInsieme) << " tra le forniture\n";
    const bool errori = insieme.errori || erroriInsieme > 0;
    return uscita.EsitoFinale(insieme.mancanti ? EsitoFileMancante : errori ? EsitoErrore : EsitoCompletato, err);
}

} // namespace

int EseguiVerifica(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    int esito = EsitoCompletato;
    const auto richiesta = Leggi(argomenti, Comando::Verifica, err, esito);
    if (!richiesta)
        return esito;
    if (richiesta->file.empty()) {
        err << "fornitura: manca il file da verificare\n" << UsoVerifica;
        return EsitoUso;
    }
    lettura::Opzioni opzioni;
    opzioni.formato = richiesta->formato;
    UscitaSorvegliata uscita(out);
    std::error_code nonCartella;
    if (richiesta->file.size() > 1 || fs::is_directory(Percorso(richiesta->file.front()), nonCartella))
        return VerificaInsieme(*richiesta, opzioni, uscita, err);
    bool errori = false, mancanti = false;
    for (const std::string& nome : richiesta->file) {
        if (uscita.Guasta())
            break;
        StampaRilievi stampa(uscita.Flusso(), nome);
        try {
            const lettura::Esito letto = formati::VerificaFile(Percorso(nome), opzioni, stampa);
            stampa.Riepiloghi();
            uscita.Flusso() << Riepilogo(nome, letto) << '\n';
            errori = errori || letto.errori > 0;
        } catch (const lettura::ErroreFile& e) {
            uscita.Flusso().flush();
            err << "fornitura: " << RigaPerTerminale(e.what()) << '\n';
            mancanti = true;
        }
    }
    return uscita.EsitoFinale(mancanti ? EsitoFileMancante : errori ? EsitoErrore : EsitoCompletato, err);
}

int EseguiDistinta(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    int esito = EsitoCompletato;
    const auto richiesta = Leggi(argomenti, Comando::ConPagina, err, esito);
    if (!richiesta)
        return esito;
    if (richiesta->file.size() != 1) {
        err << "fornitura: " << (richiesta->file.empty() ? "manca il file" : "un solo file per distinta") << "\n"
            << UsoVerifica;
        return EsitoUso;
    }
    if (PaginaSuUnIngresso(*richiesta, err))
        return EsitoUso;
    const std::string& nome = richiesta->file.front();
    const auto fornitura = LeggiConPersone(nome, richiesta->formato, true, err, esito);
    if (!fornitura)
        return esito;
    if (!fornitura->formato) {
        for (const auto& r : fornitura->rilievi)
            err << NomePerTerminale(nome) << ": " << RigaPerTerminale(verifica::TestoRilievo(r)) << '\n';
        return EsitoErrore;
    }
    if (!richiesta->html) {
        UscitaSorvegliata uscita(out);
        verifica::ScriviDistintaTsv(*fornitura, uscita.Flusso());
        return uscita.EsitoFinale(EsitoCompletato, err);
    }
    const std::string file = verifica::NomeEDataDelFile(Percorso(nome));
    return ScriviPagina(*richiesta->html, err,
                        [&](std::ostream& pagina) { verifica::ScriviDistintaHtml(*fornitura, file, pagina); })
               ? EsitoCompletato
               : EsitoErrore;
}

int EseguiConfronta(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    int esito = EsitoCompletato;
    const auto richiesta = Leggi(argomenti, Comando::ConPagina, err, esito);
    if (!richiesta)
        return esito;
    if (richiesta->file.size() != 2) {
        err << "fornitura: servono due file, la fornitura di prima e quella di dopo\n" << UsoVerifica;
        return EsitoUso;
    }
    if (PaginaSuUnIngresso(*richiesta, err))
        return EsitoUso;
    const auto vecchia = LeggiConPersone(richiesta->file[0], richiesta->formato, false, err, esito);
    const auto nuova =
        vecchia ? LeggiConPersone(richiesta->file[1], richiesta->formato, false, err, esito) : std::nullopt;
    if (!vecchia || !nuova)
        return esito;
    // A file that is no supply: status 3, with what the check says of the whole file.
    for (const auto* f : {&*vecchia, &*nuova})
        if (!f->formato) {
            const std::string& nome = f == &*vecchia ? richiesta->file[0] : richiesta->file[1];
            err << "fornitura: '" << NomePerTerminale(nome) << "' non \xC3\xA8 una fornitura riconosciuta";
            for (const auto& r : f->rilievi)
                if (r.riga == 0)
                    err << ": " << RigaPerTerminale(r.messaggio);
            err << "\n";
            return EsitoFileMancante;
        }
    // A document not whole, or begun by a byte order mark: status 3, with the reason.
    for (const auto* f : {&*vecchia, &*nuova})
        if (const auto motivo = verifica::NonConfrontabile(*f)) {
            const std::string& nome = f == &*vecchia ? richiesta->file[0] : richiesta->file[1];
            err << "fornitura: '" << NomePerTerminale(nome)
                << "' non si pu\xC3\xB2 confrontare: " << RigaPerTerminale(*motivo) << "\n";
            return EsitoFileMancante;
        }
    if (*vecchia->formato != *nuova->formato) {
        err << "fornitura: formati diversi: " << PerTerminale(lettura::Descrizione(*vecchia->formato).nome) << " e "
            << PerTerminale(lettura::Descrizione(*nuova->formato).nome) << "\n";
        return EsitoUso;
    }
    verifica::Differenze differenze;
    try {
        differenze = verifica::Confronta(*vecchia, *nuova);
    } catch (const lettura::ErroreFile& e) {
        err << "fornitura: " << RigaPerTerminale(e.what()) << '\n';
        return EsitoFileMancante;
    }
    const std::string nomeVecchia = verifica::NomeEDataDelFile(Percorso(richiesta->file[0]), true);
    const std::string nomeNuova = verifica::NomeEDataDelFile(Percorso(richiesta->file[1]), true);
    if (richiesta->html) {
        if (!ScriviPagina(*richiesta->html, err, [&](std::ostream& pagina) {
                verifica::ScriviConfrontoHtml(*vecchia, *nuova, differenze, nomeVecchia, nomeNuova, pagina);
            }))
            return EsitoErrore;
        return differenze.Nessuna() ? EsitoCompletato : EsitoErrore;
    }
    std::ostringstream testo;
    verifica::ScriviConfronto(*vecchia, *nuova, differenze, nomeVecchia, nomeNuova, testo);
    UscitaSorvegliata uscita(out);
    uscita.Flusso() << PerTerminale(testo.str());
    return uscita.EsitoFinale(differenze.Nessuna() ? EsitoCompletato : EsitoErrore, err);
}

int EseguiArchivio(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    int esito = EsitoCompletato;
    const auto richiesta = Leggi(argomenti, Comando::Archivio, err, esito);
    if (!richiesta)
        return esito;
    if (richiesta->file.empty()) {
        err << "fornitura: manca la cartella dell'archivio\n" << UsoVerifica;
        return EsitoUso;
    }
    if (PaginaSuUnIngresso(*richiesta, err))
        return EsitoUso;
    lettura::Opzioni opzioni;
    opzioni.formato = richiesta->formato;
    UscitaSorvegliata uscita(out);
    const Insieme insieme = LeggiInsieme(*richiesta, opzioni, false, uscita.Flusso(), err);
    const std::vector<verifica::RilievoInsieme> rilievi = verifica::RegoleDellInsieme(insieme.schede, opzioni.formato);
    // The files as the table names them: below the folder given, or as given.
    std::vector<std::string> nomi;
    for (std::size_t i = 0; i < insieme.schede.size(); ++i)
        nomi.push_back(shell::Latin1DaUtf8(insieme.nomi[i]));
    if (richiesta->file.size() == 1) {
        const std::string cartella = shell::Latin1DaUtf8(richiesta->file.front());
        for (std::string& nome : nomi)
            if (nome.size() > cartella.size() + 1 && nome.starts_with(cartella))
                nome.erase(0, cartella.size() + 1);
    }
    const std::vector<verifica::VoceArchivio> voci = verifica::VociArchivio(insieme.schede, nomi, rilievi);
    // Not over a file of the archive, which writing the page would destroy.
    for (const std::string& nome : insieme.nomi)
        if (richiesta->html && shell::StessoFile(Percorso(*richiesta->html), Percorso(nome))) {
            err << "fornitura: la pagina '" << NomePerTerminale(*richiesta->html)
                << "' \xC3\xA8 il file dell'archivio '" << NomePerTerminale(nome)
                << "': scriverla lo distruggerebbe; indicare un altro file con --html\n";
            return EsitoUso;
        }
    if (richiesta->html) {
        if (!ScriviPagina(*richiesta->html, err, [&](std::ostream& pagina) {
                verifica::ScriviArchivioHtml(insieme.schede, voci, rilievi,
                                             shell::Latin1DaUtf8(richiesta->file.front()), pagina);
            }))
            return EsitoErrore;
    } else {
        verifica::ScriviArchivioTsv(insieme.schede, voci, uscita.Flusso());
    }
    const bool errori =
        std::any_of(voci.begin(), voci.end(), [](const verifica::VoceArchivio& v) { return v.errori > 0; });
    return uscita.EsitoFinale(insieme.mancanti ? EsitoFileMancante : errori ? EsitoErrore : EsitoCompletato, err);
}

} // namespace cli
