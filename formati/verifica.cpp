#include "formati/verifica.h"

#include "formati/lettori.h"

#include <stdexcept>

namespace verifica {

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

Esito Verifica(FileInLettura& file, const Opzioni& opzioni, Destinatario& destinatario) {
    Esito esito;
    Lettura lettura(file, opzioni, destinatario, esito);
    const std::string_view inizio = file.Inizio(InizioPerRiconoscere);
    if (inizio.empty()) {
        lettura.Errore(0, 0, "Il file \xE8 vuoto: nessuna fornitura da inviare");
        return esito;
    }
    esito.formato = opzioni.formato ? opzioni.formato : RiconosciFormato(inizio);
    if (!esito.formato) {
        lettura.Errore(0, 0,
                       "Formato non riconosciuto: il file non \xE8 una fornitura 770 Semplificato, INPDAP DMA, "
                       "TFR 2008, UniEmens o E-Mens (il formato si pu\xF2 indicare con --formato)");
        return esito;
    }
    const LettoreDelFormato& lettore = LettoreDi(*esito.formato);
    destinatario.Schema(*esito.formato, lettore.schema());
    lettore.leggi(lettura);
    return esito;
}

} // namespace

Esito VerificaFile(const std::filesystem::path& percorso, const Opzioni& opzioni, Destinatario& destinatario) {
    FileInLettura file(percorso, opzioni.avanzamento);
    return Verifica(file, opzioni, destinatario);
}

Esito VerificaTesto(std::string contenuto, const Opzioni& opzioni, Destinatario& destinatario) {
    FileInLettura file = FileInLettura::DaTesto(std::move(contenuto));
    return Verifica(file, opzioni, destinatario);
}

} // namespace verifica
