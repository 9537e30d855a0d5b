#pragma once
// The fields of a module's area (a 770 employee's records G, a DMA record C), found by their codes; the
// findings of its reading, and the employee's tax code of its head against its personal fields.

#include "lettura/lettura.h"
#include "tracciati/tracciato.h"

#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace formati {

// A code that the rules look up, with its place in the supply's catalogue when it has one: a code of the
// writer's tables (a view, kept as long as they are), or one that the compiler found there.
struct Cercato {
    std::string_view codice;
    std::optional<std::size_t> voce;

    constexpr Cercato() = default;
    constexpr Cercato(std::string_view codice, std::optional<std::size_t> voce) : codice(codice), voce(voce) {}
    constexpr Cercato(tracciati::CodiceDelCatalogo noto) : codice(noto.codice), voce(noto.voce) {}
};

// The fields of one module's area (a 770 module's records, a DMA record C), by code: the first field of each
// code of the catalogue by its place there, and the fields whose code comes again.
class CampiDelModulo {
public:
    explicit CampiDelModulo(tracciati::Catalogo catalogo) : m_catalogo(catalogo), m_volte(catalogo.size(), 0) {}

    Cercato Cerca(std::string_view codice) const { return {codice, tracciati::PostoNelCatalogo(m_catalogo, codice)}; }
    // The module's fields, as its area was read; kept by reference until the next.
    void Prendi(const std::vector<tracciati::CampoLetto>& campi);
    // The first field of a code, in the order of the area.
    const tracciati::CampoLetto* Primo(const Cercato& cercato) const;
    const tracciati::CampoLetto* Primo(std::string_view codice) const { return Primo(Cerca(codice)); }
    // The second field of each code that comes more than once.
    const std::vector<const tracciati::CampoLetto*>& Ripetuti() const { return m_ripetuti; }

private:
    tracciati::Catalogo m_catalogo;
    std::vector<int> m_volte;                               // by place in the catalogue: how many fields of the code
    std::vector<const tracciati::CampoLetto*> m_primi;      // by place in the catalogue: the first, where m_volte > 0
    std::vector<std::size_t> m_usate;                       // the places whose m_volte this module set
    std::vector<std::pair<std::string_view, int>> m_ignoti; // codes the catalogue lacks, and how many
    std::vector<const tracciati::CampoLetto*> m_ripetuti;
    const std::vector<tracciati::CampoLetto>* m_campi = nullptr;
};

// Tells the findings of the reading of a module's area, each on the line of its record (`righe`, by the
// record's place among the module's, as `testi` holds their areas); a value's finding names its field by the
// code before it: "record G: campo DB001001, posizioni 108-123: ... (dipendente RSSMRA80A01H501U)".
void SegnalaArea(lettura::Lettura& lettura, const tracciati::AreaLetta& area, std::span<const std::string_view> testi,
                 std::span<const long> righe, char tipo, std::string_view chi, long persona);

// Where a module holds its employee's tax code: the record and the piece of its head, and the fields of its
// area that hold the code again, the sex and the date of birth.
struct CodiceDelDipendente {
    char record;
    const tracciati::Pezzo& pezzo;
    Cercato codice, sesso, nascita;
};

// The area's field of the tax code against the head's (`posizioni`, the piece's text as it stands): an error
// at the field, on line `riga`, when they differ.
void ConfrontaCodiceDelCampo(lettura::Lettura& lettura, const CampiDelModulo& campi, const CodiceDelDipendente& dove,
                             long riga, std::string_view posizioni, long persona);
// The head's tax code (`posizioni`), on line `riga`: formally valid (an error), and agreeing with the sex and
// the date of birth of the area (warnings).
void ControllaCodiceDelDipendente(lettura::Lettura& lettura, const CampiDelModulo& campi,
                                  const CodiceDelDipendente& dove, long riga, std::string_view posizioni, long persona);

} // namespace formati
