#include "formati/regole_inps.h"

#include "uniemens/campi.h"

#include <algorithm>
#include <chrono>

namespace formati::inps {

using lettura::Gravita;

namespace {

// A count written in digits only (at most 9 of them); none for anything else.
std::optional<long> Conteggio(std::string_view testo) {
    if (testo.empty() || testo.size() > 9 ||
        !std::all_of(testo.begin(), testo.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long n = 0;
    for (const char c : testo)
        n = n * 10 + (c - '0');
    return n;
}

bool Vuoto(std::string_view testo) { return testo.find_first_not_of(' ') == std::string_view::npos; }

std::string Citato(std::string_view testo) { return ValidatoreXML::Citato(testo); }

// The facts the rules share, worked out once per report.
struct Fatti {
    const DatiDenuncia& d;
    int giorniDelMese = 0; // D, 0 when the month is unknown
    long coperte = 0;      // n: the weeks whose coverage is not "0"
    long retribuiti = 0;   // G, 0 when absent
    bool retribuitiLeggibili = true;
    Posto postoRetribuiti;
    std::optional<long> assunzione, cessazione; // the days, when written as digits within reach

    explicit Fatti(const DatiDenuncia& denuncia) : d(denuncia) {
        if (d.anno >= 1 && d.anno <= 9999 && d.mese >= 1 && d.mese <= 12)
            giorniDelMese = uniemens::GiorniDelMese(d.anno, d.mese);
        coperte = std::count_if(d.settimane.begin(), d.settimane.end(),
                                [](const SettimanaLetta& s) { return s.copertura != "0"; });
        postoRetribuiti = d.giorniRetribuiti ? d.giorniRetribuiti->posto : d.datiRetributivi;
        if (d.giorniRetribuiti) {
            const auto g = Conteggio(d.giorniRetribuiti->testo);
            retribuitiLeggibili = g.has_value();
            retribuiti = g.value_or(0);
        }
        if (d.assunzione)
            assunzione = Conteggio(d.assunzione->testo);
        if (d.cessazione)
            cessazione = Conteggio(d.cessazione->testo);
    }
    // The paid days within what the month holds: the rules that compare them with weeks and a full month
    // are not made on a count that is already an error of the month (GiorniNelMese).
    bool RetribuitiNelMese() const {
        return retribuitiLeggibili && retribuiti <= (giorniDelMese > 0 && !d.mesePrecedente ? giorniDelMese : 31);
    }
    std::string Mese() const {
        return (d.mese < 10 ? "0" : "") + std::to_string(d.mese) + "/" + std::to_string(d.anno);
    }
};

using Rilievi = std::vector<RilievoDenuncia>;

// U1: a part-time qualification without its percentage.
void PartTimeSenzaPercentuale(const Fatti& f, Rilievi& r) {
    if (f.d.mesePrecedente || !f.d.qualifica2 || !QualificaPartTime(f.d.qualifica2->testo) || f.d.percPartTime)
        return;
    r.push_back({Gravita::Avviso, f.d.qualifica2->posto,
                 "A031: <Qualifica2> " + Citato(f.d.qualifica2->testo) +
                     " (tempo parziale) senza <PercPartTime>: INPS rifiuta la denuncia senza la percentuale del "
                     "tempo parziale, che l'esportazione non porta e il convertitore non scrive; completare la "
                     "denuncia prima dell'invio"});
}

// U2: the contract hours.
void OrarioContrattuale(const Fatti& f, Rilievi& r) {
    if (!f.d.orario || Vuoto(f.d.orario->testo)) {
        r.push_back({Gravita::Avviso, f.d.orario ? f.d.orario->posto : f.d.posto,
                     "A041: <OrarioContrattuale> vuoto: INPS rifiuta la denuncia senza l'orario contrattuale"});
        return;
    }
    if (!Conteggio(f.d.orario->testo))
        r.push_back({Gravita::Errore, f.d.orario->posto,
                     "<OrarioContrattuale> " + Citato(f.d.orario->testo) +
                         ": attese solo cifre (le ore settimanali in centesimi, come 4000)"});
}

// U3: the paid days against the covered weeks.
void GiorniPerSettimane(const Fatti& f, Rilievi& r) {
    if (!f.retribuitiLeggibili)
        return;
    const long g = f.retribuiti, n = f.coperte;
    if (g < n) {
        r.push_back({Gravita::Avviso, f.postoRetribuiti,
                     "B014: " + std::to_string(g) + " giorni retribuiti per " + std::to_string(n) +
                         " settimane coperte: INPS rifiuta la denuncia con meno giorni retribuiti che settimane "
                         "coperte"});
    } else if (g > 0 && n == 0) {
        r.push_back({Gravita::Avviso, f.postoRetribuiti,
                     "<GiorniRetribuiti> " + std::to_string(g) +
                         " senza alcuna settimana coperta: nessuna settimana della denuncia li contiene"});
    } else if (f.RetribuitiNelMese() && g > 6 * n) {
        r.push_back({Gravita::Avviso, f.postoRetribuiti,
                     "<GiorniRetribuiti> " + std::to_string(g) + " per " + std::to_string(n) +
                         " settimane coperte: pi\xF9 dei " + std::to_string(6 * n) + " giorni che " +
                         (n == 1 ? std::string("una settimana pu\xF2") : std::to_string(n) + " settimane possono") +
                         " contenere (6 per settimana)"});
    }
}

// U4: more paid days than a full month.
constexpr long GiorniDelMeseIntero = 26;
void MeseIntero(const Fatti& f, Rilievi& r) {
    if (f.RetribuitiNelMese() && f.retribuiti > GiorniDelMeseIntero)
        r.push_back({Gravita::Avviso, f.postoRetribuiti,
                     "<GiorniRetribuiti> " + std::to_string(f.retribuiti) + ": pi\xF9 dei " +
                         std::to_string(GiorniDelMeseIntero) + " giorni retribuiti di un mese intero"});
}

// U5: a worked day of the calendar in a week the report does not list as covered.
void GiorniLavoratiNelleSettimane(const Fatti& f, Rilievi& r) {
    if (f.d.mesePrecedente || f.giorniDelMese == 0)
        return;
    // The worked days of one week share its number and its place among the report's weeks: both found once for
    // each week, as the calendar's days pass into it.
    int numero = 0;
    std::string settimana;
    auto s = f.d.settimane.end();
    for (const GiornoLetto& giorno : f.d.calendario) {
        if (!giorno.lavorato || giorno.giorno < 1 || giorno.giorno > f.giorniDelMese)
            continue;
        if (const int n = SettimanaDellAnno(f.d.anno, f.d.mese, giorno.giorno); n != numero) {
            numero = n;
            settimana = std::to_string(n);
            s = std::find_if(f.d.settimane.begin(), f.d.settimane.end(),
                             [&](const SettimanaLetta& l) { return l.id == settimana; });
        }
        if (s != f.d.settimane.end() && s->copertura != "0")
            continue;
        r.push_back({Gravita::Avviso, giorno.posto,
                     "<Giorno GG=\"" + std::to_string(giorno.giorno) + "\"> lavorato nella settimana " + settimana +
                         (s == f.d.settimane.end() ? ", che la denuncia non elenca"
                                                   : ", che la denuncia d\xE0 con copertura '0'")});
        return; // once per report: the week's other days tell the same
    }
}

// U6: hiring and cessation within the month and in order, the worked and paid days between them.
void AssunzioneECessazione(const Fatti& f, Rilievi& r) {
    struct Evento {
        const std::optional<ValoreLetto>& letto;
        const std::optional<long>& giorno;
        std::string_view nome;
    };
    const Evento eventi[] = {{f.d.assunzione, f.assunzione, "GiornoAssunzione"},
                             {f.d.cessazione, f.cessazione, "GiornoCessazione"}};
    bool nelMese = true;
    for (const Evento& e : eventi) {
        if (!e.letto || Vuoto(e.letto->testo)) // a blank one is the grammar's to tell
            continue;
        if (!e.giorno) {
            r.push_back({Gravita::Errore, e.letto->posto,
                         "<" + std::string(e.nome) + "> " + Citato(e.letto->testo) +
                             ": atteso il giorno del mese, in sole cifre"});
            nelMese = false;
        } else if (f.giorniDelMese > 0 && (*e.giorno < 1 || *e.giorno > f.giorniDelMese)) {
            r.push_back({Gravita::Errore, e.letto->posto,
                         "<" + std::string(e.nome) + "> " + std::to_string(*e.giorno) + ": il mese " + f.Mese() +
                             " ha i giorni da 1 a " + std::to_string(f.giorniDelMese)});
            nelMese = false;
        }
    }
    if (!nelMese || f.giorniDelMese == 0)
        return;
    const long primo = f.assunzione.value_or(1), ultimo = f.cessazione.value_or(f.giorniDelMese);
    if (f.assunzione && f.cessazione && ultimo < primo) {
        r.push_back({Gravita::Avviso, f.d.cessazione->posto,
                     "<GiornoCessazione> " + std::to_string(ultimo) + " prima di <GiornoAssunzione> " +
                         std::to_string(primo) + ": il rapporto finisce prima di cominciare"});
        return;
    }
    if (!f.assunzione && !f.cessazione)
        return;
    for (const GiornoLetto& giorno : f.d.calendario)
        if (giorno.lavorato && (giorno.giorno < primo || giorno.giorno > ultimo)) {
            r.push_back({Gravita::Avviso, giorno.posto,
                         "<Giorno GG=\"" + std::to_string(giorno.giorno) + "\"> lavorato " +
                             (giorno.giorno < primo ? "prima dell'assunzione (giorno " + std::to_string(primo)
                                                    : "dopo la cessazione (giorno " + std::to_string(ultimo)) +
                             ")"});
            break;
        }
    if (f.RetribuitiNelMese() && f.retribuiti > ultimo - primo + 1)
        r.push_back({Gravita::Avviso, f.postoRetribuiti,
                     "<GiorniRetribuiti> " + std::to_string(f.retribuiti) + ": pi\xF9 dei " +
                         std::to_string(ultimo - primo + 1) + " giorni dal " + std::to_string(primo) + " al " +
                         std::to_string(ultimo) + " del mese, tra assunzione e cessazione"});
}

// U8: a report that deletes an earlier one and still carries an amount.
void EliminaConImporti(const Fatti& f, Rilievi& r) {
    if (!f.d.elimina || !f.d.contributo)
        return;
    const std::string_view c = f.d.contributo->testo;
    if (c.find_first_not_of("0,-") == std::string_view::npos)
        return;
    r.push_back({Gravita::Avviso, f.d.contributo->posto,
                 "<Contributo> " + Citato(c) +
                     " in una <DenunciaIndividuale Elimina=\"S\">: la denuncia cancella quella gi\xE0 inviata e non "
                     "porta importi, ma il suo contributo \xE8 contato in <TotaleADebito>"});
}

struct Regola {
    std::string_view nome; // as the README's table names it
    void (*controlla)(const Fatti&, Rilievi&);
};

// clang-format off
constexpr Regola Regole[] = {
    {"U1",  PartTimeSenzaPercentuale},
    {"U2",  OrarioContrattuale},
    {"U3",  GiorniPerSettimane},
    {"U4",  MeseIntero},
    {"U5",  GiorniLavoratiNelleSettimane},
    {"U6",  AssunzioneECessazione},
    {"U8",  EliminaConImporti},
};
// clang-format on

} // namespace

bool QualificaPartTime(std::string_view qualifica2) {
    return qualifica2 == "P" || qualifica2 == "M" || qualifica2 == "V";
}

int SettimanaDellAnno(int anno, int mese, int giorno) {
    using namespace std::chrono;
    const year_month_day data{year(anno), month(static_cast<unsigned>(mese)), day(static_cast<unsigned>(giorno))};
    const sys_days primo = sys_days{year(anno) / January / 1};
    const int giornoDellAnno = static_cast<int>((sys_days{data} - primo).count());
    return (giornoDellAnno + static_cast<int>(weekday{primo}.c_encoding())) / 7 + 1;
}

std::vector<RilievoDenuncia> ControllaDenuncia(const DatiDenuncia& denuncia) {
    const Fatti fatti(denuncia);
    std::vector<RilievoDenuncia> rilievi;
    for (const Regola& regola : Regole)
        regola.controlla(fatti, rilievi);
    return rilievi;
}

std::optional<std::string> Squadrato(long long scartoCentesimi) {
    constexpr long long Soglia = 500; // 5 euro
    if (scartoCentesimi <= Soglia && scartoCentesimi >= -Soglia)
        return std::nullopt;
    return std::string(": INPS chiama \"squadrato\" un flusso i cui contributi differiscono dal totale a debito "
                       "di oltre 5 euro");
}

} // namespace formati::inps
