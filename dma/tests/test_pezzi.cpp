// The head and the first pieces of record C where their table puts them.

#include "dma/record_dma.h"
#include "shell/esportazione.h"
#include "dma/tests/righe_dma.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>

namespace dma {
namespace {

const tracciati::Gancio& Gancio = TracciatoDMA().gancio;

// The head, then the rest of record C: every piece lands where its table puts it.
TEST(PezziDMA, TestataEPrimiPezziDelRecordC) {
    const shell::RigaEsportazione riga(1, test::Riga(), shell::Preparazione::MaiuscoloSenzaSpazi);
    std::array<int, NumeriDMA> numeri{};
    numeri[ModuloTesta] = 12;
    std::string record;
    tracciati::Componi(record, std::span(tabelleDMA::RecordC).first(4), {&riga, numeri}, Gancio);
    // clang-format off
    EXPECT_EQ(record, "C" "80012340586" "00003" "00000012" "1234567" "00987650424" "80012340586" "00003" "1234567"
                      "RSSLRA75B45L378K" "       ");
    // clang-format on
    // A head anywhere but after the type is a fault of the table.
    EXPECT_THROW(tracciati::Componi(record, std::span(tabelleDMA::RecordC).subspan(1, 1), {&riga, numeri}, Gancio),
                 std::logic_error);
}

} // namespace
} // namespace dma
