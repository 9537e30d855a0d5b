// The trees of the UniEmens and E-Mens documents: for each element its children in their order, how many
// times each comes, its attributes and the form of its value, as the converters write them. Where the
// two documents differ, the comment of the row says so.

#include "formati/grammatiche_inps.h"

#include <array>

namespace formati::inps {

using lettura::Gravita;

namespace {

constexpr auto E = Gravita::Errore;
constexpr auto W = Gravita::Avviso;
constexpr auto Elementi = FormaValore::Elementi;

// clang-format off
constexpr Figlio Uno(N n)       { return {n, 1, 1}; }
constexpr Figlio Forse(N n)     { return {n, 0, 1}; }
constexpr Figlio Molti(N n)     { return {n, 0, Illimitato}; }
constexpr Figlio AlmenoUno(N n) { return {n, 1, Illimitato}; }
// An element that only the UniEmens document has, met in an E-Mens one.
constexpr Figlio SoloUniemens(Figlio f) { f.estraneo = "del solo UniEmens"; return f; }

// The value forms: a text, a text the writer never leaves blank, a fixed text, a tax code.
constexpr Nodo Testo(std::string_view nome)                          { return {nome, FormaValore::Testo}; }
constexpr Nodo Pieno(std::string_view nome)                          { return {nome, FormaValore::Testo, E, {}, true}; }
constexpr Nodo Fisso(std::string_view nome, std::string_view valore) { return {nome, FormaValore::Testo, E, valore}; }
constexpr Nodo CF(std::string_view nome)                             { return {nome, FormaValore::CodiceFiscale, E, {}, true}; }
constexpr Nodo Forma(std::string_view nome, FormaValore forma, Gravita g = E) { return {nome, forma, g}; }

// The children of each element.
constexpr Figlio FigliDenunceMensili[] = {Uno(DatiMittenteU), Uno(AziendaU)};
constexpr Figlio FigliDatiMittente[] = {
    Uno(CFPersonaMittente), Uno(RagSocMittente), Uno(CFMittente), Uno(CFSoftwarehouse), Uno(SedeINPS),
};
constexpr Figlio FigliAziendaU[] = {
    Uno(AnnoMeseDenunciaU), Uno(CFAzienda), Uno(RagSocAzienda), Forse(PosContributiva), Forse(ListaCollaboratoriU),
};
constexpr Figlio FigliPosContributiva[] = {Forse(Matricola), Molti(DenunciaIndividualeU), Uno(DenunciaAziendale)};
constexpr Figlio FigliDenunciaIndividualeU[] = {
    Uno(CFLavoratore), Uno(Cognome), Uno(Nome), Uno(Qualifica1), Forse(Qualifica2), Forse(Qualifica3),
    Forse(PercPartTime), Uno(TipoContribuzione), Uno(Cittadinanza), Forse(CodiceComune), Uno(CodiceContratto), Uno(OrarioContrattuale),
    Uno(NumMensilita), Forse(Assunzione), Forse(Cessazione), Uno(DatiRetributiviU), Forse(MesePrecedenteU),
};
// The daily calendar: exactly the days of the declared month, which the rules count.
constexpr Figlio FigliDatiRetributiviU[] = {
    Uno(TipoLavoratore), Uno(ImponibileDipendente), Uno(Contributo), Uno(RetribTeorica), Molti(Settimana),
    Molti(Giorno), Forse(GiorniRetribuiti), Uno(GiorniContribuiti),
};
constexpr Figlio FigliGiorno[] = {Uno(Lavorato)};
constexpr Figlio FigliMesePrecedenteU[] = {
    Uno(OrarioContrattuale), Uno(NumMensilita), Forse(Assunzione), Forse(Cessazione), Uno(DatiRetributiviMesePrecedente),
};
constexpr Figlio FigliDenunciaAziendale[] = {
    Uno(TrattQuotaLav), Uno(NumLavoratori), Uno(ForzaAziendale), Uno(DatiQuadraturaRetrContr),
};
constexpr Figlio FigliDatiQuadratura[] = {Uno(NumDenIndiv), Uno(TotaleADebito), Uno(TotaleACredito)};
constexpr Figlio FigliListaCollaboratoriU[] = {Uno(CAP), Uno(ISTAT), AlmenoUno(CollaboratoreU)};

constexpr Figlio FigliDenunceRetributiveMensili[] = {Uno(DatiMittenteE), Uno(AziendaE)};
constexpr Figlio FigliAziendaE[] = {
    Uno(AnnoMeseDenunciaE), Uno(CFAzienda), Uno(RagSocAzienda), Forse(ListaDenunceIndividuali),
    Forse(ListaCollaboratoriE),
};
constexpr Figlio FigliListaDenunceIndividuali[] = {
    Uno(Matricola), Uno(CaratteristicheContributive), AlmenoUno(DenunciaIndividualeE),
};
constexpr Figlio FigliCaratteristicheContributive[] = {Uno(CSC), Uno(CA)};
constexpr Figlio FigliDenunciaIndividualeE[] = {
    Uno(CFLavoratore), Uno(Cognome), Uno(Nome), Uno(Qualifica1), Forse(Qualifica2), Forse(Qualifica3),
    Forse(PercPartTime), Uno(TipoContribuzione), SoloUniemens(Forse(Cittadinanza)), Forse(CodiceComune), Uno(CodiceContratto),
    Uno(OrarioContrattuale), Uno(NumMensilita), Forse(Assunzione), Forse(Cessazione), Uno(DatiRetributiviE),
    Forse(MesePrecedenteE),
};
constexpr Figlio FigliDatiRetributiviE[] = {
    Uno(TipoLavoratore), Uno(ImponibileDipendente), SoloUniemens(Forse(Contributo)), Uno(RetribTeorica),
    Molti(Settimana), SoloUniemens(Molti(Giorno)), Forse(GiorniRetribuiti), SoloUniemens(Forse(GiorniContribuiti)),
};
constexpr Figlio FigliMesePrecedenteE[] = {
    Forse(CodiceComune), Uno(CodiceContratto), Uno(OrarioContrattuale), Uno(NumMensilita), Forse(Assunzione),
    Forse(Cessazione), Uno(DatiRetributiviMesePrecedente),
};
constexpr Figlio FigliListaCollaboratoriE[] = {Uno(CAP), Uno(ISTAT), AlmenoUno(CollaboratoreE)};

constexpr Figlio FigliAssunzione[] = {Uno(GiornoAssunzione), Uno(TipoAssunzione)};
constexpr Figlio FigliCessazione[] = {Uno(GiornoCessazione), Uno(TipoCessazione)};
constexpr Figlio FigliSettimana[] = {Uno(IdSettimana), Uno(TipoCopertura)};
constexpr Figlio FigliDatiRetributiviMesePrecedente[] = {Molti(Settimana), Forse(GiorniRetribuiti)};
constexpr Figlio FigliCollaboratore[] = {
    Uno(CFCollaboratore), Uno(Cognome), Uno(Nome), Forse(CodiceComune), Uno(TipoRapporto), Forse(CodiceAttivita),
    Uno(ImponibileCollaboratore), Uno(Aliquota), Forse(AltraAss), Forse(Dal), Forse(Al),
};

// The attributes.
//                                              nome                  obbligatorio  valore  gravita
constexpr AttributoAtteso AttributiDatiMittenteU[] = {{"Tipo",               true,  "1",    W}};
constexpr AttributoAtteso AttributiPosContributiva[] = {{"Composizione",     true,  "CP",   W}};
constexpr AttributoAtteso AttributiElimina[] = {{"Elimina",                  false, "S",    E}};
constexpr AttributoAtteso AttributiGiorno[] = {{"GG",                        true,  {},     E}};
constexpr AttributoAtteso AttributiMesePrecedenteE[] = {{"TipoConsolidamento", true, {},    E}};

struct VoceNodo {
    N id;
    Nodo nodo;
};

constexpr VoceNodo Voci[] = {
//   id                             nodo: nome, forma, gravita, fisso, pieno, figli, attributi
    {DenunceMensili,                {"DenunceMensili", Elementi, E, {}, false, FigliDenunceMensili}},
    {DatiMittenteU,                 {"DatiMittente", Elementi, E, {}, false, FigliDatiMittente, AttributiDatiMittenteU}},
    {AziendaU,                      {"Azienda", Elementi, E, {}, false, FigliAziendaU}},
    {AnnoMeseDenunciaU,             Forma("AnnoMeseDenuncia", FormaValore::AnnoMese)},
    {PosContributiva,               {"PosContributiva", Elementi, E, {}, false, FigliPosContributiva, AttributiPosContributiva}},
    {DenunciaIndividualeU,          {"DenunciaIndividuale", Elementi, E, {}, false, FigliDenunciaIndividualeU, AttributiElimina}},
    {DatiRetributiviU,              {"DatiRetributivi", Elementi, E, {}, false, FigliDatiRetributiviU}},
    {Giorno,                        {"Giorno", Elementi, E, {}, false, FigliGiorno, AttributiGiorno}},
    {Lavorato,                      Forma("Lavorato", FormaValore::SN)},
    {MesePrecedenteU,               {"MesePrecedente", Elementi, E, {}, false, FigliMesePrecedenteU}},
    {DenunciaAziendale,             {"DenunciaAziendale", Elementi, E, {}, false, FigliDenunciaAziendale}},
    {TrattQuotaLav,                 Fisso("TrattQuotaLav", "N")},
    {NumLavoratori,                 Forma("NumLavoratori", FormaValore::Intero)},
    {ForzaAziendale,                Forma("ForzaAziendale", FormaValore::Intero)},
    {DatiQuadraturaRetrContr,       {"DatiQuadraturaRetrContr", Elementi, E, {}, false, FigliDatiQuadratura}},
    {NumDenIndiv,                   Forma("NumDenIndiv", FormaValore::Intero)},
    {TotaleADebito,                 Forma("TotaleADebito", FormaValore::Intero)},
    {TotaleACredito,                Forma("TotaleACredito", FormaValore::Intero)},
    {ListaCollaboratoriU,           {"ListaCollaboratori", Elementi, E, {}, false, FigliListaCollaboratoriU}},
    {CollaboratoreU,                {"Collaboratore", Elementi, E, {}, false, FigliCollaboratore, AttributiElimina}},

    // E-Mens: no attribute Tipo.
    {DenunceRetributiveMensili,     {"DenunceRetributiveMensili", Elementi, E, {}, false, FigliDenunceRetributiveMensili}},
    {DatiMittenteE,                 {"DatiMittente", Elementi, E, {}, false, FigliDatiMittente}},
    {AziendaE,                      {"Azienda", Elementi, E, {}, false, FigliAziendaE}},
    // E-Mens: the year as the export writes it, so another form is only a warning.
    {AnnoMeseDenunciaE,             Forma("AnnoMeseDenuncia", FormaValore::AnnoMese, W)},
    {ListaDenunceIndividuali,       {"ListaDenunceIndividuali", Elementi, E, {}, false, FigliListaDenunceIndividuali}},
    {CaratteristicheContributive,   {"CaratteristicheContributive", Elementi, E, {}, false, FigliCaratteristicheContributive}},
    {CSC,                           Testo("CSC")},
    {CA,                            Testo("CA")},
    {DenunciaIndividualeE,          {"DenunciaIndividuale", Elementi, E, {}, false, FigliDenunciaIndividualeE, AttributiElimina}},
    {DatiRetributiviE,              {"DatiRetributivi", Elementi, E, {}, false, FigliDatiRetributiviE}},
    // E-Mens: the consolidation type, and CodiceComune and CodiceContratto before the hours.
    {MesePrecedenteE,               {"MesePrecedente", Elementi, E, {}, false, FigliMesePrecedenteE, AttributiMesePrecedenteE}},
    {ListaCollaboratoriE,           {"ListaCollaboratori", Elementi, E, {}, false, FigliListaCollaboratoriE}},
    // E-Mens: never an attribute Elimina.
    {CollaboratoreE,                {"Collaboratore", Elementi, E, {}, false, FigliCollaboratore}},

    {CFPersonaMittente,             CF("CFPersonaMittente")},
    {RagSocMittente,                Testo("RagSocMittente")},
    {CFMittente,                    CF("CFMittente")},
    {CFSoftwarehouse,               CF("CFSoftwarehouse")},
    {SedeINPS,                      Pieno("SedeINPS")},
    {CFAzienda,                     CF("CFAzienda")},
    {RagSocAzienda,                 Testo("RagSocAzienda")},
    {Matricola,                     Testo("Matricola")},
    {CFLavoratore,                  CF("CFLavoratore")},
    {Cognome,                       Pieno("Cognome")},
    {Nome,                          Pieno("Nome")},
    {Qualifica1,                    Pieno("Qualifica1")},
    {Qualifica2,                    Testo("Qualifica2")},
    {Qualifica3,                    Testo("Qualifica3")},
    // Not written by the converters (the export has no column for it): a report completed by hand has it.
    {PercPartTime,                  Forma("PercPartTime", FormaValore::Cifre)},
    {TipoContribuzione,             Fisso("TipoContribuzione", "71")},
    {Cittadinanza,                  Fisso("Cittadinanza", "000")},
    {CodiceComune,                  Testo("CodiceComune")},
    {CodiceContratto,               Fisso("CodiceContratto", "EP")},
    // Blank or not a number: the rules of the report say it (A041).
    {OrarioContrattuale,            Testo("OrarioContrattuale")},
    {NumMensilita,                  Fisso("NumMensilita", "13000")},
    {Assunzione,                    {"Assunzione", Elementi, E, {}, false, FigliAssunzione}},
    {GiornoAssunzione,              Pieno("GiornoAssunzione")},
    {TipoAssunzione,                Pieno("TipoAssunzione")},
    {Cessazione,                    {"Cessazione", Elementi, E, {}, false, FigliCessazione}},
    {GiornoCessazione,              Pieno("GiornoCessazione")},
    {TipoCessazione,                Pieno("TipoCessazione")},
    {TipoLavoratore,                Fisso("TipoLavoratore", "0")},
    {ImponibileDipendente,          Forma("Imponibile", FormaValore::Decimale)},
    {Contributo,                    Forma("Contributo", FormaValore::Contributo)},
    {RetribTeorica,                 Forma("RetribTeorica", FormaValore::Intero)},
    {Settimana,                     {"Settimana", Elementi, E, {}, false, FigliSettimana}},
    {IdSettimana,                   Testo("IdSettimana")},
    {TipoCopertura,                 Pieno("TipoCopertura")},
    {GiorniRetribuiti,              Forma("GiorniRetribuiti", FormaValore::Cifre)},
    {GiorniContribuiti,             Forma("GiorniContribuiti", FormaValore::Cifre)},
    {DatiRetributiviMesePrecedente, {"DatiRetributiviMesePrecedente", Elementi, E, {}, false, FigliDatiRetributiviMesePrecedente}},
    {CAP,                           Pieno("CAP")},
    {ISTAT,                         Pieno("ISTAT")},
    {CFCollaboratore,               CF("CFCollaboratore")},
    {TipoRapporto,                  Pieno("TipoRapporto")},
    {CodiceAttivita,                Testo("CodiceAttivita")},
    // The collaborator's taxable pay is the export's text as it stands: one that is no amount is a warning.
    {ImponibileCollaboratore,       Forma("Imponibile", FormaValore::Importo, W)},
    {Aliquota,                      Pieno("Aliquota")},
    {AltraAss,                      Testo("AltraAss")},
    {Dal,                           Forma("Dal", FormaValore::Data)},
    {Al,                            Forma("Al", FormaValore::Data)},
};
// clang-format on

constexpr bool InOrdine() {
    if (std::size(Voci) != NumeroNodi)
        return false;
    for (std::size_t i = 0; i < std::size(Voci); ++i)
        if (Voci[i].id != static_cast<N>(i))
            return false;
    return true;
}
static_assert(InOrdine(), "i nodi della tabella vanno nell'ordine di N");

// Two children of one element never share a name: the validator finds a child by its name.
constexpr bool FigliDistinti() {
    for (const VoceNodo& v : Voci)
        for (std::size_t i = 0; i < v.nodo.figli.size(); ++i)
            for (std::size_t j = i + 1; j < v.nodo.figli.size(); ++j)
                if (Voci[v.nodo.figli[i].nodo].nodo.nome == Voci[v.nodo.figli[j].nodo].nodo.nome)
                    return false;
    return true;
}
static_assert(FigliDistinti());

// Only elements of child elements have children.
constexpr bool SoloContenitoriConFigli() {
    for (const VoceNodo& v : Voci)
        if ((v.nodo.forma == Elementi) == v.nodo.figli.empty())
            return false;
    return true;
}
static_assert(SoloContenitoriConFigli());

// No published limit of the INPS documents' texts was found; a text of more than 100 characters is none
// that a report holds (names, codes, the company's name), so it is told.
constexpr std::size_t TestoMassimo = 100;

constexpr std::array<Nodo, NumeroNodi> Nodi = [] {
    std::array<Nodo, NumeroNodi> nodi{};
    for (std::size_t i = 0; i < std::size(Voci); ++i)
        nodi[i] = Voci[i].nodo;
    return nodi;
}();

} // namespace

const Grammatica& GrammaticaUniemens() {
    static constexpr Grammatica grammatica{Nodi, DenunceMensili, TestoMassimo};
    return grammatica;
}

const Grammatica& GrammaticaEmens() {
    static constexpr Grammatica grammatica{Nodi, DenunceRetributiveMensili, TestoMassimo};
    return grammatica;
}

} // namespace formati::inps
