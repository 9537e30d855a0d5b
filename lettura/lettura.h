#pragma once
// What every format's reader works with: the file, and one place that counts what it tells the
// Destinatario (findings by severity, persons, records).

#include "lettura/destinatario.h"

#include <string>

namespace lettura {

class Lettura {
public:
    Lettura(FileInLettura& file, const Opzioni& opzioni, Destinatario& destinatario, Esito& esito)
        : m_file(file), m_opzioni(opzioni), m_destinatario(destinatario), m_esito(esito) {}

    FileInLettura& File() { return m_file; }

    // A finding at record (line) `riga`, position (column) `colonna`; about person `persona` (-1: none).
    void Errore(long riga, long colonna, std::string messaggio, long persona = -1) {
        Segnala({Gravita::Errore, riga, colonna, std::move(messaggio), persona});
    }
    void Avviso(long riga, long colonna, std::string messaggio, long persona = -1) {
        Segnala({Gravita::Avviso, riga, colonna, std::move(messaggio), persona});
    }
    void Segnala(const Rilievo& rilievo) {
        ++(rilievo.gravita == Gravita::Errore ? m_esito.errori : m_esito.avvisi);
        m_destinatario.Segnala(rilievo);
    }

    // Whether the persons' data are wanted: a reader that only checks need not gather them.
    bool VuolePersone() const { return m_opzioni.persone; }
    // Whether the persons are told at all: with their data, or with their keys only (Opzioni::chiavi).
    bool VuoleChiavi() const { return m_opzioni.persone || m_opzioni.chiavi; }
    // A new person: gives its index (counted whether or not its data are wanted).
    long NuovaPersona() { return m_esito.persone++; }
    void Persona(lettura::Persona&& persona) {
        if (VuoleChiavi())
            m_destinatario.Persona(std::move(persona));
    }
    void Dati(const Intestazione& intestazione) { m_destinatario.Dati(intestazione); }
    void Totale(const lettura::Totale& totale) { m_destinatario.Totale(totale); }
    void Identita(const lettura::Identita& identita) { m_destinatario.Identita(identita); }
    // Whether the listing values of person `persona` are wanted (its key and fingerprint are, with the persons).
    bool VuoleValori(long persona) const {
        return m_opzioni.persone && (!m_opzioni.valori || m_opzioni.valori(persona));
    }
    bool VuoleImpronte() const { return m_opzioni.persone && m_opzioni.impronte; }
    // Whether the fields of a person (-1: of the supply's own records) are wanted; and one of them.
    bool VuoleCampi(long persona) const { return m_opzioni.campi && (persona < 0 || m_opzioni.campi(persona)); }
    void Campo(long persona, CampoFornitura&& campo) { m_destinatario.Campo(persona, std::move(campo)); }
    // Whether the records of a person (-1: of the supply's own) are wanted as the file holds them; and one of them.
    bool VuoleGrezzi(long persona) const { return m_opzioni.grezzi && m_opzioni.grezzi(persona); }
    bool VuoleGrezzi() const { return static_cast<bool>(m_opzioni.grezzi); }
    void Grezzo(long persona, CampoFornitura&& record) { m_destinatario.Grezzo(persona, std::move(record)); }
    // The reader tells every field of the file and every person's fingerprint.
    void TuttiICampi() { m_esito.campi = true; }
    // A record of the format read: a line of one of its record types with its length, the document's root.
    void RecordDelFormato() { m_esito.recordDelFormato = true; }
    // What the file holds beside its persons (Esito::contenuto), with the fingerprints.
    Impronta& ContenutoDellaFornitura() { return m_esito.contenuto; }
    // The file cannot be compared with another: why.
    void NonConfrontabile(std::string motivo) {
        if (m_esito.nonConfrontabile.empty())
            m_esito.nonConfrontabile = std::move(motivo);
    }
    // A record (line) read, or `quanti` of them.
    void Record(long quanti = 1) { m_esito.record += quanti; }

private:
    FileInLettura& m_file;
    const Opzioni& m_opzioni;
    Destinatario& m_destinatario;
    Esito& m_esito;
};

} // namespace lettura
