#include "verifica/finestra/finestra_verifica.h"

#include "verifica/archivio.h"
#include "verifica/confronto.h"
#include "verifica/distinta.h"
#include "shell/errore.h"
#include "verifica/pagina_html.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"

#include <algorithm>
#include <atomic>
#include <tuple>
#include <new>
#include <numeric>
#include <system_error>

namespace verifica::finestra {

namespace fs = std::filesystem;
using lettura::Avanzamento;
using lettura::ColonneComuni;
using lettura::Descrizione;
using lettura::ErroreFile;
using lettura::Gravita;
using lettura::LetturaInterrotta;
using lettura::NomeGravita;
using lettura::Opzioni;
using lettura::Rilievo;

namespace {

constexpr std::string_view NomeGuida = "Guida.html";

// A file's name as the window's texts give it, on one line.
std::string NomeFile(const fs::path& percorso) {
    return shell::TestoSuUnaRiga(shell::TestoPercorso(percorso.filename()));
}

fs::path Assoluto(const fs::path& percorso) {
    std::error_code errore;
    fs::path assoluto = fs::absolute(percorso, errore);
    return (errore ? percorso : assoluto).lexically_normal();
}

// Writes a page made by `scrivi` into the program's folder of pages; the message that says why it could
// not be written, or nothing.
std::string ScriviPagina(const fs::path& pagina, const std::function<void(std::ostream&)>& scrivi) {
    const std::string errore = "Impossibile scrivere la pagina '" + shell::TestoPercorso(pagina) + "'";
    try {
        std::error_code ec;
        fs::create_directories(pagina.parent_path(), ec);
        ScriviFilePagina(pagina, scrivi);
        return {};
    } catch (const shell::ErroreElaborazione& e) {
        return errore + ": " + e.what();
    } catch (const std::bad_alloc&) {
        return errore + ": memoria insufficiente";
    }
}

// What a reading that failed says, whatever the failure.
std::string LetturaNonRiuscita(const fs::path& percorso) {
    try {
        throw;
    } catch (const ErroreFile& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return "Memoria insufficiente per leggere il file '" + shell::TestoPercorso(percorso) + "'";
    } catch (const std::exception& e) {
        return "Lettura del file '" + shell::TestoPercorso(percorso) + "' non riuscita: " + e.what();
    } catch (...) {
        return "Lettura del file '" + shell::TestoPercorso(percorso) + "' non riuscita";
    }
}

// The name of a page of the window: its kind, the number of the open file it comes from (two open files
// of the same name never share a page), the supplies' names.
fs::path NomePagina(std::string_view tipo, std::size_t numero, std::initializer_list<fs::path> file) {
    fs::path nome = std::string(tipo) + "-" + std::to_string(numero);
    for (const fs::path& f : file) {
        nome += "-";
        nome += f.stem();
    }
    nome += ".html";
    return nome;
}

// "1 fornitura", "3 forniture".
std::string Quante(std::size_t n, std::string_view una, std::string_view tante) {
    return std::to_string(n) + " " + std::string(n == 1 ? una : tante);
}

// A folder's files read as `fornitura archivio` reads them (each checked on the threads of the set, then the
// set's rules): its table, its findings, what of it is no supply and why, the summary; the path of each row's
// file into `percorsi`. A stop asked through `avanzamento` ends it with LetturaInterrotta.
ArchivioVisibile LeggiArchivio(const fs::path& cartella, const Avanzamento& avanzamento,
                               std::vector<fs::path>& percorsi) {
    ArchivioVisibile archivio;
    archivio.cartella = shell::TestoPercorso(cartella);
    const std::string nomeCartella = shell::TestoSuUnaRiga(archivio.cartella);
    std::error_code nonCartella;
    if (!fs::is_directory(cartella, nonCartella)) {
        archivio.riepilogo = "La cartella '" + nomeCartella + "' non esiste o non \xE8 una cartella";
        return archivio;
    }
    const std::vector<VoceInsieme> voci = ElencaInsieme({cartella}, false);
    std::vector<std::string> nomi;
    for (const VoceInsieme& voce : voci)
        nomi.push_back(shell::TestoSuUnaRiga(shell::TestoPercorso(voce.relativo.empty() ? cartella : voce.relativo)));
    std::atomic<std::size_t> letti{0};
    Opzioni opzioni;
    opzioni.avanzamento = [&](std::uint64_t, std::uint64_t) { return avanzamento(letti, voci.size()); };
    SchedeLette lette;
    LeggiSchede(voci, opzioni, ThreadPredefiniti(), lette, {}, {}, [&](std::size_t) {
        if (!avanzamento(++letti, voci.size()))
            throw LetturaInterrotta();
    });
    const std::vector<SchedaFornitura>& schede = lette.schede;
    // What of the folder is no supply, in the order of its files, as the command line tells it.
    bool cartellaIlleggibile = false;
    for (std::size_t i = 0; i < voci.size(); ++i) {
        const SchedaFornitura& scheda = schede[i];
        if (!voci[i].escluso.empty()) {
            archivio.rilievi.push_back(nomi[i] + ": " + voci[i].escluso);
            cartellaIlleggibile = cartellaIlleggibile || voci[i].relativo.empty();
        } else if (!scheda.nonLetta.empty())
            archivio.rilievi.push_back(shell::TestoSuUnaRiga(scheda.nonLetta));
        else if (scheda.cambiata)
            archivio.rilievi.push_back("il file '" + nomi[i] +
                                       "' \xE8 cambiato mentre era letto: quanto letto non \xE8 un contenuto solo; "
                                       "verificarlo di nuovo");
        else if (!scheda.esito.formato)
            archivio.rilievi.push_back(nomi[i] + ": non \xE8 una fornitura: " + shell::TestoSuUnaRiga(lette.primi[i]));
    }
    const std::vector<RilievoInsieme> rilievi = RegoleDellInsieme(schede);
    long errori = 0, avvisi = 0;
    for (const RilievoInsieme& r : rilievi) {
        archivio.rilievi.push_back(RigaRilievoInsieme(r, nomi, shell::TestoSuUnaRiga(r.messaggio)));
        ++(r.gravita == Gravita::Errore ? errori : avvisi);
    }
    std::size_t daCorreggere = 0, conAvvisi = 0;
    for (const VoceArchivio& voce : VociArchivio(schede, nomi, rilievi)) {
        archivio.righe.push_back(CelleArchivio(schede[voce.scheda], voce));
        percorsi.push_back(schede[voce.scheda].percorso);
        daCorreggere += voce.errori > 0 ? 1 : 0;
        conAvvisi += voce.errori == 0 && voce.avvisi > 0 ? 1 : 0;
    }
    const std::size_t forniture = archivio.righe.size();
    if (voci.empty())
        archivio.riepilogo = "La cartella '" + nomeCartella + "' \xE8 vuota";
    else if (forniture == 0 && cartellaIlleggibile)
        archivio.riepilogo = "La cartella '" + nomeCartella + "' non si pu\xF2 leggere";
    else if (forniture == 0)
        archivio.riepilogo = "Nella cartella '" + nomeCartella + "' non c'\xE8 alcuna fornitura";
    else
        archivio.riepilogo = Quante(forniture, "fornitura", "forniture") + ": " + std::to_string(daCorreggere) +
                             " da correggere, " + Quante(conAvvisi, "inviabile con avvisi", "inviabili con avvisi") +
                             ", " + Quante(forniture - daCorreggere - conAvvisi, "inviabile", "inviabili") +
                             "; tra le forniture " + Quante(static_cast<std::size_t>(errori), "errore", "errori") +
                             ", " + Quante(static_cast<std::size_t>(avvisi), "avviso", "avvisi");
    return archivio;
}

} // namespace

// The folder opened last: what the window shows of it, and the file of each row.
struct FinestraVerifica::ArchivioLetto {
    fs::path cartella; // absolute
    bool inLettura = true;
    ArchivioVisibile vista;
    std::vector<fs::path> percorsi;
};

struct FinestraVerifica::FileAperto {
    enum class Stato { InLettura, Letto, Illeggibile };

    fs::path percorso;        // absolute
    unsigned generazione = 0; // the reading whose result is awaited (a file opened again is read again)
    Stato stato = Stato::InLettura;
    std::shared_ptr<const FornituraLetta> fornitura; // Letto
    std::string nomeEData;                           // Letto: as the header and the pages name the file
    std::string errore;                              // Illeggibile: why
    std::vector<long> posizionePersona;              // a person's index in the file -> its place among `persone`
    std::vector<std::size_t> ordine;                 // the findings in the list's order
    ColonnaRilievi ordinatoPer = ColonnaRilievi::Riga;
    bool crescente = true;

    // "tax code surname name" of the person a finding is about; empty for none.
    std::string Persona(long indice) const {
        if (indice < 0 || static_cast<std::size_t>(indice) >= posizionePersona.size() ||
            posizionePersona[static_cast<std::size_t>(indice)] < 0)
            return {};
        const long posizione = posizionePersona[static_cast<std::size_t>(indice)];
        const auto& valori = fornitura->persone[static_cast<std::size_t>(posizione)].valori;
        std::string testo;
        for (std::size_t c = 0; c < std::size(ColonneComuni) && c < valori.size(); ++c) {
            if (valori[c].empty())
                continue;
            if (!testo.empty())
                testo += ' ';
            testo += valori[c];
        }
        return testo;
    }
};

fs::path PercorsoGuida(const fs::path& cartellaProgramma) {
    std::error_code errore;
    if (fs::is_regular_file(cartellaProgramma / NomeGuida, errore))
        return cartellaProgramma / NomeGuida;
    return cartellaProgramma.parent_path() / NomeGuida;
}

FinestraVerifica::FinestraVerifica(VistaVerifica& vista, ServiziVerifica servizi)
    : m_vista(vista), m_servizi(std::move(servizi)), m_lavori([this] { m_vista.Sveglia(); }) {
    if (!m_servizi.leggi)
        m_servizi.leggi = [](const fs::path& percorso, const Avanzamento& avanzamento) {
            return LeggiFornitura(percorso, std::nullopt, avanzamento);
        };
}

FinestraVerifica::~FinestraVerifica() { Chiudi(); }

void FinestraVerifica::Avvio(const std::vector<fs::path>& file) {
    if (file.empty())
        ApriFile(m_vista.ScegliFile(TitoloApri, m_servizi.archivio, true));
    else
        ApriDati(file);
}

void FinestraVerifica::ApriDati(const std::vector<fs::path>& dati) {
    std::vector<fs::path> file;
    std::optional<fs::path> cartella;
    for (const fs::path& dato : dati) {
        std::error_code errore;
        if (!fs::is_directory(dato, errore))
            file.push_back(dato);
        else if (!cartella)
            cartella = dato;
    }
    if (!file.empty())
        ApriFile(file);
    if (cartella)
        ApriArchivio(*cartella);
}

void FinestraVerifica::ApriCartella() {
    const fs::path dove = m_archivio ? m_archivio->cartella : CartellaDelMostrato();
    if (const auto scelta = m_vista.ScegliCartella(TitoloApriCartella, dove))
        ApriArchivio(*scelta);
}

void FinestraVerifica::ApriArchivio(const fs::path& cartella) {
    if (m_chiusa)
        return;
    m_archivio = std::make_unique<ArchivioLetto>();
    m_archivio->cartella = Assoluto(cartella);
    m_archivio->vista.cartella = shell::TestoPercorso(m_archivio->cartella);
    m_archivio->vista.riepilogo = "Lettura della cartella in corso...";
    m_inArchivio = true;
    m_lavori.Accoda("Lettura dell'archivio " + NomeFile(m_archivio->cartella),
                    LetturaArchivio(++m_generazioneArchivio, m_archivio->cartella));
    MostraTutto();
}

LavoriInDisparte::Lavoro FinestraVerifica::LetturaArchivio(unsigned generazione, fs::path cartella) {
    return [this, generazione,
            cartella = std::move(cartella)](const Avanzamento& avanzamento) -> LavoriInDisparte::Seguito {
        auto letto = std::make_shared<ArchivioLetto>();
        letto->cartella = cartella;
        letto->inLettura = false;
        try {
            letto->vista = LeggiArchivio(cartella, avanzamento, letto->percorsi);
        } catch (const LetturaInterrotta&) {
            return {};
        } catch (...) {
            letto->vista.cartella = shell::TestoPercorso(cartella);
            letto->vista.riepilogo = LetturaNonRiuscita(cartella);
        }
        return [this, generazione, letto] {
            if (generazione != m_generazioneArchivio)
                return; // another folder was opened meanwhile
            *m_archivio = std::move(*letto);
            MostraTutto();
        };
    };
}

void FinestraVerifica::ApriRigaArchivio(std::size_t riga) {
    if (!m_archivio || !m_inArchivio || riga >= m_archivio->percorsi.size())
        return;
    ApriFile({m_archivio->percorsi[riga]});
}

void FinestraVerifica::TornaAllArchivio() {
    if (!m_archivio || m_inArchivio)
        return;
    m_inArchivio = true;
    MostraTutto();
}

void FinestraVerifica::Apri() { ApriFile(m_vista.ScegliFile(TitoloApri, CartellaDelMostrato(), true)); }

void FinestraVerifica::FileTrascinati(const std::vector<fs::path>& file) { ApriDati(file); }

void FinestraVerifica::ApriFile(const std::vector<fs::path>& file) {
    if (m_chiusa)
        return;
    int primo = -1;
    for (const fs::path& dato : file) {
        const fs::path percorso = Assoluto(dato);
        std::size_t indice = 0;
        while (indice < m_file.size() && !shell::StessoFile(m_file[indice]->percorso, percorso))
            ++indice;
        if (indice == m_file.size()) {
            m_file.push_back(std::make_unique<FileAperto>());
            m_file.back()->percorso = percorso;
        }
        FileAperto& aperto = *m_file[indice];
        const unsigned generazione = ++aperto.generazione;
        aperto.stato = FileAperto::Stato::InLettura;
        aperto.fornitura.reset();
        if (primo < 0)
            primo = static_cast<int>(indice);
        // Read away from the window's thread; the result is taken on the window's thread, by Consegna.
        m_lavori.Accoda("Lettura di " + NomeFile(percorso), Lettura(indice, generazione, percorso));
    }
    if (primo >= 0) {
        m_mostrato = primo;
        m_inArchivio = false; // the supply opened is shown
    }
    MostraTutto();
}

LavoriInDisparte::Lavoro FinestraVerifica::Lettura(std::size_t indice, unsigned generazione, fs::path percorso) {
    return [this, indice, generazione, percorso = std::move(percorso),
            leggi = m_servizi.leggi](const Avanzamento& avanzamento) -> LavoriInDisparte::Seguito {
        try {
            auto letta = std::make_shared<const FornituraLetta>(leggi(percorso, avanzamento));
            std::string nomeEData = NomeEDataDelFile(percorso);
            return [this, indice, generazione, letta = std::move(letta), nomeEData = std::move(nomeEData)]() mutable {
                Letto(indice, generazione, std::move(letta), std::move(nomeEData));
            };
        } catch (const LetturaInterrotta&) {
            return {};
        } catch (...) {
            return [this, indice, generazione, messaggio = LetturaNonRiuscita(percorso)] {
                Illeggibile(indice, generazione, messaggio);
            };
        }
    };
}

void FinestraVerifica::Letto(std::size_t indice, unsigned generazione, std::shared_ptr<const FornituraLetta> fornitura,
                             std::string nomeEData) {
    FileAperto& file = *m_file[indice];
    if (generazione != file.generazione)
        return; // the file was opened again meanwhile: its newer reading counts
    file.stato = FileAperto::Stato::Letto;
    file.fornitura = std::move(fornitura);
    file.nomeEData = std::move(nomeEData);
    file.posizionePersona.assign(static_cast<std::size_t>(std::max(file.fornitura->esito.persone, 0L)), -1);
    for (std::size_t p = 0; p < file.fornitura->persone.size(); ++p) {
        const long i = file.fornitura->persone[p].indice;
        if (i >= 0 && static_cast<std::size_t>(i) < file.posizionePersona.size())
            file.posizionePersona[static_cast<std::size_t>(i)] = static_cast<long>(p);
    }
    OrdinaRilievi(file);
    MostraTutto();
}

void FinestraVerifica::Illeggibile(std::size_t indice, unsigned generazione, std::string messaggio) {
    FileAperto& file = *m_file[indice];
    if (generazione != file.generazione)
        return;
    file.stato = FileAperto::Stato::Illeggibile;
    file.errore = std::move(messaggio);
    MostraTutto();
}

void FinestraVerifica::OrdinaRilievi(FileAperto& file) const {
    file.ordinatoPer = m_ordinamento;
    file.crescente = m_crescente;
    if (file.stato != FileAperto::Stato::Letto)
        return;
    const std::vector<Rilievo>& rilievi = file.fornitura->rilievi;
    file.ordine.resize(rilievi.size());
    std::iota(file.ordine.begin(), file.ordine.end(), std::size_t{0});
    // Ascending by the column, then by line; the order in which they were found among equals.
    const auto ordina = [&](auto chiave) {
        std::stable_sort(file.ordine.begin(), file.ordine.end(), [&](std::size_t a, std::size_t b) {
            const auto& primo = chiave(a);
            const auto& secondo = chiave(b);
            if (primo != secondo)
                return primo < secondo;
            return rilievi[a].riga < rilievi[b].riga;
        });
    };
    switch (m_ordinamento) {
    case ColonnaRilievi::Riga:
        ordina([](std::size_t) { return 0; });
        break;
    case ColonnaRilievi::Gravita: // errors first
        ordina([&](std::size_t i) { return rilievi[i].gravita == Gravita::Errore ? 0 : 1; });
        break;
    case ColonnaRilievi::Persona: {
        std::vector<std::string> persone(rilievi.size());
        for (std::size_t i = 0; i < rilievi.size(); ++i)
            persone[i] = file.Persona(rilievi[i].persona);
        ordina([&](std::size_t i) -> const std::string& { return persone[i]; });
        break;
    }
    case ColonnaRilievi::Messaggio:
        ordina([&](std::size_t i) -> const std::string& { return rilievi[i].messaggio; });
        break;
    }
    if (!m_crescente)
        std::reverse(file.ordine.begin(), file.ordine.end());
}

void FinestraVerifica::Scegli(int indice) {
    if (indice < 0 || static_cast<std::size_t>(indice) >= m_file.size() || indice == m_mostrato)
        return;
    m_mostrato = indice;
    MostraTutto();
}

void FinestraVerifica::Ordina(ColonnaRilievi colonna) {
    m_crescente = colonna == m_ordinamento ? !m_crescente : true;
    m_ordinamento = colonna;
    MostraTutto();
}

void FinestraVerifica::ApriDistinta() {
    const FileAperto* file = Mostrato();
    if (!file || file->stato != FileAperto::Stato::Letto || !file->fornitura->formato)
        return;
    const fs::path pagina =
        m_servizi.cartellaPagine / NomePagina("distinta", static_cast<std::size_t>(m_mostrato) + 1, {file->percorso});
    ScriviEApri("Distinta di " + NomeFile(file->percorso), pagina,
                [fornitura = file->fornitura, nome = file->nomeEData](std::ostream& out) {
                    ScriviDistintaHtml(*fornitura, nome, out);
                });
}

void FinestraVerifica::ConfrontaCon() {
    const FileAperto* file = Mostrato();
    if (!file || file->stato != FileAperto::Stato::Letto || !file->fornitura->formato)
        return;
    // What is compared is the supply shown now: the window may change while the dialog is open.
    const std::shared_ptr<const FornituraLetta> nuova = file->fornitura;
    const fs::path percorsoNuovo = file->percorso;
    const std::string nomeNuova = NomeEDataDelFile(percorsoNuovo, true); // two supplies of one name told apart
    const std::size_t numero = static_cast<std::size_t>(m_mostrato) + 1;
    const std::vector<fs::path> scelti = m_vista.ScegliFile(TitoloConfronta, percorsoNuovo.parent_path(), false);
    if (scelti.empty() || m_chiusa)
        return;
    const fs::path vecchio = Assoluto(scelti.front());
    const fs::path pagina = m_servizi.cartellaPagine / NomePagina("confronto", numero, {vecchio, percorsoNuovo});
    // The earlier supply is read away from the window's thread too; the comparison and its page follow.
    m_lavori.Accoda("Lettura di " + NomeFile(vecchio), Confronto(vecchio, percorsoNuovo, nuova, nomeNuova, pagina));
    MostraAvanzamento();
}

LavoriInDisparte::Lavoro FinestraVerifica::Confronto(fs::path vecchio, fs::path percorsoNuovo,
                                                     std::shared_ptr<const FornituraLetta> nuova, std::string nomeNuova,
                                                     fs::path pagina) {
    return [this, vecchio = std::move(vecchio), percorsoNuovo = std::move(percorsoNuovo), nuova = std::move(nuova),
            nomeNuova = std::move(nomeNuova), pagina = std::move(pagina),
            leggi = m_servizi.leggi](const Avanzamento& avanzamento) -> LavoriInDisparte::Seguito {
        const auto messaggio = [this](std::string testo, bool errore) -> LavoriInDisparte::Seguito {
            return [this, testo = std::move(testo), errore] { m_vista.Messaggio(testo, errore); };
        };
        std::optional<FornituraLetta> vecchia;
        try {
            vecchia = leggi(vecchio, avanzamento);
        } catch (const LetturaInterrotta&) {
            return {};
        } catch (...) {
            return messaggio(LetturaNonRiuscita(vecchio), true);
        }
        if (!vecchia->formato)
            return messaggio("Il file '" + NomeFile(vecchio) +
                                 "' non \xE8 una fornitura riconosciuta: non si pu\xF2 confrontare con '" +
                                 NomeFile(percorsoNuovo) + "'",
                             false);
        if (*vecchia->formato != *nuova->formato)
            return messaggio("Formati diversi: '" + NomeFile(vecchio) + "' \xE8 una fornitura " +
                                 std::string(Descrizione(*vecchia->formato).nome) + ", '" + NomeFile(percorsoNuovo) +
                                 "' una fornitura " + std::string(Descrizione(*nuova->formato).nome) +
                                 ": si confrontano solo forniture dello stesso formato",
                             false);
        // A document not whole, or begun by a byte order mark, is compared with none.
        for (const auto& [fornitura, percorso, altro] :
             {std::tuple<const FornituraLetta*, const fs::path*, const fs::path*>{&*vecchia, &vecchio, &percorsoNuovo},
              std::tuple{nuova.get(), &percorsoNuovo, &vecchio}})
            if (const auto motivo = NonConfrontabile(*fornitura))
                return messaggio("Il file '" + NomeFile(*percorso) + "' non si pu\xF2 confrontare con '" +
                                     NomeFile(*altro) + "': " + *motivo,
                                 false);
        std::string errore;
        try {
            const Differenze differenze = Confronta(*vecchia, *nuova);
            const std::string nomeVecchia = NomeEDataDelFile(vecchio, true);
            errore = ScriviPagina(pagina, [&](std::ostream& out) {
                ScriviConfrontoHtml(*vecchia, *nuova, differenze, nomeVecchia, nomeNuova, out);
            });
        } catch (const ErroreFile& e) {
            errore = e.what();
        } catch (const std::bad_alloc&) {
            errore = "Memoria insufficiente per confrontare le due forniture";
        }
        if (!errore.empty())
            return messaggio(errore, true);
        return [this, pagina] { ApriPagina(pagina); };
    };
}

void FinestraVerifica::Guida() {
    std::error_code errore;
    if (!fs::is_regular_file(m_servizi.guida, errore))
        return m_vista.Messaggio("Non trovo la guida '" + shell::TestoPercorso(m_servizi.guida) + "'", true);
    ApriPagina(m_servizi.guida);
}

void FinestraVerifica::Chiudi() {
    m_chiusa = true;
    m_lavori.Ferma();
}

void FinestraVerifica::Consegna() {
    if (m_chiusa)
        return;
    m_lavori.Consegna();
    MostraAvanzamento();
}

void FinestraVerifica::ScriviEApri(std::string descrizione, fs::path pagina,
                                   std::function<void(std::ostream&)> scrivi) {
    auto lavoro = [this, pagina = std::move(pagina),
                   scrivi = std::move(scrivi)](const Avanzamento&) -> LavoriInDisparte::Seguito {
        std::string errore = ScriviPagina(pagina, scrivi);
        if (!errore.empty())
            return [this, errore = std::move(errore)] { m_vista.Messaggio(errore, true); };
        return [this, pagina] { ApriPagina(pagina); };
    };
    m_lavori.Accoda(std::move(descrizione), std::move(lavoro));
    MostraAvanzamento();
}

void FinestraVerifica::ApriPagina(const fs::path& pagina) {
    if (!m_vista.ApriNelBrowser(pagina))
        m_vista.Messaggio("Impossibile aprire la pagina '" + shell::TestoPercorso(pagina) + "' nel browser", true);
}

const FinestraVerifica::FileAperto* FinestraVerifica::Mostrato() const {
    return m_mostrato < 0 ? nullptr : m_file[static_cast<std::size_t>(m_mostrato)].get();
}

fs::path FinestraVerifica::CartellaDelMostrato() const {
    const FileAperto* file = Mostrato();
    return file ? file->percorso.parent_path() : m_servizi.archivio;
}

std::string FinestraVerifica::Cella(std::size_t riga, ColonnaRilievi colonna) const {
    const FileAperto* file = Mostrato();
    if (!file)
        return {};
    if (file->stato == FileAperto::Stato::Illeggibile) {
        // The reason, as a finding about the whole file.
        if (riga > 0)
            return {};
        if (colonna == ColonnaRilievi::Gravita)
            return "Errore";
        return colonna == ColonnaRilievi::Messaggio ? shell::TestoSuUnaRiga(file->errore) : std::string();
    }
    if (file->stato != FileAperto::Stato::Letto || riga >= file->ordine.size())
        return {};
    const Rilievo& rilievo = file->fornitura->rilievi[file->ordine[riga]];
    switch (colonna) {
    case ColonnaRilievi::Riga:
        return rilievo.riga > 0 ? std::to_string(rilievo.riga) : std::string();
    case ColonnaRilievi::Gravita:
        return rilievo.gravita == Gravita::Errore ? "Errore" : "Avviso";
    case ColonnaRilievi::Persona:
        return shell::TestoSuUnaRiga(file->Persona(rilievo.persona));
    case ColonnaRilievi::Messaggio:
        break;
    }
    return shell::TestoSuUnaRiga(rilievo.messaggio);
}

std::string FinestraVerifica::TestoIntero(std::size_t riga) const {
    const FileAperto* file = Mostrato();
    if (!file)
        return {};
    std::string testo = NomeFile(file->percorso);
    if (file->stato == FileAperto::Stato::Illeggibile)
        return riga == 0 ? testo + ": errore: " + shell::TestoSuUnaRiga(file->errore) : std::string();
    if (file->stato != FileAperto::Stato::Letto || riga >= file->ordine.size())
        return {};
    const Rilievo& rilievo = file->fornitura->rilievi[file->ordine[riga]];
    if (rilievo.riga > 0) {
        testo += ':' + std::to_string(rilievo.riga);
        if (rilievo.colonna > 0)
            testo += ':' + std::to_string(rilievo.colonna);
    }
    return testo + ": " + NomeGravita(rilievo.gravita) + ": " + shell::TestoSuUnaRiga(rilievo.messaggio);
}

void FinestraVerifica::MostraTutto() {
    if (m_chiusa)
        return;
    std::vector<std::string> nomi;
    for (const auto& file : m_file)
        nomi.push_back(shell::TestoPercorso(file->percorso));
    m_vista.MostraFile(nomi, m_mostrato);

    FileAperto* file = m_mostrato < 0 ? nullptr : m_file[static_cast<std::size_t>(m_mostrato)].get();
    std::vector<std::pair<std::string, std::string>> intestazione;
    std::size_t righe = 0;
    bool letto = false;
    if (!file) {
        m_vista.MostraEsito("Nessuna fornitura aperta: premere \"Apri...\" o trascinare qui un file",
                            TipoEsito::Nessuno);
    } else if (file->stato == FileAperto::Stato::Letto) {
        const FornituraLetta& f = *file->fornitura;
        letto = f.formato.has_value();
        intestazione.emplace_back("File", file->nomeEData);
        intestazione.emplace_back("Formato",
                                  f.formato ? std::string(Descrizione(*f.formato).nome) : "non riconosciuto");
        for (const auto& [nome, valore] : f.intestazione.voci) // values of the file's, on one line each
            intestazione.emplace_back(nome, shell::TestoSuUnaRiga(valore));
        if (f.formato) {
            intestazione.emplace_back("Persone", std::to_string(f.esito.persone));
            intestazione.emplace_back("Record", std::to_string(f.esito.record));
        }
        if (file->ordinatoPer != m_ordinamento || file->crescente != m_crescente)
            OrdinaRilievi(*file);
        righe = file->ordine.size();
        m_vista.MostraEsito(TestoEsito(f.esito), f.esito.errori > 0 ? TipoEsito::ConErrori : TipoEsito::Inviabile);
    } else {
        intestazione.emplace_back("File", NomeFile(file->percorso));
        if (file->stato == FileAperto::Stato::InLettura) {
            m_vista.MostraEsito("Lettura in corso...", TipoEsito::InLettura);
        } else {
            righe = 1;
            m_vista.MostraEsito("Il file non pu\xF2 essere letto", TipoEsito::Illeggibile);
        }
    }
    m_vista.MostraIntestazione(intestazione);
    m_vista.MostraRilievi(righe, m_ordinamento, m_crescente);
    letto = letto && !m_inArchivio;
    m_vista.AbilitaPulsanti(letto, letto);
    const ArchivioVisibile* archivio = m_inArchivio ? &m_archivio->vista : nullptr;
    m_vista.MostraArchivio(archivio, !m_inArchivio && m_archivio, archivio && !archivio->righe.empty());
    MostraAvanzamento();
}

void FinestraVerifica::MostraAvanzamento() {
    if (m_chiusa)
        return;
    const auto attuale = m_lavori.Attuale();
    m_vista.MostraAvanzamento(attuale ? std::optional(AvanzamentoVisibile{attuale->descrizione, attuale->percentuale})
                                      : std::nullopt);
}

} // namespace verifica::finestra
