#pragma once
// A fresh folder for one test, removed with everything in it at the end.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace shell::test {

class CartellaTemporanea {
public:
    CartellaTemporanea() {
        std::random_device caso;
        m_percorso = std::filesystem::temp_directory_path() /
                     ("fornitura-test-" + std::to_string(caso()) + "-" + std::to_string(caso()));
        std::filesystem::create_directories(m_percorso);
    }
    ~CartellaTemporanea() {
        std::error_code ec;
        std::filesystem::remove_all(m_percorso, ec);
    }
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

    const std::filesystem::path& Percorso() const { return m_percorso; }
    std::filesystem::path operator/(std::string_view nome) const { return m_percorso / nome; }

private:
    std::filesystem::path m_percorso;
};

inline void ScriviFile(const std::filesystem::path& percorso, std::string_view contenuto) {
    std::ofstream file(percorso, std::ios::binary);
    file << contenuto;
}

// A hidden entry of a folder, which the ordinary-file test never sees: a name starting with "." (the
// converters' lock files, ".INPSEMENS.lock").
inline bool Nascosto(const std::filesystem::path& percorso) { return percorso.filename().string().starts_with('.'); }

// No entry of the folder but hidden ones.
inline bool SenzaFileVisibili(const std::filesystem::path& cartella) {
    for (const auto& voce : std::filesystem::directory_iterator(cartella))
        if (!Nascosto(voce.path()))
            return false;
    return true;
}

inline std::string LeggiFile(const std::filesystem::path& percorso) {
    std::ifstream file(percorso, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace shell::test
