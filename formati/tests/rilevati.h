#pragma once
// What a reader's piece tells, run on a reading of its own: its findings in the order they came.

#include "lettura/lettura.h"

#include <vector>

namespace formati::prova {

// The findings of `leggi`, run on a Lettura of an empty file.
template <typename F> std::vector<lettura::Rilievo> Rilevati(F leggi) {
    struct Rilievi : lettura::Destinatario {
        std::vector<lettura::Rilievo> tutti;
        void Segnala(const lettura::Rilievo& rilievo) override { tutti.push_back(rilievo); }
    };
    lettura::FileInLettura file = lettura::FileInLettura::DaTesto("");
    Rilievi rilievi;
    lettura::Esito esito;
    lettura::Lettura lettura(file, lettura::Opzioni{}, rilievi, esito);
    leggi(lettura);
    return rilievi.tutti;
}

} // namespace formati::prova
