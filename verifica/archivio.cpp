#include "verifica/archivio.h"

#include "shell/piattaforma.h"
#include "shell/testo.h"
#include "verifica/confronto.h"
#include "verifica/distinta.h"
#include "verifica/pagina_html.h"
#include "verifica/fornitura_letta.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <set>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

namespace verifica {

namespace fs = std::filesystem;
using lettura::Descrizione;
using lettura::Destinatario;
using lettura::ErroreFile;
using lettura::Formato;
using lettura::Gravita;
using lettura::Identita;
using lettura::NomeGravita;
using lettura::Opzioni;
using lettura::Rilievo;
using lettura::SchemaDistinta;

namespace {

// What is told of a folder's entry that is no regular file, by its kind.
struct NonFile {
    fs::file_type tipo;
    std::string_view testo;
};
// clang-format off
constexpr NonFile NonFiles[] = {
    {fs::file_type::fifo,      "\xE8 una pipe (FIFO), non un file: non letta"},
    {fs::file_type::socket,    "\xE8 un socket, non un file: non letto"},
    {fs::file_type::block,     "\xE8 un dispositivo, non un file: non letto"},
    {fs::file_type::character, "\xE8 un dispositivo, non un file: non letto"},
};
// clang-format on

std::string NonUnFile(fs::file_type tipo) {
    for (const NonFile& n : NonFiles)
        if (n.tipo == tipo)
            return std::string(n.testo);
    return "non \xE8 un file: non letto";
}

// Whether `percorso` (made canonical) lies in the folder `radice` (canonical) or below it.
bool Dentro(const fs::path& percorso, const fs::path& radice) {
    const auto [fine, _] = std::mismatch(radice.begin(), radice.end(), percorso.begin(), percorso.end());
    return fine == radice.end();
}

// What a link in the folder is told as: it is not followed, out of the folder or into it.
std::string Collegamento(const fs::path& collegamento, const fs::path& radice) {
    std::error_code errore;
    const std::string scritto = shell::TestoPercorso(fs::read_symlink(collegamento, errore));
    const fs::path bersaglio = fs::canonical(collegamento, errore);
    if (errore)
        return "collegamento a '" + scritto + "', che non esiste: non seguito";
    if (Dentro(bersaglio, radice))
        return "collegamento a '" + scritto + "' della cartella stessa: letto al suo posto, non due volte";
    return "collegamento a '" + scritto + "', fuori dalla cartella: non seguito";
}

void LeggiCartella(const fs::path& cartella, const fs::path& radice, const fs::path& relativo, std::size_t argomento,
                   bool ricorsivo, std::vector<VoceInsieme>& voci) {
    std::error_code errore;
    fs::directory_iterator voce(cartella, errore);
    if (errore) {
        voci.push_back({cartella, relativo, argomento, "cartella che non si pu\xF2 leggere"});
        return;
    }
    for (; voce != fs::directory_iterator(); voce.increment(errore)) {
        const fs::path& percorso = voce->path();
        if (shell::Nascosto(percorso))
            continue;
        const fs::path qui = relativo / percorso.filename();
        std::error_code e;
        const fs::file_status stato = voce->symlink_status(e);
        if (fs::is_symlink(stato))
            voci.push_back({percorso, qui, argomento, Collegamento(percorso, radice)});
        else if (fs::is_directory(stato) && ricorsivo)
            LeggiCartella(percorso, radice, qui, argomento, ricorsivo, voci);
        else if (fs::is_directory(stato))
            voci.push_back({percorso, qui, argomento, "cartella: letta solo con --ricorsivo"});
        else if (!fs::is_regular_file(stato))
            voci.push_back({percorso, qui, argomento, NonUnFile(stato.type())});
        else
            voci.push_back({percorso, qui, argomento, {}});
    }
    if (errore)
        voci.push_back({cartella, relativo, argomento, "cartella letta solo in parte: " + errore.message()});
}

// The size and time of change of a file, to tell one that changed while it was read; none where the system tells
// neither (a pipe given by itself).
struct Stato {
    std::uintmax_t dimensione = 0;
    fs::file_time_type modifica;
    friend bool operator==(const Stato&, const Stato&) = default;
};
std::optional<Stato> StatoDi(const fs::path& percorso) {
    std::error_code errore;
    if (!fs::is_regular_file(percorso, errore))
        return std::nullopt;
    Stato stato;
    stato.dimensione = fs::file_size(percorso, errore);
    if (!errore)
        stato.modifica = fs::last_write_time(percorso, errore);
    return errore ? std::nullopt : std::optional<Stato>(stato);
}

// The findings passed on as they come; whose the supply is, and the keys of its persons, kept.
class Raccolta : public Destinatario {
public:
    Raccolta(Destinatario& rilievi, SchedaFornitura& scheda) : m_rilievi(rilievi), m_scheda(scheda) {}
    void Segnala(const Rilievo& rilievo) override { m_rilievi.Segnala(rilievo); }
    void Schema(Formato formato, const SchemaDistinta& schema) override { m_rilievi.Schema(formato, schema); }
    void Identita(const lettura::Identita& identita) override { m_scheda.identita = identita; }
    void Persona(lettura::Persona&& persona) override {
        m_scheda.persone.push_back(
            {persona.genere, persona.riga, std::move(persona.chiave), std::move(persona.denuncia)});
    }

private:
    Destinatario& m_rilievi;
    SchedaFornitura& m_scheda;
};

} // namespace

std::vector<VoceInsieme> ElencaInsieme(const std::vector<fs::path>& percorsi, bool ricorsivo) {
    std::vector<VoceInsieme> voci;
    for (std::size_t a = 0; a < percorsi.size(); ++a) {
        std::error_code errore;
        if (!fs::is_directory(percorsi[a], errore)) {
            voci.push_back({percorsi[a], {}, a, {}});
            continue;
        }
        std::vector<VoceInsieme> cartella;
        const fs::path radice = fs::canonical(percorsi[a], errore);
        LeggiCartella(percorsi[a], errore ? percorsi[a] : radice, {}, a, ricorsivo, cartella);
        std::sort(cartella.begin(), cartella.end(),
                  [](const VoceInsieme& x, const VoceInsieme& y) { return x.relativo < y.relativo; });
        voci.insert(voci.end(), std::make_move_iterator(cartella.begin()), std::make_move_iterator(cartella.end()));
    }
    return voci;
}

std::string RigaRilievoInsieme(const RilievoInsieme& rilievo, const std::vector<std::string>& nomi,
                               std::string_view messaggio) {
    const auto dove = [&nomi](std::size_t file, long riga) {
        return nomi[file] + (riga > 0 ? ":" + std::to_string(riga) : std::string());
    };
    std::string riga = dove(rilievo.file, rilievo.riga) + ": " + NomeGravita(rilievo.gravita) + ": ";
    riga += messaggio;
    if (rilievo.altro)
        riga += " (anche in " + dove(*rilievo.altro, rilievo.rigaAltro) + ")";
    return riga;
}

void PrimoRilievo::Segnala(const Rilievo& rilievo) {
    if (m_primo.empty())
        m_primo = rilievo.messaggio;
    if (m_sotto)
        m_sotto->Segnala(rilievo);
}

SchedaFornitura LeggiScheda(const fs::path& percorso, const Opzioni& opzioni, Destinatario& rilievi) {
    SchedaFornitura scheda;
    scheda.percorso = percorso;
    Raccolta raccolta(rilievi, scheda);
    Opzioni conChiavi = opzioni;
    conChiavi.chiavi = true;
    const std::optional<Stato> prima = StatoDi(percorso);
    try {
        scheda.esito = formati::VerificaFile(percorso, conChiavi, raccolta);
    } catch (const ErroreFile& e) {
        scheda.nonLetta = e.what();
        return scheda;
    }
    scheda.cambiata = prima && prima != StatoDi(percorso);
    scheda.persone.shrink_to_fit();
    return scheda;
}

std::string TestoPeriodo(const SchedaFornitura& scheda) {
    const Identita& i = scheda.identita;
    if (!scheda.esito.formato || i.anno == 0)
        return {};
    char testo[32];
    if (*scheda.esito.formato == Formato::Semplificato770)
        std::snprintf(testo, sizeof testo, "%04d", i.anno);
    else if (*scheda.esito.formato == Formato::Tfr)
        std::snprintf(testo, sizeof testo, "%02d/%02d/%04d", i.giorno, i.mese, i.anno);
    else
        std::snprintf(testo, sizeof testo, "%02d/%04d", i.mese, i.anno);
    return testo;
}

namespace {

// What two cards must share to be held against each other by a rule.
enum class Gruppo {
    DatoreMesePosizione, // the employer, the month, the INPS position
    DatoreMese,          // the employer and the month
    DatoreAnno,          // the employer and the year (of a 770: the tax year)
    Datore,              // the employer
};

// What a rule holds against what: two supplies, a person in two supplies, or one file by itself.
enum class Tra { Forniture, Persone, File };

// How a person is known again in another supply: by its tax code, or by its report's whole key.
enum class Chiave { Codice, Denuncia };

struct RegolaInsieme;
using Messaggio = std::string (*)(const RegolaInsieme& regola, const SchedaFornitura& scheda,
                                  const PersonaNota* persona);

struct RegolaInsieme {
    Tra tra;
    Gravita gravita;
    Formato formato; // of the file the finding is told in
    Formato altro;   // of the file it is held against
    Gruppo gruppo;
    Chiave chiave;
    bool (*vale)(const SchedaFornitura& scheda); // which cards the rule looks at
    Messaggio messaggio;
};

std::string Nome(Formato formato) { return std::string(Descrizione(formato).nome); }

// The period's year and month as one number, to hold them against a first or last month.
int Mese(const SchedaFornitura& s) { return s.identita.anno * 12 + s.identita.mese - 1; }
constexpr int MeseDi(int anno, int mese) { return anno * 12 + mese - 1; }

// The first month of the individual UniEmens, and the first of E-Mens no longer accepted beside it.
constexpr int InizioUniemens = MeseDi(2009, 5);
constexpr int FineEmens = MeseDi(2010, 4);

bool Sempre(const SchedaFornitura&) { return true; }
bool ConPosizione(const SchedaFornitura& s) { return !s.identita.posizione.empty(); }
bool Ordinaria(const SchedaFornitura& s) { return s.identita.ordinaria; }
bool DopoLaFineEmens(const SchedaFornitura& s) { return s.identita.anno > 0 && Mese(s) >= FineEmens; }
bool PrimaDellUniemens(const SchedaFornitura& s) { return s.identita.anno > 0 && Mese(s) < InizioUniemens; }

// "dipendente 'RSSMRA80A01H501U'", and its report's key beside it where the document keys reports by more.
std::string Chi(Formato formato, const PersonaNota& p, bool conDenuncia) {
    const SchemaDistinta& schema = formati::SchemaDi(formato);
    std::string testo = std::string(schema.generi[static_cast<std::size_t>(p.genere)].nome) + " '" + p.chiave + "'";
    const std::string_view denuncia = shell::TogliSpazi(p.denuncia);
    return conDenuncia && !denuncia.empty() ? testo + " (" + std::string(denuncia) + ")" : testo;
}

std::string DueDocumenti(const RegolaInsieme& r, const SchedaFornitura& s, const PersonaNota*) {
    return "un altro documento " + Nome(r.formato) + " \xE8 della stessa azienda '" + s.identita.datore +
           "', della stessa matricola '" + s.identita.posizione + "' e dello stesso mese " + TestoPeriodo(s) +
           ": l'INPS tiene una sola denuncia aziendale per matricola e mese e quella inviata dopo sostituisce "
           "l'altra, mentre ogni documento conta solo le sue denunce individuali: i totali del mese resterebbero "
           "parziali. Unire le righe del mese in una sola esportazione e in un solo documento";
}

std::string DenunciaDoppia(const RegolaInsieme& r, const SchedaFornitura& s, const PersonaNota* p) {
    return "la denuncia del " + Chi(r.formato, *p, true) + " \xE8 anche in un altro documento " + Nome(r.altro) +
           " della stessa azienda '" + s.identita.datore + "', della stessa matricola '" + s.identita.posizione +
           "' e dello stesso mese " + TestoPeriodo(s) + ": quella inviata dopo sostituisce l'altra, non si somma";
}

std::string DmaSostituita(const RegolaInsieme& r, const SchedaFornitura& s, const PersonaNota*) {
    return "un'altra fornitura " + Nome(r.altro) + " della stessa amministrazione '" + s.identita.datore +
           "' per lo stesso mese " + TestoPeriodo(s) +
           " ha un contenuto diverso: la fornitura inviata dopo sostituisce l'altra";
}

std::string DueOrdinarie(const RegolaInsieme& r, const SchedaFornitura& s, const PersonaNota*) {
    return "un'altra dichiarazione " + Nome(r.altro) + " ordinaria dello stesso dichiarante '" + s.identita.datore +
           "' per l'anno d'imposta " + TestoPeriodo(s) +
           ": una seconda dichiarazione si invia come correttiva o integrativa (record B, posizioni 91-94), non "
           "come ordinaria";
}

std::string EmensDopo(const RegolaInsieme&, const SchedaFornitura& s, const PersonaNota*) {
    return "documento E-Mens del mese " + TestoPeriodo(s) +
           ": dal mese 04/2010 le denunce si inviano con l'UniEmens, che ha sostituito l'E-Mens (accettato ancora "
           "da gennaio a marzo 2010)";
}

std::string EmensEUniemens(const RegolaInsieme& r, const SchedaFornitura& s, const PersonaNota* p) {
    return "il " + Chi(r.formato, *p, false) + " \xE8 anche in un documento " + Nome(r.altro) +
           " della stessa azienda '" + s.identita.datore + "' per lo stesso mese " + TestoPeriodo(s) +
           ": una doppia denuncia";
}

std::string UniemensPrima(const RegolaInsieme&, const SchedaFornitura& s, const PersonaNota*) {
    return "documento UniEmens del mese " + TestoPeriodo(s) + ": l'UniEmens individuale comincia con il mese 05/2009";
}

std::string TfrDoppio(const RegolaInsieme& r, const SchedaFornitura& s, const PersonaNota* p) {
    return "il " + Chi(r.formato, *p, false) + " \xE8 anche in un'altra fornitura " + Nome(r.altro) +
           " dello stesso datore di lavoro '" + s.identita.datore + "'";
}

std::string StessoContenuto(const SchedaFornitura& s) {
    return "stesso contenuto di un'altra fornitura " + Nome(*s.esito.formato) +
           " (fornitura confronta non vi trova differenze): \xE8 un nuovo invio della stessa fornitura";
}

using enum Tra;
using enum Gruppo;
constexpr Gravita E = Gravita::Errore, W = Gravita::Avviso;
constexpr Formato U = Formato::Uniemens, M = Formato::Emens;

// The rules, one row each (two rows for a rule of both INPS documents); the resend of a supply is found apart
// (StessoContenuto), before them, by the comparison.
// clang-format off
constexpr RegolaInsieme Regole[] = {
//   tra        gravita formato                   altro                     gruppo               chiave            vale               messaggio
    {Forniture, E,      U,                        U,                        DatoreMesePosizione, Chiave::Codice,   ConPosizione,      DueDocumenti  },
    {Forniture, E,      M,                        M,                        DatoreMesePosizione, Chiave::Codice,   ConPosizione,      DueDocumenti  },
    {Persone,   W,      U,                        U,                        DatoreMesePosizione, Chiave::Denuncia, Sempre,            DenunciaDoppia},
    {Persone,   W,      M,                        M,                        DatoreMesePosizione, Chiave::Denuncia, Sempre,            DenunciaDoppia},
    {Forniture, W,      Formato::Dma,             Formato::Dma,             DatoreMese,          Chiave::Codice,   Sempre,            DmaSostituita },
    {Forniture, W,      Formato::Semplificato770, Formato::Semplificato770, DatoreAnno,          Chiave::Codice,   Ordinaria,         DueOrdinarie  },
    {File,      W,      M,                        M,                        Datore,              Chiave::Codice,   DopoLaFineEmens,   EmensDopo     },
    {Persone,   W,      M,                        U,                        DatoreMese,          Chiave::Codice,   Sempre,            EmensEUniemens},
    {File,      W,      U,                        U,                        Datore,              Chiave::Codice,   PrimaDellUniemens, UniemensPrima },
    {Persone,   W,      Formato::Tfr,             Formato::Tfr,             Datore,              Chiave::Codice,   Sempre,            TfrDoppio     },
};
// clang-format on

// The group of a card for a rule: what two cards held against each other share.
std::string GruppoDi(const SchedaFornitura& s, Gruppo gruppo) {
    const Identita& i = s.identita;
    std::string chiave = i.datore + '\n' + std::to_string(i.anno);
    if (gruppo == DatoreMese || gruppo == DatoreMesePosizione)
        chiave += '\n' + std::to_string(i.mese);
    if (gruppo == DatoreMesePosizione)
        chiave += '\n' + i.posizione;
    return gruppo == Datore ? i.datore : chiave;
}

// Whether a card is one the rules look at: a supply read whole, whose employer and period are known.
bool Considerata(const SchedaFornitura& s, Gruppo gruppo) {
    return s.Fornitura() && !s.identita.datore.empty() && (gruppo == Datore || s.identita.anno > 0);
}

std::string ChiaveDi(const PersonaNota& p, Chiave chiave) {
    std::string testo = std::to_string(p.genere) + '\n' + p.chiave;
    if (chiave == Chiave::Denuncia)
        testo.append(1, '\n').append(p.denuncia);
    return testo;
}

// The copies: for each card, the earlier card whose supply has the same content (the comparison's verdict), if
// any. Only cards of one format, employer, period and position are compared, read again with their persons' keys
// and fingerprints (not their values): what is held grows with the persons of the group, not with its bytes.
std::vector<std::optional<std::size_t>> Copie(const std::vector<SchedaFornitura>& schede,
                                              std::optional<Formato> formato) {
    std::vector<std::optional<std::size_t>> copie(schede.size());
    std::map<std::tuple<Formato, std::string, int, int, int, std::string>, std::vector<std::size_t>> gruppi;
    for (std::size_t i = 0; i < schede.size(); ++i) {
        const SchedaFornitura& s = schede[i];
        if (Considerata(s, Datore))
            gruppi[{*s.esito.formato, s.identita.datore, s.identita.anno, s.identita.mese, s.identita.giorno,
                    s.identita.posizione}]
                .push_back(i);
    }
    for (const auto& [_, gruppo] : gruppi) {
        if (gruppo.size() < 2)
            continue;
        std::vector<std::optional<FornituraLetta>> lette;
        for (const std::size_t i : gruppo) {
            try {
                FornituraLetta letta = LeggiFornitura(schede[i].percorso, formato, {}, false);
                const bool confrontabile =
                    letta.formato && !NonConfrontabile(letta) && letta.persone.size() == schede[i].persone.size();
                lette.push_back(confrontabile ? std::optional<FornituraLetta>(std::move(letta)) : std::nullopt);
            } catch (const ErroreFile&) {
                lette.emplace_back();
            }
        }
        for (std::size_t b = 1; b < gruppo.size(); ++b) {
            for (std::size_t a = 0; a < b && lette[b]; ++a) {
                // What lies outside the persons differs: Confronta would tell it without reading again.
                if (!lette[a] || copie[gruppo[a]] || !(lette[a]->esito.contenuto == lette[b]->esito.contenuto))
                    continue;
                try {
                    if (Confronta(*lette[a], *lette[b]).Nessuna()) {
                        copie[gruppo[b]] = gruppo[a];
                        break;
                    }
                } catch (const ErroreFile&) {
                }
            }
        }
    }
    return copie;
}

// The findings of one rule over the cards that are no copies.
void Applica(const RegolaInsieme& r, const std::vector<SchedaFornitura>& schede,
             const std::vector<std::optional<std::size_t>>& copie, std::vector<RilievoInsieme>& rilievi) {
    const auto guardata = [&](std::size_t i, Formato formato) {
        const SchedaFornitura& s = schede[i];
        return !copie[i] && Considerata(s, r.gruppo) && *s.esito.formato == formato && r.vale(s);
    };
    if (r.tra == File) {
        for (std::size_t i = 0; i < schede.size(); ++i)
            if (guardata(i, r.formato))
                rilievi.push_back({r.gravita, i, schede[i].identita.rigaPeriodo, std::nullopt, 0,
                                   r.messaggio(r, schede[i], nullptr)});
        return;
    }
    if (r.tra == Forniture) {
        // Each supply against the one before it in its group.
        std::map<std::string, std::size_t> ultima;
        for (std::size_t i = 0; i < schede.size(); ++i) {
            if (!guardata(i, r.formato))
                continue;
            const auto riga = [&](std::size_t k) {
                return r.gruppo == DatoreMesePosizione ? schede[k].identita.rigaPosizione
                       : r.gruppo == DatoreMese        ? schede[k].identita.rigaPeriodo
                                                       : schede[k].identita.rigaDatore;
            };
            const auto [prima, nuova] = ultima.try_emplace(GruppoDi(schede[i], r.gruppo), i);
            if (!nuova) {
                rilievi.push_back(
                    {r.gravita, i, riga(i), prima->second, riga(prima->second), r.messaggio(r, schede[i], nullptr)});
                prima->second = i;
            }
        }
        return;
    }
    // A person in two supplies: in one of the other format (every occurrence against the first of it), or, in two
    // of one format, each supply's against the one before it.
    std::map<std::string, std::pair<std::size_t, long>> viste;
    const auto chiave = [&](std::size_t i, const PersonaNota& p) {
        return GruppoDi(schede[i], r.gruppo) + '\n' + ChiaveDi(p, r.chiave);
    };
    if (r.formato != r.altro)
        for (std::size_t i = 0; i < schede.size(); ++i)
            if (guardata(i, r.altro))
                for (const PersonaNota& p : schede[i].persone)
                    if (!p.chiave.empty())
                        viste.try_emplace(chiave(i, p), i, p.riga);
    for (std::size_t i = 0; i < schede.size(); ++i) {
        if (!guardata(i, r.formato))
            continue;
        for (const PersonaNota& p : schede[i].persone) {
            if (p.chiave.empty())
                continue;
            const std::string k = chiave(i, p);
            if (r.formato != r.altro) {
                if (const auto v = viste.find(k); v != viste.end())
                    rilievi.push_back(
                        {r.gravita, i, p.riga, v->second.first, v->second.second, r.messaggio(r, schede[i], &p)});
                continue;
            }
            const auto [prima, nuova] = viste.try_emplace(k, i, p.riga);
            if (nuova || prima->second.first == i)
                continue; // the person's first supply; or the same person twice in one, told by its own check
            rilievi.push_back(
                {r.gravita, i, p.riga, prima->second.first, prima->second.second, r.messaggio(r, schede[i], &p)});
            prima->second = {i, p.riga};
        }
    }
}

} // namespace

std::vector<RilievoInsieme> RegoleDellInsieme(const std::vector<SchedaFornitura>& schede,
                                              std::optional<Formato> formato) {
    const std::vector<std::optional<std::size_t>> copie = Copie(schede, formato);
    std::vector<RilievoInsieme> rilievi;
    for (std::size_t i = 0; i < schede.size(); ++i)
        if (copie[i])
            rilievi.push_back({Gravita::Avviso, i, 0, copie[i], 0, StessoContenuto(schede[i])});
    for (const RegolaInsieme& regola : Regole)
        Applica(regola, schede, copie, rilievi);
    // By employer, format and period, then in the order of the files and lines.
    const auto ordine = [&](const RilievoInsieme& r) {
        const SchedaFornitura& s = schede[r.file];
        return std::make_tuple(std::string_view(s.identita.datore), *s.esito.formato, s.identita.anno, s.identita.mese,
                               s.identita.giorno, r.file, r.riga);
    };
    std::stable_sort(rilievi.begin(), rilievi.end(),
                     [&](const RilievoInsieme& a, const RilievoInsieme& b) { return ordine(a) < ordine(b); });
    return rilievi;
}

void PerOgniFile(std::size_t quanti, unsigned thread, const std::function<void(std::size_t)>& leggi,
                 const std::function<void(std::size_t)>& fatto) {
    std::atomic<std::size_t> prossimo{0};
    std::mutex mutex;
    std::condition_variable pronto;
    std::vector<char> letti(quanti, 0);
    std::vector<std::exception_ptr> eccezioni(quanti);
    const auto lavoro = [&] {
        for (std::size_t i; (i = prossimo++) < quanti;) {
            try {
                leggi(i);
            } catch (...) {
                eccezioni[i] = std::current_exception();
                prossimo = quanti; // every task before this one is taken already: the loop below waits for them
            }
            {
                const std::lock_guard<std::mutex> chiuso(mutex);
                letti[i] = 1;
            }
            pronto.notify_all();
        }
    };
    std::vector<std::thread> lavoratori;
    for (unsigned t = 0; t < std::max(thread, 1u); ++t)
        lavoratori.emplace_back(lavoro);
    std::exception_ptr fermata;
    for (std::size_t i = 0; i < quanti && !fermata; ++i) {
        {
            std::unique_lock<std::mutex> chiuso(mutex);
            pronto.wait(chiuso, [&] { return letti[i] != 0; });
        }
        try {
            if (eccezioni[i])
                std::rethrow_exception(eccezioni[i]);
            fatto(i);
        } catch (...) {
            fermata = std::current_exception();
            prossimo = quanti;
        }
    }
    for (std::thread& t : lavoratori)
        t.join();
    if (fermata)
        std::rethrow_exception(fermata);
}

void LeggiSchede(const std::vector<VoceInsieme>& voci, const Opzioni& opzioni, unsigned thread, SchedeLette& lette,
                 const std::function<Destinatario*(std::size_t)>& rilievi,
                 const std::function<void(std::size_t)>& letto, const std::function<void(std::size_t)>& fatto) {
    lette.schede.assign(voci.size(), {});
    lette.primi.assign(voci.size(), {});
    PerOgniFile(
        voci.size(), thread,
        [&](std::size_t i) {
            if (voci[i].escluso.empty()) {
                PrimoRilievo primo(rilievi ? rilievi(i) : nullptr);
                lette.schede[i] = LeggiScheda(voci[i].percorso, opzioni, primo);
                lette.primi[i] = primo.Primo();
            }
            if (letto)
                letto(i);
        },
        fatto);
}

unsigned ThreadPredefiniti() {
    if (const char* valore = std::getenv("FORNITURA_THREAD")) {
        const std::string_view testo = valore;
        unsigned numero = 0;
        const auto [fine, errore] = std::from_chars(testo.data(), testo.data() + testo.size(), numero);
        if (errore == std::errc() && fine == testo.data() + testo.size() && numero >= 1)
            return numero;
    }
    return std::max(std::thread::hardware_concurrency(), 1u);
}

std::vector<VoceArchivio> VociArchivio(const std::vector<SchedaFornitura>& schede, const std::vector<std::string>& nomi,
                                       const std::vector<RilievoInsieme>& rilievi) {
    std::vector<VoceArchivio> voci;
    std::vector<std::size_t> dove(schede.size(), schede.size());
    for (std::size_t i = 0; i < schede.size(); ++i)
        if (schede[i].Fornitura()) {
            dove[i] = voci.size();
            voci.push_back({i, nomi[i], schede[i].esito.errori, schede[i].esito.avvisi});
        }
    for (const RilievoInsieme& r : rilievi)
        if (dove[r.file] < voci.size())
            ++(r.gravita == Gravita::Errore ? voci[dove[r.file]].errori : voci[dove[r.file]].avvisi);
    const auto ordine = [&](const VoceArchivio& v) {
        const SchedaFornitura& s = schede[v.scheda];
        return std::make_tuple(std::string_view(s.identita.datore), s.identita.anno, s.identita.mese, s.identita.giorno,
                               *s.esito.formato, std::string_view(v.file));
    };
    std::stable_sort(voci.begin(), voci.end(),
                     [&](const VoceArchivio& a, const VoceArchivio& b) { return ordine(a) < ordine(b); });
    return voci;
}

std::string_view Verdetto(const VoceArchivio& voce) {
    return voce.errori > 0 ? "da correggere" : voce.avvisi > 0 ? "inviabile con avvisi" : "inviabile";
}

std::array<std::string, 9> CelleArchivio(const SchedaFornitura& scheda, const VoceArchivio& voce) {
    return {scheda.identita.datore,
            scheda.identita.nome,
            std::string(Descrizione(*scheda.esito.formato).nome),
            TestoPeriodo(scheda),
            voce.file,
            std::to_string(scheda.esito.persone),
            std::to_string(voce.errori),
            std::to_string(voce.avvisi),
            std::string(Verdetto(voce))};
}

void ScriviArchivioTsv(const std::vector<SchedaFornitura>& schede, const std::vector<VoceArchivio>& voci,
                       std::ostream& out) {
    const auto riga = [&out](const auto& celle) {
        for (std::size_t c = 0; c < celle.size(); ++c)
            out << (c > 0 ? "\t" : "") << CellaTsv(celle[c]);
        out << '\n';
    };
    riga(ColonneArchivio);
    for (const VoceArchivio& v : voci)
        riga(CelleArchivio(schede[v.scheda], v));
}

namespace {

constexpr std::string_view Mesi[] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                     "lug", "ago", "set", "ott", "nov", "dic"};

// The class of a supply's cell by its verdict, and of a month's cell by the worst of its supplies.
std::string_view ClasseDi(const VoceArchivio& v) {
    return v.errori > 0 ? "da-correggere" : v.avvisi > 0 ? "con-avvisi" : "inviabile";
}

constexpr std::string_view StileArchivio = R"(<style>
table.archivio { table-layout: fixed; }
table.archivio td { font-size: 7pt; height: 18pt; }
table.archivio th.datore { width: 16%; }
table.archivio tr { break-inside: avoid; page-break-inside: avoid; }
.inviabile { background: #d8f0d8; }
.con-avvisi { background: #fbefc8; }
.da-correggere { background: #f6caca; }
span.voce { display: block; margin: 0 0 1pt; padding: 1pt; overflow: hidden; break-inside: avoid; }
p.legenda span { padding: 1pt 4pt; margin-right: 6pt; }
</style>
)";

} // namespace

void ScriviArchivioHtml(const std::vector<SchedaFornitura>& schede, const std::vector<VoceArchivio>& voci,
                        const std::vector<RilievoInsieme>& rilievi, const std::string& cartella, std::ostream& out) {
    ApriPagina(out, "Archivio " + cartella);
    out << StileArchivio << "<h1>Archivio " << Html(cartella) << "</h1>\n";
    out << "<p class=\"legenda\"><span class=\"inviabile\">inviabile</span>"
           "<span class=\"con-avvisi\">inviabile con avvisi</span><span class=\"da-correggere\">da correggere</span> "
        << voci.size() << (voci.size() == 1 ? " fornitura" : " forniture") << "</p>\n";
    // A grid per year: a 770 under its tax year, every other supply under the year of its period.
    std::set<int> anni;
    for (const VoceArchivio& v : voci)
        anni.insert(schede[v.scheda].identita.anno);
    for (const int anno : anni) {
        out << "<h2>" << (anno > 0 ? std::to_string(anno) : std::string("Periodo non leggibile")) << "</h2>\n"
            << "<table class=\"archivio\">\n<thead><tr><th class=\"datore\">Datore di lavoro</th>";
        for (const std::string_view mese : Mesi)
            out << "<th>" << mese << "</th>";
        out << "<th title=\"la dichiarazione 770 sotto il suo anno d'imposta\">770</th></tr></thead>\n<tbody>\n";
        // The employers of the year, in the order of their codes; of each, its supplies by column (0-11 the
        // months, 12 the 770; a supply without a month in the first).
        std::map<std::string, std::array<std::vector<const VoceArchivio*>, 13>> righe;
        std::map<std::string, std::string> nomi;
        for (const VoceArchivio& v : voci) {
            const SchedaFornitura& s = schede[v.scheda];
            if (s.identita.anno != anno)
                continue;
            const bool annuale = *s.esito.formato == Formato::Semplificato770;
            const std::size_t colonna = annuale ? 12 : static_cast<std::size_t>(std::max(s.identita.mese, 1) - 1);
            righe[s.identita.datore][colonna].push_back(&v);
            if (!s.identita.nome.empty())
                nomi[s.identita.datore] = s.identita.nome;
        }
        for (const auto& [datore, colonne] : righe) {
            out << "<tr><th>" << Html(datore) << "<br>" << Html(nomi[datore]) << "</th>";
            for (const auto& cella : colonne) {
                out << "<td>";
                for (const VoceArchivio* v : cella)
                    out << "<span class=\"voce " << ClasseDi(*v) << "\" title=\"" << Html(v->file) << "\">"
                        << Html(Descrizione(*schede[v->scheda].esito.formato).nome) << "<br>"
                        << Html(v->errori == 0 && v->avvisi == 0
                                    ? std::string("nessun rilievo")
                                    : std::to_string(v->errori) + " err., " + std::to_string(v->avvisi) + " avv.")
                        << "</span>";
                out << "</td>";
            }
            out << "</tr>\n";
        }
        out << "</tbody>\n</table>\n";
    }
    out << "<h2>Rilievi tra le forniture</h2>\n";
    if (rilievi.empty())
        out << "<p>Nessun rilievo tra le forniture.</p>\n";
    else {
        out << "<ul>\n";
        for (const RilievoInsieme& r : rilievi) {
            const auto dove = [&](std::size_t i, long riga) {
                return Html(shell::TestoPercorso(schede[i].percorso.filename())) +
                       (riga > 0 ? ":" + std::to_string(riga) : std::string());
            };
            out << "<li class=\"" << NomeGravita(r.gravita) << "\">" << dove(r.file, r.riga) << ": "
                << NomeGravita(r.gravita) << ": " << Html(r.messaggio);
            if (r.altro)
                out << " (anche in " << dove(*r.altro, r.rigaAltro) << ")";
            out << "</li>\n";
        }
        out << "</ul>\n";
    }
    ChiudiPagina(out);
}

} // namespace verifica
