// The one value read of a document before the rest: found at its path, whatever comes after it.

#include "xml/primo_testo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace xml {
namespace {

std::optional<std::string> Primo(std::string documento) {
    static constexpr std::string_view Percorso[] = {"R", "A", "C"};
    std::size_t letti = 0;
    return PrimoTesto(
        [&](char* dove, std::size_t quanti) {
            const std::size_t n = std::min(quanti, documento.size() - letti);
            std::copy_n(documento.data() + letti, n, dove);
            letti += n;
            return n;
        },
        Percorso);
}

TEST(PrimoTesto, IlTestoDelPrimoElementoAlSuoPercorso) {
    struct Caso {
        const char* documento;
        std::optional<std::string> atteso;
    };
    const Caso casi[] = {
        {"<R><A><C>123</C></A></R>", "123"},
        {"<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<!-- x -->\r\n<R>\r\n\t<A>\r\n\t\t<C>123</C>", "123"},
        // the first one at the path: an earlier C elsewhere, a later A, references and CDATA read
        {"<R><C>0</C><B><A><C>1</C></A></B><A><D/><C>a&amp;<![CDATA[<b>]]>&#233;</C></A><A><C>2</C></A></R>",
         "a&<b>\xE9"},
        {"<R><A></A><A><C/></A></R>", ""},
        // what follows the value is not read: a document cut or damaged after it still tells it
        {"<R><A><C>123</C><<<", "123"},
        // none: another root, no such element, an element inside the value, damaged before its end
        {"<S><A><C>123</C></A></S>", std::nullopt},
        {"<R><A><B>123</B></A></R>", std::nullopt},
        {"<R><A><C>1<x/>2</C></A></R>", "12"},
        {"<R><A><C>12", std::nullopt},
        {"<R><A><C>1&bad;2</C></A></R>", std::nullopt},
        {"ciao", std::nullopt},
        {"", std::nullopt},
    };
    for (const Caso& caso : casi)
        EXPECT_EQ(Primo(caso.documento), caso.atteso) << caso.documento;
}

} // namespace
} // namespace xml
