#pragma once
// One value of an XML document found without reading the rest: what a converter reads of an older
// document before it replaces it.

#include "xml/lettore_xml.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace xml {

// The text of the first element at `percorso` (its names from the root: {"DenunceMensili", "Azienda",
// "CFAzienda"}), references replaced, read as far as its end and no farther. None when the root has
// another name, when no such element comes, or when the document is not well-formed before the element's end.
// What the source throws when it cannot read is left to the caller.
std::optional<std::string> PrimoTesto(LettoreXML::Fonte fonte, std::span<const std::string_view> percorso);

} // namespace xml
