// The INPS documents described once for the writers and once for the checker, and tied here: every row of
// every table that the UniEmens and E-Mens writers write their documents with stands where the checker's
// grammar accepts it (the element among its parent's children, at its depth; its attributes among the
// node's, with the value the node expects; a fixed value the one the grammar holds it to; an element
// written only under a condition one that the grammar lets be missing), and every element that the
// grammar requires is one that a writer writes there.

#include "emens/voci_emens.h"
#include "formati/grammatiche_inps.h"
#include "uniemens/denuncia.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using formati::Grammatica;
using formati::Nodo;
using scrittura_xml::Da;
using scrittura_xml::Forma;
using scrittura_xml::Se;
using scrittura_xml::TabellaDelDocumento;
using scrittura_xml::Voce;
using scrittura_xml::tabelle::NomeTag;

struct Documento {
    const char* nome;
    std::span<const TabellaDelDocumento> tabelle;
    const Grammatica& grammatica;
    friend void PrintTo(const Documento& d, std::ostream* os) { *os << d.nome; }
};

// An element of the grammar, as the tables reach it: its node and how its parent holds it.
struct Posto {
    int nodo;
    int minimo;
};

class Grammatiche : public testing::TestWithParam<Documento> {
protected:
    const Nodo& NodoDi(int nodo) const { return GetParam().grammatica.nodi[static_cast<std::size_t>(nodo)]; }

    // The child `nome` of the element at `pila` (the root when empty); none where the grammar has none.
    std::optional<Posto> Figlio(const std::vector<Posto>& pila, std::string_view nome) const {
        if (pila.empty()) {
            const int radice = GetParam().grammatica.radice;
            return NodoDi(radice).nome == nome ? std::optional(Posto{radice, 1}) : std::nullopt;
        }
        for (const formati::Figlio& f : NodoDi(pila.back().nodo).figli)
            if (NodoDi(f.nodo).nome == nome && f.estraneo.empty())
                return Posto{f.nodo, f.minimo};
        return std::nullopt;
    }

    std::string Percorso(const std::vector<Posto>& pila, std::string_view nome) const {
        std::string percorso;
        for (const Posto& p : pila)
            percorso.append(NodoDi(p.nodo).nome).append("/");
        return percorso.append(nome);
    }
};

// Splits a tag of a table ("DenunciaIndividuale Elimina=\"S\"", "MesePrecedente TipoConsolidamento") into
// its attribute's name and the value the tag itself gives it (none: the row's value gives it).
std::pair<std::string_view, std::optional<std::string_view>> Attributo(std::string_view tag) {
    const auto spazio = tag.find(' ');
    if (spazio == std::string_view::npos)
        return {};
    std::string_view attributo = tag.substr(spazio + 1);
    const auto uguale = attributo.find('=');
    if (uguale == std::string_view::npos)
        return {attributo, std::nullopt};
    return {attributo.substr(0, uguale), attributo.substr(uguale + 2, attributo.size() - uguale - 3)};
}

TEST_P(Grammatiche, OgniRigaDegliScrittoriStaDoveLaGrammaticaLaAccetta) {
    std::set<std::string> scritti;
    for (const TabellaDelDocumento& tabella : GetParam().tabelle) {
        // The elements open above the table, by its path.
        std::vector<Posto> pila;
        for (std::string_view resto = tabella.padre; !resto.empty();) {
            const auto barra = resto.find('/');
            const auto figlio = Figlio(pila, resto.substr(0, barra));
            ASSERT_TRUE(figlio) << tabella.padre;
            pila.push_back(*figlio);
            resto = barra == std::string_view::npos ? std::string_view() : resto.substr(barra + 1);
        }
        // The conditions under which the elements of the table that are open were written.
        std::vector<scrittura_xml::Condizione> condizioni;
        const std::span<const Voce> voci = tabella.voci;
        // An opening of the element just opened (with its attribute, under the opposite condition):
        // together they are always written.
        const auto alternative = [&](std::size_t i, std::size_t j) {
            return i < voci.size() && j < voci.size() && voci[i].forma == Forma::Apri && voci[j].forma == Forma::Apri &&
                   NomeTag(voci[i].tag) == NomeTag(voci[j].tag);
        };
        for (std::size_t i = 0; i < voci.size(); ++i) {
            const Voce& voce = voci[i];
            const std::string_view nome = NomeTag(voce.tag);
            const std::string dove = std::string(tabella.padre) + ": " + std::string(voce.tag);
            if (voce.forma == Forma::Propria || voce.forma == Forma::Sospeso)
                continue; // written by the table that follows it, or by the previous month's table
            if (voce.forma == Forma::Chiudi && voce.profondita == static_cast<int>(pila.size())) {
                // The closing of an element that an earlier table opened under the table's parent.
                EXPECT_TRUE(Figlio(pila, nome)) << dove;
                continue;
            }
            if (voce.forma == Forma::Chiudi) {
                ASSERT_FALSE(pila.empty()) << dove;
                EXPECT_EQ(NodoDi(pila.back().nodo).nome, nome) << dove;
                EXPECT_EQ(voce.profondita, static_cast<int>(pila.size()) - 1) << dove;
                pila.pop_back();
                if (!condizioni.empty())
                    condizioni.pop_back();
                continue;
            }
            if (i == 0 || !alternative(i - 1, i)) {
                const auto posto = Figlio(pila, nome);
                ASSERT_TRUE(posto) << dove << ": la grammatica non ha questo elemento qui";
                EXPECT_EQ(voce.profondita, static_cast<int>(pila.size())) << dove;
                const auto quando = alternative(i, i + 1) ? scrittura_xml::Condizione{Se::Sempre} : voce.quando;
                // A condition of its own, not its parent's: the grammar lets the element be missing.
                if (quando.se != Se::Sempre && (condizioni.empty() || !(condizioni.back() == quando))) {
                    EXPECT_EQ(posto->minimo, 0) << dove << ": scritto solo a una condizione, ma obbligatorio";
                }
                scritti.insert(Percorso(pila, nome));
                if (voce.forma == Forma::Apri) {
                    pila.push_back(*posto);
                    condizioni.push_back(quando);
                }
            }
            const Nodo& nodo = NodoDi(voce.forma == Forma::Apri ? pila.back().nodo : Figlio(pila, nome)->nodo);
            if (const auto [attributo, valore] = Attributo(voce.tag); !attributo.empty()) {
                const auto atteso = std::find_if(nodo.attributi.begin(), nodo.attributi.end(),
                                                 [&](const auto& a) { return a.nome == attributo; });
                ASSERT_NE(atteso, nodo.attributi.end()) << dove << ": attributo sconosciuto alla grammatica";
                const std::string_view scritto = valore ? *valore : voce.valore.fisso;
                if (!atteso->valore.empty()) {
                    EXPECT_EQ(scritto, atteso->valore) << dove;
                }
            }
            if (voce.forma == Forma::Elemento && (voce.valore.da == Da::Fisso || !nodo.fisso.empty())) {
                EXPECT_EQ(voce.valore.da == Da::Fisso ? voce.valore.fisso : std::string_view(), nodo.fisso)
                    << dove << ": il valore fisso dello scrittore e della grammatica";
            }
        }
    }
    // Every element that the grammar requires, wherever the grammar can reach, is written there.
    std::vector<std::pair<int, std::string>> daVedere = {
        {GetParam().grammatica.radice, std::string(NodoDi(GetParam().grammatica.radice).nome)}};
    while (!daVedere.empty()) {
        const auto [nodo, percorso] = daVedere.back();
        daVedere.pop_back();
        for (const formati::Figlio& f : NodoDi(nodo).figli) {
            if (!f.estraneo.empty())
                continue;
            const std::string figlio = percorso + "/" + std::string(NodoDi(f.nodo).nome);
            if (f.minimo > 0) {
                EXPECT_TRUE(scritti.count(figlio)) << figlio << ": obbligatorio, ma nessuno scrittore lo scrive";
            }
            daVedere.emplace_back(f.nodo, figlio);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Documenti, Grammatiche,
    testing::Values(Documento{"uniemens", uniemens::TabelleDelDocumento(), formati::inps::GrammaticaUniemens()},
                    Documento{"emens", emens::TabelleDelDocumento, formati::inps::GrammaticaEmens()}),
    [](const testing::TestParamInfo<Documento>& info) { return std::string(info.param.nome); });

} // namespace
