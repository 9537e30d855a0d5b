#pragma once
// The five supplies the checker reads, and how a file's format is recognised from its content: the first
// record of a fixed-length supply, the root element of an XML document. Never from the file's name.

#include "lettura/lettura_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace lettura {

enum class Formato {
    Semplificato770,
    Dma,
    Tfr,
    Uniemens,
    Emens,
};

struct DescrizioneFormato {
    Formato formato;
    std::string_view comando; // as `--formato` names it: "770", "dma", "tfr", "uniemens", "emens"
    std::string_view nome;    // as messages and listings name it
    // Whether the order of its persons in the file is content: the records of a fixed-length supply count in
    // their place; INPS reads the reports of its documents by their keys, in any order.
    bool ordinePersone;
};

// clang-format off
inline constexpr DescrizioneFormato Formati[] = {
//   formato                      comando     nome                ordine delle persone
    {Formato::Semplificato770,    "770",      "770 Semplificato", true },
    {Formato::Dma,                "dma",      "INPDAP DMA",       true },
    {Formato::Tfr,                "tfr",      "TFR 2008",         true },
    {Formato::Uniemens,           "uniemens", "UniEmens",         false},
    {Formato::Emens,              "emens",    "E-Mens",           false},
};
// clang-format on

const DescrizioneFormato& Descrizione(Formato formato);

// The format named by `--formato`, in any letter case; none for another name.
std::optional<Formato> FormatoDaComando(std::string_view comando);

// The format of a file from its first bytes (at least the first line, or the first 4 KiB of an XML
// document); none when they are no supply the suite knows.
// - 770: a record "A" of 1,898 characters with "77S11" in positions 16-20.
// - DMA: a record "A" with "INP05" in positions 16-20, or a lone record "Z" of 1,898 characters (the
//   supply of an export without lines).
// - TFR: a first record "1" of 280 characters; or "4" of 120 or "9" of 25 (the supply of an empty main
//   export).
// - UniEmens and E-Mens: an XML document whose root element is DenunceMensili or
//   DenunceRetributiveMensili.
std::optional<Formato> RiconosciFormato(std::string_view inizio);

// How many bytes of the file RiconosciFormato wants to see (fewer when the file is shorter).
inline constexpr std::size_t InizioPerRiconoscere = 4096;

// Whether the first bytes begin an XML document (blanks, then "<").
bool InizioXml(std::string_view inizio);

// The format of an XML document by its root element, read from the file however far the root comes
// after the declaration, comments, processing instructions and a DOCTYPE (a long comment puts it past the
// first bytes); none when the file is no XML document of the two, or ends before its root.
std::optional<Formato> RiconosciRadice(FileInLettura& file);

// A file that begins with the UTF-8 byte order mark, as every message about it says it.
inline constexpr std::string_view SegnoBom =
    "il file comincia con il segno BOM dell'UTF-8 (i byte EF BB BF), che nessuna fornitura ha";

// Why a file whose first bytes RiconosciFormato does not recognise is no supply, in Italian: written in
// UTF-16, made of or begun by NUL bytes, begun by the UTF-8 byte order mark (and what it would be without
// it), or none of the formats.
std::string NonRiconosciuto(std::string_view inizio);

} // namespace lettura
