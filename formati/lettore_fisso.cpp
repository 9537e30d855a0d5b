#include "formati/lettore_fisso.h"

#include "formati/persone.h"
#include "formati/testo_record.h"
#include "shell/testo.h"

#include <algorithm>

namespace formati {

using lettura::FileInLettura;
using lettura::FineRiga;
using lettura::Gravita;
using lettura::Impronta;
using lettura::LettoreRighe;
using lettura::Lettura;
using lettura::Riga;

void ControllaFineRiga(Lettura& lettura, const Riga& riga) {
    if (riga.fine == FineRiga::SoloLf)
        lettura.Errore(riga.numero, static_cast<long>(riga.lunghezza) + 1,
                       "fine riga senza CR: le righe della fornitura finiscono con CR LF");
    else if (riga.fine == FineRiga::Nessuna)
        lettura.Errore(riga.numero, static_cast<long>(riga.lunghezza) + 1, "ultima riga senza fine riga: attesi CR LF");
}

Gravita GravitaDi(tracciati::Difformita difformita, tracciati::Rigore rigore) {
    switch (rigore) {
    case tracciati::Rigore::Stretto:
        return Gravita::Errore;
    case tracciati::Rigore::Tollerato:
        return Gravita::Avviso;
    case tracciati::Rigore::Usuale:
        break;
    }
    return difformita == tracciati::Difformita::Formato ? Gravita::Errore : Gravita::Avviso;
}

void SegnalaRecord(Lettura& lettura, const RecordFisso& record, const Chi& chi) {
    for (const tracciati::Segnalazione& s : record.letto.Segnalazioni())
        if (record.LunghezzaGiusta() || s.posizione == 0)
            lettura.Segnala({GravitaDi(s.difformita, s.pezzo ? s.pezzo->rigore : tracciati::Rigore::Usuale),
                             record.riga.numero, s.posizione,
                             "record " + std::string(1, record.tipo) + ": " + s.Messaggio() + Di(chi.nome),
                             chi.persona});
}

LettoreFisso::LettoreFisso(Lettura& lettura, const FormatoFisso& formato)
    : m_lettura(lettura), m_formato(formato), m_ordine(formato.passi, formato.ordine) {
    for (const tracciati::TabellaRecord& r : formato.tracciato.record)
        m_attesi.append(m_attesi.empty() ? "" : ", ").append(1, r.tipo);
}

void LettoreFisso::Leggi() {
    m_lettura.TuttiICampi();
    LettoreRighe righe(m_lettura.File(), 4096, FileInLettura::Pezzo, m_lettura.VuoleGrezzi());
    m_originali.assign(m_formato.copie.size(), std::nullopt);
    Riga riga;
    while (righe.Prossima(riga)) {
        m_lettura.Record();
        ++m_righe;
        ControllaFineRiga(m_lettura, riga);
        const char tipo = riga.testo.empty() ? '\0' : riga.testo.front();
        const std::span<const tracciati::Pezzo> tabella = m_formato.tracciato.Tabella(tipo);
        if (tabella.empty()) {
            m_lettura.Errore(riga.numero, 1,
                             riga.testo.empty()
                                 ? "riga vuota: attesi i record " + m_attesi
                                 : "tipo di record '" + std::string(1, tipo) + "' sconosciuto: attesi " + m_attesi);
            Sconosciuta(riga);
            continue;
        }
        const char precedente = m_ordine.Precedente();
        const bool alSuoPosto = m_ordine.Controlla(m_lettura, riga, tipo);
        if (tipo == m_formato.ultimo && m_rigaUltimo == 0)
            m_rigaUltimo = riga.numero;
        m_letto.Leggi(riga.testo, tabella, m_formato.tracciato.gancio, riga.lunghezza);
        if (m_letto.LunghezzaGiusta())
            m_lettura.RecordDelFormato();
        const RecordFisso record{riga, tipo, precedente, alSuoPosto, m_letto};
        const Chi chi = Persona(record);
        SegnalaRecord(m_lettura, record, chi);
        CaratteriDiControllo(record, chi);
        Campi(record, chi.persona);
        Record(record, chi);
    }
    Fine();
}

void LettoreFisso::CaratteriDiControllo(const RecordFisso& record, const Chi& chi) {
    if (!record.LunghezzaGiusta() || !shell::ConCaratteriDiControllo(record.riga.testo))
        return;
    const auto primo = [](std::string_view testo) {
        return std::find_if(testo.begin(), testo.end(),
                            [](char c) { return shell::CarattereDiControllo(static_cast<unsigned char>(c)); });
    };
    const std::string tipo(1, record.tipo);
    const auto segnala = [&](int posizione, int lunghezza, std::string_view campo, char carattere) {
        m_lettura.Errore(record.Numero(), posizione,
                         "record " + tipo + ": " + std::string(campo) + Posizioni(posizione, lunghezza) +
                             ": carattere di controllo " + shell::TestoSuUnaRiga(std::string(1, carattere)) +
                             ", che nessun campo contiene" + Di(chi.nome),
                         chi.persona);
    };
    for (const tracciati::PezzoLetto& p : record.letto.Pezzi()) {
        if (p.pezzo->genere != tracciati::Comune::Area) {
            // A piece whose kind refuses the character has said so already.
            const auto c = primo(p.testo);
            if (c != p.testo.end() &&
                std::none_of(record.letto.Segnalazioni().begin(), record.letto.Segnalazioni().end(),
                             [&](const tracciati::Segnalazione& s) { return s.pezzo == p.pezzo; }))
                segnala(p.pezzo->posizione, p.pezzo->lunghezza, {}, *c);
            continue;
        }
        // The blocks of the area: of a text field, or of a code the supply does not have (the others' values
        // are read by their types, which refuse it).
        for (std::size_t b = 0; b + tracciati::LunghezzaBlocco <= p.testo.size(); b += tracciati::LunghezzaBlocco) {
            const std::string_view blocco = p.testo.substr(b, tracciati::LunghezzaBlocco);
            const auto c = primo(blocco);
            if (c == blocco.end())
                continue;
            // In the code, the block is no field: the area's reading says so.
            if (c - blocco.begin() < tracciati::LunghezzaCodice)
                continue;
            const std::string_view codice = blocco.substr(0, tracciati::LunghezzaCodice);
            const auto tipoCampo = tracciati::CercaNelCatalogo(m_formato.tracciato.catalogo, codice);
            if (tipoCampo && *tipoCampo != tracciati::Tipo::AN)
                continue;
            segnala(p.pezzo->posizione + static_cast<int>(b), tracciati::LunghezzaBlocco,
                    "campo " + std::string(codice) + ", ", *c);
        }
    }
}

const DatoCopiato* LettoreFisso::CopiaDi(const tracciati::Pezzo& pezzo) const {
    for (const DatoCopiato& c : m_formato.copie)
        if (&c.copia == &pezzo)
            return &c;
    return nullptr;
}

bool LettoreFisso::DelPosto(const tracciati::Pezzo& pezzo) const {
    return std::find(m_formato.posto.begin(), m_formato.posto.end(), &pezzo) != m_formato.posto.end();
}

std::string LettoreFisso::NomeDelRecord(std::string_view tipo, long persona) {
    const int volte = ++(persona < 0 ? m_volteFornitura : m_volte)[std::string(tipo)];
    return "record " + std::string(tipo) + (volte > 1 ? " (" + std::to_string(volte) + ")" : "");
}

namespace {

// The bytes of a line end, as a record's bytes hold it.
std::string_view ByteDellaFine(FineRiga fine) {
    return fine == FineRiga::CrLf ? "\r\n" : fine == FineRiga::SoloLf ? "\n" : "";
}

} // namespace

void LettoreFisso::ImprontaDelRecord(Impronta& impronta, const RecordFisso& record, long persona) const {
    const std::string_view testo = record.riga.testo;
    impronta.Aggiungi(std::string_view(&record.tipo, 1));
    std::size_t da = 0;
    if (persona >= 0)
        for (const tracciati::PezzoLetto& p : record.letto.Pezzi()) {
            const DatoCopiato* copia = CopiaDi(*p.pezzo);
            if (!copia && !DelPosto(*p.pezzo))
                continue;
            impronta.Aggiungi(testo.substr(da, static_cast<std::size_t>(p.pezzo->posizione - 1) - da));
            da = static_cast<std::size_t>(tracciati::UltimaPosizione(*p.pezzo));
            if (!copia)
                continue;
            const auto& originale = m_originali[static_cast<std::size_t>(copia - m_formato.copie.data())];
            if (originale && *originale == p.testo) {
                impronta.AggiungiNumero(1);
            } else {
                impronta.AggiungiNumero(2);
                impronta.Aggiungi(p.testo);
            }
        }
    impronta.Aggiungi(testo.substr(std::min(da, testo.size())));
    // What the line holds past the characters kept, and its end.
    impronta.AggiungiNumero(record.riga.lunghezza);
    impronta.AggiungiNumero(record.riga.oltre);
    impronta.AggiungiNumero(static_cast<std::uint64_t>(record.riga.fine));
}

void LettoreFisso::Campi(const RecordFisso& record, long persona) {
    const bool nuova = persona != m_titolare;
    if (nuova) {
        m_titolare = persona;
        m_rigaTitolare = record.Numero();
        m_impronta = {};
        m_volte.clear();
        m_posto.clear();
    }
    const std::string_view testo = record.riga.testo;
    for (std::size_t i = 0; i < m_formato.copie.size(); ++i)
        if (persona < 0 && record.tipo == m_formato.copie[i].record && !m_originali[i])
            m_originali[i] = std::string(record.letto.Testo(m_formato.copie[i].originale));
    if (persona >= 0 && nuova)
        for (const tracciati::PezzoLetto& p : record.letto.Pezzi())
            if (DelPosto(*p.pezzo))
                m_posto.append(p.testo);
    if (m_lettura.VuoleImpronte()) {
        if (persona < 0) {
            ImprontaDelRecord(m_lettura.ContenutoDellaFornitura(), record, persona);
            m_traPersone = false;
        } else {
            // The persons' place among the supply's own records: a run of them is one item.
            if (!m_traPersone)
                m_lettura.ContenutoDellaFornitura().AggiungiNumero(0);
            m_traPersone = true;
            // The record's place among the person's lines: a line between two of them counts.
            m_impronta.AggiungiNumero(static_cast<std::uint64_t>(record.Numero() - m_rigaTitolare));
            ImprontaDelRecord(m_impronta, record, persona);
        }
    }
    const bool campi = m_lettura.VuoleCampi(persona), grezzi = m_lettura.VuoleGrezzi(persona);
    if (!campi && !grezzi)
        return;
    const std::string tipo(1, record.tipo);
    const std::string nomeDelRecord = NomeDelRecord(tipo, persona);
    if (grezzi)
        m_lettura.Grezzo(persona,
                         {nomeDelRecord, std::string(record.riga.intera).append(ByteDellaFine(record.riga.fine))});
    if (!campi)
        return;
    const std::string nomeRecord = nomeDelRecord + ", ";
    const auto campo = [&](std::string nome, std::string_view valore, std::string_view codice,
                           const tracciati::Pezzo* pezzo, bool creazione = false) {
        const int n = nome.starts_with("record ") ? 1 : ++(persona < 0 ? m_volteFornitura : m_volte)[nome];
        if (n > 1)
            nome += " (" + std::to_string(n) + ")";
        m_lettura.Campo(persona, {persona >= 0 ? NomeDelCampo(std::move(nome), codice, pezzo) : std::move(nome),
                                  std::string(valore), creazione});
    };
    int fine = 0; // the last position the pieces read
    for (const tracciati::PezzoLetto& p : record.letto.Pezzi()) {
        fine = tracciati::UltimaPosizione(*p.pezzo);
        if (persona >= 0 && DelPosto(*p.pezzo))
            continue;
        if (p.pezzo->genere != tracciati::Comune::Area) {
            const bool creazione =
                std::find(m_formato.creazione.begin(), m_formato.creazione.end(), p.pezzo) != m_formato.creazione.end();
            std::string valore(p.testo);
            // A copy of the supply's own data: as its original, or what it holds instead.
            if (const DatoCopiato* copia = persona >= 0 ? CopiaDi(*p.pezzo) : nullptr) {
                const auto& originale = m_originali[static_cast<std::size_t>(copia - m_formato.copie.data())];
                if (originale && *originale == p.testo)
                    valore = "(come nel record " + std::string(1, copia->record) + ")";
            }
            campo(nomeRecord + PosizioniDi(*p.pezzo), valore, {}, p.pezzo, creazione);
            continue;
        }
        // The area block by block: a field by its code, its "+" blocks joined to it; a block without a code by
        // its place.
        std::string codice, valore;
        int posizione = 0;
        const auto chiudi = [&] {
            if (codice.empty())
                return;
            if (shell::SenzaSpaziFinali(codice).empty())
                campo(nomeRecord + Posizioni(posizione, tracciati::LunghezzaBlocco) + " (blocco senza codice)", valore,
                      {}, nullptr);
            else
                campo(persona < 0 ? nomeRecord + codice : codice, valore, codice, nullptr);
            codice.clear();
        };
        for (std::size_t b = 0; b + tracciati::LunghezzaBlocco <= p.testo.size(); b += tracciati::LunghezzaBlocco) {
            const std::string_view blocco = p.testo.substr(b, tracciati::LunghezzaBlocco);
            const std::string_view suo = blocco.substr(0, tracciati::LunghezzaCodice);
            const std::string_view parte = blocco.substr(tracciati::LunghezzaCodice);
            if (shell::SenzaSpaziFinali(blocco).empty())
                continue;
            if (suo == codice && parte.starts_with("+")) {
                valore.append(parte.substr(1));
                continue;
            }
            chiudi();
            codice = suo;
            valore = parte;
            posizione = p.pezzo->posizione + static_cast<int>(b);
        }
        chiudi();
    }
    if (static_cast<std::size_t>(fine) < testo.size())
        campo(nomeRecord + Posizioni(fine + 1, static_cast<int>(testo.size()) - fine) + " (oltre il tracciato)",
              testo.substr(static_cast<std::size_t>(fine)), {}, nullptr);
    if (record.riga.fine != FineRiga::CrLf)
        campo(nomeRecord + "fine della riga", record.riga.fine == FineRiga::SoloLf ? "LF" : "nessuna", {}, nullptr);
}

void LettoreFisso::Sconosciuta(const Riga& riga) {
    ++m_sconosciute;
    if (m_lettura.VuoleImpronte()) {
        Impronta& contenuto = m_lettura.ContenutoDellaFornitura();
        contenuto.AggiungiNumero(3);
        contenuto.Aggiungi(riga.testo);
        contenuto.AggiungiNumero(riga.lunghezza);
        contenuto.AggiungiNumero(riga.oltre);
        contenuto.AggiungiNumero(static_cast<std::uint64_t>(riga.fine));
        m_traPersone = false;
    }
    const bool campi = m_lettura.VuoleCampi(-1), grezzi = m_lettura.VuoleGrezzi(-1);
    if (!campi && !grezzi)
        return;
    // Named by its place among the lines of the file that are no record.
    const std::string nome =
        (riga.testo.empty() ? std::string("riga vuota") : "riga di tipo '" + std::string(1, riga.testo.front()) + "'") +
        " (" + std::to_string(m_sconosciute) + "\xAA riga che non \xE8 un record)";
    if (grezzi)
        m_lettura.Grezzo(-1, {nome, std::string(riga.intera).append(ByteDellaFine(riga.fine))});
    if (campi)
        m_lettura.Campo(-1, {nome, std::string(riga.testo) + (riga.fine == FineRiga::CrLf ? "" : " (senza CR LF)")});
}

void LettoreFisso::FineDellOrdine() {
    const char precedente = m_ordine.Precedente();
    const std::string ultimo(1, m_formato.ultimo);
    if (precedente == m_formato.ultimo)
        return;
    // Lines of which none is a record of the format: only a forced format reads them, and the check refuses
    // the file as no supply of it.
    if (precedente == '\0') {
        if (m_righe == 0)
            m_lettura.Errore(0, 0, "nessun record: la fornitura \xE8 vuota");
    } else if (m_rigaUltimo > 0)
        m_lettura.Errore(0, 0,
                         "la fornitura finisce dopo il record " + std::string(1, precedente) + ": il record " + ultimo +
                             " \xE8 alla riga " + std::to_string(m_rigaUltimo) + ", non in fondo alla fornitura");
    else
        m_lettura.Errore(0, 0,
                         "la fornitura finisce dopo il record " + std::string(1, precedente) + ": " +
                             std::string(m_formato.mancaUltimo));
}

bool OrdineDeiRecord::Controlla(Lettura& lettura, const Riga& riga, char tipo) {
    bool alSuoPosto = true;
    for (const Passo& p : m_passi)
        if (p.da == m_precedente) {
            alSuoPosto = p.verso.find(tipo) != std::string_view::npos;
            if (!alSuoPosto)
                lettura.Errore(riga.numero, 1,
                               "record " + std::string(1, tipo) + " fuori posto" +
                                   (m_precedente ? " dopo il record " + std::string(1, m_precedente) : "") +
                                   ": l'ordine \xE8 " + std::string(m_ordine));
            break;
        }
    m_precedente = tipo;
    return alSuoPosto;
}

void ConfrontaConteggio(Lettura& lettura, long riga, char tipo, const tracciati::Pezzo& pezzo, std::string_view testo,
                        long long contati, std::string_view cosa) {
    if (!SoloCifre(testo))
        return; // the piece's own finding says so
    const long long dichiarato = NumeroDi(testo);
    const int posizione = pezzo.posizione;
    const std::string dove = Posizioni(posizione, pezzo.lunghezza);
    lettura.Totale({"Record " + std::string(1, tipo) + ", " + dove + ": " + std::string(cosa), TestoIntero(dichiarato),
                    TestoIntero(contati), dichiarato == contati});
    if (dichiarato != contati)
        lettura.Errore(riga, posizione,
                       "record " + std::string(1, tipo) + ": " + dove + ": " + TestoIntero(dichiarato) + " " +
                           std::string(cosa) + ", ma la fornitura ne ha " + TestoIntero(contati));
}

void ControllaNomeFile(Lettura& lettura, std::string_view atteso) {
    const std::string nome = shell::TestoPercorso(lettura.File().Percorso().filename());
    if (!nome.empty() && nome != atteso)
        lettura.Avviso(
            0, 0, "il nome del file '" + nome + "' non corrisponde al contenuto: atteso '" + std::string(atteso) + "'");
}

} // namespace formati
