#include "preset/presetcelltext.h"

#include <gtest/gtest.h>

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
        NumberCase { "-1", 65535 }, NumberCase { "+12", 12 }, NumberCase { "65535", 65535 },
        NumberCase { "65536", 0 }, NumberCase { "70000", 4464 }, NumberCase { "12000MHz", 12000 },
        NumberCase { "abc", 0 }, NumberCase { "--5", 0 }, NumberCase { "1 2", 1 },
        NumberCase { "4294967297", 1 }));

TEST(CellTextToCode, KnownTextsInAnyCaseAndAutomaticOtherwise)
{
    const std::pair<const char*, std::uint8_t> fec[] = { { "1/2", 0 }, { "2/3", 1 }, { "3/4", 2 }, { "5/6", 3 },
        { "7/8", 4 }, { "AUTO", 5 }, { "auto", 5 }, { "", 5 }, { "9/10", 5 }, { " 1/2", 5 } };
    for (const auto& [text, code] : fec)
        EXPECT_EQ(CellTextToCode(QString::fromLatin1(text), kTpColumnFec), code) << text;
    const std::pair<const char*, std::uint8_t> polar[] = { { "AUTO", 0 }, { "HOR.", 1 }, { "ver.", 2 },
        { "VER", 0 }, { "", 0 }, { "H", 0 } };
    for (const auto& [text, code] : polar)
        EXPECT_EQ(CellTextToCode(QString::fromLatin1(text), kTpColumnPolarization), code) << text;
}

TEST(TransponderCellText, ShowsCodesAndEndsAtAZeroFrequencyOrSymbolRate)
{
    TpList list {};
    list[0] = { 11778, 27500, 0, 1, 2, 0 };
    list[1] = { 12000, 0, 0, 9, 7, 0 };
    EXPECT_EQ(TransponderCellText(list, 1, 1), QStringLiteral("11778"));
    EXPECT_EQ(TransponderCellText(list, 1, 2), QStringLiteral("27500"));
    EXPECT_EQ(TransponderCellText(list, 1, 3), QStringLiteral("2/3"));
    EXPECT_EQ(TransponderCellText(list, 1, 4), QStringLiteral("VER."));
    EXPECT_EQ(TransponderCellText(list, 2, 1), QStringLiteral("12000"));
    EXPECT_FALSE(TransponderCellText(list, 2, 2));
    EXPECT_EQ(TransponderCellText(list, 2, 3), QStringLiteral("AUTO"));
    EXPECT_EQ(TransponderCellText(list, 2, 4), QStringLiteral("AUTO"));
    EXPECT_FALSE(TransponderCellText(list, 3, 1));
    EXPECT_FALSE(TransponderCellText(list, 0, 1));
    EXPECT_FALSE(TransponderCellText(list, 513, 1));
}

TEST(SatelliteName, ThirteenCharactersAreStoredFourteenRefused)
{
    pre_sat_t sat {};
    sat.settings = { 1, 2, 3, 4, 5, 6, 7, 8 };
    ASSERT_TRUE(StoreSatelliteName(QStringLiteral("Thirteen char"), sat));
    EXPECT_EQ(SatelliteName(sat), QStringLiteral("Thirteen char"));
    EXPECT_EQ(sat.name[13], '\0');
    EXPECT_FALSE(StoreSatelliteName(QStringLiteral("Fourteen chars"), sat));
    EXPECT_EQ(SatelliteName(sat), QStringLiteral("Thirteen char"));
    ASSERT_TRUE(StoreSatelliteName(QStringLiteral("Astra"), sat));
    EXPECT_EQ(SatelliteName(sat), QStringLiteral("Astra"));
    EXPECT_EQ(sat.name[5], '\0') << "the tail of a longer old name is cleared";
    ASSERT_TRUE(StoreSatelliteName(QString::fromLatin1("T\xfcrksat"), sat));
    EXPECT_EQ(std::uint8_t(sat.name[1]), 0xFC);
    EXPECT_EQ(sat.settings[7], 8);
}

TEST(LnbText, EveryShownTextGathersBackToTheSameLnb)
{
    const pre_lnb_t lnbs[] = { { 10600, 9750, 1, {}, {} }, { 5150, 9750, 0, {}, {} }, { 10750, 1234, 0, {}, {} },
        { 950, 9750, 0, {}, {} }, { 0, 9750, 0, {}, {} } };
    for (const pre_lnb_t& lnb : lnbs) {
        pre_lnb_t back { 1, 2, 3, {}, {} };
        back.lnb_freq2 = lnb.lnb_freq2;
        StoreLnbText(LnbCellText(lnb), back);
        EXPECT_EQ(back.lnb_type, lnb.lnb_type) << lnb.lnb_freq1;
        EXPECT_EQ(back.lnb_freq1, lnb.lnb_freq1);
        EXPECT_EQ(back.lnb_freq2, lnb.lnb_freq2);
    }
    EXPECT_EQ(LnbCellText(lnbs[1]), QStringLiteral("5150"));
}

TEST(LnbText, OnlyFourOrFiveCharactersMakeAStandardLnb)
{
    const std::pair<const char*, bool> texts[] = { { "5150", true }, { "10750", true }, { "abcd", true },
        { "Universal", false }, { "Standard", false }, { "", false }, { "950", false }, { "107500", false } };
    for (const auto& [text, standard] : texts) {
        pre_lnb_t lnb { 1, 77, 9, {}, {} };
        StoreLnbText(QString::fromLatin1(text), lnb);
        EXPECT_EQ(lnb.lnb_type, standard ? 0 : 1) << text;
        EXPECT_EQ(lnb.lnb_freq2, standard ? 77 : 9750) << text;
        if (!standard)
            EXPECT_EQ(lnb.lnb_freq1, 10600) << text;
    }
}

} // namespace
