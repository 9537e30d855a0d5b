#pragma once
// The grammars of the two INPS documents, UniEmens (root DenunceMensili) and E-Mens (root
// DenunceRetributiveMensili), as one table of nodes: an element that both documents write alike is one
// node; where they differ, each has its own. The rules of the documents know the nodes by these names.

#include "formati/validatore_xml.h"

namespace formati::inps {

// The nodes, in the order of the table. A name ending in U is the UniEmens one, in E the E-Mens one.
enum N : int {
    // UniEmens: the root, the sender, the company and its contribution position.
    DenunceMensili,
    DatiMittenteU,
    AziendaU,
    AnnoMeseDenunciaU,
    PosContributiva,
    DenunciaIndividualeU,
    DatiRetributiviU,
    Giorno,
    Lavorato,
    MesePrecedenteU,
    DenunciaAziendale,
    TrattQuotaLav,
    NumLavoratori,
    ForzaAziendale,
    DatiQuadraturaRetrContr,
    NumDenIndiv,
    TotaleADebito,
    TotaleACredito,
    ListaCollaboratoriU,
    CollaboratoreU,
    // E-Mens: the root, the sender, the company and its two lists.
    DenunceRetributiveMensili,
    DatiMittenteE,
    AziendaE,
    AnnoMeseDenunciaE,
    ListaDenunceIndividuali,
    CaratteristicheContributive,
    CSC,
    CA,
    DenunciaIndividualeE,
    DatiRetributiviE,
    MesePrecedenteE,
    ListaCollaboratoriE,
    CollaboratoreE,
    // Both.
    CFPersonaMittente,
    RagSocMittente,
    CFMittente,
    CFSoftwarehouse,
    SedeINPS,
    CFAzienda,
    RagSocAzienda,
    Matricola,
    CFLavoratore,
    Cognome,
    Nome,
    Qualifica1,
    Qualifica2,
    Qualifica3,
    PercPartTime,
    TipoContribuzione,
    Cittadinanza,
    CodiceComune,
    CodiceContratto,
    OrarioContrattuale,
    NumMensilita,
    Assunzione,
    GiornoAssunzione,
    TipoAssunzione,
    Cessazione,
    GiornoCessazione,
    TipoCessazione,
    TipoLavoratore,
    ImponibileDipendente,
    Contributo,
    RetribTeorica,
    Settimana,
    IdSettimana,
    TipoCopertura,
    GiorniRetribuiti,
    GiorniContribuiti,
    DatiRetributiviMesePrecedente,
    CAP,
    ISTAT,
    CFCollaboratore,
    TipoRapporto,
    CodiceAttivita,
    ImponibileCollaboratore,
    Aliquota,
    AltraAss,
    Dal,
    Al,
    NumeroNodi
};

const Grammatica& GrammaticaUniemens();
const Grammatica& GrammaticaEmens();

} // namespace formati::inps
