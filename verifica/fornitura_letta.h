#pragma once
// A supply read whole into memory, as the listing, the comparison and the window show it: its data, its
// persons, its totals and every finding.

#include "formati/verifica.h"

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace verifica {

class FornituraLetta : public lettura::Destinatario {
public:
    // The findings as they are shown: of each rule the first RilieviPerRegola (SommaRilievi), the others
    // summed up by FineLettura.
    void Segnala(const lettura::Rilievo& rilievo) override {
        if (m_somma.Mostra(rilievo))
            rilievi.push_back(rilievo);
    }
    void Schema(lettura::Formato f, const lettura::SchemaDistinta& s) override {
        formato = f;
        schema = &s;
    }
    void Dati(const lettura::Intestazione& i) override { intestazione = i; }
    void Persona(lettura::Persona&& persona) override { persone.push_back(std::move(persona)); }
    void Totale(const lettura::Totale& totale) override { totali.push_back(totale); }
    void Campo(long persona, lettura::CampoFornitura&& campo) override {
        if (persona < 0)
            campi.push_back(std::move(campo));
    }

    std::optional<std::filesystem::path> percorso; // the file it was read from; none for one made otherwise
    // The file's bytes, when it cannot be read twice (a pipe): what a second reading reads.
    std::shared_ptr<const std::string> copia;
    std::optional<lettura::Formato> formatoRichiesto; // the format it was read as (`--formato`), if forced
    std::optional<lettura::Formato> formato;
    const lettura::SchemaDistinta* schema = nullptr;
    lettura::Intestazione intestazione;
    std::deque<lettura::Persona> persone; // grown in blocks, never moved as a whole (fresh memory costs)
    std::vector<lettura::Totale> totali;
    std::vector<lettura::Rilievo> rilievi;
    std::vector<lettura::CampoFornitura> campi; // of the supply's own records (not the persons')
    lettura::Esito esito;
    bool valori = true; // its persons hold their listing values (Persona::valori)

    // Once the file is read: the summaries of the findings not kept after the others, and the format the
    // reading ends with (none when a forced format found no record of its own).
    void FineLettura();

private:
    lettura::SommaRilievi m_somma;
};

// Reads the file with its persons, their fingerprints and the fields of the supply's own records (VerificaFile
// with Opzioni::persone, impronte, campi); `valori`: with every person's listing values, or only their keys and
// fingerprints (a comparison, which reads again the values of the persons it shows). A file that cannot be read
// twice (a pipe, a terminal) is read once, whole, and kept (FornituraLetta::copia). Throws as VerificaFile does.
FornituraLetta LeggiFornitura(const std::filesystem::path& percorso, std::optional<lettura::Formato> formato = {},
                              lettura::Avanzamento avanzamento = {}, bool valori = true);
// The same of the bytes of the file `percorso` already at hand (a pipe's, read whole), kept for a second reading.
FornituraLetta LeggiContenuto(std::string contenuto, const std::filesystem::path& percorso,
                              std::optional<lettura::Formato> formato = {}, bool valori = true);

// Some persons of a supply read from a file (FornituraLetta::percorso), read again: the fields of the persons
// `campi`, whole with their listing values the persons `persone`, and the records as the file holds them of the
// persons `grezzi` (-1: the supply's own), by their index. Throws as VerificaFile does, and ErroreFile when the
// file no longer holds what it held at the first reading (changed meanwhile).
struct PersoneRilette {
    std::map<long, std::vector<lettura::CampoFornitura>> campi;
    std::map<long, lettura::Persona> persone;
    std::map<long, std::vector<lettura::CampoFornitura>> grezzi;
};
PersoneRilette RileggiPersone(const FornituraLetta& letta, const std::set<long>& campi, const std::set<long>& persone,
                              const std::set<long>& grezzi = {});

// The name and the date of a file, as the header of a page names it: "Importa770-2011-...txt, 14/06/2011
// 09:05".
// `completo`: the whole path, where two files of one name are told apart (a comparison).
std::string NomeEDataDelFile(const std::filesystem::path& percorso, bool completo = false);

} // namespace verifica
