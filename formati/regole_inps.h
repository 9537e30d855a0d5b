#pragma once
// The rules of one INPS report (a DenunciaIndividuale of UniEmens or E-Mens, or the previous month's block it
// holds) that relate its values to each other: the part-time qualification and its percentage, the contract
// hours, the paid days against the covered weeks and the month, the calendar against the weeks, hiring and
// cessation against the month and the days. The reader gathers what they read as the report is read
// (DatiDenuncia) and asks them at the report's end; each finding is placed at the value it blames.

#include "formati/validatore_xml.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formati::inps {

// A value of the report as the document writes it, and where.
struct ValoreLetto {
    std::string testo;
    Posto posto;
};

struct SettimanaLetta {
    std::string id;        // IdSettimana as written
    std::string copertura; // TipoCopertura as written
    Posto posto;
};

// A day of the calendar (UniEmens): its number in the month, whether it is marked worked (Lavorato "S").
struct GiornoLetto {
    int giorno;
    bool lavorato;
    Posto posto;
};

struct DatiDenuncia {
    bool mesePrecedente = false; // a previous month's block, of the month before the declared one
    int anno = 0, mese = 0;      // the month the report is of; 0 when the document's month is unknown
    Posto posto;                 // of the report's (or the block's) element
    std::optional<ValoreLetto> qualifica2;
    bool percPartTime = false;
    std::optional<ValoreLetto> orario;
    std::vector<SettimanaLetta> settimane;
    std::optional<ValoreLetto> giorniRetribuiti;
    Posto datiRetributivi; // where the paid days would be, when absent
    std::optional<ValoreLetto> assunzione, cessazione;
    std::vector<GiornoLetto> calendario;
    bool elimina = false;
    std::optional<ValoreLetto> contributo;
};

struct RilievoDenuncia {
    lettura::Gravita gravita;
    Posto posto;
    std::string messaggio;
};

// The findings of the rules on one report, in the order of the rules' table.
std::vector<RilievoDenuncia> ControllaDenuncia(const DatiDenuncia& denuncia);

// The week of the year of a day, as the INPS reports number them: from 1, each from Sunday to Saturday, the first
// the one of 1 January (so a year has 53 or 54 of them).
int SettimanaDellAnno(int anno, int mese, int giorno);

// The qualifications (Qualifica2) of a part-time worker, which need the part-time percentage (PercPartTime).
bool QualificaPartTime(std::string_view qualifica2);

// The company totals: the finding that INPS would call the flow "squadrato", the sum of the reports' amounts
// and the total apart by more than 5 euro (in cents); none otherwise.
std::optional<std::string> Squadrato(long long scartoCentesimi);

} // namespace formati::inps
