#include "conv770/quadri.h"

#include "conv770/regole.h"
#include "conv770/tabelle_quadri.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace conv770 {

namespace {

using namespace tabelleQuadri;

// Adds the column's amount to the running total of the DB row, or takes it away.
void AggiornaTotale(const RigaDB& r, const Colonne& colonne, Totali& totali) {
    const std::string_view testo = colonne.Testo(r.colonna);
    const auto importo = ImportoEsatto::Leggi(testo);
    ImportoEsatto& totale = totali[static_cast<std::size_t>(r.totale.indice)];
    const bool fatto = importo && (r.totale.segno > 0 ? totale.Aggiungi(*importo) : totale.Sottrai(*importo));
    if (!fatto)
        colonne.Riga().Errore(r.colonna, "importo troppo grande per il totale " + std::to_string(r.totale.indice) +
                                             " '" + std::string(testo) + "'");
}

// The supplementary rows of quadro DB, from columns 181 to 184, starting at row 001. The second
// group takes the next row only when the first group's amount gave one.
void RighiSupplementariDB(const Colonne& colonne, bool scritto122, std::string& area) {
    int rigo = 1;
    bool rigoUsato = false;
    for (std::size_t g = 0; g < GruppiSupplementariDB.size(); ++g) {
        const auto& gruppo = GruppiSupplementariDB[g];
        const bool importo = Vale(NonZero(gruppo.importo), colonne);
        const auto scrivi = [&](CampoSupplementareDB campo, int colonna) {
            ScriviCampo({CodiciSupplementariDB.Di(rigo, campo), TipiSupplementariDB[campo], colonna, Sempre, Sempre,
                         F::ImportoIntero},
                        colonne, area);
        };
        if (importo) {
            rigoUsato = true;
            scrivi(scritto122 ? Campo128 : Campo127, gruppo.importo);
        }
        if (Vale(NonZero(gruppo.secondo), colonne))
            scrivi(Campo129, gruppo.secondo);
        if (importo && Vale(NonZero(gruppo.n4), colonne))
            scrivi(Campo132, gruppo.n4);
        if (g == 0 && rigoUsato)
            ++rigo;
    }
    // With neither amount no further group is written: it would repeat the codes of row 001 with the
    // amounts of DB001120 and DB001122 crossed.
}

constexpr auto DatiControllati = [] {
    constexpr std::size_t n =
        std::count_if(CampiDA.begin(), CampiDA.end(), [](const RigaDA& r) { return !r.messaggio.empty(); });
    std::array<DatoControllato, n> dati{};
    std::size_t i = 0;
    for (const RigaDA& r : CampiDA)
        if (!r.messaggio.empty())
            dati[i++] = {r.campo, r.messaggio};
    return dati;
}();

// For each J code, the DB rows whose running total it writes, with their signs.
constexpr auto TerminiJ = [] {
    constexpr std::size_t n =
        std::count_if(CampiDB.begin(), CampiDB.end(), [](const RigaDB& r) { return r.totale.indice != Nessuna; });
    std::array<TermineRecordJ, n> termini{};
    std::size_t i = 0;
    for (const CampoJ& j : CampiJ)
        for (const RigaDB& r : CampiDB)
            if (r.totale.indice == j.totale)
                termini[i++] = {j.campo, r.campo, r.totale.segno};
    return termini;
}();
static_assert(TerminiJ.back().segno != 0, "every running total of quadro DB is written by record J");

} // namespace

std::span<const DatoControllato> DatiControllatiDA() { return DatiControllati; }
std::span<const TermineRecordJ> TerminiRecordJ() { return TerminiJ; }

void CampiQuadroDA(const shell::RigaEsportazione& riga, std::string& area, std::string& mancanti) {
    const Colonne colonne(riga);
    for (std::size_t i = 0; i < CampiDA.size(); ++i) {
        const RigaDA& r = CampiDA[i];
        if (!r.messaggio.empty() && !colonne.Riempita(r.colonna)) {
            if (!mancanti.empty())
                mancanti += "\r\n";
            mancanti += r.messaggio;
        }
        ScriviCampo(CampiCompilatiDA[i], colonne, area);
    }
}

void CampiQuadroDB(const shell::RigaEsportazione& riga, std::string& area, Totali& totali) {
    constexpr std::size_t Indice120 = IndiceDB("DB001120");
    constexpr std::size_t Indice122 = IndiceDB("DB001122");
    constexpr std::size_t Indice125 = IndiceDB("DB001125");
    const Colonne colonne(riga);
    bool scritto120o122 = false;
    bool scritto122 = false;
    for (std::size_t indice = 0; indice < CampiDB.size(); ++indice) {
        const RigaDB& r = CampiDB[indice];
        const bool scritto = ScriviCampo(CampiCompilatiDB[indice], colonne, area);
        if (scritto && r.totale.indice != Nessuna)
            AggiornaTotale(r, colonne, totali);
        if (scritto && (indice == Indice120 || indice == Indice122))
            scritto120o122 = true;
        if (scritto && indice == Indice122)
            scritto122 = true;
        if (indice == Indice125 && scritto120o122)
            RighiSupplementariDB(colonne, scritto122, area);
    }
}

void CampiQuadroDC(const shell::RigaEsportazione& riga, std::string& area) {
    Colonne colonne(riga);
    for (const Campo& campo : CampiCompilatiDC)
        ScriviCampo(campo, colonne, area);

    int rigo = 0;
    for (std::size_t g = 0; g < GruppiDC.size(); ++g) {
        const GruppoDC& gruppo = GruppiDC[g];
        if (!Vale(NonZeroArrotondato(gruppo.condizione1), colonne) &&
            !Vale(NonZeroArrotondato(gruppo.condizione2), colonne))
            continue;
        ++rigo;
        // A filled first column with a blank second one: the second becomes "00000" for the line.
        const int prima = CampiGruppoDC[0].colonne[g];
        const int seconda = CampiGruppoDC[1].colonne[g];
        if (colonne.Riempita(prima) && !colonne.Riempita(seconda))
            colonne.Sostituisci(seconda, "00000");
        for (const Campo& campo : CampiCompilatiGruppiDC[g][static_cast<std::size_t>(rigo - 1)])
            ScriviCampo(campo, colonne, area);
    }
}

void CampiRecordJ(const Totali& totali, std::string& area) {
    for (const CampoJ& campo : CampiJ) {
        const ImportoEsatto& totale = totali[static_cast<std::size_t>(campo.totale)];
        tracciati::AggiungiCampoNonPosizionale(area, campo.campo, static_cast<long long>(totale.ParteIntera()),
                                               TipoCampiJ);
    }
}

tracciati::Catalogo CatalogoDeiCampi() { return Catalogo; }

} // namespace conv770
