#include "campo_non_posizionale.h"

#include "contatore.h"
#include "conversioni.h"
#include "testo.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace conv770::fields {

namespace {

constexpr std::size_t Valore16 = LunghezzaValore;

// The value part, appended: the text left-aligned and cut, or right-aligned keeping its last
// characters, in 16.
void Sinistra(std::string& area, std::string_view testo) {
    const std::string_view parte = testo.substr(0, Valore16);
    area += parte;
    area.append(Valore16 - parte.size(), ' ');
}

void Destra(std::string& area, std::string_view testo) {
    if (testo.size() >= Valore16) {
        area += testo.substr(testo.size() - Valore16);
        return;
    }
    area.append(Valore16 - testo.size(), ' ');
    area += testo;
}

// A whole number as a mask writes it: at least `cifreMinime` digits, "." between groups of three
// digits when `migliaia`, "-" in front when negative; 0 with no minimum gives the empty text.
std::string Maschera(bool negativo, std::string cifre, int cifreMinime, bool migliaia) {
    if (cifre == "0" && cifreMinime == 0)
        return {};
    if (cifre.size() < static_cast<std::size_t>(cifreMinime))
        cifre.insert(0, static_cast<std::size_t>(cifreMinime) - cifre.size(), '0');
    if (migliaia)
        for (std::size_t i = cifre.size(); i > 3; i -= 3)
            cifre.insert(i - 3, 1, '.');
    return (negativo && cifre.find_first_not_of("0.") != std::string::npos ? "-" : "") + cifre;
}

// A number rounded to a whole number, halves away from zero, then masked.
std::string Maschera(double numero, int cifreMinime, bool migliaia) {
    const double intero = shell::Arrotonda(numero);
    if (std::fabs(intero) < 1e18)
        return Maschera(intero < 0, std::to_string(static_cast<long long>(std::fabs(intero))), cifreMinime, migliaia);
    char testo[400];
    std::snprintf(testo, sizeof testo, "%.0f", std::fabs(intero));
    return Maschera(intero < 0, testo, cifreMinime, migliaia);
}

std::string ValoreMaschera(const Valore& valore, int cifreMinime, bool migliaia) {
    if (valore.Intero()) {
        const std::int64_t n = valore.ComeIntero();
        std::string cifre = std::to_string(n);
        if (n < 0)
            cifre.erase(0, 1);
        return Maschera(n < 0, cifre, cifreMinime, migliaia);
    }
    if (valore.Numero())
        return Maschera(valore.ComeNumero(), cifreMinime, migliaia);
    if (valore.Testo())
        if (const auto numero = shell::ValoreNumerico(valore.ComeTesto()))
            return Maschera(*numero, cifreMinime, migliaia);
    return TestoValore(valore);
}

std::string ValoreData(const Valore& valore) {
    if (valore.Data())
        return std::string(8, ' ') + DataGGMMAAAA(valore.ComeData());
    if (valore.Testo())
        if (const auto data = shell::LeggiData(valore.ComeTesto()))
            return std::string(8, ' ') + DataGGMMAAAA(*data);
    return TestoValore(valore);
}

std::string FlagSI12(std::string_view testo) {
    std::string flag;
    std::size_t inizio = 0;
    while (flag.size() < 12) {
        const auto fine = testo.find(SeparatoreSI12, inizio);
        const auto pezzo = testo.substr(inizio, fine == std::string_view::npos ? testo.npos : fine - inizio);
        flag += pezzo.empty() ? '0' : '1';
        if (fine == std::string_view::npos)
            break;
        inizio = fine + 1;
    }
    flag.resize(12, '0');
    return "    " + flag;
}

void CampoAN(std::string& area, std::string_view codice, std::string_view testo) {
    shell::Contatore16 blocchi("blocchi di un campo");
    blocchi.Incrementa();
    area += codice;
    Sinistra(area, testo);
    for (std::size_t resto = Valore16; resto < testo.size(); resto += Valore16 - 1) {
        blocchi.Incrementa();
        area += codice;
        area += '+';
        const std::string_view parte = testo.substr(resto, Valore16 - 1);
        area += parte;
        area.append(Valore16 - 1 - parte.size(), ' ');
    }
}

// The value part of every type but AN and SI.
void AggiungiValore(std::string& area, const Valore& valore, Tipo tipo) {
    switch (tipo) {
    case Tipo::AN:
    case Tipo::SI:
        break;
    case Tipo::CF:
    case Tipo::CN:
    case Tipo::PI:
        if (valore.Testo())
            Sinistra(area, valore.ComeTesto());
        else
            Sinistra(area, TestoValore(valore));
        break;
    case Tipo::SI12:
        area += FlagSI12(TestoValore(valore));
        break;
    case Tipo::CB:
    case Tipo::NP:
        if (valore.Testo())
            Destra(area, valore.ComeTesto());
        else
            Destra(area, TestoValore(valore));
        break;
    case Tipo::NU:
        Destra(area, ValoreMaschera(valore, 0, false));
        break;
    case Tipo::N1:
        Destra(area, ValoreMaschera(valore, 1, false));
        break;
    case Tipo::N3:
        Destra(area, ValoreMaschera(valore, 3, false));
        break;
    case Tipo::N4:
        Destra(area, ValoreMaschera(valore, 4, false));
        break;
    case Tipo::N5:
        Destra(area, ValoreMaschera(valore, 5, false));
        break;
    case Tipo::N10:
        Destra(area, ValoreMaschera(valore, 10, false));
        break;
    case Tipo::PC:
        Destra(area, ValoreMaschera(valore, 0, true));
        break;
    case Tipo::DT:
        Destra(area, ValoreData(valore));
        break;
    }
}

} // namespace

std::optional<Tipo> TipoDaCodice(std::string_view codice) {
    // clang-format off
    static constexpr struct { std::string_view codice; Tipo tipo; } Tipi[] = {
        {"AN", Tipo::AN}, {"CF", Tipo::CF}, {"CN", Tipo::CN}, {"PI", Tipo::PI}, {"SI", Tipo::SI},
        {"SI12", Tipo::SI12}, {"CB", Tipo::CB}, {"NP", Tipo::NP}, {"NU", Tipo::NU}, {"N1", Tipo::N1},
        {"N3", Tipo::N3}, {"N4", Tipo::N4}, {"N5", Tipo::N5}, {"N10", Tipo::N10}, {"PC", Tipo::PC},
        {"DT", Tipo::DT},
    };
    // clang-format on
    const std::string maiuscolo = shell::Maiuscolo(codice);
    for (const auto& t : Tipi)
        if (t.codice == maiuscolo)
            return t.tipo;
    return std::nullopt;
}

void AggiungiCampoNonPosizionale(std::string& area, std::string_view codice, const Valore& valore, Tipo tipo) {
    if (tipo == Tipo::AN) {
        if (valore.Testo())
            CampoAN(area, codice, valore.ComeTesto());
        else
            CampoAN(area, codice, TestoValore(valore));
        return;
    }
    if (tipo == Tipo::SI) {
        if (valore.Testo() && valore.ComeTesto() == "S\xCC") {
            area += codice;
            Destra(area, "1");
        }
        return;
    }
    area += codice;
    AggiungiValore(area, valore, tipo);
}

void AggiungiCampoNonPosizionale(std::string& area, std::string_view quadro, std::string_view rigo,
                                 std::string_view colonna, const Valore& valore, Tipo tipo) {
    // The code is joined in place, ahead of the value: no text of its own for it.
    if (tipo == Tipo::SI && !(valore.Testo() && valore.ComeTesto() == "S\xCC"))
        return;
    const std::size_t inizio = area.size();
    area += quadro;
    area += rigo;
    area += colonna;
    if (tipo == Tipo::AN) {
        const std::string codice = area.substr(inizio);
        area.resize(inizio);
        AggiungiCampoNonPosizionale(area, codice, valore, tipo);
        return;
    }
    if (tipo == Tipo::SI) {
        Destra(area, "1");
        return;
    }
    AggiungiValore(area, valore, tipo);
}

void AggiungiCampoNP(std::string& area, std::string_view quadro, std::string_view rigo, std::string_view colonna,
                     std::int64_t numero) {
    area += quadro;
    area += rigo;
    area += colonna;
    char cifre[24];
    const auto fine = std::to_chars(cifre, cifre + sizeof cifre, numero).ptr; // as TestoValore writes it
    Destra(area, std::string_view(cifre, static_cast<std::size_t>(fine - cifre)));
}

std::string CampoNonPosizionale(std::string_view codice, const Valore& valore, Tipo tipo) {
    std::string campo;
    AggiungiCampoNonPosizionale(campo, codice, valore, tipo);
    return campo;
}

std::string CampoNonPosizionale(std::string_view quadro, std::string_view rigo, std::string_view colonna,
                                const Valore& valore, Tipo tipo) {
    std::string campo;
    AggiungiCampoNonPosizionale(campo, quadro, rigo, colonna, valore, tipo);
    return campo;
}

std::string CampoNonPosizionale(std::string_view quadro, std::string_view rigo, std::string_view colonna,
                                const Valore& valore, std::string_view tipo) {
    const auto t = TipoDaCodice(tipo);
    return t ? CampoNonPosizionale(quadro, rigo, colonna, valore, *t) : std::string();
}

} // namespace conv770::fields
