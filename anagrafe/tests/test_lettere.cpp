#include "anagrafe/lettere.h"

#include <gtest/gtest.h>

#include <string>

namespace anagrafe {
namespace {

// The letters of ISO-8859-1 are a-z, A-Z and 0xC0-0xFF but the signs 0xD7 and 0xF7: exactly those
// have base letters, and only A-Z.
TEST(LetteraBase, SoloLeLettereDiLatin1HannoLettereBase) {
    for (int codice = 0; codice < 256; ++codice) {
        const char c = static_cast<char>(codice);
        const bool lettera = (codice >= 'a' && codice <= 'z') || (codice >= 'A' && codice <= 'Z') ||
                             (codice >= 0xC0 && codice != 0xD7 && codice != 0xF7);
        const std::string_view base = LetteraBase(c);
        EXPECT_EQ(!base.empty(), lettera) << "character " << codice;
        for (char b : base) {
            EXPECT_TRUE(b >= 'A' && b <= 'Z') << "character " << codice;
        }
    }
}

// Upper and lower case read alike: ASCII letters 32 apart, Latin-1 letters too (0xE0-0xFE against
// 0xC0-0xDE), except the sharp s 0xDF, whose place 32 above holds the y with diaeresis.
TEST(LetteraBase, MaiuscoleEMinuscoleUguali) {
    for (int codice = 'a'; codice <= 'z'; ++codice) {
        EXPECT_EQ(LetteraBase(static_cast<char>(codice)), LetteraBase(static_cast<char>(codice - 32)));
    }
    for (int codice = 0xE0; codice <= 0xFE; ++codice) {
        if (codice != 0xF7) {
            EXPECT_EQ(LetteraBase(static_cast<char>(codice)), LetteraBase(static_cast<char>(codice - 32)))
                << "character " << codice;
        }
    }
}

TEST(LetteraBase, LettereAccentateELegature) {
    EXPECT_EQ(LetteraBase('\xC0'), "A");
    EXPECT_EQ(LetteraBase('\xE8'), "E");
    EXPECT_EQ(LetteraBase('\xCC'), "I");
    EXPECT_EQ(LetteraBase('\xD2'), "O");
    EXPECT_EQ(LetteraBase('\xD8'), "O");
    EXPECT_EQ(LetteraBase('\xF9'), "U");
    EXPECT_EQ(LetteraBase('\xC7'), "C");
    EXPECT_EQ(LetteraBase('\xD1'), "N");
    EXPECT_EQ(LetteraBase('\xFF'), "Y");
    EXPECT_EQ(LetteraBase('\xC6'), "AE");
    EXPECT_EQ(LetteraBase('\xDF'), "SS");
    EXPECT_EQ(LetteraBase('\xDE'), "TH");
    EXPECT_EQ(LetteraBase('\xAA'), ""); // the ordinal indicators are no letters
    EXPECT_EQ(LetteraBase('\''), "");
}

TEST(Vocale, CinqueVocali) {
    std::string vocali;
    for (char c = 'A'; c <= 'Z'; ++c) {
        if (Vocale(c)) {
            vocali += c;
        }
    }
    EXPECT_EQ(vocali, "AEIOU");
    EXPECT_FALSE(Vocale('a'));
    EXPECT_FALSE(Vocale('\0'));
}

} // namespace
} // namespace anagrafe
