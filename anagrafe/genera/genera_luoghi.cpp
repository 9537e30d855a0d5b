// Writes anagrafe/luoghi_tabella.cpp, the registries of place codes compiled into the programs,
// from the CSV files of anagrafe/dati:
//
//   genera_luoghi <folder with comuni_anpr.csv and stati_esteri.csv> <luoghi_tabella.cpp to write>
//
// The same files give the same bytes: nothing of the machine, the time or the paths goes into the
// source. What it found (rows left out, names taken from their transliteration, codes with holes
// between their periods) goes to the standard output.

#include "anagrafe/genera/csv.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using anagrafe::genera::LeggiCsv;
using anagrafe::genera::LeggiFile;
using anagrafe::genera::TabellaCsv;

constexpr std::uint32_t FineInVigore = 99991231;

struct Periodo {
    std::string codice;
    std::uint32_t dal = 0;
    std::uint32_t al = 0;
    std::string nome;
    std::string altroNome;
    std::string provincia;
};

struct Resoconto {
    std::size_t comuniSenzaCodice = 0;
    std::vector<std::string> nomiTraslitterati;
    std::vector<std::string> nomiSeparati;
    std::vector<std::string> buchiColmati;
};

// The registry writes the second-language name of a few bilingual municipalities as their official form,
// "COMUNE DI " + the Italian name + "-OBCINA " + the Slovenian one, and their name as the two joined by a
// hyphen: the names are the two parts.
struct FormaUfficiale {
    std::string_view inizio;
    std::string_view tra;
};
constexpr FormaUfficiale FormeUfficiali[] = {{"COMUNE DI ", "-OBCINA "}};

// A hole of at most this many days between two periods of one code is a slip of the data (E004, GHILARZA,
// has none on 1958-08-14 alone): the earlier period is taken to the day before the later. Every other hole
// is months or years long.
constexpr int BucoColmato = 7;

bool Cifre(std::string_view testo) {
    return std::ranges::all_of(testo, [](char c) { return c >= '0' && c <= '9'; });
}

int Numero(std::string_view cifre) {
    int numero = 0;
    for (char c : cifre) {
        numero = numero * 10 + (c - '0');
    }
    return numero;
}

int GiorniDelMese(int anno, int mese) {
    const bool bisestile = (anno % 4 == 0 && anno % 100 != 0) || anno % 400 == 0;
    const int giorni[] = {31, bisestile ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return giorni[mese - 1];
}

// "1924-11-14" as 19241114; std::runtime_error for anything but a real date.
std::uint32_t LeggiData(std::string_view testo) {
    if (testo.size() != 10 || testo[4] != '-' || testo[7] != '-' || !Cifre(testo.substr(0, 4)) ||
        !Cifre(testo.substr(5, 2)) || !Cifre(testo.substr(8, 2))) {
        throw std::runtime_error("not a date: \"" + std::string(testo) + "\"");
    }
    const int anno = Numero(testo.substr(0, 4));
    const int mese = Numero(testo.substr(5, 2));
    const int giorno = Numero(testo.substr(8, 2));
    if (mese < 1 || mese > 12 || giorno < 1 || giorno > GiorniDelMese(anno, mese)) {
        throw std::runtime_error("not a date: \"" + std::string(testo) + "\"");
    }
    return static_cast<std::uint32_t>(anno * 10000 + mese * 100 + giorno);
}

// The day after a yyyymmdd date.
std::uint32_t GiornoDopo(std::uint32_t aaaammgg) {
    int anno = static_cast<int>(aaaammgg / 10000);
    int mese = static_cast<int>(aaaammgg / 100 % 100);
    int giorno = static_cast<int>(aaaammgg % 100) + 1;
    if (giorno > GiorniDelMese(anno, mese)) {
        giorno = 1;
        ++mese;
    }
    if (mese > 12) {
        mese = 1;
        ++anno;
    }
    return static_cast<std::uint32_t>(anno * 10000 + mese * 100 + giorno);
}

void ControllaCodice(const std::string& codice) {
    if (codice.size() != 4 || codice[0] < 'A' || codice[0] > 'Z' || !Cifre(codice.substr(1))) {
        throw std::runtime_error("not a place code: \"" + codice + "\"");
    }
}

void ControllaProvincia(const std::string& provincia) {
    if (provincia.size() != 2 || !std::ranges::all_of(provincia, [](char c) { return c >= 'A' && c <= 'Z'; })) {
        throw std::runtime_error("not a province: \"" + provincia + "\"");
    }
}

// A municipality name in ISO-8859-1: as written, else its transliteration, else without accents.
std::string NomeLatin1(const std::string& nome, const std::string& traslitterato, const std::string& codice,
                       Resoconto& resoconto) {
    if (const auto latin1 = anagrafe::genera::Latin1Maiuscolo(nome)) {
        return *latin1;
    }
    resoconto.nomiTraslitterati.push_back(codice + " " + nome);
    if (const auto latin1 = anagrafe::genera::Latin1Maiuscolo(traslitterato); latin1 && !latin1->empty()) {
        return *latin1;
    }
    return anagrafe::genera::Latin1MaiuscoloSenzaAccenti(nome);
}

[[noreturn]] void ErroreRiga(const std::string& file, std::size_t riga, const std::exception& e) {
    throw std::runtime_error(file + ", row " + std::to_string(riga) + ": " + e.what());
}

// The Italian and the second-language name of a period whose other name is an official form.
void SeparaFormaUfficiale(Periodo& periodo, Resoconto& resoconto) {
    for (const FormaUfficiale& forma : FormeUfficiali) {
        const std::string& altro = periodo.altroNome;
        const std::size_t tra = altro.find(forma.tra);
        if (!altro.starts_with(forma.inizio) || tra == std::string::npos) {
            continue;
        }
        const std::string italiano = altro.substr(forma.inizio.size(), tra - forma.inizio.size());
        const std::string secondo = altro.substr(tra + forma.tra.size());
        if (periodo.nome != italiano + "-" + secondo) {
            throw std::runtime_error(periodo.codice + ": an official form of other names than \"" + periodo.nome +
                                     "\"");
        }
        resoconto.nomiSeparati.push_back(periodo.codice + " " + italiano + " / " + secondo);
        periodo.nome = italiano;
        periodo.altroNome = secondo;
        return;
    }
}

// The days from one yyyymmdd date to another, the first not counted.
int GiorniTra(std::uint32_t da, std::uint32_t a) {
    int giorni = 0;
    for (std::uint32_t d = da; d < a && giorni <= BucoColmato; d = GiornoDopo(d)) {
        ++giorni;
    }
    return giorni;
}

// The short holes of each code bridged (BucoColmato); the periods sorted by code and start.
void ColmaBuchi(std::vector<Periodo>& periodi, Resoconto& resoconto) {
    for (std::size_t i = 1; i < periodi.size(); ++i) {
        Periodo& prima = periodi[i - 1];
        const Periodo& dopo = periodi[i];
        if (prima.codice != dopo.codice || GiornoDopo(prima.al) >= dopo.dal) {
            continue;
        }
        const int buco = GiorniTra(GiornoDopo(prima.al), dopo.dal);
        if (buco <= BucoColmato) {
            resoconto.buchiColmati.push_back(prima.codice + " " + std::to_string(prima.al) + " " +
                                             std::to_string(dopo.dal));
            while (GiornoDopo(prima.al) < dopo.dal) {
                prima.al = GiornoDopo(prima.al);
            }
        }
    }
}

void LeggiComuni(const std::string& cartella, std::vector<Periodo>& periodi, Resoconto& resoconto) {
    const std::string file = "comuni_anpr.csv";
    const TabellaCsv csv = LeggiCsv(LeggiFile(cartella + "/" + file));
    const std::size_t colCodice = csv.Colonna("CODCATASTALE");
    const std::size_t colDal = csv.Colonna("DATAISTITUZIONE");
    const std::size_t colAl = csv.Colonna("DATACESSAZIONE");
    const std::size_t colNome = csv.Colonna("DENOMINAZIONE_IT");
    const std::size_t colNomeTraslitterato = csv.Colonna("DENOMTRASLITTERATA");
    const std::size_t colAltro = csv.Colonna("ALTRADENOMINAZIONE");
    const std::size_t colAltroTraslitterato = csv.Colonna("ALTRADENOMTRASLITTERATA");
    const std::size_t colProvincia = csv.Colonna("SIGLAPROVINCIA");
    for (std::size_t i = 0; i < csv.righe.size(); ++i) {
        const std::vector<std::string>& riga = csv.righe[i];
        // A few old rows have no code ("ND"): no tax code can carry them, so they are left out.
        if (riga[colCodice] == "ND" || riga[colCodice].empty()) {
            ++resoconto.comuniSenzaCodice;
            continue;
        }
        try {
            Periodo periodo;
            periodo.codice = riga[colCodice];
            ControllaCodice(periodo.codice);
            periodo.dal = LeggiData(riga[colDal]);
            periodo.al = LeggiData(riga[colAl]);
            periodo.nome = NomeLatin1(riga[colNome], riga[colNomeTraslitterato], periodo.codice, resoconto);
            if (!riga[colAltro].empty()) {
                periodo.altroNome = NomeLatin1(riga[colAltro], riga[colAltroTraslitterato], periodo.codice, resoconto);
                SeparaFormaUfficiale(periodo, resoconto);
            }
            periodo.provincia = riga[colProvincia];
            ControllaProvincia(periodo.provincia);
            periodi.push_back(std::move(periodo));
        } catch (const std::exception& e) {
            ErroreRiga(file, i + 1, e);
        }
    }
}

void LeggiStati(const std::string& cartella, std::vector<Periodo>& periodi) {
    const std::string file = "stati_esteri.csv";
    const TabellaCsv csv = LeggiCsv(LeggiFile(cartella + "/" + file));
    const std::size_t colCodice = csv.Colonna("codice");
    const std::size_t colNome = csv.Colonna("denominazione");
    const std::size_t colDal = csv.Colonna("dal");
    const std::size_t colAl = csv.Colonna("al");
    for (std::size_t i = 0; i < csv.righe.size(); ++i) {
        const std::vector<std::string>& riga = csv.righe[i];
        try {
            Periodo periodo;
            periodo.codice = riga[colCodice];
            ControllaCodice(periodo.codice);
            periodo.dal = LeggiData(riga[colDal]);
            periodo.al = riga[colAl].empty() ? FineInVigore : LeggiData(riga[colAl]);
            periodo.nome = anagrafe::genera::Latin1MaiuscoloSenzaAccenti(riga[colNome]);
            periodo.provincia = "EE";
            periodi.push_back(std::move(periodo));
        } catch (const std::exception& e) {
            ErroreRiga(file, i + 1, e);
        }
    }
}

// The bytes as the inside of a C++ string literal, ASCII only: the printable characters as they
// are, every other byte as \xNN (a NUL as \0); after an escape a hexadecimal digit would extend it,
// so the literal is closed and opened again before it.
std::string Letterale(std::string_view byte) {
    std::string letterale;
    bool dopoEscape = false;
    for (char c : byte) {
        const auto u = static_cast<unsigned char>(c);
        const bool cifraEsadecimale = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (dopoEscape && cifraEsadecimale) {
            letterale += "\" \"";
        }
        dopoEscape = false;
        if (c == '"' || c == '\\') {
            letterale += '\\';
            letterale += c;
        } else if (u >= 0x20 && u < 0x7F) {
            letterale += c;
        } else if (u == 0) {
            letterale += "\\0";
            dopoEscape = true;
        } else {
            const char* cifre = "0123456789ABCDEF";
            letterale += "\\x";
            letterale += cifre[u / 16];
            letterale += cifre[u % 16];
            dopoEscape = true;
        }
    }
    return letterale;
}

std::string Sorgente(const std::vector<Periodo>& periodi, std::size_t periodiComuni) {
    std::vector<std::string> codici;
    std::set<std::string> province;
    std::map<std::string, std::uint32_t> posizioneNomi;
    std::vector<std::string> nomi; // in order of first use
    std::uint32_t lunghezzaNomi = 0;
    for (const Periodo& periodo : periodi) {
        if (codici.empty() || codici.back() != periodo.codice) {
            codici.push_back(periodo.codice);
        }
        province.insert(periodo.provincia);
        std::string voce = periodo.nome + '\0' + periodo.altroNome + '\0';
        if (posizioneNomi.emplace(voce, lunghezzaNomi).second) {
            lunghezzaNomi += static_cast<std::uint32_t>(voce.size());
            nomi.push_back(std::move(voce));
        }
    }
    if (codici.size() > 0xFFFF) {
        throw std::runtime_error("more codes than a RigaLuogo can number");
    }

    std::string s;
    s += "// Generated by genera_luoghi (anagrafe/genera/genera_luoghi.cpp) from "
         "anagrafe/dati/comuni_anpr.csv\n"
         "// and anagrafe/dati/stati_esteri.csv: do not edit. After changing those files, run\n"
         "//   sh scripts/aggiorna-anagrafe.sh\n";
    s += "// " + std::to_string(periodi.size()) + " periods (" + std::to_string(periodiComuni) +
         " of municipalities, " + std::to_string(periodi.size() - periodiComuni) + " of foreign states) of " +
         std::to_string(codici.size()) + " codes, " + std::to_string(province.size()) + " provinces, " +
         std::to_string(lunghezzaNomi) + " bytes of names.\n\n";
    s += "#include \"anagrafe/luoghi_tabella.h\"\n\nnamespace anagrafe::tabella {\n\n";

    s += "const char Codici[] =";
    for (std::size_t i = 0; i < codici.size(); ++i) {
        s += i % 16 == 0 ? "\n    \"" : "";
        s += codici[i];
        s += i % 16 == 15 || i + 1 == codici.size() ? "\"" : "";
    }
    s += ";\nconst std::size_t NumeroCodici = " + std::to_string(codici.size()) + ";\n\n";

    s += "const char Province[] =";
    std::size_t numero = 0;
    for (const std::string& provincia : province) {
        s += numero % 32 == 0 ? "\n    \"" : "";
        s += provincia;
        s += numero % 32 == 31 || numero + 1 == province.size() ? "\"" : "";
        ++numero;
    }
    s += ";\nconst std::size_t NumeroProvince = " + std::to_string(province.size()) + ";\n\n";

    s += "const char Nomi[] =";
    for (const std::string& voce : nomi) {
        s += "\n    \"" + Letterale(voce) + "\"";
    }
    s += ";\n\n";

    s += "const RigaLuogo Righe[] = {\n";
    std::size_t indiceCodice = 0;
    for (const Periodo& periodo : periodi) {
        if (codici[indiceCodice] != periodo.codice) {
            ++indiceCodice;
        }
        s += "    {" + std::to_string(indiceCodice) + ", {'" + periodo.provincia[0] + "', '" + periodo.provincia[1] +
             "'}, " + std::to_string(periodo.dal) + ", " + std::to_string(periodo.al) + ", " +
             std::to_string(posizioneNomi.at(periodo.nome + '\0' + periodo.altroNome + '\0')) + "}, // " +
             periodo.codice + "\n";
    }
    s += "};\nconst std::size_t NumeroRighe = " + std::to_string(periodi.size()) + ";\n\n";
    s += "} // namespace anagrafe::tabella\n";
    return s;
}

// The codes with days uncovered between two of their periods.
std::size_t CodiciConBuchi(const std::vector<Periodo>& periodi) {
    std::set<std::string> conBuchi;
    std::uint32_t finePrecedenti = 0;
    for (std::size_t i = 0; i < periodi.size(); ++i) {
        const Periodo& periodo = periodi[i];
        if (i > 0 && periodi[i - 1].codice == periodo.codice) {
            if (periodo.dal > GiornoDopo(finePrecedenti)) {
                conBuchi.insert(periodo.codice);
            }
            finePrecedenti = std::max(finePrecedenti, periodo.al);
        } else {
            finePrecedenti = periodo.al;
        }
    }
    return conBuchi.size();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: genera_luoghi <folder of comuni_anpr.csv and stati_esteri.csv> "
                     "<luoghi_tabella.cpp to write>\n";
        return 2;
    }
    try {
        const std::string cartella = argv[1];
        std::vector<Periodo> periodi;
        Resoconto resoconto;
        LeggiComuni(cartella, periodi, resoconto);
        const std::size_t periodiComuni = periodi.size();
        LeggiStati(cartella, periodi);
        for (const Periodo& periodo : periodi) {
            if (periodo.dal > periodo.al) {
                throw std::runtime_error(periodo.codice + " ends before it starts");
            }
            // The names are stored NUL-terminated.
            if (periodo.nome.find('\0') != std::string::npos || periodo.altroNome.find('\0') != std::string::npos) {
                throw std::runtime_error(periodo.codice + " has a NUL in a name");
            }
        }
        std::ranges::sort(periodi, {}, [](const Periodo& p) {
            return std::tie(p.codice, p.dal, p.al, p.nome, p.altroNome, p.provincia);
        });
        ColmaBuchi(periodi, resoconto);

        const std::string sorgente = Sorgente(periodi, periodiComuni);
        std::ofstream uscita(argv[2], std::ios::binary | std::ios::trunc);
        uscita << sorgente;
        uscita.close();
        if (!uscita) {
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
        }

        std::cout << periodi.size() << " periods written to " << argv[2] << "\n"
                  << resoconto.comuniSenzaCodice << " municipality rows without a code left out\n"
                  << CodiciConBuchi(periodi) << " codes with holes between their periods\n";
        for (const std::string& nome : resoconto.nomiTraslitterati) {
            std::cout << "not in ISO-8859-1, transliterated: " << nome << "\n";
        }
        for (const std::string& nomi : resoconto.nomiSeparati) {
            std::cout << "official form, names taken apart: " << nomi << "\n";
        }
        for (const std::string& buco : resoconto.buchiColmati) {
            std::cout << "hole bridged: " << buco << "\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "genera_luoghi: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
