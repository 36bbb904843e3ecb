#include "preset/presetcelltext.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

struct NumberCase {
    const char* text;
    std::uint16_t value;
};

class CellNumberTest : public ::testing::TestWithParam<NumberCase> { };

TEST_P(CellNumberTest, ReadsTheLeadingNumberKeepingTheLow16Bits)
{
    EXPECT_EQ(CellNumber(QString::fromLatin1(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, CellNumberTest,
    ::testing::Values(NumberCase { "", 0 }, NumberCase { "11778", 11778 }, NumberCase { "  27500", 27500 },
        NumberCase { "-1", 65535 }, NumberCase { "+12", 12 }, NumberCase { "65535", 65535 }, NumberCase { "65536", 0 },
        NumberCase { "70000", 4464 }, NumberCase { "12000MHz", 12000 }, NumberCase { "abc", 0 },
        NumberCase { "--5", 0 }, NumberCase { "1 2", 1 }, NumberCase { "4294967297", 1 }));

TEST(CellTextToCode, KnownTextsInAnyCaseAndAutomaticOtherwise)
{
    const std::tuple<const char*, int, std::uint8_t> cases[] = { { "1/2", kTpColumnFec, 0 }, { "7/8", kTpColumnFec, 4 },
        { "auto", kTpColumnFec, 5 }, { "", kTpColumnFec, 5 }, { "9/10", kTpColumnFec, 5 }, { " 1/2", kTpColumnFec, 5 },
        { "HOR.", kTpColumnPolarization, 1 }, { "ver.", kTpColumnPolarization, 2 }, { "", kTpColumnPolarization, 0 },
        { "V", kTpColumnPolarization, 2 }, { "hor", kTpColumnPolarization, 1 }, { "5", kTpColumnFec, 3 },
        { "/", kTpColumnFec, 5 } };
    for (const auto& [text, column, code] : cases)
        EXPECT_EQ(CellTextToCode(QString::fromLatin1(text), column), code) << text;
}

// Every shown text gathers back to the same LNB; only 4 or 5 characters make a Standard LNB.
TEST(LnbText, ShownTextsGatherBackAndOnlyFourOrFiveCharactersAreStandard)
{
    const pre_lnb_t lnbs[] = { { 10600, 9750, 1, {}, {} }, { 5150, 9750, 0, {}, {} }, { 10750, 1234, 0, {}, {} },
        { 950, 9750, 0, {}, {} }, { 0, 9750, 0, {}, {} } };
    for (const pre_lnb_t& lnb : lnbs) {
        pre_lnb_t back { 1, 2, 3, {}, {} };
        back.lnb_freq2 = lnb.lnb_freq2;
        StoreLnbText(LnbCellText(lnb), back);
        EXPECT_EQ(std::tie(back.lnb_type, back.lnb_freq1, back.lnb_freq2),
            std::tie(lnb.lnb_type, lnb.lnb_freq1, lnb.lnb_freq2))
            << lnb.lnb_freq1;
    }
    EXPECT_EQ(LnbCellText(lnbs[1]), QStringLiteral("5150"));
    const std::pair<const char*, bool> texts[] = { { "5150", true }, { "10750", true }, { "abcd", true },
        { "Universal", false }, { "Standard", false }, { "", false }, { "950", false }, { "107500", false } };
    for (const auto& [text, standard] : texts) {
        pre_lnb_t lnb { 1, 77, 9, {}, {} };
        StoreLnbText(QString::fromLatin1(text), lnb);
        EXPECT_EQ(std::tuple(int(lnb.lnb_type), int(lnb.lnb_freq1), int(lnb.lnb_freq2)),
            standard ? std::tuple(0, int(CellNumber(QString::fromLatin1(text))), 77) : std::tuple(1, 10600, 9750))
            << text;
    }
}

} // namespace
