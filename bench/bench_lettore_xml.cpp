// bench_lettore_xml DOCUMENTO: reads an XML document to its end with the checker's reader, as the
// checker will (from the file, in blocks), and prints how many events it gave; for scripts/bench.sh, which times it
// beside cat and takes its peak memory.

#include "xml/lettore_xml.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Uso: bench_lettore_xml DOCUMENTO\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "bench_lettore_xml: impossibile aprire " << argv[1] << "\n";
        return 3;
    }
    xml::LettoreXML lettore(file);
    long long eventi = 0;
    try {
        for (xml::Evento evento; (evento = lettore.Prossimo()) != xml::Evento::FineDocumento;) {
            ++eventi;
        }
    } catch (const xml::ErroreXML& e) {
        std::cerr << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    std::cout << eventi << " eventi, " << lettore.Riga() << " righe\n";
    return 0;
}
