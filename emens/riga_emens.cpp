#include "emens/riga_emens.h"

#include <string>

namespace emens {

void RigaEmens::RichiediColonne(int quante) const {
    if (Colonne() < quante)
        Errore(Colonne(), "colonna mancante (la riga ha " + std::to_string(Colonne()) + " colonne, ne servono " +
                              std::to_string(quante) + ")");
}

} // namespace emens
