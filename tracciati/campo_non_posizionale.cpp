#include "tracciati/campo_non_posizionale.h"

#include "shell/contatore.h"
#include "shell/conversioni.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace tracciati {

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

// The masks: the least number of digits and the thousands points of each type that has one.
struct Mascherina {
    int cifreMinime = 0;
    bool migliaia = false;
};
constexpr Mascherina MascheraDi(Tipo tipo) {
    switch (tipo) {
    case Tipo::N1:
        return {1, false};
    case Tipo::N3:
        return {3, false};
    case Tipo::N4:
        return {4, false};
    case Tipo::N5:
        return {5, false};
    case Tipo::N10:
        return {10, false};
    case Tipo::PC:
        return {0, true};
    default: // NU
        return {0, false};
    }
}

// The mask of any value: a whole number, a number, a text that reads as a number; else its text.
void DestraMaschera(char* valore, const Valore& v, Mascherina maschera, char* appoggio) {
    switch (v.Di()) {
    case Valore::Genere::Intero:
        DestraMascheraIntero(valore, v.ComeIntero(), maschera.cifreMinime, maschera.migliaia);
        return;
    case Valore::Genere::Numero:
        DestraMaschera(valore, v.ComeNumero(), maschera.cifreMinime, maschera.migliaia);
        return;
    case Valore::Genere::Testo:
        if (const auto numero = shell::ValoreNumerico(v.ComeTesto())) {
            DestraMaschera(valore, *numero, maschera.cifreMinime, maschera.migliaia);
            return;
        }
        break;
    default:
        break;
    }
    Destra(valore, TestoValore(v, appoggio));
}

// 8 spaces and the date of a date, or of a text that reads as one; else the text unchanged.
void DestraData(char* valore, const Valore& v, char* appoggio) {
    std::optional<shell::Data> data;
    if (v.Data())
        data = v.ComeData();
    else if (v.Testo())
        data = shell::LeggiData(v.ComeTesto());
    if (!data) {
        Destra(valore, TestoValore(v, appoggio));
        return;
    }
    char cifre[40];
    Destra(valore, std::string_view(cifre, ScriviDataGGMMAAAA(*data, cifre)));
    std::memset(valore, ' ', Valore16 - 8);
}

// 4 spaces and the 12 flags: of the pieces of a text, or as they are.
void FlagSI12(char* valore, const Valore& v, char* appoggio) {
    std::memset(valore, ' ', 4);
    std::memset(valore + 4, '0', 12);
    if (v.Di() == Valore::Genere::Flag) {
        for (std::size_t flag = 0; flag < 12; ++flag)
            valore[4 + flag] = (v.ComeIntero() >> flag) & 1 ? '1' : '0';
        return;
    }
    const std::string_view testo = TestoValore(v, appoggio);
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
    char valore[Valore16];
    Sinistra(valore, testo);
    Blocco(area, codice, valore);
    if (testo.size() <= Valore16)
        return;
    shell::Contatore16 blocchi("blocchi di un campo");
    blocchi.Incrementa();
    for (std::size_t resto = Valore16; resto < testo.size(); resto += Valore16 - 1) {
        blocchi.Incrementa();
        valore[0] = Continuazione;
        const std::string_view parte = testo.substr(resto, Valore16 - 1);
        std::memset(valore + 1, ' ', Valore16 - 1);
        std::memcpy(valore + 1, parte.data(), parte.size());
        Blocco(area, codice, valore);
    }
}

} // namespace

void AggiungiCampoNonPosizionale(std::string& area, std::string_view codice, const Valore& v, Tipo tipo) {
    char appoggio[LunghezzaMassimaTesto];
    char valore[Valore16];
    switch (tipo) {
    case Tipo::AN:
        CampoAN(area, codice, TestoValore(v, appoggio));
        return;
    case Tipo::CF:
    case Tipo::CN:
    case Tipo::PI:
        Sinistra(valore, TestoValore(v, appoggio));
        break;
    case Tipo::SI:
        if (!v.Testo() || v.ComeTesto() != "S\xCC")
            return;
        Destra(valore, "1");
        break;
    case Tipo::SI12:
        FlagSI12(valore, v, appoggio);
        break;
    case Tipo::CB:
    case Tipo::NP:
        Destra(valore, TestoValore(v, appoggio));
        break;
    case Tipo::DT:
        DestraData(valore, v, appoggio);
        break;
    default: // NU, N1, N3, N4, N5, N10, PC
        DestraMaschera(valore, v, MascheraDi(tipo), appoggio);
        break;
    }
    Blocco(area, codice, valore);
}

// ---------------------------------------------------------------------------------------------------
// Reading a value part back.

namespace {

bool Spazi(std::string_view testo) { return testo.find_first_not_of(' ') == std::string_view::npos; }

// A right-aligned number read in one pass: the spaces in front, "-", the digits (for PC in groups of
// three joined by "."), and for NP and CB a comma with more digits after it.
struct NumeroAllineato {
    bool buono = false;
    bool vuoto = false; // spaces only
    bool negativo = false;
    std::string_view interi; // the digits before the comma, the points of PC included
    std::string_view decimali;
    std::size_t cifre = 0; // the digits before the comma
};

NumeroAllineato LeggiAllineato(std::string_view valore, bool conDecimali, bool migliaia) {
    NumeroAllineato n;
    std::size_t i = 0;
    while (i < valore.size() && valore[i] == ' ')
        ++i;
    if (i == valore.size()) {
        n.vuoto = true;
        return n;
    }
    n.negativo = valore[i] == '-';
    i += n.negativo;
    const std::size_t inizio = i;
    for (; i < valore.size(); ++i) {
        if (Cifra(valore[i]))
            ++n.cifre;
        else if (!(migliaia && valore[i] == '.'))
            break;
    }
    n.interi = valore.substr(inizio, i - inizio);
    if (conDecimali && i < valore.size() && valore[i] == ',') {
        const std::size_t virgola = ++i;
        while (i < valore.size() && Cifra(valore[i]))
            ++i;
        n.decimali = valore.substr(virgola, i - virgola);
        if (n.decimali.empty())
            return n;
    }
    // PC: a point after every group of three digits counted from the right, and nowhere else.
    if (migliaia && !n.interi.empty() && n.interi.front() == '.')
        return n;
    if (migliaia)
        for (std::size_t k = 0; k < n.interi.size(); ++k)
            if ((n.interi[k] == '.') != ((n.interi.size() - k) % 4 == 0))
                return n;
    n.buono = i == valore.size() && n.cifre > 0;
    return n;
}

// Digits into a whole number (at most 18 of them: no overflow), the points of PC passed over.
std::int64_t Intero(std::string_view cifre, bool negativo) {
    std::int64_t n = 0;
    for (const char c : cifre)
        if (Cifra(c))
            n = n * 10 + (c - '0');
    return negativo ? -n : n;
}

// CB and NP: "-", digits, and a comma with more digits. A whole number in its shortest form has no
// leading zero and is not "-0"; a number with decimals has no leading zero but "0" before the
// comma, no zero at the end of its decimals, and at most 15 significant digits, the most its text
// keeps.
Lettura LeggiNumero(std::string_view valore) {
    const NumeroAllineato numero = LeggiAllineato(valore, true, false);
    if (!numero.buono)
        return Lettura::Errata(Difformita::Formato,
                               "atteso un numero allineato a destra (cifre, la virgola prima dei decimali)");
    const std::string_view interi = numero.interi;
    const std::string_view decimali = numero.decimali;
    const bool zeroIniziale = interi.size() > 1 && interi.front() == '0';
    bool breve = !zeroIniziale;
    Valore letto;
    if (decimali.empty()) {
        const std::int64_t n = Intero(interi, numero.negativo);
        breve = breve && !(numero.negativo && n == 0);
        letto = static_cast<long long>(n);
    } else {
        char testoPunto[24];
        std::memcpy(testoPunto, interi.data(), interi.size());
        testoPunto[interi.size()] = '.';
        std::memcpy(testoPunto + interi.size() + 1, decimali.data(), decimali.size());
        double n = 0;
        std::from_chars(testoPunto, testoPunto + interi.size() + 1 + decimali.size(), n);
        // The digits from the first that is not 0 (the decimals end with one).
        const std::size_t zeri = interi.find_first_not_of('0') == std::string_view::npos
                                     ? interi.size() + decimali.find_first_not_of('0')
                                     : interi.find_first_not_of('0');
        breve = breve && decimali.back() != '0' && interi.size() + decimali.size() - zeri <= 15;
        letto = numero.negativo ? -n : n;
    }
    if (!breve)
        return {letto, Difformita::Forma, "atteso il numero nella sua forma pi\xF9 breve"};
    return letto;
}

// The masks: "-" and at least the mask's digits (groups of three joined by "." for PC); NU and PC
// write 0 as 16 spaces. The encoder writes no zero in front beyond the mask's digits, and no sign
// before a 0.
Lettura LeggiMaschera(std::string_view valore, Tipo tipo) {
    const Mascherina maschera = MascheraDi(tipo);
    const auto minime = static_cast<std::size_t>(maschera.cifreMinime);
    const auto atteso = [&]() -> std::string {
        if (minime > 0)
            return "attese almeno " + std::to_string(minime) + " cifre allineate a destra";
        return maschera.migliaia ? "attese cifre a gruppi di tre separati da punti, allineate a destra, o 16 spazi"
                                 : "attese cifre allineate a destra, o 16 spazi";
    };
    const NumeroAllineato numero = LeggiAllineato(valore, false, maschera.migliaia);
    if (numero.vuoto && minime == 0)
        return Valore(0);
    if (!numero.buono || numero.cifre < minime)
        return Lettura::Errata(Difformita::Formato, atteso());
    const std::int64_t n = Intero(numero.interi, numero.negativo);
    const bool zeroIniziale = numero.interi.front() == '0' && numero.cifre > minime;
    if (zeroIniziale || (numero.negativo && n == 0))
        return {Valore(static_cast<long long>(n)), Difformita::Forma,
                minime == 0 ? "atteso il numero senza zeri in testa (lo zero \xE8 scritto come 16 spazi)"
                            : "atteso il numero senza zeri in testa oltre le " + std::to_string(minime) + " cifre"};
    return Valore(static_cast<long long>(n));
}

// DT: 8 spaces and a real date, ddmmyyyy.
Lettura LeggiData(std::string_view valore) {
    if (Spazi(valore.substr(0, 8)))
        if (const auto data = DataDiCifre(valore.substr(8), OrdineData::GGMMAAAA))
            return {Valore(*data)};
    return Lettura::Errata(Difformita::Formato, "attesa una data ggmmaaaa preceduta da 8 spazi");
}

} // namespace

Lettura LeggiValoreNonPosizionale(std::string_view valore, Tipo tipo) {
    if (valore.size() != Valore16)
        return Lettura::Errata(Difformita::Formato, "attesi 16 caratteri");
    switch (tipo) {
    case Tipo::AN:
    case Tipo::CF:
    case Tipo::CN:
    case Tipo::PI:
        return {Valore(valore)};
    case Tipo::SI:
        if (Spazi(valore.substr(0, 15)) && valore.back() == '1')
            return {Valore("S\xCC")};
        return Lettura::Errata(Difformita::Formato, "atteso 1 preceduto da 15 spazi");
    case Tipo::SI12: {
        std::uint16_t flag = 0;
        bool buono = Spazi(valore.substr(0, 4));
        for (std::size_t i = 0; i < 12 && buono; ++i) {
            buono = valore[4 + i] == '0' || valore[4 + i] == '1';
            flag = static_cast<std::uint16_t>(flag | (valore[4 + i] == '1') << i);
        }
        if (buono)
            return {Valore::Flag(flag)};
        return Lettura::Errata(Difformita::Formato, "attesi 4 spazi e 12 indicatori 0 o 1");
    }
    case Tipo::CB:
    case Tipo::NP:
        return LeggiNumero(valore);
    case Tipo::DT:
        return LeggiData(valore);
    default: // NU, N1, N3, N4, N5, N10, PC
        return LeggiMaschera(valore, tipo);
    }
}

} // namespace tracciati
