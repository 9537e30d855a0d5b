// The checker's rules and the converters' malformed exports, case by case, as data: each file of casi/
// takes a supply (written by the real converter from a sample, or kept beside the case), changes it, runs
// the real `fornitura verifica` on it and says which findings must come out, on which line; or takes a
// converter's sample export, changes it and says how the real converter's run on it ends. A new case
// needs no C++: ctest lists each file as a test of its own (casi_tests CASE.caso runs that case alone,
// casi_tests without arguments every case).
//
// A case file, one directive per line ("#" starts a comment; texts in double quotes, \xNN for a byte):
//   fornitura 770|dma|tfr|uniemens|emens   the supply that the converter writes from samples/<command>
//   file NOME                              or: the file NOME beside the case, as it is
//   sostituisci R P "TESTO"                line R (from 1), from position P (from 1): TESTO in place
//   cancella-riga R / duplica-riga R       the line removed / repeated after itself
//   inserisci-riga R "TESTO"               a new line (ended by CR LF) before line R
//   tronca-riga R N                        line R keeps its first N characters
//   fine-riga-lf R                         line R ends with LF instead of CR LF
//   sposta-riga R N                        line R moved to become line N
//   premetti "T"                           T before the first byte of the file (a byte order mark)
//   in-utf-16                              the whole file in UTF-16 little-endian, after its byte order mark
//   sostituisci-testo "DA" "A" [N]         the N-th (1st) occurrence of DA in the file becomes A
//   sostituisci-tutto "DA" "A"             every occurrence of DA becomes A
//   nome "NOME"                            the file's name (default: the name the converter gave it)
//   formato COMANDO                        checked with --formato COMANDO
//   errore R[:C] "PARTE" / avviso R[:C] "PARTE"
//                                          a finding of that severity on line R (0: about the whole file),
//                                          at position C when given, whose message holds PARTE
//   altri-errori                           more errors than those listed are allowed
//   tutti-attesi                           every finding printed, warnings too, is one of those listed
//   solo-attesi                            every finding printed, warnings too, is one of those listed or one
//                                          that the supply unchanged has (at the same place, the same text)
//   esito N                                the exit status (default: 1 when an error is expected, else 0)
// Every error printed must be one of those expected, unless altri-errori.
//
// A case of an archive begins with `archivio`: every `fornitura` or `file` (or `copia "NOME"`: the supply so
// far once more, under NOME) begins a supply of one folder, which the directives after it change and name, and
// the findings after it are of the set (after the files' own, which their own cases test) told in it; "@" in
// their texts stands for the folder. The folder is checked with one thread and with three: the outputs must be
// the same, byte for byte. `tutti-attesi`: every finding of the set is one of those listed.
//
// A case of a converter begins with `esportazione COMANDO FILE`: the sample samples/COMANDO, whose FILE the
// directives change (those above, and these), is converted by the real `fornitura COMANDO`:
//   contenuto "TESTO"                      the whole file becomes TESTO ("{ARCHIVIO}" in it: the archive folder)
//   accoda "TESTO"                         TESTO after the last byte of the file
//   tronca-colonne R N                     line R keeps its first N columns (TAB between them)
//   colonna R C "TESTO" [N]                column C (from 0) of line R becomes TESTO, or TESTO repeated to N bytes
//   ripeti-righe N                         the file's lines over and over, N lines in all
//   esito N                                the exit status (default 0)
//   messaggio "PARTE" / registro "PARTE"   a piece of the standard error / of the standard output (the log)
// Whatever the export holds, the run must end by itself, write nothing outside the archive folder, leave no
// final supply when it fails, and a supply it completes must be whole: every record between a header and a
// trailer of its own type's length, or an XML document ended by its root that xmllint reads.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/esportazione.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using shell::test::Tabulato;

// The tokens of a directive: words, and texts in double quotes with \xNN, \" and \\.
std::vector<std::string> Parole(const std::string& riga) {
    std::vector<std::string> parole;
    std::size_t i = 0;
    while (i < riga.size()) {
        if (riga[i] == ' ' || riga[i] == '\t') {
            ++i;
            continue;
        }
        if (riga[i] == '#')
            break;
        std::string parola;
        if (riga[i] == '"') {
            for (++i; i < riga.size() && riga[i] != '"'; ++i) {
                if (riga[i] == '\\' && i + 1 < riga.size()) {
                    if (riga[i + 1] == 'x' && i + 3 < riga.size()) {
                        parola += static_cast<char>(std::stoi(riga.substr(i + 2, 2), nullptr, 16));
                        i += 3;
                    } else {
                        parola += riga[++i];
                    }
                } else {
                    parola += riga[i];
                }
            }
            ++i; // the closing quote
        } else {
            while (i < riga.size() && riga[i] != ' ' && riga[i] != '\t')
                parola += riga[i++];
        }
        parole.push_back(parola);
    }
    return parole;
}

struct Atteso {
    std::string gravita;
    long riga = 0;
    std::optional<long> colonna;
    std::string parte;
};

struct Caso {
    std::string nome;
    fs::path percorso;
};

// A case named by its path under the cases' folder, every character but letters and digits written "_"
// ("770/bom.caso" is 770_bom).
Caso CasoDelFile(const fs::path& percorso) {
    fs::path relativo = fs::relative(percorso, VERIFICA_CASI);
    std::string nome = (relativo.empty() || relativo.begin()->string() == ".." ? percorso.filename() : relativo)
                           .replace_extension()
                           .generic_string();
    std::replace_if(
        nome.begin(), nome.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return {nome, percorso};
}

std::vector<Caso> TuttiICasi() {
    std::vector<Caso> casi;
    for (const auto& voce : fs::recursive_directory_iterator(VERIFICA_CASI))
        if (voce.path().extension() == ".caso")
            casi.push_back(CasoDelFile(voce.path()));
    std::sort(casi.begin(), casi.end(), [](const Caso& a, const Caso& b) { return a.nome < b.nome; });
    return casi;
}

// The supply that the converter writes from its sample, made once per command for all the cases.
struct FornituraDiEsempio {
    std::string nome;
    std::string contenuto;
};

const FornituraDiEsempio& DaEsempio(const std::string& comando) {
    static CartellaTemporanea cartella;
    static std::map<std::string, FornituraDiEsempio> fatte;
    if (const auto f = fatte.find(comando); f != fatte.end())
        return f->second;
    const fs::path archivio = cartella / comando;
    const auto esito = EseguiProcesso(FORNITURA_EXE,
                                      {comando, "--dir", shell::test::Argomento(fs::path(CAMPIONI) / comando),
                                       "--archive", shell::test::Argomento(archivio), "--now", "2011-06-14T09:05:07"},
                                      cartella / (comando + ".out"), cartella / (comando + ".err"));
    FornituraDiEsempio fornitura;
    for (const auto& voce : fs::directory_iterator(archivio))
        if (!voce.path().filename().string().starts_with("."))
            fornitura = {voce.path().filename().string(), LeggiFile(voce.path())};
    EXPECT_EQ(esito.stato, 0) << comando << ": " << esito.err;
    return fatte[comando] = fornitura;
}

// The lines of a supply with their ends, to be changed one by one.
struct Righe {
    std::vector<std::string> testo;
    std::vector<std::string> fine;

    explicit Righe(const std::string& contenuto) {
        std::size_t inizio = 0;
        while (inizio < contenuto.size()) {
            const auto lf = contenuto.find('\n', inizio);
            std::string riga = contenuto.substr(inizio, lf == std::string::npos ? std::string::npos : lf - inizio);
            std::string f = lf == std::string::npos ? "" : "\n";
            if (!f.empty() && !riga.empty() && riga.back() == '\r') {
                riga.pop_back();
                f = "\r\n";
            }
            testo.push_back(riga);
            fine.push_back(f);
            if (lf == std::string::npos)
                break;
            inizio = lf + 1;
        }
    }
    std::string Unite() const {
        std::string tutto;
        for (std::size_t i = 0; i < testo.size(); ++i)
            tutto += testo[i] + fine[i];
        return tutto;
    }
    std::size_t Indice(long riga) const {
        if (riga < 1 || static_cast<std::size_t>(riga) > testo.size())
            throw std::runtime_error("riga " + std::to_string(riga) + " fuori dalla fornitura");
        return static_cast<std::size_t>(riga - 1);
    }
};

// A finding printed by `fornitura verifica`: "FILE:RIGA:COLONNA: gravita: messaggio", "FILE:RIGA: ..." or
// "FILE: gravita: ...".
struct Trovato {
    std::string gravita;
    long riga;
    std::optional<long> colonna;
    std::string messaggio;
    bool atteso = false;
};

std::vector<Trovato> Trovati(const std::string& uscita, const std::string& prefisso) {
    static const std::regex forma(R"(^(?::(\d+)(?::(\d+))?)?: (errore|avviso): (.*)$)");
    std::vector<Trovato> trovati;
    std::istringstream righe(uscita);
    for (std::string riga; std::getline(righe, riga);) {
        if (!riga.starts_with(prefisso))
            continue;
        std::smatch m;
        const std::string resto = riga.substr(prefisso.size());
        if (!std::regex_match(resto, m, forma))
            continue;
        trovati.push_back({m[3], m[1].matched ? std::stol(m[1]) : 0,
                           m[2].matched ? std::optional<long>(std::stol(m[2])) : std::nullopt, m[4]});
    }
    return trovati;
}

// Whether an expected finding is the one found.
bool Corrisponde(const Atteso& a, const Trovato& t) {
    return t.gravita == a.gravita && t.riga == a.riga && (!a.colonna || t.colonna == a.colonna) &&
           t.messaggio.find(a.parte) != std::string::npos;
}

// How the warnings printed are held against those expected.
enum class Avvisi {
    Liberi,      // any warning may be printed
    TuttiAttesi, // every finding printed is one of those listed
    SoloAttesi,  // every finding printed is one of those listed or one that the supply unchanged has
};

// A supply of a case of an archive, with the findings of the set told in it.
struct FileDellArchivio {
    std::string nome, contenuto;
    std::vector<Atteso> attesi;
};

// The supplies of a case of an archive written in one folder and checked as a set, with one thread and with
// three; the findings of the set held against those expected of each file.
void VerificaArchivio(const std::vector<FileDellArchivio>& file, std::vector<std::string> argomenti, bool tuttiAttesi,
                      std::optional<int> esitoAtteso) {
    CartellaTemporanea cartella;
    const fs::path archivio = cartella / "archivio";
    fs::create_directories(archivio);
    for (const FileDellArchivio& f : file)
        ScriviFile(archivio / f.nome, f.contenuto);
    argomenti.push_back(shell::test::Argomento(archivio));
    std::vector<std::string> uno = argomenti, tre = argomenti;
    uno.insert(uno.end(), {"--thread", "1"});
    tre.insert(tre.end(), {"--thread", "3"});
    const auto esito = EseguiProcesso(FORNITURA_EXE, uno, cartella / "out1.txt", cartella / "err1.txt");
    const auto conTre = EseguiProcesso(FORNITURA_EXE, tre, cartella / "out3.txt", cartella / "err3.txt");
    EXPECT_EQ(esito.out, conTre.out);
    EXPECT_EQ(esito.stato, conTre.stato);
    // The set's findings: the lines in the form of a finding just before its summary line.
    std::vector<std::string> righe;
    std::istringstream testo(esito.out);
    for (std::string riga; std::getline(testo, riga);)
        righe.push_back(riga);
    const auto fine =
        std::find_if(righe.begin(), righe.end(), [](const std::string& r) { return r.starts_with("Insieme di "); });
    ASSERT_NE(fine, righe.end()) << esito.out << esito.err;
    static const std::regex rilievo(R"(^[^ ].*?(:\d+)?: (errore|avviso): .*$)");
    auto inizio = fine;
    while (inizio != righe.begin() && std::regex_match(*(inizio - 1), rilievo))
        --inizio;
    std::string insieme;
    const std::string cartellaScritta = shell::test::Argomento(archivio);
    for (auto r = inizio; r != fine; ++r) {
        for (std::size_t da = r->find(cartellaScritta, 1); da != std::string::npos; da = r->find(cartellaScritta, da))
            r->replace(da, cartellaScritta.size() + 1, "@/");
        insieme += *r + "\n";
    }
    std::size_t contati = 0, tutti = static_cast<std::size_t>(fine - inizio);
    bool conErrori = false;
    for (const FileDellArchivio& f : file) {
        std::vector<Trovato> trovati = Trovati(insieme, shell::test::Argomento(archivio / f.nome));
        for (const Atteso& a : f.attesi) {
            conErrori = conErrori || a.gravita == "errore";
            const auto t =
                std::find_if(trovati.begin(), trovati.end(), [&](const Trovato& t) { return Corrisponde(a, t); });
            EXPECT_NE(t, trovati.end()) << "manca in " << f.nome << ": " << a.gravita << " " << a.riga << " \""
                                        << a.parte << "\"\ninsieme:\n"
                                        << insieme;
            if (t != trovati.end())
                t->atteso = true;
        }
        for (const Trovato& t : trovati) {
            contati += t.atteso ? 1 : 0;
            EXPECT_TRUE(t.atteso || (t.gravita == "avviso" && !tuttiAttesi))
                << f.nome << ": " << t.gravita << " inatteso: riga " << t.riga << ": " << t.messaggio;
        }
    }
    if (tuttiAttesi) {
        EXPECT_EQ(contati, tutti) << insieme;
    }
    EXPECT_EQ(esito.stato, esitoAtteso.value_or(conErrori ? 1 : 0)) << esito.out << esito.err;
}

// The export of a converter's case: `fornitura COMANDO` run on samples/COMANDO, with FILE changed.
struct Esportazione {
    std::string comando, file;
};

// The columns of a line of an export (TAB between them).
std::vector<std::string> Colonne(const std::string& riga) {
    std::vector<std::string> colonne;
    std::size_t inizio = 0;
    while (true) {
        const auto tab = riga.find('\t', inizio);
        colonne.push_back(riga.substr(inizio, tab == std::string::npos ? std::string::npos : tab - inizio));
        if (tab == std::string::npos)
            return colonne;
        inizio = tab + 1;
    }
}

// What a case file says, directive by directive: the supply being made and what its check must give.
struct Lettura {
    fs::path percorso; // the case file
    std::string contenuto, nome;
    std::vector<std::string> argomenti = {"verifica"};
    std::vector<Atteso> attesi;
    bool altriErrori = false;
    Avvisi avvisi = Avvisi::Liberi;
    std::string originale; // the supply as its converter wrote it, before the changes
    std::optional<int> esitoAtteso;
    // A case of an archive: the supplies before the one being made, each with the findings of the set told in it.
    std::optional<std::vector<FileDellArchivio>> archivio;
    // A converter's case: the command run on its sample, the file of the sample that the case changes, and
    // the pieces that its standard error and its standard output (the log) must hold.
    std::optional<Esportazione> esportazione;
    std::vector<std::string> messaggi, registro;

    // The supply made so far joins the archive's, and the next one begins.
    void Prossimo() {
        if (archivio && !nome.empty())
            archivio->push_back({nome, contenuto, std::move(attesi)});
        attesi.clear();
    }
};

// A directive's words, where it stands in its file and its arguments read.
struct Direttiva {
    std::vector<std::string> parole;

    const std::string& Testo(std::size_t i) const {
        if (i >= parole.size())
            throw std::runtime_error("'" + parole[0] + "' vuole " + std::to_string(i) + " argomenti");
        return parole[i];
    }
    long Numero(std::size_t i) const { return std::stol(Testo(i)); }
};

// "errore R[:C] PARTE" or "avviso R[:C] PARTE".
Atteso LeggiAtteso(const Direttiva& d) {
    Atteso a{d.Testo(0), 0, std::nullopt, d.Testo(2)};
    const auto duepunti = d.Testo(1).find(':');
    a.riga = std::stol(d.Testo(1).substr(0, duepunti));
    if (duepunti != std::string::npos)
        a.colonna = std::stol(d.Testo(1).substr(duepunti + 1));
    return a;
}

// Changes the lines of the supply.
template <class Cambio> void CambiaRighe(Lettura& l, Cambio cambio) {
    Righe r(l.contenuto);
    cambio(r);
    l.contenuto = r.Unite();
}

using Gestore = void (*)(Lettura&, const Direttiva&);

struct Verbo {
    std::string_view nome;
    Gestore gestore;
};

// The directives, as the list at the top of this file tells them.
const Verbo Verbi[] = {
    {"archivio", [](Lettura& l, const Direttiva&) { l.archivio.emplace(); }},
    {"copia",
     [](Lettura& l, const Direttiva& d) {
         if (!l.archivio || l.nome.empty())
             throw std::runtime_error("copia vale in un archivio, dopo una fornitura");
         l.Prossimo();
         l.nome = d.Testo(1);
     }},
    {"fornitura",
     [](Lettura& l, const Direttiva& d) {
         l.Prossimo();
         const auto& f = DaEsempio(d.Testo(1));
         l.contenuto = l.originale = f.contenuto;
         l.nome = f.nome;
     }},
    {"file",
     [](Lettura& l, const Direttiva& d) {
         l.Prossimo();
         l.contenuto = LeggiFile(l.percorso.parent_path() / d.Testo(1));
         l.nome = d.Testo(1);
     }},
    {"sostituisci",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             auto& t = r.testo[r.Indice(d.Numero(1))];
             const auto posizione = static_cast<std::size_t>(d.Numero(2) - 1);
             if (posizione > t.size()) // a text past the end lengthens the line
                 throw std::runtime_error("posizione oltre la fine della riga");
             t.replace(posizione, d.Testo(3).size(), d.Testo(3));
         });
     }},
    {"cancella-riga",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             const auto i = static_cast<std::ptrdiff_t>(r.Indice(d.Numero(1)));
             r.testo.erase(r.testo.begin() + i);
             r.fine.erase(r.fine.begin() + i);
         });
     }},
    {"duplica-riga",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             const auto i = r.Indice(d.Numero(1));
             r.testo.insert(r.testo.begin() + static_cast<std::ptrdiff_t>(i) + 1, r.testo[i]);
             r.fine.insert(r.fine.begin() + static_cast<std::ptrdiff_t>(i) + 1, "\r\n");
         });
     }},
    {"inserisci-riga",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             const auto i = static_cast<std::ptrdiff_t>(r.Indice(d.Numero(1)));
             r.testo.insert(r.testo.begin() + i, d.Testo(2));
             r.fine.insert(r.fine.begin() + i, "\r\n");
         });
     }},
    {"sposta-riga",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             const auto da = static_cast<std::ptrdiff_t>(r.Indice(d.Numero(1)));
             const auto a = static_cast<std::ptrdiff_t>(r.Indice(d.Numero(2)));
             std::string testo = r.testo[static_cast<std::size_t>(da)];
             r.testo.erase(r.testo.begin() + da);
             r.testo.insert(r.testo.begin() + a, std::move(testo));
         });
     }},
    {"premetti", [](Lettura& l, const Direttiva& d) { l.contenuto.insert(0, d.Testo(1)); }},
    {"in-utf-16",
     [](Lettura& l, const Direttiva&) {
         // The ISO-8859-1 bytes as UTF-16 little-endian, after its byte order mark.
         std::string utf16 = "\xFF\xFE";
         for (const char c : l.contenuto)
             utf16 += std::string{c, '\0'};
         l.contenuto = utf16;
     }},
    {"tronca-riga",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l,
                     [&](Righe& r) { r.testo[r.Indice(d.Numero(1))].resize(static_cast<std::size_t>(d.Numero(2))); });
     }},
    {"fine-riga-lf",
     [](Lettura& l, const Direttiva& d) { CambiaRighe(l, [&](Righe& r) { r.fine[r.Indice(d.Numero(1))] = "\n"; }); }},
    {"sostituisci-testo",
     [](Lettura& l, const Direttiva& d) {
         std::size_t dove = std::string::npos;
         for (long k = 0, volte = d.parole.size() > 3 ? d.Numero(3) : 1; k < volte; ++k)
             dove = l.contenuto.find(d.Testo(1), dove == std::string::npos ? 0 : dove + 1);
         if (dove == std::string::npos)
             throw std::runtime_error("'" + d.Testo(1) + "' non c'\xC3\xA8");
         l.contenuto.replace(dove, d.Testo(1).size(), d.Testo(2));
     }},
    {"sostituisci-tutto",
     [](Lettura& l, const Direttiva& d) {
         const std::string &da = d.Testo(1), &a = d.Testo(2);
         if (da.empty())
             throw std::runtime_error("sostituisci-tutto di un testo vuoto");
         for (std::size_t i = l.contenuto.find(da); i != std::string::npos; i = l.contenuto.find(da, i + a.size()))
             l.contenuto.replace(i, da.size(), a);
     }},
    {"nome", [](Lettura& l, const Direttiva& d) { l.nome = d.Testo(1); }},
    {"formato",
     [](Lettura& l, const Direttiva& d) {
         l.argomenti.insert(l.argomenti.end(), {"--formato", d.Testo(1)});
     }},
    {"errore", [](Lettura& l, const Direttiva& d) { l.attesi.push_back(LeggiAtteso(d)); }},
    {"avviso", [](Lettura& l, const Direttiva& d) { l.attesi.push_back(LeggiAtteso(d)); }},
    {"altri-errori", [](Lettura& l, const Direttiva&) { l.altriErrori = true; }},
    {"tutti-attesi", [](Lettura& l, const Direttiva&) { l.avvisi = Avvisi::TuttiAttesi; }},
    {"solo-attesi", [](Lettura& l, const Direttiva&) { l.avvisi = Avvisi::SoloAttesi; }},
    {"esito", [](Lettura& l, const Direttiva& d) { l.esitoAtteso = static_cast<int>(d.Numero(1)); }},
    {"esportazione",
     [](Lettura& l, const Direttiva& d) {
         if (l.archivio || !l.nome.empty())
             throw std::runtime_error("esportazione vale da sola, al principio del caso");
         l.esportazione = Esportazione{d.Testo(1), d.Testo(2)};
         l.contenuto = LeggiFile(fs::path(CAMPIONI) / d.Testo(1) / d.Testo(2));
         l.nome = d.Testo(2);
     }},
    {"contenuto", [](Lettura& l, const Direttiva& d) { l.contenuto = d.Testo(1); }},
    {"accoda", [](Lettura& l, const Direttiva& d) { l.contenuto += d.Testo(1); }},
    {"tronca-colonne",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             auto& t = r.testo[r.Indice(d.Numero(1))];
             auto colonne = Colonne(t);
             colonne.resize(static_cast<std::size_t>(d.Numero(2)));
             t = Tabulato(colonne);
         });
     }},
    {"colonna",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             auto& t = r.testo[r.Indice(d.Numero(1))];
             auto colonne = Colonne(t);
             std::string valore = d.Testo(3);
             const auto almeno = d.parole.size() > 4 ? static_cast<std::size_t>(d.Numero(4)) : 0;
             while (!d.Testo(3).empty() && valore.size() < almeno)
                 valore += d.Testo(3);
             colonne.at(static_cast<std::size_t>(d.Numero(2))) = valore;
             t = Tabulato(colonne);
         });
     }},
    {"ripeti-righe",
     [](Lettura& l, const Direttiva& d) {
         CambiaRighe(l, [&](Righe& r) {
             if (r.testo.empty())
                 throw std::runtime_error("nessuna riga da ripetere");
             Righe tante("");
             for (std::size_t i = 0; i < static_cast<std::size_t>(d.Numero(1)); ++i) {
                 tante.testo.push_back(r.testo[i % r.testo.size()]);
                 tante.fine.push_back(r.fine[i % r.fine.size()]);
             }
             r = tante;
         });
     }},
    {"messaggio", [](Lettura& l, const Direttiva& d) { l.messaggi.push_back(d.Testo(1)); }},
    {"registro", [](Lettura& l, const Direttiva& d) { l.registro.push_back(d.Testo(1)); }},
};

// Every file under a folder, by relative path, with its contents.
std::map<std::string, std::string> Albero(const fs::path& radice, const fs::path& escluso) {
    std::map<std::string, std::string> file;
    for (auto voce = fs::recursive_directory_iterator(radice); voce != fs::recursive_directory_iterator(); ++voce) {
        if (voce->path() == escluso) {
            voce.disable_recursion_pending();
            continue;
        }
        file[fs::relative(voce->path(), radice).generic_string()] =
            voce->is_regular_file() ? LeggiFile(voce->path()) : std::string("<cartella>");
    }
    return file;
}

// A working file of a run that stopped: the TFR's, or one named with the run's time.
bool Temporaneo(const std::string& nome) {
    return nome == "TFRtemp.txt" || nome.find("-2011-06-14-09-05-07") != std::string::npos;
}

// A fixed-record supply: every line ends with CR LF, the first record is the header, the last the trailer,
// and the records of one type all have the same length.
void ControllaRecord(const std::string& nome, const std::string& testo, char testata, char coda) {
    const Righe righe(testo);
    ASSERT_GE(righe.testo.size(), 2u) << nome;
    std::map<char, std::size_t> lunghezze;
    for (std::size_t i = 0; i < righe.testo.size(); ++i) {
        const auto& riga = righe.testo[i];
        ASSERT_FALSE(riga.empty()) << nome << " record " << i + 1;
        EXPECT_EQ(righe.fine[i], "\r\n") << nome << " record " << i + 1;
        EXPECT_EQ(riga.find('\r'), std::string::npos) << nome << " record " << i + 1;
        const auto [voce, nuova] = lunghezze.emplace(riga.front(), riga.size());
        EXPECT_EQ(voce->second, riga.size()) << nome << " record " << i + 1 << " of type " << riga.front();
    }
    EXPECT_EQ(righe.testo.front().front(), testata) << nome;
    EXPECT_EQ(righe.testo.back().front(), coda) << nome;
}

// What a supply that a converter completes is: an XML document ended by its root's closing tag, or fixed
// records between a header and a trailer.
struct FormaDellaFornitura {
    std::string_view comando;
    std::string_view chiusura; // of the XML document
    char testata, coda;        // the types of the first and last record
};

// clang-format off
constexpr FormaDellaFornitura Forme[] = {
    {"770",      "",                                  'A', 'Z'},
    {"dma",      "",                                  'A', 'Z'},
    {"tfr",      "",                                  '1', '9'},
    {"uniemens", "</DenunceMensili>\r\n",             0,   0},
    {"emens",    "</DenunceRetributiveMensili>\r\n",  0,   0},
};
// clang-format on

// A converter's case: whatever the export holds, the run ends by itself with the status and messages
// expected, writes nothing outside the archive folder, leaves no final supply when it fails, and a supply
// it completes is whole (every record, or an XML document that a real parser reads).
void VerificaConversione(const Lettura& l) {
    const Esportazione& e = *l.esportazione;
    const auto forma = std::find_if(std::begin(Forme), std::end(Forme),
                                    [&](const FormaDellaFornitura& f) { return f.comando == e.comando; });
    ASSERT_NE(forma, std::end(Forme)) << "nessun convertitore '" << e.comando << "'";
    CartellaTemporanea tmp;
    // Everything the run may touch sits two levels down, so that a name climbing out with ".." would still
    // land inside the watched tree.
    const fs::path base = tmp / "a" / "b";
    const fs::path prog = base / "prog";
    const fs::path archivio = base / "ARC";
    fs::create_directories(prog);
    for (const auto& voce : fs::directory_iterator(fs::path(CAMPIONI) / e.comando))
        fs::copy_file(voce.path(), prog / voce.path().filename());
    // "{ARCHIVIO}" in the export stands for the archive folder's path.
    std::string contenuto = l.contenuto;
    const std::string segno = "{ARCHIVIO}";
    for (auto i = contenuto.find(segno); i != std::string::npos; i = contenuto.find(segno))
        contenuto.replace(i, segno.size(), shell::test::Argomento(archivio));
    ScriviFile(prog / e.file, contenuto);

    fs::create_directory(tmp / "flussi");
    const auto prima = Albero(tmp.Percorso(), tmp / "flussi");
    const auto esito = EseguiProcesso(FORNITURA_EXE,
                                      {e.comando, "--dir", shell::test::Argomento(prog), "--archive",
                                       shell::test::Argomento(archivio), "--now", "2011-06-14T09:05:07"},
                                      tmp / "flussi" / "out.txt", tmp / "flussi" / "err.txt");

    ASSERT_NE(esito.stato, -1) << "the run did not end by itself\n" << esito.err;
    const int stato = l.esitoAtteso.value_or(0);
    EXPECT_EQ(esito.stato, stato) << esito.err.substr(0, 2000);
    for (const auto& [pezzi, flusso, quale] : {std::tuple(&l.messaggi, &esito.err, "standard error"),
                                               std::tuple(&l.registro, &esito.out, "standard output")})
        for (const std::string& pezzo : *pezzi)
            EXPECT_NE(flusso->find(pezzo), std::string::npos)
                << "expected on " << quale << ": " << pezzo << "\nstdout:\n"
                << esito.out.substr(0, 2000) << "\nstderr:\n"
                << esito.err.substr(0, 2000);

    auto dopo = Albero(tmp.Percorso(), tmp / "flussi");
    std::vector<std::pair<std::string, std::string>> finali;
    const std::string radiceArchivio = fs::relative(archivio, tmp.Percorso()).generic_string();
    for (auto voce = dopo.begin(); voce != dopo.end();) {
        if (voce->first == radiceArchivio || voce->first.starts_with(radiceArchivio + "/")) {
            const std::string nome = voce->first.substr(std::min(voce->first.size(), radiceArchivio.size() + 1));
            if (!nome.empty() && !shell::test::Nascosto(nome)) { // the converter's lock file is hidden
                EXPECT_EQ(nome.find('/'), std::string::npos) << "a subfolder in the archive: " << nome;
                if (!Temporaneo(nome))
                    finali.emplace_back(nome, voce->second);
            }
            voce = dopo.erase(voce);
        } else {
            ++voce;
        }
    }
    EXPECT_EQ(dopo, prima) << "something outside the archive folder was written or changed";

    if (stato != 0) {
        for (const auto& [nome, testo] : finali)
            ADD_FAILURE() << "a final supply after a failed run: " << nome;
        return;
    }
    ASSERT_EQ(finali.size(), 1u) << "one final supply expected";
    const auto& [nome, testo] = finali.front();
    if (forma->chiusura.empty()) {
        ControllaRecord(nome, testo, forma->testata, forma->coda);
        return;
    }
    EXPECT_TRUE(testo.ends_with(forma->chiusura)) << nome;
    if (std::string_view(XMLLINT).empty())
        GTEST_SKIP() << "xmllint not found";
    const auto controllo = EseguiProcesso(XMLLINT, {"--huge", "--noout", shell::test::Argomento(archivio / nome)},
                                          tmp / "flussi" / "xout.txt", tmp / "flussi" / "xerr.txt");
    EXPECT_EQ(controllo.stato, 0) << nome << "\n" << controllo.err.substr(0, 2000);
}

// The supply of a case (not of an archive) checked alone, its findings held against those expected.
void VerificaFornitura(const Lettura& l, const std::string& nomeDelCaso) {
    CartellaTemporanea cartella;
    const fs::path fornitura = cartella / l.nome;
    ScriviFile(fornitura, l.contenuto);
    std::vector<std::string> argomenti = l.argomenti;
    argomenti.push_back(shell::test::Argomento(fornitura));
    // FORNITURA_CASI_COPIE=DIR keeps each case's supply in DIR/<case>/, with the options it is checked with,
    // so that the outputs of two versions of the programs can be held against each other.
    if (const char* copie = std::getenv("FORNITURA_CASI_COPIE")) {
        const fs::path qui = fs::path(copie) / nomeDelCaso;
        fs::create_directories(qui);
        ScriviFile(qui / l.nome, l.contenuto);
        std::string opzioni;
        for (std::size_t i = 1; i + 1 < argomenti.size(); ++i)
            opzioni += argomenti[i] + "\n";
        ScriviFile(qui / ".opzioni", opzioni);
    }
    const auto esito = EseguiProcesso(FORNITURA_EXE, argomenti, cartella / "out.txt", cartella / "err.txt");
    std::vector<Trovato> trovati = Trovati(esito.out, shell::test::Argomento(fornitura));
    if (l.avvisi == Avvisi::SoloAttesi) {
        // What the supply unchanged says is no finding of the case.
        ASSERT_FALSE(l.originale.empty()) << "solo-attesi vale per una fornitura di esempio";
        ScriviFile(fornitura, l.originale);
        const auto prima = EseguiProcesso(FORNITURA_EXE, argomenti, cartella / "out0.txt", cartella / "err0.txt");
        for (const Trovato& p : Trovati(prima.out, shell::test::Argomento(fornitura)))
            for (Trovato& t : trovati)
                if (t.gravita == p.gravita && t.riga == p.riga && t.colonna == p.colonna && t.messaggio == p.messaggio)
                    t.atteso = true;
    }
    for (const Atteso& a : l.attesi) {
        const auto t =
            std::find_if(trovati.begin(), trovati.end(), [&](const Trovato& t) { return Corrisponde(a, t); });
        EXPECT_NE(t, trovati.end()) << "manca: " << a.gravita << " " << a.riga
                                    << (a.colonna ? ":" + std::to_string(*a.colonna) : "") << " \"" << a.parte
                                    << "\"\nuscita:\n"
                                    << esito.out;
        if (t != trovati.end())
            t->atteso = true;
    }
    for (const Trovato& t : trovati) {
        const bool contato = t.gravita == "errore" ? !l.altriErrori : l.avvisi != Avvisi::Liberi;
        EXPECT_TRUE(t.atteso || !contato)
            << t.gravita << " inatteso: riga " << t.riga << ": " << t.messaggio << "\nuscita:\n"
            << esito.out;
    }
    const bool conErrori =
        std::any_of(l.attesi.begin(), l.attesi.end(), [](const Atteso& a) { return a.gravita == "errore"; });
    EXPECT_EQ(esito.stato, l.esitoAtteso.value_or(conErrori ? 1 : 0)) << esito.out << esito.err;
}

class CasoDiVerifica : public testing::Test {
public:
    explicit CasoDiVerifica(Caso caso) : m_caso(std::move(caso)) {}

    void TestBody() override {
        std::ifstream file(m_caso.percorso);
        ASSERT_TRUE(file) << m_caso.percorso.generic_string() << ": il caso non si legge";
        Lettura l;
        l.percorso = m_caso.percorso;
        std::string riga;
        for (int numero = 1; std::getline(file, riga); ++numero) {
            const Direttiva d{Parole(riga)};
            if (d.parole.empty())
                continue;
            const auto dove = m_caso.percorso.filename().string() + ":" + std::to_string(numero);
            const auto verbo =
                std::find_if(std::begin(Verbi), std::end(Verbi), [&](const Verbo& v) { return v.nome == d.parole[0]; });
            ASSERT_NE(verbo, std::end(Verbi)) << dove << ": direttiva sconosciuta '" << d.parole[0] << "'";
            try {
                verbo->gestore(l, d);
            } catch (const std::exception& e) {
                FAIL() << dove << ": " << e.what();
            }
        }
        ASSERT_FALSE(l.nome.empty()) << "il caso non dice quale fornitura";
        if (l.esportazione) {
            VerificaConversione(l);
            return;
        }
        if (l.archivio) {
            l.Prossimo();
            VerificaArchivio(*l.archivio, l.argomenti, l.avvisi == Avvisi::TuttiAttesi, l.esitoAtteso);
            return;
        }
        VerificaFornitura(l, m_caso.nome);
    }

private:
    Caso m_caso;
};

} // namespace

// Every case, or only the one whose file is named (as ctest runs each case, a test of its own).
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 2) {
        std::cerr << "uso: casi_tests [CASO.caso]\n";
        return 2;
    }
    for (const Caso& caso : argc == 2 ? std::vector<Caso>{CasoDelFile(argv[1])} : TuttiICasi())
        testing::RegisterTest("Casi", caso.nome.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                              [caso]() -> testing::Test* { return new CasoDiVerifica(caso); });
    return RUN_ALL_TESTS();
}
