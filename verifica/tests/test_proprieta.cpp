// Properties over generated exports: the supplies that the real converters write from them check without
// error, and a byte of a record changed where the layout leaves no choice (a literal, spaces, zeros, a
// number, a date, a count, the end mark, the code of a field) is found on that record; in the XML documents,
// a byte of a tag's name, of a fixed value, of a number or a date, or of the TABs before a tag.

#include "tests/supporto/cartella_temporanea.h"
#include "shell/conversioni.h"
#include "dma/record_dma.h"
#include "shell/esportazione.h"
#include "verifica/fornitura_letta.h"
#include "verifica/tests/supporto_fornitura.h"
#include "tests/supporto/processo.h"
#include "conv770/record770.h"
#include "tfr/record_tfr.h"
#include "uniemens/campi.h"
#include "scrittura_xml/riga_inps.h"
#include "shell/testo.h"
#include "formati/verifica.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace verifica {

using formati::VerificaTesto;
using lettura::Destinatario;
using lettura::Esito;
using lettura::ImportoItaliano;
using lettura::NomeGravita;
using lettura::Opzioni;
using lettura::Persona;
using lettura::Rilievo;
using lettura::SchemaDistinta;

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;

struct Raccolta : Destinatario {
    void Segnala(const Rilievo& r) override { rilievi.push_back(r); }
    std::vector<Rilievo> rilievi;
};

struct Caso {
    const char* comando;
    const tracciati::Tracciato& (*tracciato)();
};

const Caso Casi[] = {
    {"770", conv770::Tracciato770},
    {"dma", dma::TracciatoDMA},
    {"tfr", tfr::TracciatoTFR},
};

// The supply that the converter writes from a generated export of `righe` lines; its path into `percorso`.
std::string Genera(const CartellaTemporanea& cartella, const std::string& comando, int righe, int seme,
                   fs::path* percorso = nullptr) {
    const fs::path esportazione = cartella / ("esportazione-" + std::to_string(seme));
    const fs::path archivio = cartella / ("archivio-" + std::to_string(seme));
    auto esito = EseguiProcesso(
        GENERATORE_EXE, {comando, std::to_string(righe), shell::test::Argomento(esportazione), std::to_string(seme)},
        cartella / "gen.out", cartella / "gen.err");
    EXPECT_EQ(esito.stato, 0) << esito.err;
    esito = EseguiProcesso(FORNITURA_EXE,
                           {comando, "--dir", shell::test::Argomento(esportazione), "--archive",
                            shell::test::Argomento(archivio), "--now", "2011-06-14T09:05:07"},
                           cartella / "conv.out", cartella / "conv.err");
    EXPECT_EQ(esito.stato, 0) << esito.err;
    for (const auto& voce : fs::directory_iterator(archivio))
        if (!voce.path().filename().string().starts_with(".")) {
            if (percorso)
                *percorso = voce.path();
            return LeggiFile(voce.path());
        }
    return {};
}

std::string Testo(const std::vector<Rilievo>& rilievi) {
    std::string testo;
    for (const Rilievo& r : rilievi)
        testo += std::to_string(r.riga) + ":" + std::to_string(r.colonna) + " " + NomeGravita(r.gravita) + ": " +
                 r.messaggio + "\n";
    return testo;
}

class Generate : public testing::TestWithParam<const char*> {};

TEST_P(Generate, SenzaErrori) {
    CartellaTemporanea cartella;
    for (const int seme : {1, 2, 3}) {
        Raccolta raccolta;
        const Esito esito = VerificaTesto(Genera(cartella, GetParam(), 300, seme), {}, raccolta);
        EXPECT_EQ(esito.errori, 0) << GetParam() << ", seme " << seme << ":\n" << Testo(raccolta.rilievi);
        // The generator makes each person's tax code from its data: the checker finds nothing to say of it.
        for (const Rilievo& r : raccolta.rilievi)
            EXPECT_EQ(r.messaggio.find("codice fiscale"), std::string::npos)
                << GetParam() << ", seme " << seme << ": " << r.messaggio;
        EXPECT_GE(esito.persone, 300 / 3) << GetParam();
    }
}

// A comparison of supplies read with keys and fingerprints only says what one of supplies read with every
// listing value says: persons of other exports, and an export's persons with more after them.
TEST_P(Generate, ConfrontoSenzaValoriComeConIValori) {
    CartellaTemporanea cartella;
    fs::path primo, altro, piuLungo;
    Genera(cartella, GetParam(), 30, 3, &primo);
    Genera(cartella, GetParam(), 30, 4, &altro);
    Genera(cartella, GetParam(), 40, 5, &piuLungo);
    for (const auto& [a, b] : {std::pair(primo, altro), std::pair(altro, primo), std::pair(primo, piuLungo)})
        EXPECT_NE(test::ConfrontoInDueModi(a, b).find("Persone aggiunte"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Forniture, Generate, testing::Values("770", "dma", "tfr", "uniemens", "emens"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "770" ? std::string("c770") : std::string(info.param);
                         });

class Proprieta : public testing::TestWithParam<Caso> {};

// The pieces whose every byte the layout fixes or limits: a different byte there breaks the piece.
bool Chiuso(const tracciati::Pezzo& pezzo) {
    switch (pezzo.genere.comune) {
    case tracciati::Comune::Letterale:
    case tracciati::Comune::Spazi:
    case tracciati::Comune::Zeri:
    case tracciati::Comune::N:
    case tracciati::Comune::DT:
    case tracciati::Comune::Contatore:
    case tracciati::Comune::Fine:
        return true;
    default:
        return false;
    }
}

TEST_P(Proprieta, DannoTrovatoSulSuoRecord) {
    CartellaTemporanea cartella;
    const std::string fornitura = Genera(cartella, GetParam().comando, 60, 7);
    std::vector<std::size_t> inizi{0};
    for (std::size_t i = fornitura.find("\r\n"); i != std::string::npos; i = fornitura.find("\r\n", i + 2))
        inizi.push_back(i + 2);
    inizi.pop_back(); // after the last line end
    const tracciati::Tracciato& tracciato = GetParam().tracciato();
    std::mt19937 caso(20261208);
    int danni = 0;
    for (int prova = 0; danni < 150 && prova < 5000; ++prova) {
        const std::size_t riga = caso() % inizi.size();
        const std::size_t inizio = inizi[riga];
        const std::string_view record(fornitura.data() + inizio, fornitura.find("\r\n", inizio) - inizio);
        tracciati::RecordLetto letto;
        letto.Leggi(record, tracciato.Tabella(record.front()), tracciato.gancio);
        // A byte of a closed piece, or of the code of a field of the area.
        const std::size_t posizione = caso() % record.size();
        bool scelto = false;
        for (const tracciati::PezzoLetto& p : letto.Pezzi()) {
            const auto da = static_cast<std::size_t>(p.pezzo->posizione - 1);
            if (posizione < da || posizione >= da + static_cast<std::size_t>(p.pezzo->lunghezza))
                continue;
            if (Chiuso(*p.pezzo))
                scelto = true;
            else if (p.pezzo->genere == tracciati::Comune::Area) {
                const std::size_t nelBlocco = (posizione - da) % tracciati::LunghezzaBlocco;
                const std::size_t blocco = posizione - (posizione - da) % tracciati::LunghezzaBlocco;
                scelto = nelBlocco < tracciati::LunghezzaCodice && record.substr(blocco, 1) != " ";
            }
        }
        if (!scelto)
            continue;
        ++danni;
        std::string danneggiata = fornitura;
        char& byte = danneggiata[inizio + posizione];
        byte = byte == 'x' ? '#' : 'x';
        Raccolta raccolta;
        VerificaTesto(danneggiata, {}, raccolta);
        const long numero = static_cast<long>(riga) + 1;
        EXPECT_TRUE(std::any_of(raccolta.rilievi.begin(), raccolta.rilievi.end(),
                                [&](const Rilievo& r) { return r.riga == numero; }))
            << GetParam().comando << ": riga " << numero << ", posizione " << posizione + 1 << " ('"
            << fornitura[inizio + posizione] << "' diventa '" << byte << "'):\n"
            << Testo(raccolta.rilievi);
    }
    EXPECT_EQ(danni, 150);
}

// Export -> supply -> listing: per person, the listing gives back the export's values that the supply keeps
// (texts to their field's length without trailing blanks, dates, whole amounts).
struct Confronto {
    int colonnaListino;
    int colonnaEsportazione;
    enum Come { Testo, Data, ImportoIntero, Numero } come;
    int lunghezza; // of the field that keeps a text
};

std::string Atteso(std::string_view colonna, const Confronto& c) {
    switch (c.come) {
    case Confronto::Testo: {
        std::string testo(colonna.substr(0, static_cast<std::size_t>(c.lunghezza)));
        while (!testo.empty() && testo.back() == ' ')
            testo.pop_back();
        return testo;
    }
    case Confronto::Data: {
        const auto data = shell::LeggiData(colonna);
        return data ? shell::DataItaliana(*data) : std::string();
    }
    case Confronto::ImportoIntero: {
        const auto importo = shell::ValoreNumerico(colonna);
        return importo && *importo != 0 ? ImportoItaliano(std::floor(*importo), 0) : std::string();
    }
    case Confronto::Numero:
        return std::to_string(
            static_cast<long long>(shell::ArrotondaAlPari(shell::ValoreSemplice(colonna).value_or(0))));
    }
    return {};
}

struct AndataERitorno {
    const char* comando;
    const char* esportazione;
    shell::Preparazione preparazione;
    int chiave; // the column that begins a person: each line (770, DMA) or a run of lines with the same key (TFR)
    std::vector<Confronto> confronti;
};

// clang-format off
const AndataERitorno Ritorni[] = {
    {"770", "Esportazione770.tab", shell::Preparazione::Maiuscolo, -1, {
        {0, 20, Confronto::Testo, 16}, {1, 21, Confronto::Testo, 1000}, {2, 22, Confronto::Testo, 1000},
        {5, 23, Confronto::Testo, 1000}, {6, 24, Confronto::Data, 0}, {7, 25, Confronto::Testo, 1000},
        {14, 41, Confronto::ImportoIntero, 0}, {18, 46, Confronto::ImportoIntero, 0},
        {17, 43, Confronto::ImportoIntero, 0}}},
    {"dma", "EsportazioneINPDAP.tab", shell::Preparazione::MaiuscoloSenzaSpazi, -1, {
        {0, 31, Confronto::Testo, 16}, {1, 32, Confronto::Testo, 1000}, {2, 33, Confronto::Testo, 1000},
        {4, 34, Confronto::Testo, 1000}, {5, 35, Confronto::Data, 0}, {6, 36, Confronto::Testo, 1000},
        {7, 37, Confronto::Testo, 1000}, {9, 39, Confronto::Numero, 0}, {13, 43, Confronto::Testo, 1000}}},
    {"tfr", "EsportazioneTFR.tab", shell::Preparazione::MaiuscoloSenzaSpazi, 13, {
        {0, 13, Confronto::Testo, 16}, {1, 14, Confronto::Testo, 26}, {2, 15, Confronto::Testo, 26},
        {6, 24, Confronto::Data, 0}}},
};
// clang-format on

class RitornoDallaDistinta : public testing::TestWithParam<AndataERitorno> {};

TEST_P(RitornoDallaDistinta, ValoriDellEsportazione) {
    const AndataERitorno& r = GetParam();
    CartellaTemporanea cartella;
    fs::path fornitura;
    Genera(cartella, r.comando, 200, 11, &fornitura);
    const FornituraLetta letta = LeggiFornitura(fornitura);
    const auto esportazione = shell::Esportazione::Leggi(cartella / "esportazione-11" / r.esportazione);
    std::size_t persona = 0;
    std::string chiavePrecedente = "\n"; // no key
    for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
        const shell::RigaEsportazione riga(static_cast<int>(i) + 1, esportazione.Riga(i), r.preparazione);
        if (r.chiave >= 0) {
            if (std::string(riga[r.chiave]) == chiavePrecedente)
                continue; // the same person's next line
            chiavePrecedente = riga[r.chiave];
        }
        ASSERT_LT(persona, letta.persone.size()) << r.comando;
        const Persona& p = letta.persone[persona++];
        for (const Confronto& c : r.confronti)
            EXPECT_EQ(p.valori[static_cast<std::size_t>(c.colonnaListino)], Atteso(riga[c.colonnaEsportazione], c))
                << r.comando << ", riga " << i + 1 << ", colonna " << c.colonnaEsportazione << " -> "
                << letta.schema->colonne[static_cast<std::size_t>(c.colonnaListino)].nome;
    }
    EXPECT_EQ(persona, letta.persone.size()) << r.comando;
}

INSTANTIATE_TEST_SUITE_P(Forniture, RitornoDallaDistinta, testing::ValuesIn(Ritorni),
                         [](const testing::TestParamInfo<AndataERitorno>& info) {
                             return std::string(info.param.comando) == "770" ? std::string("c770")
                                                                             : std::string(info.param.comando);
                         });

INSTANTIATE_TEST_SUITE_P(Forniture, Proprieta, testing::ValuesIn(Casi), [](const testing::TestParamInfo<Caso>& info) {
    return std::string(info.param.comando) == "770" ? std::string("c770") : std::string(info.param.comando);
});

} // namespace
} // namespace verifica

namespace verifica {
namespace {

// The elements whose value the grammar fixes: a fixed text, a number, a date, S or N.
const std::vector<std::string_view> ValoriChiusi = {
    "TipoContribuzione",
    "Cittadinanza",
    "CodiceContratto",
    "NumMensilita",
    "TipoLavoratore",
    "TrattQuotaLav",
    "Imponibile",
    "Contributo",
    "RetribTeorica",
    "NumLavoratori",
    "ForzaAziendale",
    "NumDenIndiv",
    "TotaleADebito",
    "TotaleACredito",
    "Lavorato",
    "AnnoMeseDenuncia",
    "Dal",
    "Al",
};

struct DannoXml {
    std::size_t posizione; // in the line
    char byte;
};

// The bytes of an XML line that the grammar leaves no room for, each with what it becomes: a letter of a
// tag's name, a character of a closed value (a digit becomes a letter, a letter another one), a TAB
// before the tag.
std::vector<DannoXml> Danneggiabili(std::string_view riga) {
    std::vector<DannoXml> danni;
    const auto lettera = [](char c) { return c == 'q' ? 'z' : 'q'; };
    std::size_t i = 0;
    for (; i < riga.size() && riga[i] == '\t'; ++i)
        danni.push_back({i, ' '});
    while (i < riga.size()) {
        if (riga[i] != '<') {
            ++i;
            continue;
        }
        const std::size_t nome = i + (riga.substr(i, 2) == "</" ? 2 : 1);
        const std::size_t fineNome = riga.find_first_of(" >/", nome);
        if (fineNome == std::string_view::npos)
            break;
        for (std::size_t k = nome; k < fineNome; ++k)
            if (std::isalpha(static_cast<unsigned char>(riga[k])))
                danni.push_back({k, lettera(riga[k])});
        const std::string_view elemento = riga.substr(nome, fineNome - nome);
        const std::size_t chiude = riga.find('>', fineNome);
        if (chiude == std::string_view::npos)
            break;
        if (nome == i + 1 && std::find(ValoriChiusi.begin(), ValoriChiusi.end(), elemento) != ValoriChiusi.end()) {
            for (std::size_t k = chiude + 1; k < riga.size() && riga[k] != '<'; ++k)
                danni.push_back({k, std::isdigit(static_cast<unsigned char>(riga[k])) ? 'x' : lettera(riga[k])});
        }
        i = chiude + 1;
    }
    return danni;
}

class ProprietaXml : public testing::TestWithParam<const char*> {};

TEST_P(ProprietaXml, DannoTrovatoSullaSuaRiga) {
    CartellaTemporanea cartella;
    const std::string documento = Genera(cartella, GetParam(), 60, 7);
    std::vector<std::size_t> inizi{0};
    for (std::size_t i = documento.find("\r\n"); i != std::string::npos; i = documento.find("\r\n", i + 2))
        inizi.push_back(i + 2);
    inizi.pop_back(); // after the last line end
    std::mt19937 caso(20261209);
    int danni = 0;
    for (int prova = 0; danni < 150 && prova < 5000; ++prova) {
        const std::size_t riga = 1 + caso() % (inizi.size() - 1); // not the declaration
        const std::size_t inizio = inizi[riga];
        const std::string_view testo(documento.data() + inizio, documento.find("\r\n", inizio) - inizio);
        const auto possibili = Danneggiabili(testo);
        if (possibili.empty())
            continue;
        const DannoXml danno = possibili[caso() % possibili.size()];
        ++danni;
        std::string danneggiato = documento;
        danneggiato[inizio + danno.posizione] = danno.byte;
        Raccolta raccolta;
        VerificaTesto(danneggiato, {}, raccolta);
        const long numero = static_cast<long>(riga) + 1;
        EXPECT_TRUE(std::any_of(raccolta.rilievi.begin(), raccolta.rilievi.end(),
                                [&](const Rilievo& r) { return r.riga == numero; }))
            << GetParam() << ": riga " << numero << " '" << testo << "', posizione " << danno.posizione + 1
            << " diventa '" << danno.byte << "':\n"
            << Testo(raccolta.rilievi);
    }
    EXPECT_EQ(danni, 150);
}

INSTANTIATE_TEST_SUITE_P(Documenti, ProprietaXml, testing::Values("uniemens", "emens"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

} // namespace
} // namespace verifica

namespace verifica {
namespace {

// The fields of an export line, upper-cased as the converters prepare them.
std::vector<std::string> Campi(std::string_view riga) {
    std::vector<std::string> campi;
    for (std::size_t inizio = 0;;) {
        const auto tab = riga.find('\t', inizio);
        campi.push_back(shell::Maiuscolo(riga.substr(inizio, tab == std::string_view::npos ? tab : tab - inizio)));
        if (tab == std::string_view::npos)
            return campi;
        inizio = tab + 1;
    }
}

bool Vuoto(std::string_view testo) { return shell::TogliSpazi(testo).empty(); }
double Numero(std::string_view testo) { return scrittura_xml::NumeroIniziale(testo).value_or(0); }

// The items of a list column, split at the group separator.
std::vector<std::string> Elementi(const std::string& campo) {
    std::vector<std::string> elementi;
    if (campo.empty())
        return elementi;
    std::size_t inizio = 0;
    for (auto fine = campo.find('\x1D'); fine != std::string::npos; fine = campo.find('\x1D', inizio)) {
        elementi.push_back(campo.substr(inizio, fine - inizio));
        inizio = fine + 1;
    }
    elementi.push_back(campo.substr(inizio));
    return elementi;
}

// The listing of a document the converter wrote from a generated export gives back, person by person and in
// the order of the document (the reports, then the collaborators), the export's values that the document
// keeps: identity, qualification, weeks, paid days, deletion, worked days, the previous month's block that
// joins the report after it, the collaborator's relationship, rate and period.
class DistintaXml : public testing::TestWithParam<const char*> {};

TEST_P(DistintaXml, ValoriDellEsportazione) {
    const std::string comando = GetParam();
    const bool uniemens = comando == "uniemens";
    CartellaTemporanea cartella;
    const std::string documento = Genera(cartella, comando, 300, 11);
    const std::string esportazione = LeggiFile(cartella / "esportazione-11" / "EsportazioneINPS.tab");
    FornituraLetta letta;
    Opzioni opzioni;
    opzioni.persone = true;
    letta.esito = VerificaTesto(documento, opzioni, letta);
    ASSERT_EQ(letta.esito.errori, 0);
    const SchemaDistinta& schema = *letta.schema;
    const auto colonna = [&](std::string_view nome) {
        for (std::size_t i = 0; i < schema.colonne.size(); ++i)
            if (schema.colonne[i].nome == nome)
                return i;
        throw std::runtime_error("colonna " + std::string(nome));
    };
    struct Attesa {
        int genere;
        std::vector<std::string> campi;
        std::string mese; // OrarioContrattuale of the previous month's block that joins it
    };
    std::vector<Attesa> dipendenti, collaboratori;
    std::string inSospeso;
    std::istringstream righe(esportazione);
    for (std::string riga; std::getline(righe, riga);) {
        if (!riga.empty() && riga.back() == '\r')
            riga.pop_back();
        const auto c = Campi(riga);
        const bool attuale = c.at(29) == "ATTUALE";
        if (!attuale && (!uniemens || Numero(c[24]) != 0)) {
            inSospeso = c.at(41);
            continue;
        }
        if (Numero(c.at(24)) == 0)
            continue;
        if (c.at(30) == "DIPENDENTE") {
            dipendenti.push_back({0, c, inSospeso});
            inSospeso.clear();
        } else {
            collaboratori.push_back({1, c, {}});
        }
    }
    // Some reports with a previous month's block, some without; and collaborators.
    EXPECT_GT(std::count_if(dipendenti.begin(), dipendenti.end(), [](const Attesa& a) { return !a.mese.empty(); }), 5);
    EXPECT_GT(std::count_if(dipendenti.begin(), dipendenti.end(), [](const Attesa& a) { return a.mese.empty(); }), 5);
    EXPECT_GT(collaboratori.size(), 5u);
    std::vector<Attesa> attese = dipendenti;
    attese.insert(attese.end(), collaboratori.begin(), collaboratori.end());
    ASSERT_EQ(letta.persone.size(), attese.size());
    for (std::size_t i = 0; i < attese.size(); ++i) {
        const Persona& p = letta.persone[i];
        const auto& c = attese[i].campi;
        const auto valore = [&](std::string_view nome) { return p.valori.at(colonna(nome)); };
        SCOPED_TRACE("persona " + std::to_string(i) + " " + c[10]);
        EXPECT_EQ(p.genere, attese[i].genere);
        EXPECT_EQ(p.chiave, c[10]);
        EXPECT_EQ(valore("codice fiscale"), c[10]);
        EXPECT_EQ(valore("cognome"), shell::TogliSpazi(c[11]));
        EXPECT_EQ(valore("nome"), shell::TogliSpazi(c[12]));
        if (p.genere == 0) {
            EXPECT_EQ(valore("Qualifica1"), shell::TogliSpazi(c[13]));
            std::string settimane;
            for (const std::string& s : Elementi(c[25])) {
                const auto chiocciola = s.find('@');
                if (!settimane.empty())
                    settimane += ' ';
                settimane.append(s, 0, chiocciola).append(1, ':').append(s, chiocciola + 1);
            }
            EXPECT_EQ(valore("settimane"), settimane);
            EXPECT_EQ(valore("GiorniRetribuiti"), Numero(c[27]) != 0 ? std::string(shell::TogliSpazi(c[27])) : "");
            EXPECT_EQ(valore("Elimina"), Vuoto(c[39]) ? "" : "S");
            EXPECT_EQ(valore("mese precedente").find("OrarioContrattuale " + attese[i].mese) != std::string::npos,
                      !attese[i].mese.empty())
                << valore("mese precedente");
            if (uniemens) {
                const auto giorni = Elementi(c.size() > 45 ? c[45] : "");
                const int d = uniemens::GiorniDelMese(static_cast<int>(Numero(c[7])), static_cast<int>(Numero(c[8])));
                EXPECT_EQ(
                    valore("giorni lavorati"),
                    std::to_string(std::count(giorni.begin(), giorni.begin() + std::min<long>(d, giorni.size()), "S")));
            }
        } else {
            EXPECT_EQ(valore("TipoRapporto"), shell::TogliSpazi(c[33]));
            EXPECT_EQ(valore("Aliquota"), shell::TogliSpazi(c[35]));
            EXPECT_EQ(valore("Dal"), shell::TogliSpazi(c[37]));
            EXPECT_EQ(valore("Al"), shell::TogliSpazi(c[38]));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Documenti, DistintaXml, testing::Values("uniemens", "emens"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

} // namespace
} // namespace verifica
