#include "lettura/lettura_file.h"

#include "shell/testo.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace lettura {

namespace fs = std::filesystem;

FileInLettura::FileInLettura(const fs::path& percorso, Avanzamento avanzamento)
    : m_percorso(percorso), m_avanzamento(std::move(avanzamento)) {
    const std::string nome = shell::TestoPercorso(percorso);
    std::error_code errore;
    const fs::file_status stato = fs::status(percorso, errore);
    if (!fs::exists(stato))
        throw ErroreFile("File non trovato '" + nome + "'");
    if (fs::is_directory(stato))
        throw ErroreFile("'" + nome + "' \xE8 una cartella, non un file");
    m_file.open(percorso, std::ios::binary);
    if (!m_file)
        throw ErroreFile("Impossibile aprire il file '" + nome + "'");
    const auto dimensione = fs::file_size(percorso, errore);
    m_dimensione = errore ? 0 : dimensione;
}

std::size_t FileInLettura::Leggi(char* dove, std::size_t quanti) {
    if (m_inizioDato < m_inizio.size()) {
        const std::size_t n = std::min(quanti, m_inizio.size() - m_inizioDato);
        std::memcpy(dove, m_inizio.data() + m_inizioDato, n);
        m_inizioDato += n;
        return n;
    }
    return LeggiDalFile(dove, quanti);
}

FileInLettura FileInLettura::DaTesto(std::string contenuto) {
    FileInLettura file;
    file.m_dimensione = contenuto.size();
    file.m_contenuto = std::move(contenuto);
    file.m_inMemoria = true;
    return file;
}

FileInLettura FileInLettura::DaMemoria(std::string_view contenuto, const fs::path& percorso) {
    FileInLettura file;
    file.m_percorso = percorso;
    file.m_dimensione = contenuto.size();
    file.m_memoria = contenuto;
    file.m_inMemoria = true;
    return file;
}

std::size_t FileInLettura::LeggiDalFile(char* dove, std::size_t quanti) {
    if (m_inMemoria) {
        const std::string_view contenuto = m_memoria.data() ? m_memoria : std::string_view(m_contenuto);
        const std::size_t n = std::min(quanti, contenuto.size() - static_cast<std::size_t>(m_letti));
        std::memcpy(dove, contenuto.data() + m_letti, n);
        m_letti += n;
        return n;
    }
    const auto letti = m_file.rdbuf()->sgetn(dove, static_cast<std::streamsize>(quanti));
    if (letti < 0 || m_file.bad())
        throw ErroreFile("Errore di lettura del file '" + shell::TestoPercorso(m_percorso) + "'");
    m_letti += static_cast<std::uint64_t>(letti);
    if (m_avanzamento && !m_avanzamento(m_letti, std::max(m_dimensione, m_letti)))
        throw LetturaInterrotta();
    return static_cast<std::size_t>(letti);
}

std::string_view FileInLettura::Inizio(std::size_t quanti) {
    if (m_letti == 0) {
        std::string inizio(quanti, '\0');
        std::size_t letti = 0;
        while (letti < quanti) {
            const std::size_t n = LeggiDalFile(inizio.data() + letti, quanti - letti);
            if (n == 0)
                break;
            letti += n;
        }
        inizio.resize(letti);
        m_inizio = std::move(inizio);
        m_inizioDato = 0;
    }
    return m_inizio;
}

LettoreRighe::LettoreRighe(FileInLettura& file, std::size_t massimo, std::size_t pezzo, bool intere)
    : m_file(file), m_massimo(massimo), m_intere(intere), m_dati(pezzo) {}

// Keeps what is left of the current line at the start of the room and reads the next piece after it.
// False when nothing more was read.
bool LettoreRighe::Riempi() {
    if (m_finito)
        return false;
    const std::size_t resto = m_fine - m_inizio;
    if (resto > 0 && m_inizio > 0)
        std::memmove(m_dati.data(), m_dati.data() + m_inizio, resto);
    m_inizio = 0;
    m_fine = resto;
    const std::size_t letti = m_file.Leggi(m_dati.data() + m_fine, m_dati.size() - m_fine);
    m_fine += letti;
    if (letti == 0)
        m_finito = true;
    return letti > 0;
}

bool LettoreRighe::Prossima(Riga& riga) {
    std::size_t cercaDa = m_inizio; // no line feed before this point of the current line
    std::size_t lunghezza = 0;      // characters of the line already passed on to m_lunga
    bool spezzata = false;          // the line spans more room than the buffer: its start is in m_lunga
    char ultimo = 0;                // the last character passed on to m_lunga
    // The characters past the kept ones, hashed one behind: the last one passed on may be the CR of CR LF.
    ImprontaFlusso oltre;
    bool sospeso = false;
    char carattereSospeso = 0;
    m_lunga.clear();
    // A part of the line that follows the `lunghezza` characters passed on: kept up to `massimo` (whole with
    // `intere`), the rest hashed.
    const auto passa = [&](std::string_view parte) {
        const std::size_t tenuti = lunghezza < m_massimo ? std::min(parte.size(), m_massimo - lunghezza) : 0;
        m_lunga.append(m_intere ? parte : parte.substr(0, tenuti));
        for (const char c : parte.substr(tenuti)) {
            if (sospeso)
                oltre.Aggiungi(carattereSospeso);
            carattereSospeso = c;
            sospeso = true;
        }
        lunghezza += parte.size();
    };
    for (;;) {
        const char* dati = m_dati.data();
        const void* lf = std::memchr(dati + cercaDa, '\n', m_fine - cercaDa);
        if (lf || m_finito) {
            const std::size_t fine = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - dati) : m_fine;
            std::string_view parte(dati + m_inizio, fine - m_inizio);
            if (!lf && parte.empty() && !spezzata)
                return false; // the end of the file, right after a line end
            m_inizio = lf ? fine + 1 : fine;
            riga.numero = ++m_numero;
            riga.fine = lf ? FineRiga::SoloLf : FineRiga::Nessuna;
            const char finale = !parte.empty() ? parte.back() : ultimo;
            if (lf && finale == '\r') {
                riga.fine = FineRiga::CrLf;
                if (!parte.empty()) {
                    parte.remove_suffix(1);
                } else {
                    // The carriage return closed the part already passed on, and is no character of the line.
                    const std::size_t indice = lunghezza - 1;
                    if (m_intere || indice < m_massimo)
                        m_lunga.pop_back();
                    if (indice >= m_massimo)
                        sospeso = false;
                    --lunghezza;
                }
            }
            if (!spezzata) {
                riga.lunghezza = parte.size();
                riga.testo = parte.substr(0, m_massimo);
                riga.intera = m_intere ? parte : riga.testo;
                if (parte.size() > m_massimo)
                    oltre.Aggiungi(parte.substr(m_massimo));
            } else {
                passa(parte);
                if (sospeso)
                    oltre.Aggiungi(carattereSospeso);
                riga.lunghezza = lunghezza;
                riga.testo = std::string_view(m_lunga).substr(0, m_massimo);
                riga.intera = m_intere ? std::string_view(m_lunga) : riga.testo;
            }
            riga.oltre = oltre.Valore();
            return true;
        }
        // No line end in what is left: keep the line's start and read on.
        if (m_inizio == 0 && m_fine == m_dati.size()) {
            // A line longer than the whole room: its first characters are kept, the rest counted and hashed.
            const std::string_view parte(dati, m_fine);
            passa(parte);
            ultimo = parte.back();
            spezzata = true;
            m_inizio = m_fine;
        }
        cercaDa = m_fine - m_inizio;
        Riempi();
        cercaDa = m_inizio + cercaDa;
    }
}

} // namespace lettura
