#include "regole.h"

#include "conversioni.h"
#include "testo.h"

#include <cmath>

namespace conv770 {

const std::string* Colonne::Sostituita(int colonna) const {
    for (const auto& [c, testo] : m_sostituite)
        if (c == colonna)
            return &testo;
    return nullptr;
}

// The readings say what RigaEsportazione's own say, for the line's text and a replacement alike.
double Colonne::LeggiImporto(int colonna) const {
    const std::string_view testo = Testo(colonna);
    const auto valore = shell::ValoreNumerico(testo);
    if (!valore)
        m_riga.Errore(colonna, "numero non valido '" + std::string(testo) + "'");
    // A rule and the value of its field read the same column: it is read once.
    if (colonna >= 0 && colonna < ColonneRicordate) {
        m_importi[static_cast<std::size_t>(colonna)] = *valore;
        m_importiLetti[static_cast<std::size_t>(colonna)] = true;
    }
    return *valore;
}

double Colonne::LeggiSemplice(int colonna) const {
    const std::string_view testo = Testo(colonna);
    const auto valore = shell::ValoreSemplice(testo);
    if (!valore)
        m_riga.Errore(colonna, "numero fuori dall'intervallo ammesso '" + std::string(testo) + "'");
    if (colonna >= 0 && colonna < ColonneRicordate) {
        m_semplici[static_cast<std::size_t>(colonna)] = *valore;
        m_sempliciLetti[static_cast<std::size_t>(colonna)] = true;
    }
    return *valore;
}

shell::Data Colonne::Data(int colonna) const {
    const std::string* sostituita = Sostituita(colonna);
    if (!sostituita)
        return m_riga.LeggiData(colonna);
    const auto data = shell::LeggiData(*sostituita);
    if (!data)
        m_riga.Errore(colonna, "data non valida '" + *sostituita + "'");
    return *data;
}

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
                                     std::string(colonne.Testo(c)) +
                                     "'");
    if (!resto)
        return static_cast<int>(migliaia);
    return static_cast<int>(shell::ArrotondaAlPari(n - 1000 * migliaia));
}

} // namespace

namespace {

// The value of a field as the forms make it when its rules hold (Nessuno when the field is not
// written), without a copy of its text: the text is a view into the line (or into the field's table).
struct ValoreCampo {
    enum class Genere { Nessuno, Testo, Intero, Numero, Data };
    Genere genere = Genere::Nessuno;
    std::string_view testo = {};
    long long intero = 0;
    double numero = 0;
    shell::Data data = {};

    static ValoreCampo Di(std::string_view t) { return {Genere::Testo, t}; }
    static ValoreCampo Di(long long n) { return {Genere::Intero, {}, n}; }
    static ValoreCampo Di(int n) { return Di(static_cast<long long>(n)); }
    static ValoreCampo Di(double x) { return {Genere::Numero, {}, 0, x}; }
    static ValoreCampo Di(shell::Data d) { return {Genere::Data, {}, 0, 0, d}; }
};

ValoreCampo Valuta(const Campo& campo, const Colonne& colonne) {
    using V = ValoreCampo;
    const int c = campo.colonna;
    if (!Vale(campo.quando, colonne) || !Vale(campo.anche, colonne)) {
        if (campo.forma == Forma::ArrotondatoOUno && Vale(NonZeroArrotondato(campo.altra), colonne))
            return V::Di(1);
        return {};
    }
    switch (campo.forma) {
    case Forma::Testo:
        return V::Di(colonne.Testo(c));
    case Forma::ImportoIntero: {
        // A whole number within 15 digits is written the same as a whole number or as a double.
        const double intero = std::floor(colonne.Importo(c));
        if (std::fabs(intero) < 1e15)
            return V::Di(static_cast<long long>(intero));
        return V::Di(intero);
    }
    case Forma::ImportoArrotondato:
        return V::Di(shell::ArrotondaAlPari(colonne.Importo(c)));
    case Forma::Importo:
        return V::Di(colonne.Importo(c));
    case Forma::NumeroSemplice:
        return V::Di(colonne.Semplice(c));
    case Forma::Data:
        if (!colonne.Riempita(c))
            return {};
        return V::Di(colonne.Data(c));
    case Forma::Fisso:
        return V::Di(campo.fisso);
    case Forma::ProvinciaNascita:
        if (shell::TogliSpazi(colonne.Testo(c)).size() > 2)
            return V::Di(std::string_view("EE"));
        return V::Di(colonne.Testo(c));
    case Forma::TestoOAltra:
        return V::Di(colonne.Testo(colonne.Riempita(campo.scelta) ? c : campo.altra));
    case Forma::Migliaia:
        return V::Di(MigliaiaEResto(campo, colonne, false));
    case Forma::RestoMigliaia:
        return V::Di(MigliaiaEResto(campo, colonne, true));
    case Forma::ArrotondatoOUno:
        if (Vale(NonZeroArrotondato(c), colonne))
            return V::Di(shell::ArrotondaAlPari(colonne.Importo(c)));
        return V::Di(1);
    }
    return {};
}

} // namespace

bool ScriviCampoValutato(const Campo& campo, const Colonne& colonne, std::string& area) {
    // What AggiungiCampoNonPosizionale writes for the Valore of the same value, without one but for dates.
    const ValoreCampo valore = Valuta(campo, colonne);
    switch (valore.genere) {
    case ValoreCampo::Genere::Nessuno:
        return false;
    case ValoreCampo::Genere::Testo:
        fields::AggiungiCampoTesto(area, campo.codice, valore.testo, campo.tipo);
        break;
    case ValoreCampo::Genere::Intero:
        fields::AggiungiCampoIntero(area, campo.codice, valore.intero, campo.tipo);
        break;
    case ValoreCampo::Genere::Numero:
        fields::AggiungiCampoNumero(area, campo.codice, valore.numero, campo.tipo);
        break;
    case ValoreCampo::Genere::Data:
        fields::AggiungiCampoNonPosizionale(area, campo.codice, fields::Valore(valore.data), campo.tipo);
        break;
    }
    return true;
}

bool ScriviCampoRiempito(const Campo& campo, const Colonne& colonne, std::string& area) {
    // Most fields are texts and amounts: written straight into the area, without a Valore, once their
    // rules hold. A whole number within 15 digits is written the same as a whole number or as a double.
    switch (campo.forma) {
    case Forma::Testo:
    case Forma::ImportoIntero:
    case Forma::ImportoArrotondato:
    case Forma::Importo:
        if (!ValeRiempita(campo.quando, colonne) ||
            (campo.anche.prova != Prova::Sempre && !Vale(campo.anche, colonne)))
            return false;
        break;
    default:
        return ScriviCampoValutato(campo, colonne, area);
    }
    switch (campo.forma) {
    case Forma::Testo:
        fields::AggiungiCampoTesto(area, campo.codice, colonne.Testo(campo.colonna), campo.tipo);
        break;
    case Forma::Importo:
        fields::AggiungiCampoNumero(area, campo.codice, colonne.Importo(campo.colonna), campo.tipo);
        break;
    default: {
        const double importo = colonne.Importo(campo.colonna);
        const double intero = campo.forma == Forma::ImportoIntero ? std::floor(importo) : shell::ArrotondaAlPari(importo);
        if (std::fabs(intero) < 1e15)
            fields::AggiungiCampoIntero(area, campo.codice, static_cast<long long>(intero), campo.tipo);
        else
            fields::AggiungiCampoNumero(area, campo.codice, intero, campo.tipo);
        break;
    }
    }
    return true;
}

} // namespace conv770
