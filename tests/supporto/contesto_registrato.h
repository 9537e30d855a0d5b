#pragma once
// A run context for tests: keeps the two boxes' texts exactly as the window would, the notices in
// order, a fixed clock and a given archive folder.

#include "shell/contesto.h"

#include <filesystem>
#include <string>
#include <vector>

namespace shell::test {

class ContestoRegistrato : public ContestoElaborazione {
public:
    explicit ContestoRegistrato(std::filesystem::path archivio, DataOra adesso = {2011, 6, 14, 9, 5, 7})
        : m_archivio(std::move(archivio)), m_adesso(adesso) {}

    void ScriviVisibile(Casella casella, std::string_view testo, bool svuota, bool aCapo) override {
        std::string& box = casella == Casella::Messaggio ? messaggio : errori;
        if (svuota)
            box.clear();
        box += testo;
        if (aCapo)
            box += "\r\n";
    }
    void CursoreInFondo() override { cursoreInFondo = true; }
    void AvvisoVisibile(std::string_view testo, bool iconaErrore) override {
        avvisi.push_back({std::string(testo), iconaErrore});
    }
    DataOra Adesso() override { return m_adesso; }
    std::filesystem::path CartellaArchivio() const override { return m_archivio; }

    struct AvvisoRegistrato {
        std::string testo;
        bool iconaErrore;
    };
    std::string messaggio;
    std::string errori;
    std::vector<AvvisoRegistrato> avvisi;
    bool cursoreInFondo = false;

private:
    std::filesystem::path m_archivio;
    DataOra m_adesso;
};

} // namespace shell::test
