// The XML reader against libxml2, a parser held right by the world: over the documents that the
// converters write (from the samples and from generated exports), over each of them written in the
// other encodings the reader takes, and over thousands of copies damaged on purpose, both must
// accept and refuse the same documents; where both accept, both must read the same elements,
// attributes and texts. The damage is drawn from fixed seeds, so a failure comes back at every run.
//
// Left out: the documents where the two differ on purpose (DaLasciareFuori, oracolo_libxml2.h).

#include "tests/supporto/cartella_temporanea.h"
#include "xml/tests/eventi_xml.h"
#include "xml/tests/oracolo_libxml2.h"
#include "tests/supporto/processo.h"

#include <libxml/parser.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace xml {
namespace {

using test::DaLasciareFuori;
using test::LeggiConIlLettore;
using test::LeggiConLibxml2;
using test::Lettura;
namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;

// ---- The documents

#ifndef COPIE_DANNEGGIATE
#define COPIE_DANNEGGIATE 300
#endif

// splitmix64: the same damage on every system.
class Casuale {
public:
    explicit Casuale(std::uint64_t seme) : m_stato(seme) {}
    std::uint64_t Prossimo() {
        std::uint64_t z = (m_stato += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t Fino(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Prossimo() % n); }

private:
    std::uint64_t m_stato;
};

struct Documento {
    std::string nome;
    std::string testo;
};

std::string Sostituisci(std::string testo, std::string_view da, std::string_view a) {
    for (std::size_t i = 0; (i = testo.find(da, i)) != std::string::npos; i += a.size())
        testo.replace(i, da.size(), a);
    return testo;
}

std::string Utf8DaLatin1(std::string_view testo) {
    std::string utf8;
    for (const char c : testo) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | u >> 6);
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return utf8;
}

// The characters beyond ASCII as character references.
std::string AsciiDaLatin1(std::string_view testo) {
    std::string ascii;
    for (const char c : testo) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80)
            ascii += c;
        else
            ascii.append("&#").append(std::to_string(u)).append(";");
    }
    return ascii;
}

constexpr std::string_view DichiarazioneLatin1 = "<?xml version='1.0' encoding='ISO-8859-1'?>";

// A converter's document written in the other ways the reader takes, and with the pieces of XML the
// converters never write (comments, processing instructions, CDATA, references, single quotes,
// empty elements), so that the damage reaches them too.
std::vector<Documento> Varianti(const Documento& d) {
    std::vector<Documento> varianti{d};
    const auto corpo = std::string_view(d.testo).substr(DichiarazioneLatin1.size());
    varianti.push_back({d.nome + " in UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + Utf8DaLatin1(corpo)});
    varianti.push_back({d.nome + " in UTF-8 con BOM", "\xEF\xBB\xBF<?xml version='1.0'?>" + Utf8DaLatin1(corpo)});
    varianti.push_back({d.nome + " in UTF-8 senza dichiarazione", Utf8DaLatin1(corpo.substr(2))});
    varianti.push_back(
        {d.nome + " in US-ASCII", "<?xml version='1.0' encoding='us-ascii' standalone='yes'?>" + AsciiDaLatin1(corpo)});
    varianti.push_back({d.nome + " con LF", Sostituisci(d.testo, "\r\n", "\n")});
    varianti.push_back({d.nome + " con CR", Sostituisci(d.testo, "\r\n", "\r")});
    std::string arricchito = d.testo;
    arricchito.insert(DichiarazioneLatin1.size(), "\r\n<!-- generato dal convertitore -->\r\n<?verifica prova?>");
    arricchito = Sostituisci(arricchito, "<Qualifica1>", "<Qualifica1><![CDATA[Q&]]>");
    arricchito = Sostituisci(arricchito, "</Nome>", "<!-- n --></Nome>");
    arricchito = Sostituisci(arricchito, "<Lavorato>S</Lavorato>", "<Lavorato>&#83;<?p?></Lavorato><Vuoto a='x'/>");
    arricchito = Sostituisci(arricchito, "Tipo=\"1\"", "Tipo='1' Altro=\"&lt;&amp;&gt;\"");
    varianti.push_back({d.nome + " con commenti, CDATA e riferimenti", arricchito});
    return varianti;
}

// Pieces of XML and bytes to put where they do not belong.
const std::vector<std::string_view>& Pezzi() {
    static const std::vector<std::string_view> pezzi = {
        "<",
        ">",
        "&",
        ";",
        "\"",
        "'",
        "=",
        "/",
        "</",
        "/>",
        "<a>",
        "</a>",
        "<a/>",
        "<!--",
        "-->",
        "--",
        "<?",
        "?>",
        "<?xml version=\"1.0\"?>",
        "<![CDATA[",
        "]]>",
        "]]",
        "&amp;",
        "&lt;",
        "&#65;",
        "&#x41;",
        "&#0;",
        "&#xD800;",
        "&#x110000;",
        "&foo;",
        "&#;",
        "&#x;",
        " a=\"1\"",
        " a='1'",
        "\r",
        "\n",
        "\t",
        " ",
        "\xC3",
        "\xE9",
        "\xC3\xA9",
        "\xE2\x82\xAC",
        "\xEF\xBF\xBE",
        "\xED\xA0\x80",
        "\xF4\x90\x80\x80",
        "\xC0\xAF",
        "\x80",
        "\x85",
        "\x7F",
        "\x0C",
        "\x01",
        ":",
        "\xB7",
        "\xC2\xB7",
        "\xD7",
        "-",
        ".",
        "1",
        "<!x",
        "<!",
        "\xEF\xBB\xBF",
        "&apos;",
        "&quot",
        "&#x1F600;",
        "<b c=\"1\" c=\"2\">",
        "x:y",
    };
    return pezzi;
}

// One copy of the document damaged once, and what was done to it.
Documento Danneggia(const Documento& d, Casuale& caso) {
    std::string t = d.testo;
    std::string come;
    const std::size_t dove = caso.Fino(t.size() + 1);
    // A tag of the document, from its "<" to its ">" (npos when there is none after `dove`).
    const auto tag = [&](std::size_t da) -> std::pair<std::size_t, std::size_t> {
        const std::size_t inizio = t.find('<', da);
        const std::size_t fine = inizio == std::string::npos ? inizio : t.find('>', inizio);
        return {inizio, fine};
    };
    switch (caso.Fino(12)) {
    case 0:
        if (!t.empty()) {
            t[std::min(dove, t.size() - 1)] = static_cast<char>(caso.Prossimo());
            come = "byte cambiato";
        }
        break;
    case 1:
        t.insert(dove, 1, static_cast<char>(caso.Prossimo()));
        come = "byte inserito";
        break;
    case 2:
    case 3: {
        const std::string_view pezzo = Pezzi()[caso.Fino(Pezzi().size())];
        t.insert(dove, pezzo);
        come = "inserito " + test::Citato(pezzo);
        break;
    }
    case 4:
        t.erase(dove, 1 + caso.Fino(caso.Fino(2) ? 2 : 60));
        come = "tolti dei byte";
        break;
    case 5:
        t.resize(dove);
        come = "troncato";
        break;
    case 6: {
        const auto [a, fineA] = tag(dove);
        const auto [b, fineB] = fineA == std::string::npos ? tag(t.size()) : tag(fineA + caso.Fino(400));
        if (fineB != std::string::npos) {
            const std::string primo = t.substr(a, fineA + 1 - a), secondo = t.substr(b, fineB + 1 - b);
            t.replace(b, secondo.size(), primo);
            t.replace(a, primo.size(), secondo);
            come = "scambiati due tag";
        }
        break;
    }
    case 7: {
        const std::size_t uguale = t.find("=\"", dove);
        const std::size_t inizio = uguale == std::string::npos ? uguale : t.rfind(' ', uguale);
        const std::size_t fine = inizio == std::string::npos ? inizio : t.find('"', uguale + 2);
        if (fine != std::string::npos) {
            t.insert(fine + 1, t.substr(inizio, fine + 1 - inizio));
            come = "attributo ripetuto";
        }
        break;
    }
    case 8: {
        const std::size_t chiusura = t.find("</", dove);
        if (chiusura != std::string::npos && chiusura + 3 < t.size()) {
            t[chiusura + 2 + caso.Fino(2)] ^= 0x20;
            come = "tag di chiusura cambiato";
        }
        break;
    }
    case 9: {
        static const std::string_view Codifiche[] = {"UTF-8",        "ISO-8859-1", "US-ASCII", "latin1", "UTF-16",
                                                     "windows-1252", "FOO",        "",         "utf8",   "1"};
        static const std::string_view Versioni[] = {"1.0", "1.1", "1.", "2.0", "1.0.0", "1.10"};
        const std::size_t fine = t.find("?>");
        if (t.compare(0, 5, "<?xml") == 0 && fine != std::string::npos) {
            std::string dichiarazione = "<?xml version='" + std::string(Versioni[caso.Fino(6)]) + "'";
            if (caso.Fino(4))
                dichiarazione += " encoding='" + std::string(Codifiche[caso.Fino(10)]) + "'";
            t.replace(0, fine, dichiarazione);
            come = "dichiarazione cambiata";
        }
        break;
    }
    case 10: {
        const std::size_t lunghezza = 1 + caso.Fino(200);
        t.insert(caso.Fino(t.size() + 1), t.substr(std::min(dove, t.size()), lunghezza));
        come = "ripetuto un tratto";
        break;
    }
    case 11: {
        const auto [a, fineA] = tag(dove);
        if (fineA != std::string::npos) {
            t.erase(a, fineA + 1 - a);
            come = "tolto un tag";
        }
        break;
    }
    }
    if (come.empty()) {
        t.insert(dove, "<");
        come = "inserito \"<\"";
    }
    return {d.nome + ", " + come + " a " + std::to_string(dove), t};
}

// ---- The documents of the converters

std::string Genera(const char* comando, const char* righe, const char* seme, const CartellaTemporanea& dir) {
    const fs::path cartella = dir / (std::string(comando) + "-" + righe + "-" + seme);
    const auto generato =
        EseguiProcesso(GENERATORE_EXE, {comando, righe, cartella.string(), seme}, dir / "out", dir / "err");
    EXPECT_EQ(generato.stato, 0) << generato.err;
    return cartella.string();
}

std::string Converti(const char* comando, const fs::path& cartella, const CartellaTemporanea& dir) {
    const fs::path archivio = dir / (cartella.filename().string() + "-arc");
    const auto esito = EseguiProcesso(
        FORNITURA_EXE,
        {comando, "--dir", cartella.string(), "--archive", archivio.string(), "--now", "2011-06-14T09:05:07"},
        dir / "out", dir / "err");
    EXPECT_EQ(esito.stato, 0) << esito.err;
    for (const auto& voce : fs::directory_iterator(archivio))
        if (voce.path().extension() == ".xml")
            return LeggiFile(voce.path());
    ADD_FAILURE() << "nessun documento da " << comando << " in " << cartella;
    return "";
}

const std::vector<Documento>& DocumentiDeiConvertitori() {
    static const std::vector<Documento> documenti = [] {
        const CartellaTemporanea dir;
        std::vector<Documento> d;
        for (const char* comando : {"uniemens", "emens"}) {
            d.push_back(
                {std::string(comando) + " dall'esempio", Converti(comando, fs::path(CARTELLA_ESEMPI) / comando, dir)});
            for (const char* seme : {"7", "20110614"})
                d.push_back({std::string(comando) + " generato (seme " + seme + ")",
                             Converti(comando, Genera(comando, "24", seme, dir), dir)});
        }
        return d;
    }();
    return documenti;
}

std::vector<Documento> CasiDelLettore() {
    std::vector<Documento> casi;
    for (const auto& voce : fs::directory_iterator(fs::path(XML_DATI)))
        if (voce.path().extension() == ".xml")
            casi.push_back({voce.path().stem().string(), LeggiFile(voce.path())});
    std::sort(casi.begin(), casi.end(), [](const Documento& a, const Documento& b) { return a.nome < b.nome; });
    return casi;
}

// Reads every document with both; a disagreement says which document, what each said, and where it
// was kept for a closer look.
class Confronto {
public:
    void Leggi(const Documento& d, bool righe = false) {
        if (DaLasciareFuori(d.testo)) {
            ++m_lasciati;
            return;
        }
        ++m_letti;
        const Lettura nostra = LeggiConIlLettore(d.testo);
        const Lettura loro = LeggiConLibxml2(d.testo);
        m_accettati += nostra.accettato;
        std::string diverso;
        if (nostra.accettato != loro.accettato)
            diverso = nostra.accettato ? "il lettore accetta, libxml2 rifiuta (" + loro.errore + ")"
                                       : "il lettore rifiuta (" + nostra.errore + "), libxml2 accetta";
        else if (nostra.accettato && nostra.contenuto != loro.contenuto)
            diverso = "letti diversamente:\n" + nostra.contenuto.substr(0, 2000) + "\n---- libxml2:\n" +
                      loro.contenuto.substr(0, 2000);
        else if (nostra.accettato && righe && nostra.righe != loro.righe)
            diverso = "righe degli elementi diverse";
        if (diverso.empty())
            return;
        if (++m_disaccordi <= 10) {
            const fs::path copia = fs::temp_directory_path() / ("disaccordo-" + std::to_string(m_disaccordi) + ".xml");
            shell::test::ScriviFile(copia, d.testo);
            ADD_FAILURE() << d.nome << ": " << diverso << " (documento in " << copia.string() << ")";
        }
    }
    void Controlla(int minimoLetti) const {
        EXPECT_EQ(m_disaccordi, 0);
        EXPECT_GE(m_letti, minimoLetti);
        EXPECT_GT(m_accettati, 0);
        EXPECT_LT(m_accettati, m_letti);
        std::cout << m_letti << " documenti letti da entrambi (" << m_accettati << " accettati), " << m_lasciati
                  << " lasciati fuori\n";
    }

private:
    int m_letti = 0, m_accettati = 0, m_lasciati = 0, m_disaccordi = 0;
};

class AccordoLibxml2 : public testing::Test {
protected:
    static void SetUpTestSuite() { xmlInitParser(); }
    static void TearDownTestSuite() { xmlCleanupParser(); }
};

// The documents as the converters write them, and in the other encodings: accepted by both, read
// alike, each element on the same line.
TEST_F(AccordoLibxml2, DocumentiDeiConvertitori) {
    Confronto confronto;
    for (const Documento& d : DocumentiDeiConvertitori()) {
        ASSERT_GT(d.testo.size(), 1000u) << d.nome;
        for (const Documento& v : Varianti(d)) {
            EXPECT_TRUE(LeggiConIlLettore(v.testo).accettato) << v.nome << ": " << LeggiConIlLettore(v.testo).errore;
            confronto.Leggi(v, v.nome.find(" con CR") == std::string::npos);
        }
    }
}

TEST_F(AccordoLibxml2, DocumentiDanneggiati) {
    Confronto confronto;
    Casuale caso(20110614);
    int documenti = 0;
    for (const Documento& d : DocumentiDeiConvertitori())
        for (const Documento& v : Varianti(d))
            for (int i = 0; i < COPIE_DANNEGGIATE; ++i, ++documenti)
                confronto.Leggi(Danneggia(v, caso));
    confronto.Controlla(documenti * 8 / 10);
}

// The reader's own cases, as they are and damaged.
TEST_F(AccordoLibxml2, CasiDelLettore) {
    Confronto confronto;
    Casuale caso(770);
    int documenti = 0;
    for (const Documento& d : CasiDelLettore()) {
        confronto.Leggi(d);
        for (int i = 0; i < 60; ++i, ++documenti)
            confronto.Leggi(Danneggia(d, caso));
    }
    confronto.Controlla(documenti * 7 / 10);
}

} // namespace
} // namespace xml
