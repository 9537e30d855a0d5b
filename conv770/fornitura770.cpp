#include "fornitura770.h"

namespace conv770 {

Fornitura770::Fornitura770(shell::FileUscita& uscita, shell::ContestoElaborazione& contesto, int righeEsportazione)
    : m_uscita(uscita), m_contesto(contesto), m_righeEsportazione(righeEsportazione) {}

// The records themselves come with the 770 record layouts.
void Fornitura770::RecordA(const shell::RigaEsportazione&) {}
void Fornitura770::RecordB(const shell::RigaEsportazione&) {}
void Fornitura770::RecordG(const shell::RigaEsportazione&) {}
void Fornitura770::RecordJ(const shell::RigaEsportazione&) {}
void Fornitura770::RecordZ() {}

} // namespace conv770
