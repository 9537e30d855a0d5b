#include "tests/supporto/esportazione.h"

#include "tests/supporto/cartella_temporanea.h"

#include <algorithm>

namespace shell::test {

std::string Esportazione(const std::vector<std::string>& righe) {
    std::string testo;
    for (const auto& riga : righe)
        testo += riga + "\r\n";
    return testo;
}

std::string Tabulato(const std::vector<std::string>& colonne) {
    std::string riga;
    for (std::size_t i = 0; i < colonne.size(); ++i)
        riga += (i ? "\t" : "") + colonne[i];
    return riga;
}

std::vector<std::string> FileVisibili(const std::filesystem::path& cartella) {
    std::vector<std::string> nomi;
    if (std::filesystem::exists(cartella))
        for (const auto& voce : std::filesystem::directory_iterator(cartella))
            if (!Nascosto(voce.path()))
                nomi.push_back(voce.path().filename().string());
    std::sort(nomi.begin(), nomi.end());
    return nomi;
}

} // namespace shell::test
