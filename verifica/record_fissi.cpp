#include "record_fissi.h"

namespace verifica {

void ControllaFineRiga(Lettura& lettura, const Riga& riga) {
    if (riga.fine == FineRiga::SoloLf)
        lettura.Errore(riga.numero, static_cast<long>(riga.lunghezza) + 1,
                       "fine riga senza CR: le righe della fornitura finiscono con CR LF");
    else if (riga.fine == FineRiga::Nessuna)
        lettura.Errore(riga.numero, static_cast<long>(riga.lunghezza) + 1,
                       "ultima riga senza fine riga: attesi CR LF");
}

Gravita GravitaDi(fields::Difformita difformita, char tipo, int posizione, std::span<const Eccezione> eccezioni) {
    for (const Eccezione& e : eccezioni)
        if (e.tipo == tipo && e.posizione == posizione)
            return e.gravita;
    return difformita == fields::Difformita::Formato ? Gravita::Errore : Gravita::Avviso;
}

void SegnalaRecord(Lettura& lettura, const Riga& riga, char tipo, const fields::RecordLetto& record,
                   std::span<const Eccezione> eccezioni, std::string_view chi, long persona) {
    for (const fields::Segnalazione& s : record.Segnalazioni())
        lettura.Segnala({GravitaDi(s.difformita, tipo, s.posizione, eccezioni), riga.numero, s.posizione,
                         "record " + std::string(1, tipo) + ": " + s.Messaggio() + Di(chi), persona});
}

std::string Di(std::string_view chi) { return chi.empty() ? std::string() : " (" + std::string(chi) + ")"; }

std::string_view SenzaSpaziFinali(std::string_view testo) {
    const auto fine = testo.find_last_not_of(' ');
    return fine == std::string_view::npos ? std::string_view() : testo.substr(0, fine + 1);
}

std::string_view TestoDi(const fields::RecordLetto& record, int posizione) {
    for (const fields::PezzoLetto& p : record.Pezzi())
        if (p.pezzo->posizione == posizione)
            return p.testo;
    return {};
}

} // namespace verifica
