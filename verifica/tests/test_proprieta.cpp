// Properties over generated exports: the supplies that the real converters write from them check without
// error, and a byte of a record changed where the layout leaves no choice (a literal, spaces, zeros, a
// number, a date, a count, the end mark, the code of a field) is found on that record; in the XML documents,
// a byte of a tag's name, of a fixed value, of a number or a date, or of the TABs before a tag.

#include "cartella_temporanea.h"
#include "dma/record_dma.h"
#include "processo.h"
#include "record770.h"
#include "tfr/record_tfr.h"
#include "verifica.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace verifica {
namespace {

namespace fs = std::filesystem;
namespace fields = conv770::fields;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;

struct Raccolta : Destinatario {
    void Segnala(const Rilievo& r) override { rilievi.push_back(r); }
    std::vector<Rilievo> rilievi;
};

struct Caso {
    const char* comando;
    const fields::Tracciato& (*tracciato)();
};

const Caso Casi[] = {
    {"770", conv770::Tracciato770},
    {"dma", dma::TracciatoDMA},
    {"tfr", tfr::TracciatoTFR},
};

// The supply that the converter writes from a generated export of `righe` lines.
std::string Genera(const CartellaTemporanea& cartella, const std::string& comando, int righe, int seme) {
    const fs::path esportazione = cartella / ("esportazione-" + std::to_string(seme));
    const fs::path archivio = cartella / ("archivio-" + std::to_string(seme));
    auto esito = EseguiProcesso(GENERATORE_EXE, {comando, std::to_string(righe), shell::test::Argomento(esportazione),
                                                 std::to_string(seme)},
                                cartella / "gen.out", cartella / "gen.err");
    EXPECT_EQ(esito.stato, 0) << esito.err;
    esito = EseguiProcesso(FORNITURA_EXE,
                           {comando, "--dir", shell::test::Argomento(esportazione), "--archive",
                            shell::test::Argomento(archivio), "--now", "2011-06-14T09:05:07"},
                           cartella / "conv.out", cartella / "conv.err");
    EXPECT_EQ(esito.stato, 0) << esito.err;
    for (const auto& voce : fs::directory_iterator(archivio))
        if (!voce.path().filename().string().starts_with("."))
            return LeggiFile(voce.path());
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
        EXPECT_GE(esito.persone, 300 / 3) << GetParam();
    }
}

INSTANTIATE_TEST_SUITE_P(Forniture, Generate, testing::Values("770", "dma", "tfr", "uniemens", "emens"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "770" ? std::string("c770") : std::string(info.param);
                         });

class Proprieta : public testing::TestWithParam<Caso> {};

// The pieces whose every byte the layout fixes or limits: a different byte there breaks the piece.
bool Chiuso(const fields::Pezzo& pezzo) {
    switch (pezzo.genere.comune) {
    case fields::Comune::Letterale:
    case fields::Comune::Spazi:
    case fields::Comune::Zeri:
    case fields::Comune::N:
    case fields::Comune::DT:
    case fields::Comune::Contatore:
    case fields::Comune::Fine:
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
    const fields::Tracciato& tracciato = GetParam().tracciato();
    std::mt19937 caso(20261208);
    int danni = 0;
    for (int prova = 0; danni < 150 && prova < 5000; ++prova) {
        const std::size_t riga = caso() % inizi.size();
        const std::size_t inizio = inizi[riga];
        const std::string_view record(fornitura.data() + inizio, fornitura.find("\r\n", inizio) - inizio);
        fields::RecordLetto letto;
        letto.Leggi(record, tracciato.Tabella(record.front()), tracciato.gancio);
        // A byte of a closed piece, or of the code of a field of the area.
        const std::size_t posizione = caso() % record.size();
        bool scelto = false;
        for (const fields::PezzoLetto& p : letto.Pezzi()) {
            const auto da = static_cast<std::size_t>(p.pezzo->posizione - 1);
            if (posizione < da || posizione >= da + static_cast<std::size_t>(p.pezzo->lunghezza))
                continue;
            if (Chiuso(*p.pezzo))
                scelto = true;
            else if (p.pezzo->genere == fields::Comune::Area) {
                const std::size_t nelBlocco = (posizione - da) % fields::LunghezzaBlocco;
                const std::size_t blocco = posizione - (posizione - da) % fields::LunghezzaBlocco;
                scelto = nelBlocco < fields::LunghezzaCodice && record.substr(blocco, 1) != " ";
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

INSTANTIATE_TEST_SUITE_P(Forniture, Proprieta, testing::ValuesIn(Casi),
                         [](const testing::TestParamInfo<Caso>& info) { return std::string(info.param.comando) == "770" ? std::string("c770") : std::string(info.param.comando); });

} // namespace
} // namespace verifica

namespace verifica {
namespace {

// The elements whose value the grammar fixes: a fixed text, a number, a date, S or N.
const std::vector<std::string_view> ValoriChiusi = {
    "TipoContribuzione", "Cittadinanza",   "CodiceContratto", "NumMensilita", "TipoLavoratore",
    "TrattQuotaLav",     "Imponibile",     "Contributo",      "RetribTeorica", "NumLavoratori",
    "ForzaAziendale",    "NumDenIndiv",    "TotaleADebito",   "TotaleACredito", "Lavorato",
    "AnnoMeseDenuncia",  "Dal",            "Al",
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
