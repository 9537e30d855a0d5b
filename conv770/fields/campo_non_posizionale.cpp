#include "campo_non_posizionale.h"

#include "contatore.h"
#include "conversioni.h"
#include "testo.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <type_traits>

namespace conv770::fields {

namespace {

constexpr std::size_t Valore16 = LunghezzaValore;

// The value part of a field is made in 16 characters on the stack, then appended with its code in
// one go: the text left-aligned and cut, or right-aligned keeping its last characters.
void Sinistra(char* valore, std::string_view testo) {
    std::memset(valore, ' ', Valore16);
    const std::size_t n = testo.size() < Valore16 ? testo.size() : Valore16;
    if (n > 0)
        std::memcpy(valore, testo.data(), n);
}

void Destra(char* valore, std::string_view testo) {
    std::memset(valore, ' ', Valore16);
    const std::size_t n = testo.size() < Valore16 ? testo.size() : Valore16;
    if (n > 0)
        std::memcpy(valore + Valore16 - n, testo.data() + testo.size() - n, n);
}

// The code and the 16 characters of the value appended to the area.
void Blocco(std::string& area, std::string_view codice, const char* valore) {
    if (codice.size() == LunghezzaCodice) {
        char blocco[LunghezzaBlocco];
        std::memcpy(blocco, codice.data(), LunghezzaCodice);
        std::memcpy(blocco + LunghezzaCodice, valore, Valore16);
        area.append(blocco, LunghezzaBlocco);
        return;
    }
    area += codice;
    area.append(valore, Valore16);
}

// The most characters the mask of a number of `cifre` digits can take: sign, digits and points.
constexpr std::size_t SpazioMaschera(std::size_t cifre, int cifreMinime) {
    const auto minime = static_cast<std::size_t>(cifreMinime);
    const std::size_t tutte = cifre > minime ? cifre : minime;
    return 1 + tutte + tutte / 3;
}

// A whole number as a mask writes it: at least `cifreMinime` digits, "." between groups of three
// digits when `migliaia`, "-" in front when negative; 0 with no minimum gives the empty text.
// Written into `uscita` (room for SpazioMaschera characters); gives the length.

std::size_t ScriviMaschera(bool negativo, std::string_view cifre, int cifreMinime, bool migliaia, char* uscita) {
    if (cifre == "0" && cifreMinime == 0)
        return 0;
    const std::size_t zeri =
        cifre.size() < static_cast<std::size_t>(cifreMinime) ? static_cast<std::size_t>(cifreMinime) - cifre.size() : 0;
    const std::size_t tutte = zeri + cifre.size();
    const bool segno = negativo && cifre.find_first_not_of('0') != std::string_view::npos;
    char* p = uscita;
    if (segno)
        *p++ = '-';
    // Digit i (from the left, of `tutte`) is followed by "." when a multiple of three digits follows it.
    for (std::size_t i = 0; i < tutte; ++i) {
        *p++ = i < zeri ? '0' : cifre[i - zeri];
        const std::size_t dopo = tutte - 1 - i;
        if (migliaia && dopo > 0 && dopo % 3 == 0)
            *p++ = '.';
    }
    return static_cast<std::size_t>(p - uscita);
}

// The mask of a whole number, right-aligned in the 16 characters of the value.
void DestraMaschera(char* valore, bool negativo, std::string_view cifre, int cifreMinime, bool migliaia) {
    char corta[64];
    const std::size_t spazio = SpazioMaschera(cifre.size(), cifreMinime);
    if (spazio <= sizeof corta) {
        Destra(valore, std::string_view(corta, ScriviMaschera(negativo, cifre, cifreMinime, migliaia, corta)));
        return;
    }
    std::string lunga(spazio, ' ');
    lunga.resize(ScriviMaschera(negativo, cifre, cifreMinime, migliaia, lunga.data()));
    Destra(valore, lunga);
}

// The decimal digits of |n|, without sign, into `cifre` (room for 20).
std::string_view CifreIntero(std::int64_t n, char* cifre) {
    const auto assoluto = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const auto fine = std::to_chars(cifre, cifre + 20, assoluto).ptr;
    return std::string_view(cifre, static_cast<std::size_t>(fine - cifre));
}

void DestraMascheraIntero(char* valore, std::int64_t n, int cifreMinime, bool migliaia) {
    char cifre[20];
    DestraMaschera(valore, n < 0, CifreIntero(n, cifre), cifreMinime, migliaia);
}

// A number rounded to a whole number, halves away from zero, then masked.
void DestraMaschera(char* valore, double numero, int cifreMinime, bool migliaia) {
    const double intero = shell::ArrotondaLontanoDaZero(numero);
    if (std::fabs(intero) < 1e18) {
        char cifre[20];
        const auto n = static_cast<long long>(std::fabs(intero));
        DestraMaschera(valore, intero < 0, CifreIntero(n, cifre), cifreMinime, migliaia);
        return;
    }
    char testo[400];
    std::snprintf(testo, sizeof testo, "%.0f", std::fabs(intero));
    DestraMaschera(valore, intero < 0, testo, cifreMinime, migliaia);
}

// The mask of any value: a whole number, a number, a text that reads as a number; else the text.
void DestraMaschera(char* valore, const Valore& v, int cifreMinime, bool migliaia) {
    if (v.Intero()) {
        DestraMascheraIntero(valore, v.ComeIntero(), cifreMinime, migliaia);
        return;
    }
    if (v.Numero()) {
        DestraMaschera(valore, v.ComeNumero(), cifreMinime, migliaia);
        return;
    }
    if (v.Testo())
        if (const auto numero = shell::ValoreNumerico(v.ComeTesto())) {
            DestraMaschera(valore, *numero, cifreMinime, migliaia);
            return;
        }
    Destra(valore, TestoValore(v));
}

std::string ValoreData(const Valore& valore) {
    if (valore.Data())
        return std::string(8, ' ') + DataGGMMAAAA(valore.ComeData());
    if (valore.Testo())
        if (const auto data = shell::LeggiData(valore.ComeTesto()))
            return std::string(8, ' ') + DataGGMMAAAA(*data);
    return TestoValore(valore);
}

// 4 spaces and the 12 flags.
void FlagSI12(char* valore, std::string_view testo) {
    std::memset(valore, ' ', 4);
    std::memset(valore + 4, '0', 12);
    std::size_t inizio = 0;
    for (std::size_t flag = 0; flag < 12; ++flag) {
        const auto fine = testo.find(SeparatoreSI12, inizio);
        const auto pezzo = testo.substr(inizio, fine == std::string_view::npos ? testo.npos : fine - inizio);
        valore[4 + flag] = pezzo.empty() ? '0' : '1';
        if (fine == std::string_view::npos)
            break;
        inizio = fine + 1;
    }
}

void CampoAN(std::string& area, std::string_view codice, std::string_view testo) {
    if (testo.size() <= Valore16) { // one block
        char valore[Valore16];
        Sinistra(valore, testo);
        Blocco(area, codice, valore);
        return;
    }
    shell::Contatore16 blocchi("blocchi di un campo");
    blocchi.Incrementa();
    char valore[Valore16];
    Sinistra(valore, testo);
    Blocco(area, codice, valore);
    for (std::size_t resto = Valore16; resto < testo.size(); resto += Valore16 - 1) {
        blocchi.Incrementa();
        valore[0] = '+';
        const std::string_view parte = testo.substr(resto, Valore16 - 1);
        std::memset(valore + 1, ' ', Valore16 - 1);
        std::memcpy(valore + 1, parte.data(), parte.size());
        Blocco(area, codice, valore);
    }
}

// The masks: the least number of digits and the thousands points of each type that has one.
struct Mascherina {
    bool ha = false;
    int cifreMinime = 0;
    bool migliaia = false;
};
constexpr Mascherina MascheraDi(Tipo tipo) {
    switch (tipo) {
    case Tipo::NU:
        return {true, 0, false};
    case Tipo::N1:
        return {true, 1, false};
    case Tipo::N3:
        return {true, 3, false};
    case Tipo::N4:
        return {true, 4, false};
    case Tipo::N5:
        return {true, 5, false};
    case Tipo::N10:
        return {true, 10, false};
    case Tipo::PC:
        return {true, 0, true};
    default:
        return {};
    }
}

// The value part of a text for every type but AN and SI.
void ValoreTesto(char* valore, std::string_view testo, Tipo tipo) {
    const Mascherina maschera = MascheraDi(tipo);
    if (maschera.ha) {
        if (const auto numero = shell::ValoreNumerico(testo))
            DestraMaschera(valore, *numero, maschera.cifreMinime, maschera.migliaia);
        else
            Destra(valore, testo);
        return;
    }
    switch (tipo) {
    case Tipo::CF:
    case Tipo::CN:
    case Tipo::PI:
        Sinistra(valore, testo);
        break;
    case Tipo::SI12:
        FlagSI12(valore, testo);
        break;
    case Tipo::DT:
        Destra(valore, ValoreData(Valore(testo)));
        break;
    default: // CB, NP
        Destra(valore, testo);
        break;
    }
}

// The value part of every type but AN and SI.
void ValoreDi(char* valore, const Valore& v, Tipo tipo) {
    if (v.Testo()) {
        ValoreTesto(valore, v.ComeTesto(), tipo);
        return;
    }
    const Mascherina maschera = MascheraDi(tipo);
    if (maschera.ha) {
        DestraMaschera(valore, v, maschera.cifreMinime, maschera.migliaia);
        return;
    }
    switch (tipo) {
    case Tipo::CF:
    case Tipo::CN:
    case Tipo::PI:
        Sinistra(valore, TestoValore(v));
        break;
    case Tipo::SI12:
        FlagSI12(valore, TestoValore(v));
        break;
    case Tipo::DT:
        Destra(valore, ValoreData(v));
        break;
    default: // CB, NP
        Destra(valore, TestoValore(v));
        break;
    }
}

// Calls `scrivi` with the code of a field joined from its parts: on the stack for the usual code of
// 2, 3 and 3 characters ("DB" "001" "005"), in a text of its own for any other.
template <typename Scrivi>
void ConCodice(std::string_view quadro, std::string_view rigo, std::string_view colonna, Scrivi scrivi) {
    if (quadro.size() == 2 && rigo.size() == 3 && colonna.size() == 3) {
        char codice[LunghezzaCodice];
        std::memcpy(codice, quadro.data(), 2);
        std::memcpy(codice + 2, rigo.data(), 3);
        std::memcpy(codice + 5, colonna.data(), 3);
        scrivi(std::string_view(codice, LunghezzaCodice));
        return;
    }
    std::string codice;
    codice.reserve(quadro.size() + rigo.size() + colonna.size());
    codice.append(quadro).append(rigo).append(colonna);
    scrivi(std::string_view(codice));
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
    if (valore.Testo()) {
        AggiungiCampoTesto(area, codice, valore.ComeTesto(), tipo);
        return;
    }
    if (tipo == Tipo::AN) {
        CampoAN(area, codice, TestoValore(valore));
        return;
    }
    if (tipo == Tipo::SI)
        return; // only the text "S\xCC" gives a field
    char v[Valore16];
    ValoreDi(v, valore, tipo);
    Blocco(area, codice, v);
}

void AggiungiCampoNonPosizionale(std::string& area, std::string_view quadro, std::string_view rigo,
                                 std::string_view colonna, const Valore& valore, Tipo tipo) {
    ConCodice(quadro, rigo, colonna,
              [&](std::string_view codice) { AggiungiCampoNonPosizionale(area, codice, valore, tipo); });
}

void AggiungiCampoTesto(std::string& area, std::string_view codice, std::string_view testo, Tipo tipo) {
    if (tipo == Tipo::AN) {
        CampoAN(area, codice, testo);
        return;
    }
    char v[Valore16];
    if (tipo == Tipo::SI) {
        if (testo == "S\xCC") {
            Destra(v, "1");
            Blocco(area, codice, v);
        }
        return;
    }
    ValoreTesto(v, testo, tipo);
    Blocco(area, codice, v);
}

void AggiungiCampoTesto(std::string& area, std::string_view quadro, std::string_view rigo, std::string_view colonna,
                        std::string_view testo, Tipo tipo) {
    ConCodice(quadro, rigo, colonna, [&](std::string_view codice) { AggiungiCampoTesto(area, codice, testo, tipo); });
}

namespace {

// A whole number or a number, written as Valore(numero) gives it: masked for the mask types, as its
// text for NP and CB, through a Valore for the others.
template <typename Numero> void AggiungiNumero(std::string& area, std::string_view codice, Numero numero, Tipo tipo) {
    constexpr bool intero = std::is_integral_v<Numero>;
    const Mascherina maschera = MascheraDi(tipo);
    char v[Valore16];
    if (maschera.ha) {
        if constexpr (intero)
            DestraMascheraIntero(v, numero, maschera.cifreMinime, maschera.migliaia);
        else
            DestraMaschera(v, numero, maschera.cifreMinime, maschera.migliaia);
    } else if (tipo == Tipo::NP || tipo == Tipo::CB) {
        if constexpr (intero) {
            // The decimal digits as TestoValore writes them, from the right: the last 16 characters.
            std::memset(v, ' ', Valore16);
            auto assoluto = numero < 0 ? 0 - static_cast<std::uint64_t>(numero) : static_cast<std::uint64_t>(numero);
            std::size_t p = Valore16;
            do {
                v[--p] = static_cast<char>('0' + assoluto % 10);
                assoluto /= 10;
            } while (assoluto != 0 && p > 0);
            if (numero < 0 && p > 0)
                v[--p] = '-';
        } else {
            char testo[LunghezzaMassimaTestoNumero];
            Destra(v, std::string_view(testo, ScriviTestoNumero(numero, testo)));
        }
    } else {
        if constexpr (intero)
            AggiungiCampoNonPosizionale(area, codice, Valore(static_cast<long long>(numero)), tipo);
        else
            AggiungiCampoNonPosizionale(area, codice, Valore(numero), tipo);
        return;
    }
    Blocco(area, codice, v);
}

} // namespace

void AggiungiCampoIntero(std::string& area, std::string_view codice, std::int64_t numero, Tipo tipo) {
    AggiungiNumero(area, codice, numero, tipo);
}

void AggiungiCampoNumero(std::string& area, std::string_view codice, double numero, Tipo tipo) {
    AggiungiNumero(area, codice, numero, tipo);
}

void AggiungiCampoIntero(std::string& area, std::string_view quadro, std::string_view rigo, std::string_view colonna,
                         std::int64_t numero, Tipo tipo) {
    ConCodice(quadro, rigo, colonna, [&](std::string_view codice) { AggiungiCampoIntero(area, codice, numero, tipo); });
}

void AggiungiCampoNP(std::string& area, std::string_view quadro, std::string_view rigo, std::string_view colonna,
                     std::int64_t numero) {
    AggiungiCampoIntero(area, quadro, rigo, colonna, numero, Tipo::NP);
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
