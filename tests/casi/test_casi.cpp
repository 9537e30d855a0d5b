// The checker's rules, case by case, as data: each file of casi/ takes a supply (written by the real
// converter from a sample, or kept beside the case), changes it, runs the real `fornitura verifica` on it
// and says which findings must come out, on which line. A new case needs no C++.
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

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

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

// The supplies of a case of an archive written in one folder and checked as a set, with one thread and with
// three; the findings of the set held against those expected of each file.
template <class File>
void VerificaArchivio(const std::vector<File>& file, std::vector<std::string> argomenti, bool tuttiAttesi,
                      std::optional<int> esitoAtteso) {
    CartellaTemporanea cartella;
    const fs::path archivio = cartella / "archivio";
    fs::create_directories(archivio);
    for (const File& f : file)
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
    for (const File& f : file) {
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

class CasoDiVerifica : public testing::Test {
public:
    explicit CasoDiVerifica(Caso caso) : m_caso(std::move(caso)) {}
    void TestBody() override;

private:
    Caso m_caso;
};

void CasoDiVerifica::TestBody() {
    std::ifstream file(m_caso.percorso);
    ASSERT_TRUE(file) << m_caso.percorso.generic_string() << ": il caso non si legge";
    std::string contenuto, nome;
    std::vector<std::string> argomenti = {"verifica"};
    std::vector<Atteso> attesi;
    bool altriErrori = false;
    enum class Avvisi { Liberi, TuttiAttesi, SoloAttesi } avvisi = Avvisi::Liberi;
    std::string originale; // the supply as its converter wrote it, before the changes
    std::optional<int> esitoAtteso;
    // A case of an archive: the supplies before the one being made, each with the findings of the set told in it.
    struct FileDellArchivio {
        std::string nome, contenuto;
        std::vector<Atteso> attesi;
    };
    std::optional<std::vector<FileDellArchivio>> archivio;
    const auto prossimo = [&] {
        if (archivio && !nome.empty())
            archivio->push_back({nome, contenuto, std::move(attesi)});
        attesi.clear();
    };
    std::string riga;
    int numero = 0;
    while (std::getline(file, riga)) {
        ++numero;
        const auto p = Parole(riga);
        if (p.empty())
            continue;
        const auto dove = m_caso.percorso.filename().string() + ":" + std::to_string(numero);
        const auto n = [&](std::size_t i) { return std::stol(p.at(i)); };
        try {
            if (p[0] == "archivio") {
                archivio.emplace();
            } else if (p[0] == "copia") {
                ASSERT_TRUE(archivio && !nome.empty()) << dove << ": copia vale in un archivio, dopo una fornitura";
                prossimo();
                nome = p.at(1);
            } else if (p[0] == "fornitura") {
                prossimo();
                const auto& f = DaEsempio(p.at(1));
                contenuto = originale = f.contenuto;
                nome = f.nome;
            } else if (p[0] == "file") {
                prossimo();
                contenuto = LeggiFile(m_caso.percorso.parent_path() / p.at(1));
                nome = p.at(1);
            } else if (p[0] == "sostituisci") {
                Righe r(contenuto);
                auto& t = r.testo[r.Indice(n(1))];
                const auto posizione = static_cast<std::size_t>(n(2) - 1);
                ASSERT_LE(posizione, t.size()) << dove; // a text past the end lengthens the line
                t.replace(posizione, p[3].size(), p[3]);
                contenuto = r.Unite();
            } else if (p[0] == "cancella-riga" || p[0] == "duplica-riga" || p[0] == "inserisci-riga") {
                Righe r(contenuto);
                const auto i = r.Indice(n(1));
                const auto dopo = static_cast<std::ptrdiff_t>(i) + (p[0] == "duplica-riga" ? 1 : 0);
                if (p[0] == "cancella-riga") {
                    r.testo.erase(r.testo.begin() + static_cast<std::ptrdiff_t>(i));
                    r.fine.erase(r.fine.begin() + static_cast<std::ptrdiff_t>(i));
                } else {
                    r.testo.insert(r.testo.begin() + dopo, p[0] == "duplica-riga" ? r.testo[i] : p.at(2));
                    r.fine.insert(r.fine.begin() + dopo, "\r\n");
                }
                contenuto = r.Unite();
            } else if (p[0] == "sposta-riga") {
                Righe r(contenuto);
                const auto da = static_cast<std::ptrdiff_t>(r.Indice(n(1)));
                const auto a = static_cast<std::ptrdiff_t>(r.Indice(n(2)));
                std::string testo = r.testo[static_cast<std::size_t>(da)];
                r.testo.erase(r.testo.begin() + da);
                r.testo.insert(r.testo.begin() + a, std::move(testo));
                contenuto = r.Unite();
            } else if (p[0] == "premetti") {
                contenuto.insert(0, p.at(1));
            } else if (p[0] == "in-utf-16") {
                // The ISO-8859-1 bytes as UTF-16 little-endian, after its byte order mark.
                std::string utf16 = "\xFF\xFE";
                for (const char c : contenuto)
                    utf16 += std::string{c, '\0'};
                contenuto = utf16;
            } else if (p[0] == "tronca-riga") {
                Righe r(contenuto);
                r.testo[r.Indice(n(1))].resize(static_cast<std::size_t>(n(2)));
                contenuto = r.Unite();
            } else if (p[0] == "fine-riga-lf") {
                Righe r(contenuto);
                r.fine[r.Indice(n(1))] = "\n";
                contenuto = r.Unite();
            } else if (p[0] == "sostituisci-testo") {
                std::size_t dove_ = std::string::npos;
                for (long k = 0, volte = p.size() > 3 ? n(3) : 1; k < volte; ++k)
                    dove_ = contenuto.find(p.at(1), dove_ == std::string::npos ? 0 : dove_ + 1);
                ASSERT_NE(dove_, std::string::npos) << dove << ": '" << p[1] << "' non c'\xC3\xA8";
                contenuto.replace(dove_, p[1].size(), p.at(2));
            } else if (p[0] == "sostituisci-tutto") {
                ASSERT_FALSE(p.at(1).empty()) << dove;
                for (std::size_t da = contenuto.find(p[1]); da != std::string::npos;
                     da = contenuto.find(p[1], da + p.at(2).size()))
                    contenuto.replace(da, p[1].size(), p[2]);
            } else if (p[0] == "nome") {
                nome = p.at(1);
            } else if (p[0] == "formato") {
                argomenti.insert(argomenti.end(), {"--formato", p.at(1)});
            } else if (p[0] == "errore" || p[0] == "avviso") {
                Atteso a{p[0], 0, std::nullopt, p.at(2)};
                const auto duepunti = p.at(1).find(':');
                a.riga = std::stol(p[1].substr(0, duepunti));
                if (duepunti != std::string::npos)
                    a.colonna = std::stol(p[1].substr(duepunti + 1));
                attesi.push_back(a);
            } else if (p[0] == "altri-errori") {
                altriErrori = true;
            } else if (p[0] == "tutti-attesi") {
                avvisi = Avvisi::TuttiAttesi;
            } else if (p[0] == "solo-attesi") {
                avvisi = Avvisi::SoloAttesi;
            } else if (p[0] == "esito") {
                esitoAtteso = static_cast<int>(n(1));
            } else {
                FAIL() << dove << ": direttiva sconosciuta '" << p[0] << "'";
            }
        } catch (const std::exception& e) {
            FAIL() << dove << ": " << e.what();
        }
    }
    ASSERT_FALSE(nome.empty()) << "il caso non dice quale fornitura";
    if (archivio) {
        prossimo();
        VerificaArchivio(*archivio, argomenti, avvisi == Avvisi::TuttiAttesi, esitoAtteso);
        return;
    }

    CartellaTemporanea cartella;
    const fs::path fornitura = cartella / nome;
    ScriviFile(fornitura, contenuto);
    argomenti.push_back(shell::test::Argomento(fornitura));
    // FORNITURA_CASI_COPIE=DIR keeps each case's supply in DIR/<case>/, with the options it is checked with,
    // so that the outputs of two versions of the programs can be held against each other.
    if (const char* copie = std::getenv("FORNITURA_CASI_COPIE")) {
        const fs::path qui = fs::path(copie) / m_caso.nome;
        fs::create_directories(qui);
        ScriviFile(qui / nome, contenuto);
        std::string opzioni;
        for (std::size_t i = 1; i + 1 < argomenti.size(); ++i)
            opzioni += argomenti[i] + "\n";
        ScriviFile(qui / ".opzioni", opzioni);
    }
    const auto esito = EseguiProcesso(FORNITURA_EXE, argomenti, cartella / "out.txt", cartella / "err.txt");
    std::vector<Trovato> trovati = Trovati(esito.out, shell::test::Argomento(fornitura));
    if (avvisi == Avvisi::SoloAttesi) {
        // What the supply unchanged says is no finding of the case.
        ASSERT_FALSE(originale.empty()) << "solo-attesi vale per una fornitura di esempio";
        ScriviFile(fornitura, originale);
        const auto prima = EseguiProcesso(FORNITURA_EXE, argomenti, cartella / "out0.txt", cartella / "err0.txt");
        for (const Trovato& p : Trovati(prima.out, shell::test::Argomento(fornitura)))
            for (Trovato& t : trovati)
                if (t.gravita == p.gravita && t.riga == p.riga && t.colonna == p.colonna && t.messaggio == p.messaggio)
                    t.atteso = true;
    }
    for (const Atteso& a : attesi) {
        const auto t = std::find_if(trovati.begin(), trovati.end(), [&](const Trovato& t) {
            return t.gravita == a.gravita && t.riga == a.riga && (!a.colonna || t.colonna == a.colonna) &&
                   t.messaggio.find(a.parte) != std::string::npos;
        });
        EXPECT_NE(t, trovati.end()) << "manca: " << a.gravita << " " << a.riga
                                    << (a.colonna ? ":" + std::to_string(*a.colonna) : "") << " \"" << a.parte
                                    << "\"\nuscita:\n"
                                    << esito.out;
        if (t != trovati.end())
            t->atteso = true;
    }
    for (const Trovato& t : trovati) {
        const bool contato = t.gravita == "errore" ? !altriErrori : avvisi != Avvisi::Liberi;
        EXPECT_TRUE(t.atteso || !contato)
            << t.gravita << " inatteso: riga " << t.riga << ": " << t.messaggio << "\nuscita:\n"
            << esito.out;
    }
    const bool conErrori =
        std::any_of(attesi.begin(), attesi.end(), [](const Atteso& a) { return a.gravita == "errore"; });
    EXPECT_EQ(esito.stato, esitoAtteso.value_or(conErrori ? 1 : 0)) << esito.out << esito.err;
}

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
