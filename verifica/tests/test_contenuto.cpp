// "Stesso contenuto" only for the same content: the supplies the converters make from the samples, changed as a
// hostile trial changed them, and changed in every byte one at a time, compared in memory with the original.
// The same to the authority's reader, they are equal: a fixed-length supply only byte for byte, an XML document
// with its layout aside; anything else is a difference the comparison names, or a file it does not compare.

#include "cli/fornitura.h"
#include "tests/supporto/cartella_temporanea.h"
#include "verifica/confronto.h"
#include "verifica/fornitura_letta.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#ifndef PASSO_BYTE
#define PASSO_BYTE 1
#endif

namespace verifica {

using lettura::ErroreFile;
using lettura::Formato;

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;

// The supply that the converter `comando` makes from samples/<comando>, as bytes.
const std::string& Campione(const std::string& comando) {
    static const std::map<std::string, std::string> campioni = [] {
        std::map<std::string, std::string> fatti;
        const CartellaTemporanea dir;
        for (const char* c : {"770", "dma", "tfr", "uniemens", "emens"}) {
            const fs::path archivio = dir / c;
            std::ostringstream out, err;
            const int stato = cli::EseguiFornitura({c, "--dir", (fs::path(CAMPIONI) / c).string(), "--archive",
                                                    archivio.string(), "--now", "2011-06-14T09:05:07"},
                                                   out, err);
            EXPECT_EQ(stato, 0) << c << ": " << err.str();
            for (const auto& voce : fs::directory_iterator(archivio))
                if (!voce.path().filename().string().starts_with("."))
                    fatti[c] = LeggiFile(voce.path());
        }
        return fatti;
    }();
    return campioni.at(comando);
}

// The supply read from its bytes as the command reads it, with keys and fingerprints only.
FornituraLetta Letta(const std::string& byte) { return LeggiContenuto(byte, "fornitura", {}, false); }

enum class Esito { Uguali, Diverse, NonConfrontabili };

struct Risultato {
    Esito esito;
    std::string testo; // the comparison's text, or why the two cannot be compared
};

Risultato Confronto(const FornituraLetta& prima, const FornituraLetta& dopo) {
    for (const FornituraLetta* f : {&prima, &dopo}) {
        if (!f->formato || *f->formato != *prima.formato)
            return {Esito::NonConfrontabili, f->rilievi.empty() ? std::string() : f->rilievi.front().messaggio};
        if (const auto motivo = NonConfrontabile(*f))
            return {Esito::NonConfrontabili, *motivo};
    }
    const Differenze d = Confronta(prima, dopo);
    std::ostringstream testo;
    ScriviConfronto(prima, dopo, d, "prima", "dopo", testo);
    return {d.Nessuna() ? Esito::Uguali : Esito::Diverse, testo.str()};
}

// ---- The hostile trial's cases

// A text of the supply replaced (its `volta`-th occurrence, from 0).
std::function<std::string(std::string)> Sostituisci(std::string da, std::string a, int volta = 0) {
    return [=](std::string testo) {
        std::size_t dove = testo.find(da);
        for (int i = 0; i < volta && dove != std::string::npos; ++i)
            dove = testo.find(da, dove + 1);
        EXPECT_NE(dove, std::string::npos) << da;
        return dove == std::string::npos ? testo : testo.replace(dove, da.size(), a);
    };
}

// The lines of a fixed-length supply (CR LF), and a change to them.
std::vector<std::string> Righe(const std::string& testo) {
    std::vector<std::string> righe;
    for (std::size_t inizio = 0; inizio < testo.size();) {
        const auto fine = testo.find("\r\n", inizio);
        righe.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine == std::string::npos ? testo.size() : fine + 2;
    }
    return righe;
}
std::function<std::string(std::string)> Righe(std::function<void(std::vector<std::string>&)> cambia) {
    return [=](const std::string& testo) {
        std::vector<std::string> righe = Righe(testo);
        cambia(righe);
        std::string unite;
        for (const std::string& r : righe)
            unite += r + "\r\n";
        return unite;
    };
}
// Line `riga` (from 1) with its character at `posizione` (from 1) another.
std::function<std::string(std::string)> Carattere(std::size_t riga, std::size_t posizione, char c = '9') {
    return Righe([=](std::vector<std::string>& righe) {
        char& dove = righe.at(riga - 1).at(posizione - 1);
        dove = dove == c ? '8' : c;
    });
}

struct Caso {
    const char* nome;
    const char* comando;
    std::function<std::string(std::string)> cambia;
    Esito esito;
    const char* atteso; // in the comparison's text, or in why it does not compare
    // The sample made first into the supply that is changed, where the case needs one.
    std::function<std::string(std::string)> prepara = [](std::string t) { return t; };
};
void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }

using enum Esito;
// clang-format off
const Caso Casi[] = {
    // A document cut short, or spoilt after its last person: not XML, so not compared.
    {"UniemensTagliato",        "uniemens", [](std::string t) { return t.substr(0, t.rfind("</DenunciaIndividuale>") + 22); },
                                NonConfrontabili, "documento XML non ben formato: fine del documento"},
    {"UniemensSporcoInFondo",   "uniemens", Sostituisci("</PosContributiva>", "</PosContributiva"), NonConfrontabili,
                                "documento XML non ben formato"},
    {"EmensTagliato",           "emens",    [](std::string t) { return t.substr(0, t.size() - 40); },
                                NonConfrontabili, "documento XML non ben formato"},
    {"BomInUniemens",           "uniemens", [](std::string t) {
                                    return "\xEF\xBB\xBF" + Sostituisci("encoding='ISO-8859-1'", "encoding='UTF-8'")(t); },
                                NonConfrontabili, "segno BOM dell'UTF-8"},
    // What the grammar does not know is content all the same.
    {"ElementoFuoriPosto",      "uniemens", Sostituisci("</Cognome>", "</Cognome><Imponibile>999</Imponibile>"), Diverse,
                                "      Imponibile: (assente) -> 999\n"},
    {"ElementoIgnoto",          "emens",    Sostituisci("<CFMittente>", "<Ignoto>x</Ignoto><CFMittente>"), Diverse,
                                "  DenunceRetributiveMensili/DatiMittente/Ignoto: (assente) -> x\n"},
    {"TestoTraGliElementi",     "uniemens", Sostituisci("<CFLavoratore>", "abc<CFLavoratore>"), Diverse,
                                "      DenunciaIndividuale: (assente) -> abc\n"},
    // Layout and text in one run: the text is content, in its one form ("&" as "&amp;").
    {"TestoDopoUnCommento",     "uniemens", Sostituisci("<CFLavoratore>", "<!-- c -->abc<CFLavoratore>"), Diverse,
                                "      DenunciaIndividuale: (assente) -> abc\n"},
    {"RiferimentoTraGliElementi","emens",   Sostituisci("<CFMittente>", "&#38;<CFMittente>"), Diverse,
                                "  DenunceRetributiveMensili/DatiMittente: (assente) -> &amp;\n"},
    {"RiferimentiScrittiDiversi","emens",   Sostituisci("&#38;<CFMittente>", "&amp;<CFMittente>"), Uguali, "",
                                Sostituisci("<CFMittente>", "&#38;<CFMittente>")},
    {"ValoreDiSoliSpazi",       "uniemens", Sostituisci("<Nome>\r\n\t</Nome>", "<Nome>\r\n\t\t</Nome>"), Diverse,
                                "      Nome: '\\x0A\\x09' -> '\\x0A\\x09\\x09'\n",
                                Sostituisci("<Nome>MARCO</Nome>", "<Nome>\r\n\t</Nome>")},
    // Letters beyond ISO-8859-1 are what they are: not "?", nor each other, nor the text of their reference.
    {"LettereOltreLatin1",      "uniemens", Sostituisci("<Cognome>&#268;ANON</Cognome>", "<Cognome>&#352;ANON</Cognome>"),
                                Diverse, "      Cognome: &#268;ANON -> &#352;ANON\n",
                                Sostituisci("<Cognome>ZANON</Cognome>", "<Cognome>&#268;ANON</Cognome>")},
    {"LetteraOltreLatin1EPunto","uniemens", Sostituisci("<Cognome>&#268;ANON</Cognome>", "<Cognome>?ANON</Cognome>"),
                                Diverse, "      Cognome: &#268;ANON -> ?ANON\n",
                                Sostituisci("<Cognome>ZANON</Cognome>", "<Cognome>&#268;ANON</Cognome>")},
    {"LetteraORiferimentoScritto","uniemens", Sostituisci("<Cognome>&#268;ANON</Cognome>", "<Cognome>&amp;#268;ANON</Cognome>"),
                                Diverse, "Cognome",
                                Sostituisci("<Cognome>ZANON</Cognome>", "<Cognome>&#268;ANON</Cognome>")},
    {"RiferimentoEsadecimale",  "emens",    Sostituisci("<Cognome>&#x10C;ERRI</Cognome>", "<Cognome>&#268;ERRI</Cognome>"),
                                Uguali, "", Sostituisci("<Cognome>FERRI</Cognome>", "<Cognome>&#x10C;ERRI</Cognome>")},
    // The layout is not content.
    {"RientroConSpazi",         "uniemens", Sostituisci("\r\n\t\t<CFMittente>", "\r\n    <CFMittente>"), Uguali, ""},
    {"CommentoEARiferimenti",   "emens",    Sostituisci("<Cognome>FERRI</Cognome>", "<Cognome><!-- c -->F&#69;R<![CDATA[RI]]></Cognome>"),
                                Uguali, ""},
    {"VirgoletteSemplici",      "uniemens", Sostituisci("<DatiMittente Tipo=\"1\">", "<DatiMittente  Tipo='1' >"), Uguali, ""},
    {"ElementoBreve",           "uniemens", Sostituisci("<Ignoto></Ignoto>", "<Ignoto/>"), Uguali, "",
                                Sostituisci("<CFMittente>", "<Ignoto></Ignoto><CFMittente>")},
    // The copies of the supply's own data in every person's records.
    {"DichiaranteDelRecordG",   "770", Carattere(3, 5),  Diverse, "record G, posizioni 2-17: (come nel record A) -> "},
    {"Colonna1DelRecordG",      "770", Carattere(3, 80), Diverse, "record G, posizioni 74-89: (come nel record B) -> "},
    {"AmministrazioneDelC",     "dma", Carattere(3, 2),  Diverse, "record C, posizioni 2-12: (come nel record B) -> "},
    {"TestaDelC",               "dma", Carattere(3, 64), Diverse, "record C, posizioni 60-66: (come nel record B) -> "},
    {"CodiceDelRecord2",        "tfr", Carattere(2, 5),  Diverse, "record 2, posizioni 2-11: (come nel record 1) -> "},
    {"CodiceFiscaleDelRecord2", "tfr", Carattere(2, 22), Diverse, "record 2, posizioni 12-22: (come nel record 1) -> "},
    // The module numbers are content, in their place; so is the order of the records.
    {"ModuloRinumerato",        "770", Carattere(3, 25), Diverse,
                                "  persona al posto 1 (riga 3 -> 3), record G, posizioni 18-25: 00000001 -> 00000009\n"},
    {"ModuloDelDma",            "dma", Carattere(4, 25), Diverse, "record C, posizioni 18-25: 00000002 -> 00000009\n"},
    {"ModuliScambiati",         "770", Righe([](std::vector<std::string>& r) { std::swap(r[5], r[6]); }), Diverse,
                                "persona al posto 3 (riga 6 -> 6), record G, posizioni 18-25: 00000003 -> 00000004\n"},
    {"ModuliScambiatiERinumerati", "770", Righe([](std::vector<std::string>& r) {
                                    std::swap(r[5], r[6]);
                                    std::swap(r[5][24], r[6][24]); }),
                                Diverse, "  ordine delle persone: dipendente "},
    {"GruppiTfrScambiati",      "tfr", Righe([](std::vector<std::string>& r) {
                                    // The second group (its records 2, 3 and 4) before the first.
                                    std::vector<std::string> primo(r.begin() + 1, r.begin() + 6);
                                    r.erase(r.begin() + 1, r.begin() + 6);
                                    r.insert(r.begin() + 3, primo.begin(), primo.end()); }),
                                Diverse, "  ordine delle persone: dipendente "},
    // Past the 4,096th character of a record, and a line that is no record.
    {"OltreIlRecordG",          "770", Carattere(7, 4899, 'B'), Diverse, "      record G, posizione 4899: 'A' -> 'B'\n",
                                Righe([](std::vector<std::string>& r) { r[6] += std::string(3001, 'A'); })},
    {"OltreIlRecordB",          "770", Carattere(2, 4899, 'B'), Diverse, "Altre differenze:\n  record B, posizione 4899: ' ' -> 'B'\n",
                                Righe([](std::vector<std::string>& r) { r[1] += std::string(3001, ' '); })},
    {"RigaEstranea",            "dma", Righe([](std::vector<std::string>& r) { r.insert(r.begin() + 3, "Q"); }),
                                Diverse, "riga di tipo 'Q' (1\xAA riga che non \xE8 un record): (assente) -> Q"},
    // The supply's own records named by their place among those of their type, wherever they stand: a record 9
    // before some of the persons and one after them.
    {"Record9Ripetuto",         "tfr", Carattere(7, 13), Diverse,
                                "Totali cambiati:\n  Record 9, posizioni 8-13: record 2: 6 -> 9\n",
                                Righe([](std::vector<std::string>& r) { r.insert(r.begin() + 6, r.back()); })},
    // A block past the last field of a module, named by its place.
    {"BloccoSenzaCodice",       "770", Righe([](std::vector<std::string>& r) { r[2][1880] = 'Z'; }),
                                Diverse, "record G, posizioni 1866-1889 (blocco senza codice): (assente) -> Z"},
    // A difference that cannot be seen is shown between quotes, the character by its code.
    {"SpazioNonSeparabile",     "770", Sostituisci("DA001002ROSSI ", "DA001002ROSSI\xA0"), Diverse,
                                "cognome (DA001002): 'ROSSI           ' -> 'ROSSI\\xA0          '"},
};
// clang-format on

class ContenutoDiverso : public testing::TestWithParam<Caso> {};

TEST_P(ContenutoDiverso, NominatoONonConfrontato) {
    const Caso& c = GetParam();
    const std::string prima = c.prepara(Campione(c.comando));
    const std::string dopo = c.cambia(prima);
    ASSERT_NE(prima, dopo);
    // Each the same as itself.
    for (const std::string* f : {&prima, &dopo}) {
        const Risultato r = Confronto(Letta(*f), Letta(*f));
        EXPECT_NE(r.esito, Esito::Diverse) << r.testo;
    }
    for (const bool rovescio : {false, true}) {
        const Risultato r = rovescio ? Confronto(Letta(dopo), Letta(prima)) : Confronto(Letta(prima), Letta(dopo));
        EXPECT_EQ(r.esito, c.esito) << (rovescio ? "al rovescio: " : "") << r.testo;
        if (!rovescio) {
            EXPECT_NE(r.testo.find(c.atteso), std::string::npos) << r.testo;
        }
        if (r.esito == Esito::Diverse) {
            EXPECT_EQ(r.testo.find("stesso contenuto"), std::string::npos) << r.testo;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Casi, ContenutoDiverso, testing::ValuesIn(Casi),
                         [](const testing::TestParamInfo<Caso>& info) { return std::string(info.param.nome); });

// Bytes read once (a pipe's) are read again from their copy; a file changed between the two readings stops the
// comparison, where its persons are the same too.
TEST(Contenuto, SecondaLettura) {
    const std::string& originale = Campione("uniemens");
    const std::string dopo = Sostituisci("<Cognome>ZANON</Cognome>", "<Cognome>ZANONI</Cognome>")(originale);
    const Risultato r = Confronto(Letta(originale), Letta(dopo));
    EXPECT_NE(r.testo.find("      Cognome: ZANON -> ZANONI\n"), std::string::npos) << r.testo;

    CartellaTemporanea dir;
    shell::test::ScriviFile(dir / "prima.xml", originale);
    shell::test::ScriviFile(dir / "dopo.xml", dopo);
    const FornituraLetta prima = LeggiFornitura(dir / "prima.xml", {}, {}, false);
    const FornituraLetta seconda = LeggiFornitura(dir / "dopo.xml", {}, {}, false);
    EXPECT_FALSE(prima.copia); // a file is read again, not kept
    // The supply's own content changed where no person is.
    shell::test::ScriviFile(dir / "dopo.xml", Sostituisci("<SedeINPS>", "<SedeINPS>1")(dopo));
    EXPECT_THROW(Confronta(prima, seconda), ErroreFile);
}

// ---- Every byte

// A byte other than `c`: a blank for another (a TAB for a space, a LF for a CR...), a letter in the other case,
// the next digit, else the byte with its last bit changed.
char Altro(char c) {
    switch (c) {
    case '\t':
        return ' ';
    case ' ':
        return '\t';
    case '\r':
        return '\n';
    case '\n':
        return ' ';
    default:
        break;
    }
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return static_cast<char>(c ^ 0x20);
    if (c >= '0' && c <= '9')
        return c == '9' ? '0' : static_cast<char>(c + 1);
    return static_cast<char>(c ^ 0x01);
}

bool Spazio(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Of each byte of a converter's XML document, whether Altro keeps its content: a blank of the layout (between
// the elements' lines, inside a tag outside its values, between the declaration's parts) for another, or a letter
// of the declared encoding's name in the other case. A converter's document has no other text of blanks alone,
// nor comments.
std::vector<bool> StessoContenutoXml(const std::string& d) {
    std::vector<bool> stesso(d.size(), false);
    const std::size_t dichiarazione = d.find("?>") + 2;
    const std::size_t codifica = d.find("encoding='") + 10;
    for (std::size_t i = 0; i < dichiarazione; ++i)
        stesso[i] = Spazio(d[i]) ||
                    (i >= codifica && i < d.find('\'', codifica) && std::isalpha(static_cast<unsigned char>(d[i])));
    bool tag = false;
    char virgolette = 0;
    for (std::size_t i = dichiarazione; i < d.size(); ++i) {
        const char c = d[i];
        if (tag) {
            if (virgolette)
                virgolette = c == virgolette ? 0 : virgolette;
            else if (c == '"' || c == '\'')
                virgolette = c;
            else if (c == '>')
                tag = false;
            else
                stesso[i] = Spazio(c);
            continue;
        }
        if (c == '<') {
            tag = true;
            continue;
        }
        // A text: the layout when it is blanks alone across a line end.
        const std::size_t fine = std::min(d.find('<', i), d.size());
        const std::string_view testo = std::string_view(d).substr(i, fine - i);
        const bool rientro =
            testo.find_first_not_of(" \t\r\n") == std::string_view::npos && testo.find('\n') != std::string_view::npos;
        for (std::size_t k = i; k < fine; ++k)
            stesso[k] = rientro;
        i = fine - 1;
    }
    return stesso;
}

struct Formato {
    const char* comando;
    bool xml;
};
void PrintTo(const Formato& f, std::ostream* os) { *os << f.comando; }

class OgniByte : public testing::TestWithParam<Formato> {};

TEST_P(OgniByte, UgualiSoloSeLoStessoContenuto) {
    const std::string& originale = Campione(GetParam().comando);
    const FornituraLetta prima = Letta(originale);
    ASSERT_TRUE(prima.formato);
    ASSERT_EQ(Confronto(prima, prima).esito, Esito::Uguali);
    const std::vector<bool> stesso =
        GetParam().xml ? StessoContenutoXml(originale) : std::vector<bool>(originale.size(), false);
    long conti[3] = {};
    for (std::size_t i = 0; i < originale.size(); i += PASSO_BYTE) {
        std::string copia = originale;
        copia[i] = Altro(originale[i]);
        const FornituraLetta dopo = Letta(copia);
        const Risultato r = Confronto(prima, dopo);
        ++conti[static_cast<int>(r.esito)];
        const auto dove = [&] {
            const std::size_t riga =
                static_cast<std::size_t>(std::count(originale.begin(), originale.begin() + i, '\n'));
            return "byte " + std::to_string(i) + " (riga " + std::to_string(riga + 1) + ") '" +
                   std::string(1, originale[i]) + "' -> '" + std::string(1, copia[i]) + "'\n" + r.testo;
        };
        if (stesso[i]) {
            EXPECT_EQ(r.esito, Esito::Uguali) << dove();
            EXPECT_EQ(Confronto(dopo, prima).esito, Esito::Uguali) << dove();
        } else {
            EXPECT_NE(r.esito, Esito::Uguali) << dove();
        }
    }
    std::cout << GetParam().comando << ": " << conti[0] << " copie uguali, " << conti[1] << " diverse, " << conti[2]
              << " non confrontabili\n";
}

INSTANTIATE_TEST_SUITE_P(Campioni, OgniByte,
                         testing::Values(Formato{"770", false}, Formato{"dma", false}, Formato{"tfr", false},
                                         Formato{"uniemens", true}, Formato{"emens", true}),
                         [](const testing::TestParamInfo<Formato>& info) {
                             return std::string(info.param.comando) == "770" ? std::string("c770")
                                                                             : std::string(info.param.comando);
                         });

} // namespace
} // namespace verifica
