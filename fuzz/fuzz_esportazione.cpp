// Fuzzing the export reader and the value conversions: any bytes in, a line/column error or values
// that keep their promises out; never a crash or another exception.

#include "shell/conversioni.h"
#include "shell/errore.h"
#include "shell/esportazione.h"
#include "shell/testo.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Verifica(bool condizione) {
    if (!condizione)
        std::abort();
}

void ProvaColonna(const shell::RigaEsportazione& riga, int c) {
    const std::string_view testo = riga[c];
    Verifica(shell::Maiuscolo(testo) == testo);
    try {
        Verifica(std::isfinite(riga.Numerico(c, testo)));
    } catch (const shell::ErroreElaborazione&) {
    }
    try {
        Verifica(std::isfinite(riga.Semplice(c)));
    } catch (const shell::ErroreElaborazione&) {
    }
    try {
        const shell::Data d = riga.LeggiData(c);
        Verifica(shell::DataValida(d.anno, d.mese, d.giorno));
    } catch (const shell::ErroreElaborazione&) {
    }
    for (char ch : shell::SoloCifre(testo))
        Verifica(ch >= '0' && ch <= '9');
    Verifica(shell::Latin1DaUtf8(shell::Utf8DaLatin1(testo)) == testo);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    std::string testo(reinterpret_cast<const char*>(dati), dimensione);
    try {
        const auto esportazione = shell::Esportazione::DaTesto(testo);
        for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
            Verifica(esportazione.Riga(i).find('\r') == std::string_view::npos);
            for (auto preparazione : {shell::Preparazione::Maiuscolo, shell::Preparazione::MaiuscoloSenzaSpazi}) {
                const shell::RigaEsportazione riga(static_cast<int>(i + 1), esportazione.Riga(i), preparazione);
                for (int c = 0; c <= static_cast<int>(riga.Colonne()); ++c) {
                    if (riga.Ha(c))
                        ProvaColonna(riga, c);
                    else
                        try {
                            (void)riga[c];
                            std::abort();
                        } catch (const shell::ErroreElaborazione&) {
                        }
                }
            }
        }
    } catch (const shell::ErroreElaborazione&) {
    }
    return 0;
}
