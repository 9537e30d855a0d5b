#include "conv770/regole.h"

#include "shell/conversioni.h"
#include "shell/testo.h"

#include <cmath>
#include <optional>

namespace conv770 {

const std::string* Colonne::Sostituita(int colonna) const {
    for (const auto& [c, testo] : m_sostituite)
        if (c == colonna)
            return &testo;
    return nullptr;
}

// The readings of the line, for the line's text and a replacement alike.
double Colonne::LeggiImporto(int colonna) const {
    const double valore = m_riga.Numerico(colonna, Testo(colonna));
    // A rule and the value of its field read the same column: it is read once.
    if (colonna >= 0 && colonna < ColonneRicordate) {
        m_importi[static_cast<std::size_t>(colonna)] = valore;
        m_importiLetti[static_cast<std::size_t>(colonna)] = true;
    }
    return valore;
}

double Colonne::LeggiSemplice(int colonna) const {
    const double valore = m_riga.Semplice(colonna, Testo(colonna));
    if (colonna >= 0 && colonna < ColonneRicordate) {
        m_semplici[static_cast<std::size_t>(colonna)] = valore;
        m_sempliciLetti[static_cast<std::size_t>(colonna)] = true;
    }
    return valore;
}

shell::Data Colonne::Data(int colonna) const { return m_riga.LeggiData(colonna, Testo(colonna)); }

void Colonne::Sostituisci(int colonna, std::string testo) {
    if (colonna >= 0 && colonna < ColonneRicordate) {
        m_sostituita[static_cast<std::size_t>(colonna)] = true;
        m_importiLetti[static_cast<std::size_t>(colonna)] = false; // the readings of the text before
        m_sempliciLetti[static_cast<std::size_t>(colonna)] = false;
    }
    for (auto& [c, t] : m_sostituite)
        if (c == colonna) {
            t = std::move(testo);
            return;
        }
    m_sostituite.emplace_back(colonna, std::move(testo));
}

namespace {

// A22 and B22: N read as the group says, its thousands rounded (halves to even) and the rest. Both
// are 16-bit numbers and the thousands are multiplied by 1000 as one: thousands beyond 32 in either
// direction stop the run.
int MigliaiaEResto(const Campo& campo, const Colonne& colonne, bool resto) {
    const int c = campo.colonna;
    const double n = campo.lettura == LetturaN::Semplice ? colonne.Semplice(c) : colonne.Importo(c);
    const double migliaia = shell::ArrotondaAlPari(n / 1000);
    if (migliaia < -32 || migliaia > 32)
        colonne.Riga().Errore(c, "numero fuori dall'intervallo ammesso per migliaia e resto '" +
                                     std::string(colonne.Testo(c)) + "'");
    if (!resto)
        return static_cast<int>(migliaia);
    return static_cast<int>(shell::ArrotondaAlPari(n - 1000 * migliaia));
}

// The value of a field when its rules hold (none when the field is not written), without a copy of its
// text: the text is a view into the line (or into the field's table). The column of `quando` is known
// filled, but for ArrotondatoOUno (ScriviCampo).
std::optional<tracciati::Valore> Valuta(const Campo& campo, const Colonne& colonne) {
    const int c = campo.colonna;
    const bool vale =
        campo.forma == Forma::ArrotondatoOUno ? Vale(campo.quando, colonne) : ValeRiempita(campo.quando, colonne);
    if (!vale || (campo.anche.prova != Prova::Sempre && !Vale(campo.anche, colonne))) {
        if (campo.forma == Forma::ArrotondatoOUno && Vale(NonZeroArrotondato(campo.altra), colonne))
            return 1;
        return std::nullopt;
    }
    // A whole number within 15 digits is written the same as a whole number or as a double.
    const auto intero = [](double numero) -> tracciati::Valore {
        if (std::fabs(numero) < 1e15)
            return static_cast<long long>(numero);
        return numero;
    };
    switch (campo.forma) {
    case Forma::Testo:
        return colonne.Testo(c);
    case Forma::ImportoIntero:
        return intero(std::floor(colonne.Importo(c)));
    case Forma::ImportoArrotondato:
    case Forma::ArrotondatoOUno:
        return intero(shell::ArrotondaAlPari(colonne.Importo(c)));
    case Forma::Importo:
        return colonne.Importo(c);
    case Forma::NumeroSemplice:
        return colonne.Semplice(c);
    case Forma::Data:
        if (!colonne.Riempita(c))
            return std::nullopt;
        return colonne.Data(c);
    case Forma::Fisso:
        return campo.fisso;
    case Forma::ProvinciaNascita:
        if (shell::TogliSpazi(colonne.Testo(c)).size() > 2)
            return "EE";
        return colonne.Testo(c);
    case Forma::TestoOAltra:
        return colonne.Testo(colonne.Riempita(campo.scelta) ? c : campo.altra);
    case Forma::Migliaia:
        return MigliaiaEResto(campo, colonne, false);
    case Forma::RestoMigliaia:
        return MigliaiaEResto(campo, colonne, true);
    }
    return std::nullopt;
}

} // namespace

void ErroreDelCampo(const Campo& campo, const Colonne& colonne, const shell::ErroreElaborazione& errore) {
    // The column whose text the field took.
    const int colonna =
        campo.forma == Forma::TestoOAltra && !colonne.Riempita(campo.scelta) ? campo.altra : campo.colonna;
    colonne.Riga().Errore(colonna, std::string(errore.what()) + " (campo " + std::string(campo.codice) + ")");
}

bool ScriviCampoRiempito(const Campo& campo, const Colonne& colonne, std::string& area) {
    const auto valore = Valuta(campo, colonne);
    if (!valore)
        return false;
    tracciati::AggiungiCampoNonPosizionale(area, campo.codice, *valore, campo.tipo);
    return true;
}

} // namespace conv770
