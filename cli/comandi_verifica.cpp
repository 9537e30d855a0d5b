#include "comandi_verifica.h"

#include "contesto_terminale.h"
#include "fornitura.h"
#include "testo.h"
#include "verifica.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view UsoVerifica = "Uso: fornitura verifica FILE... [--formato 770|uniemens|dma|emens|tfr]\n";

// "1 errore", "2 errori".
std::string Quanti(long n, std::string_view uno, std::string_view molti) {
    return std::to_string(n) + " " + std::string(n == 1 ? uno : molti);
}

// Prints the findings as they come: "FILE:RIGA:COLONNA: errore: MESSAGGIO", or "FILE: errore: ..." for a
// finding about the whole file.
class StampaRilievi : public verifica::Destinatario {
public:
    StampaRilievi(std::ostream& out, std::string nome) : m_out(out), m_nome(std::move(nome)) {}

    void Segnala(const verifica::Rilievo& rilievo) override {
        m_riga = m_nome;
        if (rilievo.riga > 0) {
            m_riga += ':' + std::to_string(rilievo.riga);
            if (rilievo.colonna > 0)
                m_riga += ':' + std::to_string(rilievo.colonna);
        }
        m_riga.append(": ").append(verifica::NomeGravita(rilievo.gravita)).append(": ");
        AggiungiPerTerminale(rilievo.messaggio, m_riga);
        m_riga += '\n';
        m_out << m_riga;
    }

private:
    std::ostream& m_out;
    std::string m_nome; // the file as the command line names it (UTF-8)
    std::string m_riga;
};

std::string Riepilogo(const std::string& nome, const verifica::Esito& esito) {
    std::string riga = nome + ": ";
    if (esito.formato)
        riga += std::string(verifica::Descrizione(*esito.formato).nome) + ", " +
                Quanti(esito.record, "record", "record") + ", " + Quanti(esito.persone, "persona", "persone");
    else
        riga += "nessuna fornitura riconosciuta";
    riga += ": " + (esito.errori == 0 ? std::string("nessun errore") : Quanti(esito.errori, "errore", "errori")) +
            ", " + (esito.avvisi == 0 ? std::string("nessun avviso") : Quanti(esito.avvisi, "avviso", "avvisi"));
    return riga;
}

fs::path PercorsoDaArgomento(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

} // namespace

int EseguiVerifica(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    verifica::Opzioni opzioni;
    std::vector<std::string> file;
    for (std::size_t i = 1; i < argomenti.size(); ++i) {
        std::string argomento = argomenti[i];
        if (argomento == "--") {
            file.insert(file.end(), argomenti.begin() + static_cast<std::ptrdiff_t>(i) + 1, argomenti.end());
            break;
        }
        if (argomento.rfind("--formato", 0) == 0) {
            std::string valore;
            if (argomento.size() > 9 && argomento[9] == '=')
                valore = argomento.substr(10);
            else if (argomento.size() == 9 && i + 1 < argomenti.size())
                valore = argomenti[++i];
            else if (argomento.size() != 9) {
                err << "fornitura: opzione sconosciuta '" << argomento << "'\n" << UsoVerifica;
                return EsitoUso;
            }
            opzioni.formato = verifica::FormatoDaComando(valore);
            if (!opzioni.formato) {
                err << "fornitura: formato sconosciuto '" << valore << "'\n" << UsoVerifica;
                return EsitoUso;
            }
            continue;
        }
        if (argomento.size() > 1 && argomento[0] == '-') {
            err << "fornitura: opzione sconosciuta '" << argomento << "'\n" << UsoVerifica;
            return EsitoUso;
        }
        file.push_back(std::move(argomento));
    }
    if (file.empty()) {
        err << "fornitura: manca il file da verificare\n" << UsoVerifica;
        return EsitoUso;
    }

    bool errori = false, mancanti = false;
    for (const std::string& nome : file) {
        StampaRilievi stampa(out, nome);
        try {
            const verifica::Esito esito = verifica::VerificaFile(PercorsoDaArgomento(nome), opzioni, stampa);
            out << Riepilogo(nome, esito) << '\n';
            errori = errori || esito.errori > 0;
        } catch (const verifica::ErroreFile& e) {
            out.flush();
            err << "fornitura: " << PerTerminale(e.what()) << '\n';
            mancanti = true;
        }
    }
    out.flush();
    return mancanti ? EsitoFileMancante : errori ? EsitoErrore : EsitoCompletato;
}

} // namespace cli
