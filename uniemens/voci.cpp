#include "voci.h"

#include "testo.h"

#include <string>

namespace uniemens {

namespace {

using xmltext::ScrittoreXML;

bool Vale(const Condizione& c, const Fonte& f) {
    switch (c.se) {
    case Se::Sempre: return true;
    case Se::Vuota: return f.riga->Vuota(c.colonna);
    case Se::NonVuota: return !f.riga->Vuota(c.colonna);
    case Se::NonVuote: return !f.riga->Vuota(c.colonna) && !f.riga->Vuota(c.colonna2);
    case Se::NumeroNonZero: return f.riga->NumeroIniziale(c.colonna) != 0;
    case Se::OgniSettimana: return true; // repeated by ScriviVoci
    case Se::InSospeso: return !f.inSospeso->empty();
    }
    return false;
}

std::string Testo(const Valore& v, const Fonte& f, const Settimana* settimana) {
    switch (v.da) {
    case Da::Nulla: return {};
    case Da::Fisso: return std::string(v.fisso);
    case Da::Colonna: return (*f.riga)[v.colonna];
    case Da::Tronca50: return std::string(xmltext::TroncaCodificato((*f.riga)[v.colonna], 50));
    case Da::AnnoMese: return CifreMinime(f.periodo->anno, 2) + "-" + CifreMinime(f.periodo->mese, 2);
    case Da::Imponibile: return FormatoImponibile(f.riga->NumeroIniziale(v.colonna));
    case Da::Contributo: {
        const Importo importo = f.riga->LeggiImporto(v.colonna);
        f.totali->debito.Aggiungi(importo);
        return FormatoContributo(importo);
    }
    case Da::RetribTeorica: return std::to_string(f.riga->Intero(v.colonna));
    case Da::IdSettimana: return std::string(settimana->id);
    case Da::TipoCopertura: return std::string(settimana->copertura);
    case Da::Data: {
        const shell::Data d = f.riga->LeggiData(v.colonna);
        return CifreMinime(d.anno, 4) + "-" + CifreMinime(d.mese, 2) + "-" + CifreMinime(d.giorno, 2);
    }
    case Da::NumeroDenunce: return std::to_string(f.totali->denunce);
    case Da::TotaleADebito: return std::to_string(f.totali->debito.Arrotondata());
    case Da::TotaleACredito: return std::to_string(f.totali->credito.Arrotondata());
    }
    return {};
}

// Days 1 to D of the declared month, each worked when its flag is exactly "S"; a day without a flag
// is not worked, flags past D are ignored.
void ScriviCalendario(int profondita, std::string_view campo, int giorni, ScrittoreXML& xml) {
    const auto flag = ElementiLista(campo, false);
    for (int k = 1; k <= 31; ++k) {
        const std::string_view f = static_cast<std::size_t>(k) <= flag.size() ? flag[k - 1] : "N";
        if (k > giorni)
            continue;
        xml.Apri(profondita, "Giorno GG=\"" + std::to_string(k) + "\"");
        xml.Elemento(profondita + 1, "Lavorato", f == "S" ? "S" : "N");
        xml.Chiudi(profondita, "Giorno");
    }
}

void ScriviVoce(const Voce& v, const Fonte& f, const Settimana* settimana, ScrittoreXML& xml) {
    switch (v.forma) {
    case Forma::Apri: xml.Apri(v.profondita, v.tag); break;
    case Forma::Chiudi: xml.Chiudi(v.profondita, v.tag); break;
    case Forma::Elemento: xml.Elemento(v.profondita, v.tag, Testo(v.valore, f, settimana)); break;
    case Forma::Calendario:
        ScriviCalendario(v.profondita, (*f.riga)[v.valore.colonna], f.periodo->giorni, xml);
        break;
    case Forma::MesePrecedente:
        xml.Riga(0, *f.inSospeso);
        f.inSospeso->clear();
        break;
    }
}

} // namespace

void ScriviVoci(std::span<const Voce> voci, const Fonte& fonte, ScrittoreXML& xml) {
    for (std::size_t i = 0; i < voci.size();) {
        if (voci[i].quando.se != Se::OgniSettimana) {
            if (Vale(voci[i].quando, fonte))
                ScriviVoce(voci[i], fonte, nullptr, xml);
            ++i;
            continue;
        }
        // The rows of one week, written once per item in column order.
        std::size_t fine = i;
        while (fine < voci.size() && voci[fine].quando.se == Se::OgniSettimana)
            ++fine;
        const int colonna = voci[i].quando.colonna;
        for (std::string_view elemento : ElementiLista((*fonte.riga)[colonna], true)) {
            const auto settimana = DividiSettimana(elemento);
            if (!settimana)
                fonte.riga->ErroreLettura(colonna, Lettura::Settimane);
            for (std::size_t k = i; k < fine; ++k)
                ScriviVoce(voci[k], fonte, &*settimana, xml);
        }
        i = fine;
    }
}

} // namespace uniemens
