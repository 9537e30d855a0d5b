#include "formati/verifica.h"

#include "formati/lettori.h"

#include <functional>
#include <stdexcept>

namespace formati {

using lettura::Descrizione;
using lettura::Destinatario;
using lettura::Esito;
using lettura::FileInLettura;
using lettura::Formato;
using lettura::InizioPerRiconoscere;
using lettura::InizioXml;
using lettura::Lettura;
using lettura::NonRiconosciuto;
using lettura::Opzioni;
using lettura::RiconosciFormato;
using lettura::RiconosciRadice;
using lettura::SchemaDistinta;

namespace {

struct LettoreDelFormato {
    Formato formato;
    void (*leggi)(Lettura&);
    const SchemaDistinta& (*schema)();
};

// clang-format off
constexpr LettoreDelFormato Lettori[] = {
//   formato                     lettore        schema della distinta
    {Formato::Semplificato770,   Leggi770,      Schema770     },
    {Formato::Dma,               LeggiDma,      SchemaDma     },
    {Formato::Tfr,               LeggiTfr,      SchemaTfr     },
    {Formato::Uniemens,          LeggiUniemens, SchemaUniemens},
    {Formato::Emens,             LeggiEmens,    SchemaEmens   },
};
// clang-format on

const LettoreDelFormato& LettoreDi(Formato formato) {
    for (const auto& lettore : Lettori)
        if (lettore.formato == formato)
            return lettore;
    throw std::logic_error("Formato senza lettore");
}

} // namespace

const SchemaDistinta& SchemaDi(Formato formato) { return LettoreDi(formato).schema(); }

namespace {

// Reads a file, which `apri` opens (again, when its format was found past its first bytes).
Esito Verifica(const std::function<FileInLettura()>& apri, const Opzioni& opzioni, Destinatario& destinatario) {
    Esito esito;
    FileInLettura file = apri();
    Lettura lettura(file, opzioni, destinatario, esito);
    const std::string_view inizio = file.Inizio(InizioPerRiconoscere);
    if (inizio.empty()) {
        lettura.Errore(0, 0, "Il file \xE8 vuoto: nessuna fornitura da inviare");
        return esito;
    }
    std::optional<Formato> riconosciuto = RiconosciFormato(inizio);
    if (!riconosciuto && !opzioni.formato && InizioXml(inizio)) {
        // An XML document whose root element comes past the first bytes.
        FileInLettura daCapo = apri();
        riconosciuto = RiconosciRadice(daCapo);
        if (riconosciuto) {
            Opzioni comeRiconosciuto = opzioni;
            comeRiconosciuto.formato = riconosciuto;
            return Verifica(
                [&] {
                    FileInLettura nuovo = apri();
                    nuovo.Inizio(InizioPerRiconoscere);
                    return nuovo;
                },
                comeRiconosciuto, destinatario);
        }
    }
    if (opzioni.formato && riconosciuto && *riconosciuto != *opzioni.formato) {
        lettura.Errore(0, 0,
                       "il file \xE8 una fornitura " + std::string(Descrizione(*riconosciuto).nome) + ", non " +
                           std::string(Descrizione(*opzioni.formato).nome) + " come indicato con --formato");
        return esito;
    }
    esito.formato = opzioni.formato ? opzioni.formato : riconosciuto;
    if (!esito.formato) {
        lettura.Errore(0, 0, NonRiconosciuto(inizio));
        return esito;
    }
    const LettoreDelFormato& lettore = LettoreDi(*esito.formato);
    destinatario.Schema(*esito.formato, lettore.schema());
    lettore.leggi(lettura);
    if (!riconosciuto && !esito.recordDelFormato) {
        // Forced on a file that holds nothing of the format: no supply, as one of no known format is.
        lettura.Errore(0, 0,
                       "il file non \xE8 una fornitura " + std::string(Descrizione(*esito.formato).nome) +
                           " come indicato con --formato: nessun suo record \xE8 di quel formato");
        esito.formato.reset();
    }
    return esito;
}

} // namespace

Esito VerificaFile(const std::filesystem::path& percorso, const Opzioni& opzioni, Destinatario& destinatario) {
    return Verifica([&] { return FileInLettura(percorso, opzioni.avanzamento); }, opzioni, destinatario);
}

Esito VerificaTesto(std::string contenuto, const Opzioni& opzioni, Destinatario& destinatario) {
    return Verifica([&] { return FileInLettura::DaTesto(contenuto); }, opzioni, destinatario);
}

Esito VerificaContenuto(std::string_view contenuto, const std::filesystem::path& percorso, const Opzioni& opzioni,
                        Destinatario& destinatario) {
    return Verifica([&] { return FileInLettura::DaMemoria(contenuto, percorso); }, opzioni, destinatario);
}

} // namespace formati
