// Fuzzing the checker's XML reader: any bytes in, a document read to its end or refused with an
// ErroreXML, never a crash, a hang or another exception. On the way it must keep its promises: the
// elements nest, each end names its start, texts are never empty, places never go back; it reads the
// same whether the bytes come whole or in small pieces; after an error it says the same error again;
// and it accepts and refuses what libxml2 accepts and refuses, reading the same elements, attributes
// and texts, except where the two differ on purpose (oracolo_libxml2.h).

#include "xml/tests/eventi_xml.h"
#include "xml/lettore_xml.h"
#include "xml/tests/oracolo_libxml2.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace test = xml::test;

void Verifica(bool condizione) {
    if (!condizione)
        std::abort();
}

void MantienePromesse(std::string_view documento) {
    xml::LettoreXML lettore(test::FonteTesto(documento));
    std::vector<std::string> aperti;
    std::pair<std::int64_t, std::int64_t> prima{1, 1};
    const auto avanti = [&](std::int64_t riga, std::int64_t colonna) {
        Verifica(riga >= 1 && colonna >= 1);
        Verifica(std::pair(riga, colonna) >= prima);
        prima = {riga, colonna};
    };
    try {
        for (;;) {
            const xml::Evento evento = lettore.Prossimo();
            avanti(lettore.Riga(), lettore.Colonna());
            switch (evento) {
            case xml::Evento::InizioElemento:
                Verifica(!lettore.Nome().empty());
                aperti.emplace_back(lettore.Nome());
                for (const xml::Attributo& a : lettore.Attributi())
                    Verifica(!a.nome.empty() && std::pair(a.riga, a.colonna) >= prima);
                break;
            case xml::Evento::FineElemento:
                Verifica(!aperti.empty() && aperti.back() == lettore.Nome());
                aperti.pop_back();
                break;
            case xml::Evento::Testo:
                Verifica(!lettore.Testo().empty() && !aperti.empty());
                break;
            case xml::Evento::FineDocumento:
                Verifica(aperti.empty());
                Verifica(lettore.Prossimo() == xml::Evento::FineDocumento);
                return;
            }
            Verifica(lettore.Profondita() == static_cast<int>(aperti.size()));
        }
    } catch (const xml::ErroreXML& e) {
        avanti(e.Riga(), e.Colonna());
        try {
            lettore.Prossimo();
            std::abort();
        } catch (const xml::ErroreXML& ancora) {
            Verifica(std::string(ancora.what()) == e.what());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    const std::string_view documento(reinterpret_cast<const char*>(dati), dimensione);
    MantienePromesse(documento);
    Verifica(test::ElencaEventi(documento, 1 + dimensione % 13) == test::ElencaEventi(documento));
    if (!test::DaLasciareFuori(documento)) {
        const test::Lettura nostra = test::LeggiConIlLettore(documento);
        const test::Lettura loro = test::LeggiConLibxml2(documento);
        Verifica(nostra.accettato == loro.accettato);
        Verifica(!nostra.accettato || nostra.contenuto == loro.contenuto);
    }
    return 0;
}
