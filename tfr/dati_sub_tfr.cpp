#include "tfr/dati_sub_tfr.h"

#include "shell/contatore.h"
#include "shell/errore.h"
#include "shell/esportazione.h"
#include "tfr/nome_fornitura.h"
#include "shell/piattaforma.h"
#include "tfr/record_tfr.h"
#include "shell/testo.h"
#include "shell/uscita.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tfr {

namespace fs = std::filesystem;
using shell::ErroreElaborazione;
using shell::Esportazione;
using shell::Preparazione;
using shell::RigaEsportazione;

namespace {

constexpr std::string_view FileCartella = "PercorsoTFR.txt";
constexpr std::string_view FileEsportazione = "EsportazioneTFR.tab";
constexpr std::string_view FileBeneficiari = "EsportazioneTFRBeneficiari.tab";
constexpr std::string_view FileTemporaneo = "TFRtemp.txt";
constexpr std::string_view TipoDocumento = "TFR"; // names the lock file ".TFR.lock"

// Main export columns read outside the records.
constexpr int ColonnaDipendente = 13; // the employee key; lines with the same key in a row are one group
constexpr int ColonnaCognome = 14;
constexpr int ColonnaNome = 15;
constexpr int ColonneDateControllate[] = {23, 24};
// Beneficiaries export: the key of the employee.
constexpr int ColonnaDipendenteBeneficiario = 0;

std::string_view SenzaBianchi(std::string_view testo) {
    const auto inizio = testo.find_first_not_of(" \t");
    if (inizio == std::string_view::npos)
        return {};
    return testo.substr(inizio, testo.find_last_not_of(" \t") - inizio + 1);
}

// The supply is never written into the root of a drive or of the file system (an empty folder line
// would point there), nor into a folder whose path holds a control character.
void ControllaCartella(const fs::path& cartella) {
    shell::ControllaCartellaDiUscita(cartella);
    const fs::path normale = cartella.lexically_normal();
    if (cartella.empty() || (normale.has_root_path() && normale.relative_path().empty()))
        throw ErroreElaborazione("La cartella di destinazione '" + shell::TestoPercorso(cartella) +
                                 "' \xE8 la radice di un disco: il documento TFR non viene scritto l\xEC.");
}

[[noreturn]] void ErroreBeneficiari(const ErroreElaborazione& e) {
    throw ErroreElaborazione("File dei beneficiari: " + std::string(e.what()));
}

// The beneficiaries export, read once, with the lines of each employee key in the order of the file.
class Beneficiari {
public:
    Beneficiari() = default;

    explicit Beneficiari(const fs::path& percorso) try : m_esportazione(Esportazione::Leggi(percorso)) {
        shell::RifiutaACapoIsolati(*m_esportazione);
        const auto& righe = m_esportazione->TutteLeRighe();
        RigaEsportazione riga;
        for (std::size_t i = 0; i < righe.size(); ++i) {
            const int numero = static_cast<int>(i + 1);
            riga.Carica(numero, righe[i], Preparazione::MaiuscoloSenzaSpazi);
            m_righePerDipendente[std::string(riga[ColonnaDipendenteBeneficiario])].push_back(numero);
        }
    } catch (const ErroreElaborazione& e) {
        ErroreBeneficiari(e);
    }

    // One record "4" per beneficiary of the employee, in the order of the file.
    void Scrivi(const std::string& dipendente, FornituraTFR& fornitura) const {
        const auto trovate = m_righePerDipendente.find(dipendente);
        if (trovate == m_righePerDipendente.end())
            return;
        try {
            RigaEsportazione riga;
            for (const int numero : trovate->second) {
                riga.Carica(numero, m_esportazione->Riga(static_cast<std::size_t>(numero - 1)),
                            Preparazione::MaiuscoloSenzaSpazi);
                fornitura.ScriviRecord4(riga);
            }
        } catch (const ErroreElaborazione& e) {
            ErroreBeneficiari(e);
        }
    }

private:
    std::optional<Esportazione> m_esportazione;
    std::unordered_map<std::string, std::vector<int>> m_righePerDipendente;
};

// The first columns of a line as views, split at every TAB as the export's lines are: as many as
// `colonne` holds or the line has, whichever is fewer (an empty line has none).
std::size_t PrimeColonne(std::string_view testo, std::span<std::string_view> colonne) {
    if (testo.empty())
        return 0;
    const char* inizio = testo.data();
    const char* const fine = testo.data() + testo.size();
    std::size_t trovate = 0;
    while (trovate < colonne.size()) {
        const auto* tab = static_cast<const char*>(std::memchr(inizio, '\t', static_cast<std::size_t>(fine - inizio)));
        colonne[trovate++] = std::string_view(inizio, static_cast<std::size_t>((tab ? tab : fine) - inizio));
        if (!tab)
            break;
        inizio = tab + 1;
    }
    return trovate;
}

// Every line must have the employee key and the two dates of record "2" before anything is written.
void ControllaEsportazione(const Esportazione& esportazione) {
    shell::RifiutaACapoIsolati(esportazione);
    // The check reads the columns up to the last one it needs, where they are, without the upper-cased
    // copy (upper case changes no date). A line that fails, and one long enough to hold more columns
    // than a line may have, is read again as the writing reads it, which gives its error.
    constexpr int UltimaColonna = std::max({ColonnaDipendente, ColonneDateControllate[0], ColonneDateControllate[1]});
    std::array<std::string_view, UltimaColonna + 1> colonne;
    RigaEsportazione riga;
    for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
        const std::string_view testo = esportazione.Riga(i);
        bool buona = testo.size() < static_cast<std::size_t>(shell::MassimoContatore);
        if (buona) {
            const std::size_t trovate = PrimeColonne(testo, colonne);
            buona = trovate > static_cast<std::size_t>(ColonnaDipendente);
            for (const int colonna : ColonneDateControllate)
                buona = buona && static_cast<std::size_t>(colonna) < trovate &&
                        shell::LeggiData(colonne[static_cast<std::size_t>(colonna)]).has_value();
        }
        if (buona)
            continue;
        riga.Carica(static_cast<int>(i + 1), testo);
        static_cast<void>(riga[ColonnaDipendente]);
        for (const int colonna : ColonneDateControllate)
            riga.LeggiData(colonna);
    }
}

void ScriviFornitura(shell::ContestoElaborazione& contesto, const Esportazione& esportazione,
                     const Beneficiari& beneficiari, shell::FileUscita& uscita) {
    FornituraTFR fornitura(uscita);
    std::string precedente;
    RigaEsportazione riga;
    for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
        riga.Carica(static_cast<int>(i + 1), esportazione.Riga(i), Preparazione::MaiuscoloSenzaSpazi);
        if (i == 0)
            fornitura.ScriviRecord1(riga, contesto.Adesso());
        const std::string_view dipendente = riga[ColonnaDipendente];
        if (dipendente != precedente) {
            if (!precedente.empty())
                beneficiari.Scrivi(precedente, fornitura);
            precedente = dipendente;
            contesto.ScriviMessaggio("Elaborazione dipendente: " + precedente + " - " +
                                     std::string(riga[ColonnaCognome]) + " " + std::string(riga[ColonnaNome]));
            fornitura.ScriviRecord2(riga);
        }
        fornitura.ScriviRecord3(riga);
    }
    beneficiari.Scrivi(precedente, fornitura);
    fornitura.ScriviRecord9();
}

} // namespace

const shell::Convertitore& Descrittore() {
    // clang-format off
    static const shell::Convertitore convertitore{
        "tfr", "zandrik",
        "Elaborazione dati per TFR - Versione 2008 del 06/09/10",
        //  client area   Messaggio                 Avanti
        {6945, 6000, {120, 120, 6735, 5295}, {5520, 5520, 1335, 375}, std::nullopt, std::nullopt},
        Carica};
    // clang-format on
    return convertitore;
}

fs::path CartellaTFR(const fs::path& fileCartella, const fs::path& predefinita) {
    if (!shell::FileOrdinarioEsiste(fileCartella))
        return predefinita;
    std::ifstream file(fileCartella, std::ios::binary);
    const std::string testo(std::istreambuf_iterator<char>(file), {});
    if (!file.is_open() || file.bad())
        throw ErroreElaborazione("Impossibile leggere il file '" + shell::TestoPercorso(fileCartella) + "'");
    // Lines end at CR, LF or both: a folder name holds neither.
    std::string_view ultima;
    for (std::size_t inizio = 0; inizio <= testo.size();) {
        const auto fine = std::min(testo.find_first_of("\r\n", inizio), testo.size());
        if (const auto riga = SenzaBianchi(std::string_view(testo).substr(inizio, fine - inizio)); !riga.empty())
            ultima = riga;
        inizio = fine + 1;
    }
    return ultima.empty() ? predefinita : shell::PercorsoDaTesto(ultima);
}

shell::Caricamento Carica(const fs::path& cartellaProgramma, const fs::path& cartellaArchivio) {
    // A folder file that cannot be read stops the run, once the window can say so.
    std::optional<fs::path> cartellaTFR;
    std::string erroreCartella;
    try {
        cartellaTFR = CartellaTFR(cartellaProgramma / shell::PercorsoDaTesto(FileCartella), cartellaArchivio);
    } catch (const ErroreElaborazione& e) {
        erroreCartella = e.what();
    }

    fs::path esportazione = cartellaProgramma / shell::PercorsoDaTesto(FileEsportazione);
    if (!shell::FileOrdinarioEsiste(esportazione))
        return {std::move(esportazione), {}};
    std::optional<fs::path> beneficiari = cartellaProgramma / shell::PercorsoDaTesto(FileBeneficiari);
    if (!shell::FileOrdinarioEsiste(*beneficiari))
        beneficiari.reset();

    return {std::nullopt, [=](shell::ContestoElaborazione& contesto) {
                if (!cartellaTFR)
                    throw ErroreElaborazione(erroreCartella);
                EseguiConversione(contesto, *cartellaTFR, esportazione, beneficiari);
            }};
}

void EseguiConversione(shell::ContestoElaborazione& contesto, const fs::path& cartellaTFR,
                       const fs::path& percorsoEsportazione, const std::optional<fs::path>& percorsoBeneficiari) {
    ControllaCartella(cartellaTFR);
    shell::CreaCartella(cartellaTFR);
    // "TFRtemp.txt" has the same name in every run: a second run into the folder stops here, before it
    // touches it, until the first one has given its supply a final name.
    const shell::EsclusivaCartella esclusiva(cartellaTFR, TipoDocumento);

    const Esportazione esportazione = Esportazione::Leggi(percorsoEsportazione);
    if (esportazione.Vuota())
        throw ErroreElaborazione("Il file di esportazione \xE8 vuoto");
    ControllaEsportazione(esportazione);
    const Beneficiari beneficiari = percorsoBeneficiari ? Beneficiari(*percorsoBeneficiari) : Beneficiari();

    const fs::path temporaneo = cartellaTFR / shell::PercorsoDaTesto(FileTemporaneo);
    fs::path finale;
    {
        shell::FileUscita uscita(temporaneo);
        try {
            ScriviFornitura(contesto, esportazione, beneficiari, uscita);
            uscita.Chiudi();
            finale = DaiNomeFornitura(contesto, temporaneo, cartellaTFR);
        } catch (const ErroreElaborazione& e) {
            throw ErroreElaborazione(std::string(e.what()) + "\r\nIl documento resta con il nome temporaneo '" +
                                     shell::TestoPercorso(temporaneo) + "'.");
        }
    }
    contesto.ScriviMessaggio(shell::TestoCompletamento(finale), false, false);
    contesto.CursoreInFondo();
}

} // namespace tfr
