// The XML reader beyond single documents: its limits, texts longer than a piece, a document far
// larger than its memory, the stream it reads, and what it tells after an error or at the end.

#include "xml/tests/eventi_xml.h"
#include "xml/lettore_xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>

// Every how many bytes a document is cut by the end of what was read (the build with the sanitizers, and the
// Windows one under Wine, take every seventh cut: the ordinary build takes them all).
#ifndef PASSO_TAGLIO
#define PASSO_TAGLIO 1
#endif

// The allocations of the whole program, counted for the test that events cost none.
namespace {
std::atomic<long long> Allocazioni{0};
}
void* operator new(std::size_t n) {
    ++Allocazioni;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace xml {
namespace {

std::string Annidati(int livelli) {
    std::string documento;
    for (int i = 0; i < livelli; ++i)
        documento += "<a>";
    for (int i = 0; i < livelli; ++i)
        documento += "</a>";
    return documento;
}

// Reads the document to its end; the error's text, or empty.
std::string Errore(const std::string& documento) {
    LettoreXML lettore(test::FonteTesto(documento));
    try {
        while (lettore.Prossimo() != Evento::FineDocumento) {
        }
    } catch (const ErroreXML& e) {
        return e.what();
    }
    return "";
}

TEST(LimitiLettoreXml, ProfonditaFinoA257Livelli) {
    EXPECT_EQ(Errore(Annidati(LettoreXML::ProfonditaMassima)), "");
    EXPECT_EQ(Errore(Annidati(LettoreXML::ProfonditaMassima + 1)),
              "riga 1, colonna " + std::to_string(3 * LettoreXML::ProfonditaMassima + 1) +
                  ": elementi annidati oltre 257 livelli");
}

TEST(LimitiLettoreXml, NomiFinoA50000Byte) {
    const std::string nome(LettoreXML::NomeMassimo, 'n');
    EXPECT_EQ(Errore("<" + nome + "/>"), "");
    EXPECT_EQ(Errore("<a " + nome + "x=\"1\"/>"), "riga 1, colonna 4: nome oltre 50000 byte");
    EXPECT_EQ(Errore("<a " + nome + "x=\"1\"></a>"), "riga 1, colonna 4: nome oltre 50000 byte");
    // Read a byte at a time, the name grows over many blocks before it is refused.
    const std::string lungo = "<" + nome + "nn/>";
    LettoreXML lettore(test::FonteTesto(lungo, 1));
    EXPECT_THROW(lettore.Prossimo(), ErroreXML);
}

TEST(LimitiLettoreXml, AttributiDiUnTagFinoA10MB) {
    const std::string valore(LettoreXML::AttributiMassimo / 2, 'v');
    EXPECT_EQ(Errore("<a b=\"" + valore + "\"/>"), "");
    EXPECT_EQ(Errore("<a b=\"" + valore + "\" c=\"" + valore + "\"/>"),
              "riga 1, colonna 1: attributi del tag oltre 10000000 byte");
}

// A text longer than a piece comes in consecutive Testo events, whatever it needs: kept in place,
// or made anew (references, line ends).
TEST(TestoLungo, InPezziConsecutivi) {
    struct Unita {
        std::string scritta, letta;
    };
    for (const Unita& unita : {Unita{"abcdefgh", "abcdefgh"}, Unita{"a&amp;b\r\nc\xE9", "a&b\nc\xE9"}}) {
        std::string testo, atteso;
        while (atteso.size() < 3 * LettoreXML::PezzoTesto + 12345) {
            testo += unita.scritta;
            atteso += unita.letta;
        }
        const std::string documento = "<?xml version='1.0' encoding='ISO-8859-1'?><a>" + testo + "</a>";
        LettoreXML lettore(test::FonteTesto(documento, 100000));
        ASSERT_EQ(lettore.Prossimo(), Evento::InizioElemento);
        std::string letto;
        int pezzi = 0;
        while (lettore.Prossimo() == Evento::Testo) {
            EXPECT_LE(lettore.Testo().size(), LettoreXML::PezzoTesto + LettoreXML::Blocco);
            letto += lettore.Testo();
            ++pezzi;
        }
        EXPECT_EQ(lettore.Corrente(), Evento::FineElemento);
        EXPECT_GE(pezzi, 3) << unita.scritta;
        EXPECT_EQ(letto, atteso) << unita.scritta;
    }
}

// A document like the converters' write, `persone` persons long, made while it is read.
class DocumentoGenerato {
public:
    explicit DocumentoGenerato(std::size_t persone) : m_persone(persone) {}

    std::size_t Persone() const { return m_persone; }
    LettoreXML::Fonte Fonte() {
        return [this](char* destinazione, std::size_t massimo) {
            std::size_t n = 0;
            while (n < massimo && m_date < Totale()) {
                std::string_view parte = Persona;
                std::size_t inParte = (m_date - Testa.size()) % Persona.size();
                if (m_date < Testa.size()) {
                    parte = Testa;
                    inParte = m_date;
                } else if (m_date >= Totale() - Coda.size()) {
                    parte = Coda;
                    inParte = m_date - (Totale() - Coda.size());
                }
                const std::size_t k = std::min(massimo - n, parte.size() - inParte);
                std::memcpy(destinazione + n, parte.data() + inParte, k);
                n += k;
                m_date += k;
            }
            return n;
        };
    }

    static constexpr std::string_view Testa = "<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<Denunce>\r\n";
    static constexpr std::string_view Persona = "\t\t<Persona Tipo=\"1\">\r\n\t\t\t<CF>RSSMRA85T10A562S</CF>\r\n"
                                                "\t\t\t<Nome>MARIO &amp; C.</Nome>\r\n"
                                                "\t\t\t<Giorno GG=\"1\"><Lavorato>S</Lavorato></Giorno>\r\n"
                                                "\t\t</Persona>\r\n";
    static constexpr std::string_view Coda = "</Denunce>\r\n";

private:
    std::size_t Totale() const { return Testa.size() + m_persone * Persona.size() + Coda.size(); }

    std::size_t m_persone;
    std::size_t m_date = 0; // bytes handed over so far
};

// The tag of one attribute: its name and value as written, whatever their lengths, in double quotes as in
// single ones, in an ISO-8859-1 document as in a UTF-8 one, whose characters are decoded; each tag cut at
// every place by the end of the bytes read so far.
TEST(Attributo, OgniLunghezzaOgniTaglio) {
    constexpr std::string_view CaratteriNome = "Nome.-_:\xE8"
                                               "1";
    constexpr std::string_view CaratteriValore = "v >/=\xE0'>\t1";
    const auto documento = [](std::string_view dichiarazione, const std::string& tag) {
        return std::string(dichiarazione) + "\r\n<r>\r\n\t" + tag + "x</e>\r\n</r>\r\n";
    };
    const auto utf8 = [](std::string latin1) {
        std::string testo;
        for (const char c : latin1)
            if (static_cast<unsigned char>(c) < 0x80)
                testo += c;
            else
                testo.append({'\xC3', static_cast<char>(c - 0x40)});
        return testo;
    };
    for (std::size_t n = 1; n <= 20; ++n) {
        for (std::size_t v = 0; v <= 20; ++v) {
            std::string nome, valore;
            for (std::size_t i = 0; i < n; ++i)
                nome += CaratteriNome[i % CaratteriNome.size()];
            for (std::size_t i = 0; i < v; ++i)
                valore += CaratteriValore[i % CaratteriValore.size()];
            const std::string tag = "<e " + nome + "=\"" + valore + "\">";
            std::string senzaApici = valore;
            std::replace(senzaApici.begin(), senzaApici.end(), '\'', '1');
            const std::string latin1 = documento("<?xml version='1.0' encoding='ISO-8859-1'?>", tag);
            const std::string colonna = std::to_string(2 + tag.size());
            std::string normalizzato = valore;
            std::replace(normalizzato.begin(), normalizzato.end(), '\t', ' ');
            const std::string atteso =
                "2:1 <r>\n2:4 \"\\n\\t\"\n3:2 <e " + test::Escapato(nome) + "=" + test::Citato(normalizzato) +
                "@3:5>\n3:" + colonna + " \"x\"\n3:" + std::to_string(3 + tag.size()) +
                " </e>\n3:" + std::to_string(7 + tag.size()) + " \"\\n\"\n4:1 </r>\n5:1 fine nonCRLF=0\n";
            ASSERT_EQ(test::ElencaEventi(latin1), atteso) << tag;
            EXPECT_EQ(test::ElencaEventi(documento("<?xml version='1.0' encoding='ISO-8859-1'?>",
                                                   "<e " + nome + "='" + senzaApici + "'>")),
                      test::ElencaEventi(documento("<?xml version='1.0' encoding='ISO-8859-1'?>",
                                                   "<e " + nome + "=\"" + senzaApici + "\">")))
                << tag;
            EXPECT_EQ(test::ElencaEventi(utf8(documento("<?xml version='1.0'?>", tag))), atteso) << tag;
            for (std::size_t pezzo = 1; pezzo <= latin1.size(); pezzo += PASSO_TAGLIO)
                ASSERT_EQ(test::ElencaEventi(latin1, pezzo), atteso) << tag << " a pezzi di " << pezzo;
        }
    }
    // What only looks like it: the quotes of the other kind around a value that holds `">`.
    EXPECT_EQ(test::ElencaEventi("<r><e n='a\">b'>x</e></r>"),
              "1:1 <r>\n1:4 <e n=\"a\\\">b\"@1:7>\n1:16 \"x\"\n1:17 </e>\n1:21 </r>\n1:25 fine nonCRLF=0\n");
}

// Reads a generated document to its end, checking what it holds.
void LeggiGenerato(DocumentoGenerato& documento) {
    LettoreXML lettore(documento.Fonte());
    std::size_t elementi = 0, cf = 0;
    for (Evento e; (e = lettore.Prossimo()) != Evento::FineDocumento;) {
        if (e == Evento::InizioElemento)
            ++elementi;
        if (e == Evento::Testo && lettore.Testo() == "RSSMRA85T10A562S")
            ++cf;
    }
    EXPECT_EQ(elementi, 1 + 5 * documento.Persone());
    EXPECT_EQ(cf, documento.Persone());
    EXPECT_EQ(lettore.Riga(), static_cast<std::int64_t>(4 + 5 * documento.Persone()));
    EXPECT_EQ(lettore.FiniRigaNonCRLF(), 0);
}

// Past the first blocks, the events of a document cost no allocation: every text, name and place
// lives in buffers the reader keeps.
TEST(DocumentoGrande, NessunaAllocazionePerEvento) {
    DocumentoGenerato piccolo(10), grande(200000);
    const long long primaPiccolo = Allocazioni;
    LeggiGenerato(piccolo);
    const long long perPiccolo = Allocazioni - primaPiccolo;
    const long long primaGrande = Allocazioni;
    LeggiGenerato(grande);
    EXPECT_LE(Allocazioni - primaGrande, perPiccolo + 20);
}

#ifdef __linux__
// Peak of the resident memory of this process, in bytes, after resetting it when `azzera`.
long long PiccoMemoria(bool azzera) {
    if (azzera)
        std::ofstream("/proc/self/clear_refs") << "5";
    std::ifstream stato("/proc/self/status");
    for (std::string riga; std::getline(stato, riga);)
        if (riga.rfind("VmHWM:", 0) == 0)
            return std::stoll(riga.substr(6)) * 1024;
    return -1;
}

// 80 MB of document: the reader holds a block and the current element, never the document.
TEST(DocumentoGrande, LettoInMemoriaLimitata) {
    DocumentoGenerato documento(80 * 1024 * 1024 / DocumentoGenerato::Persona.size());
    const long long prima = PiccoMemoria(true);
    LeggiGenerato(documento);
    EXPECT_LT(PiccoMemoria(false) - prima, 8 * 1024 * 1024);
}
#endif

TEST(FonteLettoreXml, FlussoLettoABlocchi) {
    std::istringstream flusso("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE0</a>");
    LettoreXML lettore(flusso);
    EXPECT_EQ(test::ElencaEventi(lettore), "1:44 <a>\n1:47 \"\\xE0\"\n1:48 </a>\n1:52 fine nonCRLF=0\n");
}

// A stream whose reading fails in the middle: the failure is not taken for the end of the document.
TEST(FonteLettoreXml, LetturaNonRiuscita) {
    struct Guasto : std::streambuf {
        int letture = 0;
        char dati[4] = {'<', 'a', '>', 'x'};
        int_type underflow() override {
            if (letture++ > 0)
                throw std::runtime_error("disco");
            setg(dati, dati, dati + 4);
            return traits_type::to_int_type(dati[0]);
        }
    } guasto;
    std::istream flusso(&guasto);
    LettoreXML lettore(flusso);
    EXPECT_THROW(
        {
            while (lettore.Prossimo() != Evento::FineDocumento) {
            }
        },
        std::ios_base::failure);
}

TEST(StatoLettoreXml, DopoUnErroreLoStessoErrore) {
    LettoreXML lettore(test::FonteTesto("<a><b></a>"));
    EXPECT_EQ(lettore.Prossimo(), Evento::InizioElemento);
    EXPECT_EQ(lettore.Prossimo(), Evento::InizioElemento);
    std::string primo;
    try {
        lettore.Prossimo();
    } catch (const ErroreXML& e) {
        primo = e.what();
        EXPECT_EQ(e.Riga(), 1);
        EXPECT_EQ(e.Colonna(), 7);
        EXPECT_EQ(e.Motivo(), "tag di chiusura '</a>' non corrispondente a '<b>' (riga 1, colonna 4)");
    }
    EXPECT_EQ(primo, "riga 1, colonna 7: tag di chiusura '</a>' non corrispondente a '<b>' (riga 1, colonna 4)");
    try {
        lettore.Prossimo();
        ADD_FAILURE() << "nessun errore la seconda volta";
    } catch (const ErroreXML& e) {
        EXPECT_EQ(e.what(), primo);
    }
}

TEST(StatoLettoreXml, FineDocumentoRipetuta) {
    LettoreXML lettore(test::FonteTesto("<a/>\r\n"));
    while (lettore.Prossimo() != Evento::FineDocumento) {
    }
    EXPECT_EQ(lettore.Prossimo(), Evento::FineDocumento);
    EXPECT_EQ(lettore.Prossimo(), Evento::FineDocumento);
    EXPECT_EQ(lettore.Riga(), 2);
    EXPECT_EQ(lettore.Colonna(), 1);
}

TEST(StatoLettoreXml, DichiarazioneECodifica) {
    LettoreXML dichiarato(test::FonteTesto("\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8' standalone='no'?><a/>"));
    dichiarato.Prossimo();
    EXPECT_TRUE(dichiarato.Dichiarazione().presente);
    EXPECT_TRUE(dichiarato.Dichiarazione().bom);
    EXPECT_EQ(dichiarato.Dichiarazione().versione, "1.0");
    EXPECT_EQ(dichiarato.Dichiarazione().codifica, "utf-8");
    EXPECT_EQ(dichiarato.Dichiarazione().standalone, false);
    EXPECT_EQ(dichiarato.CodificaDocumento(), xml::Codifica::Utf8);

    LettoreXML latin1(test::FonteTesto("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>"));
    latin1.Prossimo();
    EXPECT_EQ(latin1.CodificaDocumento(), xml::Codifica::Iso88591);
    EXPECT_FALSE(latin1.Dichiarazione().standalone.has_value());

    LettoreXML senza(test::FonteTesto("<a/>"));
    senza.Prossimo();
    EXPECT_FALSE(senza.Dichiarazione().presente);
    EXPECT_EQ(senza.Dichiarazione().versione, "");
    EXPECT_EQ(senza.CodificaDocumento(), xml::Codifica::Utf8);
}

TEST(StatoLettoreXml, ProfonditaEVuoto) {
    LettoreXML lettore(test::FonteTesto("<a><b/></a>"));
    EXPECT_EQ(lettore.Prossimo(), Evento::InizioElemento);
    EXPECT_FALSE(lettore.ElementoVuoto());
    EXPECT_EQ(lettore.Profondita(), 1);
    EXPECT_EQ(lettore.Prossimo(), Evento::InizioElemento);
    EXPECT_TRUE(lettore.ElementoVuoto());
    EXPECT_EQ(lettore.Profondita(), 2);
    EXPECT_EQ(lettore.Prossimo(), Evento::FineElemento);
    EXPECT_EQ(lettore.Nome(), "b");
    EXPECT_EQ(lettore.Profondita(), 1);
    EXPECT_EQ(lettore.Prossimo(), Evento::FineElemento);
    EXPECT_EQ(lettore.Profondita(), 0);
}

// A document laid out one element per line, and the ways a hand may change it: each text between two
// tags is an event of its own, at its place, whatever it holds (a CR LF and TABs, a LF alone, spaces, a
// comment, a reference, a value on its line or over two); cut anywhere, the same events.
TEST(RigheDelDocumento, OgniTestoTraDueTagUnEvento) {
    const std::string documento = "<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<a>\r\n\t<b>valore</b>\r\n"
                                  "\t\t<c/>\n\t<d>\r\n  <e>x</e>\r\n\t<!-- nota -->\r\n\t</d>\r\n\t<f>\r\n"
                                  "\t</f>\r\n\t<g>\r\n\r\n</g>\r\n\t<h>a&amp;b</h>\r\n\t<i></i>\r\n"
                                  "\t<j>due\r\nrighe</j>\r\n\t<k>\tT\xC0</k>\r\n</a>\r\n";
    const std::string attesi = "2:1 <a>\n"
                               "2:4 \"\\n\\t\"\n"
                               "3:2 <b>\n"
                               "3:5 \"valore\"\n"
                               "3:11 </b>\n"
                               "3:15 \"\\n\\t\\t\"\n"
                               "4:3 <c/>\n"
                               "4:3 </c>\n"
                               "4:7 \"\\n\\t\"\n"
                               "5:2 <d>\n"
                               "5:5 \"\\n  \"\n"
                               "6:3 <e>\n"
                               "6:6 \"x\"\n"
                               "6:7 </e>\n"
                               "6:11 \"\\n\\t\\n\\t\"\n"
                               "8:2 </d>\n"
                               "8:6 \"\\n\\t\"\n"
                               "9:2 <f>\n"
                               "9:5 \"\\n\\t\"\n"
                               "10:2 </f>\n"
                               "10:6 \"\\n\\t\"\n"
                               "11:2 <g>\n"
                               "11:5 \"\\n\\n\"\n"
                               "13:1 </g>\n"
                               "13:5 \"\\n\\t\"\n"
                               "14:2 <h>\n"
                               "14:5 \"a&b\"\n"
                               "14:12 </h>\n"
                               "14:16 \"\\n\\t\"\n"
                               "15:2 <i>\n"
                               "15:5 </i>\n"
                               "15:9 \"\\n\\t\"\n"
                               "16:2 <j>\n"
                               "16:5 \"due\\nrighe\"\n"
                               "17:6 </j>\n"
                               "17:10 \"\\n\\t\"\n"
                               "18:2 <k>\n"
                               "18:5 \"\\tT\\xC0\"\n"
                               "18:8 </k>\n"
                               "18:12 \"\\n\"\n"
                               "19:1 </a>\n"
                               "20:1 fine nonCRLF=1\n";
    EXPECT_EQ(test::ElencaEventi(documento), attesi);
    for (const std::size_t pezzo : {1, 2, 3, 7, 64})
        EXPECT_EQ(test::ElencaEventi(documento, pezzo), attesi) << "a pezzi di " << pezzo << " byte";
    // In UTF-8 a character of two bytes, in a value or in a name, is read as its ISO-8859-1 byte.
    const std::string utf8 =
        "<?xml version='1.0'?>\r\n<a>\r\n\t<b>\xC3\x80</b>\r\n\t<\xC3\xA8>x</\xC3\xA8>\r\n</a>\r\n";
    EXPECT_EQ(test::ElencaEventi(utf8), "2:1 <a>\n"
                                        "2:4 \"\\n\\t\"\n"
                                        "3:2 <b>\n"
                                        "3:5 \"\\xC0\"\n"
                                        "3:6 </b>\n"
                                        "3:10 \"\\n\\t\"\n"
                                        "4:2 <\\xE8>\n"
                                        "4:5 \"x\"\n"
                                        "4:6 </\\xE8>\n"
                                        "4:10 \"\\n\"\n"
                                        "5:1 </a>\n"
                                        "6:1 fine nonCRLF=0\n");
}

} // namespace
} // namespace xml
